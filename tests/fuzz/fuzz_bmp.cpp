// Fuzz target: the BMP reader on arbitrary bytes.
#include "rtbmp.h"
#include "tests/fuzz/fuzz_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzengine::Started() || size == 0) return 0;
    RwMemoryDescriptor desc;
    RwStream *stream = fuzzengine::OpenInput(data, size, &desc);
    if (stream == nullptr) return 0;
    RwImage *image = RtBmpStreamRead(stream);
    RwStreamClose(stream, nullptr);
    if (image != nullptr) RwImageDestroy(image);
    RwError error;
    RwErrorGet(&error);
    return 0;
}
