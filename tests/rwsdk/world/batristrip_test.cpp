// Tri-strip building: the worked cases of the greedy cover and the joins,
// and random meshes whose strips must decode to exactly their triangles.
#include <algorithm>
#include <array>
#include <map>
#include <random>

#include "rwsdk/world/world_test_support.h"

namespace batristrip_test {

namespace {

using rwtest::WorldTest;
using Tri = std::array<RwUInt16, 3>;

// A triangle up to rotation (winding kept).
Tri Canonical(Tri t)
{
    auto low = std::min_element(t.begin(), t.end()) - t.begin();
    std::rotate(t.begin(), t.begin() + low, t.end());
    return t;
}

std::multiset<Tri> Decode(const RwUInt16 *strip, RwUInt32 length)
{
    std::multiset<Tri> out;
    for (RwUInt32 i = 0; i + 2 < length; ++i) {
        Tri t = (i % 2 == 0) ? Tri{strip[i], strip[i + 1], strip[i + 2]} : Tri{strip[i + 1], strip[i], strip[i + 2]};
        if (t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) {
            out.insert(Canonical(t));
        }
    }
    return out;
}

RpMeshHeader *Strip(RpMaterial *material, const std::vector<Tri> &tris)
{
    RpBuildMesh *build = RpBuildMeshCreate(static_cast<RwUInt32>(tris.size()));
    for (const Tri &t : tris) {
        RpBuildMeshAddTriangle(build, material, t[0], t[1], t[2], 0, 0, 0, 0);
    }
    return RpBuildMeshGenerate(build, TRUE);
}

std::vector<RwUInt16> Indices(const RpMeshHeader *header)
{
    const RpMesh &mesh = RpMeshHeaderGetMeshes(header)[0];
    return {mesh.indices, mesh.indices + mesh.numIndices};
}

class TriStripTest : public WorldTest {};

TEST_F(TriStripTest, WorkedCases)
{
    RpMaterial *material = RpMaterialCreate();
    RpMeshHeader *one = Strip(material, {{4, 5, 6}});
    EXPECT_EQ(one->flags, rpMESHHEADERTRISTRIP);
    EXPECT_EQ(Indices(one), (std::vector<RwUInt16>{4, 5, 6}));
    RpMeshHeaderDestroy(one);
    // Two triangles sharing (1, 2) in opposite directions: the second, at
    // the head of its bucket, starts the strip.
    RpMeshHeader *two = Strip(material, {{0, 1, 2}, {2, 1, 3}});
    EXPECT_EQ(Indices(two), (std::vector<RwUInt16>{3, 2, 1, 0}));
    RpMeshHeaderDestroy(two);
    RpMaterialDestroy(material);
}

TEST_F(TriStripTest, JoinsKeepParity)
{
    auto join = [](std::vector<std::vector<RwUInt16>> strips) {
        std::vector<RpTriStrip> records(strips.size());
        RwUInt32 room = 0;
        for (size_t i = 0; i < strips.size(); ++i) {
            records[i] = {strips[i].data(), static_cast<RwUInt32>(strips[i].size()),
                          static_cast<RwUInt32>(strips[i].size()), i + 1 < strips.size() ? &records[i + 1] : nullptr};
            room += records[i].length + 6;
        }
        std::vector<RwUInt16> out(room);
        out.resize(RpTriStripJoin(&records[0], out.data()));
        return out;
    };
    EXPECT_EQ(join({{2, 3, 4}, {4, 5, 6}}), (std::vector<RwUInt16>{2, 3, 4, 4, 4, 5, 6}));
    EXPECT_EQ(join({{0, 1, 2, 3}, {3, 5, 6}}), (std::vector<RwUInt16>{0, 1, 2, 3, 3, 5, 6}));
    EXPECT_EQ(join({{2, 3, 4}, {0, 1, 5}}), (std::vector<RwUInt16>{2, 3, 4, 4, 0, 0, 0, 1, 5}));
}

// Grids with random holes and shuffled, rotated triangles, plus fully random
// triangles: the decoded strip must hold every triangle once with its
// winding, and nothing else.
TEST_F(TriStripTest, RandomMeshesDecodeToTheSameTriangles)
{
    RpMaterial *material = RpMaterialCreate();
    std::mt19937 random(1234);
    for (int round = 0; round < 60; ++round) {
        std::vector<Tri> tris;
        if (round % 3 != 2) {
            const int w = 2 + static_cast<int>(random() % 9);
            const int h = 2 + static_cast<int>(random() % 9);
            for (int y = 0; y < h - 1; ++y) {
                for (int x = 0; x < w - 1; ++x) {
                    auto v = [&](int dx, int dy) { return static_cast<RwUInt16>((y + dy) * w + x + dx); };
                    if (random() % 5 != 0) {
                        tris.push_back({v(0, 0), v(1, 0), v(1, 1)});
                    }
                    if (random() % 5 != 0) {
                        tris.push_back({v(0, 0), v(1, 1), v(0, 1)});
                    }
                }
            }
        } else {
            const int n = 1 + static_cast<int>(random() % 40);
            for (int i = 0; i < n; ++i) {
                RwUInt16 a = static_cast<RwUInt16>(random() % 12);
                RwUInt16 b = static_cast<RwUInt16>((a + 1 + random() % 11) % 12);
                RwUInt16 c = static_cast<RwUInt16>(random() % 12);
                while (c == a || c == b) {
                    c = static_cast<RwUInt16>((c + 1) % 12);
                }
                tris.push_back({a, b, c});
            }
        }
        if (tris.empty()) {
            continue;
        }
        std::shuffle(tris.begin(), tris.end(), random);
        std::multiset<Tri> expected;
        for (Tri &t : tris) {
            std::rotate(t.begin(), t.begin() + random() % 3, t.end());
            expected.insert(Canonical(t));
        }
        RpMeshHeader *header = Strip(material, tris);
        ASSERT_NE(header, nullptr);
        ASSERT_EQ(header->numMeshes, 1u);
        std::vector<RwUInt16> strip = Indices(header);
        EXPECT_EQ(Decode(strip.data(), static_cast<RwUInt32>(strip.size())), expected) << "round " << round;
        EXPECT_EQ(header->totalIndicesInMesh, strip.size());
        RpMeshHeaderDestroy(header);
    }
    RpMaterialDestroy(material);
}

}  // namespace

}  // namespace batristrip_test
