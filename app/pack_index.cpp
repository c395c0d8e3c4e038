// Reading and checking a pack's name list against its stream (see pack_index.h).
#include "app/pack_index.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t kChunkHeaderBytes = 12;

char Fold(char c)
{
    if (c == '/') {
        return '\\';
    }
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

int CompareNoCase(const std::string &a, const std::string &b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char ca = Fold(a[i]);
        const char cb = Fold(b[i]);
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

uint32_t U32(const uint8_t *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

bool ParseNumber(const std::string &text, uint64_t *value)
{
    if (text.empty() || text.size() > 19) {
        return false;
    }
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    *value = v;
    return true;
}

// One list line: name, tab, offset, tab, size.
bool ParseLine(const std::string &line, PackRecord *record)
{
    if (std::count(line.begin(), line.end(), '\t') != 2) {
        return false;
    }
    const size_t tab1 = line.find('\t');
    const size_t tab2 = line.rfind('\t');
    if (tab1 == 0) {
        return false;
    }
    record->name = line.substr(0, tab1);
    return ParseNumber(line.substr(tab1 + 1, tab2 - tab1 - 1), &record->offset) &&
           ParseNumber(line.substr(tab2 + 1), &record->size);
}

// The list's own faults.
constexpr const char *kNotARecordLine = " is not 'name<tab>offset<tab>size'";
constexpr const char *kListNames = "the list names ";

bool Fail(std::string *error, const std::string &text)
{
    *error = text;
    return false;
}

struct MemoryStream {
    const uint8_t *bytes;
    size_t size;
};

bool ReadMemory(void *context, uint64_t offset, void *buffer, size_t size)
{
    const auto *memory = static_cast<const MemoryStream *>(context);
    if (offset > memory->size || size > memory->size - offset) {
        return false;
    }
    std::memcpy(buffer, memory->bytes + offset, size);
    return true;
}

}  // namespace

bool PackIndexBuildFrom(const char *list, size_t listSize, PackReadFunction read, void *context, uint64_t strSize,
                        PackIndex *index, std::string *error)
{
    *index = PackIndex{};
    uint8_t header[kChunkHeaderBytes];
    if (strSize < kChunkHeaderBytes || !read(context, 0, header, sizeof(header))) {
        return Fail(error, "the stream is shorter than a chunk header");
    }
    if (U32(header) != kPackDictionaryChunk) {
        return Fail(error, "the stream does not start with a texture dictionary");
    }
    index->dictionaryOffset = kChunkHeaderBytes;
    index->dictionaryLength = U32(header + 4);
    const uint64_t recordsStart = kChunkHeaderBytes + index->dictionaryLength;
    if (recordsStart > strSize) {
        return Fail(error, "the texture dictionary runs past the end of the stream");
    }

    size_t at = 0;
    int lineNumber = 0;
    while (at < listSize) {
        size_t end = at;
        while (end < listSize && list[end] != '\n') {
            ++end;
        }
        std::string line(list + at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        PackRecord record;
        const std::string where = "list line " + std::to_string(lineNumber);
        if (!ParseLine(line, &record)) {
            return Fail(error, where + kNotARecordLine);
        }
        if (record.offset < recordsStart || record.offset > strSize || strSize - record.offset < 8 + record.name.size()) {
            return Fail(error, where + " (" + record.name + "): the record lies outside the stream's records");
        }
        uint8_t word[4];
        if (!read(context, record.offset, word, 4) || U32(word) != record.name.size()) {
            return Fail(error, where + " (" + record.name + "): the record carries another name");
        }
        std::string stored(record.name.size(), '\0');
        if (!read(context, record.offset + 4, stored.data(), stored.size()) || CompareNoCase(stored, record.name) != 0) {
            return Fail(error, where + " (" + record.name + "): the record carries another name");
        }
        record.dataOffset = record.offset + 8 + record.name.size();
        if (!read(context, record.dataOffset - 4, word, 4) || U32(word) != record.size) {
            return Fail(error, where + " (" + record.name + "): the record's size differs from the list's");
        }
        if (record.size > strSize - record.dataOffset) {
            return Fail(error, where + " (" + record.name + "): the record runs past the end of the stream");
        }
        index->records.push_back(std::move(record));
    }
    std::sort(index->records.begin(), index->records.end(),
              [](const PackRecord &a, const PackRecord &b) { return CompareNoCase(a.name, b.name) < 0; });
    for (size_t i = 1; i < index->records.size(); ++i) {
        if (CompareNoCase(index->records[i - 1].name, index->records[i].name) == 0) {
            return Fail(error, kListNames + index->records[i].name + " twice");
        }
    }
    return true;
}

bool PackIndexBuild(const char *list, size_t listSize, const uint8_t *str, size_t strSize, PackIndex *index,
                    std::string *error)
{
    MemoryStream memory{str, strSize};
    return PackIndexBuildFrom(list, listSize, ReadMemory, &memory, strSize, index, error);
}

const PackRecord *PackIndexFind(const PackIndex &index, const char *resourcePath)
{
    const std::string key = resourcePath != nullptr ? resourcePath : "";
    auto it = std::lower_bound(index.records.begin(), index.records.end(), key,
                               [](const PackRecord &r, const std::string &k) { return CompareNoCase(r.name, k) < 0; });
    return it != index.records.end() && CompareNoCase(it->name, key) == 0 ? &*it : nullptr;
}

bool PackIndexErrorIsTheLists(const std::string &error)
{
    return error.ends_with(kNotARecordLine) || error.starts_with(kListNames);
}
