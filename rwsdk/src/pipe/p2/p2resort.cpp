// Ordering for the pipeline core: the topological sort that puts a locked
// pipeline's nodes into execution order at unlock, and the key sort used for
// the entry node's list of input clusters.
#include <cstring>
#include <utility>

#include "rwerror.h"
#include "src/pipe/p2/p2core.h"

namespace {

void SwapBytes(RwUInt8 *a, RwUInt8 *b, size_t size)
{
    for (size_t i = 0; i < size; i++) {
        RwUInt8 t = a[i];
        a[i] = b[i];
        b[i] = t;
    }
}

RwUInt32 KeyAt(const RwUInt8 *base, RwUInt32 index, RwUInt32 elementSize, RwUInt32 keyOffset)
{
    RwUInt32 key;
    std::memcpy(&key, base + static_cast<size_t>(index) * elementSize + keyOffset, sizeof(key));
    return key;
}

// Splits [first, last) so that keys with `bit` clear come first, then
// splits each half on the next lower bit.
void PartitionByBits(RwUInt8 *base, RwUInt32 first, RwUInt32 last, RwUInt32 elementSize, RwUInt32 keyOffset,
                     RwInt32 bit)
{
    if (bit < 0 || last - first <= 5) {
        return;
    }
    RwUInt32 mask = 1u << bit;
    RwUInt32 lo = first;
    RwUInt32 hi = last;
    while (lo < hi) {
        if ((KeyAt(base, lo, elementSize, keyOffset) & mask) == 0) {
            lo++;
        } else {
            hi--;
            SwapBytes(base + static_cast<size_t>(lo) * elementSize, base + static_cast<size_t>(hi) * elementSize,
                      elementSize);
        }
    }
    PartitionByBits(base, first, lo, elementSize, keyOffset, bit - 1);
    PartitionByBits(base, lo, last, elementSize, keyOffset, bit - 1);
}

// Moves node b's contents to position a and a's to b (outputs and sort
// records follow their node), then renames a and b in every output table.
void SwapNodes(RwPipeline *pipeline, RwUInt32 a, RwUInt32 b)
{
    RxPipelineNode *nodes = pipeline->nodes;
    RxPipelineNode saved = nodes[a];
    nodes[a] = nodes[b];
    nodes[b] = saved;
    // Tables stay at their positions in the block; their contents move.
    std::swap(nodes[a].outputs, nodes[b].outputs);
    std::swap(nodes[a].topSortData, nodes[b].topSortData);
    SwapBytes(reinterpret_cast<RwUInt8 *>(nodes[a].outputs), reinterpret_cast<RwUInt8 *>(nodes[b].outputs),
              RXNODEMAXOUTPUTS * sizeof(RwUInt32));
    std::swap(*nodes[a].topSortData, *nodes[b].topSortData);
    for (RwUInt32 n = 0; n < pipeline->numNodes; n++) {
        for (RwUInt32 k = 0; k < nodes[n].numOutputs; k++) {
            if (nodes[n].outputs[k] == a) {
                nodes[n].outputs[k] = b;
            } else if (nodes[n].outputs[k] == b) {
                nodes[n].outputs[k] = a;
            }
        }
    }
}

struct SortState {
    RwPipeline *pipeline;
    RwUInt32 nextFree;
};

RwUInt32 Place(SortState *state, RwUInt32 index)
{
    RwUInt32 position = state->nextFree++;
    if (position != index) {
        SwapNodes(state->pipeline, index, position);
    }
    return position;
}

// Depth first in output order; a target is placed once every input of it
// has been visited. Positions below nextFree never move again.
void Visit(SortState *state, RwUInt32 position)
{
    RxPipelineNode *node = &state->pipeline->nodes[position];
    for (RwUInt32 k = 0; k < node->numOutputs; k++) {
        RwUInt32 target = node->outputs[k];
        if (target == RXNODEOUTPUTNOTCONNECTED) {
            continue;
        }
        RxPipelineNodeTopSortData *dep = state->pipeline->nodes[target].topSortData;
        dep->numInsVisited++;
        if (dep->numInsVisited == dep->numIns) {
            Visit(state, Place(state, target));
        }
    }
}

}  // namespace

void RwPipelineSort(void *base, RwUInt32 count, RwUInt32 elementSize, RwUInt32 keyOffset, RwUInt32 minKey,
                    RwUInt32 keyBound)
{
    if (base == nullptr || static_cast<RwUInt64>(keyOffset) + 4 > elementSize || minKey >= keyBound || count < 2) {
        return;
    }
    auto *bytes = static_cast<RwUInt8 *>(base);
    if (count > 5) {
        RwInt32 top = 31;
        while (top >= 0 && ((keyBound >> top) & 1u) == 0) {
            top--;
        }
        PartitionByBits(bytes, 0, count, elementSize, keyOffset, top);
    }
    // The smallest key goes first so the insertion sort below needs no bound check.
    RwUInt32 smallest = 0;
    for (RwUInt32 i = 1; i < count; i++) {
        if (KeyAt(bytes, i, elementSize, keyOffset) < KeyAt(bytes, smallest, elementSize, keyOffset)) {
            smallest = i;
        }
    }
    for (RwUInt32 i = smallest; i > 0; i--) {
        SwapBytes(bytes + static_cast<size_t>(i) * elementSize, bytes + static_cast<size_t>(i - 1) * elementSize,
                  elementSize);
    }
    for (RwUInt32 i = 2; i < count; i++) {
        for (RwUInt32 j = i; KeyAt(bytes, j, elementSize, keyOffset) < KeyAt(bytes, j - 1, elementSize, keyOffset);
             j--) {
            SwapBytes(bytes + static_cast<size_t>(j) * elementSize, bytes + static_cast<size_t>(j - 1) * elementSize,
                      elementSize);
        }
    }
}

RwBool rwPipelineTopSort(RwPipeline *pipeline)
{
    RwUInt32 n = pipeline->numNodes;
    RxPipelineNode *nodes = pipeline->nodes;
    for (RwUInt32 i = 0; i < n; i++) {
        nodes[i].topSortData->numIns = 0;
        nodes[i].topSortData->numInsVisited = 0;
    }
    for (RwUInt32 i = 0; i < n; i++) {
        for (RwUInt32 k = 0; k < nodes[i].numOutputs; k++) {
            RwUInt32 target = nodes[i].outputs[k];
            if (target != RXNODEOUTPUTNOTCONNECTED) {
                nodes[target].topSortData->numIns++;
            }
        }
    }
    if (nodes[pipeline->entryPoint].topSortData->numIns != 0) {
        RwErrorReport(rwID_CORE, E_RX_INVALIDENTRYPOINT);
        return FALSE;
    }
    for (RwUInt32 i = 0; i < n; i++) {
        if (i != pipeline->entryPoint && nodes[i].topSortData->numIns == 0) {
            RwErrorReport(rwID_CORE, E_RX_NODETOPSORT_NOINPUT);
            return FALSE;
        }
    }
    SortState state = {pipeline, 0};
    RwUInt32 entry = Place(&state, pipeline->entryPoint);
    pipeline->entryPoint = entry;
    Visit(&state, entry);
    for (RwUInt32 i = 0; i < n; i++) {
        if (nodes[i].topSortData->numInsVisited != nodes[i].topSortData->numIns) {
            RwErrorReport(rwID_CORE, E_RX_CYCLICPIPELINE);
            return FALSE;
        }
    }
    return TRUE;
}
