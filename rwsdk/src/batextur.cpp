// Textures and texture dictionaries: creation, reference counting, names
// and modes, dictionary membership and search, the callbacks and switches,
// and RwTextureRead, which finds a texture before it reads one.
#include <cstring>

#include "rwerror.h"
#include "rwmemory.h"
#include "rwraster.h"
#include "src/batextur.h"

void rwTextureCopyName(RwChar *buffer, RwInt32 size, const RwChar *name)
{
    if (name == nullptr) {
        buffer[0] = '\0';
        return;
    }
    const size_t length = std::strlen(name);
    if (length >= static_cast<size_t>(size)) {
        RwErrorReportCommon(E_RW_STRINGTRUNCATED);
        std::memcpy(buffer, name, static_cast<size_t>(size - 1));
        buffer[size - 1] = '\0';
        return;
    }
    std::memcpy(buffer, name, length + 1);
}

RwTexture *RwTextureCreate(RwRaster *raster)
{
    rwTextureGlobals *globals = rwTextureGetGlobals();
    auto *texture = static_cast<RwTexture *>(RwFreeListEntryAlloc(globals->textureFreeList));
    if (texture == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    texture->raster = raster;
    texture->dict = nullptr;
    RwLLLinkInitialize(&texture->lInDictionary);
    texture->name[0] = '\0';
    texture->mask[0] = '\0';
    texture->filterAddressing = 0x1101;
    texture->refCount = 1;
    if (RwPluginRegistryInitObject(RwTextureGetPluginRegistry(), texture) == nullptr) {
        RwFreeListEntryFree(globals->textureFreeList, texture);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return texture;
}

RwBool RwTextureDestroy(RwTexture *texture)
{
    if (--texture->refCount > 0) {
        return TRUE;
    }
    texture->refCount = 1;  // what the extensions see while they are torn down
    RwPluginRegistryDeInitObject(RwTextureGetPluginRegistry(), texture);
    RwTextureRemoveFromDictionary(texture);
    if (texture->raster != nullptr) {
        RwRasterDestroy(texture->raster);
        texture->raster = nullptr;
    }
    texture->refCount = 0;
    RwFreeListEntryFree(rwTextureGetGlobals()->textureFreeList, texture);
    return TRUE;
}

RwTexture *RwTextureAddRef(RwTexture *texture)
{
    ++texture->refCount;
    return texture;
}

RwTexture *RwTextureSetName(RwTexture *texture, const RwChar *name)
{
    rwTextureCopyName(texture->name, rwTEXTUREBASENAMELENGTH, name);
    return texture;
}

RwTexture *RwTextureSetMaskName(RwTexture *texture, const RwChar *maskName)
{
    rwTextureCopyName(texture->mask, rwTEXTUREBASENAMELENGTH, maskName);
    return texture;
}

RwTexture *RwTextureSetRaster(RwTexture *texture, RwRaster *raster)
{
    texture->raster = raster;
    return texture;
}

RwTexture *RwTextureSetFilterMode(RwTexture *texture, RwInt32 filtering)
{
    texture->filterAddressing = (texture->filterAddressing & ~0xFFu) | (static_cast<RwUInt32>(filtering) & 0xFFu);
    return texture;
}

RwTexture *RwTextureSetAddressingU(RwTexture *texture, RwInt32 addressing)
{
    texture->filterAddressing = (texture->filterAddressing & ~0xF00u) | ((static_cast<RwUInt32>(addressing) & 0xFu) << 8);
    return texture;
}

RwTexture *RwTextureSetAddressingV(RwTexture *texture, RwInt32 addressing)
{
    texture->filterAddressing =
        (texture->filterAddressing & ~0xF000u) | ((static_cast<RwUInt32>(addressing) & 0xFu) << 12);
    return texture;
}

RwTexture *RwTextureSetAddressing(RwTexture *texture, RwInt32 addressing)
{
    return RwTextureSetAddressingV(RwTextureSetAddressingU(texture, addressing), addressing);
}

RwBool RwTextureSetReadCallBack(RwTextureCallBackRead callback)
{
    rwTextureGetGlobals()->readCallback = callback;
    return TRUE;
}
RwTextureCallBackRead RwTextureGetReadCallBack(void) { return rwTextureGetGlobals()->readCallback; }

RwBool RwTextureSetFindCallBack(RwTextureCallBackFind callback)
{
    rwTextureGetGlobals()->findCallback = callback;
    return TRUE;
}
RwTextureCallBackFind RwTextureGetFindCallBack(void) { return rwTextureGetGlobals()->findCallback; }

RwBool RwTextureSetMipmapGenerationCallBack(RwTextureCallBackMipmapGeneration callback)
{
    rwTextureGetGlobals()->mipmapGenerationCallback = callback;
    return TRUE;
}
RwTextureCallBackMipmapGeneration RwTextureGetMipmapGenerationCallBack(void)
{
    return rwTextureGetGlobals()->mipmapGenerationCallback;
}

RwBool RwTextureSetMipmapNameCallBack(RwTextureCallBackMipmapName callback)
{
    rwTextureGetGlobals()->mipmapNameCallback = callback;
    return TRUE;
}
RwTextureCallBackMipmapName RwTextureGetMipmapNameCallBack(void) { return rwTextureGetGlobals()->mipmapNameCallback; }

RwBool RwTextureSetMipmapping(RwBool enable)
{
    rwTextureGetGlobals()->mipmapping = enable;
    return TRUE;
}
RwBool RwTextureGetMipmapping(void) { return rwTextureGetGlobals()->mipmapping; }

RwBool RwTextureSetAutoMipmapping(RwBool enable)
{
    rwTextureGetGlobals()->autoMipmapping = enable;
    return TRUE;
}
RwBool RwTextureGetAutoMipmapping(void) { return rwTextureGetGlobals()->autoMipmapping; }

RwBool RwTextureRasterGenerateMipmaps(RwRaster *raster, RwImage *image)
{
    RwTextureCallBackMipmapGeneration generate = rwTextureGetGlobals()->mipmapGenerationCallback;
    return generate != nullptr && generate(raster, image) != nullptr;
}

RwTexDictionary *RwTexDictionaryCreate(void)
{
    rwTextureGlobals *globals = rwTextureGetGlobals();
    auto *dict = static_cast<RwTexDictionary *>(RwFreeListEntryAlloc(globals->texDictFreeList));
    if (dict == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    dict->object.type = static_cast<RwUInt8>(rwID_TEXTURE);
    dict->object.subType = 0;
    dict->object.flags = 0;
    dict->object.privateFlags = 0;
    dict->object.parent = nullptr;
    RwLinkListInitialize(&dict->texturesInDict);
    RwLinkListAddLLLink(&globals->texDictList, &dict->lInInstance);
    if (RwPluginRegistryInitObject(rwTexDictionaryGetPluginRegistry(), dict) == nullptr) {
        RwLLLinkRemove(&dict->lInInstance);
        RwFreeListEntryFree(globals->texDictFreeList, dict);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return dict;
}

RwBool RwTexDictionaryDestroy(RwTexDictionary *dict)
{
    rwTextureGlobals *globals = rwTextureGetGlobals();
    if (globals->currentTexDict == dict) {
        globals->currentTexDict = nullptr;
    }
    RwLLLink *link = RwLinkListGetFirstLLLink(&dict->texturesInDict);
    while (link != RwLinkListGetTerminator(&dict->texturesInDict)) {
        RwLLLink *next = link->next;
        RwTexture *texture = RwLLLinkGetData(link, RwTexture, lInDictionary);
        const bool survives = texture->refCount > 1;
        RwTextureDestroy(texture);
        if (survives) {
            RwTextureRemoveFromDictionary(texture);
        }
        link = next;
    }
    RwPluginRegistryDeInitObject(rwTexDictionaryGetPluginRegistry(), dict);
    RwLLLinkRemove(&dict->lInInstance);
    rwTextureForgetDefaultDictionary(dict);
    RwFreeListEntryFree(globals->texDictFreeList, dict);
    return TRUE;
}

RwTexture *RwTextureRemoveFromDictionary(RwTexture *texture)
{
    if (texture->dict != nullptr) {
        RwLLLinkRemove(&texture->lInDictionary);
        RwLLLinkInitialize(&texture->lInDictionary);
        texture->dict = nullptr;
    }
    return texture;
}

RwTexture *RwTexDictionaryAddTexture(RwTexDictionary *dict, RwTexture *texture)
{
    RwTextureRemoveFromDictionary(texture);
    RwLinkListAddLLLink(&dict->texturesInDict, &texture->lInDictionary);
    texture->dict = dict;
    return texture;
}

// ASCII letters compare equal in either case; nothing else is folded.
static bool SameName(const RwChar *a, const RwChar *b)
{
    for (;; ++a, ++b) {
        RwChar ca = (*a >= 'a' && *a <= 'z') ? static_cast<RwChar>(*a - 'a' + 'A') : *a;
        RwChar cb = (*b >= 'a' && *b <= 'z') ? static_cast<RwChar>(*b - 'a' + 'A') : *b;
        if (ca != cb) {
            return false;
        }
        if (ca == '\0') {
            return true;
        }
    }
}

RwTexture *RwTexDictionaryFindTexture(RwTexDictionary *dict, const RwChar *name)
{
    for (RwLLLink *link = RwLinkListGetFirstLLLink(&dict->texturesInDict);
         link != RwLinkListGetTerminator(&dict->texturesInDict); link = link->next) {
        RwTexture *texture = RwLLLinkGetData(link, RwTexture, lInDictionary);
        if (SameName(texture->name, name)) {
            return texture;
        }
    }
    return nullptr;
}

RwTexDictionary *RwTexDictionaryForAllTextures(RwTexDictionary *dict, RwTextureCallBack callback, void *data)
{
    RwLLLink *link = RwLinkListGetFirstLLLink(&dict->texturesInDict);
    while (link != RwLinkListGetTerminator(&dict->texturesInDict)) {
        RwLLLink *next = link->next;
        if (callback(RwLLLinkGetData(link, RwTexture, lInDictionary), data) == nullptr) {
            break;
        }
        link = next;
    }
    return dict;
}

RwBool RwTexDictionaryForAllTexDictionaries(RwTexDictionaryCallBack callback, void *data)
{
    RwLinkList *list = &rwTextureGetGlobals()->texDictList;
    RwLLLink *link = RwLinkListGetFirstLLLink(list);
    while (link != RwLinkListGetTerminator(list)) {
        RwLLLink *next = link->next;
        if (callback(RwLLLinkGetData(link, RwTexDictionary, lInInstance), data) == nullptr) {
            break;
        }
        link = next;
    }
    return TRUE;
}

RwTexDictionary *RwTexDictionarySetCurrent(RwTexDictionary *dict)
{
    rwTextureGetGlobals()->currentTexDict = dict;
    return dict;
}

RwTexDictionary *RwTexDictionaryGetCurrent(void) { return rwTextureGetGlobals()->currentTexDict; }

RwTexture *RwTextureDefaultFind(const RwChar *name)
{
    rwTextureGlobals *globals = rwTextureGetGlobals();
    if (globals->currentTexDict != nullptr) {
        return RwTexDictionaryFindTexture(globals->currentTexDict, name);
    }
    for (RwLLLink *link = RwLinkListGetFirstLLLink(&globals->texDictList);
         link != RwLinkListGetTerminator(&globals->texDictList); link = link->next) {
        RwTexture *found = RwTexDictionaryFindTexture(RwLLLinkGetData(link, RwTexDictionary, lInInstance), name);
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

static constexpr RwInt32 rwE_TEXTURENOTFOUND = 22;

RwTexture *RwTextureRead(const RwChar *name, const RwChar *maskName)
{
    rwTextureGlobals *globals = rwTextureGetGlobals();
    RwTexture *texture = globals->findCallback != nullptr ? globals->findCallback(name) : nullptr;
    if (texture != nullptr) {
        ++texture->refCount;
        return texture;
    }
    texture = globals->readCallback != nullptr ? globals->readCallback(name, maskName) : nullptr;
    if (texture == nullptr) {
        RwErrorReportDetail(rwID_CORE, rwE_TEXTURENOTFOUND, name);
        return nullptr;
    }
    if (globals->currentTexDict != nullptr) {
        RwTexDictionaryAddTexture(globals->currentTexDict, texture);
    }
    return texture;
}
