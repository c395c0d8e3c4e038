// The skin pipeline on screen: skinned atomics drawn through the skin node
// land exactly where plain geometry holding the pose computed by hand
// lands, also when two atomics on different frames share one hierarchy in
// one frame; with and without hardware transform and lighting (shared
// dynamic buffers or one buffer of the meshes' own).
#include <cmath>
#include <vector>

#include "rpd3d8pipe.h"
#include "rwsdk/plugin/skin2/skin_screen.h"
#include "rwsdk/tool/anim/anim_test_support.h"

namespace nodeD3D8SkinAtomicAllInOne_test {

namespace {

constexpr RwUInt32 kWidth = 96;
constexpr RwUInt32 kHeight = 72;
const RwRGBA kBackground = {0, 0, 0, 255};
const RwRGBA kRed = {220, 40, 40, 255};
const RwRGBA kBlue = {40, 60, 230, 255};

RwMatrix Translation(RwV3d t)
{
    RwMatrix m;
    RwMatrixSetIdentity(&m);
    RwMatrixTranslate(&m, &t, rwCOMBINEREPLACE);
    return m;
}

// A strip of quads up the y axis from y0 to y1, `halfWidth` either side:
// bone 0 below the joint at y = 1, bone 1 above, blended over [0.75, 1.25].
struct Strip {
    std::vector<RwV3d> verts;
    std::vector<RwMatrixWeights> weights;
    std::vector<RwUInt32> indices;
    std::vector<RwUInt16> triangles;
};

Strip MakeStrip(RwReal y0, RwReal y1, RwInt32 rows, RwReal halfWidth)
{
    Strip s;
    for (RwInt32 r = 0; r <= rows; ++r) {
        const RwReal y = y0 + (y1 - y0) * static_cast<RwReal>(r) / static_cast<RwReal>(rows);
        const RwReal upper = std::fmin(1.0f, std::fmax(0.0f, (y - 0.75f) / 0.5f));
        for (RwReal x : {-halfWidth, halfWidth}) {
            s.verts.push_back({x, y, 0.0f});
            s.weights.push_back({1.0f - upper, upper, 0.0f, 0.0f});
            s.indices.push_back(0x0100);
        }
        if (r > 0) {
            const auto a = static_cast<RwUInt16>(2 * r - 2);
            s.triangles.insert(s.triangles.end(), {a, static_cast<RwUInt16>(a + 1), static_cast<RwUInt16>(a + 2),
                                                   static_cast<RwUInt16>(a + 1), static_cast<RwUInt16>(a + 3),
                                                   static_cast<RwUInt16>(a + 2)});
        }
    }
    return s;
}

class SkinNodeDrawTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        d3d8::Profile profile = d3d8::DefaultProfile();
        profile.hardwareTransformAndLight = GetParam();
        ASSERT_TRUE(screen.Start(profile, kWidth, kHeight));
        screen.Place({-0.5f, 1.0f, -6.0f}, 0.5f);
        material = RpMaterialCreate();
        // Bone 1 sits one unit up bone 0 and turns about z by 90 degrees
        // over one second.
        animation = animtest::MakeAnimation(2, 1.0f,
                                            {{0, 0.0f, 0, {0, 0, 0}},
                                             {1, 0.0f, 0, {0, 1, 0}},
                                             {0, 1.0f, 0, {0, 0, 0}},
                                             {1, 1.0f, 90, {0, 1, 0}}});
        const RwUInt32 nodeFlags[2] = {0, rpHANIMPOPPARENTMATRIX};
        const RwInt32 ids[2] = {1, 2};
        hierarchy = RpHAnimHierarchyCreate(2, nodeFlags, ids, 0, sizeof(RpHAnimInterpFrame));
        ASSERT_NE(hierarchy, nullptr);
        ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(hierarchy->currentAnim, animation));
        inverseBind[0] = Translation({0, 0, 0});
        inverseBind[1] = Translation({0, -1, 0});
    }
    void TearDown() override
    {
        for (RpAtomic *atomic : atomics) {
            RwFrame *frame = RpAtomicGetFrame(atomic);
            RpAtomicSetFrame(atomic, nullptr);
            RpAtomicDestroy(atomic);
            RwFrameDestroy(frame);
        }
        for (RpGeometry *geometry : geometries) {
            RpGeometryDestroy(geometry);
        }
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        RpHAnimHierarchyDestroy(hierarchy);
        RtAnimAnimationDestroy(animation);
        EXPECT_TRUE(screen.Stop());
    }

    // A prelit geometry of the strip with `verts` in place of its own.
    RpGeometry *MakeGeometry(const Strip &strip, const std::vector<RwV3d> &verts, RwRGBA colour)
    {
        const auto numVerts = static_cast<RwInt32>(verts.size());
        const auto numTris = static_cast<RwInt32>(strip.triangles.size() / 3);
        RpGeometry *g = RpGeometryCreate(numVerts, numTris, rpGEOMETRYPOSITIONS | rpGEOMETRYPRELIT);
        for (RwInt32 v = 0; v < numVerts; ++v) {
            g->morphTarget[0].verts[v] = verts[static_cast<size_t>(v)];
            g->preLitLum[v] = colour;
        }
        for (RwInt32 t = 0; t < numTris; ++t) {
            for (int k = 0; k < 3; ++k) {
                g->triangles[t].vertIndex[k] = strip.triangles[static_cast<size_t>(3 * t + k)];
            }
            RpGeometryTriangleSetMaterial(g, &g->triangles[t], material);
        }
        EXPECT_NE(RpGeometryUnlock(g), nullptr);
        geometries.push_back(g);
        return g;
    }
    RpAtomic *MakeAtomic(RpGeometry *geometry, const RwMatrix &placement)
    {
        RpAtomic *atomic = RpAtomicCreate();
        RwFrame *frame = RwFrameCreate();
        RwFrameTransform(frame, &placement, rwCOMBINEREPLACE);
        RpAtomicSetFrame(atomic, frame);
        RpAtomicSetGeometry(atomic, geometry, 0);
        atomics.push_back(atomic);
        return atomic;
    }
    RpAtomic *MakeSkinned(const Strip &strip, RwRGBA colour, const RwMatrix &placement, bool withHierarchy = true)
    {
        RpGeometry *g = MakeGeometry(strip, strip.verts, colour);
        RpSkin *skin = RpSkinCreate(g->numVertices, 2, strip.weights.data(), strip.indices.data(), inverseBind);
        EXPECT_NE(skin, nullptr);
        RpSkinGeometrySetSkin(g, skin);
        RpAtomic *atomic = MakeAtomic(g, placement);
        RpSkinAtomicSetType(atomic, rpSKINTYPEGENERIC);
        if (withHierarchy) {
            RpSkinAtomicSetHierarchy(atomic, hierarchy);
        }
        return atomic;
    }
    // Plain geometry at the pose worked out by hand: each vertex through
    // inverse bind and bone matrix, weighted (world space).
    RpAtomic *MakeReference(const Strip &strip, RwRGBA colour)
    {
        std::vector<RwV3d> posed;
        for (size_t v = 0; v < strip.verts.size(); ++v) {
            const RwReal w[2] = {strip.weights[v].w0, strip.weights[v].w1};
            RwV3d sum = {0, 0, 0};
            for (int b = 0; b < 2; ++b) {
                RwMatrix m;
                RwMatrixMultiply(&m, &inverseBind[b], &hierarchy->pMatrixArray[b]);
                RwV3d p;
                RwV3dTransformPoints(&p, &strip.verts[v], 1, &m);
                RwV3dIncrementScaled(&sum, &p, w[b]);
            }
            posed.push_back(sum);
        }
        return MakeAtomic(MakeGeometry(strip, posed, colour), Translation({0, 0, 0}));
    }
    void Pose(RwReal t)
    {
        RtAnimInterpolatorSetCurrentTime(hierarchy->currentAnim, t);
        RpHAnimHierarchyUpdateMatrices(hierarchy);
    }
    win::Frame Draw(const std::vector<RpAtomic *> &drawn)
    {
        return screen.Capture(kBackground, [&] {
            for (RpAtomic *atomic : drawn) {
                EXPECT_NE(RpAtomicRender(atomic), nullptr);
            }
        });
    }
    static size_t CountColour(const win::Frame &frame, RwRGBA c)
    {
        const RwUInt32 want = (RwUInt32(c.red) << 16) | (RwUInt32(c.green) << 8) | c.blue;
        size_t n = 0;
        for (RwUInt32 p : frame.pixels) {
            n += (p & 0xFFFFFFu) == want ? 1 : 0;
        }
        return n;
    }
    // Edge pixels may go either way where the two vertex sets round apart.
    static void ExpectSameImage(const win::Frame &actual, const win::Frame &expected, const char *name)
    {
        const std::string diff = std::string(RW_TEST_BINARY_DIR) + "/test-output/skin2/" + name +
                                 (GetParam() ? "_hwtnl" : "_sw") + "_diff.png";
        EXPECT_LE(skinscreen::CountDifferences(actual, expected, 0, diff), 6u) << "difference image: " << diff;
    }

    skinscreen::Screen screen;
    RpMaterial *material = nullptr;
    RtAnimAnimation *animation = nullptr;
    RpHAnimHierarchy *hierarchy = nullptr;
    RwMatrix inverseBind[2];
    std::vector<RpGeometry *> geometries;
    std::vector<RpAtomic *> atomics;
};

