#include <gtest/gtest.h>

#include <cmath>

#include "printer/Resampler.h"

namespace quorvel {
namespace {

TEST(ResampleFilters, ValuesAtTheirKeyPoints) {
    struct Case {
        int filter;
        float x;
        float value;
    } cases[] = {
        {filterBox, 0.0f, 1.0f},
        {filterBox, 0.5f, 1.0f},
        {filterBox, -0.5f, 0.0f},
        {filterBox, 0.51f, 0.0f},
        {filterTriangle, 0.25f, 0.75f},
        {filterTriangle, -1.0f, 0.0f},
        {filterHermite, 0.5f, 0.5f},
        {filterHermite, 1.0f, 0.0f},
        {filterBell, 0.0f, 0.75f},
        {filterBell, 0.5f, 0.5f},
        {filterBell, 1.5f, 0.0f},
        {filterBSpline, 0.0f, 2.0f / 3.0f},
        {filterBSpline, 1.0f, 1.0f / 6.0f},
        {filterBSpline, 2.0f, 0.0f},
        {filterLanczos3, 0.0f, 1.0f},
        {filterLanczos3, 1.0f, 0.0f},
        {filterLanczos3, 3.0f, 0.0f},
        {filterMitchell, 0.0f, 16.0f / 18.0f},
        {filterMitchell, 1.0f, 1.0f / 18.0f},
        {filterMitchell, 2.0f, 0.0f},
        {7, 0.0f, 0.0f},
        {-1, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(filterValue(c.filter, c.x), c.value, 1e-6f)
            << "filter " << c.filter << " at " << c.x;
    }
    // Lanczos3 at a half step: sinc(0.5) * sinc(1/6).
    const float pi = 3.14159265f;
    EXPECT_NEAR(filterValue(filterLanczos3, 0.5f),
                (std::sin(pi * 0.5f) / (pi * 0.5f)) * (std::sin(pi / 6) / (pi / 6)), 1e-6f);
    const float supports[] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
    for (int f = 0; f < resampleFilterCount; ++f) EXPECT_EQ(defaultSupport(f), supports[f]);
}

TEST(ResampleContributions, WeightsRoundHalvesToEvenAndDropZeros) {
    // Box while shrinking: every weight is 256 x scale. A scale of 5/512 makes it 2.5,
    // which rounds to 2 (halves to even), not 3.
    const float scale = 5.0f / 512.0f;
    const auto lists = buildContributions(6, 513, scale, filterBox, 0.5f);
    ASSERT_EQ(lists.size(), 6u);
    for (const auto& list : lists) {
        ASSERT_FALSE(list.empty());
        for (const Contribution& c : list) EXPECT_EQ(c.weight, 2);
    }
    // 3/512 gives 1.5, which rounds up to 2.
    for (const auto& list : buildContributions(4, 513, 3.0f / 512.0f, filterBox, 0.5f)) {
        for (const Contribution& c : list) EXPECT_EQ(c.weight, 2);
    }
    // Triangle at scale 1: the outermost columns of the range get weight 0 and are left out.
    const auto same = buildContributions(3, 3, 1.0f, filterTriangle, 1.0f);
    ASSERT_EQ(same[1].size(), 1u);
    EXPECT_EQ(same[1][0].pixel, 1);
    EXPECT_EQ(same[1][0].weight, 256);
}

TEST(ResampleContributions, PositionsOutsideTheSourceAreMirrored) {
    // Enlarging 4 to 7 with Lanczos3: centre 0 reaches k = -3..3; centre 6/2 = 3 reaches
    // 0..6. Left of the source, -k; right of it, 2 x size - k - 1.
    const auto lists = buildContributions(7, 4, 2.0f, filterLanczos3, 3.0f);
    for (const auto& list : lists) {
        for (const Contribution& c : list) {
            EXPECT_GE(c.pixel, 0);
            EXPECT_LT(c.pixel, 4);
        }
    }
    // Centre 0.5 (i = 1): k = -3 has weight 0 at distance 3.5, k = -2 mirrors to 2.
    const auto& first = lists[1];
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front().pixel, 2);
    EXPECT_EQ(first.front().weight,
              static_cast<int>(std::nearbyint(filterValue(filterLanczos3, 2.5f) * 256.0f)));
    // A filter far wider than a two-pixel source stays inside it.
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
    } sizes[] = {
        {960, 62, 132, 8},   // the paper strip
        {960, 62, 132, 14},  // the listing
        {960, 62, 1440, 105}, {3, 2, 11, 9}, {1, 1, 4, 3}, {5, 5, 1, 1},
    };
    for (int filter = 0; filter < resampleFilterCount; ++filter) {
        for (const Size& s : sizes) {
            for (Rgb colour : {white, Rgb{70, 5, 177}}) {
                const Bitmap source(s.fromW, s.fromH, colour);
                Bitmap target;
                ASSERT_TRUE(resampleBitmap(s.toW, s.toH, filter, 0.0f, source, target));
                ASSERT_EQ(target.width(), s.toW);
                ASSERT_EQ(target.height(), s.toH);
                EXPECT_EQ(target, Bitmap(s.toW, s.toH, colour))
                    << "filter " << filter << " " << s.fromW << "x" << s.fromH << " to " << s.toW
                    << "x" << s.toH;
            }
        }
    }
}

TEST(ResampleBitmap, EmptySourcesUnknownFiltersAndEmptyTargets) {
    Bitmap target(3, 3, Rgb{1, 2, 3});
    const Bitmap keep = target;
    EXPECT_TRUE(resampleBitmap(10, 10, filterLanczos3, 0.0f, Bitmap(), target));
    EXPECT_EQ(target, keep);
    EXPECT_FALSE(resampleBitmap(10, 10, 9, 0.0f, Bitmap(4, 4), target));
    EXPECT_EQ(target, keep);
    EXPECT_TRUE(resampleBitmap(0, 5, filterLanczos3, 0.0f, Bitmap(4, 4), target));
    EXPECT_TRUE(target.empty());
}

TEST(ResampleBitmap, OnePixelSourceScalesByTheNewSize) {
    // A single column grows to 4 by the scale 4/1: centres 0, 0.25, 0.5, 0.75 all read
    // the only pixel.
    Bitmap source(1, 2);
    source.setPixel(0, 0, Rgb{10, 20, 30});
    source.setPixel(0, 1, Rgb{10, 20, 30});
    Bitmap target;
    ASSERT_TRUE(resampleBitmap(4, 2, filterTriangle, 0.0f, source, target));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(target.pixel(x, 1), (Rgb{10, 20, 30}));
}

TEST(ResampleBitmap, SameSizeBoxIsACopyAndChannelsStayInRange) {
    Bitmap source(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            source.setPixel(x, y, {uint8_t(x * 40), uint8_t(y * 60), uint8_t((x + y) % 2 * 255)});
        }
    }
    Bitmap target;
    ASSERT_TRUE(resampleBitmap(7, 5, filterBox, 0.0f, source, target));
    EXPECT_EQ(target, source);

    // A hard black-white edge with Lanczos3 overshoots; the result is clamped, and a
    // white column next to black still comes out brighter than grey.
    Bitmap edge(8, 1, black);
    edge.fillRect(4, 0, 8, 1, white);
    ASSERT_TRUE(resampleBitmap(15, 1, filterLanczos3, 0.0f, edge, target));
    EXPECT_EQ(target.pixel(0, 0), black);
    EXPECT_EQ(target.pixel(14, 0), white);
    EXPECT_GT(target.pixel(9, 0).red, 128);
}

TEST(ResampleBitmap, ShrinkingTheLineKeepsADotVisible) {
    // One glyph dot of the line picture (5 x 8, ink inside, black border) must leave a
    // dark mark on the 132 x 8 strip.
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
