// The first stage's lights model (see stage_lights.h): every light hangs on
// a frame of its own under the clump's root, so the game can move or aim
// each one; the clump goes out through the maker's clump writer.
#include "tools/mkdata/stage_lights.h"

#include <cmath>

#include "tools/mkdata/model_writer.h"

namespace mkdata {
namespace {

RwV3d Normalized(RwV3d v)
{
    const RwReal length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

RwV3d CrossProduct(const RwV3d &a, const RwV3d &b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A frame at `position` whose at-axis points along `direction`.
RwFrame *AimedFrame(const RwV3d &position, const RwV3d &direction)
{
    RwFrame *frame = RwFrameCreate();
    if (frame == nullptr) {
        return nullptr;
    }
    RwMatrix m{};
    m.at = Normalized(direction);
    // Any up that is not along the at-axis does; the sun never shines straight down.
    m.right = Normalized(CrossProduct({0.0f, 1.0f, 0.0f}, m.at));
    m.up = CrossProduct(m.at, m.right);
    m.pos = position;
    m.flags = rwMATRIXTYPEORTHONORMAL;
    RwFrameTransform(frame, &m, rwCOMBINEREPLACE);
    return frame;
}

bool AddLight(RpClump *clump, const StageLightPlan &plan)
{
    RwFrame *frame = AimedFrame(plan.position, plan.direction);
    RpLight *light = frame != nullptr ? RpLightCreate(plan.type) : nullptr;
    if (light == nullptr) {
        if (frame != nullptr) {
            RwFrameDestroy(frame);
        }
        return false;
    }
    RwFrameAddChild(RpClumpGetFrame(clump), frame);
    RpLightSetColor(light, &plan.color);
    if (plan.type == rpLIGHTPOINT) {
        RpLightSetRadius(light, plan.radius);
    }
    RpLightSetFrame(light, frame);
    RpClumpAddLight(clump, light);
    return true;
}

}  // namespace

const StageLightPlan &StageLight(int index)
{
    static const StageLightPlan lights[kStageLightCount] = {
        {rpLIGHTAMBIENT, {0.30f, 0.30f, 0.34f, 1.0f}, 0.0f, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
        {rpLIGHTDIRECTIONAL, {0.85f, 0.80f, 0.68f, 1.0f}, 0.0f, {0.0f, 100.0f, 0.0f}, {0.45f, -0.8f, 0.35f}},
        {rpLIGHTPOINT, {1.0f, 0.55f, 0.25f, 1.0f}, 120.0f, {-100.0f, 15.0f, 100.0f}, {0.0f, 0.0f, 1.0f}},
    };
    return lights[index];
}

RpClump *BuildStageLightsClump()
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = clump != nullptr ? RwFrameCreate() : nullptr;
    if (root == nullptr) {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    for (int i = 0; i < kStageLightCount; ++i) {
        if (!AddLight(clump, StageLight(i))) {
            RpClumpDestroy(clump);
            return nullptr;
        }
    }
    return clump;
}

bool WriteStageLights(const std::string &path)
{
    RpClump *clump = BuildStageLightsClump();
    if (clump == nullptr) {
        return false;
    }
    const bool ok = WriteClumpFile(clump, path.c_str());
    RpClumpDestroy(clump);
    return ok;
}

}  // namespace mkdata
