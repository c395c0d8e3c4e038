// The stage info file's text: the rows the tuning menu and the sample-data
// maker write, and which keys the tuning rows own (see stage_info.h).
#include <charconv>
#include <cstring>

#include "stage/stage_info.h"
#include "stage/stage_info_keys.h"

namespace {

using stageinfo::kCameraKeys;
using stageinfo::kStartKeys;

class RowWriter {
public:
    void Title(const char *title)
    {
        text_ += title;
        text_ += '\n';
    }
    void Real(const char *key, float value)
    {
        Key(key);
        AppendReal(value);
        text_ += '\n';
    }
    void Whole(const char *key, int32_t value)
    {
        Key(key);
        text_ += std::to_string(value);
        text_ += '\n';
    }
    void Word(const char *key, const char *word)
    {
        Key(key);
        text_ += word;
        text_ += '\n';
    }
    // Six decimals, as "%f" prints in the C locale, whatever the locale is.
    void AppendReal(float value)
    {
        char digits[64];
        const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, static_cast<double>(value),
                                                     std::chars_format::fixed, 6);
        text_.append(digits, r.ec == std::errc() ? r.ptr : digits);
    }
    void Append(const char *text) { text_ += text; }
    std::string Take() { return std::move(text_); }

private:
    void Key(const char *key)
    {
        text_ += key;
        text_ += ' ';
    }

    std::string text_;
};

// The file writes the initial pitch before the initial rotate, while the
// record holds rotate before pitch.
constexpr int kCameraRowOrder[6] = {0, 1, 2, 3, 5, 4};

float CameraValue(const StageCameraLimits &c, int field)
{
    const float values[6] = {c.pitchDegreeMin, c.pitchDegreeMax,      c.distanceMin,
                             c.distanceMax,    c.initialRotateDegree, c.initialPitchDegree};
    return values[field];
}

float StartValue(const StageStart &s, int field)
{
    const float values[6] = {s.x, s.y, s.z, s.frontX, s.frontY, s.frontZ};
    return values[field];
}

void Camera(RowWriter *w, const char *prefix, const StageCameraLimits &c)
{
    for (int field : kCameraRowOrder) {
        w->Real((std::string(prefix) + kCameraKeys[field]).c_str(), CameraValue(c, field));
    }
}

void Start(RowWriter *w, const char *prefix, const StageStart &s)
{
    for (int field = 0; field < 6; ++field) {
        w->Real((std::string(prefix) + kStartKeys[field]).c_str(), StartValue(s, field));
    }
}

const char *RainWord(int32_t rain)
{
    static const char *const kWords[] = {"RAINSTATE_NORAIN", "RAINSTATE_S_RAIN", "RAINSTATE_M_RAIN",
                                         "RAINSTATE_L_RAIN"};
    return rain >= kRainNone && rain <= kRainLarge ? kWords[rain] : kWords[kRainNone];
}

// The keys other than the per-player ones that the tuning rows own.
constexpr const char *kOwnKeys[] = {"AmbientAplpha:", "AmbientRed:", "AmbientGreen:", "AmbientBlue:",
                                    "CharacterBonus:", "Fog:",       "FogAlpha:",     "FogRed:",
                                    "FogGreen:",      "FogBlue:",    "FogDistance:",  "FogTime:",
                                    "VFog:",          "VFogHigh:",   "Rain:"};

// The section titles the tuning rows write, in their order.
constexpr const char *kOwnTitles[] = {"Camera Parameter",         "2P Camera Parameter",         "Ambient Light",
                                      "Character Start Position", "2P Character Start Position", "Fog ON/OFF and Color"};

}  // namespace

std::string FormatStageTuningRows(const StageInfo &s)
{
    RowWriter w;
    w.Title(kOwnTitles[0]);
    Camera(&w, "", s.camera1);
    w.Title(kOwnTitles[1]);
    Camera(&w, "2", s.camera2);
    w.Title(kOwnTitles[2]);
    w.Whole("AmbientAplpha:", s.ambientAlpha);
    w.Whole("AmbientRed:", s.ambientRed);
    w.Whole("AmbientGreen:", s.ambientGreen);
    w.Whole("AmbientBlue:", s.ambientBlue);
    w.Title(kOwnTitles[3]);
    Start(&w, "", s.start1);
    w.Title(kOwnTitles[4]);
    Start(&w, "2", s.start2);
    w.Whole("CharacterBonus:", s.characterBonus);
    w.Title(kOwnTitles[5]);
    w.Word("Fog:", s.fog != 0 ? "ON" : "OFF");
    if (s.fog != 0) {
        w.Whole("FogAlpha:", s.fogAlpha);
        w.Whole("FogRed:", s.fogRed);
        w.Whole("FogGreen:", s.fogGreen);
        w.Whole("FogBlue:", s.fogBlue);
        w.Real("FogDistance:", s.fogDistance);
        w.Real("FogTime:", s.fogTime);
    }
    w.Word("VFog:", s.vFog != 0 ? "ON" : "OFF");
    if (s.vFog != 0) {
        w.Real("VFogHigh:", s.vFogHigh);
    }
    w.Word("Rain:", RainWord(s.rain));
    return w.Take();
}

std::string FormatStageLoaderRows(const StageInfo &s)
{
    RowWriter w;
    w.Title("Stage");
    w.Real("1P_FarPlane:", s.farPlane1P);
    w.Real("2P_FarPlane:", s.farPlane2P);
    w.Word("SkyBox:", s.skyBox[0] != '\0' ? s.skyBox : "NONE");
    w.Whole("Light:", s.light);
    w.Whole("Wall:", s.wall);
    w.Whole("CameraWall:", s.cameraWall);
    w.Whole("StageClump:", s.stageClumpCount);
    w.Whole("IsUsingAutoAdjustment:", s.useAutoAdjustment);
    w.Append("AIClippingRange: ");
    for (int i = 0; i < 4; ++i) {
        w.Append(i == 0 ? "" : ", ");
        w.AppendReal(s.aiClippingRange[i]);
    }
    w.Append("\n");
    return w.Take();
}

bool IsStageTuningKey(const char *key)
{
    const char *colon = key != nullptr ? std::strchr(key, ':') : nullptr;
    if (colon == nullptr) {
        return false;
    }
    const std::string own(key, static_cast<size_t>(colon - key) + 1);
    for (int i = 0; i < 6; ++i) {
        if (own == kCameraKeys[i] || own == std::string("2") + kCameraKeys[i] || own == kStartKeys[i] ||
            own == std::string("2") + kStartKeys[i] || own == std::string("2P") + kStartKeys[i]) {
            return true;
        }
    }
    for (const char *k : kOwnKeys) {
        if (own == k) {
            return true;
        }
    }
    return false;
}

bool IsStageTuningLine(const char *key, const char *line)
{
    if (std::strchr(key != nullptr ? key : "", ':') != nullptr) {
        return IsStageTuningKey(key);
    }
    if (line == nullptr) {
        return false;
    }
    // A title as written, blanks at either end aside.
    const char *end = line + std::strlen(line);
    while (*line == ' ' || *line == '\t') {
        ++line;
    }
    while (end > line && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r')) {
        --end;
    }
    const std::string text(line, static_cast<size_t>(end - line));
    for (const char *title : kOwnTitles) {
        if (text == title) {
            return true;
        }
    }
    return false;
}
