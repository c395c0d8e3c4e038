// The collision suites' test stage (see collis_test_world.h).
#include "collis_test_world.h"

#include <cmath>
#include <cstring>

#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"
#include "support/engine/memory_stream.h"

namespace collistest {

namespace {

constexpr RwUInt32 kFormat = 0x02;  // positions only
constexpr RwInt32 kSectorCells = kCells / 2;
constexpr RwInt32 kSectorGrid = kSectorCells + 1;

struct SectorMesh {
    std::vector<RwV3d> vertices;
    std::vector<RwUInt16> triangles;  // three vertex indices each
};

SectorMesh SectorTerrain(RwInt32 sx, RwInt32 sz)
{
    SectorMesh mesh;
    for (RwInt32 j = 0; j < kSectorGrid; ++j) {
        for (RwInt32 i = 0; i < kSectorGrid; ++i) {
            const RwInt32 ix = sx * kSectorCells + i, iz = sz * kSectorCells + j;
            mesh.vertices.push_back({ix * kCell, GridHeight(ix, iz), iz * kCell});
        }
    }
    auto at = [](RwInt32 i, RwInt32 j) { return static_cast<RwUInt16>(j * kSectorGrid + i); };
    for (RwInt32 j = 0; j < kSectorCells; ++j) {
        for (RwInt32 i = 0; i < kSectorCells; ++i) {
            // Both halves face up: (x0,z0), (x0,z1), (x1,z0) and (x1,z0), (x0,z1), (x1,z1).
            const RwUInt16 quad[6] = {at(i, j), at(i, j + 1), at(i + 1, j), at(i + 1, j), at(i, j + 1), at(i + 1, j + 1)};
            mesh.triangles.insert(mesh.triangles.end(), quad, quad + 6);
        }
    }
    if (sx == 0 && sz == 0) {
        // Pillar walls facing out, open at the top, so downward rays still
        // find only the floor.
        const RwReal lo = 10.0f, hi = 14.0f;
        const RwV3d corners[4] = {{lo, 0, lo}, {hi, 0, lo}, {hi, 0, hi}, {lo, 0, hi}};
        for (RwInt32 k = 0; k < 4; ++k) {
            const RwV3d a = corners[k], b = corners[(k + 1) % 4];
            const auto base = static_cast<RwUInt16>(mesh.vertices.size());
            mesh.vertices.push_back({a.x, -6.0f, a.z});
            mesh.vertices.push_back({b.x, -6.0f, b.z});
            mesh.vertices.push_back({a.x, 9.0f, a.z});
            mesh.vertices.push_back({b.x, 9.0f, b.z});
            const RwUInt16 quad[6] = {base, static_cast<RwUInt16>(base + 1), static_cast<RwUInt16>(base + 2),
                                      static_cast<RwUInt16>(base + 2), static_cast<RwUInt16>(base + 1),
                                      static_cast<RwUInt16>(base + 3)};
            mesh.triangles.insert(mesh.triangles.end(), quad, quad + 6);
        }
    }
    return mesh;
}

std::vector<RwUInt8> AtomicSection(RwInt32 number, RwInt32 sx, RwInt32 sz, const ExtraChunks &extra,
                                   RwInt32 *triangles, RwInt32 *vertices)
{
    const SectorMesh mesh = SectorTerrain(sx, sz);
    const RwInt32 nt = static_cast<RwInt32>(mesh.triangles.size() / 3);
    const RwInt32 nv = static_cast<RwInt32>(mesh.vertices.size());
    *triangles += nt;
    *vertices += nv;
    RwBBox tight = {mesh.vertices[0], mesh.vertices[0]};
    for (const RwV3d &v : mesh.vertices) {
        RwBBoxAddPoint(&tight, &v);
    }
    std::vector<RwUInt8> header;
    PutU32(header, 0);
    PutU32(header, static_cast<RwUInt32>(nt));
    PutU32(header, static_cast<RwUInt32>(nv));
    for (RwReal v : {tight.inf.x, tight.inf.y, tight.inf.z, tight.sup.x, tight.sup.y, tight.sup.z}) {
        PutReal(header, v);
    }
    PutU32(header, 0);
    PutU32(header, 0);
    // The arrays travel inside the struct, after its 44-byte head.
    std::vector<RwUInt8> &body = header;
    for (const RwV3d &v : mesh.vertices) {
        PutReal(body, v.x);
        PutReal(body, v.y);
        PutReal(body, v.z);
    }
    for (RwInt32 t = 0; t < nt; ++t) {
        const RwUInt16 fields[4] = {0, mesh.triangles[3 * t], mesh.triangles[3 * t + 1], mesh.triangles[3 * t + 2]};
        for (RwUInt16 f : fields) {
            body.push_back(static_cast<RwUInt8>(f));
            body.push_back(static_cast<RwUInt8>(f >> 8));
        }
    }
    std::vector<RwUInt8> section = Chunk(rwID_STRUCT, body);
    const std::vector<RwUInt8> ext = extra.sector ? extra.sector(number) : std::vector<RwUInt8>{};
    const std::vector<RwUInt8> extension = Chunk(rwID_EXTENSION, ext);
    section.insert(section.end(), extension.begin(), extension.end());
    return Chunk(rwID_ATOMICSECT, section);
}

std::vector<RwUInt8> PlaneSection(RwInt32 axisOffset, RwReal value, const std::vector<RwUInt8> &left, bool leftLeaf,
                                  const std::vector<RwUInt8> &right, bool rightLeaf)
{
    std::vector<RwUInt8> header;
    PutU32(header, static_cast<RwUInt32>(axisOffset));
    PutReal(header, value);
    PutU32(header, leftLeaf ? 1 : 0);
    PutU32(header, rightLeaf ? 1 : 0);
    PutReal(header, value);
    PutReal(header, value);
    std::vector<RwUInt8> body = Chunk(rwID_STRUCT, header);
    body.insert(body.end(), left.begin(), left.end());
    body.insert(body.end(), right.begin(), right.end());
    return Chunk(rwID_PLANESECT, body);
}

std::vector<RwUInt8> MaterialList()
{
    RpMaterialList list;
    RpMaterialListInitialize(&list);
    RpMaterial *material = RpMaterialCreate();
    RpMaterialListAppendMaterial(&list, material);
    RpMaterialDestroy(material);
    RwMemoryDescriptor desc{nullptr, 0};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, &desc);
    RpMaterialListStreamWrite(&list, stream);
    RpMaterialListDeinitialize(&list);
    return rwtest::CloseMemoryWrite(stream);
}

}  // namespace

