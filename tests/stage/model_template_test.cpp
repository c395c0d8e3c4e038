// Model frames and model templates on the sample hero and monster: frames
// found by user-property id and by node id, the collision-test switches,
// instances taken up to the limit and given back, and tagged weapon parts
// picking other models by their spheres or by their triangles.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/fatal.h"
#include "app/game_system.h"
#include "app/path.h"
#include "rpusrdat.h"
#include "stage/anim_file.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_files.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "tests/stage/stage_test_support.h"
#include "tools/model_test_support.h"
#include "tools/mkdata/sample_monsters.h"
#include "support/engine/scratch_path.h"
#include "support/game/diagnostics_capture.h"

namespace model_template_test {

namespace {

using stagetest::ReadSampleClump;
using stagetest::ReadSampleHero;

// The sample figure's bone ids and names.
struct BoneId {
    int32_t id;
    const char *name;
};
constexpr BoneId kBones[] = {{100020, "pelvis"}, {100090, "head"},     {100130, "weapon_a"}, {100140, "weapon_b"},
                             {100150, "hand_l"}, {100160, "hand_r"},   {100110, "leg_l"},    {100100, "chest"}};

const char *BoneName(RwFrame *frame)
{
    for (RwInt32 i = 0; i < RpUserDataFrameGetNumArrays(frame); ++i) {
        const RpUserDataArray *array = RpUserDataFrameGetArray(frame, i);
        if (std::strcmp(RpUserDataArrayGetName(array), "bone name") == 0) {
            return RpUserDataArrayGetString(array, 0);
        }
    }
    return "";
}

using ModelFramesTest = stagetest::StageEngineTest;

TEST_F(ModelFramesTest, FramesFoundByUserIdAndByNodeId)
{
    RpClump *hero = ReadSampleHero();
    ASSERT_NE(hero, nullptr);
    RpHAnimHierarchy *skeleton = GetClumpHierarchy(hero);
    ASSERT_NE(skeleton, nullptr);
    EXPECT_EQ(skeleton->numNodes, 12);
    RpHAnimHierarchyAttach(skeleton);
    for (const BoneId &bone : kBones) {
        RwFrame *byClump = FindFrameByUserId(hero, bone.id);
        ASSERT_NE(byClump, nullptr) << bone.id;
        EXPECT_STREQ(BoneName(byClump), bone.name);
        EXPECT_EQ(FindFrameByUserId(skeleton, bone.id), byClump);
        EXPECT_EQ(FindFrameByNodeId(hero, bone.id), byClump);
    }
    for (int32_t missing : {0, 100000, 100091, -1}) {
        EXPECT_EQ(FindFrameByUserId(hero, missing), nullptr);
        EXPECT_EQ(FindFrameByUserId(skeleton, missing), nullptr);
        EXPECT_EQ(FindFrameByNodeId(hero, missing), nullptr);
    }
    EXPECT_EQ(FindFrameByUserId(static_cast<RpClump *>(nullptr), 100090), nullptr);
    EXPECT_EQ(FindFrameByUserId(static_cast<RpHAnimHierarchy *>(nullptr), 100090), nullptr);
    EXPECT_EQ(GetClumpHierarchy(nullptr), nullptr);
    // An actor without a model has no collision flags to switch.
    SetClumpCollisionTest(nullptr, true);
    EXPECT_EQ(RefreshClumpCollisionTest(nullptr), 0);
    RpClumpDestroy(hero);

    // The prop's properties start with an id and go on with other text.
    RpClump *prop = ReadSampleClump("RESOURCE/G_EVENT/DFF/PROP01.DFF");
    ASSERT_NE(prop, nullptr);
    RwFrame *lid = FindFrameByUserId(prop, 3514100);
    ASSERT_NE(lid, nullptr);
    int32_t id = 0;
    EXPECT_FALSE(GetFrameUserId(RpClumpGetFrame(prop), &id));
    EXPECT_EQ(GetClumpHierarchy(prop), nullptr);
    RpClumpDestroy(prop);
}

// A frame's id is the leading whole number of the first string of its
// "3dsmax User Properties" array, past blanks and with its sign; a frame
// whose properties start otherwise, hold no string or too large a number
// has none, and other arrays before the properties are passed over.
TEST_F(ModelFramesTest, AFramesIdIsTheLeadingNumberOfItsProperties)
{
    struct Case {
        const char *text;
        bool found;
        int32_t id;
    };
    const Case cases[] = {{"100090", true, 100090}, {" \t3514100P01 lid", true, 3514100}, {"-5", true, -5},
                          {"+7x", true, 7},          {"head 100090", false, 0},          {"", false, 0},
                          {"-", false, 0},           {"2147483647", true, 2147483647},    {"2147483648", false, 0},
                          {"-2147483648", true, INT32_MIN}, {"-2147483649", false, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        RwFrame *frame = RwFrameCreate();
        RpUserDataArraySetString(
            RpUserDataListAddArray(RpUserDataFrameGetList(frame), "bone name", rpSTRINGUSERDATA, 1), 0, "123");
        RpUserDataArray *array =
            RpUserDataListAddArray(RpUserDataFrameGetList(frame), kUserPropertiesArrayName, rpSTRINGUSERDATA, 2);
        RpUserDataArraySetString(array, 0, c.text);
        RpUserDataArraySetString(array, 1, "555");
        int32_t id = 0;
        EXPECT_EQ(GetFrameUserId(frame, &id), c.found);
        EXPECT_EQ(id, c.id);
        RwFrameDestroy(frame);
    }
    // Properties that hold numbers instead of text give no id.
    RwFrame *frame = RwFrameCreate();
    RpUserDataListAddArray(RpUserDataFrameGetList(frame), kUserPropertiesArrayName, rpINTUSERDATA, 1);
    int32_t id = 0;
    EXPECT_FALSE(GetFrameUserId(frame, &id));
    RwFrameDestroy(frame);
}

TEST_F(ModelFramesTest, CollisionTestSwitches)
{
    RpClump *prop = ReadSampleClump("RESOURCE/G_EVENT/DFF/PROP01.DFF");
    ASSERT_NE(prop, nullptr);
    auto flagged = [prop] {
        int count = 0;
        RpClumpForAllAtomics(
            prop,
            [](RpAtomic *atomic, void *data) -> RpAtomic * {
                *static_cast<int *>(data) += (RpAtomicGetFlags(atomic) & rpATOMICCOLLISIONTEST) != 0;
                return atomic;
            },
            &count);
        return count;
    };
    SetClumpCollisionTest(prop, true);
    EXPECT_EQ(flagged(), RpClumpGetNumAtomics(prop));
    SetClumpCollisionTest(prop, false);
    EXPECT_EQ(flagged(), 0);
    // No material of the prop is see-through: refreshing clears every flag;
    // one whose material turns alpha 0 is flagged.
    SetClumpCollisionTest(prop, true);
    EXPECT_EQ(RefreshClumpCollisionTest(prop), 0);
    EXPECT_EQ(flagged(), 0);
    RpAtomic *first = modeltest::FirstAtomic(prop);
    ASSERT_NE(first, nullptr);
    first->geometry->matList.materials[0]->color.alpha = 0;
    EXPECT_EQ(RefreshClumpCollisionTest(prop), 1);
    EXPECT_NE(RpAtomicGetFlags(first) & rpATOMICCOLLISIONTEST, 0);
    EXPECT_EQ(flagged(), 1);
    RpClumpDestroy(prop);
}

class ModelTemplateTest : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        ASSERT_GE(animations.LoadAMF(stagetest::SampleHeroAnimationPath().c_str()), 0);
        ASSERT_GE(animations.LoadAMF(stagetest::SamplePath("RESOURCE/MONSTER/1000/1000.ANM").c_str()), 0);
        ASSERT_TRUE(hero.Adopt(0, ReadSampleHero(), &animations, "HERO01.ANM"));
        ASSERT_TRUE(monster.Adopt(1000, ReadSampleClump("RESOURCE/MONSTER/1000/1000.DFF"), &animations,
                                  "1000.ANM"));
    }
    void TearDown() override
    {
        hero.Release();
        monster.Release();
        animations.ReleaseAll();
        StageEngineTest::TearDown();
    }
    static void Place(CSModelInstance *instance, RwV3d position, RwReal yawDegrees)
    {
        RwFrame *root = RpClumpGetFrame(instance->clump);
        const RwV3d yAxis = {0, 1, 0};
        RwFrameRotate(root, &yAxis, yawDegrees, rwCOMBINEREPLACE);
        RwFrameTranslate(root, &position, rwCOMBINEPOSTCONCAT);
    }

