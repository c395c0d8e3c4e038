// The event table reader and the text the maker writes (see
// event_table_file.h).
#include "event/event_table_file.h"

#include <cstdio>
#include <cstring>

#include "app/debug.h"
#include "app/file.h"
#include "app/keyword.h"
#include "app/memory.h"
#include "app/path.h"
#include "event/event_factory.h"
#include "event/event_line_words.h"
#include "event/event_objects.h"

namespace {

// One line of at most 511 characters; the rest of a longer line is
// skipped. False at the end of the file. `number` counts the lines read.
bool ReadLine(zuFile *file, char (&line)[kEventTableLineLength + 1], int *number)
{
    bool cut = false;
    if (!ReadEventDataLine(file, line, sizeof(line), &cut)) {
        return false;
    }
    ++*number;
    if (cut) {
        DebugPrint("%s:%d: the line is longer than %d characters; the rest of it is not read\n",
                   MessagePath(kEventTablePath).c_str(), *number, kEventTableLineLength);
    }
    return true;
}

// The working values of the read: a word without ':' leaves the previous
// one in place; after a ':' the value is read as atol and atof read it (0
// for a word that is no number, which is reported with its line).
struct WorkingValues {
    int32_t integer = 0;
    float real = 0.0f;
    int line = 0;  // the file's line being read, for the reports

    int32_t Int(const char *word)
    {
        if (ReadKeyInt(word, ':', &integer)) {
            ReportIfNotANumber(word, true);
        }
        return integer;
    }
    float Real(const char *word)
    {
        if (ReadKeyFloat(word, ':', &real)) {
            ReportIfNotANumber(word, false);
        }
        return real;
    }
    void ReportIfNotANumber(const char *text, bool whole) const
    {
        NumberForm form = NumberForm::kNone;
        KeyValueForm(text, ':', whole, &form);
        if (form == NumberForm::kWhole) {
            return;
        }
        const int shown = static_cast<int>(std::strcspn(text, "\r\n"));
        if (whole) {
            DebugPrint("%s:%d: '%.*s' is not a whole number; it reads as %d\n", MessagePath(kEventTablePath).c_str(),
                       line, shown, text, integer);
        } else {
            DebugPrint("%s:%d: '%.*s' is not a number; it reads as %g\n", MessagePath(kEventTablePath).c_str(), line,
                       shown, text, static_cast<double>(real));
        }
    }
};

void ReadTriple(char *line, WorkingValues &work, RwV3d *out)
{
    const EventLineWords words(line);
    out->x = work.Real(words[1]);
    out->y = work.Real(words[2]);
    out->z = work.Real(words[3]);
}

// Line 14 of a scene-effect event: its point words ("x,y,z"), kept whole.
void KeepPointStrings(char *line, CSSceneEffectEvent *event)
{
    const EventLineWords words(line);
    int points = 0;
    for (int i = 0; i < words.Count(); ++i) {
        points += std::strchr(words[i], ',') != nullptr ? 1 : 0;
    }
    if (points == 0) {
        return;
    }
    event->PointStrings = static_cast<char **>(zuMalloc(sizeof(char *) * static_cast<size_t>(points)));
    for (int i = 0; i < words.Count(); ++i) {
        if (std::strchr(words[i], ',') != nullptr) {
            event->PointStrings[event->PointStringCount++] = zuStrDup(words[i]);
        }
    }
}

// `firstLine`: the file's line number of the block's first line.
void FillBlock(EventRecord *record, char (&lines)[kEventBlockLines][kEventTableLineLength + 1], int firstLine,
               WorkingValues &work)
{
    for (int c = 0; c < 4; ++c) {
        work.line = firstLine + 2 + c;
        ReadTriple(lines[2 + c], work, &record->EventArea[c]);
    }
    work.line = firstLine + 6;
    ReadTriple(lines[6], work, &record->Placement.position);
    work.line = firstLine + 7;
    ReadTriple(lines[7], work, &record->Placement.at);
    work.line = firstLine + 8;
    ReadTriple(lines[8], work, &record->Placement.up);
    record->Placement.centre = record->Placement.position;
    record->Placement.radius = 40.0f;
    work.line = firstLine + 9;
    ReadTriple(lines[9], work, &record->Circle.centre);
    work.line = firstLine + 10;
    record->Circle.radius = work.Real(lines[10]);

    work.line = firstLine + 11;
    const EventLineWords values(lines[11]);
    record->CharNum = work.Int(values[0]);
    record->NPCNum = work.Int(values[1]);
    record->MaxOccur = work.Int(values[2]);
    record->Param = work.Int(values[3]);
    record->LinkID = work.Int(values[4]);
    const int32_t mask = work.Int(values[5]);
    record->PlayerEnable[0] = mask % 2 > 0 ? 1 : 0;
    record->PlayerEnable[1] = mask % 4 > 1 ? 1 : 0;
    record->OccurCount = 0;
    record->IsOccur = 0;

    const EventLineWords label(lines[12]);
    record->Label = zuStrDup(label[0]);

    if (record->kind == EventKind::kSceneEffect) {
        KeepPointStrings(lines[13], static_cast<CSSceneEffectEvent *>(record));
    }
    if (record->NPCNum >= 1 && record->NPCNum <= kMaxNpcFlags) {
        record->NPCFlags = static_cast<uint8_t *>(zuMalloc(static_cast<size_t>(record->NPCNum)));
        std::memset(record->NPCFlags, 0, static_cast<size_t>(record->NPCNum));
    }
}

void AppendTriple(std::string &text, const char *label, const RwV3d &v)
{
    char line[160];
    std::snprintf(line, sizeof(line), "%s X:%.4f Y:%.4f Z:%.4f\n", label, v.x, v.y, v.z);
    text += line;
}

}  // namespace

