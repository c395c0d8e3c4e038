// Drawing the statistics overlay from the game system's figures.
#include "app/statistics.h"

#include "app/bitmap_font.h"
#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/memory.h"
#include "app/textures.h"

void DrawStatistics(CSGameSystem *gameSystem)
{
    if (gameSystem == nullptr || gameSystem->displayInfoMode == 0 || GetGlobalFont() == nullptr) {
        return;
    }
    GameSystemChildren children{*gameSystem};
    StatisticsFigures figures;
    figures.fps = gameSystem->Fps();
    figures.memoryBytes = zuGetBytesInUse();
    figures.textureBytes = GetTextureMemoryUsed();
    figures.soundBytes = children.SoundBytes();
    if (children.HasStage()) {
        figures.stageId = children.StageId();
        figures.actorCount = children.ActorCount();
    }
    const float rowHeight = static_cast<float>(GetGlobalFont()->LineHeight());
    float y = kStatisticsY;
    for (const std::string &line : StatisticsLines(gameSystem->displayInfoMode, figures)) {
        DrawFontText(line.c_str(), kStatisticsX, y);
        y += rowHeight;
    }
}
