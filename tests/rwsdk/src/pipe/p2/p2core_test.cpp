// Tests of pipeline building and execution: fragments, the unlock sort on
// synthetic graphs (chains, diamonds, odd insertion orders, cycles), node
// definition bookkeeping, name look-up, execution, and allocation failures.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"

namespace p2core_test {

namespace {

using rwtest::CountingMemory;
using rwtest::EngineTest;
using rwtest::TakeError;

std::vector<std::string> gRan;
RwPipeline *gRunning = nullptr;
std::vector<std::string> gEvents;

// Runs itself and then every connected output, as a branching body would.
RwBool ForwardingBody(RxPipelineNode *self, const RxPipelineNodeParam *params)
{
    gRan.push_back(self->nodeDef->name);
    for (RwUInt32 k = 0; k < self->numOutputs; k++) {
        RxPipelineNode *next = RxPacketSendToOutput(gRunning, self, k);
        if (next != nullptr && next->nodeDef->nodeBody(next, params) == FALSE) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool FailingBody(RxPipelineNode *self, const RxPipelineNodeParam *) { return self == nullptr; }

RwBool CountInit(RxNodeDefinition *def)
{
    gEvents.push_back(std::string("init ") + def->name);
    return TRUE;
}
void CountTerm(RxNodeDefinition *def) { gEvents.push_back(std::string("term ") + def->name); }
RwBool NodeInit(RxPipelineNode *node)
{
    gEvents.push_back(std::string("pinit ") + node->nodeDef->name);
    return TRUE;
}
void NodeTerm(RxPipelineNode *node) { gEvents.push_back(std::string("pterm ") + node->nodeDef->name); }
RwBool NodeConfig(RxPipelineNode *node, RwPipeline *pipeline)
{
    gEvents.push_back(std::string("config ") + node->nodeDef->name + (pipeline->locked ? " locked" : ""));
    return TRUE;
}
RwBool RefuseInit(RxPipelineNode *) { return FALSE; }

// A node definition with `outputs` outputs that pass every cluster through.
struct TestNode {
    std::string name;
    std::vector<RxOutputSpec> outputs;
    RxNodeDefinition def{};
    TestNode(const char *n, RwUInt32 numOutputs, RxNodeBodyFn body = ForwardingBody) : name(n), outputs(numOutputs)
    {
        for (auto &o : outputs) {
            o = RxOutputSpec{"out", nullptr, rxCLVALID_NOCHANGE};
        }
        def.name = name.c_str();
        def.nodeBody = body;
        def.numOutputs = numOutputs;
        def.outputs = outputs.data();
    }
};

class PipelineTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        gRan.clear();
        gEvents.clear();
    }
    void TearDown() override
    {
        for (RwPipeline *p : made) {
            RwPipelineDestroy(p);
        }
        EngineTest::TearDown();
    }
    RwPipeline *Locked()
    {
        RwPipeline *p = RwPipelineCreate();
        made.push_back(p);
        return RwPipelineLock(p);
    }
    RwPipeline *Run(RwPipeline *p, void *data = nullptr)
    {
        gRunning = p;
        gRan.clear();
        return RwPipelineExecute(p, data, TRUE);
    }
    std::vector<std::string> Order(RwPipeline *p)
    {
        std::vector<std::string> names;
        for (RwUInt32 i = 0; i < p->numNodes; i++) {
            names.push_back(p->nodes[i].nodeDef->name);
        }
        return names;
    }
    TestNode &Node(const char *name, RwUInt32 numOutputs, RxNodeBodyFn body = ForwardingBody)
    {
        return nodes.emplace_back(name, numOutputs, body);
    }
    std::vector<RwPipeline *> made;
    std::deque<TestNode> nodes;  // outlive the pipelines destroyed at tear-down
};

TEST_F(PipelineTest, CreateGivesAnEmptyUnlockedPipelineThatRunsNothing)
{
    RwPipeline *p = RwPipelineCreate();
    made.push_back(p);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->locked);
    EXPECT_EQ(p->numNodes, 0u);
    EXPECT_EQ(RwPipelineExecute(p, nullptr, TRUE), p);
    ASSERT_EQ(RwPipelineLock(p), p);
    EXPECT_TRUE(p->locked);
    EXPECT_EQ(RwPipelineUnlock(p), p);
    EXPECT_FALSE(p->locked);
}

TEST_F(PipelineTest, FragmentOfThreeChainsAndUnlocksInOrder)
{
    TestNode &a = Node("a.csl", 1);
    TestNode &b = Node("b.csl", 1);
    TestNode &c = Node("c.csl", 1);
    RwPipeline *p = Locked();
    RwUInt32 first = 99;
    ASSERT_EQ(RwPipelineAddFragment(p, &first, &a.def, &b.def, &c.def, nullptr), p);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(p->nodes[0].outputs[0], 1u);
    EXPECT_EQ(p->nodes[1].outputs[0], 2u);
    EXPECT_EQ(p->nodes[2].outputs[0], RXNODEOUTPUTNOTCONNECTED);
    ASSERT_EQ(RwPipelineUnlock(p), p);
    EXPECT_EQ(Order(p), (std::vector<std::string>{"a.csl", "b.csl", "c.csl"}));
    int data = 7;
    EXPECT_EQ(Run(p, &data), p);
    EXPECT_EQ(gRan, (std::vector<std::string>{"a.csl", "b.csl", "c.csl"}));
    // A second fragment starts a new chain at the next index.
    TestNode &d = Node("d.csl", 0);
    ASSERT_EQ(RwPipelineLock(p), p);
    ASSERT_EQ(RwPipelineAddFragment(p, &first, &d.def, nullptr), p);
    EXPECT_EQ(first, 3u);
    EXPECT_EQ(p->nodes[2].outputs[0], RXNODEOUTPUTNOTCONNECTED);
}

RwBool RecordParams(RxPipelineNode *, const RxPipelineNodeParam *params)
{
    gRan.push_back(std::to_string(*static_cast<int *>(params->dataParam)));
    return params->heap == RwPipelineGetHeap();
}

TEST_F(PipelineTest, ExecuteHandsTheDataAndHeapAndReportsBodyFailure)
{
    TestNode &rec = Node("rec.csl", 0, RecordParams);
    TestNode &fail = Node("fail.csl", 0, FailingBody);
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &rec.def, nullptr);
    RwPipelineUnlock(p);
    int data = 42;
    EXPECT_EQ(Run(p, &data), p);
    EXPECT_EQ(gRan, std::vector<std::string>{"42"});

