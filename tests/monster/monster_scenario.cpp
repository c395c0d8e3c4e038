// The monster and boss scenarios' stage (see monster_scenario.h).
#include "monster_scenario.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "actor/actor_pass.h"
#include "actor/actor_placement.h"
#include "app/trace.h"
#include "fx/fx_stage_links.h"
#include "monster/monster_1003.h"
#include "monster/npc_10.h"
#include "monster/template_d.h"
#include "stage/media_paths.h"
#include "stage/v3.h"
#include "support/engine/scratch_path.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/sample_bosses.h"
#include "tools/mkdata/sample_monsters.h"
#include "tools/mkdata/sample_stages.h"

namespace monstertest {

namespace {

// Makes `hero` the stage's hero number `player` (of `player` + 1), with AI id
// `aiId`, wearing a model of the loaded `heroTemplate`, at `where`: active,
// hurtable and grabbable, linked into the stage's chain.
bool PutOnStage(CSStageManager *stage, CSHero *hero, CSModelTemplate *heroTemplate, int32_t player, int32_t aiId,
                const RwV3d &where)
{
    hero->aiType = 0;
    hero->side = kSideHero;
    hero->aiId = aiId;
    hero->hp = 2000;
    hero->active = true;
    hero->hurtable = true;
    hero->grabbable = true;
    hero->targetable = true;
    hero->modelTemplate = heroTemplate;
    hero->position = where;
    hero->SetModelInstance(heroTemplate->TakeInstance(hero));
    stage->heroes[player] = hero;
    stage->heroCount = static_cast<uint8_t>(player + 1);
    LinkActor(stage, hero);
    return hero->model != nullptr;
}

}  // namespace

bool DressHero(CSStageManager *stage, CSHero *hero, CSModelTemplate *heroTemplate, const RwV3d &where)
{
    if (!heroTemplate->Load(0, ModelFolder::kMainChar, "HERO01", stage->actorAnimations.get(), 1)) {
        return false;
    }
    return PutOnStage(stage, hero, heroTemplate, 0, 9, where);
}

void UndressHero(CSStageManager *stage, CSHero *hero, CSModelTemplate *heroTemplate)
{
    hero->SetModelInstance(nullptr);
    heroTemplate->Release();
    stage->heroes[0] = nullptr;
    stage->heroCount = 0;
}

void MonsterScenario::SetUp()
{
    StartIn(stagetest::SamplePath(""));
    ASSERT_TRUE(sample.Load(false, mkdata::kSecondStageId));
    stage.placements.clear();
    // Sounds: every monster's and boss's samples held, each queued play recorded.
    std::vector<int32_t> ids;
    std::vector<mkdata::SampleSound> played;
    std::vector<int32_t> types = mkdata::SampleMonsterTypes();
    types.insert(types.end(), mkdata::SampleBreakableTypes().begin(), mkdata::SampleBreakableTypes().end());
    for (int32_t type : types) {
        for (const mkdata::SampleSound &sound : mkdata::SampleMonsterSounds(type)) {
            played.push_back(sound);
        }
    }
    for (int32_t type : mkdata::SampleBossTypes()) {
        for (const mkdata::SampleSound &sound : mkdata::SampleBossSounds(type)) {
            played.push_back(sound);
        }
    }
    for (const mkdata::SampleSound &sound : played) {
        fakeSound.AddFile(SoundEffectPath(sound.id));
        ids.push_back(sound.id);
    }
    sfx = std::make_unique<CSSFXManager>(fakeSound.Port());
    sfx->AddSFXList(ids.data(), static_cast<int32_t>(ids.size()));
    stage.sfxManager = sfx.get();
    // Effects.
    ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false));
    particles.LoadSet("\\RESOURCE\\PARTICLE\\2020000.PSS", "\\RESOURCE\\PARTICLE", true);
    stage.particleManager = &particles;
    stage.matAnimManager = &matAnims;
    GeServices services;
    services.world = stage.world;
    services.particles = &particles;
    services.matAnims = &matAnims;
    services.anims = &effectAnims;
    effects.Create(services);
    stage.geManager = &effects;
    drops.SetWorld(stage.world);
    decals.SetWorld(stage.world);
    stage.decalManager = &decals;
    stage.xdtEffectPool = &drops;
    stage.thrownItems = &thrownItems;
    items.SetDropMaps(mkdata::SampleDropMaps());
    stage.itemManager = &items;
    ConnectFxLinksToGame();
    ASSERT_TRUE(DressHero(&stage, &hero, &heroTemplate, {0.0f, 0.0f, -60.0f}));
    tracePath = rwtest::ScratchPath("monster_scenario_trace.txt");
    ASSERT_TRUE(game::TraceOpen(tracePath, nullptr));
    game::TraceAskPoses(true);
}

