// The sample patch model of the maker (see patch_model.h).
#include "tools/mkdata/patch_model.h"

#include "tools/mkdata/effects_model.h"


#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/prop_model.h"

namespace mkdata {
namespace {

constexpr RwUInt32 kQuadFirst = 0;
constexpr RwUInt32 kTriangleFirst = rpQUADPATCHNUMCONTROLINDICES;
// How far the interior control points stand out toward -z.
constexpr RwReal kBulge = -0.5f;
constexpr RwUInt32 kIndicesPerPatch = 16;

// One control point, as both the patch mesh and the control geometry hold it.
struct ControlPoint {
    RwV3d position;
    RwV3d normal;
    RwRGBA colour;
    RwTexCoords uv;
};

// The model spans x -2..2 and y -1..1 at z = 0 along its outline; texture
// coordinates follow x and y over the whole panel (u 0..1 left to right,
// v 0..1 top to bottom).
ControlPoint PointAt(RwReal x, RwReal y, bool interior)
{
    return {{x, y, interior ? kBulge : 0.0f},
            {0.0f, 0.0f, -1.0f},
            {255, 255, 255, 255},
            {(x + 2.0f) / 4.0f, (1.0f - y) / 2.0f}};
}

// Quad control point k at s-index k mod 4 and t-index k / 4, on the left
// half (x -2..0); the four middle points bulge.
ControlPoint QuadPoint(RwUInt32 k)
{
    const RwUInt32 s = k % 4, t = k / 4;
    ControlPoint p = PointAt(-2.0f + 2.0f * static_cast<RwReal>(s) / 3.0f, -1.0f + 2.0f * static_cast<RwReal>(t) / 3.0f,
                             s >= 1 && s <= 2 && t >= 1 && t <= 2);
    if (k == 5) {
        p.uv.u = 0.0f;  // marks a quad patch; the renderer takes no colour from it
    }
    return p;
}

// Triangle control point j: points 0-3 along the bottom edge from corner 0
// (0, -1) to corner 3 (2, -1), 4-6 and 7-8 the rows above, 9 the corner
// (0, 1); its left edge meets the quad's right edge point for point, and
// the interior point 5 bulges (its u is not 0, which marks a triangle).
ControlPoint TrianglePoint(RwUInt32 j)
{
    static constexpr RwUInt32 kRow[rpTRIPATCHNUMCONTROLINDICES] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 3};
    static constexpr RwUInt32 kColumn[rpTRIPATCHNUMCONTROLINDICES] = {0, 1, 2, 3, 0, 1, 2, 0, 1, 0};
    const RwUInt32 along = kColumn[j], up = kRow[j];
    return PointAt(2.0f * static_cast<RwReal>(along) / 3.0f, -1.0f + 2.0f * static_cast<RwReal>(up) / 3.0f, j == 5);
}

ControlPoint Point(RwUInt32 index)
{
    return index < kTriangleFirst ? QuadPoint(index - kQuadFirst) : TrianglePoint(index - kTriangleFirst);
}

// The control geometry: the control points as vertices and one mesh of
// 16 indices per patch (a triangle patch's slots 10-15 repeat its corner 0).
RpGeometry *BuildControlGeometry(RpMaterial *material)
{
    constexpr RwUInt32 kFormat =
        rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT | rpGEOMETRYLIGHT;
    RpGeometry *g = RpGeometryCreate(static_cast<RwInt32>(kPatchControlPoints), 0, kFormat);
    if (g == nullptr) {
        return nullptr;
    }
    for (RwUInt32 i = 0; i < kPatchControlPoints; ++i) {
        const ControlPoint p = Point(i);
        g->morphTarget[0].verts[i] = p.position;
        g->morphTarget[0].normals[i] = p.normal;
        g->preLitLum[i] = p.colour;
        g->texCoords[0][i] = p.uv;
    }
    g->morphTarget[0].boundingSphere = {{0.0f, 0.0f, kBulge / 2.0f}, 2.3f};
    constexpr RwUInt32 kIndices = (kPatchQuadCount + kPatchTriangleCount) * kIndicesPerPatch;
    auto *header = static_cast<RpMeshHeader *>(
        RpMeshAllocate(sizeof(RpMeshHeader) + sizeof(RpMesh) + kIndices * sizeof(RwUInt16)));
    if (header == nullptr || RpMaterialListAppendMaterial(&g->matList, material) < 0) {
        if (header != nullptr) {
            RwFree(header);
        }
        RpGeometryDestroy(g);
        return nullptr;
    }
    header->flags = 0;
    header->numMeshes = 1;
    header->serialNum = RpMeshNextSerialNumber();
    header->totalIndicesInMesh = kIndices;
    header->firstMeshOffset = 0;
    RpMesh *mesh = RpMeshHeaderGetMeshes(header);
    mesh->indices = reinterpret_cast<RwUInt16 *>(mesh + 1);
    mesh->numIndices = kIndices;
    mesh->material = material;
    RwUInt16 *next = mesh->indices;
    for (RwUInt32 k = 0; k < kIndicesPerPatch; ++k) {
        *next++ = static_cast<RwUInt16>(kQuadFirst + k);
    }
    for (RwUInt32 k = 0; k < kIndicesPerPatch; ++k) {
        *next++ = static_cast<RwUInt16>(kTriangleFirst + (k < rpTRIPATCHNUMCONTROLINDICES ? k : 0));
    }
    if (g->mesh != nullptr) {
        RpMeshHeaderDestroy(g->mesh);
    }
    g->mesh = header;
    return g;
}

}  // namespace

