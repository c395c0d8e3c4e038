// The status page's skill tab (see skill_page.h).
#include "ui/skill_page.h"

#include <algorithm>

#include "actor/hero.h"
#include "app/game_system.h"
#include "app/text_block.h"
#include "ui/status_tab_kit.h"
#include "ui/text_list.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"

namespace {

constexpr uint8_t kRestAlpha = 240;
constexpr float kLitSeconds = 1.0f;
constexpr float kShortLitSeconds = 0.5f;  // "-"
constexpr float kNamePhaseSeconds = 1.0f;
constexpr int32_t kFirstGatedAbility = 3;
constexpr int32_t kLastGatedAbility = 8;

// The command characters that take pictures: the key prompt they are cut
// from, their own source (none: the prompt's), width and bottom.
struct GlyphSource {
    float s0, t0, s1, t1;
};
struct CommandGlyph {
    char character;
    uint32_t promptBit;
    bool ownSource;
    GlyphSource source;
    float width;
    float bottom;
    int pictures;
};
constexpr CommandGlyph kGlyphs[] = {
    {'A', 1, true, {0.009765625f, 0.849609375f, 0.138671875f, 0.873046875f}, 55, 128.7f, 1},
    {'B', 2, true, {0.009765625f, 0.875f, 0.126953125f, 0.8984375f}, 50, 128, 1},
    {'Y', 4, true, {0.009765625f, 0.93359375f, 0.1015625f, 0.95703125f}, 40, 128, 1},
    {'X', 8, true, {0.009765625f, 0.8203125f, 0.1328125f, 0.84375f}, 53, 128, 1},
    {'R', 16, true, {0.009765625f, 0.904296875f, 0.12109375f, 0.927734375f}, 50, 128, 1},
    {'*', 64, true, {0.009765625f, 0.9609375f, 0.126953125f, 0.984375f}, 58, 128, 1},
    {'+', 128, false, {}, 16, 129, 1},
    {'-', 256, false, {}, 20, 129, 1},
    {'&', 256, false, {}, 20, 129, 2},
};

const CommandGlyph *FindGlyph(char c)
{
    for (const CommandGlyph &glyph : kGlyphs) {
        if (glyph.character == c) {
            return &glyph;
        }
    }
    return nullptr;
}

bool IsGated(int32_t ability) { return ability >= kFirstGatedAbility && ability <= kLastGatedAbility; }


// The command row starts further left for a few skills whose base name and
// command would run off the panel.
float CommandShift(const SkillRecord &record)
{
    float shift = 0.0f;
    if (record.hero == 0 && record.ability == 4) {
        shift += 20.0f;
    }
    if (record.ability == 8) {
        shift += 30.0f;
    }
    if (record.hero == 1 && record.ability == 3) {
        shift += 50.0f;
    }
    return shift;
}

uint8_t FadingAlpha(float time) { return static_cast<uint8_t>(static_cast<int32_t>(240.0f - 140.0f * time) & 0xFF); }

// Pictures from..to-1 of a display (a run within its count) at `alpha`.
void LightPictures(SkillCommandDisplay &display, int32_t from, int32_t to, uint8_t alpha)
{
    for (int32_t i = from; i < to; ++i) {
        SetQuadColour(display.pictures[static_cast<size_t>(i)].quad.v, alpha, 240, 240, 240);
    }
}

}  // namespace

void SkillCommandDisplay::Release()
{
    pictures.reset();
    characters.clear();
    count = 0;
    if (baseName != nullptr) {
        baseName->Reset(0);
        baseName = nullptr;
    }
    baseNameText.clear();
    namePhaseDone = false;
}

void CSSkillPage::Init(CSTextList *list) { list_ = list; }

void CSSkillPage::LoadSkills(int32_t hero)
{
    records_.clear();
    loaded = LoadSkillFile(UILanguage(), hero, &records_);
}

void CSSkillPage::SetActive(bool on)
{
    active = on;
    if (on != 0) {
        BuildList();
        BuildCommands();
    } else {
        description_.Close();
        FreeDisplays();
    }
}

