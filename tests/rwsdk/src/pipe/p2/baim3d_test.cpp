// Tests of immediate-mode 3D on fake device nodes: the default pipelines
// built at engine start, the batch the device receives (vertices, matrix,
// flags, primitive types, indices), the clip-space positions a device
// computes from it, error codes, pipeline overrides and allocation failures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "rwcore.h"
#include "rwsdk/src/bacoremodules.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"

namespace baim3d_test {

namespace {

using rwtest::CountingMemory;
using rwtest::TakeError;

struct Clip {
    RwReal x, y, z, w;
};

struct Draw {
    std::string node;
    RwPrimitiveType primType;
    std::vector<RwImVertexIndex> indices;  // empty for an unindexed draw
    RwUInt32 numIndices;
    RwUInt32 flags;
    std::vector<Clip> clip;                // of the vertices drawn, in order
};

RwIm3DBatch *gKept = nullptr;
RwIm3DBatch gTaken;
bool gTransformSucceeds = true;
bool gRenderAllocates = false;
std::vector<Draw> gDraws;
int gDeviceOpens = 0;
int gDeviceCloses = 0;

// The fake device's camera: at the origin looking down +z, near 1, far 101;
// clip = (x, y, z * f / (f - n) - n * f / (f - n), z).
Clip Project(const RwV3d &object, const RwMatrix *ltm)
{
    RwV3d w = object;
    if (ltm != nullptr) {
        w.x = object.x * ltm->right.x + object.y * ltm->up.x + object.z * ltm->at.x + ltm->pos.x;
        w.y = object.x * ltm->right.y + object.y * ltm->up.y + object.z * ltm->at.y + ltm->pos.y;
        w.z = object.x * ltm->right.z + object.y * ltm->up.z + object.z * ltm->at.z + ltm->pos.z;
    }
    const RwReal n = 1.0f, f = 101.0f;
    return Clip{w.x, w.y, w.z * f / (f - n) - n * f / (f - n), w.z};
}

RwBool FakeInstanceBody(RxPipelineNode *, const RxPipelineNodeParam *params)
{
    gKept = RwIm3DBatchFromTransformData(params->dataParam);
    gTaken = *gKept;
    return gTransformSucceeds;
}

RwBool RecordDraw(const char *node, const RxPipelineNodeParam *params)
{
    RwIm3DBatch *batch = RwIm3DBatchFromRenderData(params->dataParam);
    EXPECT_EQ(batch, gKept);
    if (gRenderAllocates && RxHeapAlloc(params->heap, batch->numVerts * 24) == nullptr) {
        return FALSE;
    }
    Draw d{node, batch->primType, {}, batch->numIndices, batch->flags, {}};
    for (RwUInt32 i = 0; i < batch->numIndices; i++) {
        RwUInt32 v = i;
        if (batch->indices != nullptr) {
            d.indices.push_back(batch->indices[i]);
            v = batch->indices[i];
        }
        if (v < batch->numVerts) {
            d.clip.push_back(Project(batch->verts[v].objVertex, batch->ltm));
        }
    }
    gDraws.push_back(d);
    return TRUE;
}

RwBool FakeSubmitBody(RxPipelineNode *, const RxPipelineNodeParam *params)
{
    return RecordDraw("submit", params);
}
RwBool CustomBody(RxPipelineNode *, const RxPipelineNodeParam *params) { return RecordDraw("custom", params); }

RxNodeDefinition MakeDef(const char *name, RxNodeBodyFn body)
{
    RxNodeDefinition def = {};
    def.name = name;
    def.nodeBody = body;
    return def;
}
RxNodeDefinition instanceDef = MakeDef("ImmInstance.csl", FakeInstanceBody);
RxNodeDefinition submitDef = MakeDef("nodeD3D8SubmitNoLight.csl", FakeSubmitBody);
RxNodeDefinition *InstanceNode() { return &instanceDef; }
RxNodeDefinition *SubmitNode() { return &submitDef; }
RwBool DeviceOpen()
{
    gDeviceOpens++;
    return TRUE;
}
void DeviceClose() { gDeviceCloses++; }
const RwIm3DDeviceNodes fakeNodes = {InstanceNode, SubmitNode, DeviceOpen, DeviceClose};

void ResetFakes()
{
    gKept = nullptr;
    gTaken = {};
    gTransformSucceeds = true;
    gRenderAllocates = false;
    gDraws.clear();
    gDeviceOpens = 0;
    gDeviceCloses = 0;
}

RwIm3DVertex Vertex(RwReal x, RwReal y, RwReal z)
{
    return RwIm3DVertex{{x, y, z}, {0, 0, 1}, 0xFF204060u, 0.5f, 0.25f};
}

class Im3DTest : public rwtest::EngineTest {
protected:
    void SetUp() override
    {
        ResetFakes();
        RwIm3DSetDeviceNodes(&fakeNodes);
        EngineTest::SetUp();
        verts = {Vertex(1, 2, 3), Vertex(-1, 0, 1), Vertex(0, -2, 0), Vertex(2, 2, 2), Vertex(0, 0, 4)};
    }
    void TearDown() override
    {
        EngineTest::TearDown();
        EXPECT_EQ(gDeviceCloses, 1);
        RwIm3DSetDeviceNodes(nullptr);
    }
    std::vector<RwIm3DVertex> verts;
};

void ExpectClip(const Clip &got, RwReal x, RwReal y, RwReal z, RwReal w)
{
    EXPECT_FLOAT_EQ(got.x, x);
    EXPECT_FLOAT_EQ(got.y, y);
    EXPECT_NEAR(got.z, z, 1e-5);
    EXPECT_FLOAT_EQ(got.w, w);
}

TEST_F(Im3DTest, StartBuildsTheDefaultPipelinesFromTheDeviceNodes)
{
    EXPECT_EQ(gDeviceOpens, 1);
    EXPECT_EQ(RwEngineGetPluginOffset(rwID_PIPEMODULE), rwPipelineModuleOffset);
    EXPECT_EQ(RwEngineGetPluginOffset(rwID_IM3DMODULE), rwIm3DModuleOffset);
    RwPipeline *transform = RwIm3DGetTransformPipeline();
    ASSERT_NE(transform, nullptr);
    EXPECT_NE(RwPipelineFindNodeByName(transform, "ImmInstance.csl", nullptr, nullptr), nullptr);
    RwPipeline *render = RwIm3DGetRenderPipeline(rwPRIMTYPETRILIST);
    ASSERT_NE(render, nullptr);
    EXPECT_NE(RwPipelineFindNodeByName(render, "nodeD3D8SubmitNoLight.csl", nullptr, nullptr), nullptr);
    for (RwPrimitiveType t : {rwPRIMTYPELINELIST, rwPRIMTYPEPOLYLINE, rwPRIMTYPETRISTRIP, rwPRIMTYPETRIFAN}) {
        EXPECT_EQ(RwIm3DGetRenderPipeline(t), render) << t;
    }
    EXPECT_EQ(RwIm3DGetRenderPipeline(rwPRIMTYPEPOINTLIST), nullptr);
    const RwDeviceRecord &device = RwEngineInst->dOpenDevice;
    EXPECT_EQ(device.fpIm3DRenderLine, RwIm3DRenderLine);
    EXPECT_EQ(device.fpIm3DRenderPrimitive, RwIm3DRenderPrimitive);
    EXPECT_EQ(device.fpIm3DRenderIndexedPrimitive, RwIm3DRenderIndexedPrimitive);
    EXPECT_NE(device.fpIm3DRenderTriangle, nullptr);
}

TEST_F(Im3DTest, TransformHandsTheDeviceTheWholeBatch)
{
    RwMatrix ltm = {};
    ltm.right = {1, 0, 0};
    ltm.up = {0, 1, 0};
    ltm.at = {0, 0, 1};
    ltm.pos = {0, 0, 7};
    EXPECT_EQ(RwIm3DTransform(verts.data(), 5, &ltm, rwIM3D_VERTEXUV), verts.data());
    EXPECT_EQ(gKept, RwIm3DGetBatch());
    EXPECT_EQ(gTaken.numVerts, 5u);
    EXPECT_EQ(gTaken.verts, verts.data());
    EXPECT_EQ(gTaken.stride, 36u);
    EXPECT_EQ(gTaken.flags, 0x19u);
    EXPECT_EQ(gTaken.ltm, &ltm);

    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRISTRIP));
    ASSERT_EQ(gDraws.size(), 1u);
    const Draw &d = gDraws[0];
    EXPECT_EQ(d.node, "submit");
    EXPECT_EQ(d.primType, rwPRIMTYPETRISTRIP);
    EXPECT_TRUE(d.indices.empty());
    EXPECT_EQ(d.numIndices, 5u);
    EXPECT_EQ(d.flags, 0x19u);
    ASSERT_EQ(d.clip.size(), 5u);
    // (1,2,3) moved to (1,2,10): z = 10 * 101/100 - 101/100.
    ExpectClip(d.clip[0], 1, 2, 9.09f, 10);
    ExpectClip(d.clip[1], -1, 0, 7.07f, 8);
    ExpectClip(d.clip[2], 0, -2, 6.06f, 7);
}

