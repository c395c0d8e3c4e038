// Fuzz target: the text files a player can replace beside the interface and
// the events: the word table (WORD.TXT), the stage and monster names (.NAM),
// the store's messages (.STO), the skill files (.SKL) and the event music
// list (EVENT.BGM). The input is read by each of them; what each took stays
// within its bounds, and the music list's writer's text reads back to the
// same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/file.h"
#include "event/event_bgm_list.h"
#include "ui/skill_file.h"
#include "ui/stage_names.h"
#include "ui/store_messages.h"
#include "ui/word_table.h"

namespace {

// The input as UTF-16LE, split into lines as zufgetwline gives them (each
// with its line feed).
std::vector<std::u16string> WideLines(const uint8_t *data, size_t size)
{
    std::vector<std::u16string> lines;
    std::u16string line;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        line.push_back(c);
        if (c == u'\n') {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

void ReadWords(const uint8_t *data, size_t size)
{
    zuFile *file = zufopenMemory(data, size, "rb");
    WordTable table;
    table.Read(
        [file](std::u16string *piece) {
            char16_t buffer[WordTable::kLineUnits];
            if (zufgetws(buffer, WordTable::kLineUnits, file) == nullptr) {
                return false;
            }
            *piece = buffer;
            return true;
        },
        "FUZZ.TXT");
    zufclose(file);
    if (table.Count() < 0 || table.Count() > WordTable::kMaxWords) {
        __builtin_trap();
    }
    for (int32_t i = 0; i < table.Count(); ++i) {
        if (std::u16string(table.Word(i)).size() >= static_cast<size_t>(WordTable::kLineUnits)) {
            __builtin_trap();
        }
    }
}

void ReadNames(const uint8_t *data, size_t size)
{
    for (const int texts : {kStageNameTexts, kMonsterListTexts}) {
        const int most = texts == kStageNameTexts ? kStageNameRecords : kMonsterListRecords;
        zuFile *file = zufopenMemory(data, size, "rb");
        const std::vector<NameRecord> records = ReadNameRecords(file, texts, most, "FUZZ.NAM");
        zufclose(file);
        if (static_cast<int>(records.size()) > most) {
            __builtin_trap();
        }
        for (const NameRecord &record : records) {
            for (const std::u16string &text : record.texts) {
                if (text.size() > 513) {  // 511 units and the line end
                    __builtin_trap();
                }
            }
        }
    }
}

void ReadStore(const uint8_t *data, size_t size)
{
    zuFile *file = zufopenMemory(data, size, "rb");
    const StoreMessages messages = ReadStoreMessages(file, "FUZZ.STO");
    zufclose(file);
    for (int i = 0; i < kStoreMessages; ++i) {
        if (messages.text[i].size() > 255 || messages.text[i].find_first_of(u"\r\n") != std::u16string::npos) {
            __builtin_trap();
        }
    }
}

void ReadSkills(const uint8_t *data, size_t size)
{
    const std::vector<std::u16string> lines = WideLines(data, size);
    size_t next = 0;
    const std::vector<SkillRecord> records = ReadSkillRecords(
        [&](std::u16string *line) {
            if (next >= lines.size()) {
                return false;
            }
            *line = lines[next++];
            return true;
        },
        1, "FUZZ.SKL");
    if (records.size() > static_cast<size_t>(kMaxSkillRecords)) {
        __builtin_trap();
    }
    for (const SkillRecord &record : records) {
        if (record.hero != 1 || static_cast<int>(record.name.size()) > kSkillNameUnits ||
            static_cast<int>(record.description.size()) > kSkillDescriptionUnits ||
            static_cast<int>(record.command.size()) > kSkillCommandUnits) {
            __builtin_trap();
        }
    }
}

void ReadMusic(const uint8_t *data, size_t size)
{
    CSEventBGMList list;
    zuFile *file = zufopenMemory(data, size, "r");
    list.Read(file);
    zufclose(file);
    const std::string text = FormatEventMusicList(list.Entries());
    CSEventBGMList again;
    file = zufopenMemory(text.data(), text.size(), "r");
    again.Read(file);
    zufclose(file);
    if (FormatEventMusicList(again.Entries()) != text) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ReadWords(data, size);
    ReadNames(data, size);
    ReadStore(data, size);
    ReadSkills(data, size);
    ReadMusic(data, size);
    return 0;
}
