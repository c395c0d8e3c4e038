// The light gizmos (see light_gizmos.h): the shapes, their drawing and the
// pass over the world's lights.
#include "devmenu/light_gizmos.h"

#include <algorithm>
#include <cmath>

#include "app/game_system.h"
#include "devmenu/dev_menu.h"
#include "rwcore.h"
#include "ui/ui_quad.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kQuarterTurn = 0.7853981f;  // 45 degrees
constexpr int kConeRim = 10;
constexpr int kShaftRing = 20;
constexpr int kCirclePoints = 32;

RwV3d Add(RwV3d a, RwV3d b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
RwV3d Scale(RwV3d a, float s) { return {a.x * s, a.y * s, a.z * s}; }

uint32_t Pack(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
{
    return (static_cast<uint32_t>(alpha) << 24) | (static_cast<uint32_t>(red) << 16) |
           (static_cast<uint32_t>(green) << 8) | blue;
}
uint32_t Pack(GizmoColour c, uint8_t alpha) { return Pack(c.red, c.green, c.blue, alpha); }
uint8_t Brighter(uint8_t channel) { return static_cast<uint8_t>(std::min(channel + 128, 255)); }

void Put(GizmoShape *shape, RwV3d position, uint32_t colour)
{
    RwIm3DVertex &v = shape->vertices[shape->vertexCount++];
    v = RwIm3DVertex{};
    v.objVertex = position;
    v.color = colour;
}
void Index(GizmoShape *shape, int a, int b, int c)
{
    shape->indices[shape->indexCount++] = static_cast<RwImVertexIndex>(a);
    shape->indices[shape->indexCount++] = static_cast<RwImVertexIndex>(b);
    shape->indices[shape->indexCount++] = static_cast<RwImVertexIndex>(c);
}
void Reset(GizmoShape *shape, RwPrimitiveType primitive)
{
    shape->vertexCount = 0;
    shape->indexCount = 0;
    shape->primitive = primitive;
}

// A ring of `count` points about `centre` in the plane of right and up.
void Ring(GizmoShape *shape, RwV3d centre, float radius, int count, const RwMatrix &m, uint32_t colour)
{
    for (int k = 0; k < count; ++k) {
        const float t = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(count);
        Put(shape, Add(centre, Add(Scale(m.right, radius * std::cos(t)), Scale(m.up, radius * std::sin(t)))), colour);
    }
}

bool LightMatrix(RpLight *light, RwMatrix *out)
{
    RwFrame *frame = RpLightGetFrame(light);
    const RwMatrix *ltm = frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
    if (ltm == nullptr) {
        return false;
    }
    *out = *ltm;
    return true;
}

}  // namespace

GizmoCounts &GizmoDrawCounts()
{
    static GizmoCounts counts;
    return counts;
}

GizmoColour GizmoColourOf(const RpLight *light)
{
    const RwRGBAReal *c = RpLightGetColor(light);
    const auto byte = [](float value) {
        return static_cast<uint8_t>(std::clamp(static_cast<int>(value * 255.0f + 0.5f), 0, 255));
    };
    return {byte(c->red), byte(c->green), byte(c->blue)};
}

void BuildGizmoCone(float halfAngle, float length, GizmoColour colour, const RwMatrix &m, GizmoShape *shape)
{
    Reset(shape, rwPRIMTYPETRILIST);
    Put(shape, m.pos, Pack(Brighter(colour.red), Brighter(colour.green), Brighter(colour.blue), 128));
    const RwV3d centre = Add(m.pos, Scale(m.at, length * std::cos(halfAngle)));
    Ring(shape, centre, length * std::sin(halfAngle), kConeRim, m, Pack(colour, 128));
    for (int k = 0; k < kConeRim; ++k) {
        Index(shape, 0, 1 + (k + 1) % kConeRim, 1 + k);
    }
    for (int k = 0; k < kConeRim; ++k) {
        Index(shape, 0, 1 + k, 1 + (k + 1) % kConeRim);
    }
}

void BuildGizmoArrowShaft(float radius, GizmoColour colour, const RwMatrix &m, GizmoShape *shape)
{
    Reset(shape, rwPRIMTYPETRILIST);
    const uint32_t packed = Pack(colour, 128);
    Ring(shape, Add(m.pos, Scale(m.at, -4.0f * radius * std::cos(kQuarterTurn))), 1.5f * radius, kShaftRing, m,
         packed);
    Ring(shape, Add(m.pos, Scale(m.at, -9.0f * radius)), 1.5f * radius, kShaftRing, m, packed);
    for (int k = 0; k < kShaftRing; ++k) {
        const int next = (k + 1) % kShaftRing;
        Index(shape, k, next, kShaftRing + k);
        Index(shape, next, kShaftRing + next, kShaftRing + k);
    }
    for (int ring = 0; ring < 2; ++ring) {
        const int base = ring * kShaftRing;
        for (int k = 1; k + 1 < kShaftRing; ++k) {
            if (ring == 0) {
                Index(shape, base, base + k + 1, base + k);
            } else {
                Index(shape, base, base + k, base + k + 1);
            }
        }
    }
}

void BuildGizmoCircle(float radius, GizmoColour colour, const RwMatrix &m, GizmoShape *shape)
{
    Reset(shape, rwPRIMTYPELINELIST);
    Ring(shape, m.pos, radius, kCirclePoints, m, Pack(colour, 255));
    const auto line = [shape](int a, int b) {
        shape->indices[shape->indexCount++] = static_cast<RwImVertexIndex>(a);
        shape->indices[shape->indexCount++] = static_cast<RwImVertexIndex>(b);
    };
    for (int k = 0; k < kCirclePoints; ++k) {
        line(k, (k + 1) % kCirclePoints);
    }
    line(0, 16);
    line(8, 24);
}

void BuildGizmoBox(const RwBBox &box, GizmoColour colour, GizmoShape *shape)
{
    Reset(shape, rwPRIMTYPETRILIST);
    const RwV3d centre = {(box.sup.x + box.inf.x) * 0.5f, (box.sup.y + box.inf.y) * 0.5f,
                          (box.sup.z + box.inf.z) * 0.5f};
    const RwV3d half = {(box.sup.x - box.inf.x) * 0.55f, (box.sup.y - box.inf.y) * 0.55f,
                        (box.sup.z - box.inf.z) * 0.55f};
    const uint32_t packed = Pack(colour, 128);
    // Corner i: bit 0 x, bit 1 y, bit 2 z on the high side.
    for (int i = 0; i < 8; ++i) {
        Put(shape,
            {centre.x + ((i & 1) != 0 ? half.x : -half.x), centre.y + ((i & 2) != 0 ? half.y : -half.y),
             centre.z + ((i & 4) != 0 ? half.z : -half.z)},
            packed);
    }
    constexpr int kFaces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto &face : kFaces) {
        Index(shape, face[0], face[1], face[2]);
        Index(shape, face[0], face[2], face[3]);
    }
}

