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
        const char* name;
        int x0, y0, x1, y1;
        Points expected;
    } cases[] = {
        {"rightwards", 1, 2, 4, 2, {{1, 2}, {2, 2}, {3, 2}}},
        {"leftwards", 4, 2, 1, 2, {{4, 2}, {3, 2}, {2, 2}}},
        {"downwards", 3, 0, 3, 3, {{3, 0}, {3, 1}, {3, 2}}},
        {"to its own start", 2, 2, 2, 2, {}},
        {"diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
        {"clipped at the left edge", -2, 1, 2, 1, {{0, 1}, {1, 1}}},
        {"wholly outside", 0, -1, 6, -1, {}},
    };
    for (const Case& c : cases) {
        Bitmap picture(6, 6);
        picture.drawLine(c.x0, c.y0, c.x1, c.y1, red);
        EXPECT_EQ(pixelsOf(picture, red), c.expected) << c.name;
    }
}

TEST(BitmapRectangle, OutlinesTheBorderAndFillsTheInsideWithExclusiveEdges) {
    Bitmap picture(8, 10);
    picture.drawRectangle(1, 1, 6, 9, blue, red);  // a glyph dot: 5 x 8
    Points outline, inside;
    for (int y = 1; y < 9; ++y) {
        for (int x = 1; x < 6; ++x) {
            const bool border = x == 1 || x == 5 || y == 1 || y == 8;
            (border ? outline : inside).insert({x, y});
        }
    }
    EXPECT_EQ(pixelsOf(picture, red), outline);
    EXPECT_EQ(pixelsOf(picture, blue), inside);
    EXPECT_EQ(pixelsOf(picture, white).size(), 80u - 40u);

    Bitmap small(4, 4);
    small.drawRectangle(1, 1, 3, 3, red, red);  // the display point: 2 x 2
    EXPECT_EQ(pixelsOf(small, red), (Points{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));

    Bitmap none(4, 4);
    none.drawRectangle(2, 2, 2, 4, red, red);
    none.drawRectangle(3, 3, 1, 1, red, red);
    EXPECT_TRUE(pixelsOf(none, red).empty());

    Bitmap edge(4, 4);
    edge.drawRectangle(-2, -2, 2, 2, blue, red);  // reaches past the corner
    EXPECT_EQ(pixelsOf(edge, red), (Points{{1, 0}, {1, 1}, {0, 1}}));
    EXPECT_EQ(pixelsOf(edge, blue), (Points{{0, 0}}));
}

TEST(BitmapCopy, CopiesBlocksAndSkipsWhatLiesOutsideEitherPicture) {
    Bitmap source(4, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) source.setPixel(x, y, {uint8_t(x), uint8_t(y), 7});
    }
    struct Case {
        const char* name;
        int sx, sy, w, h, x, y;
    } cases[] = {
        {"inside", 1, 1, 2, 2, 3, 2},
        {"source starts left of the picture", -2, 0, 4, 3, 0, 0},
        {"target starts above the picture", 0, 0, 4, 3, 1, -1},
        {"reaches past the right of both", 2, 0, 9, 9, 4, 3},
    };
    for (const Case& c : cases) {
        Bitmap target(6, 5, black);
        target.copyFrom(source, c.sx, c.sy, c.w, c.h, c.x, c.y);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                const int fromX = c.sx + x - c.x;
                const int fromY = c.sy + y - c.y;
                const bool copied = x - c.x >= 0 && x - c.x < c.w && y - c.y >= 0 &&
                                    y - c.y < c.h && source.contains(fromX, fromY);
                EXPECT_EQ(target.pixel(x, y), copied ? source.pixel(fromX, fromY) : black)
                    << c.name << " at " << x << "," << y;
            }
        }
    }
}

TEST(BitmapCopy, WithinOnePictureReadsTheOldPixels) {
    Bitmap picture(1, 4);
    for (int y = 0; y < 4; ++y) picture.setPixel(0, y, {uint8_t(y), 0, 0});
    picture.copyFrom(picture, 0, 0, 1, 3, 0, 1);  // down one row, overlapping
    for (int y = 1; y < 4; ++y) EXPECT_EQ(picture.pixel(0, y).red, y - 1);
}

TEST(BitmapStretch, RepeatsPixelsWithoutBlending) {
    Bitmap strip(3, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 3; ++x) strip.setPixel(x, y, {uint8_t(10 * y), uint8_t(x), 0});
    }
    Bitmap paper(5, 20, white);
    paper.stretchFrom(strip, 0, 0, 3, 8, 1, 2, 3, 15);  // the paper's 8 to 15 rows
    for (int j = 0; j < 15; ++j) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(paper.pixel(1 + i, 2 + j), strip.pixel(i, j * 8 / 15)) << i << "," << j;
        }
    }
    EXPECT_EQ(paper.pixel(0, 5), white);
    EXPECT_EQ(paper.pixel(4, 5), white);
    EXPECT_EQ(paper.pixel(2, 17), white);
    // Row repetition: 15 rows from 8 repeat seven of them.
    EXPECT_EQ(paper.pixel(1, 2), paper.pixel(1, 3));

    // Source columns left of the source have no pixels; their targets keep what they had.
    Bitmap partial(5, 4, white);
    partial.stretchFrom(strip, -2, 0, 4, 2, 0, 0, 4, 4);
    EXPECT_EQ(partial.pixel(0, 0), white);
    EXPECT_EQ(partial.pixel(1, 3), white);
    EXPECT_EQ(partial.pixel(2, 0), strip.pixel(0, 0));
    EXPECT_EQ(partial.pixel(3, 3), strip.pixel(1, 1));
}

TEST(BitmapResize, EmptySizesHoldNoPixels) {
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}}) {
        Bitmap picture(w, h);
        EXPECT_TRUE(picture.empty());
        EXPECT_EQ(picture.width(), 0);
        picture.fill(red);
        picture.drawRectangle(0, 0, 3, 3, red, red);
        picture.drawLine(0, 0, 3, 0, red);
        EXPECT_EQ(picture.pixel(0, 0), black);
    }
}

}  // namespace
}  // namespace quorvel
