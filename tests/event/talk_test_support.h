// Support for the dialogue tests: a scratch data root holding an event
// table and the event data files (written with the maker's writers), a
// fake stage with player 1's hero and the NPCs, a game system for the pads
// and the language, and a manager made by Init on that root.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/game_system.h"
#include "app/pad_state.h"
#include "app/path.h"
#include "event/event_data_files.h"
#include "event/event_manager.h"
#include "event/event_table_file.h"
#include "tests/event/event_test_support.h"

namespace event_test {

// A data root of the test's own under build/tests/event_data/<pid>/; the
// previous root comes back when it goes.
class ScratchDataRoot {
public:
    explicit ScratchDataRoot(const std::string &name)
    {
        previous_ = GetDataRootPath();
        root_ = std::string(RW_TEST_BINARY_DIR) + "/tests/event_data/" + std::to_string(getpid()) + "/" + name;
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        SetDataRootPath(root_.c_str());
    }
    ~ScratchDataRoot() { SetDataRootPath(previous_.c_str()); }
    ScratchDataRoot(const ScratchDataRoot &) = delete;
    ScratchDataRoot &operator=(const ScratchDataRoot &) = delete;

    const std::string &Root() const { return root_; }
    // `relative` uses forward slashes ("RESOURCE/G_EVENT/G_EVENT.EVT").
    void Write(const std::string &relative, const std::string &bytes) const
    {
        const std::filesystem::path path = std::filesystem::path(root_) / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // UTF-16LE bytes.
    void WriteWide(const std::string &relative, const std::u16string &text) const
    {
        Write(relative, WideBytes(text));
    }
    void WriteTable(const std::vector<EventTableEntry> &entries) const
    {
        Write("RESOURCE/G_EVENT/G_EVENT.EVT", FormatEventTable(entries));
    }

private:
    std::string previous_;
    std::string root_;
};

// The first stage's conversation lines the dialogue tests read.
inline std::vector<EventTextEntry> TalkLines()
{
    return {{u"First line.", 1},        {u"Second line.", 2},     {u"Third line.", 3},
            {u"Fourth line.", 4},       {u"Line zero.", 0},       {u"What is it?", 10},
            {u"The yard", 11},          {u"The gate", 12},        {u"Farewell", 13},
            {u"The yard is wide.", 61}, {u"The gate is shut.", 62}, {u"Ask", 98},
            {u"Back", 99}};
}

// One game system for the program (never created: its pads, language and
// arc-cosine table are what the events read; made once, as a game system
// reads the engine's state when it is made).
inline CSGameSystem &EventTestGameSystem()
{
    static CSGameSystem *shared = new CSGameSystem;
    return *shared;
}

// Player 1's hero at the origin facing +z, and the NPCs the table binds.
class TalkStageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousSystem_ = g_pGameSystem;
        g_pGameSystem = &system;
        system.language = 1;
        for (PadState &pad : system.padStates[kPadStateBlock]) {
            pad = PadState{};
        }
        hero.aiType = 0;
        hero.player = 0;
        stage.heroes = {&hero};
    }
    void TearDown() override
    {
        manager.reset();
        g_pGameSystem = previousSystem_;
    }

    // An NPC of `group` standing at `at`, in the actor chain.
    FakeActor *AddNpc(int32_t group, RwV3d at, int32_t aiType = 100)
    {
        npcs.push_back(std::make_unique<FakeActor>());
        FakeActor *npc = npcs.back().get();
        npc->group = group;
        npc->aiType = aiType;
        npc->player = -1;
        npc->position = at;
        stage.actors.push_back(npc);
        return npc;
    }

    // The table and the language files on the scratch root, the manager's
    // Init and the first stage's load.
    void Start(const std::vector<EventTableEntry> &entries, const std::vector<EventNpcType> &types = {},
               int32_t stageId = 2010000)
    {
        root.WriteTable(entries);
        const std::u16string lines = FormatEventTexts(TalkLines());
        const std::string file = ConversationFileName((stageId - 2000000) / 10000);
        root.WriteWide("RESOURCE/G_EVENT/CONT/USA/" + file, lines);
        root.WriteWide("RESOURCE/G_EVENT/CONT/CHA/" + file, lines);
        root.WriteWide("RESOURCE/G_EVENT/CONT/USA/NPCTYPE.TEX", FormatNpcTypes(types));
        root.WriteWide("RESOURCE/G_EVENT/CONT/CHA/NPCTYPE.TEX", FormatNpcTypes(types));
        manager = std::make_unique<CSEventManager>();
        manager->Init();
        manager->LoadStageEvents(stageId, 1);
    }

    // One frame: the window's tick first (as the 2D pass of the frame
    // before), the action command when pressed, then the event passes.
    void Frame(bool action = false, bool confirm = false, float dt = 1.0f / 60.0f)
    {
        PadState &pad = system.padStates[kPadStateBlock][0];
        pad = PadState{};
        if (confirm) {
            pad.buttons[kPadCircle] = kPadPressedState;
        }
        for (int32_t i = 0; i < static_cast<int32_t>(stage.heroes.size()); ++i) {
            manager->SetPlayerPose(i, AsActor(stage.heroes[i]));
        }
        if (action) {
            manager->CheckActionTriggers(0);
        }
        manager->CheckTriggers(dt);
        manager->Update(dt);
        manager->Window()->StepText();
        pad = PadState{};
        for (auto &slot : stage.pads) {
            for (uint8_t &button : slot) {
                button = 0;
            }
        }
    }
    void Frames(int count, float dt = 1.0f / 60.0f)
    {
        for (int i = 0; i < count; ++i) {
            Frame(false, false, dt);
        }
    }

    CSGameSystem &system = EventTestGameSystem();
    FakeStage stage;
    StageLinks links{&stage};
    ScratchDataRoot root{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    FakeActor hero;
    std::vector<std::unique_ptr<FakeActor>> npcs;
    std::unique_ptr<CSEventManager> manager;

private:
    CSGameSystem *previousSystem_ = nullptr;
};

// A circle of `radius` around `at` binding one NPC.
inline EventTableEntry TalkEntry(int32_t id, RwV3d at, int32_t param, float radius = 20.0f)
{
    EventTableEntry e = CircleEntry(id, at, radius);
    e.npcNum = 1;
    e.param = param;
    return e;
}

}  // namespace event_test
