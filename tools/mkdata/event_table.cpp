// The sample event table (see event_table.h).
#include "tools/mkdata/event_table.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tools/mkdata/sample_actor_yards.h"
#include "tools/mkdata/sample_doors.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/sample_movies.h"
#include "tools/mkdata/sample_scene_data.h"
#include "tools/mkdata/sample_stage_ends.h"
#include "tools/mkdata/sample_talk_data.h"

namespace mkdata {

namespace {

// The exit stands across the far end of the yard (its walls stand at 200;
// the heroes start at z = -40 facing +z); corners follow each other around
// the area.
constexpr float kExitNear = 125.0f;
constexpr float kExitFar = 187.5f;
constexpr float kExitHalfWidth = 75.0f;
constexpr int32_t kSecondStageExit = 79021100;

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
        // Every other stage's end (sample_stage_ends.h); stage 2's exit goes
        // first, so that the first stage's events start at index 1.
        std::vector<EventTableEntry> ends = SampleStageEndEntries();
        const auto secondExit = std::find_if(ends.begin(), ends.end(),
                                             [](const EventTableEntry &e) { return e.eventId == kSecondStageExit; });
        const EventTableEntry otherStage = *secondExit;
        ends.erase(secondExit);

        // The exit's area across the far end of the yard.
        RwV3d exitArea[4] = {{-kExitHalfWidth, 0.0f, kExitNear},
                             {kExitHalfWidth, 0.0f, kExitNear},
                             {kExitHalfWidth, 0.0f, kExitFar},
                             {-kExitHalfWidth, 0.0f, kExitFar}};
        // Waits for the monster bound to it to be gone and for a hero in the
        // exit's area, then ends at once: the monster's defeat opens the exit.
        EventTableEntry cleared = Entry(kSampleMonsterEvent, "MONSTER_CLEARED");
        for (int i = 0; i < 4; ++i) {
            cleared.corners[i] = exitArea[i];
        }
        cleared.position = {0.0f, 0.0f, (kExitNear + kExitFar) * 0.5f};
        cleared.npcNum = 1;
        cleared.linkId = 79012500;

        // Starts the exit once one event reporting to it has ended.
        EventTableEntry starter = Entry(79012500, "OPEN_EXIT");
        starter.linkId = 79012400;

        // The exit itself always holds (its code is 400): no player slot
        // takes part in its trigger test, so only the link starter starts it.
        EventTableEntry exit = Entry(79012400, "STAGE1_EXIT");
        exit.position = cleared.position;
        exit.playerMask = 0;

        EventTableEntry unknown = Entry(79014000, "UNKNOWN");

        // Another stage's bombardment: the points of its fourteenth line.
        EventTableEntry bombardment = Entry(79160200, "BOMBARDMENT");
        bombardment.circleCentre = {10.0f, 0.0f, -20.0f};
        bombardment.radius = 60.0f;
        bombardment.playerMask = 1;
        bombardment.maxOccur = 1000;
        bombardment.points = {{-30.0f, 0.0f, 40.0f}, {0.0f, 0.0f, 55.5f}, {30.0f, 0.0f, 40.0f}};
        std::vector<EventTableEntry> table = {otherStage, cleared, starter, exit, unknown, bombardment};
        // The stages' movies.
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
        // Stage 19's talk with its figures.
        for (const EventTableEntry &entry : SampleActorYardEvents()) {
            table.push_back(entry);
        }
        table.push_back(SampleSceneEntry());
        // The first stage's doors.
        for (const EventTableEntry &entry : SampleDoorEntries()) {
            table.push_back(entry);
        }
        for (const EventTableEntry &entry : ends) {
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
