// What the lightmap files share: extension offsets, the engine-wide state
// and the pipeline set-up.
#pragma once

#include "rpltmap.h"

struct LightMapGlobals {
    RwInt32 atomicOffset;
    RwInt32 sectorOffset;
    RwInt32 materialOffset;
    RwInt32 worldOffset;
    RwInt32 openCount;
    RwUInt32 renderStyle;
    RwInt32 defaultSize;
    RwInt32 rasterFormat;
    RwPipeline *atomicPipeline;
    RwPipeline *sectorPipeline;
    RwUInt32 blendStages;
    RwUInt32 simultaneousTextures;
    RwBool firstRender;  // the lit renderer has not decided yet
    RwBool singlePass;
};

LightMapGlobals &LightMapGlobalsGet(void);

template <typename T>
inline T *LightMapExtension(const void *object, RwInt32 offset)
{
    return reinterpret_cast<T *>(static_cast<RwUInt8 *>(const_cast<void *>(object)) + offset);
}

RwBool RpLightMapPipelinesCreate(void);
void RpLightMapPipelinesDestroy(void);

// Stream callbacks (extension 0x114).
RwStream *LightMapAtomicRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *LightMapSectorRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *LightMapObjectWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset, RwInt32 size);
RwInt32 LightMapObjectSize(const void *object, RwInt32 offset, RwInt32 size);
RwStream *LightMapMaterialRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *LightMapMaterialWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                RwInt32 size);
RwInt32 LightMapMaterialSize(const void *object, RwInt32 offset, RwInt32 size);
RwStream *LightMapWorldRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *LightMapWorldWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset, RwInt32 size);
RwInt32 LightMapWorldSize(const void *object, RwInt32 offset, RwInt32 size);
