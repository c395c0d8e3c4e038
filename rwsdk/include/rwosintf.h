// The C-library glue kept in the engine instance: file and string function
// tables, and the mapping of the game's paths onto this file system.
#pragma once

#include <cstdarg>
#include "rwtypes.h"

struct RwFileFunctions {
    RwBool (*rwfexist)(const RwChar *name);
    void *(*rwfopen)(const RwChar *name, const RwChar *access);
    int (*rwfclose)(void *fptr);
    size_t (*rwfread)(void *addr, size_t size, size_t count, void *fptr);
    size_t (*rwfwrite)(const void *addr, size_t size, size_t count, void *fptr);
    RwChar *(*rwfgets)(RwChar *buffer, int maxLen, void *fptr);
    int (*rwfputs)(const RwChar *buffer, void *fptr);
    int (*rwfeof)(void *fptr);
    int (*rwfseek)(void *fptr, long offset, int origin);
    int (*rwfflush)(void *fptr);
    long (*rwftell)(void *fptr);
};

struct RwStringFunctions {
    int (*vecSprintf)(RwChar *buffer, const RwChar *format, ...);
    int (*vecVsprintf)(RwChar *buffer, const RwChar *format, va_list argptr);
    RwChar *(*vecStrcpy)(RwChar *dst, const RwChar *src);
    RwChar *(*vecStrncpy)(RwChar *dst, const RwChar *src, size_t n);
    RwChar *(*vecStrcat)(RwChar *dst, const RwChar *src);
    RwChar *(*vecStrncat)(RwChar *dst, const RwChar *src, size_t n);
    RwChar *(*vecStrrchr)(const RwChar *string, int findThis);
    RwChar *(*vecStrchr)(const RwChar *string, int findThis);
    RwChar *(*vecStrstr)(const RwChar *string, const RwChar *findThis);
    int (*vecStrcmp)(const RwChar *string1, const RwChar *string2);
    int (*vecStrncmp)(const RwChar *string1, const RwChar *string2, size_t n);
    int (*vecStricmp)(const RwChar *string1, const RwChar *string2);
    size_t (*vecStrlen)(const RwChar *string);
    RwChar *(*vecStrUpr)(RwChar *string);
    RwChar *(*vecStrLwr)(RwChar *string);
    RwChar *(*vecStrtok)(RwChar *string, const RwChar *delimit);
    int (*vecSscanf)(const RwChar *buffer, const RwChar *format, ...);
};

// File module (RwEngineInit / RwEngineTerm). Fills the instance's slots.
RwBool RwFileFunctionsOpen(void);
void RwFileFunctionsClose(void);
RwBool RwFileExists(const RwChar *name);

// String module (RwEngineInit / RwEngineTerm).
RwBool RwStringFunctionsOpen(void);
void RwStringFunctionsClose(void);
int RwStringCompareNoCase(const RwChar *a, const RwChar *b);
RwChar *RwStringToUpper(RwChar *s);
RwChar *RwStringToLower(RwChar *s);
RwChar *RwStringFindChar(const RwChar *s, int c);
RwChar *RwStringFindLastChar(const RwChar *s, int c);

// True for "\..." and "/..." and for a drive letter followed by a colon.
RwBool RwPathIsAbsolute(const RwChar *path);

// Path mapping. Game paths use backslashes and any letter case; the data is
// stored with upper-case 8.3 names. Relative paths resolve against the data
// root (default: the working directory), each component matched ignoring
// case; components that do not exist are kept as written (new files).
void RwOsSetDataRoot(const RwChar *root);
const RwChar *RwOsGetDataRoot(void);
// Writes the host path for `path` into `out`; false when it does not fit.
RwBool RwOsResolvePath(const RwChar *path, RwChar *out, size_t outSize);
