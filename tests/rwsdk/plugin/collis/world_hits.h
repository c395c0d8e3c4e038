// Checking world triangle queries against the triangles themselves: the
// hits a query reports, and the hits the engine's exact primitive tests
// give when every triangle of every sector is tested directly. Any world
// will do, so the collision suites and the sample-data tests share it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "rpcollis.h"
#include "rpworld.h"
#include "rtintsec.h"

namespace collistest {

// A triangle: its sector and its index in the sector's polygons.
using Hit = std::pair<const RpWorldSector *, RwInt32>;

struct Found {
    std::set<Hit> hits;
    std::map<Hit, RwReal> distance;
    RwInt32 calls = 0;
};

// A world triangle callback filling a Found.
inline RpCollisionTriangle *Record(RpIntersection *, RpWorldSector *sector, RpCollisionTriangle *triangle,
                                   RwReal distance, void *data)
{
    auto *found = static_cast<Found *>(data);
    ++found->calls;
    const Hit hit = {sector, triangle->index};
    found->hits.insert(hit);
    found->distance[hit] = distance;
    return triangle;
}

// Every sector of a world, in walk order.
inline std::vector<RpWorldSector *> Sectors(RpWorld *world)
{
    std::vector<RpWorldSector *> sectors;
    RpWorldForAllWorldSectors(
        world,
        [](RpWorldSector *sector, void *data) {
            static_cast<std::vector<RpWorldSector *> *>(data)->push_back(sector);
            return sector;
        },
        &sectors);
    return sectors;
}

// Every triangle of every sector for which test(v0, v1, v2) holds.
template <typename Test>
std::set<Hit> BruteForce(RpWorld *world, Test test)
{
    std::set<Hit> hits;
    for (RpWorldSector *sector : Sectors(world)) {
        for (RwInt32 i = 0; i < sector->numPolygons; ++i) {
            const RpPolygon &p = sector->polygons[i];
            if (test(&sector->vertices[p.vertIndex[0]], &sector->vertices[p.vertIndex[1]],
                     &sector->vertices[p.vertIndex[2]])) {
                hits.insert({sector, i});
            }
        }
    }
    return hits;
}

// What a line, sphere or box query must report, by the primitive tests the
// queries themselves are defined by.
inline std::set<Hit> ExpectedHits(RpWorld *world, const RpIntersection &is)
{
    switch (is.type) {
    case rpINTERSECTLINE: {
        RwV3d delta;
        RwV3dSub(&delta, &is.t.line.end, &is.t.line.start);
        return BruteForce(world, [&](const RwV3d *a, const RwV3d *b, const RwV3d *c) {
            RwReal t;
            return RtIntersectionLineTriangle(&is.t.line.start, &delta, a, b, c, &t) != 0;
        });
    }
    case rpINTERSECTSPHERE:
        return BruteForce(world, [&](const RwV3d *a, const RwV3d *b, const RwV3d *c) {
            RwV3d normal;
            RwReal d;
            return RtIntersectionSphereTriangle(&is.t.sphere, a, b, c, &normal, &d) != 0;
        });
    case rpINTERSECTBOX:
        return BruteForce(world, [&](const RwV3d *a, const RwV3d *b, const RwV3d *c) {
            return RtIntersectionBoxTriangle(&is.t.box, a, b, c) != 0;
        });
    default:
        ADD_FAILURE() << "no direct test for query type " << is.type;
        return {};
    }
}

// Runs a line, sphere or box query on the world and holds it against
// every triangle tested directly: the same triangles, each reported once,
// sphere distances within the sphere. `anyHit` tells whether it found any.
inline ::testing::AssertionResult AgreesWithEveryTriangle(RpWorld *world, RpIntersection *is, bool *anyHit)
{
    Found found;
    if (RpCollisionWorldForAllIntersections(world, is, Record, &found) != world) {
        return ::testing::AssertionFailure() << "the query was refused";
    }
    const std::set<Hit> expected = ExpectedHits(world, *is);
    *anyHit = !expected.empty();
    if (found.hits != expected) {
        return ::testing::AssertionFailure() << found.hits.size() << " triangles found, " << expected.size()
                                             << " expected";
    }
    if (found.calls != static_cast<RwInt32>(expected.size())) {
        return ::testing::AssertionFailure() << found.calls << " callbacks for " << expected.size() << " triangles";
    }
    if (is->type == rpINTERSECTSPHERE) {
        for (const auto &[hit, distance] : found.distance) {
            if (std::fabs(distance) > 1.0f + 1e-4f) {
                return ::testing::AssertionFailure() << "sphere distance " << distance;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The smallest distance a query reported (`none` when it found nothing).
inline RwReal NearestDistance(const Found &found, RwReal none)
{
    RwReal nearest = none;
    for (const auto &[hit, distance] : found.distance) {
        nearest = std::min(nearest, distance);
    }
    return nearest;
}

}  // namespace collistest
