// The pixel-shader routes of material effects on a device reporting ps 1.1:
// the six shaders are made, each effect that has a shader really draws
// through the one its route names (that slot swapped for a marker shader
// paints the marker colour), and the pixels agree with the fixed-function
// route of a device without shaders wherever the two compute the same
// formula; the frame-buffer-alpha variants, which have no fixed-function
// twin, are checked against hand-computed colours. Dual textures have no
// shader and draw the same either way.
#include <functional>
#include <vector>

#include "plugin/matfx/matfxpriv.h"
#include "rwsdk/plugin/matfx/surface_screen.h"

namespace matfxd3d8_test {

namespace {

using namespace surfacescreen;

constexpr RwUInt32 kBase = 0x604020u;
constexpr RwUInt32 kEnv = 0x4080C0u;
constexpr RwUInt32 kEnvAlpha = 0x80u;
constexpr RwUInt32 kMarker = 0xFF00FFu;
const RwRGBA kBlack = {0, 0, 0, 255};

// Shader slots, as the routes index them.
enum Slot { Bump = 0, EnvOverBase = 1, EnvAlone = 2, BumpEnv = 3, BumpEnvAlpha = 4, BumpEnvOpaque = 5, None = -1 };

d3d8::Profile ShaderProfile()
{
    d3d8::Profile profile = d3d8::DefaultProfile();
    profile.pixelShaderVersion = D3DPS_VERSION(1, 1);
    return profile;
}

// ps 1.1: r0 = c7, the marker colour.
constexpr RwUInt32 kMarkerShader[] = {0xFFFF0101u, 1u, 0x800F0000u, 0xA0E40007u, 0x0000FFFFu};

// What a scene set-up made and the draw must release.
struct Owned {
    std::vector<RwTexture *> textures;
    std::vector<RwFrame *> frames;
    RwTexture *Keep(RwTexture *t)
    {
        textures.push_back(t);
        return t;
    }
    RwFrame *Keep(RwFrame *f)
    {
        frames.push_back(f);
        return f;
    }
};
using SceneSetUp = std::function<void(RpMaterial *, Owned *)>;

struct Shot {
    win::Frame frame;
    RwUInt32 markedCentre = 0;  // centre pixel with the expected slot swapped for the marker
    bool shadersMade = false;
};

// Starts a screen on `profile`, draws a camera-facing quad (base texture
// `base`, or none) with the effects `setUp` gives it, and, when `slot`
// names a shader, draws once more with that slot holding the marker.
Shot Draw(const d3d8::Profile &profile, RwTexture *(*base)(), const QuadShape &shape, const SceneSetUp &setUp, Slot slot)
{
    Shot shot;
    Screen screen;
    EXPECT_TRUE(screen.Start(profile));
    RpMaterial *material = RpMaterialCreate();
    if (base != nullptr) {
        RwTexture *texture = base();
        RpMaterialSetTexture(material, texture);
        RwTextureDestroy(texture);
    }
    RpAtomic *atomic = MakeAtomic(MakeQuad(material, shape));
    EXPECT_NE(RpMatFXAtomicEnableEffects(atomic), nullptr);
    Owned owned;
    setUp(material, &owned);
    auto render = [&] { EXPECT_NE(RpAtomicRender(atomic), nullptr); };
    shot.frame = screen.Capture(kBlack, render);
    RpMatFXD3D8Routes &routes = *MatFXD3D8RoutesEdit();
    shot.shadersMade = true;
    for (RwUInt32 handle : routes.pixelShaders) {
        shot.shadersMade = shot.shadersMade && handle != 0;
    }
    if (shot.shadersMade) {
        RwUInt32 marker = 0;
        EXPECT_TRUE(RwD3D8CreatePixelShader(kMarkerShader, &marker));
        const RwReal magenta[4] = {1.0f, 0.0f, 1.0f, 1.0f};
        RwD3D8SetPixelShaderConstant(7, magenta, 1);
        RwUInt32 saved[6];
        std::copy(std::begin(routes.pixelShaders), std::end(routes.pixelShaders), saved);
        // No route may reach a slot it does not name: with no slot named,
        // every slot holds the marker.
        for (RwInt32 i = 0; i < 6; ++i) {
            if (slot == None || i == slot) {
                routes.pixelShaders[i] = marker;
            }
        }
        shot.markedCentre = Centre(screen.Capture(kBlack, render));
        std::copy(saved, saved + 6, routes.pixelShaders);
        RwD3D8DeletePixelShader(marker);
    }
    DestroyAtomic(atomic);
    RpMaterialDestroy(material);
    for (RwTexture *t : owned.textures) {
        RwTextureDestroy(t);
    }
    for (RwFrame *f : owned.frames) {
        RwFrameDestroy(f);
    }
    EXPECT_TRUE(screen.Stop());
    return shot;
}

RwTexture *BaseTexture() { return SolidTexture(kBase); }
RwTexture *EnvTexture() { return SolidTexture((kEnvAlpha << 24) | kEnv, true); }

// Where a failed comparison leaves its difference image.
std::string DiffPath(const char *name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/test-output/tests/rwsdk/plugin/matfx/shader_route_" + name + ".diff.png";
}

constexpr RwUInt32 kAnyCentre = ~0u;

// The shader route drew through `slot` and matches the fixed-function
// route pixel for pixel (within the rounding of the two units); both show
// `centre` in the middle unless that is kAnyCentre.
void ExpectShaderRouteAgrees(RwTexture *(*base)(), const QuadShape &shape, const SceneSetUp &setUp, Slot slot,
                             RwUInt32 centre)
{
    const Shot shader = Draw(ShaderProfile(), base, shape, setUp, slot);
    ASSERT_TRUE(shader.shadersMade);
    EXPECT_EQ(shader.markedCentre, kMarker) << "slot " << slot << " not drawn through";
    const Shot fixed = Draw(d3d8::DefaultProfile(), base, shape, setUp, None);
    EXPECT_FALSE(fixed.shadersMade);
    if (centre != kAnyCentre) {
        EXPECT_TRUE(ColourNear(Centre(shader.frame), centre, 3));
        EXPECT_TRUE(ColourNear(Centre(fixed.frame), centre, 3));
    }
    EXPECT_EQ(headlessscreen::CountDifferences(shader.frame, fixed.frame, 3, DiffPath(std::to_string(slot).c_str())), 0u);
}

TEST(MatFXShaderRouteTest, EnvironmentOverABaseTextureMatchesTheTwoPassRoute)
{
    for (RwReal coef : {0.5f, 1.0f}) {
        const SceneSetUp setUp = [coef](RpMaterial *m, Owned *owned) {
            RpMatFXMaterialSetEffects(m, rpMATFXEFFECTENVMAP);
            RpMatFXMaterialSetupEnvMap(m, owned->Keep(EnvTexture()), owned->Keep(RwFrameCreate()), FALSE, coef);
        };
        const RwUInt32 factor = coef < 1.0f ? 128 : 255;
        ExpectShaderRouteAgrees(BaseTexture, {}, setUp, EnvOverBase, Add(kBase, Scale(Scale(kEnv, kEnvAlpha), factor)));
    }
}

TEST(MatFXShaderRouteTest, EnvironmentAloneAddsToTheVertexColourAsTheTwoPassRouteDoes)
{
    QuadShape shape;
    shape.prelitColour = {0x30, 0x30, 0x30, 255};
    const SceneSetUp setUp = [](RpMaterial *m, Owned *owned) {
        RpMatFXMaterialSetEffects(m, rpMATFXEFFECTENVMAP);
        RpMatFXMaterialSetupEnvMap(m, owned->Keep(EnvTexture()), nullptr, FALSE, 0.5f);
    };
    ExpectShaderRouteAgrees(nullptr, shape, setUp, EnvAlone, Add(0x303030u, Scale(Scale(kEnv, kEnvAlpha), 128)));
}

// A base of 8 x 8 texels under a bump texture whose grey is `grey(x)`.
SceneSetUp BumpSetUp(RwUInt32 (*grey)(RwInt32), RwBool withEnv, RwBool frameBufferAlpha, bool envAlpha)
{
    return [=](RpMaterial *m, Owned *owned) {
        RwTexture *bump = owned->Keep(MakeTexture(8, 8, false, [grey](RwInt32 x, RwInt32) { return grey(x) * 0x010101u; }));
        RwFrame *light = owned->Keep(RwFrameCreate());
        const RwV3d yAxis = {0, 1, 0};
        RwFrameRotate(light, &yAxis, 40.0f, rwCOMBINEREPLACE);
        RpMatFXMaterialSetEffects(m, withEnv ? rpMATFXEFFECTBUMPENVMAP : rpMATFXEFFECTBUMPMAP);
        RpMatFXMaterialSetupBumpMap(m, bump, light, 1.0f);
        if (withEnv) {
            RwTexture *env = owned->Keep(envAlpha ? EnvTexture() : SolidTexture(kEnv));
            RpMatFXMaterialSetupEnvMap(m, env, nullptr, frameBufferAlpha, 1.0f);
        }
    };
}

RwTexture *BumpBase() { return MakeTexture(8, 8, false, [](RwInt32, RwInt32) { return 0xB09070u; }); }
RwUInt32 Ridges(RwInt32 x) { return x % 2 != 0 ? 0xFFu : 0x00u; }
RwUInt32 FlatQuarter(RwInt32) { return 0x40u; }

TEST(MatFXShaderRouteTest, BumpMapMatchesTheTwoBlendedDraws)
{
    // Over flat ground the offset texel has the same colour and alpha, so
    // the two weights sum to one and the base shows.
    ExpectShaderRouteAgrees(BumpBase, {}, BumpSetUp(FlatQuarter, FALSE, FALSE, false), Bump, 0xB09070u);
    // Ridges lit from the side: darker and brighter bands, the same in both.
    ExpectShaderRouteAgrees(BumpBase, {}, BumpSetUp(Ridges, FALSE, FALSE, false), Bump, kAnyCentre);
}

TEST(MatFXShaderRouteTest, BumpWithEnvironmentMatchesBumpThenTheAdditivePass)
{
    ExpectShaderRouteAgrees(BumpBase, {}, BumpSetUp(FlatQuarter, TRUE, FALSE, true), BumpEnv,
                            Add(0xB09070u, Scale(kEnv, kEnvAlpha)));
}

// With frame-buffer alpha the environment is weighted by the bump result's
// alpha, v0.a x (t0.a + t1.a): twice the bumped texture's alpha (0x40,
// the grey's luminance) over flat ground.
TEST(MatFXShaderRouteTest, FrameBufferAlphaVariantsWeighTheEnvironmentByTheBumpAlpha)
{
    const RwUInt32 weight = 2 * 0x40u;
    const Shot withAlpha = Draw(ShaderProfile(), BumpBase, {}, BumpSetUp(FlatQuarter, TRUE, TRUE, true), BumpEnvAlpha);
    EXPECT_EQ(withAlpha.markedCentre, kMarker);
    EXPECT_TRUE(ColourNear(Centre(withAlpha.frame), Add(0xB09070u, Scale(Scale(kEnv, kEnvAlpha), weight)), 3));
    const Shot opaque = Draw(ShaderProfile(), BumpBase, {}, BumpSetUp(FlatQuarter, TRUE, TRUE, false), BumpEnvOpaque);
    EXPECT_EQ(opaque.markedCentre, kMarker);
    EXPECT_TRUE(ColourNear(Centre(opaque.frame), Add(0xB09070u, Scale(kEnv, weight)), 3));
}

TEST(MatFXShaderRouteTest, DualTextureTakesNoShaderAndDrawsTheSame)
{
    constexpr RwUInt32 kDual = 0x40A0C0u;
    const SceneSetUp setUp = [](RpMaterial *m, Owned *owned) {
        RpMatFXMaterialSetEffects(m, rpMATFXEFFECTDUAL);
        RpMatFXMaterialSetupDualTexture(m, owned->Keep(SolidTexture(kDual)), rwBLENDDESTCOLOR, rwBLENDZERO);
    };
    const Shot shader = Draw(ShaderProfile(), BaseTexture, {}, setUp, None);
    ASSERT_TRUE(shader.shadersMade);
    EXPECT_NE(shader.markedCentre, kMarker);
    const Shot fixed = Draw(d3d8::DefaultProfile(), BaseTexture, {}, setUp, None);
    EXPECT_TRUE(ColourNear(Centre(shader.frame), Mul(kBase, kDual), 3));
    EXPECT_EQ(headlessscreen::CountDifferences(shader.frame, fixed.frame, 0, DiffPath("dual")), 0u);
}

}  // namespace

}  // namespace matfxd3d8_test
