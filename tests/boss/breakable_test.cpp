// The breakable objects frame by frame on the arena: which hits break each
// think variant, break pattern A's drop or money, pattern B's fade and
// drop, the model by distance, the sparkling crate, and the special
// designs: the front-only target, the liftable object and the barrel bomb
// whose blast hurts a hero and lights another bomb.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "boss/breakable_objects.h"
#include "fx/mat_anim_table.h"
#include "monster/kit_common.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"
#include "tests/monster/monster_scenario.h"
#include "tools/mkdata/item_data.h"

namespace breakable_test {

namespace {

using gametest::FsfBuilder;
using monstertest::AllModelsTaken;
using monstertest::MonsterScenario;

class Breakables : public MonsterScenario {
protected:
    AiObject *Object(int32_t aiType, const RwV3d &at = {0.0f, 0.0f, 20.0f}, int32_t itemType = 0)
    {
        AiObject *actor = Place(aiType, at, {0.0f, 0.0f, -1.0f});
        if (actor != nullptr) {
            actor->itemType = itemType;
        }
        return actor;
    }

    void Post(AiObject *target, int32_t kind, int32_t bits, int32_t value, AiObject *sender)
    {
        stage.messagePool->Post(kind, sender, target, 0, bits, value);
    }

    int32_t Count(const std::string &what, const std::string &first = "")
    {
        int32_t count = 0;
        for (const gametest::TraceRecord &r : EffectLines()) {
            count += r.fields.size() > 1 && r.fields[0] == what && (first.empty() || r.fields[1] == first);
        }
        return count;
    }

    int32_t RewardPaid()
    {
        int32_t paid = 0;
        for (const gametest::TraceRecord &r : EffectLines()) {
            paid += r.fields.size() > 2 && r.fields[0] == "reward" ? static_cast<int32_t>(r.Int(1)) : 0;
        }
        return paid;
    }

    // The target at (0, 0, 20) facing -z, its last HP taken by a blow from
    // the front: true once it has fallen (state 4) and acted there once.
    bool FellByAFrontBlow(AiObject *target)
    {
        target->hp = 5;
        AiObject front;
        front.position = {0.0f, 0.0f, 0.0f};
        Post(target, kMsgHitActor, kAtkPlain, 50, &front);
        if (TicksUntil([&] { return target->state == 4; }, 10) < 0) {
            return false;
        }
        Tick();
        return true;
    }

