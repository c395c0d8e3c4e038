// The tank's vertex writers against hand-computed vertices: positions of
// camera-facing, rotating, matrix and point particles (with and without the
// centre offset), texture coordinates, colours and normals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "plugin/ptank/ptank.h"

namespace d3d8ptankwriters_test {

namespace {

// A tank record with hand-made attribute arrays and a vertex area the
// writers fill; no engine is needed for the writers themselves.
struct WriterBench {
    RpPTank tank;
    std::vector<RwUInt8> attributes = std::vector<RwUInt8>(4096, 0);
    std::vector<RwUInt8> vertices = std::vector<RwUInt8>(4096, 0);
    size_t used = 0;

    WriterBench()
    {
        std::memset(&tank, 0, sizeof tank);
        tank.cSize = {1.0f, 1.0f};
        tank.cUV[0] = {0.0f, 0.0f};
        tank.cUV[1] = {0.0f, 1.0f};
        tank.cUV[2] = {1.0f, 1.0f};
        tank.cUV[3] = {1.0f, 0.0f};
    }
    template <typename T>
    void Set(RwInt32 cluster, const std::vector<T> &values)
    {
        RwUInt8 *at = attributes.data() + used;
        std::memcpy(at, values.data(), values.size() * sizeof(T));
        used += values.size() * sizeof(T);
        tank.data.clusters[cluster] = {at, static_cast<RwInt32>(sizeof(T))};
    }
    RpPTankWriterChoice Writers(RwUInt32 flags, RwBool points = FALSE)
    {
        tank.data.format.dataFlags = flags;
        return RpPTankChooseWriters(flags, points);
    }
    void Positions(RwUInt32 flags, RwInt32 count, RwInt32 stride = 12, RwBool points = FALSE)
    {
        const RwV3d right = {1.0f, 0.0f, 0.0f};
        const RwV3d up = {0.0f, 1.0f, 0.0f};
        RpPTankLockStruct slot = {vertices.data(), stride};
        Writers(flags, points).position(&slot, &right, &up, count, &tank.data);
    }
    RwV3d Vertex(RwInt32 i, RwInt32 stride = 12) const
    {
        RwV3d v;
        std::memcpy(&v, vertices.data() + static_cast<size_t>(i) * stride, sizeof v);
        return v;
    }
    template <typename T>
    T At(size_t byte) const
    {
        T v;
        std::memcpy(&v, vertices.data() + byte, sizeof v);
        return v;
    }
};

void ExpectV3d(const RwV3d &v, RwReal x, RwReal y, RwReal z)
{
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

TEST(PTankPositionWriters, CameraFacingQuadUsesConstantSizeAlongTheAxes)
{
    WriterBench b;
    b.tank.cSize = {2.0f, 4.0f};
    b.Set<RwV3d>(rpPTANKCLUSTERPOSITION, {{1, 2, 3}});
    b.Positions(rpPTANKDFLAGPOSITION, 1);
    ExpectV3d(b.Vertex(0), 0, 0, 3);
    ExpectV3d(b.Vertex(1), 2, 0, 3);
    ExpectV3d(b.Vertex(2), 2, 4, 3);
    ExpectV3d(b.Vertex(3), 0, 4, 3);
}

TEST(PTankPositionWriters, PerParticleSizeAndCentreOffset)
{
    WriterBench b;
    b.tank.cCenter = {1.0f, -1.0f};
    b.Set<RwV3d>(rpPTANKCLUSTERPOSITION, {{0, 0, 0}, {10, 0, 0}});
    b.Set<RwV2d>(rpPTANKCLUSTERSIZE, {{2, 2}, {4, 2}});
    b.Positions(rpPTANKDFLAGPOSITION | rpPTANKDFLAGSIZE | rpPTANKDFLAGUSECENTER, 2);
    ExpectV3d(b.Vertex(0), 0, -2, 0);  // centre (1, -1), half extents (1, 1)
    ExpectV3d(b.Vertex(2), 2, 0, 0);
    ExpectV3d(b.Vertex(4), 9, -2, 0);  // second particle: centre (11, -1), half extents (2, 1)
    ExpectV3d(b.Vertex(6), 13, 0, 0);
}

TEST(PTankPositionWriters, RotationTurnsTheQuadAndItsCentreOffset)
{
    WriterBench b;
    b.tank.cSize = {2.0f, 2.0f};
    b.tank.cCenter = {1.0f, 0.0f};
    b.Set<RwV3d>(rpPTANKCLUSTERPOSITION, {{0, 0, 0}});
    b.Set<RwReal>(rpPTANKCLUSTER2DROTATE, {static_cast<RwReal>(M_PI / 2)});
    b.Positions(rpPTANKDFLAGPOSITION | rpPTANKDFLAG2DROTATE | rpPTANKDFLAGUSECENTER, 1);
    // R' = -U = (0, -1, 0), U' = R = (1, 0, 0); the offset moves along R'.
    ExpectV3d(b.Vertex(0), -1, 0, 0);
    ExpectV3d(b.Vertex(1), -1, -2, 0);
    ExpectV3d(b.Vertex(2), 1, -2, 0);
    ExpectV3d(b.Vertex(3), 1, 0, 0);
}

TEST(PTankPositionWriters, MatrixEdgesAreItsRightAndUpAndIgnoreSize)
{
    WriterBench b;
    b.tank.cSize = {100.0f, 100.0f};
    RwMatrix m = {};
    m.right = {2, 0, 0};
    m.up = {0, 4, 0};
    m.at = {0, 0, 1};
    m.pos = {1, 1, 1};
    RwMatrix doubled = m;
    doubled.right = {4, 0, 0};
    doubled.up = {0, 8, 0};
    b.Set<RwMatrix>(rpPTANKCLUSTERMATRIX, {m, doubled});
    b.Positions(rpPTANKDFLAGMATRIX, 2);
    ExpectV3d(b.Vertex(0), 2, -1, 1);
    ExpectV3d(b.Vertex(1), 0, -1, 1);
    ExpectV3d(b.Vertex(2), 0, 3, 1);
    ExpectV3d(b.Vertex(3), 2, 3, 1);
    ExpectV3d(b.Vertex(4), 3, -3, 1);  // twice the quad around the same point
    ExpectV3d(b.Vertex(6), -1, 5, 1);
}

TEST(PTankPositionWriters, MatrixCentreOffsetFollowsTheMatrixAxes)
{
    WriterBench b;
    b.tank.cCenter = {1.0f, 1.0f};
    RwMatrix m = {};
    m.right = {0, 1, 0};
    m.up = {-1, 0, 0};
    b.Set<RwMatrix>(rpPTANKCLUSTERMATRIX, {m});
    b.Positions(rpPTANKDFLAGMATRIX | rpPTANKDFLAGUSECENTER, 1);
    // Centre q = (0, 0, 0) + right + up = (-1, 1, 0); a = (0, .5, 0), b = (-.5, 0, 0).
    ExpectV3d(b.Vertex(0), -0.5f, 1.5f, 0);
}

TEST(PTankPositionWriters, PointSpriteOffsetAndSizeAfterTheNormal)
{
    WriterBench b;
    b.tank.cCenter = {0.5f, 0.25f};
    b.Set<RwV3d>(rpPTANKCLUSTERPOSITION, {{1, 2, 3}});
    b.Set<RwV2d>(rpPTANKCLUSTERSIZE, {{7, 9}});
    const RwUInt32 flags = rpPTANKDFLAGPOSITION | rpPTANKDFLAGSIZE | rpPTANKDFLAGNORMAL | rpPTANKDFLAGUSECENTER;
    b.Positions(flags, 1, 28, TRUE);
    ExpectV3d(b.Vertex(0, 28), 1.5f, 2.25f, 3);  // moved along world x and y only
    EXPECT_EQ(b.At<RwReal>(24), 7.0f);
    b.Positions(rpPTANKDFLAGPOSITION | rpPTANKDFLAGSIZE, 1, 16, TRUE);
    EXPECT_EQ(b.At<RwReal>(12), 7.0f);
}

TEST(PTankAttributeWriters, TwoCornerCoordinatesSpreadOverTheQuad)
{
    WriterBench b;
    b.Set<RwTexCoords>(rpPTANKCLUSTERVTX2TEXCOORDS, {{0.1f, 0.2f}, {0.3f, 0.4f}});
    b.tank.data.clusters[rpPTANKCLUSTERVTX2TEXCOORDS].stride = 16;
    RpPTankLockStruct slot = {b.vertices.data(), 8};
    b.Writers(rpPTANKDFLAGVTX2TEXCOORDS).texCoords(&slot, 1, &b.tank.data);
    const RwReal expected[8] = {0.1f, 0.4f, 0.3f, 0.4f, 0.3f, 0.2f, 0.1f, 0.2f};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.At<RwReal>(4 * i), expected[i]) << i;
    }
}

TEST(PTankAttributeWriters, ConstantTwoCornersAreTheFirstTwoConstantPairs)
{
    WriterBench b;
    RpPTankLockStruct slot = {b.vertices.data(), 8};
    b.Writers(rpPTANKDFLAGCNSVTX2TEXCOORDS).texCoords(&slot, 1, &b.tank.data);
    // Corners (0, 0) and (0, 1): (uA, vB), (uB, vB), (uB, vA), (uA, vA).
    const RwReal expected[8] = {0, 1, 0, 1, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.At<RwReal>(4 * i), expected[i]) << i;
    }
}

