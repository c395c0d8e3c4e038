// Tests of cluster routing at unlock (what each node receives, which slot
// carries it, what the entry node needs from outside) and of the packet's
// release rules during execution.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "rwcore.h"
#include "support/engine/engine_env.h"

namespace p2dep_test {

namespace {

using rwtest::TakeError;

RxClusterDefinition clusterX = {"X", 16, 0, nullptr};
RxClusterDefinition clusterY = {"Y", 8, 0, nullptr};
RwPipeline *gRunning = nullptr;

// A node naming some clusters; each output says what it does with each of
// them, and passes every other cluster through.
struct RouteNode {
    std::string name;
    std::vector<RxClusterRef> cois;
    std::vector<RxClusterValidityReq> reqs;
    std::vector<std::vector<RxClusterValid>> validity;
    std::vector<RxOutputSpec> outputs;
    RxNodeDefinition def{};
    RouteNode(const char *n, std::vector<RxClusterDefinition *> clusters, std::vector<RxClusterValidityReq> wants,
              std::vector<std::vector<RxClusterValid>> perOutput, RxNodeBodyFn body)
        : name(n), reqs(std::move(wants)), validity(std::move(perOutput))
    {
        for (RxClusterDefinition *c : clusters) {
            cois.push_back(RxClusterRef{c, 0, 0});
        }
        for (auto &v : validity) {
            outputs.push_back(RxOutputSpec{"out", v.data(), rxCLVALID_NOCHANGE});
        }
        def.name = name.c_str();
        def.nodeBody = body;
        def.numClustersOfInterest = static_cast<RwUInt32>(cois.size());
        def.clustersOfInterest = cois.data();
        def.inputRequirements = reqs.data();
        def.numOutputs = static_cast<RwUInt32>(outputs.size());
        def.outputs = outputs.data();
    }
};

RwBool Idle(RxPipelineNode *, const RxPipelineNodeParam *) { return TRUE; }

constexpr RxClusterValidityReq kNone = rxCLREQ_DONTWANT;
constexpr RxClusterValidityReq kReq = rxCLREQ_REQUIRED;
constexpr RxClusterValidityReq kOpt = rxCLREQ_OPTIONAL;
constexpr RxClusterValid kPass = rxCLVALID_NOCHANGE;
constexpr RxClusterValid kMake = rxCLVALID_VALID;
constexpr RxClusterValid kDrop = rxCLVALID_INVALID;

class RoutingTest : public rwtest::EngineTest {
protected:
    void TearDown() override
    {
        for (RwPipeline *p : made) {
            RwPipelineDestroy(p);
        }
        EngineTest::TearDown();
    }
    RouteNode &Node(const char *name, std::vector<RxClusterDefinition *> clusters,
                    std::vector<RxClusterValidityReq> wants, std::vector<std::vector<RxClusterValid>> perOutput,
                    RxNodeBodyFn body = Idle)
    {
        return nodes.emplace_back(name, std::move(clusters), std::move(wants), std::move(perOutput), body);
    }
    // A chain of the given nodes, unlocked (null when unlock refused).
    RwPipeline *Chain(std::vector<RouteNode *> chain, std::vector<std::pair<RwUInt32, RwUInt32>> extra = {})
    {
        RwPipeline *p = RwPipelineLock(RwPipelineCreate());
        made.push_back(p);
        for (RouteNode *n : chain) {
            RwPipelineAddFragment(p, nullptr, &n->def, nullptr);
        }
        for (RwUInt32 i = 0; i + 1 < chain.size(); i++) {
            if (p->nodes[i].numOutputs > 0 && p->nodes[i].outputs[0] == RXNODEOUTPUTNOTCONNECTED) {
                p->nodes[i].outputs[0] = i + 1;
            }
        }
        for (auto [from, output] : extra) {
            p->nodes[from].outputs[output & 0xFF] = output >> 8;
        }
        return RwPipelineUnlock(p);
    }
    std::vector<RwPipeline *> made;
    std::deque<RouteNode> nodes;
};

TEST_F(RoutingTest, CreatedClusterTravelsToItsConsumerInOneSlot)
{
    RouteNode &a = Node("make.csl", {&clusterX}, {kNone}, {{kMake}});
    RouteNode &b = Node("use.csl", {&clusterX}, {kReq}, {});
    RwPipeline *p = Chain({&a, &b});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->packetNumClusterSlots, 1u);
    EXPECT_EQ(p->embeddedPacket->numClusters, 1u);
    EXPECT_EQ(p->numInputRequirements, 0u);
    EXPECT_EQ(p->nodes[0].inputToClusterSlot[0], 0u);
    EXPECT_EQ(p->nodes[1].inputToClusterSlot[0], 0u);
    EXPECT_EQ(p->nodes[0].slotsContinue[1], 1u);  // leaves through output 0
    EXPECT_EQ(p->nodes[1].slotClusterRefs[0], &clusterX);
}

TEST_F(RoutingTest, EntryNodeNeedsFromOutsideSortedByCluster)
{
    // The entry names Y before X; X also comes from downstream as required.
    RouteNode &a = Node("entry.csl", {&clusterY, &clusterX}, {kReq, kOpt}, {{kPass, kPass}});
    RouteNode &b = Node("use.csl", {&clusterX}, {kReq}, {});
    RwPipeline *p = Chain({&a, &b});
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->numInputRequirements, 2u);
    EXPECT_EQ(p->inputRequirements[0].clusterDef, &clusterY);
    EXPECT_EQ(p->inputRequirements[0].rqdOrOpt, kReq);
    EXPECT_EQ(p->inputRequirements[1].clusterDef, &clusterX);
    EXPECT_EQ(p->inputRequirements[1].rqdOrOpt, kReq);
    EXPECT_NE(p->inputRequirements[0].slotIndex, p->inputRequirements[1].slotIndex);
    EXPECT_EQ(p->nodes[1].inputToClusterSlot[0], p->inputRequirements[1].slotIndex);
}

