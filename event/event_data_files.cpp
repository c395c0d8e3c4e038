// The manager's readers of the event data files, its portraits and its text
// lookups (see event_data_files.h and event_manager.h).
#include "event/event_data_files.h"

#include <cstdio>
#include <string>

#include "app/debug.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/memory.h"
#include "app/path.h"
#include "app/textures.h"
#include "event/event_blocks.h"
#include "event/event_manager.h"
#include "event/event_objects.h"

namespace {

constexpr const char *kLanguageFolders[] = {
    "\\RESOURCE\\G_EVENT\\CONT\\CHA\\", "\\RESOURCE\\G_EVENT\\CONT\\USA\\", "\\RESOURCE\\G_EVENT\\CONT\\FRE\\",
    "\\RESOURCE\\G_EVENT\\CONT\\GER\\", "\\RESOURCE\\G_EVENT\\CONT\\ITA\\", "\\RESOURCE\\G_EVENT\\CONT\\SPA\\",
    "\\RESOURCE\\G_EVENT\\CONT\\JAP\\", "\\RESOURCE\\G_EVENT\\CONT\\SWE\\", "\\RESOURCE\\G_EVENT\\CONT\\NOR\\",
    "\\RESOURCE\\G_EVENT\\CONT\\DAN\\", "\\RESOURCE\\G_EVENT\\CONT\\FIN\\", "\\RESOURCE\\G_EVENT\\CONT\\POR\\",
    "\\RESOURCE\\G_EVENT\\CONT\\DUT\\", "\\RESOURCE\\G_EVENT\\CONT\\KOR\\", "\\RESOURCE\\G_EVENT\\CONT\\GRE\\",
};
constexpr int32_t kUsaLanguage = 1;

int32_t GameLanguage() { return g_pGameSystem != nullptr ? g_pGameSystem->language : kUsaLanguage; }

// Opens the file and parses it; false when it cannot be opened or is refused.
template <typename Parse>
bool ParseFile(const std::string &path, const char *mode, Parse parse)
{
    zuFile *file = zufopen(path.c_str(), mode);
    if (file == nullptr) {
        return false;
    }
    const bool parsed = parse(file);
    zufclose(file);
    return parsed;
}

// The same for a file whose entries count from the first: `opened` tells
// whether it could be opened at all, the result whether it was read to its
// end (the entries before a fault are in the parse's output either way).
template <typename Parse>
bool ParseFileUpToAFault(const std::string &path, Parse parse, bool *opened)
{
    zuFile *file = zufopen(path.c_str(), "r");
    *opened = file != nullptr;
    if (file == nullptr) {
        return false;
    }
    const bool parsed = parse(file);
    zufclose(file);
    return parsed;
}

std::string LanguagePath(const char *fileName)
{
    return std::string(GetDataRootPath()) + GetLanguageFolder(GameLanguage()) + fileName;
}

int32_t StageKeyOf(int32_t eventId) { return static_cast<int32_t>((static_cast<int64_t>(eventId) - 77000000) / 10000); }

char *Copy(const std::string &text) { return zuStrDup(text.c_str()); }

const char16_t *FindText(const std::vector<EventTextEntry> &entries, int32_t id)
{
    for (const EventTextEntry &entry : entries) {
        if (entry.id == id) {
            return entry.text.c_str();
        }
    }
    return nullptr;
}

// The scene record an IGA or MIC entry names: null for an id no record
// holds (read through); *wrongKind (with the log line) when the id names a
// record of another kind, which ends the read.
CSInGameAnmEvent *SceneOf(CSEventManager &manager, int32_t eventId, const char *file, const char *what,
                          bool *wrongKind)
{
    EventRecord *record = manager.FindEvent(eventId);
    *wrongKind = record != nullptr && record->EventType != kEventTypeInGameAnm;
    if (*wrongKind) {
        UserPrint("%s: Event%d Is not InGameAnm Event.Don't Give InGameAnm %s. The read ends there\n",
                  MessagePath(file).c_str(), eventId, what);
        return nullptr;
    }
    if (record == nullptr || record->kind != EventKind::kInGameAnm) {
        return nullptr;
    }
    return static_cast<CSInGameAnmEvent *>(record);
}

}  // namespace

