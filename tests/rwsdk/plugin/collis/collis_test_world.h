// A test stage for the collision and PVS suites: a started engine with the
// world library, collision and PVS attached, and a world read through the
// engine's own world reader from bytes composed here: a rolling height
// field split by a BSP into sectors, with pillar walls in one corner, whose
// floor height is known everywhere.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "rpcollis.h"
#include "rppvs.h"
#include "rpworld.h"
#include "rwsdk/plugin/collis/world_hits.h"

namespace collistest {

// Ground plan: x and z in [0, kExtent], split in cells of kCell.
constexpr RwReal kExtent = 64.0f;
constexpr RwReal kCell = 4.0f;
constexpr RwInt32 kCells = 16;

// The height the terrain has at a grid point.
RwReal GridHeight(RwInt32 ix, RwInt32 iz);
// The floor height under (x, z): the plane of the triangle covering it.
RwReal FloorHeight(RwReal x, RwReal z);

// Extra bytes to put into each sector's extension chunk (a sub-chunk of
// plug-in id, body), by sector number in file order; and the world's.
struct ExtraChunks {
    std::function<std::vector<RwUInt8>(RwInt32 sector)> sector;
    std::vector<RwUInt8> world;
};

// The world chunk's body: four sectors under planes x = 32, then z = 32.
std::vector<RwUInt8> TerrainWorldBody(const ExtraChunks &extra = {});
// Reads a world body; null (and the error left in the slot) on failure.
RpWorld *ReadWorld(std::vector<RwUInt8> &body);
// A 12-byte chunk header followed by `body`.
std::vector<RwUInt8> Chunk(RwUInt32 type, const std::vector<RwUInt8> &body);
void PutU32(std::vector<RwUInt8> &out, RwUInt32 value);
void PutReal(std::vector<RwUInt8> &out, RwReal value);

bool AttachAll();

// Engine started with everything attached; checks for leaks at the end.
class CollisionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    size_t liveBefore = 0;
};

}  // namespace collistest
