// Lights as objects: ambient, directional, point, spot and soft-spot
// lights on frames, their colour, radius and cone, and the light chunk.
// Turning lights into device lights belongs to the world pipelines.
#pragma once

#include "rwframe.h"
#include "rwplugin.h"
#include "rwtypes.h"

struct RwStream;

static constexpr RwUInt8 rpLIGHT = 3;
static constexpr RwUInt32 rwID_LIGHT = 0x12;

enum RpLightType : RwInt32 {
    rpNALIGHTTYPE = 0,
    rpLIGHTDIRECTIONAL = 1,
    rpLIGHTAMBIENT = 2,
    rpLIGHTPOINT = 0x80,
    rpLIGHTSPOT = 0x81,
    rpLIGHTSPOTSOFT = 0x82,
};

static constexpr RwUInt8 rpLIGHTLIGHTATOMICS = 0x01;
static constexpr RwUInt8 rpLIGHTLIGHTWORLD = 0x02;
static constexpr RwUInt8 rpLIGHTPRIVATENOCHROMA = 0x01;  // red = green = blue
// Body of a light's struct chunk.
static constexpr RwUInt32 rpLIGHTSTRUCTSIZE = 24;

struct RpLight {
    RwFramedObject object;  // type 3, subtype = the light type
    RwReal radius;
    RwRGBAReal color;
    RwReal minusCosAngle;
    RwLinkList WorldSectorsInLight;
    RwLLLink inWorld;
    RwUInt16 lightFrame;
    RwUInt16 pad;
};

RpLight *RpLightCreate(RwInt32 type);
RwBool RpLightDestroy(RpLight *light);
RpLight *RpLightSetRadius(RpLight *light, RwReal radius);
RpLight *RpLightSetColor(RpLight *light, const RwRGBAReal *color);
RwReal RpLightGetConeAngle(const RpLight *light);
RpLight *RpLightSetFrame(RpLight *light, RwFrame *frame);
inline RwFrame *RpLightGetFrame(const RpLight *l) { return RwFramedObjectGetFrame(&l->object); }
inline RwInt32 RpLightGetType(const RpLight *l) { return l->object.object.subType; }
inline RwReal RpLightGetRadius(const RpLight *l) { return l->radius; }
inline const RwRGBAReal *RpLightGetColor(const RpLight *l) { return &l->color; }
inline RwUInt8 RpLightGetFlags(const RpLight *l) { return l->object.object.flags; }
inline RpLight *RpLightSetFlags(RpLight *l, RwUInt8 flags)
{
    l->object.object.flags = flags;
    return l;
}
// Reads a light chunk body (the caller found the chunk header).
RpLight *RpLightStreamRead(RwStream *stream);

RwInt32 RpLightRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RpLightRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB,
                                    RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RpLightGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RpLightGetPluginRegistry(void);

// Engine module callbacks (block 0x505).
void *RpLightModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpLightModuleClose(void *instance, RwInt32 offset, RwInt32 size);
