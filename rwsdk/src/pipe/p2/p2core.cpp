// Pipeline life: create, lock into the editable layout, add chains of
// nodes, unlock into the runnable layout, find nodes by name, execute, and
// destroy. The graph analysis itself lives in p2resort (order) and p2dep
// (cluster routing).
#include <cstdarg>
#include <cstring>

#include "rwerror.h"
#include "src/pipe/p2/p2core.h"

namespace {

RwUInt32 NodeLimit(void) { return rwPipelineModuleGet()->maxNodesPerPipeline; }

size_t LockedBlockSize(void) { return NodeLimit() * rwPipelineLockedBytesPerNode(); }

RwUInt32 *LockedOutputTable(RwPipeline *pipeline, RwUInt32 index)
{
    auto *tables = reinterpret_cast<RwUInt32 *>(static_cast<RwUInt8 *>(pipeline->superBlock) +
                                                NodeLimit() * sizeof(RxPipelineNode));
    return tables + static_cast<size_t>(index) * RXNODEMAXOUTPUTS;
}

RxPipelineNodeTopSortData *LockedSortRecord(RwPipeline *pipeline, RwUInt32 index)
{
    auto *records = reinterpret_cast<RxPipelineNodeTopSortData *>(
        static_cast<RwUInt8 *>(pipeline->superBlock) + NodeLimit() * sizeof(RxPipelineNode) +
        NodeLimit() * RXNODEMAXOUTPUTS * sizeof(RwUInt32));
    return records + index;
}

void FreeDefinitionIfUnused(RxNodeDefinition *def)
{
    if (def != nullptr && def->editable != 0 && def->InputPipesCnt == 0) {
        RwFree(def);
    }
}

// Sets up node `index` of a locked pipeline for `def`.
RwBool NodeSetUp(RwPipeline *pipeline, RwUInt32 index, RxNodeDefinition *def)
{
    if (def->numOutputs > RXNODEMAXOUTPUTS) {
        RwErrorReport(rwID_CORE, E_RX_TOOMANYOUTPUTS);
        return FALSE;
    }
    if (def->numClustersOfInterest > RXNODEMAXCLUSTERSOFINTEREST) {
        RwErrorReport(rwID_CORE, E_RX_TOOMANYCLUSTERS);
        return FALSE;
    }
    if (index >= NodeLimit()) {
        RwErrorReport(rwID_CORE, E_RX_TOOMANYNODES);
        return FALSE;
    }
    RxPipelineNode *node = &pipeline->nodes[index];
    std::memset(node, 0, sizeof(*node));
    node->nodeDef = def;
    node->numOutputs = def->numOutputs;
    pipeline->numNodes = index + 1;
    rwPipelineLockedAttachTables(pipeline, index);
    for (RwUInt32 k = 0; k < RXNODEMAXOUTPUTS; k++) {
        node->outputs[k] = RXNODEOUTPUTNOTCONNECTED;
    }
    std::memset(node->topSortData, 0, sizeof(*node->topSortData));
    return TRUE;
}

void TerminateNodes(RwPipeline *pipeline, RwUInt32 from, RwUInt32 count)
{
    for (RwUInt32 i = from; i < from + count; i++) {
        rwPipelineNodeTerminate(&pipeline->nodes[i]);
    }
}

}  // namespace

void rwPipelineLockedAttachTables(RwPipeline *pipeline, RwUInt32 firstNode)
{
    for (RwUInt32 i = firstNode; i < pipeline->numNodes; i++) {
        pipeline->nodes[i].outputs = LockedOutputTable(pipeline, i);
        pipeline->nodes[i].topSortData = LockedSortRecord(pipeline, i);
    }
}

RwBool rwPipelineNodeInitialize(RxPipelineNode *node)
{
    RxNodeDefinition *def = node->nodeDef;
    if (def->InputPipesCnt++ == 0 && def->nodeInit != nullptr && !def->nodeInit(def)) {
        def->InputPipesCnt--;
        return FALSE;
    }
    if (def->pipelineNodeInit != nullptr && !def->pipelineNodeInit(node)) {
        if (--def->InputPipesCnt == 0 && def->nodeTerm != nullptr) {
            def->nodeTerm(def);
        }
        return FALSE;
    }
    return TRUE;
}

void rwPipelineNodeTerminate(RxPipelineNode *node)
{
    RxNodeDefinition *def = node->nodeDef;
    if (def->pipelineNodeTerm != nullptr) {
        def->pipelineNodeTerm(node);
    }
    if (--def->InputPipesCnt == 0 && def->nodeTerm != nullptr) {
        def->nodeTerm(def);
    }
}

