// Material effects on screen: a prelit quad drawn through the effects
// pipeline shows the colours the combiner rules give (environment map at
// several coefficients, each dual blend pair, UV transforms), the same
// colours with eight blend stages (one multi-texture pass) and with one
// (the blended multi-pass fallbacks); the bump map is checked against a
// reviewed image, and the bumped texture it draws against its sources.
#include <cmath>
#include <vector>

#include "rwsdk/plugin/matfx/surface_screen.h"

namespace matfxrender_test {

namespace {

using namespace surfacescreen;

constexpr RwUInt32 kBase = 0x604020u;
constexpr RwUInt32 kEnv = 0x4080C0u;
const RwRGBA kBlack = {0, 0, 0, 255};

class MatFXScreenTest : public ::testing::TestWithParam<DWORD> {
protected:
    void SetUp() override { ASSERT_TRUE(screen.Start(ProfileWithStages(GetParam()))); }
    void TearDown() override
    {
        DestroyAtomic(atomic);
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        EXPECT_TRUE(screen.Stop());
    }
    // The material (with `base` as its texture, the reference passing to
    // it) on a fresh effects atomic.
    void MakeScene(RwTexture *base, const QuadShape &shape = {})
    {
        material = RpMaterialCreate();
        if (base != nullptr) {
            RpMaterialSetTexture(material, base);
            RwTextureDestroy(base);
        }
        atomic = MakeAtomic(MakeQuad(material, shape));
        ASSERT_NE(atomic, nullptr);
        ASSERT_NE(RpMatFXAtomicEnableEffects(atomic), nullptr);
    }
    win::Frame Draw()
    {
        return screen.Capture(kBlack, [&] { EXPECT_NE(RpAtomicRender(atomic), nullptr); });
    }
    bool MultiPass() const { return GetParam() < 2; }

