// The stage-select panel's life, input and map (see stage_select.h); its
// drawing is in stage_select_draw.cpp.
#include "ui/stage_select.h"

#include <cmath>
#include <string>

#include "actor/hero.h"
#include "app/acos_table.h"
#include "app/clock.h"
#include "app/debug.h"
#include "app/fatal.h"
#include "app/file.h"
#include "app/pack.h"
#include "app/text_block.h"
#include "app/textures.h"
#include "ui/lobby_art.h"
#include "ui/lobby_screen.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_text_blocks.h"

namespace {

constexpr uint32_t kBannerColour = 0xFF000000u;
constexpr int32_t kBannerWrap = 544;
constexpr int32_t kBannerX = 315;
constexpr int32_t kBannerY = 82;
constexpr int32_t kPageX = 170;
constexpr int32_t kPageY = 79;
constexpr int32_t kPageWrap = 370;
constexpr float kSnapDistance = 1.5f;
constexpr float kMaxAngleDegrees = 45.0f;
constexpr uint32_t kStageStartMs = 2000;

int32_t FirstHeroType()
{
    const CSHero *hero = UI().firstHero();
    return hero != nullptr && hero->aiType == 1 ? 1 : 0;
}

// The names read from the open pack (or the disc), once while they exist.
std::vector<NameRecord> ReadNames(const char *fileName, int textCount, int maxRecords)
{
    const std::string path = NameFilePath(UILanguage(), fileName);
    if (path.empty()) {
        return {};
    }
    zuFile *file = zufopen(path.c_str(), "rb");
    std::vector<NameRecord> records = ReadNameRecords(file, textCount, maxRecords, path.c_str());
    zufclose(file);
    return records;
}

}  // namespace

void MapCursor::Step(uint32_t ms)
{
    counter += ms;
    if (AtTarget()) {
        restMs += ms;
        return;
    }
    const float dx = targetX - x;
    const float dy = targetY - y;
    if (std::sqrt(dx * dx + dy * dy) < kSnapDistance) {
        x = targetX;
        y = targetY;
    } else {
        // One hundredth of the way left per ms (never past the target).
        const float share = std::fmin(static_cast<float>(ms) * 0.01f, 1.0f);
        x += dx * share;
        y += dy * share;
    }
    restMs = 0;
}

void CSStageSelect::SetActive(bool on)
{
    if (on == active) {
        return;
    }
    if (on == 0) {
        Release();
        return;
    }
    CSUIManager *ui = g_pUIManager;
    active = 1;
    BuildNodes();
    if (bannerText == nullptr) {
        bannerText = AcquireTextBlock();
    }
    if (bannerText != nullptr) {
        bannerText->SetColor(kBannerColour);
    }
    if (pageText == nullptr) {
        pageText = AcquireTextBlock();
    }
    mode = kMap;
    closing = false;
    // The banner's clock starts when it unfolds, the info page's clocks and
    // page when it opens (Confirm).
    bannerUnfolded = false;
    bannerWidth = 0;
    ApplyUnlocks();
    // A last stage without a node (an old save) or not open starts on the first.
    chosen = FindNode(static_cast<int32_t>(ui->GetLastStageId()));
    if (chosen == nullptr || chosen->open == 0) {
        chosen = FindNode(static_cast<int32_t>(kFirstStageId));
    }
    cursor = MapCursor{};
    cursor.x = cursor.targetX = static_cast<float>(chosen->x);
    cursor.y = cursor.targetY = static_cast<float>(chosen->y);
    // The first push may step at once.
    lastStepTime = timeGetTime() - kStepMs;
    stream.Request(std::string(UIDataRoot()) + "\\PACK\\UI0\\SELSTAGE.STR");
    baseMap = ui->BaseMap();
    photos = g_pLobby != nullptr ? g_pLobby->StagePhotos() : nullptr;
    ui->StartBaseMapReveal();
}

void CSStageSelect::Release()
{
    stream.Close();
    DestroyTexture(selstag);
    selstag = nullptr;
    baseMap = nullptr;
    photos = nullptr;
    stageNames.clear();
    monsterNames.clear();
    stageNamesRead = false;
    monsterNamesRead = false;
    GiveBackTextBlock(bannerText);
    GiveBackTextBlock(pageText);
    nodes.reset();
    chosen = nullptr;
    picturesRead_ = false;
    active = 0;
    closing = false;
    mode = kMap;
}

void CSStageSelect::BuildNodes()
{
    if (nodes == nullptr) {
        nodes = std::make_unique<MapNode[]>(kMapNodes);
    }
    const CSUIManager *ui = g_pUIManager;
    for (int i = 0; i < kMapNodes; ++i) {
        nodes[i] = StageMapNodes()[i];
        nodes[i].cleared = nodes[i].open = ui->progress.cleared[i];
    }
}

