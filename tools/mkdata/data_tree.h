// The sample data tree the maker writes: which files, where, and with
// what in them.
#pragma once

#include <string>

namespace mkdata {

// Folder of the prop's model and of its TEXTURES folder, under the root.
inline const char *PropModelFolder() { return "RESOURCE/G_EVENT/DFF"; }
inline const char *PropModelName() { return "PROP01.DFF"; }

// Writes the whole tree under `root`; needs a started engine with the
// world library and user data attached. False at the first failure.
bool WriteDataTree(const std::string &root);

// A short attach list (world, user data, collision, particles) for tools
// and tests that build a part of the tree; it also adds the stage-world step
// that gives the stage's leaves collision trees.
bool AttachPlugins();
// The game's own plug-ins in the game's order, and the same step: the
// maker writes the tree under it, so that each object's extension chunks
// come in the order the game's engine writes them back.
bool AttachGamePlugins();

}  // namespace mkdata
