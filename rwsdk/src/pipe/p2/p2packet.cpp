// The packet that carries data clusters from node to node during an
// execution: sending it along an output releases the clusters that do not
// leave through that output, and destroying it releases the rest.
#include <cstring>

#include "rwerror.h"
#include "src/pipe/p2/p2core.h"

namespace {

// The data block goes back to the heap unless it is the caller's.
void FreeOwnedData(RxCluster *cluster)
{
    if (cluster->data != nullptr && (cluster->flags & rxCLFLAGS_EXTERNAL) == 0) {
        RxHeapFree(rwPipelineGlobalHeap, cluster->data);
    }
}

// The fourth and last fields survive for the slot's next use.
void ReleaseCluster(RxCluster *cluster)
{
    FreeOwnedData(cluster);
    cluster->flags = 0;
    cluster->stride = 0;
    cluster->data = nullptr;
    cluster->numAlloced = 0;
    cluster->numUsed = 0;
    cluster->clusterRef = nullptr;
}

void TakeNodeTables(RxPacket *packet, const RxPipelineNode *node)
{
    packet->inputToClusterSlot = node->inputToClusterSlot;
    packet->slotsContinue = node->slotsContinue;
    packet->slotClusterRefs = node->slotClusterRefs;
}

}  // namespace

RxPipelineNode *RxPacketSendToOutput(RwPipeline *pipeline, RxPipelineNode *node, RwUInt32 outputIndex)
{
    if (outputIndex >= node->numOutputs || node->outputs[outputIndex] == RXNODEOUTPUTNOTCONNECTED) {
        return nullptr;
    }
    RxPipelineNode *target = &pipeline->nodes[node->outputs[outputIndex]];
    if (pipeline->packetState <= rxPACKETSTATE_DESTROYED) {
        return target;
    }
    RxPacket *packet = pipeline->embeddedPacket;
    RwUInt32 bit = 1u << outputIndex;
    if (packet->slotsContinue != nullptr && (packet->slotsContinue[0] & bit) == 0) {
        for (RwUInt32 slot = packet->numClusters; slot-- > 0;) {
            RxCluster *cluster = &packet->clusters[slot];
            if ((packet->slotsContinue[1 + slot] & bit) == 0 && cluster->clusterRef != nullptr) {
                ReleaseCluster(cluster);
            }
        }
    }
    TakeNodeTables(packet, target);
    pipeline->packetState = rxPACKETSTATE_SENT;
    return target;
}

void RxPacketDestroy(RxPacket *packet)
{
    if (packet == nullptr) {
        return;
    }
    packet->pipeline->packetState = rxPACKETSTATE_DESTROYED;
    for (RwUInt32 slot = 0; slot < packet->numClusters; slot++) {
        if (packet->clusters[slot].clusterRef != nullptr) {
            ReleaseCluster(&packet->clusters[slot]);
        }
    }
    packet->flags = 0;
}

RxPacket *RxPacketCreate(RxPipelineNode *node)
{
    RwPipeline *pipeline = rwPipelineExecution.pipeline;
    if (pipeline == nullptr || node == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RxPacket *packet = pipeline->embeddedPacket;
    TakeNodeTables(packet, node);
    pipeline->packetState = rxPACKETSTATE_SENT;
    return packet;
}

RxCluster *RxClusterLockWrite(RxPacket *packet, RwUInt32 coiIndex, RxPipelineNode *node)
{
    if (packet == nullptr || node == nullptr || coiIndex >= node->nodeDef->numClustersOfInterest) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    RwUInt32 slot = node->inputToClusterSlot[coiIndex];
    if (slot >= packet->numClusters) {
        return nullptr;
    }
    RxCluster *cluster = &packet->clusters[slot];
    cluster->clusterRef = packet->slotClusterRefs[slot];
    return cluster;
}

RxCluster *RxClusterInitializeData(RxCluster *cluster, RwUInt32 numElements, RwUInt16 stride)
{
    RwUInt64 bytes = static_cast<RwUInt64>(numElements) * stride;
    if (bytes > 0xFFFFFFFFu) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    void *data = RxHeapAlloc(rwPipelineGlobalHeap, static_cast<RwUInt32>(bytes));
    if (data == nullptr) {
        return nullptr;
    }
    FreeOwnedData(cluster);
    cluster->flags &= static_cast<RwUInt16>(~rxCLFLAGS_EXTERNAL);
    cluster->data = data;
    cluster->currentData = data;
    cluster->stride = stride;
    cluster->numAlloced = numElements;
    cluster->numUsed = 0;
    return cluster;
}

RxCluster *RxClusterSetExternalData(RxCluster *cluster, void *data, RwUInt16 stride, RwUInt32 numElements)
{
    FreeOwnedData(cluster);
    cluster->flags |= rxCLFLAGS_EXTERNAL;
    cluster->data = data;
    cluster->currentData = data;
    cluster->stride = stride;
    cluster->numAlloced = numElements;
    cluster->numUsed = numElements;
    return cluster;
}
