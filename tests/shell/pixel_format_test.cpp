#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/timers.h"
#include "shell/glscrnsv.h"
#include "shell/sswindow.h"
#include "tests/shell/fake_platform.h"

namespace {

constexpr uint32_t kGl = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW;
constexpr uint32_t kDouble = PFD_DOUBLEBUFFER;
constexpr uint32_t kSysPal = PFD_NEED_SYSTEM_PALETTE;

PixelFormatDescription F(uint32_t flags, int colour, int depth, int type = PFD_TYPE_RGBA) {
    return PixelFormatDescription{flags, type, colour, depth};
}

struct ChoiceCase {
    const char* what;
    std::vector<PixelFormatDescription> formats;
    uint32_t request;
    int expected;     // the format index chosen (0: none)
    bool asksSystem;  // whether the system's choice was asked for
};

class PixelFormatTest : public ::testing::TestWithParam<ChoiceCase> {
  protected:
    void SetUp() override { ResetFakePlatform(); }
    void TearDown() override { SaverResetForTests(); }
};

TEST_P(PixelFormatTest, ChoosesByTheRules) {
    const ChoiceCase& c = GetParam();
    fake.formats = c.formats;
    fake.systemChoice = 99;
    int chosen = SaverChoosePixelFormat(1, c.request);
    bool asked = std::any_of(fake.calls.begin(), fake.calls.end(),
                             [](const std::string& s) { return s.rfind("choose", 0) == 0; });
    EXPECT_EQ(asked, c.asksSystem);
    EXPECT_EQ(chosen, c.asksSystem ? 99 : c.expected);
}

const uint32_t kSaver = GL_REQUEST_DOUBLE_BUFFER | GL_REQUEST_DEPTH_16;

INSTANTIATE_TEST_SUITE_P(
    Tables, PixelFormatTest,
    ::testing::Values(
        ChoiceCase{"first with enough depth wins",
                   {F(kGl | kDouble, 24, 0), F(kGl | kDouble, 24, 16), F(kGl | kDouble, 24, 24)},
                   kSaver,
                   2,
                   false},
        ChoiceCase{"single-buffered refused when double asked",
                   {F(kGl, 24, 24), F(kGl | kDouble, 24, 24)},
                   kSaver,
                   2,
                   false},
        ChoiceCase{"double-buffered refused when single asked",
                   {F(kGl | kDouble, 24, 24), F(kGl, 24, 24)},
                   GL_REQUEST_DEPTH_16,
                   2,
                   false},
        ChoiceCase{"colour bits must equal the device depth exactly",
                   {F(kGl | kDouble, 32, 24), F(kGl | kDouble, 16, 24), F(kGl | kDouble, 24, 16)},
                   kSaver,
                   3,
                   false},
        ChoiceCase{
            "needs drawing to a window, OpenGL and RGBA",
            {F(PFD_SUPPORT_OPENGL | kDouble, 24, 24), F(PFD_DRAW_TO_WINDOW | kDouble, 24, 24),
             F(kGl | kDouble, 24, 24, PFD_TYPE_COLORINDEX), F(kGl | kDouble, 24, 24)},
            kSaver,
            4,
            false},
        ChoiceCase{"32 bits asked, 24 passed over",
                   {F(kGl | kDouble, 24, 24), F(kGl | kDouble, 24, 32)},
                   GL_REQUEST_DOUBLE_BUFFER | GL_REQUEST_DEPTH_32,
                   2,
                   false},
        ChoiceCase{"16 wins over 32 when both asked",
                   {F(kGl | kDouble, 24, 16)},
                   GL_REQUEST_DOUBLE_BUFFER | GL_REQUEST_DEPTH_16 | GL_REQUEST_DEPTH_32,
                   1,
                   false},
        ChoiceCase{"no depth asked: a format without depth wins at once",
                   {F(kGl | kDouble, 24, 24), F(kGl | kDouble, 24, 0), F(kGl | kDouble, 24, 16)},
                   GL_REQUEST_DOUBLE_BUFFER,
                   2,
                   false},
        ChoiceCase{"no depth asked: the last format with depth is the fallback",
                   {F(kGl | kDouble, 24, 24), F(kGl, 24, 0), F(kGl | kDouble, 24, 16)},
                   GL_REQUEST_DOUBLE_BUFFER,
                   3,
                   false},
        ChoiceCase{"system palette refused in preview",
                   {F(kGl | kDouble | kSysPal, 24, 24), F(kGl | kDouble, 24, 24)},
                   kSaver | GL_REQUEST_NO_SYSTEM_PALETTE,
                   2,
                   false},
        ChoiceCase{"system palette allowed otherwise",
                   {F(kGl | kDouble | kSysPal, 24, 24)},
                   kSaver,
                   1,
                   false},
        ChoiceCase{"nothing acceptable: the system chooses",
                   {F(kGl | kDouble, 24, 8), F(kGl, 24, 24)},
                   kSaver,
                   0,
                   true},
        ChoiceCase{"no formats at all: none, and no system choice", {}, kSaver, 0, false}));

TEST(PixelFormatSystemChoiceTest, RequestCarriesTheAskedProperties) {
    ResetFakePlatform();
    fake.formats = {F(kGl, 16, 0)};
    fake.colourDepth = 24;
    fake.systemChoice = 0;
    EXPECT_EQ(SaverChoosePixelFormat(1, kSaver | GL_REQUEST_NO_SYSTEM_PALETTE), 0);
    uint32_t flags = kGl | kDouble | PFD_DRAW_TO_BITMAP;
    EXPECT_EQ(fake.calls.back(), "choose flags=" + std::to_string(flags) + " colour=24 depth=16");
    SaverResetForTests();
}

int waits = 0;
void CountWait(uint32_t ms) {
    EXPECT_EQ(ms, 1000u);
    ++waits;
}

TEST(PixelFormatRetryTest, FiveAttemptsWithAWaitAfterEachFailure) {
    ResetFakePlatform();
    waits = 0;
    saverPixelFormatWait = CountWait;
    PixelFormatDescription chosen;
    fake.formats = {};  // nothing, and the system has nothing either
    EXPECT_EQ(SaverSetPixelFormat(1, kSaver, &chosen), 0);
    EXPECT_EQ(waits, 5);

    waits = 0;
    fake.formats = {F(kGl | kDouble, 24, 0), F(kGl | kDouble, 24, 24)};
    EXPECT_EQ(SaverSetPixelFormat(1, kSaver, &chosen), 1);
    EXPECT_EQ(waits, 0);
    EXPECT_EQ(fake.setFormat, 2);
    EXPECT_EQ(chosen.cDepthBits, 24);
    saverPixelFormatWait = Sleep;
    SaverResetForTests();
}

}  // namespace
