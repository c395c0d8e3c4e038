// The engine instance, its four-state life cycle, engine plug-in (module
// block) registration, and the numbered device requests that are the only
// road from the engine to the device driver.
#pragma once

#include "rwerror.h"
#include "rwmemory.h"
#include "rwosintf.h"
#include "rwplugin.h"
#include "rwtypes.h"

// Core module and extension ids (also the ids of their error reports and
// engine blocks).
static constexpr RwUInt32 rwID_SQRTMODULE = 0x401;
static constexpr RwUInt32 rwID_MATRIXMODULE = 0x402;
static constexpr RwUInt32 rwID_FRAMEMODULE = 0x403;
static constexpr RwUInt32 rwID_STREAMMODULE = 0x404;
static constexpr RwUInt32 rwID_CAMERAMODULE = 0x405;
static constexpr RwUInt32 rwID_IMAGEMODULE = 0x406;
static constexpr RwUInt32 rwID_RASTERMODULE = 0x407;
static constexpr RwUInt32 rwID_TEXTUREMODULE = 0x408;
static constexpr RwUInt32 rwID_PIPEMODULE = 0x409;
static constexpr RwUInt32 rwID_IM3DMODULE = 0x40A;
static constexpr RwUInt32 rwID_RESOURCESMODULE = 0x40B;
static constexpr RwUInt32 rwID_DEVICEMODULE = 0x40C;  // the driver's raster extension
static constexpr RwUInt32 rwID_COLORMODULE = 0x40D;
static constexpr RwUInt32 rwID_ERRORMODULE = 0x40F;

// Size of the driver's raster extension.
static constexpr RwInt32 rwDEVICE_RASTEREXT_SIZE = 40;

enum RwPrimitiveType : RwInt32 {
    rwPRIMTYPENAPRIMTYPE = 0,
    rwPRIMTYPELINELIST = 1,
    rwPRIMTYPEPOLYLINE = 2,
    rwPRIMTYPETRILIST = 3,
    rwPRIMTYPETRISTRIP = 4,
    rwPRIMTYPETRIFAN = 5,
    rwPRIMTYPEPOINTLIST = 6,
};

struct RwIm2DVertex;

// Numbered device requests (see RwDeviceSystemRequest).
enum RwCoreDeviceSystemFn : RwInt32 {
    rwDEVICESYSTEMOPEN = 0,
    rwDEVICESYSTEMCLOSE = 1,
    rwDEVICESYSTEMSTART = 2,
    rwDEVICESYSTEMSTOP = 3,
    rwDEVICESYSTEMREGISTER = 4,
    rwDEVICESYSTEMGETNUMMODES = 5,
    rwDEVICESYSTEMGETMODEINFO = 6,
    rwDEVICESYSTEMUSEMODE = 7,
    rwDEVICESYSTEMFOCUS = 8,
    rwDEVICESYSTEMINITPIPELINE = 9,
    rwDEVICESYSTEMGETMODE = 10,
    rwDEVICESYSTEMSTANDARDS = 11,
    rwDEVICESYSTEMGETTEXMEMSIZE = 12,
    rwDEVICESYSTEMGETNUMSUBSYSTEMS = 13,
    rwDEVICESYSTEMGETSUBSYSTEMINFO = 14,
    rwDEVICESYSTEMGETCURRENTSUBSYSTEM = 15,
    rwDEVICESYSTEMSETSUBSYSTEM = 16,
    rwDEVICESYSTEMFINALIZESTART = 17,
    rwDEVICESYSTEMINITIATESTOP = 18,
};

typedef RwBool (*RwSystemFunc)(RwInt32 request, void *out, void *inOut, RwInt32 number);
typedef RwBool (*RwRenderStateSetFunction)(RwInt32 state, void *value);
typedef RwBool (*RwRenderStateGetFunction)(RwInt32 state, void *value);
typedef RwBool (*RwIm2DRenderLineFunction)(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1,
                                           RwInt32 vert2);
typedef RwBool (*RwIm2DRenderTriangleFunction)(RwIm2DVertex *vertices, RwInt32 numVertices,
                                               RwInt32 vert1, RwInt32 vert2, RwInt32 vert3);
typedef RwBool (*RwIm2DRenderPrimitiveFunction)(RwPrimitiveType primType, RwIm2DVertex *vertices,
                                                RwInt32 numVertices);
