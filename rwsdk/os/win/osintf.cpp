// The C-library glue: the file and string functions the engine calls
// through its instance, and the mapping of the game's paths (backslashes,
// any letter case, drive letters) onto this case-sensitive file system.
#include "os/win/osintf.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "os/win/osfolders.h"

static std::string dataRoot;

void RwOsSetDataRoot(const RwChar *root) { dataRoot = root != nullptr ? root : ""; }

const RwChar *RwOsGetDataRoot(void) { return dataRoot.c_str(); }

RwBool RwPathIsAbsolute(const RwChar *path)
{
    if (path == nullptr) {
        return FALSE;
    }
    if (path[0] == '\\' || path[0] == '/') {
        return TRUE;
    }
    RwChar c = path[0];
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

static RwBool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The first entry of `dir` whose name equals `name` ignoring case, or an
// empty string when there is none (or the folder cannot be listed).
static std::string FindNoCase(const std::string &dir, const std::string &name)
{
    struct stat now;
    std::string found;
    if (stat(dir.empty() ? "." : dir.c_str(), &now) != 0 || !RwOsFolderFindNoCase(dir, now, name.c_str(), &found)) {
        return std::string();
    }
    return found;
}

static std::string Join(const std::string &base, const std::string &name)
{
    if (base.empty()) {
        return name;
    }
    return base.back() == '/' ? base + name : base + "/" + name;
}

// The path as the system names it, component by component: a component that
// is there as written is kept; one that is not takes the name of the first
// entry of its folder that equals it ignoring case; from the first that is
// not there either on, the rest is kept as written (a file to be made).
static std::string ResolveByComponents(const std::string &base, const std::vector<std::string> &components)
{
    std::string result = base;
    RwBool matching = TRUE;
    for (const std::string &component : components) {
        std::string next = Join(result, component);
        if (matching && !Exists(next)) {
            std::string actual = FindNoCase(result, component);
            if (!actual.empty()) {
                next = Join(result, actual);
            } else {
                matching = FALSE;  // the rest is new: keep it as written
            }
        }
        result = next;
    }
    return result;
}

// The same answer in a stat or two: a path that is there as written is
// kept whole (every component of it is there); otherwise, when its folder
// part is there as written, the last component is looked up in the
// folder's kept listing. False when neither holds (or the folder cannot be
// listed): the caller then goes component by component.
static bool ResolveInFolderListing(const std::string &base, const std::vector<std::string> &components,
                                   std::string *result)
{
    if (components.empty()) {
        return false;
    }
    std::string folder = base;
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        folder = Join(folder, components[i]);
    }
    const std::string &name = components.back();
    const std::string written = Join(folder, name);
    if (Exists(written)) {
        *result = written;
        return true;
    }
    struct stat now;
    std::string found;
    if (stat(folder.empty() ? "." : folder.c_str(), &now) != 0 ||
        !RwOsFolderFindNoCase(folder, now, name.c_str(), &found)) {
        return false;
    }
    // Not there as written, though the folder may list the name (a link
    // leading nowhere, an entry the system refuses to look up): the first
    // entry equal to it ignoring case stands for it, as going component
    // by component finds.
    *result = Join(folder, found.empty() ? name : found);
    return true;
}

