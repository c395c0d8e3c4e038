// For the fuzz targets of keyword-text readers: read a text into a record
// and write it again, and check that the writer's text reads back unchanged.
#pragma once

#include <cstddef>
#include <string>

#include "app/keyword.h"

namespace fuzz {

// Reads `text` with `read` into *out and answers the writer's text.
template <class T, class Read, class Format>
std::string ReadAndFormat(const void *data, size_t size, Read read, Format format, T *out)
{
    CSKeywordFile file;
    if (!file.OpenMemory("FUZZ.TXT", data, size)) {
        return std::string();
    }
    read(&file, out);
    return format(*out);
}

// The writer's text read back gives the same text; a trap otherwise.
template <class T, class Read, class Format>
void ExpectStable(const std::string &text, Read read, Format format)
{
    T again;
    if (ReadAndFormat(text.data(), text.size(), read, format, &again) != text) {
        __builtin_trap();
    }
}

}  // namespace fuzz
