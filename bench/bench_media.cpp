// Sound and movies: the mixer with 32 voices (half static, half streamed, all at a
// volume below full) per second of output, and one 640 x 480 movie frame decoded,
// converted to X8R8G8B8 and uploaded into the movie texture of a headless engine.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/engine_startup.h"
#include "app/movie_frame.h"
#include "movie/movie.h"
#include "sound/sound.h"
#include "tools/media/movie_clip.h"
#include "tools/media/wav_writer.h"
#include "win/window.h"

namespace {

void MixerThirtyTwoVoices(benchmark::State &state)
{
    snd::Library library;
    snd::LibraryOptions options;
    options.openDevice = false;
    options.streamingThread = false;
    std::string error;
    library.Start(options, &error);
    for (int v = 0; v < 32; ++v) {
        media::PcmFormat format{static_cast<uint16_t>(1 + v % 2), v % 3 == 0 ? 22050u : 44100u, 16};
        const std::vector<uint8_t> file = media::MakeWav(format, media::Tone(format, 200.0 + 37 * v, 900, format.rate * 2));
        const snd::VoiceId voice =
            v % 2 == 0 ? library.CreateStatic(file.data(), file.size(), &error) : library.CreateStreamed(file, &error);
        library.SetVolume(voice, -600);
        library.Play(voice, true);
    }
    std::vector<int16_t> out(2 * 1024);
    for (auto _ : state) {
        // One second of output in device-sized blocks, the streams refilled as they go.
        for (int block = 0; block < 44100 / 1024 + 1; ++block) {
            if (block % 8 == 0) {
                library.FillStreams();
            }
            library.Render(out.data(), 1024);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel("per second of output");
}
BENCHMARK(MixerThirtyTwoVoices)->Unit(benchmark::kMillisecond);

void MovieFrame640x480(benchmark::State &state)
{
    const std::string path = "/tmp/bench_media_" + std::to_string(getpid()) + ".mkv";
    media::ClipDesc clip;
    clip.width = 640;
    clip.height = 480;
    clip.label = "BENCH";
    std::string error;
    if (!media::WriteClip(path, clip, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    win::WindowDesc desc;
    desc.title = "bench";
    desc.clientWidth = 640;
    desc.clientHeight = 480;
    desc.backend = win::Backend::Headless;
    HWND window = win::CreatePlatformWindow(desc);
    EngineChoice chosen;
    if (window == nullptr || !StartEngine(window, game::ModeChoice{640, 480, false}, &chosen)) {
        state.SkipWithError("no engine");
        return;
    }
    RwRaster *texture = game::CreateMovieRaster(640, 480);
    mov::Player player;
    mov::PlayOptions options;
    options.externalClock = true;
    int64_t clock = 0;
    player.Play(path, options, &error);
    for (auto _ : state) {
        clock += 40;
        player.SetClock(clock);
        player.Advance();
        if (!game::UploadMovieFrame(&player, texture)) {
            state.PauseTiming();
            player.Play(path, options, &error);
            clock = 0;
            player.Advance();
            state.ResumeTiming();
        }
    }
    player.Stop();
    RwRasterDestroy(texture);
    StopEngine();
    win::DestroyPlatformWindow(window);
    std::filesystem::remove(path);
    state.SetLabel("decode + convert + upload, one frame");
}
BENCHMARK(MovieFrame640x480)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
