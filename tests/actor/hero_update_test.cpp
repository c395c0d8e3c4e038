// The hero's update on the sample's first stage, frame by frame, driven by
// its pad: moving at the state's speed (the stick read from the camera's
// view) and turning to the motion, the attack chain striking the monster
// once per state entry with the kind-1 payload, the hit counter reaching
// the screens, guarding, being held and let go, the action command, the
// pick-up of drops against their limits, and the weapon's model and aura
// coming and going with the equipment.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "actor/actor_screen_calls.h"
#include "actor/ai_type_table.h"
#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "app/pack.h"
#include "app/language.h"
#include "app/trace.h"
#include "fx/particle_manager.h"
#include "fx/xdt_effect_pool.h"
#include "monster/kit_combat.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "support/engine/scratch_path.h"
#include "support/game/diagnostics_capture.h"
#include "support/game/trace_reader.h"
#include "tests/actor/hero_test_support.h"
#include "tools/mkdata/item_data.h"

namespace hero_update_test {

namespace {

using herotest::kDt;

// What the monster receives (its type's update replaced by a reader).
std::vector<MSGData> g_received;
void ReadMessages(AiObject *actor, float)
{
    while (MSGData *m = actor->PopMessage()) {
        if (m->kind != kMsgSensing) {
            g_received.push_back(*m);
        }
        FreeMessage(m);
    }
}

int g_hitCounterCalls = 0;
std::vector<int32_t> g_popups;
std::vector<int32_t> g_actions;
const ActorScreenCalls kRecordingScreens = {
    [] { ++g_hitCounterCalls; },
    [](uint8_t flag, int32_t id) { g_popups.push_back(flag == 1 ? id : -id); },
    nullptr,
    nullptr,
};

class HeroUpdateTest : public herotest::HeroStageTest {
protected:
    void SetUp() override
    {
        HeroStageTest::SetUp();
        g_received.clear();
        g_popups.clear();
        g_actions.clear();
        g_hitCounterCalls = 0;
        ReplaceAiTypeUpdate(1000, ReadMessages);
        g_actorScreens = &kRecordingScreens;
    }
    void TearDown() override
    {
        ReplaceAiTypeUpdate(1000, nullptr);
        ReplaceHeroActionCommand(nullptr);
        g_actorScreens = nullptr;
        HeroStageTest::TearDown();
    }
    RwV3d HeroAt() { return *hero->GetPositionPtr(); }
    // A hit on the hero, as a monster posts it (read in the hero's next frame).
    void HitHero(int32_t attribute, int32_t damage)
    {
        stage->messagePool->Post(kMsgHitHero, monster, hero, 0, attribute, damage);
        stage->messagePool->Deliver(0);
    }
};

// The stage reads its items from the items pack and closes it: the item
// table, the drop maps and this language's descriptions are there, and no
// pack stays open for later reads to go to.
TEST_F(HeroUpdateTest, TheItemsComeFromTheirPackWhichIsClosedAfter)
{
    DestroyItemMembers(stage);
    LoadItemsPackInto(stage);
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
    ASSERT_NE(stage->itemManager, nullptr);
    EXPECT_FALSE(stage->itemManager->Tables().items.empty());
    EXPECT_NE(stage->itemManager->FindItemContent(5300000), nullptr);
    ASSERT_NE(stage->itemDescTable, nullptr);
    EXPECT_GT(stage->itemDescTable->Count(), 0);
    EXPECT_NE(stage->itemDescTable->Find(5300000), nullptr);

    // Each language shows its own names; one without descriptions of its
    // own shows the English ones, and says so.
    const int language = GetLanguageIndex();
    const auto nameIn = [](const char *code) {
        for (const ItemDescEntry &entry : mkdata::SampleItemDescriptions(code)) {
            if (entry.itemId == 5300000) {
                return entry.name;
            }
        }
        return std::u16string();
    };
    ASSERT_NE(nameIn("CHI"), nameIn("ENG"));
    const struct {
        int language;
        const char *shown;
        bool said;
    } cases[] = {{0, "CHI", false}, {1, "ENG", false}, {2, "ENG", true}};
    for (const auto &c : cases) {
        SetLanguageIndex(c.language);
        DestroyItemMembers(stage);
        gametest::CaptureDiagnostics();
        LoadItemsPackInto(stage);
        const std::string said = gametest::TakeDiagnostics();
        const ItemDescEntry *entry = stage->itemDescTable->Find(5300000);
        ASSERT_NE(entry, nullptr) << c.language;
        EXPECT_EQ(entry->name, nameIn(c.shown)) << c.language;
        EXPECT_EQ(said.find("no item descriptions in this language") != std::string::npos, c.said) << said;
    }
    SetLanguageIndex(language);
}

// A figure whose state machine holds no states keeps the state it is in.
TEST_F(HeroUpdateTest, WithNoStatesInItsMachineTheHeroKeepsItsState)
{
    Place(monster, {100.0f, 0.0f, 100.0f}, {0.0f, 0.0f, -1.0f});
    Pad().axes[input::kAxisLy] = -1.0f;
    Tick();
    ASSERT_EQ(hero->state, kHeroStateMove);
    CFSF kept = hero->modelTemplate->fsf;
    hero->modelTemplate->fsf = CFSF();
    Pad().axes[input::kAxisLy] = 0.0f;
    Tick(3);
    EXPECT_EQ(hero->state, kHeroStateMove);
    // Nor has a blow any reaction to lead to.
    HitHero(1, 5);
    Tick();
    EXPECT_EQ(hero->state, kHeroStateMove);
    hero->modelTemplate->fsf = kept;
}

TEST_F(HeroUpdateTest, ThePadMovesTheHeroAtItsStateSpeed)
{
    Place(monster, {100.0f, 0.0f, 100.0f}, {0.0f, 0.0f, -1.0f});
    const float speed = hero->Fsf()->GetSpeed(kHeroStateMove);
    ASSERT_GT(speed, 0.0f);
    Pad().axes[input::kAxisLy] = -1.0f;  // stick up: away from the camera (+z without one)
    Tick();
    EXPECT_EQ(hero->state, kHeroStateMove);
    Tick(49);
    RwV3d at = HeroAt();
    EXPECT_NEAR(at.z, speed * kDt * 50.0f, 0.05f);
    EXPECT_NEAR(at.x, 0.0f, 1e-3f);
    // The d-pad: right is -x without a camera; the hero turns to its motion.
    Pad().axes[input::kAxisLy] = 0.0f;
    Press(kPadRight);
    Tick(10);
    RwV3d facing;
    hero->GetDirection(&facing);
    EXPECT_NEAR(facing.x, -1.0f, 1e-3f);
    EXPECT_NEAR(HeroAt().x, -speed * kDt * 10.0f, 0.05f);
    // A stick at rest within its dead zone stands.
    Release(kPadRight);
    Pad().axes[input::kAxisLx] = 0.2f;
    Tick();
    EXPECT_EQ(hero->state, kHeroStateStand);
    const RwV3d still = HeroAt();
    Tick(5);
    EXPECT_EQ(HeroAt().x, still.x);
    // Pushed just to the edge of the dead zone, it walks.
    Pad().axes[input::kAxisLx] = 0.25f;
    Tick(5);
    EXPECT_LT(HeroAt().x, still.x - 0.01f);
    Pad().axes[input::kAxisLx] = 0.0f;
    const float across = HeroAt().z;
    Pad().axes[input::kAxisLy] = -0.25f;
    Tick(5);
    EXPECT_GT(HeroAt().z, across + 0.01f);
    Pad().axes[input::kAxisLy] = 0.0f;
    Tick(3);
    const float standing = HeroAt().z;
    // No pad, no motion.
    Pad().connected = 0;
    Pad().axes[input::kAxisLy] = -1.0f;
    Tick(5);
    EXPECT_EQ(HeroAt().z, standing);
    // While a scene starts the actor pass is frozen, and the heroes with it.
    Pad().connected = 1;
    stage->actorUpdate = 0;
    Tick(5);
    EXPECT_EQ(HeroAt().z, standing);
    EXPECT_EQ(hero->state, kHeroStateStand);
    stage->actorUpdate = 1;
    Tick(5);
    EXPECT_GT(HeroAt().z, standing);
}

// A stick tilted part way walks the hero that share of its state speed, in
// the stick's direction: (0.3, -0.3) is up and to the right, 0.42 of the way.
// A hero answers only the connected pad it was given: another pad's stick,
// its own pad unplugged, or no pad at all leave it standing.
TEST_F(HeroUpdateTest, AHeroAnswersOnlyItsOwnConnectedPad)
{
    Place(monster, {100.0f, 0.0f, 100.0f}, {0.0f, 0.0f, -1.0f});
    PadState &second = system.padStates[kPadStateBlock][1];
    Pad().axes[input::kAxisLy] = -1.0f;
    // The pads of the block before, live too, never drive it.
    PadState &before = system.padStates[kPadStateBlock - 1][kPadsPerBlock - 1];
    before.connected = 1;
    before.axes[input::kAxisLy] = -1.0f;
    for (const int32_t padIndex : {1, -1, static_cast<int32_t>(kPadsPerBlock)}) {
        hero->padIndex = padIndex;
        Tick(5);
        EXPECT_EQ(HeroAt().z, 0.0f) << "pad " << padIndex;
        EXPECT_EQ(hero->state, kHeroStateStand) << "pad " << padIndex;
    }
    hero->padIndex = 0;
    Pad().connected = 0;
    Tick(5);
    EXPECT_EQ(HeroAt().z, 0.0f) << "unplugged";
    // Its own pad plugged in again, the other one's stick pulled back: away it goes.
    Pad().connected = 1;
    second.connected = 1;
    second.axes[input::kAxisLy] = 1.0f;
    Tick(5);
    EXPECT_GT(HeroAt().z, 0.0f);
    second = PadState{};
    before = PadState{};
}

// An empty place in the stage's hero list (the second player not in) is
// passed over by the hero step and the actor pass; the first hero walks on.
TEST_F(HeroUpdateTest, AnEmptyHeroPlaceIsPassedOver)
{
    Place(monster, {100.0f, 0.0f, 100.0f}, {0.0f, 0.0f, -1.0f});
    ASSERT_EQ(stage->heroCount, 1);
    stage->heroes[1] = nullptr;
    stage->heroCount = 2;
    Pad().axes[input::kAxisLy] = -1.0f;
    Tick(5);
    EXPECT_GT(HeroAt().z, 0.0f);
    stage->heroCount = 1;
}

TEST_F(HeroUpdateTest, AStickTiltedPartWayWalksThatShareOfTheSpeed)
{
    Place(monster, {100.0f, 0.0f, 100.0f}, {0.0f, 0.0f, -1.0f});
    const float speed = hero->Fsf()->GetSpeed(kHeroStateMove);
    Pad().axes[input::kAxisLx] = 0.3f;
    Pad().axes[input::kAxisLy] = -0.3f;
    Tick();
    ASSERT_EQ(hero->state, kHeroStateMove);
    const RwV3d from = HeroAt();
    Tick(40);
    const RwV3d to = HeroAt();
    const float walked = speed * kDt * 40.0f;
    EXPECT_NEAR(to.x - from.x, -0.3f * walked, 0.05f);  // right is -x without a camera
    EXPECT_NEAR(to.z - from.z, 0.3f * walked, 0.05f);
    // Up and right on the d-pad together walk the state speed, not faster along the diagonal.
    Pad().axes[input::kAxisLx] = 0.0f;
    Pad().axes[input::kAxisLy] = 0.0f;
    Press(kPadUp);
    Press(kPadRight);
    Tick();
    const RwV3d start = HeroAt();
    Tick(40);
    const RwV3d end = HeroAt();
    const float diagonal = walked / std::sqrt(2.0f);
    EXPECT_NEAR(end.x - start.x, -diagonal, 0.05f);
    EXPECT_NEAR(end.z - start.z, diagonal, 0.05f);
}

// The stick is read from the camera's view: up walks away from the camera
// along the ground, right walks to the screen's right; a camera looking
// straight down has no ground direction and leaves the world's axes.
TEST_F(HeroUpdateTest, TheStickIsReadFromTheCamerasView)
{
    Place(monster, {100.0f, 0.0f, 100.0f}, {0.0f, 0.0f, -1.0f});
    const float walked = hero->Fsf()->GetSpeed(kHeroStateMove) * kDt * 20.0f;
    RwCamera *camera = RwCameraCreate();
    RwFrame *frame = RwFrameCreate();
    ASSERT_NE(camera, nullptr);
    ASSERT_NE(frame, nullptr);
    RwCameraSetFrame(camera, frame);
    system.camera = camera;
    auto look = [&](const RwV3d &at, const RwV3d &up) {
        RwMatrix *m = RwFrameGetMatrix(frame);
        m->at = at;
        m->up = up;
        RwV3dCrossProduct(&m->right, &up, &at);
        RwMatrixUpdateFlags(m, nullptr);
        RwFrameMarkDirty(frame);
    };
    auto walk = [&](float x, float y) {
        Pad().axes[input::kAxisLx] = x;
        Pad().axes[input::kAxisLy] = y;
        Tick();
        const RwV3d from = HeroAt();
        Tick(20);
        const RwV3d to = HeroAt();
        return RwV3d{to.x - from.x, to.y - from.y, to.z - from.z};
    };
    // Tilted down, looking along (0.6, 0, 0.8) on the ground: its right there is (-0.8, 0, 0.6).
    look({0.48f, -0.6f, 0.64f}, {0.36f, 0.8f, 0.48f});
    RwV3d moved = walk(0.0f, -1.0f);
    EXPECT_NEAR(moved.x, 0.6f * walked, 0.05f);
    EXPECT_NEAR(moved.z, 0.8f * walked, 0.05f);
    moved = walk(1.0f, 0.0f);
    EXPECT_NEAR(moved.x, -0.8f * walked, 0.05f);
    EXPECT_NEAR(moved.z, 0.6f * walked, 0.05f);
    look({0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f});  // straight down
    moved = walk(0.0f, -1.0f);
    EXPECT_NEAR(moved.x, 0.0f, 0.05f);
    EXPECT_NEAR(moved.z, walked, 0.05f);
    // Leaning a ten-thousandth off straight down is still no ground direction.
    look({1e-4f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    moved = walk(0.0f, -1.0f);
    EXPECT_NEAR(moved.x, 0.0f, 0.05f);
    EXPECT_NEAR(moved.z, walked, 0.05f);
    system.camera = nullptr;
    RwCameraSetFrame(camera, nullptr);
    RwFrameDestroy(frame);
    RwCameraDestroy(camera);
}

TEST_F(HeroUpdateTest, TheAttackChainStrikesOncePerStateEntry)
{
    Place(monster, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f});
    Press(kPadSquare);
    Tick();
    EXPECT_EQ(hero->state, 40);
    EXPECT_TRUE(hero->attacking);
    Tick(10);
    Press(kPadSquare);  // queued: the chain goes on when this attack ends
    Tick(30);
    EXPECT_EQ(hero->state, 41);
    Tick(40);
    EXPECT_EQ(hero->state, kHeroStateStand);  // nothing queued after 41
    EXPECT_FALSE(hero->attacking);
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[0].kind, kMsgHitActor);
    EXPECT_EQ(g_received[0].sender, hero);
    EXPECT_EQ(g_received[0].word[0], 0);
    EXPECT_EQ(g_received[0].word[1], 1);   // state 40's attribute
    // AttackValue 20 x LevelAppend 1 + the start weapon's bonus 80.
    ASSERT_EQ(hero->GetAttackBonus(), 80);
    EXPECT_EQ(g_received[0].word[2], 100);
    EXPECT_EQ(g_received[1].word[1], 1 | 2);  // state 41's: damage and its reaction
    EXPECT_EQ(g_received[1].word[2], 105);
    EXPECT_EQ(hero->hitCounter, 2);
    EXPECT_EQ(g_hitCounterCalls, 2);
    // Three seconds later the counter is back at 0; the best stays.
    Tick(190);
    EXPECT_EQ(hero->hitCounter, 0);
    EXPECT_EQ(hero->bestHitCounter, 2);
}

// A hero that leaves the stage in the middle of a swing keeps no mark of
// the stage's actors: in the next stage its swing strikes whoever is there.
TEST_F(HeroUpdateTest, LeavingTheStageMidSwingForgetsWhomItStruck)
{
    Place(monster, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f});
    Press(kPadSquare);
    Tick(20);
    ASSERT_EQ(g_received.size(), 1u);
    ASSERT_EQ(hero->hitMarkCount, 1);
    hero->LeaveStage();
    EXPECT_EQ(hero->hitMarkCount, 0);
    EXPECT_EQ(hero->hitMarks[0], nullptr);
    hero->EnterStage();
}

TEST_F(HeroUpdateTest, AnAttackOutOfReachHitsNothing)
{
    Place(monster, {0.0f, 0.0f, 60.0f}, {0.0f, 0.0f, -1.0f});
    Press(kPadSquare);
    Tick(40);
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(hero->hitCounter, 0);
    // A removed actor is no target either.
    Place(monster, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f});
    monster->removed = true;
    Press(kPadSquare);
    Tick(40);
    EXPECT_EQ(hero->hitCounter, 0);
    monster->removed = false;
}