typedef RwBool (*RwIm2DRenderIndexedPrimitiveFunction)(RwPrimitiveType primType,
                                                       RwIm2DVertex *vertices, RwInt32 numVertices,
                                                       RwImVertexIndex *indices, RwInt32 numIndices);
typedef RwBool (*RwIm3DRenderLineFunction)(RwInt32 vert1, RwInt32 vert2);
typedef RwBool (*RwIm3DRenderTriangleFunction)(RwInt32 vert1, RwInt32 vert2, RwInt32 vert3);
typedef RwBool (*RwIm3DRenderPrimitiveFunction)(RwPrimitiveType primType);
typedef RwBool (*RwIm3DRenderIndexedPrimitiveFunction)(RwPrimitiveType primType,
                                                       RwImVertexIndex *indices, RwInt32 numIndices);

// The driver's static record, copied into the instance by request 4.
struct RwDeviceRecord {
    RwReal gammaCorrection;
    RwSystemFunc fpSystem;
    RwReal zBufferNear;
    RwReal zBufferFar;
    RwRenderStateSetFunction fpRenderStateSet;
    RwRenderStateGetFunction fpRenderStateGet;
    RwIm2DRenderLineFunction fpIm2DRenderLine;
    RwIm2DRenderTriangleFunction fpIm2DRenderTriangle;
    RwIm2DRenderPrimitiveFunction fpIm2DRenderPrimitive;
    RwIm2DRenderIndexedPrimitiveFunction fpIm2DRenderIndexedPrimitive;
    RwIm3DRenderLineFunction fpIm3DRenderLine;
    RwIm3DRenderTriangleFunction fpIm3DRenderTriangle;
    RwIm3DRenderPrimitiveFunction fpIm3DRenderPrimitive;
    RwIm3DRenderIndexedPrimitiveFunction fpIm3DRenderIndexedPrimitive;
};

// A standard function: (out or in pointer, raster or other object, integer)
// -> non-zero on success. Slot numbering is the driver's.
typedef RwBool (*RwStandardFunc)(void *pOut, void *pInOut, RwInt32 nI);
static constexpr RwInt32 rwSTANDARDNUMOFSTANDARD = 29;

enum RwEngineStatus : RwUInt32 {
    rwENGINESTATUSIDLE = 0,
    rwENGINESTATUSINITED = 1,
    rwENGINESTATUSOPENED = 2,
    rwENGINESTATUSSTARTED = 3,
};

// The fixed head of the engine instance; module blocks follow it at the
// offsets RwEngineRegisterPlugin returned.
struct RwEngineInstance {
    void *curCamera;
    void *curWorld;
    RwUInt16 renderFrame;
    RwUInt16 lightFrame;
    RwDeviceRecord dOpenDevice;
    RwStandardFunc stdFunc[rwSTANDARDNUMOFSTANDARD];
    RwLinkList dirtyFrameList;
    RwFileFunctions fileFuncs;
    RwStringFunctions stringFuncs;
    RwMemoryFunctions memoryFuncs;
    RwUInt32 engineStatus;
    RwUInt32 resArenaInitSize;
};

// The current instance: the static head before RwEngineOpen, the heap
// instance (head plus module blocks) from RwEngineOpen to RwEngineClose.
extern RwEngineInstance *RwEngineInst;

// A module's block: the instance pointer plus the module's offset.
inline void *RwEngineGetModuleBlock(RwInt32 offset)
{
    return reinterpret_cast<RwUInt8 *>(RwEngineInst) + offset;
}

struct RwEngineOpenParams {
    void *displayID;  // window handle
};

static constexpr RwInt32 rwSUBSYSTEMNAMELENGTH = 80;
struct RwSubSystemInfo {
    RwChar name[rwSUBSYSTEMNAMELENGTH];
};

static constexpr RwUInt32 rwVIDEOMODEEXCLUSIVE = 0x1;
struct RwVideoModeInfo {
    RwUInt32 width;
    RwUInt32 height;
    RwUInt32 depth;
    RwUInt32 flags;
    RwUInt32 refRate;
    RwUInt32 format;
};

// Flag bit 0 of RwEngineInit: free lists off (every record a heap allocation).
static constexpr RwUInt32 rwENGINEINITFREELISTS_OFF = 0x1;

