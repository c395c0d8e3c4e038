// The screen numbers of the screen manager: what RequestModule takes.
#pragma once

#include <cstdint>

enum UIScreen : uint32_t {
    kUINoScreen = 0,
    kUIWarning = 1,
    kUIPublisherLogo = 2,
    kUIMakerLogo = 3,
    kUIStillLogo = 4,
    kUIStillLogo2 = 5,  // has no object and is never requested
    kUIOpeningMovie = 6,
    kUITitle = 7,
    kUISelectCharacter = 8,
    kUISaveLoad = 9,
    kUIOption = 10,
    kUILobby = 11,
    kUIEnterStage = 12,
    kUIGamePlay = 13,
    kUIGameOver = 14,
    kUIStageEnd = 15,
    kUIRanking = 16,
    kUIStageClear = 17,
};

inline constexpr uint32_t kUIScreenCount = 17;
