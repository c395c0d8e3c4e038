// Frames: nodes of a transform hierarchy with a modelling matrix relative
// to the parent and a lazily synchronised local-to-world matrix (LTM);
// objects that hang on frames (cameras, lights, atomics); the frame list
// chunk that carries a hierarchy in streams.
//
// Changing a frame only stores the change and marks its hierarchy dirty;
// RwFrameGetLTM brings one hierarchy's matrices up to date, and
// RwFrameSyncDirty (run at camera begin-update) brings every dirty
// hierarchy up to date and tells the attached objects that they moved.
#pragma once

#include "rwmatrix.h"
#include "rwplugin.h"
#include "rwtypes.h"

struct RwStream;

static constexpr RwUInt8 rwFRAME = 0;  // object type byte of a frame

// Synchronisation bits of a frame's privateFlags.
static constexpr RwUInt8 rwFRAMEPRIVATEHIERARCHYSYNCLTM = 0x01;  // on a root: some LTM is stale
static constexpr RwUInt8 rwFRAMEPRIVATEHIERARCHYSYNCOBJ = 0x02;  // on a root: some object must be told
static constexpr RwUInt8 rwFRAMEPRIVATESUBTREESYNCLTM = 0x04;    // this subtree's LTMs are stale
static constexpr RwUInt8 rwFRAMEPRIVATESUBTREESYNCOBJ = 0x08;    // this subtree's objects must be told
static constexpr RwUInt8 rwFRAMEPRIVATEHIERARCHYSYNC = 0x03;
static constexpr RwUInt8 rwFRAMEPRIVATESUBTREESYNC = 0x0C;

struct RwFrame {
    RwObject object;  // type 0; object.parent is the parent frame
    RwLLLink inDirtyListLink;
    RwMatrix modelling;
    RwMatrix ltm;
    RwLinkList objectList;  // RwFramedObject::lFrame links, newest first
    RwFrame *child;
    RwFrame *next;
    RwFrame *root;
};

inline RwFrame *RwFrameGetParent(const RwFrame *frame) { return static_cast<RwFrame *>(frame->object.parent); }
inline RwMatrix *RwFrameGetMatrix(RwFrame *frame) { return &frame->modelling; }

// The head shared by every object that hangs on a frame. object.parent is
// the owning frame; `sync` is called by RwFrameSyncDirty when it moved.
struct RwFramedObject;
typedef RwFramedObject *(*RwFramedObjectSyncCallBack)(RwFramedObject *object);

struct RwFramedObject {
    RwObject object;
    RwLLLink lFrame;
    RwFramedObjectSyncCallBack sync;
};

inline RwFrame *RwFramedObjectGetFrame(const RwFramedObject *object)
{
    return static_cast<RwFrame *>(object->object.parent);
}
// Moves the object onto `frame` (null: onto no frame) and marks the new
// frame dirty so the object is synchronised.
RwFramedObject *RwFramedObjectSetFrame(RwFramedObject *object, RwFrame *frame);
// Takes the object off its frame, if it has one.
RwFramedObject *RwFramedObjectUnlinkFrame(RwFramedObject *object);

typedef RwFrame *(*RwFrameCallBack)(RwFrame *frame, void *data);
typedef RwFramedObject *(*RwFramedObjectCallBack)(RwFramedObject *object, void *data);

RwFrame *RwFrameCreate(void);
RwFrame *RwFrameInit(RwFrame *frame);
RwBool RwFrameDestroy(RwFrame *frame);
RwBool RwFrameDestroyHierarchy(RwFrame *frame);
RwFrame *RwFrameAddChild(RwFrame *parent, RwFrame *child);
// Detaches `frame` from its parent, making it the root of its own subtree.
RwFrame *RwFrameRemoveChild(RwFrame *frame);
RwFrame *RwFrameCloneHierarchy(RwFrame *root);
RwFrame *RwFramePurgeClone(RwFrame *frame);
RwFrame *RwFrameGetRoot(const RwFrame *frame);
RwUInt32 RwFrameIsDirty(const RwFrame *frame);
RwFrame *RwFrameMarkDirty(RwFrame *frame);
RwMatrix *RwFrameGetLTM(RwFrame *frame);
RwFrame *RwFrameTranslate(RwFrame *frame, const RwV3d *offset, RwOpCombineType combine);
RwFrame *RwFrameRotate(RwFrame *frame, const RwV3d *axis, RwReal angleDegrees, RwOpCombineType combine);
RwFrame *RwFrameTransform(RwFrame *frame, const RwMatrix *matrix, RwOpCombineType combine);
void RwFrameSetIdentity(RwFrame *frame);
RwFrame *RwFrameForAllChildren(RwFrame *frame, RwFrameCallBack callback, void *data);
RwFrame *RwFrameForAllObjects(RwFrame *frame, RwFramedObjectCallBack callback, void *data);
RwInt32 RwFrameCount(RwFrame *frame);  // the frame and all its descendants
RwBool RwFrameSyncDirty(void);

// Plug-in extensions of frames.
RwInt32 RwFrameRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RwFrameRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB,
                                    RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RwFrameGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RwFrameGetPluginRegistry(void);

// A flat array of the frames of one hierarchy, parents before children,
// as it travels in streams. The array comes from the engine's allocator.
struct RwFrameList {
    RwFrame **frames;
    RwInt32 numFrames;
};

static constexpr RwUInt32 rwID_FRAMELIST = 0x0E;

// Reads the struct and extension chunks of a frame-list chunk. On any
// failure every frame made so far is destroyed and null is returned.
RwFrameList *RwFrameListStreamRead(RwStream *stream, RwFrameList *frameList);
RwFrameList *RwFrameListDeinit(RwFrameList *frameList);
// Fills the list with `root` and its descendants in an order that a reader
// rebuilds into the same hierarchy with the same child order.
RwFrameList *RwFrameListInitialize(RwFrameList *frameList, RwFrame *root);
RwInt32 RwFrameListFindFrame(const RwFrameList *frameList, const RwFrame *frame);
// Writes a whole frame-list chunk (type 0x0E): struct and extensions.
const RwFrameList *RwFrameListStreamWrite(const RwFrameList *frameList, RwStream *stream);
RwUInt32 RwFrameListStreamGetSize(const RwFrameList *frameList);