RwPipeline *RwPipelineCreate(void)
{
    auto *pipeline = static_cast<RwPipeline *>(RwFreeListEntryAlloc(rwPipelineModuleGet()->pipelineFreeList));
    if (pipeline == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(pipeline, 0, sizeof(*pipeline));
    return pipeline;
}

void RwPipelineDestroy(RwPipeline *pipeline)
{
    if (pipeline == nullptr) {
        return;
    }
    // Last first, so a locked pipeline has no gaps to close.
    for (RwUInt32 i = pipeline->numNodes; i-- > 0;) {
        RwPipelineNodeDestroy(&pipeline->nodes[i], pipeline);
    }
    RwFree(pipeline->superBlock);
    RwFreeListEntryFree(rwPipelineModuleGet()->pipelineFreeList, pipeline);
}

RwBool RwPipelineNodeDestroy(RxPipelineNode *node, RwPipeline *pipeline)
{
    RxNodeDefinition *def = node->nodeDef;
    if (!pipeline->locked) {
        if (def != nullptr) {
            rwPipelineNodeTerminate(node);
            FreeDefinitionIfUnused(def);
        }
        RwFree(node->initializationData);
        std::memset(node, 0, sizeof(*node));
        return TRUE;
    }
    RwFree(node->initializationData);
    FreeDefinitionIfUnused(def);
    auto removed = static_cast<RwUInt32>(node - pipeline->nodes);
    for (RwUInt32 i = removed; i + 1 < pipeline->numNodes; i++) {
        pipeline->nodes[i] = pipeline->nodes[i + 1];
        std::memcpy(LockedOutputTable(pipeline, i), LockedOutputTable(pipeline, i + 1),
                    RXNODEMAXOUTPUTS * sizeof(RwUInt32));
        *LockedSortRecord(pipeline, i) = *LockedSortRecord(pipeline, i + 1);
    }
    pipeline->numNodes--;
    rwPipelineLockedAttachTables(pipeline, removed);
    for (RwUInt32 i = 0; i < pipeline->numNodes; i++) {
        RxPipelineNode *other = &pipeline->nodes[i];
        for (RwUInt32 k = 0; k < other->numOutputs; k++) {
            if (other->outputs[k] == removed) {
                other->outputs[k] = RXNODEOUTPUTNOTCONNECTED;
            } else if (other->outputs[k] != RXNODEOUTPUTNOTCONNECTED && other->outputs[k] > removed) {
                other->outputs[k]--;
            }
        }
    }
    if (pipeline->entryPoint > removed) {
        pipeline->entryPoint--;
    } else if (pipeline->entryPoint == removed) {
        pipeline->entryPoint = 0;
    }
    return TRUE;
}

RwPipeline *RwPipelineMakeEditable(RwPipeline *pipeline)
{
    auto *block = static_cast<RwUInt8 *>(RwMalloc(LockedBlockSize()));
    if (block == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(block, 0, LockedBlockSize());
    // Private data moves out of the runnable block into a block per node.
    void *kept[RXPIPELINEDEFAULTMAXNODES] = {};
    for (RwUInt32 i = 0; i < pipeline->numNodes; i++) {
        const RxPipelineNode *node = &pipeline->nodes[i];
        RwUInt32 size = node->nodeDef != nullptr ? node->nodeDef->pipelineNodePrivateDataSize : 0;
        if (node->privateData == nullptr || size == 0) {
            continue;
        }
        kept[i] = RwMalloc(size);
        if (kept[i] == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            for (RwUInt32 j = 0; j < i; j++) {
                RwFree(kept[j]);
            }
            RwFree(block);
            return nullptr;
        }
        std::memcpy(kept[i], node->privateData, size);
    }
    RxPipelineNode *old = pipeline->nodes;
    void *oldBlock = pipeline->superBlock;
    pipeline->superBlock = block;
    pipeline->superBlockSize = static_cast<RwUInt32>(LockedBlockSize());
    pipeline->nodes = reinterpret_cast<RxPipelineNode *>(block);
    for (RwUInt32 i = 0; i < pipeline->numNodes; i++) {
        RxPipelineNode *node = &pipeline->nodes[i];
        node->nodeDef = old[i].nodeDef;
        node->numOutputs = old[i].numOutputs;
        node->privateData = kept[i];
        node->initializationData = kept[i];
        node->initializationDataSize = kept[i] != nullptr ? node->nodeDef->pipelineNodePrivateDataSize : 0;
    }
    rwPipelineLockedAttachTables(pipeline, 0);
    for (RwUInt32 i = 0; i < pipeline->numNodes; i++) {
        RxPipelineNode *node = &pipeline->nodes[i];
        for (RwUInt32 k = 0; k < RXNODEMAXOUTPUTS; k++) {
            node->outputs[k] = k < node->numOutputs && old[i].outputs != nullptr ? old[i].outputs[k]
                                                                                  : RXNODEOUTPUTNOTCONNECTED;
        }
    }
    RwFree(oldBlock);
    pipeline->embeddedPacket = nullptr;
    pipeline->packetNumClusterSlots = 0;
    pipeline->numInputRequirements = 0;
    pipeline->inputRequirements = nullptr;
    return pipeline;
}

RwPipeline *RwPipelineLock(RwPipeline *pipeline)
{
    if (pipeline == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    if (pipeline->locked) {
        return pipeline;
    }
    if (pipeline->superBlock != nullptr) {
        if (RwPipelineMakeEditable(pipeline) == nullptr) {
            return nullptr;
        }
    } else {
        pipeline->superBlock = RwMalloc(LockedBlockSize());
        if (pipeline->superBlock == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        std::memset(pipeline->superBlock, 0, LockedBlockSize());
        pipeline->superBlockSize = static_cast<RwUInt32>(LockedBlockSize());
        pipeline->nodes = static_cast<RxPipelineNode *>(pipeline->superBlock);
    }
    pipeline->locked = TRUE;
    TerminateNodes(pipeline, 0, pipeline->numNodes);
    for (RwUInt32 i = 0; i < pipeline->numNodes; i++) {
        pipeline->nodes[i].slotClusterRefs = nullptr;
        pipeline->nodes[i].slotsContinue = nullptr;
        pipeline->nodes[i].inputToClusterSlot = nullptr;
    }
    return pipeline;
}

RwPipeline *RwPipelineAddFragment(RwPipeline *pipeline, RwUInt32 *firstIndex, ...)
{
    if (pipeline == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    if (!pipeline->locked) {
        RwErrorReport(rwID_CORE, E_RX_UNLOCKEDPIPE);
        return nullptr;
    }
    va_list args;
    va_start(args, firstIndex);
    RwUInt32 count = 0;
    while (va_arg(args, RxNodeDefinition *) != nullptr) {
        count++;
    }
    va_end(args);
    if (count == 0) {
        return nullptr;
    }
    if (pipeline->numNodes + count > NodeLimit()) {
        RwErrorReport(rwID_CORE, E_RX_TOOMANYNODES);
        return nullptr;
    }
    RwUInt32 first = pipeline->numNodes;
    RwBool ok = TRUE;
    va_start(args, firstIndex);
    for (RwUInt32 i = 0; i < count && ok; i++) {
        RxNodeDefinition *def = va_arg(args, RxNodeDefinition *);
        ok = NodeSetUp(pipeline, first + i, def);
        if (ok && i > 0) {
            RxPipelineNode *previous = &pipeline->nodes[first + i - 1];
            ok = previous->numOutputs > 0 && previous->outputs[0] == RXNODEOUTPUTNOTCONNECTED;
            if (ok) {
                previous->outputs[0] = first + i;
            }
        }
    }
    va_end(args);
    if (!ok) {
        while (pipeline->numNodes > first) {
            RwPipelineNodeDestroy(&pipeline->nodes[pipeline->numNodes - 1], pipeline);
        }
        return nullptr;
    }
    if (firstIndex != nullptr) {
        *firstIndex = first;
    }
    return pipeline;
}

RwPipeline *RwPipelineUnlock(RwPipeline *pipeline)
{
    if (pipeline == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    if (!pipeline->locked) {
        RwErrorReport(rwID_CORE, E_RX_UNLOCKEDPIPE);
        return nullptr;
    }
    RwUInt32 n = pipeline->numNodes;
    if (n == 0) {
        pipeline->locked = FALSE;
        return pipeline;
    }
    if (pipeline->entryPoint >= n || pipeline->nodes[pipeline->entryPoint].nodeDef == nullptr) {
        RwErrorReport(rwID_CORE, E_RX_INVALIDENTRYPOINT);
        return nullptr;
    }
    for (RwUInt32 i = 0; i < n; i++) {
        for (RwUInt32 k = 0; k < pipeline->nodes[i].numOutputs; k++) {
            RwUInt32 target = pipeline->nodes[i].outputs[k];
            if (target != RXNODEOUTPUTNOTCONNECTED && target >= n) {
                RwErrorReportCommon(E_RW_BADPARAM);
                return nullptr;
            }
        }
    }
    if (!rwPipelineTopSort(pipeline)) {
        return nullptr;
    }
    RwPipelineRunnable runnable = {};
    if (!rwPipelineBuildRunnable(pipeline, &runnable)) {
        return nullptr;
    }

    // Switch to the runnable form; keep the editable one until every node
    // has initialised and configured.
    RxPipelineNode *editableNodes = pipeline->nodes;
    void *editableBlock = pipeline->superBlock;
    RwUInt32 editableSize = pipeline->superBlockSize;
    pipeline->nodes = runnable.nodes;
    pipeline->superBlock = runnable.block;
    pipeline->superBlockSize = static_cast<RwUInt32>(runnable.size);
    pipeline->embeddedPacket = runnable.packet;
    pipeline->packetNumClusterSlots = runnable.numSlots;
    pipeline->numInputRequirements = runnable.numInputRequirements;
    pipeline->inputRequirements = runnable.inputRequirements;
    pipeline->packetState = rxPACKETSTATE_IDLE;
    pipeline->entryPoint = 0;
    pipeline->locked = FALSE;

    RwUInt32 initialised = 0;
    RwBool ok = TRUE;
    for (RwUInt32 i = n; i-- > 0 && ok; initialised++) {
        ok = rwPipelineNodeInitialize(&pipeline->nodes[i]);
    }
    if (!ok) {
        initialised--;
    }
    for (RwUInt32 i = n; i-- > 0 && ok;) {
        RxPipelineNode *node = &pipeline->nodes[i];
        if (node->nodeDef->pipelineNodeConfig != nullptr) {
            ok = node->nodeDef->pipelineNodeConfig(node, pipeline);
        }
    }
    if (!ok) {
        TerminateNodes(pipeline, n - initialised, initialised);
        RwFree(runnable.block);
        pipeline->nodes = editableNodes;
        pipeline->superBlock = editableBlock;
        pipeline->superBlockSize = editableSize;
        pipeline->embeddedPacket = nullptr;
        pipeline->packetNumClusterSlots = 0;
        pipeline->numInputRequirements = 0;
        pipeline->inputRequirements = nullptr;
        pipeline->locked = TRUE;
        return nullptr;
    }
    for (RwUInt32 i = 0; i < n; i++) {
        RwFree(editableNodes[i].initializationData);
    }
    RwFree(editableBlock);
    return pipeline;
}

RxPipelineNode *RwPipelineFindNodeByName(RwPipeline *pipeline, const RwChar *name, RxPipelineNode *start,
                                         RwInt32 *nodeIndex)
{
    if (nodeIndex != nullptr) {
        *nodeIndex = -1;
    }
    if (pipeline == nullptr || name == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RwUInt32 from = start != nullptr ? static_cast<RwUInt32>(start - pipeline->nodes) + 1 : 0;
    for (RwUInt32 i = from; i < pipeline->numNodes; i++) {
        const RxNodeDefinition *def = pipeline->nodes[i].nodeDef;
        if (def != nullptr && def->name != nullptr && RwEngineInst->stringFuncs.vecStrcmp(def->name, name) == 0) {
            if (nodeIndex != nullptr) {
                *nodeIndex = static_cast<RwInt32>(i);
            }
            return &pipeline->nodes[i];
        }
    }
    return nullptr;
}

RwPipeline *RwPipelineExecute(RwPipeline *pipeline, void *data, RwBool heapReset)
{
    if (pipeline == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    if (pipeline->locked) {
        RwErrorReport(rwID_CORE, E_RX_UNLOCKEDPIPE);
        return nullptr;
    }
    if (pipeline->numNodes == 0) {
        return pipeline;
    }
    RxHeap *heap = rwPipelineGlobalHeap;
    if (heapReset && heap->dirty) {
        RxHeapReset(heap);
    }
    // A body may run another pipeline; the outer execution resumes afterwards.
    RwPipelineExecutionState outer = rwPipelineExecution;
    rwPipelineExecution = RwPipelineExecutionState{pipeline, data, heap, TRUE};
    pipeline->packetState = rxPACKETSTATE_IDLE;
    RxPipelineNodeParam params = {data, heap};
    RxPipelineNode *entry = &pipeline->nodes[0];
    if (entry->nodeDef->nodeBody != nullptr && !entry->nodeDef->nodeBody(entry, &params)) {
        rwPipelineExecution.success = FALSE;
    }
    if (pipeline->packetState > rxPACKETSTATE_DESTROYED) {
        pipeline->packetState = rxPACKETSTATE_DESTROYING;
        RxPacketDestroy(pipeline->embeddedPacket);
    }
    RwBool success = rwPipelineExecution.success;
    rwPipelineExecution = outer;
    return success ? pipeline : nullptr;
}
