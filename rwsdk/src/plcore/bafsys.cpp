// The file module: fills the instance's file-function slots at RwEngineInit.
#include "os/win/osintf.h"
#include "rwengine.h"

RwBool RwFileFunctionsOpen(void)
{
    RwOsGetFileFunctions(&RwEngineInst->fileFuncs);
    return TRUE;
}

// The C library keeps nothing for the engine, so there is nothing to release.
void RwFileFunctionsClose(void) {}

RwBool RwFileExists(const RwChar *name) { return RwEngineInst->fileFuncs.rwfexist(name); }
