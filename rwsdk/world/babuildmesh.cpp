// Build meshes (triangles tagged with material, texture, raster and
// pipeline ranks), their sort order, the tri-list generator with its
// vertex-disjoint reordering, and the generation step that unlock calls.
#include <algorithm>
#include <cstring>

#include "rwerror.h"
#include "rwmemory.h"
#include "world/bamesh.h"
#include "world/bamodules.h"
#include "world/batristrip.h"

RpBuildMesh *RpBuildMeshCreate(RwUInt32 bufferSize)
{
    auto *mesh = static_cast<RpBuildMesh *>(RwFreeListEntryAlloc(rpBuildMeshGetFreeList()));
    if (mesh == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    mesh->triangleBufferSize = 0;
    mesh->numTriangles = 0;
    mesh->meshTriangles = nullptr;
    if (bufferSize > 0) {
        mesh->meshTriangles =
            static_cast<RpBuildMeshTriangle *>(RpMeshAllocate(sizeof(RpBuildMeshTriangle) * bufferSize));
        if (mesh->meshTriangles == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            RwFreeListEntryFree(rpBuildMeshGetFreeList(), mesh);
            return nullptr;
        }
        mesh->triangleBufferSize = bufferSize;
    }
    return mesh;
}

RpBuildMesh *RpBuildMeshAddTriangle(RpBuildMesh *mesh, RpMaterial *material, RwInt32 vert1, RwInt32 vert2,
                                    RwInt32 vert3, RwUInt16 matIndex, RwUInt16 textureIndex,
                                    RwUInt16 rasterIndex, RwUInt16 pipelineIndex)
{
    if (mesh->numTriangles == mesh->triangleBufferSize) {
        RwUInt32 grown = mesh->triangleBufferSize + 1;
        size_t bytes = sizeof(RpBuildMeshTriangle) * grown;
        auto *space = static_cast<RpBuildMeshTriangle *>(
            mesh->meshTriangles == nullptr ? RpMeshAllocate(bytes) : RwRealloc(mesh->meshTriangles, bytes));
        if (space == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        mesh->meshTriangles = space;
        mesh->triangleBufferSize = grown;
    }
    RpBuildMeshTriangle &t = mesh->meshTriangles[mesh->numTriangles++];
    t.vertIndex[0] = static_cast<RwUInt16>(vert1);
    t.vertIndex[1] = static_cast<RwUInt16>(vert2);
    t.vertIndex[2] = static_cast<RwUInt16>(vert3);
    t.material = material;
    t.matIndex = matIndex;
    t.textureIndex = textureIndex;
    t.rasterIndex = rasterIndex;
    t.pipelineIndex = pipelineIndex;
    return mesh;
}

RwBool RpBuildMeshDestroy(RpBuildMesh *mesh)
{
    if (mesh->meshTriangles != nullptr) {
        RwFree(mesh->meshTriangles);
    }
    RwFreeListEntryFree(rpBuildMeshGetFreeList(), mesh);
    return TRUE;
}

static RwInt32 Rank(const RpBuildMeshTriangle *t)
{
    return rpMaterialIsTranslucent(t->material) ? 1 : 0;
}

// Lexicographic over (translucency, raster, pipeline, texture, material
// index): the same order as weighing each larger field by a power of two.
RwInt32 RpBuildMeshTriangleCompare(const RpBuildMeshTriangle *a, const RpBuildMeshTriangle *b)
{
    if (a->material == b->material) {
        return 0;
    }
    const RwInt32 keysA[5] = {Rank(a), a->rasterIndex, a->pipelineIndex, a->textureIndex, a->matIndex};
    const RwInt32 keysB[5] = {Rank(b), b->rasterIndex, b->pipelineIndex, b->textureIndex, b->matIndex};
    for (int i = 0; i < 5; ++i) {
        if (keysA[i] != keysB[i]) {
            return keysA[i] < keysB[i] ? -1 : 1;
        }
    }
    // Distinct materials with equal ranks only come from a caller that gave
    // two materials one list index; their address keeps the order strict.
    return a->material < b->material ? -1 : 1;
}

struct MaterialLowIndex {
    const RpMaterial *material;
    RwUInt16 low;
};

// A material may fill several slots of one list, and its triangles may then
// carry different indices although they must share one mesh. Giving each
// material its lowest index makes "same material" and "equal keys" agree,
// so the comparison is an ordering and the groups stay contiguous.
static void CanonicaliseMaterialIndices(RpBuildMesh *mesh, MaterialLowIndex *table)
{
    RpBuildMeshTriangle *t = mesh->meshTriangles;
    RwUInt32 distinct = 0;
    for (RwUInt32 i = 0; i < mesh->numTriangles; ++i) {
        RwUInt32 d = 0;
        while (d < distinct && table[d].material != t[i].material) {
            ++d;
        }
        if (d == distinct) {
            table[distinct++] = {t[i].material, t[i].matIndex};
        } else if (t[i].matIndex < table[d].low) {
            table[d].low = t[i].matIndex;
        }
    }
    for (RwUInt32 i = 0; i < mesh->numTriangles; ++i) {
        RwUInt32 d = 0;
        while (table[d].material != t[i].material) {
            ++d;
        }
        t[i].matIndex = table[d].low;
    }
}

RpBuildMeshTriangle **rpBuildMeshSortTriangles(RpBuildMesh *mesh)
{
    RwUInt32 n = mesh->numTriangles;
    auto **order = static_cast<RpBuildMeshTriangle **>(
        RpMeshAllocate((sizeof(RpBuildMeshTriangle *) + sizeof(MaterialLowIndex)) * n));
    if (order == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    CanonicaliseMaterialIndices(mesh, reinterpret_cast<MaterialLowIndex *>(order + n));
    for (RwUInt32 i = 0; i < n; ++i) {
        order[i] = &mesh->meshTriangles[i];
    }
    // Equal triangles keep their order, so the result does not depend on
    // the sort algorithm.
    std::sort(order, order + n, [](const RpBuildMeshTriangle *a, const RpBuildMeshTriangle *b) {
        RwInt32 c = RpBuildMeshTriangleCompare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return order;
}

RwUInt32 rpBuildMeshCountGroups(RpBuildMeshTriangle *const *order, RwUInt32 count)
{
    RwUInt32 groups = 0;
    for (RwUInt32 i = 0; i < count; ++i) {
        if (i == 0 || order[i]->material != order[i - 1]->material) {
            ++groups;
        }
    }
    return groups;
}

RwBool RpMeshReorderTriList(RwUInt16 *indices, RwUInt32 numIndices)
{
    RwUInt32 numTriangles = numIndices / 3;
    if (numTriangles < 2) {
        return TRUE;
    }
    RwUInt32 highest = 0;
    for (RwUInt32 i = 0; i < numIndices; ++i) {
        highest |= indices[i];
    }
    RwUInt32 words = (highest + 32) / 32;
    size_t bytes = sizeof(RwUInt32) * words + sizeof(RwUInt16) * numIndices + numTriangles;
    auto *scratch = static_cast<RwUInt8 *>(RpMeshAllocate(bytes));
    if (scratch == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    auto *marks = reinterpret_cast<RwUInt32 *>(scratch);
    auto *placedOrder = reinterpret_cast<RwUInt16 *>(scratch + sizeof(RwUInt32) * words);
    RwUInt8 *placed = scratch + sizeof(RwUInt32) * words + sizeof(RwUInt16) * numIndices;
    std::memset(placed, 0, numTriangles);
    RwUInt32 done = 0;
    while (done < numTriangles) {
        std::memset(marks, 0, sizeof(RwUInt32) * words);
        for (RwUInt32 t = 0; t < numTriangles; ++t) {
            if (placed[t] != 0) {
                continue;
            }
            const RwUInt16 *v = &indices[3 * t];
            RwBool touched = FALSE;
            for (int k = 0; k < 3; ++k) {
                touched |= (marks[v[k] >> 5] >> (v[k] & 31)) & 1u;
            }
            if (touched) {
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                marks[v[k] >> 5] |= 1u << (v[k] & 31);
                placedOrder[3 * done + k] = v[k];
            }
            placed[t] = 1;
            ++done;
        }
    }
    std::memcpy(indices, placedOrder, sizeof(RwUInt16) * numIndices);
    RwFree(scratch);
    return TRUE;
}

RpMeshHeader *RpBuildMeshGenerateTriList(RpBuildMesh *buildMesh, void *)
{
    RwUInt32 count = buildMesh->numTriangles;
    RpBuildMeshTriangle **order = rpBuildMeshSortTriangles(buildMesh);
    if (order == nullptr) {
        return nullptr;
    }
    RwUInt32 groups = rpBuildMeshCountGroups(order, count);
    RpMeshHeader *header = rpMeshHeaderAllocate(groups, 3 * count);
    if (header == nullptr) {
        RwFree(order);
        return nullptr;
    }
    header->flags = rpMESHHEADERTRILIST;
    RpMesh *mesh = RpMeshHeaderGetMeshes(header) - 1;
    RwUInt16 *next = rpMeshHeaderIndexArea(header);
    for (RwUInt32 i = 0; i < count; ++i) {
        if (i == 0 || order[i]->material != order[i - 1]->material) {
            ++mesh;
            mesh->indices = next;
            mesh->numIndices = 0;
            mesh->material = order[i]->material;
        }
        for (int k = 0; k < 3; ++k) {
            *next++ = order[i]->vertIndex[k];
        }
        mesh->numIndices += 3;
    }
    RwFree(order);
    RpMesh *meshes = RpMeshHeaderGetMeshes(header);
    for (RwUInt32 m = 0; m < groups; ++m) {
        if (!RpMeshReorderTriList(meshes[m].indices, meshes[m].numIndices)) {
            RpMeshHeaderDestroy(header);
            return nullptr;
        }
    }
    return header;
}

RpMeshHeader *RpBuildMeshGenerate(RpBuildMesh *buildMesh, RwBool triStrip)
{
    if (buildMesh == nullptr) {
        return nullptr;
    }
    if (buildMesh->numTriangles == 0) {
        RpBuildMeshDestroy(buildMesh);
        return RpMeshGetEmptyHeader();
    }
    RpMeshHeader *header = triStrip ? RpBuildMeshGenerateTriStrip(buildMesh, nullptr)
                                    : RpBuildMeshGenerateTriList(buildMesh, nullptr);
    if (header != nullptr) {
        RpBuildMeshDestroy(buildMesh);
    }
    return header;
}