    CSClumpAnimManager animations;
    CSModelTemplate hero;
    CSModelTemplate monster;
};

TEST_F(ModelTemplateTest, InstancesAreTakenUpToTheLimitAndGivenBack)
{
    auto *owner = reinterpret_cast<AiObject *>(0x1000);
    CSModelInstance *first = hero.TakeInstance(owner);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->owner, owner);
    EXPECT_TRUE(first->inUse);
    EXPECT_EQ(first->modelTemplate, &hero);
    EXPECT_NE(first->clump, hero.GetSourceClump());
    EXPECT_TRUE(animations.HoldsClump(first->clump));
    EXPECT_EQ(animations.GetMotionIndex(first->clump), 0);
    for (int i = 1; i < kMaxModelInstances; ++i) {
        ASSERT_NE(hero.TakeInstance(owner), nullptr) << i;
    }
    EXPECT_EQ(hero.GetInstanceCount(), kMaxModelInstances);
    EXPECT_EQ(hero.GetInstance(0), first);
    EXPECT_NE(hero.GetInstance(kMaxModelInstances - 1), nullptr);
    EXPECT_EQ(hero.GetInstance(kMaxModelInstances), nullptr);
    EXPECT_EQ(hero.GetInstance(-1), nullptr);
    EXPECT_EQ(hero.TakeInstance(owner), nullptr);
    EXPECT_EQ(hero.AddInstance(), nullptr);
    CSModelTemplate::GiveBack(hero.GetInstance(7));
    EXPECT_EQ(hero.GetInstance(7)->owner, nullptr);
    EXPECT_EQ(hero.TakeInstance(owner), hero.GetInstance(7));
    EXPECT_EQ(hero.TakeInstance(owner), nullptr);
    // The template's motions are its set's: the hero's by its states (40, its first attack).
    ASSERT_NE(hero.GetMotionRange(40), nullptr);
    EXPECT_EQ(hero.GetMotionRange(40)->startFrame, 60);
    EXPECT_EQ(hero.GetMotionRange(40)->endFrame, 90);
    EXPECT_EQ(hero.GetMotionRange(53), nullptr);
}