    RwPipeline *q = Locked();
    RwPipelineAddFragment(q, nullptr, &fail.def, nullptr);
    RwPipelineUnlock(q);
    EXPECT_EQ(Run(q), nullptr);
    // Nothing raised the packet state, so nothing was destroyed.
    EXPECT_EQ(q->packetState, rxPACKETSTATE_IDLE);
    // A locked pipeline does not run.
    RwPipelineLock(q);
    EXPECT_EQ(Run(q), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_UNLOCKEDPIPE);
}

TEST_F(PipelineTest, AddFragmentRefusals)
{
    TestNode &a = Node("a.csl", 1);
    TestNode &leaf = Node("leaf.csl", 0);
    EXPECT_EQ(RwPipelineAddFragment(nullptr, nullptr, &a.def, nullptr), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_NULLP);

    RwPipeline *unlocked = RwPipelineCreate();
    made.push_back(unlocked);
    EXPECT_EQ(RwPipelineAddFragment(unlocked, nullptr, &a.def, nullptr), nullptr);
    RwError e = TakeError();
    EXPECT_EQ(e.pluginID, rwID_CORE);
    EXPECT_EQ(e.errorCode, E_RX_UNLOCKEDPIPE);

    RwPipeline *p = Locked();
    EXPECT_EQ(RwPipelineAddFragment(p, nullptr, nullptr), nullptr);

    // 65 definitions: node limit, none added.
    std::vector<TestNode *> many;
    for (int i = 0; i < 65; i++) {
        many.push_back(new TestNode("n.csl", 1));
    }
    RwPipeline *r = RwPipelineAddFragment(
        p, nullptr, &many[0]->def, &many[1]->def, &many[2]->def, &many[3]->def, &many[4]->def, &many[5]->def,
        &many[6]->def, &many[7]->def, &many[8]->def, &many[9]->def, &many[10]->def, &many[11]->def, &many[12]->def,
        &many[13]->def, &many[14]->def, &many[15]->def, &many[16]->def, &many[17]->def, &many[18]->def,
        &many[19]->def, &many[20]->def, &many[21]->def, &many[22]->def, &many[23]->def, &many[24]->def,
        &many[25]->def, &many[26]->def, &many[27]->def, &many[28]->def, &many[29]->def, &many[30]->def,
        &many[31]->def, &many[32]->def, &many[33]->def, &many[34]->def, &many[35]->def, &many[36]->def,
        &many[37]->def, &many[38]->def, &many[39]->def, &many[40]->def, &many[41]->def, &many[42]->def,
        &many[43]->def, &many[44]->def, &many[45]->def, &many[46]->def, &many[47]->def, &many[48]->def,
        &many[49]->def, &many[50]->def, &many[51]->def, &many[52]->def, &many[53]->def, &many[54]->def,
        &many[55]->def, &many[56]->def, &many[57]->def, &many[58]->def, &many[59]->def, &many[60]->def,
        &many[61]->def, &many[62]->def, &many[63]->def, &many[64]->def, nullptr);
    EXPECT_EQ(r, nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_TOOMANYNODES);
    EXPECT_EQ(p->numNodes, 0u);
    for (TestNode *n : many) {
        delete n;
    }

    // Too many outputs or clusters of interest: the nodes of the call go again.
    TestNode &wide = Node("wide.csl", 33);
    TestNode &ok = Node("ok.csl", 1);
    EXPECT_EQ(RwPipelineAddFragment(p, nullptr, &ok.def, &wide.def, nullptr), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_TOOMANYOUTPUTS);
    EXPECT_EQ(p->numNodes, 0u);
    TestNode &curious = Node("curious.csl", 1);
    curious.def.numClustersOfInterest = 33;
    EXPECT_EQ(RwPipelineAddFragment(p, nullptr, &curious.def, nullptr), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_TOOMANYCLUSTERS);

    // A predecessor without outputs cannot be chained.
    ASSERT_EQ(RwPipelineAddFragment(p, nullptr, &ok.def, nullptr), p);
    EXPECT_EQ(RwPipelineAddFragment(p, nullptr, &leaf.def, &ok.def, nullptr), nullptr);
    EXPECT_EQ(p->numNodes, 1u);
}