    int32_t MatAnimOf(const AiObject *actor) const
    {
        const MatAnimInstance *running = matAnims.Find(actor);
        return running != nullptr && running->def != nullptr ? running->def->index : -1;
    }
};

// Each variant against each kind of blow: a hero's plain (1) and heavy
// (64) kind-1 hits, a monster's blow meant for a hero (kind 2, bit 1), an
// effect's plain hit without a sender, the wall breaker (262144), and a
// hit of neither plain nor heavy bits (2).
TEST_F(Breakables, EachVariantBreaksOnItsOwnHits)
{
    struct Blow {
        const char *name;
        int32_t kind;
        int32_t bits;
        bool bySender;
    };
    const Blow blows[] = {
        {"plain", kMsgHitActor, kAtkPlain, true},          {"heavy", kMsgHitActor, kAtkHeavy, true},
        {"monster's", kMsgHitHero, kAtkPlain, true},       {"effect's", kMsgHitActor, kAtkPlain, false},
        {"wall breaker", kMsgHitActor, kAtkBreakWall, true}, {"hurt only", kMsgHitActor, kAtkHurt2, true},
    };
    struct Case {
        int32_t type;
        bool breaks[6];  // by the blows above, in order
    };
    const Case cases[] = {
        {10008, {true, true, false, true, false, false}},   // S
        {10012, {true, true, false, true, false, false}},   // S
        {10005, {true, true, true, true, false, false}},    // E
        {10000, {true, true, true, true, false, false}},    // N
        {10019, {true, true, true, true, false, false}},    // N
        {10020, {false, false, false, true, false, false}}, // X: only without a sender
        {10022, {false, false, false, false, true, false}}, // W
        {10001, {false, false, false, false, true, false}}, // K
    };
    PutHero({0.0f, 0.0f, -40.0f});
    float x = -180.0f;
    for (const Case &c : cases) {
        for (size_t b = 0; b < std::size(blows); ++b) {
            SCOPED_TRACE(std::to_string(c.type) + " " + blows[b].name);
            AiObject *object = Object(c.type, {x, 0.0f, 20.0f});
            x += 6.0f;
            ASSERT_NE(object, nullptr);
            Tick();
            ASSERT_NE(object->model, nullptr);
            EXPECT_EQ(object->state, 0);
            Post(object, blows[b].kind, blows[b].bits, 10, blows[b].bySender ? &hero : nullptr);
            Ticks(2);
            EXPECT_EQ(object->state == 1 || object->state == 2 || object->removed, c.breaks[b]) << object->state;
            object->removed = true;  // out of the way of the next
        }
    }
}

// With no model of its type free, an object leaves its blows waiting,
// unbroken: a wall (W) takes no message until a model is free, one that
// holds its model by distance (S) takes none while its sensing asks for a
// model in vain. Once one is free it takes it and breaks on the blow.
TEST_F(Breakables, WithNoModelFreeItsBlowsWaitUntilOneIs)
{
    PutHero({0.0f, 0.0f, -40.0f});
    const std::pair<int32_t, int32_t> cases[] = {{10022, kAtkBreakWall}, {10008, kAtkPlain}};
    float x = -60.0f;
    for (const auto &[type, bits] : cases) {
        SCOPED_TRACE(type);
        AiObject *object = Place(type, {x, 0.0f, 20.0f}, {0.0f, 0.0f, -1.0f});
        x += 60.0f;
        ASSERT_NE(object, nullptr);
        object->SetModelInstance(nullptr);
        CSModelTemplate *tpl = stage.FindModelTemplate(type);
        ASSERT_NE(tpl, nullptr);
        AllModelsTaken taken(tpl);
        Post(object, kMsgHitActor, bits, 10, &hero);
        Ticks(3);
        EXPECT_EQ(object->model, nullptr);
        EXPECT_EQ(object->state, 0);
        taken.GiveBack();
        Ticks(3);
        EXPECT_NE(object->model, nullptr);
        EXPECT_TRUE(object->state == 1 || object->state == 2 || object->removed) << object->state;
    }
}

// The family takes the states 0 to 2 only: a state machine that leads a
// breaking object to a state past them leaves it where it is.
TEST_F(Breakables, AStatePastTheFamilysLastIsNotTaken)
{
    PutHero({0.0f, 0.0f, -40.0f});
    AiObject *object = Object(10008);
    ASSERT_NE(object, nullptr);
    FsfBuilder b;
    b.State(0).To(1, 3, 1);
    b.State(3);
    UseStateMachine(10008, b.Build());
    Tick();
    ASSERT_NE(object->model, nullptr);
    Post(object, kMsgHitActor, kAtkPlain, 10, &hero);
    Ticks(2);
    EXPECT_EQ(object->state, 0);
}

// Type 10000 holds its animation until a hit of either kind, 10019 until
// a monster's blow.
TEST_F(Breakables, TheHeldAnimationRunsFromTheRightHit)
{
    PutHero({0.0f, 0.0f, -40.0f});
    AiObject *crate = Object(10000, {-20.0f, 0.0f, 20.0f});
    AiObject *chest = Object(10019, {20.0f, 0.0f, 20.0f});
    chest->animHold = true;  // as an event might have set it
    Tick();
    EXPECT_TRUE(crate->animHold);
    Post(crate, kMsgHitActor, kAtkPlain, 10, &hero);
    Post(chest, kMsgHitActor, kAtkPlain, 10, &hero);
    Ticks(2);
    EXPECT_FALSE(crate->animHold);
    EXPECT_TRUE(chest->animHold);
    AiObject *other = Object(10019, {40.0f, 0.0f, 20.0f});
    other->animHold = true;
    Tick();
    Post(other, kMsgHitHero, kAtkPlain, 10, &hero);
    Ticks(2);
    EXPECT_FALSE(other->animHold);
}

// Pattern A: broken, it drops what its drop map rolls; when nothing comes
// out it pays rand() % 6 + 10 money (5 for 10005) times the first hero's
// hit-counter multiplier as reward pieces, and a kill to that hero. The
// pieces effect shows it breaking.
TEST_F(Breakables, PatternAPaysMoneyWhenNothingDrops)
{
    PutHero({0.0f, 0.0f, -40.0f});
    struct Case {
        int32_t type;
        int32_t hitCounter;
        int32_t least;
        int32_t most;
    };
    const Case cases[] = {{10008, 0, 10, 15}, {10008, 6, 20, 30}, {10008, 71, 100, 150}, {10005, 0, 5, 10},
                          {10005, 13, 15, 30}};
    float x = -60.0f;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " x" + std::to_string(c.hitCounter));
        hero.hitCounter = c.hitCounter;
        const int32_t kills = hero.killCount;
        const int32_t paid = RewardPaid();
        const int32_t pieces = Count("start", "BkShield");
        AiObject *object = Object(c.type, {x, 0.0f, 20.0f});
        x += 30.0f;
        Tick();
        Post(object, kMsgHitActor, kAtkPlain, 10, &hero);
        ASSERT_GE(TicksUntil([&] { return object->removed; }, 200), 0);
        EXPECT_EQ(object->model, nullptr);
        EXPECT_FALSE(object->active);
        EXPECT_EQ(hero.killCount, kills + 1);
        EXPECT_EQ(Count("start", "BkShield") - pieces, 1);
        Ticks(400);  // every piece reaches the hero
        const int32_t amount = RewardPaid() - paid;
        EXPECT_GE(amount, c.least);
        EXPECT_LE(amount, c.most);
    }
    // With a drop, no money.
    const int32_t paid = RewardPaid();
    AiObject *object = Object(10008, {60.0f, 0.0f, 20.0f}, mkdata::kSampleSureDropMap);
    Tick();
    Post(object, kMsgHitActor, kAtkPlain, 10, &hero);
    ASSERT_GE(TicksUntil([&] { return object->removed; }, 200), 0);
    EXPECT_EQ(Count("drop", "5300000"), 1);
    Ticks(300);
    EXPECT_EQ(RewardPaid(), paid);
}