TEST(PTankAttributeWriters, FourCornerCoordinatesPairPerVertex)
{
    WriterBench b;
    b.Set<RwTexCoords>(rpPTANKCLUSTERVTX4TEXCOORDS, {{1, 2}, {3, 4}, {5, 6}, {7, 8}});
    b.tank.data.clusters[rpPTANKCLUSTERVTX4TEXCOORDS].stride = 32;
    RpPTankLockStruct slot = {b.vertices.data(), 20};
    b.Writers(rpPTANKDFLAGVTX4TEXCOORDS).texCoords(&slot, 1, &b.tank.data);
    EXPECT_EQ(b.At<RwReal>(0), 1.0f);
    EXPECT_EQ(b.At<RwReal>(20 + 4), 4.0f);
    EXPECT_EQ(b.At<RwReal>(60), 7.0f);
}

TEST(PTankAttributeWriters, ColoursArePackedAlphaRedGreenBlue)
{
    WriterBench b;
    b.Set<RwRGBA>(rpPTANKCLUSTERCOLOR, {{0x11, 0x22, 0x33, 0x44}});
    RpPTankLockStruct slot = {b.vertices.data(), 16};
    b.Writers(rpPTANKDFLAGCOLOR).colors(&slot, 1, &b.tank.data);
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(b.At<RwUInt32>(16 * v), 0x44112233u);
    }
    WriterBench points;
    points.Set<RwRGBA>(rpPTANKCLUSTERCOLOR, {{1, 2, 3, 4}, {5, 6, 7, 8}});
    RpPTankLockStruct one = {points.vertices.data(), 16};
    points.Writers(rpPTANKDFLAGCOLOR, TRUE).colors(&one, 2, &points.tank.data);
    EXPECT_EQ(points.At<RwUInt32>(0), 0x04010203u);
    EXPECT_EQ(points.At<RwUInt32>(16), 0x08050607u);
}