void DrawGizmoShape(GizmoShape *shape)
{
    if (RwIm3DTransform(shape->vertices, static_cast<RwUInt32>(shape->vertexCount), nullptr, 0) == nullptr) {
        return;  // this shape is skipped; the next is still drawn
    }
    RwIm3DRenderIndexedPrimitive(shape->primitive, shape->indices, shape->indexCount);
    RwIm3DEnd();
    GizmoCounts &counts = GizmoDrawCounts();
    ++counts.shapes;
    counts.vertices += shape->vertexCount;
    counts.indices += shape->indexCount;
}

void DevMenuDrawCone(float halfAngle, float length, GizmoColour colour, const RwMatrix &matrix)
{
    GizmoShape shape;
    BuildGizmoCone(halfAngle, length, colour, matrix, &shape);
    DrawGizmoShape(&shape);
}

void DevMenuDrawSpotLight(RpLight *light)
{
    RwMatrix m;
    if (LightMatrix(light, &m)) {
        DevMenuDrawCone(RpLightGetConeAngle(light), RpLightGetRadius(light), GizmoColourOf(light), m);
    }
}

void DevMenuDrawDirectionalLight(RpLight *light)
{
    RwMatrix m;
    if (!LightMatrix(light, &m)) {
        return;
    }
    const float radius = RpLightGetRadius(light);
    const GizmoColour colour = GizmoColourOf(light);
    GizmoShape shaft;
    BuildGizmoArrowShaft(radius, colour, m, &shaft);
    DrawGizmoShape(&shaft);
    DevMenuDrawCone(kQuarterTurn, -4.0f * radius, colour, m);
}

void DevMenuDrawPointLight(RpLight *light)
{
    RwMatrix m;
    if (LightMatrix(light, &m)) {
        GizmoShape shape;
        BuildGizmoCircle(RpLightGetRadius(light), GizmoColourOf(light), m, &shape);
        DrawGizmoShape(&shape);
    }
}

void DevMenuDrawAmbientLight(RpLight *light)
{
    const RpWorld *world = DevMenuWorld();
    if (world == nullptr) {
        return;
    }
    GizmoShape shape;
    BuildGizmoBox(world->boundingBox, GizmoColourOf(light), &shape);
    DrawGizmoShape(&shape);
}

RpLight *DevMenuDrawLight(RpLight *light, void *)
{
    switch (RpLightGetType(light)) {
    case rpLIGHTDIRECTIONAL:
        DevMenuDrawDirectionalLight(light);
        break;
    case rpLIGHTAMBIENT:
        DevMenuDrawAmbientLight(light);
        break;
    case rpLIGHTPOINT:
        DevMenuDrawPointLight(light);
        break;
    case rpLIGHTSPOT:
    case rpLIGHTSPOTSOFT:
        DevMenuDrawSpotLight(light);
        break;
    default:
        break;  // a light of an unknown kind draws nothing
    }
    return light;
}

bool DevMenuRenderWorldLights(RpWorld *world, void *data)
{
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(1));
    RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDSRCALPHA));
    RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDINVSRCALPHA));
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    SetDepthTestAndWrite(false);
    if (world != nullptr) {
        RpWorldForAllLights(world, DevMenuDrawLight, data);
    }
    SetDepthTestAndWrite(true);
    return true;
}
