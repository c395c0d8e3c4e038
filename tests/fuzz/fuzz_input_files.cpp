// Fuzz target: the input files and the sounds. The input is read as the key
// bindings (buttons.pref, through a file under a scratch data root, as the
// game reads it), as an input script and as a WAV file. Every binding read
// is one the slot may hold and the mouse speed stays in its range, and the
// bindings' writer's text reads back to the same text; a script's events
// come in tick order; a sound that parses decodes within its sizes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/input.h"
#include "app/path.h"
#include "input/input_script.h"
#include "sound/sound.h"
#include "tests/fuzz/fuzz_scratch.h"

namespace {

// The scratch data root, made once and removed when the run ends.
const std::string &Root()
{
    static const std::string root = [] {
        const std::string &made = fuzzscratch::Folder("fuzz_input");
        SetDataRootPath(made.c_str());
        return made;
    }();
    return root;
}

bool WriteFile(const std::string &path, const void *data, size_t size)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// The bindings of a file's bytes, as their writer's text; empty when the
// file could not be written.
std::string Bindings(const void *data, size_t size, CSInput *input)
{
    if (!WriteFile(Root() + "/buttons.pref", data, size)) {
        return std::string();
    }
    input->LoadButtonConfig("\\buttons.pref");
    return input->FormatButtonConfig();
}

void ReadBindings(const uint8_t *data, size_t size)
{
    CSInput input;
    const std::string text = Bindings(data, size, &input);
    if (text.empty()) {
        return;
    }
    if (MouseSpeed < kMinMouseSpeed || MouseSpeed > kMaxMouseSpeed) {
        __builtin_trap();
    }
    for (int slot = 0; slot < input::kSlotCount; ++slot) {
        for (int function = 0; function < input::kButtonFunctionCount; ++function) {
            if (!input::IsBindingCodeValid(slot, function, input.configs[slot].codes[function])) {
                __builtin_trap();
            }
        }
    }
    CSInput again;
    if (Bindings(text.data(), text.size(), &again) != text) {
        __builtin_trap();
    }
}

void ReadScript(const uint8_t *data, size_t size)
{
    input::InputScript script;
    std::string error;
    if (!input::ParseInputScript(std::string_view(reinterpret_cast<const char *>(data), size), &script, &error)) {
        return;
    }
    for (size_t i = 1; i < script.events.size(); ++i) {
        if (script.events[i].tick < script.events[i - 1].tick) {
            __builtin_trap();
        }
    }
}

void ReadSound(const uint8_t *data, size_t size)
{
    snd::WavInfo info;
    std::string error;
    if (!snd::ParseWav(data, size, &info, &error)) {
        return;
    }
    if (info.dataOffset > size || info.dataSize > size - info.dataOffset || info.channels == 0) {
        __builtin_trap();
    }
    // Long sounds decode slowly under the sanitizers; their parse is what a
    // damaged file reaches first.
    if (size <= (1u << 16)) {
        std::vector<int16_t> frames;
        snd::DecodeWav(data, size, &frames, &error);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ReadBindings(data, size);
    ReadScript(data, size);
    ReadSound(data, size);
    return 0;
}