// The hero the stage makes stands in the fight: a monster's blow, which
// looks only for heroes that are active, finds it and lands as a hit.
TEST_F(HeroUpdateTest, AMonstersBlowFindsTheHeroTheStageMade)
{
    EXPECT_TRUE(hero->active);
    Place(monster, {0.0f, 0.0f, 2.0f}, {0.0f, 0.0f, -1.0f});
    ASSERT_NE(monster->Fsf(), nullptr);
    ASSERT_TRUE(hero->hurtable);
    int32_t next = -1;
    monster::HitHeroes(monster, &next, {.grabConeState = monster->state}, nullptr);
    stage->messagePool->Deliver(0);
    MSGData *hit = hero->PopMessage();
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->kind, kMsgHitHero);
    EXPECT_EQ(hit->sender, monster);
    FreeMessage(hit);
}

TEST_F(HeroUpdateTest, GuardingTakesNoDamage)
{
    Press(kPadR1);
    Tick(2);
    EXPECT_EQ(hero->state, kHeroStateGuard);
    EXPECT_TRUE(hero->guarding);
    const int32_t life = hero->hp;
    HitHero(kAtkPlain, 300);
    Tick();
    EXPECT_EQ(hero->hp, life);
    Release(kPadR1);
    Tick();
    EXPECT_EQ(hero->state, kHeroStateStand);
    EXPECT_FALSE(hero->guarding);
    HitHero(kAtkPlain, 300);
    Tick();
    EXPECT_EQ(hero->hp, life - (300 - hero->GetDefense()));
    EXPECT_EQ(hero->state, kHeroStateHurt);
    EXPECT_EQ(hero->lastAttacker, monster);
}

