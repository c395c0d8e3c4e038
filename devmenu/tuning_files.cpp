// The tuning files of a stage: its stage info (.BSF) read into the tuning
// record and its particle set (.PSS) into the particle table, through the
// one reader of each, and "Save File", which writes both back.
//
// Save File rewrites each file from what the menu holds and what the file
// holds now: the .BSF gets the tuning rows, then every line of the old
// file the rows do not own (the stage load's "Stage" title, sky box,
// lights, walls, stage models, far planes, clipping ranges, any other key
// or text), in their old order; the .PSS gets its KindNum and PrtSysKind
// lines, then the old file's group lines and other keyed lines. The rows'
// own titles are written afresh, and blank lines are not carried over. A file is written only when
// the menu read it for the stage being saved and it can be read again
// now; it goes to a temporary file, checked, flushed and renamed, so a
// failure leaves the old file as it was.
#include <string>
#include <vector>

#include "app/debug.h"
#include "app/path.h"
#include "app/replace_file.h"
#include "app/trace.h"
#include "devmenu/dev_menu.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"

namespace {

// The reload after Save File fades over this time.
constexpr uint32_t kSaveStageChangeMs = 2000;

enum class SaveOutcome { kWritten, kUnread, kFailed };

const char *OutcomeWord(SaveOutcome outcome)
{
    switch (outcome) {
    case SaveOutcome::kWritten:
        return "written";
    case SaveOutcome::kUnread:
        return "unread";
    case SaveOutcome::kFailed:
        break;
    }
    return "failed";
}

// `text`, then the lines carried over, each ended with a line feed.
SaveOutcome Replace(const std::string &gamePath, std::string text, const std::vector<std::string> &carried)
{
    for (const std::string &line : carried) {
        text += line;
        text += '\n';
    }
    std::string error;
    if (!game::WriteFileReplacing(ResolveGamePath(gamePath.c_str()), text.data(), text.size(), &error)) {
        DebugPrint("Save File: %s\n", error.c_str());
        return SaveOutcome::kFailed;
    }
    return SaveOutcome::kWritten;
}

}  // namespace

// The record is read onto what it holds (see ReadStageInfoFileOnto); the
// stage load reads its own fresh record.
bool CSDevMenu::ReadStageInfo(int32_t stageId)
{
    const bool read = ReadStageInfoFileOnto(StageInfoPath(stageId).c_str(), &tuning);
    tuningStageId = read ? stageId : kNoStageRead;
    return read;
}

bool CSDevMenu::ReadParticleKinds(int32_t stageId)
{
    const bool read = LoadParticleSetFile(StageParticleSetPath(stageId).c_str(), &particleKinds);
    particleStageId = read ? stageId : kNoStageRead;
    pageCursors[kPageParticle] = 0;
    return read;
}

void CSDevMenu::EmptyParticleKinds()
{
    particleKinds = ParticleSet{};
    particleStageId = kNoStageRead;
}

void CSDevMenu::SaveStageInfo()
{
    const int32_t id = selectedStageId;
    const std::string infoPath = StageInfoPath(id);
    const std::string setPath = StageParticleSetPath(id);

    SaveOutcome info = SaveOutcome::kUnread;
    StageInfo old;
    std::vector<std::string> carried;
    if (tuningStageId == id && ReadStageInfoFileAndOtherLines(infoPath.c_str(), &old, false, &carried)) {
        info = Replace(infoPath, FormatStageTuningRows(tuning), carried);
    }
    SaveOutcome set = SaveOutcome::kUnread;
    ParticleSet oldSet;
    if (particleStageId == id && LoadParticleSetFileAndOtherLines(setPath.c_str(), &oldSet, &carried)) {
        set = Replace(setPath, FormatParticleKinds(particleKinds), carried);
    }
    game::TraceLine("menu").Word("save").Int(id).Word(OutcomeWord(info)).Word(OutcomeWord(set));

    EmptyParticleKinds();
    activeItem = kItemSelectStage;
    if (CSStageManager *stage = g_pStageManager) {
        stage->RequestStageChange(id, 1, kSaveStageChangeMs);
    }
    Close();
}
