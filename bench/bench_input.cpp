// The cost of a tick of input: the pad mapper over a busy device frame, and reading an
// input script.
#include <benchmark/benchmark.h>

#include <string>

#include "input/input_script.h"
#include "input/pad_mapper.h"

namespace {

using namespace input;

void BM_PadMapperTick(benchmark::State &state) {
    DeviceFrame frame{};
    frame.keyboard.present = true;
    frame.mouse.present = true;
    for (int pad = 0; pad < kPadCount; ++pad) frame.pads[pad].connected = true;
    ButtonConfig configs[kSlotCount];
    for (int slot = 0; slot < kSlotCount; ++slot) configs[slot] = DefaultButtonConfig(slot);
    PadState blocks[kPadBlockCount][kPadCount] = {};
    PadMapper mapper;
    uint32_t tick = 0;
    for (auto _ : state) {
        ++tick;
        frame.keyboard.keys[kKeyEnter].down = uint8_t(tick & 1);
        frame.pads[1].buttons[kRawSouth].presses = uint8_t((tick >> 1) & 1);
        frame.pads[2].axes[0] = int32_t(tick % 2001) - 1000;
        frame.mouse.dx = int32_t(tick % 7) - 3;
        mapper.Update(frame, configs, 0.25f, blocks);
        benchmark::DoNotOptimize(blocks);
    }
}
BENCHMARK(BM_PadMapperTick);

void BM_ParseInputScript(benchmark::State &state) {
    std::string text;
    for (int tick = 1; tick <= 10000; ++tick) {
        text += std::to_string(tick) + " key Num 1 " + std::to_string(tick & 1) + "\n";
        text += std::to_string(tick) + " pad1 axis 3 -512\n";
        text += std::to_string(tick) + " mouse move 4 -2  # a comment\n";
    }
    for (auto _ : state) {
        InputScript script;
        std::string error;
        benchmark::DoNotOptimize(ParseInputScript(text, &script, &error));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ParseInputScript);

}  // namespace

BENCHMARK_MAIN();
