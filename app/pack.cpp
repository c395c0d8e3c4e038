// The open pack (see pack.h): its list and stream, its records found by
// zufopen, and its dictionary's textures lent to the current dictionary.
#include "app/pack.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/debug.h"
#include "app/fatal.h"
#include "app/language.h"
#include "app/locks.h"
#include "app/memory.h"
#include "app/pack_files.h"
#include "app/pack_index.h"
#include "app/path.h"
#include "rtpitexd.h"
#include "rwstream.h"

namespace {

struct OpenPack {
    bool open = false;
    std::string strPath;                   // as found (localised or not)
    PackIndex index;
    FILE *stream = nullptr;                // the `.STR` on disc, or
    const RawFileBuffer *memory = nullptr; // the `.STR` in memory
    RwTexDictionary *joined = nullptr;     // the dictionary the textures joined
    RwTexDictionary *own = nullptr;        // the pack's own, when none was current
    std::vector<RwTexture *> textures;     // each holding one reference of the pack's
};

OpenPack pack;

// Where the "PACK" folder of `path` starts (its leading slash), or npos.
size_t FindPackFolder(const char *path)
{
    const size_t length = std::strlen(path);
    for (size_t i = DataRootPrefixLength(path); i + 5 <= length; ++i) {
        if (IsGamePathSlash(path[i]) && GamePathUpper(path[i + 1]) == 'P' && GamePathUpper(path[i + 2]) == 'A' &&
            GamePathUpper(path[i + 3]) == 'C' && GamePathUpper(path[i + 4]) == 'K' &&
            (i + 5 == length || IsGamePathSlash(path[i + 5]))) {
            return i;
        }
    }
    return std::string::npos;
}

std::string ListPathOf(const std::string &strPath)
{
    const size_t dot = strPath.find_last_of('.');
    const size_t slash = strPath.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return strPath + ".LST";
    }
    return strPath.substr(0, dot) + ".LST";
}

// The file's bytes; false when it cannot be read, with the reason in *why
// when it is there all the same.
bool ReadHostFile(const std::string &gamePath, std::vector<char> *bytes, std::string *why)
{
    const std::string host = ResolveGamePath(gamePath.c_str());
    FILE *fp = std::fopen(host.c_str(), "rb");
    if (fp == nullptr) {
        struct stat info {};
        if (stat(host.c_str(), &info) == 0) {
            *why = std::strerror(errno);
        }
        return false;
    }
    bytes->clear();
    char buffer[16384];
    for (size_t got; (got = std::fread(buffer, 1, sizeof(buffer), fp)) > 0;) {
        bytes->insert(bytes->end(), buffer, buffer + got);
    }
    const bool ok = std::ferror(fp) == 0;
    if (!ok) {
        *why = std::strerror(errno);
    }
    std::fclose(fp);
    return ok;
}