TEST_F(Im3DTest, WorldSpaceBatchWithoutAMatrix)
{
    ASSERT_NE(RwIm3DTransform(verts.data(), 2, nullptr, 0), nullptr);
    EXPECT_EQ(gTaken.flags, 0x18u);
    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPELINELIST));
    ExpectClip(gDraws[0].clip[0], 1, 2, 2.02f, 3);
    ExpectClip(gDraws[0].clip[1], -1, 0, 0.0f, 1);
}

TEST_F(Im3DTest, IndexedDrawsCutCountsToWholePrimitives)
{
    ASSERT_NE(RwIm3DTransform(verts.data(), 5, nullptr, rwIM3D_ALLOPAQUE), nullptr);
    RwImVertexIndex idx[7] = {0, 1, 2, 2, 1, 3, 4};
    ASSERT_TRUE(RwIm3DRenderIndexedPrimitive(rwPRIMTYPETRILIST, idx, 7));
    ASSERT_TRUE(RwIm3DRenderIndexedPrimitive(rwPRIMTYPELINELIST, idx, 5));
    ASSERT_TRUE(RwIm3DRenderIndexedPrimitive(rwPRIMTYPETRIFAN, idx, 5));
    ASSERT_EQ(gDraws.size(), 3u);
    EXPECT_EQ(gDraws[0].primType, rwPRIMTYPETRILIST);
    EXPECT_EQ(gDraws[0].numIndices, 6u);
    EXPECT_EQ(gDraws[0].indices, (std::vector<RwImVertexIndex>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(gDraws[1].numIndices, 4u);
    EXPECT_EQ(gDraws[2].numIndices, 5u);
    EXPECT_EQ(gDraws[2].flags, 0x1Au);
}

TEST_F(Im3DTest, LinesAndTrianglesByIndexUseTheHeapForTheDraw)
{
    ASSERT_NE(RwIm3DTransform(verts.data(), 5, nullptr, 0), nullptr);
    RxHeap *heap = RwPipelineGetHeap();
    RwUInt32 freeBefore = heap->entriesUsed;
    ASSERT_TRUE(RwIm3DRenderLine(4, 0));
    ASSERT_TRUE(RwEngineInst->dOpenDevice.fpIm3DRenderTriangle(3, 1, 2));
    ASSERT_EQ(gDraws.size(), 2u);
    EXPECT_EQ(gDraws[0].primType, rwPRIMTYPELINELIST);
    EXPECT_EQ(gDraws[0].indices, (std::vector<RwImVertexIndex>{4, 0}));
    EXPECT_EQ(gDraws[1].primType, rwPRIMTYPETRILIST);
    EXPECT_EQ(gDraws[1].indices, (std::vector<RwImVertexIndex>{3, 1, 2}));
    EXPECT_EQ(heap->entriesUsed, freeBefore);
    EXPECT_EQ(heap->freeBlocks[0].size, heap->superBlockSize - 32u);
}

TEST_F(Im3DTest, ErrorsOfTheBatch)
{
    std::vector<RwIm3DVertex> many(65537, Vertex(0, 0, 1));
    EXPECT_EQ(RwIm3DTransform(many.data(), 65537, nullptr, 0), nullptr);
    RwError e = TakeError();
    EXPECT_EQ(e.pluginID, rwID_CORE);
    EXPECT_EQ(e.errorCode, E_RW_IM3DTOOMANYVERTICES);
    // The largest batch keeps its full count.
    ASSERT_NE(RwIm3DTransform(many.data(), 65536, nullptr, 0), nullptr);
    EXPECT_EQ(gTaken.numVerts, 65536u);
    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRILIST));
    EXPECT_EQ(gDraws.back().numIndices, 65536u);

    EXPECT_FALSE(RwIm3DRenderPrimitive(rwPRIMTYPEPOINTLIST));
    EXPECT_EQ(TakeError().errorCode, E_RW_IM3DINVALIDPRIMTYPE);
    EXPECT_FALSE(RwIm3DRenderPrimitive(static_cast<RwPrimitiveType>(0)));
    EXPECT_EQ(TakeError().errorCode, E_RW_IM3DINVALIDPRIMTYPE);
    EXPECT_EQ(gDraws.size(), 1u);

    EXPECT_TRUE(RwIm3DEnd());
    EXPECT_EQ(RwIm3DGetBatch()->verts, nullptr);
    EXPECT_FALSE(RwIm3DRenderPrimitive(rwPRIMTYPETRILIST));
    EXPECT_EQ(TakeError().errorCode, E_RW_IM3DNOTACTIVE);
    EXPECT_FALSE(RwIm3DRenderLine(0, 1));
    EXPECT_EQ(TakeError().errorCode, E_RW_IM3DNOTACTIVE);
    EXPECT_FALSE(RwIm3DEnd());

    // A batch the device refused is not drawable.
    gTransformSucceeds = false;
    EXPECT_EQ(RwIm3DTransform(verts.data(), 3, nullptr, 0), nullptr);
    EXPECT_FALSE(RwIm3DRenderPrimitive(rwPRIMTYPETRILIST));
    EXPECT_EQ(TakeError().errorCode, E_RW_IM3DNOTACTIVE);
}