    Screen screen;
    RpMaterial *material = nullptr;
    RpAtomic *atomic = nullptr;
};

TEST_P(MatFXScreenTest, EnvironmentMapAddsItsTextureScaledByTheCoefficient)
{
    MakeScene(SolidTexture(kBase));
    RwTexture *env = SolidTexture(kEnv);
    ASSERT_NE(RpMatFXMaterialSetEffects(material, rpMATFXEFFECTENVMAP), nullptr);
    RwFrame *envFrame = RwFrameCreate();
    struct Case {
        RwReal coef;
        RwUInt32 factor;
    };
    // 1.5 stays at full: a wrapping byte would give 126 (about half).
    for (const Case c : {Case{0.0f, 0}, Case{0.5f, 128}, Case{1.0f, 255}, Case{1.5f, 255}}) {
        ASSERT_NE(RpMatFXMaterialSetupEnvMap(material, env, envFrame, FALSE, c.coef), nullptr);
        const win::Frame shot = Draw();
        EXPECT_TRUE(ColourNear(Centre(shot), Add(kBase, Scale(kEnv, c.factor)))) << "coefficient " << c.coef;
        EXPECT_EQ(Rgb(shot.At(1, 1)), 0u);
    }
    RwTextureDestroy(env);
    RwFrameDestroy(envFrame);
}

TEST_P(MatFXScreenTest, EnvironmentMapWithoutABaseTextureAddsToTheVertexColour)
{
    QuadShape shape;
    shape.prelitColour = {0x30, 0x30, 0x30, 255};
    MakeScene(nullptr, shape);
    RwTexture *env = SolidTexture(kEnv);
    RpMatFXMaterialSetEffects(material, rpMATFXEFFECTENVMAP);
    for (RwReal coef : {0.5f, 1.0f}) {
        RpMatFXMaterialSetupEnvMap(material, env, nullptr, FALSE, coef);
        EXPECT_TRUE(ColourNear(Centre(Draw()), Add(0x303030u, Scale(kEnv, coef < 1.0f ? 128 : 255))))
            << "coefficient " << coef;
    }
    RwTextureDestroy(env);
}

struct DualCase {
    const char *name;
    RwUInt32 src;
    RwUInt32 dst;
};

// What the frame shows for base colour b under dual texel d (alpha a).
RwUInt32 DualResult(const DualCase &c, RwUInt32 b, RwUInt32 d, RwUInt32 a)
{
    if (c.src == rwBLENDDESTCOLOR && c.dst == rwBLENDZERO) {
        return Mul(b, d);
    }
    if (c.src == rwBLENDDESTCOLOR && c.dst == rwBLENDSRCCOLOR) {
        return Add(Mul(b, d), Mul(b, d));
    }
    if (c.src == rwBLENDONE && c.dst == rwBLENDONE) {
        return Add(b, d);
    }
    if (c.src == rwBLENDSRCALPHA && c.dst == rwBLENDINVSRCALPHA) {
        return Add(Scale(d, a), Scale(b, 255 - a));
    }
    return Scale(b, a);  // zero, source alpha
}

TEST_P(MatFXScreenTest, DualBlendModesCombineBothTextures)
{
    constexpr RwUInt32 kDual = 0x40A0C0u;
    constexpr RwUInt32 kDualAlpha = 0x60u;
    MakeScene(SolidTexture(kBase));
    RwTexture *dual = SolidTexture((kDualAlpha << 24) | kDual, true);
    ASSERT_NE(RpMatFXMaterialSetEffects(material, rpMATFXEFFECTDUAL), nullptr);
    const DualCase cases[] = {
        {"modulate", rwBLENDDESTCOLOR, rwBLENDZERO},
        {"modulate twice", rwBLENDDESTCOLOR, rwBLENDSRCCOLOR},
        {"add", rwBLENDONE, rwBLENDONE},
        {"alpha blend", rwBLENDSRCALPHA, rwBLENDINVSRCALPHA},
        {"alpha modulate", rwBLENDZERO, rwBLENDSRCALPHA},
    };
    for (const DualCase &c : cases) {
        ASSERT_NE(RpMatFXMaterialSetupDualTexture(material, dual, c.src, c.dst), nullptr);
        EXPECT_TRUE(ColourNear(Centre(Draw()), DualResult(c, kBase, kDual, kDualAlpha), 3)) << c.name;
    }
    RwTextureDestroy(dual);
}

// A texture whose left half is `left` and right half `right`.
RwTexture *SplitTexture(RwUInt32 left, RwUInt32 right)
{
    return MakeTexture(8, 8, false, [=](RwInt32 x, RwInt32) { return x < 4 ? left : right; });
}

RwMatrix HalfTurnOfU()
{
    RwMatrix m;
    RwMatrixSetIdentity(&m);
    m.pos.x = 0.5f;
    m.flags = 0;  // no longer the identity
    return m;
}

TEST_P(MatFXScreenTest, UVTransformMovesTheBaseCoordinates)
{
    constexpr RwUInt32 kRed = 0xC02020u, kGreen = 0x20C020u;
    MakeScene(SplitTexture(kRed, kGreen));
    const RwUInt32 y = kHeight / 2;
    const win::Frame plain = Draw();
    const RwUInt32 left = Rgb(plain.At(24, y));
    const RwUInt32 right = Rgb(plain.At(40, y));
    ASSERT_TRUE((left == kRed && right == kGreen) || (left == kGreen && right == kRed));
    RwMatrix shift = HalfTurnOfU();
    ASSERT_NE(RpMatFXMaterialSetEffects(material, rpMATFXEFFECTUVTRANSFORM), nullptr);
    ASSERT_NE(RpMatFXMaterialSetUVTransformMatrices(material, &shift, nullptr), nullptr);
    const win::Frame moved = Draw();
    EXPECT_EQ(Rgb(moved.At(24, y)), right);
    EXPECT_EQ(Rgb(moved.At(40, y)), left);
    // Later plain draws are not left with the transform on.
    RpMatFXMaterialSetEffects(material, rpMATFXEFFECTNULL);
    EXPECT_EQ(Rgb(Draw().At(24, y)), left);
}

TEST_P(MatFXScreenTest, DualUVTransformMovesOnlyTheDualCoordinates)
{
    constexpr RwUInt32 kWhite = 0xFFFFFFu;
    MakeScene(SolidTexture(kBase));
    RwTexture *dual = SplitTexture(kWhite, 0x000000u);
    ASSERT_NE(RpMatFXMaterialSetEffects(material, rpMATFXEFFECTDUALUVTRANSFORM), nullptr);
    ASSERT_NE(RpMatFXMaterialSetupDualTexture(material, dual, rwBLENDDESTCOLOR, rwBLENDZERO), nullptr);
    const RwUInt32 y = kHeight / 2;
    const win::Frame plain = Draw();
    const RwUInt32 left = Rgb(plain.At(24, y));
    const RwUInt32 right = Rgb(plain.At(40, y));
    ASSERT_TRUE((left == kBase && right == 0u) || (left == 0u && right == kBase))
        << std::hex << left << " " << right;
    RwMatrix identity;
    RwMatrixSetIdentity(&identity);
    RwMatrix shift = HalfTurnOfU();
    ASSERT_NE(RpMatFXMaterialSetUVTransformMatrices(material, &identity, &shift), nullptr);
    const win::Frame moved = Draw();
    EXPECT_EQ(Rgb(moved.At(24, y)), right);
    EXPECT_EQ(Rgb(moved.At(40, y)), left);
    RwTextureDestroy(dual);
}

// Ridges across the bump texture, lit from the upper left.
TEST_P(MatFXScreenTest, BumpMappedPlaneUnderADirectionalLight)
{
    // Eight texels across the 32-pixel quad: the shift toward the light
    // (under one texel) spans pixels.
    constexpr RwInt32 kSize = 8;
    MakeScene(MakeTexture(kSize, kSize, false, [](RwInt32, RwInt32) { return 0xB09070u; }));
    RwTexture *bump = MakeTexture(kSize, kSize, false, [](RwInt32 x, RwInt32) {
        const RwUInt32 grey = x % 2 != 0 ? 0xFFu : 0x00u;
        return grey * 0x010101u;
    });
    RpLight *light = RpLightCreate(rpLIGHTDIRECTIONAL);
    RwFrame *lightFrame = RwFrameCreate();
    RpLightSetFrame(light, lightFrame);
    const RwV3d yAxis = {0, 1, 0}, xAxis = {1, 0, 0};
    RwFrameRotate(lightFrame, &yAxis, 40.0f, rwCOMBINEREPLACE);
    RwFrameRotate(lightFrame, &xAxis, -30.0f, rwCOMBINEPOSTCONCAT);
    ASSERT_NE(RpMatFXMaterialSetEffects(material, rpMATFXEFFECTBUMPMAP), nullptr);
    ASSERT_NE(RpMatFXMaterialSetupBumpMap(material, bump, lightFrame, 1.0f), nullptr);
    const win::Frame shot = Draw();
    // The ridges show: darker bands (base x (1 - a0), the texel away from
    // the light) beside the base colour.
    int dark = 0, plain = 0;
    for (RwUInt32 x = 17; x < 47; ++x) {
        const RwUInt32 c = Rgb(shot.At(x, kHeight / 2));
        dark += c != 0xB09070u ? 1 : 0;
        plain += c == 0xB09070u ? 1 : 0;
    }
    EXPECT_GT(dark, 4);
    EXPECT_GT(plain, 4);
    ExpectMatchesReference(shot, "tests/rwsdk/plugin/matfx/reference",
                           MultiPass() ? "bump_plane_multipass.png" : "bump_plane.png");
    RpLightSetFrame(light, nullptr);
    RpLightDestroy(light);
    RwFrameDestroy(lightFrame);
    RwTextureDestroy(bump);
}

// The texture a bump pass draws: the base's colours with the bump
// texture's grey level (its largest channel) as alpha, at the base's size,
// with the base's filtering, addressing and mip levels, named after both.
class BumpedTextureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(screen.Start(d3d8::DefaultProfile())); }
    void TearDown() override { EXPECT_TRUE(screen.Stop()); }
    // The texture's pixels as 0xAARRGGBB, row by row.
    static std::vector<RwUInt32> Pixels(RwTexture *texture)
    {
        RwRaster *raster = RwTextureGetRaster(texture);
        RwImage *image = RwImageCreate(raster->width, raster->height, 32);
        RwImageAllocatePixels(image);
        RwImageSetFromRaster(image, raster);
        std::vector<RwUInt32> pixels;
        for (RwInt32 y = 0; y < image->height; ++y) {
            const auto *row = reinterpret_cast<const RwRGBA *>(image->cpPixels + y * image->stride);
            for (RwInt32 x = 0; x < image->width; ++x) {
                pixels.push_back(RwUInt32{row[x].alpha} << 24 | RwUInt32{row[x].red} << 16 |
                                 RwUInt32{row[x].green} << 8 | row[x].blue);
            }
        }
        RwImageDestroy(image);
        return pixels;
    }
    Screen screen;
};

