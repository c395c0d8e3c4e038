// The light gizmos' shapes: their counts, where they lie about the light,
// the apex tint, the shaft's winding and degenerate shapes at radius 0;
// and the pass over a world with one light of each kind, its states, and
// its arrow and cone seen from the side.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "app/game_system.h"
#include "devmenu/light_gizmos.h"
#include "support/engine/headless_screen.h"

namespace light_gizmos_test {

namespace {

// A light frame turned so that its axes are not the world's.
RwMatrix TurnedMatrix()
{
    const float c = std::cos(0.6f), s = std::sin(0.6f);
    RwMatrix m{};
    m.right = {c, 0.0f, -s};
    m.up = {0.0f, 1.0f, 0.0f};
    m.at = {s, 0.0f, c};
    m.pos = {10.0f, 20.0f, 30.0f};
    return m;
}

float Dot(RwV3d a, RwV3d b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
RwV3d Sub(RwV3d a, RwV3d b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Length(RwV3d a) { return std::sqrt(Dot(a, a)); }

constexpr GizmoColour kColour = {200, 100, 0};

TEST(GizmoShapes, TheConeHasElevenVerticesAndTwentyTrianglesBothWays)
{
    const RwMatrix m = TurnedMatrix();
    GizmoShape cone;
    BuildGizmoCone(0.5f, 8.0f, kColour, m, &cone);
    EXPECT_EQ(cone.vertexCount, 11);
    EXPECT_EQ(cone.indexCount, 60);
    EXPECT_EQ(cone.primitive, rwPRIMTYPETRILIST);
    // The apex: each channel raised by 128, saturating at 255; alpha 128.
    EXPECT_EQ(cone.vertices[0].color, 0x80FFE480u);
    EXPECT_EQ(cone.vertices[1].color, 0x80C86400u);
    for (int k = 1; k <= 10; ++k) {
        // The slant reaches the length; the rim lies at the half angle.
        const RwV3d d = Sub(cone.vertices[k].objVertex, m.pos);
        EXPECT_NEAR(Length(d), 8.0f, 1e-4f);
        EXPECT_NEAR(Dot(d, m.at), 8.0f * std::cos(0.5f), 1e-4f);
    }
    // Each triangle runs from the apex to two neighbours on the rim, and the
    // second ten are the first ten wound the other way.
    for (int t = 0; t < 10; ++t) {
        EXPECT_EQ(cone.indices[3 * t], 0);
        EXPECT_EQ(cone.indices[30 + 3 * t], 0);
        EXPECT_EQ(cone.indices[3 * t + 2], 1 + t);
        EXPECT_EQ(cone.indices[3 * t + 1], 1 + (t + 1) % 10);
        EXPECT_EQ(cone.indices[3 * t + 1], cone.indices[30 + 3 * t + 2]);
        EXPECT_EQ(cone.indices[3 * t + 2], cone.indices[30 + 3 * t + 1]);
    }
}

TEST(GizmoShapes, TheArrowShaftHasFortyVerticesAnd228Indices)
{
    const RwMatrix m = TurnedMatrix();
    GizmoShape shaft;
    BuildGizmoArrowShaft(2.0f, kColour, m, &shaft);
    EXPECT_EQ(shaft.vertexCount, 40);
    EXPECT_EQ(shaft.indexCount, 228);
    EXPECT_EQ(shaft.primitive, rwPRIMTYPETRILIST);
    EXPECT_EQ(shaft.vertices[39].color, 0x80C86400u) << "the light's colour, half transparent";
    for (int k = 0; k < 40; ++k) {
        const RwV3d d = Sub(shaft.vertices[k].objVertex, m.pos);
        EXPECT_NEAR(Dot(d, m.at), k < 20 ? -8.0f * std::cos(0.7853981f) : -18.0f, 1e-4f);
        EXPECT_LT(shaft.indices[k], 40);
    }
    // The head's base lies on the near ring: a cone of length -4 R at 45 degrees.
    GizmoShape head;
    BuildGizmoCone(0.7853981f, -8.0f, kColour, m, &head);
    EXPECT_NEAR(Dot(Sub(head.vertices[1].objVertex, m.pos), m.at), Dot(Sub(shaft.vertices[0].objVertex, m.pos), m.at),
                1e-4f);
}

RwV3d Cross(RwV3d a, RwV3d b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// How a shape's triangles are wound about a point inside it: how many turn
// one way, how many the other, and how many are flat.
struct Windings {
    int oneWay = 0, otherWay = 0, flat = 0;
};
Windings WindingsAbout(const GizmoShape &shape, RwV3d middle)
{
    Windings w;
    for (int t = 0; 3 * t + 2 < shape.indexCount; ++t) {
        const RwV3d a = shape.vertices[shape.indices[3 * t]].objVertex;
        const RwV3d b = shape.vertices[shape.indices[3 * t + 1]].objVertex;
        const RwV3d c = shape.vertices[shape.indices[3 * t + 2]].objVertex;
        const RwV3d centroid = {(a.x + b.x + c.x) / 3.0f, (a.y + b.y + c.y) / 3.0f, (a.z + b.z + c.z) / 3.0f};
        const float facing = Dot(Cross(Sub(b, a), Sub(c, a)), Sub(centroid, middle));
        (facing > 0.0f ? w.oneWay : facing < 0.0f ? w.otherWay : w.flat) += 1;
    }
    return w;
}

// The shaft is a closed solid whose 76 triangles are all wound the same way
// about its middle: with back faces culled, a cap wound against its sides
// would vanish where the sides show and leave the shaft's end open.
TEST(GizmoShapes, TheArrowShaftsSidesAndCapsAreWoundAlike)
{
    const RwMatrix m = TurnedMatrix();
    GizmoShape shaft;
    BuildGizmoArrowShaft(2.0f, kColour, m, &shaft);
    ASSERT_EQ(shaft.indexCount, 228);
    // The middle of the shaft on its axis, halfway between its two rings.
    const float back = (8.0f * std::cos(0.7853981f) + 18.0f) * 0.5f;
    const RwV3d middle = {m.pos.x - m.at.x * back, m.pos.y - m.at.y * back, m.pos.z - m.at.z * back};
    const Windings w = WindingsAbout(shaft, middle);
    EXPECT_EQ(w.flat, 0);
    EXPECT_TRUE(w.oneWay == 76 || w.otherWay == 76) << w.oneWay << " one way, " << w.otherWay << " the other";
    // Both rings are 1.5 R wide about the axis.
    for (int k = 0; k < 40; ++k) {
        const RwV3d d = Sub(shaft.vertices[k].objVertex, m.pos);
        const float along = Dot(d, m.at);
        EXPECT_NEAR(Dot(d, d) - along * along, 9.0f, 1e-3f) << k;
    }
}

TEST(GizmoShapes, ThePointCircleLiesAtRightAnglesToTheAtAxis)
{
    const RwMatrix m = TurnedMatrix();
    GizmoShape circle;
    BuildGizmoCircle(5.0f, kColour, m, &circle);
    EXPECT_EQ(circle.vertexCount, 32);
    EXPECT_EQ(circle.indexCount, 68) << "34 lines";
    EXPECT_EQ(circle.primitive, rwPRIMTYPELINELIST);
    for (int k = 0; k < 32; ++k) {
        const RwV3d d = Sub(circle.vertices[k].objVertex, m.pos);
        EXPECT_NEAR(Dot(d, m.at), 0.0f, 1e-4f);
        EXPECT_NEAR(Length(d), 5.0f, 1e-4f);
        EXPECT_EQ(circle.vertices[k].color, 0xFFC86400u);
    }
    // Point 0 lies along right, point 8 along up, point 16 opposite point 0.
    const RwV3d at0 = Sub(circle.vertices[0].objVertex, m.pos);
    const RwV3d at8 = Sub(circle.vertices[8].objVertex, m.pos);
    const RwV3d at16 = Sub(circle.vertices[16].objVertex, m.pos);
    EXPECT_NEAR(Dot(at0, m.right), 5.0f, 1e-4f);
    EXPECT_NEAR(Dot(at8, m.up), 5.0f, 1e-4f);
    EXPECT_NEAR(Dot(at16, m.right), -5.0f, 1e-4f);
    // The chords join neighbours, the last back to point 0.
    for (int k = 0; k < 32; ++k) {
        EXPECT_EQ(circle.indices[2 * k], k);
        EXPECT_EQ(circle.indices[2 * k + 1], (k + 1) % 32);
    }
    EXPECT_EQ(circle.indices[64], 0);
    EXPECT_EQ(circle.indices[65], 16);
    EXPECT_EQ(circle.indices[66], 8);
    EXPECT_EQ(circle.indices[67], 24);
}

TEST(GizmoShapes, TheAmbientBoxIsElevenTenthsOfTheWorld)
{
    const RwBBox world = {{10.0f, 4.0f, 2.0f}, {-10.0f, -4.0f, -2.0f}};
    GizmoShape box;
    BuildGizmoBox(world, kColour, &box);
    EXPECT_EQ(box.vertexCount, 8);
    EXPECT_EQ(box.indexCount, 36);
    EXPECT_EQ(box.primitive, rwPRIMTYPETRILIST);
    EXPECT_EQ(box.vertices[5].color, 0x80C86400u) << "the light's colour, half transparent";
    EXPECT_FLOAT_EQ(box.vertices[7].objVertex.x, 11.0f);
    EXPECT_FLOAT_EQ(box.vertices[7].objVertex.y, 4.4f);
    EXPECT_FLOAT_EQ(box.vertices[0].objVertex.z, -2.2f);
    // Its twelve triangles, two a face, are all wound the same way about the
    // middle, so that culling shows every face alike.
    const Windings w = WindingsAbout(box, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(w.flat, 0);
    EXPECT_TRUE(w.oneWay == 12 || w.otherWay == 12) << w.oneWay << " one way, " << w.otherWay << " the other";
}

TEST(GizmoShapes, RadiusZeroGivesDegenerateShapesOnThePosition)
{
    const RwMatrix m = TurnedMatrix();
    GizmoShape shapes[3];
    BuildGizmoCone(0.3f, 0.0f, kColour, m, &shapes[0]);
    BuildGizmoArrowShaft(0.0f, kColour, m, &shapes[1]);
    BuildGizmoCircle(0.0f, kColour, m, &shapes[2]);
    for (const GizmoShape &shape : shapes) {
        for (int k = 0; k < shape.vertexCount; ++k) {
            EXPECT_NEAR(Length(Sub(shape.vertices[k].objVertex, m.pos)), 0.0f, 1e-5f);
        }
    }
}

}  // namespace

// ---- the pass over a world's lights, drawn on our device ----

namespace {

bool AttachWorld() { return RpWorldPluginAttach() != FALSE; }

class GizmoPass : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 320, 240, AttachWorld));
        const RwBBox box = {{100.0f, 50.0f, 100.0f}, {-100.0f, -50.0f, -100.0f}};
        world = RpWorldCreate(&box);
        ASSERT_NE(world, nullptr);
        previous = g_pGameSystem;
        g_pGameSystem = &gs;
        gs.world = world;
    }
    void TearDown() override
    {
        for (RpLight *light : lights) {
            RpWorldRemoveLight(world, light);
            RwFrame *frame = RpLightGetFrame(light);
            RpLightSetFrame(light, nullptr);
            RwFrameDestroy(frame);
            RpLightDestroy(light);
        }
        gs.world = nullptr;
        g_pGameSystem = previous;
        RpWorldDestroy(world);
        EXPECT_TRUE(screen.Stop());
    }
    RpLight *Add(RwInt32 type, float radius)
    {
        RpLight *light = RpLightCreate(type);
        RwFrame *frame = RwFrameCreate();
        RpLightSetFrame(light, frame);
        RpLightSetRadius(light, radius);
        const RwRGBAReal colour = {1.0f, 0.5f, 0.0f, 1.0f};
        RpLightSetColor(light, &colour);
        RpWorldAddLight(world, light);
        lights.push_back(light);
        return light;
    }
    // Draws the gizmos with LIGHT 10 units in front of the camera, its at
    // axis across the screen; the returned test tells whether the screen is
    // lit a given number of units to one side of the light and above it.
    std::function<bool(float, float)> SideView(RpLight *light)
    {
        screen.Place({0.0f, 0.0f, 0.0f}, 1.0f);
        RwMatrix m{};
        m.right = {0.0f, 0.0f, -1.0f};
        m.up = {0.0f, 1.0f, 0.0f};
        m.at = {1.0f, 0.0f, 0.0f};
        m.pos = {0.0f, 0.0f, 10.0f};
        RwFrameTransform(RpLightGetFrame(light), &m, rwCOMBINEREPLACE);
        const win::Frame frame = screen.Capture({0, 0, 0, 255}, [&] { DevMenuRenderWorldLights(world, nullptr); });
        EXPECT_EQ(frame.width, 320u);
        // At 10 units away the screen spans 20 units across: 16 pixels a unit.
        return [frame](float units, float above) {
            return frame.width == 320u && (frame.At(static_cast<uint32_t>(160.0f + 16.0f * units),
                                                    static_cast<uint32_t>(120.0f - 16.0f * above)) &
                                           0xFFFFFFu) != 0u;
        };
    }
    GizmoCounts Draw()
    {
        GizmoDrawCounts() = GizmoCounts{};
        screen.Capture({0, 0, 0, 255}, [&] { EXPECT_TRUE(DevMenuRenderWorldLights(world, nullptr)); });
        return GizmoDrawCounts();
    }

    headlessscreen::Screen screen;
    CSGameSystem gs;
    CSGameSystem *previous = nullptr;
    RpWorld *world = nullptr;
    std::vector<RpLight *> lights;
};

TEST_F(GizmoPass, OneShapeOfEachKindPerLight)
{
    Add(rpLIGHTSPOT, 10.0f);
    EXPECT_EQ(Draw().shapes, 1) << "the spot light's cone";
    Add(rpLIGHTDIRECTIONAL, 2.0f);
    EXPECT_EQ(Draw().shapes, 3) << "and the directional light's shaft and head";
    Add(rpLIGHTPOINT, 10.0f);
    Add(rpLIGHTAMBIENT, 0.0f);
    Add(rpLIGHTSPOTSOFT, 0.0f);
    const GizmoCounts all = Draw();
    EXPECT_EQ(all.shapes, 6);
    EXPECT_EQ(all.vertices, 11 + 40 + 11 + 32 + 8 + 11);
    EXPECT_EQ(all.indices, 60 + 228 + 60 + 68 + 36 + 60);
}

// A light that is not placed (no frame) has nowhere to be drawn: of the
// lights without frames only the ambient light, which takes the world's
// box, shows.
TEST_F(GizmoPass, ALightWithoutAFrameDrawsNothing)
{
    std::vector<RwFrame *> frames;
    for (RwInt32 type : {rpLIGHTSPOT, rpLIGHTDIRECTIONAL, rpLIGHTPOINT, rpLIGHTAMBIENT}) {
        RpLight *light = Add(type, 5.0f);
        frames.push_back(RpLightGetFrame(light));
        RpLightSetFrame(light, nullptr);
    }
    const GizmoCounts counts = Draw();
    EXPECT_EQ(counts.shapes, 1);
    EXPECT_EQ(counts.vertices, 8);
    for (size_t i = 0; i < lights.size(); ++i) {
        RpLightSetFrame(lights[i], frames[i]);
    }
}

TEST_F(GizmoPass, ALightOfAnUnknownKindOrNoLightDrawsNothing)
{
    EXPECT_EQ(Draw().shapes, 0);
    // Without lights the pass still switches the depth test and write on
    // again at its end, and leaves vertex alpha on.
    RwUInt32 zTest = 0;
    RwUInt32 zWrite = 0;
    RwUInt32 vertexAlpha = 0;
    screen.Capture({0, 0, 0, 255}, [&] {
        RwSetRenderState(rwRENDERSTATEZTESTENABLE, nullptr);
        RwSetRenderState(rwRENDERSTATEZWRITEENABLE, nullptr);
        EXPECT_TRUE(DevMenuRenderWorldLights(world, nullptr));
        RwGetRenderState(rwRENDERSTATEZTESTENABLE, &zTest);
        RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &zWrite);
        RwGetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, &vertexAlpha);
    });
    EXPECT_EQ(zTest, 1u);
    EXPECT_EQ(zWrite, 1u);
    EXPECT_EQ(vertexAlpha, 1u);
    RpLight *odd = Add(rpLIGHTPOINT, 5.0f);
    odd->object.object.subType = 7;
    EXPECT_EQ(Draw().shapes, 0);
    odd->object.object.subType = rpLIGHTPOINT;
}

