// Material lists: the growable arrays of material references that
// geometries and worlds keep, and the material-list chunk, whose entries
// either bring a material of their own or repeat an earlier slot.
#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"
#include "world/bamodules.h"

RpMaterialList *RpMaterialListInitialize(RpMaterialList *list)
{
    list->materials = nullptr;
    list->numMaterials = 0;
    list->space = 0;
    return list;
}

RpMaterialList *RpMaterialListDeinitialize(RpMaterialList *list)
{
    for (RwInt32 i = 0; i < list->numMaterials; ++i) {
        RpMaterialDestroy(list->materials[i]);
    }
    if (list->materials != nullptr) {
        RwFree(list->materials);
    }
    return RpMaterialListInitialize(list);
}

static RwBool Reserve(RpMaterialList *list, RwInt32 space)
{
    if (space <= list->space) {
        return TRUE;
    }
    size_t bytes = sizeof(RpMaterial *) * static_cast<size_t>(space);
    auto *grown = static_cast<RpMaterial **>(list->materials == nullptr ? RwMalloc(bytes)
                                                                        : RwRealloc(list->materials, bytes));
    if (grown == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    list->materials = grown;
    list->space = space;
    return TRUE;
}

RwInt32 RpMaterialListAppendMaterial(RpMaterialList *list, RpMaterial *material)
{
    if (list->numMaterials == list->space && !Reserve(list, list->space + rpMATERIALLISTGROWTH)) {
        return -1;
    }
    list->materials[list->numMaterials] = RpMaterialAddRef(material);
    return list->numMaterials++;
}

RwInt32 RpMaterialListFindMaterialIndex(const RpMaterialList *list, const RpMaterial *material)
{
    for (RwInt32 i = list->numMaterials - 1; i >= 0; --i) {
        if (list->materials[i] == material) {
            return i;
        }
    }
    return -1;
}

// Index an entry is streamed with: the nearest earlier slot holding the
// same material, or -1 when this slot brings the material itself.
static RwInt32 EarlierSlot(const RpMaterialList *list, RwInt32 i)
{
    for (RwInt32 j = i - 1; j >= 0; --j) {
        if (list->materials[j] == list->materials[i]) {
            return j;
        }
    }
    return -1;
}

RwUInt32 RpMaterialListStreamGetSize(const RpMaterialList *list)
{
    RwUInt32 size = rwCHUNKHEADERSIZE + 4 + 4 * static_cast<RwUInt32>(list->numMaterials);
    for (RwInt32 i = 0; i < list->numMaterials; ++i) {
        if (EarlierSlot(list, i) < 0) {
            size += rwCHUNKHEADERSIZE + RpMaterialStreamGetSize(list->materials[i]);
        }
    }
    return size;
}

const RpMaterialList *RpMaterialListStreamWrite(const RpMaterialList *list, RwStream *stream)
{
    RwUInt32 n = static_cast<RwUInt32>(list->numMaterials);
    if (RwStreamWriteChunkHeader(stream, rwID_MATLIST, RpMaterialListStreamGetSize(list), rwLIBRARYVERSION,
                                 rwLIBRARYBUILD) == nullptr ||
        RwStreamWriteChunkHeader(stream, rwID_STRUCT, 4 + 4 * n, rwLIBRARYVERSION, rwLIBRARYBUILD) == nullptr ||
        RwStreamWriteInt32(stream, list->numMaterials) == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < list->numMaterials; ++i) {
        if (RwStreamWriteInt32(stream, EarlierSlot(list, i)) == nullptr) {
            return nullptr;
        }
    }
    for (RwInt32 i = 0; i < list->numMaterials; ++i) {
        if (EarlierSlot(list, i) < 0 && RpMaterialStreamWrite(list->materials[i], stream) == nullptr) {
            return nullptr;
        }
    }
    return list;
}

RpMaterialList *RpMaterialListStreamRead(RwStream *stream, RpMaterialList *list)
{
    RpMaterialListDeinitialize(list);
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return nullptr;
    }
    RwInt32 count = 0;
    if (length < 4 || !RwStreamReadInt32(stream, &count)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    // Every entry is one word of the struct, so the count is bounded by it
    // before any space is taken.
    if (count < 0 || static_cast<RwUInt64>(count) > (length - 4) / 4) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    if (count == 0) {
        if (length > 4 && RwStreamSkip(stream, length - 4) == nullptr) {
            RwErrorReportCommon(E_RW_READ);
            return nullptr;
        }
        return list;
    }
    auto *entries = static_cast<RwInt32 *>(RwMalloc(sizeof(RwInt32) * static_cast<size_t>(count)));
    if (entries == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    RwBool ok = Reserve(list, count);
    for (RwInt32 i = 0; ok && i < count; ++i) {
        if (!RwStreamReadInt32(stream, &entries[i])) {
            RwErrorReportCommon(E_RW_READ);
            ok = FALSE;
        } else if (entries[i] < -1 || entries[i] >= i) {
            // A repeat must name a slot already filled.
            RwErrorReportCommon(E_RW_READ);
            ok = FALSE;
        }
    }
    RwUInt32 used = 4 + 4 * static_cast<RwUInt32>(count);
    if (ok && length > used && RwStreamSkip(stream, length - used) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        ok = FALSE;
    }
    for (RwInt32 i = 0; ok && i < count; ++i) {
        if (entries[i] >= 0) {
            RpMaterialListAppendMaterial(list, list->materials[entries[i]]);
            continue;
        }
        RpMaterial *material = RwStreamReadChunkObject<RpMaterial>(stream, rwID_MATERIAL, RpMaterialStreamRead,
                                                             RpMaterialDestroy);
        if (material == nullptr) {
            ok = FALSE;
            break;
        }
        RpMaterialListAppendMaterial(list, material);
        RpMaterialDestroy(material);
    }
    RwFree(entries);
    if (!ok) {
        RpMaterialListDeinitialize(list);
        return nullptr;
    }
    return list;
}
