// The pack-aware file layer (see file.h).
#include "app/file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>

#include "app/debug.h"
#include "app/fatal.h"
#include "app/locks.h"
#include "app/memory.h"
#include "app/pack_files.h"
#include "app/path.h"
#include "rwengine.h"

namespace {

bool Reads(const char *mode) { return mode[0] == 'r' && std::strchr(mode, '+') == nullptr; }
bool TextMode(const char *mode) { return std::strchr(mode, 'b') == nullptr; }

zuFile *NewHandle(const char *mode)
{
    auto *file = static_cast<zuFile *>(zuMalloc(sizeof(zuFile)));
    *file = zuFile{nullptr, nullptr, 0, 0, TextMode(mode), false, false};
    return file;
}

// The file on disc, without any report. A file that is there but cannot be
// opened leaves its reason in *unopened.
zuFile *OpenOnDisc(const char *path, const char *mode, std::string *unopened)
{
    const std::string host = ResolveGamePath(path);
    if (host.empty()) {
        return nullptr;
    }
    // Folders are not files, though fopen opens them for reading here.
    struct stat info {};
    const bool there = stat(host.c_str(), &info) == 0;
    if (there && S_ISDIR(info.st_mode)) {
        if (unopened != nullptr) {
            *unopened = "it is a folder";
        }
        return nullptr;
    }
    FILE *fp = std::fopen(host.c_str(), mode);
    if (fp == nullptr) {
        if (there && unopened != nullptr) {
            *unopened = std::strerror(errno);
        }
        return nullptr;
    }
    zuFile *file = NewHandle(mode);
    file->fp = fp;
    return file;
}

// zufopen without any report: the engine probes for files that may not be there.
// A file that is there but cannot be opened leaves its reason in *unopened.
zuFile *OpenQuietly(const char *path, const char *mode, std::string *unopened = nullptr)
{
    if (path == nullptr || mode == nullptr || mode[0] == '\0') {
        return nullptr;
    }
    CSRenderLockGuard lock;
    if (Reads(mode)) {
        uint8_t *copy = nullptr;
        size_t size{};
        if (PackLookupFile(path, &copy, &size)) {
            zuFile *file = NewHandle(mode);
            file->data = copy;
            file->size = size;
            return file;
        }
    }
    return OpenOnDisc(path, mode, unopened);
}

// Whether OpenQuietly(path, "rb") would open the file. A file of the open
// pack is not read for it (a loader asks before it reads, and a picture
// may be asked for twice): only a file on disc is opened and closed.
bool ExistsQuietly(const char *path, std::string *unopened = nullptr)
{
    if (path == nullptr) {
        return false;
    }
    CSRenderLockGuard lock;
    if (PackHoldsFile(path)) {
        return true;
    }
    zuFile *file = OpenOnDisc(path, "rb", unopened);
    zufclose(file);
    return file != nullptr;
}

// One byte, or EOF at the end. A handle is read by one thread at a time, so the
// stream's bytes come without its lock (text is read a byte at a time: the locked
// call was most of a stage load's reading).
int GetByte(zuFile *file)
{
    if (file->fp != nullptr) {
        return getc_unlocked(file->fp);
    }
    if (file->pos >= file->size) {
        file->eof = true;
        return EOF;
    }
    return file->data[file->pos++];
}

// The next byte without taking it, or EOF.
int PeekByte(zuFile *file)
{
    if (file->fp != nullptr) {
        const int c = getc_unlocked(file->fp);
        if (c != EOF) {
            std::ungetc(c, file->fp);
        }
        return c;
    }
    return file->pos < file->size ? file->data[file->pos] : EOF;
}

// One byte with text mode's line ends: a carriage return before a line feed is dropped.
int GetTextByte(zuFile *file)
{
    const int c = GetByte(file);
    if (c == '\r' && file->text && PeekByte(file) == '\n') {
        return GetByte(file);
    }
    return c;
}

// One UTF-16LE unit, or EOF (an odd last byte is dropped).
int GetUnit(zuFile *file)
{
    const int lo = GetByte(file);
    if (lo < 0) {
        return EOF;
    }
    const int hi = GetByte(file);
    return hi < 0 ? EOF : lo | (hi << 8);
}

// Takes the next UTF-16LE unit when it is `unit`; otherwise the file stays where it
// was. A stream's error and end-of-file flags are cleared either way. A stream is put
// back by pushing back what was read: a seek would throw its buffer away, and this
// is asked after every line's carriage return.
bool TakeUnitIf(zuFile *file, int unit)
{
    if (file->fp != nullptr) {
        FILE *fp = file->fp;
        const int lo = getc_unlocked(fp);
        bool taken = false;
        if (lo == (unit & 0xFF)) {
            const int hi = getc_unlocked(fp);
            taken = hi == (unit >> 8);
            if (!taken && hi != EOF) {
                // Two bytes to put back: the one case left to a seek.
                std::clearerr(fp);
                std::fseek(fp, -2, SEEK_CUR);
                return false;
            }
        }
        if (!taken && lo != EOF) {
            std::ungetc(lo, fp);
        }
        std::clearerr(fp);
        return taken;
    }
    if (file->pos + 2 > file->size || (file->data[file->pos] | (file->data[file->pos + 1] << 8)) != unit) {
        return false;
    }
    GetUnit(file);
    return true;
}

void SkipByteOrderMark(zuFile *file)
{
    file->wide = true;
    if (zuftell(file) == 0) {
        TakeUnitIf(file, 0xFEFF);
    }
}

}  // namespace

