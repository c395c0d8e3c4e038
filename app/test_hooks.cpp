// The test options that reach into the running game (see test_hooks.h).
#include "app/test_hooks.h"

#include "actor/hero.h"
#include "app/trace.h"
#include "event/event_links.h"
#include "stage/stage_manager.h"

void ApplyTestSettings(const game::Options &options, uint32_t tick, CSStageManager *stage)
{
    for (const game::HeroLifeSetting &setting : options.heroLife) {
        if (setting.tick != tick || stage == nullptr || stage->heroCount == 0 || stage->heroes[0] == nullptr) {
            continue;
        }
        stage->heroes[0]->hp = setting.life;
        game::TraceLine("test").Word("hero-life").Int(setting.life);
    }
    // The request a boss scene's first update makes (the scenes that make it
    // are not in the game yet).
    for (const uint32_t at : options.bossGaugeTicks) {
        if (at == tick && g_eventLinks.requestBossGauge != nullptr) {
            game::TraceLine("test").Word("boss-gauge");
            g_eventLinks.requestBossGauge();
        }
    }
}
