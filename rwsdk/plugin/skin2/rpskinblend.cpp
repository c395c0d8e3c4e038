// Bone matrices and vertex blending. A bone matrix takes a vertex from the
// bind pose to its posed place in the atomic's own frame space, so it
// depends on the atomic's placement as well as on the hierarchy: the shared
// buffer is reused only for the same hierarchy, render frame and atomic
// world matrix. Every vertex then takes one bone, or the weighted sum of
// up to four, as its weights ask.
#include <cstring>

#include "rpskinpriv.h"
#include "rwcore.h"

namespace {

// What the shared buffer currently holds.
struct BoneCache {
    const RpHAnimHierarchy *hierarchy;
    RwUInt16 renderFrame;
    RwBool valid;
    RwMatrix atomicLTM;
    RwUInt32 builds;
};

BoneCache cache = {nullptr, 0, FALSE, {}, 0};

RwBool SameMatrix(const RwMatrix &a, const RwMatrix &b)
{
    return std::memcmp(&a.right, &b.right, sizeof(RwV3d)) == 0 && std::memcmp(&a.up, &b.up, sizeof(RwV3d)) == 0 &&
           std::memcmp(&a.at, &b.at, sizeof(RwV3d)) == 0 && std::memcmp(&a.pos, &b.pos, sizeof(RwV3d)) == 0;
}

void TransformPoint(RwV3d *out, const RwV3d &p, const RwMatrix &m)
{
    *out = {p.x * m.right.x + p.y * m.up.x + p.z * m.at.x + m.pos.x,
            p.x * m.right.y + p.y * m.up.y + p.z * m.at.y + m.pos.y,
            p.x * m.right.z + p.y * m.up.z + p.z * m.at.z + m.pos.z};
}

void TransformDirection(RwV3d *out, const RwV3d &n, const RwMatrix &m)
{
    *out = {n.x * m.right.x + n.y * m.up.x + n.z * m.at.x, n.x * m.right.y + n.y * m.up.y + n.z * m.at.y,
            n.x * m.right.z + n.y * m.up.z + n.z * m.at.z};
}

// Adds weight x (the vertex through bone matrix m) into the running sums.
void Accumulate(RwV3d *p, RwV3d *n, const RwV3d &pIn, const RwV3d *nIn, const RwMatrix &m, RwReal weight)
{
    RwV3d t;
    TransformPoint(&t, pIn, m);
    RwV3dIncrementScaled(p, &t, weight);
    if (nIn != nullptr) {
        TransformDirection(&t, *nIn, m);
        RwV3dIncrementScaled(n, &t, weight);
    }
}

RwUInt8 Bone(RwUInt32 indices, RwInt32 k) { return static_cast<RwUInt8>(indices >> (8 * k)); }

}  // namespace

RwUInt32 RpSkinGetBoneMatrixBuildCount(void) { return cache.builds; }

void rpSkinResetBoneCache(void) { cache = {nullptr, 0, FALSE, {}, 0}; }

