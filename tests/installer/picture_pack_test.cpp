// Packs made by the encoder and read back by PictureUnpack, the pieces of the
// post-processing, and what happens to packs that are not well formed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "installer/crc16.h"
#include "installer/picture_pack.h"
#include "installer/picture_transform.h"
#include "installer/picture_unpack.h"
#include "installer/range_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Tiles(const Bytes& picture, int width, int height) {
    Bytes coefficients = ForwardTransform(picture.data(), width, height);
    Bytes tiles(coefficients.size());
    ExtractTiles(coefficients.data(), width, height, tiles.data());
    return tiles;
}

Bytes Pack(const Bytes& bytes, int width, int height, PpmStats* stats = nullptr) {
    Bytes pack;
    EXPECT_EQ(
        PackBytes(bytes.data(), static_cast<uint32_t>(bytes.size()), width, height, pack, stats),
        1);
    return pack;
}

// Decodes and checks that the pack came through whole.
UnpackResult UnpackWhole(const Bytes& pack) {
    UnpackResult result;
    EXPECT_EQ(UnpackPictureData(pack.data(), pack.size(), result, nullptr), 1) << result.error;
    EXPECT_TRUE(result.crcMatches);
    EXPECT_FALSE(result.truncated);
    EXPECT_FALSE(result.stalled);
    const bool padded = pack.size() - kPackHeaderSize == (result.header.count + 19) / 20;
    if (padded) {
        EXPECT_LE(result.streamBytesRead, pack.size() - kPackPrefixSize);
    } else {
        EXPECT_EQ(result.streamBytesRead, pack.size() - kPackPrefixSize) << "whole stream read";
    }
    return result;
}

struct PictureCase {
    const char* name;
    int width, height;
    uint8_t (*pixel)(int x, int y, std::mt19937& random);
};

const PictureCase kPictures[] = {
    {"flat", 32, 32, [](int, int, std::mt19937&) -> uint8_t { return 77; }},
    {"gradient", 64, 64, [](int x, int y, std::mt19937&) -> uint8_t { return x * 2 + y; }},
    {"checker", 96, 64,
     [](int x, int y, std::mt19937&) -> uint8_t { return ((x ^ y) & 1) ? 250 : 5; }},
    {"noise", 128, 64,
     [](int, int, std::mt19937& r) -> uint8_t { return static_cast<uint8_t>(r()); }},
    {"disc", 256, 256,
     [](int x, int y, std::mt19937& r) -> uint8_t {
         const int dx = x - 128, dy = y - 128;
         return dx * dx + dy * dy < 90 * 90 ? static_cast<uint8_t>(120 + r() % 9) : 255;
     }},
};

Bytes MakePicture(const PictureCase& c) {
    std::mt19937 random(7);
    Bytes picture(static_cast<size_t>(c.width) * c.height);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            picture[static_cast<size_t>(y) * c.width + x] = c.pixel(x, y, random);
        }
    }
    return picture;
}

TEST(PictureRoundTrip, MadeUpPicturesComeBackByteForByte) {
    for (const PictureCase& c : kPictures) {
        SCOPED_TRACE(c.name);
        const Bytes picture = MakePicture(c);
        const Bytes tiles = Tiles(picture, c.width, c.height);
        const Bytes pack = Pack(tiles, c.width, c.height);
        ASSERT_GT(pack.size(), kPackPrefixSize);
        EXPECT_EQ(pack[kPackPrefixSize], tiles[0]) << "the first byte travels raw";
        const UnpackResult result = UnpackWhole(pack);
        EXPECT_EQ(result.coefficients, tiles);
        EXPECT_EQ(result.crc, Crc16(tiles.data(), tiles.size()));

        // The left half of the bitmap is the picture again, close to the source.
        const size_t w = static_cast<size_t>(c.width);
        Bytes left(picture.size());
        for (size_t row = 0; row < static_cast<size_t>(c.height); ++row) {
            std::memcpy(&left[row * w], &result.bitmap[kPackHeaderSize + row * 2 * w], w);
        }
        if (std::strcmp(c.name, "noise") != 0 && std::strcmp(c.name, "checker") != 0) {
            EXPECT_GT(PeakSignalToNoise(picture.data(), left.data(), left.size()), 38.0);
        }
    }
}

