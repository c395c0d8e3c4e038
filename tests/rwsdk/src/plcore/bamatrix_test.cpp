// Tests of the matrix operations, grouped by operation, with expectations
// worked out by hand, and of the matrix chunk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "rwcore.h"
#include "support/engine/engine_env.h"

namespace bamatrix_test {

namespace {

using rwtest::EngineTest;
using rwtest::TakeError;

constexpr RwUInt32 kIdentity = rwMATRIXINTERNALIDENTITY | rwMATRIXTYPEORTHONORMAL;

RwMatrix Rows(RwV3d r, RwV3d u, RwV3d a, RwV3d p, RwUInt32 flags)
{
    RwMatrix m{};
    m.right = r;
    m.up = u;
    m.at = a;
    m.pos = p;
    m.flags = flags;
    return m;
}

RwMatrix Identity() { return Rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}, kIdentity); }

// A non-orthonormal matrix: scale then shear, with a translation.
RwMatrix General() { return Rows({2, 0, 0}, {1, 1, 0}, {0, 0, 4}, {1, 2, 3}, 0); }

// Rotation of 90 degrees about z (x -> y) with a translation.
RwMatrix Rot90Z(RwV3d pos) { return Rows({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, pos, rwMATRIXTYPEORTHONORMAL); }

void ExpectV3d(const RwV3d &v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

void ExpectRows(const RwMatrix &m, const RwMatrix &e, float tol = 1e-5f)
{
    ExpectV3d(m.right, e.right.x, e.right.y, e.right.z, tol);
    ExpectV3d(m.up, e.up.x, e.up.y, e.up.z, tol);
    ExpectV3d(m.at, e.at.x, e.at.y, e.at.z, tol);
    ExpectV3d(m.pos, e.pos.x, e.pos.y, e.pos.z, tol);
}

using MatrixCreate = EngineTest;

TEST_F(MatrixCreate, IdentityWithIdentityFlagsAndBackToFreeList)
{
    RwMatrix *m = RwMatrixCreate();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->flags, kIdentity);
    ExpectRows(*m, Identity());
    EXPECT_TRUE(RwMatrixDestroy(m));
}

using MatrixMultiply = EngineTest;

TEST_F(MatrixMultiply, AppliesLeftOperandFirst)
{
    // General first, then rotate about z and move by (5,0,0):
    // right (2,0,0)->(0,2,0); up (1,1,0)->(-1,1,0); at stays (0,0,4);
    // pos (1,2,3)->(-2,1,3)+(5,0,0) = (3,1,3).
    const RwMatrix a = General();
    const RwMatrix b = Rot90Z({5, 0, 0});
    RwMatrix dst{};
    RwMatrixMultiply(&dst, &a, &b);
    ExpectRows(dst, Rows({0, 2, 0}, {-1, 1, 0}, {0, 0, 4}, {3, 1, 3}, 0));
    EXPECT_EQ(dst.flags, 0u);  // a AND b
}

TEST_F(MatrixMultiply, IdentityFlaggedOperandCopiesTheOtherWithItsFlags)
{
    const RwMatrix id = Identity();
    const RwMatrix b = Rot90Z({1, 2, 3});
    RwMatrix dst{};
    RwMatrixMultiply(&dst, &id, &b);
    ExpectRows(dst, b);
    EXPECT_EQ(dst.flags, b.flags);
    RwMatrixMultiply(&dst, &b, &id);
    EXPECT_EQ(dst.flags, b.flags);
}

int multiplyCalls = 0;
void CountingMultiply(RwMatrix *dst, const RwMatrix *a, const RwMatrix *)
{
    ++multiplyCalls;
    dst->right = a->right;
    dst->up = a->up;
    dst->at = a->at;
    dst->pos = {42, 42, 42};
}

TEST_F(MatrixMultiply, InstalledRoutineComputesAndFlagsAreSetAround)
{
    multiplyCalls = 0;
    RwMatrixSetMultiplyFunction(CountingMultiply);
    const RwMatrix a = General();
    const RwMatrix b = Rot90Z({0, 0, 0});
    RwMatrix dst{};
    dst.flags = 0xFFFF;
    RwMatrixMultiply(&dst, &a, &b);
    EXPECT_EQ(multiplyCalls, 1);
    EXPECT_EQ(dst.pos.x, 42.0f);
    EXPECT_EQ(dst.flags, 0u);
    RwMatrix m = General();
    RwMatrixTransform(&m, &b, rwCOMBINEPOSTCONCAT);
    EXPECT_EQ(multiplyCalls, 2);
    RwMatrixSetMultiplyFunction(nullptr);
    RwMatrixMultiply(&dst, &a, &b);
    EXPECT_EQ(multiplyCalls, 2);
    ExpectV3d(dst.pos, -2, 1, 3);
}

using MatrixTransform = EngineTest;

TEST_F(MatrixTransform, ReplacePreAndPostConcatenate)
{
    const RwMatrix t = Rot90Z({5, 0, 0});
    RwMatrix m = General();
    RwMatrixTransform(&m, &t, rwCOMBINEPOSTCONCAT);  // m x t
    ExpectRows(m, Rows({0, 2, 0}, {-1, 1, 0}, {0, 0, 4}, {3, 1, 3}, 0));

    m = General();
    RwMatrixTransform(&m, &t, rwCOMBINEPRECONCAT);  // t x m
    // t.right (0,1,0) x m = up row of m = (1,1,0); t.up (-1,0,0) -> (-2,0,0);
    // t.at -> (0,0,4); t.pos (5,0,0) -> (10,0,0) + (1,2,3) = (11,2,3).
    ExpectRows(m, Rows({1, 1, 0}, {-2, 0, 0}, {0, 0, 4}, {11, 2, 3}, 0));
    EXPECT_EQ(m.flags, 0u);

    m = General();
    RwMatrixTransform(&m, &t, rwCOMBINEREPLACE);
    ExpectRows(m, t);
    EXPECT_EQ(m.flags, t.flags);
}

TEST_F(MatrixTransform, IdentityShortcuts)
{
    const RwMatrix id = Identity();
    const RwMatrix t = Rot90Z({1, 1, 1});
    RwMatrix m = id;
    RwMatrixTransform(&m, &t, rwCOMBINEPRECONCAT);
    ExpectRows(m, t);
    EXPECT_EQ(m.flags, t.flags);
    m = General();
    RwMatrixTransform(&m, &id, rwCOMBINEPOSTCONCAT);
    ExpectRows(m, General());
}

TEST_F(MatrixTransform, BadCombineTypeIsRefusedAndChangesNothing)
{
    RwMatrix m = General();
    const RwMatrix t = Rot90Z({0, 0, 0});
    const RwV3d v{1, 1, 1};
    EXPECT_EQ(RwMatrixTransform(&m, &t, static_cast<RwOpCombineType>(3)), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_BADPARAM);
    EXPECT_EQ(RwMatrixTranslate(&m, &v, static_cast<RwOpCombineType>(-1)), nullptr);
    EXPECT_EQ(RwMatrixScale(&m, &v, static_cast<RwOpCombineType>(7)), nullptr);
    EXPECT_EQ(RwMatrixRotateOneMinusCosineSine(&m, &v, 1, 0, static_cast<RwOpCombineType>(3)), nullptr);
    // Rotate itself always hands back the matrix.
    EXPECT_EQ(RwMatrixRotate(&m, &v, 30, static_cast<RwOpCombineType>(3)), &m);
    ExpectRows(m, General());
    EXPECT_EQ(m.flags, 0u);
    EXPECT_EQ(TakeError().errorCode, E_RW_BADPARAM);
}

using MatrixTranslate = EngineTest;

TEST_F(MatrixTranslate, ReplaceFlagsOrthonormalNotIdentity)
{
    RwMatrix m = General();
    m.flags = 0x100;
    const RwV3d v{1, 2, 3};
    RwMatrixTranslate(&m, &v, rwCOMBINEREPLACE);
    ExpectRows(m, Rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}, 0));
    EXPECT_EQ(m.flags, 0x103u);
}

