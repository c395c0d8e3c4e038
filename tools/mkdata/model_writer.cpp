// The model chunk writers of the sample-data maker (see model_writer.h).
#include "tools/mkdata/model_writer.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

namespace mkdata {
namespace {

constexpr RwUInt32 kHeader = rwCHUNKHEADERSIZE;

bool Header(RwStream *stream, RwUInt32 type, RwUInt32 length)
{
    return RwStreamWriteChunkHeader(stream, type, length, rwLIBRARYVERSION, rwLIBRARYBUILD) != nullptr;
}

bool Word(RwStream *stream, RwUInt32 value) { return RwStreamWriteUInt32(stream, value) != nullptr; }

bool Reals(RwStream *stream, const RwReal *values, RwUInt32 count)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        if (RwStreamWriteReal(stream, values[i]) == nullptr) {
            return false;
        }
    }
    return true;
}

bool Native(const RpGeometry *g) { return (g->flags & rpGEOMETRYNATIVE) != 0; }

// The engine builds geometries without their bounding spheres; files carry
// one per morph target, as exporters write them: around the middle of the
// target's box, reaching its farthest vertex.
RwSphere EnclosingSphere(const RpMorphTarget &target, RwUInt32 numVertices)
{
    if (target.verts == nullptr || numVertices == 0) {
        return target.boundingSphere;
    }
    RwV3d lo = target.verts[0];
    RwV3d hi = target.verts[0];
    for (RwUInt32 v = 1; v < numVertices; ++v) {
        const RwV3d &p = target.verts[v];
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    const RwV3d centre = {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    RwReal farthest = 0.0f;
    for (RwUInt32 v = 0; v < numVertices; ++v) {
        const RwV3d d = {target.verts[v].x - centre.x, target.verts[v].y - centre.y, target.verts[v].z - centre.z};
        farthest = std::max(farthest, d.x * d.x + d.y * d.y + d.z * d.z);
    }
    return {centre, std::sqrt(farthest)};
}

RwUInt32 GeometryStructSize(const RpGeometry *g)
{
    RwUInt32 nv = static_cast<RwUInt32>(g->numVertices);
    RwUInt32 size = 16;
    if (!Native(g) && nv > 0) {
        size += (g->preLitLum != nullptr ? 4 * nv : 0) + 8 * nv * static_cast<RwUInt32>(g->numTexCoordSets) +
                8 * static_cast<RwUInt32>(g->numTriangles);
    }
    for (RwInt32 m = 0; m < g->numMorphTargets; ++m) {
        const RpMorphTarget &t = g->morphTarget[m];
        size += 24 + (t.verts != nullptr ? 12 * nv : 0) + (t.normals != nullptr ? 12 * nv : 0);
    }
    return size;
}

RwUInt32 ExtensionSize(const RwPluginRegistry *registry, const void *object)
{
    return kHeader + static_cast<RwUInt32>(RwPluginRegistryGetStreamSize(registry, object));
}

// The distinct geometries of a clump's atomics, in atomic list order.
struct ClumpLayout {
    RwFrameList frames{nullptr, 0};
    std::vector<RpAtomic *> atomics;
    std::vector<RpGeometry *> geometries;
    std::vector<RpLight *> lights;
};

bool Layout(RpClump *clump, ClumpLayout *layout)
{
    if (RpClumpGetFrame(clump) == nullptr || RwFrameListInitialize(&layout->frames, RpClumpGetFrame(clump)) == nullptr) {
        return false;
    }
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) {
            static_cast<ClumpLayout *>(data)->atomics.push_back(atomic);
            return atomic;
        },
        layout);
    // The reader links each atomic and light at the head of its list, so
    // writing them last-first reads back in the same order.
    std::reverse(layout->atomics.begin(), layout->atomics.end());
    for (RpAtomic *atomic : layout->atomics) {
        bool seen = false;
        for (RpGeometry *g : layout->geometries) {
            seen = seen || g == atomic->geometry;
        }
        if (!seen) {
            layout->geometries.push_back(atomic->geometry);
        }
    }
    RpClumpForAllLights(
        clump,
        [](RpLight *light, void *data) {
            static_cast<ClumpLayout *>(data)->lights.push_back(light);
            return light;
        },
        layout);
    std::reverse(layout->lights.begin(), layout->lights.end());
    return true;
}

RwUInt32 AtomicBodySize(const RpAtomic *atomic)
{
    return kHeader + 16 + ExtensionSize(RpAtomicGetPluginRegistry(), atomic);
}

