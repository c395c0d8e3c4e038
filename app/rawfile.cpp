// The raw file reader (see rawfile.h).
#include "app/rawfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "app/memory.h"
#include "app/path.h"

struct RawFile {
    int fd;
};

RawFile *RawFileOpen(const char *path)
{
    if (path == nullptr) {
        return nullptr;
    }
    const int fd = open(ResolveGamePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    // Read once, front to back: no point in the system keeping it.
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    auto *file = static_cast<RawFile *>(zuMalloc(sizeof(RawFile)));
    file->fd = fd;
    return file;
}

bool RawFileRead(RawFile *file, void *buffer, uint32_t size, uint32_t *bytesRead)
{
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    if (file == nullptr || (buffer == nullptr && size != 0)) {
        return false;
    }
    uint32_t got = 0;
    while (got < size) {
        const ssize_t n = read(file->fd, static_cast<uint8_t *>(buffer) + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<uint32_t>(n);
    }
    if (bytesRead != nullptr) {
        *bytesRead = got;
    }
    return true;
}

void RawFileClose(RawFile *file)
{
    if (file != nullptr) {
        close(file->fd);
        zuFree(file);
    }
}

int64_t RawFileSize(RawFile *file)
{
    struct stat info {};
    if (file == nullptr || fstat(file->fd, &info) != 0) {
        return -1;
    }
    return info.st_size;
}

RawFileBuffer *RawFileBufferCreate(RawFile *file)
{
    const int64_t size = RawFileSize(file);
    if (size < 0 || size > int64_t{0xFFFFFFFF} - kRawFileBlock) {
        return nullptr;
    }
    uint64_t capacity = (static_cast<uint64_t>(size) + kRawFileBlock - 1) / kRawFileBlock * kRawFileBlock;
    if (capacity < kRawFileBlock) {
        capacity = kRawFileBlock;
    }
    auto *record = static_cast<RawFileBuffer *>(zuMalloc(sizeof(RawFileBuffer)));
    record->buffer = static_cast<uint8_t *>(zuMalloc(capacity));
    record->fileSize = static_cast<uint32_t>(size);
    record->capacity = static_cast<uint32_t>(capacity);
    return record;
}

void RawFileBufferFree(RawFileBuffer *record)
{
    if (record != nullptr) {
        zuFree(record->buffer);
        zuFree(record);
    }
}
