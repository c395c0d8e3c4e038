// Material animations, texture-animated models and their pools, node
// animations, effect packages and ground decals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "fake_actors.h"
#include "fx/decals.h"
#include "fx/fx_packages.h"
#include "fx/mat_anim_manager.h"
#include "fx/node_anim_player.h"
#include "fx/particle_manager.h"
#include "fx/stage_dyn_effects.h"
#include "fx/xdt_effect_pool.h"
#include "fx/xdt_model.h"
#include "fx/xdt_model_chain.h"
#include "fx_test_support.h"
#include "tools/model_test_support.h"
#include "rpcollis.h"
#include "rpusrdat.h"
#include "rtbmp.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/stage_world.h"

namespace fx_models_test {

namespace {

using modeltest::FirstAtomic;

// ---- material animations ----

TEST(MatAnims, FlashAndDeathFadeAtChosenTimes)
{
    const MatAnimDef *flash = FindMatAnim(1);
    const MatAnimDef *death = FindMatAnim(2);
    ASSERT_NE(flash, nullptr);
    ASSERT_NE(death, nullptr);
    EXPECT_EQ(FindMatAnim(3), nullptr);
    const RwRGBA grey = {100, 100, 100, 255};
    // The flash starts white and is gone at the end of its 0.15 s.
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(*flash, 0.0f, 0.15f)).red, 255);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(*flash, 0.075f, 0.15f)).red, 178);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(*flash, 0.15f, 0.15f)).red, 100);
    // The death fade takes alpha to 0 over its duration; colour stays.
    const RwRGBA half = ApplyMatAnimLook(grey, SampleMatAnim(*death, 1.0f, 2.0f));
    EXPECT_EQ(half.alpha, 128);
    EXPECT_EQ(half.red, 100);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(*death, 2.0f, 2.0f)).alpha, 0);
    // The charge effect's brightening fades out with its model: half way,
    // 0.4 of white and half its alpha.
    const MatAnimLook bright = SampleMatAnim(*FindMatAnim(18), 0.5f, 1.0f);
    EXPECT_FLOAT_EQ(bright.amount, 0.4f);
    EXPECT_FLOAT_EQ(bright.alphaScale, 0.5f);
    // Poison is a steady green tint.
    const RwRGBA poisoned = ApplyMatAnimLook(grey, SampleMatAnim(*FindMatAnim(6), 5.0f, 0.0f));
    EXPECT_GT(poisoned.green, poisoned.red);
}

// Every material animation the characters, monsters, bosses, effects and
// events start is in the table (a missing one shows nothing at all); the
// character's appearance fades its model in over the time asked and its
// leaving fades it out.
TEST(MatAnims, EveryAnimationTheGameStartsIsThere)
{
    for (int32_t index : {1, 2, 4, 6, 18, 21, 22, 23, 24, 30, 34, 35, 36, 39, 40}) {
        const MatAnimDef *def = FindMatAnim(index);
        ASSERT_NE(def, nullptr) << index;
        EXPECT_EQ(def->index, index);
    }
    const RwRGBA grey = {100, 100, 100, 255};
    const MatAnimDef &appear = *FindMatAnim(34);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(appear, 0.0f, 1.4f)).alpha, 0);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(appear, 0.7f, 1.4f)).alpha, 128);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(appear, 1.4f, 1.4f)).alpha, 255);
    const MatAnimDef &leave = *FindMatAnim(35);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(leave, 0.0f, 0.5f)).alpha, 255);
    EXPECT_EQ(ApplyMatAnimLook(grey, SampleMatAnim(leave, 0.5f, 0.5f)).alpha, 0);
    // A monster's appearance started with no time of its own fades its model
    // in over a second, not at once.
    CSMatAnimManager manager;
    int owner = 0;
    ASSERT_NE(manager.Start(&owner, kMatAnimOwnerActor, 39, 0.0f, 1), nullptr);
    EXPECT_EQ(ApplyMatAnimLook(grey, manager.LookOf(&owner)).alpha, 0);
    manager.Update(0.5f);
    EXPECT_EQ(ApplyMatAnimLook(grey, manager.LookOf(&owner)).alpha, 128);
    manager.Update(0.5f);
    EXPECT_EQ(ApplyMatAnimLook(grey, manager.LookOf(&owner)).alpha, 255);
}

TEST(MatAnims, InstancesEndLoopHoldAndGiveWay)
{
    CSMatAnimManager manager;
    int owner = 0;
    ASSERT_NE(manager.Start(&owner, kMatAnimOwnerActor, 1, 0.15f, 0), nullptr);
    manager.Update(0.1f);
    EXPECT_EQ(manager.InstancesInUse(), 1);
    manager.Update(0.1f);
    EXPECT_EQ(manager.InstancesInUse(), 0);  // not looped: ended
    // A looped fade holds its end; a new animation of the owner marks the
    // running one as stopping.
    ASSERT_NE(manager.Start(&owner, kMatAnimOwnerActor, 2, 1.0f, 1), nullptr);
    manager.Update(3.0f);
    EXPECT_EQ(manager.LookOf(&owner).alphaScale, 0.0f);
    ASSERT_NE(manager.Start(&owner, kMatAnimOwnerActor, 30, 0.0f, 1), nullptr);
    EXPECT_EQ(manager.InstancesInUse(), 2);
    EXPECT_EQ(manager.Find(&owner)->def->index, 30);
    manager.Update(0.01f);
    EXPECT_EQ(manager.InstancesInUse(), 1);
    manager.Stop(&owner);
    EXPECT_EQ(manager.InstancesInUse(), 0);
    EXPECT_EQ(manager.Start(&owner, 0, 999, 1.0f, 0), nullptr);
    // A looped glow keeps pulsing past its time: 1.3 s in looks as 0.3 s in.
    for (int32_t glow : {30, 40}) {
        ASSERT_NE(manager.Start(&owner, kMatAnimOwnerActor, glow, 1.0f, 1), nullptr);
        manager.Update(0.3f);
        const float early = manager.LookOf(&owner).amount;
        manager.Update(1.0f);
        EXPECT_NEAR(manager.LookOf(&owner).amount, early, 1e-3f) << glow;
        EXPECT_GT(early, 0.1f) << glow;
        manager.Stop(&owner);
        manager.Update(0.01f);
    }
}