TEST(PictureRoundTrip, SingleByteIsTheRawFirstByte) {
    const Bytes one = {0xA7};
    const Bytes pack = Pack(one, 32, 32);
    EXPECT_EQ(pack.size(), kPackPrefixSize + 2) << "the decoder's start reads two bytes";
    EXPECT_EQ(pack[kPackPrefixSize], 0xA7);
    const UnpackResult result = UnpackWhole(pack);
    EXPECT_EQ(result.coefficients, one);
}

TEST(PictureRoundTrip, AllByteValuesCloseTheOrderZeroEscape) {
    Bytes bytes;
    for (int round = 0; round < 3; ++round) {
        for (int v = 0; v < 256; ++v) {
            bytes.push_back(static_cast<uint8_t>((v * 97 + round) & 0xFF));
            bytes.push_back(static_cast<uint8_t>(round * 3));
        }
    }
    PpmStats encoded;
    const Bytes pack = Pack(bytes, 32, 32, &encoded);
    EXPECT_EQ(encoded.finalOrderZeroEscape, 0);
    const UnpackResult result = UnpackWhole(pack);
    EXPECT_EQ(result.coefficients, bytes);
    EXPECT_EQ(result.stats.finalOrderZeroEscape, 0);

    // One value missing: the escape stays open.
    Bytes fewer;
    for (uint8_t b : bytes) {
        if (b != 200) {
            fewer.push_back(b);
        }
    }
    const UnpackResult open = UnpackWhole(Pack(fewer, 32, 32));
    EXPECT_GT(open.stats.finalOrderZeroEscape, 0);
}

TEST(PictureRoundTrip, ExhaustedPoolsAreReclaimedAlikeOnBothSides) {
    // Long stretches of noise over few values fill the order-2, 3 and 5 pools;
    // noise over all values fills the 208 order-1 records.
    std::mt19937 random(11);
    Bytes bytes;
    for (int part = 0; part < 6; ++part) {
        for (int i = 0; i < 60000; ++i) {
            bytes.push_back(static_cast<uint8_t>(random() % (part % 2 ? 256 : 12)));
        }
    }
    PpmStats encoded;
    const Bytes pack = Pack(bytes, 1024, 1024, &encoded);
    for (int order : {1, 2, 3, 5}) {
        EXPECT_GT(encoded.reclamationPasses[order], 0) << "order " << order;
    }
    const UnpackResult result = UnpackWhole(pack);
    EXPECT_EQ(result.coefficients, bytes);
    for (int order = 0; order < kPpmOrderCount; ++order) {
        EXPECT_EQ(result.stats.reclamationPasses[order], encoded.reclamationPasses[order])
            << "order " << order;
    }
}

TEST(RangeDecoder, StartsAndNormalisesSevenBitsAtATime) {
    const uint8_t stream[] = {0x41, 0x81, 0x00, 0x00, 0x00, 0x00};
    RangeDecoder d;
    EXPECT_EQ(d.Start(stream, sizeof stream), 0x41) << "the first byte comes out raw";
    EXPECT_EQ(d.low, 0x40u);
    EXPECT_EQ(d.range, 0x80u);
    // Three steps: the low bit of 0x81 moves to the top of the next byte's place.
    EXPECT_EQ(d.GetFrequency(2), 1u);
    EXPECT_EQ(d.range, 0x80000000u);
    EXPECT_EQ(d.low, 0x40800000u);
    EXPECT_EQ(d.position, 5u);
    d.Take(1, 1, 2);  // the last interval keeps what remains of the range
    EXPECT_EQ(d.low, 0x00800000u);
    EXPECT_EQ(d.range, 0x40000000u);
    EXPECT_EQ(d.GetFrequency(3), 0u);
    d.Take(1, 0, 3);  // other intervals get help x frequency
    EXPECT_EQ(d.range, 0x40000000u / 3);
    EXPECT_EQ(d.overrun, 0u);
    const uint8_t shortStream[] = {7};
    EXPECT_EQ(d.Start(shortStream, 1), 7);
    EXPECT_EQ(d.overrun, 1u) << "bytes past the end read as 0 and are counted";
}

