// The pack-aware file layer. zufopen takes a file out of the open pack when
// the mode reads and the pack holds the path (matched from its "\RESOURCE"
// folder on, ignoring case), else opens it on disk through the shared path
// resolver. Opening is quiet: a file that cannot be opened gives null and
// the diagnostic "zufopen fail: <path>\n"; a loader that cannot do without
// its file uses zufopenRequired, which raises the fatal report as well. A
// file that is there but cannot be read is no missing file: the user is
// told why ("cannot read <path>: Permission denied") and a fatal report of
// it says so (NoteUnreadableFile).
//
// Text mode ("r" without "b") reads a carriage return before a line feed
// as nothing, as the game's platform always did; binary mode reads the
// bytes as stored. Opens and closes run under the render lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct zuFile {
    FILE *fp;          // the plain file; null for a file read out of a pack
    uint8_t *data;     // the copy read out of the pack (owned), else null
    size_t size;       // bytes of the copy
    size_t pos;        // read cursor in the copy
    bool text;         // opened in text mode
    bool wide;         // zufgetws has looked for the byte-order mark
    bool eof;          // a read met the end of the copy
};

zuFile *zufopen(const char *path, const char *mode);
// zufopen, and the fatal report naming `path` when it gives null.
zuFile *zufopenRequired(const char *path, const char *mode);
// A read-only file over a copy of `size` bytes (tests, data already read).
zuFile *zufopenMemory(const void *data, size_t size, const char *mode);
// True when zufopen(path, "rb") would succeed; says nothing either way.
bool zufexists(const char *path);

// Reads one line of at most size - 1 bytes, its line feed included, and
// ends it with a zero. Null at the end of the file (and when size < 2).
char *zufgets(char *buffer, int size, zuFile *file);
// Reads one UTF-16LE line (a byte-order mark at the start of the file is
// skipped) of at most count - 1 units, zero-terminated. The line keeps its
// line feed; a last line without one gets one appended when it fits. Never
// writes past `count` units. Null at the end of the file (and when count < 2).
char16_t *zufgetws(char16_t *buffer, int count, zuFile *file);
// The next whole UTF-16LE line however long, read through zufgetws, its
// line feed kept (appended to a last line without one). False at the end
// of the file.
bool zufgetwline(zuFile *file, std::u16string *line);

size_t zufread(void *buffer, size_t size, size_t count, zuFile *file);
size_t zufwrite(const void *buffer, size_t size, size_t count, zuFile *file);
int zufputs(const char *text, zuFile *file);
int zufprintf(zuFile *file, const char *format, ...) __attribute__((format(printf, 2, 3)));
int zufseek(zuFile *file, long offset, int origin);
long zuftell(zuFile *file);
int zufeof(zuFile *file);
// The file's length in bytes, or -1.
long zufsize(zuFile *file);
// Closes the plain file or frees the packed copy, then the handle. Null
// is allowed.
int zufclose(zuFile *file);

// Reads the whole file through zufopen (quiet, with zufopen's diagnostic);
// false when it cannot be opened or read (a read that fails is reported
// and noted as zufopen does).
bool zufReadAll(const char *path, std::vector<uint8_t> *bytes);

// Points the engine's file functions (RwStreamOpen on a file name, image
// and texture reads, RwFileExists) at this layer, so that the engine finds
// files in the open pack too. After RwEngineInit, before the engine opens.
void zuInstallEngineFileFunctions();
