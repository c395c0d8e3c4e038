// The first stage's sample world (see stage_world.h). The engine offers no
// world builder, so the tree is put together here from the world's own
// records: the world and its first leaf come from RpWorldCreate, the other
// leaves and the plane nodes are allocated as the engine would, and the
// engine then cuts the region boxes and builds the leaves' meshes.
#include "tools/mkdata/stage_world.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "rtbmp.h"
#include "rwmemory.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/stage_lights.h"
#include "world/baworld.h"

namespace mkdata {
namespace {

constexpr RwUInt32 kWorldFormat =
    rpGEOMETRYPOSITIONS | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT | rpGEOMETRYNORMALS | rpGEOMETRYLIGHT;

// The yard: 400 x 400 units on the floor (a unit is about 10 cm), walls 30
// high around it.
constexpr RwReal kHalf = 200.0f;
constexpr RwReal kWallHeight = 30.0f;
constexpr int kGrid = 4;           // floor quads per leaf side
constexpr RwReal kCell = 50.0f;    // floor quad size
constexpr int kWallSegments = 5;   // per outer edge of a leaf: 40 x 30, the sign's shape
constexpr RwReal kTextureSpan = 20.0f;  // one repeat of a floor or brick texture: 2 m

enum Material : RwUInt16 { kTile = 0, kGrass = 1, kBrick = 2, kSign = 3 };

std::vector<StageWorldStep> &Steps()
{
    static std::vector<StageWorldStep> steps;
    return steps;
}

// A leaf's arrays while they are filled.
struct LeafBuild {
    std::vector<RwV3d> vertices;
    std::vector<RpVertexNormal> normals;
    std::vector<RwRGBA> prelit;
    std::vector<RwTexCoords> uvs;
    std::vector<RpPolygon> triangles;
};

RwV3d Cross(const RwV3d &a, const RwV3d &b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

RwV3d Minus(const RwV3d &a, const RwV3d &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

RwInt8 NormalByte(RwReal v) { return static_cast<RwInt8>(std::lround(std::clamp(v * 128.0f, -128.0f, 127.0f))); }

// Dim, slightly warm baked light that darkens towards the walls, so the
// run-time lights have something to add to.
RwRGBA PrelitAt(const RwV3d &p)
{
    const RwReal edge = std::max(std::fabs(p.x), std::fabs(p.z)) / kHalf;
    const RwReal shade = 1.0f - 0.35f * edge * edge + 0.1f * (p.y / kWallHeight);
    return {static_cast<RwUInt8>(std::lround(84.0f * shade)), static_cast<RwUInt8>(std::lround(78.0f * shade)),
            static_cast<RwUInt8>(std::lround(72.0f * shade)), 255};
}

// Adds a quad of corners c[0..3] (in order around it) facing `normal`:
// the triangles wind so that their cross product points along the normal.
void AddQuad(LeafBuild *leaf, const RwV3d (&c)[4], const RwV3d &normal, const RwTexCoords (&uv)[4], RwUInt16 material)
{
    const RwUInt16 base = static_cast<RwUInt16>(leaf->vertices.size());
    for (int i = 0; i < 4; ++i) {
        // + 0 turns the -0 of mirrored quadrants into 0: the file stays tidy.
        leaf->vertices.push_back({c[i].x + 0.0f, c[i].y + 0.0f, c[i].z + 0.0f});
        leaf->normals.push_back({NormalByte(normal.x), NormalByte(normal.y), NormalByte(normal.z), 0});
        leaf->prelit.push_back(PrelitAt(c[i]));
        leaf->uvs.push_back(uv[i]);
    }
    const RwV3d n = Cross(Minus(c[1], c[0]), Minus(c[2], c[0]));
    const bool along = n.x * normal.x + n.y * normal.y + n.z * normal.z > 0.0f;
    const auto at = [base](int i) { return static_cast<RwUInt16>(base + i); };
    if (along) {
        leaf->triangles.push_back({material, {at(0), at(1), at(2)}});
        leaf->triangles.push_back({material, {at(0), at(2), at(3)}});
    } else {
        leaf->triangles.push_back({material, {at(0), at(2), at(1)}});
        leaf->triangles.push_back({material, {at(0), at(3), at(2)}});
    }
}

// The floor of a leaf whose corner nearest the middle is at the origin and
// which reaches out along (sx, sz): a tiled cross-shaped path over grass.
void AddFloor(LeafBuild *leaf, RwReal sx, RwReal sz)
{
    for (int i = 0; i < kGrid; ++i) {
        for (int j = 0; j < kGrid; ++j) {
            const RwReal x0 = sx * kCell * static_cast<RwReal>(i);
            const RwReal x1 = sx * kCell * static_cast<RwReal>(i + 1);
            const RwReal z0 = sz * kCell * static_cast<RwReal>(j);
            const RwReal z1 = sz * kCell * static_cast<RwReal>(j + 1);
            const RwReal y = StageFloorHeight();
            const RwV3d c[4] = {{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}};
            RwTexCoords uv[4];
            for (int k = 0; k < 4; ++k) {
                uv[k] = {c[k].x / kTextureSpan, c[k].z / kTextureSpan};
            }
            const RwUInt16 material = (i == 0 || j == 0) ? kTile : kGrass;
            AddQuad(leaf, c, {0.0f, 1.0f, 0.0f}, uv, material);
        }
    }
}

// An outer wall of a leaf, on the plane x = `at` (or z = `at`), running
// from 0 to `run` along the other floor axis and facing the yard's middle.
void AddWall(LeafBuild *leaf, bool onX, RwReal at, RwReal run, bool sign)
{
    const RwReal step = run / static_cast<RwReal>(kWallSegments);
    for (int s = 0; s < kWallSegments; ++s) {
        const RwReal a = step * static_cast<RwReal>(s);
        const RwReal b = step * static_cast<RwReal>(s + 1);
        RwV3d c[4];
        if (onX) {
            c[0] = {at, 0.0f, a}, c[1] = {at, 0.0f, b}, c[2] = {at, kWallHeight, b}, c[3] = {at, kWallHeight, a};
        } else {
            c[0] = {a, 0.0f, at}, c[1] = {b, 0.0f, at}, c[2] = {b, kWallHeight, at}, c[3] = {a, kWallHeight, at};
        }
        // Bricks repeat along the wall and up it; the sign fills its segment once.
        const bool isSign = sign && s == 0;
        const RwReal u0 = isSign ? 0.0f : a / kTextureSpan;
        const RwReal u1 = isSign ? 1.0f : b / kTextureSpan;
        const RwReal v1 = isSign ? 1.0f : kWallHeight / kTextureSpan;
        const RwTexCoords uv[4] = {{u0, v1}, {u1, v1}, {u1, 0.0f}, {u0, 0.0f}};
        const RwReal inward = at > 0.0f ? -1.0f : 1.0f;
        const RwV3d normal = onX ? RwV3d{inward, 0.0f, 0.0f} : RwV3d{0.0f, 0.0f, inward};
        AddQuad(leaf, c, normal, uv, isSign ? kSign : kBrick);
    }
}

// Fills a leaf's geometry: the quadrant (sx, sz) of the yard.
LeafBuild BuildQuadrant(RwReal sx, RwReal sz)
{
    LeafBuild leaf;
    AddFloor(&leaf, sx, sz);
    AddWall(&leaf, true, sx * kHalf, sz * kHalf, false);
    // The sign hangs on the far wall of the (+x, +z) corner.
    AddWall(&leaf, false, sz * kHalf, sx * kHalf, sx > 0.0f && sz > 0.0f);
    return leaf;
}

template <typename T>
T *CopyOut(const std::vector<T> &values)
{
    auto *out = static_cast<T *>(RwMalloc(sizeof(T) * values.size()));
    if (out != nullptr) {
        std::copy(values.begin(), values.end(), out);
    }
    return out;
}

RwBBox TightBox(const std::vector<RwV3d> &vertices)
{
    RwBBox box = {vertices[0], vertices[0]};
    for (const RwV3d &v : vertices) {
        box.sup = {std::max(box.sup.x, v.x), std::max(box.sup.y, v.y), std::max(box.sup.z, v.z)};
        box.inf = {std::min(box.inf.x, v.x), std::min(box.inf.y, v.y), std::min(box.inf.z, v.z)};
    }
    return box;
}

// Gives a leaf its arrays (the world frees them with the leaf).
bool FillLeaf(RpWorldSector *sector, const LeafBuild &leaf)
{
    sector->vertices = CopyOut(leaf.vertices);
    sector->normals = CopyOut(leaf.normals);
    sector->preLitLum = CopyOut(leaf.prelit);
    sector->texCoords[0] = CopyOut(leaf.uvs);
    sector->polygons = CopyOut(leaf.triangles);
    sector->numVertices = static_cast<RwUInt16>(leaf.vertices.size());
    sector->numPolygons = static_cast<RwUInt16>(leaf.triangles.size());
    sector->matListWindowBase = 0;
    sector->tightBoundingBox = TightBox(leaf.vertices);
    return sector->vertices != nullptr && sector->normals != nullptr && sector->preLitLum != nullptr &&
           sector->texCoords[0] != nullptr && sector->polygons != nullptr;
}

// A leaf as the engine makes them, with its plug-in data constructed.
RwBBox MovedBox(RwBBox box, const RwV3d &origin)
{
    box.sup = {box.sup.x + origin.x, box.sup.y + origin.y, box.sup.z + origin.z};
    box.inf = {box.inf.x + origin.x, box.inf.y + origin.y, box.inf.z + origin.z};
    return box;
}

RpWorldSector *NewLeaf(const RwV3d &origin)
{
    RwPluginRegistry *registry = RpWorldSectorGetPluginRegistry();
    auto *leaf = static_cast<RpWorldSector *>(RwMalloc(static_cast<size_t>(registry->sizeOfStruct)));
    if (leaf == nullptr) {
        return nullptr;
    }
    const RwBBox box = MovedBox(StageWorldBox(), origin);
    rpWorldInitLeaf(leaf, &box);
    if (RwPluginRegistryInitObject(registry, leaf) == nullptr) {
        RwFree(leaf);
        return nullptr;
    }
    return leaf;
}

RpPlaneSector *NewPlane(RwInt32 axisOffset, RwReal value)
{
    auto *plane = static_cast<RpPlaneSector *>(RwMalloc(sizeof(RpPlaneSector)));
    if (plane != nullptr) {
        *plane = {axisOffset, value, nullptr, nullptr, value, value};
    }
    return plane;
}

RpMaterial *MakeStageMaterial(const char *textureName)
{
    RwTexture *texture = RwTexDictionaryFindTexture(RwTexDictionaryGetCurrent(), textureName);
    RpMaterial *material = texture != nullptr ? RpMaterialCreate() : nullptr;
    if (material == nullptr) {
        return nullptr;
    }
    const RwRGBA white = {255, 255, 255, 255};
    const RwSurfaceProperties surface = {1.0f, 0.0f, 1.0f};
    RpMaterialSetColor(material, &white);
    RpMaterialSetSurfaceProperties(material, &surface);
    RpMaterialSetTexture(material, texture);
    return material;
}

bool AddMaterials(RpWorld *world)
{
    for (const StageTexture &texture : StageTextures()) {
        RpMaterial *material = MakeStageMaterial(texture.name);
        if (material == nullptr) {
            return false;
        }
        const RwInt32 index = RpMaterialListAppendMaterial(&world->matList, material);
        RpMaterialDestroy(material);  // the list holds its own reference
        if (index < 0) {
            return false;
        }
    }
    return true;
}

void DiscardLeaf(RpWorldSector *leaf)
{
    RwPluginRegistryDeInitObject(RpWorldSectorGetPluginRegistry(), leaf);
    RwFree(leaf);
}

// The tree: x = 0 first, then z = 0 on both sides; leaves in walk order
// (-x -z), (-x +z), (+x -z), (+x +z). The world's first leaf is reused.
bool BuildTree(RpWorld *world, const RwV3d &origin)
{
    auto *first = reinterpret_cast<RpWorldSector *>(world->rootSector);
    if (first->mesh != nullptr) {
        RpMeshHeaderDestroy(first->mesh);
        first->mesh = nullptr;
    }
    RpPlaneSector *planes[3] = {NewPlane(0, origin.x), NewPlane(8, origin.z), NewPlane(8, origin.z)};
    RpWorldSector *leaves[4] = {first, NewLeaf(origin), NewLeaf(origin), NewLeaf(origin)};
    const bool made = std::all_of(std::begin(planes), std::end(planes), [](auto *p) { return p != nullptr; }) &&
                      std::all_of(std::begin(leaves), std::end(leaves), [](auto *l) { return l != nullptr; });
    if (!made) {
        for (int i = 1; i < 4; ++i) {
            if (leaves[i] != nullptr) {
                DiscardLeaf(leaves[i]);
            }
        }
        for (RpPlaneSector *plane : planes) {
            if (plane != nullptr) {
                RwFree(plane);
            }
        }
        return false;
    }
    // From here every node hangs in the tree, so RpWorldDestroy frees it.
    world->rootSector = reinterpret_cast<RpSector *>(planes[0]);
    planes[0]->leftSubTree = reinterpret_cast<RpSector *>(planes[1]);
    planes[0]->rightSubTree = reinterpret_cast<RpSector *>(planes[2]);
    planes[1]->leftSubTree = reinterpret_cast<RpSector *>(leaves[0]);
    planes[1]->rightSubTree = reinterpret_cast<RpSector *>(leaves[1]);
    planes[2]->leftSubTree = reinterpret_cast<RpSector *>(leaves[2]);
    planes[2]->rightSubTree = reinterpret_cast<RpSector *>(leaves[3]);
    static const RwReal sides[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        // Built about the origin (its light and textures so), then moved.
        LeafBuild leaf = BuildQuadrant(sides[i][0], sides[i][1]);
        for (RwV3d &v : leaf.vertices) {
            v = {v.x + origin.x, v.y + origin.y, v.z + origin.z};
        }
        if (!FillLeaf(leaves[i], leaf)) {
            return false;
        }
    }
    return true;
}

RwUInt8 Clamp(int v) { return static_cast<RwUInt8>(std::clamp(v, 0, 255)); }

RwRGBA TileTexel(RwInt32 x, RwInt32 y)
{
    if (x % 16 == 0 || y % 16 == 0) {
        return {96, 92, 86, 255};
    }
    const int slab = (x / 16) + 2 * (y / 16);
    const int speck = ((x * 13 + y * 7) % 11) * 2;
    return {Clamp(170 + 6 * slab + speck), Clamp(162 + 4 * slab + speck), Clamp(146 + speck), 255};
}

RwRGBA GrassTexel(RwInt32 x, RwInt32 y)
{
    return {Clamp(52 + ((x * 5 + y * 11) % 9) * 6), Clamp(118 + ((x * 3 + y * 7) % 13) * 5), 38, 255};
}

RwRGBA BrickTexel(RwInt32 x, RwInt32 y)
{
    const int row = y / 8;
    const int shifted = x + (row % 2) * 8;
    if (y % 8 == 0 || shifted % 16 == 0) {
        return {196, 190, 178, 255};
    }
    const int brick = (shifted / 16 + row * 3) % 5;
    return {Clamp(140 + 10 * brick), Clamp(58 + 4 * brick), 44, 255};
}

// Four coloured quarters inside a white border: easy to find again texel
// by texel on the screen.
RwRGBA SignTexel(RwInt32 x, RwInt32 y, RwInt32 size)
{
    if (x == 0 || y == 0 || x == size - 1 || y == size - 1) {
        return {250, 250, 250, 255};
    }
    const bool right = x >= size / 2;
    const bool bottom = y >= size / 2;
    if (!bottom) {
        return right ? RwRGBA{232, 200, 40, 255} : RwRGBA{200, 40, 40, 255};
    }
    return right ? RwRGBA{40, 170, 70, 255} : RwRGBA{40, 80, 200, 255};
}

bool WriteStageTextures(const std::filesystem::path &folder)
{
    for (const StageTexture &texture : StageTextures()) {
        RwImage *image = MakeStageTextureImage(texture);
        if (image == nullptr) {
            return false;
        }
        const std::string path = (folder / StageTextureFileName(texture)).string();
        const bool ok = RtBmpWrite(image, path.c_str()) != nullptr;
        RwImageDestroy(image);
        if (!ok) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool WriteWorldFile(const RpWorld *world, const std::string &path)
{
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, path.c_str());
    if (stream == nullptr) {
        return false;
    }
    const bool ok = RpWorldStreamWrite(world, stream) != nullptr;
    return RwStreamClose(stream, nullptr) && ok;
}

const std::vector<StageTexture> &StageTextures()
{
    static const std::vector<StageTexture> textures = {
        {"tile01", 32, 32},
        {"grass01", 32, 32},
        {"brick01", 64, 32},
        {"sign01", 16, 16},
    };
    return textures;
}

const StageTexture &StageSignTexture() { return StageTextures()[kSign]; }

std::string StageTextureFileName(const StageTexture &texture)
{
    std::string name = texture.name;
    for (char &c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name + ".BMP";
}

bool CreateStageTextures()
{
    RwTexDictionary *dict = RwTexDictionaryGetCurrent();
    if (dict == nullptr) {
        return false;
    }
    for (const StageTexture &stage : StageTextures()) {
        if (RwTexDictionaryFindTexture(dict, stage.name) != nullptr) {
            continue;
        }
        RwTexture *texture = CreateTextureReference(stage.name);
        if (texture == nullptr) {
            return false;
        }
        RwTextureSetFilterMode(texture, rwFILTERLINEAR);
        RwTextureSetAddressing(texture, rwTEXTUREADDRESSWRAP);
        RwTexDictionaryAddTexture(dict, texture);
    }
    return true;
}

RwImage *MakeStageTextureImage(const StageTexture &texture)
{
    RwImage *image = RwImageCreate(texture.width, texture.height, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    const std::string name = texture.name;
    for (RwInt32 y = 0; y < texture.height; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
        for (RwInt32 x = 0; x < texture.width; ++x) {
            if (name == "tile01") {
                row[x] = TileTexel(x, y);
            } else if (name == "grass01") {
                row[x] = GrassTexel(x, y);
            } else if (name == "brick01") {
                row[x] = BrickTexel(x, y);
            } else {
                row[x] = SignTexel(x, y, texture.width);
            }
        }
    }
    return image;
}

RwBBox StageWorldBox() { return {{kHalf, kWallHeight, kHalf}, {-kHalf, StageFloorHeight(), -kHalf}}; }

RpWorld *BuildStageWorld(const RwV3d &origin)
{
    const RwBBox box = MovedBox(StageWorldBox(), origin);
    RpWorld *world = RpWorldCreate(&box);
    if (world == nullptr) {
        return nullptr;
    }
    world->flags = kWorldFormat;
    world->numTexCoordSets = 1;
    if (!AddMaterials(world) || !BuildTree(world, origin)) {
        RpWorldDestroy(world);
        return nullptr;
    }
    rpWorldSetRegionBoxes(world);
    if (RpWorldBuildSectorMeshes(world) == nullptr) {
        RpWorldDestroy(world);
        return nullptr;
    }
    return world;
}

void AddStageWorldStep(StageWorldStep step)
{
    if (std::find(Steps().begin(), Steps().end(), step) == Steps().end()) {
        Steps().push_back(step);
    }
}

bool RunStageWorldSteps(RpWorld *world)
{
    for (StageWorldStep step : Steps()) {
        if (!step(world)) {
            return false;
        }
    }
    return true;
}

bool WriteStageWorld(const std::string &folder, const RwV3d &origin)
{
    std::error_code error;
    const std::filesystem::path textures = std::filesystem::path(folder) / "TEXTURES";
    std::filesystem::create_directories(textures, error);
    if (error || !CreateStageTextures() || !WriteStageTextures(textures)) {
        return false;
    }
    RpWorld *world = BuildStageWorld(origin);
    if (world == nullptr) {
        return false;
    }
    bool ok = RunStageWorldSteps(world) && WriteWorldFile(world, (std::filesystem::path(folder) / StageWorldName()).string());
    RpWorldDestroy(world);
    return ok;
}

}  // namespace mkdata