TEST(PictureTransform, InverseStepOnTwoByTwo) {
    struct Case {
        uint8_t e, f, g, k;  // quadrants: e (0,0), g (0,1), f (1,0), k (1,1)
        uint8_t out[4];      // (0,0), (0,1), (1,0), (1,1)
    };
    const Case cases[] = {
        // f = 10, g = -10, k = 2
        {100, 138, 118, 130, {102, 78, 118, 102}},
        {128, 128, 128, 128, {128, 128, 128, 128}},
        // clamped at both ends
        {250, 200, 200, 200, {255, 178, 178, 178}},
        {3, 0, 128, 128, {0, 131, 0, 131}},
    };
    for (const Case& c : cases) {
        uint8_t picture[4] = {c.e, c.g, c.f, c.k};
        uint8_t scratch[5];
        InverseStep(picture, 2, 2, 2, scratch);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(picture[i], c.out[i]) << "pixel " << i << " of case e=" << int(c.e);
        }
    }
}

TEST(PictureTransform, StepsStayInsideTheRegion) {
    // A 4 x 2 region in a picture of row length 6: the columns 4 and 5 and the
    // row below are left alone.
    uint8_t picture[18];
    for (int i = 0; i < 18; ++i) {
        picture[i] = static_cast<uint8_t>(100 + i);
    }
    uint8_t before[18];
    std::memcpy(before, picture, sizeof picture);
    uint8_t scratch[9];
    InverseStep(picture, 6, 4, 2, scratch);
    for (int i : {4, 5, 10, 11, 12, 13, 14, 15, 16, 17}) {
        EXPECT_EQ(picture[i], before[i]) << i;
    }
    EXPECT_NE(std::memcmp(picture, before, 4), 0);
}

TEST(PictureTransform, TilesPlaceAndExtractAsInverses) {
    const int width = 64, height = 32;  // tiles of 4 x 2
    Bytes bytes(width * height);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + i / 256);
    }
    Bytes picture(bytes.size());
    PlaceTiles(bytes.data(), bytes.size(), width, height, picture.data());
    // Byte 8 starts the second tile: row 0, column 4; byte 4 is tile 0's second row.
    EXPECT_EQ(picture[4], bytes[8]);
    EXPECT_EQ(picture[width], bytes[4]);
    // Tile (1, 0) begins after 16 tiles: picture row 2.
    EXPECT_EQ(picture[2 * width], bytes[16 * 8]);
    Bytes back(bytes.size());
    ExtractTiles(picture.data(), width, height, back.data());
    EXPECT_EQ(back, bytes);
}

TEST(PictureBitmap, HeaderSizeAndWhiteRightHalf) {
    const int width = 64, height = 32;
    Bytes picture(width * height, 90);
    Bytes pack;
    ASSERT_EQ(PackPicture(picture.data(), width, height, pack), 1);
    const UnpackResult result = UnpackWhole(pack);
    const Bytes& bmp = result.bitmap;
    ASSERT_EQ(bmp.size(), kPackHeaderSize + 2u * width * height);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(ReadLe32(&bmp[2]), bmp.size());
    EXPECT_EQ(ReadLe32(&bmp[10]), kPackHeaderSize);
    EXPECT_EQ(ReadLe32(&bmp[14]), 40u);
    EXPECT_EQ(static_cast<int32_t>(ReadLe32(&bmp[18])), 2 * width);
    EXPECT_EQ(static_cast<int32_t>(ReadLe32(&bmp[22])), height);
    EXPECT_EQ(ReadLe16(&bmp[28]), 8);
    EXPECT_EQ(ReadLe32(&bmp[34]), 2u * width * height);
    EXPECT_EQ(ReadLe32(&bmp[38]), 2834u) << "fields of the pack's header are kept";
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* line = &bmp[kPackHeaderSize + static_cast<size_t>(row) * 2 * width];
            ASSERT_EQ(line[x], 90) << row << "," << x;
            ASSERT_EQ(line[width + x], 255) << row << "," << x;
        }
    }
}

