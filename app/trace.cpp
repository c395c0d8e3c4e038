// The run's trace file (see trace.h).
#include "app/trace.h"

#include <atomic>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace game {

namespace {

std::FILE *g_file = nullptr;
// Read by the loading screen's thread too, which writes its drawings.
std::atomic<uint32_t> g_tick{0};
bool g_poses = false;

}  // namespace

bool TraceOpen(const std::string &path, std::string *error)
{
    TraceClose();
    g_file = std::fopen(path.c_str(), "w");
    if (g_file == nullptr) {
        if (error != nullptr) {
            *error = "the trace file " + path + " cannot be written";
        }
        return false;
    }
    return true;
}

void TraceClose()
{
    if (g_file != nullptr) {
        std::fclose(g_file);
        g_file = nullptr;
    }
}

bool TraceOn()
{
    return g_file != nullptr;
}

void TraceAskPoses(bool on)
{
    g_poses = on;
}

bool TracePosesOn()
{
    return g_file != nullptr && g_poses;
}

void TraceSetTick(uint32_t tick)
{
    g_tick.store(tick, std::memory_order_relaxed);
}

uint32_t TraceTick()
{
    return g_tick.load(std::memory_order_relaxed);
}

TraceLine::TraceLine(const char *kind) : on_(g_file != nullptr)
{
    if (on_) {
        std::snprintf(text_, sizeof(text_), "%" PRIu32, g_tick.load(std::memory_order_relaxed));
        length_ = std::strlen(text_);
        Word(kind);
    }
}

TraceLine::~TraceLine()
{
    if (on_ && g_file != nullptr) {
        // One write per line: lines of two threads never interleave.
        text_[length_] = '\n';
        std::fwrite(text_, 1, length_ + 1, g_file);
    }
}

void TraceLine::Append(const char *text)
{
    // One byte stays free for the line feed; an overlong record is cut.
    const size_t limit = sizeof(text_) - 1;
    if (length_ >= limit) {
        return;
    }
    text_[length_++] = ' ';
    size_t n = std::strlen(text);
    if (n > limit - length_) {
        n = limit - length_;
    }
    std::memcpy(text_ + length_, text, n);
    length_ += n;
}

TraceLine &TraceLine::Int(int64_t value)
{
    if (on_) {
        char field[24];
        std::snprintf(field, sizeof(field), "%" PRId64, value);
        Append(field);
    }
    return *this;
}

TraceLine &TraceLine::Real(double value)
{
    if (on_) {
        // No "-0.00": what rounds to zero is written as zero.
        if (!(std::fabs(value) >= 0.005)) {
            value = std::isnan(value) ? value : 0.0;
        }
        char field[48];
        std::snprintf(field, sizeof(field), "%.2f", value);
        Append(field);
    }
    return *this;
}

TraceLine &TraceLine::Word(const char *text)
{
    if (on_) {
        char field[96];
        size_t n = 0;
        for (; text[n] != '\0' && n + 1 < sizeof(field); ++n) {
            field[n] = (text[n] == ' ' || text[n] == '\t' || text[n] == '\n') ? '_' : text[n];
        }
        field[n] = '\0';
        Append(field);
    }
    return *this;
}

}  // namespace game
