// Support for the overlay's tests: a screen manager on the sample data with
// its shared pictures and interface sounds (a sound front-end without a
// device; the sounds played are read back from the trace), recording links
// that stand for the running stage, hero records with the sample heroes'
// parameters (no model), the sample's item tables and descriptions, and the
// frame time the overlay's timers count.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "actor/hero.h"
#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "app/audio.h"
#include "app/trace.h"
#include "stage/model_template.h"
#include "tests/support/game/trace_reader.h"
#include "tests/ui/ui_test_support.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/stage_files.h"
#include "ui/game_play_screen.h"
#include "ui/ui_sound.h"

namespace uitest {

class OverlayTest : public ScreensTest {
protected:
    void SetUp() override { StartOverlay(640, 480); }
    void TearDown() override
    {
        game::TraceClose();
        ScreensTest::TearDown();
        SetUIAudioForTest(nullptr, false);
        audio.Release();
        if (!traceFolder.empty() && !HasFailure()) {
            std::filesystem::remove_all(traceFolder);
        }
    }

    // On the sample data, or on the tree at `root` when one is given.
    void StartOverlay(uint32_t width, uint32_t height, int32_t language = 1, const std::string &root = std::string())
    {
        if (root.empty()) {
            StartOnSampleData(width, height, language);
        } else {
            Start(root, width, height, language);
        }
        if (IsSkipped()) {
            return;
        }
        audio.Create(false);
        SetUIAudioForTest(&audio, true);
        traceFolder = apptest::ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        tracePath = traceFolder + "/t.txt";
        std::string error;
        ASSERT_TRUE(game::TraceOpen(tracePath, &error)) << error;
        // The font first: it gives back every text block the pool lent.
        ASSERT_TRUE(gs.LoadFont());
        ui->LoadCommonTextures();
        ui->LoadUISounds();
        // The heroes' parameters with the life and power the overlay's
        // cases and pictures count with.
        templates[0].params = mkdata::SampleCharacterParams("HERO01");
        templates[0].params.maxHP = 2000;
        templates[0].params.maxPower = 300;
        templates[1].params = mkdata::SampleCharacterParams("HERO02");
        templates[1].params.maxHP = 1800;
        templates[1].params.maxPower = 400;
        items.SetTables(mkdata::SampleItemTables());
        descriptions.SetEntries(mkdata::SampleItemDescriptions("ENG"));
        Links().items = &items;
        Links().descriptions = &descriptions;
        SetFrameMs(16);
    }

    // A hero of the stage's list on its own pad, at full life and no power.
    CSHero *AddHero()
    {
        const int32_t index = static_cast<int32_t>(heroes.size());
        auto hero = std::make_unique<CSHero>();
        hero->modelTemplate = &templates[index % 2];
        hero->aiType = index % 2;
        hero->padIndex = index;
        hero->hp = hero->GetMaxHP();
        heroes.push_back(std::move(hero));
        Links().heroes.push_back(heroes.back().get());
        return heroes.back().get();
    }

    // The game system's frame time, which the panels and the gauge count.
    void SetFrameMs(uint32_t ms)
    {
        gs.frameClock.Start(0);
        gs.frameClock.Tick(ms);
    }

    // Screen 13 made current (its activation included).
    void EnterOverlay()
    {
        ui->RequestModule(13);
        ui->Update(16);
        ASSERT_EQ(ui->CurrentScreen(), 13u);
    }
    CSGamePlay *Overlay() const { return ui->GamePlay(); }

    // The interface sounds played since the last call, in order.
    std::vector<int64_t> Sounds() { return ScreenTraceValues(&tracePath, "sound"); }
    // The pages the pause menu was asked for since the last call.
    std::vector<int64_t> PauseRequests() { return ScreenTraceValues(&tracePath, "pause"); }

    RecordingLinksScope links;
    CSAudio audio;
    std::string traceFolder;
    std::string tracePath;
    CSModelTemplate templates[2];
    std::vector<std::unique_ptr<CSHero>> heroes;
    CSItemManager items;
    CSItemDescTable descriptions;
};

// The same with the first hero of the stage's list made.
class OverlayHeroTest : public OverlayTest {
protected:
    void SetUp() override
    {
        OverlayTest::SetUp();
        if (!IsSkipped()) {
            hero = AddHero();
        }
    }

    CSHero *hero = nullptr;
};

}  // namespace uitest
