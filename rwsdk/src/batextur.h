// Private to the texture module: its engine block (dictionary list, free
// lists, current dictionary, callbacks and mipmapping switches).
#pragma once

#include "rwtexture.h"

struct RwFreeList;

struct rwTextureGlobals {
    RwLinkList texDictList;
    RwFreeList *textureFreeList;
    RwFreeList *texDictFreeList;
    RwTexDictionary *currentTexDict;
    RwTextureCallBackRead readCallback;
    RwTextureCallBackFind findCallback;
    RwBool mipmapping;
    RwBool autoMipmapping;
    RwUInt8 *scratchMem;
    RwUInt16 scratchMemSize;
    RwTextureCallBackMipmapGeneration mipmapGenerationCallback;
    RwTextureCallBackMipmapName mipmapNameCallback;
};

rwTextureGlobals *rwTextureGetGlobals(void);
RwPluginRegistry *rwTexDictionaryGetPluginRegistry(void);
// The dictionary made at open (null once destroyed).
RwTexDictionary *rwTextureGetDefaultDictionary(void);
void rwTextureForgetDefaultDictionary(RwTexDictionary *dict);
// Copies `name` into `buffer` (`size` bytes), cut to size - 1 characters
// with 0x8000001E reported when it is longer; null gives "".
void rwTextureCopyName(RwChar *buffer, RwInt32 size, const RwChar *name);
