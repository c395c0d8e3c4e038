// Mesh headers: the mesh module (serial numbers, primitive tables, the
// build-mesh free list), the shared empty header, walking and freeing, and
// the bin-mesh extension data in which geometries and sectors carry them.
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"
#include "world/bamesh.h"
#include "world/bamodules.h"

namespace {

struct rpMeshGlobals {
    RwUInt16 nextSerialNum;
    RwFreeList *stripFreeList;
    RwInt32 flagsToPrim[0x11];
    RwUInt32 primToFlags[7];
};

RwInt32 meshModuleOffset = -1;
RwInt32 meshModuleOpenCount = 0;
RwFreeList *buildMeshFreeList = nullptr;
RpMeshHeader emptyHeader = {0, 0, 0, 0, 0};

constexpr RwInt32 rpBUILDMESHENTRIESPERBLOCK = 50;
// Indices go through a buffer of this many words on their way to the stream.
constexpr RwUInt32 rpMESHINDEXBUFFER = 256;

rpMeshGlobals *Globals() { return static_cast<rpMeshGlobals *>(RwEngineGetModuleBlock(meshModuleOffset)); }

}  // namespace

RwFreeList *rpBuildMeshGetFreeList(void) { return buildMeshFreeList; }

RpMeshHeader *RpMeshGetEmptyHeader(void) { return &emptyHeader; }

RwUInt16 RpMeshNextSerialNumber(void)
{
    // Serial 0 would make a header look like the shared empty one, which is
    // never freed; the counter steps over it when it wraps.
    rpMeshGlobals *globals = Globals();
    if (globals->nextSerialNum == 0) {
        globals->nextSerialNum = 1;
    }
    return globals->nextSerialNum++;
}

void *RpMeshAllocate(size_t size) { return RwMalloc(size); }

RwInt32 RpMeshFlagsToPrimType(RwUInt32 flags)
{
    RwUInt32 kind = flags & rpMESHHEADERPRIMMASK;
    return kind <= 0x10 ? Globals()->flagsToPrim[kind] : 0;
}

RwUInt32 RpMeshPrimTypeToFlags(RwInt32 primType)
{
    return (primType >= 1 && primType <= 6) ? Globals()->primToFlags[primType] : 0;
}

RpMeshHeader *RpMeshHeaderForAllMeshes(RpMeshHeader *header, RpMeshCallBack callback, void *data)
{
    RpMesh *mesh = RpMeshHeaderGetMeshes(header);
    for (RwUInt32 i = 0; i < header->numMeshes; ++i) {
        if (callback(&mesh[i], header, data) == nullptr) {
            break;
        }
    }
    return header;
}

RwBool RpMeshHeaderDestroy(RpMeshHeader *header)
{
    // The shared empty header is all zeros and never freed.
    if (header->flags != 0 || header->numMeshes != 0 || header->serialNum != 0 ||
        header->totalIndicesInMesh != 0 || header->firstMeshOffset != 0) {
        RwFree(header);
    }
    return TRUE;
}

