// The test options that reach into the running game (see test_hooks.h).
#include "app/test_hooks.h"

#include "actor/hero.h"
#include "app/trace.h"
#include "event/event_links.h"
#include "fx/ge_manager.h"
#include "fx/ge_pools.h"
#include "stage/stage_manager.h"

namespace {

// The stage's exits end it this way: its own number, with the fade.
constexpr uint32_t kStageEndFadeMs = 2000;
// Where the pieces spring out: this far beside the first hero.
constexpr float kRewardOffset = 12.0f;

CSHero *FirstHero(CSStageManager *stage)
{
    return stage != nullptr && stage->heroCount > 0 ? stage->heroes[0] : nullptr;
}

}  // namespace

void ApplyTestSettings(const game::Options &options, uint32_t tick, CSStageManager *stage)
{
    for (const game::HeroLifeSetting &setting : options.heroLife) {
        CSHero *hero = FirstHero(stage);
        if (setting.tick != tick || hero == nullptr) {
            continue;
        }
        hero->hp = setting.life;
        game::TraceLine("test").Word("hero-life").Int(setting.life);
    }
    // The request a boss scene's or boss movie's first update makes, for runs
    // that do not play it.
    for (const uint32_t at : options.bossGaugeTicks) {
        if (at == tick && g_eventLinks.requestBossGauge != nullptr) {
            game::TraceLine("test").Word("boss-gauge");
            g_eventLinks.requestBossGauge();
        }
    }
    for (const uint32_t at : options.stageEnds) {
        if (at == tick && stage != nullptr && stage->stageNumber >= 1 && stage->stageNumber <= 42) {
            game::TraceLine("test").Word("stage-end").Int(stage->stageNumber);
            stage->RequestStageChange(stage->stageNumber, 1, kStageEndFadeMs);
        }
    }
    for (const game::RewardSetting &setting : options.rewards) {
        CSHero *hero = FirstHero(stage);
        if (setting.tick != tick || hero == nullptr || stage->geManager == nullptr ||
            stage->geManager->reward == nullptr) {
            continue;
        }
        RwV3d where = *hero->GetPositionPtr();
        where.x += kRewardOffset;
        const int32_t pieces = stage->geManager->reward->Spawn(where, setting.amount);
        game::TraceLine("test").Word("reward").Int(setting.amount).Int(pieces);
    }
}
