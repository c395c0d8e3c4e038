// Texture-animated models (see xdt_model.h).
#include "fx/xdt_model.h"

#include <cmath>
#include <cstring>
#include <string>

#include "app/debug.h"
#include "app/textures.h"
#include "fx/fx_clumps.h"

// What copies of one loaded descriptor share.
struct XdtAnimation {
    XdtDesc desc;
    std::vector<RwTexture *> textures;  // one per flipbook frame (null: missing)
    RpMaterial *material = nullptr;     // the first textured material
    RpGeometry *scrolled = nullptr;     // the geometry whose coordinates scroll
    std::vector<RwTexCoords> baseUV;    // its own coordinates
    RpClump *source = nullptr;          // the loaded model (the first owner's)

    ~XdtAnimation()
    {
        for (RwTexture *texture : textures) {
            DestroyTexture(texture);
        }
    }
};

namespace {

struct FirstTextured {
    RpMaterial *material = nullptr;
    RpGeometry *geometry = nullptr;
};

void FindFirstTextured(RpClump *clump, FirstTextured *found)
{
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            auto *f = static_cast<FirstTextured *>(data);
            RpGeometry *g = RpAtomicGetGeometry(atomic);
            for (RwInt32 i = 0; g != nullptr && i < RpGeometryGetNumMaterials(g); ++i) {
                if (RpMaterialGetTexture(RpGeometryGetMaterial(g, i)) != nullptr) {
                    f->material = RpGeometryGetMaterial(g, i);
                    f->geometry = g;
                    return nullptr;
                }
            }
            return atomic;
        },
        found);
}

float Wrap01(float v) { return v - std::floor(v); }

}  // namespace

RpClump *CSXdtModel::LoadXdt(RpWorld *world, const char *path)
{
    if (clump_ != nullptr) {
        return clump_;
    }
    auto anim = std::make_shared<XdtAnimation>();
    if (!LoadXdtFile(path, &anim->desc)) {
        return nullptr;
    }
    char folder[256];
    FxFolderOf(path, folder, sizeof folder);
    const std::string modelPath = std::string(folder) + anim->desc.model;
    RpClump *clump = FxLoadClump(modelPath.c_str(), folder);
    if (clump == nullptr) {
        return nullptr;
    }
    RwImageSetPath(folder);
    for (const XdtFrame &frame : anim->desc.frames) {
        RwTexture *texture = LoadTextureWithMask(frame.texture, nullptr);
        if (texture == nullptr) {
            DebugPrint("CSXdtModel: %s: texture %s is missing\n", path, frame.texture);
        }
        anim->textures.push_back(texture);
    }
    FirstTextured first;
    FindFirstTextured(clump, &first);
    anim->material = first.material;
    if (first.geometry != nullptr && first.geometry->numTexCoordSets > 0 && first.geometry->texCoords[0] != nullptr &&
        (anim->desc.scrollU != 0.0f || anim->desc.scrollV != 0.0f)) {
        anim->scrolled = first.geometry;
        anim->baseUV.assign(first.geometry->texCoords[0], first.geometry->texCoords[0] + first.geometry->numVertices);
    }
    anim->source = clump;
    anim_ = std::move(anim);
    clump_ = clump;
    world_ = world;
    ResetTime();
    return clump_;
}

RpClump *CSXdtModel::CloneFrom(const CSXdtModel *source)
{
    if (source == nullptr || source->clump_ == nullptr) {
        return nullptr;
    }
    Release();
    clump_ = CloneStageClump(source->clump_);
    if (clump_ == nullptr) {
        return nullptr;
    }
    anim_ = source->anim_;
    world_ = source->world_;
    ResetTime();
    return clump_;
}

bool CSXdtModel::Advance(float ms)
{
    if (anim_ == nullptr || finished_) {
        return finished_;
    }
    timeMs_ += ms;
    const int64_t cycle = anim_->desc.CycleMs();
    if (anim_->desc.playCount > 0 && cycle > 0 &&
        timeMs_ >= static_cast<float>(cycle) * static_cast<float>(anim_->desc.playCount)) {
        timeMs_ = static_cast<float>(cycle) * static_cast<float>(anim_->desc.playCount);
        finished_ = true;
    }
    return finished_;
}

