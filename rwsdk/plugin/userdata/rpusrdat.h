// The user-data plug-in: named arrays of integers, floats or strings that
// exported scenes carry on frames, geometries, cameras, lights, materials
// and textures; streamed with their objects and copied with clones.
#pragma once

#include <cstddef>

#include "rwtypes.h"

struct RwFrame;
struct RpWorldSector;
struct RwStream;

static constexpr RwUInt32 rwID_USERDATAPLUGIN = 0x11F;

enum RpUserDataFormat : RwInt32 {
    rpNAUSERDATAFORMAT = 0,
    rpINTUSERDATA = 1,
    rpREALUSERDATA = 2,
    rpSTRINGUSERDATA = 3,
};

struct RpUserDataArray {
    RwChar *name;     // owned, may be null
    RwInt32 format;   // RpUserDataFormat
    RwInt32 numElements;
    void *data;       // owned: numElements ints, floats or owned string pointers
};

// The extension each carrying object gets.
struct RpUserDataList {
    RwInt32 numArrays;
    RpUserDataArray *userData;
};

RwBool RpUserDataPluginAttach(void);

// Arrays whose data pointer is set; indexing counts every array.
RwInt32 RpUserDataFrameGetNumArrays(const RwFrame *frame);
RpUserDataArray *RpUserDataFrameGetArray(const RwFrame *frame, RwInt32 index);
RwInt32 RpUserDataWorldSectorGetNumArrays(const RpWorldSector *sector);
RpUserDataArray *RpUserDataWorldSectorGetArray(const RpWorldSector *sector, RwInt32 index);

inline const RwChar *RpUserDataArrayGetName(const RpUserDataArray *a) { return a->name; }
inline RwInt32 RpUserDataArrayGetFormat(const RpUserDataArray *a) { return a->format; }
inline RwInt32 RpUserDataArrayGetNumElements(const RpUserDataArray *a) { return a->numElements; }
inline RwInt32 RpUserDataArrayGetInt(const RpUserDataArray *a, RwInt32 i) { return static_cast<RwInt32 *>(a->data)[i]; }
inline RwReal RpUserDataArrayGetReal(const RpUserDataArray *a, RwInt32 i) { return static_cast<RwReal *>(a->data)[i]; }
inline RwChar *RpUserDataArrayGetString(const RpUserDataArray *a, RwInt32 i) { return static_cast<RwChar **>(a->data)[i]; }
// Element `i` whatever the format, without a range check: a string array's
// text itself (null for a null element), else the address of the 32-bit
// integer or real; null for an array without data or of no known format.
inline void *RpUserDataArrayGetElement(const RpUserDataArray *a, RwInt32 i)
{
    if (a->data == nullptr) {
        return nullptr;
    }
    switch (a->format) {
    case rpSTRINGUSERDATA:
        return static_cast<RwChar **>(a->data)[i];
    case rpINTUSERDATA:
    case rpREALUSERDATA:
        return static_cast<RwUInt8 *>(a->data) + 4 * static_cast<ptrdiff_t>(i);
    default:
        return nullptr;
    }
}

// The list a frame carries (null before the plug-in is attached), for
// tools that build user data to be written.
RpUserDataList *RpUserDataFrameGetList(RwFrame *frame);
RpUserDataList *RpUserDataWorldSectorGetList(RpWorldSector *sector);
// Appends an array to `list` with a copy of `name` and room for
// `numElements` zeroed elements; null without memory.
RpUserDataArray *RpUserDataListAddArray(RpUserDataList *list, const RwChar *name, RwInt32 format,
                                        RwInt32 numElements);
// Stores a copy of `text` (or null) as string element `index`.
RwBool RpUserDataArraySetString(RpUserDataArray *array, RwInt32 index, const RwChar *text);
