// Fuzz target: the event data files and the message window. The input is
// read as each of the files beside the event table (the three narrow ones
// as text, the NPC types, the conversation layout and the scenes'
// subtitles as UTF-16); what a
// parse takes is written again and must read back to the same text. The
// input as UTF-16 then opens the message window, which runs its opening,
// typewriter and timed close without a device.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/file.h"
#include "event/event_data_files.h"
#include "event/message_window.h"
#include "event/scene_subtitles.h"

namespace {

// A text holding a zero character is no text: its lines read as the C
// strings they are cut to, so only texts without one must read back alike.
bool HoldsZero(const uint8_t *data, size_t size, bool wide)
{
    for (size_t i = 0; i + (wide ? 1 : 0) < size; i += wide ? 2 : 1) {
        if (data[i] == 0 && (!wide || data[i + 1] == 0)) {
            return true;
        }
    }
    return false;
}

template <typename Entry, typename Text>
void ExpectStable(const uint8_t *data, size_t size, bool (*parse)(zuFile *, std::vector<Entry> *),
                  Text (*format)(const std::vector<Entry> &), bool wide)
{
    std::vector<Entry> entries;
    zuFile *file = zufopenMemory(data, size, wide ? "rb" : "r");
    const bool parsed = parse(file, &entries);
    zufclose(file);
    if (!parsed || HoldsZero(data, size, wide)) {
        return;
    }
    const Text text = format(entries);
    const std::string bytes(reinterpret_cast<const char *>(text.data()), text.size() * sizeof(text[0]));
    std::vector<Entry> again;
    file = zufopenMemory(bytes.data(), bytes.size(), wide ? "rb" : "r");
    const bool reread = parse(file, &again);
    zufclose(file);
    if (!reread || format(again) != text) {
        __builtin_trap();
    }
}

bool ParseTexts(zuFile *file, std::vector<EventTextEntry> *out) { return ParseEventTexts(file, "FUZZ.NPC", out); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ExpectStable(data, size, ParseHurtEvents, FormatHurtEvents, false);
    ExpectStable(data, size, ParseInGameAnmTable, FormatInGameAnmTable, false);
    ExpectStable(data, size, ParseInGameAnmAudio, FormatInGameAnmAudio, false);
    ExpectStable(data, size, ParseTexts, FormatEventTexts, true);
    ExpectStable(data, size, ParseNpcTypes, FormatNpcTypes, true);
    ExpectStable(data, size, ParseSceneSubtitles, FormatSceneSubtitles, true);

    std::vector<EventNpcType> types;
    zuFile *file = zufopenMemory(data, size, "rb");
    ParseNpcTypes(file, &types);
    zufclose(file);
    for (const EventNpcType &type : types) {
        if (type.portrait < 0 || type.portrait >= kPortraitNumbers) {
            __builtin_trap();
        }
    }

    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    CSEventMessageWindow window;
    const uint8_t mode = size > 0 ? data[0] & 1 : 1;
    window.Open(text.c_str(), mode, nullptr, size > 1 ? static_cast<float>(data[1] % 4) * 0.25f : 0.0f,
                size > 2 ? data[2] & 1 : 0, nullptr);
    if (mode == 0) {
        window.SetShowTime(0.5f);
    }
    for (int frame = 0; frame < 200; ++frame) {
        window.Update(1.0f / 60.0f);
        window.StepText();
        if (window.ShownText().size() > window.Text().size()) {
            __builtin_trap();
        }
    }
    window.Close();
    return 0;
}