const char *PatchTextureName() { return PropTextures().front().name; }

RpPatchMesh *BuildPatchMesh()
{
    const RpPatchMeshDefinition definition = {kPatchMeshFlags, kPatchControlPoints, kPatchTriangleCount,
                                              kPatchQuadCount, 1};
    RpPatchMesh *mesh = RpPatchMeshCreate(&definition);
    RpMaterial *material = mesh != nullptr ? TexturedMaterial(PatchTextureName()) : nullptr;
    if (material == nullptr) {
        if (mesh != nullptr) {
            RpPatchMeshDestroy(mesh);
        }
        return nullptr;
    }
    const bool listed = RpMaterialListAppendMaterial(&mesh->matList, material) >= 0;
    RpMaterialDestroy(material);
    if (!listed) {
        RpPatchMeshDestroy(mesh);
        return nullptr;
    }
    for (RwUInt32 i = 0; i < kPatchControlPoints; ++i) {
        const ControlPoint p = Point(i);
        mesh->positions[i] = p.position;
        mesh->normals[i] = p.normal;
        mesh->preLightColors[i] = p.colour;
        mesh->texCoords[0][i] = p.uv;
    }
    for (RwUInt32 k = 0; k < rpQUADPATCHNUMCONTROLINDICES; ++k) {
        mesh->quadPatches[0].cpIndices[k] = kQuadFirst + k;
    }
    mesh->quadPatches[0].matIndex = 0;
    for (RwUInt32 k = 0; k < rpTRIPATCHNUMCONTROLINDICES; ++k) {
        mesh->triPatches[0].cpIndices[k] = kTriangleFirst + k;
    }
    mesh->triPatches[0].matIndex = 0;
    return mesh;
}

RpClump *BuildPatchClump()
{
    RpPatchMesh *mesh = BuildPatchMesh();
    RpGeometry *geometry = mesh != nullptr ? BuildControlGeometry(mesh->matList.materials[0]) : nullptr;
    if (geometry != nullptr) {
        RpPatchGeometrySetMesh(geometry, mesh);
    }
    if (mesh != nullptr) {
        RpPatchMeshDestroy(mesh);
    }
    if (geometry == nullptr) {
        return nullptr;
    }
    RpAtomic *atomic = nullptr;
    RpClump *clump = SingleAtomicClump(geometry, &atomic);
    if (clump == nullptr) {
        return nullptr;
    }
    // The file names the patch pipeline as the atomic's, as a loaded
    // patch atomic has it.
    RpPatchAtomicSetPipeline(atomic);
    return clump;
}

bool WritePatchModel(const std::string &root)
{
    return WriteBuiltClump(root, PatchModelFolder(), PatchModelName(), BuildPatchClump);
}

}  // namespace mkdata
