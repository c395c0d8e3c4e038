// Plug-in registries: one per object type, through which plug-ins add
// extension data to every object of that type, with callbacks to construct,
// destroy, copy and stream that data as the object's extension chunk.
#pragma once

#include "rwtypes.h"

struct RwStream;
struct RwPluginEntry;

typedef void *(*RwPluginObjectConstructor)(void *object, RwInt32 offsetInObject, RwInt32 sizeInObject);
typedef void *(*RwPluginObjectDestructor)(void *object, RwInt32 offsetInObject, RwInt32 sizeInObject);
typedef void *(*RwPluginObjectCopy)(void *dstObject, const void *srcObject, RwInt32 offsetInObject,
                                    RwInt32 sizeInObject);
typedef RwStream *(*RwPluginDataChunkReadCallBack)(RwStream *stream, RwInt32 binaryLength, void *object,
                                                   RwInt32 offsetInObject, RwInt32 sizeInObject);
typedef RwStream *(*RwPluginDataChunkWriteCallBack)(RwStream *stream, RwInt32 binaryLength,
                                                    const void *object, RwInt32 offsetInObject,
                                                    RwInt32 sizeInObject);
typedef RwInt32 (*RwPluginDataChunkGetSizeCallBack)(const void *object, RwInt32 offsetInObject,
                                                    RwInt32 sizeInObject);
typedef RwInt32 (*RwPluginDataChunkAlwaysCallBack)(void *object, RwInt32 offsetInObject,
                                                   RwInt32 sizeInObject);
typedef RwInt32 (*RwPluginDataChunkRightsCallBack)(void *object, RwInt32 offsetInObject,
                                                   RwInt32 sizeInObject, RwUInt32 extraData);
typedef void *(*RwPluginErrorStrCallBack)(void *);

struct RwPluginRegistry {
    RwInt32 sizeOfStruct;      // fixed part plus every extension
    RwInt32 origSizeOfStruct;  // fixed part
    RwInt32 maxSizeOfStruct;   // 0: no limit
    RwInt32 reserved;
    RwPluginEntry *firstRegEntry;
    RwPluginEntry *lastRegEntry;
};

// A registry for a type whose fixed record is `fixedSize` bytes (static data).
#define rwPLUGINREGISTRY_INIT(fixedSize) \
    RwPluginRegistry { (fixedSize), (fixedSize), 0, 0, nullptr, nullptr }

struct RwPluginEntry {
    RwInt32 offset;  // of the extension in the object (8-byte aligned)
    RwInt32 size;    // as registered, not rounded
    RwUInt32 pluginID;
    RwPluginDataChunkReadCallBack readStream;
    RwPluginDataChunkWriteCallBack writeStream;
    RwPluginDataChunkGetSizeCallBack getSizeStream;
    RwPluginDataChunkAlwaysCallBack alwaysCB;
    RwPluginDataChunkRightsCallBack rightsCB;
    RwPluginObjectConstructor constructCB;
    RwPluginObjectDestructor destructCB;
    RwPluginObjectCopy copyCB;
    RwPluginErrorStrCallBack reserved;
    RwPluginEntry *nextRegEntry;
    RwPluginEntry *prevRegEntry;
    RwPluginRegistry *parentRegistry;
};

// Registry module (opened by RwEngineInit, closed by RwEngineTerm). The close
// resets every registry that received entries back to its fixed part.
RwBool RwPluginRegistryOpen(void);
RwBool RwPluginRegistryClose(void);

// Registration: only between RwEngineInit and RwEngineOpen. Returns the
// extension's offset in the object, or -1.
RwInt32 RwPluginRegistryAddPlugin(RwPluginRegistry *reg, RwInt32 size, RwUInt32 pluginID,
                                  RwPluginObjectConstructor constructCB,
                                  RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RwPluginRegistryGetPluginOffset(const RwPluginRegistry *reg, RwUInt32 pluginID);
RwInt32 RwPluginRegistryAddPluginStream(RwPluginRegistry *reg, RwUInt32 pluginID,
                                        RwPluginDataChunkReadCallBack readCB,
                                        RwPluginDataChunkWriteCallBack writeCB,
                                        RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RwPluginRegistryAddStreamAlways(RwPluginRegistry *reg, RwUInt32 pluginID,
                                        RwPluginDataChunkAlwaysCallBack alwaysCB);
RwInt32 RwPluginRegistryAddRightsCallback(RwPluginRegistry *reg, RwUInt32 pluginID,
                                          RwPluginDataChunkRightsCallBack rightsCB);

// Object life: a creator allocates reg->sizeOfStruct bytes, fills the fixed
// part, then calls RwPluginRegistryInitObject. When that returns null the
// extensions are already torn down and the creator must free the record and
// fail (report E_RW_PLUGININIT if nothing more specific applies).
const RwPluginRegistry *RwPluginRegistryInitObject(const RwPluginRegistry *reg, void *object);
const RwPluginRegistry *RwPluginRegistryDeInitObject(const RwPluginRegistry *reg, void *object);
const RwPluginRegistry *RwPluginRegistryCopyObject(const RwPluginRegistry *reg, void *dstObject,
                                                   const void *srcObject);

// Extension chunk (type 3) streaming.
const RwPluginRegistry *RwPluginRegistryReadDataChunks(const RwPluginRegistry *reg, RwStream *stream,
                                                       void *object);
const RwPluginRegistry *RwPluginRegistryWriteDataChunks(const RwPluginRegistry *reg, RwStream *stream,
                                                        const void *object);
RwInt32 RwPluginRegistryGetSize(const RwPluginRegistry *reg, const void *object);
const RwPluginRegistry *RwPluginRegistrySkipDataChunks(const RwPluginRegistry *reg, RwStream *stream);
// The entry registered under `pluginID`, or null.
RwPluginEntry *RwPluginRegistryFindEntry(const RwPluginRegistry *reg, RwUInt32 pluginID);
const RwPluginRegistry *RwPluginRegistryInvokeRights(const RwPluginRegistry *reg, RwUInt32 id,
                                                     void *obj, RwUInt32 extraData);

// The names the rest of the engine uses for the streaming operations.
#define RwPluginRegistryReadData RwPluginRegistryReadDataChunks
#define RwPluginRegistryWriteData RwPluginRegistryWriteDataChunks
#define RwPluginRegistryGetStreamSize RwPluginRegistryGetSize
#define RwPluginRegistrySkipData RwPluginRegistrySkipDataChunks

// Chunk type of the extension chunk and the size of a chunk header.
static constexpr RwUInt32 rwID_EXTENSION = 3;
