// The sample scene camera (see scene_camera.h).
#include "tools/mkdata/scene_camera.h"

#include <cmath>
#include <filesystem>

#include "rphanim.h"
#include "stage/camera_math.h"
#include "tools/mkdata/model_writer.h"

namespace mkdata {
namespace {

constexpr RwInt32 kCameraNodeId = 1;
constexpr RwReal kKeyStep = 0.5f;
// A quarter turn around the target over the flight.
constexpr RwReal kSweepRadians = 1.5707964f;

}  // namespace

RwMatrix SceneCameraViewAt(RwReal seconds, const RwV3d &origin)
{
    const RwReal angle = kSweepRadians * seconds / kSceneCameraDuration;
    const RwV3d target = {kSceneCameraTarget.x + origin.x, kSceneCameraTarget.y + origin.y,
                          kSceneCameraTarget.z + origin.z};
    const RwV3d eye = {target.x + kSceneCameraRadius * std::sin(angle), kSceneCameraHeight + origin.y,
                       target.z - kSceneCameraRadius * std::cos(angle)};
    RwMatrix view{};
    CameraLookAt(eye, target, &view);
    return view;
}

RpClump *BuildSceneCameraClump(const RwV3d &origin)
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    RwFrame *camera = RwFrameCreate();
    if (clump == nullptr || root == nullptr || camera == nullptr) {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        if (root != nullptr) {
            RwFrameDestroy(root);
        }
        if (camera != nullptr) {
            RwFrameDestroy(camera);
        }
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    RwFrameAddChild(root, camera);
    const RwMatrix start = SceneCameraViewAt(0.0f, origin);
    RwFrameTransform(camera, &start, rwCOMBINEREPLACE);
    RpHAnimFrameSetID(camera, kCameraNodeId);
    RwUInt32 flags = 0;
    RwInt32 id = kCameraNodeId;
    RpHAnimHierarchy *hierarchy = RpHAnimHierarchyCreate(1, &flags, &id, 0, sizeof(RpHAnimInterpFrame));
    if (hierarchy == nullptr) {
        RpClumpDestroy(clump);
        return nullptr;
    }
    RpHAnimFrameSetHierarchy(root, hierarchy);
    RpHAnimHierarchyAttach(hierarchy);
    return clump;
}

RtAnimAnimation *BuildSceneCameraAnimation(const RwV3d &origin)
{
    const auto keys = static_cast<RwInt32>(std::lround(kSceneCameraDuration / kKeyStep)) + 1;
    RtAnimAnimation *animation = RtAnimAnimationCreate(rpHANIMSTDKEYFRAMETYPEID, keys, 0, kSceneCameraDuration);
    if (animation == nullptr) {
        return nullptr;
    }
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(animation->pFrames);
    for (RwInt32 k = 0; k < keys; ++k) {
        const RwReal time = kKeyStep * static_cast<RwReal>(k);
        const RwMatrix view = SceneCameraViewAt(time, origin);
        const CameraQuat q = QuatFromMatrix(view);
        frames[k].time = time;
        frames[k].q = {{q.x, q.y, q.z}, q.w};
        frames[k].t = view.pos;
        frames[k].prevFrame = static_cast<RwUInt32>(k == 0 ? 0 : k - 1);
    }
    return animation;
}

bool WriteSceneCameraFiles(const std::string &root)
{
    return WriteSceneCamera(root, SceneCameraModelName(), SceneCameraAnimName(), {0.0f, 0.0f, 0.0f});
}

bool WriteSceneCamera(const std::string &root, const char *model, const char *animationName, const RwV3d &origin)
{
    std::error_code error;
    const std::filesystem::path models = std::filesystem::path(root) / SceneCameraModelFolder();
    const std::filesystem::path anims = std::filesystem::path(root) / SceneCameraAnimFolder();
    std::filesystem::create_directories(models, error);
    std::filesystem::create_directories(anims, error);
    if (error) {
        return false;
    }
    RpClump *clump = BuildSceneCameraClump(origin);
    bool ok = clump != nullptr && WriteClumpFile(clump, (models / model).string().c_str());
    if (clump != nullptr) {
        RpClumpDestroy(clump);
    }
    RtAnimAnimation *animation = ok ? BuildSceneCameraAnimation(origin) : nullptr;
    if (animation != nullptr) {
        RwStream *stream =
            RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, (anims / animationName).string().c_str());
        ok = stream != nullptr && RtAnimAnimationStreamWrite(animation, stream) != nullptr;
        ok = stream != nullptr && RwStreamClose(stream, nullptr) && ok;
        RtAnimAnimationDestroy(animation);
    } else {
        ok = false;
    }
    return ok;
}

}  // namespace mkdata
