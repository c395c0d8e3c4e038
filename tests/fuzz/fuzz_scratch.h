// A fuzz target's scratch folder: made once per run of the target (in memory
// where the machine has /dev/shm, else under /tmp) and removed with what it
// holds when the run ends, so that runs leave nothing behind. libFuzzer ends
// a run through exit (the time or run limit), which runs the removal; a
// crashing input ends it at once, and the folder stays beside the finding.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace fuzzscratch {

inline std::string &MadeFolder()
{
    static std::string folder;
    return folder;
}

inline void RemoveMadeFolder()
{
    std::error_code ignored;
    if (!MadeFolder().empty()) {
        std::filesystem::remove_all(MadeFolder(), ignored);
    }
}

// The folder for `name` ("fuzz_input"): made at the first call, the same
// folder after. Empty when none could be made.
inline const std::string &Folder(const char *name)
{
    static const std::string made = [name] {
        for (const char *under : {"/dev/shm/", "/tmp/"}) {
            std::string pattern = std::string(under) + name + "_XXXXXX";
            if (mkdtemp(pattern.data()) != nullptr) {
                MadeFolder() = pattern;
                atexit(RemoveMadeFolder);
                return pattern;
            }
        }
        return std::string();
    }();
    return made;
}

}  // namespace fuzzscratch
