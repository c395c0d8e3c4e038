// Fake actors behind the effects' links: heroes and other actors with a
// position, the money words, and every message posted to them recorded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fx/fx_links.h"
#include "app/app_test_support.h"
#include "app/trace.h"
#include "support/game/trace_reader.h"

namespace fxtest {

struct FakeActor {
    int32_t aiType = 0;
    int32_t aiId = 0;
    RwV3d position = {0.0f, 0.0f, 0.0f};
    bool removed = false;
    int32_t money = 0;
    int32_t stageMoney = 0;
};

struct PostedMessage {
    int32_t kind;
    AiObject *sender;
    FakeActor *target;
    int32_t w[3];
};

struct FakeWorld {
    std::vector<FakeActor *> heroes;
    std::vector<FakeActor *> actors;  // the chain (heroes may be in it too)
    std::vector<PostedMessage> posted;
    std::vector<int32_t> moneyShown;
    std::vector<int32_t> sounds;
    std::string tracePath;

    static FakeWorld *&Current()
    {
        static FakeWorld *world = nullptr;
        return world;
    }
    static FakeActor *Of(AiObject *a) { return reinterpret_cast<FakeActor *>(a); }
    static AiObject *As(FakeActor *a) { return reinterpret_cast<AiObject *>(a); }

    // Connects the links to this world until Disconnect.
    void Connect()
    {
        Current() = this;
        FxLinks &l = g_fxLinks;
        l = FxLinks{};
        l.heroCount = [] { return static_cast<int32_t>(Current()->heroes.size()); };
        l.hero = [](int32_t i) {
            return i >= 0 && i < static_cast<int32_t>(Current()->heroes.size()) ? As(Current()->heroes[i]) : nullptr;
        };
        l.addStageEarnings = [](AiObject *hero, int32_t amount) { Of(hero)->stageMoney += amount; };
        l.firstActor = [] { return Current()->actors.empty() ? nullptr : As(Current()->actors.front()); };
        l.nextActor = [](AiObject *a) -> AiObject * {
            auto &list = Current()->actors;
            for (size_t i = 0; i + 1 < list.size(); ++i) {
                if (As(list[i]) == a) {
                    return As(list[i + 1]);
                }
            }
            return nullptr;
        };
        l.aiType = [](AiObject *a) { return Of(a)->aiType; };
        l.aiId = [](AiObject *a) { return Of(a)->aiId; };
        l.isRemoved = [](AiObject *a) { return Of(a)->removed; };
        l.position = [](AiObject *a, RwV3d *out) {
            *out = Of(a)->position;
            return true;
        };
        l.post = [](int32_t kind, AiObject *sender, AiObject *target, int32_t w0, int32_t w1, int32_t w2) {
            Current()->posted.push_back({kind, sender, Of(target), {w0, w1, w2}});
        };
        l.playSound = [](int32_t id) { Current()->sounds.push_back(id); };
        l.showMoneyGain = [](int32_t amount) { Current()->moneyShown.push_back(amount); };
        tracePath = apptest::ScratchFolder("fx_trace") + "/trace.txt";
        std::string error;
        game::TraceOpen(tracePath, &error);
    }
    void Disconnect()
    {
        g_fxLinks = FxLinks{};
        game::TraceClose();
        Current() = nullptr;
    }
    // The trace's lines so far, each "kind field field ..." without its tick.
    std::vector<std::string> Trace() const
    {
        game::TraceClose();
        std::vector<std::string> lines;
        for (const gametest::TraceRecord &r : gametest::ReadTrace(tracePath)) {
            std::string line = r.kind;
            for (const std::string &f : r.fields) {
                line += " " + f;
            }
            lines.push_back(line);
        }
        std::string error;
        game::TraceOpen(tracePath + ".more", &error);
        return lines;
    }
    int MessagesTo(const FakeActor &a) const
    {
        int n = 0;
        for (const PostedMessage &m : posted) {
            n += m.target == &a ? 1 : 0;
        }
        return n;
    }
};

}  // namespace fxtest
