// The store's message file (see store_messages.h).
#include "ui/store_messages.h"

#include "app/debug.h"
#include "app/file.h"
#include "app/path.h"

namespace {

constexpr size_t kMessageUnits = 255;

const char *const kFiles[15] = {"CHINESE.STO", "ENGLISH.STO", "FRENCH.STO",   "GERMAN.STO",   "ITALIAN.STO",
                                "SPANISH.STO", "JAPANESS.STO", "SWEDISH.STO", "NORWEGIA.STO", "DANISH.STO",
                                "FINNISH.STO", "PORTUGUE.STO", "DUTCH.STO",   "KOREAN.STO",   "GREEK.STO"};

}  // namespace

StoreMessages ReadStoreMessages(zuFile *file, const char *name)
{
    StoreMessages messages;
    std::u16string line;
    if (file == nullptr) {
        return messages;
    }
    if (!zufgetwline(file, &line)) {
        UserPrint("%s: the file is empty; the store shows no message\n", MessagePath(name).c_str());
        return messages;
    }
    int i = 0;
    for (; i < kStoreMessages && zufgetwline(file, &line); ++i) {
        const size_t end = line.find_first_of(u"\r\n");
        line.resize(end == std::u16string::npos ? line.size() : end);
        if (line.size() > kMessageUnits) {
            DebugPrint("%s:%d: the message is longer than %zu characters; the rest of it is not read\n",
                       MessagePath(name).c_str(), i + 2, kMessageUnits);
            line.resize(kMessageUnits);
        }
        messages.text[i] = line;
    }
    if (i < kStoreMessages) {
        DebugPrint("%s: the file ends after %d of the %d messages; the others are empty\n", MessagePath(name).c_str(),
                   i, kStoreMessages);
    }
    return messages;
}

const char *StoreMessageFileName(int32_t language) { return language >= 0 && language < 15 ? kFiles[language] : nullptr; }
