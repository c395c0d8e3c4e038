// The input object and the binding functions (see input.h).
#include "app/input.h"

#include <cstring>

#include "app/debug.h"
#include "app/game_system.h"
#include "app/keyword.h"
#include "app/options.h"
#include "app/path.h"
#include "app/replace_file.h"
#include "app/skip_key.h"
#include "event/event_manager.h"
#include "input/input_script.h"
#include "stage/stage_manager.h"

CSInput *g_pInput = nullptr;
uint8_t MouseButtonState = 0;
uint8_t KeyStateBytes[input::kKeyCodeCount] = {};
input::RawPadState RawPadState[input::kPadCount] = {};
float MouseSpeed = kDefaultMouseSpeed;

namespace {

constexpr const char *kButtonsPref = "\\buttons.pref";
constexpr const char *kPadMappings = "\\gamecontrollerdb.txt";

// The event manager as the skip key reaches it: the stage manager's member, asked only
// while the stage manager and its event manager exist.
struct StageEventLink {
    CSEventManager *Events()
    {
        return g_pGameSystem != nullptr && g_pGameSystem->stageManager != nullptr
                   ? g_pGameSystem->stageManager->eventManager
                   : nullptr;
    }
    bool HasEventManager() { return Events() != nullptr; }
    int32_t AnimEventId() { return Events()->GetAnimEventId(); }
    int32_t MovieEventId() { return Events()->GetMovieEventId(); }
    void SkipCurrentScene() { Events()->SkipCurrentScene(); }
};

std::string DataRootFile(const char *name) { return std::string(GetDataRootPath()) + name; }

// One slot's block as read: the codes it gave over the slot's current record.
struct SlotBlock {
    int slot = -1;
    bool open = false;  // its "{" was read
    input::ButtonConfig codes{};
};

// Takes a finished block into the records when it holds together.
void AcceptBlock(CSKeywordFile *file, SlotBlock *block, input::ButtonConfig configs[])
{
    const int slot = block->slot;
    input::ButtonConfig &codes = block->codes;
    if (slot != input::kKeyboardSlot) {
        // On a pad the axis serves both directions: the stick function's code stands.
        for (int stick = input::kFnLax; stick <= input::kFnRay; ++stick) {
            const int negative = stick - input::kFnLax + input::kFnLaxNegative;
            if (codes.codes[negative] != codes.codes[stick]) {
                file->Report("slot %d: %s differs from %s; on a pad both take axis %d", slot,
                             input::ButtonFunctionName(negative), input::ButtonFunctionName(stick),
                             codes.codes[stick]);
                codes.codes[negative] = codes.codes[stick];
            }
        }
    }
    int first = -1, second = -1;
    if (input::FindDuplicateBinding(codes, slot, &first, &second)) {
        file->Report("slot %d: code %d would serve both %s and %s; the slot keeps its defaults", slot,
                     codes.codes[first], input::ButtonFunctionName(first), input::ButtonFunctionName(second));
        configs[slot] = input::DefaultButtonConfig(slot);
    } else {
        configs[slot] = codes;
    }
    *block = SlotBlock{};
}

}  // namespace

bool CSInput::Create(const game::Options &options, std::string *error)
{
    std::unique_ptr<input::InputDevices> devices;
    if (!options.inputScript.empty()) {
        input::InputScript script;
        if (!input::LoadInputScript(options.inputScript, &script, error)) {
            return false;
        }
        devices = input::CreateScriptedInputDevices(std::move(script));
    } else if (options.headless) {
        devices = input::CreateAbsentInputDevices();
    } else {
        devices = input::CreateSdlInputDevices(ResolveGamePath(DataRootFile(kPadMappings).c_str()), error);
        if (!devices) {
            return false;
        }
    }
    return Create(std::move(devices), options.inputLog, error);
}

bool CSInput::Create(std::unique_ptr<input::InputDevices> devices, const std::string &logPath,
                     std::string *error)
{
    Destroy();
    if (!logPath.empty()) {
        logFile_ = std::fopen(logPath.c_str(), "wb");
        if (logFile_ == nullptr) {
            *error = "the input log " + logPath + " cannot be written";
            return false;
        }
    }
    devices_ = std::move(devices);
    mapper_ = input::PadMapper();
    log_ = input::InputLog();
    MouseButtonState = 0;
    std::memset(KeyStateBytes, 0, sizeof(KeyStateBytes));
    std::memset(RawPadState, 0, sizeof(RawPadState));
    LoadButtonConfig(DataRootFile(kButtonsPref).c_str());
    created_ = true;
    g_pInput = this;
    return true;
}

void CSInput::Destroy()
{
    if (g_pInput == this) {
        g_pInput = nullptr;
    }
    if (logFile_ != nullptr) {
        std::fclose(logFile_);
        logFile_ = nullptr;
    }
    devices_.reset();
    created_ = false;
}