void CSXdtModel::ResetTime()
{
    timeMs_ = 0.0f;
    finished_ = false;
}

void CSXdtModel::Release()
{
    DestroyStageClump(clump_);  // none: nothing
    clump_ = nullptr;
    anim_.reset();
    world_ = nullptr;
    shown_ = false;
    ResetTime();
}

void CSXdtModel::Show(bool on)
{
    if (clump_ == nullptr) {
        return;
    }
    shown_ = on;
    if (world_ != nullptr) {
        if (on && RpClumpGetWorld(clump_) == nullptr) {
            RpWorldAddClump(world_, clump_);
        } else if (!on && RpClumpGetWorld(clump_) != nullptr) {
            RpWorldRemoveClump(world_, clump_);
        }
    }
}

void CSXdtModel::SetPosition(const RwV3d &at)
{
    if (clump_ != nullptr) {
        RwFrame *frame = RpClumpGetFrame(clump_);
        RwMatrix m = *RwFrameGetMatrix(frame);
        m.pos = at;
        RwMatrixUpdateFlags(&m, nullptr);
        RwFrameTransform(frame, &m, rwCOMBINEREPLACE);
    }
}

void CSXdtModel::SetMatrix(const RwMatrix *matrix)
{
    if (clump_ != nullptr && matrix != nullptr) {
        RwFrameTransform(RpClumpGetFrame(clump_), matrix, rwCOMBINEREPLACE);
    }
}

const XdtDesc *CSXdtModel::Desc() const { return anim_ != nullptr ? &anim_->desc : nullptr; }

int32_t CSXdtModel::FrameIndex() const
{
    if (anim_ == nullptr || anim_->desc.frames.empty()) {
        return 0;
    }
    const int64_t cycle = anim_->desc.CycleMs();
    int64_t t = static_cast<int64_t>(timeMs_);
    if (finished_) {
        return static_cast<int32_t>(anim_->desc.frames.size()) - 1;
    }
    // Within the cycle, the sum of the frames' times (each at least 1 ms):
    // the walk stops on a frame.
    t %= cycle;
    size_t i = 0;
    while (t >= anim_->desc.frames[i].ms) {
        t -= anim_->desc.frames[i].ms;
        ++i;
    }
    return static_cast<int32_t>(i);
}

RwTexCoords CSXdtModel::ScrollOffset() const
{
    if (anim_ == nullptr) {
        return {0.0f, 0.0f};
    }
    // Taken modulo 1 from the clock, so the offset never drifts from the
    // model's own mapping however long it scrolls.
    const double seconds = static_cast<double>(timeMs_) / 1000.0;
    return {Wrap01(static_cast<float>(std::fmod(seconds * anim_->desc.scrollU, 1.0))),
            Wrap01(static_cast<float>(std::fmod(seconds * anim_->desc.scrollV, 1.0)))};
}

void CSXdtModel::ApplyLook(RwTexture **savedTexture)
{
    XdtAnimation &a = *anim_;
    if (a.material != nullptr && !a.textures.empty()) {
        *savedTexture = a.material->texture;
        RwTexture *texture = a.textures[static_cast<size_t>(FrameIndex())];
        if (texture != nullptr) {
            a.material->texture = texture;
        }
    }
    if (a.scrolled != nullptr) {
        const RwTexCoords offset = ScrollOffset();
        RpGeometryLock(a.scrolled, rpGEOMETRYLOCKTEXCOORDS1);
        RwTexCoords *uv = a.scrolled->texCoords[0];
        for (size_t i = 0; i < a.baseUV.size(); ++i) {
            uv[i].u = a.baseUV[i].u + offset.u;
            uv[i].v = a.baseUV[i].v + offset.v;
        }
        RpGeometryUnlock(a.scrolled);
    }
}

void CSXdtModel::Render()
{
    if (!shown_ || clump_ == nullptr || anim_ == nullptr) {
        return;
    }
    RwTexture *saved = nullptr;
    ApplyLook(&saved);
    RpClumpRender(clump_);
    if (anim_->material != nullptr && saved != nullptr) {
        anim_->material->texture = saved;
    }
}
