#pragma once
// Decoding half of a 32-bit range coder: 2^23 is the bottom of the range and
// 7 bits of each input byte are carried over into the next step.

#include <cstddef>
#include <cstdint>

struct RangeDecoder {
    static constexpr bool kDecoding = true;

    uint32_t range = 0;
    uint32_t low = 0;
    uint32_t help = 0;
    uint8_t buffer = 0;
    const uint8_t* input = nullptr;
    size_t size = 0;
    size_t position = 0;
    // Bytes asked for beyond the end of the stream (read as 0). A complete
    // stream never needs any, so a count above 0 means a truncated stream.
    size_t overrun = 0;

    uint8_t NextByte() {
        if (position < size) {
            return input[position++];
        }
        ++overrun;
        return 0;
    }

    // Returns the first stream byte, which is the first decoded byte itself.
    uint8_t Start(const uint8_t* data, size_t length) {
        input = data;
        size = length;
        position = 0;
        overrun = 0;
        uint8_t first = NextByte();
        buffer = NextByte();
        low = buffer >> 1;
        range = 0x80;
        return first;
    }

    void Normalize() {
        while (range <= 0x800000u) {
            low = (low << 8) | ((static_cast<uint32_t>(buffer) << 7) & 0xFF);
            buffer = NextByte();
            low |= buffer >> 1;
            range <<= 8;
        }
    }

    // The cumulative frequency under which the next symbol lies, for total > 0.
    uint32_t GetFrequency(uint32_t total) {
        Normalize();
        help = range / total;
        uint32_t t = low / help;
        return t >= total ? total - 1 : t;
    }

    void Take(uint32_t frequency, uint32_t cumulative, uint32_t total) {
        uint32_t step = help * cumulative;
        low -= step;
        if (cumulative + frequency < total) {
            range = help * frequency;
        } else {
            range -= step;
        }
    }
};
