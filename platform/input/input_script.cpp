// The input script: its parser and the devices that play it back tick by tick.
#include "input/input_script.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace input {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A whole decimal integer (optional sign) within [low, high].
bool ParseInt(std::string_view word, int64_t low, int64_t high, int64_t *out) {
    if (word.empty() || word.size() > 20) return false;
    size_t i = 0;
    bool negative = false;
    if (word[0] == '+' || word[0] == '-') {
        negative = word[0] == '-';
        i = 1;
    }
    if (i == word.size()) return false;
    int64_t value = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        value = value * 10 + (word[i] - '0');
        if (value > (int64_t(1) << 40)) return false;
    }
    if (negative) value = -value;
    if (value < low || value > high) return false;
    *out = value;
    return true;
}

// The mouse and pad lines: "<tick> <device> <word> <value> [<value>]", each value within its
// range.
struct LineForm {
    const char *device;  // "mouse" or "pad" (pad0..pad3)
    const char *word;
    int values;
    int64_t low[2];
    int64_t high[2];
    ScriptEventKind kind;
    const char *usage;
};

constexpr LineForm kForms[] = {
    {"mouse", "button", 2, {0, 0}, {kMouseButtonCount - 1, 1}, ScriptEventKind::MouseButton,
     "mouse button takes a button 0..2 and a state 0 or 1"},
    {"mouse", "move", 2, {-100000, -100000}, {100000, 100000}, ScriptEventKind::MouseMove,
     "mouse move takes dx and dy (-100000..100000)"},
    {"mouse", "wheel", 1, {-1, 0}, {1, 0}, ScriptEventKind::MouseWheel, "mouse wheel takes +1 or -1"},
    {"pad", "button", 2, {0, 0}, {kRawButtonCount - 1, 1}, ScriptEventKind::PadButton,
     "pad button takes a button 0..15 and a state 0 or 1"},
    {"pad", "axis", 2, {0, -kRawAxisMax}, {kRawAxisCount - 1, kRawAxisMax}, ScriptEventKind::PadAxis,
     "pad axis takes an axis 0..7 and a value -1000..1000"},
    {"pad", "connect", 1, {0, 0}, {1, 0}, ScriptEventKind::PadConnect, "pad connect takes 0 or 1"},
};

// A word as a message shows it: long ones cut short.
std::string Shown(std::string_view word) {
    if (word.size() <= 40) return std::string(word);
    return std::string(word.substr(0, 40)) + "...";
}

