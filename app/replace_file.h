// Files the player owns (bindings, saves, tuning) are never written in place: the new
// contents go to "<path>.tmp", which is written whole, flushed, synced and closed with
// every step checked, read back and compared, and only then renamed over the old file. A failure at any step
// removes the temporary file and leaves the old file as it was.
#pragma once

#include <cstddef>
#include <string>

namespace game {

// `hostPath` is a path of the host's file system. False with a message in *error.
bool WriteFileReplacing(const std::string &hostPath, const void *data, size_t size,
                        std::string *error);

}  // namespace game
