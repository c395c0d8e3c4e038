// Event models (see event_models.h) and the manager's shared models.
#include "event/event_models.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/game_system.h"
#include "app/path.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_objects.h"
#include "rpworld.h"

namespace {

RpAtomic *SetRenderFlag(RpAtomic *atomic, void *data)
{
    const bool on = *static_cast<const bool *>(data);
    const RwUInt8 flags = RpAtomicGetFlags(atomic);
    RpAtomicSetFlags(atomic, on ? (flags | rpATOMICRENDER) : (flags & ~rpATOMICRENDER));
    return atomic;
}

RpAtomic *FindShownAtomic(RpAtomic *atomic, void *data)
{
    if ((RpAtomicGetFlags(atomic) & rpATOMICRENDER) != 0) {
        *static_cast<bool *>(data) = true;
        return nullptr;
    }
    return atomic;
}

RpClump *CloneModel(RpClump *clump)
{
    if (g_pGameSystem != nullptr) {
        return g_pGameSystem->CloneClump(clump);
    }
    return RpClumpClone(clump);
}

RpClump *ReadModel(const char *name)
{
    const std::string root = GetDataRootPath();
    const std::string path = root + kEventModelFolder + name + ".DFF";
    const std::string textures = root + kEventModelTextureFolder;
    return LoadClumpFile(path.c_str(), textures.c_str());
}

struct BoxSum {
    RwBBox box;
    bool any;
};

RpAtomic *AddAtomicBox(RpAtomic *atomic, void *data)
{
    auto *sum = static_cast<BoxSum *>(data);
    const RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    if (geometry == nullptr || geometry->numMorphTargets < 1 || geometry->morphTarget == nullptr) {
        return atomic;
    }
    const RwV3d *vertices = geometry->morphTarget[0].verts;
    RwFrame *frame = RpAtomicGetFrame(atomic);
    const RwMatrix *ltm = frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
    for (RwInt32 i = 0; vertices != nullptr && i < geometry->numVertices; ++i) {
        RwV3d v = vertices[i];
        if (ltm != nullptr) {
            RwV3dTransformPoints(&v, &v, 1, ltm);
        }
        if (!sum->any) {
            sum->box.inf = sum->box.sup = v;
            sum->any = true;
        }
        sum->box.inf = {std::min(sum->box.inf.x, v.x), std::min(sum->box.inf.y, v.y), std::min(sum->box.inf.z, v.z)};
        sum->box.sup = {std::max(sum->box.sup.x, v.x), std::max(sum->box.sup.y, v.y), std::max(sum->box.sup.z, v.z)};
    }
    return atomic;
}

bool IsZeroOffset(const RwV3d &v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

}  // namespace

bool EventModelBounds(RpClump *clump, RwBBox *box)
{
    BoxSum sum = {};
    if (clump != nullptr) {
        RpClumpForAllAtomics(clump, AddAtomicBox, &sum);
    }
    *box = sum.box;
    return sum.any;
}

// ---- the manager's shared models ----

RpClump *CSEventManager::FindSharedModel(const char *name) const
{
    for (const auto &entry : sharedModels_) {
        if (entry.first == name) {
            return CloneModel(entry.second);
        }
    }
    return nullptr;
}

void CSEventManager::AddSharedModel(const char *name, RpClump *clump) { sharedModels_.emplace_back(name, clump); }

void CSEventManager::ReleaseSharedModels() { sharedModels_.clear(); }

bool CSEventManager::LoadEventModels(EventRecord *record, const char *const *names, int32_t count)
{
    if (record == nullptr || count <= 0) {
        return false;
    }
    FreeEventBlock(record->Models);
    record->Models = NewEventBlock<RpClump *>(static_cast<size_t>(count));
    record->ModelNum = count;
    for (int32_t i = 0; i < count; ++i) {
        const char *name = names[i];
        if (name == nullptr || std::strcmp(name, "none") == 0) {
            break;
        }
        RpClump *clump = FindSharedModel(name);
        if (clump == nullptr) {
            clump = ReadModel(name);
            if (clump == nullptr) {
                break;
            }
            AddSharedModel(name, clump);
        }
        // A copy of a model already in a world stays where it is.
        RpWorld *world = g_eventLinks.world != nullptr ? g_eventLinks.world() : nullptr;
        if (world != nullptr && RpClumpGetWorld(clump) == nullptr) {
            RpWorldAddClump(world, clump);
        }
        ShowEventModel(clump, true);
        record->Models[i] = clump;
    }
    if (record->Models[0] != nullptr) {
        PlaceEventModel(record, record->Models[0]);
    }
    return record->Models[0] != nullptr;
}

// ---- the events' routines ----

void LoadEventModel(EventRecord *record)
{
    const char *names[1] = {record->Label != nullptr ? record->Label : "none"};
    if (record->manager != nullptr) {
        record->manager->LoadEventModels(record, names, 1);
    }
}

void PlaceEventModel(EventRecord *record, RpClump *clump)
{
    RwFrame *frame = clump != nullptr ? RpClumpGetFrame(clump) : nullptr;
    if (frame == nullptr) {
        return;
    }
    RwMatrix *matrix = RwFrameGetMatrix(frame);
    EventPlacement &placement = record->Placement;
    if (!IsZeroOffset(placement.position)) {
        matrix->pos = placement.position;
    }
    matrix->at = placement.at;
    matrix->up = placement.up;
    RwV3dCrossProduct(&matrix->right, &placement.up, &placement.at);
    RwMatrixUpdateFlags(matrix, nullptr);
    RwFrameMarkDirty(frame);
    placement.livePosition = &matrix->pos;
    placement.centre = matrix->pos;
    placement.radius = kEventSphereRadius;
}

void ShowEventModel(RpClump *clump, bool on)
{
    if (clump != nullptr) {
        RpClumpForAllAtomics(clump, SetRenderFlag, &on);
    }
}

bool IsEventModelShown(const RpClump *clump)
{
    bool shown = false;
    if (clump != nullptr) {
        RpClumpForAllAtomics(const_cast<RpClump *>(clump), FindShownAtomic, &shown);
    }
    return shown;
}

bool EventModelsInView(const EventRecord *record)
{
    return EventInView(record->Placement.centre, record->Placement.radius);
}

void DrawEventModel(RpClump *clump, bool fading)
{
    if (clump == nullptr || !IsEventModelShown(clump)) {
        return;
    }
    if (fading && g_eventLinks.renderClumpWithFade != nullptr) {
        g_eventLinks.renderClumpWithFade(clump, 0.5f);
    } else if (g_eventLinks.renderClump != nullptr) {
        g_eventLinks.renderClump(clump);
    }
}

void DrawEventModels(const EventRecord *record, bool fading)
{
    for (int32_t i = 0; record->Models != nullptr && i < record->ModelNum; ++i) {
        DrawEventModel(record->Models[i], fading);
    }
}

void LoadFirstEvent(EventRecord *record)
{
    LoadEventModel(record);
    if (!IsZeroOffset(record->Circle.centre)) {
        record->Placement.centre = record->Circle.centre;
    }
}

void RenderFirstEvent(EventRecord *record)
{
    if (record->Models != nullptr && record->ModelNum > 0 && EventModelsInView(record)) {
        DrawEventModel(record->Models[0], true);
    }
}

void Render79041500(EventRecord *record) { DrawEventModels(record, true); }

void Render79050300(EventRecord *record)
{
    const auto *door = static_cast<const CSDoorEvent *>(record);
    if (door->DrawAfterEnd == 0 && record->OccurCount >= 1) {
        return;
    }
    if (record->Models != nullptr && record->ModelNum > 0 && EventModelsInView(record)) {
        DrawEventModel(record->Models[0], false);
    }
}

void Render79101100(EventRecord *record)
{
    if (record->IsOccur == 0 && record->OccurCount < 1) {
        return;
    }
    if (EventModelsInView(record)) {
        DrawEventModels(record, true);
    }
}