void CSSkillPage::BuildList()
{
    const CSHero *hero = UIFirstHero();
    shownCount_ = 0;
    std::vector<const char16_t *> names;
    int32_t firstShown = -1;
    bool selectionShown = false;
    for (int32_t i = 0; i < static_cast<int32_t>(records_.size()); ++i) {
        SkillRecord &record = records_[static_cast<size_t>(i)];
        record.shown = !IsGated(record.ability) || (hero != nullptr && hero->GetAbilityFlag(record.ability) != 0);
        if (record.shown == 0) {
            continue;
        }
        if (firstShown < 0) {
            firstShown = i;
        }
        if (i == selectedRecord_) {
            selectionShown = true;
            selectedShown_ = shownCount_;
        }
        names.push_back(record.name.c_str());
        ++shownCount_;
    }
    if (!selectionShown) {
        selectedRecord_ = firstShown;
        selectedShown_ = 0;
    }
    if (names.empty()) {
        list_->SetItems({kTabBlankEntry}, 0, kListTop, kListBottom, kListLeft, kListRight);
    } else {
        list_->SetItems(std::move(names), selectedShown_, kListTop, kListBottom, kListLeft, kListRight);
    }
}

int32_t CSSkillPage::LayCommand(const std::string &command, float x, SkillCommandDisplay *display)
{
    int32_t laid = 0;
    for (char c : command) {
        const CommandGlyph *glyph = FindGlyph(c);
        if (glyph == nullptr) {
            continue;  // no picture and no room
        }
        const UIPicture *prompt =
            g_pUIManager != nullptr ? g_pUIManager->GetKeyPrompt(glyph->promptBit) : nullptr;
        for (int k = 0; k < glyph->pictures; ++k) {
            OwnedPicture &picture = display->pictures[static_cast<size_t>(laid)];
            UIPicture &p = picture.picture;
            p.vertices = picture.quad.v;
            p.texture = prompt != nullptr ? prompt->texture : nullptr;
            if (glyph->ownSource || prompt == nullptr) {
                p.s0 = glyph->source.s0;
                p.t0 = glyph->source.t0;
                p.s1 = glyph->source.s1;
                p.t1 = glyph->source.t1;
            } else {
                p.s0 = prompt->s0;
                p.t0 = prompt->t0;
                p.s1 = prompt->s1;
                p.t1 = prompt->t1;
            }
            p.left = x;
            p.right = x + glyph->width;
            p.top = kCommandTop;
            p.bottom = glyph->bottom;
            p.Place();
            SetQuadArgb(picture.quad.v, kTabPictureColour);
            display->characters.push_back(c);
            x += glyph->width;
            ++laid;
        }
    }
    display->count = laid;
    return laid;
}

void CSSkillPage::BuildCommands()
{
    FreeDisplays();
    displays_.resize(records_.size());
    for (size_t i = 0; i < records_.size(); ++i) {
        const SkillRecord &record = records_[i];
        SkillCommandDisplay &display = displays_[i];
        float offset = 0.0f;
        if (record.baseAbility > 0) {
            for (const SkillRecord &other : records_) {
                if (other.ability == record.baseAbility) {
                    display.baseNameText = other.name;
                }
            }
            display.baseName = g_pGameSystem != nullptr ? g_pGameSystem->textBlocks.Acquire() : nullptr;
            if (display.baseName != nullptr) {
                display.baseName->SetText(nullptr, display.baseNameText.c_str(), static_cast<int32_t>(kCommandLeft),
                                          static_cast<int32_t>(kCommandTop), 500);
                display.baseName->SetColor(kTabTextColour);
                offset = static_cast<float>(display.baseName->GetMaxRowWidth());
            }
        }
        const size_t ampersands = static_cast<size_t>(std::count(record.command.begin(), record.command.end(), '&'));
        display.pictures = std::make_unique<OwnedPicture[]>(record.command.size() + ampersands);
        LayCommand(record.command, kCommandLeft + offset - CommandShift(record), &display);
        display.namePhaseDone = false;
    }
    demoStep_ = 0;
    demoTime_ = 0.0f;
}

void CSSkillPage::FreeDisplays()
{
    for (SkillCommandDisplay &display : displays_) {
        display.Release();
    }
    displays_.clear();
}

void CSSkillPage::MoveSelection(int32_t step)
{
    const int32_t records = static_cast<int32_t>(records_.size());
    if (step > 0) {
        if (selectedShown_ >= shownCount_ - 1) {
            return;
        }
        for (int32_t i = selectedRecord_ + 1; i < records; ++i) {
            if (records_[static_cast<size_t>(i)].shown != 0) {
                selectedRecord_ = i;
                ++selectedShown_;
                return;
            }
        }
    } else if (selectedShown_ > 0) {
        for (int32_t i = std::min(selectedRecord_, records) - 1; i >= 0; --i) {
            if (records_[static_cast<size_t>(i)].shown != 0) {
                selectedRecord_ = i;
                --selectedShown_;
                return;
            }
        }
    }
}

