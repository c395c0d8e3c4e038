// The particle tank: an atomic that holds up to a fixed number of particles
// in caller-visible attribute arrays (positions, colours, sizes, matrices,
// normals, 2D rotations, vertex colours, texture coordinates) and draws them
// as camera-facing quads, matrix-oriented quads or point sprites. Every
// render writes the active particles' vertices straight into the driver's
// shared dynamic vertex buffer.
#pragma once

#include "rpclump.h"
#include "rwmatrix.h"
#include "rwtypes.h"

static constexpr RwUInt32 rwID_PTANKPLUGIN = 0x12F;

// Data flags: per-particle attributes; the same bit shifted left by 12 asks
// for one constant value for all particles.
static constexpr RwUInt32 rpPTANKDFLAGPOSITION = 0x00000001;
static constexpr RwUInt32 rpPTANKDFLAGCOLOR = 0x00000002;
static constexpr RwUInt32 rpPTANKDFLAGSIZE = 0x00000004;
static constexpr RwUInt32 rpPTANKDFLAGMATRIX = 0x00000008;
static constexpr RwUInt32 rpPTANKDFLAGNORMAL = 0x00000010;
static constexpr RwUInt32 rpPTANKDFLAG2DROTATE = 0x00000020;
static constexpr RwUInt32 rpPTANKDFLAGVTXCOLOR = 0x00000040;
static constexpr RwUInt32 rpPTANKDFLAGVTX2TEXCOORDS = 0x00000080;
static constexpr RwUInt32 rpPTANKDFLAGVTX4TEXCOORDS = 0x00000100;
static constexpr RwUInt32 rpPTANKDFLAGCNSCOLOR = 0x00002000;
static constexpr RwUInt32 rpPTANKDFLAGCNSSIZE = 0x00004000;
static constexpr RwUInt32 rpPTANKDFLAGCNSMATRIX = 0x00008000;
static constexpr RwUInt32 rpPTANKDFLAGCNS2DROTATE = 0x00020000;
static constexpr RwUInt32 rpPTANKDFLAGCNSVTXCOLOR = 0x00040000;
static constexpr RwUInt32 rpPTANKDFLAGCNSVTX2TEXCOORDS = 0x00080000;
static constexpr RwUInt32 rpPTANKDFLAGCNSVTX4TEXCOORDS = 0x00100000;
static constexpr RwUInt32 rpPTANKDFLAGUSECENTER = 0x01000000;
static constexpr RwUInt32 rpPTANKDFLAGARRAY = 0x10000000;
static constexpr RwUInt32 rpPTANKDFLAGSTRUCTURE = 0x20000000;
// Every per-particle attribute bit.
static constexpr RwUInt32 rpPTANKDFLAGALLATTRIBUTES = 0x000001FF;

// Lock flag: the caller writes the attribute.
static constexpr RwUInt32 rpPTANKLFLAGWRITE = 0x40000000;
// Platform flag: draw point sprites where the device can.
static constexpr RwUInt32 rpPTANKD3D8FLAGSUSEPOINTSPRITES = 0x00000001;

// Where an attribute lies: its first element and the bytes between elements.
struct RpPTankLockStruct {
    RwUInt8 *data;
    RwInt32 stride;
};

struct RpPTankFormatDescriptor {
    RwInt32 numClusters;  // attributes held per particle
    RwInt32 stride;       // interleaved record size, 0 for separate arrays
    RwUInt32 dataFlags;
};

// Attribute slots of the descriptor, in the order the layouts use.
enum RpPTankCluster : RwInt32 {
    rpPTANKCLUSTERPOSITION = 0,
    rpPTANKCLUSTERMATRIX,
    rpPTANKCLUSTERNORMAL,
    rpPTANKCLUSTERSIZE,
    rpPTANKCLUSTERCOLOR,
    rpPTANKCLUSTERVTXCOLOR,
    rpPTANKCLUSTER2DROTATE,
    rpPTANKCLUSTERVTX2TEXCOORDS,
    rpPTANKCLUSTERVTX4TEXCOORDS,
    rpPTANKNUMCLUSTERS
};

// The slot of one per-particle attribute bit, -1 for anything else.
RwInt32 RpPTankClusterOfFlag(RwUInt32 attributeFlag);
// Bytes one particle's value of a cluster takes.
RwInt32 RpPTankClusterSize(RwInt32 cluster);
// The per-particle attribute bit of a slot.
RwUInt32 RpPTankFlagOfCluster(RwInt32 cluster);

// The attribute descriptor handed to every callback.
struct RpPTankData {
    void *reserved;
    RpPTankLockStruct clusters[rpPTANKNUMCLUSTERS];
    RpPTankFormatDescriptor format;
};