RwReal GridHeight(RwInt32 ix, RwInt32 iz)
{
    return 2.0f * std::sin(static_cast<RwReal>(ix) * 0.7f) + 1.5f * std::cos(static_cast<RwReal>(iz) * 0.45f) +
           0.1f * static_cast<RwReal>(ix);
}

RwReal FloorHeight(RwReal x, RwReal z)
{
    const RwInt32 i = std::min(static_cast<RwInt32>(x / kCell), kCells - 1);
    const RwInt32 j = std::min(static_cast<RwInt32>(z / kCell), kCells - 1);
    const RwReal u = x / kCell - static_cast<RwReal>(i), v = z / kCell - static_cast<RwReal>(j);
    const RwReal h00 = GridHeight(i, j), h10 = GridHeight(i + 1, j);
    const RwReal h01 = GridHeight(i, j + 1), h11 = GridHeight(i + 1, j + 1);
    if (u + v <= 1.0f) {
        return h00 + (h10 - h00) * u + (h01 - h00) * v;
    }
    return h11 + (h01 - h11) * (1.0f - u) + (h10 - h11) * (1.0f - v);
}

void PutU32(std::vector<RwUInt8> &out, RwUInt32 value)
{
    for (RwInt32 i = 0; i < 4; ++i) {
        out.push_back(static_cast<RwUInt8>(value >> (8 * i)));
    }
}

void PutReal(std::vector<RwUInt8> &out, RwReal value)
{
    RwUInt32 bits = 0;
    std::memcpy(&bits, &value, 4);
    PutU32(out, bits);
}

std::vector<RwUInt8> Chunk(RwUInt32 type, const std::vector<RwUInt8> &body)
{
    std::vector<RwUInt8> out;
    PutU32(out, type);
    PutU32(out, static_cast<RwUInt32>(body.size()));
    PutU32(out, RwLibraryStampMake(rwLIBRARYVERSION, rwLIBRARYBUILD));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<RwUInt8> TerrainWorldBody(const ExtraChunks &extra)
{
    RwInt32 triangles = 0, vertices = 0;
    const auto s0 = AtomicSection(0, 0, 0, extra, &triangles, &vertices);
    const auto s1 = AtomicSection(1, 0, 1, extra, &triangles, &vertices);
    const auto s2 = AtomicSection(2, 1, 0, extra, &triangles, &vertices);
    const auto s3 = AtomicSection(3, 1, 1, extra, &triangles, &vertices);
    const RwReal half = kExtent / 2;
    const auto left = PlaneSection(8, half, s0, true, s1, true);
    const auto right = PlaneSection(8, half, s2, true, s3, true);
    const auto root = PlaneSection(0, half, left, false, right, false);
    std::vector<RwUInt8> header;
    PutU32(header, 0);  // root is a plane
    for (RwInt32 i = 0; i < 3; ++i) {
        PutReal(header, 0.0f);
    }
    PutU32(header, static_cast<RwUInt32>(triangles));
    PutU32(header, static_cast<RwUInt32>(vertices));
    PutU32(header, 3);
    PutU32(header, 4);
    PutU32(header, 0);
    PutU32(header, kFormat);
    for (RwReal v : {kExtent, 12.0f, kExtent, 0.0f, -8.0f, 0.0f}) {
        PutReal(header, v);
    }
    std::vector<RwUInt8> body = Chunk(rwID_STRUCT, header);
    const auto materials = MaterialList();
    body.insert(body.end(), materials.begin(), materials.end());
    body.insert(body.end(), root.begin(), root.end());
    const auto extension = Chunk(rwID_EXTENSION, extra.world);
    body.insert(body.end(), extension.begin(), extension.end());
    return body;
}

RpWorld *ReadWorld(std::vector<RwUInt8> &body)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(body, &desc);
    RpWorld *world = RpWorldStreamRead(stream);
    RwStreamClose(stream, nullptr);
    return world;
}

bool AttachAll() { return RpWorldPluginAttach() && RpCollisionPluginAttach() && RpPVSPluginAttach(); }

void CollisionTest::SetUp()
{
    rwtest::CountingMemory::Reset();
    rwtest::FakeDevice::Reset();
    liveBefore = rwtest::CountingMemory::LiveBlocks();
    ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachAll));
}

void CollisionTest::TearDown()
{
    EXPECT_TRUE(rwtest::EngineShutDown());
    EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), liveBefore);
}

}  // namespace collistest