TEST_F(PipelineTest, DiamondAddedInOddOrderSortsEntryFirstAndRewritesOutputs)
{
    TestNode &a = Node("a.csl", 2);
    TestNode &b = Node("b.csl", 1);
    TestNode &c = Node("c.csl", 1);
    TestNode &d = Node("d.csl", 0);
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &d.def, nullptr);  // 0
    RwPipelineAddFragment(p, nullptr, &c.def, nullptr);  // 1
    RwPipelineAddFragment(p, nullptr, &b.def, nullptr);  // 2
    RwPipelineAddFragment(p, nullptr, &a.def, nullptr);  // 3
    p->entryPoint = 3;
    p->nodes[3].outputs[0] = 2;  // a -> b
    p->nodes[3].outputs[1] = 1;  // a -> c
    p->nodes[2].outputs[0] = 0;  // b -> d
    p->nodes[1].outputs[0] = 0;  // c -> d
    ASSERT_EQ(RwPipelineUnlock(p), p);
    EXPECT_EQ(Order(p), (std::vector<std::string>{"a.csl", "b.csl", "c.csl", "d.csl"}));
    EXPECT_EQ(p->entryPoint, 0u);
    EXPECT_EQ(p->nodes[0].outputs[0], 1u);
    EXPECT_EQ(p->nodes[0].outputs[1], 2u);
    EXPECT_EQ(p->nodes[1].outputs[0], 3u);
    EXPECT_EQ(p->nodes[2].outputs[0], 3u);
    EXPECT_EQ(p->nodes[3].topSortData->numIns, 2u);
    // Each body runs its outputs itself, so d runs once per input here.
    EXPECT_EQ(Run(p), p);
    EXPECT_EQ(gRan, (std::vector<std::string>{"a.csl", "b.csl", "d.csl", "c.csl", "d.csl"}));
}

