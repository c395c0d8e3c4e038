// RwList: a growable array of fixed-size entries, grown by a quarter of its
// capacity at a time through the engine's reallocate function.
#include <climits>

#include "rwerror.h"
#include "rwlist.h"
#include "rwmemory.h"

static constexpr RwInt32 rwLISTINITIALCAPACITY = 20;

RwList *RwListCreate(RwUInt32 entrySize)
{
    RwList *list = static_cast<RwList *>(RwMalloc(sizeof(RwList)));
    if (list == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    list->count = 0;
    list->capacity = rwLISTINITIALCAPACITY;
    list->entrySize = entrySize;
    list->data = RwMalloc(static_cast<size_t>(entrySize) * rwLISTINITIALCAPACITY);
    if (list->data == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        RwFree(list);
        return nullptr;
    }
    return list;
}

void *RwListAddEntry(RwList *list)
{
    if (list->count >= list->capacity) {
        RwInt64 newCapacity = static_cast<RwInt64>(list->capacity) + list->capacity / 4;
        if (newCapacity <= list->capacity) {
            newCapacity = list->capacity + 1;
        }
        if (newCapacity > INT_MAX) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        void *data = RwRealloc(list->data, static_cast<size_t>(newCapacity) * list->entrySize);
        if (data == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        list->data = data;
        list->capacity = static_cast<RwInt32>(newCapacity);
    }
    return RwListGetEntry(list, list->count++);
}

void *RwListGetEntry(RwList *list, RwInt32 index)
{
    return static_cast<RwUInt8 *>(list->data) + static_cast<size_t>(index) * list->entrySize;
}

RwBool RwListDestroy(RwList *list)
{
    if (list->data != nullptr && list->capacity != 0) {
        RwFree(list->data);
    }
    RwFree(list);
    return TRUE;
}
