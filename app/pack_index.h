// The pack formats, as the pack layer and the sample-data maker share
// them. `.STR`: a platform-independent texture dictionary chunk (type 0x23,
// possibly without textures), then file records back to back: u32 name
// length, the name (the path from "\RESOURCE" on, backslashes, no
// terminator), u32 size, the bytes; little-endian. `.LST`: UTF-8 text, one
// line per record in `.STR` order: name, tab, byte offset of the record in
// the `.STR`, tab, size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint32_t kPackDictionaryChunk = 0x23;

struct PackRecord {
    std::string name;    // as listed
    uint64_t offset;     // of the record (its name length) in the `.STR`
    uint64_t dataOffset; // of the file's bytes
    uint64_t size;       // of the file's bytes
};

struct PackIndex {
    uint64_t dictionaryOffset = 0;  // of the dictionary chunk's body
    uint64_t dictionaryLength = 0;  // of the body
    std::vector<PackRecord> records; // sorted by name, ignoring case
};

// Checks the list against the `.STR` bytes (`str`, `strSize`) and builds
// the index: the dictionary chunk must lead the stream and fit it; every
// listed record must start after the dictionary, lie wholly inside the
// stream, carry the listed name (ignoring case) and size; no name may be
// listed twice. False with a description in `error` otherwise.
bool PackIndexBuild(const char *list, size_t listSize, const uint8_t *str, size_t strSize, PackIndex *index,
                    std::string *error);
// The same reading the `.STR` through `read(offset, buffer, size)` (true
// when all bytes were read), for a stream kept on disc.
typedef bool (*PackReadFunction)(void *context, uint64_t offset, void *buffer, size_t size);
bool PackIndexBuildFrom(const char *list, size_t listSize, PackReadFunction read, void *context, uint64_t strSize,
                        PackIndex *index, std::string *error);
// Whether a build's error is the list's own fault (a line that is no
// record line, a name listed twice) rather than the stream's or a
// disagreement between the two.
bool PackIndexErrorIsTheLists(const std::string &error);

// The record named `resourcePath` (ignoring case and the kind of slash), or null.
const PackRecord *PackIndexFind(const PackIndex &index, const char *resourcePath);
