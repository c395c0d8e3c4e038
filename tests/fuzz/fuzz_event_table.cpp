// Fuzz target: the event table reader. The input is the file's text; what
// reads is linked, and a stage of it selected, run for a few frames without
// heroes, released and destroyed.
#include <cstddef>
#include <cstdint>

#include "app/file.h"
#include "event/event_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CSEventManager manager;
    zuFile *file = zufopenMemory(data, size, "r");
    manager.LoadEventTable(file);
    zufclose(file);
    for (const EventRecord *record : manager.Records()) {
        if (record != nullptr && record->LinkEvent != nullptr && record->LinkEvent->EventID != record->LinkID) {
            __builtin_trap();
        }
    }
    const EventRecord *first = nullptr;
    for (const EventRecord *record : manager.Records()) {
        if (record != nullptr) {
            first = record;
            break;
        }
    }
    if (first != nullptr) {
        manager.LoadStageEvents(2000000 + first->Stage() * 10000, 1);
        for (int frame = 0; frame < 3; ++frame) {
            manager.CheckTriggers(0.016f);
            manager.Update(0.016f);
        }
        manager.ReleaseStageEvents();
    }
    manager.Release();
    return 0;
}