TEST_F(BumpedTextureTest, BaseColoursTakeTheBumpsLargestChannelAsAlpha)
{
    RwTexture *base = MakeTexture(4, 4, false, [](RwInt32, RwInt32) { return kBase; });
    RwTextureSetName(base, "ab");
    RwTextureSetFilterMode(base, rwFILTERLINEAR);
    RwTextureSetAddressing(base, rwTEXTUREADDRESSCLAMP);
    // Red-heavy texels: the largest channel (200) differs from a luminance
    // weighting (67), and the 2 x 2 texture is resampled to the base's 4 x 4.
    RwTexture *bump = MakeTexture(2, 2, false, [](RwInt32, RwInt32) { return 0xC80A0Au; });
    RwTextureSetName(bump, "xyz");
    RwTexture *made = RpMatFXCreateBumpedTexture(base, bump);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(RwTextureGetName(made), "axbyz");
    EXPECT_EQ(RwTextureGetFilterMode(made), rwFILTERLINEAR);
    EXPECT_EQ(RwTextureGetAddressingU(made), rwTEXTUREADDRESSCLAMP);
    EXPECT_EQ(RwTextureGetAddressingV(made), rwTEXTUREADDRESSCLAMP);
    EXPECT_EQ(Pixels(made), std::vector<RwUInt32>(16, 0xC8000000u | kBase));
    RwTextureDestroy(made);
    // Differing addressing modes give both modes 0.
    RwTextureSetAddressingU(base, rwTEXTUREADDRESSWRAP);
    made = RwTextureCreateFromColourAndAlpha(base, bump);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(RwTextureGetAddressingU(made), 0);
    EXPECT_EQ(RwTextureGetAddressingV(made), 0);
    RwTextureDestroy(made);
    RwTextureDestroy(base);
    RwTextureDestroy(bump);
}

