// The sound front-end the screens play through: the application's, or a
// test's own.
#pragma once

class CSAudio;

// Null while there is none.
CSAudio *UIAudio();
// A test's sound front-end (null: no sound) while `set`; false puts the
// application's back.
void SetUIAudioForTest(CSAudio *audio, bool set);