TEST_F(Im3DTest, InstalledPipelinesReplaceAndNullRestoresTheDefault)
{
    RxNodeDefinition custom = MakeDef("custom.csl", CustomBody);
    RwPipeline *mine = RwPipelineLock(RwPipelineCreate());
    RwPipelineAddFragment(mine, nullptr, &custom, nullptr);
    ASSERT_EQ(RwPipelineUnlock(mine), mine);
    RwPipeline *defaultRender = RwIm3DGetRenderPipeline(rwPRIMTYPETRIFAN);

    EXPECT_EQ(RwIm3DSetRenderPipeline(mine, rwPRIMTYPETRIFAN), mine);
    ASSERT_NE(RwIm3DTransform(verts.data(), 4, nullptr, 0), nullptr);
    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRIFAN));
    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRISTRIP));
    EXPECT_EQ(gDraws[0].node, "custom");
    EXPECT_EQ(gDraws[1].node, "submit");
    EXPECT_EQ(RwIm3DSetRenderPipeline(nullptr, rwPRIMTYPETRIFAN), defaultRender);
    EXPECT_EQ(RwIm3DSetRenderPipeline(mine, static_cast<RwPrimitiveType>(7)), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_IM3DINVALIDPRIMTYPE);

    RwPipeline *defaultTransform = RwIm3DGetTransformPipeline();
    EXPECT_EQ(RwIm3DSetTransformPipeline(mine), mine);
    EXPECT_EQ(RwIm3DSetTransformPipeline(nullptr), defaultTransform);
    RwIm3DEnd();
    RwPipelineDestroy(mine);
}