// A stage without a hero pays neither money nor a kill to a hero that is
// not there.
TEST_F(Breakables, PatternAWithoutAHeroPaysNothing)
{
    AiObject *object = Object(10008);
    stage.heroCount = 0;
    Tick();
    stage.messagePool->Post(kMsgHitActor, nullptr, object, 0, kAtkPlain, 10);
    ASSERT_GE(TicksUntil([&] { return object->removed; }, 200), 0);
    EXPECT_EQ(Count("start", "3406000"), 0);
    stage.heroCount = 1;
    EXPECT_EQ(hero.killCount, 0);
}

// Pattern B: breaking, its pieces fade (material animation 4) and its break
// sound plays; broken, it drops and goes, without money.
TEST_F(Breakables, PatternBFadesAndDrops)
{
    PutHero({0.0f, 0.0f, -40.0f});
    AiObject *object = Object(10012, {0.0f, 0.0f, 20.0f}, mkdata::kSampleSureDropMap);
    Tick();
    Post(object, kMsgHitActor, kAtkPlain, 10, &hero);
    ASSERT_GE(TicksUntil([&] { return object->state == 1; }, 5), 0);
    Tick();
    EXPECT_TRUE(object->busy);
    EXPECT_EQ(MatAnimOf(object), 4);
    EXPECT_TRUE(SoundQueued(6500150));
    ASSERT_GE(TicksUntil([&] { return object->removed; }, 200), 0);
    EXPECT_EQ(Count("drop", "5300000"), 1);
    Ticks(200);
    EXPECT_EQ(RewardPaid(), 0);
    EXPECT_EQ(Count("start", "BkShield"), 0);
}

// A wall brought down is gone for good: though it always holds a model
// while it stands, once removed it takes none again, and breaks, drops and
// scatters its pieces only the once.
TEST_F(Breakables, ABrokenWallBreaksOnlyOnce)
{
    PutHero({0.0f, 0.0f, -40.0f});
    float x = -40.0f;
    for (int32_t type : {10022, 10001}) {
        SCOPED_TRACE(type);
        AiObject *wall = Object(type, {x, 0.0f, 20.0f}, mkdata::kSampleSureDropMap);
        x += 80.0f;
        ASSERT_NE(wall, nullptr);
        Tick();
        Post(wall, kMsgHitActor, kAtkBreakWall, 10, &hero);
        ASSERT_GE(TicksUntil([&] { return wall->removed; }, 200), 0);
        const int32_t state = wall->state;
        const int32_t drops = Count("drop");
        const int32_t starts = Count("start");
        Ticks(10);
        EXPECT_EQ(wall->model, nullptr);
        EXPECT_EQ(wall->state, state);
        EXPECT_EQ(Count("drop"), drops);
        EXPECT_EQ(Count("start"), starts);
    }
}

