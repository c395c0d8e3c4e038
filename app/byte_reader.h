// Little-endian reading from a byte block that never reads past its end,
// and the matching writing, for the game's own binary files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace game {

class ByteReader {
public:
    ByteReader(const uint8_t *bytes, size_t size) : bytes_(bytes), size_(size) {}

    size_t Remaining() const { return size_ - at_; }
    size_t Position() const { return at_; }

    // Each returns false (and leaves *value alone) when too few bytes remain.
    bool U16(uint16_t *value)
    {
        if (Remaining() < 2) {
            return false;
        }
        *value = static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
        at_ += 2;
        return true;
    }
    bool I16(int16_t *value)
    {
        uint16_t raw = 0;
        if (!U16(&raw)) {
            return false;
        }
        *value = static_cast<int16_t>(raw);
        return true;
    }
    bool U32(uint32_t *value)
    {
        if (Remaining() < 4) {
            return false;
        }
        *value = uint32_t{bytes_[at_]} | (uint32_t{bytes_[at_ + 1]} << 8) | (uint32_t{bytes_[at_ + 2]} << 16) |
                 (uint32_t{bytes_[at_ + 3]} << 24);
        at_ += 4;
        return true;
    }
    // Points *out at the next `count` bytes and steps over them.
    bool Bytes(size_t count, const uint8_t **out)
    {
        if (Remaining() < count) {
            return false;
        }
        *out = bytes_ + at_;
        at_ += count;
        return true;
    }

private:
    const uint8_t *bytes_;
    size_t size_;
    size_t at_ = 0;
};

inline void PutU16(std::vector<uint8_t> *out, uint16_t value)
{
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}
inline void PutI16(std::vector<uint8_t> *out, int16_t value) { PutU16(out, static_cast<uint16_t>(value)); }
inline void PutU32(std::vector<uint8_t> *out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out->push_back(static_cast<uint8_t>(value >> shift));
    }
}

}  // namespace game
