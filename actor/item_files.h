// The item files: the item table ITEMCON.ICL, the drop probability map
// PROBMAP.PBM and the items' descriptions (<language>.IDS, UTF-16LE), with
// their readers and the writers the sample-data maker uses (layouts in
// docs/formats.md). The readers take what they can: a malformed line or
// block is reported with the file and line and left out, the rest is read;
// of two records with one id the later replaces the earlier.
#pragma once

#include <string>
#include <vector>

#include "actor/item_records.h"
#include "app/message_table.h"

class CSKeywordFile;

// Where the game finds them.
inline constexpr const char *kItemTablePath = "\\RESOURCE\\ITEM\\ITEMCON.ICL";
inline constexpr const char *kDropMapPath = "\\RESOURCE\\ITEM\\PROBMAP.PBM";
// "\RESOURCE\ITEM\DESC\ENG.IDS" for the language code "ENG".
std::string ItemDescriptionPath(const char *languageCode);

// ITEMCON.ICL. Returns the number of problems reported.
int ReadItemTables(CSKeywordFile *file, ItemTables *out);
// False (tables empty) when the file cannot be opened.
bool ReadItemTableFile(const char *path, ItemTables *out);
std::string FormatItemTables(const ItemTables &tables);

// PROBMAP.PBM. Returns the number of problems reported.
int ReadDropMaps(CSKeywordFile *file, std::vector<DropMap> *out);
bool ReadDropMapFile(const char *path, std::vector<DropMap> *out);
std::string FormatDropMaps(const std::vector<DropMap> &maps);

// A description file from a source of UTF-16 lines; `name` stands for the
// file in reports. Returns the number of problems reported.
int ParseItemDescriptions(const game::MessageLineSource &next, const char *name,
                          std::vector<ItemDescEntry> *out);
bool ReadItemDescriptionFile(const char *path, std::vector<ItemDescEntry> *out);
// The file's text (without the byte-order mark the maker writes before it).
std::u16string FormatItemDescriptions(const std::vector<ItemDescEntry> &entries);
