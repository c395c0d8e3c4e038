// Private declarations shared by the pipeline core's source files: the
// module block, the execution state, the node-block layouts and the
// unlock work area.
#pragma once

#include "rwengine.h"
#include "rwmemory.h"
#include "rwpipeline.h"

// Block of the pipeline module in the engine instance.
struct RwPipelineModuleBlock {
    RwFreeList *pipelineFreeList;
    RwPipelineDependencySettingsRecord dependencySettings;
    RwInt32 reserved[2];
    RwUInt32 maxNodesPerPipeline;
};

extern RwInt32 rwPipelineModuleOffset;
inline RwPipelineModuleBlock *rwPipelineModuleGet(void)
{
    return static_cast<RwPipelineModuleBlock *>(RwEngineGetModuleBlock(rwPipelineModuleOffset));
}

// The pipeline running now (null between executions).
struct RwPipelineExecutionState {
    RwPipeline *pipeline;
    void *data;
    RxHeap *heap;
    RwBool success;
};

extern RxHeap *rwPipelineGlobalHeap;
extern RwBool rwPipelineModuleIsOpen;
extern RwPipelineExecutionState rwPipelineExecution;

// The editable layout keeps, per node of the limit, the node, a full table
// of output indices and its sort record.
inline size_t rwPipelineLockedBytesPerNode(void)
{
    return sizeof(RxPipelineNode) + RXNODEMAXOUTPUTS * sizeof(RwUInt32) + sizeof(RxPipelineNodeTopSortData);
}

// Points each node of a locked block at its own output table and sort record.
void rwPipelineLockedAttachTables(RwPipeline *pipeline, RwUInt32 firstNode);

// Unlock work area: two ends that meet in the middle.
struct RwPipelineScratch {
    RwUInt8 *bottom;
    RwUInt8 *top;
};
void *RwPipelineScratchAllocBottom(RwPipelineScratch *scratch, size_t size);
void *RwPipelineScratchAllocTop(RwPipelineScratch *scratch, size_t size);

// Places the entry node first and the rest in execution order (swapping
// nodes in the locked block); false after reporting the error.
RwBool rwPipelineTopSort(RwPipeline *pipeline);

// Works out which cluster travels in which packet slot and builds the
// runnable node block; the pipeline's nodes stay untouched on failure.
struct RwPipelineRunnable {
    void *block;
    size_t size;
    RxPipelineNode *nodes;
    RxPacket *packet;
    RwUInt32 numSlots;
    RwUInt32 numInputRequirements;
    RxPipelineRequiresCluster *inputRequirements;
};
RwBool rwPipelineBuildRunnable(RwPipeline *pipeline, RwPipelineRunnable *out);

// Node definition bookkeeping around unlock and lock.
RwBool rwPipelineNodeInitialize(RxPipelineNode *node);
void rwPipelineNodeTerminate(RxPipelineNode *node);