zuFile *zufopen(const char *path, const char *mode)
{
    std::string unopened;
    zuFile *file = OpenQuietly(path, mode, &unopened);
    if (file == nullptr) {
        if (IsDebugOutputOn()) {  // the spelling looks at the disk
            DebugPrint("zufopen fail: %s\n", MessagePath(path).c_str());
        }
        // A file that is there but refuses to be read is no missing file:
        // the user hears why, and a fatal report of it says so.
        if (!unopened.empty() && Reads(mode)) {
            SayUnreadableFile(path, unopened);
        }
    }
    return file;
}

zuFile *zufopenRequired(const char *path, const char *mode)
{
    zuFile *file = nullptr;
    {
        const RequiredFileRead required(path != nullptr ? path : "");  // the fatal report names it
        file = zufopen(path, mode);
    }
    if (file == nullptr) {
        RaiseFatalError(path != nullptr ? path : "(null)");
    }
    return file;
}

zuFile *zufopenMemory(const void *data, size_t size, const char *mode)
{
    if ((data == nullptr && size != 0) || mode == nullptr || !Reads(mode)) {
        return nullptr;
    }
    zuFile *file = NewHandle(mode);
    file->data = static_cast<uint8_t *>(zuMalloc(size));
    if (size != 0) {
        std::memcpy(file->data, data, size);
    }
    file->size = size;
    return file;
}

bool zufexists(const char *path) { return ExistsQuietly(path); }

char *zufgets(char *buffer, int size, zuFile *file)
{
    if (buffer == nullptr || size <= 0 || file == nullptr) {
        return nullptr;
    }
    if (size == 1) {
        buffer[0] = '\0';
        return nullptr;  // no room for a character: a caller's loop must end
    }
    int stored = 0;
    while (stored < size - 1) {
        const int c = GetTextByte(file);
        if (c < 0) {
            break;
        }
        buffer[stored++] = static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    buffer[stored] = '\0';
    return stored > 0 ? buffer : nullptr;
}

char16_t *zufgetws(char16_t *buffer, int count, zuFile *file)
{
    if (buffer == nullptr || count <= 0 || file == nullptr) {
        return nullptr;
    }
    if (count == 1) {
        buffer[0] = u'\0';
        return nullptr;  // no room for a unit: a caller's loop must end
    }
    if (!file->wide) {
        SkipByteOrderMark(file);
    }
    int stored = 0;
    bool ended = false;
    bool lineFeed = false;
    while (stored < count - 1) {
        int unit = GetUnit(file);
        if (unit < 0) {
            ended = true;
            break;
        }
        if (unit == '\r' && file->text && TakeUnitIf(file, '\n')) {
            unit = '\n';
        }
        buffer[stored++] = static_cast<char16_t>(unit);
        if (unit == '\n') {
            lineFeed = true;
            break;
        }
    }
    if (stored == 0 && ended) {
        buffer[0] = u'\0';
        return nullptr;
    }
    // The last line of a file gets the line feed every other line has,
    // where the caller's buffer has room for it.
    if (ended && !lineFeed && stored < count - 1) {
        buffer[stored++] = u'\n';
    }
    buffer[stored] = u'\0';
    return buffer;
}

bool zufgetwline(zuFile *file, std::u16string *line)
{
    // Lines of up to this many units come in one read; longer ones in
    // pieces, joined here.
    constexpr int kLineUnits = 1024;
    line->clear();
    char16_t buffer[kLineUnits];
    while (zufgetws(buffer, kLineUnits, file) != nullptr) {
        *line += buffer;
        if (!line->empty() && line->back() == u'\n') {
            return true;
        }
    }
    return !line->empty();
}

size_t zufread(void *buffer, size_t size, size_t count, zuFile *file)
{
    if (buffer == nullptr || file == nullptr || size == 0 || count == 0) {
        return 0;
    }
    if (file->text) {
        auto *out = static_cast<uint8_t *>(buffer);
        const size_t total = size * count;
        size_t got = 0;
        for (int c; got < total && (c = GetTextByte(file)) >= 0;) {
            out[got++] = static_cast<uint8_t>(c);
        }
        return got / size;
    }
    if (file->fp != nullptr) {
        return std::fread(buffer, size, count, file->fp);
    }
    const size_t left = file->pos < file->size ? file->size - file->pos : 0;
    size_t items = count;
    if (items > left / size) {
        items = left / size;
        file->eof = true;
    }
    std::memcpy(buffer, file->data + file->pos, items * size);
    file->pos += items * size;
    return items;
}

size_t zufwrite(const void *buffer, size_t size, size_t count, zuFile *file)
{
    return file != nullptr && file->fp != nullptr ? std::fwrite(buffer, size, count, file->fp) : 0;
}

int zufputs(const char *text, zuFile *file)
{
    return file != nullptr && file->fp != nullptr ? std::fputs(text, file->fp) : EOF;
}

int zufprintf(zuFile *file, const char *format, ...)
{
    if (file == nullptr || file->fp == nullptr) {
        return -1;
    }
    va_list args;
    va_start(args, format);
    const int written = std::vfprintf(file->fp, format, args);
    va_end(args);
    return written;
}

int zufseek(zuFile *file, long offset, int origin)
{
    if (file == nullptr) {
        return -1;
    }
    if (file->fp != nullptr) {
        return std::fseek(file->fp, offset, origin);
    }
    long base = 0;
    switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<long>(file->pos); break;
    case SEEK_END: base = static_cast<long>(file->size); break;
    default: return -1;
    }
    if ((offset < 0 && -offset > base)) {
        return -1;
    }
    file->pos = static_cast<size_t>(base + offset);
    file->eof = false;
    return 0;
}