TEST_F(MatrixTranslate, PreMovesAlongOwnAxesPostInWorld)
{
    const RwV3d v{1, 1, 1};
    RwMatrix m = General();
    RwMatrixTranslate(&m, &v, rwCOMBINEPRECONCAT);
    ExpectV3d(m.pos, 1 + 2 + 1, 2 + 1, 3 + 4);
    m = Identity();
    RwMatrixTranslate(&m, &v, rwCOMBINEPOSTCONCAT);
    ExpectV3d(m.pos, 1, 1, 1);
    EXPECT_EQ(m.flags, rwMATRIXTYPEORTHONORMAL);
}

using MatrixScale = EngineTest;

TEST_F(MatrixScale, ThreeCombineTypes)
{
    const RwV3d s{2, 3, 4};
    RwMatrix m = Identity();
    RwMatrixScale(&m, &s, rwCOMBINEREPLACE);
    ExpectRows(m, Rows({2, 0, 0}, {0, 3, 0}, {0, 0, 4}, {0, 0, 0}, 0));
    EXPECT_EQ(m.flags, 0u);

    m = General();
    RwMatrixScale(&m, &s, rwCOMBINEPRECONCAT);
    ExpectRows(m, Rows({4, 0, 0}, {3, 3, 0}, {0, 0, 16}, {1, 2, 3}, 0));

    m = General();
    RwMatrixScale(&m, &s, rwCOMBINEPOSTCONCAT);
    ExpectRows(m, Rows({4, 0, 0}, {2, 3, 0}, {0, 0, 16}, {2, 6, 12}, 0));
}

