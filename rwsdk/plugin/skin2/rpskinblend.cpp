// Bone matrices and vertex blending. A bone matrix takes a vertex from the
// bind pose to its posed place in the atomic's own frame space, so it
// depends on the atomic's placement as well as on the hierarchy: the shared
// buffer is reused only for the same hierarchy, render frame and atomic
// world matrix. Every vertex then takes one bone, or the weighted sum of
// up to four, as its weights ask.
#include <cstring>

#include <xmmintrin.h>
#include <emmintrin.h>

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

// A vertex's blend in vector lanes x, y, z (the fourth lane stays zero): every lane goes
// through the operations of the one-component sums, in the same order, so the results are
// the same bit for bit, a quarter of the instructions.
struct BlendRows {
    __m128 right, up, at, pos;
};

// The rows of bone matrix m, their fourth words (flags and padding, which read as tiny
// floats that would slow the arithmetic down) cleared.
BlendRows BoneRows(const RwMatrix &m)
{
    const __m128 xyz = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
    return {_mm_and_ps(_mm_loadu_ps(&m.right.x), xyz), _mm_and_ps(_mm_loadu_ps(&m.up.x), xyz),
            _mm_and_ps(_mm_loadu_ps(&m.at.x), xyz), _mm_and_ps(_mm_loadu_ps(&m.pos.x), xyz)};
}

__m128 VectorOf(const RwV3d &v) { return _mm_set_ps(0.0f, v.z, v.y, v.x); }

// Adds weight x (the vertex through bone matrix m) into the running sums: the point is
// x * right + y * up + z * at + pos, the normal the same without pos.
void Accumulate(__m128 *p, __m128 *n, __m128 pIn, const __m128 *nIn, const RwMatrix &m, RwReal weight)
{
    const BlendRows r = BoneRows(m);
    const __m128 w = _mm_set1_ps(weight);
    const __m128 px = _mm_shuffle_ps(pIn, pIn, 0x00), py = _mm_shuffle_ps(pIn, pIn, 0x55),
                 pz = _mm_shuffle_ps(pIn, pIn, 0xAA);
    const __m128 t = _mm_add_ps(
        _mm_add_ps(_mm_add_ps(_mm_mul_ps(px, r.right), _mm_mul_ps(py, r.up)), _mm_mul_ps(pz, r.at)), r.pos);
    *p = _mm_add_ps(*p, _mm_mul_ps(t, w));
    if (nIn != nullptr) {
        const __m128 nx = _mm_shuffle_ps(*nIn, *nIn, 0x00), ny = _mm_shuffle_ps(*nIn, *nIn, 0x55),
                     nz = _mm_shuffle_ps(*nIn, *nIn, 0xAA);
        const __m128 d = _mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, r.right), _mm_mul_ps(ny, r.up)), _mm_mul_ps(nz, r.at));
        *n = _mm_add_ps(*n, _mm_mul_ps(d, w));
    }
}

// The three lanes x, y, z of v at out (which need not be aligned).
void StoreVector(RwUInt8 *out, __m128 v)
{
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, v);
    std::memcpy(out, lanes, sizeof(RwV3d));
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
        const __m128 p = VectorOf(target->verts[v]);
        const __m128 normal = normals ? VectorOf(target->normals[v]) : _mm_setzero_ps();
        const __m128 *n = normals ? &normal : nullptr;
        const RwMatrixWeights &w = skin->vertexBoneWeights[v];
        RwUInt32 indices = skin->vertexBoneIndices[v];
        // The bones and weights the vertex takes, then their sums in that order (one call
        // of the blend, which the compiler puts in line).
        const RwMatrix *bone[4];
        RwReal weight[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        RwInt32 taken = 1;
        if (oneBone) {
            bone[0] = &bones[skin->usedBones[0]];
        } else if (maxWeights < 2 || w.w0 >= 1.0f) {
            bone[0] = &bones[Bone(indices, 0)];
        } else {
            bone[0] = &bones[Bone(indices, 0)], weight[0] = w.w0;
            bone[1] = &bones[Bone(indices, 1)], weight[1] = w.w1;
            taken = 2;
            if (maxWeights > 2 && w.w2 > 0.0f) {
                bone[2] = &bones[Bone(indices, 2)], weight[2] = w.w2;
                taken = 3;
                if (w.w3 > 0.0f) {
                    bone[3] = &bones[Bone(indices, 3)], weight[3] = w.w3;
                    taken = 4;
                }
            }
        }
        __m128 blendedP = _mm_setzero_ps();
        __m128 blendedN = _mm_setzero_ps();
        for (RwInt32 k = 0; k < taken; ++k) {
            Accumulate(&blendedP, &blendedN, p, n, *bone[k], weight[k]);
        }
        StoreVector(out, blendedP);
        if (normals) {
            StoreVector(out + sizeof(RwV3d), blendedN);
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
