#include <gtest/gtest.h>

#include "RollLines.h"
#include "printer/ListingWindow.h"
#include "printer/RollStore.h"
#include "support/AssemblerTestSupport.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

using test::builtCharacterSet;
using test::lineTextOf;
using test::numberedEntries;

// A message box that answers the confirmation as told.
struct AnsweringMessages : test::RecordingMessages {
    bool answer = true;
    bool confirm(const std::string& text) override {
        confirmations.push_back(text);
        return answer;
    }
};

bool whiteIn(const Bitmap& picture, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (picture.pixel(x, y) != white) return false;
        }
    }
    return true;
}

Bitmap band(const Bitmap& picture, int top) {
    Bitmap cut(listingImageWidth, listingLinePitch);
    cut.copyFrom(picture, 0, top, listingImageWidth, listingLinePitch, 0, 0);
    return cut;
}

TEST(ListingScroll, ShowsTheEndOfTheRollAfterEveryUpdate) {
    struct Case {
        int entries;
        int maximum;
        int firstShown, lastShown;  // -1: none
    } cases[] = {
        {0, 0, -1, -1}, {1, 0, 0, 0},   {20, 0, 0, 19},
        {21, 1, 1, 20}, {25, 5, 5, 24}, {200, 180, 180, 199},
    };
    for (const Case& c : cases) {
        RollStore roll;
        roll.assign(numberedEntries(c.entries));
        PrintListing listing(roll, builtCharacterSet());
        listing.ScrollBar1Scroll(0);
        listing.UpdatePrint();
        EXPECT_EQ(listing.scrollMaximum(), c.maximum) << c.entries;
        EXPECT_EQ(listing.scrollPosition(), c.maximum) << c.entries;
        const auto& shown = listing.shownEntries();
        if (c.firstShown < 0) {
            EXPECT_TRUE(shown.empty());
            EXPECT_TRUE(whiteIn(listing.image(), 0, 0, listingImageWidth, listingImageHeight));
            continue;
        }
        ASSERT_FALSE(shown.empty()) << c.entries;
        EXPECT_EQ(shown.front().entry, c.firstShown) << c.entries;
        EXPECT_EQ(shown.back().entry, c.lastShown) << c.entries;
        EXPECT_EQ(shown.front().top, 2);
        EXPECT_EQ(shown.back().top, 2 + 18 * (c.lastShown - c.firstShown)) << c.entries;
    }
}

TEST(ListingScroll, ScrolledUpItShowsTwentyOneLinesAndAnUpdateReturnsToTheEnd) {
    RollStore roll;
    roll.assign(numberedEntries(25));
    PrintListing listing(roll, builtCharacterSet());
    listing.UpdatePrint();
    listing.ScrollBar1Scroll(0);
    ASSERT_EQ(listing.shownEntries().size(), 21u);
    EXPECT_EQ(listing.shownEntries().back().entry, 20);
    EXPECT_EQ(listing.shownEntries().back().top, 362);
    EXPECT_FALSE(whiteIn(listing.image(), 0, 362, listingImageWidth, 376)) << "line 20 drawn";
    listing.ScrollBar1Scroll(99);
    EXPECT_EQ(listing.scrollPosition(), 5) << "held inside the range";

    listing.ScrollBar1Scroll(2);
    roll.appendRollLine(blankRollLine);
    listing.UpdatePrint();
    EXPECT_EQ(listing.scrollMaximum(), 6);
    EXPECT_EQ(listing.scrollPosition(), 6);
}

TEST(ListingRedraw, LinesSitInTheirBandsBlankEntriesAndTheMarginsStayWhite) {
    RollStore roll;
    roll.assign({lineTextOf(test::codesOf("88888888888888888888")), blankRollLine,
                 lineTextOf(test::codesOf("1"))});
    PrintListing listing(roll, builtCharacterSet());
    listing.UpdatePrint();
    const Bitmap& image = listing.image();
    for (int top : {2, 38}) {
        EXPECT_FALSE(whiteIn(image, 20, top, 152, top + 14)) << top;
        EXPECT_TRUE(whiteIn(image, 0, top, 20, top + 18)) << "left margin " << top;
        EXPECT_TRUE(whiteIn(image, 152, top, listingImageWidth, top + 18)) << "right " << top;
        EXPECT_TRUE(whiteIn(image, 0, top + 14, listingImageWidth, top + 18)) << "gap " << top;
    }
    EXPECT_TRUE(whiteIn(image, 0, 0, listingImageWidth, 2));
    EXPECT_TRUE(whiteIn(image, 0, 20, listingImageWidth, 38)) << "the Blank band";
    EXPECT_TRUE(whiteIn(image, 0, 56, listingImageWidth, listingImageHeight));
    EXPECT_EQ(listing.shownEntries().size(), 3u);
}

