// The boss gauge against stand-in bosses (actors of the stage's boss type
// with a model and a life maximum): its stage table, the search the event
// script asks for, bars of 1000 with spare markers (2000, 1999, and 40000
// without a wrap), the trail after a loss, the fades in and out, and the
// three bosses of stage 2360000 bound in turn.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "actor/ai_object.h"
#include "stage/model_template.h"
#include "tests/ui/overlay_support.h"
#include "ui/boss_gauge.h"

namespace overlay_boss_gauge_test {

namespace {

using uitest::Links;

// Actors of the stage's chain standing in for bosses: each with a model
// record (no clump) and its own template's life maximum.
class StandIns {
public:
    AiObject *Add(int32_t aiType, int32_t life, int32_t maxLife)
    {
        auto model = std::make_unique<CSModelInstance>();
        auto params = std::make_unique<CSModelTemplate>();
        params->params.maxHP = static_cast<uint16_t>(maxLife);
        auto actor = std::make_unique<AiObject>();
        actor->aiType = aiType;
        actor->hp = life;
        actor->model = model.get();
        actor->modelTemplate = params.get();
        if (!actors_.empty()) {
            actors_.back()->next = actor.get();
        }
        models_.push_back(std::move(model));
        templates_.push_back(std::move(params));
        actors_.push_back(std::move(actor));
        Links().actors = actors_.front().get();
        return actors_.back().get();
    }
    // Its life gone and its model given back, as a boss that has died.
    void Kill(AiObject *actor)
    {
        actor->hp = 0;
        actor->model = nullptr;
    }

private:
    std::vector<std::unique_ptr<CSModelInstance>> models_;
    std::vector<std::unique_ptr<CSModelTemplate>> templates_;
    std::vector<std::unique_ptr<AiObject>> actors_;
};

class BossGaugeTest : public uitest::OverlayTest {
protected:
    void Frames(int count, uint32_t ms = 16)
    {
        for (int i = 0; i < count; ++i) {
            gauge.Update(ms);
        }
    }
    // The gauge on `stage` bound to its boss and faded in.
    void Bind(int32_t stage)
    {
        gauge.Start(stage);
        gauge.RequestAttach();
        Frames(40);
    }