long zuftell(zuFile *file)
{
    if (file == nullptr) {
        return -1;
    }
    return file->fp != nullptr ? std::ftell(file->fp) : static_cast<long>(file->pos);
}

int zufeof(zuFile *file)
{
    if (file == nullptr) {
        return 1;
    }
    return file->fp != nullptr ? std::feof(file->fp) : (file->eof ? 1 : 0);
}

long zufsize(zuFile *file)
{
    if (file == nullptr) {
        return -1;
    }
    if (file->fp == nullptr) {
        return static_cast<long>(file->size);
    }
    struct stat info {};
    return fstat(fileno(file->fp), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

int zufclose(zuFile *file)
{
    if (file == nullptr) {
        return 0;
    }
    CSRenderLockGuard lock;
    int result = 0;
    if (file->fp != nullptr) {
        result = std::fclose(file->fp);
    }
    zuFree(file->data);
    zuFree(file);
    return result;
}

bool zufReadAll(const char *path, std::vector<uint8_t> *bytes)
{
    zuFile *file = zufopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    const long size = zufsize(file);
    bool ok = size >= 0;
    if (ok) {
        bytes->resize(static_cast<size_t>(size));
        ok = zufread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    }
    if (!ok) {
        const std::string why = file->fp != nullptr && std::ferror(file->fp) ? std::strerror(errno)
                                                                             : "the read stopped short";
        SayUnreadableFile(path, why);
    }
    zufclose(file);
    return ok;
}

// The engine's file functions over this layer.
namespace {

zuFile *Handle(void *fp) { return static_cast<zuFile *>(fp); }

// The engine asks before it reads a file (a picture, a model): a folder or
// an unreadable file in the file's place is named, as zufopen names it; the
// engine goes on as for a missing file.
RwBool EngineExists(const RwChar *name)
{
    std::string unopened;
    if (!ExistsQuietly(name, &unopened)) {
        SayUnreadableFile(name, unopened);
        return FALSE;
    }
    return TRUE;
}
void *EngineOpen(const RwChar *name, const RwChar *access) { return OpenQuietly(name, access); }
int EngineClose(void *fp) { return zufclose(Handle(fp)); }
size_t EngineRead(void *addr, size_t size, size_t count, void *fp) { return zufread(addr, size, count, Handle(fp)); }
size_t EngineWrite(const void *addr, size_t size, size_t count, void *fp)
{
    return zufwrite(addr, size, count, Handle(fp));
}
RwChar *EngineGets(RwChar *buffer, int maxLen, void *fp) { return zufgets(buffer, maxLen, Handle(fp)); }
int EnginePuts(const RwChar *buffer, void *fp) { return zufputs(buffer, Handle(fp)); }
int EngineEof(void *fp) { return zufeof(Handle(fp)); }
int EngineSeek(void *fp, long offset, int origin) { return zufseek(Handle(fp), offset, origin); }
int EngineFlush(void *fp)
{
    zuFile *file = Handle(fp);
    return file != nullptr && file->fp != nullptr ? std::fflush(file->fp) : 0;
}
long EngineTell(void *fp) { return zuftell(Handle(fp)); }

}  // namespace

void zuInstallEngineFileFunctions()
{
    RwFileFunctions &files = RwEngineInst->fileFuncs;
    files.rwfexist = EngineExists;
    files.rwfopen = EngineOpen;
    files.rwfclose = EngineClose;
    files.rwfread = EngineRead;
    files.rwfwrite = EngineWrite;
    files.rwfgets = EngineGets;
    files.rwfputs = EnginePuts;
    files.rwfeof = EngineEof;
    files.rwfseek = EngineSeek;
    files.rwfflush = EngineFlush;
    files.rwftell = EngineTell;
}