TEST_P(SkinNodeDrawTest, SkinnedAtomicsAreSwitchedToTheSkinNode)
{
    RwPipeline *pipeline = RpSkinGetAtomicPipeline();
    ASSERT_NE(pipeline, nullptr);
    EXPECT_EQ(pipeline->pluginId, rpSKINPLUGINID);
    EXPECT_NE(RwPipelineFindNodeByName(pipeline, "nodeD3D8SkinAtomicAllInOne.csl", nullptr, nullptr), nullptr);
    RpAtomic *atomic = MakeSkinned(MakeStrip(0, 2, 4, 0.25f), kRed, Translation({0, 0, 0}));
    EXPECT_EQ(atomic->pipeline, pipeline);
}

TEST_P(SkinNodeDrawTest, PosedAtomicMatchesThePoseComputedByHand)
{
    const Strip arm = MakeStrip(0, 2, 8, 0.25f);
    RpAtomic *skinned = MakeSkinned(arm, kRed, Translation({0, 0, 0}));
    for (RwReal t : {0.0f, 0.5f, 1.0f}) {
        Pose(t);
        const win::Frame actual = Draw({skinned});
        RpAtomic *reference = MakeReference(arm, kRed);
        const win::Frame expected = Draw({reference});
        EXPECT_GT(CountColour(expected, kRed), 150u) << "at " << t;
        ExpectSameImage(actual, expected, "posed");
    }
}

