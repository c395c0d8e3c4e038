// Cluster routing for unlock: works out, for a sorted pipeline, which data
// clusters each node receives and passes on, gives every chain of one
// cluster a packet slot, and lays out the runnable node block (nodes,
// outputs, packet, per-node slot tables and private data).
#include <cstddef>
#include <cstring>

#include "rwerror.h"
#include "src/pipe/p2/p2core.h"

namespace {

constexpr RwUInt32 rwNoSlot = 0xFFFFFFFFu;

struct DepEntry {
    RxClusterDefinition *def;
    RwUInt32 kind;        // requirement: 0 none, 1 required, 2 optional
    RwUInt32 pending;     // inputs that still have to deliver the cluster
    RwUInt32 slot;
    RwUInt32 outputMask;  // outputs through which the cluster leaves the node
    const void *origin;   // the definition that asked for it
};

struct DepTable {
    RwUInt32 count;
    DepEntry *entries;
};

struct DepContext {
    RwPipeline *pipeline;
    RwUInt32 numClusters;              // distinct definitions in the pipeline
    RxClusterDefinition **clusters;
    DepTable *tables;                  // one per node, capacity numClusters
    RwUInt32 *groupParent;             // union-find over node * numClusters + entry
    RwUInt32 numSlots;
    RwPipelineScratch scratch;
};

size_t AlignUp(size_t value, size_t alignment) { return (value + alignment - 1) & ~(alignment - 1); }

RwInt32 Find(const DepTable *table, const RxClusterDefinition *def)
{
    for (RwUInt32 i = 0; i < table->count; i++) {
        if (table->entries[i].def == def) {
            return static_cast<RwInt32>(i);
        }
    }
    return -1;
}

RwInt32 CoiIndex(const RxNodeDefinition *def, const RxClusterDefinition *cluster)
{
    for (RwUInt32 i = 0; i < def->numClustersOfInterest; i++) {
        if (def->clustersOfInterest[i].clusterDef == cluster) {
            return static_cast<RwInt32>(i);
        }
    }
    return -1;
}

RxClusterValid Validity(const RxPipelineNode *node, RwUInt32 output, const RxClusterDefinition *cluster)
{
    const RxOutputSpec *spec = &node->nodeDef->outputs[output];
    RwInt32 coi = CoiIndex(node->nodeDef, cluster);
    if (coi >= 0 && spec->outputClusters != nullptr) {
        return spec->outputClusters[coi];
    }
    return spec->allOtherClusters;
}

DepEntry *Add(DepContext *ctx, RwUInt32 node, RxClusterDefinition *def, RwUInt32 kind, RwUInt32 pending,
              const void *origin)
{
    DepTable *table = &ctx->tables[node];
    DepEntry *entry = &table->entries[table->count++];
    *entry = DepEntry{def, kind, pending, rwNoSlot, 0, origin};
    return entry;
}

// The cluster no longer reaches `node`: it leaves the node's table, and the
// nodes it would have been passed on to lose one supplier each.
void Remove(DepContext *ctx, RwUInt32 node, RwUInt32 index)
{
    DepTable *table = &ctx->tables[node];
    RxClusterDefinition *def = table->entries[index].def;
    table->entries[index] = table->entries[--table->count];
    const RxPipelineNode *pnode = &ctx->pipeline->nodes[node];
    for (RwUInt32 k = 0; k < pnode->numOutputs; k++) {
        RwUInt32 target = pnode->outputs[k];
        if (target == RXNODEOUTPUTNOTCONNECTED || Validity(pnode, k, def) != rxCLVALID_NOCHANGE) {
            continue;
        }
        RwInt32 j = Find(&ctx->tables[target], def);
        if (j >= 0 && --ctx->tables[target].entries[j].pending == 0) {
            Remove(ctx, target, static_cast<RwUInt32>(j));
        }
    }
}

RwBool CheckClustersOfInterest(const RxNodeDefinition *def)
{
    for (RwUInt32 i = 0; i < def->numClustersOfInterest; i++) {
        if (def->clustersOfInterest[i].clusterDef == nullptr) {
            RwErrorReport(rwID_CORE, E_RX_DEP_NULLCLUSTERDEF);
            return FALSE;
        }
        for (RwUInt32 j = 0; j < i; j++) {
            if (def->clustersOfInterest[j].clusterDef == def->clustersOfInterest[i].clusterDef) {
                RwErrorReport(rwID_CORE, E_RX_DEP_DUPLICATECLUSTER);
                return FALSE;
            }
        }
    }
    return TRUE;
}

// What each node must receive, from the last node back to the first.
RwBool BackwardPass(DepContext *ctx)
{
    RwPipeline *pipeline = ctx->pipeline;
    for (RwUInt32 x = pipeline->numNodes; x-- > 0;) {
        RxPipelineNode *node = &pipeline->nodes[x];
        const RxNodeDefinition *def = node->nodeDef;
        if (!CheckClustersOfInterest(def)) {
            return FALSE;
        }
        auto *entries = static_cast<DepEntry *>(
            RwPipelineScratchAllocBottom(&ctx->scratch, ctx->numClusters * sizeof(DepEntry)));
        if (entries == nullptr && ctx->numClusters != 0) {
            RwErrorReport(rwID_CORE, E_RX_DEP_OUTOFMEMORY);
            return FALSE;
        }
        ctx->tables[x] = DepTable{0, entries};
        node->topSortData->req = &ctx->tables[x];
        RwUInt32 numIns = node->topSortData->numIns;
        for (RwUInt32 k = 0; k < node->numOutputs; k++) {
            RwUInt32 target = node->outputs[k];
            if (target == RXNODEOUTPUTNOTCONNECTED) {
                continue;
            }
            DepTable *downstream = &ctx->tables[target];
            for (RwUInt32 i = 0; i < downstream->count;) {
                DepEntry *want = &downstream->entries[i];
                RxClusterValid validity = Validity(node, k, want->def);
                if (validity == rxCLVALID_NOCHANGE) {
                    RwInt32 have = Find(&ctx->tables[x], want->def);
                    if (have < 0) {
                        Add(ctx, x, want->def, want->kind, numIns, want->origin);
                    } else if (want->kind == rxCLREQ_REQUIRED) {
                        ctx->tables[x].entries[have].kind = rxCLREQ_REQUIRED;
                    }
                } else if (validity == rxCLVALID_INVALID) {
                    if (want->kind == rxCLREQ_REQUIRED) {
                        RwErrorReport(rwID_CORE, E_RX_INVALIDREQUIREMENT);
                        return FALSE;
                    }
                    if (--want->pending == 0) {
                        Remove(ctx, target, i);
                        continue;
                    }
                }
                i++;
            }
        }
        for (RwUInt32 c = 0; c < def->numClustersOfInterest; c++) {
            RwUInt32 req = def->inputRequirements != nullptr ? def->inputRequirements[c] : rxCLREQ_DONTWANT;
            if (req == rxCLREQ_DONTWANT) {
                continue;
            }
            RxClusterDefinition *cluster = def->clustersOfInterest[c].clusterDef;
            RwInt32 have = Find(&ctx->tables[x], cluster);
            if (have < 0) {
                Add(ctx, x, cluster, req, numIns, def);
            } else if (req == rxCLREQ_REQUIRED) {
                ctx->tables[x].entries[have].kind = rxCLREQ_REQUIRED;
            }
        }
    }
    return TRUE;
}

// Which outputs each cluster leaves by, from the first node to the last.
void ForwardPass(DepContext *ctx)
{
    RwPipeline *pipeline = ctx->pipeline;
    for (RwUInt32 x = 0; x < pipeline->numNodes; x++) {
        RxPipelineNode *node = &pipeline->nodes[x];
        const RxNodeDefinition *def = node->nodeDef;
        DepTable *own = &ctx->tables[x];
        for (RwUInt32 c = 0; c < def->numClustersOfInterest; c++) {
            RxClusterDefinition *cluster = def->clustersOfInterest[c].clusterDef;
            if (def->clustersOfInterest[c].forcePresent != 0 && Find(own, cluster) < 0) {
                Add(ctx, x, cluster, rxCLREQ_DONTWANT, 1, def);
            }
        }
        for (RwUInt32 k = 0; k < node->numOutputs; k++) {
            RwUInt32 target = node->outputs[k];
            if (target == RXNODEOUTPUTNOTCONNECTED) {
                continue;
            }
            DepTable *downstream = &ctx->tables[target];
            for (RwUInt32 i = 0; i < downstream->count; i++) {
                RxClusterDefinition *cluster = downstream->entries[i].def;
                RxClusterValid validity = Validity(node, k, cluster);
                RwInt32 have = Find(own, cluster);
                if (validity == rxCLVALID_VALID && have < 0) {
                    Add(ctx, x, cluster, rxCLREQ_DONTWANT, 1, def);
                    have = static_cast<RwInt32>(own->count - 1);
                }
                if (validity != rxCLVALID_INVALID && have >= 0) {
                    own->entries[have].outputMask |= 1u << k;
                }
            }
        }
    }
}

RwUInt32 GroupRoot(DepContext *ctx, RwUInt32 id)
{
    while (ctx->groupParent[id] != id) {
        ctx->groupParent[id] = ctx->groupParent[ctx->groupParent[id]];
        id = ctx->groupParent[id];
    }
    return id;
}

// Every chain of one cluster from node to node shares a slot; each chain
// takes the lowest slot none of its nodes uses yet.
void AssignSlots(DepContext *ctx)
{
    RwPipeline *pipeline = ctx->pipeline;
    RwUInt32 n = pipeline->numNodes;
    RwUInt32 stride = ctx->numClusters;
    for (RwUInt32 id = 0; id < n * stride; id++) {
        ctx->groupParent[id] = id;
    }
    for (RwUInt32 x = 0; x < n; x++) {
        const RxPipelineNode *node = &pipeline->nodes[x];
        for (RwUInt32 k = 0; k < node->numOutputs; k++) {
            RwUInt32 target = node->outputs[k];
            if (target == RXNODEOUTPUTNOTCONNECTED) {
                continue;
            }
            for (RwUInt32 i = 0; i < ctx->tables[x].count; i++) {
                const DepEntry *entry = &ctx->tables[x].entries[i];
                RwInt32 j = Find(&ctx->tables[target], entry->def);
                if ((entry->outputMask & (1u << k)) != 0 && j >= 0) {
                    ctx->groupParent[GroupRoot(ctx, x * stride + i)] =
                        GroupRoot(ctx, target * stride + static_cast<RwUInt32>(j));
                }
            }
        }
    }
    ctx->numSlots = 0;
    for (RwUInt32 x = 0; x < n; x++) {
        for (RwUInt32 i = 0; i < ctx->tables[x].count; i++) {
            if (ctx->tables[x].entries[i].slot != rwNoSlot) {
                continue;
            }
            RwUInt32 root = GroupRoot(ctx, x * stride + i);
            RwUInt32 slot = 0;
            for (bool clash = true; clash;) {
                clash = false;
                for (RwUInt32 y = 0; y < n && !clash; y++) {
                    for (RwUInt32 j = 0; j < ctx->tables[y].count && !clash; j++) {
                        if (GroupRoot(ctx, y * stride + j) != root) {
                            continue;
                        }
                        for (RwUInt32 m = 0; m < ctx->tables[y].count; m++) {
                            if (ctx->tables[y].entries[m].slot == slot) {
                                clash = true;
                                slot++;
                                break;
                            }
                        }
                    }
                }
            }
            for (RwUInt32 y = 0; y < n; y++) {
                for (RwUInt32 j = 0; j < ctx->tables[y].count; j++) {
                    if (GroupRoot(ctx, y * stride + j) == root) {
                        ctx->tables[y].entries[j].slot = slot;
                    }
                }
            }
            if (slot + 1 > ctx->numSlots) {
                ctx->numSlots = slot + 1;
            }
        }
    }
}

// Carves the runnable block; with a null base it only measures.
struct Carver {
    RwUInt8 *base;
    size_t offset;
    void *Take(size_t size, size_t alignment)
    {
        offset = AlignUp(offset, alignment);
        void *at = base != nullptr ? base + offset : nullptr;
        offset += size;
        return at;
    }
};

RwUInt32 CountInputRequirements(const DepContext *ctx)
{
    RwUInt32 count = 0;
    const DepTable *entry = &ctx->tables[0];
    for (RwUInt32 i = 0; i < entry->count; i++) {
        count += entry->entries[i].kind != rxCLREQ_DONTWANT ? 1 : 0;
    }
    return count;
}

RwUInt32 ClusterKey(const DepContext *ctx, const RxClusterDefinition *def)
{
    for (RwUInt32 i = 0; i < ctx->numClusters; i++) {
        if (ctx->clusters[i] == def) {
            return i;
        }
    }
    return 0;
}

size_t LayRunnable(const DepContext *ctx, RwUInt8 *base, RwPipelineRunnable *out)
{
    const RwPipeline *pipeline = ctx->pipeline;
    RwUInt32 n = pipeline->numNodes;
    RwUInt32 slots = ctx->numSlots;
    Carver carve = {base, 0};
    auto *nodes = static_cast<RxPipelineNode *>(carve.Take(n * sizeof(RxPipelineNode), alignof(RxPipelineNode)));
    auto *sortData = static_cast<RxPipelineNodeTopSortData *>(
        carve.Take(n * sizeof(RxPipelineNodeTopSortData), alignof(RxPipelineNodeTopSortData)));
    size_t packetSize = offsetof(RxPacket, clusters) + (slots > 0 ? slots : 1) * sizeof(RxCluster);
    auto *packet = static_cast<RxPacket *>(carve.Take(packetSize, alignof(RxPacket)));
    RwUInt32 numReqs = CountInputRequirements(ctx);
    auto *reqs = static_cast<RxPipelineRequiresCluster *>(
        carve.Take(numReqs * sizeof(RxPipelineRequiresCluster), alignof(RxPipelineRequiresCluster)));
    for (RwUInt32 x = 0; x < n; x++) {
        const RxPipelineNode *src = &pipeline->nodes[x];
        const DepTable *table = &ctx->tables[x];
        const RxNodeDefinition *def = src->nodeDef;
        auto *slotRefs = static_cast<RxClusterDefinition **>(
            carve.Take(slots * sizeof(RxClusterDefinition *), alignof(RxClusterDefinition *)));
        auto *outputs = static_cast<RwUInt32 *>(carve.Take(src->numOutputs * sizeof(RwUInt32), 4));
        auto *masks = static_cast<RwUInt32 *>(carve.Take((1 + slots) * sizeof(RwUInt32), 4));
        auto *coiSlots = static_cast<RwUInt32 *>(carve.Take(def->numClustersOfInterest * sizeof(RwUInt32), 4));
        void *privateData = carve.Take(AlignUp(def->pipelineNodePrivateDataSize, 8), 8);
        if (base == nullptr) {
            continue;
        }
        RxPipelineNode *dst = &nodes[x];
        *dst = *src;
        dst->topSortData = &sortData[x];
        sortData[x] = *src->topSortData;
        sortData[x].req = nullptr;
        dst->outputs = outputs;
        std::memcpy(outputs, src->outputs, src->numOutputs * sizeof(RwUInt32));
        dst->slotClusterRefs = slotRefs;
        dst->slotsContinue = masks;
        dst->inputToClusterSlot = coiSlots;
        masks[0] = 0xFFFFFFFFu;
        for (RwUInt32 i = 0; i < table->count; i++) {
            const DepEntry *entry = &table->entries[i];
            slotRefs[entry->slot] = entry->def;
            masks[0] &= entry->outputMask;
            masks[1 + entry->slot] = entry->outputMask;
        }
        for (RwUInt32 c = 0; c < def->numClustersOfInterest; c++) {
            RwInt32 at = Find(table, def->clustersOfInterest[c].clusterDef);
            coiSlots[c] = at >= 0 ? table->entries[at].slot : rwNoSlot;
        }
        dst->privateData = def->pipelineNodePrivateDataSize > 0 ? privateData : nullptr;
        if (dst->privateData != nullptr && src->initializationData != nullptr) {
            RwUInt32 keep = src->initializationDataSize < def->pipelineNodePrivateDataSize
                                ? src->initializationDataSize
                                : def->pipelineNodePrivateDataSize;
            std::memcpy(dst->privateData, src->initializationData, keep);
        }
        dst->initializationData = nullptr;
        dst->initializationDataSize = 0;
    }
    if (base != nullptr) {
        packet->numClusters = static_cast<RwUInt16>(slots);
        packet->pipeline = const_cast<RwPipeline *>(pipeline);
        RwUInt32 r = 0;
        const DepTable *entryTable = &ctx->tables[0];
        for (RwUInt32 i = 0; i < entryTable->count; i++) {
            const DepEntry *entry = &entryTable->entries[i];
            if (entry->kind != rxCLREQ_DONTWANT) {
                reqs[r++] = RxPipelineRequiresCluster{entry->def, static_cast<RxClusterValidityReq>(entry->kind),
                                                      entry->slot, ClusterKey(ctx, entry->def)};
            }
        }
        RwPipelineSort(reqs, numReqs, sizeof(RxPipelineRequiresCluster), offsetof(RxPipelineRequiresCluster, sortKey),
                       0, ctx->numClusters > 0 ? ctx->numClusters : 1);
        out->nodes = nodes;
        out->packet = packet;
        out->numSlots = slots;
        out->numInputRequirements = numReqs;
        out->inputRequirements = numReqs > 0 ? reqs : nullptr;
    }
    return carve.offset;
}

RwUInt32 CountDistinctClusters(const RwPipeline *pipeline, RxClusterDefinition **list)
{
    RwUInt32 count = 0;
    for (RwUInt32 x = 0; x < pipeline->numNodes; x++) {
        const RxNodeDefinition *def = pipeline->nodes[x].nodeDef;
        for (RwUInt32 c = 0; c < def->numClustersOfInterest; c++) {
            RxClusterDefinition *cluster = def->clustersOfInterest[c].clusterDef;
            bool seen = cluster == nullptr;
            for (RwUInt32 i = 0; i < count && !seen && list != nullptr; i++) {
                seen = list[i] == cluster;
            }
            if (list == nullptr) {
                // Counting pass: look back through the nodes already counted.
                for (RwUInt32 y = 0; y <= x && !seen; y++) {
                    const RxNodeDefinition *other = pipeline->nodes[y].nodeDef;
                    RwUInt32 limit = y == x ? c : other->numClustersOfInterest;
                    for (RwUInt32 d = 0; d < limit && !seen; d++) {
                        seen = other->clustersOfInterest[d].clusterDef == cluster;
                    }
                }
            }
            if (!seen) {
                if (list != nullptr) {
                    list[count] = cluster;
                }
                count++;
            }
        }
    }
    return count;
}

}  // namespace