void MonsterScenario::TearDown()
{
    game::TraceAskPoses(false);
    game::TraceClose();
    std::remove(tracePath.c_str());
    // The heroes' models go back before their template; the effects, which
    // put their models in the world, before the stage's actors and world.
    secondHero.SetModelInstance(nullptr);
    stage.heroes[1] = nullptr;
    UndressHero(&stage, &hero, &heroTemplate);
    effects.Release();
    drops.Release();
    decals.Release();
    stage.geManager = nullptr;
    stage.xdtEffectPool = nullptr;
    stage.decalManager = nullptr;
    sample.Release();
    particles.ReleaseAll();
    stage.particleManager = nullptr;
    stage.matAnimManager = nullptr;
    stage.sfxManager = nullptr;
    sfx.reset();
    stage.thrownItems = nullptr;
    stage.itemManager = nullptr;
    GameEngineTest::TearDown();
}

AiObject *MonsterScenario::Place(int32_t aiType, const RwV3d &where, const RwV3d &facing, int32_t eventId,
                                 int32_t isRender)
{
    AiPlacement placement;
    placement.aiType = aiType;
    placement.aiId = static_cast<int32_t>(stage.placements.size()) + 1;
    placement.position = where;
    placement.lookAt = facing;
    placement.eventId = eventId;
    placement.isRender = isRender;
    stage.placements.push_back(placement);
    if (!LoadPlacedModels(&stage)) {
        ADD_FAILURE() << "no model for type " << aiType;
        return nullptr;
    }
    AiObject *actor = CreateActor(aiType, placement.aiId);
    if (actor == nullptr) {
        ADD_FAILURE() << "no actor of type " << aiType;
        return nullptr;
    }
    ApplyPlacement(&stage, actor, placement);
    LinkActor(&stage, actor);
    // As if the actor pass had already seen it: it acts from the first tick.
    actor->drawn = true;
    return actor;
}

void MonsterScenario::UseStateMachine(int32_t aiType, CFSF fsf)
{
    CSModelTemplate *tpl = stage.FindModelTemplate(aiType);
    ASSERT_NE(tpl, nullptr) << aiType;
    tpl->fsf = std::move(fsf);
}

namespace {

int32_t IdOf(const AiObject *actor) { return actor != nullptr ? actor->aiId : 0; }

}  // namespace

void MonsterScenario::TraceFlags()
{
    for (AiObject *actor = stage.actorHead; actor != nullptr; actor = actor->next) {
        if (IsHeroType(actor->aiType)) {
            continue;
        }
        const AiObject &a = *actor;
        // One letter for each flag an actor shows, '-' where it is clear:
        // active, removed, dying, hurtable, targetable, guarding, grabbed by a
        // hero, grabbable, left out of broadcasts, down, solid, held by an
        // event, the event's model, in its hold state, knocked, found a foe,
        // ignoring foes, fleeing, frozen, hit-stop pending, with a model,
        // seized face to face, a drop named, state locked, animation held,
        // health bar, death tint, status particles, reward counted, dizzy
        // stars, a hit's freeze running, the second hold, held by a hero, busy.
        const gametest::ShownFlag flags[] = {
            {a.active, 'a'},        {a.removed, 'r'},           {a.dying, 'd'},          {a.hurtable, 'h'},
            {a.targetable, 't'},    {a.guarding, 'g'},          {a.grabbed, 'b'},        {a.grabbable, 'B'},
            {a.broadcastExcluded, 'x'}, {a.down, 'w'},          {a.solid, 's'},          {a.eventHeld, 'e'},
            {a.eventModel, 'm'},    {a.holdState, 'H'},         {a.knock, 'k'},          {a.foundFoe, 'f'},
            {a.ignoreFoes, 'i'},    {a.fleeActive, 'l'},        {a.frozen, 'z'},         {a.hitStopPending, 'p'},
            {a.model != nullptr, 'o'}, {a.frontGrab, 'F'},      {a.dropOverride, 'D'},   {a.stateLock, 'L'},
            {a.animHold, 'n'},      {a.healthBar, 'v'},         {a.deathTint, 'T'},      {a.statusParticles, 'S'},
            {a.rewardCounted, 'R'}, {a.dizzyEffect, 'Z'},       {a.hitStopTimer > 0.0f, 'P'}, {a.grabLock, 'K'},
            {a.heldByHero, 'y'},    {a.busy, 'u'},
        };
        const MatAnimInstance *look = matAnims.Find(actor);
        const int32_t words[] = {IdOf(actor->target),
                                 IdOf(actor->lastAttacker),
                                 actor->stateRandom,
                                 actor->activeStatus,
                                 actor->resistance,
                                 actor->grabWord,
                                 actor->appear,
                                 look != nullptr && look->def != nullptr ? look->def->index : -1};
        lastFlags.Note("flags", actor->aiId, actor->aiId, flags, words);
    }
    const int32_t out = particles.SystemsOut();
    if (out != systemsOut) {
        systemsOut = out;
        game::TraceLine("flags").Word("particles").Int(out);
    }
}