bool ReadEventDataLine(zuFile *file, char *line, size_t size, bool *cut)
{
    if (cut != nullptr) {
        *cut = false;
    }
    if (zufgets(line, static_cast<int>(size), file) == nullptr) {
        return false;
    }
    const size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] != '\n') {
        char rest[64];
        while (zufgets(rest, sizeof(rest), file) != nullptr) {
            // Only the line end past the room: nothing of the line is lost.
            if (cut != nullptr && std::strcmp(rest, "\n") != 0 && std::strcmp(rest, "\r\n") != 0) {
                *cut = true;
            }
            const size_t n = std::strlen(rest);
            if (n > 0 && rest[n - 1] == '\n') {
                break;
            }
        }
    }
    return true;
}

bool ReadEventTable(zuFile *file, CSEventManager *owner, std::vector<EventRecord *> *records)
{
    if (file == nullptr) {
        return false;
    }
    char lines[kEventBlockLines][kEventTableLineLength + 1];
    WorkingValues work;
    int lineNumber = 0;
    if (!ReadLine(file, lines[0], &lineNumber)) {
        UserPrint("%s: the file is empty; it holds no event\n", MessagePath(kEventTablePath).c_str());
        return true;
    }
    work.line = 1;
    if (!ReadKeyInt(lines[0], ':', &work.integer)) {
        UserPrint("%s:1: the count line has no ':'; it holds no event\n", MessagePath(kEventTablePath).c_str());
    }
    work.ReportIfNotANumber(lines[0], true);
    const int32_t count = work.integer;
    if (count < 0) {
        UserPrint("%s:1: a count of %d events; none is read\n", MessagePath(kEventTablePath).c_str(), count);
    }
    for (int32_t n = 0; n < count; ++n) {
        const int firstLine = lineNumber + 1;
        int got = 0;
        while (got < kEventBlockLines && ReadLine(file, lines[got], &lineNumber)) {
            ++got;
        }
        // A table that gives no event is said always; one cut after some,
        // under --debug.
        void (*const say)(const char *, ...) = n == 0 ? UserPrint : DebugPrint;
        if (got < kEventBlockLines) {
            say("%s: block %d is short; %d events read\n", MessagePath(kEventTablePath).c_str(), n + 1, n);
            break;
        }
        // The id line must hold a number: a block without one is garbled,
        // and the read ends with the records before it.
        const EventLineWords idWords(lines[1]);
        NumberForm idForm = NumberForm::kNone;
        if (!KeyValueForm(idWords[0], ':', true, &idForm) || idForm == NumberForm::kNone) {
            say("%s:%d: block %d has no event id; %d events read\n", MessagePath(kEventTablePath).c_str(),
                firstLine + 1, n + 1, n);
            break;
        }
        work.line = firstLine + 1;
        const int32_t id = work.Int(idWords[0]);
        EventRecord *record = CreateEventRecord(id);
        if (record != nullptr) {
            record->manager = owner;
            record->SetUp();
            FillBlock(record, lines, firstLine, work);
        }
        records->push_back(record);
    }
    return true;
}

void LinkEventRecords(const std::vector<EventRecord *> &records)
{
    auto find = [&records](int32_t id) -> EventRecord * {
        for (EventRecord *r : records) {
            if (r != nullptr && r->EventID == id) {
                return r;
            }
        }
        return nullptr;
    };
    for (EventRecord *record : records) {
        if (record == nullptr || (record->LinkID <= 70000000 && record->Param < 70000001)) {
            continue;
        }
        record->LinkEvent = find(record->LinkID);
        if (record->EventType == kEventTypeLinkStarter && record->kind == EventKind::kLinkStarter) {
            static_cast<CSLinkStarterEvent *>(record)->SecondLink = find(record->Param);
        }
    }
}

std::string FormatEventTable(const std::vector<EventTableEntry> &entries)
{
    std::string text;
    char line[600];
    std::snprintf(line, sizeof(line), "EventNum:%zu\n", entries.size());
    text += line;
    for (size_t i = 0; i < entries.size(); ++i) {
        const EventTableEntry &e = entries[i];
        std::snprintf(line, sizeof(line), "#Event%03zu\n", i + 1);
        text += line;
        std::snprintf(line, sizeof(line), "EventID:%d\n", e.eventId);
        text += line;
        for (int c = 0; c < 4; ++c) {
            char name[16];
            std::snprintf(name, sizeof(name), "P%02d", c + 1);
            AppendTriple(text, name, e.corners[c]);
        }
        AppendTriple(text, "Position", e.position);
        AppendTriple(text, "At", e.at);
        AppendTriple(text, "Up", e.up);
        AppendTriple(text, "Center", e.circleCentre);
        std::snprintf(line, sizeof(line), "Radius:%.4f\n", e.radius);
        text += line;
        std::snprintf(line, sizeof(line), "CharNum:%d NPCNum:%d MaxOccur:%d Param:%d LinkID:%d Player:%d\n", e.charNum,
                      e.npcNum, e.maxOccur, e.param, e.linkId, e.playerMask);
        text += line;
        text += e.label.empty() ? std::string("none") : e.label;
        text += "\n";
        for (size_t p = 0; p < e.points.size(); ++p) {
            std::snprintf(line, sizeof(line), "%s%.4f,%.4f,%.4f", p == 0 ? "" : " ", e.points[p].x, e.points[p].y,
                          e.points[p].z);
            text += line;
        }
        text += e.points.empty() ? "Points:none\n" : "\n";
    }
    return text;
}
