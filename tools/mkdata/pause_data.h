// The sample data of the pause menu, the stage map and the status page:
// the PLAYER and WORD cells they cut (the menu's entries,
// the map's frame and marker, the text list's bar, pointer and arrows, the
// status page's frames, tabs, labels, hero names and property icons, and
// the skill commands' key pictures), the heroes' status pictures (CHAR01,
// CHAR02 and the weapon pictures 5100160-5100250, all with masks), the 29
// stage maps STAGEnn (each with labelled corners, so that a marker's place
// can be read off a screenshot), their packs (PACK/PAUSE/MAPBASE, CHAR01,
// CHAR02; PACK/UI2 and PACK/UI3 one per stage map), and the skill files
// CHAR01.SKL and CHAR02.SKL for USA and CHA.
#pragma once

#include <string>
#include <vector>

#include "tools/mkdata/ui_pictures.h"

namespace mkdata {

void AddPausePlayerCells(std::vector<PictureCell> *cells);
// Cells of WORD's English and Chinese pictures (put before the prompts'
// words, which are drawn over them).
void AddPauseWordCells(std::vector<PictureCell> *eng, std::vector<PictureCell> *chi);
// The pictures only the PAUSE and stage map packs hold.
std::vector<PictureSpec> PausePictures();

// A pack outside PACK/UI0: its folder under the data root and the
// interface pictures it holds.
struct PagePack {
    std::string folder;  // "PACK/PAUSE"
    std::string name;    // "MAPBASE"
    std::vector<std::string> pictures;
};
const std::vector<PagePack> &PagePacks();

// The stage map picture's name ("STAGE00") and folder for a stage id.
std::string StageMapPictureName(int stageId);
std::string StageMapFolder(int stageId);

// A skill file's text: hero 0 or 1, language "USA" or "CHA".
std::u16string SampleSkillText(int hero, const std::string &language);
bool WriteSkillFiles(const std::string &root);

}  // namespace mkdata
