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

TEST(SpeedDialog, ASpeedFollowsItsBarWhenTheScrollEndsAndCancelRestoresTheOpening) {
    Speeds s;
    s.left = 40;
    s.right = 10;
    s.dialog.FormActivate();
    EXPECT_EQ(s.dialog.longThumb(), 40);
    EXPECT_EQ(s.dialog.shortThumb(), 10);

    s.dialog.longSBScroll(25, false);
    EXPECT_EQ(s.left, 40) << "still dragging";
    EXPECT_EQ(s.dialog.longThumb(), 25);
    s.dialog.longSBScroll(20, true);
    EXPECT_EQ(s.left, 20) << "at once, with the dialog still open";
    s.dialog.shortSBScroll(30, true);
    EXPECT_EQ(s.right, 30);

    s.dialog.FormActivate();  // a focus change while open remembers nothing new
    s.dialog.canBitBtnClick();
    s.dialog.FormClose();
    EXPECT_EQ(s.left, 40);
    EXPECT_EQ(s.right, 10);
}

TEST(SpeedDialog, ASecondOpeningAfterOkStartsFromTheSpeedsThen) {
    Speeds s;
    s.dialog.FormActivate();
    s.dialog.longSBScroll(33, true);
    s.dialog.shortSBScroll(5, true);
    s.dialog.FormClose();  // OK: the speeds stay
    EXPECT_EQ(s.left, 33);
    EXPECT_EQ(s.right, 5);

    s.dialog.FormActivate();
    EXPECT_EQ(s.dialog.longThumb(), 33);
    EXPECT_EQ(s.dialog.shortThumb(), 5);
    s.dialog.longSBScroll(50, true);
    s.dialog.canBitBtnClick();
    EXPECT_EQ(s.left, 33);
    EXPECT_EQ(s.right, 5);
}

TEST(SpeedDialog, DefaultMovesOnlyTheThumbs) {
    Speeds s;
    s.left = 21;
    s.right = 4;
    s.dialog.FormActivate();
    s.dialog.defButtClick();
    EXPECT_EQ(s.dialog.longThumb(), 47);
    EXPECT_EQ(s.dialog.shortThumb(), 24);
    s.dialog.FormClose();  // OK
    EXPECT_EQ(s.left, 21);
    EXPECT_EQ(s.right, 4);

    // The default reaches the head when the bar reports the end of a scroll there.
    s.dialog.FormActivate();
    s.dialog.defButtClick();
    s.dialog.longSBScroll(s.dialog.longThumb(), true);
    EXPECT_EQ(s.left, 47);
    EXPECT_EQ(s.right, 4);
}

TEST(SpeedDialog, SpeedsOutsideTheBarsShowAtTheEndsAndSurviveCancel) {
    struct Case {
        int left, right;
        int longThumb, shortThumb;
    } cases[] = {
        {20, 3, 20, 3}, {50, 30, 50, 30}, {19, 2, 20, 3}, {51, 31, 50, 30}, {-7, 1000, 20, 30},
    };
    for (const Case& c : cases) {
        Speeds s;
        s.left = c.left;
        s.right = c.right;
        s.dialog.FormActivate();
        EXPECT_EQ(s.dialog.longThumb(), c.longThumb) << c.left;
        EXPECT_EQ(s.dialog.shortThumb(), c.shortThumb) << c.right;
        EXPECT_EQ(s.left, c.left) << "opening changes no speed";
        s.dialog.longSBScroll(c.longThumb, true);
        EXPECT_EQ(s.left, c.longThumb);
        s.dialog.canBitBtnClick();
        EXPECT_EQ(s.left, c.left);
        EXPECT_EQ(s.right, c.right);
    }
    Speeds s;
    s.dialog.longSBScroll(99, true);
    EXPECT_EQ(s.left, leftSpeedMaximum) << "a scroll never sets a speed outside its bar";
}

TEST(SpeedDialog, CancelBeforeAnyOpeningChangesNothing) {
    Speeds s;
    s.left = 30;
    s.dialog.canBitBtnClick();
    EXPECT_EQ(s.left, 30);
    EXPECT_EQ(s.right, defaultRightMoveSpeed);
}

}  // namespace
}  // namespace quorvel