RpMeshHeader *rpMeshHeaderAllocate(RwUInt32 numMeshes, RwUInt32 numIndices)
{
    size_t bytes = sizeof(RpMeshHeader) + sizeof(RpMesh) * numMeshes + sizeof(RwUInt16) * numIndices;
    auto *header = static_cast<RpMeshHeader *>(RpMeshAllocate(bytes));
    if (header == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(header, 0, bytes);
    header->numMeshes = static_cast<RwUInt16>(numMeshes);
    header->serialNum = RpMeshNextSerialNumber();
    header->totalIndicesInMesh = numIndices;
    header->firstMeshOffset = 0;
    return header;
}

RwUInt16 *rpMeshHeaderIndexArea(RpMeshHeader *header)
{
    return reinterpret_cast<RwUInt16 *>(RpMeshHeaderGetMeshes(header) + header->numMeshes);
}

RwInt32 RpMeshStreamGetSize(const RpMeshHeader *header, RwBool native)
{
    RwInt32 size = 12 + 8 * static_cast<RwInt32>(header->numMeshes);
    if (!native) {
        size += 4 * static_cast<RwInt32>(header->totalIndicesInMesh);
    }
    return size;
}

const RpMeshHeader *RpMeshStreamWrite(const RpMeshHeader *header, RwStream *stream, RwBool native,
                                      const RpMaterialList *matList)
{
    if (RwStreamWriteUInt32(stream, header->flags) == nullptr ||
        RwStreamWriteUInt32(stream, header->numMeshes) == nullptr ||
        RwStreamWriteUInt32(stream, header->totalIndicesInMesh) == nullptr) {
        return nullptr;
    }
    const RpMesh *mesh = RpMeshHeaderGetMeshes(header);
    for (RwUInt32 m = 0; m < header->numMeshes; ++m) {
        RwInt32 matIndex = RpMaterialListFindMaterialIndex(matList, mesh[m].material);
        if (RwStreamWriteUInt32(stream, mesh[m].numIndices) == nullptr ||
            RwStreamWriteInt32(stream, matIndex < 0 ? 0 : matIndex) == nullptr) {
            return nullptr;
        }
        if (native) {
            continue;
        }
        RwUInt32 buffer[rpMESHINDEXBUFFER];
        for (RwUInt32 done = 0; done < mesh[m].numIndices;) {
            RwUInt32 batch = mesh[m].numIndices - done;
            batch = batch < rpMESHINDEXBUFFER ? batch : rpMESHINDEXBUFFER;
            for (RwUInt32 i = 0; i < batch; ++i) {
                buffer[i] = mesh[m].indices[done + i];
            }
            for (RwUInt32 i = 0; i < batch; ++i) {
                if (RwStreamWriteUInt32(stream, buffer[i]) == nullptr) {
                    return nullptr;
                }
            }
            done += batch;
        }
    }
    return header;
}

RpMeshHeader *RpMeshStreamRead(RwStream *stream, RwInt32 length, RwBool native, const RpMaterialList *matList,
                               RwInt32 numVertices)
{
    RwUInt32 flags = 0;
    RwUInt32 numMeshes = 0;
    RwUInt32 totalIndices = 0;
    if (length < 12 || !RwStreamReadUInt32(stream, &flags) || !RwStreamReadUInt32(stream, &numMeshes) ||
        !RwStreamReadUInt32(stream, &totalIndices)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    // Counts must fit the data that carries them: 8 bytes per mesh and,
    // unless native, 4 per index.
    RwUInt64 need = 8ull * numMeshes + (native ? 0ull : 4ull * totalIndices);
    if (numMeshes > 0xFFFF || need > static_cast<RwUInt64>(length) - 12 || !RwStreamFits(stream, need, 1)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpMeshHeader *header = rpMeshHeaderAllocate(numMeshes, native ? 0 : totalIndices);
    if (header == nullptr) {
        return nullptr;
    }
    header->flags = flags;
    header->totalIndicesInMesh = totalIndices;
    RpMesh *mesh = RpMeshHeaderGetMeshes(header);
    RwUInt16 *next = rpMeshHeaderIndexArea(header);
    RwUInt64 indicesSeen = 0;
    for (RwUInt32 m = 0; m < numMeshes; ++m) {
        RwUInt32 count = 0;
        RwInt32 matIndex = 0;
        if (!RwStreamReadUInt32(stream, &count) || !RwStreamReadInt32(stream, &matIndex)) {
            RwErrorReportCommon(E_RW_READ);
            RpMeshHeaderDestroy(header);
            return nullptr;
        }
        indicesSeen += count;
        if (indicesSeen > totalIndices || matIndex < 0 || matIndex >= matList->numMaterials) {
            RwErrorReportCommon(E_RW_READ);
            RpMeshHeaderDestroy(header);
            return nullptr;
        }
        mesh[m].numIndices = count;
        mesh[m].material = matList->materials[matIndex];
        mesh[m].indices = native ? nullptr : next;
        if (native) {
            continue;
        }
        for (RwUInt32 i = 0; i < count; ++i) {
            RwUInt32 index = 0;
            if (!RwStreamReadUInt32(stream, &index) || static_cast<RwInt64>(index) >= numVertices) {
                RwErrorReportCommon(E_RW_READ);
                RpMeshHeaderDestroy(header);
                return nullptr;
            }
            next[i] = static_cast<RwUInt16>(index);
        }
        next += count;
    }
    if (indicesSeen != totalIndices) {
        RwErrorReportCommon(E_RW_READ);
        RpMeshHeaderDestroy(header);
        return nullptr;
    }
    return header;
}

void *RpMeshModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    meshModuleOffset = offset;
    auto *globals = reinterpret_cast<rpMeshGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    if (meshModuleOpenCount == 0) {
        buildMeshFreeList = RwFreeListCreate(sizeof(RpBuildMesh), rpBUILDMESHENTRIESPERBLOCK, 8);
        if (buildMeshFreeList == nullptr) {
            return nullptr;
        }
    }
    ++meshModuleOpenCount;
    globals->nextSerialNum = 1;
    globals->flagsToPrim[rpMESHHEADERTRILIST] = 3;
    globals->flagsToPrim[rpMESHHEADERTRISTRIP] = 4;
    globals->flagsToPrim[rpMESHHEADERTRIFAN] = 5;
    globals->flagsToPrim[rpMESHHEADERLINELIST] = 1;
    globals->flagsToPrim[rpMESHHEADERPOLYLINE] = 2;
    globals->flagsToPrim[rpMESHHEADERPOINTLIST] = 6;
    const RwUInt32 back[7] = {0, rpMESHHEADERLINELIST, rpMESHHEADERPOLYLINE, rpMESHHEADERTRILIST,
                              rpMESHHEADERTRISTRIP, rpMESHHEADERTRIFAN, rpMESHHEADERPOINTLIST};
    std::memcpy(globals->primToFlags, back, sizeof(back));
    return instance;
}

void *RpMeshModuleClose(void *instance, RwInt32, RwInt32)
{
    if (--meshModuleOpenCount == 0 && buildMeshFreeList != nullptr) {
        RwFreeListDestroy(buildMeshFreeList);
        buildMeshFreeList = nullptr;
    }
    return instance;
}

const RwInt32 rpMeshModuleBlockSize = static_cast<RwInt32>(sizeof(rpMeshGlobals));
