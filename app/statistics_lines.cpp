// The statistics overlay's lines.
#include "app/statistics.h"

#include <cmath>

namespace {

std::string Kilobytes(const char *label, uint64_t bytes) { return std::string(label) + " " + std::to_string(bytes / 1024) + " KB"; }

}  // namespace

std::vector<std::string> StatisticsLines(uint32_t mode, const StatisticsFigures &figures)
{
    std::vector<std::string> lines;
    if (mode >= 1) {
        lines.push_back("FPS " + std::to_string(static_cast<int>(std::lround(figures.fps))));
    }
    if (mode >= 2) {
        lines.push_back(Kilobytes("MEM", figures.memoryBytes));
        lines.push_back(Kilobytes("TEX", figures.textureBytes));
        lines.push_back(Kilobytes("SND", figures.soundBytes));
    }
    if (mode >= 3) {
        lines.push_back("STAGE " + std::to_string(figures.stageId));
        lines.push_back("ACTORS " + std::to_string(figures.actorCount));
    }
    return lines;
}