TEST(ListingRedraw, FieldsThatAreNotNumbersShowTheQuestionMarkAsOnThePaper) {
    const std::string fallbackLine = lineTextOf(std::vector<int>(20, unreadableFieldCode));
    const std::string digitsThenFallback = [] {
        std::string text;
        for (int c : test::codesOf("123")) text += std::to_string(c) + "~";
        for (int column = 3; column < 20; ++column) text += "59~";
        return text;
    }();
    struct Case {
        std::string damaged;
        std::string sameAs;
    } cases[] = {
        {"x~y~z~", fallbackLine},
        {"", fallbackLine},
        {"1e3~ 7~+~-~", fallbackLine},
        {std::string(digitsThenFallback, 0, digitsThenFallback.find("59~")), digitsThenFallback},
    };
    for (const Case& c : cases) {
        RollStore damaged, expected;
        damaged.assign({c.damaged});
        expected.assign({c.sameAs});
        PrintListing a(damaged, builtCharacterSet()), b(expected, builtCharacterSet());
        a.UpdatePrint();
        b.UpdatePrint();
        EXPECT_EQ(band(a.image(), 2), band(b.image(), 2)) << c.damaged;
        EXPECT_FALSE(whiteIn(a.image(), 20, 2, 152, 16)) << c.damaged;
    }
}

TEST(ListingClear, AsksFirstAndEmptiesTheRollOnlyOnYes) {
    RollStore roll;
    roll.assign(numberedEntries(25));
    PrintListing listing(roll, builtCharacterSet());
    listing.UpdatePrint();
    const Bitmap before = listing.image();

    AnsweringMessages messages;
    messages.answer = false;
    EXPECT_FALSE(listing.clrSBClick(messages));
    EXPECT_EQ(messages.confirmations,
              std::vector<std::string>{"Confirm...\r\rDelete print listing"});
    EXPECT_EQ(roll.size(), 25);
    EXPECT_EQ(listing.image(), before);

    messages.answer = true;
    EXPECT_TRUE(listing.clrSBClick(messages));
    EXPECT_EQ(roll.size(), 0);
    EXPECT_EQ(listing.scrollMaximum(), 0);
    EXPECT_EQ(listing.scrollPosition(), 0);
    EXPECT_TRUE(whiteIn(listing.image(), 0, 0, listingImageWidth, listingImageHeight));
}

TEST(ListingPlacement, BesideTheMainWindowFromTheRecordedGeometry) {
    struct Case {
        WindowGeometry main;
        int outerWidth, screenWidth;
        WindowPosition expected;
    } cases[] = {
        // never dragged: the record is all 0
        {{0, 0, 0}, 189, 1920, {0, 0}},
        {{300, 954, 120}, 189, 1920, {954, 120}},
        // right + W equal to the screen width does not fit on the right
        {{1077, 1731, 40}, 189, 1920, {888, 40}},
        {{1300, 1954, -30}, 189, 1920, {1111, -30}},
        // no room on either side: centred on the main window's width
        {{100, 1800, 10}, 195, 1920, {753, 10}},
        {{189, 843, 10}, 189, 800, {327 - 94, 10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(listingPlacement(c.main, c.outerWidth, c.screenWidth), c.expected)
            << c.main.left << " " << c.main.right;
    }
}

TEST(ListingActivation, PlacesAndScrollsOnTheFirstActivationAfterEachClose) {
    RollStore roll;
    roll.assign(numberedEntries(25));
    PrintListing listing(roll, builtCharacterSet());
    WindowPosition position{-1, -1};
    ASSERT_TRUE(listing.FormActivate({300, 954, 120}, 189, 1920, position));
    EXPECT_EQ(position, (WindowPosition{954, 120}));
    EXPECT_EQ(listing.scrollPosition(), 5);

    listing.ScrollBar1Scroll(1);
    position = {-1, -1};
    EXPECT_FALSE(listing.FormActivate({0, 0, 0}, 189, 1920, position)) << "a focus change";
    EXPECT_EQ(position, (WindowPosition{-1, -1}));
    EXPECT_EQ(listing.scrollPosition(), 1);

    listing.FormClose();
    EXPECT_TRUE(listing.FormActivate({0, 0, 0}, 189, 1920, position));
    EXPECT_EQ(position, (WindowPosition{0, 0}));
    EXPECT_EQ(listing.scrollPosition(), 5);
}

}  // namespace
}  // namespace quorvel
