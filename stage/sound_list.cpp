// Sound lists (see sound_list.h).
#include "stage/sound_list.h"

#include "app/debug.h"
#include "app/keyword.h"

bool ReadSoundList(CSKeywordFile *file, std::vector<int32_t> *ids)
{
    ids->clear();
    if (file == nullptr || !file->IsOpen()) {
        return false;
    }
    int32_t announced = -1;
    int countLine = 0;
    bool overflowReported = false;
    while (file->NextLine()) {
        if (file->KeyIs("SoundNum:")) {
            if (announced >= 0) {
                file->Report("a second count; the first (%d) stands", announced);
            } else if (file->Int(&announced, 0)) {
                countLine = file->LineNumber();
            }
        } else if (file->KeyIs("Sound:")) {
            int32_t id{};
            if (!file->Int(&id, kFirstSoundId, kLastSoundId)) {
                continue;
            }
            if (ids->size() >= kMaxSoundListIds) {
                if (!overflowReported) {
                    file->Report("more than %zu sounds; the rest are left out", kMaxSoundListIds);
                    overflowReported = true;
                }
                continue;
            }
            ids->push_back(id);
        } else {
            file->Report("unknown key");
        }
    }
    if (announced < 0) {
        DebugPrint("%s: SoundNum: missing; %zu sounds read\n", file->Name(), ids->size());
    } else if (static_cast<size_t>(announced) != ids->size()) {
        DebugPrint("%s:%d: SoundNum: %d, but %zu sounds are listed; the listed ones are read\n", file->Name(),
                   countLine, announced, ids->size());
    }
    return true;
}

bool ReadSoundListFile(const char *path, std::vector<int32_t> *ids)
{
    ids->clear();
    CSKeywordFile file;
    return file.Open(path) && ReadSoundList(&file, ids);
}

std::string FormatSoundList(const std::vector<int32_t> &ids)
{
    std::string text = "SoundNum: " + std::to_string(ids.size()) + "\n";
    for (int32_t id : ids) {
        text += "Sound: " + std::to_string(id) + "\n";
    }
    return text;
}
