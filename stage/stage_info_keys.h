// The keys of the stage info file's per-player rows, shared by its reader
// and its writer (stage_info.cpp, stage_info_text.cpp). Player 2's camera
// keys put "2" before these; player 2's start keys put "2" (the stage
// load's spelling) or "2P" (the tuning menu's older spelling) before them.
#pragma once

namespace stageinfo {

// In the order of the record's fields.
inline constexpr const char *kCameraKeys[6] = {"PitchDegreeMin:",      "PitchDegreeMax:",   "DistanceMin:",
                                               "DistanceMax:",         "InitialRotateDegree:", "InitialPitchDegree:"};
inline constexpr const char *kStartKeys[6] = {"CharacterX:",      "CharacterY:",      "CharacterZ:",
                                              "CharacterFrontX:", "CharacterFrontY:", "CharacterFrontZ:"};

}  // namespace stageinfo
