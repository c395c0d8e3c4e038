// Model templates and instances (see model_template.h).
#include "stage/model_template.h"

#include <cmath>

#include "actor/fsf_file.h"
#include "app/fatal.h"
#include "app/file.h"
#include "app/game_system.h"
#include "rpcollis.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_files.h"
#include "stage/model_frames.h"
#include "stage/stage_clumps.h"

namespace {

// AI types whose models are picked by their triangles, not their spheres.
bool PicksTriangles(int32_t aiType) { return aiType == 1003 || aiType == 1021; }

struct LinePick {
    RwLine line;
    RwReal nearest = 2.0f;  // fraction of the line
};

// The first fraction of the segment inside the sphere, or false.
bool SegmentEntersSphere(const RwLine &line, const RwSphere &sphere, RwReal *t)
{
    const RwV3d d = {line.end.x - line.start.x, line.end.y - line.start.y, line.end.z - line.start.z};
    const RwV3d m = {line.start.x - sphere.center.x, line.start.y - sphere.center.y, line.start.z - sphere.center.z};
    const RwReal c = m.x * m.x + m.y * m.y + m.z * m.z - sphere.radius * sphere.radius;
    if (c <= 0.0f) {
        *t = 0.0f;  // starts inside
        return true;
    }
    const RwReal a = d.x * d.x + d.y * d.y + d.z * d.z;
    const RwReal b = m.x * d.x + m.y * d.y + m.z * d.z;
    if (!(a > 0.0f) || b >= 0.0f) {
        return false;
    }
    const RwReal disc = b * b - a * c;
    if (disc < 0.0f) {
        return false;
    }
    const RwReal root = (-b - std::sqrt(disc)) / a;
    if (root > 1.0f) {
        return false;
    }
    *t = root;
    return true;
}

RpAtomic *PickSphere(RpAtomic *atomic, void *data)
{
    auto *pick = static_cast<LinePick *>(data);
    RwReal t = 0.0f;
    if (SegmentEntersSphere(pick->line, *RpAtomicGetWorldBoundingSphere(atomic), &t)) {
        pick->nearest = std::fmin(pick->nearest, t);
    }
    return atomic;
}

RpAtomic *PickTriangles(RpAtomic *atomic, void *data)
{
    auto *pick = static_cast<LinePick *>(data);
    if (RpAtomicGetGeometry(atomic) == nullptr) {
        return atomic;
    }
    RpIntersection query;
    query.type = rpINTERSECTLINE;
    query.t.line = pick->line;
    RpAtomicForAllIntersections(
        atomic, &query,
        [](RpIntersection *, RpCollisionTriangle *triangle, RwReal distance, void *d) {
            auto *p = static_cast<LinePick *>(d);
            p->nearest = std::fmin(p->nearest, std::fmax(distance, 0.0f));
            return triangle;
        },
        pick);
    return atomic;
}

}  // namespace

RwFrame *CSModelInstance::GetTaggedFrame(int32_t tag) const { return FindFrameByNodeId(clump, tag); }

bool CSModelInstance::PickTaggedPart(const CSModelInstance *own, const CSModelInstance *other, int32_t partId,
                                     float length, RwV3d *hit)
{
    if (own == nullptr || other == nullptr || other->clump == nullptr) {
        return false;
    }
    RwFrame *part = own->GetTaggedFrame(partId);
    if (part == nullptr) {
        return false;
    }
    const RwMatrix *ltm = RwFrameGetLTM(part);
    LinePick pick;
    pick.line.start = ltm->pos;
    pick.line.end = {ltm->pos.x + ltm->at.x * length, ltm->pos.y + ltm->at.y * length,
                     ltm->pos.z + ltm->at.z * length};
    const bool triangles = other->modelTemplate != nullptr && PicksTriangles(other->modelTemplate->GetAiType());
    RpClumpForAllAtomics(other->clump, triangles ? PickTriangles : PickSphere, &pick);
    if (pick.nearest > 1.0f) {
        return false;
    }
    if (hit != nullptr) {
        const RwLine &l = pick.line;
        *hit = {l.start.x + (l.end.x - l.start.x) * pick.nearest, l.start.y + (l.end.y - l.start.y) * pick.nearest,
                l.start.z + (l.end.z - l.start.z) * pick.nearest};
    }
    return true;
}

