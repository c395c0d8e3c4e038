// Fuzz target: the core's own chunk readers (camera, matrix, frame list,
// texture reference, image) on arbitrary bytes; the first byte picks one.
#include "tests/fuzz/fuzz_engine.h"

namespace {

void ReadOne(RwUInt8 which, RwStream *stream)
{
    switch (which % 5) {
    case 0:
        if (RwCamera *camera = RwCameraStreamRead(stream)) RwCameraDestroy(camera);
        break;
    case 1:
        if (RwMatrix *matrix = RwMatrixStreamRead(stream, nullptr)) RwMatrixDestroy(matrix);
        break;
    case 2: {
        RwFrameList list{};
        if (RwFrameListStreamRead(stream, &list) != nullptr) {
            // Roots go with their hierarchies; children were destroyed with them.
            for (RwInt32 i = list.numFrames - 1; i >= 0; --i) {
                if (RwFrameGetParent(list.frames[i]) == nullptr) RwFrameDestroyHierarchy(list.frames[i]);
            }
            RwFrameListDeinit(&list);
        }
        break;
    }
    case 3:
        if (RwTexture *texture = RwTextureStreamRead(stream)) RwTextureDestroy(texture);
        break;
    default:
        if (RwImage *image = RwImageStreamRead(stream)) RwImageDestroy(image);
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzengine::Started() || size < 2) return 0;
    RwMemoryDescriptor desc;
    RwStream *stream = fuzzengine::OpenInput(data + 1, size - 1, &desc);
    if (stream == nullptr) return 0;
    ReadOne(data[0], stream);
    RwStreamClose(stream, nullptr);
    RwError error;
    RwErrorGet(&error);
    return 0;
}