TEST_F(BumpedTextureTest, WithoutABaseTheBumpedTextureIsWhiteAtTheBumpsSize)
{
    RwTexture *bump = MakeTexture(2, 2, false, [](RwInt32 x, RwInt32) { return x == 0 ? 0x102030u : 0x00FF00u; });
    RwTextureSetName(bump, "xyz");
    RwTexture *made = RwTextureCreateFromColourAndAlpha(nullptr, bump);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(RwTextureGetName(made), "xxyyzz");
    EXPECT_EQ(Pixels(made), (std::vector<RwUInt32>{0x30FFFFFFu, 0xFFFFFFFFu, 0x30FFFFFFu, 0xFFFFFFFFu}));
    RwTextureDestroy(made);
    // A material without a texture still gets its bumped texture, and the
    // bump shift follows that texture's width.
    RpMaterial *material = RpMaterialCreate();
    ASSERT_NE(RpMatFXMaterialSetEffects(material, rpMATFXEFFECTBUMPMAP), nullptr);
    ASSERT_EQ(RpMatFXMaterialSetupBumpMap(material, bump, nullptr, 1.0f), material);
    const RpMatFXBumpMapData &pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTBUMPMAP)->data.bumpMap;
    ASSERT_NE(pass.bumpedTexture, nullptr);
    EXPECT_STREQ(RwTextureGetName(pass.bumpedTexture), "xxyyzz");
    EXPECT_EQ(pass.invBumpWidth, 0.5f);
    RpMaterialDestroy(material);
    RwTextureDestroy(bump);
}

TEST_F(BumpedTextureTest, AMipmappedBaseGivesAMipmappedBumpedTexture)
{
    RwRaster *raster = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT888 | rwRASTERFORMATMIPMAP);
    ASSERT_NE(raster, nullptr);
    ASSERT_NE(RwRasterGetFormat(raster) & rwRASTERFORMATMIPMAP, 0);
    RwTexture *base = RwTextureCreate(raster);
    RwTexture *bump = MakeTexture(8, 8, false, [](RwInt32, RwInt32) { return 0x808080u; });
    RwTexture *made = RwTextureCreateFromColourAndAlpha(base, bump);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(RwRasterGetFormat(RwTextureGetRaster(made)) & rwRASTERFORMATMIPMAP, 0);
    EXPECT_GT(RwRasterGetNumLevels(RwTextureGetRaster(made)), 1);
    RwTextureDestroy(made);
    RwTextureDestroy(base);
    RwTextureDestroy(bump);
}

std::string StagesName(const ::testing::TestParamInfo<DWORD> &info)
{
    return info.param < 2 ? "OneStageMultiPass" : "EightStages";
}

INSTANTIATE_TEST_SUITE_P(Stages, MatFXScreenTest, ::testing::Values(DWORD{8}, DWORD{1}), StagesName);

}  // namespace

}  // namespace matfxrender_test
