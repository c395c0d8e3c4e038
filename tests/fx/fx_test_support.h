// Shared by the effects tests: the game's engine on a headless window with
// a scratch data root, files written under it, a camera to draw with, and
// the keyword reader over text in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/keyword.h"
#include "app/file.h"
#include "app/path.h"
#include "rwcore.h"
#include "rpworld.h"

namespace fxtest {

// The game's engine with `root` (a fresh scratch folder named `name`) as
// the data root.
class FxEngineTest : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        root = apptest::ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        StartIn(root);
    }
    // Writes `text` to the game path `gamePath` ("RESOURCE/FX/X.ZUS").
    void Write(const std::string &gamePath, const std::string &text) { apptest::WriteText(root + "/" + gamePath, text); }

    std::string root;
};

// The same on the sample data tree (skipped when it was not made), in a
// window of 320 x 240 pixels.
class SampleDataTest : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data";
        }
        StartIn(apptest::SampleData(), 320, 240);
    }
};

// The world chunk of the file at the game path, read through the file layer.
inline RpWorld *ReadWorldFile(const char *path)
{
    std::vector<uint8_t> bytes;
    if (!zufReadAll(path, &bytes)) {
        return nullptr;
    }
    RwMemoryDescriptor memory = {bytes.data(), static_cast<RwUInt32>(bytes.size())};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &memory);
    RpWorld *world = nullptr;
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (stream != nullptr && RwStreamFindChunk(stream, rwID_WORLD_CHUNK, &length, &version)) {
        const RwUInt64 saved = RwStreamEnterChunk(stream, length);
        world = RpWorldStreamRead(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    if (stream != nullptr) {
        RwStreamClose(stream, &memory);
    }
    return world;
}

// A camera of `w` x `h` pixels at `eye` looking along +z.
inline RwCamera *MakeCamera(RwInt32 w, RwInt32 h, RwV3d eye)
{
    RwCamera *camera = RwCameraCreate();
    RwCameraSetFrame(camera, RwFrameCreate());
    RwCameraSetRaster(camera, RwRasterCreate(w, h, 0, rwRASTERTYPECAMERA));
    RwCameraSetZRaster(camera, RwRasterCreate(w, h, 0, rwRASTERTYPEZBUFFER));
    RwFrameTranslate(RwCameraGetFrame(camera), &eye, rwCOMBINEREPLACE);
    RwCameraSetNearClip(camera, 0.1f);
    RwCameraSetFarClip(camera, 500.0f);
    return camera;
}

inline void DestroyCamera(RwCamera *camera)
{
    RwFrame *frame = RwCameraGetFrame(camera);
    RwRasterDestroy(camera->zBuffer);
    RwRasterDestroy(camera->frameBuffer);
    RwCameraSetFrame(camera, nullptr);
    RwCameraDestroy(camera);
    RwFrameDestroy(frame);
}

// A keyword reader over `text`.
class TextFile {
public:
    explicit TextFile(const std::string &text, const char *name = "TEST.TXT")
    {
        EXPECT_TRUE(file.OpenMemory(name, text.data(), text.size()));
    }
    CSKeywordFile file;
};

// The colour at (x, y) of the camera's frame buffer (after its update).
inline RwRGBA PixelAt(RwCamera *camera, RwInt32 x, RwInt32 y)
{
    RwRaster *raster = RwCameraGetRaster(camera);
    RwUInt8 *pixels = RwRasterLock(raster, 0, 0x02 /* read */);
    RwRGBA c = {0, 0, 0, 0};
    if (pixels != nullptr) {
        const RwUInt8 *p = pixels + y * raster->stride + x * 4;
        c = {p[2], p[1], p[0], p[3]};
        RwRasterUnlock(raster);
    }
    return c;
}

// The whole camera picture as 0xFFRRGGBB words, row by row, read under one
// lock of the raster (each lock copies the whole surface out).
inline std::vector<uint32_t> Picture(RwCamera *camera, RwInt32 width, RwInt32 height)
{
    std::vector<uint32_t> picture(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    RwRaster *raster = RwCameraGetRaster(camera);
    RwUInt8 *pixels = RwRasterLock(raster, 0, 0x02 /* read */);
    if (pixels == nullptr) {
        return picture;
    }
    for (RwInt32 y = 0; y < height; ++y) {
        for (RwInt32 x = 0; x < width; ++x) {
            const RwUInt8 *p = pixels + y * raster->stride + x * 4;
            picture[static_cast<size_t>(y * width + x)] =
                0xFF000000u | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
        }
    }
    RwRasterUnlock(raster);
    return picture;
}

inline RwMatrix Translation(RwV3d at)
{
    RwMatrix m;
    RwMatrixSetIdentity(&m);
    m.pos = at;
    return m;
}

}  // namespace fxtest
