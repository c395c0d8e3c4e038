// The screen manager's trace lines (see ui_trace.h).
#include "ui/ui_trace.h"

#include "app/trace.h"

void TraceScreenRequest(uint32_t number) { game::TraceLine("screen").Word("request").Int(number); }
void TraceScreenSwitch(uint32_t number) { game::TraceLine("screen").Word("switch").Int(number); }
void TraceScreenSound(uint32_t soundId, bool looped)
{
    game::TraceLine line("screen");
    line.Word("sound").Int(soundId);
    if (looped) {
        line.Word("looped");
    }
}
void TraceScreenGauge() { game::TraceLine("screen").Word("gauge"); }
void TraceScreenBossBound(int32_t aiType, int32_t life)
{
    game::TraceLine("screen").Word("boss").Int(aiType).Int(life);
}
void TraceSlotLoad(int32_t number, bool taken)
{
    game::TraceLine("screen").Word("load").Int(number).Word(taken ? "taken" : "refused");
}
void TraceSlotSave(int32_t number, bool written)
{
    game::TraceLine("screen").Word("save").Int(number).Word(written ? "written" : "failed");
}
void TraceLobbyFigures(int32_t maxHP, int32_t maxPower, int32_t money, int32_t stagesCleared, uint32_t playSeconds)
{
    game::TraceLine("screen").Word("lobby").Int(maxHP).Int(maxPower).Int(money).Int(stagesCleared).Int(playSeconds);
}
void TraceStoreTrade(const char *what, int32_t itemId, int32_t count, int32_t money)
{
    game::TraceLine("screen").Word("store").Word(what).Int(itemId).Int(count).Int(money);
}
void TraceStoreUpgrade(int32_t slot, int32_t money)
{
    game::TraceLine("screen").Word("store").Word("upgrade").Int(slot).Int(money);
}
void TraceEquip(int32_t slot, int32_t itemId) { game::TraceLine("screen").Word("equip").Int(slot).Int(itemId); }
void TraceScreenPopup(int32_t itemId) { game::TraceLine("screen").Word("popup").Int(itemId); }
void TraceScreenPause(int32_t page) { game::TraceLine("screen").Word("pause").Int(page); }
void TraceMenuOpen(bool open) { game::TraceLine("screen").Word("menu").Word(open ? "open" : "close"); }
void TraceMenuEntry(int32_t entry) { game::TraceLine("screen").Word("menu").Word("entry").Int(entry); }
void TracePage(const char *what) { game::TraceLine("screen").Word("page").Word(what); }
void TraceStatusTab(int32_t tab) { game::TraceLine("screen").Word("tab").Int(tab); }
void TraceLobbyPage(uint32_t page) { game::TraceLine("screen").Word("lobbypage").Int(page); }
void TraceHudBar(int32_t aiId, float sx, float sy, float x, float y)
{
    game::TraceLine("screen").Word("hudbar").Int(aiId).Real(sx).Real(sy).Real(x).Real(y);
}

void TraceRanking(int32_t stage, uint32_t seconds, int32_t earnings, int32_t bestHits, int64_t score, uint32_t grade,
                  int32_t bonus, int32_t money)
{
    game::TraceLine("screen")
        .Word("rank")
        .Int(stage)
        .Int(seconds)
        .Int(earnings)
        .Int(bestHits)
        .Int(score)
        .Int(grade)
        .Int(bonus)
        .Int(money);
}

void TraceReward(int32_t itemId, bool given)
{
    game::TraceLine("screen").Word("reward").Int(itemId).Word(given ? "given" : "full");
}

void TraceFinalGrade(uint32_t grade, uint32_t graded)
{
    game::TraceLine("screen").Word("final").Int(grade).Int(graded);
}

void TraceEndingMovie(const char *what) { game::TraceLine("screen").Word("movie").Word(what); }
