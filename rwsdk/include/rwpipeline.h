// Render pipelines: small acyclic graphs of nodes built once (create, lock,
// add fragments, unlock) and executed once per object drawn. Unlocking sorts
// the nodes into execution order and routes the data clusters between them;
// execution allocates its working memory from one pipeline heap that is
// reset between executions.
#pragma once

#include "rwtypes.h"

struct RwPipeline;
struct RxPipelineNode;
struct RxHeap;
struct RxPacket;

// Core error codes (plug-in id 1) of the pipeline core.
static constexpr RwInt32 E_RX_CYCLICPIPELINE = 28;      // a node the sort cannot place
static constexpr RwInt32 E_RX_INVALIDREQUIREMENT = 29;  // required cluster not supplied
static constexpr RwInt32 E_RX_DEP_DUPLICATECLUSTER = 30;
static constexpr RwInt32 E_RX_DEP_NULLCLUSTERDEF = 31;
static constexpr RwInt32 E_RX_DEP_OUTOFMEMORY = 32;     // unlock work area exhausted
static constexpr RwInt32 E_RX_NODETOPSORT_NOINPUT = 34;
static constexpr RwInt32 E_RX_INVALIDENTRYPOINT = 36;
static constexpr RwInt32 E_RX_TOOMANYCLUSTERS = 40;
static constexpr RwInt32 E_RX_TOOMANYOUTPUTS = 41;
static constexpr RwInt32 E_RX_TOOMANYNODES = 42;
static constexpr RwInt32 E_RX_UNLOCKEDPIPE = 52;

// Limits.
static constexpr RwUInt32 RXNODEMAXCLUSTERSOFINTEREST = 32;
static constexpr RwUInt32 RXNODEMAXOUTPUTS = 32;
static constexpr RwUInt32 RXPIPELINEDEFAULTMAXNODES = 64;
static constexpr RwUInt32 RXNODEOUTPUTNOTCONNECTED = 0xFFFFFFFFu;
static constexpr RwUInt32 RXPIPELINEINVALIDINDEX = 0xFFFFFFFFu;

// A kind of data that travels between nodes (vertices, indices, ...). The
// core only compares definitions by identity.
struct RxClusterDefinition {
    const RwChar *name;
    RwUInt32 defaultStride;
    RwUInt32 defaultAttributes;
    const RwChar *attributeSet;
};

// One cluster a node definition is interested in.
struct RxClusterRef {
    RxClusterDefinition *clusterDef;
    RwUInt32 forcePresent;  // non-zero: the node makes the cluster present whatever its inputs
    RwUInt32 reserved;
};

// Input requirement of a cluster of interest.
enum RxClusterValidityReq : RwUInt32 {
    rxCLREQ_DONTWANT = 0,
    rxCLREQ_REQUIRED = 1,
    rxCLREQ_OPTIONAL = 2,
};

// What an output does with a cluster.
enum RxClusterValid : RwUInt32 {
    rxCLVALID_NOCHANGE = 0,  // passed through as it came in
    rxCLVALID_VALID = 1,     // made valid (created) by the node
    rxCLVALID_INVALID = 2,   // removed on this output
};

struct RxOutputSpec {
    const RwChar *name;
    RxClusterValid *outputClusters;     // one per cluster of interest
    RxClusterValid allOtherClusters;    // for clusters the node does not name
};

// Execution parameters handed to every node body.
struct RxPipelineNodeParam {
    void *dataParam;
    RxHeap *heap;
};

struct RxNodeDefinition;
typedef RwBool (*RxNodeBodyFn)(RxPipelineNode *self, const RxPipelineNodeParam *params);
typedef RwBool (*RxNodeInitFn)(RxNodeDefinition *self);
typedef void (*RxNodeTermFn)(RxNodeDefinition *self);
typedef RwBool (*RxPipelineNodeInitFn)(RxPipelineNode *self);
typedef void (*RxPipelineNodeTermFn)(RxPipelineNode *self);
typedef RwBool (*RxPipelineNodeConfigFn)(RxPipelineNode *self, RwPipeline *pipeline);
typedef RwUInt32 (*RxConfigMsgHandlerFn)(RxPipelineNode *self, RwUInt32 msg, RwUInt32 intparam, void *ptrparam);

