// The item files (see item_files.h).
#include "actor/item_files.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword_block.h"

namespace {

constexpr int32_t kMaxDropMaps = 4096;
constexpr int32_t kMaxItemDescriptions = 100000;
constexpr int32_t kMaxOwnLimit = 9999;
constexpr int32_t kMaxIcon = 16 * 1024 - 1;

// ---- ITEMCON.ICL ----

enum class ItemBlock { kNone, kItem, kRecover, kExplode, kEquip };

ItemBlock BlockOf(const CSKeywordFile &file)
{
    if (file.KeyIs("ItemContent")) {
        return ItemBlock::kItem;
    }
    if (file.KeyIs("RecoverContent")) {
        return ItemBlock::kRecover;
    }
    if (file.KeyIs("ExplodeContent")) {
        return ItemBlock::kExplode;
    }
    if (file.KeyIs("EquipContent")) {
        return ItemBlock::kEquip;
    }
    return ItemBlock::kNone;
}

// How many values the rest of the line holds (separated by blanks, tabs or commas).
int CountValues(const char *rest)
{
    int count = 0;
    bool inValue = false;
    for (const char *c = rest; *c != '\0'; ++c) {
        const bool separator = *c == ' ' || *c == '\t' || *c == ',';
        if (!separator && !inValue) {
            ++count;
        }
        inValue = !separator;
    }
    return count;
}

// A Recover_Type or Explode_Type line: 1 to 16 whole numbers.
void UseValues(CSKeywordFile *file, UseContent *out)
{
    const int count = CountValues(file->Rest());
    if (count < 1 || count > kMaxContentValues) {
        file->Report("1 to %d numbers expected, %d given", kMaxContentValues, count);
        return;
    }
    int32_t values[kMaxContentValues];
    if (file->Ints(values, count)) {
        std::memcpy(out->values, values, sizeof(int32_t) * static_cast<size_t>(count));
        out->valueCount = count;
    }
}

// Puts `record` into `list`, in place of one with the same id (reported).
template <typename T, typename Id>
void Store(std::vector<T> *list, const T &record, Id id, const CSKeywordFile &file, int line, const char *what,
           int *problems)
{
    for (T &held : *list) {
        if (held.*id == record.*id) {
            DebugPrint("%s:%d: %s %d appears again; this one replaces the earlier\n", file.Name(), line, what,
                       record.*id);
            ++*problems;
            held = record;
            return;
        }
    }
    list->push_back(record);
}

KeywordBlockEnd ReadItemBlock(CSKeywordFile *file, ItemBlock kind, ItemTables *out, int *problems)
{
    const int line = file->LineNumber();
    bool hasId = false;
    ItemContent item;
    UseContent use;
    EquipContent equip;
    const KeywordBlockEnd end = ReadKeywordBlock(
        file, [file] { return BlockOf(*file) != ItemBlock::kNone; },
        [&] {
            switch (kind) {
            case ItemBlock::kItem:
                if (file->KeyIs("Item_ID:")) {
                    hasId = file->Int(&item.itemId, 1) || hasId;
                } else if (file->KeyIs("ItemType:")) {
                    file->Int(&item.itemType);
                } else if (file->KeyIs("OwnLimit:")) {
                    file->Int(&item.ownLimit, 0, kMaxOwnLimit);
                } else if (file->KeyIs("Icon:")) {
                    file->Int(&item.icon, kNoItemIcon, kMaxIcon);
                }
                break;
            case ItemBlock::kRecover:
            case ItemBlock::kExplode: {
                const bool recover = kind == ItemBlock::kRecover;
                if (file->KeyIs(recover ? "Recover_ID:" : "Explode_ID:")) {
                    hasId = file->Int(&use.id, 1) || hasId;
                } else if (file->KeyIs(recover ? "Recover_Type:" : "Explode_Type:")) {
                    UseValues(file, &use);
                }
                break;
            }
            case ItemBlock::kEquip:
                if (file->KeyIs("Equip_ID:")) {
                    hasId = file->Int(&equip.equipId, 1) || hasId;
                } else if (file->KeyIs("Equip_Type:")) {
                    file->Int(&equip.equipType);
                } else if (file->KeyIs("Prop1:")) {
                    file->Int(&equip.prop[0]);
                } else if (file->KeyIs("Prop2:")) {
                    file->Int(&equip.prop[1]);
                } else if (file->KeyIs("Aura:")) {
                    file->Word(equip.aura, sizeof equip.aura);
                }
                break;
            case ItemBlock::kNone:
                break;
            }
        });
    if (end != KeywordBlockEnd::kClosed) {
        ++*problems;  // reported by the block reader; the block is left out
        return end;
    }
    if (!hasId) {
        DebugPrint("%s:%d: a block without a valid id is left out\n", file->Name(), line);
        ++*problems;
        return end;
    }
    switch (kind) {
    case ItemBlock::kItem:
        Store(&out->items, item, &ItemContent::itemId, *file, line, "Item_ID", problems);
        break;
    case ItemBlock::kRecover:
        Store(&out->recover, use, &UseContent::id, *file, line, "Recover_ID", problems);
        break;
    case ItemBlock::kExplode:
        Store(&out->explode, use, &UseContent::id, *file, line, "Explode_ID", problems);
        break;
    case ItemBlock::kEquip:
        Store(&out->equip, equip, &EquipContent::equipId, *file, line, "Equip_ID", problems);
        break;
    case ItemBlock::kNone:
        break;
    }
    return end;
}

void AppendLine(std::string *text, const char *format, ...) __attribute__((format(printf, 2, 3)));
void AppendLine(std::string *text, const char *format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    *text += line;
}

void AppendUse(std::string *text, const char *block, const char *idKey, const char *valuesKey, const UseContent &use)
{
    AppendLine(text, "%s\n{\n%s %d\n%s", block, idKey, use.id, valuesKey);
    for (int32_t i = 0; i < use.valueCount; ++i) {
        AppendLine(text, "%s %d", i == 0 ? "" : ",", use.values[i]);
    }
    *text += "\n}\n";
}

// ---- PROBMAP.PBM ----

KeywordBlockEnd ReadMapBlock(CSKeywordFile *file, std::vector<DropMap> *out, int *problems)
{
    const int line = file->LineNumber();
    DropMap map;
    bool hasId = false;
    int32_t entries = 0;
    const KeywordBlockEnd end = ReadKeywordBlock(file, "Map", [&] {
        if (file->KeyIs("ID:")) {
            hasId = file->Int(&map.id) || hasId;
        } else if (file->KeyIs("Entry:")) {
            int32_t values[2];
            if (entries >= kDropMapEntries) {
                file->Report("a map holds at most %d entries; the line is left out", kDropMapEntries);
            } else if (file->Ints(values, 2)) {
                if (values[1] < 0 || values[1] > 100) {
                    file->Report("percent %d is not in 0..100; the line is left out", values[1]);
                } else {
                    map.entries[entries++] = {values[0], values[1]};
                }
            }
        }
    });
    if (end != KeywordBlockEnd::kClosed) {
        ++*problems;
        return end;
    }
    if (!hasId) {
        DebugPrint("%s:%d: a map without a valid ID is left out\n", file->Name(), line);
        ++*problems;
    } else if (out->size() >= static_cast<size_t>(kMaxDropMaps)) {
        DebugPrint("%s:%d: more than %d maps; the rest are left out\n", file->Name(), line, kMaxDropMaps);
        ++*problems;
    } else {
        Store(out, map, &DropMap::id, *file, line, "map", problems);
    }
    return end;
}

// ---- descriptions ----

std::u16string Widen(const std::string &text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::string ItemDescriptionPath(const char *languageCode)
{
    return std::string("\\RESOURCE\\ITEM\\DESC\\") + (languageCode != nullptr ? languageCode : "ENG") + ".IDS";
}

int ReadItemTables(CSKeywordFile *file, ItemTables *out)
{
    *out = ItemTables{};
    if (file == nullptr || !file->IsOpen()) {
        return 0;
    }
    const int reportedBefore = file->ProblemCount();
    int problems = 0;
    bool pending = file->NextLine();
    while (pending) {
        const ItemBlock kind = BlockOf(*file);
        if (kind == ItemBlock::kNone) {
            pending = file->NextLine();
            continue;
        }
        const KeywordBlockEnd end = ReadItemBlock(file, kind, out, &problems);
        // A block cut short by the next block's line leaves that line current.
        pending = end == KeywordBlockEnd::kNextBlock || (end == KeywordBlockEnd::kClosed && file->NextLine());
    }
    return file->ProblemCount() - reportedBefore + problems;
}

bool ReadItemTableFile(const char *path, ItemTables *out)
{
    CSKeywordFile file;
    if (!file.Open(path)) {
        *out = ItemTables{};
        return false;
    }
    ReadItemTables(&file, out);
    return true;
}

std::string FormatItemTables(const ItemTables &tables)
{
    std::string text;
    for (const ItemContent &item : tables.items) {
        AppendLine(&text, "ItemContent\n{\nItem_ID: %d\nItemType: %d\nOwnLimit: %d\nIcon: %d\n}\n", item.itemId,
                   item.itemType, item.ownLimit, item.icon);
    }
    for (const UseContent &use : tables.recover) {
        AppendUse(&text, "RecoverContent", "Recover_ID:", "Recover_Type:", use);
    }
    for (const UseContent &use : tables.explode) {
        AppendUse(&text, "ExplodeContent", "Explode_ID:", "Explode_Type:", use);
    }
    for (const EquipContent &equip : tables.equip) {
        AppendLine(&text, "EquipContent\n{\nEquip_ID: %d\nEquip_Type: %d\nProp1: %d\nProp2: %d\n", equip.equipId,
                   equip.equipType, equip.prop[0], equip.prop[1]);
        if (equip.aura[0] != '\0') {
            AppendLine(&text, "Aura: %s\n", equip.aura);
        }
        text += "}\n";
    }
    return text;
}

int ReadDropMaps(CSKeywordFile *file, std::vector<DropMap> *out)
{
    out->clear();
    if (file == nullptr || !file->IsOpen()) {
        return 0;
    }
    const int reportedBefore = file->ProblemCount();
    int problems = 0;
    int32_t announced = 0;
    int countLine = 0;  // the line of the count that holds; none: 0
    bool pending = file->NextLine();
    size_t blocks = 0;
    while (pending) {
        if (file->KeyIs("MapNum:") && file->Int(&announced, 0, kMaxDropMaps)) {
            countLine = file->LineNumber();
        }
        if (!file->KeyIs("Map")) {
            pending = file->NextLine();
            continue;
        }
        const KeywordBlockEnd end = ReadMapBlock(file, out, &problems);
        blocks += end == KeywordBlockEnd::kClosed ? 1 : 0;
        pending = end == KeywordBlockEnd::kNextBlock || (end == KeywordBlockEnd::kClosed && file->NextLine());
    }
    if (countLine == 0) {
        DebugPrint("%s: the file does not say how many maps it holds (MapNum)\n", file->Name());
        ++problems;
    } else if (static_cast<size_t>(announced) != blocks) {
        DebugPrint("%s:%d: MapNum: %d maps announced, %zu read\n", file->Name(), countLine, announced, blocks);
        ++problems;
    }
    return file->ProblemCount() - reportedBefore + problems;
}

bool ReadDropMapFile(const char *path, std::vector<DropMap> *out)
{
    CSKeywordFile file;
    if (!file.Open(path)) {
        out->clear();
        return false;
    }
    ReadDropMaps(&file, out);
    return true;
}

std::string FormatDropMaps(const std::vector<DropMap> &maps)
{
    std::string text;
    AppendLine(&text, "MapNum: %zu\n", maps.size());
    for (const DropMap &map : maps) {
        AppendLine(&text, "Map\n{\nID: %d\n", map.id);
        for (const DropEntry &entry : map.entries) {
            if (entry.itemId != 0 || entry.percent != 0) {
                AppendLine(&text, "Entry: %d, %d\n", entry.itemId, entry.percent);
            }
        }
        text += "}\n";
    }
    return text;
}

int ParseItemDescriptions(const game::MessageLineSource &next, const char *name, std::vector<ItemDescEntry> *out)
{
    out->clear();
    int problems = 0;
    int lineNumber = 0;
    auto report = [&](const std::string &message) {
        DebugPrint("%s:%d: %s\n", name, lineNumber, message.c_str());
        ++problems;
    };
    // The next line, its end and a first line's byte-order mark taken off.
    auto nextLine = [&](std::u16string *line) {
        if (!next(line)) {
            return false;
        }
        ++lineNumber;
        if (lineNumber == 1 && !line->empty() && line->front() == u'\xFEFF') {
            line->erase(0, 1);
        }
        game::StripLineEnd(line);
        return true;
    };
    auto nextKeyLine = [&](std::u16string *line) {
        while (nextLine(line)) {
            if (!game::IsBlankLine(*line)) {
                return true;
            }
        }
        return false;
    };
    std::u16string line;
    int64_t announced = -1;
    int countLine = 0;
    bool pending = nextKeyLine(&line);
    if (pending && game::ParseKeyInteger(line, "Count", 0, kMaxItemDescriptions, &announced)) {
        countLine = lineNumber;
        pending = nextKeyLine(&line);
    } else {
        report("\"Count: n\" expected first");
    }
    int64_t read = 0;
    while (pending) {
        int64_t id{};
        if (!game::ParseKeyInteger(line, "ID", INT32_MIN, INT32_MAX, &id)) {
            report("\"ID: k\" expected; the line is skipped");
            pending = nextKeyLine(&line);
            continue;
        }
        ItemDescEntry entry;
        entry.itemId = static_cast<int32_t>(id);
        std::u16string texts[2];
        int got = 0;
        bool nextEntryStarts = false;
        while (got < 2 && nextLine(&line)) {
            int64_t unused{};
            if (game::ParseKeyInteger(line, "ID", INT32_MIN, INT32_MAX, &unused)) {
                nextEntryStarts = true;
                break;
            }
            texts[got++] = game::UnescapeText(line);
        }
        if (got < 2) {
            report("entry " + std::to_string(entry.itemId) + " lacks its " + (got == 0 ? "name" : "description") +
                   " line");
        }
        if (got > 0) {
            entry.name = texts[0];
            entry.describe = texts[1];
            ++read;
            bool replaced = false;
            for (ItemDescEntry &held : *out) {
                if (held.itemId == entry.itemId) {
                    held = entry;
                    replaced = true;
                }
            }
            if (replaced) {
                report("entry " + std::to_string(entry.itemId) + " appears again; this one replaces the earlier");
            } else {
                out->push_back(std::move(entry));
            }
        }
        pending = nextEntryStarts || nextKeyLine(&line);
    }
    if (announced >= 0 && announced != read) {
        lineNumber = countLine;
        report("Count: " + std::to_string(announced) + " entries announced, " + std::to_string(read) + " read");
    }
    return problems;
}

bool ReadItemDescriptionFile(const char *path, std::vector<ItemDescEntry> *out)
{
    zuFile *file = zufopen(path, "rb");
    if (file == nullptr) {
        out->clear();
        return false;
    }
    ParseItemDescriptions([file](std::u16string *line) { return zufgetwline(file, line); }, path, out);
    zufclose(file);
    return true;
}

std::u16string FormatItemDescriptions(const std::vector<ItemDescEntry> &entries)
{
    std::u16string text = u"Count: " + Widen(std::to_string(entries.size())) + u"\r\n";
    for (const ItemDescEntry &entry : entries) {
        text += u"ID: " + Widen(std::to_string(entry.itemId)) + u"\r\n";
        text += game::EscapeText(entry.name) + u"\r\n";
        text += game::EscapeText(entry.describe) + u"\r\n";
    }
    return text;
}