// An event that names a drop: the object broken drops that, not its map's
// roll, and pays no money, whichever hits break it and whatever it does
// while breaking (the sparkling crate, pattern A, pattern B, 10019); the
// wall that only the breaker brings down never drops.
TEST_F(Breakables, AnEventsDropReplacesTheMapsDropAndTheMoney)
{
    PutHero({0.0f, 0.0f, -40.0f});
    hero.hitCounter = 6;
    float x = -60.0f;
    for (const int32_t type : {10000, 10008, 10012, 10019}) {
        SCOPED_TRACE(type);
        const int32_t named = Count("drop", "5300010");
        const int32_t rolled = Count("drop", "5300000");
        const int32_t paid = RewardPaid();
        AiObject *object = Object(type, {x, 0.0f, 20.0f}, mkdata::kSampleSureDropMap);
        x += 40.0f;
        Tick();
        Control(object, kCtlDropOverride, 5300010);
        Tick();
        Post(object, kMsgHitActor, kAtkPlain, 10, &hero);
        ASSERT_GE(TicksUntil([&] { return object->removed; }, 200), 0);
        EXPECT_EQ(Count("drop", "5300010") - named, 1) << "the event's drop";
        EXPECT_EQ(Count("drop", "5300000"), rolled) << "instead of the map's";
        Ticks(300);
        EXPECT_EQ(RewardPaid(), paid) << "and no money";
    }
    AiObject *wall = Object(10001, {x, 0.0f, 20.0f}, mkdata::kSampleSureDropMap);
    Tick();
    Control(wall, kCtlDropOverride, 5300010);
    Tick();
    const int32_t drops = Count("drop");
    Post(wall, kMsgHitActor, kAtkBreakWall, 10, &hero);
    ASSERT_GE(TicksUntil([&] { return wall->removed; }, 200), 0);
    EXPECT_EQ(Count("drop"), drops);
}

// The model by distance: out of the camera's view it gives the model back;
// beyond 400 units of the camera it is not sensed and takes none; near and
// in view it takes one again.
TEST_F(Breakables, ItHoldsAModelOnlyNearTheCamera)
{
    PutHero({0.0f, 0.0f, -40.0f});
    AiObject *object = Object(10008, {190.0f, 0.0f, 190.0f});
    camera = {0.0f, 150.0f, -150.0f};  // 430 away
    object->SetModelInstance(nullptr);
    Ticks(3);
    EXPECT_EQ(object->model, nullptr);
    camera = {150.0f, 150.0f, 100.0f};  // near, in view
    Ticks(3);
    EXPECT_NE(object->model, nullptr);
    camera = {0.0f, 150.0f, -150.0f};
    object->SetPosition({230.0f, 0.0f, 60.0f});  // behind the east wall, within 400
    Ticks(2);
    EXPECT_EQ(object->model, nullptr);
    // Unseen, it still breaks on a blow (an effect's, say) in its frame.
    Post(object, kMsgHitActor, kAtkPlain, 10, nullptr);
    Ticks(2);  // delivered, read
    EXPECT_EQ(object->state, 1);
}

// Each variant that holds its model by distance (S, E, N, X) gives it back
// out of the camera's view and takes it again in view, as do the target
// and the liftable object; the always-model variants (W, K) and the bomb
// keep theirs.
TEST_F(Breakables, OnlyTheVariantsByDistanceGiveTheirModelBackOutOfView)
{
    PutHero({0.0f, 0.0f, -40.0f});
    const std::pair<int32_t, bool> variants[] = {{10008, true},  {10002, true},  {10018, true},
                                                 {10020, true},  {10022, false}, {10001, false},
                                                 {10026, true},  {10027, true},  {10028, false}};
    for (const auto &[type, byDistance] : variants) {
        SCOPED_TRACE(type);
        camera = {150.0f, 150.0f, 100.0f};  // near, in view
        AiObject *object = Object(type, {190.0f, 0.0f, 190.0f});
        Ticks(2);
        ASSERT_NE(object->model, nullptr);
        camera = {0.0f, 150.0f, -150.0f};
        object->SetPosition({230.0f, 0.0f, 60.0f});  // behind the east wall, within 400
        Ticks(2);
        EXPECT_EQ(object->model == nullptr, byDistance);
        camera = {150.0f, 150.0f, 100.0f};
        object->SetPosition({190.0f, 0.0f, 190.0f});
        Ticks(2);
        EXPECT_NE(object->model, nullptr);
    }
}

// The sparkling crate's two systems go back to their pool once dead.
TEST_F(Breakables, TheSparklesGoBackToTheirPool)
{
    PutHero({0.0f, 0.0f, -40.0f});
    AiObject *object = Object(10000);
    Tick();
    const int32_t out = particles.SystemsOut();
    Post(object, kMsgHitActor, kAtkPlain, 10, &hero);
    int32_t most = out;
    TicksUntil([&] {
        most = std::max(most, particles.SystemsOut());
        return object->removed;
    }, 200);
    EXPECT_EQ(most, out + 2);
    EXPECT_TRUE(SoundQueued(6500110));
    Ticks(200);
    EXPECT_EQ(particles.SystemsOut(), out);
}

