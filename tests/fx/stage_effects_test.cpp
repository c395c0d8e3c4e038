// The effects as stage members on the sample data: made, filled from the
// effects pack and the first stage's particle set, run and drawn over the
// first stage's world with its fog and light rain; the frame against a
// reviewed reference image. Released and made again without leftovers; each
// kind of effect drawn alone where it was put; the item icon sheets
// loaded with the effects.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "actor/item_icons.h"
#include "actor/item_records.h"
#include "actor/item_stage.h"
#include "app/bmp_file.h"
#include "app/pack.h"
#include "app/reference_image.h"
#include "app/stage_scene.h"
#include "fx/decals.h"
#include "fx/fx_packages.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "fx/screen_grid.h"
#include "fx/stage_dyn_effects.h"
#include "fx/weather.h"
#include "fx/xdt_effect_pool.h"
#include "fx/xdt_model_chain.h"
#include "fx/stage_effects.h"
#include "fake_actors.h"
#include "fx_test_support.h"
#include "stage/stage_manager.h"
#include "tools/mkdata/ui_pictures.h"

namespace stage_effects_test {

namespace {

std::string ShotDir() { return std::string(RW_TEST_BINARY_DIR) + "/tests/fx_shots/" + std::to_string(getpid()); }
std::string ReferenceDir() { return std::string(RW_TEST_SOURCE_DIR) + "/tests/fx/reference"; }

// The first stage's weather: fog on and light rain.
void SetFirstStageWeather(StageInfo *keys)
{
    keys->fog = 1;
    keys->fogRed = 120;
    keys->fogGreen = 130;
    keys->fogBlue = 150;
    keys->fogAlpha = 255;
    keys->fogDistance = 100.0f;
    keys->fogTime = 2.0f;
    keys->rain = kRainSmall;
}

// A view across the yard from one corner, a little above the ground,
// toward its middle.
void LookAcrossTheYard(RwCamera *camera)
{
    RwFrame *frame = RwCameraGetFrame(camera);
    RwFrameSetIdentity(frame);
    const RwV3d up = {0.0f, 1.0f, 0.0f};
    const RwV3d right = {1.0f, 0.0f, 0.0f};
    RwFrameRotate(frame, &right, 15.0f, rwCOMBINEREPLACE);
    RwFrameRotate(frame, &up, 45.0f, rwCOMBINEPOSTCONCAT);
    const RwV3d eye = {-170.0f, 40.0f, -170.0f};  // a unit is about 10 cm
    RwFrameTranslate(frame, &eye, rwCOMBINEPOSTCONCAT);
}

class StageEffects : public fxtest::SampleDataTest {
protected:
    void TearDown() override
    {
        DestroyItemMembers(&stage);
        DestroyEffectMembers(&stage);
        if (scene.world != nullptr) {
            game::StageSceneUnload(&scene);
        }
        if (camera != nullptr) {
            fxtest::DestroyCamera(camera);
        }
        fxtest::SampleDataTest::TearDown();
    }
    CSStageManager stage;
    game::StageScene scene;
    RwCamera *camera = nullptr;
};

TEST_F(StageEffects, FogAndRainOverTheFirstStage)
{
    CreateEffectMembers(&stage);
    ASSERT_TRUE(LoadEffectsPackInto(&stage));
    EXPECT_FALSE(zuIsPackOpen());  // closed again for the stage's own pack
    EXPECT_NE(stage.particleManager->FindTemplate("3400400.zus"), nullptr);
    EXPECT_EQ(stage.particleManager->FindTemplate("3400400.ZUS"), nullptr);
    for (int k = 0; k < kRainKinds; ++k) {
        EXPECT_NE(stage.weather->RainSystem(k), nullptr);
    }
    EXPECT_EQ(stage.weather->RainState(), 0);  // no rain until a stage asks for it

    camera = fxtest::MakeCamera(320, 240, {0.0f, 0.0f, 0.0f});
    RwCameraSetFarClip(camera, 500.0f);
    ASSERT_TRUE(game::StageSceneLoad(&scene, camera));
    stage.stageId = 2010000;
    stage.world = scene.world;
    SetFirstStageWeather(&stage.stageInfo);
    LoadStageEffects(&stage);
    EXPECT_NE(stage.particleManager->FindTemplate("BOMSPARK.ZUS"), nullptr);
    LookAcrossTheYard(camera);
    // A spark burst in the middle of the yard, and a reward coin.
    CSParticleSystem *burst = stage.particleManager->CreateSystem("3400400.zus");
    ASSERT_NE(burst, nullptr);
    burst->SetPosition({0.0f, 10.0f, 0.0f});
    for (int tick = 0; tick < 150; ++tick) {
        UpdateStageEffects(&stage, 0.016f, camera);
    }
    EXPECT_EQ(stage.weather->FogAmount(), 1.0f);
    EXPECT_GT(stage.weather->RainLevel(), 0.0f);
    EXPECT_GT(stage.weather->RainSystem(0)->ParticleCount(), 50);

    RwRGBA sky = {120, 130, 150, 255};
    RwCameraClear(camera, &sky, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
    stage.weather->BeginScene(camera);
    game::StageSceneRender(scene);
    stage.weather->EndScene();
    RenderStageEffects(&stage);
    RenderStageEffectsOverlay(&stage, 320.0f, 240.0f);
    RwCameraEndUpdate(camera);

    const std::vector<uint32_t> pixels = fxtest::Picture(camera, 320, 240);
    std::system(("mkdir -p '" + ShotDir() + "'").c_str());
    const std::string shot = ShotDir() + "/stage1_fog_rain.bmp";
    ASSERT_TRUE(apptest::WriteBmp(shot, 320, 240, pixels));
    apptest::ExpectLikeReference(shot, ReferenceDir() + "/stage1_fog_rain.bmp", ShotDir() + "/difference.bmp");

    // Each effect runs on with the stage's frames: over 1.2 s a dropped item
    // springs and comes to rest, a blood mark ages, a down-hit ring (1 s)
    // and a hit flash (0.15 s) are over; a water slot's animation plays.
    XdtEffectEntry *dropped = stage.xdtEffectPool->Spawn(4010100, {-20.0f, 0.0f, -20.0f}, 1);
    ASSERT_NE(dropped, nullptr);
    const Decal *mark = stage.decalManager->Spawn({-20.0f, 0.0f, 0.0f}, 5.0f);
    ASSERT_NE(mark, nullptr);
    ASSERT_TRUE(stage.geManager->downHit->Start({0.0f, 0.0f, -20.0f}));
    const int flashed = 0;
    ASSERT_NE(stage.matAnimManager->Start(&flashed, kMatAnimOwnerActor, 1, 0.15f, 0), nullptr);
    const int32_t water = stage.dynEffects->Take("\\RESOURCE\\FX\\XDT\\3300100.XDT", nullptr);
    ASSERT_GE(water, 0);
    stage.dynEffects->Show(water, true);
    for (int tick = 0; tick < 20; ++tick) {
        UpdateStageEffects(&stage, 0.016f, camera);
    }
    EXPECT_NEAR(stage.dynEffects->Entry(water)->models[0].TimeMs(), 320.0f, 1.0f);
    for (int tick = 20; tick < 75; ++tick) {
        UpdateStageEffects(&stage, 0.016f, camera);
    }
    EXPECT_EQ(dropped->state, kXdtResting);
    EXPECT_NEAR(mark->age, 1.2f, 1e-3f);
    EXPECT_EQ(stage.geManager->downHit->InstancesInUse(), 0);
    EXPECT_EQ(stage.matAnimManager->InstancesInUse(), 0);

    // A drop still lying in the yard when the stage ends, a blood mark, a
    // model's tint, a water slot and model, the screen's ripple, a fire and
    // a down-hit ring still running.
    ASSERT_NE(stage.xdtEffectPool->Spawn(4010100, {20.0f, 0.0f, 20.0f}, 1), nullptr);
    ASSERT_NE(stage.decalManager->Spawn({0.0f, 0.0f, 0.0f}, 5.0f), nullptr);
    const int tinted = 0;
    ASSERT_NE(stage.matAnimManager->Start(&tinted, kMatAnimOwnerActor, 6, 0.0f, 1), nullptr);
    ASSERT_GE(stage.dynEffects->Take("\\RESOURCE\\FX\\XDT\\3300100.XDT", nullptr), 0);
    ASSERT_NE(stage.waterModels->Add(stage.world, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), nullptr);
    stage.screenGrid->Start(500.0f);
    ASSERT_NE(stage.fxPackages->StartParticles(nullptr, nullptr, "fire_l.zus", 200.0f), nullptr);
    ASSERT_TRUE(stage.geManager->downHit->Start({0.0f, 0.0f, 0.0f}));
    burst->Release();
    ReleaseStageEffects(&stage);
    // They went with the stage: nothing to see or pick up in the next one.
    EXPECT_EQ(stage.xdtEffectPool->EntriesInUse(), 0);
    EXPECT_EQ(stage.decalManager->DecalsInUse(), 0);
    EXPECT_EQ(stage.matAnimManager->InstancesInUse(), 0);
    EXPECT_EQ(stage.dynEffects->SlotsInUse(), 0);
    EXPECT_EQ(stage.waterModels->Count(), 0);
    EXPECT_FALSE(stage.screenGrid->IsActive());
    EXPECT_EQ(stage.fxPackages->PackagesInUse(), 0);
    EXPECT_EQ(stage.geManager->InstancesInUse(), 0);
    EXPECT_EQ(stage.particleManager->FindTemplate("BOMSPARK.ZUS"), nullptr);
    // The effects pack's kinds, read once for the whole game, stay.
    EXPECT_NE(stage.particleManager->FindTemplate("3400400.zus"), nullptr);
    EXPECT_NE(stage.particleManager->FindTemplate("fire_l.zus"), nullptr);
    EXPECT_EQ(stage.weather->RainState(), 0);
    EXPECT_FALSE(stage.weather->IsFogOn());
    // The stage's weather ended with it: no streaks, no fog, no drop still
    // falling into the next stage (they showed there for a second).
    EXPECT_EQ(stage.weather->RainLevel(), 0.0f);
    EXPECT_FALSE(stage.weather->IsRainDrawn());
    EXPECT_EQ(stage.weather->FogAmount(), 0.0f);
    for (int k = 0; k < kRainKinds; ++k) {
        EXPECT_EQ(stage.weather->RainSystem(k)->ParticleCount(), 0) << k;
    }
    // The next stage finds everything in place again.
    LoadStageEffects(&stage);
    EXPECT_NE(stage.particleManager->FindTemplate("BOMSPARK.ZUS"), nullptr);
    EXPECT_EQ(stage.geManager->InstancesInUse(), 0);
}

// Each kind of stage effect is drawn: put alone in the middle of the yard
// and drawn on an empty frame, it shows there.
TEST_F(StageEffects, EachKindOfEffectShowsWhereItIs)
{
    CreateEffectMembers(&stage);
    ASSERT_TRUE(LoadEffectsPackInto(&stage));
    camera = fxtest::MakeCamera(160, 120, {0.0f, 0.0f, 0.0f});
    RwCameraSetFarClip(camera, 500.0f);
    ASSERT_TRUE(game::StageSceneLoad(&scene, camera));
    stage.stageId = 2010000;
    stage.world = scene.world;
    LoadStageEffects(&stage);
    LookAcrossTheYard(camera);
    const auto draw = [this] {
        const RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(camera, const_cast<RwRGBA *>(&black), rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        EXPECT_NE(RwCameraBeginUpdate(camera), nullptr);
        RenderStageEffects(&stage);
        RwCameraEndUpdate(camera);
        return fxtest::Picture(camera, 160, 120);
    };
    const std::vector<uint32_t> empty = draw();
    const auto shown = [&] {
        const std::vector<uint32_t> pixels = draw();
        int32_t changed = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            changed += pixels[i] != empty[i] ? 1 : 0;
        }
        return changed;
    };
    const RwV3d middle = {0.0f, 0.0f, 0.0f};
    XdtEffectEntry *drop = stage.xdtEffectPool->Spawn(4010100, middle, 1);
    ASSERT_NE(drop, nullptr);
    EXPECT_GT(shown(), 20) << "drop";
    EXPECT_EQ(RpClumpGetWorld(drop->model.Clump()), stage.world);  // lit and culled with the stage
    stage.xdtEffectPool->Take(drop);
    ASSERT_NE(stage.decalManager->Spawn(middle, 20.0f), nullptr);
    EXPECT_GT(shown(), 20) << "blood mark";
    stage.decalManager->Clear();
    ASSERT_TRUE(stage.geManager->downHit->Start(middle));
    EXPECT_GT(shown(), 20) << "down-hit ring";
    stage.geManager->downHit->StopOwner(nullptr);
    // Pieces drawn through their fade (a material animation of their own).
    const RwMatrix at = fxtest::Translation(middle);
    ASSERT_TRUE(stage.geManager->bkShield->Start(1, &at));
    EXPECT_EQ(stage.matAnimManager->InstancesInUse(), 1);
    EXPECT_GT(shown(), 20) << "broken pieces";
    stage.geManager->bkShield->StopOwner(nullptr);
    const int32_t slot = stage.dynEffects->Take("\\RESOURCE\\FX\\XDT\\3300100.XDT", nullptr);
    ASSERT_GE(slot, 0);
    stage.dynEffects->Place(slot, middle);
    stage.dynEffects->Show(slot, true);
    EXPECT_GT(shown(), 20) << "water slot";
    EXPECT_EQ(RpClumpGetWorld(stage.dynEffects->Entry(slot)->models[0].Clump()), stage.world);
    stage.dynEffects->Free(slot);
    CSXdtModel *water = stage.waterModels->Add(stage.world, "\\RESOURCE\\FX\\XDT\\3300100.XDT");
    ASSERT_NE(water, nullptr);
    water->SetPosition(middle);
    water->Show(true);
    EXPECT_GT(shown(), 20) << "water model";
    // A burning monster's fire light lights the stage around it.
    const FxPackage *fireLight = stage.fxPackages->StartLight(nullptr, nullptr, "Light_Type_Fire_M.lit");
    ASSERT_NE(fireLight, nullptr);
    EXPECT_EQ(RpLightGetWorld(fireLight->light), stage.world);
    ReleaseStageEffects(&stage);
}

// Each particle system an effect names runs with each of its instances:
// taken from that file's pool when the instance starts, emitting where the
// instance is, and given back when it ends (the status effect's three
// files, the dizzy stars, the ring's three, the barrel's spark and fire, a
// big shot's file).
TEST_F(StageEffects, AnEffectsParticlesRunWithEachOfItsInstances)
{
    CreateEffectMembers(&stage);
    fxtest::FakeWorld world;
    world.Connect();  // the effects' links to these actors, not the game's
    ASSERT_TRUE(LoadEffectsPackInto(&stage));
    CCGEManager &ge = *stage.geManager;
    fxtest::FakeActor monster;
    monster.aiType = 1000;
    monster.position = {30.0f, 0.0f, -10.0f};
    AiObject *actor = fxtest::FakeWorld::As(&monster);
    const RwMatrix barrel = fxtest::Translation({-30.0f, 5.0f, 0.0f});
    const int32_t rainSystems = stage.particleManager->SystemsOut();
    ASSERT_TRUE(ge.statusParticles->Attach(actor));
    ASSERT_TRUE(ge.dizzy->Start(actor));
    ASSERT_EQ(ge.ring3405400->Start({0.0f, 0.0f, 40.0f}, {1.0f, 0.0f, 0.0f}), 6);
    ASSERT_TRUE(ge.barrelBomb->Start(&barrel));
    ASSERT_TRUE(ge.tornado->Start({10.0f, 0.0f, 10.0f}));
    const CSGePool *pools[] = {ge.statusParticles, ge.dizzy, ge.ring3405400, ge.barrelBomb, ge.tornado};
    const auto expectRunning = [](const CSGePool &pool, bool emitted) {
        const GePoolFacts &facts = pool.Facts();
        for (int32_t i = 0; i < pool.InstanceCount(); ++i) {
            const GeInstance &instance = pool.Instance(i);
            if (!instance.used) {
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                const char *name = facts.bigShot ? (k == 0 ? pool.Shot().particle : nullptr) : facts.particles[k];
                const CSParticleSystem *system = instance.particles[k];
                if (name == nullptr) {
                    EXPECT_EQ(system, nullptr) << facts.name << " " << k;
                    continue;
                }
                ASSERT_NE(system, nullptr) << facts.name << " " << k;
                EXPECT_STREQ(system->TemplateName(), name);
                EXPECT_TRUE(system->IsTaken()) << name;
                const RwV3d at = system->WorldMatrix().pos;
                EXPECT_NEAR(std::hypot(at.x - instance.position.x, at.z - instance.position.z), 0.0f, 1e-3f)
                    << facts.name << " " << k;
                if (emitted) {
                    EXPECT_GT(system->ParticleCount(), 0) << facts.name << " " << k;
                }
            }
        }
    };
    for (const CSGePool *pool : pools) {
        ASSERT_GT(pool->InstancesInUse(), 0) << pool->Facts().name;
        expectRunning(*pool, false);
    }
    EXPECT_EQ(stage.particleManager->SystemsOutOf("3404600.ZUS").size(), 1u);
    EXPECT_EQ(stage.particleManager->SystemsOutOf("3404602.ZUS").size(), 1u);
    EXPECT_EQ(stage.particleManager->SystemsOutOf("3405401.ZUS").size(), 6u);
    EXPECT_EQ(stage.particleManager->SystemsOutOf("fire_l.zus").size(), 1u);
    for (int tick = 0; tick < 30; ++tick) {
        UpdateStageEffects(&stage, 0.016f, nullptr);
    }
    for (const CSGePool *pool : pools) {
        expectRunning(*pool, true);
    }
    ge.statusParticles->Detach(actor);
    for (int32_t id = 0; id < kGePoolCount; ++id) {
        ge.Pool(static_cast<GePoolId>(id))->StopOwner(nullptr);
    }
    EXPECT_EQ(stage.particleManager->SystemsOut(), rainSystems);
    world.Disconnect();
}

TEST_F(StageEffects, EverySampleFileLoads)
{
    CreateEffectMembers(&stage);
    CreateItemMembers(&stage);
    ASSERT_TRUE(LoadEffectsPackInto(&stage));
    // Every pool's model and every big shot's file came from the sample data.
    for (int32_t id = 0; id < kGePoolCount; ++id) {
        const CSGePool *pool = stage.geManager->Pool(static_cast<GePoolId>(id));
        ASSERT_NE(pool, nullptr);
        if (pool->Facts().bigShot) {
            EXPECT_STREQ(pool->Shot().particle, "BIGSHOT.ZUS") << pool->Facts().name;
            EXPECT_EQ(pool->Shot().damage, 30) << pool->Facts().name;
        }
        if (pool->Facts().model != 0 || pool->Facts().bigShot) {
            EXPECT_NE(pool->Instance(0).clump, nullptr) << pool->Facts().name;
        }
        for (const char *name : pool->Facts().particles) {
            if (name != nullptr) {
                EXPECT_NE(stage.particleManager->FindTemplate(name), nullptr) << name;
            }
        }
    }
    EXPECT_EQ(stage.fxPackages->PackageCount(), 32);
    EXPECT_GT(stage.particleManager->GetParticleTotal(), 0);
    // The item icon sheets come with the effects: each sample sheet, from
    // the first cell of the first to the last of the last, and none past them.
    const CSWorldItemManager *icons = stage.worldItems;
    constexpr int32_t kSheets = mkdata::kItemIconSheets;
    EXPECT_NE(icons->GetItemTexture(0), nullptr);
    EXPECT_NE(icons->GetItemTexture(kSheets * kIconCellsPerSheet - 1), nullptr);
    EXPECT_EQ(icons->GetItemTexture(kSheets * kIconCellsPerSheet), nullptr);
    EXPECT_EQ(icons->GetItemTexture(kNoItemIcon), nullptr);
    // Loading them again counts what it found.
    EXPECT_EQ(stage.worldItems->LoadIconSheets(), kSheets);
    EXPECT_NE(icons->GetItemTexture(0), nullptr);
}

}  // namespace

}  // namespace stage_effects_test