// A named stage (static data of the module that owns it).
struct RxNodeDefinition {
    const RwChar *name;
    RxNodeBodyFn nodeBody;
    RxNodeInitFn nodeInit;                    // first pipeline node of this definition initialised
    RxNodeTermFn nodeTerm;                    // last one gone
    RxPipelineNodeInitFn pipelineNodeInit;
    RxPipelineNodeTermFn pipelineNodeTerm;
    RxPipelineNodeConfigFn pipelineNodeConfig;
    RxConfigMsgHandlerFn configMsgHandler;    // never called by the core
    RwUInt32 numClustersOfInterest;
    RxClusterRef *clustersOfInterest;
    RxClusterValidityReq *inputRequirements;  // one per cluster of interest
    RwUInt32 numOutputs;
    RxOutputSpec *outputs;
    RwUInt32 pipelineNodePrivateDataSize;
    RwUInt32 editable;                        // heap-allocated: freed with RwFree when unused
    RwInt32 InputPipesCnt;                    // pipeline nodes of unlocked pipelines using it
};

// Per-node record of the sort and the cluster routing.
struct RxPipelineNodeTopSortData {
    RwUInt32 numIns;
    RwUInt32 numInsVisited;
    void *req;  // the node's cluster table while unlocking
};

struct RxPipelineNode {
    RxNodeDefinition *nodeDef;
    RwUInt32 numOutputs;
    RwUInt32 *outputs;                            // node indices; RXNODEOUTPUTNOTCONNECTED when free
    RxClusterDefinition **slotClusterRefs;        // per slot, the cluster carried at this node
    RwUInt32 *slotsContinue;                      // [0] AND of all masks, then one output mask per slot
    void *privateData;
    RwUInt32 *inputToClusterSlot;                 // per cluster of interest, its slot or -1
    RxPipelineNodeTopSortData *topSortData;
    void *initializationData;                     // private data kept while the pipeline is editable
    RwUInt32 initializationDataSize;
};

// One cluster slot of the packet.
static constexpr RwUInt16 rxCLFLAGS_EXTERNAL = 0x2;  // data block is not the packet's to free

struct RxCluster {
    RwUInt16 flags;
    RwUInt16 stride;
    void *data;
    void *currentData;
    RwUInt32 numAlloced;
    RwUInt32 numUsed;
    RxClusterDefinition *clusterRef;  // null while the slot carries no cluster
    RwUInt32 attributes;
};

struct RxPacket {
    RwUInt16 flags;
    RwUInt16 numClusters;
    RwPipeline *pipeline;
    RwUInt32 *inputToClusterSlot;
    RwUInt32 *slotsContinue;
    RxClusterDefinition **slotClusterRefs;
    RxCluster clusters[1];  // numClusters records follow
};

// A cluster the entry node takes in from outside the pipeline.
struct RxPipelineRequiresCluster {
    RxClusterDefinition *clusterDef;
    RxClusterValidityReq rqdOrOpt;
    RwUInt32 slotIndex;
    RwUInt32 sortKey;  // stable per definition within the pipeline
};

// Packet states (RwPipeline::packetState).
static constexpr RwUInt32 rxPACKETSTATE_IDLE = 0;
static constexpr RwUInt32 rxPACKETSTATE_DESTROYED = 1;
static constexpr RwUInt32 rxPACKETSTATE_DESTROYING = 2;
static constexpr RwUInt32 rxPACKETSTATE_SENT = 3;

struct RwPipeline {
    RwBool locked;
    RwUInt32 numNodes;
    RxPipelineNode *nodes;
    RwUInt32 packetNumClusterSlots;
    RwUInt32 packetState;
    RxPacket *embeddedPacket;
    RwUInt32 numInputRequirements;
    RxPipelineRequiresCluster *inputRequirements;
    void *superBlock;  // the node block
    RwUInt32 superBlockSize;
    RwUInt32 entryPoint;
    RwUInt32 pluginId;
    RwUInt32 pluginData;
};

