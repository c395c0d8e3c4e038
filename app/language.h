// The game's language index (0 Chinese, 1 English and the default, 2 to 14
// the others) and what hangs on it: the pack folder and the three-letter
// code of each language.
#pragma once

inline constexpr int kLanguageCount = 15;

int GetLanguageIndex();
// Indices outside 0..14 are taken as 1.
void SetLanguageIndex(int language);

// "\CHAPACK", "\USAPACK", "\FREPACK" ... for 0..14; "\USAPACK" otherwise.
const char *GetLanguagePackFolder(int language);
// "CHA", "USA", "FRE" ... for 0..14; "USA" otherwise.
const char *GetLanguageCode(int language);
