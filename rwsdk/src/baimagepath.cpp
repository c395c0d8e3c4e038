// The image search path, file formats registered by extension, and reading
// an image by name from the first place on the path where its file exists.
#include <cstring>
#include <initializer_list>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwosintf.h"
#include "src/baimage.h"

const RwChar *RwImageSetPath(const RwChar *path)
{
    rwImageGlobals *globals = rwImageGetGlobals();
    const size_t needed = std::strlen(path) + 1;
    if (needed > 0x7FFFFFFF) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    if (needed > static_cast<size_t>(globals->pathSize)) {
        auto *grown = static_cast<RwChar *>(RwRealloc(globals->path, needed));
        if (grown == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        globals->path = grown;
        globals->pathSize = static_cast<RwInt32>(needed);
    }
    std::memmove(globals->path, path, needed);
    return globals->path;
}

const RwChar *RwImageGetPath(void) { return rwImageGetGlobals()->path; }

static void CopyCased(RwChar *out, const RwChar *extension, bool upper)
{
    out[0] = '.';
    RwInt32 i = 0;
    for (; i < rwIMAGEMAXEXTENSION && extension[i] != '\0'; ++i) {
        RwChar c = extension[i];
        if (upper && c >= 'a' && c <= 'z') {
            c = static_cast<RwChar>(c - 'a' + 'A');
        } else if (!upper && c >= 'A' && c <= 'Z') {
            c = static_cast<RwChar>(c - 'A' + 'a');
        }
        out[i + 1] = c;
    }
    out[i + 1] = '\0';
}

RwBool RwImageRegisterFormat(const RwChar *extension, RwImageCallBackRead readCB, RwImageCallBackWrite writeCB)
{
    rwImageGlobals *globals = rwImageGetGlobals();
    RwChar lower[rwIMAGEMAXEXTENSION + 2];
    CopyCased(lower, extension, false);
    RwImageFormat *format = globals->formatList;
    while (format != nullptr && std::strcmp(format->lowerExtension, lower) != 0) {
        format = format->next;
    }
    if (format == nullptr) {
        format = static_cast<RwImageFormat *>(RwFreeListEntryAlloc(globals->formatFreeList));
        if (format == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return FALSE;
        }
        std::memcpy(format->lowerExtension, lower, sizeof(lower));
        CopyCased(format->upperExtension, extension, true);
        format->imageRead = nullptr;
        format->imageWrite = nullptr;
        format->next = globals->formatList;
        globals->formatList = format;
    }
    if (readCB != nullptr) {
        format->imageRead = readCB;
    }
    if (writeCB != nullptr) {
        format->imageWrite = writeCB;
    }
    return TRUE;
}

// Grows the module's name buffer to at least `needed` bytes; it never shrinks.
static RwChar *NameBuffer(size_t needed)
{
    rwImageGlobals *globals = rwImageGetGlobals();
    if (needed > 0x7FFFFFFF) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    if (needed > static_cast<size_t>(globals->nameBufferSize) || globals->nameBuffer == nullptr) {
        auto *grown = static_cast<RwChar *>(RwRealloc(globals->nameBuffer, needed));
        if (grown == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        globals->nameBuffer = grown;
        globals->nameBufferSize = static_cast<RwInt32>(needed);
    }
    return globals->nameBuffer;
}

RwBool RwImageSearchPath(const RwChar *name, RwInt32 extra, RwImageSearchCallBack callback, void *data)
{
    const size_t nameLength = std::strlen(name);
    // The path is copied first: a callback may itself set the path.
    const RwChar *path = rwImageGetGlobals()->path;
    const bool absolute = RwPathIsAbsolute(name) != FALSE;
    if (absolute || path == nullptr || path[0] == '\0') {
        RwChar *buffer = NameBuffer(nameLength + 1 + static_cast<size_t>(extra));
        if (buffer == nullptr) {
            return FALSE;
        }
        std::memcpy(buffer, name, nameLength + 1);
        callback(buffer, data);
        return TRUE;
    }
    size_t start = 0;
    for (;;) {
        path = rwImageGetGlobals()->path;
        const size_t pathLength = std::strlen(path);
        if (start > pathLength) {
            return TRUE;
        }
        const RwChar *end = std::strchr(path + start, ';');
        const size_t prefixLength = end != nullptr ? static_cast<size_t>(end - (path + start)) : pathLength - start;
        RwChar *buffer = NameBuffer(prefixLength + nameLength + 1 + static_cast<size_t>(extra));
        if (buffer == nullptr) {
            return FALSE;
        }
        path = rwImageGetGlobals()->path;
        std::memcpy(buffer, path + start, prefixLength);
        std::memcpy(buffer + prefixLength, name, nameLength + 1);
        if (!callback(buffer, data)) {
            return TRUE;
        }
        if (end == nullptr) {
            return TRUE;
        }
        start += prefixLength + 1;
    }
}

// The extension of a file name: from its last dot, after the last ':', '/'
// and '\\'; null when there is none.
static const RwChar *FindExtension(const RwChar *name)
{
    const RwChar *base = name;
    for (const RwChar *sep : {":", "/", "\\"}) {
        const RwChar *found = std::strrchr(base, sep[0]);
        if (found != nullptr) {
            base = found + 1;
        }
    }
    return std::strrchr(base, '.');
}

static RwImageFormat *FormatFor(const RwChar *name)
{
    const RwChar *extension = FindExtension(name);
    if (extension == nullptr) {
        return nullptr;
    }
    RwImageFormat *format = rwImageGetGlobals()->formatList;
    while (format != nullptr && std::strcmp(format->lowerExtension, extension) != 0 &&
           std::strcmp(format->upperExtension, extension) != 0) {
        format = format->next;
    }
    return format;
}

struct ReadSearch {
    RwImageCallBackRead reader;
    RwImage *image;
};

static RwBool TryRead(const RwChar *candidate, void *data)
{
    auto *search = static_cast<ReadSearch *>(data);
    if (!RwFileExists(candidate)) {
        return TRUE;
    }
    search->image = search->reader(candidate);
    return search->image == nullptr;
}

RwImage *RwImageRead(const RwChar *imageName)
{
    RwImageFormat *format = FormatFor(imageName);
    if (format == nullptr || format->imageRead == nullptr) {
        return nullptr;
    }
    ReadSearch search{format->imageRead, nullptr};
    RwImageSearchPath(imageName, 5, TryRead, &search);
    return search.image;
}

RwImage *RwImageWrite(RwImage *image, const RwChar *imageName)
{
    RwImageFormat *format = FormatFor(imageName);
    if (format == nullptr || format->imageWrite == nullptr) {
        return nullptr;
    }
    return format->imageWrite(image, imageName);
}

struct TypeSearch {
    const RwChar *found;
};

static RwBool TryExtensions(const RwChar *candidate, void *data)
{
    auto *search = static_cast<TypeSearch *>(data);
    // The search made room for the longest extension behind the name.
    auto *buffer = const_cast<RwChar *>(candidate);
    const size_t length = std::strlen(buffer);
    for (RwImageFormat *format = rwImageGetGlobals()->formatList; format != nullptr; format = format->next) {
        for (const RwChar *extension : {format->lowerExtension, format->upperExtension}) {
            std::strcpy(buffer + length, extension);
            const RwBool exists = RwFileExists(buffer);
            buffer[length] = '\0';
            if (exists) {
                search->found = extension;
                return FALSE;
            }
        }
    }
    return TRUE;
}

const RwChar *RwImageFindFileType(const RwChar *imageName)
{
    TypeSearch search{nullptr};
    RwImageSearchPath(imageName, rwIMAGEMAXEXTENSION + 2, TryExtensions, &search);
    return search.found;
}
