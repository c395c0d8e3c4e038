// The sample event table (see event_table.h).
#include "tools/mkdata/event_table.h"

#include <cstdio>
#include <filesystem>

#include "tools/mkdata/sample_doors.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/sample_movies.h"
#include "tools/mkdata/sample_scene_data.h"
#include "tools/mkdata/sample_talk_data.h"

namespace mkdata {

namespace {

// The exit stands across the far end of the yard (its walls stand at 200;
// the heroes start at z = -40 facing +z); corners follow each other around
// the area.
constexpr float kExitNear = 125.0f;
constexpr float kExitFar = 187.5f;
constexpr float kExitHalfWidth = 75.0f;

EventTableEntry Entry(int32_t id, const char *label)
{
    EventTableEntry e;
    e.eventId = id;
    e.label = label;
    return e;
}

}  // namespace

const std::vector<EventTableEntry> &SampleEventTable()
{
    static const std::vector<EventTableEntry> entries = [] {
        EventTableEntry otherStage = Entry(79021100, "STAGE2_EXIT");
        otherStage.radius = 40.0f;

        // Ends as soon as the monster bound to it is gone.
        EventTableEntry cleared = Entry(kSampleMonsterEvent, "MONSTER_CLEARED");
        cleared.npcNum = 1;
        cleared.linkId = 79012500;

        // Starts the exit once one event reporting to it has ended.
        EventTableEntry starter = Entry(79012500, "OPEN_EXIT");
        starter.linkId = 79012400;

        EventTableEntry exit = Entry(79012400, "STAGE1_EXIT");
        exit.corners[0] = {-kExitHalfWidth, 0.0f, kExitNear};
        exit.corners[1] = {kExitHalfWidth, 0.0f, kExitNear};
        exit.corners[2] = {kExitHalfWidth, 0.0f, kExitFar};
        exit.corners[3] = {-kExitHalfWidth, 0.0f, kExitFar};
        exit.position = {0.0f, 0.0f, (kExitNear + kExitFar) * 0.5f};

        EventTableEntry unknown = Entry(79014000, "UNKNOWN");

        // Another stage's bombardment: the points of its fourteenth line.
        EventTableEntry bombardment = Entry(79160200, "BOMBARDMENT");
        bombardment.circleCentre = {10.0f, 0.0f, -20.0f};
        bombardment.radius = 60.0f;
        bombardment.playerMask = 1;
        bombardment.maxOccur = 1000;
        bombardment.points = {{-30.0f, 0.0f, 40.0f}, {0.0f, 0.0f, 55.5f}, {30.0f, 0.0f, 40.0f}};
        // The final stage's exit across the same far end of the yard: it
        // opens once the stage's closing movie (79370200) has played.
        EventTableEntry finalExit = exit;
        finalExit.eventId = 79370300;
        finalExit.label = "STAGE37_EXIT";
        finalExit.linkId = 79370200;
        std::vector<EventTableEntry> table = {otherStage, cleared, starter, exit, unknown, bombardment, finalExit};
        // The stages' movies (the final one before the exit it opens).
        for (const EventTableEntry &entry : SampleMovieEntries()) {
            table.push_back(entry);
        }
        // The hazard, puzzle and trap stages' events.
        for (const EventTableEntry &entry : SampleEventStageEntries()) {
            table.push_back(entry);
        }
        // The first stage's talk, conversation and notice board.
        for (const EventTableEntry &entry : SampleTalkEntries()) {
            table.push_back(entry);
        }
        table.push_back(SampleSceneEntry());
        // The first stage's doors.
        for (const EventTableEntry &entry : SampleDoorEntries()) {
            table.push_back(entry);
        }
        return table;
    }();
    return entries;
}

bool WriteEventTableFile(const std::string &path, const std::vector<EventTableEntry> &entries)
{
    const std::string text = FormatEventTable(entries);
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

bool WriteEventTable(const std::string &root)
{
    const std::filesystem::path folder = std::filesystem::path(root) / EventTableFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return !error && WriteEventTableFile((folder / EventTableName()).string(), SampleEventTable());
}

}  // namespace mkdata