bool IsAllDigits(std::string_view word) {
    if (word.empty()) return false;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Parses one line without its comment into an event; false with the reason.
bool ParseEvent(const std::vector<std::string_view> &w, ScriptEvent *event, std::string *why) {
    int64_t number = 0;
    if (!ParseInt(w[0], 1, UINT32_MAX, &number)) {
        *why = "the tick must be a number from 1 on";
        return false;
    }
    event->tick = uint32_t(number);
    if (w.size() < 2) {
        *why = "an event must follow the tick";
        return false;
    }
    const std::string_view device = w[1];
    if (device == "quit") {
        if (w.size() != 2) {
            *why = "quit takes nothing more";
            return false;
        }
        event->kind = ScriptEventKind::Quit;
        return true;
    }
    if (device == "key") {
        if (w.size() < 4) {
            *why = "key needs a key and a state 0 or 1";
            return false;
        }
        std::string name;
        for (size_t i = 2; i + 1 < w.size(); ++i) {
            if (!name.empty()) name += ' ';
            name += w[i];
        }
        int64_t code = 0;
        if (IsAllDigits(name)) {
            if (!ParseInt(name, 1, kKeyCodeCount - 1, &code)) {
                *why = "a key code runs from 1 to 255";
                return false;
            }
        } else {
            code = KeyCodeFromName(name);
            if (code == 0) {
                *why = "no key is named '" + Shown(name) + "'";
                return false;
            }
        }
        if (!ParseInt(w.back(), 0, 1, &number)) {
            *why = "a key's state is 0 or 1";
            return false;
        }
        event->kind = ScriptEventKind::Key;
        event->index = int32_t(code);
        event->value = int32_t(number);
        return true;
    }
    const bool pad = device.size() == 4 && device.substr(0, 3) == "pad" && device[3] >= '0' &&
                     device[3] < '0' + kPadCount;
    if (device == "mouse" || pad) {
        const std::string_view family = pad ? "pad" : "mouse";
        const char *forms =
            pad ? "a pad needs button, axis or connect" : "mouse needs button, move or wheel";
        if (w.size() < 3) {
            *why = forms;
            return false;
        }
        for (const LineForm &form : kForms) {
            if (family != form.device || w[2] != form.word) continue;
            int64_t v[2] = {};
            bool ok = w.size() == size_t(3 + form.values);
            for (int i = 0; ok && i < form.values; ++i) {
                ok = ParseInt(w[3 + i], form.low[i], form.high[i], &v[i]);
            }
            if (form.kind == ScriptEventKind::MouseWheel && v[0] == 0) ok = false;
            if (!ok) {
                *why = form.usage;
                return false;
            }
            event->kind = form.kind;
            event->pad = pad ? uint8_t(device[3] - '0') : 0;
            if (form.kind == ScriptEventKind::MouseMove) {
                event->value = int32_t(v[0]);
                event->value2 = int32_t(v[1]);
            } else if (form.values == 2) {
                event->index = int32_t(v[0]);
                event->value = int32_t(v[1]);
            } else {
                event->value = int32_t(v[0]);
            }
            return true;
        }
        *why = forms;
        return false;
    }
    *why = "unknown device '" + Shown(device) + "' (key, pad0..pad3, mouse or quit)";
    return false;
}

class ScriptedDevices final : public InputDevices {
public:
    explicit ScriptedDevices(InputScript script) : script_(std::move(script)) {
        state_.keyboard.present = true;
        state_.mouse.present = true;
        state_.pads[0].connected = true;
    }

    void Poll(DeviceFrame *frame) override {
        ++tick_;
        ClearSincePoll(&state_);
        state_.quit = false;
        while (next_ < script_.events.size() && script_.events[next_].tick <= tick_) {
            Apply(script_.events[next_++]);
        }
        *frame = state_;
    }

private:
    static void SetLevel(DigitalInput *input, int32_t down) {
        if (down) {
            if (!input->down) CountPress(input);
        } else {
            input->down = 0;
        }
    }

    void Apply(const ScriptEvent &event) {
        PadFrame &pad = state_.pads[event.pad];
        switch (event.kind) {
        case ScriptEventKind::Key: SetLevel(&state_.keyboard.keys[event.index], event.value); break;
        case ScriptEventKind::MouseButton:
            SetLevel(&state_.mouse.buttons[event.index], event.value);
            break;
        case ScriptEventKind::MouseMove:
            state_.mouse.dx += event.value;
            state_.mouse.dy += event.value2;
            break;
        case ScriptEventKind::MouseWheel: {
            uint8_t &notches = event.value > 0 ? state_.mouse.wheelUp : state_.mouse.wheelDown;
            if (notches < 255) ++notches;
            break;
        }
        case ScriptEventKind::PadButton: SetLevel(&pad.buttons[event.index], event.value); break;
        case ScriptEventKind::PadAxis: pad.axes[event.index] = event.value; break;
        case ScriptEventKind::PadConnect:
            // A pad that goes away holds nothing when it comes back; pad 0 is the keyboard
            // and the mouse as well.
            if (!event.value) pad = PadFrame{};
            pad.connected = event.value != 0;
            if (event.pad == 0) {
                if (!event.value) {
                    state_.keyboard = KeyboardFrame{};
                    state_.mouse = MouseFrame{};
                }
                state_.keyboard.present = state_.mouse.present = event.value != 0;
            }
            break;
        case ScriptEventKind::Quit: state_.quit = true; break;
        }
    }

    InputScript script_;
    DeviceFrame state_{};
    size_t next_ = 0;
    uint32_t tick_ = 0;
};

}  // namespace

bool ParseInputScript(std::string_view text, InputScript *script, std::string *error) {
    script->events.clear();
    uint32_t lineNumber = 0;
    uint32_t lastTick = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        const std::string_view content = line.substr(0, line.find('#'));
        const std::vector<std::string_view> words = Words(content);
        if (words.empty()) continue;
        ScriptEvent event{};
        event.line = lineNumber;
        std::string why;
        if (ParseEvent(words, &event, &why) && event.tick < lastTick) {
            why = "tick " + std::to_string(event.tick) + " comes after tick " +
                  std::to_string(lastTick);
        }
        if (!why.empty()) {
            std::string shown(line.substr(0, 200));
            while (!shown.empty() && (shown.back() == '\r')) shown.pop_back();
            if (line.size() > 200) shown += "...";
            *error = "line " + std::to_string(lineNumber) + ": " + why + ": '" + shown + "'";
            script->events.clear();
            return false;
        }
        lastTick = event.tick;
        script->events.push_back(event);
    }
    return true;
}

bool LoadInputScript(const std::string &path, InputScript *script, std::string *error) {
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "the input script " + path + " cannot be read";
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
        if (text.size() > (size_t(64) << 20)) {
            std::fclose(file);
            *error = "the input script " + path + " is larger than 64 MB";
            return false;
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *error = "the input script " + path + " cannot be read";
        return false;
    }
    std::string why;
    if (!ParseInputScript(text, script, &why)) {
        *error = "the input script " + path + ", " + why;
        return false;
    }
    return true;
}

std::unique_ptr<InputDevices> CreateScriptedInputDevices(InputScript script) {
    return std::make_unique<ScriptedDevices>(std::move(script));
}

}  // namespace input
