#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/Bitmap.h"

namespace quorvel {
namespace {

constexpr Rgb red{200, 0, 0};
constexpr Rgb blue{0, 0, 200};

using Points = std::set<std::pair<int, int>>;

Points pixelsOf(const Bitmap& picture, Rgb colour) {
    Points points;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) == colour) points.insert({x, y});
        }
    }
    return points;
}

TEST(BitmapLine, IncludesTheStartAndExcludesTheEnd) {
    struct Case {
        int x0, y0, x1, y1;
        Points expected;
    } cases[] = {
        {1, 2, 4, 2, {{1, 2}, {2, 2}, {3, 2}}}, {4, 2, 1, 2, {{4, 2}, {3, 2}, {2, 2}}},
        {3, 0, 3, 3, {{3, 0}, {3, 1}, {3, 2}}}, {2, 2, 2, 2, {}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}}, {-2, 1, 2, 1, {{0, 1}, {1, 1}}},  // clipped
    };
    for (const Case& c : cases) {
        Bitmap picture(6, 6);
        picture.drawLine(c.x0, c.y0, c.x1, c.y1, red);
        EXPECT_EQ(pixelsOf(picture, red), c.expected) << c.x0 << "," << c.y0;
    }
}

TEST(BitmapRectangle, OutlinesTheBorderAndFillsTheInsideWithExclusiveEdges) {
    Bitmap dot(8, 10);
    dot.drawRectangle(1, 1, 6, 9, blue, red);  // a glyph dot: 5 x 8
    EXPECT_EQ(pixelsOf(dot, red).size(), 22u);
    EXPECT_EQ(pixelsOf(dot, blue).size(), 18u);  // 3 x 6 inside
    EXPECT_EQ(dot.pixel(5, 8), red);
    EXPECT_EQ(dot.pixel(6, 8), white);
    EXPECT_EQ(dot.pixel(5, 9), white);

    Bitmap point(4, 4);
    point.drawRectangle(1, 1, 3, 3, blue, red);  // the display point: border only
    EXPECT_EQ(pixelsOf(point, red), (Points{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));

    Bitmap corner(4, 4);
    corner.drawRectangle(-2, -2, 2, 2, blue, red);
    corner.drawRectangle(3, 3, 1, 1, blue, red);  // inverted: nothing
    EXPECT_EQ(pixelsOf(corner, red), (Points{{1, 0}, {1, 1}, {0, 1}}));
    EXPECT_EQ(pixelsOf(corner, blue), (Points{{0, 0}}));
}

TEST(BitmapStretch, RepeatsPixelsWithoutBlending) {
    Bitmap strip(3, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 3; ++x) strip.setPixel(x, y, {uint8_t(10 * y), uint8_t(x), 0});
    }
    Bitmap paper(5, 20);
    paper.stretchFrom(strip, 0, 0, 3, 8, 1, 2, 3, 15);  // the paper's 8 to 15 rows
    for (int j = 0; j < 15; ++j) {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(paper.pixel(1 + i, 2 + j), strip.pixel(i, j * 8 / 15));
    }
    EXPECT_EQ(pixelsOf(paper, white).size(), 100u - 45u);

    // Source columns left of the source have no pixels; their targets keep what they had.
    Bitmap partial(5, 2);
    partial.stretchFrom(strip, -2, 0, 4, 2, 0, 0, 4, 2);
    EXPECT_EQ(partial.pixel(1, 1), white);
    EXPECT_EQ(partial.pixel(3, 1), strip.pixel(1, 1));
}

}  // namespace
}  // namespace quorvel
