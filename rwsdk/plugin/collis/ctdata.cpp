// Collision data: its one-block layout, the checks every tree must pass
// before a query may walk it, and its stream format, read field by field
// and weighed against the chunk's length before anything is allocated.
#include <cmath>

#include "plugin/collis/ctprivate.h"
#include "rwstream.h"

namespace {

// The widest tree the 16-bit node indices can address.
constexpr RwUInt32 kMaxLeaves = 0x10000;
constexpr RwUInt32 kBranchBytes = 16;
constexpr RwUInt32 kLeafBytes = 4;
constexpr RwUInt32 kMapEntryBytes = 4;

RwUInt64 StreamBytes(RwUInt32 numLeaves, RwUInt32 numTriangles)
{
    return 8u + static_cast<RwUInt64>(kBranchBytes) * (numLeaves - 1u) +
           static_cast<RwUInt64>(kLeafBytes) * numLeaves + static_cast<RwUInt64>(kMapEntryBytes) * numTriangles;
}

void ReportBadData() { RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RP_COLLIS_BADDATA); }

RwBool ValidChild(RwUInt8 type, RwUInt16 index, RwUInt32 numBranches, RwUInt32 numLeaves)
{
    return (type == rpCOLLISIONLEAF && index < numLeaves) || (type == rpCOLLISIONBRANCH && index < numBranches);
}

// Every branch but the root and every leaf referenced exactly once, and all
// of them reachable from the root: one tree, no cycles, no sharing.
RwBool IsOneTree(const RpCollisionTree *tree)
{
    const RwUInt32 numBranches = tree->numLeaves - 1u;
    if (numBranches == 0) {
        return TRUE;
    }
    auto *seen = static_cast<RwUInt8 *>(RwCalloc(numBranches + tree->numLeaves, 1));
    if (seen == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NOMEM);
        return FALSE;
    }
    RwBool ok = TRUE;
    rpCollisionStack<RwUInt16> pending;
    seen[0] = 1;
    RwUInt32 reached = 1;
    pending.Push(0);
    RwUInt16 node = 0;
    while (ok && pending.Pop(&node)) {
        const RpCollisionTreeBranch &branch = tree->branches[node];
        const RwUInt8 types[2] = {branch.leftType, branch.rightType};
        const RwUInt16 nodes[2] = {branch.leftNode, branch.rightNode};
        for (RwInt32 side = 0; side < 2 && ok; ++side) {
            const RwUInt32 slot = types[side] == rpCOLLISIONBRANCH ? nodes[side] : numBranches + nodes[side];
            if (seen[slot] != 0) {
                ok = FALSE;
            } else {
                seen[slot] = 1;
                ++reached;
                if (types[side] == rpCOLLISIONBRANCH && !pending.Push(nodes[side])) {
                    ok = FALSE;
                }
            }
        }
    }
    RwFree(seen);
    return ok && reached == numBranches + tree->numLeaves;
}

}  // namespace

RpCollisionData *rpCollisionDataCreate(RwUInt32 numLeaves, RwUInt32 numTriangles)
{
    const size_t bytes = sizeof(RpCollisionData) + sizeof(RpCollisionTree) +
                         sizeof(RpCollisionTreeBranch) * (numLeaves - 1u) + sizeof(RpCollisionTreeLeaf) * numLeaves +
                         sizeof(RwUInt16) * numTriangles;
    auto *block = static_cast<RwUInt8 *>(RwMalloc(bytes));
    if (block == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NOMEM);
        return nullptr;
    }
    auto *data = reinterpret_cast<RpCollisionData *>(block);
    auto *tree = reinterpret_cast<RpCollisionTree *>(block + sizeof(RpCollisionData));
    auto *branches = reinterpret_cast<RpCollisionTreeBranch *>(block + sizeof(RpCollisionData) + sizeof(RpCollisionTree));
    auto *leaves = reinterpret_cast<RpCollisionTreeLeaf *>(branches + (numLeaves - 1u));
    auto *map = reinterpret_cast<RwUInt16 *>(leaves + numLeaves);
    *tree = {numLeaves, branches, leaves};
    *data = {rpCOLLISIONDATASINGLEBLOCK, tree, numTriangles, map};
    return data;
}