TEST_F(PipelineTest, TiesAreBrokenDepthFirstInOutputOrder)
{
    // a -> (b -> e, c): e comes before c.
    TestNode &a = Node("a.csl", 2);
    TestNode &b = Node("b.csl", 1);
    TestNode &c = Node("c.csl", 0);
    TestNode &e = Node("e.csl", 0);
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &a.def, &b.def, &e.def, nullptr);
    RwPipelineAddFragment(p, nullptr, &c.def, nullptr);
    p->nodes[0].outputs[1] = 3;
    ASSERT_EQ(RwPipelineUnlock(p), p);
    EXPECT_EQ(Order(p), (std::vector<std::string>{"a.csl", "b.csl", "e.csl", "c.csl"}));
}

TEST_F(PipelineTest, UnlockRefusesBadGraphsAndStaysLocked)
{
    TestNode &a = Node("a.csl", 1);
    TestNode &b = Node("b.csl", 2);
    TestNode &c = Node("c.csl", 1);
    TestNode &lone = Node("lone.csl", 0);
    // Node 2 feeds back into node 1: a cycle the sort cannot place.
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &a.def, &b.def, &c.def, nullptr);
    p->nodes[2].outputs[0] = 1;
    EXPECT_EQ(RwPipelineUnlock(p), nullptr);
    RwError e = TakeError();
    EXPECT_EQ(e.pluginID, rwID_CORE);
    EXPECT_EQ(e.errorCode, E_RX_CYCLICPIPELINE);
    EXPECT_TRUE(p->locked);
    EXPECT_EQ(p->numNodes, 3u);

    // The entry node with an input.
    p->nodes[2].outputs[0] = 0;
    EXPECT_EQ(RwPipelineUnlock(p), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_INVALIDENTRYPOINT);

    // A second chain nobody feeds.
    RwPipeline *q = Locked();
    RwPipelineAddFragment(q, nullptr, &a.def, nullptr);
    RwPipelineAddFragment(q, nullptr, &lone.def, nullptr);
    EXPECT_EQ(RwPipelineUnlock(q), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_NODETOPSORT_NOINPUT);

    // An entry index that names no node.
    q->entryPoint = 5;
    EXPECT_EQ(RwPipelineUnlock(q), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_INVALIDENTRYPOINT);

    RwPipeline *unlocked = RwPipelineCreate();
    made.push_back(unlocked);
    EXPECT_EQ(RwPipelineUnlock(unlocked), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RX_UNLOCKEDPIPE);
    EXPECT_EQ(RwPipelineUnlock(nullptr), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_NULLP);
}

