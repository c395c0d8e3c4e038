// The interface's text in the sample font (DejaVu Sans, 16 pixels): laying
// out a paragraph into wrapped rows, and drawing a full text page (24 rows
// of 60 characters) in one camera update at 640 x 480 on the headless
// device, as the screens and the developer menu do every frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/engine_startup.h"
#include "app/text_block.h"
#include "win/window.h"

namespace {

const char16_t kParagraph[] =
    u"The stage lies beyond the eastern gate; its walls are old, and the yard behind them has "
    u"not seen a visitor in years. Take the left path past the well, mind the loose stones, and "
    u"wait by the tower until the bell rings twice before you go on to the inner court.";

class TextBench {
public:
    TextBench()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        win::WindowDesc desc;
        desc.backend = win::Backend::Headless;
        window_ = win::CreatePlatformWindow(desc);
        EngineChoice chosen;
        ok_ = window_ != nullptr && StartEngine(window_, game::ModeChoice{640, 480, false}, &chosen);
        std::ifstream file(RW_BENCH_DATA_DIR "/RESOURCE/FONT/ENGFONT.XBF", std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::string error;
        ok_ = ok_ && font_.Create(bytes.data(), bytes.size(), &error);
        SetGlobalFont(&font_);
        camera_ = RwCameraCreate();
        RwCameraSetFrame(camera_, RwFrameCreate());
        RwCameraSetRaster(camera_, RwRasterCreate(640, 480, 0, rwRASTERTYPECAMERA));
        RwCameraSetZRaster(camera_, RwRasterCreate(640, 480, 0, rwRASTERTYPEZBUFFER));
    }
    ~TextBench()
    {
        SetGlobalFont(nullptr);
        font_.Destroy();
        RwRasterDestroy(RwCameraGetZRaster(camera_));
        RwRasterDestroy(RwCameraGetRaster(camera_));
        RwFrame *frame = RwCameraGetFrame(camera_);
        RwCameraSetFrame(camera_, nullptr);
        RwCameraDestroy(camera_);
        RwFrameDestroy(frame);
        StopEngine();
        win::DestroyPlatformWindow(window_);
    }
    bool Ok() const { return ok_; }
    RwCamera *Camera() const { return camera_; }

private:
    HWND window_ = nullptr;
    CSBitmapFont font_;
    RwCamera *camera_ = nullptr;
    bool ok_ = false;
};

void BM_LayOutAParagraph(benchmark::State &state)
{
    TextBench bench;
    if (!bench.Ok()) {
        state.SkipWithError("no engine or no sample font (build the sample-data target)");
        return;
    }
    CSTextBlock block;
    block.Reset(1);
    TextLayout layout;
    for (auto _ : state) {
        block.SetText(&layout, kParagraph, 40, 100, 500);
        benchmark::DoNotOptimize(layout);
    }
    state.counters["rows"] = layout.rowCount;
    block.Reset(0);
}
BENCHMARK(BM_LayOutAParagraph);

void BM_DrawATextPage(benchmark::State &state)
{
    TextBench bench;
    if (!bench.Ok()) {
        state.SkipWithError("no engine or no sample font (build the sample-data target)");
        return;
    }
    std::u16string page;
    for (int row = 0; row < 24; ++row) {
        for (int i = 0; i < 60; ++i) {
            page.push_back(static_cast<char16_t>(u'A' + (row * 7 + i) % 58));
        }
        page.push_back(u'\n');
    }
    CSTextBlock block;
    block.Reset(1);
    block.SetColor(0xFFFFFFFFu);
    block.SetText(nullptr, page.c_str(), 8, 8, 0);
    const RwRGBA black = {0, 0, 0, 255};
    for (auto _ : state) {
        RwCameraClear(bench.Camera(), const_cast<RwRGBA *>(&black), rwCAMERACLEARIMAGE);
        RwCameraBeginUpdate(bench.Camera());
        block.Draw();
        RwCameraEndUpdate(bench.Camera());
    }
    state.counters["glyphs"] = 24 * 60;
    block.Reset(0);
}
BENCHMARK(BM_DrawATextPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