TEST_F(RoutingTest, RequiredClusterRemovedUpstreamIsRefused)
{
    RouteNode &a = Node("make.csl", {&clusterX}, {kNone}, {{kMake}});
    RouteNode &b = Node("drop.csl", {&clusterX}, {kNone}, {{kDrop}});
    RouteNode &c = Node("use.csl", {&clusterX}, {kReq}, {});
    EXPECT_EQ(Chain({&a, &b, &c}), nullptr);
    RwError e = TakeError();
    EXPECT_EQ(e.pluginID, rwID_CORE);
    EXPECT_EQ(e.errorCode, E_RX_INVALIDREQUIREMENT);
    EXPECT_TRUE(made.back()->locked);
}

TEST_F(RoutingTest, BadClustersOfInterestAreRefused)
{
    RouteNode &twice = Node("twice.csl", {&clusterX, &clusterX}, {kNone, kNone}, {});
    EXPECT_EQ(Chain({&twice}), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_DEP_DUPLICATECLUSTER);
    RouteNode &null = Node("null.csl", {nullptr}, {kNone}, {});
    EXPECT_EQ(Chain({&null}), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_DEP_NULLCLUSTERDEF);
}

TEST_F(RoutingTest, OptionalClusterStaysWhileAnyInputDeliversIt)
{
    // a makes X on both outputs; b passes it on, c removes it; d wants it.
    RouteNode &a = Node("fork.csl", {&clusterX}, {kNone}, {{kMake}, {kMake}});
    RouteNode &b = Node("pass.csl", {}, {}, {{}});
    RouteNode &c = Node("drop.csl", {&clusterX}, {kNone}, {{kDrop}});
    RouteNode &d = Node("want.csl", {&clusterX}, {kOpt}, {});
    RwPipeline *p = Chain({&a, &b, &c, &d}, {{0, (2u << 8) | 1}, {1, 3u << 8}});
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p->nodes[3].inputToClusterSlot[0], RXPIPELINEINVALIDINDEX);
    // It leaves only through the output whose path delivers it.
    EXPECT_EQ(p->nodes[0].slotsContinue[1], 1u);

    // With both paths removing it, it never arrives.
    RouteNode &c2 = Node("drop2.csl", {&clusterX}, {kNone}, {{kDrop}});
    RwPipeline *q = Chain({&a, &c2, &c, &d}, {{0, (2u << 8) | 1}, {1, 3u << 8}});
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->nodes[3].inputToClusterSlot[0], RXPIPELINEINVALIDINDEX);
}

TEST_F(RoutingTest, SlotsAreSharedOnlyByClustersThatNeverMeet)
{
    // X lives a..b and Y lives c..d: one slot serves both.
    RouteNode &a = Node("makeX.csl", {&clusterX}, {kNone}, {{kMake}});
    RouteNode &b = Node("eatX.csl", {&clusterX}, {kReq}, {{kDrop}});
    RouteNode &c = Node("makeY.csl", {&clusterY}, {kNone}, {{kMake}});
    RouteNode &d = Node("useY.csl", {&clusterY}, {kReq}, {});
    RwPipeline *p = Chain({&a, &b, &c, &d});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->packetNumClusterSlots, 1u);

    // b turning X into Y holds both at once: two slots.
    RouteNode &turn = Node("turn.csl", {&clusterX, &clusterY}, {kReq, kNone}, {{kDrop, kMake}});
    RwPipeline *q = Chain({&a, &turn, &d});
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->packetNumClusterSlots, 2u);
    EXPECT_NE(q->nodes[1].inputToClusterSlot[0], q->nodes[1].inputToClusterSlot[1]);
    EXPECT_EQ(q->nodes[2].inputToClusterSlot[0], q->nodes[1].inputToClusterSlot[1]);
}