TEST_F(HeroUpdateTest, AHeldHeroIgnoresThePadUntilLetGo)
{
    HitHero(kAtkGrab, 0);
    Tick();
    EXPECT_EQ(hero->state, kHeroStateHeld);
    EXPECT_TRUE(hero->held);
    Pad().axes[input::kAxisLy] = -1.0f;
    Press(kPadSquare);
    Tick(20);
    EXPECT_EQ(HeroAt().z, 0.0f);
    EXPECT_EQ(hero->state, kHeroStateHeld);
    // However long the grip lasts, the held motion plays round again.
    const MotionRange *motion = hero->modelTemplate->GetMotionRange(kHeroStateHeld);
    ASSERT_NE(motion, nullptr);
    const int frames = motion->endFrame - motion->startFrame;
    ASSERT_GT(frames, 0);
    bool restarted = false;
    for (int tick = 0; tick < 3 * frames; ++tick) {
        const float before = hero->animClock;
        Tick();
        ASSERT_EQ(hero->state, kHeroStateHeld);
        ASSERT_LE(hero->animClock * kAnimFramesPerSecond, static_cast<float>(motion->endFrame) + 1.0f) << tick;
        restarted = restarted || hero->animClock < before;
    }
    EXPECT_TRUE(restarted);
    HitHero(kAtkReleaseHeld, 0);
    Tick();
    EXPECT_FALSE(hero->held);
    Tick();
    EXPECT_EQ(hero->state, kHeroStateMove);  // the stick still held
}

