#include <gtest/gtest.h>

#include "printer/PrintMechanism.h"
#include "printer/SpeedDialog.h"

namespace quorvel {
namespace {

struct Speeds {
    int left = defaultLeftMoveSpeed;
    int right = defaultRightMoveSpeed;
    PrintHeadSpeedDialog dialog{left, right};
};

TEST(SpeedDialog, SpeedsFollowAScrollWhenItEndsAndCancelRestoresTheOpening) {
    Speeds s;
    s.left = 40;
    s.right = 10;
    s.dialog.FormActivate();
    EXPECT_EQ(s.dialog.longThumb(), 40);
    EXPECT_EQ(s.dialog.shortThumb(), 10);
    s.dialog.longSBScroll(25, false);
    EXPECT_EQ(s.left, 40) << "still dragging";
    s.dialog.longSBScroll(20, true);
    s.dialog.shortSBScroll(30, true);
    EXPECT_EQ(s.left, 20) << "at once, with the dialog still open";
    EXPECT_EQ(s.right, 30);
    s.dialog.FormActivate();  // a focus change while open remembers nothing new
    s.dialog.canBitBtnClick();
    s.dialog.FormClose();
    EXPECT_EQ(s.left, 40);
    EXPECT_EQ(s.right, 10);

    // OK, then a second opening starts from the speeds of then.
    s.dialog.FormActivate();
    s.dialog.longSBScroll(33, true);
    s.dialog.FormClose();
    s.dialog.FormActivate();
    EXPECT_EQ(s.dialog.longThumb(), 33);
    s.dialog.longSBScroll(50, true);
    s.dialog.canBitBtnClick();
    EXPECT_EQ(s.left, 33);
}

TEST(SpeedDialog, DefaultMovesOnlyTheThumbs) {
    Speeds s;
    s.left = 21;
    s.right = 4;
    s.dialog.FormActivate();
    s.dialog.defButtClick();
    EXPECT_EQ(s.dialog.longThumb(), 47);
    EXPECT_EQ(s.dialog.shortThumb(), 24);
    EXPECT_EQ(s.left, 21) << "OK now would keep the speeds";
    EXPECT_EQ(s.right, 4);
    s.dialog.longSBScroll(s.dialog.longThumb(), true);
    EXPECT_EQ(s.left, 47) << "the default reaches the head with the end of a scroll";
}

TEST(SpeedDialog, SpeedsOutsideTheBarsShowAtTheEndsAndSurviveCancel) {
    // A settings file edited by hand can hold any number.
    struct Case {
        int left, right;
        int longThumb, shortThumb;
    } cases[] = {
        {20, 3, 20, 3}, {50, 30, 50, 30}, {19, 2, 20, 3}, {51, 31, 50, 30}, {-7, 1000, 20, 30}};
    for (const Case& c : cases) {
        Speeds s;
        s.left = c.left;
        s.right = c.right;
        s.dialog.FormActivate();
        EXPECT_EQ(s.dialog.longThumb(), c.longThumb) << c.left;
        EXPECT_EQ(s.dialog.shortThumb(), c.shortThumb) << c.right;
        EXPECT_EQ(s.left, c.left) << "opening changes no speed";
        s.dialog.longSBScroll(99, true);
        EXPECT_EQ(s.left, leftSpeedMaximum) << "a scroll keeps to its bar";
        s.dialog.canBitBtnClick();
        EXPECT_EQ(s.left, c.left);
        EXPECT_EQ(s.right, c.right);
    }
    Speeds never;
    never.dialog.canBitBtnClick();
    EXPECT_EQ(never.left, defaultLeftMoveSpeed) << "Cancel before any opening changes nothing";
}

}  // namespace
}  // namespace quorvel
