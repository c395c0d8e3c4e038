// The scenes' subtitle files (see scene_subtitles.h).
#include "event/scene_subtitles.h"

#include <algorithm>

#include "app/debug.h"
#include "app/path.h"
#include "event/event_blocks.h"
#include "event/wide_lines.h"

namespace {

constexpr const char *kFileName = "subtitle file";

// The number after the line's first ':' (0..max), for a count or a time.
bool BoundedValue(WideLines &lines, const char *what, int32_t max, int32_t *value)
{
    if (!lines.LineValue(what, kSceneSubtitleLine, value)) {
        return false;
    }
    if (*value < 0 || *value > max) {
        return lines.Refuse(what);
    }
    return true;
}

// Frames of up to ten minutes, end delays of up to a minute.
constexpr int32_t kMaxStartFrame = 36000;
constexpr int32_t kMaxEndDelay = 600;

std::u16string ToWide(const std::string &text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

bool ParseSceneSubtitles(zuFile *file, std::vector<SceneSubtitleEntry> *out)
{
    return ParseSceneSubtitles(file, out, kFileName);
}

bool ParseSceneSubtitles(zuFile *file, std::vector<SceneSubtitleEntry> *out, const char *name)
{
    WideLines lines(file, name);
    int32_t count = 0;
    if (!BoundedValue(lines, "count", kMaxSceneSubtitles, &count)) {
        return false;
    }
    std::vector<SceneSubtitleEntry> entries;
    for (int32_t i = 0; i < count; ++i) {
        SceneSubtitleEntry entry;
        if (!lines.Next("subtitle head") || !BoundedValue(lines, "start frame", kMaxStartFrame, &entry.startFrame) ||
            !lines.Next("text", kSceneSubtitleLine)) {
            return false;
        }
        entry.text = lines.Line();
        if (!lines.Next("digits", kSceneSubtitleLine)) {
            return false;
        }
        bool stranger = false;
        for (char16_t c : lines.Line()) {
            const bool digit = c >= u'0' && c <= u'9';
            stranger = stranger || !digit;
            entry.digits.push_back(digit ? static_cast<char>(c) : '0');
        }
        if (stranger) {
            DebugPrint("%s:%d: a character of the digits is no digit; it counts 0\n", MessagePath(name).c_str(),
                       lines.Number());
        }
        if (entry.digits.size() < entry.text.size()) {
            DebugPrint("%s:%d: %zu digits for %zu characters; the characters without one come with the one before\n",
                       name, lines.Number(), entry.digits.size(), entry.text.size());
        }
        if (!BoundedValue(lines, "end delay", kMaxEndDelay, &entry.endDelay) || !lines.Next("subtitle end")) {
            return false;
        }
        entries.push_back(std::move(entry));
    }
    *out = std::move(entries);
    return true;
}

std::u16string FormatSceneSubtitles(const std::vector<SceneSubtitleEntry> &entries)
{
    std::u16string text = u"Count: " + ToWide(std::to_string(entries.size())) + u"\r\n";
    for (const SceneSubtitleEntry &entry : entries) {
        text += u"Subtitle\r\nStart: " + ToWide(std::to_string(entry.startFrame)) + u"\r\n" + entry.text + u"\r\n" +
                ToWide(entry.digits) + u"\r\nEnd: " + ToWide(std::to_string(entry.endDelay)) + u"\r\nEnd\r\n";
    }
    return text;
}

SceneSubtitle *MakeSceneSubtitles(const std::vector<SceneSubtitleEntry> &entries)
{
    SceneSubtitle *subtitles = NewEventBlock<SceneSubtitle>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const SceneSubtitleEntry &entry = entries[i];
        SceneSubtitle &s = subtitles[i];
        const size_t length = std::min(entry.text.size(), kSceneSubtitleLine);
        s.Text = NewEventBlock<char16_t>(length + 1);
        std::copy_n(entry.text.begin(), length, s.Text);
        // Every character before the line's break is revealed, the last
        // one too: the text was cut at its carriage return, so nothing of
        // the line end is left to hold back, and the digits line times each
        // character, the last included.
        s.RevealCount = static_cast<int32_t>(length);
        s.StartTime = static_cast<float>(entry.startFrame) * kSceneFrameSeconds;
        s.CharTimes = NewEventBlock<float>(length);
        float at = s.StartTime;
        for (size_t c = 0; c < length; ++c) {
            // A digit line shorter than the text: the rest appear at once.
            const char d = c < entry.digits.size() ? entry.digits[c] : '0';
            const int digit = d >= '0' && d <= '9' ? d - '0' : 0;
            at += static_cast<float>(digit) * kSubtitleStepSeconds;
            s.CharTimes[c] = at;
        }
        s.EndTime = at + static_cast<float>(entry.endDelay) * kSubtitleStepSeconds;
    }
    return subtitles;
}

void FreeSceneSubtitles(SceneSubtitle *subtitles, int32_t count)
{
    for (int32_t i = 0; subtitles != nullptr && i < count; ++i) {
        FreeEventBlock(subtitles[i].Text);
        FreeEventBlock(subtitles[i].CharTimes);
    }
    FreeEventBlock(subtitles);
}

std::u16string VisibleSubtitleText(const SceneSubtitle &subtitle, float seconds)
{
    std::u16string shown;
    for (int32_t c = 0; c < subtitle.RevealCount && subtitle.CharTimes[c] <= seconds; ++c) {
        shown.push_back(subtitle.Text[c]);
    }
    return shown;
}

bool SubtitleFinished(const SceneSubtitle &subtitle, float seconds)
{
    const bool allShown = subtitle.RevealCount == 0 || subtitle.CharTimes[subtitle.RevealCount - 1] <= seconds;
    return allShown && seconds >= subtitle.EndTime;
}
