// Fuzz target: the world reader (material list, the sector tree and every
// plug-in's stream data on the world, its sectors and materials), then the
// world writer and the reader again on what it wrote.
#include "rpworld.h"
#include "tests/fuzz/fuzz_game_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzgame::Started()) {
        return 0;
    }
    fuzzgame::Check(fuzzgame::ReadWriteRead<RpWorld>(
        data, size, rwID_WORLD_CHUNK, RpWorldStreamRead,
        [](RpWorld *world, RwStream *out) { return RpWorldStreamWrite(world, out) != nullptr; },
        [](RpWorld *world) { RpWorldDestroy(world); }));
    return 0;
}
