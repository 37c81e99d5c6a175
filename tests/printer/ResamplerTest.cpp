#include <gtest/gtest.h>

#include <cmath>

#include "printer/Resampler.h"

namespace quorvel {
namespace {

TEST(ResampleContributions, WeightsRoundHalvesToEvenAndDropZeros) {
    // Box while shrinking: every weight is 256 x scale; 5/512 makes it 2.5, which rounds to
    // 2, and 3/512 makes 1.5, which rounds to 2 as well.
    for (float scale : {5.0f / 512.0f, 3.0f / 512.0f}) {
        for (const auto& list : buildContributions(4, 513, scale, filterBox, 0.5f)) {
            ASSERT_FALSE(list.empty());
            for (const Contribution& c : list) EXPECT_EQ(c.weight, 2) << scale;
        }
    }
    // Triangle at scale 1: the neighbours at distance 1 weigh 0 and are left out.
    const auto same = buildContributions(3, 3, 1.0f, filterTriangle, 1.0f);
    ASSERT_EQ(same[1].size(), 1u);
    EXPECT_EQ(same[1][0].pixel, 1);
    EXPECT_EQ(same[1][0].weight, 256);
}

TEST(ResampleContributions, PositionsOutsideTheSourceAreMirroredIntoIt) {
    // Centre 0.5 reaches k = -2, which mirrors to 2 (-k); centre 2.5 reaches k = 5, which
    // mirrors to 2 x 4 - 5 - 1.
    const auto lists = buildContributions(7, 4, 2.0f, filterLanczos3, 3.0f);
    EXPECT_EQ(lists[1].front().pixel, 2);
    EXPECT_EQ(lists[5].back().pixel, 2);
    // A filter far wider than a two-pixel source still reads only inside it.
    for (const auto& list : buildContributions(9, 2, 8.0f, filterLanczos3, 3.0f)) {
        for (const Contribution& c : list) {
            EXPECT_GE(c.pixel, 0);
            EXPECT_LT(c.pixel, 2);
        }
    }
}

TEST(ResampleBitmap, UniformPicturesStayUniformWithEveryFilter) {
    struct Size {
        int fromW, fromH, toW, toH;
    } sizes[] = {{960, 62, 132, 8}, {960, 62, 132, 14}, {960, 62, 1440, 105},
                 {3, 2, 11, 9},     {1, 1, 4, 3},       {5, 5, 1, 1}};
    for (int filter = 0; filter < resampleFilterCount; ++filter) {
        for (const Size& s : sizes) {
            for (Rgb colour : {white, Rgb{70, 5, 177}}) {
                Bitmap target;
                ASSERT_TRUE(resampleBitmap(s.toW, s.toH, filter, 0.0f,
                                           Bitmap(s.fromW, s.fromH, colour), target));
                EXPECT_EQ(target, Bitmap(s.toW, s.toH, colour))
                    << "filter " << filter << " to " << s.toW << "x" << s.toH;
            }
        }
    }
}

TEST(ResampleBitmap, EdgeCasesOfSizesAndFilters) {
    Bitmap target(3, 3, Rgb{1, 2, 3});
    const Bitmap keep = target;
    EXPECT_TRUE(resampleBitmap(10, 10, filterLanczos3, 0.0f, Bitmap(), target));
    EXPECT_EQ(target, keep) << "an empty source changes nothing";
    EXPECT_FALSE(resampleBitmap(10, 10, 9, 0.0f, Bitmap(4, 4), target));
    EXPECT_EQ(target, keep) << "an unknown filter changes nothing";

    // A one-pixel-wide source scales by the new width: every column reads the only pixel.
    Bitmap column(1, 2, Rgb{10, 20, 30});
    ASSERT_TRUE(resampleBitmap(4, 2, filterTriangle, 0.0f, column, target));
    EXPECT_EQ(target, Bitmap(4, 2, Rgb{10, 20, 30}));

    // Same size with the box filter is a copy.
    Bitmap pattern(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) pattern.setPixel(x, y, {uint8_t(x * 40), uint8_t(y * 60), 9});
    }
    ASSERT_TRUE(resampleBitmap(7, 5, filterBox, 0.0f, pattern, target));
    EXPECT_EQ(target, pattern);
}

TEST(ResampleBitmap, AGlyphDotStaysVisibleOnTheStrip) {
    Bitmap line(960, 62);
    line.drawRectangle(450, 18, 455, 26, Rgb{70, 5, 177}, black);
    Bitmap strip;
    ASSERT_TRUE(resampleBitmap(132, 8, filterLanczos3, 0.0f, line, strip));
    int darkest = 255;
    for (int y = 0; y < 8; ++y) {
        for (int x = 60; x < 64; ++x) darkest = std::min<int>(darkest, strip.pixel(x, y).green);
    }
    EXPECT_LT(darkest, 200);
    EXPECT_EQ(strip.pixel(10, 4), white);
}

}  // namespace
}  // namespace quorvel