// Looped past their time, the fades and brightenings hold their end (a body
// faded out stays gone, one faded in stays shown) while the flash, the rises
// and the pulses start over. The poison tint is the same at every time.
TEST(MatAnims, LoopedPastTheirTimeFadesHoldTheirEndAndFlashesStartOver)
{
    for (int32_t index : {1, 2, 4, 18, 21, 22, 23, 24, 30, 34, 35, 36, 39, 40}) {
        const bool holds = index == 2 || index == 4 || index == 18 || index == 21 || index == 34 || index == 35 ||
                           index == 36 || index == 39;
        CSMatAnimManager manager;
        int owner = 0;
        ASSERT_NE(manager.Start(&owner, kMatAnimOwnerActor, index, 1.0f, 1), nullptr);
        manager.Update(1.0f);
        manager.Update(0.3f);
        const MatAnimLook look = manager.LookOf(&owner);
        const MatAnimLook want = SampleMatAnim(*FindMatAnim(index), holds ? 1.0f : 0.3f, 1.0f);
        EXPECT_NEAR(look.amount, want.amount, 1e-4f) << index;
        EXPECT_NEAR(look.alphaScale, want.alphaScale, 1e-4f) << index;
        const MatAnimLook other = SampleMatAnim(*FindMatAnim(index), holds ? 0.3f : 1.0f, 1.0f);
        EXPECT_GT(std::fabs(other.amount - want.amount) + std::fabs(other.alphaScale - want.alphaScale), 0.05f)
            << index << ": the two ends look alike";
    }
}

TEST(MatAnims, TrackSetsWrapTheirTimes)
{
    const int32_t ids[] = {22, 23, 24, 77};
    MatAnimTrackSet set(ids, 4);
    ASSERT_EQ(set.TrackCount(), 3);
    set.SetTrackTime(0, 2.0f);
    EXPECT_EQ(set.TrackTime(0), 2.0f);
    set.EnableTrack(2, true);
    set.SetTrackTime(2, 5.0f);
    EXPECT_EQ(set.TrackTime(2), 5.0f);
    set.SetTrackTime(2, 8.0f);
    EXPECT_EQ(set.TrackTime(2), 2.0f);  // six-second tracks
    set.SetTrackTime(2, -1.0f);
    EXPECT_EQ(set.TrackTime(2), 5.0f);  // a second before the start is a second before the end
    set.SetTrackTime(2, std::nanf(""));
    EXPECT_EQ(set.TrackTime(2), 5.0f);  // no time: kept
    set.SetTrackTime(2, 8.0f);
    set.Update(4.5f);
    EXPECT_NEAR(set.TrackTime(2), 0.5f, 1e-5f);
    EXPECT_GT(set.Look().amount, 0.0f);
    set.EnableTrack(2, false);
    EXPECT_EQ(set.TrackTime(2), 0.0f);
    EXPECT_EQ(set.Look().amount, 0.0f);
    // Each track is switched on and off alone, the first as well as the
    // last; an index the set does not have is never on.
    set.EnableTrack(0, true);
    EXPECT_TRUE(set.IsTrackEnabled(0));
    EXPECT_EQ(set.TrackTime(0), 0.0f);  // switched on from its start
    EXPECT_FALSE(set.IsTrackEnabled(1));
    EXPECT_FALSE(set.IsTrackEnabled(2));
    EXPECT_FALSE(set.IsTrackEnabled(-1));
    EXPECT_FALSE(set.IsTrackEnabled(3));
    set.EnableTrack(3, true);
    EXPECT_FALSE(set.IsTrackEnabled(3));
    set.EnableTrack(0, false);
    EXPECT_FALSE(set.IsTrackEnabled(0));
}

class FxModels : public fxtest::FxEngineTest {
protected:
    void WriteCard(const std::string &folder, const std::string &name, const char *texture)
    {
        RpClump *clump = mkdata::BuildFxCard(texture, 2.0f, {255, 255, 255, 255});
        ASSERT_NE(clump, nullptr);
        std::filesystem::create_directories(root + "/" + folder);
        ASSERT_TRUE(mkdata::WriteClumpFile(clump, (root + "/" + folder + "/" + name).c_str()));
        RpClumpDestroy(clump);
    }
    void WritePicture(const std::string &folder, const char *name)
    {
        RwImage *image = mkdata::MakeFxImage(name);
        ASSERT_NE(image, nullptr);
        std::filesystem::create_directories(root + "/" + folder);
        EXPECT_NE(RtBmpWrite(image, (root + "/" + folder + "/" + name + ".BMP").c_str()), nullptr);
        RwImageDestroy(image);
    }
    void WriteGlow(int playCount = 2)
    {
        WritePicture("RESOURCE/FX/XDT", "GLOW1");
        WritePicture("RESOURCE/FX/XDT", "GLOW2");
        WriteCard("RESOURCE/FX/XDT", "GLOW.DFF", "GLOW1");
        Write("RESOURCE/FX/XDT/3300100.XDT",
              "Model: GLOW.DFF\nFrameNum: 2\nFrame: GLOW1, 150\nFrame: GLOW2, 50\nScroll: 0.5, 0.25\nPlayCount: " +
                  std::to_string(playCount) + "\n");
    }
};