bool CSModelTemplate::Load(int32_t aiType, ModelFolder folder, const char *modelId, CSClumpAnimManager *animations,
                           int32_t instances)
{
    Release();
    const std::string model = ModelFilePath(folder, modelId, "DFF");
    RpClump *source = nullptr;
    {
        const RequiredFileRead required(model);  // the fatal report names it
        source = LoadClumpFile(model.c_str(), nullptr);
    }
    if (source == nullptr) {
        RaiseFatalError(model.c_str());
        return false;
    }
    const std::string animation = ModelFilePath(folder, modelId, "ANM");
    const bool animated = animations != nullptr && zufexists(animation.c_str()) &&
                          animations->LoadAMF(animation.c_str()) >= 0;
    const std::string animationName = std::string(modelId) + ".ANM";
    Adopt(aiType, source, animated ? animations : nullptr, animated ? animationName.c_str() : nullptr);
    modelFolder = folder;
    modelId_ = modelId;
    const std::string parameters = ModelFilePath(folder, modelId, "PAF");
    // Opened quietly: a figure without a .PAF takes the defaults (a
    // diagnostic line); a folder or an unreadable file in its place is named.
    ReadCharacterParamsFile(parameters.c_str(), &params, false);
    if (!LoadTemplateFsf(ModelFilePath(folder, modelId, "FSF").c_str(), &fsf)) {
        Release();
        return false;
    }
    for (int32_t i = 0; i < instances; ++i) {
        if (AddInstance() == nullptr) {
            break;
        }
    }
    return true;
}

bool CSModelTemplate::Adopt(int32_t aiType, RpClump *source, CSClumpAnimManager *animations, const char *animationName)
{
    Release();
    if (source == nullptr) {
        return false;
    }
    aiType_ = aiType;
    source_ = source;
    if (animations != nullptr && animationName != nullptr && animationName[0] != '\0') {
        animations_ = animations;
        animationName_ = animationName;
    }
    return true;
}

void CSModelTemplate::Release()
{
    for (const std::unique_ptr<CSModelInstance> &instance : instances_) {
        if (animations_ != nullptr) {
            animations_->DissolveClump(instance->clump);
        }
        DestroyStageClump(instance->clump);
    }
    instances_.clear();
    if (animations_ != nullptr) {
        animations_->ReleaseAnimation(animationName_.c_str());
    }
    animations_ = nullptr;
    animationName_.clear();
    if (source_ != nullptr) {
        DestroyStageClump(source_);
        source_ = nullptr;
    }
    aiType_ = -1;
    params = CharacterParams{};
    fsf = CFSF();
    modelId_.clear();
}

CSModelInstance *CSModelTemplate::GetInstance(int32_t index) const
{
    return index >= 0 && index < GetInstanceCount() ? instances_[static_cast<size_t>(index)].get() : nullptr;
}

CSModelInstance *CSModelTemplate::AddInstance()
{
    if (source_ == nullptr || GetInstanceCount() >= kMaxModelInstances) {
        return nullptr;
    }
    RpClump *clone = CloneStageClump(source_);
    if (clone == nullptr) {
        return nullptr;
    }
    if (animations_ != nullptr && animations_->AssignAnimation(clone, animationName_.c_str()) == 0) {
        DestroyStageClump(clone);
        return nullptr;
    }
    auto instance = std::make_unique<CSModelInstance>();
    instance->clump = clone;
    instance->modelTemplate = this;
    instances_.push_back(std::move(instance));
    return instances_.back().get();
}

CSModelInstance *CSModelTemplate::TakeInstance(AiObject *owner)
{
    CSModelInstance *taken = nullptr;
    for (const std::unique_ptr<CSModelInstance> &instance : instances_) {
        if (!instance->inUse) {
            taken = instance.get();
            break;
        }
    }
    if (taken == nullptr) {
        taken = AddInstance();
    }
    if (taken != nullptr) {
        taken->inUse = true;
        taken->owner = owner;
    }
    return taken;
}

void CSModelTemplate::GiveBack(CSModelInstance *instance)
{
    if (instance != nullptr) {
        instance->inUse = false;
        instance->owner = nullptr;
    }
}

const MotionRange *CSModelTemplate::GetMotionRange(int32_t index) const
{
    if (animations_ == nullptr) {
        return nullptr;
    }
    const AnimInfo *set = animations_->GetAnimInfo(animations_->FindAnimation(animationName_.c_str()));
    return set != nullptr ? set->motions.Find(index) : nullptr;
}
