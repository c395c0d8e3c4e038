// Fuzz target: the movie player. The input is written to a scratch file
// (the player opens files by path, as the game's movies are) and played
// without sound on a clock the target sets, a tenth of a second a step for
// at most two seconds of movie, every published frame copied out; then the
// player stops. The decode thread is joined each time.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "movie/movie.h"
#include "tests/fuzz/fuzz_scratch.h"

namespace {

// The movie file, in a scratch folder removed when the run ends.
const std::string &ScratchPath()
{
    static const std::string path = fuzzscratch::Folder("fuzz_movie") + "/movie";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *file = std::fopen(ScratchPath().c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        return 0;
    }
    mov::Player player;
    mov::PlayOptions options;
    options.externalClock = true;
    std::string error;
    if (!player.Play(ScratchPath(), options, &error)) {
        return 0;
    }
    const uint32_t width = player.Width();
    const uint32_t height = player.Height();
    if (width == 0 || height == 0 || width > 4096 || height > 4096) {
        __builtin_trap();
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int64_t ms = 0; ms <= 2000 && player.IsPlaying(); ms += 100) {
        player.SetClock(ms);
        player.Advance();
        player.TakeFrame(pixels.data(), width * sizeof(uint32_t));
    }
    player.Stop();
    return 0;
}
