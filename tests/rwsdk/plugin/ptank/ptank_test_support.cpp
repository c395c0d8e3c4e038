// The particle engine fixture and the reference-image comparison (see
// ptank_test_support.h).
#include "ptank_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rwd3d8.h"

namespace ptanktest {

namespace {

bool AttachParticles() { return RpWorldPluginAttach() && RpPTankPluginAttach() && RpPrtStdPluginAttach(); }

std::string ReferencePath(const std::string &name)
{
    return std::string(RW_TEST_SOURCE_DIR) + "/tests/rwsdk/plugin/ptank/reference/" + name + ".bmp";
}

void PutLE(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

uint32_t GetLE(const std::vector<uint8_t> &in, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<uint32_t>(in[at + i]) << (8 * i);
    }
    return value;
}

// Bottom-up 24-bit rows padded to 4 bytes, as every viewer reads them.
bool WriteBmp(const std::string &path, const win::Frame &frame)
{
    const uint32_t row = (frame.width * 3 + 3) & ~3u;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLE(out, 54 + row * frame.height, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, frame.width, 4);
    PutLE(out, frame.height, 4);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    for (int i = 0; i < 6; ++i) {
        PutLE(out, 0, 4);
    }
    for (uint32_t y = frame.height; y-- > 0;) {
        for (uint32_t x = 0; x < frame.width; ++x) {
            PutLE(out, frame.At(x, y) & 0xFFFFFFu, 3);
        }
        out.resize(out.size() + (row - frame.width * 3), 0);
    }
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    std::fclose(file);
    return ok;
}

bool ReadBmp(const std::string &path, win::Frame *frame)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::vector<uint8_t> in;
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        in.insert(in.end(), buffer, buffer + n);
    }
    std::fclose(file);
    if (in.size() < 54 || in[0] != 'B' || in[1] != 'M' || GetLE(in, 28, 2) != 24) {
        return false;
    }
    frame->width = GetLE(in, 18, 4);
    frame->height = GetLE(in, 22, 4);
    const uint32_t row = (frame->width * 3 + 3) & ~3u;
    const size_t data = GetLE(in, 10, 4);
    if (frame->width > 4096 || frame->height > 4096 || data + size_t(row) * frame->height > in.size()) {
        return false;
    }
    frame->pixels.assign(size_t(frame->width) * frame->height, 0);
    for (uint32_t y = 0; y < frame->height; ++y) {
        const size_t at = data + size_t(frame->height - 1 - y) * row;
        for (uint32_t x = 0; x < frame->width; ++x) {
            frame->pixels[size_t(y) * frame->width + x] = GetLE(in, at + 3 * x, 3);
        }
    }
    return true;
}

}  // namespace

bool ParticleEngineTest::StartEngine() { return DriverTest::StartEngine(AttachParticles); }

RwCamera *ParticleEngineTest::MakeCamera()
{
    RwCamera *camera = DriverTest::MakeCamera();
    RwFrame *frame = RwCameraGetFrame(camera);
    RwCameraSetNearClip(camera, 0.1f);
    RwCameraSetFarClip(camera, 100.0f);
    const RwV2d view = {0.5f, 0.5f * static_cast<RwReal>(height) / static_cast<RwReal>(width)};
    RwCameraSetViewWindow(camera, &view);
    // The camera looks along its frame's at axis: turn it to face -z from +z.
    const RwV3d yAxis = {0.0f, 1.0f, 0.0f};
    const RwV3d back = {0.0f, 0.0f, 10.0f};
    RwFrameRotate(frame, &yAxis, 180.0f, rwCOMBINEREPLACE);
    RwFrameTranslate(frame, &back, rwCOMBINEPOSTCONCAT);
    return camera;
}

win::Frame ParticleEngineTest::Present(RwCamera *camera)
{
    win::Frame frame;
    RwCameraShowRaster(camera, window, 0);
    d3d8::GetLastPresentedFrame(RwD3D8GetCurrentD3DDevice(), &frame);
    return frame;
}

::testing::AssertionResult MatchesReference(const win::Frame &frame, const std::string &name, int tolerance)
{
    const std::string path = ReferencePath(name);
    const char *update = std::getenv("RW_UPDATE_REFERENCES");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        return WriteBmp(path, frame) ? ::testing::AssertionSuccess()
                                     : ::testing::AssertionFailure() << "cannot write " << path;
    }
    win::Frame reference;
    if (!ReadBmp(path, &reference)) {
        return ::testing::AssertionFailure() << "no reference image " << path;
    }
    if (reference.width != frame.width || reference.height != frame.height) {
        return ::testing::AssertionFailure() << "size " << frame.width << "x" << frame.height << ", reference "
                                             << reference.width << "x" << reference.height;
    }
    int differing = 0;
    for (uint32_t y = 0; y < frame.height; ++y) {
        for (uint32_t x = 0; x < frame.width; ++x) {
            const uint32_t a = frame.At(x, y);
            const uint32_t b = reference.At(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
                    tolerance) {
                    ++differing;
                    break;
                }
            }
        }
    }
    if (differing > 0) {
        return ::testing::AssertionFailure() << differing << " pixels differ from " << path;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace ptanktest
