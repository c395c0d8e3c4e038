// The data root and the shared path resolver (see path.h). Resolution is
// the engine glue's own (RwOsResolvePath), so that the game and the engine
// never disagree about where a path leads.
#include "app/path.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/fatal.h"
#include "rwosintf.h"

namespace {

std::string dataRoot;

// The path's folders and file, without empty and "." parts.
std::vector<std::string> Components(const char *path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char *p = path;; ++p) {
        if (*p == '\0' || IsGamePathSlash(*p)) {
            if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
            if (*p == '\0') {
                break;
            }
        } else {
            part.push_back(*p);
        }
    }
    return parts;
}

bool EqualNoCase(const std::string &a, const char *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (GamePathUpper(a[i]) != GamePathUpper(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

size_t DataRootPrefixLength(const char *path)
{
    if (dataRoot.empty()) {
        return 0;
    }
    const std::vector<std::string> root = Components(dataRoot.c_str());
    const bool rootAbsolute = IsGamePathSlash(dataRoot[0]);
    if (root.empty() || rootAbsolute != IsGamePathSlash(path[0])) {
        return 0;
    }
    const char *p = path;
    for (const std::string &part : root) {
        while (IsGamePathSlash(*p) || (p[0] == '.' && (IsGamePathSlash(p[1]) || p[1] == '\0'))) {
            ++p;
        }
        if (std::strncmp(p, part.c_str(), part.size()) != 0 ||
            (p[part.size()] != '\0' && !IsGamePathSlash(p[part.size()]))) {
            return 0;
        }
        p += part.size();
    }
    return static_cast<size_t>(p - path);
}

void SetDataRootPath(const char *root)
{
    dataRoot = root != nullptr ? root : "";
    RwOsSetDataRoot(dataRoot.c_str());
    // Files of another tree may be said again.
    ForgetSaidUnreadableFiles();
}

const char *GetDataRootPath() { return dataRoot.c_str(); }

std::string ResolveGamePath(const char *path)
{
    if (path == nullptr) {
        return std::string();
    }
    std::string out(std::strlen(path) + std::strlen(RwOsGetDataRoot()) + 4096, '\0');
    if (!RwOsResolvePath(path, out.data(), out.size())) {
        return std::string();
    }
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::string ResourceRelativePath(const char *path)
{
    if (path == nullptr) {
        return std::string();
    }
    const std::vector<std::string> parts = Components(path + DataRootPrefixLength(path));
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!EqualNoCase(parts[i], "RESOURCE")) {
            continue;
        }
        std::string out;
        for (size_t j = i; j < parts.size(); ++j) {
            out += '\\';
            out += parts[j];
        }
        return out;
    }
    return std::string();
}

bool GamePathsEqual(const char *a, const char *b)
{
    for (;; ++a, ++b) {
        const char ca = IsGamePathSlash(*a) ? '\\' : GamePathUpper(*a);
        const char cb = IsGamePathSlash(*b) ? '\\' : GamePathUpper(*b);
        if (ca != cb) {
            return false;
        }
        if (ca == '\0') {
            return true;
        }
    }
}

std::string MessagePath(const char *path)
{
    if (path == nullptr || path[0] == '\0') {
        return "(no name)";
    }
    const char *inside = path + DataRootPrefixLength(path);
    std::vector<std::string> parts = Components(inside);
    if (parts.empty()) {
        return "(no name)";
    }
    // The on-disk spelling: the host path ends in the same parts, each
    // matched ignoring case where it is there.
    const std::vector<std::string> host = Components(ResolveGamePath(inside).c_str());
    if (host.size() >= parts.size()) {
        const size_t from = host.size() - parts.size();
        for (size_t i = 0; i < parts.size(); ++i) {
            if (EqualNoCase(host[from + i], parts[i].c_str())) {
                parts[i] = host[from + i];
            }
        }
    }
    std::string out;
    for (const std::string &part : parts) {
        out += out.empty() ? "" : "/";
        out += part;
    }
    return out;
}
