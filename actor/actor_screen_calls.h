// What the heroes, the items and the save files ask of the screen manager.
// The screens fill the table when they make the screen manager and take it
// away when they free it; while it is absent (or an entry is null) the call
// is skipped: the heroes play on without a hit counter or item popup, and a
// save takes the new-game values of the carried blocks. Tests put
// recording tables in.
#pragma once

#include <cstdint>

struct CarriedProgress;
struct CarriedHero;

struct ActorScreenCalls {
    // CSUIManager::UpdateHitCounter: the overlay's hit counter reads the
    // first panel's hero again (after a landed hit).
    void (*updateHitCounter)();
    // CSItemPopup::Show (flag, item id): the popup for a picked-up item.
    void (*showItemPopup)(uint8_t flag, int32_t itemId);
    // The screen manager's progress block and hero block (save_file.h).
    const CarriedProgress *(*progressBlock)();
    const CarriedHero *(*heroBlock)();
};

// The installed table; null while the screen manager does not exist.
extern const ActorScreenCalls *g_actorScreens;

// The calls, each skipped without its entry.
void ScreensUpdateHitCounter();
void ScreensShowItemPopup(uint8_t flag, int32_t itemId);

// The action command (circle) of the hero in `playerSlot`: the stage's
// event manager tests its action triggers (CSEventManager::
// CheckActionTriggers), when the stage has an event manager. A test may put
// a recorder in its place (null puts the event manager back); the
// replacement displaced is returned.
using HeroActionFn = void (*)(int32_t playerSlot);
void HeroActionCommand(int32_t playerSlot);
HeroActionFn ReplaceHeroActionCommand(HeroActionFn action);