TEST_F(PipelineTest, DefinitionInitAndTermRunOnceAroundAllUses)
{
    TestNode &a = Node("a.csl", 1);
    TestNode &b = Node("b.csl", 0);
    for (TestNode *n : {&a, &b}) {
        n->def.nodeInit = CountInit;
        n->def.nodeTerm = CountTerm;
        n->def.pipelineNodeInit = NodeInit;
        n->def.pipelineNodeTerm = NodeTerm;
        n->def.pipelineNodeConfig = NodeConfig;
    }
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &a.def, &b.def, nullptr);
    ASSERT_EQ(RwPipelineUnlock(p), p);
    // Initialised last to first, then configured last to first, unlocked.
    EXPECT_EQ(gEvents, (std::vector<std::string>{"init b.csl", "pinit b.csl", "init a.csl", "pinit a.csl",
                                                 "config b.csl", "config a.csl"}));
    RwPipeline *q = Locked();
    RwPipelineAddFragment(q, nullptr, &a.def, nullptr);
    gEvents.clear();
    ASSERT_EQ(RwPipelineUnlock(q), q);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"pinit a.csl", "config a.csl"}));
    EXPECT_EQ(a.def.InputPipesCnt, 2);

    gEvents.clear();
    ASSERT_EQ(RwPipelineLock(p), p);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"pterm a.csl", "pterm b.csl", "term b.csl"}));
    EXPECT_EQ(a.def.InputPipesCnt, 1);
    EXPECT_EQ(RwPipelineLock(p), p);  // already locked: nothing more
    EXPECT_EQ(gEvents.size(), 3u);
    gEvents.clear();
    RwPipelineDestroy(q);
    made.erase(made.begin() + 1);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"pterm a.csl", "term a.csl"}));
}

TEST_F(PipelineTest, FailedNodeInitLeavesThePipelineLockedAndBalanced)
{
    TestNode &a = Node("a.csl", 1);
    TestNode &b = Node("b.csl", 0);
    a.def.nodeInit = CountInit;
    a.def.nodeTerm = CountTerm;
    b.def.nodeInit = CountInit;
    b.def.nodeTerm = CountTerm;
    a.def.pipelineNodeInit = RefuseInit;
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &a.def, &b.def, nullptr);
    EXPECT_EQ(RwPipelineUnlock(p), nullptr);
    EXPECT_TRUE(p->locked);
    EXPECT_EQ(p->numNodes, 2u);
    EXPECT_EQ(a.def.InputPipesCnt, 0);
    EXPECT_EQ(b.def.InputPipesCnt, 0);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"init b.csl", "init a.csl", "term a.csl", "term b.csl"}));
    // Mended, it unlocks.
    a.def.pipelineNodeInit = nullptr;
    EXPECT_EQ(RwPipelineUnlock(p), p);
}

TEST_F(PipelineTest, PrivateDataSurvivesLockAndUnlock)
{
    TestNode &a = Node("a.csl", 1);
    TestNode &b = Node("b.csl", 0);
    b.def.pipelineNodePrivateDataSize = 16;
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &a.def, &b.def, nullptr);
    ASSERT_EQ(RwPipelineUnlock(p), p);
    EXPECT_EQ(p->nodes[0].privateData, nullptr);
    auto *words = static_cast<RwUInt32 *>(p->nodes[1].privateData);
    ASSERT_NE(words, nullptr);
    EXPECT_EQ(words[0], 0u);
    words[0] = 0xCAFE;
    words[3] = 0xBEEF;
    ASSERT_EQ(RwPipelineLock(p), p);
    ASSERT_EQ(RwPipelineUnlock(p), p);
    words = static_cast<RwUInt32 *>(p->nodes[1].privateData);
    EXPECT_EQ(words[0], 0xCAFEu);
    EXPECT_EQ(words[3], 0xBEEFu);
}

TEST_F(PipelineTest, FindNodeByNameWalksOnFromTheStartNode)
{
    TestNode &x = Node("x.csl", 1);
    TestNode &y = Node("y.csl", 1);
    TestNode &x2 = Node("x.csl", 0);
    RwPipeline *p = Locked();
    RwPipelineAddFragment(p, nullptr, &x.def, &y.def, &x2.def, nullptr);
    RwPipelineUnlock(p);
    RwInt32 index = 77;
    RxPipelineNode *first = RwPipelineFindNodeByName(p, "x.csl", nullptr, &index);
    EXPECT_EQ(first, &p->nodes[0]);
    EXPECT_EQ(index, 0);
    RxPipelineNode *second = RwPipelineFindNodeByName(p, "x.csl", first, &index);
    EXPECT_EQ(second, &p->nodes[2]);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(RwPipelineFindNodeByName(p, "x.csl", second, &index), nullptr);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(RwPipelineFindNodeByName(p, "z.csl", nullptr, nullptr), nullptr);
}

