// Readers of the placement (.IAF) and territory (.ATF) files (see
// ai_placement.h). Both are lists of blocks (app/keyword_block.h).
#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "app/keyword_block.h"
#include "stage/ai_placement.h"

namespace {

// A facing or up direction: three reals, not all zero.
void Direction(CSKeywordFile *file, RwV3d *out)
{
    float v[3];
    if (!file->Floats(v, 3)) {
        return;
    }
    if (v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f) {
        file->Report("a direction cannot be zero");
        return;
    }
    *out = {v[0], v[1], v[2]};
}

// "FOLDER\id": a model folder and an id of letters and digits.
void Model(CSKeywordFile *file, AiPlacement *placement)
{
    char text[64];
    if (!file->Word(text, sizeof text)) {
        return;
    }
    char *slash = std::strpbrk(text, "\\/");
    if (slash == nullptr) {
        file->Report("'%s' is not FOLDER\\id", text);
        return;
    }
    *slash = '\0';
    const char *id = slash + 1;
    ModelFolder folder;
    if (!ModelFolderFromName(text, &folder)) {
        file->Report("'%s' is no model folder", text);
        return;
    }
    const size_t length = std::strlen(id);
    bool plain = length > 0 && length < kModelIdSize;
    for (size_t i = 0; i < length && plain; ++i) {
        plain = std::isalnum(static_cast<unsigned char>(id[i])) != 0 || id[i] == '_';
    }
    if (!plain) {
        file->Report("'%s' is no model id", id);
        return;
    }
    placement->hasModel = true;
    placement->modelFolder = folder;
    std::memcpy(placement->modelId, id, length + 1);
}

void PlacementKey(CSKeywordFile *file, AiPlacement *p, bool *typed)
{
    struct IntKey {
        const char *key;
        int32_t AiPlacement::*field;
        int32_t min;
    };
    static constexpr IntKey kInts[] = {
        {"AIID:", &AiPlacement::aiId, INT32_MIN},       {"EventID:", &AiPlacement::eventId, 0},
        {"InitState:", &AiPlacement::initState, INT32_MIN}, {"Territory:", &AiPlacement::territory, 0},
        {"IsRender:", &AiPlacement::isRender, 0},        {"ItemType:", &AiPlacement::itemType, INT32_MIN},
    };
    const IntKey *intKey =
        std::find_if(std::begin(kInts), std::end(kInts), [&](const IntKey &k) { return file->KeyIs(k.key); });
    if (file->KeyIs("AIType:")) {
        *typed = file->Int(&p->aiType) || *typed;
    } else if (intKey != std::end(kInts)) {
        file->Int(&(p->*intKey->field), intKey->min);
    } else if (file->KeyIs("position:")) {
        float v[3];
        if (file->Floats(v, 3)) {
            p->position = {v[0], v[1], v[2]};
        }
    } else if (file->KeyIs("LookAt:")) {
        Direction(file, &p->lookAt);
    } else if (file->KeyIs("Up:")) {
        Direction(file, &p->up);
    } else if (file->KeyIs("Model:")) {
        Model(file, p);
    }
}

}  // namespace

bool ReadPlacements(CSKeywordFile *file, std::vector<AiPlacement> *placements)
{
    placements->clear();
    if (file == nullptr || !file->IsOpen()) {
        return false;
    }
    int32_t announced{};
    bool counted = false;
    bool pending = file->NextLine();
    const bool anyLine = pending;
    bool anyBlock = false;
    while (pending) {
        if (file->KeyIs("AINum:")) {
            counted = file->Int(&announced, 0, kMaxPlacements) || counted;
        }
        if (!file->KeyIs("AI")) {
            pending = file->NextLine();
            continue;
        }
        anyBlock = true;
        AiPlacement placement;
        bool typed = false;
        const KeywordBlockEnd end = ReadKeywordBlock(file, "AI", [&] { PlacementKey(file, &placement, &typed); });
        if (end == KeywordBlockEnd::kClosed && !typed) {
            file->Report("a block without a valid AIType is skipped");
        } else if (end == KeywordBlockEnd::kClosed && placements->size() >= static_cast<size_t>(kMaxPlacements)) {
            file->Report("more than %d actors; the rest are skipped", kMaxPlacements);
        } else if (end == KeywordBlockEnd::kClosed) {
            placements->push_back(placement);
        }
        pending = end == KeywordBlockEnd::kNextBlock || (end == KeywordBlockEnd::kClosed && file->NextLine());
    }
    CheckKeywordBlockCount(file, "actors", counted, announced, placements->size());
    SayWhenKeywordListGaveNothing(file, "AI", "the stage has no actors", anyLine, anyBlock, counted && announced == 0,
                                  placements->size());
    return true;
}