bool HostFileExists(const std::string &gamePath)
{
    struct stat info {};
    return stat(ResolveGamePath(gamePath.c_str()).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The pack's `.STR` path in the language's folder when that folder has the
// pack's list, else as given ("\PACK").
std::string FoundPackPath(const char *strPath)
{
    std::vector<char> buffer(std::strlen(strPath) + 64);
    if (zuLocalisePackPath(strPath, buffer.data(), buffer.size()) && HostFileExists(ListPathOf(buffer.data()))) {
        return buffer.data();
    }
    return strPath;
}

bool ReadStream(void *context, uint64_t offset, void *buffer, size_t size)
{
    auto *open = static_cast<OpenPack *>(context);
    if (open->memory != nullptr) {
        if (offset > open->memory->fileSize || size > open->memory->fileSize - offset) {
            return false;
        }
        std::memcpy(buffer, open->memory->buffer + offset, size);
        return true;
    }
    return fseeko(open->stream, static_cast<off_t>(offset), SEEK_SET) == 0 &&
           std::fread(buffer, 1, size, open->stream) == size;
}

uint64_t StreamSize(OpenPack *open)
{
    if (open->memory != nullptr) {
        return open->memory->fileSize;
    }
    if (fseeko(open->stream, 0, SEEK_END) != 0) {
        return 0;
    }
    const off_t size = ftello(open->stream);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
}

RwTexture *CollectTexture(RwTexture *texture, void *data)
{
    static_cast<std::vector<RwTexture *> *>(data)->push_back(texture);
    return texture;
}

// Reads the dictionary chunk's body; every texture it lists must come, or
// the pack is refused. Null for a dictionary without textures.
bool ReadDictionary(OpenPack *open, RwTexDictionary **dictionary, std::string *error)
{
    *dictionary = nullptr;
    if (open->index.dictionaryLength < 4) {
        *error = "the texture dictionary is shorter than its head";
        return false;
    }
    std::vector<uint8_t> body(open->index.dictionaryLength);
    if (!ReadStream(open, open->index.dictionaryOffset, body.data(), body.size())) {
        *error = "the texture dictionary cannot be read";
        return false;
    }
    const unsigned listed = body[0] | (body[1] << 8);
    if (listed == 0) {
        return true;
    }
    RwMemoryDescriptor memory{body.data(), static_cast<RwUInt32>(body.size())};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &memory);
    if (stream == nullptr) {
        *error = "the texture dictionary cannot be read (no engine)";
        return false;
    }
    *dictionary = RtPITexDStreamRead(stream);
    RwStreamClose(stream, nullptr);
    std::vector<RwTexture *> textures;
    if (*dictionary != nullptr) {
        RwTexDictionaryForAllTextures(*dictionary, CollectTexture, &textures);
    }
    if (textures.size() != listed) {
        if (*dictionary != nullptr) {
            RwTexDictionaryDestroy(*dictionary);
            *dictionary = nullptr;
        }
        *error = "the texture dictionary lists " + std::to_string(listed) + " textures and " +
                 std::to_string(textures.size()) + " could be read";
        return false;
    }
    return true;
}

// The pack's textures join the current dictionary (or stay in their own
// when none is current); the pack keeps one reference of each.
void InstallTextures(OpenPack *open, RwTexDictionary *dictionary)
{
    if (dictionary == nullptr) {
        return;
    }
    RwTexDictionaryForAllTextures(dictionary, CollectTexture, &open->textures);
    RwTexDictionary *current = RwTexDictionaryGetCurrent();
    for (RwTexture *texture : open->textures) {
        texture->refCount += 1;
        if (current != nullptr) {
            RwTexDictionaryAddTexture(current, texture);
        }
    }
    if (current != nullptr) {
        RwTexDictionaryDestroy(dictionary);
        open->joined = current;
    } else {
        open->own = dictionary;
        open->joined = dictionary;
    }
}

void ReleaseTextures(OpenPack *open)
{
    for (RwTexture *texture : open->textures) {
        if (texture->dict == open->joined) {
            // The dictionary's reference goes with it.
            RwTextureRemoveFromDictionary(texture);
            RwTextureDestroy(texture);
        }
        RwTextureDestroy(texture);
    }
    open->textures.clear();
    if (open->own != nullptr) {
        RwTexDictionaryDestroy(open->own);
    }
    open->own = nullptr;
    open->joined = nullptr;
}

// Gives up on `open` after its diagnostic; the file to name in the fatal
// report goes to *fatal.
bool Refuse(OpenPack *open, const std::string &what, const std::string &why, std::string *fatal)
{
    SayUnreadableFile(what.c_str(), why);
    if (open->stream != nullptr) {
        std::fclose(open->stream);
    }
    *open = OpenPack{};
    *fatal = what;
    return false;
}

// Opens the pack under the render lock; on a refusal *fatal names the file.
bool OpenLocked(const char *strPath, const RawFileBuffer *memory, bool quiet, std::string *fatal)
{
    CSRenderLockGuard lock;
    const std::string path = FoundPackPath(strPath);
    const std::string listPath = ListPathOf(path);
    // A refused pack is named once: by the fatal report, or (quiet) by its refusal.
    std::optional<RequiredFileRead> requiredStream;
    std::optional<RequiredFileRead> requiredList;
    if (!quiet) {
        requiredStream.emplace(path);
        requiredList.emplace(listPath);
    }
    std::vector<char> list;
    std::string unread;
    if (!ReadHostFile(listPath, &list, &unread)) {
        if (unread.empty()) {
            DebugPrint("We DONT have LST file!!!(%s)\n", MessagePath(listPath).c_str());
        } else {
            SayUnreadableFile(listPath.c_str(), unread);
        }
        *fatal = listPath;
        return false;
    }

    OpenPack open;
    open.strPath = path;
    open.memory = memory;
    if (memory == nullptr) {
        open.stream = std::fopen(ResolveGamePath(path.c_str()).c_str(), "rb");
        if (open.stream == nullptr) {
            return Refuse(&open, path, std::string("the stream cannot be opened: ") + std::strerror(errno), fatal);
        }
    } else if (memory->buffer == nullptr && memory->fileSize != 0) {
        return Refuse(&open, path, "the stream's memory is missing", fatal);
    }
    std::string error;
    if (!PackIndexBuildFrom(list.data(), list.size(), ReadStream, &open, StreamSize(&open), &open.index, &error)) {
        // A list that cannot be read as a list is named itself.
        return Refuse(&open, PackIndexErrorIsTheLists(error) ? listPath : path, error, fatal);
    }
    RwTexDictionary *dictionary = nullptr;
    if (!ReadDictionary(&open, &dictionary, &error)) {
        return Refuse(&open, path, error, fatal);
    }
    InstallTextures(&open, dictionary);
    open.open = true;
    pack = std::move(open);
    return true;
}

bool Open(const char *strPath, const RawFileBuffer *memory, bool quiet = false)
{
    PackOpenHook();
    zuClosePack();
    if (strPath == nullptr) {
        return false;
    }
    std::string fatal;
    if (OpenLocked(strPath, memory, quiet, &fatal)) {
        return true;
    }
    // Raised without the render lock: the message box may wait for the player.
    if (!quiet) {
        RaiseFatalError(fatal.c_str());
    }
    return false;
}

}  // namespace

