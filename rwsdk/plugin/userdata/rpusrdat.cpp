// The user-data plug-in: the same extension, with one set of callbacks, on
// every carrying object type. Arrays are read field by field; every length
// and count is weighed against what is left of the extension's data.
#include <cstring>

#include "rpusrdat.h"
#include "rpworld.h"

namespace {

constexpr RwInt32 kElementSize = 4;

RwInt32 sectorOffset = -1;
RwInt32 frameOffset = -1;
RwInt32 engineOpenCount = 0;

RpUserDataList *ListOf(void *object, RwInt32 offset)
{
    return reinterpret_cast<RpUserDataList *>(static_cast<RwUInt8 *>(object) + offset);
}

const RpUserDataList *ListOf(const void *object, RwInt32 offset)
{
    return reinterpret_cast<const RpUserDataList *>(static_cast<const RwUInt8 *>(object) + offset);
}

RwChar *CopyText(const RwChar *text)
{
    if (text == nullptr) {
        return nullptr;
    }
    size_t bytes = std::strlen(text) + 1;
    auto *copy = static_cast<RwChar *>(RwMalloc(bytes));
    if (copy != nullptr) {
        std::memcpy(copy, text, bytes);
    } else {
        RwErrorReportCommon(E_RW_NOMEM);
    }
    return copy;
}

void ReleaseArray(RpUserDataArray *array)
{
    if (array->name != nullptr) {
        RwFree(array->name);
    }
    if (array->format == rpSTRINGUSERDATA && array->data != nullptr) {
        auto **strings = static_cast<RwChar **>(array->data);
        for (RwInt32 i = 0; i < array->numElements; ++i) {
            if (strings[i] != nullptr) {
                RwFree(strings[i]);
            }
        }
    }
    if (array->data != nullptr) {
        RwFree(array->data);
    }
    *array = {nullptr, 0, 0, nullptr};
}

void ReleaseList(RpUserDataList *list)
{
    for (RwInt32 i = 0; i < list->numArrays; ++i) {
        ReleaseArray(&list->userData[i]);
    }
    if (list->userData != nullptr) {
        RwFree(list->userData);
    }
    list->numArrays = 0;
    list->userData = nullptr;
}

// Bytes of one element in memory: strings are held as pointers.
size_t MemoryElementSize(RwInt32 format)
{
    return format == rpSTRINGUSERDATA ? sizeof(RwChar *) : (format == 1 || format == 2 ? kElementSize : 0);
}

void *Construct(void *object, RwInt32 offset, RwInt32)
{
    *ListOf(object, offset) = {0, nullptr};
    return object;
}

void *Destruct(void *object, RwInt32 offset, RwInt32)
{
    ReleaseList(ListOf(object, offset));
    return object;
}

RwBool CopyArray(RpUserDataArray *dst, const RpUserDataArray *src)
{
    *dst = {nullptr, src->format, src->numElements, nullptr};
    if (src->name != nullptr && (dst->name = CopyText(src->name)) == nullptr) {
        return FALSE;
    }
    size_t element = MemoryElementSize(src->format);
    if (src->data == nullptr || element == 0 || src->numElements <= 0) {
        return TRUE;
    }
    size_t bytes = element * static_cast<size_t>(src->numElements);
    dst->data = RwMalloc(bytes);
    if (dst->data == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    if (src->format != rpSTRINGUSERDATA) {
        std::memcpy(dst->data, src->data, bytes);
        return TRUE;
    }
    std::memset(dst->data, 0, bytes);
    auto **to = static_cast<RwChar **>(dst->data);
    auto *const *from = static_cast<RwChar *const *>(src->data);
    for (RwInt32 i = 0; i < src->numElements; ++i) {
        if (from[i] != nullptr && (to[i] = CopyText(from[i])) == nullptr) {
            return FALSE;
        }
    }
    return TRUE;
}

void *Copy(void *dstObject, const void *srcObject, RwInt32 offset, RwInt32)
{
    RpUserDataList *dst = ListOf(dstObject, offset);
    const RpUserDataList *src = ListOf(srcObject, offset);
    ReleaseList(dst);
    if (src->numArrays <= 0) {
        return dstObject;
    }
    size_t bytes = sizeof(RpUserDataArray) * static_cast<size_t>(src->numArrays);
    dst->userData = static_cast<RpUserDataArray *>(RwMalloc(bytes));
    if (dst->userData == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return dstObject;
    }
    std::memset(dst->userData, 0, bytes);
    dst->numArrays = src->numArrays;
    for (RwInt32 i = 0; i < src->numArrays; ++i) {
        if (!CopyArray(&dst->userData[i], &src->userData[i])) {
            // A copy that cannot be completed leaves no half-copied arrays.
            ReleaseList(dst);
            break;
        }
    }
    return dstObject;
}

RwInt32 TextSize(const RwChar *text) { return text != nullptr ? static_cast<RwInt32>(std::strlen(text)) + 1 : 0; }

RwInt32 GetSize(const void *object, RwInt32 offset, RwInt32)
{
    const RpUserDataList *list = ListOf(object, offset);
    if (list->numArrays < 1) {
        return 0;
    }
    RwInt32 size = 4;
    for (RwInt32 i = 0; i < list->numArrays; ++i) {
        const RpUserDataArray &a = list->userData[i];
        size += 4 + TextSize(a.name) + 8;
        if (a.format == rpSTRINGUSERDATA) {
            for (RwInt32 e = 0; e < a.numElements; ++e) {
                size += 4 + (a.data != nullptr ? TextSize(static_cast<RwChar **>(a.data)[e]) : 0);
            }
        } else {
            size += 4 * a.numElements;
        }
    }
    return size;
}

RwBool WriteText(RwStream *stream, const RwChar *text)
{
    RwInt32 length = TextSize(text);
    return RwStreamWriteInt32(stream, length) != nullptr &&
           (length == 0 || RwStreamWrite(stream, text, static_cast<RwUInt32>(length)) != nullptr);
}

RwStream *Write(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    const RpUserDataList *list = ListOf(object, offset);
    if (RwStreamWriteInt32(stream, list->numArrays) == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < list->numArrays; ++i) {
        const RpUserDataArray &a = list->userData[i];
        if (!WriteText(stream, a.name) || RwStreamWriteInt32(stream, a.format) == nullptr ||
            RwStreamWriteInt32(stream, a.numElements) == nullptr) {
            return nullptr;
        }
        for (RwInt32 e = 0; e < a.numElements; ++e) {
            RwBool ok;
            if (a.format == rpSTRINGUSERDATA) {
                ok = WriteText(stream, a.data != nullptr ? static_cast<RwChar **>(a.data)[e] : nullptr);
            } else {
                RwUInt32 word = 0;
                if (a.data != nullptr) {
                    std::memcpy(&word, static_cast<const RwUInt8 *>(a.data) + 4 * e, 4);
                }
                ok = RwStreamWriteUInt32(stream, word) != nullptr;
            }
            if (!ok) {
                return nullptr;
            }
        }
    }
    return stream;
}

// A length-prefixed text; a length below 1 gives null. The text must lie
// within the data and end with its terminator.
RwBool ReadText(RwStream *stream, RwInt32 *left, RwChar **text)
{
    RwInt32 length = 0;
    *text = nullptr;
    if (*left < 4 || !RwStreamReadInt32(stream, &length)) {
        return FALSE;
    }
    *left -= 4;
    if (length < 1) {
        return TRUE;
    }
    if (length > *left) {
        return FALSE;
    }
    *text = static_cast<RwChar *>(RwMalloc(static_cast<size_t>(length)));
    if (*text == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    if (RwStreamRead(stream, *text, static_cast<RwUInt32>(length)) != static_cast<RwUInt32>(length)) {
        return FALSE;
    }
    *left -= length;
    (*text)[length - 1] = '\0';
    return TRUE;
}

RwBool ReadArray(RwStream *stream, RwInt32 *left, RpUserDataArray *a)
{
    if (!ReadText(stream, left, &a->name) || *left < 8 || !RwStreamReadInt32(stream, &a->format) ||
        !RwStreamReadInt32(stream, &a->numElements)) {
        return FALSE;
    }
    *left -= 8;
    if (a->format < rpINTUSERDATA || a->format > rpSTRINGUSERDATA || a->numElements < 0 ||
        a->numElements > *left / 4) {
        return FALSE;
    }
    size_t bytes = MemoryElementSize(a->format) * static_cast<size_t>(a->numElements);
    a->data = RwMalloc(bytes > 0 ? bytes : 1);
    if (a->data == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    std::memset(a->data, 0, bytes);
    for (RwInt32 e = 0; e < a->numElements; ++e) {
        if (a->format == rpSTRINGUSERDATA) {
            if (!ReadText(stream, left, &static_cast<RwChar **>(a->data)[e])) {
                return FALSE;
            }
        } else {
            RwUInt32 word = 0;
            if (*left < 4 || !RwStreamReadUInt32(stream, &word)) {
                return FALSE;
            }
            *left -= 4;
            std::memcpy(static_cast<RwUInt8 *>(a->data) + 4 * e, &word, 4);
        }
    }
    return TRUE;
}

RwStream *Read(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32)
{
    RpUserDataList *list = ListOf(object, offset);
    ReleaseList(list);
    RwInt32 left = length;
    RwInt32 count = 0;
    if (left < 4 || !RwStreamReadInt32(stream, &count)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    left -= 4;
    // Each array takes at least its name length, format and count.
    if (count < 0 || count > left / 12) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    if (count == 0) {
        return stream;
    }
    size_t bytes = sizeof(RpUserDataArray) * static_cast<size_t>(count);
    list->userData = static_cast<RpUserDataArray *>(RwMalloc(bytes));
    if (list->userData == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(list->userData, 0, bytes);
    list->numArrays = count;
    for (RwInt32 i = 0; i < count; ++i) {
        if (!ReadArray(stream, &left, &list->userData[i])) {
            RwErrorReportCommon(E_RW_READ);
            ReleaseList(list);
            return nullptr;
        }
    }
    return stream;
}

void *EngineOpen(void *instance, RwInt32, RwInt32)
{
    ++engineOpenCount;
    return instance;
}

void *EngineClose(void *instance, RwInt32, RwInt32)
{
    --engineOpenCount;
    return instance;
}

typedef RwInt32 (*RegisterFn)(RwInt32, RwUInt32, RwPluginObjectConstructor, RwPluginObjectDestructor,
                              RwPluginObjectCopy);
typedef RwInt32 (*RegisterStreamFn)(RwUInt32, RwPluginDataChunkReadCallBack, RwPluginDataChunkWriteCallBack,
                                    RwPluginDataChunkGetSizeCallBack);

RwInt32 Register(RegisterFn reg, RegisterStreamFn stream)
{
    RwInt32 offset = reg(static_cast<RwInt32>(sizeof(RpUserDataList)), rwID_USERDATAPLUGIN, Construct, Destruct, Copy);
    if (offset < 0 || stream(rwID_USERDATAPLUGIN, Read, Write, GetSize) < 0) {
        return -1;
    }
    return offset;
}

// Arrays of an object's list whose data pointer is set (none before the
// plug-in is attached, `offset` then being negative).
RwInt32 CountArrays(const void *object, RwInt32 offset)
{
    if (offset < 0) {
        return 0;
    }
    const RpUserDataList *list = ListOf(object, offset);
    RwInt32 count = 0;
    for (RwInt32 i = 0; i < list->numArrays; ++i) {
        count += list->userData[i].data != nullptr ? 1 : 0;
    }
    return count;
}

// Array `index` of an object's list, counting every array; null outside.
RpUserDataArray *ArrayAt(const void *object, RwInt32 offset, RwInt32 index)
{
    if (offset < 0) {
        return nullptr;
    }
    const RpUserDataList *list = ListOf(object, offset);
    return (index >= 0 && index < list->numArrays) ? &list->userData[index] : nullptr;
}

}  // namespace

RwBool RpUserDataPluginAttach(void)
{
    if (RwEngineRegisterPlugin(0, rwID_USERDATAPLUGIN, EngineOpen, EngineClose) < 0 ||
        Register(RpGeometryRegisterPlugin, RpGeometryRegisterPluginStream) < 0) {
        return FALSE;
    }
    sectorOffset = Register(RpWorldSectorRegisterPlugin, RpWorldSectorRegisterPluginStream);
    if (sectorOffset < 0) {
        return FALSE;
    }
    frameOffset = Register(RwFrameRegisterPlugin, RwFrameRegisterPluginStream);
    return frameOffset >= 0 && Register(RwCameraRegisterPlugin, RwCameraRegisterPluginStream) >= 0 &&
           Register(RpLightRegisterPlugin, RpLightRegisterPluginStream) >= 0 &&
           Register(RpMaterialRegisterPlugin, RpMaterialRegisterPluginStream) >= 0 &&
           Register(RwTextureRegisterPlugin, RwTextureRegisterPluginStream) >= 0;
}

RpUserDataList *RpUserDataFrameGetList(RwFrame *frame) { return frameOffset >= 0 ? ListOf(frame, frameOffset) : nullptr; }

RwInt32 RpUserDataFrameGetNumArrays(const RwFrame *frame) { return CountArrays(frame, frameOffset); }

RpUserDataArray *RpUserDataFrameGetArray(const RwFrame *frame, RwInt32 index)
{
    return ArrayAt(frame, frameOffset, index);
}

RpUserDataList *RpUserDataWorldSectorGetList(RpWorldSector *sector)
{
    return sectorOffset >= 0 ? ListOf(sector, sectorOffset) : nullptr;
}

RwInt32 RpUserDataWorldSectorGetNumArrays(const RpWorldSector *sector) { return CountArrays(sector, sectorOffset); }

RpUserDataArray *RpUserDataWorldSectorGetArray(const RpWorldSector *sector, RwInt32 index)
{
    return ArrayAt(sector, sectorOffset, index);
}

RpUserDataArray *RpUserDataListAddArray(RpUserDataList *list, const RwChar *name, RwInt32 format,
                                        RwInt32 numElements)
{
    size_t element = MemoryElementSize(format);
    if (element == 0 || numElements < 0) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    size_t bytes = sizeof(RpUserDataArray) * static_cast<size_t>(list->numArrays + 1);
    auto *grown = static_cast<RpUserDataArray *>(list->userData == nullptr ? RwMalloc(bytes)
                                                                           : RwRealloc(list->userData, bytes));
    if (grown == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    list->userData = grown;
    RpUserDataArray *array = &grown[list->numArrays];
    *array = {nullptr, format, numElements, nullptr};
    size_t dataBytes = element * static_cast<size_t>(numElements);
    array->data = RwMalloc(dataBytes > 0 ? dataBytes : 1);
    if (array->data == nullptr || (name != nullptr && (array->name = CopyText(name)) == nullptr)) {
        ReleaseArray(array);
        return nullptr;
    }
    std::memset(array->data, 0, dataBytes);
    ++list->numArrays;
    return array;
}

RwBool RpUserDataArraySetString(RpUserDataArray *array, RwInt32 index, const RwChar *text)
{
    auto **strings = static_cast<RwChar **>(array->data);
    RwChar *copy = nullptr;
    if (text != nullptr && (copy = CopyText(text)) == nullptr) {
        return FALSE;
    }
    if (strings[index] != nullptr) {
        RwFree(strings[index]);
    }
    strings[index] = copy;
    return TRUE;
}