RwBool RwOsResolvePath(const RwChar *path, RwChar *out, size_t outSize)
{
    if (path == nullptr || out == nullptr || outSize == 0) {
        return FALSE;
    }
    // A path written with a slash first is a host path; the game's own
    // absolute forms (backslash first, drive letter) name the data root.
    std::string base;
    const RwChar *rest = path;
    if (path[0] == '/') {
        base = "/";
    } else {
        if (((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':') {
            rest = path + 2;
        }
        base = dataRoot;
    }

    std::vector<std::string> components;
    std::string component;
    for (const RwChar *p = rest;; ++p) {
        if (*p == '\\' || *p == '/' || *p == '\0') {
            if (!component.empty() && component != ".") {
                components.push_back(component);
            }
            component.clear();
            if (*p == '\0') {
                break;
            }
        } else {
            component.push_back(*p);
        }
    }
    std::string result;
    if (!ResolveInFolderListing(base, components, &result)) {
        result = ResolveByComponents(base, components);
    }
    if (result.empty()) {
        result = ".";
    }
    if (result.size() + 1 > outSize) {
        return FALSE;
    }
    std::memcpy(out, result.c_str(), result.size() + 1);
    return TRUE;
}

static void *OsFopen(const RwChar *name, const RwChar *access)
{
    if (name == nullptr || access == nullptr) {
        return nullptr;
    }
    std::string resolved(std::strlen(name) + dataRoot.size() + 4096, '\0');
    if (!RwOsResolvePath(name, resolved.data(), resolved.size())) {
        return nullptr;
    }
    return std::fopen(resolved.c_str(), access);
}

static RwBool OsExists(const RwChar *name)
{
    void *fp = OsFopen(name, "rb");
    if (fp == nullptr) {
        return FALSE;
    }
    std::fclose(static_cast<FILE *>(fp));
    return TRUE;
}

static int OsFclose(void *fp) { return std::fclose(static_cast<FILE *>(fp)); }
static size_t OsFread(void *addr, size_t size, size_t count, void *fp)
{
    return std::fread(addr, size, count, static_cast<FILE *>(fp));
}
static size_t OsFwrite(const void *addr, size_t size, size_t count, void *fp)
{
    return std::fwrite(addr, size, count, static_cast<FILE *>(fp));
}
static RwChar *OsFgets(RwChar *buffer, int maxLen, void *fp) { return std::fgets(buffer, maxLen, static_cast<FILE *>(fp)); }
static int OsFputs(const RwChar *buffer, void *fp) { return std::fputs(buffer, static_cast<FILE *>(fp)); }
static int OsFeof(void *fp) { return std::feof(static_cast<FILE *>(fp)); }
static int OsFseek(void *fp, long offset, int origin) { return std::fseek(static_cast<FILE *>(fp), offset, origin); }
static int OsFflush(void *fp) { return std::fflush(static_cast<FILE *>(fp)); }
static long OsFtell(void *fp) { return std::ftell(static_cast<FILE *>(fp)); }

void RwOsGetFileFunctions(RwFileFunctions *funcs)
{
    funcs->rwfexist = OsExists;
    funcs->rwfopen = OsFopen;
    funcs->rwfclose = OsFclose;
    funcs->rwfread = OsFread;
    funcs->rwfwrite = OsFwrite;
    funcs->rwfgets = OsFgets;
    funcs->rwfputs = OsFputs;
    funcs->rwfeof = OsFeof;
    funcs->rwfseek = OsFseek;
    funcs->rwfflush = OsFflush;
    funcs->rwftell = OsFtell;
}

static RwChar *OsStrstr(const RwChar *s, const RwChar *find) { return const_cast<RwChar *>(std::strstr(s, find)); }
static RwChar *OsStrcpy(RwChar *d, const RwChar *s) { return std::strcpy(d, s); }
static RwChar *OsStrncpy(RwChar *d, const RwChar *s, size_t n) { return std::strncpy(d, s, n); }
static RwChar *OsStrcat(RwChar *d, const RwChar *s) { return std::strcat(d, s); }
static RwChar *OsStrncat(RwChar *d, const RwChar *s, size_t n) { return std::strncat(d, s, n); }
static int OsStrcmp(const RwChar *a, const RwChar *b) { return std::strcmp(a, b); }
static int OsStrncmp(const RwChar *a, const RwChar *b, size_t n) { return std::strncmp(a, b, n); }
static size_t OsStrlen(const RwChar *s) { return std::strlen(s); }
static RwChar *OsStrtok(RwChar *s, const RwChar *delimit) { return std::strtok(s, delimit); }
static int OsVsprintf(RwChar *buffer, const RwChar *format, va_list args) { return std::vsprintf(buffer, format, args); }

void RwOsGetStringFunctions(RwStringFunctions *funcs)
{
    funcs->vecSprintf = std::sprintf;
    funcs->vecVsprintf = OsVsprintf;
    funcs->vecStrcpy = OsStrcpy;
    funcs->vecStrncpy = OsStrncpy;
    funcs->vecStrcat = OsStrcat;
    funcs->vecStrncat = OsStrncat;
    funcs->vecStrrchr = RwStringFindLastChar;
    funcs->vecStrchr = RwStringFindChar;
    funcs->vecStrstr = OsStrstr;
    funcs->vecStrcmp = OsStrcmp;
    funcs->vecStrncmp = OsStrncmp;
    funcs->vecStricmp = RwStringCompareNoCase;
    funcs->vecStrlen = OsStrlen;
    funcs->vecStrUpr = RwStringToUpper;
    funcs->vecStrLwr = RwStringToLower;
    funcs->vecStrtok = OsStrtok;
    funcs->vecSscanf = std::sscanf;
}