RwUInt32 ClumpBodySize(const ClumpLayout &layout, RpClump *clump)
{
    RwUInt32 size = kHeader + 12 + kHeader + RwFrameListStreamGetSize(&layout.frames);
    RwUInt32 list = kHeader + 4;
    for (RpGeometry *g : layout.geometries) {
        list += kHeader + GeometryChunkBodySize(g);
    }
    size += kHeader + list;
    for (RpAtomic *atomic : layout.atomics) {
        size += kHeader + AtomicBodySize(atomic);
    }
    for (RpLight *light : layout.lights) {
        size += kHeader + 4 + kHeader + LightChunkBodySize(light);
    }
    return size + ExtensionSize(RpClumpGetPluginRegistry(), clump);
}

}  // namespace

RwUInt32 GeometryChunkBodySize(const RpGeometry *geometry)
{
    return kHeader + GeometryStructSize(geometry) + kHeader + RpMaterialListStreamGetSize(&geometry->matList) +
           ExtensionSize(RpGeometryGetPluginRegistry(), geometry);
}

bool WriteGeometryChunk(const RpGeometry *g, RwStream *stream)
{
    const RwUInt32 nv = static_cast<RwUInt32>(g->numVertices);
    RwUInt32 format = g->flags | rpGEOMETRYTEXCOORDSETS(static_cast<RwUInt32>(g->numTexCoordSets));
    if (!Header(stream, rwID_GEOMETRY, GeometryChunkBodySize(g)) || !Header(stream, rwID_STRUCT, GeometryStructSize(g)) ||
        !Word(stream, format) || !Word(stream, static_cast<RwUInt32>(g->numTriangles)) || !Word(stream, nv) ||
        !Word(stream, static_cast<RwUInt32>(g->numMorphTargets))) {
        return false;
    }
    if (!Native(g) && nv > 0) {
        if (g->preLitLum != nullptr && RwStreamWrite(stream, g->preLitLum, 4 * nv) == nullptr) {
            return false;
        }
        for (RwInt32 s = 0; s < g->numTexCoordSets; ++s) {
            if (!Reals(stream, &g->texCoords[s][0].u, 2 * nv)) {
                return false;
            }
        }
        for (RwInt32 t = 0; t < g->numTriangles; ++t) {
            const RpTriangle &tri = g->triangles[t];
            if (!Word(stream, (static_cast<RwUInt32>(tri.vertIndex[0]) << 16) | tri.vertIndex[1]) ||
                !Word(stream, (static_cast<RwUInt32>(tri.vertIndex[2]) << 16) | static_cast<RwUInt16>(tri.matIndex))) {
                return false;
            }
        }
    }
    for (RwInt32 m = 0; m < g->numMorphTargets; ++m) {
        const RpMorphTarget &t = g->morphTarget[m];
        const RwSphere sphere = t.boundingSphere.radius > 0.0f ? t.boundingSphere : EnclosingSphere(t, nv);
        if (!Reals(stream, &sphere.center.x, 4) || !Word(stream, t.verts != nullptr ? 1 : 0) ||
            !Word(stream, t.normals != nullptr ? 1 : 0)) {
            return false;
        }
        if ((t.verts != nullptr && !Reals(stream, &t.verts[0].x, 3 * nv)) ||
            (t.normals != nullptr && !Reals(stream, &t.normals[0].x, 3 * nv))) {
            return false;
        }
    }
    return RpMaterialListStreamWrite(&g->matList, stream) != nullptr &&
           RwPluginRegistryWriteData(RpGeometryGetPluginRegistry(), stream, g) != nullptr;
}

RwUInt32 LightChunkBodySize(const RpLight *light)
{
    return kHeader + rpLIGHTSTRUCTSIZE + ExtensionSize(RpLightGetPluginRegistry(), light);
}

bool WriteLightChunk(const RpLight *light, RwStream *stream)
{
    const RwReal values[5] = {light->radius, light->color.red, light->color.green, light->color.blue,
                              light->minusCosAngle};
    RwUInt32 flagsAndType = light->object.object.flags | (static_cast<RwUInt32>(light->object.object.subType) << 16);
    return Header(stream, rwID_LIGHT, LightChunkBodySize(light)) && Header(stream, rwID_STRUCT, rpLIGHTSTRUCTSIZE) &&
           Reals(stream, values, 5) && Word(stream, flagsAndType) &&
           RwPluginRegistryWriteData(RpLightGetPluginRegistry(), stream, light) != nullptr;
}

RwUInt32 ClumpChunkBodySize(RpClump *clump)
{
    ClumpLayout layout;
    if (!Layout(clump, &layout)) {
        return 0;
    }
    RwUInt32 size = ClumpBodySize(layout, clump);
    RwFrameListDeinit(&layout.frames);
    return size;
}

