// Fuzz target: the animation reader with the key-frame schemes the game's
// plug-ins register, then the animation writer and the reader again on what
// it wrote.
#include "rtanim.h"
#include "tests/fuzz/fuzz_game_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzgame::Started()) {
        return 0;
    }
    fuzzgame::Check(fuzzgame::ReadWriteRead<RtAnimAnimation>(
        data, size, rwID_ANIMANIMATION, RtAnimAnimationStreamRead,
        [](RtAnimAnimation *animation, RwStream *out) { return RtAnimAnimationStreamWrite(animation, out) != nullptr; },
        [](RtAnimAnimation *animation) { RtAnimAnimationDestroy(animation); }));
    return 0;
}
