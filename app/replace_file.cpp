// Writing a file through a temporary file and a rename (see replace_file.h).
#include "app/replace_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace game {

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
    if (std::rename(temporary.c_str(), hostPath.c_str()) != 0) {
        *error = temporary + " cannot replace " + hostPath + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace game