// 10026: a hit costs its full damage (no Defense) only from within 60
// degrees of its facing; at 1 HP it still stands, at 0 it falls, lies
// 1.5 s, stands again and is back at full HP, removed for no longer than
// the rest of one frame.
TEST_F(Breakables, TheTargetIsHurtOnlyFromTheFrontAndStandsAgain)
{
    AiObject *target = Object(10026, {0.0f, 0.0f, 20.0f});  // facing -z
    PutHero({0.0f, 0.0f, -40.0f});
    Tick();
    const int32_t full = target->hp;
    struct Where {
        float degrees;
        bool hurts;
    };
    for (const Where &w : {Where{0.0f, true}, Where{50.0f, true}, Where{70.0f, false}, Where{180.0f, false}}) {
        SCOPED_TRACE(w.degrees);
        const float r = w.degrees * 3.14159265f / 180.0f;
        AiObject attacker;
        attacker.position = {20.0f * std::sin(r), 0.0f, 20.0f - 20.0f * std::cos(r)};
        const int32_t hp = target->hp;
        Post(target, kMsgHitActor, kAtkPlain, 7, &attacker);
        Ticks(3);
        EXPECT_EQ(hp - target->hp, w.hurts ? 7 : 0);
        target->hp = hp - (w.hurts ? 7 : 0);
    }
    EXPECT_TRUE(SoundQueued(6500190));
    // A front blow that leaves it one HP does not fell it.
    target->hp = 8;
    AiObject front;
    front.position = {0.0f, 0.0f, 0.0f};
    Post(target, kMsgHitActor, kAtkPlain, 7, &front);
    for (int i = 0; i < 60; ++i) {
        Tick();
        EXPECT_NE(target->state, 4) << "fading";
    }
    EXPECT_EQ(target->hp, 1);
    EXPECT_FALSE(target->busy);
    ASSERT_TRUE(FellByAFrontBlow(target));
    EXPECT_TRUE(target->busy);
    ASSERT_GE(TicksUntil([&] { return target->state == 6; }, 400), 0);
    int removedFrames = 0;
    ASSERT_GE(TicksUntil([&] {
                  removedFrames += target->removed ? 1 : 0;
                  return target->state == 0 && !target->removed;
              }, 400),
              0);
    EXPECT_LE(removedFrames, 1);
    EXPECT_EQ(target->hp, full);
    EXPECT_FALSE(target->busy);
    EXPECT_NE(target->model, nullptr);
}

// 10026 fades afresh each time it falls (material animation 4 from its
// start) and stands up whole again, and a blow from right at the point behind its centre that the
// front is judged from counts as from the front.
TEST_F(Breakables, TheTargetFadesAfreshAtEachFall)
{
    AiObject *target = Object(10026, {0.0f, 0.0f, 20.0f});  // facing -z
    PutHero({0.0f, 0.0f, -40.0f});
    Tick();
    AiObject inside;
    inside.position = {0.0f, 0.0f, 21.0f};
    const int32_t hp = target->hp;
    Post(target, kMsgHitActor, kAtkPlain, 7, &inside);
    Ticks(3);
    EXPECT_EQ(hp - target->hp, 7);
    for (int fall = 0; fall < 2; ++fall) {
        SCOPED_TRACE(fall);
        ASSERT_GE(TicksUntil([&] { return target->state == 0 && !target->removed; }, 400), 0);
        ASSERT_TRUE(FellByAFrontBlow(target));
        const MatAnimInstance *fade = matAnims.Find(target);
        ASSERT_NE(fade, nullptr);
        EXPECT_EQ(fade->def->index, 4);
        EXPECT_LE(fade->time, 2.0f * monstertest::kDt) << "from its start";
        // Looping over its fall's motion and a quarter second: it holds
        // the faded end while the target lies.
        EXPECT_TRUE(fade->loop);
        CSClumpAnimManager *animations = monster::AnimationsOf(target);
        ASSERT_NE(animations, nullptr);
        EXPECT_NEAR(fade->duration, animations->GetMotionDuration(target->Clump()) + 0.25f, 1e-4f);
        ASSERT_GE(TicksUntil([&] { return target->state == 5 && fade->time >= fade->duration; }, 400), 0);
        Tick();
        EXPECT_EQ(matAnims.Find(target), fade);
        EXPECT_EQ(matAnims.LookOf(target).alphaScale, 0.0f);
        // Standing up again it shows whole, not faded.
        ASSERT_GE(TicksUntil([&] { return target->state == 6; }, 400), 0);
        Ticks(2);
        EXPECT_EQ(matAnims.Find(target), nullptr);
        EXPECT_EQ(matAnims.LookOf(target).alphaScale, 1.0f);
    }
}