bool PackOpenHook() { return false; }

bool zuLocalisePackPath(const char *in, char *out, size_t outSize)
{
    if (in == nullptr || out == nullptr || outSize == 0) {
        return false;
    }
    std::string result = in;
    const size_t at = FindPackFolder(in);
    if (at != std::string::npos) {
        result = std::string(in, at) + GetLanguagePackFolder(GetLanguageIndex()) + std::string(in + at + 5);
    }
    if (result.size() + 1 > outSize) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, result.c_str(), result.size() + 1);
    return true;
}

void zuTracePackPath(const char *path)
{
    char scratch[512];
    zuLocalisePackPath(path, scratch, sizeof(scratch));
}

bool zuOpenPack(const char *strPath) { return Open(strPath, nullptr); }

bool zuPackExists(const char *strPath)
{
    return strPath != nullptr && HostFileExists(ListPathOf(FoundPackPath(strPath)));
}

bool zuOpenPackMemory(const char *strPath, const RawFileBuffer *memory)
{
    if (memory == nullptr) {
        return false;
    }
    return Open(strPath, memory);
}

bool zuTryOpenPack(const char *strPath, const RawFileBuffer *memory) { return Open(strPath, memory, true); }

// A pack that is not open is the empty record: closing it releases nothing.
void zuClosePack()
{
    CSRenderLockGuard lock;
    ReleaseTextures(&pack);
    if (pack.stream != nullptr) {
        std::fclose(pack.stream);
    }
    pack = OpenPack{};
}

void zuClosePackMemory(const RawFileBuffer *memory)
{
    CSRenderLockGuard lock;
    if (pack.open && memory != nullptr && pack.memory == memory) {
        zuClosePack();
    }
}

bool zuIsPackOpen() { return pack.open; }

const char *zuGetOpenPackPath() { return pack.open ? pack.strPath.c_str() : ""; }

namespace {

// The open pack's record of `path`, or null.
const PackRecord *FindRecord(const char *path)
{
    if (!pack.open || path == nullptr) {
        return nullptr;
    }
    const std::string name = ResourceRelativePath(path);
    return name.empty() ? nullptr : PackIndexFind(pack.index, name.c_str());
}

}  // namespace

bool PackHoldsFile(const char *path)
{
    CSRenderLockGuard lock;
    const PackRecord *record = FindRecord(path);
    if (record == nullptr) {
        return false;
    }
    if (pack.memory != nullptr || record->size == 0) {
        return true;  // nothing to read, or the bytes the index was built over
    }
    // A stream on disc was checked at open; it could only have shrunk since.
    struct stat info {};
    return fstat(fileno(pack.stream), &info) == 0 && static_cast<uint64_t>(info.st_size) >= record->dataOffset &&
           static_cast<uint64_t>(info.st_size) - record->dataOffset >= record->size;
}

bool PackLookupFile(const char *path, uint8_t **copy, size_t *size)
{
    CSRenderLockGuard lock;
    const PackRecord *record = FindRecord(path);
    if (record == nullptr) {
        return false;
    }
    auto *bytes = static_cast<uint8_t *>(zuMalloc(record->size));
    if (record->size != 0 && !ReadStream(&pack, record->dataOffset, bytes, record->size)) {
        zuFree(bytes);
        return false;
    }
    *copy = bytes;
    *size = record->size;
    return true;
}