// Pipeline heap: block allocator whose memory is reused across executions.
struct RxHeapFreeBlock;
struct RxHeapBlockHeader {
    RxHeapBlockHeader *prev;
    RxHeapBlockHeader *next;
    size_t size;                    // usable bytes after the header, a multiple of 32
    RxHeapFreeBlock *freeEntry;     // null while in use
};
static_assert(sizeof(RxHeapBlockHeader) == 32, "heap blocks keep 32-byte alignment");

struct RxHeapFreeBlock {
    size_t size;
    RxHeapBlockHeader *ptr;
};

struct RxHeapSuperBlockDescriptor {
    void *start;
    size_t size;
    RxHeapSuperBlockDescriptor *next;
};

struct RxHeap {
    RwUInt32 superBlockSize;
    RxHeapSuperBlockDescriptor *head;  // newest first
    RxHeapBlockHeader *headBlock;
    RxHeapFreeBlock *freeBlocks;
    RwUInt32 entriesAlloced;
    RwUInt32 entriesUsed;
    RwBool dirty;
};

// Pipelines.
RwPipeline *RwPipelineCreate(void);
void RwPipelineDestroy(RwPipeline *pipeline);
RwPipeline *RwPipelineLock(RwPipeline *pipeline);
RwPipeline *RwPipelineUnlock(RwPipeline *pipeline);
// Adds a chain of nodes (definitions up to a null) to a locked pipeline,
// each connected by its predecessor's output 0.
RwPipeline *RwPipelineAddFragment(RwPipeline *pipeline, RwUInt32 *firstIndex, ...);
RxPipelineNode *RwPipelineFindNodeByName(RwPipeline *pipeline, const RwChar *name, RxPipelineNode *start,
                                         RwInt32 *nodeIndex);
RwPipeline *RwPipelineExecute(RwPipeline *pipeline, void *data, RwBool heapReset);
RxHeap *RwPipelineGetHeap(void);
// Tears one node out of a pipeline (see the pipeline's locked state).
RwBool RwPipelineNodeDestroy(RxPipelineNode *node, RwPipeline *pipeline);
// Back to the editable layout without terminating the nodes.
RwPipeline *RwPipelineMakeEditable(RwPipeline *pipeline);

// The dependency chaser's 11 settings: copied out while the module is open;
// given the module's own record, reset to the defaults.
struct RwPipelineDependencySettingsRecord {
    RwInt32 value[11];
};
RwPipelineDependencySettingsRecord *RwPipelineDependencySettings(RwPipelineDependencySettingsRecord *settings);

// Sorts `count` elements in place, ascending by the unsigned 32-bit key at
// `keyOffset`, keys lying in [minKey, keyBound).
void RwPipelineSort(void *base, RwUInt32 count, RwUInt32 elementSize, RwUInt32 keyOffset, RwUInt32 minKey,
                    RwUInt32 keyBound);

// Packets and clusters.
RxPipelineNode *RxPacketSendToOutput(RwPipeline *pipeline, RxPipelineNode *node, RwUInt32 outputIndex);
void RxPacketDestroy(RxPacket *packet);
// Starts carrying clusters in the executing pipeline's packet, at `node`.
RxPacket *RxPacketCreate(RxPipelineNode *node);
// The slot of `node`'s cluster of interest `coiIndex`, claimed for writing;
// null when no slot carries it.
RxCluster *RxClusterLockWrite(RxPacket *packet, RwUInt32 coiIndex, RxPipelineNode *node);
// Gives the cluster a data block of numElements x stride from the heap.
RxCluster *RxClusterInitializeData(RxCluster *cluster, RwUInt32 numElements, RwUInt16 stride);
// Points the cluster at the caller's data, which the packet never frees.
RxCluster *RxClusterSetExternalData(RxCluster *cluster, void *data, RwUInt16 stride, RwUInt32 numElements);

// Pipeline heap.
RxHeap *RxHeapCreate(RwUInt32 size);
void RxHeapDestroy(RxHeap *heap);
RwBool RxHeapReset(RxHeap *heap);
void *RxHeapAlloc(RxHeap *heap, RwUInt32 size);
void RxHeapFree(RxHeap *heap, void *block);
