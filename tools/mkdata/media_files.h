// The sample data's sounds and movies: the 25 interface sounds and the interface music
// as WAVs of distinct pitches, and the labelled test clip under every movie name the
// screens play, for both movie folders.
#pragma once

#include <string>
#include <vector>

namespace mkdata {

// The interface music files under RESOURCE/MEDIA/BGM.
const std::vector<std::string> &InterfaceMusicNames();
// The movie names of the screens, in ENGUIMV and CHIUIMV.
const std::vector<std::string> &InterfaceMovieNames();
// Pitch of interface sound i (0..24) in hertz: a semitone apart each.
double InterfaceSoundPitch(int index);

// Two seconds of a two-note chord of whole hertz (so it loops without a
// seam), stereo at 44100 Hz.
bool WriteChordMusic(const std::string &path, int lowHz, int highHz);

bool WriteMediaFiles(const std::string &root);

}  // namespace mkdata
