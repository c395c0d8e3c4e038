// The result screens' pictures of the sample data: the game-over pictures
// (OVER_ENG, OVER_CHI), the stage clear's CLEAR (512 x 256, by language)
// and RANKBAS, and the ranking's cells of the lobby's art (labels and grade
// letters by language). Every rectangle the screens cut is a named cell.
// The RANKPIC packs hold the status page's pictures of the heroes (CHAR01,
// CHAR02 and the ten weapon pictures, pause_data.h), which the result
// screens cut in 512ths.
#pragma once

#include <vector>

#include "tools/mkdata/ui_pictures.h"

namespace mkdata {

std::vector<PictureSpec> ResultScreenPictures();
// The ranking's cells of LOBBY (whose left strip is the lobby's): the title
// for every language, the labels and grade letters of language 0
// (`chinese`) or of the others.
std::vector<PictureCell> RankingLobbyCells();
std::vector<PictureCell> RankingLobbyLanguageCells(bool chinese);
// The names of the pictures of RANKPIC1 (hero 0) or RANKPIC2 (hero 1).
std::vector<std::string> RankPicturePictures(int hero);

}  // namespace mkdata
