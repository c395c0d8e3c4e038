// The screen manager's lines of the run's trace (--trace):
//   screen request N     a screen asked for (RequestModule)
//   screen switch N      the switch to screen N carried out
//   screen sound ID      an interface sound played
//   screen gauge         the overlay's boss gauge asked to find its boss
//   screen boss TYPE LIFE          the boss gauge bound to a boss of that AI type
//   screen load N taken|refused    slot N (1..20) loaded, or refused
//   screen save N written|failed   the running game written into slot N
//   screen lobby HP POWER MONEY CLEARED SECONDS   the lobby's figures, once its pictures are in
//   screen store buy|sell ITEM COUNT MONEY         the store's trade carried out, the money after it
//   screen store upgrade SLOT MONEY                the store's upgrade (its slot) bought
//   screen equip SLOT ITEM                          the status page's equip confirmed (slot 0..2)
//   screen popup ID      the overlay's item popup shown (0: the plain notice)
//   screen pause PAGE    the overlay's start asked for the pause menu at a page
//   screen menu open|close          the pause menu opened or closed
//   screen menu entry N             its cursor moved to entry N (0..3)
//   screen page status|map|question|closed   a page of the pause menu shown, or gone
//   screen tab N         the status page's tab N (0 items, 1 equipment, 2 skills) entered
//   screen lobbypage N   the lobby's open page became N (0 its menu, 1 the stage select,
//                        2 the status page, 3 the store, 4 the save panel, 5 the quit box)
// The screens' music writes the "music" lines with kind "ui".
#pragma once

#include <cstdint>

void TraceScreenRequest(uint32_t number);
void TraceScreenSwitch(uint32_t number);
void TraceScreenSound(uint32_t soundId, bool looped);
void TraceScreenGauge();
void TraceScreenBossBound(int32_t aiType, int32_t life);
void TraceSlotLoad(int32_t number, bool taken);
void TraceSlotSave(int32_t number, bool written);
void TraceLobbyFigures(int32_t maxHP, int32_t maxPower, int32_t money, int32_t stagesCleared, uint32_t playSeconds);
void TraceStoreTrade(const char *what, int32_t itemId, int32_t count, int32_t money);
void TraceStoreUpgrade(int32_t slot, int32_t money);
void TraceEquip(int32_t slot, int32_t itemId);
void TraceScreenPopup(int32_t itemId);
void TraceScreenPause(int32_t page);
void TraceMenuOpen(bool open);
void TraceMenuEntry(int32_t entry);
void TracePage(const char *what);
void TraceStatusTab(int32_t tab);
void TraceLobbyPage(uint32_t page);
// A monster's health bar drawn over the scene:
//   screen hudbar AIID sx sy x y    where its frame would stand (sx, sy) and where
//                                   it stands, held inside the screen's edges (x, y)
void TraceHudBar(int32_t aiId, float sx, float sy, float x, float y);
// The result screens:
//   screen rank stage t E H S grade B money   a finished stage rated and paid
//   screen reward id given|full     the ranking's reward item added (or not)
//   screen final grade graded       the stage clear's final grade
//   screen movie name|stop          the stage clear's ending movie started, or stopped by a confirm
void TraceRanking(int32_t stage, uint32_t seconds, int32_t earnings, int32_t bestHits, int64_t score, uint32_t grade,
                  int32_t bonus, int32_t money);
void TraceReward(int32_t itemId, bool given);
void TraceFinalGrade(uint32_t grade, uint32_t graded);
void TraceEndingMovie(const char *what);