void MonsterScenario::Tick(float dt)
{
    ++tick;
    game::TraceSetTick(tick);
    ActorFrame frame = MakeActorFrame(&stage, nullptr);
    frame.camera = camera;
    RunActorPass(&stage, dt, frame);
    if (logFlags && game::TraceOn()) {
        TraceFlags();
    }
    while (MSGData *m = hero.PopMessage()) {
        heroInbox.push_back(*m);
        FreeMessage(m);
    }
    while (MSGData *m = secondHero.PopMessage()) {
        FreeMessage(m);
    }
    effects.Update(dt);
    drops.Update(dt);
    decals.Update(dt);
    matAnims.Update(dt);
    particles.Update(dt);
    thrownItems.Update();
    for (size_t i = 0; i < sfx->QueueLength(); ++i) {
        sounds.push_back({tick, sfx->QueuedId(i)});
    }
    sfx->Update();
}

void MonsterScenario::Ticks(int count, float dt)
{
    for (int i = 0; i < count; ++i) {
        Tick(dt);
    }
}

void MonsterScenario::Hit(AiObject *target, int32_t bits, int32_t value, AiObject *sender)
{
    stage.messagePool->Post(kMsgHitActor, sender != nullptr ? sender : &hero, target, 0, bits, value);
}

void MonsterScenario::Control(AiObject *target, int32_t code, int32_t value)
{
    stage.messagePool->Post(kMsgControl, nullptr, target, 0, code, value);
}

std::vector<MSGData> MonsterScenario::HeroMessages()
{
    std::vector<MSGData> taken;
    taken.swap(heroInbox);
    return taken;
}

std::vector<int32_t> MonsterScenario::SoundsFrom(uint32_t from) const
{
    std::vector<int32_t> ids;
    for (const QueuedSound &s : sounds) {
        if (s.tick >= from) {
            ids.push_back(s.id);
        }
    }
    return ids;
}

bool MonsterScenario::SoundQueued(int32_t id, uint32_t from) const
{
    for (int32_t queued : SoundsFrom(from)) {
        if (queued == id) {
            return true;
        }
    }
    return false;
}

std::vector<gametest::TraceRecord> MonsterScenario::EffectLines()
{
    // The trace is read back and started again empty; what it held is kept.
    game::TraceClose();
    for (gametest::TraceRecord &r : gametest::RecordsOfKind(gametest::ReadTrace(tracePath), "fx")) {
        fxLines.push_back(std::move(r));
    }
    game::TraceOpen(tracePath, nullptr);
    game::TraceSetTick(tick);
    return fxLines;
}

int32_t MonsterScenario::EffectStarts(const std::string &pool)
{
    int32_t count = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        count += !r.fields.empty() && r.fields[0] == "start" && r.fields.size() > 1 && r.fields[1] == pool;
    }
    return count;
}

void MonsterScenario::Enter(AiObject *monster, int32_t state)
{
    if (const monster::TemplateDMembers *members = monster::TemplateDMembersOf(monster->aiType)) {
        monster::TemplateDSetState(monster, monster->Fsf(), state, *members);
    } else if (monster->aiType == 10) {
        CSNpc10::SetState(static_cast<CSMonster1003 *>(monster), monster->Fsf(), state);
    } else {
        monster->PlayAnimation(state);
        monster->stateEntered = true;
        monster->deathTint = false;
    }
    ASSERT_EQ(monster->state, state);
}

float MonsterScenario::GuardAfterOneLeftEarly(AiObject *m, int32_t guard)
{
    Enter(m, guard);
    Ticks(60);
    Enter(m, 0);
    Tick();
    Enter(m, guard);
    return static_cast<float>(TicksUntil([&] { return m->state != guard; }, 200)) * kDt;
}

void MonsterScenario::ExpectLook(const AiObject *actor, int32_t index, float speed, bool looped)
{
    const MatAnimInstance *look = matAnims.Find(actor);
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->def->index, index);
    EXPECT_FLOAT_EQ(look->duration, speed);
    EXPECT_EQ(look->loop, looped);
}