// The bone matrices of a skinned atomic hold its own placement: a second
// atomic on the same hierarchy in the same frame, placed elsewhere, must
// not reuse the first one's. Both land where the hierarchy puts them.
TEST_P(SkinNodeDrawTest, TwoAtomicsOnOneHierarchyAndDifferentFramesDrawCorrectly)
{
    const Strip arm = MakeStrip(0, 2, 8, 0.25f);
    const Strip hand = MakeStrip(2.1f, 2.6f, 2, 0.2f);
    RwMatrix elsewhere = Translation({1.5f, -0.5f, 0.5f});
    const RwV3d zAxis = {0, 0, 1};
    RwMatrixRotate(&elsewhere, &zAxis, 30.0f, rwCOMBINEPRECONCAT);
    RpAtomic *body = MakeSkinned(arm, kRed, Translation({0, 0, 0}));
    RpAtomic *tip = MakeSkinned(hand, kBlue, elsewhere);
    Pose(0.5f);
    const RwUInt32 builds = RpSkinGetBoneMatrixBuildCount();
    const win::Frame actual = Draw({body, tip});
    EXPECT_EQ(RpSkinGetBoneMatrixBuildCount(), builds + 2);
    const win::Frame expected = Draw({MakeReference(arm, kRed), MakeReference(hand, kBlue)});
    EXPECT_GT(CountColour(expected, kRed), 150u);
    EXPECT_GT(CountColour(expected, kBlue), 20u);
    ExpectSameImage(actual, expected, "two_atomics");
    // Drawn again in the next frame, in the other order, the same picture.
    const win::Frame again = Draw({tip, body});
    ExpectSameImage(again, expected, "two_atomics_again");
}

TEST_P(SkinNodeDrawTest, AtomicWithoutHierarchyShowsTheBindPose)
{
    const Strip arm = MakeStrip(0, 2, 4, 0.25f);
    RpAtomic *skinned = MakeSkinned(arm, kBlue, Translation({-1, 0, 0}), false);
    const win::Frame actual = Draw({skinned});
    const win::Frame expected = Draw({MakeAtomic(MakeGeometry(arm, arm.verts, kBlue), Translation({-1, 0, 0}))});
    EXPECT_GT(CountColour(expected, kBlue), 100u);
    ExpectSameImage(actual, expected, "bind_pose");
}

// Without hardware transform and lighting the meshes keep one buffer of
// their own; with it they take the shared dynamic buffers every frame.
TEST_P(SkinNodeDrawTest, BufferChoiceFollowsTheDevice)
{
    const Strip arm = MakeStrip(0, 2, 4, 0.25f);
    RpAtomic *skinned = MakeSkinned(arm, kRed, Translation({0, 0, 0}));
    Pose(0.25f);
    Draw({skinned});
    RwResEntry *entry = skinned->geometry->repEntry;
    ASSERT_NE(entry, nullptr);
    RpD3D8MeshInstance *mesh = RpD3D8InstanceDataGetMeshes(RpD3D8ResEntryGetInstanceData(entry));
    EXPECT_EQ(mesh->managed, GetParam() ? 0 : 1);
    EXPECT_EQ(mesh->stride, 16u);
    EXPECT_EQ(mesh->vertexShader, static_cast<RwUInt32>(D3DFVF_XYZ | D3DFVF_DIFFUSE));
    Draw({skinned});
    EXPECT_EQ(skinned->geometry->repEntry, entry);  // instanced once
}

INSTANTIATE_TEST_SUITE_P(Devices, SkinNodeDrawTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "HardwareTnL" : "Processor";
                         });

}  // namespace

}  // namespace nodeD3D8SkinAtomicAllInOne_test
