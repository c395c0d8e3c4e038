// The screen manager's trace lines (see ui_trace.h).
#include "ui/ui_trace.h"

#include "app/trace.h"

void TraceScreenRequest(uint32_t number) { game::TraceLine("screen").Word("request").Int(number); }
void TraceScreenSwitch(uint32_t number) { game::TraceLine("screen").Word("switch").Int(number); }
void TraceScreenSound(uint32_t soundId) { game::TraceLine("screen").Word("sound").Int(soundId); }
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
void TraceScreenPopup(int32_t itemId) { game::TraceLine("screen").Word("popup").Int(itemId); }
void TraceScreenPause(int32_t page) { game::TraceLine("screen").Word("pause").Int(page); }
void TraceMenuOpen(bool open) { game::TraceLine("screen").Word("menu").Word(open ? "open" : "close"); }
void TraceMenuEntry(int32_t entry) { game::TraceLine("screen").Word("menu").Word("entry").Int(entry); }
void TracePage(const char *what) { game::TraceLine("screen").Word("page").Word(what); }
void TraceStatusTab(int32_t tab) { game::TraceLine("screen").Word("tab").Int(tab); }