bool WriteClumpChunk(RpClump *clump, RwStream *stream)
{
    ClumpLayout layout;
    if (!Layout(clump, &layout)) {
        return false;
    }
    RwUInt32 listSize = kHeader + 4;
    for (RpGeometry *g : layout.geometries) {
        listSize += kHeader + GeometryChunkBodySize(g);
    }
    bool ok = Header(stream, rwID_CLUMP, ClumpBodySize(layout, clump)) && Header(stream, rwID_STRUCT, 12) &&
              Word(stream, static_cast<RwUInt32>(layout.atomics.size())) &&
              Word(stream, static_cast<RwUInt32>(layout.lights.size())) && Word(stream, 0) &&
              RwFrameListStreamWrite(&layout.frames, stream) != nullptr && Header(stream, rwID_GEOMETRYLIST, listSize) &&
              Header(stream, rwID_STRUCT, 4) && Word(stream, static_cast<RwUInt32>(layout.geometries.size()));
    for (size_t i = 0; ok && i < layout.geometries.size(); ++i) {
        ok = WriteGeometryChunk(layout.geometries[i], stream);
    }
    for (size_t i = 0; ok && i < layout.atomics.size(); ++i) {
        RpAtomic *atomic = layout.atomics[i];
        RwInt32 geometryIndex = 0;
        while (layout.geometries[static_cast<size_t>(geometryIndex)] != atomic->geometry) {
            ++geometryIndex;
        }
        ok = Header(stream, rwID_ATOMIC, AtomicBodySize(atomic)) && Header(stream, rwID_STRUCT, 16) &&
             Word(stream, static_cast<RwUInt32>(RwFrameListFindFrame(&layout.frames, RpAtomicGetFrame(atomic)))) &&
             Word(stream, static_cast<RwUInt32>(geometryIndex)) && Word(stream, RpAtomicGetFlags(atomic)) &&
             Word(stream, 0) && RwPluginRegistryWriteData(RpAtomicGetPluginRegistry(), stream, atomic) != nullptr;
    }
    for (size_t i = 0; ok && i < layout.lights.size(); ++i) {
        RpLight *light = layout.lights[i];
        ok = Header(stream, rwID_STRUCT, 4) &&
             Word(stream, static_cast<RwUInt32>(RwFrameListFindFrame(&layout.frames, RpLightGetFrame(light)))) &&
             WriteLightChunk(light, stream);
    }
    ok = ok && RwPluginRegistryWriteData(RpClumpGetPluginRegistry(), stream, clump) != nullptr;
    RwFrameListDeinit(&layout.frames);
    return ok;
}

RwTexture *CreateTextureReference(const char *name)
{
    RwRaster *raster = RwRasterCreate(0, 0, 0, rwRASTERTYPETEXTURE);
    if (raster == nullptr) {
        return nullptr;
    }
    RwTexture *texture = RwTextureCreate(raster);
    if (texture == nullptr) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    RwTextureSetName(texture, name);
    return texture;
}

bool WriteClumpFile(RpClump *clump, const char *path)
{
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, path);
    if (stream == nullptr) {
        return false;
    }
    bool ok = WriteClumpChunk(clump, stream);
    return RwStreamClose(stream, nullptr) && ok;
}

RpClump *SingleAtomicClump(RpGeometry *geometry, RpAtomic **atomicOut)
{
    RpClump *clump = RpClumpCreate();
    RpAtomic *atomic = RpAtomicCreate();
    RwFrame *frame = RwFrameCreate();
    if (clump == nullptr || atomic == nullptr || frame == nullptr) {
        RpGeometryDestroy(geometry);
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        if (atomic != nullptr) {
            RpAtomicDestroy(atomic);
        }
        if (frame != nullptr) {
            RwFrameDestroy(frame);
        }
        return nullptr;
    }
    RpClumpSetFrame(clump, frame);
    RpAtomicSetFrame(atomic, frame);
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);
    RpClumpAddAtomic(clump, atomic);
    if (atomicOut != nullptr) {
        *atomicOut = atomic;
    }
    return clump;
}

bool WriteBuiltClump(const std::string &root, const char *folder, const char *name, RpClump *(*build)(void))
{
    std::error_code error;
    const std::filesystem::path where = std::filesystem::path(root) / folder;
    std::filesystem::create_directories(where, error);
    RpClump *clump = error ? nullptr : build();
    if (clump == nullptr) {
        return false;
    }
    const bool ok = WriteClumpFile(clump, (where / name).string().c_str());
    RpClumpDestroy(clump);
    return ok;
}

}  // namespace mkdata
