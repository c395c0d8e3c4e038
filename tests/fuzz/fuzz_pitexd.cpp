// Fuzz target: the platform-independent texture dictionary reader (image
// chunks, texture chunks and their names) on arbitrary bytes.
#include "rtpitexd.h"
#include "tests/fuzz/fuzz_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzengine::Started() || size == 0) return 0;
    RwMemoryDescriptor desc;
    RwStream *stream = fuzzengine::OpenInput(data, size, &desc);
    if (stream == nullptr) return 0;
    RwTexDictionary *dict = RtPITexDStreamRead(stream);
    RwStreamClose(stream, nullptr);
    if (dict != nullptr) RwTexDictionaryDestroy(dict);
    RwError error;
    RwErrorGet(&error);
    return 0;
}
