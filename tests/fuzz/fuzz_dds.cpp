// Fuzz target: the DDS reader and its software decoders on arbitrary bytes.
#include "rwd3d8dds.h"
#include "tests/fuzz/fuzz_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzengine::Started() || size == 0) return 0;
    RwMemoryDescriptor desc;
    RwStream *stream = fuzzengine::OpenInput(data, size, &desc);
    if (stream == nullptr) return 0;
    RwRaster *raster = RwD3D8RasterReadDDS(stream);
    RwStreamClose(stream, nullptr);
    if (raster != nullptr) RwRasterDestroy(raster);
    RwError error;
    RwErrorGet(&error);
    return 0;
}