// Life cycle: Init (0->1), Open (1->2), Start (2->3), Stop (3->2),
// Close (2->1), Term (1->0). A call in the wrong state is refused with
// nothing changed.
RwBool RwEngineInit(const RwMemoryFunctions *memFuncs, RwUInt32 initFlags, RwUInt32 resArenaSize);
RwBool RwEngineOpen(RwEngineOpenParams *initParams);
RwBool RwEngineStart(void);
RwBool RwEngineStop(void);
RwBool RwEngineClose(void);
RwBool RwEngineTerm(void);
RwUInt32 RwEngineGetState(void);

// The whole way up for a program that picks no sub-system or video mode:
// init, then `attach` (plug-in registration; may be null), open on
// `displayID`, start. FALSE at the first refusal, with what had succeeded
// undone (the engine is back at idle).
RwBool RwEngineStartUp(const RwMemoryFunctions *memFuncs, RwUInt32 initFlags, RwUInt32 resArenaSize,
                       bool (*attach)(), void *displayID);
// Stop, close and term, all three tried; FALSE if any refused.
RwBool RwEngineShutDown(void);

// Engine plug-ins (module blocks). Allowed between RwEngineInit and
// RwEngineOpen. `initCB`/`termCB` receive (instance, offset, size); the
// open callback returns the instance or null, and runs at RwEngineStart in
// registration order; the close callbacks run in reverse at RwEngineStop.
// The module keeps the returned offset and reaches its block with
// RwEngineGetModuleBlock(offset).
RwInt32 RwEngineRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor initCB,
                               RwPluginObjectDestructor termCB);
RwInt32 RwEngineGetPluginOffset(RwUInt32 pluginID);
RwInt32 RwEngineGetOpenCount(void);
// The engine plug-in registry (sizes of the instance).
RwPluginRegistry *RwEngineGetPluginRegistry(void);

// Sub-systems and video modes.
RwInt32 RwEngineGetNumSubSystems(void);
RwSubSystemInfo *RwEngineGetSubSystemInfo(RwSubSystemInfo *subSystemInfo, RwInt32 subSystemIndex);
RwInt32 RwEngineGetCurrentSubSystem(void);
RwBool RwEngineSetSubSystem(RwInt32 subSystemIndex);
RwInt32 RwEngineGetNumVideoModes(void);
RwVideoModeInfo *RwEngineGetVideoModeInfo(RwVideoModeInfo *modeinfo, RwInt32 modeIndex);
RwInt32 RwEngineGetCurrentVideoMode(void);
RwBool RwEngineSetVideoMode(RwInt32 modeIndex);

#define RwEngineCountSubSystems RwEngineGetNumSubSystems
#define RwEngineDescribeSubSystem RwEngineGetSubSystemInfo
#define RwEngineCurrentSubSystem RwEngineGetCurrentSubSystem
#define RwEngineSelectSubSystem RwEngineSetSubSystem
#define RwEngineCountVideoModes RwEngineGetNumVideoModes
#define RwEngineDescribeVideoMode RwEngineGetVideoModeInfo
#define RwEngineCurrentVideoMode RwEngineGetCurrentVideoMode
#define RwEngineSelectVideoMode RwEngineSetVideoMode

// Sends a numbered request to the device's system function, falling back to
// the defaults for sub-system queries and requests 17 and 18.
RwBool RwDeviceSystemRequest(RwDeviceRecord *device, RwInt32 requestID, void *pOut, void *pInOut,
                             RwInt32 numIn);

// The driver seam. The driver installs these before RwEngineInit:
// - the device-record source hands RwEngineOpen the driver's static
//   RwDeviceRecord (null: open fails with E_RW_NULLP);
// - the attach function runs at RwEngineInit and registers the driver's
//   40-byte raster extension (id 0x40C); without one, the engine registers
//   that extension itself with no callbacks so raster layouts stay the same.
// Tests install a fake device through the same two setters.
typedef const RwDeviceRecord *(*RwDriverDeviceRecordSource)(void);
typedef RwBool (*RwDriverAttachFunction)(void);
void RwDriverSetDeviceRecordSource(RwDriverDeviceRecordSource source);
void RwDriverSetAttach(RwDriverAttachFunction attach);
