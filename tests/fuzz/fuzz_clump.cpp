// Fuzz target: the clump reader (frames, geometries with their materials,
// atomics, lights and every plug-in's stream data on each of them), then the
// model writer and the reader again on what it wrote.
#include "rpworld.h"
#include "tests/fuzz/fuzz_game_engine.h"
#include "tools/mkdata/model_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzgame::Started()) {
        return 0;
    }
    fuzzgame::Check(fuzzgame::ReadWriteRead<RpClump>(
        data, size, rwID_CLUMP, RpClumpStreamRead,
        [](RpClump *clump, RwStream *out) { return mkdata::WriteClumpChunk(clump, out); },
        [](RpClump *clump) { RpClumpDestroy(clump); }));
    return 0;
}