using MatrixRotate = EngineTest;

TEST_F(MatrixRotate, NinetyDegreesAboutUnnormalisedZMapsXToY)
{
    RwMatrix m = Identity();
    const RwV3d axis{0, 0, 2};
    RwMatrixRotate(&m, &axis, 90.0f, rwCOMBINEREPLACE);
    ExpectRows(m, Rot90Z({0, 0, 0}), 1e-4f);
    EXPECT_EQ(m.flags, rwMATRIXTYPEORTHONORMAL);
}

TEST_F(MatrixRotate, PreAndPostConcatenationKeepOldFlagsAndThree)
{
    const RwV3d z{0, 0, 1};
    RwMatrix m = Rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}, rwMATRIXTYPEORTHONORMAL | 0x40);
    RwMatrixRotate(&m, &z, 90.0f, rwCOMBINEPOSTCONCAT);  // the position turns too
    ExpectV3d(m.pos, 0, 1, 0, 1e-4f);
    EXPECT_EQ(m.flags, rwMATRIXTYPEORTHONORMAL);

    m = Rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}, rwMATRIXTYPEORTHONORMAL);
    RwMatrixRotate(&m, &z, 90.0f, rwCOMBINEPRECONCAT);  // the position stays
    ExpectV3d(m.pos, 1, 0, 0, 1e-4f);
    ExpectV3d(m.right, 0, 1, 0, 1e-4f);
}

using MatrixInvert = EngineTest;

TEST_F(MatrixInvert, OrthonormalByTransposeTimesSourceIsIdentity)
{
    RwMatrix m = Identity();
    const RwV3d axis{1, 2, 3};
    RwMatrixRotate(&m, &axis, 37.0f, rwCOMBINEREPLACE);
    const RwV3d t{4, -5, 6};
    RwMatrixTranslate(&m, &t, rwCOMBINEPOSTCONCAT);
    RwMatrix inv{};
    RwMatrixInvert(&inv, &m);
    EXPECT_EQ(inv.flags, rwMATRIXTYPEORTHONORMAL);
    RwMatrix product{};
    RwMatrixMultiply(&product, &inv, &m);
    ExpectRows(product, Identity(), 2e-3f);
}

