#pragma once
// Encoding half of the 32-bit range coder that RangeDecoder reads: the first
// byte travels raw, carries are resolved through a one-byte buffer and a count
// of pending 0xFF bytes.

#include <cstdint>
#include <vector>

struct RangeEncoder {
    static constexpr bool kDecoding = false;
    static constexpr uint32_t kTop = 1u << 31;
    static constexpr uint32_t kBottom = 1u << 23;
    static constexpr int kShift = 23;

    uint32_t low = 0;
    uint32_t range = kTop;
    uint32_t pending = 0;  // 0xFF bytes waiting for a possible carry
    uint8_t buffer = 0;
    uint64_t shifts = 0;  // normalisation steps while coding symbols
    std::vector<uint8_t>* out = nullptr;

    void Start(uint8_t first, std::vector<uint8_t>& output) {
        out = &output;
        low = 0;
        range = kTop;
        pending = 0;
        buffer = first;
        shifts = 0;
    }

    void ShiftOut() {
        if (low < (0xFFu << kShift)) {
            out->push_back(buffer);
            for (; pending > 0; --pending) {
                out->push_back(0xFF);
            }
            buffer = static_cast<uint8_t>(low >> kShift);
        } else if (low & kTop) {
            out->push_back(static_cast<uint8_t>(buffer + 1));
            for (; pending > 0; --pending) {
                out->push_back(0x00);
            }
            buffer = static_cast<uint8_t>(low >> kShift);
        } else {
            ++pending;
        }
        range <<= 8;
        low = (low << 8) & (kTop - 1);
    }

    void Take(uint32_t frequency, uint32_t cumulative, uint32_t total) {
        while (range <= kBottom) {
            ShiftOut();
            ++shifts;
        }
        const uint32_t r = range / total;
        const uint32_t step = r * cumulative;
        low += step;
        if (cumulative + frequency < total) {
            range = r * frequency;
        } else {
            range -= step;
        }
    }

    // Ends the stream with a code value inside the last interval, whose bits
    // below the last significant byte are 0, and cuts it to exactly the bytes
    // the decoder reads: 2 at its start, 3 more at its first symbol and one
    // per normalisation step.
    void Finish(uint64_t symbolsCoded) {
        while (range <= kBottom) {
            ShiftOut();
        }
        const uint32_t value = (low >> kShift) + 1;
        if (value > 0xFF) {
            out->push_back(static_cast<uint8_t>(buffer + 1));
            for (; pending > 0; --pending) {
                out->push_back(0x00);
            }
        } else {
            out->push_back(buffer);
            for (; pending > 0; --pending) {
                out->push_back(0xFF);
            }
        }
        out->push_back(static_cast<uint8_t>(value));
        out->insert(out->end(), 3, 0);
        const uint64_t needed = symbolsCoded == 0 ? 2 : 5 + shifts;
        if (out->size() > needed) {
            out->resize(needed);
        }
    }
};