TEST_F(HeroUpdateTest, CircleIsTheActionCommand)
{
    ReplaceHeroActionCommand([](int32_t slot) { g_actions.push_back(slot); });
    Press(kPadCircle);
    Tick(3);  // once per press
    Release(kPadCircle);
    Tick();
    Press(kPadCircle);
    Tick();
    EXPECT_EQ(g_actions, (std::vector<int32_t>{0, 0}));
    // Not while the camera is in a scene.
    stage->cameraMode = 2;
    Release(kPadCircle);
    Tick();
    Press(kPadCircle);
    Tick();
    EXPECT_EQ(g_actions.size(), 2u);
    stage->cameraMode = 0;
    // The game's own command asks the stage's events; a stage without any
    // (none loaded) takes the press and goes on.
    ReplaceHeroActionCommand(nullptr);
    ASSERT_EQ(stage->eventManager, nullptr);
    Release(kPadCircle);
    Tick();
    Press(kPadCircle);
    Tick();
    EXPECT_EQ(g_actions.size(), 2u);
    EXPECT_EQ(hero->state, kHeroStateStand);
}

TEST_F(HeroUpdateTest, DropsArePickedUpWithinReachUpToTheirLimit)
{
    CSXdtEffectPool pool;
    pool.SetWorld(stage->world);
    stage->xdtEffectPool = &pool;
    auto settle = [&] {
        for (int i = 0; i < 120; ++i) {
            pool.Update(kDt);
        }
    };
    const float reach = hero->Params()->radius + 5.0f;
    ASSERT_NE(pool.Spawn(5300000, {0.0f, 0.0f, reach - 0.5f}, 1), nullptr);
    ASSERT_NE(pool.Spawn(5300010, {0.0f, 0.0f, reach + 1.0f}, 1), nullptr);  // out of reach
    ASSERT_NE(pool.Spawn(100054, {0.0f, 0.0f, -2.0f}, 1), nullptr);          // a shared item
    ASSERT_NE(pool.Spawn(4010100, {2.0f, 0.0f, 0.0f}, 1), nullptr);          // not in the table
    const std::string trace = rwtest::ScratchPath("hero_pickups_trace.txt");
    std::string error;
    ASSERT_TRUE(game::TraceOpen(trace, &error)) << error;
    Tick();
    EXPECT_TRUE(g_popups.empty());  // in the air: not yet
    settle();
    // A hero that is not one of the stage's players picks nothing up.
    stage->heroCount = 0;
    EXPECT_EQ(hero->PickUpDrops(stage), 0);
    stage->heroCount = 1;
    hero->SetPosition({0.0f, 2.0f * reach, 0.0f});
    EXPECT_TRUE(g_popups.empty());
    EXPECT_EQ(hero->PickUpDrops(stage), 0);  // standing high above them: out of reach
    hero->SetPosition({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(hero->PickUpDrops(stage), 2);  // the two in reach that the tables know
    game::TraceClose();
    EXPECT_EQ(stage->itemManager->GetItemCount(1, 5300000), 1);
    EXPECT_EQ(stage->itemManager->GetItemCount(0, 100054), 1);
    EXPECT_EQ(stage->itemManager->GetItemCount(1, 5300010), 0);
    EXPECT_EQ(g_popups, (std::vector<int32_t>{5300000, 100054}));
    EXPECT_EQ(pool.EntriesInUse(), 2);
    // Each pickup is traced with the hero, the item and the list it went to.
    const auto pickups = gametest::RecordsOfKind(gametest::ReadTrace(trace), "pickup");
    ASSERT_EQ(pickups.size(), 2u);
    EXPECT_EQ(pickups[0].Int(0), hero->aiId);
    EXPECT_EQ(pickups[0].Int(1), 5300000);
    EXPECT_EQ(pickups[0].Int(2), 1);
    EXPECT_EQ(pickups[1].Int(1), 100054);
    EXPECT_EQ(pickups[1].Int(2), 0);
    // At its OwnLimit (9) a drop stays where it lies.
    for (int i = 0; i < 8; ++i) {
        stage->itemManager->AddItem(1, 5300000);
    }
    pool.Spawn(5300000, {1.0f, 0.0f, 1.0f}, 1);
    settle();
    Tick();
    EXPECT_EQ(stage->itemManager->GetItemCount(1, 5300000), 9);
    EXPECT_EQ(pool.EntriesInUse(), 3);
    // Up on a ledge far from the stage's middle, a drop lying beside the
    // hero is in reach.
    hero->SetPosition({40.0f, reach, 40.0f});
    ASSERT_NE(pool.Spawn(5300010, {40.0f, reach, 41.0f}, 1), nullptr);
    settle();
    EXPECT_EQ(hero->PickUpDrops(stage), 1);
    EXPECT_EQ(stage->itemManager->GetItemCount(1, 5300010), 1);
    stage->xdtEffectPool = nullptr;
}

RwFrame *ParentOf(RpClump *clump) { return RwFrameGetParent(RpClumpGetFrame(clump)); }

// A piece put on shows at the hero's next frame without anything else
// asking: the charm's aura starts there.
TEST_F(HeroUpdateTest, EquipmentPutOnShowsAtTheHerosNextFrame)
{
    CSParticleManager particles;
    ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false));
    stage->particleManager = &particles;
    ASSERT_TRUE(hero->EquipItem(stage->itemManager->FindEquipContent(5200020), 1));
    EXPECT_EQ(hero->equipAura, nullptr);
    Tick();
    EXPECT_NE(hero->equipAura, nullptr);
    EXPECT_EQ(particles.SystemsOut(), 1);
    hero->StopAura();
    stage->particleManager = nullptr;
}

