// The C-library glue's default tables, installed into the engine instance by
// the file and string modules.
#pragma once

#include "rwosintf.h"

void RwOsGetFileFunctions(RwFileFunctions *funcs);
void RwOsGetStringFunctions(RwStringFunctions *funcs);
