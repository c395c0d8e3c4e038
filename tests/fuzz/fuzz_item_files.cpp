// Fuzz target: the item files and the save record. The input is read as the
// item table and as the drop maps (keyword text), as a description file
// (UTF-16LE) and, when it is a record's size, as a save record. What a
// reader took stays within its bounds, and each writer's text (the item
// table's, the maps', a record's bytes) reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "actor/item_files.h"
#include "actor/save_file.h"
#include "app/keyword.h"
#include "tests/fuzz/fuzz_keyword_round_trip.h"

using fuzz::ExpectStable;
using fuzz::ReadAndFormat;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto readTables = [](CSKeywordFile *f, ItemTables *t) { ReadItemTables(f, t); };
    const auto readMaps = [](CSKeywordFile *f, std::vector<DropMap> *m) { ReadDropMaps(f, m); };

    ItemTables tables;
    const std::string tableText = ReadAndFormat(data, size, readTables, FormatItemTables, &tables);
    for (const UseContent &use : tables.recover) {
        if (use.valueCount < 0 || use.valueCount > kMaxContentValues) {
            __builtin_trap();
        }
    }
    for (const EquipContent &equip : tables.equip) {
        if (std::strlen(equip.aura) >= kAuraNameSize) {
            __builtin_trap();
        }
    }
    ExpectStable<ItemTables>(tableText, readTables, FormatItemTables);

    std::vector<DropMap> maps;
    ExpectStable<std::vector<DropMap>>(ReadAndFormat(data, size, readMaps, FormatDropMaps, &maps), readMaps,
                                       FormatDropMaps);

    // The bytes as UTF-16LE lines.
    std::u16string wide;
    for (size_t i = 0; i + 1 < size; i += 2) {
        wide.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    size_t at = 0;
    std::vector<ItemDescEntry> texts;
    ParseItemDescriptions(
        [&](std::u16string *line) {
            if (at >= wide.size()) {
                return false;
            }
            const size_t end = wide.find(u'\n', at);
            const size_t stop = end == std::u16string::npos ? wide.size() : end + 1;
            *line = wide.substr(at, stop - at);
            at = stop;
            return true;
        },
        "FUZZ.IDS", &texts);

    SaveRecord record;
    if (DecodeSaveRecord(data, size, &record)) {
        uint8_t once[kSaveRecordSize];
        uint8_t twice[kSaveRecordSize];
        EncodeSaveRecord(record, once);
        SaveRecord again;
        if (!DecodeSaveRecord(once, sizeof once, &again)) {
            __builtin_trap();
        }
        EncodeSaveRecord(again, twice);
        if (std::memcmp(once, twice, sizeof once) != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