// The charm's aura goes with the hero's frame as the hero moves; an effect
// put on a frame without following stays where it started, unless its
// display word asks it to follow the emitter.
TEST_F(HeroUpdateTest, TheAuraGoesWithTheHeroAndAnUnfollowingEffectStaysWhereItStarted)
{
    CSParticleManager particles;
    ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false));
    stage->particleManager = &particles;
    ASSERT_TRUE(hero->EquipItem(stage->itemManager->FindEquipContent(5200020), 1));
    Tick();
    CSParticleSystem *aura = hero->equipAura;
    ASSERT_NE(aura, nullptr);
    CSParticleSystem *left = hero->SpawnParticleAtFrame("3400400.zus", 100020, 1, 0, 0.0f, 0, 0, 0);
    CSParticleSystem *led = hero->SpawnParticleAtFrame("3400400.zus", 100020, 1, 0, 0.0f, 0, 0, kPrtFollowEmitter);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(led, nullptr);
    RwFrame *frame = FindFrameByUserId(hero->model->clump, 100020);
    ASSERT_NE(frame, nullptr);
    const RwV3d start = RwFrameGetLTM(frame)->pos;
    const RwV3d shift = {6.0f, 0.0f, -4.0f};
    RwFrameTranslate(RpClumpGetFrame(hero->model->clump), &shift, rwCOMBINEPOSTCONCAT);
    particles.Update(0.016f);
    const RwV3d now = RwFrameGetLTM(frame)->pos;
    ASSERT_NEAR(now.x, start.x + 6.0f, 1e-3f);
    for (const CSParticleSystem *follows : {aura, led}) {
        EXPECT_NEAR(follows->WorldMatrix().pos.x, now.x, 1e-3f);
        EXPECT_NEAR(follows->WorldMatrix().pos.z, now.z, 1e-3f);
    }
    EXPECT_NEAR(left->WorldMatrix().pos.x, start.x, 1e-3f);
    EXPECT_NEAR(left->WorldMatrix().pos.z, start.z, 1e-3f);
    left->Release();
    led->Release();
    hero->StopAura();
    stage->particleManager = nullptr;
}

