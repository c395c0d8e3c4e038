// The screen manager as the stage, the heroes, the effects and the events
// reach it: the stage's and the actors' tables of screen calls
// (stage/stage_screen_calls.h, actor/actor_screen_calls.h) and the screens'
// entries in the effects' and the events' links, installed while the
// manager lives.
#include "ui/ui_stage_links.h"

#include "actor/actor_screen_calls.h"
#include "event/event_links.h"
#include "fx/fx_links.h"
#include "stage/stage_screen_calls.h"
#include "ui/ui_manager.h"

namespace {

CSUIManager *M() { return g_pUIManager; }

const StageScreenCalls kScreenCalls = {
    [](uint32_t ms) { M()->StepLetterbox(ms); },
    [](int32_t ms) { M()->ShowLetterbox(ms); },
    [](int32_t ms) { M()->HideLetterbox(ms); },
    [] { return M()->IsPauseMenuOpen(); },
    [] { M()->ResetStageHUD(); },
    [] { M()->ResetStageClock(); },
    [](uint8_t on) {
        if (on != 0) {
            M()->SetLoadingFlag();
        } else {
            M()->ClearLoadingFlag();
        }
    },
    [] { return static_cast<int32_t>(M()->CurrentScreen()); },
    [](int32_t screen) { M()->RequestModule(static_cast<uint32_t>(screen)); },
    [] { M()->SwitchModule(); },
    [](uint32_t argb, uint32_t ms) { M()->StartFade(argb, ms); },
    [](uint32_t argb, uint32_t ms) { M()->StartFadeIn(argb, ms); },
    [] { return M()->IsFading(); },
    [](AiObject *actor) { M()->AddHudActor(actor); },
    [] { M()->ApplyCarriedState(); },
    [](int32_t *hero, int32_t *pad) {
        // Nothing chosen yet: the first hero on pad 0.
        const CarriedHero &block = M()->heroBlock;
        *hero = block.heroType == 0 || block.heroType == 1 ? block.heroType : 0;
        *pad = block.padIndex >= 0 && block.padIndex < kPadsPerBlock ? block.padIndex : 0;
    },
};

const ActorScreenCalls kActorCalls = {
    [] { M()->UpdateHitCounter(); },
    [](uint8_t flag, int32_t itemId) { M()->ShowItemPopup(flag, itemId); },
    []() -> const CarriedProgress * { return &M()->progress; },
    []() -> const CarriedHero * { return &M()->heroBlock; },
};

}  // namespace

void InstallScreenLinks()
{
    g_stageScreens = &kScreenCalls;
    g_actorScreens = &kActorCalls;
    g_fxLinks.showMoneyGain = [](int32_t amount) {
        if (g_pUIManager != nullptr) {
            g_pUIManager->ShowMoneyGain(amount);
        }
    };
    g_eventLinks.requestBossGauge = [] {
        if (g_pUIManager != nullptr) {
            g_pUIManager->RequestBossGauge();
        }
    };
    g_eventLinks.controllingPad = [] {
        const int32_t pad = g_pUIManager != nullptr ? g_pUIManager->GetUIPad() : -1;
        return pad >= 0 && pad < kPadsPerBlock ? pad : 0;
    };
    g_eventLinks.playUISound = [](int32_t soundId) {
        if (g_pUIManager != nullptr) {
            g_pUIManager->PlayUISound(static_cast<uint32_t>(soundId), 0);
        }
    };
    g_eventLinks.interfaceTexture = [] { return g_pUIManager != nullptr ? g_pUIManager->GetHudTexture() : nullptr; };
    // The third speech marker shows the key prompts' third key picture.
    g_eventLinks.actionKeyUVs = [](float uv[4]) {
        const UIPicture *key = g_pUIManager != nullptr ? g_pUIManager->GetKeyPrompt(4) : nullptr;
        if (key != nullptr) {
            uv[0] = key->s0;
            uv[1] = key->t0;
            uv[2] = key->s1;
            uv[3] = key->t1;
        }
    };
}

void RemoveScreenLinks()
{
    if (g_stageScreens == &kScreenCalls) {
        g_stageScreens = nullptr;
    }
    if (g_actorScreens == &kActorCalls) {
        g_actorScreens = nullptr;
    }
    g_fxLinks.showMoneyGain = nullptr;
    g_eventLinks.requestBossGauge = nullptr;
    g_eventLinks.controllingPad = nullptr;
    g_eventLinks.playUISound = nullptr;
    g_eventLinks.interfaceTexture = nullptr;
    g_eventLinks.actionKeyUVs = nullptr;
}