bool ReadTerritories(CSKeywordFile *file, std::vector<Territory> *territories)
{
    territories->clear();
    if (file == nullptr || !file->IsOpen()) {
        return false;
    }
    int32_t announced{};
    bool counted = false;
    bool pending = file->NextLine();
    const bool anyLine = pending;
    bool anyBlock = false;
    while (pending) {
        if (file->KeyIs("TerritoryNum:")) {
            counted = file->Int(&announced, 0, kMaxTerritories) || counted;
        }
        if (!file->KeyIs("Territory")) {
            pending = file->NextLine();
            continue;
        }
        anyBlock = true;
        Territory territory;
        int32_t points = -1;
        const KeywordBlockEnd end = ReadKeywordBlock(file, "Territory", [&] {
            if (file->KeyIs("ID:")) {
                file->Int(&territory.id, 1);
            } else if (file->KeyIs("PointNum:")) {
                file->Int(&points, 0, kMaxTerritoryPoints);
            } else if (file->KeyIs("Point:")) {
                float xz[2];
                if (points < 0) {
                    file->Report("a point before PointNum is skipped");
                } else if (territory.points.size() >= static_cast<size_t>(points)) {
                    file->Report("more points than PointNum announces; skipped");
                } else if (file->Floats(xz, 2)) {
                    territory.points.push_back({xz[0], xz[1]});
                }
            }
        });
        if (end == KeywordBlockEnd::kClosed) {
            if (points >= 0 && territory.points.size() != static_cast<size_t>(points)) {
                file->Report("%d points announced, %zu read", points, territory.points.size());
            }
            if (territory.id == 0) {
                file->Report("a territory without a valid ID is skipped");
            } else if (territory.points.size() < 3) {
                file->Report("territory %d has fewer than three points and is skipped", territory.id);
            } else if (FindTerritory(*territories, territory.id) != nullptr) {
                file->Report("territory %d appears twice; the second is skipped", territory.id);
            } else if (territories->size() >= static_cast<size_t>(kMaxTerritories)) {
                file->Report("more than %d territories; the rest are skipped", kMaxTerritories);
            } else {
                territories->push_back(std::move(territory));
            }
        }
        pending = end == KeywordBlockEnd::kNextBlock || (end == KeywordBlockEnd::kClosed && file->NextLine());
    }
    CheckKeywordBlockCount(file, "territories", counted, announced, territories->size());
    SayWhenKeywordListGaveNothing(file, "Territory", "the stage has no territories", anyLine, anyBlock,
                                  counted && announced == 0, territories->size());
    return true;
}

bool ReadPlacementFile(const char *path, std::vector<AiPlacement> *placements, bool required)
{
    CSKeywordFile file;
    if (!file.Open(path, CSKeywordFile::kNarrow, required)) {
        placements->clear();
        return false;
    }
    return ReadPlacements(&file, placements);
}

bool ReadTerritoryFile(const char *path, std::vector<Territory> *territories, bool required)
{
    CSKeywordFile file;
    if (!file.Open(path, CSKeywordFile::kNarrow, required)) {
        territories->clear();
        return false;
    }
    return ReadTerritories(&file, territories);
}