// The stage's chain of event models: the first is read from its file, the
// others are copies of it (no second read); a removed model leaves the
// chain and the others stay; a missing file gives nothing.
TEST_F(FxModels, TheEventModelChainCopiesItsFirstModel)
{
    CSXdtModelChain chain;
    EXPECT_EQ(chain.Add(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), nullptr);  // not there yet
    EXPECT_EQ(chain.Count(), 0);
    WriteGlow();
    CSXdtModel *first = chain.Add(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT");
    ASSERT_NE(first, nullptr);
    std::filesystem::remove(root + "/RESOURCE/FX/XDT/3300100.XDT");
    CSXdtModel *second = chain.Add(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT");
    ASSERT_NE(second, nullptr);  // a copy: the file is not read again
    EXPECT_NE(second->Clump(), first->Clump());
    ASSERT_NE(first->Desc(), nullptr);
    EXPECT_EQ(first->Desc()->frames.size(), 2u);
    EXPECT_EQ(second->Desc(), first->Desc());
    EXPECT_EQ(chain.Count(), 2);
    chain.Remove(first);
    EXPECT_FALSE(chain.Holds(first));
    EXPECT_TRUE(chain.Holds(second));
    chain.Remove(first);  // not held: nothing
    EXPECT_EQ(chain.Count(), 1);
    second->Show(true);
    RwCamera *camera = fxtest::MakeCamera(32, 32, {0.0f, 0.0f, -5.0f});
    RwCameraBeginUpdate(camera);
    chain.Render();
    RwCameraEndUpdate(camera);
    fxtest::DestroyCamera(camera);
    chain.Release();
    EXPECT_EQ(chain.Count(), 0);
}

TEST_F(FxModels, MatAnimsChangeMaterialsOnlyWhileDrawn)
{
    RpClump *card = mkdata::BuildFxCard("none", 1.0f, {255, 255, 255, 255});
    CSMatAnimManager manager;
    int owner = 0;
    manager.Start(&owner, kMatAnimOwnerActor, 40, 0.0f, 1);
    manager.Update(0.25f);  // the glow's peak
    RpMaterial *material = RpGeometryGetMaterial(RpAtomicGetGeometry(FirstAtomic(card)), 0);
    const RwRGBA before = material->color;
    {
        MatAnimDrawScope scope;
        scope.Apply(card, manager.LookOf(&owner));
        EXPECT_NE(material->color.green, before.green);
    }
    EXPECT_EQ(material->color.green, before.green);
    EXPECT_EQ(material->color.red, before.red);
    manager.RenderClump(&owner, nullptr);  // an actor without its model draws nothing
    RpClumpDestroy(card);
}

// A switch drawn through its track set (a prelit card): with the red track
// on it glows red, with it off again it shows its own grey, and its
// material keeps its own colour after each draw.
TEST_F(FxModels, AModelDrawnThroughATrackSetShowsItsTracksGlow)
{
    RpClump *card = mkdata::BuildFxCard("none", 2.0f, {100, 100, 100, 255});
    const int32_t ids[] = {22, 23, 24};
    MatAnimTrackSet set(ids, 3);
    RwCamera *camera = fxtest::MakeCamera(16, 16, {0.0f, 0.0f, -3.0f});
    const auto middle = [&] {
        const RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(camera, const_cast<RwRGBA *>(&black), rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(camera);
        set.RenderClump(card);
        set.RenderClump(nullptr);  // nothing
        RwCameraEndUpdate(camera);
        return fxtest::PixelAt(camera, 8, 8);
    };
    const RpMaterial *material = RpGeometryGetMaterial(RpAtomicGetGeometry(FirstAtomic(card)), 0);
    const RwRGBA own = material->color;
    set.EnableTrack(2, true);
    set.SetTrackTime(2, 5.0f);  // risen to 0.7 of red
    const RwRGBA glowing = middle();
    EXPECT_EQ(glowing.red, 100);
    EXPECT_NEAR(glowing.blue, 30, 8);  // 100 x 0.3, within the picture's rounding
    EXPECT_NEAR(glowing.green, 30, 8);
    EXPECT_EQ(material->color.blue, own.blue);
    set.EnableTrack(2, false);
    const RwRGBA plain = middle();
    EXPECT_EQ(plain.red, 100);
    EXPECT_EQ(plain.blue, 100);
    EXPECT_EQ(plain.green, 100);
    EXPECT_EQ(material->color.blue, own.blue);
    fxtest::DestroyCamera(camera);
    RpClumpDestroy(card);
}

// A material met twice in one draw (in two slots of its list, and through a
// second atomic sharing the geometry) takes the look once.
TEST_F(FxModels, AMatAnimChangesARepeatedMaterialOnce)
{
    RpClump *card = mkdata::BuildFxCard("none", 1.0f, {200, 200, 200, 255});
    RpAtomic *atomic = FirstAtomic(card);
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    RpMaterial *material = RpGeometryGetMaterial(geometry, 0);
    ASSERT_EQ(RpMaterialListAppendMaterial(&geometry->matList, material), 1);
    RpAtomic *twin = RpAtomicClone(atomic);
    ASSERT_NE(twin, nullptr);
    RpAtomicSetFrame(twin, RpAtomicGetFrame(atomic));
    RpClumpAddAtomic(card, twin);
    CSMatAnimManager manager;
    int owner = 0;
    manager.Start(&owner, kMatAnimOwnerActor, 40, 0.0f, 1);
    manager.Update(0.25f);
    const MatAnimLook look = manager.LookOf(&owner);
    const RwRGBA before = material->color;
    const RwRGBA once = ApplyMatAnimLook(before, look);
    ASSERT_NE(ApplyMatAnimLook(once, look).green, once.green);  // twice would show
    {
        MatAnimDrawScope scope;
        scope.Apply(card, look);
        EXPECT_EQ(material->color.red, once.red);
        EXPECT_EQ(material->color.green, once.green);
        EXPECT_EQ(material->color.blue, once.blue);
        EXPECT_EQ(material->color.alpha, once.alpha);
    }
    EXPECT_EQ(material->color.green, before.green);
    EXPECT_EQ(material->color.alpha, before.alpha);
    RpClumpDestroy(card);
}

TEST_F(FxModels, AnXdtWithAPlayCountFinishesAndScrollingKeepsTheMapping)
{
    WriteGlow();
    CSXdtModel model;
    RpClump *clump = model.LoadXdt(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT");
    ASSERT_NE(clump, nullptr);
    EXPECT_EQ(model.LoadXdt(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), clump);  // at once
    EXPECT_EQ(model.FrameIndex(), 0);
    EXPECT_FALSE(model.Advance(160.0f));
    EXPECT_EQ(model.FrameIndex(), 1);
    EXPECT_FALSE(model.Advance(200.0f));
    EXPECT_TRUE(model.Advance(50.0f));  // 2 x 200 ms played
    EXPECT_TRUE(model.IsFinished());
    EXPECT_EQ(model.FrameIndex(), 1);
    model.ResetTime();
    EXPECT_FALSE(model.IsFinished());
    CSXdtModel none;  // nothing loaded: the first frame, no matrix taken
    EXPECT_EQ(none.FrameIndex(), 0);
    RwMatrix placed = fxtest::Translation({4.0f, 5.0f, 6.0f});
    none.SetMatrix(&placed);
    EXPECT_EQ(none.Clump(), nullptr);
    // A matrix places the model; none leaves it where it is.
    model.SetMatrix(&placed);
    model.SetMatrix(nullptr);
    EXPECT_EQ(RwFrameGetLTM(RpClumpGetFrame(clump))->pos.y, 5.0f);
    EXPECT_EQ(RwFrameGetLTM(RpClumpGetFrame(clump))->pos.z, 6.0f);

    // Scrolling: every vertex keeps its own coordinates plus one offset.
    CSXdtModel copy;
    ASSERT_NE(copy.CloneFrom(&model), nullptr);
    copy.Show(true);
    copy.Advance(300.0f);
    const RwTexCoords offset = copy.ScrollOffset();
    EXPECT_NEAR(offset.u, 0.15f, 1e-4f);
    EXPECT_NEAR(offset.v, 0.075f, 1e-4f);
    RwCamera *camera = fxtest::MakeCamera(32, 32, {0.0f, 0.0f, -5.0f});
    RwCameraBeginUpdate(camera);
    copy.Render();
    RwCameraEndUpdate(camera);
    RpGeometry *g = RpAtomicGetGeometry(FirstAtomic(copy.Clump()));
    const RwTexCoords *uv = g->texCoords[0];
    // The card's own mapping: (0,1) (1,1) (0,0) (1,0) on each side.
    EXPECT_NEAR(uv[1].u - uv[0].u, 1.0f, 1e-5f);
    EXPECT_NEAR(uv[0].v - uv[2].v, 1.0f, 1e-5f);
    EXPECT_NEAR(uv[2].u, offset.u, 1e-5f);
    EXPECT_NEAR(uv[2].v, offset.v, 1e-5f);
    fxtest::DestroyCamera(camera);
}

// A texture-animated model shows each frame's picture in its turn: a red
// card for 150 ms, a blue one for 50 ms, then the red again.
TEST_F(FxModels, AnXdtShowsEachFramesPictureInItsTurn)
{
    WritePicture("RESOURCE/FX/XDT", "ITEMA");
    WritePicture("RESOURCE/FX/XDT", "ITEMB");
    WriteCard("RESOURCE/FX/XDT", "CARD.DFF", "ITEMA");
    Write("RESOURCE/FX/XDT/3300100.XDT",
          "Model: CARD.DFF\nFrameNum: 2\nFrame: ITEMA, 150\nFrame: ITEMB, 50\n");
    CSXdtModel model;
    ASSERT_NE(model.LoadXdt(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), nullptr);
    EXPECT_FALSE(model.IsShown());  // loaded hidden
    model.Show(true);
    model.Release();
    model.Show(true);
    EXPECT_FALSE(model.IsShown());  // released, it has nothing to show
    ASSERT_NE(model.LoadXdt(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), nullptr);
    EXPECT_FALSE(model.IsShown());  // and so again after a release
    model.Show(true);
    RpMaterial *material = RpGeometryGetMaterial(RpAtomicGetGeometry(FirstAtomic(model.Clump())), 0);
    RwTexture *own = material->texture;
    RwCamera *camera = fxtest::MakeCamera(32, 32, {0.0f, 0.0f, -3.0f});
    const auto draw = [&] {
        const RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(camera, const_cast<RwRGBA *>(&black), rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(camera);
        model.Render();
        RwCameraEndUpdate(camera);
        return fxtest::Picture(camera, 32, 32);
    };
    const auto redOverBlue = [](const std::vector<uint32_t> &picture) {
        const uint32_t middle = picture[16 * 32 + 16];
        return static_cast<int>((middle >> 16) & 0xFFu) - static_cast<int>(middle & 0xFFu);
    };
    const std::vector<uint32_t> first = draw();
    EXPECT_GT(redOverBlue(first), 100);
    model.Advance(140.0f);
    EXPECT_EQ(draw(), first);
    model.Advance(20.0f);  // 160 ms: the second picture
    EXPECT_LT(redOverBlue(draw()), -100);
    EXPECT_EQ(material->texture, own);  // only while it is drawn
    model.Advance(50.0f);  // 210 ms: the first again
    EXPECT_EQ(draw(), first);
    fxtest::DestroyCamera(camera);
    // Scrolling backwards wraps into the picture: -0.08 reads 0.92.
    Write("RESOURCE/FX/XDT/3300200.XDT", "Model: CARD.DFF\nFrameNum: 1\nFrame: ITEMA, 150\nScroll: -0.5, 0\n");
    CSXdtModel back;
    ASSERT_NE(back.LoadXdt(nullptr, "\\RESOURCE\\FX\\XDT\\3300200.XDT"), nullptr);
    back.Advance(160.0f);
    EXPECT_NEAR(back.ScrollOffset().u, 0.92f, 1e-4f);
}

TEST_F(FxModels, TheDropPoolShowsItemsEffectsAndTheGenericDrop)
{
    WriteGlow();
    WriteCard("RESOURCE/ITEM/XDT", "DROP.DFF", "DROP1");
    WriteCard("RESOURCE/ITEM/XDT", "ITEM.DFF", "ITEMA");
    Write("RESOURCE/ITEM/XDT/DROP.XDT", "Model: DROP.DFF\nFrameNum: 1\nFrame: DROP1, 300\n");
    Write("RESOURCE/ITEM/XDT/4010100.XDT", "Model: ITEM.DFF\nFrameNum: 1\nFrame: ITEMA, 300\n");
    fxtest::FakeWorld world;
    world.Connect();
    CSXdtEffectPool pool;
    XdtEffectEntry *item = pool.Spawn(4010100, {1.0f, 0.0f, 2.0f}, 1);
    XdtEffectEntry *effect = pool.Spawn(3300100, {0.0f, 0.0f, 0.0f}, 0);
    XdtEffectEntry *unknown = pool.Spawn(4999999, {0.0f, 0.0f, 0.0f}, 1);
    ASSERT_NE(item, nullptr);
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(item->kind, kXdtItem);
    EXPECT_EQ(effect->kind, kXdtEffect);
    EXPECT_EQ(unknown->kind, kXdtGenericDrop);
    EXPECT_EQ(item->state, kXdtSpringing);
    EXPECT_EQ(world.sounds, (std::vector<int32_t>{kXdtDropSound, kXdtDropSound, kXdtDropSound}));
    EXPECT_EQ(world.Trace()[0], "fx drop 4010100 1.00 0.00 2.00");
    // The item springs up out of its drop and falls back onto it.
    float highest = 0.0f;
    for (int i = 0; i < 90; ++i) {
        pool.Update(0.016f);
        if (item->state == kXdtSpringing) {
            const float y = RwFrameGetLTM(RpClumpGetFrame(item->model.Clump()))->pos.y;
            EXPECT_NEAR(y, item->height, 1e-4f) << i;
            highest = std::max(highest, y);
        }
    }
    EXPECT_GT(highest, 0.5f);
    EXPECT_NEAR(RwFrameGetLTM(RpClumpGetFrame(item->model.Clump()))->pos.y, 0.0f, 1e-4f);
    EXPECT_EQ(item->state, kXdtResting);
    EXPECT_EQ(item->height, 0.0f);
    EXPECT_EQ(effect->state, kXdtFree);  // its two plays are over
    // An item left lying goes after its thirty seconds.
    pool.Update(30.0f - 90 * 0.016f - 0.05f);
    EXPECT_EQ(item->state, kXdtResting);
    pool.Update(0.1f);
    EXPECT_EQ(item->state, kXdtFree);
    EXPECT_EQ(unknown->state, kXdtFree);
    item = pool.Spawn(4010100, {1.0f, 0.0f, 2.0f}, 1);
    ASSERT_NE(item, nullptr);
    ASSERT_NE(pool.Spawn(4999999, {0.0f, 0.0f, 0.0f}, 1), nullptr);
    pool.Take(item);
    EXPECT_EQ(pool.EntriesInUse(), 1);
    // Nothing, or an entry that is not the pool's, takes nothing.
    CSXdtEffectPool other;
    XdtEffectEntry *foreign = other.Spawn(4010100, {0.0f, 0.0f, 0.0f}, 1);
    ASSERT_NE(foreign, nullptr);
    pool.Take(nullptr);
    pool.Take(foreign);
    EXPECT_EQ(pool.EntriesInUse(), 1);
    EXPECT_EQ(foreign->state, kXdtSpringing);
    other.Release();
    for (int i = 0; i < 40; ++i) {
        pool.Spawn(4010100, {0.0f, 0.0f, 0.0f}, 1);
    }
    EXPECT_EQ(pool.EntriesInUse(), kXdtPoolSize);
    EXPECT_EQ(pool.Spawn(4010100, {0.0f, 0.0f, 0.0f}, 1), nullptr);
    pool.Release();
    world.Disconnect();
}

TEST_F(FxModels, DynamicSlotsTakeTwoModelsAndKeepTheirValues)
{
    WriteGlow();
    CSStageDynEffects set;
    int32_t slots[kDynEffectSlots];
    for (int32_t &slot : slots) {
        slot = set.Take("\\RESOURCE\\FX\\XDT\\3300100.XDT", "\\RESOURCE\\FX\\XDT\\3300100.XDT");
        ASSERT_GE(slot, 0);
    }
    EXPECT_EQ(set.Take(nullptr, nullptr), -1);
    const float values[6] = {1, 2, 3, 4, 5, 6};
    set.SetValues(slots[3], values);
    set.Show(slots[3], true);
    set.Update(0.1f);
    EXPECT_NEAR(set.Entry(slots[3])->models[0].TimeMs(), 100.0f, 1e-3f);
    set.Entry(slots[3])->SetActive(true);  // rewinds
    EXPECT_EQ(set.Entry(slots[3])->models[1].TimeMs(), 0.0f);
    EXPECT_EQ(set.Entry(slots[3])->values[5], 6.0f);
    // A bridge piece shows its slot's first model only, its animation from
    // the start; showing the second too lets it run on; removed, the piece
    // hides both and its slot neither plays nor draws.
    StageDynEntry &piece = *set.Entry(slots[5]);
    set.Show(slots[5], true);  // played a while before, then hidden
    set.Update(0.25f);
    set.Show(slots[5], false);
    set.ShowModels(slots[5], true, false);
    EXPECT_TRUE(piece.active);
    EXPECT_TRUE(piece.models[0].IsShown());
    EXPECT_FALSE(piece.models[1].IsShown());
    set.Update(0.1f);
    set.ShowModels(slots[5], true, true);
    EXPECT_TRUE(piece.models[1].IsShown());
    set.Update(0.1f);
    EXPECT_NEAR(piece.models[0].TimeMs(), 200.0f, 1e-3f);
    set.ShowModels(slots[5], false, false);
    EXPECT_FALSE(piece.active);
    EXPECT_FALSE(piece.models[0].IsShown());
    EXPECT_FALSE(piece.models[1].IsShown());
    set.Update(0.1f);
    EXPECT_NEAR(piece.models[0].TimeMs(), 200.0f, 1e-3f);
    set.Free(slots[3]);
    EXPECT_EQ(set.Entry(slots[3]), nullptr);
    EXPECT_EQ(set.SlotsInUse(), kDynEffectSlots - 1);
    set.Release();
}

TEST_F(FxModels, NodeAnimationsRunToTheirEndFrames)
{
    NodeAnimTrack parsed;
    EXPECT_TRUE(ParseNodeAnim("NodeAnim 60 0 90 0 0 2 0", &parsed));
    EXPECT_FALSE(ParseNodeAnim("NodeAnim 0 0 0 0 0 0 0", &parsed));
    EXPECT_FALSE(ParseNodeAnim("NodeAnim 60 1 2", &parsed));
    EXPECT_FALSE(ParseNodeAnim("noshadow", &parsed));

    RpClump *clump = mkdata::BuildFxCard("none", 1.0f, {255, 255, 255, 255});
    RwFrame *root = RpClumpGetFrame(clump);
    RwFrame *lid = RwFrameCreate();
    RwFrameAddChild(root, lid);
    RpUserDataArray *array =
        RpUserDataListAddArray(RpUserDataFrameGetList(lid), "3dsmax User Properties", rpSTRINGUSERDATA, 2);
    ASSERT_NE(array, nullptr);
    RpUserDataArraySetString(array, 0, "noshadow");
    RpUserDataArraySetString(array, 1, "NodeAnim 60 0 0 0 0 3 0");
    CSNodeAnimPlayer player;
    EXPECT_EQ(player.IsFinished(clump), 1);  // not held
    ASSERT_TRUE(player.Register(clump));
    EXPECT_EQ(player.IsFinished(clump), 0);
    player.Advance(clump, 0.5f, kNodeAnimOnce);
    EXPECT_NEAR(RwFrameGetLTM(lid)->pos.y, 1.5f, 1e-4f);
    player.Advance(clump, 1.0f, kNodeAnimOnce);
    EXPECT_NEAR(RwFrameGetLTM(lid)->pos.y, 3.0f, 1e-4f);
    EXPECT_EQ(player.IsFinished(clump), 1);
    player.Rewind(clump);
    EXPECT_NEAR(RwFrameGetLTM(lid)->pos.y, 0.0f, 1e-4f);
    player.SetTime(clump, 20.0f);
    EXPECT_NEAR(RwFrameGetLTM(lid)->pos.y, 1.0f, 1e-4f);
    player.Unregister(clump);
    EXPECT_EQ(player.ClumpCount(), 0);
    // A model without node animations is not taken.
    RpClump *plain = mkdata::BuildFxCard("none", 1.0f, {255, 255, 255, 255});
    EXPECT_FALSE(player.Register(plain));
    EXPECT_FALSE(player.Register(nullptr));
    EXPECT_EQ(player.ClumpCount(), 0);
    RpClumpDestroy(plain);
    RpClumpDestroy(clump);
}

// A clump's node animations each run to their own end frame (the clump is
// done when the longest is), turn about their frame's own axes, start over
// in loop mode, and a clump moved as a whole moves its own frame by the
// first one found.
TEST_F(FxModels, NodeAnimationsTurnLoopAndMoveAWholeClump)
{
    const auto addTrack = [](RpClump *clump, const char *text) {
        RwFrame *frame = RwFrameCreate();
        RwFrameAddChild(RpClumpGetFrame(clump), frame);
        RpUserDataArray *array =
            RpUserDataListAddArray(RpUserDataFrameGetList(frame), "3dsmax User Properties", rpSTRINGUSERDATA, 1);
        RpUserDataArraySetString(array, 0, text);
        return frame;
    };
    // The angle in degrees that the frame's x axis has turned about y.
    const auto turned = [](RwFrame *frame) {
        const RwV3d right = RwFrameGetLTM(frame)->right;
        EXPECT_NEAR(right.y, 0.0f, 1e-4f);
        return std::atan2(std::fabs(right.z), right.x) * 57.29578f;
    };
    RpClump *clump = mkdata::BuildFxCard("none", 1.0f, {255, 255, 255, 255});
    RwFrame *lid = addTrack(clump, "NodeAnim 60 0 90 0 0 0 0");
    RwFrame *slide = addTrack(clump, "NodeAnim 120 0 0 0 0 2 0");
    CSNodeAnimPlayer player;
    ASSERT_TRUE(player.Register(clump));
    ASSERT_TRUE(player.Register(clump));  // read anew, held once
    EXPECT_EQ(player.ClumpCount(), 1);
    player.Advance(clump, 0.5f, kNodeAnimOnce);
    EXPECT_NEAR(turned(lid), 45.0f, 0.01f);
    EXPECT_NEAR(RwFrameGetLTM(slide)->pos.y, 0.5f, 1e-4f);
    player.Advance(clump, 0.5f, kNodeAnimOnce);
    EXPECT_NEAR(turned(lid), 90.0f, 0.01f);
    EXPECT_EQ(player.IsFinished(clump), 0);  // the slide runs on
    player.Advance(clump, 1.5f, kNodeAnimOnce);
    EXPECT_NEAR(turned(lid), 90.0f, 0.01f);
    EXPECT_NEAR(RwFrameGetLTM(slide)->pos.y, 2.0f, 1e-4f);
    EXPECT_EQ(player.IsFinished(clump), 1);
    // Looping: 30 frames past the end of the longest is 30 frames in.
    player.Advance(clump, 0.5f, kNodeAnimLoop);
    EXPECT_NEAR(turned(lid), 45.0f, 0.01f);
    EXPECT_NEAR(RwFrameGetLTM(slide)->pos.y, 0.5f, 1e-4f);
    EXPECT_EQ(player.IsFinished(clump), 0);
    // As a whole: the clump's frame takes the first animation, its frames
    // keep their own places on it.
    RpClump *door = mkdata::BuildFxCard("none", 1.0f, {255, 255, 255, 255});
    RwFrame *panel = addTrack(door, "NodeAnim 60 0 0 0 0 3 0");
    RwFrame *hinge = addTrack(door, "NodeAnim 60 0 90 0 0 0 0");
    ASSERT_TRUE(player.RegisterWholeClump(door));
    player.Advance(door, 0.5f, kNodeAnimOnce);
    const bool rose = std::fabs(RwFrameGetLTM(RpClumpGetFrame(door))->pos.y - 1.5f) < 1e-4f;
    const bool swung = std::fabs(turned(RpClumpGetFrame(door)) - 45.0f) < 0.01f;
    EXPECT_TRUE(rose || swung) << "the clump's frame moves";
    EXPECT_FALSE(rose && swung) << "by one animation only";
    EXPECT_NEAR(RwFrameGetMatrix(panel)->pos.y, 0.0f, 1e-4f);
    EXPECT_NEAR(RwFrameGetMatrix(hinge)->right.x, 1.0f, 1e-4f);
    EXPECT_EQ(player.ClumpCount(), 2);
    EXPECT_FALSE(player.RegisterWholeClump(nullptr));
    RpClump *plain = mkdata::BuildFxCard("none", 1.0f, {255, 255, 255, 255});
    EXPECT_FALSE(player.RegisterWholeClump(plain));  // nothing to play
    EXPECT_FALSE(player.Register(plain));
    EXPECT_EQ(player.ClumpCount(), 2);
    RpClumpDestroy(plain);
    player.Release();
    EXPECT_EQ(player.ClumpCount(), 0);
    RpClumpDestroy(door);
    RpClumpDestroy(clump);
}

TEST_F(FxModels, PackagesBurnOnTheOwnersFramesAndStayHiddenInStageFiveUntilItsEvent)
{
    Write("RESOURCE/FX/FXM.FXM", "PackageNum: 9\n");
    Write("RESOURCE/FX/Light_Type_Fire_M.lit", "Type: POINT\nColour: 255, 140, 40\nRadius: 12\n");
    CSParticleManager particles;
    ZusDesc fire;
    for (const char *name : {"fire_l.zus", "fire_m.zus", "fire_s.zus"}) {
        ASSERT_TRUE(particles.AddTemplate(name, fire, 4, false));
    }
    fxtest::FakeWorld world;
    world.Connect();
    static bool occurred = false;
    static int32_t stage = 2010000;
    g_fxLinks.stageId = [] { return stage; };
    g_fxLinks.eventOccurred = [](int32_t id) { return id == kShowPackagesEvent && occurred; };
    fxtest::FakeActor monster;
    // The owner's frames by id, each standing at x = its id - 100000, so
    // that a package's trace line tells which frame it burns on.
    static std::vector<std::pair<int32_t, RwFrame *>> frames;
    frames.clear();
    for (int32_t id : {100100, 100090, 100080, 100060, 100040, 100020, 100010}) {
        RwFrame *frame = RwFrameCreate();
        const RwV3d at = {static_cast<float>(id - 100000), 0.0f, 0.0f};
        RwFrameTranslate(frame, &at, rwCOMBINEREPLACE);
        frames.emplace_back(id, frame);
    }
    g_fxLinks.frameById = [](AiObject *, int32_t id) -> RwFrame * {
        for (const auto &[own, frame] : frames) {
            if (own == id) {
                return frame;
            }
        }
        return nullptr;
    };
    CSFxPackageList packages;
    packages.Load("\\RESOURCE\\FX\\FXM.FXM", &particles, nullptr);
    EXPECT_EQ(packages.PackageCount(), 9);
    EXPECT_EQ(packages.StartBurning(fxtest::FakeWorld::As(&monster)), 7);
    EXPECT_EQ(packages.PackagesInUse(), 7);
    int lights = 0;
    for (int32_t i = 0; i < packages.PackageCount(); ++i) {
        lights += packages.Package(i).light != nullptr ? 1 : 0;
    }
    EXPECT_EQ(lights, 1);
    // One trace line per package started, named by its particle file or
    // light, on its frame: the large fire and the light on 100100, the
    // middle ones on 100090, 100080 and 100060, the small on 100040 and 100020.
    std::vector<std::string> starts;
    for (const std::string &line : world.Trace()) {
        if (line.rfind("fx start ", 0) == 0) {
            const size_t end = line.find(' ', 9);
            starts.push_back(line.substr(9, end - 9) + " " +
                             std::to_string(std::lround(std::stof(line.substr(end + 1)))));
        }
    }
    std::sort(starts.begin(), starts.end());
    EXPECT_EQ(starts, (std::vector<std::string>{"Light_Type_Fire_M.lit 100", "fire_l.zus 100", "fire_m.zus 60",
                                                "fire_m.zus 80", "fire_m.zus 90", "fire_s.zus 20",
                                                "fire_s.zus 40"}));
    EXPECT_EQ(packages.StartBurning(fxtest::FakeWorld::As(&monster)), 2);  // only two free left
    EXPECT_TRUE(packages.IsShown());
    stage = kHiddenPackagesStage;
    EXPECT_FALSE(packages.IsShown());
    occurred = true;
    EXPECT_TRUE(packages.IsShown());
    packages.StopOwner(fxtest::FakeWorld::As(&monster));
    EXPECT_EQ(packages.PackagesInUse(), 0);
    EXPECT_EQ(particles.SystemsOut(), 0);
    packages.Release();
    particles.ReleaseAll();
    world.Disconnect();
    for (const auto &[id, frame] : frames) {
        RwFrameDestroy(frame);
    }
    frames.clear();
}

TEST_F(FxModels, TheBurningLightTakesItsFilesColourAndWithoutTheFileThereIsNoLight)
{
    Write("RESOURCE/FX/FXM.FXM", "PackageNum: 9\n");
    CSParticleManager particles;
    ZusDesc fire;
    for (const char *name : {"fire_l.zus", "fire_m.zus", "fire_s.zus"}) {
        ASSERT_TRUE(particles.AddTemplate(name, fire, 4, false));
    }
    fxtest::FakeWorld world;
    world.Connect();
    fxtest::FakeActor monster;
    CSFxPackageList packages;
    packages.Load("\\RESOURCE\\FX\\FXM.FXM", &particles, nullptr);
    const auto lightOf = [&packages]() -> RpLight * {
        for (int32_t i = 0; i < packages.PackageCount(); ++i) {
            if (packages.Package(i).light != nullptr) {
                return packages.Package(i).light;
            }
        }
        return nullptr;
    };
    // No light file: the six fires burn and no light of made-up colour shines.
    EXPECT_EQ(packages.StartBurning(fxtest::FakeWorld::As(&monster)), 6);
    EXPECT_EQ(lightOf(), nullptr);
    packages.StopOwner(fxtest::FakeWorld::As(&monster));
    // With the file the light has its colour and radius.
    Write("RESOURCE/FX/Light_Type_Fire_M.lit", "Type: POINT\nColour: 255, 102, 51\nRadius: 12\n");
    EXPECT_EQ(packages.StartBurning(fxtest::FakeWorld::As(&monster)), 7);
    RpLight *light = lightOf();
    ASSERT_NE(light, nullptr);
    EXPECT_FLOAT_EQ(RpLightGetColor(light)->red, 1.0f);
    EXPECT_FLOAT_EQ(RpLightGetColor(light)->green, 0.4f);
    EXPECT_FLOAT_EQ(RpLightGetColor(light)->blue, 0.2f);
    EXPECT_FLOAT_EQ(RpLightGetRadius(light), 12.0f);
    packages.StopOwner(fxtest::FakeWorld::As(&monster));
    // Read once: the next burning shines the same though the file changed.
    Write("RESOURCE/FX/Light_Type_Fire_M.lit", "Type: POINT\nColour: 0, 0, 255\nRadius: 3\n");
    EXPECT_EQ(packages.StartBurning(fxtest::FakeWorld::As(&monster)), 7);
    ASSERT_NE(lightOf(), nullptr);
    EXPECT_FLOAT_EQ(RpLightGetColor(lightOf())->red, 1.0f);
    EXPECT_FLOAT_EQ(RpLightGetRadius(lightOf()), 12.0f);
    packages.StopOwner(fxtest::FakeWorld::As(&monster));
    EXPECT_EQ(packages.PackagesInUse(), 0);
    packages.Release();
    particles.ReleaseAll();
    world.Disconnect();
}

// The burning packages draw with their owner (not with the other particles)
// on its frames, and their light goes along with the frame it burns on. In
// the stage that hides them nothing of them shows until their event came.
TEST_F(FxModels, BurningPackagesDrawOnTheirOwnersFramesAndHideUntilTheirEventInTheirStage)
{
    Write("RESOURCE/FX/FXM.FXM", "PackageNum: 9\n");
    Write("RESOURCE/FX/Light_Type_Fire_M.lit", "Type: POINT\nColour: 255, 140, 40\nRadius: 12\n");
    CSParticleManager particles;
    ZusDesc fire;
    fire.emitRate = 100.0f;
    fire.life = 10.0f;
    fire.velocity = {0.0f, 0.0f, 0.0f};
    fire.sizeStart = fire.sizeEnd = 4.0f;
    fire.colourStart = fire.colourEnd = {255, 0, 0, 255};
    fire.blend = kZusBlendAlpha;
    for (const char *name : {"fire_l.zus", "fire_m.zus", "fire_s.zus"}) {
        ASSERT_TRUE(particles.AddTemplate(name, fire, 1, false));
    }
    fxtest::FakeWorld world;
    world.Connect();
    static bool occurred = false;
    occurred = false;
    g_fxLinks.stageId = [] { return kHiddenPackagesStage; };
    g_fxLinks.eventOccurred = [](int32_t id) { return id == kShowPackagesEvent && occurred; };
    // Every frame of the owner is one frame 10 ahead of the camera.
    static RwFrame *body = nullptr;
    body = RwFrameCreate();
    const RwV3d ahead = {0.0f, 0.0f, 10.0f};
    RwFrameTranslate(body, &ahead, rwCOMBINEREPLACE);
    g_fxLinks.frameById = [](AiObject *, int32_t) { return body; };
    fxtest::FakeActor monster;
    CSFxPackageList packages;
    packages.Load("\\RESOURCE\\FX\\FXM.FXM", &particles, nullptr);
    EXPECT_EQ(packages.StartBurning(fxtest::FakeWorld::As(&monster)), 4);  // one pool system per file, and the light
    for (int i = 0; i < 5; ++i) {
        particles.Update(0.016f);
        packages.Update(0.016f);
    }
    RwCamera *camera = fxtest::MakeCamera(64, 48, {0.0f, 0.0f, 0.0f});
    const auto centre = [&](bool byPackages) {
        const RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(camera, const_cast<RwRGBA *>(&black), rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(camera);
        byPackages ? packages.Render() : particles.Render();
        RwCameraEndUpdate(camera);
        return fxtest::PixelAt(camera, 32, 24).red;
    };
    EXPECT_LT(centre(false), 50) << "the owner draws its fires, the particles' pass does not";
    EXPECT_LT(centre(true), 50) << "hidden before the event";
    occurred = true;
    EXPECT_GT(centre(true), 200) << "shown once the event came";
    // The owner moves: the light follows its frame at the next update.
    const RwV3d moved = {3.0f, 1.0f, 10.0f};
    RwFrameTranslate(body, &moved, rwCOMBINEREPLACE);
    packages.Update(0.016f);
    const RpLight *light = nullptr;
    for (int32_t i = 0; i < packages.PackageCount(); ++i) {
        light = packages.Package(i).light != nullptr ? packages.Package(i).light : light;
    }
    ASSERT_NE(light, nullptr);
    const RwV3d at = RwFrameGetLTM(RpLightGetFrame(light))->pos;
    EXPECT_FLOAT_EQ(at.x, 3.0f);
    EXPECT_FLOAT_EQ(at.y, 1.0f);
    EXPECT_FLOAT_EQ(at.z, 10.0f);
    fxtest::DestroyCamera(camera);
    packages.Release();
    particles.ReleaseAll();
    world.Disconnect();
    RwFrameDestroy(body);
    body = nullptr;
}

// Play count 0: the flipbook loops for as long as the model is kept.
TEST_F(FxModels, AnXdtWithPlayCountZeroLoops)
{
    WriteGlow(0);
    CSXdtModel model;
    ASSERT_NE(model.LoadXdt(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), nullptr);
    EXPECT_FALSE(model.Advance(160.0f));
    EXPECT_EQ(model.FrameIndex(), 1);
    bool ended = false;
    for (int i = 0; i < 50; ++i) {
        ended = model.Advance(200.0f) || ended;
    }
    EXPECT_FALSE(ended);
    EXPECT_FALSE(model.IsFinished());
    EXPECT_EQ(model.FrameIndex(), 1);  // 10160 ms: 160 into the 51st play
    EXPECT_FALSE(model.Advance(100.0f));
    EXPECT_EQ(model.FrameIndex(), 0);  // and on into the 52nd
    // Each frame shows from the very millisecond its time starts.
    CSXdtModel exact;
    ASSERT_NE(exact.LoadXdt(nullptr, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), nullptr);
    exact.Advance(149.0f);
    EXPECT_EQ(exact.FrameIndex(), 0);
    exact.Advance(1.0f);
    EXPECT_EQ(exact.FrameIndex(), 1);
    exact.Advance(50.0f);
    EXPECT_EQ(exact.FrameIndex(), 0);
}

class SampleFloor : public fxtest::SampleDataTest {};

TEST_F(SampleFloor, DecalsLieOnTheSampleFloor)
{
    RpWorld *world = fxtest::ReadWorldFile("\\RESOURCE\\STAGE\\1\\STAGE.BSP");
    ASSERT_NE(world, nullptr);
    CSDecalManager decals;
    decals.SetWorld(world);
    const RwV3d at = {1.0f, 1.0f, 1.5f};
    Decal *decal = decals.Spawn(at, 2.0f);
    ASSERT_NE(decal, nullptr);
    ASSERT_FALSE(decal->vertices.empty());
    for (const RwIm3DVertex &v : decal->vertices) {
        EXPECT_NEAR(v.objVertex.y, mkdata::StageFloorHeight() + 0.05f, 1e-3f);
        EXPECT_GE(v.objVertex.x, at.x - 2.0f - 1e-4f);
        EXPECT_LE(v.objVertex.x, at.x + 2.0f + 1e-4f);
        EXPECT_GE(v.objVertex.z, at.z - 2.0f - 1e-4f);
        EXPECT_LE(v.objVertex.z, at.z + 2.0f + 1e-4f);
    }
    // Blood: dark red at its full alpha for ten seconds, then fading out
    // over one more (half gone half way).
    decals.Render();
    EXPECT_EQ(decal->vertices.front().color, 0xDC8C0000u);
    // Far above the floor there is nothing to lie on.
    EXPECT_EQ(decals.Spawn({1.0f, 50.0f, 1.5f}, 2.0f), nullptr);
    decals.Update(10.0f);
    decals.Render();
    EXPECT_EQ(decal->vertices.back().color, 0xDC8C0000u);
    decals.Update(0.5f);
    decals.Render();
    EXPECT_EQ(decal->vertices.back().color, 0x6E8C0000u);
    EXPECT_EQ(decals.DecalsInUse(), 1);
    decals.Update(0.6f);
    EXPECT_EQ(decals.DecalsInUse(), 0);
    decals.Release();
    RpWorldDestroy(world);
}

// An effect model is lit by the stage's lights while shown: shown, it joins
// the world it was loaded for, and hidden it leaves it.
TEST_F(SampleFloor, AnEffectModelIsInTheWorldOnlyWhileShown)
{
    RpWorld *world = fxtest::ReadWorldFile("\\RESOURCE\\STAGE\\1\\STAGE.BSP");
    ASSERT_NE(world, nullptr);
    {
        CSXdtModel model;
        ASSERT_NE(model.LoadXdt(world, "\\RESOURCE\\FX\\XDT\\3300100.XDT"), nullptr);
        EXPECT_EQ(RpClumpGetWorld(model.Clump()), nullptr);  // loaded hidden
        model.Show(true);
        EXPECT_EQ(RpClumpGetWorld(model.Clump()), world);
        model.Show(false);
        EXPECT_FALSE(model.IsShown());
        EXPECT_EQ(RpClumpGetWorld(model.Clump()), nullptr);
        model.Show(true);
        model.Show(true);
        EXPECT_EQ(RpClumpGetWorld(model.Clump()), world);
    }
    RpWorldDestroy(world);
}

// With all 32 decals on the floor, a new one takes the place of the oldest.
TEST_F(SampleFloor, ANewDecalTakesTheOldestsPlaceWhenAllAreDown)
{
    RpWorld *world = fxtest::ReadWorldFile("\\RESOURCE\\STAGE\\1\\STAGE.BSP");
    ASSERT_NE(world, nullptr);
    CSDecalManager decals;
    decals.SetWorld(world);
    for (int32_t i = 0; i < kMaxDecals; ++i) {
        ASSERT_EQ(decals.Spawn({1.0f, 1.0f, 1.5f}, 1.0f), &decals.DecalAt(i));
        decals.Update(0.1f);
    }
    EXPECT_EQ(decals.Spawn({3.0f, 1.0f, 1.5f}, 1.0f), &decals.DecalAt(0));
    EXPECT_EQ(decals.DecalAt(0).age, 0.0f);
    for (const RwIm3DVertex &v : decals.DecalAt(0).vertices) {
        EXPECT_GE(v.objVertex.x, 2.0f - 1e-4f);  // at the new place
    }
    decals.Update(0.1f);
    EXPECT_EQ(decals.Spawn({3.0f, 1.0f, 1.5f}, 1.0f), &decals.DecalAt(1));
    EXPECT_EQ(decals.DecalsInUse(), kMaxDecals);
    // All put down in one frame: the first of the equally old gives way.
    decals.Clear();
    for (int32_t i = 0; i < kMaxDecals; ++i) {
        ASSERT_EQ(decals.Spawn({1.0f, 1.0f, 1.5f}, 1.0f), &decals.DecalAt(i));
    }
    decals.Update(0.1f);
    EXPECT_EQ(decals.Spawn({3.0f, 1.0f, 1.5f}, 1.0f), &decals.DecalAt(0));
    EXPECT_EQ(decals.Spawn({3.0f, 1.0f, 1.5f}, 1.0f), &decals.DecalAt(1));
    decals.Release();
    RpWorldDestroy(world);
}

}  // namespace

}  // namespace fx_models_test