// A light's colour turns into bytes rounded to the nearest and held to
// 0..255, so a half-bright channel is 128.
TEST_F(GizmoPass, ALightsColourTurnsIntoRoundedBytes)
{
    RpLight *light = Add(rpLIGHTPOINT, 5.0f);
    GizmoColour bytes = GizmoColourOf(light);
    EXPECT_EQ(bytes.red, 255);
    EXPECT_EQ(bytes.green, 128);
    EXPECT_EQ(bytes.blue, 0);
    const RwRGBAReal beyond = {2.0f, -1.0f, 0.2f, 1.0f};
    RpLightSetColor(light, &beyond);
    bytes = GizmoColourOf(light);
    EXPECT_EQ(bytes.red, 255);
    EXPECT_EQ(bytes.green, 0);
    EXPECT_EQ(bytes.blue, 51);
}

// The gizmos are blended half over the scene without a texture, whatever
// the frame drew with before.
TEST_F(GizmoPass, ThePassBlendsBySourceAlphaWithoutATexture)
{
    RwUInt32 source = 0;
    RwUInt32 destination = 0;
    RwRaster *texture = RwRasterCreate(4, 4, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    ASSERT_NE(texture, nullptr);
    RwRaster *raster = texture;
    screen.Capture({0, 0, 0, 255}, [&] {
        RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDONE));
        RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDZERO));
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, texture);
        EXPECT_TRUE(DevMenuRenderWorldLights(world, nullptr));
        RwGetRenderState(rwRENDERSTATESRCBLEND, &source);
        RwGetRenderState(rwRENDERSTATEDESTBLEND, &destination);
        RwGetRenderState(rwRENDERSTATETEXTURERASTER, &raster);
    });
    EXPECT_EQ(source, static_cast<RwUInt32>(rwBLENDSRCALPHA));
    EXPECT_EQ(destination, static_cast<RwUInt32>(rwBLENDINVSRCALPHA));
    EXPECT_EQ(raster, nullptr);
    RwRasterDestroy(texture);
}

