// The stage's tables of screen and loading-screen calls (see stage_screen_calls.h).
#include "stage/stage_screen_calls.h"

const StageScreenCalls *g_stageScreens = nullptr;
const StageLoadingCalls *g_stageLoadingScreen = nullptr;
