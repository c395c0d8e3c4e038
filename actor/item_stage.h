// The items as members of the stage record: the item manager, the
// description table of the running language, the thrown-item manager and
// the world-item manager (the icon sheets) are made once per run with the
// stage's first parts and go with the stage record. The items pack
// (\PACK\ITEM\ITEM) fills the tables once per run; the effects pack brings
// the icon sheets.
#pragma once

class CSStageManager;

inline constexpr const char *kItemsPackPath = "\\PACK\\ITEM\\ITEM.STR";

void CreateItemMembers(CSStageManager *stage);
void DestroyItemMembers(CSStageManager *stage);
// The item table, the drop maps and the descriptions of the running
// language (English when the language has none), read with the items pack
// open. A missing file leaves its part empty (with a diagnostic); the game
// runs on without items.
void LoadItemsPackInto(CSStageManager *stage);
// The icon sheets, while the effects pack is open (nothing before the
// item members are made).
void LoadItemIcons(CSStageManager *stage);
// The frame's end for the items: the thrown items are forgotten.
void UpdateItemMembers(CSStageManager *stage);