// Seen from the side, a directional light's arrow lies wholly behind its
// tip: the shaft far back, the head between the shaft and the tip, and
// nothing ahead of the light.
TEST_F(GizmoPass, TheDirectionalArrowEndsInItsHeadAtTheLight)
{
    const auto lit = SideView(Add(rpLIGHTDIRECTIONAL, 1.0f));
    const float back = lit(-5.0f, 0.0f) ? -1.0f : 1.0f;  // the screen side the shaft lies on
    EXPECT_TRUE(lit(5.0f * back, 0.0f)) << "the shaft";
    EXPECT_TRUE(lit(1.5f * back, 0.0f)) << "the head";
    EXPECT_FALSE(lit(-1.5f * back, 0.0f)) << "ahead of the tip";
    EXPECT_FALSE(lit(-5.0f * back, 0.0f));
}

// A spot light's cone opens at its cone angle along its at axis and reaches
// as far as its radius.
TEST_F(GizmoPass, TheSpotConeOpensAtItsAngleAndReachesItsRadius)
{
    RpLight *light = Add(rpLIGHTSPOT, 6.0f);
    light->minusCosAngle = -std::cos(0.4f);
    const auto lit = SideView(light);
    const float ahead = lit(3.0f, 0.0f) ? 1.0f : -1.0f;  // the screen side the cone opens to
    EXPECT_TRUE(lit(3.0f * ahead, 0.0f));
    EXPECT_TRUE(lit(5.0f * ahead, 0.0f)) << "6 cos 0.4 = 5.5 along the axis";
    EXPECT_FALSE(lit(9.0f * ahead, 0.0f)) << "beyond the radius (the rim's near edge shows at 7.2)";
    EXPECT_FALSE(lit(-3.0f * ahead, 0.0f)) << "behind the light";
    // It opens at its cone angle: 4.5 tan 0.4 = 1.9 units off the axis.
    EXPECT_TRUE(lit(4.5f * ahead, 1.5f));
    EXPECT_FALSE(lit(4.5f * ahead, 3.5f));
}

// The ambient light's box is the game's world's: with none, no box.
TEST_F(GizmoPass, AnAmbientLightWithoutTheGamesWorldDrawsNothing)
{
    Add(rpLIGHTAMBIENT, 0.0f);
    EXPECT_EQ(Draw().shapes, 1);
    gs.world = nullptr;
    EXPECT_EQ(Draw().shapes, 0);
}

}  // namespace

}  // namespace light_gizmos_test