    CSBossGauge gauge;
    StandIns bosses;
};

TEST_F(BossGaugeTest, EightStagesHaveAGaugeAndTheirBossType)
{
    const struct {
        int32_t stage;
        uint32_t count;
        int32_t type;
    } rows[] = {{2080000, 1, 1106}, {2150000, 1, 1101}, {2220000, 1, 1103}, {2270000, 1, 1104},
                {2320000, 1, 1107}, {2360000, 3, 1108}, {2370000, 1, 1109}, {2380000, 1, 1110}};
    for (const auto &row : rows) {
        EXPECT_EQ(CSBossGauge::CountBossesForStage(row.stage), row.count) << row.stage;
        EXPECT_EQ(CSBossGauge::BossTypeForStage(row.stage), row.type) << row.stage;
    }
    EXPECT_EQ(CSBossGauge::CountBossesForStage(2010000), 0u);
    EXPECT_EQ(CSBossGauge::BossTypeForStage(0), 0);
    gauge.Start(2010000);
    EXPECT_FALSE(gauge.Enabled());
    gauge.Start(2080000);
    EXPECT_TRUE(gauge.Enabled());
    EXPECT_FALSE(gauge.Visible());
    EXPECT_EQ(gauge.BossesLeft(), 1u);
}

TEST_F(BossGaugeTest, ItWaitsForTheRequestAndABossWithAModel)
{
    AiObject *boss = bosses.Add(1106, 3000, 3000);
    bosses.Add(1000, 500, 500);
    gauge.Start(2080000);
    Frames(3);
    EXPECT_EQ(gauge.Boss(), nullptr);  // nobody asked
    CSModelInstance *model = boss->model;
    boss->model = nullptr;
    gauge.RequestAttach();
    Frames(3);
    EXPECT_EQ(gauge.Boss(), nullptr);  // no model yet: the request stays
    EXPECT_TRUE(gauge.SearchRequested());
    boss->model = model;
    Frames(1);
    EXPECT_EQ(gauge.Boss(), boss);
    EXPECT_FALSE(gauge.SearchRequested());
    EXPECT_EQ(gauge.BossesLeft(), 0u);
    // A bound gauge ignores further requests.
    gauge.RequestAttach();
    EXPECT_FALSE(gauge.SearchRequested());
    // The screen manager's forward reaches the overlay's gauge once active.
    EnterOverlay();
    Links().stageId = 2080000;
    ui->ResetStageHUD();
    ASSERT_TRUE(Overlay()->BossGauge()->Enabled());
    ui->RequestBossGauge();
    ui->Update(16);
    EXPECT_EQ(Overlay()->BossGauge()->Boss(), boss);
}

TEST_F(BossGaugeTest, TwoThousandLifeIsAFullBarAndOneSpareMarker)
{
    bosses.Add(1106, 2000, 2000);
    Bind(2080000);
    EXPECT_EQ(gauge.SpareBars(), 1);
    EXPECT_EQ(gauge.Remainder(), 1000);
    EXPECT_FLOAT_EQ(gauge.FillRight(), 447.0f);
    EXPECT_EQ(gauge.MarkersDrawn(), 1);
}

TEST_F(BossGaugeTest, NineteenNinetyNineIsAlmostAFullBarAndOneMarker)
{
    bosses.Add(1106, 1999, 2000);
    Bind(2080000);
    EXPECT_EQ(gauge.SpareBars(), 1);
    EXPECT_EQ(gauge.Remainder(), 999);
    EXPECT_NEAR(gauge.FillRight(), 121.0f + 999.0f * 0.326f, 1e-3f);
}

TEST_F(BossGaugeTest, FortyThousandLifeIsThirtyNineSpareBarsWithoutAWrap)
{
    AiObject *boss = bosses.Add(1106, 40000, 40000);
    Bind(2080000);
    EXPECT_EQ(gauge.SpareBars(), 39);
    EXPECT_EQ(gauge.Remainder(), 1000);
    EXPECT_EQ(gauge.Trail(), 40000);
    // Only the markers that stand on the screen are drawn.
    EXPECT_EQ(gauge.MarkersDrawn(), 28);
    boss->hp = 39500;
    Frames(1);
    EXPECT_EQ(gauge.SpareBars(), 39);
    EXPECT_EQ(gauge.Remainder(), 500);
    ASSERT_TRUE(gauge.TrailRunning());
    EXPECT_EQ(gauge.Trail(), 40000);  // a whole bar lost: from the top of it
    EXPECT_FLOAT_EQ(gauge.TrailRight(), 447.0f);
}

TEST_F(BossGaugeTest, TheTrailDrainsToTheLifeAfterALoss)
{
    AiObject *boss = bosses.Add(1106, 1800, 2000);
    Bind(2080000);
    EXPECT_FALSE(gauge.TrailRunning());
    boss->hp = 1500;  // within the bar: from the life before
    Frames(1);
    ASSERT_TRUE(gauge.TrailRunning());
    EXPECT_EQ(gauge.Trail(), 1800);
    EXPECT_NEAR(gauge.TrailRight(), 121.0f + 800.0f * 0.326f, 1e-3f);
    int frames = 0;
    while (gauge.TrailRunning() && frames < 500) {
        Frames(1);
        ++frames;
    }
    EXPECT_LT(frames, 100);
    EXPECT_LE(gauge.Trail(), 1500);
    boss->hp = 700;  // a bar lost: from the top of the bar it was in
    Frames(1);
    EXPECT_EQ(gauge.Trail(), 1000);
    EXPECT_EQ(gauge.SpareBars(), 0);
    EXPECT_FLOAT_EQ(gauge.TrailRight(), 447.0f);
}

TEST_F(BossGaugeTest, ItFadesInWhenBoundAndOutWhenTheLifeIsGone)
{
    AiObject *boss = bosses.Add(1106, 1000, 1000);
    gauge.Start(2080000);
    gauge.RequestAttach();
    Frames(1);
    ASSERT_EQ(gauge.Boss(), boss);
    EXPECT_TRUE(gauge.Visible());
    EXPECT_EQ(gauge.Alpha(), 0);
    Frames(16);  // 256 ms
    EXPECT_EQ(gauge.Alpha(), 256 * 255 / 500);
    Frames(16);
    EXPECT_EQ(gauge.Alpha(), 255);
    EXPECT_FALSE(gauge.Fading());
    // One bar exactly is a full bar without markers.
    EXPECT_EQ(gauge.SpareBars(), 0);
    EXPECT_EQ(gauge.Remainder(), 1000);
    boss->hp = 0;
    Frames(1);
    EXPECT_EQ(gauge.Boss(), nullptr);
    EXPECT_TRUE(gauge.Visible());
    EXPECT_EQ(gauge.Alpha(), 255);
    Frames(16);
    EXPECT_EQ(gauge.Alpha(), 255 - 256 * 255 / 500);
    Frames(16);
    EXPECT_FALSE(gauge.Visible());
    EXPECT_TRUE(gauge.Enabled());
}

// A boss found with no life left is let go at once: the gauge does not
// fade in for it.
TEST_F(BossGaugeTest, ABossFoundWithNoLifeLeftShowsNoGauge)
{
    bosses.Add(1106, 0, 1000);
    Bind(2080000);
    EXPECT_EQ(gauge.Boss(), nullptr);
    EXPECT_FALSE(gauge.Visible());
    EXPECT_EQ(gauge.BossesLeft(), 0u);
}

TEST_F(BossGaugeTest, StageTwoThreeSixBindsThreeBossesInTurn)
{
    AiObject *first = bosses.Add(1108, 1000, 1000);
    bosses.Add(1000, 300, 300);
    AiObject *second = bosses.Add(1108, 1500, 1500);
    AiObject *third = bosses.Add(1108, 2500, 2500);
    AiObject *expected[] = {first, second, third};
    gauge.Start(2360000);
    EXPECT_EQ(gauge.BossesLeft(), 3u);
    for (int i = 0; i < 3; ++i) {
        gauge.RequestAttach();
        Frames(40);
        ASSERT_EQ(gauge.Boss(), expected[i]) << i;
        EXPECT_EQ(gauge.BossesLeft(), static_cast<uint32_t>(2 - i));
        bosses.Kill(expected[i]);
        Frames(40);
        EXPECT_EQ(gauge.Boss(), nullptr);
        EXPECT_FALSE(gauge.Visible());
    }
    // A fourth request finds none to bind.
    bosses.Add(1108, 900, 900);
    gauge.RequestAttach();
    Frames(2);
    EXPECT_EQ(gauge.Boss(), nullptr);
}

TEST_F(BossGaugeTest, ABossTheStageHasFreedIsLetGo)
{
    bosses.Add(1106, 5000, 5000);
    Bind(2080000);
    ASSERT_NE(gauge.Boss(), nullptr);
    Links().actors = nullptr;  // the stage released its actors
    Frames(1);
    EXPECT_EQ(gauge.Boss(), nullptr);
}

}  // namespace

}  // namespace overlay_boss_gauge_test