// Far off, where the thinning skips its frames, the target reads a blow at
// once but takes it only on a full-detail frame, as a plain crate turns
// busy only then; the bomb's fuse burns on every frame.
TEST_F(Breakables, FarOffOnlyTheBombActsOnThinnedFrames)
{
    PutHero({0.0f, 0.0f, -60.0f});
    AiObject *target = Object(10026, {0.0f, 0.0f, 140.0f});  // facing -z
    AiObject *crate = Object(10002, {30.0f, 0.0f, 140.0f});
    auto *bomb = static_cast<CSBreakObj10028 *>(Object(10028, {-30.0f, 0.0f, 140.0f}));
    ASSERT_NE(crate, nullptr);
    ASSERT_NE(bomb, nullptr);
    Ticks(20);
    // A blow read on a full-detail frame; the next frame is a thinned one.
    const auto blowOnAFullFrame = [&](AiObject *object, AiObject *from) {
        ASSERT_TRUE(object->drawn);
        ASSERT_GE(TicksUntil([&] { return object->fullDetailFrame; }, 20), 0);
        Post(object, kMsgHitActor, kAtkPlain, 7, from);
        Ticks(2);
        ASSERT_FALSE(object->fullDetailFrame);
    };
    AiObject front;
    front.position = {0.0f, 0.0f, 100.0f};
    const int32_t hp = target->hp;
    blowOnAFullFrame(target, &front);
    EXPECT_EQ(target->hp, hp);
    ASSERT_GE(TicksUntil([&] { return target->hp != hp; }, 40), 0);
    EXPECT_TRUE(target->fullDetailFrame);
    EXPECT_EQ(target->hp, hp - 7);

    blowOnAFullFrame(crate, &hero);
    EXPECT_EQ(crate->state, 1);
    ASSERT_GE(TicksUntil([&] { return crate->busy; }, 40), 0);
    EXPECT_TRUE(crate->fullDetailFrame);

    blowOnAFullFrame(bomb, &hero);
    ASSERT_EQ(bomb->state, 1);
    const float burnt = bomb->fuseTimer;
    Tick();
    ASSERT_FALSE(bomb->fullDetailFrame);
    EXPECT_NEAR(bomb->fuseTimer - burnt, monstertest::kDt, 1e-4f);
}

// 10027 takes damage only from a hero's held blows (4096) in state 1, above
// its Defense (one it takes whole costs nothing); ordinary hits neither
// hurt it nor move it.
TEST_F(Breakables, TheLiftableObjectIsHurtOnlyWhileHeld)
{
    AiObject *object = Object(10027);
    PutHero({0.0f, 0.0f, -40.0f});
    Tick();
    const int32_t hp = object->hp;
    Post(object, kMsgHitActor, kAtkPlain | kAtkHeavy, 30, &hero);
    Post(object, kMsgHitActor, kAtkHeldDamage, 30, &hero);  // not held yet
    Ticks(3);
    EXPECT_EQ(object->hp, hp);
    EXPECT_EQ(object->state, 0);
    EXPECT_TRUE(object->grabbable);
    Post(object, kMsgHitActor, kAtkGrab, 0, &hero);
    Ticks(2);
    ASSERT_EQ(object->state, 1);
    EXPECT_TRUE(object->grabbed);
    Post(object, kMsgHitActor, kAtkHeldDamage, 12, &hero);
    Ticks(3);
    EXPECT_EQ(hp - object->hp, 12 - 2);
    // The hit flash (material animation 1) loops at 0.15 s a flash.
    const MatAnimInstance *flash = matAnims.Find(object);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->def->index, 1);
    EXPECT_FLOAT_EQ(flash->duration, 0.15f);
    Ticks(12);
    EXPECT_EQ(matAnims.Find(object), flash) << "flashing on past its first 0.15 s";
    Post(object, kMsgHitActor, kAtkPlain, 30, &hero);
    Ticks(3);
    EXPECT_EQ(hp - object->hp, 12 - 2);
    Post(object, kMsgHitActor, kAtkHeldDamage, 2, &hero);  // its Defense takes it whole
    Ticks(3);
    EXPECT_EQ(hp - object->hp, 12 - 2);
    Post(object, kMsgHitActor, kAtkGrabEnd, 0, &hero);
    Ticks(2);
    EXPECT_EQ(object->state, 0);
    EXPECT_FALSE(object->grabbed);
}

