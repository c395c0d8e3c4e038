// Textures: a raster bound to a name, a mask name, a filter mode and two
// addressing modes, shared by reference count; texture dictionaries (named
// sets of textures, one of them current); the find and read callbacks
// through which textures are looked up and loaded; the texture chunk.
#pragma once

#include "rwplugin.h"
#include "rwrenderstate.h"
#include "rwtypes.h"

struct RwRaster;
struct RwStream;
struct RwImage;
struct RwTexDictionary;

static constexpr RwInt32 rwTEXTUREBASENAMELENGTH = 32;
// Longest name the default readers take before cutting (characters + 1).
static constexpr RwInt32 rwTEXTURELONGNAMELENGTH = 256;
// Room a mip-name callback may append to the name buffers it is handed.
static constexpr RwInt32 rwTEXTUREMIPNAMEROOM = 16;
// Longest name or mask a texture chunk carries (characters + 1).
static constexpr RwInt32 rwTEXTURESTREAMNAMELENGTH = 128;

static constexpr RwUInt32 rwID_TEXTURE = 6;
static constexpr RwUInt32 rwID_STRING = 2;
static constexpr RwUInt32 rwID_UNICODESTRING = 0x13;
static constexpr RwUInt32 rwID_TEXDICTIONARY = 0x16;
static constexpr RwUInt32 rwID_IMAGE = 0x18;
static constexpr RwUInt32 rwID_PITEXDICTIONARY = 0x23;

struct RwTexture {
    RwRaster *raster;  // owned
    RwTexDictionary *dict;
    RwLLLink lInDictionary;
    RwChar name[rwTEXTUREBASENAMELENGTH];
    RwChar mask[rwTEXTUREBASENAMELENGTH];
    RwUInt32 filterAddressing;  // filter bits 0-7, U bits 8-11, V bits 12-15
    RwInt32 refCount;
};

struct RwTexDictionary {
    RwObject object;  // type 6
    RwLinkList texturesInDict;  // newest first
    RwLLLink lInInstance;
};

typedef RwTexture *(*RwTextureCallBackRead)(const RwChar *name, const RwChar *maskName);
typedef RwTexture *(*RwTextureCallBackFind)(const RwChar *name);
typedef RwTexture *(*RwTextureCallBack)(RwTexture *texture, void *data);
typedef RwTexDictionary *(*RwTexDictionaryCallBack)(RwTexDictionary *dict, void *data);
typedef RwRaster *(*RwTextureCallBackMipmapGeneration)(RwRaster *raster, RwImage *image);
// The buffers have room for rwTEXTUREMIPNAMEROOM more characters.
typedef RwBool (*RwTextureCallBackMipmapName)(RwChar *name, RwChar *maskName, RwUInt8 mipLevel, RwInt32 format);

// Module callbacks (engine module 0x408).
void *RwTextureOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwTextureClose(void *instance, RwInt32 offset, RwInt32 size);

RwTexture *RwTextureCreate(RwRaster *raster);
RwBool RwTextureDestroy(RwTexture *texture);
RwTexture *RwTextureAddRef(RwTexture *texture);
RwTexture *RwTextureSetName(RwTexture *texture, const RwChar *name);
RwTexture *RwTextureSetMaskName(RwTexture *texture, const RwChar *maskName);
RwTexture *RwTextureSetRaster(RwTexture *texture, RwRaster *raster);
RwTexture *RwTextureRead(const RwChar *name, const RwChar *maskName);

inline RwRaster *RwTextureGetRaster(const RwTexture *t) { return t->raster; }
inline const RwChar *RwTextureGetName(const RwTexture *t) { return t->name; }
inline const RwChar *RwTextureGetMaskName(const RwTexture *t) { return t->mask; }
inline RwTexDictionary *RwTextureGetDictionary(const RwTexture *t) { return t->dict; }
inline RwInt32 RwTextureGetFilterMode(const RwTexture *t) { return static_cast<RwInt32>(t->filterAddressing & 0xFF); }
inline RwInt32 RwTextureGetAddressingU(const RwTexture *t) { return static_cast<RwInt32>((t->filterAddressing >> 8) & 0xF); }
inline RwInt32 RwTextureGetAddressingV(const RwTexture *t) { return static_cast<RwInt32>((t->filterAddressing >> 12) & 0xF); }
RwTexture *RwTextureSetFilterMode(RwTexture *texture, RwInt32 filtering);
RwTexture *RwTextureSetAddressingU(RwTexture *texture, RwInt32 addressing);
RwTexture *RwTextureSetAddressingV(RwTexture *texture, RwInt32 addressing);
RwTexture *RwTextureSetAddressing(RwTexture *texture, RwInt32 addressing);