// With a game system the clones are its own (under the render lock, kept
// in the developer menu's list when there is one).
TEST_F(ModelTemplateTest, ClonesGoThroughTheGameSystem)
{
    CSGameSystem system;
    g_pGameSystem = &system;
    CSModelTemplate through;
    ASSERT_TRUE(through.Adopt(0, ReadSampleHero(), &animations, "HERO01.ANM"));
    ASSERT_GE(animations.LoadAMF(stagetest::SampleHeroAnimationPath().c_str()), 0);
    CSModelInstance *instance = through.TakeInstance(nullptr);
    ASSERT_NE(instance, nullptr);
    EXPECT_TRUE(animations.HoldsClump(instance->clump));
    through.Release();
    g_pGameSystem = nullptr;
}

TEST_F(ModelTemplateTest, TheStageHandsOutInstancesByAiType)
{
    CSStageManager stage;
    auto own = std::make_unique<CSModelTemplate>();
    ASSERT_TRUE(own->Adopt(1000, ReadSampleClump("RESOURCE/MONSTER/1000/1000.DFF"), &animations,
                           "1000.ANM"));
    ASSERT_GE(animations.LoadAMF(stagetest::SamplePath("RESOURCE/MONSTER/1000/1000.ANM").c_str()), 0);
    stage.modelTemplates.push_back(std::move(own));
    EXPECT_EQ(stage.GetModelTemplateCount(), 1);
    EXPECT_EQ(stage.FindModelTemplate(1001), nullptr);
    EXPECT_EQ(stage.TakeModelInstance(1001, nullptr), nullptr);
    CSModelInstance *instance = stage.TakeModelInstance(1000, nullptr);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->modelTemplate->GetAiType(), 1000);
    stage.modelTemplates.clear();  // templates go before the animation manager

    // The stage info sets the thinning bands and the far plane.
    StageInfo info;
    info.aiClippingRange[0] = 4.0f;
    info.aiClippingRange[3] = 16.0f;
    info.farPlane1P = 60.0f;
    info.farPlane2P = 50.0f;
    stage.SetStageInfo(info);
    EXPECT_EQ(stage.thinRadius[0], 4.0f);
    EXPECT_EQ(stage.farDistance, 16.0f);
    EXPECT_EQ(stage.farPlane, 60.0f);
    stage.heroCount = 2;
    EXPECT_EQ(stage.StageFarPlane(), 50.0f);
}

