// The stage-select map as the player finds it: which stages each cleared
// stage opens (one cleared stage at a time, on top of the first stage's
// two), each stage's monster lists on its info pages, and the map with every stage open against a reviewed reference,
// where each node stands at its own place with its own picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/ui/lobby_test_support.h"

namespace stage_select_map_test {

namespace {

// The stage of each progress slot, in slot order.
constexpr int32_t kSlotStages[kMapNodes] = {
    2010000, 2020000, 2030000, 2040000, 2050000, 2060000, 2100000, 2080000, 2150000, 2160000,
    2400000, 2170000, 2190000, 2220000, 2250000, 2410000, 2270000, 2230000, 2280000, 2290000,
    2310000, 2330000, 2300000, 2320000, 2420000, 2340000, 2360000, 2370000, 2380000,
};

struct Opening {
    int32_t cleared;
    std::set<int32_t> opens;
};

const std::vector<Opening> &Openings()
{
    static const std::vector<Opening> openings = {
        {2020000, {2040000, 2050000}}, {2030000, {2060000, 2100000}}, {2040000, {2080000}},
        {2050000, {2080000}},          {2060000, {2080000}},          {2080000, {2160000}},
        {2100000, {2150000}},          {2150000, {2400000}},          {2160000, {2170000}},
        {2170000, {2190000, 2220000}}, {2190000, {2250000}},          {2220000, {2270000}},
        {2230000, {2280000, 2290000}}, {2270000, {2230000}},          {2280000, {2330000}},
        {2290000, {2310000, 2330000}}, {2310000, {2300000}},          {2320000, {2340000, 2360000}},
        {2330000, {2320000}},          {2340000, {2370000}},          {2360000, {2380000}},
        {2370000, {2410000}},          {2380000, {2420000}},          {2250000, {}},
        {2300000, {}},                 {2400000, {}},                 {2410000, {}},
        {2420000, {}},
    };
    return openings;
}

// The open stages as a set, to compare with the stages a clear opens.
std::set<int32_t> OpenStageSet(const CSStageSelect &panel)
{
    const std::vector<int32_t> ids = lobbytest::OpenStages(panel);
    return {ids.begin(), ids.end()};
}

using StageSelectMap = lobbytest::LobbyTest;

TEST_F(StageSelectMap, EachClearedStageOpensItsFollowers)
{
    StartLobby("select_graph");
    WaitForMenu();
    ASSERT_EQ(Openings().size(), static_cast<size_t>(kMapNodes - 1));
    for (const Opening &row : Openings()) {
        const int32_t *slot = std::find(kSlotStages, kSlotStages + kMapNodes, row.cleared);
        ASSERT_NE(slot, kSlotStages + kMapNodes) << row.cleared;
        std::fill(std::begin(ui->progress.cleared), std::end(ui->progress.cleared), 0);
        ui->progress.cleared[slot - kSlotStages] = 1;
        CSStageSelect panel;
        panel.SetActive(1);
        std::set<int32_t> expected = {2010000, 2020000, 2030000, row.cleared};
        expected.insert(row.opens.begin(), row.opens.end());
        EXPECT_EQ(OpenStageSet(panel), expected) << row.cleared;
        panel.SetActive(0);
    }
}

// Each stage's info page turns through its own monster lists (none, one
// or two of the eleven), then back to the stage's page.
TEST_F(StageSelectMap, EachStagesInfoPagesShowItsOwnMonsterLists)
{
    StartLobby("select_lists");
    std::fill(std::begin(ui->progress.cleared), std::end(ui->progress.cleared), 1);
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    const struct {
        int32_t stage;
        std::vector<int> lists;
    } rows[kMapNodes] = {
        {2010000, {}},     {2020000, {0, 1}}, {2030000, {0, 1}}, {2040000, {0, 1}}, {2050000, {0, 1}},
        {2060000, {0, 1}}, {2100000, {0}},    {2080000, {2}},    {2150000, {3}},    {2160000, {4, 0}},
        {2400000, {}},     {2170000, {4}},    {2190000, {4}},    {2220000, {5}},    {2250000, {6}},
        {2410000, {}},     {2270000, {7}},    {2230000, {6}},    {2280000, {6, 0}}, {2290000, {6, 4}},
        {2310000, {6}},    {2330000, {6}},    {2300000, {6}},    {2320000, {8}},    {2420000, {}},
        {2340000, {4, 6}}, {2360000, {6}},    {2370000, {9}},    {2380000, {10}},
    };
    const auto pageText = [&] {
        std::u16string text;
        for (const CSTextBlock::Row &row : panel->PageText()->Rows()) {
            text += row.text + u"|";
        }
        return text;
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.stage);
        panel->chosen = panel->FindNode(row.stage);
        ASSERT_NE(panel->chosen, nullptr);
        panel->mode = CSStageSelect::kInfo;
        panel->page = 0;
        for (int list : row.lists) {
            Tap(kPadRight);
            const std::string digits = std::to_string(list);
            const std::u16string number(digits.begin(), digits.end());
            EXPECT_EQ(pageText(), u"Monsters " + number + u"||Who lives here, list " + number + u".|");
        }
        Tap(kPadRight);
        EXPECT_EQ(panel->page, 0u);
    }
}

// Every stage cleared, the last one played 2290000 (its larger picture),
// the cursor on it.
TEST_F(StageSelectMap, EveryStageOpenAsSeen)
{
    StartLobby("select_all_open");
    std::fill(std::begin(ui->progress.cleared), std::end(ui->progress.cleared), 1);
    ui->SetLastStageId(2290000);
    WaitForMenu();
    CSStageSelect *panel = OpenStageSelect();
    ASSERT_EQ(OpenStageSet(*panel).size(), static_cast<size_t>(kMapNodes));
    ASSERT_EQ(panel->Chosen()->stageId, 2290000);
    Frames(30);
    ExpectShot("select_all_open");
}

}  // namespace

}  // namespace stage_select_map_test