TEST_F(MatrixInvert, GeneralByCofactors)
{
    // General(): 3x3 [[2,0,0],[1,1,0],[0,0,4]], det 8;
    // inverse [[0.5,0,0],[-0.5,1,0],[0,0,0.25]]; pos -(1,2,3)*inv = (0.5,-2,-0.75).
    RwMatrix inv{};
    const RwMatrix g = General();
    RwMatrixInvert(&inv, &g);
    ExpectRows(inv, Rows({0.5f, 0, 0}, {-0.5f, 1, 0}, {0, 0, 0.25f}, {0.5f, -2, -0.75f}, 0));
    EXPECT_EQ(inv.flags, 0u);
    RwMatrix m = General();
    RwMatrixInvert(&m, &m);  // in place
    ExpectRows(m, inv);
}

TEST_F(MatrixInvert, SingularMatricesGiveFiniteResultsForEitherSignOfZero)
{
    // right = (0,0,0) makes the determinant +0. With negative zeros in the
    // first column every term of the first-column expansion is -0:
    // (-0)(1) + (0)(-(0*1 - 0*0)) + (-0)(0*0 - 0*1) = -0, whose reciprocal
    // would be -infinity.
    const RwMatrix plus = Rows({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, 0);
    const RwMatrix minus = Rows({-0.0f, 0, 0}, {0, 1, 0}, {-0.0f, 0, 1}, {1, 1, 1}, 0);
    for (const RwMatrix &src : {plus, minus}) {
        RwMatrix inv{};
        RwMatrixInvert(&inv, &src);
        for (float v : {inv.right.x, inv.right.y, inv.right.z, inv.up.x, inv.up.y, inv.up.z, inv.at.x, inv.at.y,
                        inv.at.z, inv.pos.x, inv.pos.y, inv.pos.z}) {
            EXPECT_TRUE(std::isfinite(v));
        }
    }
}

TEST_F(MatrixInvert, IdentityIsCopied)
{
    RwMatrix inv = General();
    const RwMatrix id = Identity();
    RwMatrixInvert(&inv, &id);
    ExpectRows(inv, Identity());
    EXPECT_EQ(inv.flags, kIdentity);
}

using MatrixOrthonormalize = EngineTest;

TEST_F(MatrixOrthonormalize, KeepsTheLeastDisturbedAxis)
{
    // at.up = 0 is the smallest dot product, so up is kept:
    // right = up x at, at = right x up.
    const RwMatrix src = Rows({1, 0.2f, 0}, {0, 2, 0}, {0.3f, 0, 1}, {7, 8, 9}, 0x20000);
    RwMatrix dst{};
    dst.flags = 0x20040;
    RwMatrixOrthonormalize(&dst, &src);
    ExpectV3d(dst.up, 0, 1, 0, 1e-3f);
    EXPECT_NEAR(RwMatrixNormalError(&dst), 0.0f, 1e-5f);
    EXPECT_NEAR(RwMatrixOrthogonalError(&dst), 0.0f, 1e-5f);
    EXPECT_GT(RwMatrixDeterminant(&dst), 0.99f);
    ExpectV3d(dst.pos, 7, 8, 9);
    EXPECT_EQ(dst.flags, 0x43u);
}

TEST_F(MatrixOrthonormalize, ZeroRightKeepsUp)
{
    const RwMatrix src = Rows({0, 0, 0}, {0, 3, 0}, {0, 0, 2}, {0, 0, 0}, 0);
    RwMatrix dst{};
    RwMatrixOrthonormalize(&dst, &src);
    ExpectV3d(dst.right, 1, 0, 0, 1e-3f);
    ExpectV3d(dst.up, 0, 1, 0, 1e-3f);
    ExpectV3d(dst.at, 0, 0, 1, 1e-3f);
}

using MatrixFlags = EngineTest;

TEST_F(MatrixFlags, ErrorsDeterminantAndUpdateFlags)
{
    const RwMatrix g = General();
    // |right|^2 = 4, |up|^2 = 2, |at|^2 = 16: 9 + 1 + 225.
    EXPECT_FLOAT_EQ(RwMatrixNormalError(&g), 235.0f);
    // at.up 0, at.right 0, up.right 2.
    EXPECT_FLOAT_EQ(RwMatrixOrthogonalError(&g), 4.0f);
    EXPECT_FLOAT_EQ(RwMatrixDeterminant(&g), 8.0f);
    const RwMatrix id = Identity();
    EXPECT_FLOAT_EQ(RwMatrixIdentityError(&id), 0.0f);

    RwMatrix m = Rot90Z({0, 0, 0});
    m.flags = 0x100;
    RwMatrixUpdateFlags(&m, nullptr);
    EXPECT_EQ(m.flags, 0x103u);
    m = Identity();
    m.flags = 0;
    RwMatrixUpdateFlags(&m, nullptr);
    EXPECT_EQ(m.flags, kIdentity);
    m = General();
    m.flags = kIdentity;
    RwMatrixUpdateFlags(&m, nullptr);
    EXPECT_EQ(m.flags, 0u);
    const RwMatrixTolerance loose{1000, 1000, 1e9f};
    RwMatrixUpdateFlags(&m, &loose);
    EXPECT_EQ(m.flags, kIdentity);
    RwMatrixMarkChanged(&m);
    EXPECT_EQ(m.flags, 0u);
}

using MatrixStream = EngineTest;

RwMemoryDescriptor WriteMatrix(const RwMatrix *m)
{
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    EXPECT_NE(RwMatrixStreamWrite(m, out), nullptr);
    RwMemoryDescriptor mem{nullptr, 0};
    RwStreamClose(out, &mem);
    return mem;
}

TEST_F(MatrixStream, RoundTripAndLayout)
{
    const RwMatrix g = General();
    RwMemoryDescriptor mem = WriteMatrix(&g);
    ASSERT_EQ(mem.length, 12u + RwMatrixStreamGetSize(&g));
    EXPECT_EQ(RwMatrixStreamGetSize(&g), 64u);
    // Chunk type 0x0D, then the struct header, then right.x = 2.0f.
    EXPECT_EQ(mem.start[0], 0x0D);
    EXPECT_EQ(mem.start[12], 0x01);
    EXPECT_EQ(mem.start[16], 52);
    float rightX;
    std::memcpy(&rightX, mem.start + 24, 4);
    EXPECT_EQ(rightX, 2.0f);

    RwStream *in = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &mem);
    ASSERT_TRUE(RwStreamFindChunk(in, rwID_MATRIX, nullptr, nullptr));
    RwMatrix *read = RwMatrixStreamRead(in, nullptr);
    ASSERT_NE(read, nullptr);
    ExpectRows(*read, g);
    EXPECT_EQ(read->flags, 0u);
    RwMatrixDestroy(read);
    RwStreamClose(in, nullptr);
    RwFree(mem.start);
}