const RwMatrix *RpSkinBuildBoneMatrices(RpAtomic *atomic)
{
    rpSkinGlobals *globals = rpSkinGetGlobals();
    RpSkin *skin = atomic != nullptr ? RpSkinGeometryGetSkin(atomic->geometry) : nullptr;
    RpHAnimHierarchy *hierarchy = atomic != nullptr ? RpSkinAtomicGetHierarchy(atomic) : nullptr;
    if (skin == nullptr || hierarchy == nullptr || globals->boneMatrices == nullptr) {
        return nullptr;
    }
    RwUInt32 flags = hierarchy->flags;
    RwBool noArray = (flags & rpHANIMHIERARCHYNOMATRICES) || hierarchy->pMatrixArray == nullptr;
    // Bone i is node i: a hierarchy with fewer nodes than bones cannot pose
    // the skin, and no more bones than the buffer holds are ever built.
    if (hierarchy->numNodes < skin->numBones || skin->numBones > rpSKINMAXBONES ||
        (noArray && hierarchy->pNodeInfo == nullptr)) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RwBool local = !noArray && (flags & rpHANIMHIERARCHYLOCALSPACEMATRICES);
    RwMatrix atomicLTM;
    RwFrame *frame = RpAtomicGetFrame(atomic);
    if (frame != nullptr) {
        atomicLTM = *RwFrameGetLTM(frame);
    } else {
        RwMatrixSetIdentity(&atomicLTM);
    }
    RwUInt16 renderFrame = RwEngineInst->renderFrame;
    if (cache.valid && cache.hierarchy == hierarchy && cache.renderFrame == renderFrame &&
        (local || SameMatrix(cache.atomicLTM, atomicLTM))) {
        return globals->boneMatrices;
    }
    RwMatrix toAtomic;
    if (RwMatrixInvert(&toAtomic, &atomicLTM) == nullptr) {
        RwMatrixSetIdentity(&toAtomic);
    }
    for (RwInt32 i = 0; i < skin->numBones; ++i) {
        const RwMatrix &skinToBone = skin->skinToBoneMatrices[i];
        RwMatrix posed;
        if (local) {
            RwMatrixMultiply(&globals->boneMatrices[i], &skinToBone, &hierarchy->pMatrixArray[i]);
            continue;
        }
        if (noArray) {
            RwFrame *node = hierarchy->pNodeInfo[i].pFrame;
            RwMatrix identity;
            RwMatrixSetIdentity(&identity);
            RwMatrixMultiply(&posed, &skinToBone, node != nullptr ? RwFrameGetLTM(node) : &identity);
        } else {
            RwMatrixMultiply(&posed, &skinToBone, &hierarchy->pMatrixArray[i]);
        }
        RwMatrixMultiply(&globals->boneMatrices[i], &posed, &toAtomic);
    }
    cache = {hierarchy, renderFrame, TRUE, atomicLTM, cache.builds + 1};
    return globals->boneMatrices;
}

RwBool RpSkinBlendVertices(const RpSkin *skin, const RpGeometry *geometry, const RwMatrix *bones, void *vertices,
                           RwUInt32 stride)
{
    if (skin == nullptr || geometry == nullptr || bones == nullptr || vertices == nullptr ||
        geometry->numMorphTargets < 1 || skin->numVertices < geometry->numVertices || stride < sizeof(RwV3d)) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    const RpMorphTarget *target = &geometry->morphTarget[0];
    RwBool normals = (geometry->flags & rpGEOMETRYNORMALS) && target->normals != nullptr &&
                     stride >= 2 * sizeof(RwV3d);
    RwInt32 maxWeights = skin->maxNumWeightsForVertex;
    RwBool oneBone = maxWeights < 2 && skin->numUsedBones == 1;
    auto *out = static_cast<RwUInt8 *>(vertices);
    for (RwInt32 v = 0; v < geometry->numVertices; ++v, out += stride) {
        const RwV3d &p = target->verts[v];
        const RwV3d *n = normals ? &target->normals[v] : nullptr;
        const RwMatrixWeights &w = skin->vertexBoneWeights[v];
        RwUInt32 indices = skin->vertexBoneIndices[v];
        RwV3d blendedP = {0.0f, 0.0f, 0.0f};
        RwV3d blendedN = {0.0f, 0.0f, 0.0f};
        if (oneBone) {
            Accumulate(&blendedP, &blendedN, p, n, bones[skin->usedBones[0]], 1.0f);
        } else if (maxWeights < 2 || w.w0 >= 1.0f) {
            Accumulate(&blendedP, &blendedN, p, n, bones[Bone(indices, 0)], 1.0f);
        } else {
            Accumulate(&blendedP, &blendedN, p, n, bones[Bone(indices, 0)], w.w0);
            Accumulate(&blendedP, &blendedN, p, n, bones[Bone(indices, 1)], w.w1);
            if (maxWeights > 2 && w.w2 > 0.0f) {
                Accumulate(&blendedP, &blendedN, p, n, bones[Bone(indices, 2)], w.w2);
                if (w.w3 > 0.0f) {
                    Accumulate(&blendedP, &blendedN, p, n, bones[Bone(indices, 3)], w.w3);
                }
            }
        }
        std::memcpy(out, &blendedP, sizeof(RwV3d));
        if (normals) {
            std::memcpy(out + sizeof(RwV3d), &blendedN, sizeof(RwV3d));
        }
    }
    return TRUE;
}

RpAtomic *RpSkinAtomicBlendVertices(RpAtomic *atomic, void *vertices, RwUInt32 stride)
{
    const RwMatrix *bones = RpSkinBuildBoneMatrices(atomic);
    if (bones == nullptr || !RpSkinBlendVertices(RpSkinGeometryGetSkin(atomic->geometry), atomic->geometry, bones,
                                                 vertices, stride)) {
        return nullptr;
    }
    return atomic;
}