TEST_F(PipelineTest, EditableDefinitionIsFreedWithItsLastNode)
{
    auto *def = static_cast<RxNodeDefinition *>(RwMalloc(sizeof(RxNodeDefinition)));
    *def = RxNodeDefinition{};
    def->name = "heap.csl";
    def->editable = 1;
    size_t before = CountingMemory::LiveBlocks();
    RwPipeline *p = RwPipelineLock(RwPipelineCreate());
    RwPipelineAddFragment(p, nullptr, def, nullptr);
    RwPipelineUnlock(p);
    RwPipelineDestroy(p);
    EXPECT_EQ(CountingMemory::LiveBlocks(), before - 1);
}

TEST_F(PipelineTest, DependencySettingsCopyTheDefaults)
{
    RwPipelineDependencySettingsRecord settings{};
    ASSERT_EQ(RwPipelineDependencySettings(&settings), &settings);
    const RwInt32 expected[11] = {7, 2, 5, 6, 0, 1, 1, 2, -1, 0, -1};
    for (int i = 0; i < 11; i++) {
        EXPECT_EQ(settings.value[i], expected[i]) << i;
    }
}

TEST(PipelineModule, DependencySettingsNeedAStartedEngine)
{
    RwPipelineDependencySettingsRecord settings{};
    EXPECT_EQ(RwPipelineDependencySettings(&settings), nullptr);
}

// Builds a -> b (private data) and a second fragment c fed by a, through the
// whole create/lock/add/unlock/execute/lock/destroy cycle.
bool BuildAndRunOnce(TestNode &a, TestNode &b, TestNode &c)
{
    RwPipeline *p = RwPipelineCreate();
    if (p == nullptr) {
        return false;
    }
    bool ok = RwPipelineLock(p) != nullptr && RwPipelineAddFragment(p, nullptr, &a.def, &b.def, nullptr) != nullptr &&
              RwPipelineAddFragment(p, nullptr, &c.def, nullptr) != nullptr;
    if (ok) {
        p->nodes[0].outputs[1] = 2;
        ok = RwPipelineUnlock(p) != nullptr;
    }
    if (ok) {
        gRunning = p;
        ok = RwPipelineExecute(p, nullptr, TRUE) != nullptr;
    }
    ok = ok && RwPipelineLock(p) != nullptr && RwPipelineUnlock(p) != nullptr;
    RwPipelineDestroy(p);
    return ok;
}

TEST_F(PipelineTest, AllocationFailureSweepOverPipelineBuilding)
{
    TestNode &a = Node("a.csl", 2);
    TestNode &b = Node("b.csl", 0);
    TestNode &c = Node("c.csl", 0);
    b.def.pipelineNodePrivateDataSize = 8;
    size_t live = CountingMemory::LiveBlocks();
    int failures = 0;
    for (size_t k = 1; k < 200; k++) {
        CountingMemory::FailAt(CountingMemory::Allocations() + k);
        bool ok = BuildAndRunOnce(a, b, c);
        CountingMemory::FailAt(0);
        TakeError();
        EXPECT_EQ(CountingMemory::LiveBlocks(), live) << "failing allocation " << k;
        EXPECT_EQ(a.def.InputPipesCnt, 0);
        EXPECT_EQ(b.def.InputPipesCnt, 0);
        if (ok) {
            break;
        }
        failures++;
    }
    EXPECT_GT(failures, 3);
    EXPECT_TRUE(BuildAndRunOnce(a, b, c));
}

}  // namespace

}  // namespace p2core_test