void rpCollisionDataDestroy(RpCollisionData *data)
{
    if (data == nullptr) {
        return;
    }
    if ((data->flags & rpCOLLISIONDATASINGLEBLOCK) == 0 && data->tree != nullptr) {
        RwFree(data->tree);
    }
    RwFree(data);
}

void rpCollisionDataInstall(RpCollisionData **slot, RpCollisionData *data)
{
    if (*slot != nullptr && *slot != data) {
        rpCollisionDataDestroy(*slot);
    }
    *slot = data;
}

RwBool rpCollisionDataIsValid(const RpCollisionData *data, RwUInt32 ownerTriangles)
{
    const RpCollisionTree *tree = data->tree;
    if (tree == nullptr || tree->numLeaves < 1u || tree->numLeaves > kMaxLeaves) {
        return FALSE;
    }
    const RwUInt32 numBranches = tree->numLeaves - 1u;
    for (RwUInt32 i = 0; i < numBranches; ++i) {
        const RpCollisionTreeBranch &b = tree->branches[i];
        if ((b.axis != 0 && b.axis != 4 && b.axis != 8) || !std::isfinite(b.leftValue) ||
            !std::isfinite(b.rightValue) || !ValidChild(b.leftType, b.leftNode, numBranches, tree->numLeaves) ||
            !ValidChild(b.rightType, b.rightNode, numBranches, tree->numLeaves)) {
            return FALSE;
        }
    }
    for (RwUInt32 i = 0; i < tree->numLeaves; ++i) {
        const RpCollisionTreeLeaf &leaf = tree->leaves[i];
        if (static_cast<RwUInt32>(leaf.first) + leaf.count > data->numTriangles) {
            return FALSE;
        }
    }
    for (RwUInt32 i = 0; i < data->numTriangles; ++i) {
        if (data->triangleMap[i] >= ownerTriangles) {
            return FALSE;
        }
    }
    return IsOneTree(tree);
}

static RwBool ReadBody(RwStream *stream, RpCollisionData *data)
{
    RpCollisionTree *tree = data->tree;
    RwUInt32 word = 0;
    for (RwUInt32 i = 0; i + 1u < tree->numLeaves; ++i) {
        RpCollisionTreeBranch &b = tree->branches[i];
        RwUInt32 nodes = 0;
        if (!RwStreamReadUInt32(stream, &word) || !RwStreamReadUInt32(stream, &nodes) ||
            !RwStreamReadReal(stream, &b.leftValue) || !RwStreamReadReal(stream, &b.rightValue)) {
            return FALSE;
        }
        b.axis = static_cast<RwUInt16>(word >> 16);
        b.leftType = static_cast<RwUInt8>(word >> 8);
        b.rightType = static_cast<RwUInt8>(word);
        b.leftNode = static_cast<RwUInt16>(nodes >> 16);
        b.rightNode = static_cast<RwUInt16>(nodes);
    }
    for (RwUInt32 i = 0; i < tree->numLeaves; ++i) {
        if (!RwStreamReadUInt32(stream, &word)) {
            return FALSE;
        }
        tree->leaves[i] = {static_cast<RwUInt16>(word >> 16), static_cast<RwUInt16>(word)};
    }
    for (RwUInt32 i = 0; i < data->numTriangles; ++i) {
        if (!RwStreamReadUInt32(stream, &word)) {
            return FALSE;
        }
        if (word > 0xFFFFu) {
            ReportBadData();
            return FALSE;
        }
        data->triangleMap[i] = static_cast<RwUInt16>(word);
    }
    return TRUE;
}