const char *GetLanguageFolder(int32_t language)
{
    if (language < 0 || language >= static_cast<int32_t>(std::size(kLanguageFolders))) {
        return kLanguageFolders[kUsaLanguage];
    }
    return kLanguageFolders[language];
}

std::string ConversationFileName(int32_t stageNumber)
{
    char name[32];
    std::snprintf(name, sizeof name, stageNumber < 10 ? "CONT0%d.NPC" : "CONT%d.NPC", stageNumber);
    return name;
}

// The three readers below take the file's entries in order, as far as they
// go: a bad id (or a fault of the file) ends the read with false, and the
// entries before it keep what they were given.

bool CSEventManager::LoadHurtEvents(const char *path)
{
    std::vector<HurtEventEntry> entries;
    bool opened = false;
    const bool whole = ParseFileUpToAFault(std::string(GetDataRootPath()) + path,
                                           [&](zuFile *file) { return ParseHurtEvents(file, &entries); }, &opened);
    for (const HurtEventEntry &entry : entries) {
        EventRecord *record = FindEvent(entry.eventId);
        if (record == nullptr) {
            UserPrint("%s: no event %d in the event table; the read ends there\n", MessagePath(kHurtEventsPath).c_str(),
                      entry.eventId);
            return false;
        }
        // Only the hero zones have the tail words; other kinds read through.
        if (record->kind != EventKind::kHeroZone) {
            continue;
        }
        std::vector<const char *> lines;
        for (const std::string &line : entry.lines) {
            lines.push_back(line.c_str());
        }
        static_cast<CSHeroZoneEvent *>(record)->SetHurtLines(entry.value, lines.data(),
                                                             static_cast<int32_t>(lines.size()));
    }
    return opened && whole;
}

bool CSEventManager::LoadInGameAnmTable(const char *path)
{
    std::vector<InGameAnmEntry> entries;
    bool opened = false;
    const bool whole = ParseFileUpToAFault(std::string(GetDataRootPath()) + path,
                                           [&](zuFile *file) { return ParseInGameAnmTable(file, &entries); }, &opened);
    for (const InGameAnmEntry &entry : entries) {
        bool wrongKind = false;
        CSInGameAnmEvent *scene = SceneOf(*this, entry.eventId, kInGameAnmTablePath, "data", &wrongKind);
        if (wrongKind) {
            return false;
        }
        if (scene == nullptr) {
            continue;
        }
        scene->FreeSceneData();
        scene->SceneNumber = entry.number;
        scene->CameraModel = Copy(entry.cameraModel);
        scene->CameraAnimation = Copy(entry.cameraAnimation);
        scene->Keys = NewEventBlock<InGameAnmKey>(entry.keys.size());
        scene->KeyCount = static_cast<int32_t>(entry.keys.size());
        for (size_t k = 0; k < entry.keys.size(); ++k) {
            InGameAnmKey &key = scene->Keys[k];
            key.AiId = entry.keys[k].aiId;
            key.Animation = Copy(entry.keys[k].animation);
            key.RestoreMode = entry.keys[k].restoreMode;
            key.Start = entry.keys[k].start;
            key.End = entry.keys[k].end;
        }
        scene->HasSceneData = 1;
    }
    return opened && whole;
}

bool CSEventManager::LoadInGameAnmAudio(const char *path)
{
    std::vector<InGameAnmAudioEntry> entries;
    bool opened = false;
    const bool whole = ParseFileUpToAFault(std::string(GetDataRootPath()) + path,
                                           [&](zuFile *file) { return ParseInGameAnmAudio(file, &entries); }, &opened);
    for (const InGameAnmAudioEntry &entry : entries) {
        bool wrongKind = false;
        CSInGameAnmEvent *scene = SceneOf(*this, entry.eventId, kInGameAnmAudioPath, "Audio data", &wrongKind);
        if (wrongKind) {
            return false;
        }
        if (scene == nullptr) {
            continue;
        }
        scene->FreeSceneAudio();
        const size_t n = entry.cues.size();
        scene->CueSounds = NewEventBlock<int32_t>(n);
        scene->CueFrames = NewEventBlock<int32_t>(n);
        scene->CuePlayed = NewEventBlock<uint8_t>(n);
        scene->CueCount = static_cast<int32_t>(n);
        for (size_t k = 0; k < n; ++k) {
            scene->CueSounds[k] = entry.cues[k].soundId;
            scene->CueFrames[k] = entry.cues[k].frame;
        }
    }
    return opened && whole;
}

