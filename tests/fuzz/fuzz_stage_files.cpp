// Fuzz target: a stage's keyword files and an actor's. The input is read as
// the stage info (.BSF), the placements (.IAF), the territories (.ATF), the
// character parameters (.PAF), a motion table (.AMF), a state machine
// (.FSF) and a sound list (.SFL). What each reader took stays within its
// bounds, and the writers' texts (the stage info's tuning and loader rows,
// the state machine's, the sound list's) read back to the same text.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "actor/fsf_file.h"
#include "app/keyword.h"
#include "stage/ai_placement.h"
#include "stage/anim_file.h"
#include "stage/character_params.h"
#include "stage/sound_list.h"
#include "stage/stage_info.h"
#include "tests/fuzz/fuzz_keyword_round_trip.h"

using fuzz::ExpectStable;
using fuzz::ReadAndFormat;

namespace {

std::string StageRows(const StageInfo &info) { return FormatStageTuningRows(info) + FormatStageLoaderRows(info); }

template <class T, class Read>
void ReadInto(const uint8_t *data, size_t size, Read read, T *out)
{
    CSKeywordFile file;
    if (file.OpenMemory("FUZZ.TXT", data, size)) {
        read(&file, out);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto readStage = [](CSKeywordFile *f, StageInfo *info) { ReadStageInfo(f, info); };
    StageInfo info;
    ExpectStable<StageInfo>(ReadAndFormat(data, size, readStage, StageRows, &info), readStage, StageRows);

    std::vector<AiPlacement> placements;
    ReadInto(data, size, [](CSKeywordFile *f, std::vector<AiPlacement> *p) { ReadPlacements(f, p); }, &placements);
    if (placements.size() > static_cast<size_t>(kMaxPlacements)) {
        __builtin_trap();
    }

    std::vector<Territory> territories;
    ReadInto(data, size, [](CSKeywordFile *f, std::vector<Territory> *t) { ReadTerritories(f, t); }, &territories);
    if (territories.size() > static_cast<size_t>(kMaxTerritories)) {
        __builtin_trap();
    }
    std::set<int32_t> ids;
    for (const Territory &territory : territories) {
        if (territory.id <= 0 || !ids.insert(territory.id).second || territory.points.size() < 3 ||
            territory.points.size() > static_cast<size_t>(kMaxTerritoryPoints)) {
            __builtin_trap();
        }
    }

    CharacterParams params;
    ReadInto(data, size, [](CSKeywordFile *f, CharacterParams *p) { ReadCharacterParams(f, p); }, &params);
    if (params.maxHP < 1 || params.weaponIds.size() > static_cast<size_t>(kMaxCharacterWeapons)) {
        __builtin_trap();
    }

    MotionTable motions;
    ReadInto(data, size, [](CSKeywordFile *f, MotionTable *m) { *m = ReadMotionTable(f, 2.0f); }, &motions);
    if (motions.Count() > kMaxMotions) {
        __builtin_trap();
    }

    const auto readFsf = [](CSKeywordFile *f, CFSF *fsf) { ReadFsf(f, fsf); };
    CFSF fsf;
    ExpectStable<CFSF>(ReadAndFormat(data, size, readFsf, FormatFsf, &fsf), readFsf, FormatFsf);

    const auto readSounds = [](CSKeywordFile *f, std::vector<int32_t> *ids) { ReadSoundList(f, ids); };
    std::vector<int32_t> sounds;
    ExpectStable<std::vector<int32_t>>(ReadAndFormat(data, size, readSounds, FormatSoundList, &sounds), readSounds,
                                       FormatSoundList);
    if (sounds.size() > kMaxSoundListIds) {
        __builtin_trap();
    }
    for (const int32_t id : sounds) {
        if (!IsSoundId(id)) {
            __builtin_trap();
        }
    }
    return 0;
}
