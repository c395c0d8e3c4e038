// The sample data of the lobby and its pages: the cells of the LOBBY and
// SELSTAG pictures (menu entries, labels, the stage panel, the store's
// panels, tabs and picker, the map's nodes, banner pieces, cursor corners
// and info pictures), the monster photos added to STAGPHO, the PLAYER
// cells the lobby cuts (its cursor), the stage-select name files
// (<code>STAGE.NAM with 29 records, <code>MONST.NAM with 11, for ENG and
// CHI) and the store's message files of all 15 languages, each entry
// labelled with its number.
#pragma once

#include <string>
#include <vector>

#include "tools/mkdata/sample_stages.h"
#include "tools/mkdata/ui_pictures.h"

namespace mkdata {

class PackWriter;

std::vector<PictureCell> LobbyCells();
std::vector<PictureCell> LobbyChiCells();
std::vector<PictureCell> LobbyEngCells();
std::vector<PictureCell> SelstagCells();
// The monster-list photos 29..39 of STAGPHO (after the 29 stage photos).
std::vector<PictureCell> MonsterPhotoCells();
std::vector<PictureCell> LobbyPlayerCells();

// The texts of the name files ("ENG" or "CHI").
struct StageNameText {
    int32_t id;
    std::u16string name;
    std::u16string description[2];  // for hero 0, hero 1
};
std::vector<StageNameText> SampleStageNames(const std::string &language);
std::vector<std::u16string> SampleMonsterLists(const std::string &language, int list);
// The files as written: UTF-16LE with a mark, lines ending in CR LF.
std::string EncodeStageNameFile(const std::vector<StageNameText> &names);
std::string EncodeMonsterListFile(const std::string &language);

// The store's 45 messages of language 0..14 (the file's name is
// StoreMessageFileName's).
std::vector<std::u16string> SampleStoreMessages(int language);
std::string EncodeStoreFile(const std::vector<std::u16string> &messages);

// A stage of the stage select's map that no other sample fills: the arena
// without actors, told apart by its fog colour, its row of crates (one to
// three by its number) and its music, with the stage particle set.
SampleStageSpec MapStageVariant(const SampleStageSpec &arena, int32_t id);

// Writes the name files into SELSTAGE's pack and the store's files and its
// icon sheet (which stays on disc for the items) into LOBYSTOR's; the
// relative paths of what may be removed from disc go to *packed.
bool AddStageSelectFiles(const std::string &root, PackWriter *pack, std::vector<std::string> *packed);
bool AddStoreFiles(const std::string &root, PackWriter *pack, std::vector<std::string> *packed);

}  // namespace mkdata