TEST_F(Im3DTest, AllocationFailureSweepOverBatches)
{
    std::vector<RwIm3DVertex> big(3000, Vertex(0, 0, 1));
    gRenderAllocates = true;  // the device converts every vertex through the heap
    size_t live = CountingMemory::LiveBlocks();
    int refused = 0;
    for (size_t k = 1; k < 50; k++) {
        CountingMemory::FailAt(CountingMemory::Allocations() + k);
        RwBool drawn = RwIm3DTransform(big.data(), 3000, nullptr, 0) != nullptr &&
                       RwIm3DRenderPrimitive(rwPRIMTYPETRILIST) && RwIm3DRenderLine(0, 1);
        CountingMemory::FailAt(0);
        RwIm3DEnd();
        TakeError();
        if (drawn) {
            break;  // the heap has grown for good
        }
        refused++;
    }
    EXPECT_GE(refused, 1);
    ASSERT_NE(RwIm3DTransform(big.data(), 3000, nullptr, 0), nullptr);
    EXPECT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRILIST));
    RwIm3DEnd();
    // Only the heap's superblocks stay, and they go at engine stop.
    EXPECT_GE(CountingMemory::LiveBlocks(), live);
}

RwBool RefuseNodeInit(RxPipelineNode *) { return FALSE; }