// Longest name of a combined texture (characters, without the terminator).
static constexpr RwInt32 rwTEXTURECOMBINEDNAMELENGTH = 30;
// Interleaves the two names a character at a time, the colour name first,
// each advancing only while it has characters left; `out` holds
// rwTEXTURECOMBINEDNAMELENGTH + 1 characters.
void RwTextureMakeCombinedName(RwChar *out, const RwChar *colourName, const RwChar *alphaName);
// A new texture with the colour texture's pixels (opaque white, at the alpha
// texture's size, when there is none) and the alpha texture's grey level
// (largest of red, green, blue), resampled to fit, as its alpha. Mip levels,
// filtering and addressing follow the colour texture (or the alpha one);
// the name combines both names.
RwTexture *RwTextureCreateFromColourAndAlpha(RwTexture *colourTexture, RwTexture *alphaTexture);

RwBool RwTextureSetReadCallBack(RwTextureCallBackRead callback);
RwTextureCallBackRead RwTextureGetReadCallBack(void);
RwBool RwTextureSetFindCallBack(RwTextureCallBackFind callback);
RwTextureCallBackFind RwTextureGetFindCallBack(void);
RwBool RwTextureSetMipmapGenerationCallBack(RwTextureCallBackMipmapGeneration callback);
RwTextureCallBackMipmapGeneration RwTextureGetMipmapGenerationCallBack(void);
RwBool RwTextureSetMipmapNameCallBack(RwTextureCallBackMipmapName callback);
RwTextureCallBackMipmapName RwTextureGetMipmapNameCallBack(void);
RwBool RwTextureSetMipmapping(RwBool enable);
RwBool RwTextureGetMipmapping(void);
RwBool RwTextureSetAutoMipmapping(RwBool enable);
RwBool RwTextureGetAutoMipmapping(void);

#define RwTextureSetReadCallback RwTextureSetReadCallBack
#define RwTextureGetReadCallback RwTextureGetReadCallBack
#define RwTextureSetFindCallback RwTextureSetFindCallBack
#define RwTextureGetFindCallback RwTextureGetFindCallBack

// Defaults installed at open.
RwTexture *RwTextureDefaultFind(const RwChar *name);
RwTexture *RwTextureDefaultRead(const RwChar *name, const RwChar *maskName);
RwTexture *RwTextureDefaultReadMipmaps(const RwChar *name, const RwChar *maskName);
RwRaster *RwTextureDefaultGenerateMipmaps(RwRaster *raster, RwImage *image);
RwBool RwTextureGenerateMipName(RwChar *name, RwChar *maskName, RwUInt8 mipLevel, RwInt32 format);
RwBool RwTextureRasterGenerateMipmaps(RwRaster *raster, RwImage *image);
// Reads the image of one level named `name` (and `maskName`); with *width
// or *height 0 the device picks the raster size and format.
RwImage *RwTextureReadLevelImage(const RwChar *name, const RwChar *maskName, RwInt32 flags, RwInt32 *width,
                                 RwInt32 *height, RwInt32 *depth, RwInt32 *format);

RwInt32 RwTextureRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RwTextureRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                      RwPluginDataChunkWriteCallBack writeCB,
                                      RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RwTextureGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RwTextureGetPluginRegistry(void);

// Dictionaries.
RwTexDictionary *RwTexDictionaryCreate(void);
RwBool RwTexDictionaryDestroy(RwTexDictionary *dict);
RwTexture *RwTexDictionaryAddTexture(RwTexDictionary *dict, RwTexture *texture);
RwTexture *RwTextureRemoveFromDictionary(RwTexture *texture);
RwTexture *RwTexDictionaryFindTexture(RwTexDictionary *dict, const RwChar *name);
RwTexDictionary *RwTexDictionaryForAllTextures(RwTexDictionary *dict, RwTextureCallBack callback, void *data);
RwBool RwTexDictionaryForAllTexDictionaries(RwTexDictionaryCallBack callback, void *data);
RwTexDictionary *RwTexDictionarySetCurrent(RwTexDictionary *dict);
RwTexDictionary *RwTexDictionaryGetCurrent(void);
RwInt32 RwTexDictionaryRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                      RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RwTexDictionaryGetPluginOffset(RwUInt32 pluginID);

// Texture chunk (type 6).
RwUInt32 RwTextureStreamGetSize(const RwTexture *texture);
const RwTexture *RwTextureStreamWrite(const RwTexture *texture, RwStream *stream);
RwTexture *RwTextureStreamRead(RwStream *stream);
