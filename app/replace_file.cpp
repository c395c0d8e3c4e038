// Writing a file through a temporary file and a rename (see replace_file.h).
#include "app/replace_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace game {

namespace {

// The file holds these bytes and no more.
bool HoldsExactly(const std::string &path, const void *data, size_t size)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    const auto *expected = static_cast<const unsigned char *>(data);
    unsigned char buffer[4096];
    size_t at = 0;
    bool same = true;
    while (same) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file);
        if (got == 0) {
            break;
        }
        same = at + got <= size && std::memcmp(buffer, expected + at, got) == 0;
        at += got;
    }
    same = same && std::ferror(file) == 0 && at == size;
    std::fclose(file);
    return same;
}

}  // namespace

bool WriteFileReplacing(const std::string &hostPath, const void *data, size_t size,
                        std::string *error)
{
    const std::string temporary = hostPath + ".tmp";
    FILE *file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = temporary + " cannot be created: " + std::strerror(errno);
        return false;
    }
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    ok = ok && std::fflush(file) == 0;
    ok = ok && fsync(fileno(file)) == 0;
    const int savedErrno = errno;
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        *error = temporary + " cannot be written: " + std::strerror(savedErrno != 0 ? savedErrno : errno);
        std::remove(temporary.c_str());
        return false;
    }
    if (!HoldsExactly(temporary, data, size)) {
        *error = temporary + " does not read back as written";
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), hostPath.c_str()) != 0) {
        *error = temporary + " cannot replace " + hostPath + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace game
