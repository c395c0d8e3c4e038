// A headless screen for pixel and screenshot tests: the engine on our
// Direct3D 8 device in a memory-only window with the caller's libraries
// attached, a camera on it, one captured frame per draw, and a small PNG
// writer and reader (uncompressed deflate blocks, which is all the
// reference images use) with a per-channel image comparison that leaves a
// difference image behind when it fails.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "d3d8/d3d8_platform.h"
#include "rwcore.h"
#include "rwsdk/driver/d3d8/d3d8device.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/headless_driver.h"
#include "win/window.h"

namespace headlessscreen {

class Screen {
public:
    // Starts the engine on a fresh headless window of the given size.
    bool Start(const d3d8::Profile &profile, RwUInt32 w, RwUInt32 h, bool (*attach)())
    {
        width = w;
        height = h;
        rwtest::CountingMemory::Reset();
        window = rwtest::OpenHeadlessWindow("headless screen", width, height);
        if (window == nullptr || !rwtest::DriverStartUp(profile, window, attach)) {
            return false;
        }
        started = true;
        camera = MakeCamera();
        return camera != nullptr;
    }

    // Stops everything Start made; true when nothing leaked.
    bool Stop()
    {
        bool ok = true;
        if (camera != nullptr) {
            RwFrame *frame = RwCameraGetFrame(camera);
            RwRasterDestroy(camera->zBuffer);
            RwRasterDestroy(camera->frameBuffer);
            RwCameraSetFrame(camera, nullptr);
            RwCameraDestroy(camera);
            RwFrameDestroy(frame);
            camera = nullptr;
        }
        if (started) {
            ok = RwEngineStop() && RwEngineClose() && RwEngineTerm();
            started = false;
        }
        rwtest::CloseHeadlessWindow(window);
        window = nullptr;
        return ok && rwtest::CountingMemory::LiveBlocks() == 0;
    }

    // Puts the camera at `eye` looking along +z (its frame unrotated).
    void Place(RwV3d eye, RwReal viewWindow)
    {
        RwFrame *frame = RwCameraGetFrame(camera);
        RwFrameTranslate(frame, &eye, rwCOMBINEREPLACE);
        RwV2d window2 = {viewWindow, viewWindow * static_cast<RwReal>(height) / static_cast<RwReal>(width)};
        RwCameraSetViewWindow(camera, &window2);
        RwCameraSetNearClip(camera, 0.1f);
        RwCameraSetFarClip(camera, 50.0f);
    }

    // Clears to `background`, runs `draw` inside a camera update and
    // returns the presented frame.
    template <typename Draw>
    win::Frame Capture(RwRGBA background, Draw draw)
    {
        win::Frame shown;
        RwCameraClear(camera, &background, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        // A camera in a world counts render frames as it begins; this one
        // may have none, and per-frame caches (skinning's bone matrices)
        // key on the count.
        ++RwEngineInst->renderFrame;
        if (RwCameraBeginUpdate(camera) == nullptr) {
            ADD_FAILURE() << "camera update refused";
            return shown;
        }
        // Both faces: what is drawn matters here, not which way it faces.
        RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
        draw();
        RwCameraEndUpdate(camera);
        RwCameraShowRaster(camera, nullptr, 0);
        EXPECT_TRUE(d3d8::GetLastPresentedFrame(rwD3D8Device.device, &shown));
        return shown;
    }

    RwUInt32 width = 0;
    RwUInt32 height = 0;
    RwCamera *camera = nullptr;

private:
    RwCamera *MakeCamera()
    {
        RwCamera *c = RwCameraCreate();
        RwCameraSetFrame(c, RwFrameCreate());
        RwCameraSetRaster(c, RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0,
                                            rwRASTERTYPECAMERA));
        RwCameraSetZRaster(c, RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0,
                                             rwRASTERTYPEZBUFFER));
        return c;
    }

    HWND window = nullptr;
    bool started = false;
};

// ---- PNG: 8-bit RGB, one IDAT of stored (uncompressed) deflate blocks.

inline uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