// One instancing: what the setup locked, the writers fill.
struct RpPTankInstanceContext {
    RwBool usePositions;
    RwBool useTexCoords;
    RwBool useColors;
    RwBool useNormals;
    RpPTankLockStruct positions;
    RpPTankLockStruct texCoords;
    RpPTankLockStruct colors;
    RpPTankLockStruct normals;
    RwV3d right;
    RwV3d up;
};

typedef RwBool (*RpPTankAllocCallBack)(RpPTankData *data, RwInt32 maxPCount, RwUInt32 dataFlags,
                                       RwUInt32 platFlags);
typedef RwBool (*RpPTankCreateCallBack)(RpAtomic *atomic, RpPTankData *data, RwInt32 maxPCount,
                                        RwUInt32 dataFlags, RwUInt32 platFlags);
typedef RwBool (*RpPTankInstanceCallBack)(RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount,
                                          RwUInt32 instFlags);
typedef RwBool (*RpPTankRenderCallBack)(RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount);

struct RpPTankCallBacks {
    RpPTankAllocCallBack alloc;  // null: the built-in layout
    RpPTankCreateCallBack create;
    RpPTankInstanceCallBack instance;
    RpPTankRenderCallBack render;
};

typedef RwBool (*RpPTankInstanceSetupCallBack)(RpPTankInstanceContext *context, RpAtomic *atomic,
                                               RpPTankData *data, RwInt32 actPCount, RwUInt32 instFlags);
typedef void (*RpPTankPositionWriter)(RpPTankLockStruct *slot, const RwV3d *right, const RwV3d *up,
                                      RwInt32 actPCount, RpPTankData *data);
typedef void (*RpPTankAttributeWriter)(RpPTankLockStruct *slot, RwInt32 actPCount, RpPTankData *data);
typedef void (*RpPTankInstanceEndCallBack)(RpPTankInstanceContext *context, RpAtomic *atomic, RpPTankData *data,
                                           RwInt32 actPCount, RwUInt32 instFlags);

struct RpPTank {
    RwInt32 maxPCount;
    RwInt32 actPCount;  // set by the owner
    RwInt32 reserved;
    void *rawdata;  // the allocation holding the attribute arrays
    RpAtomicCallBackRender defaultRenderCB;
    RpPTankCallBacks callbacks;

    RpPTankInstanceSetupCallBack setup;
    RpPTankPositionWriter positionWriter;
    RpPTankAttributeWriter texCoordWriter;
    RpPTankAttributeWriter colorWriter;
    RpPTankAttributeWriter normalWriter;
    RpPTankInstanceEndCallBack finish;

    RwUInt32 lockFlags;  // written since the last unlock
    RwUInt32 instFlags;  // written since the last render
    RwUInt32 platFlags;
    RpPTankData data;

    // Drawing state, set by the owner.
    RwUInt32 srcBlend;
    RwUInt32 dstBlend;
    RwBool vertexAlphaBlend;

    // Constants, set by the owner.
    RwV2d cCenter;
    RwV2d cSize;
    RwReal cRotate;
    RwRGBA cColor;
    RwRGBA cVtxColor[4];
    RwTexCoords cUV[4];
    RwMatrix cMatrix;
};

RwBool RpPTankPluginAttach(void);

RpAtomic *RpPTankAtomicCreate(RwInt32 maxParticleNum, RwUInt32 dataFlags, RwUInt32 platFlags);
RpAtomic *RpPTankAtomicCreateEx(RwInt32 maxParticleNum, RwUInt32 dataFlags, RwUInt32 platFlags,
                                const RpPTankCallBacks *callbacks);
// The tank of an atomic; null for an atomic that is not a tank.
RpPTank *RpPTankAtomicGetTank(const RpAtomic *atomic);
const RpPTankFormatDescriptor *RpPTankAtomicGetDataFormat(const RpAtomic *atomic);
// 1 with the record filled, 0 with a zeroed record when the tank lacks the attribute.
RwBool RpPTankAtomicLock(RpAtomic *atomic, RpPTankLockStruct *dst, RwUInt32 dataFlag, RwUInt32 lockFlag);
void RpPTankAtomicUnlock(RpAtomic *atomic);
RpAtomic *RpPTankAtomicRender(RpAtomic *atomic);

// The Direct3D 8 callbacks that RpPTankAtomicCreate installs.
RwBool RpPTankD3D8Create(RpAtomic *atomic, RpPTankData *data, RwInt32 maxPCount, RwUInt32 dataFlags,
                         RwUInt32 platFlags);
RwBool RpPTankD3D8Instance(RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount, RwUInt32 instFlags);
RwBool RpPTankD3D8Render(RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount);

// Packs a colour the way every tank vertex holds it (A8R8G8B8).
inline RwUInt32 RpPTankPackColor(const RwRGBA *c)
{
    return (static_cast<RwUInt32>(c->alpha) << 24) | (static_cast<RwUInt32>(c->red) << 16) |
           (static_cast<RwUInt32>(c->green) << 8) | c->blue;
}
