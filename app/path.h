// Game paths: the data root (the working folder) and the one resolver that
// the engine's file glue and the game share. Game paths use backslashes
// (forward slashes work too) and any letter case; a path that starts with
// a backslash, or with a drive letter, names the data root.
#pragma once

#include <cstddef>
#include <string>

// Makes `root` the data root of the game and of the engine's file glue
// (RwOsSetDataRoot); GetDataRootPath answers it as given.
void SetDataRootPath(const char *root);
const char *GetDataRootPath();

// The host path of a game path, each folder and file matched ignoring
// case (what does not exist yet is kept as written).
std::string ResolveGamePath(const char *path);

// The part of `path` from its "\RESOURCE" folder on, written with
// backslashes ("\RESOURCE\STAGE\1\STAGE.BSP"), as packs name their files.
// A path inside the data root is looked at after the root; empty when the
// path has no RESOURCE folder.
std::string ResourceRelativePath(const char *path);

// How many leading characters of `path` spell the data root (0 when the
// path does not start with it).
size_t DataRootPrefixLength(const char *path);

// How every message names a file (the fatal report, a refused or unreadable
// file, a reader's diagnostic line): the game path as a player finds it
// under the data tree, "RESOURCE/UITEXT/LOADING/ENG/GFLOAD.BMP": without
// the data root, with forward slashes, each folder and the file in the
// letter case they have on disk (as written where they are not there).
// "(no name)" for null or empty.
std::string MessagePath(const char *path);
inline std::string MessagePath(const std::string &path) { return MessagePath(path.c_str()); }

// Equal ignoring letter case and the kind of slash.
bool GamePathsEqual(const char *a, const char *b);

// How game paths compare: either slash separates folders, and ASCII letters
// match in upper case.
inline bool IsGamePathSlash(char c) { return c == '\\' || c == '/'; }
inline char GamePathUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