bool CSEventManager::LoadNpcTypes(const char *fileName)
{
    std::vector<EventNpcType> types;
    const std::string path = LanguagePath(fileName);
    if (!ParseFile(path, "rb", [&](zuFile *file) { return ParseNpcTypes(file, &types, path.c_str()); })) {
        return false;
    }
    npcTypes_ = std::move(types);
    return true;
}

bool CSEventManager::LoadDoorMessages(const char *fileName)
{
    std::vector<EventTextEntry> texts;
    const std::string path = LanguagePath(fileName);
    if (!ParseFile(path, "rb", [&](zuFile *file) { return ParseEventTexts(file, path.c_str(), &texts); })) {
        return false;
    }
    doorMessages_ = std::move(texts);
    return true;
}

bool CSEventManager::LoadConversations(int32_t stageNumber)
{
    const std::string name = ConversationFileName(stageNumber);
    std::vector<EventTextEntry> texts;
    const std::string path = LanguagePath(name.c_str());
    if (!ParseFile(path, "rb", [&](zuFile *file) { return ParseEventTexts(file, path.c_str(), &texts); })) {
        return false;
    }
    conversations_ = std::move(texts);
    return true;
}

void CSEventManager::LoadPortraits()
{
    ReleasePortraits();
    const int32_t key = stageId / 10000;
    for (const EventNpcType &type : npcTypes_) {
        if (StageKeyOf(type.eventId) != key || type.portrait < 0 || type.portrait >= kPortraitNumbers) {
            continue;
        }
        portraitFlags[type.portrait] = 1;
        portraits_.push_back(EventPortrait{nullptr, type.portrait, nullptr, nullptr, type.eventId});
    }
    // The pictures need the engine (a stage is always loaded with it).
    if (portraits_.empty() || RwEngineGetState() != rwENGINESTATUSSTARTED) {
        return;
    }
    RwImageSetPath((std::string(GetDataRootPath()) + kPortraitFolder).c_str());
    for (int32_t p = 0; p < kPortraitNumbers; ++p) {
        if (portraitFlags[p] == 0) {
            continue;
        }
        char name[16];
        std::snprintf(name, sizeof name, p < 10 ? "NPC0%d.BMP" : "NPC%d.BMP", p);
        RwTexture *texture = ReadTextureWithoutMask(name);
        if (texture == nullptr) {
            DebugPrint("Portrait %s cannot be read\n", MessagePath(name).c_str());
            continue;
        }
        for (EventPortrait &portrait : portraits_) {
            if (portrait.number == p) {
                RwTextureAddRef(texture);
                portrait.texture = texture;
            }
        }
        // The entries hold their references; the read's own goes.
        DestroyTexture(texture);
    }
}

void CSEventManager::ReleasePortraits()
{
    for (uint8_t &flag : portraitFlags) {
        flag = 0;
    }
    for (EventPortrait &portrait : portraits_) {
        DestroyTexture(portrait.texture);
        if (portrait.nameText != nullptr) {
            portrait.nameText->Reset(0);
        }
    }
    portraits_.clear();
}

const char16_t *CSEventManager::GetConversation(int32_t id) const { return FindText(conversations_, id); }

const char16_t *CSEventManager::GetDoorMessage(int32_t id) const { return FindText(doorMessages_, id); }

EventPortrait *CSEventManager::GetNpcPortrait(int32_t eventId)
{
    for (const EventNpcType &type : npcTypes_) {
        if (type.eventId != eventId) {
            continue;
        }
        for (EventPortrait &portrait : portraits_) {
            if (portrait.number == type.portrait && portrait.eventId == eventId) {
                portrait.name = type.name.c_str();
                return &portrait;
            }
        }
        return nullptr;
    }
    return nullptr;
}