TEST_F(MatrixStream, OrthonormalMatrixComesBackOrthonormalised)
{
    RwMatrix m = Rot90Z({1, 2, 3});
    m.up = {-1.01f, 0.0f, 0.0f};  // a little off, still flagged orthonormal
    RwMemoryDescriptor mem = WriteMatrix(&m);
    RwStream *in = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &mem);
    RwStreamFindChunk(in, rwID_MATRIX, nullptr, nullptr);
    RwMatrix target{};
    ASSERT_EQ(RwMatrixStreamRead(in, &target), &target);
    EXPECT_EQ(target.flags, rwMATRIXTYPEORTHONORMAL);
    EXPECT_NEAR(RwMatrixNormalError(&target), 0.0f, 1e-5f);
    ExpectV3d(target.pos, 1, 2, 3);
    RwStreamClose(in, nullptr);
    RwFree(mem.start);
}

TEST_F(MatrixStream, ShortStructIsRefusedWithoutReadingPastIt)
{
    // Struct chunk claiming 40 bytes, followed by more data.
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    RwStreamWriteChunkHeaderDefault(out, rwID_STRUCT, 40);
    for (int i = 0; i < 20; ++i) RwStreamWriteReal(out, 1.0f);
    RwMemoryDescriptor mem{nullptr, 0};
    RwStreamClose(out, &mem);
    RwStream *in = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &mem);
    EXPECT_EQ(RwMatrixStreamRead(in, nullptr), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_READ);
    RwStreamClose(in, nullptr);
    RwFree(mem.start);
}

}  // namespace

}  // namespace bamatrix_test
