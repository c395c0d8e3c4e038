// Private seams of the collision plug-in's source files: where its
// extensions live, the collision data's one-block layout and checks, and
// the growable stack every tree and BSP walk keeps its pending nodes on.
#pragma once

#include <cstring>

#include "rpcollis.h"
#include "rwerror.h"
#include "rwmemory.h"

// Offsets of the extensions (-1 before the attach).
extern RwInt32 rpCollisionEngineOffset;
extern RwInt32 rpCollisionSectorOffset;
extern RwInt32 rpCollisionAtomicOffset;
extern RwInt32 rpCollisionGeometryOffset;

// The extension word holding an object's collision data.
RpCollisionData **rpCollisionDataSlot(const void *object, RwInt32 offset);
// The atomic's word recording the last atomic query that tested it.
RwInt32 *rpCollisionAtomicMark(const RpAtomic *atomic);
// A fresh query number (the engine block's counter, wrapping).
RwInt32 rpCollisionNextQuery(void);

// One block holding record, tree and map, with every count set and the
// arrays uninitialised; null with (0x11D, out of memory) reported.
RpCollisionData *rpCollisionDataCreate(RwUInt32 numLeaves, RwUInt32 numTriangles);
void rpCollisionDataDestroy(RpCollisionData *data);
// TRUE when every node reference, leaf range and map entry holds for an
// owner of `ownerTriangles` triangles, and the branches form one tree.
RwBool rpCollisionDataIsValid(const RpCollisionData *data, RwUInt32 ownerTriangles);
// Installs data in an extension slot, freeing what was there.
void rpCollisionDataInstall(RpCollisionData **slot, RpCollisionData *data);

// Stream callbacks shared by the geometry and sector extensions.
RwStream *rpCollisionGeometryStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset,
                                        RwInt32 size);
RwStream *rpCollisionSectorStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset,
                                      RwInt32 size);
RwStream *rpCollisionDataStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                     RwInt32 size);
RwInt32 rpCollisionDataStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);

// A stack that starts in place and grows on the engine's heap. A failed
// growth is reported once and leaves `failed` set; walks then stop.
template <typename T>
struct rpCollisionStack {
    static constexpr RwInt32 kInPlace = 64;
    T inPlace[kInPlace];
    T *items = inPlace;
    RwInt32 count = 0;
    RwInt32 capacity = kInPlace;
    RwBool failed = FALSE;

    rpCollisionStack() = default;
    rpCollisionStack(const rpCollisionStack &) = delete;
    rpCollisionStack &operator=(const rpCollisionStack &) = delete;
    ~rpCollisionStack()
    {
        if (items != inPlace) {
            RwFree(items);
        }
    }

    RwBool Push(const T &item)
    {
        if (count == capacity) {
            const RwInt32 grown = capacity * 2;
            auto *bigger = static_cast<T *>(RwMalloc(sizeof(T) * static_cast<size_t>(grown)));
            if (bigger == nullptr) {
                RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NOMEM);
                failed = TRUE;
                return FALSE;
            }
            std::memcpy(bigger, items, sizeof(T) * static_cast<size_t>(count));
            if (items != inPlace) {
                RwFree(items);
            }
            items = bigger;
            capacity = grown;
        }
        items[count++] = item;
        return TRUE;
    }
    RwBool Pop(T *item)
    {
        if (count == 0) {
            return FALSE;
        }
        *item = items[--count];
        return TRUE;
    }
};

// Coordinate `axis` (0, 1, 2) of a vector.
inline RwReal rpCollisionAxis(const RwV3d &v, RwInt32 axis) { return (&v.x)[axis]; }
inline RwReal &rpCollisionAxis(RwV3d &v, RwInt32 axis) { return (&v.x)[axis]; }

// A piece of the line start + t * delta, t in [t0, t1].
struct rpCollisionSpan {
    RwReal t0;
    RwReal t1;
};

// The whole segment, widened by the line test's slack on t.
inline rpCollisionSpan rpCollisionWholeSpan() { return {-2e-5f, 1.0f + 2e-5f}; }

// Splits a span at a node on `axis` whose left side reaches up to
// `leftValue` and right side down from `rightValue`. Either piece may be
// empty (t0 > t1). The pieces are padded so that a hit the line test's
// edge slack accepts just outside a triangle's extent is never cut off.
// Returns TRUE when the piece holding the span's start is the left one.
RwBool rpCollisionSplitSpan(const RwV3d &start, const RwV3d &delta, RwInt32 axis, RwReal leftValue,
                            RwReal rightValue, const rpCollisionSpan &span, rpCollisionSpan *left,
                            rpCollisionSpan *right);

// After a node has split a span into two pieces (items with a `span`):
// picks the piece to follow next, the one holding the start first, and
// pushes the other when both are used. Returns 1 with *next set, 0 when
// neither piece is used, -1 when the push ran out of memory.
template <typename Item>
RwInt32 rpCollisionFollowPieces(rpCollisionStack<Item> &pending, const Item &left, const Item &right,
                                RwBool leftFirst, Item *next)
{
    const Item &first = leftFirst ? left : right;
    const Item &second = leftFirst ? right : left;
    const RwBool firstUsed = first.span.t0 <= first.span.t1;
    const RwBool secondUsed = second.span.t0 <= second.span.t1;
    if (firstUsed && secondUsed && !pending.Push(second)) {
        return -1;
    }
    if (!firstUsed && !secondUsed) {
        return 0;
    }
    *next = firstUsed ? first : second;
    return 1;
}

// The tree walk over a span of a line (the world query hands each sector
// the piece of the line inside it).
RwBool rpCollisionTreeForAllSpanLeaves(const RpCollisionTree *tree, const RwV3d &start, const RwV3d &delta,
                                       rpCollisionSpan span, RpCollisionTreeLeafCallBack callBack, void *data);

// What a world sector walk hands each sector: for line walks the piece of
// the line inside the sector's region.
typedef RwBool (*rpCollisionSectorVisit)(RpWorldSector *sector, const rpCollisionSpan &span, void *data);
RwBool rpCollisionWorldForAllSectorsOnSpan(RpWorld *world, const RwV3d &start, const RwV3d &delta,
                                           rpCollisionSectorVisit visit, void *data);

// The unit normal of a triangle (zero for a degenerate one).
RwV3d rpCollisionTriangleNormal(const RwV3d &v0, const RwV3d &v1, const RwV3d &v2);
// Fills the record a triangle callback receives.
void rpCollisionTriangleFill(RpCollisionTriangle *out, RwInt32 index, RwV3d *v0, RwV3d *v1, RwV3d *v2);
