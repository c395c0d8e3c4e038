// The engine-wide render-state interface: blending, z-buffering, texturing,
// fog, culling and stencil. The numbers and value meanings are fixed here;
// the device's cache behind them decides what reaches the hardware.
#pragma once

#include "rwtypes.h"

// Core error code: a render state set while no camera is being updated.
static constexpr RwInt32 E_RW_NOCAMERAUPDATE = 16;

enum RwRenderState : RwInt32 {
    rwRENDERSTATENARENDERSTATE = 0,
    rwRENDERSTATETEXTURERASTER = 1,          // raster pointer or null
    rwRENDERSTATETEXTUREADDRESS = 2,         // RwTextureAddressMode, U and V
    rwRENDERSTATETEXTUREADDRESSU = 3,
    rwRENDERSTATETEXTUREADDRESSV = 4,
    rwRENDERSTATETEXTUREPERSPECTIVE = 5,     // boolean
    rwRENDERSTATEZTESTENABLE = 6,            // boolean
    rwRENDERSTATESHADEMODE = 7,              // RwShadeMode
    rwRENDERSTATEZWRITEENABLE = 8,           // boolean
    rwRENDERSTATETEXTUREFILTER = 9,          // RwTextureFilterMode
    rwRENDERSTATESRCBLEND = 10,              // RwBlendFunction
    rwRENDERSTATEDESTBLEND = 11,             // RwBlendFunction
    rwRENDERSTATEVERTEXALPHAENABLE = 12,     // boolean
    rwRENDERSTATEBORDERCOLOR = 13,           // packed colour
    rwRENDERSTATEFOGENABLE = 14,             // boolean
    rwRENDERSTATEFOGCOLOR = 15,              // packed colour
    rwRENDERSTATEFOGTYPE = 16,               // RwFogType
    rwRENDERSTATEFOGDENSITY = 17,            // set: pointer to a float; get: the float's bits
    rwRENDERSTATECULLMODE = 20,              // RwCullMode
    rwRENDERSTATESTENCILENABLE = 21,         // boolean
    rwRENDERSTATESTENCILFAIL = 22,           // RwStencilOperation
    rwRENDERSTATESTENCILZFAIL = 23,
    rwRENDERSTATESTENCILPASS = 24,
    rwRENDERSTATESTENCILFUNCTION = 25,       // RwStencilFunction
    rwRENDERSTATESTENCILFUNCTIONREF = 26,    // integer
    rwRENDERSTATESTENCILFUNCTIONMASK = 27,   // integer
    rwRENDERSTATESTENCILFUNCTIONWRITEMASK = 28,
};

enum RwTextureAddressMode : RwInt32 {
    rwTEXTUREADDRESSNATEXTUREADDRESS = 0,
    rwTEXTUREADDRESSWRAP = 1,
    rwTEXTUREADDRESSMIRROR = 2,
    rwTEXTUREADDRESSCLAMP = 3,
    rwTEXTUREADDRESSBORDER = 4,
};

enum RwShadeMode : RwInt32 {
    rwSHADEMODENASHADEMODE = 0,
    rwSHADEMODEFLAT = 1,
    rwSHADEMODEGOURAUD = 2,
};

enum RwTextureFilterMode : RwInt32 {
    rwFILTERNAFILTERMODE = 0,
    rwFILTERNEAREST = 1,
    rwFILTERLINEAR = 2,
    rwFILTERMIPNEAREST = 3,
    rwFILTERMIPLINEAR = 4,
    rwFILTERLINEARMIPNEAREST = 5,
    rwFILTERLINEARMIPLINEAR = 6,
};

enum RwBlendFunction : RwInt32 {
    rwBLENDNABLEND = 0,
    rwBLENDZERO = 1,
    rwBLENDONE = 2,
    rwBLENDSRCCOLOR = 3,
    rwBLENDINVSRCCOLOR = 4,
    rwBLENDSRCALPHA = 5,
    rwBLENDINVSRCALPHA = 6,
    rwBLENDDESTALPHA = 7,
    rwBLENDINVDESTALPHA = 8,
    rwBLENDDESTCOLOR = 9,
    rwBLENDINVDESTCOLOR = 10,
    rwBLENDSRCALPHASAT = 11,
};

enum RwFogType : RwInt32 {
    rwFOGTYPENAFOGTYPE = 0,
    rwFOGTYPELINEAR = 1,
    rwFOGTYPEEXPONENTIAL = 2,
    rwFOGTYPEEXPONENTIAL2 = 3,
};

enum RwCullMode : RwInt32 {
    rwCULLMODENACULLMODE = 0,
    rwCULLMODECULLNONE = 1,
    rwCULLMODECULLBACK = 2,   // clockwise
    rwCULLMODECULLFRONT = 3,  // counter-clockwise
};

enum RwStencilOperation : RwInt32 {
    rwSTENCILOPERATIONNASTENCILOPERATION = 0,
    rwSTENCILOPERATIONKEEP = 1,
    rwSTENCILOPERATIONZERO = 2,
    rwSTENCILOPERATIONREPLACE = 3,
    rwSTENCILOPERATIONINCRSAT = 4,
    rwSTENCILOPERATIONDECRSAT = 5,
    rwSTENCILOPERATIONINVERT = 6,
    rwSTENCILOPERATIONINCR = 7,
    rwSTENCILOPERATIONDECR = 8,
};

enum RwStencilFunction : RwInt32 {
    rwSTENCILFUNCTIONNASTENCILFUNCTION = 0,
    rwSTENCILFUNCTIONNEVER = 1,
    rwSTENCILFUNCTIONLESS = 2,
    rwSTENCILFUNCTIONEQUAL = 3,
    rwSTENCILFUNCTIONLESSEQUAL = 4,
    rwSTENCILFUNCTIONGREATER = 5,
    rwSTENCILFUNCTIONNOTEQUAL = 6,
    rwSTENCILFUNCTIONGREATEREQUAL = 7,
    rwSTENCILFUNCTIONALWAYS = 8,
};

// Integer values travel in the pointer itself.
inline void *RwRenderStateValue(RwInt64 value) { return reinterpret_cast<void *>(static_cast<intptr_t>(value)); }

// Through the device record's render-state set function; only while a
// camera is being updated (else error 16 and 0).
RwBool RwSetRenderState(RwRenderState state, void *value);
// Through the device record's render-state get function, at any time.
RwBool RwGetRenderState(RwRenderState state, void *value);
