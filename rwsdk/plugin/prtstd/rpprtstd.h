// Standard particles: atomics made of emitters. An emitter belongs to an
// emitter class and emits particles of a particle class; classes are flag
// sets that select which properties (blocks of data, laid out by shared
// property tables) the emitter and each particle carry, with callback sets
// that emit, update and retire particles. Particles live in fixed-size
// batches; each emitter draws through its own particle tank, refilled at
// every update. Emitters travel in streams with their class definitions.
#pragma once

#include "rpclump.h"
#include "rpptank.h"
#include "rwtypes.h"

struct RwStream;
struct RwTexture;

static constexpr RwUInt32 rwID_PRTSTDPLUGIN = 0x130;
// Chunk type of property tables and classes in emitter streams.
static constexpr RwUInt32 rwID_PRTSTDGLOBALDATA = 37;
// Format version of the atomic extension this library writes.
static constexpr RwUInt32 rpPRTSTDSTREAMVERSION = 3;

// Emitter class flags.
static constexpr RwUInt32 rpPRTSTDEMITTERDATAFLAGSTANDARD = 0x01;
static constexpr RwUInt32 rpPRTSTDEMITTERDATAFLAGPRTCOLOR = 0x02;
static constexpr RwUInt32 rpPRTSTDEMITTERDATAFLAGPRTTEXCOORDS = 0x04;
static constexpr RwUInt32 rpPRTSTDEMITTERDATAFLAGPRT2DROTATE = 0x08;
static constexpr RwUInt32 rpPRTSTDEMITTERDATAFLAGPRTSIZE = 0x10;
static constexpr RwUInt32 rpPRTSTDEMITTERDATAFLAGPTANK = 0x20;
static constexpr RwUInt32 rpPRTSTDEMITTERDATAFLAGPRTMATRIX = 0x40;

// Particle class flags.
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAGSTANDARD = 0x01;
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAGPOSITION = 0x02;
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAGCOLOR = 0x04;
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAGTEXCOORDS = 0x08;
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAG2DROTATE = 0x10;
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAGSIZE = 0x20;
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAGVELOCITY = 0x40;
static constexpr RwUInt32 rpPRTSTDPARTICLEDATAFLAGMATRIX = 0x80;

// Property ids of emitter data.
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTER = 0;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTERSTANDARD = 1;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTERPRTCOLOR = 2;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTERPRTTEXCOORDS = 3;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTERPRT2DROTATE = 4;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTERPRTSIZE = 5;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTERPTANK = 6;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEEMITTERPRTMATRIX = 8;
// Property ids of particle data.
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLESTANDARD = 0;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLEPOSITION = 1;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLECOLOR = 2;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLETEXCOORDS = 3;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLE2DROTATE = 4;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLESIZE = 5;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLEVELOCITY = 6;
static constexpr RwInt32 rpPRTSTDPROPERTYCODEPARTICLEMATRIX = 7;

// Emitter flags.
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGALIVE = 0x001;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGACTIVE = 0x002;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGPTANK = 0x004;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGEMIT = 0x008;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGUPDATE = 0x010;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGUPDATEPARTICLE = 0x020;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGRENDER = 0x040;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGRENDERPARTICLE = 0x080;
static constexpr RwUInt32 rpPRTSTDEMITTERFLAGSTREAMREAD = 0x200;  // owns its texture

struct RpPrtStdPropertyTable {
    void *allocation;
    RpPrtStdPropertyTable *next;
    RwUInt32 id;
    RwInt32 refCount;
    RwInt32 numProp;
    RwInt32 *propID;
    RwInt32 *propOffset;  // numProp + 1 entries; the last is the total
    RwInt32 *propSize;    // rounded up to a multiple of 4
    RwInt32 *propSizeUA;  // as given
};

struct RpPrtStdEmitter;
struct RpPrtStdParticleBatch;

