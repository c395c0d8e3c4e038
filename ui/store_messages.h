// The store's message file: per language one UTF-16 text file,
// \RESOURCE\UITEXT\MESSAGE\<language>.STO (ENGLISH.STO ...), read from the
// store's pack or the disc. The first line is skipped; each later line is
// the next of the 45 messages, up to its first carriage return or line
// feed (an empty line is an empty message). A line longer than 255
// characters is one message of its first 255: the rest of that line is
// dropped, so the messages after it stay in their places. A message the
// file does not give is empty.
#pragma once

#include <cstdint>
#include <string>

struct zuFile;

inline constexpr int kStoreMessages = 45;

struct StoreMessages {
    std::u16string text[kStoreMessages];

    // Message i ("" outside 0..44).
    const char16_t *Get(int32_t i) const { return i >= 0 && i < kStoreMessages ? text[i].c_str() : u""; }
};

// The messages of an open file (all empty for null). An empty file is said
// on standard error; a short file or a cut message is a diagnostic line,
// each naming the file (`name`) and the line.
StoreMessages ReadStoreMessages(zuFile *file, const char *name = "the store's message file");
// The file's name for the language ("ENGLISH.STO" for 1), null above 14.
const char *StoreMessageFileName(int32_t language);
