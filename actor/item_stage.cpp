// The items as stage members (see item_stage.h).
#include "actor/item_stage.h"

#include <vector>

#include "actor/item_files.h"
#include "actor/item_icons.h"
#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "actor/thrown_items.h"
#include "app/debug.h"
#include "app/file.h"
#include "app/language.h"
#include "app/message_table.h"
#include "app/pack.h"
#include "stage/stage_manager.h"
#include "stage/stage_members.h"

namespace {

std::vector<ItemDescEntry> ReadLanguageDescriptions()
{
    std::vector<ItemDescEntry> entries;
    const char *code = game::MessageLanguageCode(GetLanguageIndex());
    const std::string own = ItemDescriptionPath(code);
    if (zufexists(own.c_str())) {
        ReadItemDescriptionFile(own.c_str(), &entries);
        return entries;
    }
    const std::string english = ItemDescriptionPath("ENG");
    DebugPrint("%s: no item descriptions in this language; the English ones are shown\n", own.c_str());
    ReadItemDescriptionFile(english.c_str(), &entries);
    return entries;
}

}  // namespace

void CreateItemMembers(CSStageManager *stage)
{
    MakeStageMember(&stage->itemManager);
    MakeStageMember(&stage->itemDescTable);
    MakeStageMember(&stage->thrownItems);
    MakeStageMember(&stage->worldItems);
}

void DestroyItemMembers(CSStageManager *stage)
{
    DeleteStageMember(&stage->worldItems);
    DeleteStageMember(&stage->thrownItems);
    DeleteStageMember(&stage->itemDescTable);
    DeleteStageMember(&stage->itemManager);
}

void LoadItemsPackInto(CSStageManager *stage)
{
    CreateItemMembers(stage);
    const bool packed = zuOpenPack(kItemsPackPath);
    ItemTables tables;
    ReadItemTableFile(kItemTablePath, &tables);
    stage->itemManager->SetTables(std::move(tables));
    std::vector<DropMap> maps;
    ReadDropMapFile(kDropMapPath, &maps);
    stage->itemManager->SetDropMaps(std::move(maps));
    stage->itemDescTable->SetEntries(ReadLanguageDescriptions());
    if (packed) {
        zuClosePack();
    }
}

void LoadItemIcons(CSStageManager *stage)
{
    if (stage->worldItems != nullptr) {
        stage->worldItems->LoadIconSheets();
    }
}

void UpdateItemMembers(CSStageManager *stage)
{
    if (stage->thrownItems != nullptr) {
        stage->thrownItems->Update();
    }
}
