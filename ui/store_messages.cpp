// The store's message file (see store_messages.h).
#include "ui/store_messages.h"

#include "app/file.h"

namespace {

constexpr size_t kMessageUnits = 255;

const char *const kFiles[15] = {"CHINESE.STO", "ENGLISH.STO", "FRENCH.STO",   "GERMAN.STO",   "ITALIAN.STO",
                                "SPANISH.STO", "JAPANESS.STO", "SWEDISH.STO", "NORWEGIA.STO", "DANISH.STO",
                                "FINNISH.STO", "PORTUGUE.STO", "DUTCH.STO",   "KOREAN.STO",   "GREEK.STO"};

}  // namespace

StoreMessages ReadStoreMessages(zuFile *file)
{
    StoreMessages messages;
    std::u16string line;
    if (file == nullptr || !zufgetwline(file, &line)) {
        return messages;
    }
    for (int i = 0; i < kStoreMessages && zufgetwline(file, &line); ++i) {
        const size_t end = line.find_first_of(u"\r\n");
        line.resize(end == std::u16string::npos ? line.size() : end);
        if (line.size() > kMessageUnits) {
            line.resize(kMessageUnits);
        }
        messages.text[i] = line;
    }
    return messages;
}

const char *StoreMessageFileName(int32_t language) { return language >= 0 && language < 15 ? kFiles[language] : nullptr; }