void MonsterScenario::ExpectSparksOut(const char *name, size_t count, uint8_t word0, uint8_t word1, const RwV3d &at,
                                      float within, bool emitting)
{
    SCOPED_TRACE(name);
    const std::vector<const CSParticleSystem *> out = particles.SystemsOutOf(name);
    ASSERT_EQ(out.size(), count);
    for (const CSParticleSystem *system : out) {
        EXPECT_EQ(system->IsEmitting(), emitting);
        EXPECT_EQ(system->displayMode[0], word0);
        EXPECT_EQ(system->displayMode[1], word1);
        EXPECT_LE(V3Length(V3Sub(system->WorldMatrix().pos, at)), within);
        EXPECT_TRUE(system->GivenBackWhenDead());
    }
}

void MonsterScenario::ExpectHitsKeptOnThinnedFrames(AiObject *m, int32_t defense)
{
    PutHero({0.0f, 0.0f, -60.0f});
    m->SetPosition({0.0f, 0.0f, 140.0f});
    Ticks(20);
    ASSERT_TRUE(m->drawn);
    TicksUntil([&] { return m->fullDetailFrame; }, 20);
    ASSERT_TRUE(m->fullDetailFrame);
    const int32_t hp = m->hp;
    Hit(m, kAtkPlain, 40);
    Tick();  // delivered at the end of an acting frame
    Tick();  // read on a thinned frame
    EXPECT_FALSE(m->fullDetailFrame);
    EXPECT_EQ(m->pendingDamage, 40 - defense);
    TicksUntil([&] { return m->hp != hp; }, 30);
    EXPECT_EQ(m->hp, hp - (40 - defense));
}

int LongestChangingRun(const std::vector<int32_t> &statesByTick)
{
    int longest = 0;
    int run = 0;
    for (size_t i = 1; i < statesByTick.size(); ++i) {
        run = statesByTick[i] != statesByTick[i - 1] ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

void MonsterScenario::PutHero(const RwV3d &where, const RwV3d &facing)
{
    hero.SetPosition(where);
    hero.SetDirection(facing);
}

bool MonsterScenario::BringSecondHero(const RwV3d &where, const RwV3d &facing)
{
    const bool dressed = PutOnStage(&stage, &secondHero, &heroTemplate, 1, kHeroAiIds[1], where);
    secondHero.SetPosition(where);
    secondHero.SetDirection(facing);
    return dressed;
}
}  // namespace monstertest

namespace monstertest {

std::vector<std::string> MonsterScenario::TakeFightLog(uint32_t every)
{
    game::TraceClose();
    std::vector<std::string> log;
    std::map<std::string, std::string> lastSeen;  // an actor's or hero's id -> its last state and life
    size_t sound = 0;
    // A tick's sounds are queued after its actor pass: they follow its lines.
    const auto soundsBefore = [&](uint32_t t) {
        for (; sound < sounds.size() && sounds[sound].tick < t; ++sound) {
            log.push_back(std::to_string(sounds[sound].tick) + " sound " + std::to_string(sounds[sound].id));
        }
    };
    std::set<std::string> lastTicksMessages;
    std::set<std::string> thisTicksMessages;
    uint32_t messageTick = 0;
    std::ifstream in(tracePath);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        uint32_t t = 0;
        std::string kind;
        words >> t >> kind;
        soundsBefore(t);
        if (kind == "actor" || kind == "hero") {
            // actor: id type state HP x y z; hero: id money stagemoney exp kills HP power
            std::vector<std::string> f;
            for (std::string w; words >> w;) {
                f.push_back(w);
            }
            const std::string who = kind + (f.empty() ? "" : f[0]);
            const std::string kept = kind == "actor" && f.size() >= 4 ? f[2] + " " + f[3] : line.substr(line.find(' '));
            const bool changed = lastSeen[who] != kept;
            lastSeen[who] = kept;
            if (!changed && (kind == "hero" || t % every != 0)) {
                continue;
            }
        } else if (kind == "pose" && t % every != 0) {
            continue;  // how each one stands, at the sampled ticks
        } else if (kind == "msg") {
            // A message sent again each tick (the sensing words) is shown when it starts.
            const std::string sent = line.substr(line.find(' '));
            if (t != messageTick) {
                if (messageTick + 1 == t) {
                    lastTicksMessages.swap(thisTicksMessages);
                } else {
                    lastTicksMessages.clear();
                }
                thisTicksMessages.clear();
                messageTick = t;
            }
            const bool again = lastTicksMessages.count(sent) != 0;
            thisTicksMessages.insert(sent);
            if (again) {
                continue;
            }
        }
        log.push_back(line);
    }
    soundsBefore(tick + 1);
    sounds.clear();
    game::TraceOpen(tracePath, nullptr);
    game::TraceSetTick(tick);
    return log;
}

void MonsterScenario::ExpectFightAsKept(const std::string &name)
{
    ExpectSameAsKeptLog(TakeFightLog(8), std::string(RW_TEST_SOURCE_DIR) + "/tests/" + name + ".txt");
}

}  // namespace monstertest
