// The error slot: the first error reported since the last RwErrorGet is
// kept in the error module's block; later reports are dropped until read.
// Every report is also handed to the debug-message handler as text.
#include "rwengine.h"
#include "src/bacoremodules.h"

const RwInt32 rwErrorModuleBlockSize = static_cast<RwInt32>(sizeof(RwError));
RwInt32 rwErrorModuleOffset = -1;
static RwInt32 errorModuleOpenCount = 0;

static RwError *ErrorSlot(void)
{
    if (errorModuleOpenCount == 0 || rwErrorModuleOffset < 0 || RwEngineInst == nullptr) {
        return nullptr;
    }
    return static_cast<RwError *>(RwEngineGetModuleBlock(rwErrorModuleOffset));
}

void *RwErrorModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    rwErrorModuleOffset = offset;
    RwError *slot = reinterpret_cast<RwError *>(static_cast<RwUInt8 *>(instance) + offset);
    slot->pluginID = rwID_COMMON;
    slot->errorCode = E_RW_NOERROR;
    ++errorModuleOpenCount;
    return instance;
}

void *RwErrorModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)offset;
    (void)size;
    if (errorModuleOpenCount > 0) {
        --errorModuleOpenCount;
    }
    return instance;
}

RwError *RwErrorSet(RwError *error)
{
    RwError *slot = ErrorSlot();
    if (slot != nullptr && error != nullptr && slot->errorCode == E_RW_NOERROR) {
        // Common codes belong to no module, whoever reported them.
        slot->pluginID = (error->errorCode & E_RW_NOERROR) ? rwID_COMMON : error->pluginID;
        slot->errorCode = error->errorCode;
    }
    return error;
}

RwError *RwErrorGet(RwError *error)
{
    RwError *slot = ErrorSlot();
    if (error == nullptr) {
        return nullptr;
    }
    if (slot == nullptr) {
        error->pluginID = rwID_COMMON;
        error->errorCode = E_RW_NOERROR;
        return error;
    }
    *error = *slot;
    slot->pluginID = rwID_COMMON;
    slot->errorCode = E_RW_NOERROR;
    return error;
}

static RwDebugHandler debugHandler = nullptr;

RwDebugHandler RwDebugSetHandler(RwDebugHandler handler)
{
    RwDebugHandler previous = debugHandler;
    debugHandler = handler;
    return previous;
}

void RwDebugSendMessage(RwDebugType type, const RwChar *message)
{
    if (debugHandler != nullptr && message != nullptr) {
        debugHandler(type, message);
    }
}

void RwErrorReportDetail(RwInt32 pluginID, RwInt32 errorCode, const RwChar *detail)
{
    RwError error{pluginID, errorCode};
    if (debugHandler != nullptr) {
        RwChar text[512];
        RwErrorFormat(&error, detail, text, static_cast<RwInt32>(sizeof(text)));
        debugHandler(rwDEBUGERROR, text);
    }
    RwErrorSet(&error);
}

void RwErrorReport(RwInt32 pluginID, RwInt32 errorCode) { RwErrorReportDetail(pluginID, errorCode, nullptr); }