TEST_F(HeroUpdateTest, TheWeaponAndTheAuraComeAndGoWithTheEquipment)
{
    CSParticleManager particles;
    ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false));
    stage->particleManager = &particles;
    CSItemManager *items = stage->itemManager;
    // The hero starts with its weapon on.
    EXPECT_EQ(hero->GetEquippedItem(kHeroWeaponSlot), items->FindEquipContent(kHeroStartWeapon[0]));
    ASSERT_NE(hero->weaponClump, nullptr);
    RwFrame *hand = hero->model->GetTaggedFrame(hero->Params()->weaponIds.front());
    EXPECT_EQ(ParentOf(hero->weaponClump), hand);
    // It follows the hand through the attack's motion.
    const RwV3d before = RwFrameGetLTM(RpClumpGetFrame(hero->weaponClump))->pos;
    Press(kPadSquare);
    Tick(12);
    const RwV3d during = RwFrameGetLTM(RpClumpGetFrame(hero->weaponClump))->pos;
    const RwV3d handNow = RwFrameGetLTM(hand)->pos;
    EXPECT_GT(std::fabs(during.y - before.y) + std::fabs(during.x - before.x), 1.0f);
    EXPECT_NEAR(during.x, handNow.x, 1e-3f);
    EXPECT_NEAR(during.y, handNow.y, 1e-3f);
    // The weapon's bonus reaches the hit.
    EXPECT_EQ(hero->GetAttackBonus(), 80);

    // The aura of the charm, and none without it.
    ASSERT_TRUE(hero->EquipItem(items->FindEquipContent(5200020), 1));
    hero->RecomputeEquipment();
    CSParticleSystem *aura = hero->equipAura;
    ASSERT_NE(aura, nullptr);
    EXPECT_EQ(particles.SystemsOut(), 1);
    // Recomputed again (another piece put on, a stage entered), the aura
    // glows on: the same system, not a fresh start from the template's
    // pool (whose next copy would be handed out).
    hero->RecomputeEquipment();
    EXPECT_EQ(hero->equipAura, aura);
    EXPECT_TRUE(aura->IsEmitting());
    EXPECT_EQ(particles.SystemsOut(), 1);
    hero->UnequipSlot(1);
    hero->RecomputeEquipment();
    EXPECT_EQ(hero->equipAura, nullptr);
    EXPECT_EQ(particles.SystemsOut(), 0);

    // Taken off, the weapon's model goes; a weapon without a model is unseen.
    EXPECT_EQ(hero->UnequipSlot(kHeroWeaponSlot), 1);
    EXPECT_EQ(hero->weaponClump, nullptr);
    EquipContent unseen = *items->FindEquipContent(kHeroStartWeapon[0]);
    unseen.equipId = 5100990;
    hero->EquipItem(&unseen, kHeroWeaponSlot);
    hero->RecomputeEquipment();
    EXPECT_EQ(hero->weaponClump, nullptr);
    EXPECT_EQ(hero->GetAttackBonus(), 80);
    hero->UnequipSlot(kHeroWeaponSlot);
    // A figure with no hand to hold it shows none, and says so.
    std::vector<int32_t> &hands = hero->modelTemplate->params.weaponIds;
    const std::vector<int32_t> kept = hands;
    hands.clear();
    gametest::CaptureDiagnostics();
    hero->EquipItem(items->FindEquipContent(kHeroStartWeapon[0]), kHeroWeaponSlot);
    hero->RecomputeEquipment();
    EXPECT_EQ(hero->weaponClump, nullptr);
    EXPECT_NE(gametest::TakeDiagnostics().find("the weapon cannot be shown on the hero"), std::string::npos);
    hero->UnequipSlot(kHeroWeaponSlot);
    hands = kept;
    stage->particleManager = nullptr;
}

// Leaving the stage (its heroes unloaded) takes the hero's aura with it:
// nothing of it glows on where the hero stood.
TEST_F(HeroUpdateTest, TheHerosAuraGoesWithTheStagesHeroes)
{
    CSParticleManager particles;
    ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false));
    stage->particleManager = &particles;
    ASSERT_TRUE(hero->EquipItem(stage->itemManager->FindEquipContent(5200020), 1));
    hero->RecomputeEquipment();
    ASSERT_NE(hero->equipAura, nullptr);
    EXPECT_EQ(particles.SystemsOut(), 1);
    stage->UnloadHeroes();
    hero = nullptr;
    EXPECT_EQ(particles.SystemsOut(), 0);
    stage->particleManager = nullptr;
}

}  // namespace

}  // namespace hero_update_test
