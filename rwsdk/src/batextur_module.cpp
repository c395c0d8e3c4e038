// Texture module: the texture and dictionary plug-in registries, and the
// engine block with their free lists, the default dictionary made at open,
// and the callbacks and switches the texture readers use.
#include <cstring>

#include "rwengine.h"
#include "rwmemory.h"
#include "src/bacoremodules.h"
#include "src/batextur.h"

const RwInt32 rwTextureModuleBlockSize = static_cast<RwInt32>(sizeof(rwTextureGlobals));
RwInt32 rwTextureModuleOffset = -1;

static RwPluginRegistry textureTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RwTexture)));
static RwPluginRegistry texDictTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RwTexDictionary)));
static RwFreeList textureFreeListRecord;
static RwFreeList texDictFreeListRecord;
static RwTexDictionary *defaultTexDict = nullptr;
static RwInt32 textureModuleOpenCount = 0;

static constexpr RwInt32 rwTEXTUREALIGNMENT = 8;

RwPluginRegistry *RwTextureGetPluginRegistry(void) { return &textureTKList; }
RwPluginRegistry *rwTexDictionaryGetPluginRegistry(void) { return &texDictTKList; }

RwInt32 RwTextureRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&textureTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RwTextureRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                      RwPluginDataChunkWriteCallBack writeCB,
                                      RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&textureTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RwTextureGetPluginOffset(RwUInt32 pluginID)
{
    return RwPluginRegistryGetPluginOffset(&textureTKList, pluginID);
}

RwInt32 RwTexDictionaryRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                      RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&texDictTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RwTexDictionaryGetPluginOffset(RwUInt32 pluginID)
{
    return RwPluginRegistryGetPluginOffset(&texDictTKList, pluginID);
}

rwTextureGlobals *rwTextureGetGlobals(void)
{
    return static_cast<rwTextureGlobals *>(RwEngineGetModuleBlock(rwTextureModuleOffset));
}

RwTexDictionary *rwTextureGetDefaultDictionary(void) { return defaultTexDict; }

void rwTextureForgetDefaultDictionary(RwTexDictionary *dict)
{
    if (dict == defaultTexDict) {
        defaultTexDict = nullptr;
    }
}

void *RwTextureOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwTextureModuleOffset = offset;
    auto *globals = reinterpret_cast<rwTextureGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->textureFreeList =
        RwFreeListCreateEx(textureTKList.sizeOfStruct, 128, rwTEXTUREALIGNMENT, 1, &textureFreeListRecord);
    if (globals->textureFreeList == nullptr) {
        return nullptr;
    }
    globals->texDictFreeList =
        RwFreeListCreateEx(texDictTKList.sizeOfStruct, 5, rwTEXTUREALIGNMENT, 1, &texDictFreeListRecord);
    if (globals->texDictFreeList == nullptr) {
        RwFreeListDestroy(globals->textureFreeList);
        globals->textureFreeList = nullptr;
        return nullptr;
    }
    RwLinkListInitialize(&globals->texDictList);
    ++textureModuleOpenCount;
    defaultTexDict = RwTexDictionaryCreate();
    if (defaultTexDict == nullptr) {
        RwFreeListDestroy(globals->texDictFreeList);
        RwFreeListDestroy(globals->textureFreeList);
        globals->texDictFreeList = nullptr;
        globals->textureFreeList = nullptr;
        --textureModuleOpenCount;
        return nullptr;
    }
    globals->currentTexDict = defaultTexDict;
    globals->mipmapping = FALSE;
    globals->autoMipmapping = FALSE;
    globals->readCallback = RwTextureDefaultRead;
    globals->findCallback = RwTextureDefaultFind;
    globals->mipmapGenerationCallback = RwTextureDefaultGenerateMipmaps;
    globals->mipmapNameCallback = RwTextureGenerateMipName;
    globals->scratchMem = nullptr;
    globals->scratchMemSize = 0;
    return instance;
}

void *RwTextureClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *globals = reinterpret_cast<rwTextureGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    RwFree(globals->scratchMem);
    globals->scratchMem = nullptr;
    globals->scratchMemSize = 0;
    if (defaultTexDict != nullptr) {
        for (RwLLLink *link = RwLinkListGetFirstLLLink(&globals->texDictList);
             link != RwLinkListGetTerminator(&globals->texDictList); link = link->next) {
            if (link == &defaultTexDict->lInInstance) {
                RwTexDictionaryDestroy(defaultTexDict);
                break;
            }
        }
        defaultTexDict = nullptr;
    }
    RwFreeListDestroy(globals->texDictFreeList);
    RwFreeListDestroy(globals->textureFreeList);
    globals->texDictFreeList = nullptr;
    globals->textureFreeList = nullptr;
    --textureModuleOpenCount;
    return instance;
}
