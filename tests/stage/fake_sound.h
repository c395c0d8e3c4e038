// A recording stand-in for the game's sound: files "exist" when listed,
// every call is logged, and each handle keeps its state (playing, paused,
// looping, volume) so the sound-effect and music tests can look at it.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "stage/sound_port.h"

namespace soundtest {

class FakeSound {
public:
    struct Voice {
        std::string path;
        int kind = 0;
        int group = 0;
        float volume = 1.0f;
        bool playing = false;
        bool paused = false;
        bool loop = false;
        int plays = 0;
        std::vector<float> volumes;  // every volume set, in order
    };

    void AddFile(const std::string &path) { files.insert(path); }

    SoundPort Port()
    {
        SoundPort port;
        port.context = this;
        port.load = [](void *c, const char *path, int kind, int group, float volume) {
            return static_cast<FakeSound *>(c)->Load(path, kind, group, volume);
        };
        port.play = [](void *c, uint32_t h, bool loop) {
            FakeSound &f = *static_cast<FakeSound *>(c);
            f.log.push_back("play " + f.voices.at(h).path);
            Voice &v = f.voices.at(h);
            v.playing = true;
            v.paused = false;
            v.loop = loop;
            ++v.plays;
        };
        port.stop = [](void *c, uint32_t h) {
            FakeSound &f = *static_cast<FakeSound *>(c);
            f.log.push_back("stop " + f.voices.at(h).path);
            f.voices.at(h).playing = false;
        };
        port.pause = [](void *c, uint32_t h) {
            FakeSound &f = *static_cast<FakeSound *>(c);
            f.log.push_back("pause " + f.voices.at(h).path);
            f.voices.at(h).paused = true;
        };
        port.resume = [](void *c, uint32_t h) {
            FakeSound &f = *static_cast<FakeSound *>(c);
            f.log.push_back("resume " + f.voices.at(h).path);
            f.voices.at(h).paused = false;
        };
        port.unload = [](void *c, uint32_t h) {
            FakeSound &f = *static_cast<FakeSound *>(c);
            f.log.push_back("unload " + f.voices.at(h).path);
            f.voices.erase(h);
        };
        port.setVolume = [](void *c, uint32_t h, float volume) {
            Voice &v = static_cast<FakeSound *>(c)->voices.at(h);
            v.volume = volume;
            v.volumes.push_back(volume);
        };
        return port;
    }

    uint32_t Load(const char *path, int kind, int group, float volume)
    {
        log.push_back("load " + std::string(path));
        if (files.count(path) == 0) {
            return SoundPort::kNoSound;
        }
        const uint32_t handle = next++;
        Voice v;
        v.path = path;
        v.kind = kind;
        v.group = group;
        v.volume = volume;
        voices[handle] = v;
        return handle;
    }

    // The one loaded voice of `path`, or null.
    const Voice *Find(const std::string &path) const
    {
        for (const auto &[handle, voice] : voices) {
            if (voice.path == path) {
                return &voice;
            }
        }
        return nullptr;
    }
    size_t Count(const std::string &entry) const
    {
        size_t n = 0;
        for (const std::string &line : log) {
            n += line == entry;
        }
        return n;
    }

    std::set<std::string> files;
    std::map<uint32_t, Voice> voices;  // the loaded ones
    std::vector<std::string> log;
    uint32_t next = 0;
};

}  // namespace soundtest