TEST(Im3DModule, StartFailsCleanlyWhenTheDefaultsCannotBeBuilt)
{
    ResetFakes();
    CountingMemory::Reset();
    RxNodeDefinition refusing = MakeDef("ImmInstance.csl", FakeInstanceBody);
    refusing.pipelineNodeInit = RefuseNodeInit;
    static RxNodeDefinition *refusingPtr;
    refusingPtr = &refusing;
    const RwIm3DDeviceNodes nodes = {[]() { return refusingPtr; }, SubmitNode, DeviceOpen, DeviceClose};
    RwIm3DSetDeviceNodes(&nodes);
    rwtest::FakeDevice::Reset();
    rwtest::FakeDevice::Install();
    ASSERT_TRUE(RwEngineInit(CountingMemory::Table(), rwtest::EngineInitFlags(), 1 << 20));
    RwEngineOpenParams params{reinterpret_cast<void *>(0x1)};
    ASSERT_TRUE(RwEngineOpen(&params));
    EXPECT_FALSE(RwEngineStart());
    EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSOPENED);
    EXPECT_EQ(gDeviceOpens, 0);
    EXPECT_TRUE(RwEngineClose());
    EXPECT_TRUE(RwEngineTerm());
    EXPECT_EQ(CountingMemory::LiveBlocks(), 0u);
    RwIm3DSetDeviceNodes(nullptr);
}

TEST(Im3DModule, AllocationFailureSweepOverEngineStart)
{
    ResetFakes();
    RwIm3DSetDeviceNodes(&fakeNodes);
    int refused = 0;
    for (size_t k = 1; k < 400; k++) {
        CountingMemory::Reset();
        rwtest::FakeDevice::Install();
        ASSERT_TRUE(RwEngineInit(CountingMemory::Table(), rwtest::EngineInitFlags(), 1 << 20));
            RwEngineOpenParams params{reinterpret_cast<void *>(0x1)};
        ASSERT_TRUE(RwEngineOpen(&params));
        CountingMemory::FailAt(CountingMemory::Allocations() + k);
        bool started = RwEngineStart() != FALSE;
        CountingMemory::FailAt(0);
        if (started) {
            EXPECT_NE(RwIm3DGetTransformPipeline(), nullptr);
            EXPECT_TRUE(RwEngineStop());
        } else {
            refused++;
            EXPECT_EQ(RwEngineGetState(), rwENGINESTATUSOPENED) << k;
        }
        EXPECT_TRUE(RwEngineClose());
        EXPECT_TRUE(RwEngineTerm());
        EXPECT_EQ(CountingMemory::LiveBlocks(), 0u) << "failing allocation " << k;
        if (started) {
            break;
        }
    }
    EXPECT_GT(refused, 2);
    EXPECT_EQ(gDeviceOpens, gDeviceCloses);
    RwIm3DSetDeviceNodes(nullptr);
}

}  // namespace

}  // namespace baim3d_test