void CSStageSelect::ApplyUnlocks()
{
    nodes[0].cleared = nodes[0].open = 1;
    for (const MapNode &node : AllNodes()) {
        if (node.cleared == 0) {
            continue;
        }
        int32_t count = 0;
        const int32_t *opens = StagesOpenedBy(node.stageId, &count);
        for (int32_t k = 0; k < count; ++k) {
            if (MapNode *next = FindNode(opens[k])) {
                next->open = 1;
            }
        }
    }
}

MapNode *CSStageSelect::FindNode(int32_t stageId) const
{
    for (MapNode &node : AllNodes()) {
        if (node.stageId == stageId) {
            return &node;
        }
    }
    return nullptr;
}

MapNode *CSStageSelect::FindNodeInDirection(const MapNode *from, float dx, float dy) const
{
    // From the chosen node of the shown map, along a push (never none).
    const float length = std::sqrt(dx * dx + dy * dy);
    dx /= length;
    dy /= length;
    MapNode *best = nullptr;
    float bestDistance = 0.0f;
    for (MapNode &node : AllNodes()) {
        if (&node == from || node.open == 0) {
            continue;
        }
        const float ox = static_cast<float>(node.x - from->x);
        const float oy = static_cast<float>(node.y - from->y);
        const float distance = std::sqrt(ox * ox + oy * oy);
        if (distance <= 0.01f) {
            continue;
        }
        if (game::ACosTable::EntryFor((ox * dx + oy * dy) / distance) >= kMaxAngleDegrees) {
            continue;
        }
        if (best == nullptr || distance < bestDistance) {
            best = &node;
            bestDistance = distance;
        }
    }
    return best;
}

void CSStageSelect::LoadTextures()
{
    stream.OpenPack();
    if (selstag == nullptr) {
        selstag = ReadFolderPicture((std::string("\\RESOURCE\\UITEXT\\PAUSE") + UILanguageFolder()).c_str(),
                                    "SELSTAG.BMP", "SELSTAGA.BMP");
    }
    LoadStageNames();
    LoadMonsterNames();
    stream.CloseOpenedPack();  // nothing when the pack did not open
    stream.Close();
    picturesRead_ = true;
}

void CSStageSelect::LoadStageNames()
{
    if (!stageNamesRead) {
        stageNames = ReadNames("STAGE.NAM", kStageNameTexts, kStageNameRecords);
        stageNamesRead = true;
        if (stageNames.empty()) {
            DebugPrint("no stage names: the banner takes the message table's\n");
        }
    }
    SetBannerText();
    OpenBanner();
}

void CSStageSelect::LoadMonsterNames()
{
    if (!monsterNamesRead) {
        monsterNames = ReadNames("MONST.NAM", kMonsterListTexts, kMonsterListRecords);
        monsterNamesRead = true;
    }
}

void CSStageSelect::Update(uint32_t ms)
{
    directionX = 0.0f;
    directionY = 0.0f;
    if (stream.GetState() == UIPackStream::kRequested || stream.GetState() == UIPackStream::kReading) {
        stream.Step();
    }
    if (stream.Complete()) {
        LoadTextures();
    } else if (stream.Failed()) {
        // The panel cannot go on without its pack: the game returns to the title.
        const std::string path = stream.Path();
        stream.Close();
        RaiseFatalError(path.c_str());
    }
    if (closing) {
        FinishClose();
        return;
    }
    const PadState &pad = UIPadState(g_pUIManager->GetUIPad());
    if (pad.connected != 0 && picturesRead_) {
        if (mode == kMap) {
            if (PadDown(pad, kPadUp)) {
                directionY = -1.0f;
            }
            if (PadDown(pad, kPadDown)) {
                directionY = 1.0f;
            }
            if (PadDown(pad, kPadLeft)) {
                directionX = -1.0f;
            }
            if (PadDown(pad, kPadRight)) {
                directionX = 1.0f;
            }
        } else if (mode == kInfo) {
            if (PadPressed(pad, kPadLeft)) {
                TurnPage(-1);
            }
            if (PadPressed(pad, kPadRight)) {
                TurnPage(1);
            }
        }
        if (PadPressed(pad, kPadCircle) || PadPressed(pad, kPadStart) || UIMousePressed()) {
            Confirm();
        } else if (PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect)) {
            Back();
        }
    }
    if (closing) {
        return;
    }
    UpdateMapMove();
    cursor.Step(ms);
    zoomMs += ms;
    if (bannerMs < kBannerMs) {
        bannerMs += ms;
    }
    if (mode == kInfo) {
        arrowMs = zoomMs < kZoomMs ? 0 : arrowMs + ms;
    }
}

void CSStageSelect::FinishClose()
{
    CSUIManager *ui = g_pUIManager;
    if (ui->IsBaseMapCovering()) {
        return;
    }
    if (mode != kStarting) {
        SetActive(0);
        return;
    }
    // The switch releases the lobby with this panel: the stage id first.
    const int32_t stageId = chosen != nullptr ? chosen->stageId : static_cast<int32_t>(kFirstStageId);
    closing = false;
    ui->ReleaseLobbyTextures();
    ui->RequestModule(kUIGamePlay);
    ui->SwitchModule();
    UI().requestStageChange(stageId, 0, kStageStartMs);
}