TEST_F(ModelTemplateTest, TaggedPartsPickOtherModels)
{
    CSModelInstance *attacker = hero.TakeInstance(nullptr);
    CSModelInstance *target = monster.TakeInstance(nullptr);
    ASSERT_NE(attacker, nullptr);
    ASSERT_NE(target, nullptr);
    ASSERT_NE(attacker->GetTaggedFrame(100130), nullptr);
    EXPECT_EQ(attacker->GetTaggedFrame(100090), attacker->GetTaggedFrame(100090));
    EXPECT_EQ(attacker->GetTaggedFrame(123), nullptr);

    // The hero faces +z with its blade forward; the monster stands 35
    // ahead, facing it (its bounding sphere reaches to about 18; the
    // figures are about 20 tall).
    Place(attacker, {0, 0, 0}, 0.0f);
    Place(target, {7.5f, 0, 35.0f}, 180.0f);
    RwV3d hit = {0, 0, 0};
    EXPECT_TRUE(CSModelInstance::PickTaggedPart(attacker, target, 100130, 20.0f, &hit));
    EXPECT_GT(hit.z, 0.0f);
    EXPECT_GT(hit.z, 15.0f);
    EXPECT_LT(hit.z, 21.0f);
    // The same two figures elsewhere, higher up: the same hit, moved with them.
    const RwV3d shift = {3.0f, 5.0f, -2.0f};
    Place(attacker, shift, 0.0f);
    Place(target, {7.5f + shift.x, shift.y, 35.0f + shift.z}, 180.0f);
    RwV3d moved = {0, 0, 0};
    EXPECT_TRUE(CSModelInstance::PickTaggedPart(attacker, target, 100130, 20.0f, &moved));
    EXPECT_NEAR(moved.x, hit.x + shift.x, 1e-3f);
    EXPECT_NEAR(moved.y, hit.y + shift.y, 1e-3f);
    EXPECT_NEAR(moved.z, hit.z + shift.z, 1e-3f);
    Place(attacker, {0, 0, 0}, 0.0f);
    Place(target, {7.5f, 0, 35.0f}, 180.0f);
    EXPECT_FALSE(CSModelInstance::PickTaggedPart(attacker, target, 100130, 10.0f, &hit));  // too short
    EXPECT_FALSE(CSModelInstance::PickTaggedPart(attacker, nullptr, 100130, 20.0f, &hit));
    EXPECT_FALSE(CSModelInstance::PickTaggedPart(attacker, target, 100999, 20.0f, &hit));  // no such part
    // Behind the hero the blade finds nothing.
    Place(target, {7.5f, 0, -30.0f}, 0.0f);
    EXPECT_FALSE(CSModelInstance::PickTaggedPart(attacker, target, 100130, 20.0f, &hit));
}

TEST_F(ModelTemplateTest, TriangleModeOnlyCountsTheModelsSurface)
{
    // As type 1021 the monster is picked by its triangles: a line through
    // its bounding sphere but beside its body misses.
    CSModelTemplate big;
    ASSERT_TRUE(big.Adopt(1021, ReadSampleClump("RESOURCE/MONSTER/1000/1000.DFF"), &animations, "1000.ANM"));
    ASSERT_GE(animations.LoadAMF(stagetest::SamplePath("RESOURCE/MONSTER/1000/1000.ANM").c_str()), 0);
    CSModelInstance *attacker = hero.TakeInstance(nullptr);
    CSModelInstance *byTriangles = big.TakeInstance(nullptr);
    CSModelInstance *bySphere = monster.TakeInstance(nullptr);
    ASSERT_NE(byTriangles, nullptr);
    ASSERT_NE(bySphere, nullptr);
    Place(attacker, {0, 0, 0}, 0.0f);
    RwV3d hit;
    // The blade runs at the height of the other's knees, 5.5 beside its
    // middle: through its bounding sphere, between its legs and its arms.
    const RwV3d blade = RwFrameGetLTM(attacker->GetTaggedFrame(100130))->pos;
    const RwV3d besideMiddle = {blade.x - 5.5f, blade.y - 5.0f, 12.0f};
    Place(byTriangles, besideMiddle, 0.0f);
    Place(bySphere, besideMiddle, 0.0f);
    EXPECT_TRUE(CSModelInstance::PickTaggedPart(attacker, bySphere, 100130, 30.0f, &hit));
    EXPECT_FALSE(CSModelInstance::PickTaggedPart(attacker, byTriangles, 100130, 30.0f, &hit));
    // Straight at a leg the triangles are met.
    const RwV3d ahead = {blade.x - 1.6f, blade.y - 5.0f, 12.0f};
    Place(byTriangles, ahead, 0.0f);
    EXPECT_TRUE(CSModelInstance::PickTaggedPart(attacker, byTriangles, 100130, 30.0f, &hit));
    big.Release();
}