// A well-formed pack of a small picture to damage.
Bytes SmallPack() {
    const PictureCase& disc = kPictures[4];
    Bytes pack;
    EXPECT_EQ(PackPicture(MakePicture(disc).data(), disc.width, disc.height, pack), 1);
    return pack;
}

TEST(DamagedPack, BadHeadersAreRefused) {
    const Bytes good = SmallPack();
    struct Case {
        const char* name;
        void (*damage)(Bytes&);
    };
    const Case cases[] = {
        {"empty", [](Bytes& p) { p.clear(); }},
        {"bitmap header only", [](Bytes& p) { p.resize(kPackHeaderSize); }},
        {"no byte count", [](Bytes& p) { p.resize(60); }},
        {"nothing after the byte count", [](Bytes& p) { p.resize(kPackPrefixSize); }},
        {"width not a multiple of 32", [](Bytes& p) { WriteLe32(&p[18], 250); }},
        {"negative height", [](Bytes& p) { WriteLe32(&p[22], static_cast<uint32_t>(-256)); }},
        {"zero width", [](Bytes& p) { WriteLe32(&p[18], 0); }},
        {"huge picture", [](Bytes& p) { WriteLe32(&p[18], 1u << 20); }},
        {"wider than 2048", [](Bytes& p) { WriteLe32(&p[18], 2080); }},
        {"N above 2 W H", [](Bytes& p) { WriteLe32(&p[59], 2 * 256 * 256 + 1); }},
        {"N above 20 x packed size",
         [](Bytes& p) {
             p.resize(2000);
             WriteLe32(&p[59], 20 * (2000 - 54) + 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes pack = good;
        c.damage(pack);
        UnpackResult result;
        EXPECT_EQ(UnpackPictureData(pack.data(), pack.size(), result, nullptr), 0);
        EXPECT_FALSE(result.error.empty());
        EXPECT_TRUE(result.bitmap.empty());
    }
}

TEST(DamagedPack, DamagedStreamsDecodeAndSayError) {
    // Noise packs poorly, so cut packs still pass the N <= 20 x packed size rule.
    const PictureCase& noise = kPictures[3];
    Bytes good;
    ASSERT_EQ(PackPicture(MakePicture(noise).data(), noise.width, noise.height, good), 1);
    const size_t streamSize = good.size() - kPackPrefixSize;
    struct Case {
        const char* name;
        size_t keep;    // bytes of the pack kept
        size_t flip;    // stream offset whose byte is inverted (or none)
        int truncated;  // 1 or 0; -1 when the decoding may or may not run past the end
    };
    const size_t none = static_cast<size_t>(-1);
    const Case cases[] = {
        {"cut in half", kPackPrefixSize + streamSize / 2, none, 1},
        {"last byte missing", good.size() - 1, none, 1},
        {"cut to 500 bytes", kPackHeaderSize + 500, none, 1},
        {"garbled early", good.size(), 5, -1},
        {"garbled in the middle", good.size(), streamSize / 2, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes pack(good.begin(), good.begin() + static_cast<long>(c.keep));
        if (c.flip != none) {
            pack[kPackPrefixSize + c.flip] ^= 0xFF;
        }
        UnpackResult result;
        ASSERT_EQ(UnpackPictureData(pack.data(), pack.size(), result, nullptr), 1);
        EXPECT_FALSE(result.crcMatches);
        if (c.truncated >= 0) {
            EXPECT_EQ(result.truncated, c.truncated == 1);
        }
        EXPECT_EQ(result.bitmap.size(), kPackHeaderSize + 2u * noise.width * noise.height);
    }
}

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/nocturo-pack-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        for (const char* name : {"in.pack", "out.bmp", "report.txt"}) {
            std::remove((dir + "/" + name).c_str());
        }
        rmdir(dir.c_str());
    }
    void Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    std::string Read(const std::string& name) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::string& name) { return access((dir + "/" + name).c_str(), F_OK) == 0; }
    // PictureUnpack with its report going to a file.
    long Unpack(UnpackResult& result) {
        FILE* report = std::fopen((dir + "/report.txt").c_str(), "w");
        const long written = PictureUnpackWithResult((dir + "/in.pack").c_str(),
                                                     (dir + "/out.bmp").c_str(), result, report);
        std::fclose(report);
        return written;
    }
    std::string dir;
};

using PictureUnpackFiles = TempDir;

TEST_F(PictureUnpackFiles, WritesTheBitmapAndTheReport) {
    const Bytes pack = SmallPack();
    Write("in.pack", pack);
    UnpackResult result;
    EXPECT_EQ(Unpack(result), 2 * 256 * 256);
    EXPECT_EQ(Read("out.bmp").size(), kPackHeaderSize + 2 * 256 * 256);
    EXPECT_EQ(Read("in.pack").size(), pack.size()) << "the pack is left as it was";
    const std::string report = Read("report.txt");
    EXPECT_EQ(report.rfind("Using 8 MB memory model\n\nProgress  : ", 0), 0u) << report;
    // 65536 bytes: progress at every 8192, 12 % first.
    EXPECT_NE(report.find(" 12 % \b\b\b\b\b\b"), std::string::npos);
    EXPECT_NE(report.find("100 % \b\b\b\b\b\bDone   \nTime      : "), std::string::npos);
    EXPECT_NE(report.find("CRC       : OK\n"), std::string::npos);
    EXPECT_NE(report.find("Compressed: " + std::to_string(pack.size() - kPackHeaderSize) + "\n"),
              std::string::npos);
    EXPECT_NE(report.find("Extracted : 65536\n"), std::string::npos);
    char ratio[64];
    const double percent = (pack.size() - kPackHeaderSize) * 100.0 / 65536;
    std::snprintf(ratio, sizeof ratio, "Ratio     : %.2f %%\n            %.4f bpc\n", percent,
                  percent * 8 * 0.01);
    EXPECT_NE(report.find(ratio), std::string::npos) << report;
}

TEST_F(PictureUnpackFiles, RefusedPackWritesNothingDamagedPackSaysError) {
    Bytes pack = SmallPack();
    WriteLe32(&pack[18], 100);
    Write("in.pack", pack);
    UnpackResult result;
    EXPECT_EQ(Unpack(result), 0);
    EXPECT_FALSE(Exists("out.bmp"));

    pack = SmallPack();
    pack.resize(pack.size() - 40);
    Write("in.pack", pack);
    EXPECT_EQ(Unpack(result), 2 * 256 * 256);
    EXPECT_TRUE(Exists("out.bmp"));
    EXPECT_NE(Read("report.txt").find("CRC       : ERROR\n"), std::string::npos);
}

TEST_F(PictureUnpackFiles, MissingPackOrUnwritableBitmapGiveZero) {
    UnpackResult result;
    EXPECT_EQ(Unpack(result), 0) << "no pack";
    Write("in.pack", SmallPack());
    EXPECT_EQ(PictureUnpackWithResult((dir + "/in.pack").c_str(),
                                      (dir + "/no/such/dir/out.bmp").c_str(), result, nullptr),
              0);
    EXPECT_FALSE(result.error.empty());
}

}  // namespace
