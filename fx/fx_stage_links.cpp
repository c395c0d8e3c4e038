// The effects' links to the running game (see fx_stage_links.h).
#include "fx/fx_stage_links.h"

#include "fx/fx_links.h"
#include "stage/stage_manager.h"

void ConnectFxLinksToGame()
{
    g_fxLinks.stageId = [] { return g_pStageManager != nullptr ? g_pStageManager->stageId : 0; };
}