bool CSInput::Poll(uint32_t tick, PadState blocks[kPadBlocks][kPadsPerBlock])
{
    if (!created_) {
        return false;
    }
    input::DeviceFrame frame;
    devices_->Poll(&frame);
    mapper_.Update(frame, configs, MouseSpeed, blocks);
    MouseButtonState = mapper_.MouseButtonState();
    std::memcpy(KeyStateBytes, mapper_.KeyStateBytes(), sizeof(KeyStateBytes));
    for (int pad = 0; pad < input::kPadCount; ++pad) {
        RawPadState[pad] = mapper_.Raw(pad);
    }
    if (logFile_ != nullptr) {
        std::string text;
        log_.Record(tick, blocks[kPadStateBlock], MouseButtonState, KeyStateBytes, &text);
        if (!text.empty()) {
            std::fwrite(text.data(), 1, text.size(), logFile_);
            std::fflush(logFile_);
        }
    }
    StageEventLink events;
    game::RunSkipKey(events, KeyStateBytes);
    return frame.quit;
}

bool CSInput::LoadButtonConfig(const char *path)
{
    for (int slot = 0; slot < input::kSlotCount; ++slot) {
        configs[slot] = input::DefaultButtonConfig(slot);
    }
    MouseSpeed = kDefaultMouseSpeed;
    CSKeywordFile file;
    if (!file.Open(path)) {
        return false;
    }
    SlotBlock block;
    for (int problems = file.ProblemCount(); file.NextLine(); problems = file.ProblemCount()) {
        if (file.ProblemCount() != problems) {
            continue;  // a line too long was cut: what is left of it is not taken
        }
        if (file.KeyIs("MouseSpeed:")) {
            float speed = 0.0f;
            if (file.Float(&speed, kMinMouseSpeed, kMaxMouseSpeed)) {
                MouseSpeed = speed;
            }
        } else if (file.KeyIs("Slot:")) {
            if (block.open) {
                file.Report("the block of slot %d has no closing '}'; that slot keeps its defaults",
                            block.slot);
            }
            block = SlotBlock{};
            int32_t slot{};
            if (file.Int(&slot, 0, input::kSlotCount - 1)) {
                block.slot = slot;
                block.codes = configs[slot];
            }
        } else if (file.IsBlockOpen()) {
            if (block.slot < 0 || block.open) {
                file.Report("a '{' without its 'Slot:' line; the block is ignored");
                block = SlotBlock{};
            } else {
                block.open = true;
            }
        } else if (file.IsBlockClose()) {
            if (!block.open) {
                file.Report("a '}' without its '{'");
            } else {
                AcceptBlock(&file, &block, configs);
            }
        } else if (!block.open) {
            file.Report("is not a binding-file keyword outside a slot's block; ignored");
        } else {
            const std::string key = file.Key();
            const int function = key.size() > 1 && key.back() == ':'
                                     ? input::ButtonFunctionFromName(key.substr(0, key.size() - 1))
                                     : -1;
            if (function < 0) {
                file.Report("is not a function name; ignored");
                continue;
            }
            int32_t low = 0, high = 0;
            input::BindingCodeRange(block.slot, function, &low, &high);
            int32_t code{};
            if (!file.Int(&code, low, high)) {
                continue;
            }
            if (!input::IsBindingCodeValid(block.slot, function, code)) {
                file.Report("%d cannot be bound (Escape serves select only)", code);
                continue;
            }
            block.codes.codes[function] = code;
        }
    }
    if (block.open) {
        file.Report("the block of slot %d has no closing '}'; that slot keeps its defaults", block.slot);
    }
    return true;
}

std::string CSInput::FormatButtonConfig() const
{
    char line[64];
    std::snprintf(line, sizeof(line), "MouseSpeed: %f\n", static_cast<double>(MouseSpeed));
    std::string text = line;
    for (int slot = 0; slot < input::kSlotCount; ++slot) {
        std::snprintf(line, sizeof(line), "Slot: %d\n{\n", slot);
        text += line;
        for (int function = 0; function < input::kButtonFunctionCount; ++function) {
            std::snprintf(line, sizeof(line), "%s: %d\n", input::ButtonFunctionName(function),
                          configs[slot].codes[function]);
            text += line;
        }
        text += "}\n";
    }
    return text;
}

bool CSInput::SaveButtonConfig(const char *path) const
{
    const std::string text = FormatButtonConfig();
    std::string error;
    if (!game::WriteFileReplacing(ResolveGamePath(path), text.data(), text.size(), &error)) {
        UserPrint("SaveButtonConfig: %s\n", error.c_str());
        return false;
    }
    return true;
}

int32_t GetButtonBinding(int32_t slot, const char *function)
{
    const int index = function != nullptr ? input::ButtonFunctionFromName(function) : -1;
    if (g_pInput == nullptr || slot < 0 || slot >= input::kSlotCount || index < 0) {
        return -1;
    }
    return g_pInput->configs[slot].codes[index];
}

bool SetButtonBinding(int32_t slot, const char *function, int32_t code)
{
    const int index = function != nullptr ? input::ButtonFunctionFromName(function) : -1;
    if (g_pInput == nullptr || slot < 0 || slot >= input::kSlotCount || index < 0) {
        return false;
    }
    return input::SetBinding(&g_pInput->configs[slot], slot, index, code);
}

void ResetButtonConfig()
{
    if (g_pInput == nullptr) {
        return;
    }
    for (int slot = 0; slot < input::kSlotCount; ++slot) {
        g_pInput->configs[slot] = input::DefaultButtonConfig(slot);
    }
}

bool SaveButtonConfig()
{
    return g_pInput != nullptr && g_pInput->SaveButtonConfig(DataRootFile(kButtonsPref).c_str());
}

int32_t RequestPadRumble(int32_t, int32_t) { return 0; }
