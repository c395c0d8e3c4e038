// Fuzz target: the platform-independent texture dictionary reader on the
// game's engine (our driver's rasters, every plug-in's texture data), both
// layouts, with the dictionary's textures walked as the pack loader does.
#include "rtpitexd.h"
#include "tests/fuzz/fuzz_game_engine.h"

namespace {

RwTexture *Touch(RwTexture *texture, void *count)
{
    ++*static_cast<int *>(count);
    return RwTextureGetRaster(texture) != nullptr ? texture : nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzgame::Started()) {
        return 0;
    }
    RwMemoryDescriptor desc;
    RwStream *stream = fuzzgame::OpenInput(data, size, &desc);
    if (stream == nullptr) {
        return 0;
    }
    RwTexDictionary *dict = RtPITexDStreamRead(stream);
    RwStreamClose(stream, nullptr);
    if (dict != nullptr) {
        int count = 0;
        RwTexDictionaryForAllTextures(dict, Touch, &count);
        RwTexDictionaryDestroy(dict);
    }
    RwError error;
    RwErrorGet(&error);
    return 0;
}
