// The developer menu driven by scripted pad states, frame by frame: a game
// system that is not made (only its pad blocks are read) and a stage record
// with no stage loaded stand in as the running game while the harness
// lives; each tick sets pad 0's button states and runs the menu's update.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/game_system.h"
#include "devmenu/dev_menu.h"
#include "stage/stage_manager.h"

namespace devmenutest {

class MenuHarness {
public:
    MenuHarness()
    {
        previousGameSystem_ = g_pGameSystem;
        previousStage_ = g_pStageManager;
        g_pGameSystem = &gs;
        g_pStageManager = &stage;
        Pad().connected = 1;
    }
    ~MenuHarness()
    {
        g_pGameSystem = previousGameSystem_;
        g_pStageManager = previousStage_;
    }
    MenuHarness(const MenuHarness &) = delete;
    MenuHarness &operator=(const MenuHarness &) = delete;

    PadState &Pad() { return gs.padStates[kPadStateBlock][0]; }

    // One tick of the menu with these buttons pressed this frame (state 1)
    // and every other button up.
    void Tick(std::initializer_list<PadButton> pressed = {})
    {
        for (uint8_t &b : Pad().buttons) {
            b = kPadUpState;
        }
        for (PadButton b : pressed) {
            Pad().buttons[b] = kPadPressedState;
        }
        menu.Update(16);
        for (uint8_t &b : Pad().buttons) {
            b = kPadUpState;
        }
    }
    // `times` ticks each pressing `button`, with a tick of nothing between.
    void Press(PadButton button, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            Tick({button});
            Tick();
        }
    }
    std::string Label() const { return menu.label; }

    // The texts the menu draws now.
    std::vector<DevMenuText> Texts() const
    {
        std::vector<DevMenuText> texts;
        menu.LayoutTexts(&texts);
        return texts;
    }
    // The text drawn with exactly this content, or null.
    const DevMenuText *Find(const std::string &text) const
    {
        texts_ = Texts();
        for (const DevMenuText &t : texts_) {
            if (t.text == text) {
                return &t;
            }
        }
        return nullptr;
    }

    CSGameSystem gs;
    CSStageManager stage;
    CSDevMenu menu;

private:
    CSGameSystem *previousGameSystem_ = nullptr;
    CSStageManager *previousStage_ = nullptr;
    mutable std::vector<DevMenuText> texts_;
};

}  // namespace devmenutest

#include <unistd.h>

#include "app/path.h"
#include "tests/app/app_test_support.h"

namespace devmenutest {

// A data root of this test's own with the files a test writes into it
// (paths relative to the root, "RESOURCE/STAGEINF/STAGE00.BSF"); the
// previous root comes back when it goes.
class ScratchRoot {
public:
    explicit ScratchRoot(const std::string &name)
        : path(apptest::ScratchFolder("devmenu_" + name)), previous_(GetDataRootPath())
    {
        SetDataRootPath(path.c_str());
    }
    ~ScratchRoot() { SetDataRootPath(previous_.c_str()); }
    ScratchRoot(const ScratchRoot &) = delete;
    ScratchRoot &operator=(const ScratchRoot &) = delete;

    std::string Host(const std::string &relative) const { return path + "/" + relative; }
    void Write(const std::string &relative, const std::string &text) const { apptest::WriteText(Host(relative), text); }
    std::string Read(const std::string &relative) const
    {
        const std::vector<uint8_t> bytes = apptest::ReadBytes(Host(relative));
        return std::string(bytes.begin(), bytes.end());
    }
    bool Exists(const std::string &relative) const { return access(Host(relative).c_str(), F_OK) == 0; }

    const std::string path;

private:
    const std::string previous_;
};

// Where the menu's files of a stage lie under the root.
inline std::string InfoFile(int32_t stageId)
{
    char name[64];
    std::snprintf(name, sizeof name, "RESOURCE/STAGEINF/STAGE%02d.BSF", static_cast<int>((stageId - 2000000) / 10000 - 1));
    return name;
}
inline std::string SetFile(int32_t stageId) { return "RESOURCE/PARTICLE/" + std::to_string(stageId) + ".PSS"; }

}  // namespace devmenutest
