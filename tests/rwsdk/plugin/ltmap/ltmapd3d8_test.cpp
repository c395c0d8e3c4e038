// Lightmaps on screen: a quad atomic with a base texture and a lightmap on
// its second coordinates, drawn through the lightmap pipeline in every
// render style, prelit (the lit renderer) and unlit, with eight blend
// stages (one multi-texture pass) and with one (the multiplying second
// pass); the placeholder checkerboard of a missing lightmap; and the
// lightmap filtering the render style chooses.
#include "rwsdk/plugin/matfx/surface_screen.h"

namespace ltmapd3d8_test {

namespace {

using namespace surfacescreen;

constexpr RwUInt32 kBase = 0xC08040u;
constexpr RwUInt32 kLight = 0x8040FFu;
const RwRGBA kBlack = {0, 0, 0, 255};

class LightMapScreenTest : public ::testing::TestWithParam<DWORD> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(ProfileWithStages(GetParam())));
        RpLightMapResetLitDecision();
    }
    void TearDown() override
    {
        RpLightMapSetRenderStyle(rpLTMAPSTYLERENDERBASE | rpLTMAPSTYLERENDERLIGHTMAP, nullptr);
        DestroyAtomic(atomic);
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        EXPECT_TRUE(screen.Stop());
    }
    // A two-coordinate-set quad with `base` and lightmap `lightMap` (both
    // references pass to the scene) on the lightmap pipeline.
    void MakeScene(RwTexture *base, RwTexture *lightMap, const QuadShape &shapeIn)
    {
        QuadShape shape = shapeIn;
        shape.uvSets = 2;
        material = RpMaterialCreate();
        RpMaterialSetTexture(material, base);
        RwTextureDestroy(base);
        atomic = MakeAtomic(MakeQuad(material, shape));
        ASSERT_NE(atomic, nullptr);
        RpLightMapAtomicGetData(atomic)->lightMap = lightMap;
        ASSERT_NE(RpLightMapGetAtomicPipeline(), nullptr);
        atomic->pipeline = RpLightMapGetAtomicPipeline();
    }
    RwUInt32 DrawCentre(RwUInt32 style)
    {
        RpLightMapSetRenderStyle(style, nullptr);
        return Centre(screen.Capture(kBlack, [&] { EXPECT_NE(RpAtomicRender(atomic), nullptr); }));
    }
    bool OneStage() const { return GetParam() < 2; }

    Screen screen;
    RpMaterial *material = nullptr;
    RpAtomic *atomic = nullptr;
};

constexpr RwUInt32 kBoth = rpLTMAPSTYLERENDERBASE | rpLTMAPSTYLERENDERLIGHTMAP;

TEST_P(LightMapScreenTest, UnlitQuadInEachRenderStyle)
{
    QuadShape shape;
    shape.prelit = false;
    MakeScene(SolidTexture(kBase), SolidTexture(kLight), shape);
    EXPECT_TRUE(ColourNear(DrawCentre(rpLTMAPSTYLERENDERBASE), kBase));
    EXPECT_TRUE(ColourNear(DrawCentre(rpLTMAPSTYLERENDERLIGHTMAP), kLight));
    // One pass through the second stage or the frame multiplied by a second
    // pass: the same product.
    EXPECT_TRUE(ColourNear(DrawCentre(kBoth), Mul(kBase, kLight)));
}

TEST_P(LightMapScreenTest, PrelitQuadInEachRenderStyle)
{
    constexpr RwUInt32 kPrelit = 0x204060u;
    QuadShape shape;
    shape.prelitColour = {0x20, 0x40, 0x60, 255};
    MakeScene(SolidTexture(kBase), SolidTexture(kLight), shape);
    EXPECT_TRUE(ColourNear(DrawCentre(rpLTMAPSTYLERENDERBASE), Mul(kBase, kPrelit)));
    EXPECT_TRUE(ColourNear(DrawCentre(rpLTMAPSTYLERENDERLIGHTMAP), Add(kLight, kPrelit)));
    // One pass gives base x (lightmap + lighting); where the device cannot
    // validate that, the lit base is multiplied by the lightmap.
    const RwUInt32 expected = OneStage() ? Mul(Mul(kBase, kPrelit), kLight) : Mul(kBase, Add(kLight, kPrelit));
    EXPECT_TRUE(ColourNear(DrawCentre(kBoth), expected));
}

TEST_P(LightMapScreenTest, MissingLightMapShowsThePlaceholderCheckerboard)
{
    QuadShape shape;
    shape.prelit = false;
    RwTexDictionary *dictionary = RwTexDictionaryCreate();
    RwTexDictionarySetCurrent(dictionary);
    // Sixteen texels across the 32-pixel quad: two pixels each.
    RwTexture *placeholder = RpLightMapTextureFind("nowhere_lm", 16);
    ASSERT_NE(placeholder, nullptr);
    RwTextureSetFilterMode(placeholder, rwFILTERNEAREST);
    MakeScene(SolidTexture(0xFFFFFFu), placeholder, shape);
    RpLightMapSetRenderStyle(rpLTMAPSTYLERENDERLIGHTMAP, nullptr);
    const win::Frame shot = screen.Capture(kBlack, [&] { EXPECT_NE(RpAtomicRender(atomic), nullptr); });
    int white = 0, black = 0;
    for (RwUInt32 y = 17; y < 31; ++y) {
        for (RwUInt32 x = 17; x < 47; ++x) {
            const RwUInt32 c = Rgb(shot.At(x, y));
            white += c == 0xFFFFFFu;
            black += c == 0u;
            // Neighbours two pixels apart (one texel) always differ.
            if (x >= 19) {
                EXPECT_NE(c, Rgb(shot.At(x - 2, y))) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(white + black, 14 * 30);
    EXPECT_NEAR(white, black, 30);
    ExpectMatchesReference(shot, "tests/rwsdk/plugin/ltmap/reference", "placeholder.png");
    RwTexDictionarySetCurrent(nullptr);
    RwTexDictionaryDestroy(dictionary);
}

INSTANTIATE_TEST_SUITE_P(Stages, LightMapScreenTest, ::testing::Values(DWORD{8}, DWORD{1}),
                         [](const ::testing::TestParamInfo<DWORD> &info) {
                             return std::string(info.param < 2 ? "OneStageMultiPass" : "EightStages");
                         });

}  // namespace

}  // namespace ltmapd3d8_test