// Held blows that take its last HP (not those that leave it one) kill it
// in the hero's hands: it lets go
// and is busy at once, fades (material animation 2) with its dying sound in
// state 2, then goes, dropping nothing even where an event named a drop.
TEST_F(Breakables, TheLiftableObjectDiesInTheHerosHandsAndDropsNothing)
{
    AiObject *object = Object(10027, {0.0f, 0.0f, 20.0f}, mkdata::kSampleSureDropMap);
    PutHero({0.0f, 0.0f, -40.0f});
    Tick();
    Control(object, kCtlDropOverride, 5300010);
    Post(object, kMsgHitActor, kAtkGrab, 0, &hero);
    Ticks(2);
    ASSERT_EQ(object->state, 1);
    // Its act runs on its full-detail frames only: within ten.
    EXPECT_GE(TicksUntil([&] { return SoundQueued(6120010); }, 10), 0);
    EXPECT_TRUE(SoundQueued(6300230));
    // A held blow that leaves it 1 HP does not kill it.
    Post(object, kMsgHitActor, kAtkHeldDamage, object->hp - 1 + monster::ParamsOf(object).defense, &hero);
    Ticks(12);  // past a full-detail frame
    EXPECT_EQ(object->hp, 1);
    EXPECT_EQ(object->state, 1);
    EXPECT_TRUE(object->grabbed);
    const uint32_t from = tick;
    Post(object, kMsgHitActor, kAtkHeldDamage, object->hp + 100, &hero);
    ASSERT_GE(TicksUntil([&] { return object->state == 2; }, 20), 0);
    TicksUntil([&] { return object->deathTint; }, 10);
    EXPECT_TRUE(object->busy);
    EXPECT_FALSE(object->grabbed);
    EXPECT_EQ(MatAnimOf(object), 2);
    // The fade loops over the dying motion's length and a quarter second.
    const MatAnimInstance *fade = matAnims.Find(object);
    ASSERT_NE(fade, nullptr);
    EXPECT_TRUE(fade->loop);
    CSClumpAnimManager *animations = monster::AnimationsOf(object);
    ASSERT_NE(animations, nullptr);
    EXPECT_NEAR(fade->duration, animations->GetMotionDuration(object->Clump()) + 0.25f, 1e-4f);
    EXPECT_TRUE(SoundQueued(6120020, from));
    ASSERT_GE(TicksUntil([&] { return object->removed; }, 300), 0);
    Ticks(5);
    EXPECT_EQ(Count("drop"), 0);
    EXPECT_EQ(RewardPaid(), 0);
}

// An event's show-and-hold notice for its own group holds the liftable
// object as an event model (taking a model back if it had none); another
// group's notice does nothing; the release lets the event model go.
TEST_F(Breakables, TheLiftableObjectIsHeldByItsOwnGroupsNotice)
{
    constexpr int32_t kGroup = 79187300;
    AiObject *object = Place(10027, {0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, -1.0f}, kGroup);
    ASSERT_NE(object, nullptr);
    PutHero({0.0f, 0.0f, -40.0f});
    Tick();
    Control(object, kCtlShowHold, kGroup + 100);
    Ticks(2);
    EXPECT_FALSE(object->eventHeld);
    EXPECT_FALSE(object->eventModel);
    // Holding its model already, it needs no other: its own group's notice
    // holds it even while no other model of its kind is free.
    ASSERT_NE(object->model, nullptr);
    const CSModelInstance *model = object->model;
    {
        monstertest::AllModelsTaken taken(object->modelTemplate);
        Control(object, kCtlShowHold, kGroup);
        Ticks(2);
    }
    EXPECT_TRUE(object->eventHeld);
    EXPECT_TRUE(object->eventModel);
    EXPECT_EQ(object->model, model);
    // In a stage without collision no sensing finds it in view: the
    // event's model stays all the same, until the event releases it.
    RpWorld *const world = stage.world;
    stage.world = nullptr;
    Ticks(2);
    EXPECT_NE(object->model, nullptr);
    Control(object, kCtlRelease, 0);
    Ticks(3);  // delivered, read, then given back at the next sensing
    stage.world = world;
    EXPECT_FALSE(object->eventModel);
    EXPECT_EQ(object->model, nullptr);
}

