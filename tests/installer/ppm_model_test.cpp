// The context model's rules checked on their own, with coders that only
// record the intervals they are given: round trips cannot see a rule that the
// encoder and the decoder break in the same way.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "installer/picture_pack.h"
#include "installer/ppm_coding.h"
#include "installer/ppm_model.h"

namespace {

struct Interval {
    uint32_t frequency, cumulative, total;
    bool operator==(const Interval&) const = default;
};

struct RecordingEncoder {
    static constexpr bool kDecoding = false;
    std::vector<Interval> taken;
    void Take(uint32_t f, uint32_t c, uint32_t t) { taken.push_back({f, c, t}); }
};

// A decoder whose stream always points at t.
struct FixedDecoder {
    static constexpr bool kDecoding = true;
    uint32_t t = 0;
    std::vector<uint32_t> totals;
    std::vector<Interval> taken;
    uint32_t GetFrequency(uint32_t total) {
        totals.push_back(total);
        return t;
    }
    void Take(uint32_t f, uint32_t c, uint32_t total) { taken.push_back({f, c, total}); }
};

std::unique_ptr<PpmModel> FreshModel() {
    auto model = std::make_unique<PpmModel>();
    PpmModelInit(*model);
    return model;
}

TEST(PpmModel, FirstByteTopsOrderZeroWithFrequencyTwo) {
    auto m = FreshModel();
    PpmFirstByte(*m, 77);
    EXPECT_EQ(m->zero.value[0], 77);
    EXPECT_EQ(m->zero.position[77], 0);
    EXPECT_EQ(m->zero.value[77], 0) << "swapped with the old top";
    EXPECT_EQ(m->zero.frequency[0], 2);
    EXPECT_FALSE(m->novel.novel[77]);
    EXPECT_EQ(m->novel.count, 255);
    EXPECT_EQ(m->zero.escape, 27);
    EXPECT_EQ(PpmMemoryMegabytes(), 8);
}

TEST(PpmModel, OrderZeroUpdateMovesToTheFrontOfEqualFrequencies) {
    auto m = FreshModel();
    RankedOrderZero& z = m->zero;
    const uint16_t f[6] = {9, 5, 5, 5, 3, 0};
    for (int i = 0; i < 6; ++i) {
        z.frequency[i] = f[i];
        z.sum += f[i];
    }
    PpmOrderZeroUpdate(*m, 3);  // value 3 joins positions 1..3 of frequency 5: goes to 1
    EXPECT_EQ(z.value[1], 3);
    EXPECT_EQ(z.value[3], 1);
    EXPECT_EQ(z.position[3], 1);
    EXPECT_EQ(z.position[1], 3);
    EXPECT_EQ(z.frequency[1], 7);
    EXPECT_EQ(z.frequency[3], 5);
    PpmOrderZeroUpdate(*m, 4);  // alone with frequency 3: stays
    EXPECT_EQ(z.value[4], 4);
    EXPECT_EQ(z.frequency[4], 5);
}

TEST(PpmModel, OrderZeroRescaleHalvesRoundingUp) {
    auto m = FreshModel();
    RankedOrderZero& z = m->zero;
    z.frequency[0] = 1500;
    z.frequency[1] = 7;
    z.frequency[2] = 1;
    z.sum = 1508;  // with e = 27: 1535, the limit
    PpmOrderZeroUpdate(*m, 2);
    EXPECT_EQ(z.escape, 26);
    EXPECT_EQ(z.frequency[0], 750);
    EXPECT_EQ(z.frequency[1], 4);
    EXPECT_EQ(z.frequency[2], 3) << "1 stays 1, then +2";
    EXPECT_EQ(z.sum, 757);
}

TEST(PpmModel, ContextIntervalsAndExclusion) {
    auto m = FreshModel();
    // A context holding 'a' (3) and 'b' (2).
    ContextRecord r{};
    SymbolNode second{'b', 2, nullptr};
    r.first = SymbolNode{'a', 3, &second};
    r.total = 5;
    r.distinct = 2;
    m->byteNumber = 10;

    RecordingEncoder coder;
    EXPECT_EQ(PpmCodeInContext(*m, coder, &r, 3, 'b'), 'b');
    EXPECT_EQ(coder.taken.back(), (Interval{2, 3, 7}));
    ASSERT_EQ(m->updateCount, 1);
    EXPECT_EQ(m->updates[0].kind, UpdateKind::kFound);
    EXPECT_EQ(m->updates[0].node, &second);

    m->updateCount = 0;
    EXPECT_EQ(PpmCodeInContext(*m, coder, &r, 3, 'c'), kPpmEscape);
    EXPECT_EQ(coder.taken.back(), (Interval{2, 5, 7})) << "the escape lies above the symbols";
    EXPECT_TRUE(m->excluded);
    EXPECT_EQ(m->stamp['a'], 10);
    EXPECT_EQ(m->stamp['b'], 10);
    EXPECT_EQ(m->updates[0].kind, UpdateKind::kEscaped);
    EXPECT_EQ(m->updates[0].node, &second) << "the escape entry holds the last node";

    // A lower context holding 'b' (4), 'c' (1), 'a' (6): b and a are excluded.
    ContextRecord lower{};
    SymbolNode c{'c', 1, nullptr}, a{'a', 6, nullptr};
    lower.first = SymbolNode{'b', 4, &c};
    c.next = &a;
    lower.total = 11;
    lower.distinct = 3;
    EXPECT_EQ(PpmCodeInContext(*m, coder, &lower, 2, 'c'), 'c');
    EXPECT_EQ(coder.taken.back(), (Interval{1, 0, 4})) << "s = 1, T = s + distinct";

    // The decoder reaches the same symbol from t = 0 and escapes from t = 1.
    FixedDecoder decoder;
    decoder.t = 0;
    EXPECT_EQ(PpmCodeInContext(*m, decoder, &lower, 2, 0), 'c');
    EXPECT_EQ(decoder.totals.back(), 4u);
    decoder.t = 1;
    EXPECT_EQ(PpmCodeInContext(*m, decoder, &lower, 2, 0), kPpmEscape);
    EXPECT_EQ(decoder.taken.back(), (Interval{3, 1, 4}));
}

TEST(PpmModel, OrderZeroLaysPositionsOutFromTheBottom) {
    auto m = FreshModel();
    RankedOrderZero& z = m->zero;
    // Positions 0, 1, 2 hold values 0, 1, 2 with frequencies 6, 4, 2; e = 27.
    z.frequency[0] = 6;
    z.frequency[1] = 4;
    z.frequency[2] = 2;
    z.sum = 12;
    m->byteNumber = 3;
    RecordingEncoder coder;
    EXPECT_EQ(PpmCodeOrderZero(*m, coder, 0), 0);
    EXPECT_EQ(coder.taken.back(), (Interval{6, 27 + 4 + 2, 39})) << "position 0 at the top";
    EXPECT_EQ(PpmCodeOrderZero(*m, coder, 2), 2);
    EXPECT_EQ(coder.taken.back(), (Interval{2, 27, 39}));
    EXPECT_EQ(PpmCodeOrderZero(*m, coder, 9), kPpmEscape);
    EXPECT_EQ(coder.taken.back(), (Interval{27, 0, 39}));

    // Stamped values count 0.
    m->stamp[1] = 3;
    EXPECT_EQ(PpmCodeOrderZero(*m, coder, 0), 0);
    EXPECT_EQ(coder.taken.back(), (Interval{6, 27 + 2, 35}));

    FixedDecoder decoder;
    for (uint32_t t : {0u, 26u, 27u, 28u, 29u, 34u}) {
        decoder.t = t;
        const int expected = t < 27 ? kPpmEscape : t < 29 ? 2 : 0;
        EXPECT_EQ(PpmCodeOrderZero(*m, decoder, 0), expected) << "t = " << t;
    }
}

TEST(PpmModel, NovelValuesCountDownFromTheTop) {
    auto m = FreshModel();
    RecordingEncoder coder;
    EXPECT_EQ(PpmCodeNovel(*m, coder, 250), 250);
    EXPECT_EQ(coder.taken.back(), (Interval{1, 5, 256})) << "five novel values above 250";
    EXPECT_EQ(PpmCodeNovel(*m, coder, 255), 255);
    EXPECT_EQ(coder.taken.back(), (Interval{1, 0, 255}));
    FixedDecoder decoder;
    decoder.t = 4;  // values above 0 ... : 254, 253, 252, 251, then 249
    EXPECT_EQ(PpmCodeNovel(*m, decoder, 0), 249);
    EXPECT_EQ(decoder.taken.back(), (Interval{1, 4, 254}));
}

TEST(PpmModel, OrderOneReclaimsWhenItsPoolIsEmptyEvenIfTheContextExists) {
    // 0 ... 207 make 207 order-1 contexts, the next byte the 208th (all of
    // them); the byte after that has an existing context (h0 = 0), and its
    // search must still run a reclamation pass.
    std::vector<uint8_t> bytes;
    for (int v = 0; v < 208; ++v) {
        bytes.push_back(static_cast<uint8_t>(v));
    }
    bytes.push_back(0);
    PpmStats stats;
    std::vector<uint8_t> pack;
    ASSERT_EQ(PackBytes(bytes.data(), static_cast<uint32_t>(bytes.size()), 32, 32, pack, &stats),
              1);
    EXPECT_EQ(stats.reclamationPasses[1], 0);
    bytes.push_back(1);
    ASSERT_EQ(PackBytes(bytes.data(), static_cast<uint32_t>(bytes.size()), 32, 32, pack, &stats),
              1);
    EXPECT_GE(stats.reclamationPasses[1], 1);
}

}  // namespace