static RwStream *ReadData(RwStream *stream, RwInt32 length, RpCollisionData **slot, RwUInt32 ownerTriangles)
{
    RwUInt32 numLeaves = 0, numTriangles = 0;
    if (length < 8 || !RwStreamReadUInt32(stream, &numLeaves) || !RwStreamReadUInt32(stream, &numTriangles)) {
        if (length < 8) {
            ReportBadData();
        }
        return nullptr;
    }
    // The counts must describe exactly the chunk's bytes before they size
    // an allocation.
    if (numLeaves < 1u || numLeaves > kMaxLeaves || StreamBytes(numLeaves, numTriangles) != static_cast<RwUInt64>(length)) {
        ReportBadData();
        return nullptr;
    }
    RpCollisionData *data = rpCollisionDataCreate(numLeaves, numTriangles);
    if (data == nullptr) {
        return nullptr;
    }
    if (!ReadBody(stream, data)) {
        rpCollisionDataDestroy(data);
        return nullptr;
    }
    if (!rpCollisionDataIsValid(data, ownerTriangles)) {
        ReportBadData();
        rpCollisionDataDestroy(data);
        return nullptr;
    }
    rpCollisionDataInstall(slot, data);
    return stream;
}

RwStream *rpCollisionGeometryStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32)
{
    const auto *geometry = static_cast<const RpGeometry *>(object);
    const RwUInt32 owned = geometry->numTriangles > 0 ? static_cast<RwUInt32>(geometry->numTriangles) : 0u;
    return ReadData(stream, length, rpCollisionDataSlot(object, offset), owned);
}

RwStream *rpCollisionSectorStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32)
{
    const auto *sector = static_cast<const RpWorldSector *>(object);
    return ReadData(stream, length, rpCollisionDataSlot(object, offset), sector->numPolygons);
}

RwStream *rpCollisionDataStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    const RpCollisionData *data = *rpCollisionDataSlot(object, offset);
    const RpCollisionTree *tree = data->tree;
    if (RwStreamWriteUInt32(stream, tree->numLeaves) == nullptr ||
        RwStreamWriteUInt32(stream, data->numTriangles) == nullptr) {
        return nullptr;
    }
    for (RwUInt32 i = 0; i + 1u < tree->numLeaves; ++i) {
        const RpCollisionTreeBranch &b = tree->branches[i];
        const RwUInt32 word = static_cast<RwUInt32>(b.axis) << 16 | static_cast<RwUInt32>(b.leftType) << 8 | b.rightType;
        const RwUInt32 nodes = static_cast<RwUInt32>(b.leftNode) << 16 | b.rightNode;
        if (RwStreamWriteUInt32(stream, word) == nullptr || RwStreamWriteUInt32(stream, nodes) == nullptr ||
            RwStreamWriteReal(stream, b.leftValue) == nullptr || RwStreamWriteReal(stream, b.rightValue) == nullptr) {
            return nullptr;
        }
    }
    for (RwUInt32 i = 0; i < tree->numLeaves; ++i) {
        const RpCollisionTreeLeaf &leaf = tree->leaves[i];
        if (RwStreamWriteUInt32(stream, static_cast<RwUInt32>(leaf.count) << 16 | leaf.first) == nullptr) {
            return nullptr;
        }
    }
    for (RwUInt32 i = 0; i < data->numTriangles; ++i) {
        if (RwStreamWriteUInt32(stream, data->triangleMap[i]) == nullptr) {
            return nullptr;
        }
    }
    return stream;
}

RwInt32 rpCollisionDataStreamGetSize(const void *object, RwInt32 offset, RwInt32)
{
    const RpCollisionData *data = *rpCollisionDataSlot(object, offset);
    if (data == nullptr || data->tree == nullptr) {
        return 0;
    }
    return static_cast<RwInt32>(StreamBytes(data->tree->numLeaves, data->numTriangles));
}