// The barrel bomb: a hit lights it; from 5 s on the fuse feeds input 120 on
// every act (here the state machine takes it only at the end of the fuse's
// motion); it explodes, drops what the event named and goes. Its blast
// hurts a hero within 30 units and lights a bomb within 30 units.
TEST_F(Breakables, TheBombExplodesFiveSecondsAfterItsHit)
{
    AiObject *bomb = Object(10028, {0.0f, 0.0f, 20.0f});
    AiObject *near = Object(10028, {20.0f, 0.0f, 20.0f});
    AiObject *far = Object(10028, {-60.0f, 0.0f, 20.0f});
    PutHero({0.0f, 0.0f, 0.0f});
    Tick();
    Control(bomb, kCtlDropOverride, 5300010);
    Post(bomb, kMsgHitActor, kAtkPlain, 10, &hero);
    ASSERT_GE(TicksUntil([&] { return bomb->state == 1; }, 5), 0);
    Tick();  // its first act in the fuse state lights the sparks
    EXPECT_NE(static_cast<CSBreakObj10028 *>(bomb)->spark, nullptr);
    // and starts its flashing, which then runs on, never started afresh.
    const int flashed = 30;
    Ticks(flashed);
    const MatAnimInstance *flashing = matAnims.Find(bomb);
    ASSERT_NE(flashing, nullptr);
    EXPECT_GT(flashing->time, 0.45f);
    HeroMessages();
    const int lit = TicksUntil([&] { return bomb->state == 2; }, 600);
    EXPECT_NEAR((flashed + lit + 1) * monstertest::kDt, 5.0f, 0.05f);
    // Exploding, its flashing gives way to a fade (material animation 4)
    // looping over the blast's motion and a quarter second.
    Tick();
    const MatAnimInstance *fade = matAnims.Find(bomb);
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->def->index, 4);
    EXPECT_TRUE(fade->loop);
    CSClumpAnimManager *animations = monster::AnimationsOf(bomb);
    ASSERT_NE(animations, nullptr);
    EXPECT_NEAR(fade->duration, animations->GetMotionDuration(bomb->Clump()) + 0.25f, 1e-4f);
    ASSERT_GE(TicksUntil([&] { return bomb->removed; }, 200), 0);
    EXPECT_EQ(Count("start", "BarrelBomb"), 1);
    const std::vector<int32_t> sounds = SoundsFrom(0);
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 6500320), 1);  // one bang
    EXPECT_EQ(Count("drop", "5300010"), 1);
    EXPECT_EQ(static_cast<CSBreakObj10028 *>(bomb)->spark, nullptr);
    // The blast: the hero 20 away hurt by a kind-2 hit, the near bomb lit,
    // the far one left alone.
    int blasts = 0;
    for (const MSGData &m : HeroMessages()) {
        blasts += m.kind == kMsgHitHero && m.sender == nullptr && m.word[2] > 0;
    }
    EXPECT_EQ(blasts, 1);
    EXPECT_EQ(near->state, 1);
    EXPECT_EQ(far->state, 0);

    // From 5 s on input 120 comes on every act: a state machine that takes
    // it only when the fuse's motion ends explodes then.
    FsfBuilder b;
    b.State(0).To(100, 1, 1).To(0, 0);
    b.State(1).To(120, 2).To(0, 1);
    b.State(2).Hurt(0).To(0, 3);
    b.State(3).Hurt(0);
    UseStateMachine(10028, b.Build());
    AiObject *late = Object(10028, {60.0f, 0.0f, 60.0f});
    Tick();
    Post(late, kMsgHitActor, kAtkPlain, 10, &hero);
    ASSERT_GE(TicksUntil([&] { return late->state == 1; }, 5), 0);
    Ticks(270);
    EXPECT_EQ(late->state, 1);
    const int more = TicksUntil([&] { return late->state == 2; }, 120);
    ASSERT_GE(more, 0);
    EXPECT_GE(270 + more, 299);  // not before 5 s
    EXPECT_GE(static_cast<CSBreakObj10028 *>(late)->fuseTimer, 5.0f);
}

// Only a blow lights the bomb (a plain or a heavy hit): the hero's grab at
// it, its let-go or a burn leave it as it stands; frames with no blow give
// its state machine nothing but input 0 (here input 1 would light it).
TEST_F(Breakables, OnlyABlowLightsTheBomb)
{
    AiObject *bomb = Object(10028, {0.0f, 0.0f, 20.0f});
    FsfBuilder b;
    b.State(0).To(100, 1, 1).To(1, 1, 1).To(0, 0);
    b.State(1).To(0, 1);
    UseStateMachine(10028, b.Build());
    PutHero({0.0f, 0.0f, 0.0f});
    Tick();
    for (const int32_t bits : {kAtkGrabFront, kAtkGrab, kAtkGrabEnd, kAtkReleaseHeld, kAtkBurn}) {
        SCOPED_TRACE(bits);
        Post(bomb, kMsgHitActor, bits, 0, &hero);
        Ticks(3);
        EXPECT_EQ(bomb->state, 0);
    }
    Post(bomb, kMsgHitActor, kAtkHeavy, 10, &hero);
    EXPECT_GE(TicksUntil([&] { return bomb->state == 1; }, 5), 0);
}

}  // namespace

}  // namespace breakable_test
