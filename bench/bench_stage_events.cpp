// Event benchmark: one frame of the event manager (the trigger pass and the
// update) over a stage of 300 events: quadrilateral and circle areas, two
// heroes walking, bound actors counted, a third of the events running.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/file.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_table_file.h"

namespace {

struct BenchActor {
    int32_t group = 0;
    bool removed = false;
    int32_t player = 0;
    RwV3d position = {0.0f, 0.0f, 0.0f};
};

std::vector<BenchActor> g_heroes(2);
std::vector<BenchActor> g_actors;

BenchActor *Actor(AiObject *a) { return reinterpret_cast<BenchActor *>(a); }

void Link()
{
    EventLinks links;
    links.heroCount = [] { return 2; };
    links.hero = [](int32_t i) { return reinterpret_cast<AiObject *>(&g_heroes[static_cast<size_t>(i)]); };
    links.playerIndex = [](AiObject *a) { return Actor(a)->player; };
    links.firstActor = [] { return reinterpret_cast<AiObject *>(&g_actors[0]); };
    links.nextActor = [](AiObject *a) -> AiObject * {
        BenchActor *next = Actor(a) + 1;
        return next < g_actors.data() + g_actors.size() ? reinterpret_cast<AiObject *>(next) : nullptr;
    };
    links.eventGroup = [](AiObject *a) { return Actor(a)->group; };
    links.isRemoved = [](AiObject *a) { return Actor(a)->removed; };
    links.isBusy = [](AiObject *) { return false; };
    links.pose = [](AiObject *a, RwV3d *position, RwV3d *facing) {
        *position = Actor(a)->position;
        *facing = {0.0f, 0.0f, 1.0f};
        return true;
    };
    g_eventLinks = links;
}

// 300 events of the first stage: its end-at-once, link starter and exit
// ids over and over, each with an area (a quadrilateral or a circle) and
// two bound actors.
std::vector<EventTableEntry> StageTable()
{
    std::vector<EventTableEntry> entries;
    for (int i = 0; i < 300; ++i) {
        EventTableEntry e;
        static const int32_t ids[] = {79010400, 79010500, 79010600, 79010900, 79011000, 79011600,
                                      79011700, 79012500, 79012600, 79012400};
        e.eventId = ids[i % 10];
        e.maxOccur = 1000;
        e.npcNum = 2;
        const float x = static_cast<float>(i % 20) * 20.0f;
        const float z = static_cast<float>(i / 20) * 20.0f;
        if (i % 2 == 0) {
            e.corners[0] = {x + 1.0f, 0.0f, z};
            e.corners[1] = {x + 11.0f, 0.0f, z};
            e.corners[2] = {x + 11.0f, 0.0f, z + 10.0f};
            e.corners[3] = {x + 1.0f, 0.0f, z + 10.0f};
        } else {
            e.circleCentre = {x, 0.0f, z};
            e.radius = 6.0f;
        }
        entries.push_back(e);
    }
    return entries;
}

void BM_EventFrame300(benchmark::State &state)
{
    g_actors.assign(600, BenchActor());
    for (size_t i = 0; i < g_actors.size(); ++i) {
        g_actors[i].group = 79010400 + static_cast<int32_t>(i % 10) * 100;
    }
    g_heroes[1].player = 1;
    Link();
    CSEventManager manager;
    const std::string text = FormatEventTable(StageTable());
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    manager.LoadEventTable(file);
    zufclose(file);
    manager.LoadStageEvents(2010000, 2);
    int frame = 0;
    for (auto _ : state) {
        g_heroes[0].position = {static_cast<float>(frame % 400), 0.0f, 50.0f};
        g_heroes[1].position = {50.0f, 0.0f, static_cast<float>(frame % 300)};
        for (int h = 0; h < 2; ++h) {
            manager.SetPlayerPose(h, reinterpret_cast<AiObject *>(&g_heroes[static_cast<size_t>(h)]));
        }
        manager.CheckTriggers(1.0f / 60.0f);
        manager.Update(1.0f / 60.0f);
        ++frame;
    }
    state.SetItemsProcessed(state.iterations() * 300);
    manager.Release();
    g_eventLinks = EventLinks();
}
BENCHMARK(BM_EventFrame300);

}  // namespace

BENCHMARK_MAIN();
