// The traps frame by frame on the monster scenarios' arena (the real actor
// pass and message pool, the sound queue, the effects' trace lines, one
// test hero) with the sample trap models and stage 18's jets: switched on
// by their group's notice, the jets started once, the blows of the firing
// state, the blows a jet trap takes and its going, the blast of 1202, the
// post's regeneration and its holding by an event, the harmless 1204, the
// drop or the reward at the end, and each type's own states, blow and death.
#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "actor/actor_placement.h"
#include "app/game_rand.h"
#include "boss/boss_frame.h"
#include "boss/trap.h"
#include "boss/trap_kit.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "monster/kit_combat.h"
#include "monster/monster_scenario.h"
#include "stage/clump_anim_manager.h"
#include "stage/media_paths.h"
#include "stage/model_template.h"
#include "support/game/sample_fsf.h"
#include "tests/boss/fight_looks.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/sample_traps.h"

namespace trap_test {

namespace {

using gametest::FsfBuilder;
using monstertest::AllModelsTaken;
using monstertest::kDt;

constexpr int32_t kGroup = 79187200;

class TrapScenario : public monstertest::MonsterScenario {
protected:
    void SetUp() override
    {
        MonsterScenario::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\2180000.PSS", "\\RESOURCE\\PARTICLE", true));
        std::vector<int32_t> ids;
        for (const mkdata::SampleSound &sound : mkdata::SampleEventStageSounds(mkdata::kTrapStageId)) {
            fakeSound.AddFile(SoundEffectPath(sound.id));
            ids.push_back(sound.id);
        }
        sfx->AddSFXList(ids.data(), static_cast<int32_t>(ids.size()));
    }
    // A trap of `aiType` 10 ahead of the hero (who stands at the origin
    // facing +z), facing it, bound to the notice's group, without a model
    // until something shows it.
    AiObject *PlaceTrap(int32_t aiType, float ahead = 10.0f)
    {
        PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
        AiObject *trap = Place(aiType, {0.0f, 0.0f, ahead}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        EXPECT_NE(trap, nullptr);
        return trap;
    }
    // The kind-2 hits the hero was sent since the last call.
    std::vector<MSGData> HeroHits()
    {
        std::vector<MSGData> hits;
        for (const MSGData &m : HeroMessages()) {
            if (m.kind == kMsgHitHero) {
                hits.push_back(m);
            }
        }
        return hits;
    }
    int32_t Count(int32_t sound) const
    {
        int32_t n = 0;
        for (int32_t id : SoundsFrom(0)) {
            n += id == sound ? 1 : 0;
        }
        return n;
    }
    // Ticks until the trap is in `state` (at most `most`); false when not.
    bool TicksUntilState(AiObject *trap, int32_t state, int most = 600)
    {
        return TicksUntil([&] { return trap->state == state; }, most) >= 0;
    }
    // The post switched on by its notice and grabbed by the hero (state 3).
    CSTrap1201 *HeldPost()
    {
        auto *trap = static_cast<CSTrap1201 *>(PlaceTrap(1201));
        Control(trap, kCtlShowHold, kGroup);
        EXPECT_TRUE(TicksUntilState(trap, 2, 10));
        Hit(trap, kAtkGrab, 0);
        EXPECT_TRUE(TicksUntilState(trap, 3, 5));
        return trap;
    }
};

TEST_F(TrapScenario, TheNoticeOfItsGroupSwitchesItOnAndTheJetsStartOnce)
{
    auto *trap = static_cast<CSTrap1200 *>(PlaceTrap(1200));
    Ticks(5);
    EXPECT_EQ(trap->state, 0);
    Control(trap, kCtlShowHold, 79187400);  // another group's notice
    Ticks(30);
    EXPECT_EQ(trap->state, 0) << "another group's notice leaves it be";
    EXPECT_FALSE(trap->eventModel);
    Control(trap, kCtlShowHold, kGroup);
    Ticks(3);
    EXPECT_TRUE(trap->eventModel);
    ASSERT_NE(trap->model, nullptr) << "the notice shows it";
    EXPECT_EQ(trap->state, 1);
    EXPECT_TRUE(trap->jetsStarted);
    ASSERT_NE(trap->jets[0], nullptr);
    ASSERT_NE(trap->jets[1], nullptr);
    EXPECT_TRUE(trap->jets[0]->IsEmitting());
    EXPECT_STREQ(trap->jets[0]->TemplateName(), "3518100.zus");
    CSParticleSystem *first = trap->jets[0];
    const int32_t out = particles.SystemsOut();
    // Three rounds of rising and firing: the same two jets.
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(TicksUntilState(trap, 2));
        ASSERT_TRUE(TicksUntilState(trap, 1));
    }
    Tick();  // the rise's first act sounds
    EXPECT_EQ(trap->jets[0], first);
    EXPECT_EQ(particles.SystemsOut(), out) << "the jets start once";
    EXPECT_EQ(Count(6500300), 4) << "a sound at each rise";
    EXPECT_GE(Count(6500220), 3) << "and each firing";
}

TEST_F(TrapScenario, TheFourJetsOfThePoisonTrap)
{
    auto *trap = static_cast<CSTrap1203 *>(PlaceTrap(1203));
    Control(trap, kCtlShowHold, kGroup);
    Ticks(3);
    for (CSParticleSystem *jet : trap->jets) {
        ASSERT_NE(jet, nullptr);
    }
    EXPECT_STREQ(trap->jets[0]->TemplateName(), "3518600.zus");
    EXPECT_STREQ(trap->jets[1]->TemplateName(), "3518601.zus");
    EXPECT_EQ(trap->jets[3]->displayMode[1], 6);
}

// The firing state's blows: a weapon hits a hero once; a different weapon
// touching it clears its mark and hits again; a hero still in reach whose
// status has worn off gets it again with 0 damage.
TEST_F(TrapScenario, AWeaponOnceAnotherAgainAndTheStatusRenewed)
{
    auto *trap = static_cast<CSTrap1200 *>(PlaceTrap(1200, 12.0f));
    // A firing state that never ends, both blade parts its weapons.
    FsfBuilder b;
    b.State(0).Hurt(1).To(10, 2, 1).To(0, 0);
    b.State(2).Hurt(1).Attack(20, 16).Weapon(100130).Weapon(100140).To(0, 2);
    UseStateMachine(1200, b.Build());
    Control(trap, kCtlShowHold, kGroup);
    Ticks(2);
    ASSERT_EQ(trap->state, 2);
    // Held in its pose, find where only the blade's tip (100140) reaches
    // the hero and where its base (100130, tried first) does.
    trap->animSpeedMode = kAnimFrozen;
    Ticks(2);
    auto touches = [&](int32_t part) {
        return CSModelInstance::PickTaggedPart(trap->model, hero.model, part, monster::kWeaponPickLength, nullptr);
    };
    std::optional<RwV3d> tipOnly;
    std::optional<RwV3d> base;
    for (float z = 30.0f; z >= -30.0f && !(tipOnly && base); z -= 0.5f) {
        for (float x = -40.0f; x <= 40.0f; x += 0.5f) {
            PutHero({x, 0.0f, z});
            const bool a = touches(100130);
            const bool tip = touches(100140);
            if (tip && !a && !tipOnly) {
                tipOnly = RwV3d{x, 0.0f, z};
            }
            if (a && !base) {
                base = RwV3d{x, 0.0f, z};
            }
        }
    }
    ASSERT_TRUE(tipOnly.has_value()) << "no place where only the tip reaches";
    ASSERT_TRUE(base.has_value()) << "no place where the base reaches";
    PutHero({0.0f, 0.0f, -60.0f});
    hero.SetLinkValue(0, 0);
    trap->SetLinkValue(0, 0);
    Ticks(2);
    HeroHits();
    // The hero burns all along: only a weapon's first touch hurts.
    hero.burnEffect = true;
    auto oneHitOf = [&](int32_t weapon) {
        const std::vector<MSGData> hits = HeroHits();
        ASSERT_EQ(hits.size(), 1u) << weapon;
        EXPECT_EQ(hits[0].word[1], 16);
        EXPECT_EQ(hits[0].word[2], 20);
        EXPECT_EQ(trap->lastWeaponId, weapon);
    };
    PutHero(*tipOnly);
    Ticks(2);
    oneHitOf(100140);
    Ticks(30);
    EXPECT_TRUE(HeroHits().empty()) << "the same weapon hits once";
    PutHero(*base);
    Ticks(2);
    oneHitOf(100130);
    Ticks(30);
    EXPECT_TRUE(HeroHits().empty());
    PutHero(*tipOnly);
    Ticks(2);
    oneHitOf(100140);
    // Its burning look ends while the hero is in reach: 0 damage, each
    // frame until it burns again.
    hero.burnEffect = false;
    Ticks(3);
    std::vector<MSGData> renewed = HeroHits();
    ASSERT_GE(renewed.size(), 2u);
    for (const MSGData &m : renewed) {
        EXPECT_EQ(m.word[1], 16);
        EXPECT_EQ(m.word[2], 0) << "the status again, no damage";
    }
    hero.burnEffect = true;
    Ticks(10);
    EXPECT_TRUE(HeroHits().empty());
    // A hero that cannot be hurt is not hit at all.
    hero.hurtable = false;
    hero.burnEffect = false;
    Ticks(10);
    EXPECT_TRUE(HeroHits().empty());
}

TEST_F(TrapScenario, TheBlastArmsFiveSecondsGrowsToTwentyAndFireDestroysIt)
{
    auto *trap = static_cast<CSTrap1202 *>(PlaceTrap(1202, 10.0f));
    Control(trap, kCtlShowHold, kGroup);  // shown
    Ticks(2);
    ASSERT_NE(trap->model, nullptr);
    // Armed for 5 s in state 0.
    const uint32_t start = tick;
    ASSERT_TRUE(TicksUntilState(trap, 1, 400));
    EXPECT_NEAR(static_cast<double>(tick - start) * kDt, 5.0, 3.0 * kDt);
    // The ring reaches the hero (10 away) half-way through the 1.5 s blast.
    const uint32_t blast = tick;
    int hitAt = -1;
    for (int i = 0; i < 100 && hitAt < 0; ++i) {
        Tick();
        for (const MSGData &m : HeroHits()) {
            EXPECT_EQ(m.word[1], 32);
            EXPECT_EQ(m.word[2], 60);  // its attack value
            hitAt = static_cast<int>(tick - blast);
        }
    }
    EXPECT_NEAR(hitAt, 45, 2) << "radius = timer / 1.5 s x 20 reaches 10 at 0.75 s";
    // Poisoned, the hero in the ring is left be; once the poison has worn
    // off it is poisoned again with 0 damage.
    hero.poisonTint = true;
    Ticks(5);
    EXPECT_TRUE(HeroHits().empty()) << "hit once per blast while poisoned";
    hero.poisonTint = false;
    Ticks(3);
    const std::vector<MSGData> renewed = HeroHits();
    ASSERT_FALSE(renewed.empty());
    for (const MSGData &m : renewed) {
        EXPECT_EQ(m.word[1], 32);
        EXPECT_EQ(m.word[2], 0);
    }
    EXPECT_TRUE(SoundQueued(6500230, blast)) << "the blast's sound";
    EXPECT_LE(trap->blastTimer, 1.5f + 1e-4f);
    // The next blast grows from nothing again.
    ASSERT_TRUE(TicksUntilState(trap, 0, 200));
    ASSERT_TRUE(TicksUntilState(trap, 1, 400));
    Tick();
    EXPECT_LT(trap->blastTimer, 0.1f) << "each blast starts at radius 0";
    // Fire destroys it whatever its HP; it drops nothing and rewards no one.
    const int32_t kills = hero.killCount;
    Hit(trap, kAtkBurn, 1);
    ASSERT_TRUE(TicksUntil([&] { return trap->removed; }, 300) >= 0);
    EXPECT_EQ(hero.killCount, kills);
    EXPECT_EQ(EffectStarts("3406000"), 0);
}

// Each blast starts the gas once per entry: "3518400.zus" and "3518401.zus"
// at the node 100090, kept on it as it moves but not turned with it,
// emitting, display words 5 and 6, given back once their particles are
// gone.
TEST_F(TrapScenario, EachBlastStartsItsTwoGasSystemsOnItsNode)
{
    auto *trap = static_cast<CSTrap1202 *>(PlaceTrap(1202, 10.0f));
    Control(trap, kCtlShowHold, kGroup);  // shown
    Ticks(2);
    ASSERT_NE(trap->model, nullptr);
    for (int blast = 0; blast < 2; ++blast) {
        SCOPED_TRACE(blast);
        ASSERT_TRUE(TicksUntilState(trap, 1, 400));
        Tick();
        const RwV3d node = boss::UserFramePosition(trap, 100090);
        for (const char *gas : {"3518400.zus", "3518401.zus"}) {
            ExpectSparksOut(gas, 1, kPrtDrawAfterWorld, 6, node, 0.01f, true);
            for (const CSParticleSystem *system : particles.SystemsOutOf(gas)) {
                const RwMatrix &world = system->WorldMatrix();
                EXPECT_NEAR(world.right.x, 1.0f, 1e-4f) << "not turned with the trap";
                EXPECT_NEAR(world.at.z, 1.0f, 1e-4f);
            }
        }
        Ticks(5);
        EXPECT_EQ(particles.SystemsOutOf("3518400.zus").size(), 1u) << "once per entry";
        ASSERT_TRUE(TicksUntilState(trap, 0, 200));
        TicksUntil([&] { return particles.SystemsOutOf("3518400.zus").empty(); }, 600);
    }
}

// The blast trap shrugs off blows; burnt, it holds one set of status
// particles while it dies and goes without them.
TEST_F(TrapScenario, TheBurntBlastHoldsItsStatusParticlesOnceAndGoesWithout)
{
    auto *trap = static_cast<CSTrap1202 *>(PlaceTrap(1202, 10.0f));
    Control(trap, kCtlShowHold, kGroup);
    Ticks(2);
    ASSERT_NE(trap->model, nullptr);
    const int32_t hp = trap->hp;
    Hit(trap, kAtkPlain | kAtkHeavy, 500);
    Ticks(3);
    EXPECT_EQ(trap->hp, hp) << "blows do not hurt it";
    EXPECT_EQ(trap->state, 0);
    const int32_t smoking = effects.statusParticles->InstancesInUse();
    Hit(trap, kAtkBurn, 1);
    ASSERT_TRUE(TicksUntilState(trap, 2, 5));
    Tick();
    EXPECT_EQ(effects.statusParticles->InstancesInUse(), smoking + 1);
    Ticks(5);
    EXPECT_EQ(effects.statusParticles->InstancesInUse(), smoking + 1) << "attached once";
    ASSERT_TRUE(TicksUntil([&] { return trap->removed; }, 300) >= 0);
    EXPECT_EQ(effects.statusParticles->InstancesInUse(), smoking);
    EXPECT_EQ(trap->model, nullptr);
    EXPECT_FALSE(trap->active);
}

TEST_F(TrapScenario, ThePostRegeneratesFiftyASecondOnceSwitchedOn)
{
    auto *trap = static_cast<CSTrap1201 *>(PlaceTrap(1201));
    Control(trap, kCtlShowHold, kGroup);
    ASSERT_TRUE(TicksUntilState(trap, 2, 10));
    EXPECT_TRUE(trap->dizzyEffect) << "shown";
    trap->hp = 100;
    Ticks(2);
    const int32_t before = trap->hp;
    Ticks(60);
    EXPECT_EQ(trap->hp, before + 50);
    EXPECT_TRUE(trap->down) << "active";
    // A hero's grab holds it; its damage while held costs HP; let go, it is active again.
    Hit(trap, kAtkGrab, 0);
    ASSERT_TRUE(TicksUntilState(trap, 3, 5));
    EXPECT_TRUE(trap->grabbed);
    Hit(trap, kAtkHeldDamage, 40);
    Ticks(3);
    EXPECT_LT(trap->hp, before + 50);
    Hit(trap, kAtkGrabEnd, 0);
    ASSERT_TRUE(TicksUntilState(trap, 2, 5));
    EXPECT_FALSE(trap->grabbed);
}

// A held blow its Defense takes whole costs the post nothing. Everything
// that reaches the held post in one frame is read in that frame: a held
// blow and the hero letting go together cost the HP (with
// no hurt sound: the post takes its blows silently) and leave the post
// active again on the next frame.
TEST_F(TrapScenario, ThePostReadsABlowAndTheLetGoOfOneFrameTogether)
{
    CSTrap1201 *trap = HeldPost();
    ASSERT_EQ(trap->state, 3);
    trap->modelTemplate->params.defense = 5;
    const int32_t hp = trap->hp;
    trap->regenTimer = 0.0f;  // no regeneration in the frames looked at
    Hit(trap, kAtkHeldDamage, 5);  // a blow its Defense takes whole
    Ticks(3);
    EXPECT_EQ(trap->hp, hp);
    EXPECT_EQ(trap->state, 3);
    Hit(trap, kAtkGrabEnd, 0);
    Hit(trap, kAtkHeldDamage, 40);  // read first: the newer of a kind comes first
    Ticks(2);  // delivered, read
    EXPECT_EQ(trap->state, 2);
    EXPECT_FALSE(trap->grabbed);
    Tick();
    EXPECT_EQ(trap->hp, hp - (40 - 5));
    EXPECT_EQ(Count(6300200), 0) << "the post takes its blows without the hurt sound";
}

// Held blows that take the post's last HP kill it in the hero's hands: let
// go, no longer active or shown, through its dying state 4 to the gone 5,
// out of play with its model left standing where it fell.
TEST_F(TrapScenario, ThePostDiesInTheHerosHandsAndItsModelStays)
{
    CSTrap1201 *trap = HeldPost();
    ASSERT_EQ(trap->state, 3);
    Hit(trap, kAtkHeldDamage, trap->hp + 100);
    ASSERT_TRUE(TicksUntilState(trap, 4, 10));
    EXPECT_FALSE(trap->grabbed);
    EXPECT_FALSE(trap->down);
    EXPECT_FALSE(trap->dizzyEffect);
    ASSERT_TRUE(TicksUntilState(trap, 5, 300));
    Tick();
    EXPECT_TRUE(trap->removed);
    EXPECT_NE(trap->model, nullptr);
}

// An event that holds the post without naming its group takes it out of
// the hero's hands into its active state at once, and keeps it there while
// it holds (a grab is undone the next frame), once the post's own
// switch-on has been released; released again, the hero can grab it.
TEST_F(TrapScenario, AnEventHoldingThePostKeepsItOutOfTheHerosHands)
{
    CSTrap1201 *trap = HeldPost();
    ASSERT_EQ(trap->state, 3);
    auto after = [&](const char *what, int32_t state, bool grabbed) {
        SCOPED_TRACE(what);
        Ticks(3);
        EXPECT_EQ(trap->state, state);
        EXPECT_EQ(trap->grabbed, grabbed);
    };
    Control(trap, kCtlRelease, 0);
    after("the release alone lets nothing go", 3, true);
    Control(trap, kCtlShowHold, 79187400);
    after("another group's hold", 2, false);
    EXPECT_TRUE(trap->eventHeld);
    Hit(trap, kAtkGrab, 0);
    after("a grab while the event holds it", 2, false);
    Control(trap, kCtlRelease, 0);
    Ticks(3);
    EXPECT_FALSE(trap->eventHeld);
    Hit(trap, kAtkGrab, 0);
    EXPECT_TRUE(TicksUntilState(trap, 3, 5));
    EXPECT_TRUE(trap->grabbed);
}

// A trap put above the floor stands on it once it takes its model (shown
// by its group's notice); the breakable trap 1204, which takes its model
// in view, keeps the height it was put at.
TEST_F(TrapScenario, TakingItsModelPutsATrapOnTheGroundButTheBreakableOne)
{
    PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    for (int32_t type : mkdata::SampleTrapTypes()) {
        SCOPED_TRACE(type);
        const RwV3d at = {20.0f * static_cast<float>(type - 1202), 6.0f, 10.0f};
        AiObject *trap = Place(type, at, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        ASSERT_NE(trap, nullptr);
        ASSERT_EQ(trap->model, nullptr);
        if (type == 1204) {
            trap->isRender = 1;
        } else {
            Control(trap, kCtlShowHold, kGroup);
        }
        TicksUntil([&] { return trap->model != nullptr; }, 5);
        ASSERT_NE(trap->model, nullptr);
        EXPECT_NEAR(trap->GetPositionPtr()->y, type == 1204 ? 6.0f : 0.0f, 0.01f);
    }
}

TEST_F(TrapScenario, TheBreakableTrapIsHarmless)
{
    AiObject *trap = PlaceTrap(1204, 5.0f);
    trap->isRender = 1;
    Ticks(3);
    ASSERT_NE(trap->model, nullptr) << "shown in view";
    const int32_t hp = trap->hp;
    for (int i = 0; i < 3; ++i) {
        Hit(trap, kAtkPlain, 500);
        Ticks(3);
    }
    EXPECT_EQ(trap->hp, hp) << "it takes no damage";
    EXPECT_EQ(Count(6300200), 3) << "each hit sounds";
    EXPECT_TRUE(trap->removed) << "three hits break it";
    EXPECT_TRUE(HeroHits().empty()) << "and deals none";
}

// Heavy blows break the breakable trap as plain ones do, each with its
// sound; fire and a grab neither sound nor move it.
TEST_F(TrapScenario, HeavyBlowsBreakTheBreakableTrapFireDoesNot)
{
    AiObject *trap = PlaceTrap(1204, 5.0f);
    trap->isRender = 1;
    Ticks(3);
    ASSERT_NE(trap->model, nullptr);
    for (const int32_t bits : {kAtkBurn, kAtkGrab}) {
        Hit(trap, bits, 500);
        Ticks(3);
    }
    EXPECT_EQ(trap->state, 0);
    EXPECT_EQ(Count(6300200), 0);
    for (const int32_t state : {1, 2, 6}) {
        Hit(trap, kAtkHeavy, 500);
        Ticks(3);
        EXPECT_EQ(trap->state, state);
    }
    EXPECT_TRUE(trap->removed);
    EXPECT_EQ(Count(6300200), 3);
}

// Destroyed: a drop when the map or the event gives one, else the kill and
// the reward of hero 0 (none when the stage has no hero).
TEST_F(TrapScenario, RewardsOnlyWhenNothingDropsAndTheJetsGoBack)
{
    auto *trap = static_cast<CSTrap1200 *>(PlaceTrap(1200));
    Control(trap, kCtlShowHold, kGroup);
    Ticks(3);
    ASSERT_NE(trap->jets[0], nullptr);
    const int32_t out = particles.SystemsOut();
    const int32_t kills = hero.killCount;
    hero.hitCounter = 8;  // the multiplier x2
    Hit(trap, kAtkPlain, 1000);
    ASSERT_TRUE(TicksUntil([&] { return trap->removed; }, 300) >= 0);
    EXPECT_EQ(trap->jets[0], nullptr) << "the jets let go at the death";
    EXPECT_EQ(hero.killCount, kills + 1);
    Ticks(120);  // the pieces fly to the hero
    int32_t reward = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        if (!r.fields.empty() && r.fields[0] == "reward") {
            reward += std::stoi(r.fields[1]);
        }
    }
    EXPECT_GE(reward, 10) << "(5..10) x 2";
    EXPECT_LE(reward, 20);
    EXPECT_EQ(reward % 2, 0);
    EXPECT_EQ(particles.SystemsOut(), out - 2) << "back to their pool once their particles are gone";

    // With the event's drop: the drop, and no reward.
    auto *dropping = static_cast<CSTrap1200 *>(Place(1200, {30.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0));
    Control(dropping, kCtlShowHold, kGroup);
    Control(dropping, kCtlDropOverride, 4010100);
    Ticks(3);
    const size_t rewardsBefore = EffectLines().size();
    Hit(dropping, kAtkPlain, 1000);
    ASSERT_TRUE(TicksUntil([&] { return dropping->removed; }, 300) >= 0);
    int32_t rewards = 0;
    int32_t drops = 0;
    const auto lines = EffectLines();
    for (size_t i = rewardsBefore; i < lines.size(); ++i) {
        rewards += !lines[i].fields.empty() && lines[i].fields[0] == "reward" ? 1 : 0;
        drops += lines[i].fields.size() > 1 && lines[i].fields[0] == "drop" && lines[i].fields[1] == "4010100";
    }
    EXPECT_EQ(drops, 1) << "the event's drop where it fell";
    EXPECT_EQ(rewards, 0);
    EXPECT_EQ(hero.killCount, kills + 1);

    // With a drop map that always gives: its item where the trap fell, and
    // neither a reward nor a kill.
    auto *mapped = static_cast<CSTrap1200 *>(Place(1200, {-30.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0));
    mapped->itemType = mkdata::kSampleSureDropMap;
    Control(mapped, kCtlShowHold, kGroup);
    Ticks(3);
    const size_t before = EffectLines().size();
    Hit(mapped, kAtkPlain, 1000);
    ASSERT_TRUE(TicksUntil([&] { return mapped->removed; }, 300) >= 0);
    Ticks(120);
    const auto after = EffectLines();
    std::vector<std::string> shown;
    for (size_t i = before; i < after.size(); ++i) {
        if (!after[i].fields.empty() && (after[i].fields[0] == "drop" || after[i].fields[0] == "reward")) {
            shown.push_back(after[i].fields[0] + " " + after[i].fields[1]);
            if (after[i].fields[0] == "drop") {
                EXPECT_FLOAT_EQ(std::stof(after[i].fields[2]), -30.0f);
                EXPECT_FLOAT_EQ(std::stof(after[i].fields[4]), 10.0f);
            }
        }
    }
    EXPECT_EQ(shown, std::vector<std::string>{"drop 5300000"});
    EXPECT_EQ(hero.killCount, kills + 1);
}

TEST_F(TrapScenario, NoHeroZeroNoRewardAndNoCrash)
{
    auto *trap = static_cast<CSTrap1203 *>(PlaceTrap(1203));
    Control(trap, kCtlShowHold, kGroup);
    Ticks(3);
    // The stage without heroes.
    stage.heroes[0] = nullptr;
    stage.heroCount = 0;
    Hit(trap, kAtkPlain, 1000);
    ASSERT_TRUE(TicksUntil([&] { return trap->removed; }, 300) >= 0);
    stage.heroes[0] = &hero;
    stage.heroCount = 1;
    EXPECT_EQ(EffectStarts("3406000"), 0);
    EXPECT_EQ(hero.killCount, 0);
}

// The poison trap's reward is 50 to 100 pieces times the multiplier.
TEST_F(TrapScenario, ThePoisonTrapRewardsFiftyToAHundred)
{
    auto *trap = static_cast<CSTrap1203 *>(PlaceTrap(1203));
    Control(trap, kCtlShowHold, kGroup);
    Ticks(3);
    hero.hitCounter = 0;  // x1
    Hit(trap, kAtkPlain, 1000);
    ASSERT_TRUE(TicksUntil([&] { return trap->removed; }, 300) >= 0);
    Ticks(120);
    int32_t reward = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        if (!r.fields.empty() && r.fields[0] == "reward") {
            reward += std::stoi(r.fields[1]);
        }
    }
    EXPECT_GE(reward, 50);
    EXPECT_LE(reward, 100);
    EXPECT_EQ(hero.killCount, 1);
}

// A jet trap under the heroes' blows: a heavy blow costs its HP as a plain
// one does, each with the hurt sound, fire costs nothing and is silent; its
// last HP gone it lets its jets go at once and goes (state 4) without its
// model.
TEST_F(TrapScenario, HeavyBlowsCostAJetTrapItsHpFireNothingAndItGoesWithItsJets)
{
    auto *trap = static_cast<CSTrap1200 *>(PlaceTrap(1200));
    Control(trap, kCtlShowHold, kGroup);
    ASSERT_TRUE(TicksUntilState(trap, 1, 5));
    ASSERT_EQ(trap->hp, 100);
    Hit(trap, kAtkHeavy, 30);
    Ticks(3);
    EXPECT_EQ(trap->hp, 70);
    Hit(trap, kAtkBurn, 40);
    Ticks(3);
    EXPECT_EQ(trap->hp, 70) << "fire does not hurt it";
    EXPECT_EQ(Count(6300200), 1);
    Hit(trap, kAtkPlain, 69);
    Ticks(3);
    EXPECT_EQ(trap->hp, 1);
    EXPECT_FALSE(trap->dying) << "on its last HP";
    Hit(trap, kAtkPlain, 1);
    ASSERT_TRUE(TicksUntilState(trap, 3, 5));
    EXPECT_TRUE(trap->dying);
    EXPECT_EQ(trap->jets[0], nullptr);
    EXPECT_EQ(trap->jets[1], nullptr);
    EXPECT_EQ(Count(6300200), 3);
    ASSERT_TRUE(TicksUntil([&] { return trap->removed; }, 300) >= 0);
    EXPECT_EQ(trap->state, 4);
    EXPECT_EQ(trap->model, nullptr);
    EXPECT_FALSE(trap->active);
}

// Every message of a frame is read in that frame: a trap that is also sent
// a message it has no use for (a monster's blow meant for a hero, handed
// out before the others) switches on, takes a hero's blow, burns or breaks
// on the same frames as one that is not.
TEST_F(TrapScenario, TheNoticeAndABlowAmongOtherMessagesAreReadTheSameFrame)
{
    // Each type's notice (or view) and blow, and the state and HP they lead
    // to within six frames.
    struct Case {
        int32_t type;
        int32_t bits;
        int32_t value;
        int32_t state;
        int32_t hp;
    };
    const Case cases[] = {
        {1200, kAtkPlain, 20, 1, 80},  // switched on, the blow taken: 20 of its 100 HP
        {1203, kAtkPlain, 20, 1, 80},
        {1202, kAtkBurn, 1, 2, 0},     // fire burns the blast trap whatever its HP
        {1201, 0, 0, 2, -1},           // the post switched on (its HP regenerates)
        {1204, kAtkPlain, 20, 1, -1},  // the breakable trap's first blow
    };
    float x = -150.0f;  // all within the yard's walls, in view
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        AiObject *plain = Place(c.type, {x, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        AiObject *other = Place(c.type, {x + 30.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        x += 60.0f;
        ASSERT_NE(plain, nullptr);
        ASSERT_NE(other, nullptr);
        Ticks(2);
        for (AiObject *trap : {plain, other}) {
            if (c.type == 1204) {
                trap->isRender = 1;
            } else {
                Control(trap, kCtlShowHold, kGroup);
            }
            if (c.bits != 0) {
                Hit(trap, c.bits, c.value);
            }
        }
        stage.messagePool->Post(kMsgHitHero, nullptr, other, 0, kAtkPlain, 10);
        for (int frame = 0; frame < 6; ++frame) {
            Tick();
            EXPECT_EQ(other->state, plain->state) << frame;
            EXPECT_EQ(other->hp, plain->hp) << frame;
        }
        EXPECT_EQ(other->state, c.state);
        if (c.hp >= 0) {
            EXPECT_EQ(other->hp, c.hp);
        }
    }
}

// Out of view the blast trap gives its model back, unless an event showed
// it or it is dying; the breakable trap gives its model back whatever
// showed it, and a blow reaching it there still sounds.
TEST_F(TrapScenario, OutOfViewTheBlastAndBreakableTrapsGiveTheirModelsBack)
{
    constexpr RwV3d kHidden = {230.0f, 0.0f, 60.0f};  // beyond the yard's east wall
    constexpr RwV3d kSeen = {0.0f, 0.0f, 10.0f};
    AiObject *blast = PlaceTrap(1202);
    AiObject *breakable = Place(1204, {30.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    ASSERT_NE(breakable, nullptr);
    breakable->isRender = 1;
    Ticks(3);
    ASSERT_NE(blast->model, nullptr);
    ASSERT_NE(breakable->model, nullptr);
    blast->SetPosition(kHidden);
    breakable->SetPosition({kHidden.x, 0.0f, kHidden.z + 30.0f});
    Ticks(2);
    EXPECT_EQ(blast->model, nullptr);
    EXPECT_EQ(breakable->model, nullptr);
    Hit(breakable, kAtkPlain, 20);
    Ticks(2);
    EXPECT_EQ(Count(6300200), 1);

    Control(blast, kCtlShowHold, kGroup);
    Ticks(3);
    ASSERT_NE(blast->model, nullptr) << "shown by its notice";
    Ticks(3);
    EXPECT_NE(blast->model, nullptr) << "kept out of view while the event shows it";
    Control(blast, kCtlRelease, kGroup);
    Ticks(3);
    EXPECT_EQ(blast->model, nullptr);

    blast->SetPosition(kSeen);
    Ticks(3);
    ASSERT_NE(blast->model, nullptr);
    Hit(blast, kAtkBurn, 1);
    ASSERT_TRUE(TicksUntilState(blast, 2, 5));
    blast->SetPosition(kHidden);
    Ticks(3);
    EXPECT_EQ(blast->state, 2);
    EXPECT_NE(blast->model, nullptr) << "dying, it keeps its model";
}

// A jet trap in view takes its model from its sensing alone, in the frame
// after it is first sensed, and stays off until its notice.
TEST_F(TrapScenario, AJetTrapInViewTakesItsModelAndStaysOff)
{
    for (const int32_t type : {1200, 1203}) {
        SCOPED_TRACE(type);
        AiObject *trap = Place(type, {type == 1200 ? -30.0f : 30.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        ASSERT_NE(trap, nullptr);
        Ticks(2);  // sensed at the end of the first
        EXPECT_NE(trap->model, nullptr);
        Tick();
        EXPECT_NE(trap->model, nullptr);
        EXPECT_FALSE(trap->eventModel);
        EXPECT_EQ(trap->state, 0);
        EXPECT_FALSE(type == 1200 ? static_cast<CSTrap1200 *>(trap)->jetsStarted
                                  : static_cast<CSTrap1203 *>(trap)->jetsStarted)
            << "no jets while off";
    }
}

// A notice that comes when no model of the trap's type is free leaves it
// unshown and off. In view it waits behind the trap's sensing, which asks
// for a model first, and switches the trap on once one is free; out of
// view the notice is spent, and the next one switches it on.
TEST_F(TrapScenario, ANoticeWhenNoModelIsFreeLeavesItOffUntilAModelIs)
{
    PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    // Each type and the state its notice switches it on to.
    const std::pair<int32_t, int32_t> types[] = {{1200, 1}, {1201, 2}, {1202, 0}};
    float x = -60.0f;
    for (const bool seen : {true, false}) {
        for (const auto &[type, on] : types) {
            SCOPED_TRACE(std::to_string(type) + (seen ? " in view" : " out of view"));
            const RwV3d at = seen ? RwV3d{x, 0.0f, 10.0f} : RwV3d{230.0f, 0.0f, x};  // beyond the east wall
            x += 60.0f;
            AiObject *trap = Place(type, at, {0.0f, 0.0f, -1.0f}, kGroup, 0);
            ASSERT_NE(trap, nullptr);
            CSModelTemplate *tpl = stage.FindModelTemplate(type);
            ASSERT_NE(tpl, nullptr);
            AllModelsTaken taken(tpl);
            Control(trap, kCtlShowHold, kGroup);
            Ticks(3);
            EXPECT_EQ(trap->model, nullptr);
            EXPECT_FALSE(trap->eventModel);
            EXPECT_EQ(trap->state, 0);
            taken.GiveBack();
            Ticks(3);
            EXPECT_EQ(trap->eventModel, seen);
            if (!seen) {
                EXPECT_EQ(trap->model, nullptr);
                Control(trap, kCtlShowHold, kGroup);
                Ticks(3);
            }
            EXPECT_NE(trap->model, nullptr);
            EXPECT_TRUE(trap->eventModel);
            EXPECT_EQ(trap->state, on);
        }
    }
}

// Out of view, a notice that finds no model free ends the trap's reading
// for the frame at once: a drop the event names in the same frame, read
// after it, is taken on the next frame.
TEST_F(TrapScenario, ANoticeThatFindsNoModelFreeEndsTheFramesReading)
{
    PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    AiObject *trap = Place(1200, {230.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);  // beyond the east wall
    ASSERT_NE(trap, nullptr);
    AllModelsTaken taken(stage.FindModelTemplate(1200));
    Tick();
    Control(trap, kCtlDropOverride, 5300010);
    Control(trap, kCtlShowHold, kGroup);  // read first
    Ticks(2);  // delivered, the notice read
    EXPECT_EQ(trap->model, nullptr);
    EXPECT_FALSE(trap->dropOverride);
    Tick();
    EXPECT_TRUE(trap->dropOverride);
    EXPECT_EQ(trap->dropOverrideId, 5300010);
}

// Each jet's axis points from its node's parent frame to the node (a
// flame leaves along the nozzle; the sample nodes lie off their parents
// along more than one axis).
TEST_F(TrapScenario, EachJetPointsFromItsParentFrameToItsNode)
{
    auto *trap = static_cast<CSTrap1200 *>(PlaceTrap(1200));
    Control(trap, kCtlShowHold, kGroup);
    Ticks(3);
    ASSERT_NE(trap->model, nullptr);
    const int32_t nodes[] = {100130, 100140};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(nodes[i]);
        ASSERT_NE(trap->jets[i], nullptr);
        RwFrame *node = trap->model->GetTaggedFrame(nodes[i]);
        ASSERT_NE(node, nullptr);
        const RwV3d from = RwFrameGetLTM(RwFrameGetParent(node))->pos;
        const RwV3d to = RwFrameGetLTM(node)->pos;
        RwV3d axis = {to.x - from.x, to.y - from.y, to.z - from.z};
        RwV3dNormalize(&axis, &axis);
        const RwV3d at = trap->jets[i]->WorldMatrix().at;
        EXPECT_NEAR(at.x, axis.x, 0.01f);
        EXPECT_NEAR(at.y, axis.y, 0.01f);
        EXPECT_NEAR(at.z, axis.z, 0.01f);
    }
}

// A row that names more jets than the trap has slots for starts only the
// slots it has and writes nothing past them.
TEST_F(TrapScenario, AJetRowLongerThanTheTrapsSlotsFillsOnlyItsSlots)
{
    auto *trap = static_cast<CSTrap1200 *>(PlaceTrap(1200));
    Control(trap, kCtlShowHold, kGroup);
    Ticks(3);
    ASSERT_NE(trap->jets[0], nullptr);
    CSParticleSystem *const beyond = trap->jets[0];
    CSParticleSystem *slots[3] = {nullptr, nullptr, beyond};
    bool started = false;
    int32_t lastWeapon = 0;
    const trap::JetSet two = {&started, std::span<CSParticleSystem *>(slots, 2), &lastWeapon};
    const int32_t out = particles.SystemsOut();
    trap::StartJets(trap, *TrapTraitsOf(1203), two);  // four jets asked
    EXPECT_NE(slots[0], nullptr);
    EXPECT_NE(slots[1], nullptr);
    EXPECT_EQ(slots[2], beyond);
    EXPECT_EQ(particles.SystemsOut(), out + 2);
    trap::LetGoJets(two);
}

// The traps' jets when the stage goes: a switched-on jet trap's particle
// systems follow its model's frames, which go with the stage, so its
// release gives every jet back to its pool at once (1200 and 1203 alike).
class TrapRelease : public TrapScenario {};

TEST_F(TrapRelease, TheStageReleaseGivesEveryJetBackAtOnce)
{
    PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    const int32_t out = particles.SystemsOut();
    AiObject *poison = Place(1203, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    AiObject *flame = Place(1200, {20.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    ASSERT_NE(poison, nullptr);
    ASSERT_NE(flame, nullptr);
    Control(poison, kCtlShowHold, kGroup);
    Control(flame, kCtlShowHold, kGroup);
    Ticks(3);
    ASSERT_GT(particles.SystemsOut(), out + 4);  // both traps' jets run
    ReleasePlacedActors(&stage);
    EXPECT_EQ(particles.SystemsOut(), out);
}

// Each type's own ways, one row a type: the states its set-state step
// takes (0 to its last, nothing beyond); a hero's plain blow (the jet traps
// flash, lose its value less their Defense and sound hurt; the breakable
// 1204 only sounds hurt; the blast 1202, which only fire harms, and the
// post 1201, which only blows while it is held harm, show nothing); and its
// death: a jet trap sounds its dying state (3) and darkens at once
// (material animation 2, held, looped); the blast 1202, destroyed by fire,
// fades over its dying motion and a quarter second and sheds the status
// particles, without that sound. Each fade starts once.
TEST_F(TrapScenario, EachTypeTakesItsStatesAndShowsABlowAndItsDeathItsOwnWay)
{
    const int32_t sounds[] = {6300200, 6500150};  // hurt, dying
    const struct {
        int32_t type;
        int32_t last;
        void (*setState)(AiObject *, CFSF *, int32_t);
        bool costsHp;
        bool soundsHurt;
        int32_t killingBlow;  // 0: not killed here
        int32_t dying;
        bool fadesOverItsMotion;
    } rows[] = {{1200, 4, &CSTrap::SetState5, true, true, kAtkPlain, 3, false},
                {1203, 4, &CSTrap::SetState5, true, true, kAtkPlain, 3, false},
                {1202, 3, &CSTrap1202::SetState, false, false, kAtkBurn, 2, true},
                {1204, 6, &CSTrap1204::SetState, false, true, 0, 0, false},
                {1201, 5, &CSTrap1201::SetState, false, false, 0, 0, false}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.type);
        AiObject *unshown = PlaceTrap(r.type);
        r.setState(unshown, unshown->Fsf(), r.last);
        EXPECT_EQ(unshown->state, r.last);
        r.setState(unshown, unshown->Fsf(), 0);
        r.setState(unshown, unshown->Fsf(), r.last + 1);
        EXPECT_EQ(unshown->state, 0) << "a state past the last is ignored";
        unshown->removed = true;

        // Shown as the game shows it: by its group's notice, 1204 in view.
        AiObject *trap = PlaceTrap(r.type);
        trap->modelTemplate->params.defense = 4;  // the blow's value less this
        const uint32_t placed = tick;
        trap->isRender = r.type == 1204 ? 1 : 0;
        if (trap->isRender == 0) {
            Control(trap, kCtlShowHold, kGroup);
        }
        ASSERT_GE(TicksUntil([&] { return trap->model != nullptr; }, 5), 0);
        Ticks(2);
        EXPECT_FALSE(SoundQueued(sounds[0], placed)) << "no blow, no hurt sound";
        EXPECT_EQ(trap->hurtable, r.type != 1204) << "standing, a hero's blow reaches it (1204: its own way)";
        const int32_t hp = trap->hp;
        uint32_t from = tick;
        Hit(trap, kAtkPlain, 20);
        Ticks(3);  // delivered, read, taken
        EXPECT_EQ(hp - trap->hp, r.costsHp ? 20 - monster::ParamsOf(trap).defense : 0);
        const MatAnimInstance *flash = matAnims.Find(trap);
        EXPECT_EQ(flash != nullptr && flash->def->index == 1, r.costsHp) << "the hit flash";
        EXPECT_EQ(SoundQueued(sounds[0], from), r.soundsHurt);
        if (r.killingBlow != 0) {
            from = tick;
            Hit(trap, r.killingBlow, 100000);
            ASSERT_GE(TicksUntil([&] { return trap->state == r.dying; }, 10), 0);
            Tick();
            const MatAnimInstance *fade = matAnims.Find(trap);
            ASSERT_NE(fade, nullptr);
            EXPECT_EQ(fade->def->index, 2) << "the death fade";
            EXPECT_TRUE(fade->loop);
            const float motion = monster::AnimationsOf(trap)->GetMotionDuration(trap->Clump());
            EXPECT_FLOAT_EQ(fade->duration, r.fadesOverItsMotion ? motion + 0.25f : 0.0f);
            EXPECT_EQ(trap->statusParticles, r.fadesOverItsMotion);
            EXPECT_EQ(SoundQueued(sounds[1], from), !r.fadesOverItsMotion);
            EXPECT_FALSE(trap->hurtable) << "falling, no blow reaches it";
            Tick();
            EXPECT_EQ(matAnims.Find(trap), fade) << "started once";
        }
        trap->removed = true;
    }
}

// Each sample trap's life, as a player would follow it, against its kept
// log (tests/boss/fight_logs/TYPE.txt): switched on by its group's notice,
// grabbed, hurt in the hold and let go, burnt, struck and struck down,
// grabbed again and broken in the hold, walked onto and left.
// The log holds, tick by tick, every message, blow, effect and sound, and
// the trap's state, life and place; it was read over against the trap's
// design when kept. When a change to what it shows is meant, write the
// logs again with RW_RECORD_FIGHT_LOGS=1 and read the differences over.
class TrapLife : public TrapScenario, public ::testing::WithParamInterface<int32_t> {};

TEST_P(TrapLife, GoesAsItsKeptLogSays)
{
    const int32_t type = GetParam();
    game::Srand(1);
    AiObject *trap = PlaceTrap(type);
    ASSERT_NE(trap, nullptr);
    bosstest::FightLooks looks;
    for (int t = 1; t <= 600; ++t) {
        switch (t) {
        case 30: Control(trap, kCtlShowHold, kGroup); break;
        case 150: Hit(trap, kAtkGrab, 0); break;
        case 170: Hit(trap, kAtkHeldDamage, 60); break;  // hurt while held
        case 210: Hit(trap, kAtkGrabEnd, 0); break;
        case 260: Hit(trap, kAtkBurn, 30); break;
        case 300: Hit(trap, kAtkPlain, 50); break;
        case 340: Hit(trap, kAtkPlain | kAtkHeavy, 5000); break;
        case 360: Hit(trap, kAtkGrab, 0); break;  // held again and broken in the hold
        case 380: Hit(trap, kAtkHeldDamage, 5000); break;
        case 400: PutHero({0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, 1.0f}); break;  // onto it
        case 450: PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}); break;
        default: break;
        }
        Tick();
        looks.Note(stage, matAnims, particles);
    }
    ExpectFightAsKept("boss/fight_logs/" + std::to_string(type));
}

INSTANTIATE_TEST_SUITE_P(SampleTraps, TrapLife, ::testing::ValuesIn(mkdata::SampleTrapTypes()),
                         [](const ::testing::TestParamInfo<int32_t> &info) { return std::to_string(info.param); });

}  // namespace

// ---- the sample traps' files ----

namespace {

class SampleTrapFiles : public stagetest::StageEngineTest {
protected:
    CFSF Read(int32_t aiType)
    {
        int problems = 0;
        CFSF fsf = gametest::ReadSampleStateMachine("\\RESOURCE\\TRAP", mkdata::SampleTrapName(aiType), &problems);
        EXPECT_EQ(problems, 0) << aiType;
        return fsf;
    }
};

int32_t Feed(CFSF &fsf, int32_t from, int32_t input, int32_t ended)
{
    fsf.SetState(from);
    return fsf.NextState(input, ended);
}

TEST_F(SampleTrapFiles, EveryStateMachineRoutesWhatTheTrapsFeed)
{
    for (int32_t type : mkdata::SampleTrapTypes()) {
        SCOPED_TRACE(type);
        const TrapTraits *row = TrapTraitsOf(type);
        ASSERT_NE(row, nullptr);
        CFSF fsf = Read(type);
        ASSERT_GT(fsf.StateCount(), 0);
        for (const FsfState &state : fsf.States()) {
            EXPECT_LE(state.id, row->lastState) << "the set-state step takes it";
        }
        switch (type) {
        case 1200:
        case 1203:
            EXPECT_EQ(Feed(fsf, 0, 10, 0), 1) << "switched on at once";
            EXPECT_EQ(Feed(fsf, 1, 0, 1), 2) << "the rise leads to firing";
            EXPECT_EQ(Feed(fsf, 2, 0, 1), 1) << "and back";
            EXPECT_EQ(fsf.GetNumOfWeapon(2), 2);
            EXPECT_EQ(fsf.GetAttackAttribute(2), row->blowAttribute);
            for (int32_t s : {0, 1, 2}) {
                EXPECT_EQ(Feed(fsf, s, 120, 0), row->dyingState) << s;
            }
            EXPECT_EQ(Feed(fsf, row->dyingState, 0, 1), row->goneState);
            break;
        case 1202:
            EXPECT_EQ(Feed(fsf, 0, 10, 0), 1);
            EXPECT_EQ(Feed(fsf, 1, 0, 1), 0);
            EXPECT_EQ(Feed(fsf, 1, 120, 0), 2);
            EXPECT_EQ(Feed(fsf, 2, 0, 1), 3);
            EXPECT_EQ(fsf.GetIsHurt(0) + fsf.GetIsHurt(1), 2) << "fire destroys it in either state";
            break;
        case 1201:
            EXPECT_EQ(Feed(fsf, 0, 2, 0), 2);
            EXPECT_EQ(Feed(fsf, 2, 104, 0), 3);
            EXPECT_EQ(Feed(fsf, 3, 105, 0), 2);
            EXPECT_EQ(Feed(fsf, 3, 120, 0), 4);
            EXPECT_EQ(Feed(fsf, 4, 0, 1), 5);
            break;
        case 1204:
            EXPECT_EQ(Feed(fsf, 0, 1, 0), 1);
            EXPECT_EQ(Feed(fsf, 1, 1, 0), 2);
            EXPECT_EQ(Feed(fsf, 2, 1, 0), 6);
            break;
        default:
            break;
        }
    }
}

}  // namespace

}  // namespace trap_test