// Packet bodies: the maker fills X from the heap and a caller-owned Y; the
// next node checks what arrived.
int gExternal[4];
void *gMadeData = nullptr;
RxCluster *gArrivedX = nullptr;
RxCluster *gArrivedY = nullptr;

RwBool MakeBody(RxPipelineNode *self, const RxPipelineNodeParam *params)
{
    RxPacket *packet = RxPacketCreate(self);
    RxCluster *x = RxClusterLockWrite(packet, 0, self);
    RxCluster *y = RxClusterLockWrite(packet, 1, self);
    if (x == nullptr || y == nullptr || RxClusterInitializeData(x, 4, 16) == nullptr) {
        return FALSE;
    }
    gMadeData = x->data;
    RxClusterSetExternalData(y, gExternal, sizeof(int), 4);
    RxPipelineNode *next = RxPacketSendToOutput(gRunning, self, 0);
    return next != nullptr && next->nodeDef->nodeBody(next, params);
}

RwBool TakeBody(RxPipelineNode *self, const RxPipelineNodeParam *params)
{
    RxPacket *packet = gRunning->embeddedPacket;
    gArrivedX = &packet->clusters[self->inputToClusterSlot[0]];
    gArrivedY = &packet->clusters[self->inputToClusterSlot[1]];
    EXPECT_EQ(gArrivedX->data, gMadeData);
    RxPipelineNode *next = RxPacketSendToOutput(gRunning, self, 0);
    return next != nullptr && next->nodeDef->nodeBody(next, params);
}

RwBool LastBody(RxPipelineNode *, const RxPipelineNodeParam *) { return TRUE; }

TEST_F(RoutingTest, PacketReleasesClustersThatDoNotLeaveAndTheRestAtTheEnd)
{
    RouteNode &a = Node("make.csl", {&clusterX, &clusterY}, {kNone, kNone}, {{kMake, kMake}}, MakeBody);
    RouteNode &b = Node("take.csl", {&clusterX, &clusterY}, {kReq, kReq}, {{kDrop, kPass}}, TakeBody);
    RouteNode &c = Node("last.csl", {&clusterY}, {kReq}, {}, LastBody);
    RwPipeline *p = Chain({&a, &b, &c});
    ASSERT_NE(p, nullptr);
    gRunning = p;
    ASSERT_EQ(RwPipelineExecute(p, nullptr, TRUE), p);
    // X stopped at b: its heap block went back; Y (caller's memory) left
    // through b and was cleared at the end without being freed.
    EXPECT_EQ(gArrivedX->clusterRef, nullptr);
    EXPECT_EQ(gArrivedX->data, nullptr);
    EXPECT_EQ(gArrivedX->currentData, gMadeData);  // kept for the slot's next use
    EXPECT_EQ(gArrivedY->clusterRef, nullptr);
    EXPECT_EQ(gArrivedY->data, nullptr);
    EXPECT_EQ(p->packetState, rxPACKETSTATE_DESTROYED);
    RxHeap *heap = RwPipelineGetHeap();
    ASSERT_EQ(heap->entriesUsed, 1u);
    EXPECT_EQ(heap->freeBlocks[0].size, heap->superBlockSize - 32u);
    // The next execution reuses the same packet.
    ASSERT_EQ(RwPipelineExecute(p, nullptr, TRUE), p);
}

TEST_F(RoutingTest, SendingWithoutALivePacketOnlyFindsTheTarget)
{
    RouteNode &a = Node("a.csl", {}, {}, {{}, {}});
    RouteNode &b = Node("b.csl", {}, {}, {});
    RwPipeline *p = Chain({&a, &b});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(RxPacketSendToOutput(p, &p->nodes[0], 1), nullptr);
    EXPECT_EQ(RxPacketSendToOutput(p, &p->nodes[0], 0), &p->nodes[1]);
    EXPECT_EQ(p->packetState, rxPACKETSTATE_IDLE);
    EXPECT_EQ(p->embeddedPacket->slotsContinue, nullptr);
    // A packet without slots releases nothing.
    RxPacketDestroy(p->embeddedPacket);
    EXPECT_EQ(p->packetState, rxPACKETSTATE_DESTROYED);
}

}  // namespace

}  // namespace p2dep_test
