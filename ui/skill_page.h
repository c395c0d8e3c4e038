// CSSkillPage: the third tab of the status page. It reads the hero's skill
// file once per opening of the page (skill_file.h), lists the skills the
// hero has (those gated on abilities 3 to 8 only once learned), and shows
// the highlighted skill's command above the list as a row of key pictures
// that it demonstrates by lighting one after another: a skill built on
// another first fades in that skill's name; a "-" is lit for half a second;
// pictures joined by "+" are lit together, and the demonstration then goes
// on with the picture after the group, wrapping at the end. Triangle shows
// the skill's description.
//
// The selection starts on the first listed skill, so the demonstration
// always shows a skill the list shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/skill_file.h"
#include "ui/status_tab_kit.h"
#include "ui/ui_quad.h"

class CSTextBlock;
class CSTextList;

// One skill's command laid out as pictures.
struct SkillCommandDisplay {
    std::unique_ptr<OwnedPicture[]> pictures;
    std::vector<char> characters;  // the command character of each picture laid out
    int32_t count = 0;
    CSTextBlock *baseName = nullptr;
    std::u16string baseNameText;
    bool namePhaseDone = false;

    SkillCommandDisplay() = default;
    SkillCommandDisplay(SkillCommandDisplay &&) = default;
    SkillCommandDisplay &operator=(SkillCommandDisplay &&) = default;
    ~SkillCommandDisplay() { Release(); }
    void Release();
};

class CSSkillPage {
public:
    static constexpr int32_t kListTop = 143;
    static constexpr int32_t kListBottom = 348;
    static constexpr int32_t kListLeft = 318;
    static constexpr int32_t kListRight = 561;
    static constexpr float kCommandTop = 112.0f;
    static constexpr float kCommandLeft = 320.0f;

    // On a page just made: the shared list it shows its skills in, for its life.
    void Init(CSTextList *list);
    // Reads the hero's skill file through zufopen (the hero's pack when it
    // is open, else the disc); the tab opens only once that succeeded.
    void LoadSkills(int32_t hero);
    void SetActive(bool on);
    // A frame of the open tab: the character page runs and draws only its
    // current tab, which is the active one.
    void Update(float dt);
    void Render() const;
    void Release();

    void BuildList();
    void BuildCommands();
    void MoveSelection(int32_t step);
    void StepDemo(float dt);
    void RestartDemo();

    bool active = false;
    bool loaded = false;

    uint8_t DescriptionShown() const { return description_.ShownFlag(); }
    const std::vector<SkillRecord> &Records() const { return records_; }
    int32_t SelectedRecord() const { return selectedRecord_; }
    int32_t ShownCount() const { return shownCount_; }
    int32_t SelectedShown() const { return selectedShown_; }
    int32_t DemoStep() const { return demoStep_; }
    float DemoTime() const { return demoTime_; }
    const SkillCommandDisplay *Display(int32_t record) const
    {
        return record >= 0 && record < static_cast<int32_t>(displays_.size()) ? &displays_[record] : nullptr;
    }
    const TabDescription &Description() const { return description_; }
    // Lays `command` out as pictures from x; the pictures made.
    static int32_t LayCommand(const std::string &command, float x, SkillCommandDisplay *display);

private:
    void FreeDisplays();
    int32_t GroupEnd(int32_t step) const;

    TabDescription description_;
    float holdTime_ = 0.0f;
    std::vector<SkillRecord> records_;
    int32_t selectedRecord_ = -1;
    int32_t shownCount_ = 0;
    int32_t selectedShown_ = 0;
    std::vector<SkillCommandDisplay> displays_;
    int32_t demoStep_ = 0;
    float demoTime_ = 0.0f;
    CSTextList *list_ = nullptr;
};