// Templates read from their files under the data root.
class ModelTemplateFilesTest : public ModelTemplateTest {
protected:
    void SetUp() override
    {
        ModelTemplateTest::SetUp();
        SetDataRootPath(stagetest::SamplePath("").c_str());
        previous = SetFatalErrorHandler([](const char *name) { FatalNames().push_back(name); });
        FatalNames().clear();
    }
    void TearDown() override
    {
        SetFatalErrorHandler(previous);
        SetDataRootPath("");
        ModelTemplateTest::TearDown();
    }
    static std::vector<std::string> &FatalNames()
    {
        static std::vector<std::string> names;
        return names;
    }
    FatalErrorHandler previous = nullptr;
};

TEST_F(ModelTemplateFilesTest, LoadsModelAnimationMotionsAndParameters)
{
    const AiTypeInfo *row = FindAiType(1000);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(ModelFilePath(row->modelFolder, row->modelId, "DFF"), "\\RESOURCE\\MONSTER\\1000\\1000.DFF");
    CSModelTemplate loaded;
    ASSERT_TRUE(loaded.Load(1000, row->modelFolder, row->modelId, &animations, 3));
    EXPECT_EQ(loaded.GetAiType(), 1000);
    EXPECT_EQ(loaded.GetModelId(), "1000");
    EXPECT_EQ(loaded.GetInstanceCount(), 3);
    EXPECT_EQ(loaded.params.maxHP, mkdata::SampleMonsterParams(1000).maxHP);
    EXPECT_EQ(loaded.params.weaponIds, (std::vector<int32_t>{100130, 100140}));
    ASSERT_NE(loaded.GetMotionRange(1), nullptr);
    EXPECT_EQ(loaded.GetMotionRange(1)->endFrame, mkdata::SampleMonsterMotions(1000).Find(1)->endFrame);
    EXPECT_TRUE(animations.HoldsClump(loaded.GetInstance(2)->clump));
    EXPECT_TRUE(FatalNames().empty());

    // A placement's own model wins over its type's.
    AiPlacement placed;
    placed.aiType = 1000;
    ModelName model;
    ASSERT_TRUE(ModelOfPlacement(placed, &model));
    EXPECT_EQ(model.id, "1000");
    placed.hasModel = true;
    placed.modelFolder = ModelFolder::kMainChar;
    std::strcpy(placed.modelId, "HERO02");
    ASSERT_TRUE(ModelOfPlacement(placed, &model));
    EXPECT_EQ(model.folder, ModelFolder::kMainChar);
    EXPECT_EQ(model.id, "HERO02");
    placed.hasModel = false;
    placed.aiType = 4242;
    EXPECT_FALSE(ModelOfPlacement(placed, &model));
    loaded.Release();
}

// A figure whose state machine file is gone raises the fatal report with
// its name, and the template keeps nothing of what it had read.
TEST_F(ModelTemplateFilesTest, AMissingStateMachineRaisesTheFatalReportAndKeepsNothing)
{
    const std::string root = rwtest::ScratchPath("template_without_fsf");
    std::filesystem::create_directories(root + "/RESOURCE/MONSTER");
    std::filesystem::copy(stagetest::SamplePath("RESOURCE/MONSTER/1000"), root + "/RESOURCE/MONSTER/1000",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(root + "/RESOURCE/MONSTER/1000/1000.FSF");
    SetDataRootPath(root.c_str());
    gametest::CaptureDiagnostics();
    CSModelTemplate loaded;
    EXPECT_FALSE(loaded.Load(1000, ModelFolder::kMonster, "1000", &animations, 2));
    gametest::TakeDiagnostics();
    EXPECT_EQ(FatalNames(), std::vector<std::string>{"\\RESOURCE\\MONSTER\\1000\\1000.FSF"});
    EXPECT_EQ(loaded.GetSourceClump(), nullptr);
    EXPECT_EQ(loaded.GetInstanceCount(), 0);
    EXPECT_EQ(loaded.GetAiType(), -1);
}

TEST_F(ModelTemplateFilesTest, AMissingModelRaisesTheFatalReport)
{
    gametest::CaptureDiagnostics();
    CSModelTemplate missing;
    EXPECT_FALSE(missing.Load(1001, ModelFolder::kMonster, "1201000", &animations, 1));
    gametest::TakeDiagnostics();
    ASSERT_EQ(FatalNames().size(), 1u);
    EXPECT_EQ(FatalNames()[0], "\\RESOURCE\\MONSTER\\1201000\\1201000.DFF");
    EXPECT_EQ(missing.GetInstanceCount(), 0);
    EXPECT_EQ(missing.TakeInstance(nullptr), nullptr);
}

}  // namespace

}  // namespace model_template_test
