// The pipeline engine module (0x409): its block in the engine instance, the
// pipeline free list and heap it owns from engine start to stop, the
// dependency-chaser settings, and the state of the execution in progress.
#include <cstring>

#include "rwerror.h"
#include "src/bacoremodules.h"
#include "src/pipe/p2/p2core.h"

const RwInt32 rwPipelineModuleBlockSize = sizeof(RwPipelineModuleBlock);
RwInt32 rwPipelineModuleOffset = -1;

RxHeap *rwPipelineGlobalHeap = nullptr;
RwBool rwPipelineModuleIsOpen = FALSE;
RwPipelineExecutionState rwPipelineExecution = {};

namespace {

constexpr RwUInt32 rwPipelineHeapInitialSize = 4096;
constexpr RwInt32 rwPipelinesPerBlock = 64;

// The free list's own record outlives each open; the module reuses it.
RwFreeList pipelineFreeListRecord;

constexpr RwPipelineDependencySettingsRecord rwDefaultDependencySettings = {{7, 2, 5, 6, 0, 1, 1, 2, -1, 0, -1}};

}  // namespace

void *RwPipelineModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    if (rwPipelineModuleIsOpen) {
        return nullptr;
    }
    rwPipelineModuleOffset = offset;
    auto *block = reinterpret_cast<RwPipelineModuleBlock *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(block, 0, static_cast<size_t>(size));
    rwPipelineGlobalHeap = RxHeapCreate(rwPipelineHeapInitialSize);
    if (rwPipelineGlobalHeap == nullptr) {
        return nullptr;
    }
    block->pipelineFreeList = RwFreeListCreateEx(sizeof(RwPipeline), rwPipelinesPerBlock, alignof(RwPipeline), 1,
                                                 &pipelineFreeListRecord);
    if (block->pipelineFreeList == nullptr) {
        RxHeapDestroy(rwPipelineGlobalHeap);
        rwPipelineGlobalHeap = nullptr;
        return nullptr;
    }
    block->maxNodesPerPipeline = RXPIPELINEDEFAULTMAXNODES;
    block->reserved[0] = 0;
    block->reserved[1] = 0;
    rwPipelineExecution = {};
    rwPipelineModuleIsOpen = TRUE;
    RwPipelineDependencySettings(&block->dependencySettings);
    return instance;
}

void *RwPipelineModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *block = reinterpret_cast<RwPipelineModuleBlock *>(static_cast<RwUInt8 *>(instance) + offset);
    if (block->pipelineFreeList != nullptr) {
        RwFreeListDestroy(block->pipelineFreeList);
        block->pipelineFreeList = nullptr;
    }
    RxHeapDestroy(rwPipelineGlobalHeap);
    rwPipelineGlobalHeap = nullptr;
    rwPipelineModuleIsOpen = FALSE;
    return instance;
}

RwPipelineDependencySettingsRecord *RwPipelineDependencySettings(RwPipelineDependencySettingsRecord *settings)
{
    if (settings == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    if (!rwPipelineModuleIsOpen) {
        RwErrorReportCommon(E_RW_DEPENDENCY);
        return nullptr;
    }
    RwPipelineDependencySettingsRecord *own = &rwPipelineModuleGet()->dependencySettings;
    *settings = settings == own ? rwDefaultDependencySettings : *own;
    return settings;
}

RxHeap *RwPipelineGetHeap(void) { return rwPipelineGlobalHeap; }