TEST(PTankAttributeWriters, VertexColoursPerCornerAndConstantOnes)
{
    WriterBench b;
    b.Set<RwRGBA>(rpPTANKCLUSTERVTXCOLOR, {{1, 0, 0, 255}, {0, 2, 0, 255}, {0, 0, 3, 255}, {4, 4, 4, 4}});
    b.tank.data.clusters[rpPTANKCLUSTERVTXCOLOR].stride = 16;
    RpPTankLockStruct slot = {b.vertices.data(), 4};
    b.Writers(rpPTANKDFLAGVTXCOLOR).colors(&slot, 1, &b.tank.data);
    EXPECT_EQ(b.At<RwUInt32>(0), 0xFF010000u);
    EXPECT_EQ(b.At<RwUInt32>(4), 0xFF000200u);
    EXPECT_EQ(b.At<RwUInt32>(12), 0x04040404u);
    b.tank.cVtxColor[2] = {9, 9, 9, 9};
    b.Writers(rpPTANKDFLAGCNSVTXCOLOR).colors(&slot, 1, &b.tank.data);
    EXPECT_EQ(b.At<RwUInt32>(8), 0x09090909u);
}

TEST(PTankAttributeWriters, NormalOnEveryVertexOfTheQuad)
{
    WriterBench b;
    b.Set<RwV3d>(rpPTANKCLUSTERNORMAL, {{0, 0, 1}});
    RpPTankLockStruct slot = {b.vertices.data(), 24};
    b.Writers(rpPTANKDFLAGNORMAL | rpPTANKDFLAGPOSITION).normals(&slot, 1, &b.tank.data);
    ExpectV3d(b.At<RwV3d>(72), 0, 0, 1);
}

TEST(PTankWriterChoice, FirstMatchingFamilyWins)
{
    WriterBench b;
    // Per-particle two-corner coordinates win over the four-corner ones.
    EXPECT_EQ(b.Writers(rpPTANKDFLAGVTX2TEXCOORDS | rpPTANKDFLAGVTX4TEXCOORDS).texCoords,
              b.Writers(rpPTANKDFLAGVTX2TEXCOORDS).texCoords);
    // A constant matrix draws with the plain writer.
    EXPECT_EQ(b.Writers(rpPTANKDFLAGCNSMATRIX | rpPTANKDFLAGSIZE).position, b.Writers(0).position);
    // Points carry no texture coordinates and take the point members.
    const RpPTankWriterChoice points = b.Writers(rpPTANKDFLAGPOSITION | rpPTANKDFLAGCNSVTX2TEXCOORDS, TRUE);
    EXPECT_EQ(points.texCoords, nullptr);
    EXPECT_NE(points.position, b.Writers(rpPTANKDFLAGPOSITION).position);
}

}  // namespace

}  // namespace d3d8ptankwriters_test
