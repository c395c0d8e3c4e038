// The interface packs of the sample data, in "\PACK\UI0\": WARNING (the
// warning picture), COMMON (PLAYER, WORD, BASEMAP and EQUIP), UIMAP (the
// front end's pictures: LOGO3, LOGO, COPYRIT, SPBASE, SELCHAR, the load
// screen's SAVLOD, SLWORD, STAGPHO, the options' OPTBASE and OPTION),
// UISFX (the 25 interface sounds and WORD.TXT), SELCHAR (the selection heroes with their animations and motion
// tables, and the selection's sky box), LOBBY (MAPBASE and LOBBY), UISAVGAM
// (the save panel's SAVLOD), UILOBBY (SLWORD and STAGPHO: the lobby's own,
// and a save panel's that reads its own), GAMEPLAY (the overlay's BASE),
// SELSTAGE (the stage select's SELSTAG and name files), LOBYSTOR (the
// store's message files and the icon sheet 001), GAMEOVER (OVER_ENG and
// OVER_CHI) and CLEAR (RANKBAS and CLEAR); and in "\PACK\UI1\" the result
// screens' hero pictures RANKPIC1 (CHAR01 and hero 0's five weapons) and
// RANKPIC2. The pictures live in their packs only; the loading screen's
// (GFSCENE1-7, GFLOAD) lie in their folder, where the loading screen reads
// them without a pack, and so do the item icon sheets 001-006, which the
// stage's items read there too.
#pragma once

#include <string>
#include <vector>

#include "stage/motion_table.h"

namespace mkdata {

struct InterfacePack {
    const char *name;                   // "COMMON": PACK/UI0/COMMON.STR and .LST
    std::vector<std::string> pictures;  // names of InterfacePictures()
    const char *folder = "PACK/UI0";    // where the pack goes under the root
};
const std::vector<InterfacePack> &InterfacePacks();
inline const char *InterfacePackFolder() { return "PACK/UI0"; }

// The selection heroes: folder and name under the data root.
struct SelectionHeroFiles {
    const char *folder;  // "RESOURCE/SELCHAR/ROREVOV"
    const char *name;    // "UIBRE" (.DFF, .ANM, .AMF)
};
const std::vector<SelectionHeroFiles> &SelectionHeroes();
// Idle (the walk), the confirm motion (the wave) and what follows it.
const MotionTable &SelectionMotionTable();
inline const char *SelectionSkyBoxFolder() { return "RESOURCE/SKYBOX/UI"; }

// WORD.TXT's words: 0 the item prefix, 1 the notice, 2 the return-to-title
// question, 3 and 4 the modal box's two choices, 5 the status page's
// question before taking worn armour off.
std::vector<std::u16string> SampleWords(const std::string &language);
// The file as written (UTF-16LE with a mark, lines ending in CR LF).
std::string EncodeWordFile(const std::vector<std::u16string> &words);

bool WriteInterfacePacks(const std::string &root);

}  // namespace mkdata
