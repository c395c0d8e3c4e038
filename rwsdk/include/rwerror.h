// The engine's error slot: failing operations record (plug-in id, code)
// here and return null/false/-1; callers read and clear it with RwErrorGet.
#pragma once

#include "rwtypes.h"

struct RwError {
    RwInt32 pluginID;
    RwInt32 errorCode;
};

// Plug-in ids that own private error codes.
static constexpr RwInt32 rwID_COMMON = 0;
static constexpr RwInt32 rwID_CORE = 1;
static constexpr RwInt32 rwID_WORLD = 2;

// Codes common to every module (always stored with plug-in id 0).
static constexpr RwInt32 E_RW_NOERROR = static_cast<RwInt32>(0x80000000u);
static constexpr RwInt32 E_RW_BADENGINESTATE = static_cast<RwInt32>(0x80000001u);
static constexpr RwInt32 E_RW_BADOPEN = static_cast<RwInt32>(0x80000002u);
static constexpr RwInt32 E_RW_BADPARAM = static_cast<RwInt32>(0x80000003u);
static constexpr RwInt32 E_RW_BADVERSION = static_cast<RwInt32>(0x80000004u);
static constexpr RwInt32 E_RW_INVIMAGEDEPTH = static_cast<RwInt32>(0x80000008u);
static constexpr RwInt32 E_RW_INVIMAGEFORMAT = static_cast<RwInt32>(0x80000009u);
static constexpr RwInt32 E_RW_INVIMAGESIZE = static_cast<RwInt32>(0x8000000Au);
static constexpr RwInt32 E_RW_NOMEM = static_cast<RwInt32>(0x80000013u);
static constexpr RwInt32 E_RW_NULLP = static_cast<RwInt32>(0x80000016u);
static constexpr RwInt32 E_RW_PLUGININIT = static_cast<RwInt32>(0x80000017u);
static constexpr RwInt32 E_RW_DEPENDENCY = static_cast<RwInt32>(0x80000018u);
static constexpr RwInt32 E_RW_READ = static_cast<RwInt32>(0x8000001Au);
static constexpr RwInt32 E_RW_WRITE = static_cast<RwInt32>(0x8000001Cu);
static constexpr RwInt32 E_RW_STRINGTRUNCATED = static_cast<RwInt32>(0x8000001Eu);

// Codes private to the core (plug-in id 1) raised by this layer.
static constexpr RwInt32 E_RW_ENDOFSTREAM = 5;
static constexpr RwInt32 E_RW_RESOURCESFULL = 12;
static constexpr RwInt32 E_RW_BADACCESSMODE = 13;
static constexpr RwInt32 E_RW_BADSTREAMTYPE = 14;
static constexpr RwInt32 E_RW_DEVICEREQUEST = 24;

// Stores `error` when the slot holds no error; a common code is stored with
// plug-in id 0. Reports made while the error module is closed are dropped.
RwError *RwErrorSet(RwError *error);

// Copies the slot into `error` and resets the slot to no error.
RwError *RwErrorGet(RwError *error);

// Convenience used by every module: RwErrorSet with (plug-in id, code),
// also handed to the debug-message handler as text.
void RwErrorReport(RwInt32 pluginID, RwInt32 errorCode);
// The same with the report's message argument (a file or texture name, a
// size ...): it goes into the debug message only; the slot keeps the code.
void RwErrorReportDetail(RwInt32 pluginID, RwInt32 errorCode, const RwChar *detail);

// Common code shortcut (plug-in id 0).
inline void RwErrorReportCommon(RwInt32 errorCode) { RwErrorReport(rwID_COMMON, errorCode); }

// What a code is called ("E_RW_READ") and what it means; null for a code
// the engine never reports. Common codes are found whatever the plug-in id.
const RwChar *RwErrorGetName(RwInt32 pluginID, RwInt32 code);
const RwChar *RwErrorGetMessage(RwInt32 pluginID, RwInt32 code);
// Writes "NAME (0xID:0xCODE): meaning[: detail]" into `buffer` (always
// terminated); returns the characters written.
RwInt32 RwErrorFormat(const RwError *error, const RwChar *detail, RwChar *buffer, RwInt32 size);

// Debug messages: every error report reaches the installed handler as
// formatted text, whether or not the slot keeps it. No handler (the
// default) means nothing is shown, as before.
enum RwDebugType : RwInt32 {
    rwNADEBUGTYPE = 0,
    rwDEBUGMESSAGE = 1,  // a note from the engine
    rwDEBUGERROR = 2,    // an error report
};
typedef void (*RwDebugHandler)(RwDebugType type, const RwChar *message);
// Installs `handler` (null removes it); returns the one it replaces.
RwDebugHandler RwDebugSetHandler(RwDebugHandler handler);
// Hands `message` to the handler, when one is installed.
void RwDebugSendMessage(RwDebugType type, const RwChar *message);

// The error module's engine open/close callbacks (module 0x40F).
void *RwErrorModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwErrorModuleClose(void *instance, RwInt32 offset, RwInt32 size);
