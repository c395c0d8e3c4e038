// The kept folder listings of path resolution (see osfolders.h).
#include "os/win/osfolders.h"

#include <dirent.h>
#include <strings.h>
#include <time.h>

#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// A folder's entries and the state of the folder they were read from.
struct KeptListing {
    std::vector<std::string> names;  // in the order the system lists them
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec modified {};
    struct timespec changed {};
    bool trusted = false;  // read long enough after the folder's last change
};

// File systems keep times in steps of up to two seconds.
constexpr time_t kTimeStepSeconds = 2;

std::mutex keptLock;
std::unordered_map<std::string, KeptListing> listings;

bool SameTime(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool StillHolds(const KeptListing &kept, const struct stat &now)
{
    return kept.trusted && kept.device == now.st_dev && kept.inode == now.st_ino &&
           SameTime(kept.modified, now.st_mtim) && SameTime(kept.changed, now.st_ctim);
}

bool ReadListing(const std::string &folder, const struct stat &now, KeptListing *kept)
{
    struct timespec listedAt {};
    clock_gettime(CLOCK_REALTIME, &listedAt);
    DIR *dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    while (struct dirent *entry = readdir(dir)) {
        kept->names.emplace_back(entry->d_name);
    }
    closedir(dir);
    kept->device = now.st_dev;
    kept->inode = now.st_ino;
    kept->modified = now.st_mtim;
    kept->changed = now.st_ctim;
    // Times at or after the limit (or ahead of a clock set back) may yet
    // stay as they are through a change.
    const time_t limit = listedAt.tv_sec - kTimeStepSeconds;
    kept->trusted = now.st_mtim.tv_sec < limit && now.st_ctim.tv_sec < limit;
    return true;
}

}  // namespace

bool RwOsFolderFindNoCase(const std::string &folder, const struct stat &now, const char *name, std::string *found)
{
    std::lock_guard<std::mutex> guard(keptLock);
    auto kept = listings.find(folder);
    KeptListing fresh;  // an untrusted listing serves this look-up only
    const KeptListing *use = nullptr;
    if (kept != listings.end() && StillHolds(kept->second, now)) {
        use = &kept->second;
    } else {
        if (kept != listings.end()) {
            listings.erase(kept);
        }
        if (!ReadListing(folder, now, &fresh)) {
            return false;
        }
        use = fresh.trusted ? &(listings[folder] = std::move(fresh)) : &fresh;
    }
    found->clear();
    for (const std::string &entry : use->names) {
        if (strcasecmp(entry.c_str(), name) == 0) {
            *found = entry;
            break;
        }
    }
    return true;
}

void RwOsFolderListingsForget(void)
{
    std::lock_guard<std::mutex> guard(keptLock);
    listings.clear();
}
