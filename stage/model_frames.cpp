// Frame, skeleton and atomic-flag lookups on models (see model_frames.h).
#include "stage/model_frames.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "rpusrdat.h"

namespace {

// Visits `frame` and then its descendants depth first until `visit` answers true.
template <typename Visit>
RwFrame *FindInFrames(RwFrame *frame, Visit &visit)
{
    if (frame == nullptr) {
        return nullptr;
    }
    if (visit(frame)) {
        return frame;
    }
    struct Walk {
        Visit *visit;
        RwFrame *found;
    } walk = {&visit, nullptr};
    RwFrameForAllChildren(
        frame,
        [](RwFrame *child, void *data) -> RwFrame * {
            auto *w = static_cast<Walk *>(data);
            w->found = FindInFrames(child, *w->visit);
            return w->found != nullptr ? nullptr : child;
        },
        &walk);
    return walk.found;
}

RwFrame *ClumpRoot(RpClump *clump) { return clump != nullptr ? RpClumpGetFrame(clump) : nullptr; }

}  // namespace

RpHAnimHierarchy *GetClumpHierarchy(RpClump *clump)
{
    auto owns = [](RwFrame *frame) { return RpHAnimFrameGetHierarchy(frame) != nullptr; };
    RwFrame *frame = FindInFrames(ClumpRoot(clump), owns);
    return frame != nullptr ? RpHAnimFrameGetHierarchy(frame) : nullptr;
}

uint32_t ClumpPoseChecksum(RpClump *clump)
{
    RwFrame *root = ClumpRoot(clump);
    uint32_t hash = 2166136261u;  // FNV-1a over the matrices' bytes
    auto mix = [&](RwFrame *frame) {
        if (frame != root) {
            const RwMatrix *m = RwFrameGetMatrix(frame);
            const RwV3d *rows[4] = {&m->right, &m->up, &m->at, &m->pos};
            for (const RwV3d *row : rows) {
                unsigned char bytes[sizeof(RwV3d)];
                std::memcpy(bytes, row, sizeof bytes);
                for (unsigned char byte : bytes) {
                    hash = (hash ^ byte) * 16777619u;
                }
            }
        }
        return false;
    };
    FindInFrames(root, mix);
    return root != nullptr ? hash : 0u;
}

bool GetFrameUserId(const RwFrame *frame, int32_t *id)
{
    const RwInt32 count = RpUserDataFrameGetNumArrays(frame);
    for (RwInt32 i = 0; i < count; ++i) {
        const RpUserDataArray *array = RpUserDataFrameGetArray(frame, i);
        if (array == nullptr || RpUserDataArrayGetName(array) == nullptr ||
            std::strcmp(RpUserDataArrayGetName(array), kUserPropertiesArrayName) != 0) {
            continue;
        }
        if (RpUserDataArrayGetFormat(array) != rpSTRINGUSERDATA || RpUserDataArrayGetNumElements(array) < 1) {
            return false;
        }
        const char *text = RpUserDataArrayGetString(array, 0);
        if (text == nullptr) {
            return false;
        }
        while (*text == ' ' || *text == '\t') {
            ++text;
        }
        const char *digits = (*text == '-' || *text == '+') ? text + 1 : text;
        if (!std::isdigit(static_cast<unsigned char>(*digits))) {
            return false;
        }
        errno = 0;
        const long value = std::strtol(text, nullptr, 10);
        if (errno != 0 || value < INT32_MIN || value > INT32_MAX) {
            return false;
        }
        *id = static_cast<int32_t>(value);
        return true;
    }
    return false;
}

RwFrame *FindFrameByUserId(RpClump *clump, int32_t id)
{
    auto matches = [id](RwFrame *frame) {
        int32_t own{};
        return GetFrameUserId(frame, &own) && own == id;
    };
    return FindInFrames(ClumpRoot(clump), matches);
}

RwFrame *FindFrameByUserId(RpHAnimHierarchy *hierarchy, int32_t id)
{
    if (hierarchy == nullptr || hierarchy->pNodeInfo == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < hierarchy->numNodes; ++i) {
        RwFrame *frame = hierarchy->pNodeInfo[i].pFrame;
        int32_t own{};
        if (frame != nullptr && GetFrameUserId(frame, &own) && own == id) {
            return frame;
        }
    }
    return nullptr;
}

RwFrame *FindFrameByNodeId(RpClump *clump, int32_t nodeId)
{
    if (nodeId == -1) {
        return nullptr;  // the id of frames that are no node
    }
    auto matches = [nodeId](RwFrame *frame) { return RpHAnimFrameGetID(frame) == nodeId; };
    return FindInFrames(ClumpRoot(clump), matches);
}

void SetClumpCollisionTest(RpClump *clump, bool on)
{
    if (clump == nullptr) {
        return;
    }
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            const bool set = *static_cast<bool *>(data);
            const RwUInt8 flags = RpAtomicGetFlags(atomic);
            RpAtomicSetFlags(atomic, static_cast<RwUInt8>(set ? flags | rpATOMICCOLLISIONTEST
                                                               : flags & ~rpATOMICCOLLISIONTEST));
            return atomic;
        },
        &on);
}

int32_t RefreshClumpCollisionTest(RpClump *clump)
{
    int32_t flagged = 0;
    if (clump == nullptr) {
        return 0;
    }
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            const RpGeometry *geometry = RpAtomicGetGeometry(atomic);
            bool invisible = false;
            if (geometry != nullptr) {
                for (RwInt32 m = 0; m < geometry->matList.numMaterials && !invisible; ++m) {
                    const RpMaterial *material = geometry->matList.materials[m];
                    invisible = material != nullptr && material->color.alpha == 0;
                }
            }
            const RwUInt8 flags = RpAtomicGetFlags(atomic);
            RpAtomicSetFlags(atomic, static_cast<RwUInt8>(invisible ? flags | rpATOMICCOLLISIONTEST
                                                                 : flags & ~rpATOMICCOLLISIONTEST));
            *static_cast<int32_t *>(data) += invisible ? 1 : 0;
            return atomic;
        },
        &flagged);
    return flagged;
}