void *RwPipelineScratchAllocBottom(RwPipelineScratch *scratch, size_t size)
{
    size = AlignUp(size, 8);
    if (static_cast<size_t>(scratch->top - scratch->bottom) < size) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    void *at = scratch->bottom;
    scratch->bottom += size;
    return at;
}

void *RwPipelineScratchAllocTop(RwPipelineScratch *scratch, size_t size)
{
    size = AlignUp(size, 8);
    if (static_cast<size_t>(scratch->top - scratch->bottom) < size) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    scratch->top -= size;
    return scratch->top;
}

RwBool rwPipelineBuildRunnable(RwPipeline *pipeline, RwPipelineRunnable *out)
{
    RwUInt32 n = pipeline->numNodes;
    DepContext ctx = {};
    ctx.pipeline = pipeline;
    ctx.numClusters = CountDistinctClusters(pipeline, nullptr);
    size_t work = AlignUp(ctx.numClusters * sizeof(RxClusterDefinition *), 8) + AlignUp(n * sizeof(DepTable), 8) +
                  static_cast<size_t>(n) * AlignUp(ctx.numClusters * sizeof(DepEntry), 8) +
                  AlignUp(static_cast<size_t>(n) * ctx.numClusters * sizeof(RwUInt32), 8);
    auto *area = static_cast<RwUInt8 *>(RwMalloc(work > 0 ? work : 8));
    if (area == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    ctx.scratch = RwPipelineScratch{area, area + work};
    ctx.clusters = static_cast<RxClusterDefinition **>(
        RwPipelineScratchAllocTop(&ctx.scratch, ctx.numClusters * sizeof(RxClusterDefinition *)));
    ctx.tables = static_cast<DepTable *>(RwPipelineScratchAllocTop(&ctx.scratch, n * sizeof(DepTable)));
    ctx.groupParent = static_cast<RwUInt32 *>(
        RwPipelineScratchAllocTop(&ctx.scratch, static_cast<size_t>(n) * ctx.numClusters * sizeof(RwUInt32)));
    CountDistinctClusters(pipeline, ctx.clusters);

    RwBool ok = BackwardPass(&ctx);
    if (ok) {
        ForwardPass(&ctx);
        AssignSlots(&ctx);
        size_t size = LayRunnable(&ctx, nullptr, out);
        auto *block = static_cast<RwUInt8 *>(RwMalloc(size));
        if (block == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            ok = FALSE;
        } else {
            std::memset(block, 0, size);
            LayRunnable(&ctx, block, out);
            out->block = block;
            out->size = size;
        }
    }
    for (RwUInt32 x = 0; x < n; x++) {
        pipeline->nodes[x].topSortData->req = nullptr;
    }
    RwFree(area);
    return ok;
}
