#pragma once
// Coding of one byte with the context model, written once for both sides.
// Coder is the range decoder (kDecoding true: the symbol comes out of the
// stream) or the range encoder (kDecoding false: the symbol goes in); every
// model step between the two is the same code.

#include <cstdint>

#include "installer/ppm_model.h"

inline constexpr int kPpmEscape = -1;
inline constexpr int kPpmFailure = -2;  // a total of 0: the stream cannot be followed

// Codes in one context; returns the symbol or kPpmEscape.
template <class Coder>
int PpmCodeInContext(PpmModel& m, Coder& coder, ContextRecord* r, int order, int b) {
    const int32_t now = m.byteNumber;
    uint32_t s = 0;
    if (!m.excluded) {
        s = static_cast<uint32_t>(r->total);
    } else {
        for (SymbolNode* n = &r->first; n != nullptr; n = n->next) {
            if (m.stamp[n->symbol] != now) {
                s += n->frequency;
            }
        }
    }
    const uint32_t total = s + r->distinct;
    if (total == 0) {
        return kPpmFailure;
    }
    bool inside;
    uint32_t t = 0;
    if constexpr (Coder::kDecoding) {
        t = coder.GetFrequency(total);
        inside = t < s;
    } else {
        inside = m.stamp[b] != now;  // excluded values are not in this context
    }
    SymbolNode* last = &r->first;
    if (inside) {
        uint32_t c = 0;
        for (SymbolNode* n = &r->first; n != nullptr; n = n->next) {
            last = n;
            if (m.excluded && m.stamp[n->symbol] == now) {
                continue;
            }
            bool here;
            if constexpr (Coder::kDecoding) {
                here = t < c + n->frequency;
            } else {
                here = n->symbol == b;
            }
            if (here) {
                coder.Take(n->frequency, c, total);
                PpmAddUpdate(m, UpdateKind::kFound, order, r, n);
                return n->symbol;
            }
            c += n->frequency;
        }
        if constexpr (Coder::kDecoding) {
            return kPpmFailure;  // frequencies out of step with the total
        }
    }
    if (r->distinct == 0) {
        return kPpmFailure;  // 256 symbols leave no room to escape
    }
    coder.Take(r->distinct, s, total);
    for (SymbolNode* n = &r->first; n != nullptr; n = n->next) {
        m.stamp[n->symbol] = now;
        last = n;
    }
    PpmAddUpdate(m, UpdateKind::kEscaped, order, r, last);
    m.excluded = true;
    return kPpmEscape;
}

// The ranked order-0 model; returns the position or kPpmEscape.
template <class Coder>
int PpmCodeOrderZero(PpmModel& m, Coder& coder, int b) {
    const RankedOrderZero& z = m.zero;
    const int32_t now = m.byteNumber;
    // q[r] = e + sum of the frequencies of the positions >= r (stamped ones count 0).
    uint32_t q[258];
    q[257] = 0;
    q[256] = static_cast<uint32_t>(z.escape);
    for (int r = 255; r >= 0; --r) {
        q[r] = q[r + 1] + (m.stamp[z.value[r]] == now ? 0u : z.frequency[r]);
    }
    const uint32_t total = q[0];
    if (total == 0) {
        return kPpmFailure;
    }
    int found;
    if constexpr (Coder::kDecoding) {
        const uint32_t t = coder.GetFrequency(total);
        int lo = 1, hi = 257;
        while (lo < hi) {
            const int mid = (lo + hi) >> 1;
            if (q[mid] > t) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        found = lo;
    } else {
        const int r = z.position[b];
        found = q[r] > q[r + 1] ? r + 1 : 257;
        if (found == 257 && z.escape == 0) {
            return kPpmFailure;
        }
    }
    coder.Take(q[found - 1] - q[found], q[found], total);
    return found == 257 ? kPpmEscape : found - 1;
}

// Order -1: every never-seen value with frequency 1; returns the value.
template <class Coder>
int PpmCodeNovel(PpmModel& m, Coder& coder, int b) {
    const uint32_t total = static_cast<uint32_t>(m.novel.count);
    if (total == 0) {
        return kPpmFailure;
    }
    // a[j] = number of never-seen values >= j.
    uint32_t a[258];
    a[257] = 0;
    a[256] = 0;
    for (int j = 255; j >= 0; --j) {
        a[j] = a[j + 1] + (m.novel.novel[j] ? 1u : 0u);
    }
    int lo;
    if constexpr (Coder::kDecoding) {
        const uint32_t t = coder.GetFrequency(total);
        lo = 1;
        int hi = 257;
        while (lo < hi) {
            const int mid = (lo + hi) >> 1;
            if (a[mid] > t) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
    } else {
        if (!m.novel.novel[b]) {
            return kPpmFailure;
        }
        lo = b + 1;
    }
    coder.Take(a[lo - 1] - a[lo], a[lo], total);
    const uint8_t v = static_cast<uint8_t>(lo - 1);
    PpmRemoveNovel(m, v);
    return v;
}

// The first byte of a stream: it travels raw, so only the model learns it.
inline void PpmFirstByte(PpmModel& m, uint8_t b) {
    PpmRemoveNovel(m, b);
    PpmOrderZeroUpdate(m, m.zero.position[b]);
}

// Codes every byte after the first; b is the byte to encode (ignored when
// decoding). Returns the byte or kPpmFailure.
template <class Coder>
int PpmCodeByte(PpmModel& m, Coder& coder, int b) {
    ContextRecord* r = PpmSearch(m, kPpmHighestOrder);
    while (r != nullptr) {
        const int symbol = PpmCodeInContext(m, coder, r, m.currentOrder, b);
        if (symbol >= 0) {
            PpmUpdateContexts(m, static_cast<uint8_t>(symbol));
            return symbol;
        }
        if (symbol == kPpmFailure) {
            return kPpmFailure;
        }
        r = PpmSearch(m, kOrderConfig[m.currentOrder].nextLower);
    }
    const int position = PpmCodeOrderZero(m, coder, b);
    if (position == kPpmFailure) {
        return kPpmFailure;
    }
    int value;
    if (position >= 0) {
        value = m.zero.value[position];
        PpmOrderZeroUpdate(m, position);
    } else {
        value = PpmCodeNovel(m, coder, b);
        if (value == kPpmFailure) {
            return kPpmFailure;
        }
        PpmOrderZeroUpdate(m, m.zero.position[value]);
    }
    PpmUpdateContexts(m, static_cast<uint8_t>(value));
    return value;
}
