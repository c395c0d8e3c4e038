// The operations of the kinds built elsewhere that the set-up, the load and
// the manager call (see kind_tails.h): they store their presets; what the
// kinds do with them is their own code's.
#include "event/kind_tails.h"

void CSTalkEvent::BuildText(int32_t) {}

void CSTalkEvent::Close(int32_t) { TextShown = 0; }

void CSInGameAnmEvent::Finish() { IsOccur = 0; }

void CSMovieEvent::Setup(int32_t movieKind, uint8_t flag)
{
    MovieKind = movieKind;
    Flag = flag;
}

void CSMovieEvent::Skip() {}