inline void PutBE32(std::vector<uint8_t> *out, uint32_t v)
{
    for (int i = 3; i >= 0; --i) {
        out->push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

inline uint32_t GetBE32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline void PutChunk(std::vector<uint8_t> *out, const char *type, const std::vector<uint8_t> &body)
{
    PutBE32(out, static_cast<uint32_t>(body.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out->insert(out->end(), typed.begin(), typed.end());
    PutBE32(out, Crc32(typed.data(), typed.size()));
}

inline bool WritePng(const win::Frame &frame, const std::string &path)
{
    std::vector<uint8_t> raw;
    for (uint32_t y = 0; y < frame.height; ++y) {
        raw.push_back(0);  // no filter
        for (uint32_t x = 0; x < frame.width; ++x) {
            const uint32_t p = frame.At(x, y);
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0;) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
        at += n;
        if (n == 0) {
            break;
        }
    }
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(&z, (b << 16) | a);
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBE32(&header, frame.width);
    PutBE32(&header, frame.height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", z);
    PutChunk(&png, "IEND", {});
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char *>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

// Reads a PNG this writer made (RGB, stored blocks, no filters); false for
// anything else.
inline bool ReadPng(const std::string &path, win::Frame *frame)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (png.size() < 8 + 25 || std::memcmp(png.data() + 1, "PNG", 3) != 0) {
        return false;
    }
    std::vector<uint8_t> z;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = GetBE32(&png[at]);
        if (length > png.size() - at - 12) {
            return false;
        }
        const uint8_t *type = &png[at + 4];
        const uint8_t *body = &png[at + 8];
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (length < 13 || body[8] != 8 || body[9] != 2) {
                return false;
            }
            frame->width = GetBE32(body);
            frame->height = GetBE32(body + 4);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            z.insert(z.end(), body, body + length);
        }
        at += 12 + length;
    }
    std::vector<uint8_t> raw;
    size_t p = 2;
    for (bool last = false; !last;) {
        if (p + 5 > z.size() || (z[p] & 6) != 0) {
            return false;
        }
        last = (z[p] & 1) != 0;
        const size_t n = z[p + 1] | (size_t(z[p + 2]) << 8);
        p += 5;
        if (n > z.size() - p) {
            return false;
        }
        raw.insert(raw.end(), z.begin() + static_cast<long>(p), z.begin() + static_cast<long>(p + n));
        p += n;
    }
    const size_t row = 1 + 3 * size_t(frame->width);
    if (frame->width == 0 || raw.size() != row * frame->height) {
        return false;
    }
    frame->pixels.assign(size_t(frame->width) * frame->height, 0);
    for (uint32_t y = 0; y < frame->height; ++y) {
        const uint8_t *r = &raw[y * row];
        if (r[0] != 0) {
            return false;
        }
        for (uint32_t x = 0; x < frame->width; ++x) {
            const uint8_t *c = r + 1 + 3 * x;
            frame->pixels[size_t(y) * frame->width + x] =
                0xFF000000u | (uint32_t(c[0]) << 16) | (uint32_t(c[1]) << 8) | c[2];
        }
    }
    return true;
}

// Pixels whose red, green or blue differ by more than `tolerance`; the
// difference image (white where they do, the reference dimmed elsewhere)
// goes to `diffPath` when any does.
inline size_t CountDifferences(const win::Frame &actual, const win::Frame &reference, int tolerance,
                               const std::string &diffPath)
{
    if (actual.width != reference.width || actual.height != reference.height) {
        return size_t(-1);
    }
    win::Frame diff = reference;
    size_t count = 0;
    for (size_t i = 0; i < actual.pixels.size(); ++i) {
        bool differs = false;
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = static_cast<int>((actual.pixels[i] >> shift) & 0xFF);
            const int b = static_cast<int>((reference.pixels[i] >> shift) & 0xFF);
            differs = differs || std::abs(a - b) > tolerance;
        }
        diff.pixels[i] = differs ? 0xFFFFFFFFu : (0xFF000000u | ((reference.pixels[i] >> 2) & 0x3F3F3Fu));
        count += differs ? 1 : 0;
    }
    if (count != 0) {
        std::filesystem::create_directories(std::filesystem::path(diffPath).parent_path());
        WritePng(diff, diffPath);
    }
    return count;
}

}  // namespace headlessscreen
