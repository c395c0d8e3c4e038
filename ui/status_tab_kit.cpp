// The status page tabs' shared pieces (see status_tab_kit.h).
#include "ui/status_tab_kit.h"

#include <algorithm>

#include "app/game_system.h"
#include "app/text_block.h"
#include "ui/text_list.h"
#include "ui/ui_manager.h"

namespace {

constexpr float kHoldRepeatAfter = 1.0f;
constexpr float kHoldRepeatFrom = 0.95f;

bool Repeat(float dt, float *holdTime)
{
    *holdTime += dt;
    if (*holdTime >= kHoldRepeatAfter) {
        *holdTime = kHoldRepeatFrom;
        return true;
    }
    return false;
}

}  // namespace

ListKey ReadListKeys(const PadState &pad, float dt, float *holdTime)
{
    if (PadPressed(pad, kPadUp)) {
        *holdTime = 0.0f;
        return ListKey::up;
    }
    if (PadHeld(pad, kPadUp)) {
        return Repeat(dt, holdTime) ? ListKey::up : ListKey::none;
    }
    if (PadPressed(pad, kPadDown)) {
        *holdTime = 0.0f;
        return ListKey::down;
    }
    if (PadHeld(pad, kPadDown)) {
        return Repeat(dt, holdTime) ? ListKey::down : ListKey::none;
    }
    return PadPressed(pad, kPadTriangle) ? ListKey::describe : ListKey::none;
}

ListKey ReadTabKeys(TabDescription *description, bool listed, float dt, float *holdTime)
{
    const PadState &pad = InterfacePad();
    if (description->Shown()) {
        if (pad.connected != 0 && BackPressed(pad)) {
            description->Close();
            PlayTabSound(kUISoundBack);
        }
        return ListKey::none;
    }
    if (!listed || pad.connected == 0) {
        return ListKey::none;
    }
    return ReadListKeys(pad, dt, holdTime);
}

int32_t StepListSelection(CSTextList *list, ListKey key, int32_t selected, int32_t count, float dt)
{
    const int32_t step = key == ListKey::up ? -1 : 1;
    const int32_t next = std::clamp(selected + step, 0, std::max(count - 1, 0));
    list->MoveCursor(dt, next, step);
    return next;
}

bool DrawDescriptionOrList(const TabDescription &description, const CSTextList *list)
{
    if (description.Shown()) {
        description.Draw();
        DrawTabFooter(2);
        return true;
    }
    if (list != nullptr) {
        list->Draw();
    }
    return false;
}

void TabDescription::Show(const char16_t *text, const CSTextList &list)
{
    if (block_ == nullptr && g_pGameSystem != nullptr) {
        block_ = g_pGameSystem->textBlocks.Acquire();
    }
    shown_ = 1;
    if (block_ == nullptr) {
        return;
    }
    block_->SetColor(kTabTextColour);
    const int32_t wrap = UILanguage() == 0 ? list.Right() - list.Left() - 20 : 570 - list.Left();
    block_->SetText(nullptr, text != nullptr ? text : u"", list.Left() + 10, list.Top() + 10, wrap);
}

void TabDescription::Draw() const
{
    if (block_ != nullptr) {
        block_->Draw();
    }
}

void TabDescription::Release()
{
    if (block_ != nullptr) {
        block_->Reset(0);
        block_ = nullptr;
    }
    shown_ = 0;
}

void DrawTabFooter(uint8_t mask)
{
    if (g_pUIManager == nullptr) {
        return;
    }
    g_pUIManager->DrawShadeRect(0, 410, 640, 445);
    g_pUIManager->DrawKeyPrompts(mask);
}

const PadState &InterfacePad()
{
    return UIPadState(g_pUIManager != nullptr ? g_pUIManager->GetUIPad() : -1);
}

void PlayTabSound(uint32_t id)
{
    if (g_pUIManager != nullptr) {
        g_pUIManager->PlayUISound(id, 0);
    }
}