typedef RpPrtStdEmitter *(*RpPrtStdEmitterCallBack)(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
typedef RpPrtStdParticleBatch *(*RpPrtStdParticleCallBack)(RpPrtStdEmitter *emitter, RpPrtStdParticleBatch *batch,
                                                           void *data);

enum RpPrtStdEmitterCallBackCode : RwInt32 {
    rpPRTSTDEMITTERCALLBACKEMIT = 0,
    rpPRTSTDEMITTERCALLBACKBEGINUPDATE,
    rpPRTSTDEMITTERCALLBACKENDUPDATE,
    rpPRTSTDEMITTERCALLBACKBEGINRENDER,
    rpPRTSTDEMITTERCALLBACKENDRENDER,
    rpPRTSTDEMITTERCALLBACKCREATE,
    rpPRTSTDEMITTERCALLBACKDESTROY,
    rpPRTSTDEMITTERCALLBACKSTREAMREAD,
    rpPRTSTDEMITTERCALLBACKSTREAMWRITE,
    rpPRTSTDEMITTERCALLBACKSTREAMGETSIZE,
    rpPRTSTDEMITTERCALLBACKCLONE,
    rpPRTSTDEMITTERCALLBACKMAX
};

enum RpPrtStdParticleCallBackCode : RwInt32 {
    rpPRTSTDPARTICLECALLBACKUPDATE = 0,
    rpPRTSTDPARTICLECALLBACKRENDER,
    rpPRTSTDPARTICLECALLBACKCREATE,
    rpPRTSTDPARTICLECALLBACKDESTROY,
    rpPRTSTDPARTICLECALLBACKSTREAMREAD,
    rpPRTSTDPARTICLECALLBACKSTREAMWRITE,
    rpPRTSTDPARTICLECALLBACKSTREAMGETSIZE,
    rpPRTSTDPARTICLECALLBACKMAX
};

typedef RpPrtStdEmitterCallBack RpPrtStdEmitterCallBackArray[rpPRTSTDEMITTERCALLBACKMAX];
typedef RpPrtStdParticleCallBack RpPrtStdParticleCallBackArray[rpPRTSTDPARTICLECALLBACKMAX];

struct RpPrtStdEmitterClass {
    RpPrtStdEmitterClass *next;
    RwUInt32 flag;
    RwInt32 refCount;
    RwInt32 objSize;
    RpPrtStdPropertyTable *propTab;
    RwInt32 numCallback;
    RpPrtStdEmitterCallBackArray *callback;
};

struct RpPrtStdParticleClass {
    RpPrtStdParticleClass *next;
    RwUInt32 flag;
    RwInt32 refCount;
    RwInt32 objSize;
    RpPrtStdPropertyTable *propTab;
    RwInt32 numCallback;
    RpPrtStdParticleCallBackArray *callback;
};

// Property 0 of every emitter; the class's other properties follow it.
struct RpPrtStdEmitter {
    RpPrtStdEmitter *next;
    RwUInt32 flag;
    RpAtomic *atomic;
    RpPrtStdEmitterClass *emtClass;
    RwInt32 prtActive;
    RwInt32 prtBatchMaxPrts;
    RpPrtStdParticleClass *prtClass;
    RpPrtStdParticleBatch *inactiveBatch;
    RpPrtStdParticleBatch *activeBatch;
    RwReal boundingSphere;  // squared radius of this update
};

// A batch header; `prtBatchMaxPrts` particles of the class's data follow at `offset`.
struct RpPrtStdParticleBatch {
    RpPrtStdParticleBatch *next;
    RpPrtStdParticleClass *prtClass;
    RwInt32 numPrt;
    RwInt32 maxPrt;
    RwInt32 newPrt;  // index of the first particle in the tank, -1 until placed
    RwInt32 offset;
};

inline RwUInt8 *RpPrtStdParticleBatchGetData(RpPrtStdParticleBatch *batch)
{
    return reinterpret_cast<RwUInt8 *>(batch) + batch->offset;
}

// Emitter property 1.
struct RpPrtStdEmitterStandard {
    RwUInt32 seed;
    RwInt32 maxPrt;
    RwReal currTime;
    RwReal prevTime;  // reserved
    RwV3d force;
    RwV3d emtPos;
    RwV3d emtSize;  // emission position variation
    RwReal emtEmitGap;
    RwReal emtEmitGapVar;
    RwReal emtPrevEmitTime;
    RwReal emtEmitTime;
    RwInt32 emtPrtEmit;
    RwInt32 emtPrtEmitVar;
    RwReal prtInitVel;
    RwReal prtInitVelVar;
    RwReal prtLife;
    RwReal prtLifeVar;
    RwV3d prtInitDir;
    RwV3d prtInitDirVar;
    RwV2d prtSize;
    RwRGBA prtColor;
    RwReal prtDelta2DRotate;  // spin of a constant rotation, radians per second
    RwTexCoords prtUV[2];
    RwUInt32 reserved[4];
    RwTexture *texture;
    RwMatrix *ltm;
};

// Emitter property 2: start, start variation, end, end variation.
struct RpPrtStdEmitterPrtColor {
    RwRGBAReal prtStartCol;
    RwRGBAReal prtStartColVar;
    RwRGBAReal prtEndCol;
    RwRGBAReal prtEndColVar;
};

// Emitter property 3: two corners each for start, start variation, end, end variation.
struct RpPrtStdEmitterPrtTexCoords {
    RwTexCoords prtStartUV[2];
    RwTexCoords prtStartUVVar[2];
    RwTexCoords prtEndUV[2];
    RwTexCoords prtEndUVVar[2];
};

// Emitter property 4.
struct RpPrtStdEmitterPrt2DRotate {
    RwReal prtStart2DRotate;
    RwReal prtStart2DRotateVar;
    RwReal prtEnd2DRotate;
    RwReal prtEnd2DRotateVar;
};

// Emitter property 5.
struct RpPrtStdEmitterPrtSize {
    RwV2d prtStartSize;
    RwV2d prtStartSizeVar;
    RwV2d prtEndSize;
    RwV2d prtEndSizeVar;
};

// Emitter property 8.
struct RpPrtStdEmitterPrtMatrix {
    RwMatrix prtCnsMtx;
    RwV3d prtPosMtxAt;
    RwV3d prtPosMtxAtVar;
    RwV3d prtPosMtxUp;
    RwV3d prtPosMtxUpVar;
    RwInt32 flags;
};

// Emitter property 6: the emitter's tank and where this update writes into it.
struct RpPrtStdEmitterPTank {
    RwUInt32 dataFlags;
    RwUInt32 platFlags;
    RwInt32 numPrt;  // written in this update
    RwInt32 maxPrt;  // of the bound tank
    RwUInt32 updateFlags;
    RwUInt32 emitFlags;  // reserved
    RpAtomic *pTank;
    RwUInt8 **dataInPtrs;  // start of each attribute's locked array
    RwUInt8 **dataOutPtrs;  // where the next particle goes
    RwInt32 *dataStride;
    RwUInt32 srcBlend;
    RwUInt32 dstBlend;
    RwBool vtxAlphaBlend;
};

// Particle property 0.
struct RpPrtStdParticleStandard {
    RwInt32 flag;
    RwReal currTime;
    RwReal endTime;
    RwReal invEndTime;
};

// Particle property 2: start and change over the particle's life.
struct RpPrtStdParticleColor {
    RwRGBAReal startCol;
    RwRGBAReal deltaCol;
};

// Particle property 3.
struct RpPrtStdParticleTexCoords {
    RwTexCoords startUV[2];
    RwTexCoords deltaUV[2];
};

// Particle property 4.
struct RpPrtStdParticle2DRotate {
    RwReal init2DRotate;
    RwReal delta2DRotate;
};

// Particle property 5.
struct RpPrtStdParticleSize {
    RwV2d startSize;
    RwV2d deltaSize;
    RwV2d currSize;
    RwV2d reserved;
};

RwBool RpPrtStdPluginAttach(void);

// Property tables.
RpPrtStdPropertyTable *RpPrtStdPropTabCreate(RwInt32 numProp, const RwInt32 *propID, const RwInt32 *propSize);
RwBool RpPrtStdPropTabDestroy(RpPrtStdPropertyTable *propTab);
RpPrtStdPropertyTable *RpPrtStdPropTabGet(RwUInt32 id);
RwInt32 RpPrtStdPropTabGetPropIndex(const RpPrtStdPropertyTable *propTab, RwInt32 propID);
RwInt32 RpPrtStdPropertyTableGetOffset(const RpPrtStdPropertyTable *propTab, RwInt32 propID);
RpPrtStdPropertyTable *RpPrtStdPropTabStreamRead(RwStream *stream);
RpPrtStdPropertyTable *RpPrtStdPropTabStreamWrite(RpPrtStdPropertyTable *propTab, RwStream *stream);
RwInt32 RpPrtStdPropTabStreamGetSize(const RpPrtStdPropertyTable *propTab);

// Classes.
RpPrtStdEmitterClass *RpPrtStdEmitterClassCreate(RwUInt32 flags);
RwBool RpPrtStdEmitterClassDestroy(RpPrtStdEmitterClass *emtClass);
RpPrtStdParticleClass *RpPrtStdParticleClassCreate(RwUInt32 flags);
RwBool RpPrtStdParticleClassDestroy(RpPrtStdParticleClass *prtClass);
// Replaces a class's callback sets with copies of `count` sets.
RpPrtStdEmitterClass *RpPrtStdEmitterClassSetCallBack(RpPrtStdEmitterClass *emtClass, RwInt32 count,
                                                      const RpPrtStdEmitterCallBackArray *callbacks);
RpPrtStdParticleClass *RpPrtStdParticleClassSetCallBack(RpPrtStdParticleClass *prtClass, RwInt32 count,
                                                        const RpPrtStdParticleCallBackArray *callbacks);
// The standard callback sets.
void RpPrtStdSetEmitterCallBack(RpPrtStdEmitterCallBackArray *callbacks);
void RpPrtStdSetParticleCallBack(RpPrtStdParticleCallBackArray *callbacks);

// Atomics and emitters.
RpAtomic *RpPrtStdAtomicCreate(RpPrtStdEmitterClass *emtClass, void *data);
RpPrtStdEmitter *RpPrtStdAtomicGetEmitter(const RpAtomic *atomic);
RpAtomic *RpPrtStdAtomicAddEmitter(RpAtomic *atomic, RpPrtStdEmitter *emitter);
RpPrtStdEmitter *RpPrtStdEmitterAddEmitter(RpPrtStdEmitter *list, RpPrtStdEmitter *emitter);
RpAtomic *RpPrtStdAtomicUpdate(RpAtomic *atomic, void *data);
RpAtomic *RpPrtStdAtomicRender(RpAtomic *atomic);
RpPrtStdEmitter *RpPrtStdEmitterCreate(RpPrtStdEmitterClass *emtClass);
RwBool RpPrtStdEmitterDestroy(RpPrtStdEmitter *emitter);
RpPrtStdEmitter *RpPrtStdEmitterSetParticleClass(RpPrtStdEmitter *emitter, RpPrtStdParticleClass *prtClass,
                                                 RwInt32 maxPrt);
RpPrtStdEmitter *RpPrtStdEmitterDestroyBatches(RpPrtStdEmitter *emitter);
// A batch for the emitter: a dead one, else a new one.
RpPrtStdParticleBatch *RpPrtStdEmitterNewParticleBatch(RpPrtStdEmitter *emitter);
RpPrtStdEmitter *RpPrtStdEmitterCreatePTank(RpPrtStdEmitter *emitter);
RpPrtStdEmitter *RpPrtStdEmitterAttachPTank(RpPrtStdEmitter *emitter, RpAtomic *pTank);
// The emitter's property data, or null when its class lacks the property.
void *RpPrtStdEmitterGetProperty(RpPrtStdEmitter *emitter, RwInt32 propID);

// Standard callbacks.
RpPrtStdEmitter *RpPrtStdEmitterStdEmitCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdBeginUpdateCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdEndUpdateCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdRenderCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdCreate(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdDestroy(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdClone(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdStreamReadCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdStreamWriteCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdEmitter *RpPrtStdEmitterStdStreamGetSizeCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data);
RpPrtStdParticleBatch *RpPrtStdParticleStdUpdateCB(RpPrtStdEmitter *emitter, RpPrtStdParticleBatch *batch,
                                                   void *data);

// The engine's random numbers for particles: advances the seed and gives r in [-1, 1).
RwReal RpPrtStdRandom(RwUInt32 *seed);

// Streams.
RpPrtStdEmitter *RpPrtStdEmitterStreamRead(RpAtomic *atomic, RwStream *stream);
RpPrtStdEmitter *RpPrtStdEmitterStreamWrite(RpAtomic *atomic, RpPrtStdEmitter *emitter, RwStream *stream);
RpPrtStdEmitter *RpPrtStdEmitterStreamGetSize(RpAtomic *atomic, RpPrtStdEmitter *emitter, RwInt32 *size);
// The format version of the atomic extension being read (0 outside a read).
RwUInt32 RpPrtStdGetStreamVersion(void);