void CSSkillPage::RestartDemo()
{
    if (selectedRecord_ >= 0 && selectedRecord_ < static_cast<int32_t>(displays_.size())) {
        SkillCommandDisplay &display = displays_[static_cast<size_t>(selectedRecord_)];
        LightPictures(display, 0, display.count, kRestAlpha);
        if (display.baseName != nullptr) {
            display.baseName->SetColor(kTabTextColour);
        }
    }
    demoStep_ = 0;
    demoTime_ = 0.0f;
}

int32_t CSSkillPage::GroupEnd(int32_t step) const
{
    const SkillCommandDisplay &display = displays_[static_cast<size_t>(selectedRecord_)];
    int32_t end = step + 1;
    while (end < display.count && display.characters.at(static_cast<size_t>(end)) == '+') {
        end += 2;
    }
    return std::min(end, display.count);
}

void CSSkillPage::StepDemo(float dt)
{
    if (selectedRecord_ < 0 || selectedRecord_ >= static_cast<int32_t>(displays_.size())) {
        return;
    }
    const SkillRecord &record = records_[static_cast<size_t>(selectedRecord_)];
    SkillCommandDisplay &display = displays_[static_cast<size_t>(selectedRecord_)];
    demoTime_ += dt;
    if (record.baseAbility > 0 && !display.namePhaseDone) {
        if (demoTime_ < kNamePhaseSeconds) {
            if (display.baseName != nullptr) {
                display.baseName->SetColor(static_cast<uint32_t>(FadingAlpha(demoTime_)) << 24 | 0x141414u);
            }
        } else {
            demoTime_ = 0.0f;
            display.namePhaseDone = true;
            if (display.baseName != nullptr) {
                display.baseName->SetColor(kTabTextColour);
            }
        }
        return;
    }
    if (display.count == 0) {
        return;
    }
    if (demoStep_ >= display.count) {
        demoStep_ = 0;
    }
    const bool group = demoStep_ + 1 < display.count && display.characters[static_cast<size_t>(demoStep_ + 1)] == '+';
    const int32_t end = group ? GroupEnd(demoStep_) : demoStep_ + 1;
    const float lit =
        !group && display.characters[static_cast<size_t>(demoStep_)] == '-' ? kShortLitSeconds : kLitSeconds;
    if (demoTime_ < lit) {
        LightPictures(display, demoStep_, end, FadingAlpha(demoTime_));
        return;
    }
    demoTime_ = 0.0f;
    LightPictures(display, demoStep_, end, kRestAlpha);
    demoStep_ = end;
    if (demoStep_ >= display.count) {
        demoStep_ = 0;
        if (record.baseAbility > 0) {
            display.namePhaseDone = false;
        }
    }
}

void CSSkillPage::Update(float dt)
{
    StepDemo(dt);
    switch (ReadTabKeys(&description_, shownCount_ > 0, dt, &holdTime_)) {
    case ListKey::up:
        if (selectedShown_ > 0) {
            RestartDemo();
        }
        MoveSelection(-1);
        list_->MoveCursor(dt, selectedShown_, -1);
        break;
    case ListKey::down:
        if (selectedShown_ < shownCount_ - 1) {
            RestartDemo();
        }
        MoveSelection(1);
        list_->MoveCursor(dt, selectedShown_, 1);
        break;
    case ListKey::describe:
        if (selectedRecord_ >= 0) {
            description_.Show(records_[static_cast<size_t>(selectedRecord_)].description.c_str(), *list_);
            PlayTabSound(kUISoundConfirm);
        }
        break;
    case ListKey::none:
        break;
    }
}

void CSSkillPage::Render() const
{
    if (const SkillCommandDisplay *display = Display(selectedRecord_)) {
        if (display->baseName != nullptr) {
            display->baseName->Draw();
        }
        for (int32_t i = 0; i < display->count; ++i) {
            display->pictures[static_cast<size_t>(i)].picture.Draw();
        }
    }
    if (!DrawDescriptionOrList(description_, list_)) {
        DrawTabFooter(6);
    }
}

void CSSkillPage::Release()
{
    records_.clear();
    description_.Release();
    FreeDisplays();
}