void CSStageSelect::UpdateMapMove()
{
    if (directionX == 0.0f && directionY == 0.0f) {
        if (cursor.AtTarget()) {
            OpenBanner();
        }
        return;
    }
    const uint32_t now = timeGetTime();
    if (now - lastStepTime < kStepMs) {
        return;
    }
    lastStepTime = now;
    MapNode *next = FindNodeInDirection(chosen, directionX, directionY);
    if (next == nullptr) {
        return;
    }
    CloseBanner();
    chosen = next;
    cursor.targetX = static_cast<float>(next->x);
    cursor.targetY = static_cast<float>(next->y);
    SetBannerText();
}

void CSStageSelect::SetBannerText()
{
    if (bannerText == nullptr || chosen == nullptr) {
        return;
    }
    const NameRecord *record = FindNameRecord(stageNames, chosen->stageId);
    std::u16string name;
    if (record != nullptr) {
        name = record->texts[0];
    } else if (const char16_t *fallback = g_pUIManager->GetStageName(chosen->stageId)) {
        // No record for the stage: the message table names it.
        name = fallback;
    }
    LayOutCentred(bannerText, name.c_str(), kBannerX, kBannerY, kBannerWrap);
}

void CSStageSelect::OpenBanner()
{
    // A banner with no name to show stays folded.
    if (bannerUnfolded || bannerText == nullptr || bannerText->GetMaxRowWidth() == 0) {
        return;
    }
    bannerUnfolded = true;
    bannerWidth = bannerText->GetMaxRowWidth();
    bannerMs = 0;
    g_pUIManager->PlayUISound(kSoundBanner, 0);
}

void CSStageSelect::CloseBanner()
{
    if (!bannerUnfolded) {
        return;
    }
    bannerUnfolded = false;
    bannerWidth = bannerText->GetMaxRowWidth();  // unfolded: it has its text
    bannerMs = 0;
    g_pUIManager->PlayUISound(kSoundBanner, 0);
}

void CSStageSelect::Confirm()
{
    CSUIManager *ui = g_pUIManager;
    switch (mode) {
    case kMap:
        if (!bannerUnfolded || bannerMs < kBannerMs) {
            return;
        }
        // The arrows' clock stands at 0 until the zoom is over (Update).
        mode = kInfo;
        zoomMs = 0;
        page = 0;
        ShowStagePage();
        break;
    case kInfo:
        if (chosen->stageId == static_cast<int32_t>(kFirstStageId)) {
            // The first stage is not played again from here.
            mode = kMap;
        } else {
            mode = kStarting;
            closing = true;
            ui->StartBaseMapCover();
        }
        break;
    default: return;  // starting: the panel closes and takes no input
    }
    ui->PlayUISound(kUISoundConfirm, 0);
}

void CSStageSelect::Back()
{
    CSUIManager *ui = g_pUIManager;
    if (mode == kMap) {
        closing = true;
        ui->StartBaseMapCover();
        ui->PlayUISound(kSoundPageBack, 0);
    } else if (mode == kInfo) {
        mode = kMap;
        ui->PlayUISound(kUISoundCancel, 0);
    }
}

int32_t CSStageSelect::MonsterListCount() const
{
    if (chosen == nullptr || chosen->monsters[0] < 0) {
        return 0;
    }
    return chosen->monsters[1] < 0 ? 1 : 2;
}

void CSStageSelect::TurnPage(int32_t step)
{
    const int32_t n = MonsterListCount();
    if (n == 0) {
        return;
    }
    page = static_cast<uint32_t>((static_cast<int32_t>(page) + n + 1 + step) % (n + 1));
    if (page == 0) {
        ShowStagePage();
    } else {
        ShowMonsterPage(chosen->monsters[page - 1]);
    }
    g_pUIManager->PlayUISound(kUISoundMove, 0);
}

void CSStageSelect::ShowStagePage()
{
    if (pageText == nullptr || chosen == nullptr) {
        return;
    }
    std::u16string text;
    if (const NameRecord *record = FindNameRecord(stageNames, chosen->stageId)) {
        text = record->texts[0] + u"\n" + record->texts[1 + FirstHeroType()];
    } else if (const char16_t *fallback = g_pUIManager->GetStageName(chosen->stageId)) {
        text = std::u16string(fallback) + u"\n";
    }
    pageText->SetText(nullptr, text.c_str(), kPageX, kPageY, kPageWrap);
}

void CSStageSelect::ShowMonsterPage(int32_t list)
{
    if (pageText == nullptr) {
        return;
    }
    std::u16string text;
    if (list >= 0 && list < static_cast<int32_t>(monsterNames.size())) {
        const NameRecord &record = monsterNames[static_cast<size_t>(list)];
        text = record.texts[0] + u"\n" + record.texts[1];
    }
    pageText->SetText(nullptr, text.c_str(), kPageX, kPageY, kPageWrap);
}
