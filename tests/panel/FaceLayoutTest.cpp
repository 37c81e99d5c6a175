#include <gtest/gtest.h>

#include <algorithm>

#include "panel/FaceLayout.h"
#include "panel/FaceModel.h"
#include "panel/WindowCommands.h"
#include "support/PrinterTestSupport.h"

namespace quorvel {
namespace {

TEST(FaceImages, PlacementPutsEveryImageAtItsPlaceAndInFrontInTableOrder) {
    FaceImages images;
    images.placeImages();
    struct Place {
        FacePart part;
        int left, top;
    };
    for (const Place& p :
         {Place{FacePart::dispImage, 55, 192}, Place{FacePart::offImage, 48, 236},
          Place{FacePart::onImage, 46, 266}, Place{FacePart::manImage, 59, 301},
          Place{FacePart::allImage, 57, 326}, Place{FacePart::normImage, 57, 350},
          Place{FacePart::degImage, 47, 377}, Place{FacePart::grdImage, 46, 402},
          Place{FacePart::radImage, 47, 426}, Place{FacePart::pcntImage, 610, 151},
          Place{FacePart::printFeedImage, 614, 175}, Place{FacePart::keyLabel, 94, 218},
          Place{FacePart::pfLEDImage, 141, 183}, Place{FacePart::shiftLampImage, 58, 181},
          Place{FacePart::platenImage, 421, 30}, Place{FacePart::pledgeImage, 421, 197},
          Place{FacePart::paper97Image, 421, 2}}) {
        EXPECT_EQ(images[p.part].left, p.left) << images[p.part].name;
        EXPECT_EQ(images[p.part].top, p.top) << images[p.part].name;
    }
    EXPECT_EQ(images[FacePart::prnHdImage].top, 196);

    const std::vector<FacePart>& order = images.stackingOrder();
    ASSERT_EQ(order.size(), static_cast<size_t>(facePartCount));
    const std::vector<FacePart> front(order.end() - 10, order.end());
    EXPECT_EQ(front, (std::vector<FacePart>{FacePart::pcntImage, FacePart::keyLabel,
                                            FacePart::dispImage, FacePart::pfLEDImage,
                                            FacePart::shiftLampImage, FacePart::paper97Image,
                                            FacePart::prnHdImage, FacePart::pledgeImage,
                                            FacePart::printFeedImage, FacePart::pasteImage}));
    EXPECT_EQ(order.front(), FacePart::calculatorImage);
    const auto platen = std::find(order.begin(), order.end(), FacePart::platenImage);
    const auto paper = std::find(order.begin(), order.end(), FacePart::paper97Image);
    EXPECT_LT(platen, paper) << "the platen lies behind the paper";
}

TEST(FaceImages, StartUpShowsAllButTheTaggedParts) {
    FaceImages images;
    images.showUntaggedParts();
    for (FacePart part : images.stackingOrder()) {
        const bool tagged = part == FacePart::maskImage || part == FacePart::buttsImage ||
                            part == FacePart::pcntBaseImage || part == FacePart::pfLEDImage ||
                            part == FacePart::shiftLampImage;
        EXPECT_EQ(images[part].visible, !tagged) << images[part].name;
    }
}

// The front ends ask the face model which part a pointer is on; the moving parts are
// where the printer and the display say they are.
TEST(FaceModel, TheTopmostShownPartTakesAPoint) {
    test::PrinterRig rig;
    DisplayRenderer display;
    FaceModel face(display, rig.printer);
    face.parts().placeImages();
    face.parts().showUntaggedParts();
    rig.printer.headPos = 500;
    EXPECT_EQ(face.partAt(500, 196), FacePart::prnHdImage) << "the head lies over the paper";
    EXPECT_EQ(face.partAt(500, 197), FacePart::pledgeImage) << "the paper edge over the head";
    EXPECT_EQ(face.partAt(499, 196), FacePart::paper97Image);
    EXPECT_EQ(face.partAt(421, 30), FacePart::paper97Image) << "the platen behind the paper";
    EXPECT_EQ(face.partAt(2001, 235), FacePart::calculatorImage) << "parked switch pictures";
    EXPECT_EQ(face.partAt(150, 185), FacePart::calculatorImage) << "the hidden lamp";
    face.toggleLowBatteryLamp();
    EXPECT_EQ(face.partAt(150, 185), FacePart::pfLEDImage);
    EXPECT_EQ(face.partAt(56, 193), FacePart::dispImage);
    EXPECT_EQ(face.partAt(54, 193), FacePart::calculatorImage);
    face[FacePart::keyLabel].visible = true;
    const ImageComponent& label = face[FacePart::keyLabel];
    EXPECT_NE(face.partAt(label.left + 1, label.top + 1), FacePart::keyLabel)
        << "the key legend lets clicks through";
}

TEST(SwitchPictures, TheShownPositionStandsAtThePlaceAndTheOthersAreParked) {
    FaceImages images;
    const std::vector<FacePart> pictures = {FacePart::manSWimage, FacePart::allSWimage,
                                            FacePart::nrmSWimage};
    for (int shown = 0; shown < 3; ++shown) {
        showSwitchPosition(images, pictures, shown, printModeSwitchPlace);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(images[pictures[i]].left, i == shown ? 31 : parkedImageLeft);
            EXPECT_EQ(images[pictures[i]].top, 300);
        }
    }
}

TEST(PictureSheet, HoldsEveryPictureOnceWithoutOverlaps) {
    const std::vector<SheetRect>& sheet = panelPictureSheet();
    int width = 0, height = 0;
    panelPictureSheetSize(width, height);
    FaceImages design;
    for (size_t i = 0; i < sheet.size(); ++i) {
        const SheetRect& a = sheet[i];
        EXPECT_EQ(a.width, design[a.part].width);
        EXPECT_EQ(a.height, design[a.part].height);
        EXPECT_LE(a.x + a.width, width);
        EXPECT_LE(a.y + a.height, height);
        for (size_t j = i + 1; j < sheet.size(); ++j) {
            const SheetRect& b = sheet[j];
            EXPECT_NE(a.part, b.part);
            const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                               a.y + a.height <= b.y || b.y + b.height <= a.y;
            EXPECT_TRUE(apart) << design[a.part].name << " and " << design[b.part].name;
        }
    }
}

TEST(PictureSheet, EachComponentGetsItsOwnRectangle) {
    int width = 0, height = 0;
    panelPictureSheetSize(width, height);
    Bitmap sheet(width, height);
    const std::vector<SheetRect>& rects = panelPictureSheet();
    for (size_t i = 0; i < rects.size(); ++i) {
        const Rgb mark{static_cast<uint8_t>(i * 9), static_cast<uint8_t>(255 - i), 7};
        for (int y = 0; y < rects[i].height; ++y) {
            for (int x = 0; x < rects[i].width; ++x)
                sheet.setPixel(rects[i].x + x, rects[i].y + y, mark);
        }
    }
    FaceImages images;
    ASSERT_TRUE(takePanelPictures(sheet, images));
    for (size_t i = 0; i < rects.size(); ++i) {
        const Bitmap& picture = images[rects[i].part].picture;
        EXPECT_EQ(picture.width(), rects[i].width);
        EXPECT_EQ(picture.pixel(0, 0), sheet.pixel(rects[i].x, rects[i].y));
        EXPECT_EQ(picture.pixel(picture.width() - 1, picture.height() - 1),
                  sheet.pixel(rects[i].x + rects[i].width - 1, rects[i].y + rects[i].height - 1));
    }
    EXPECT_EQ(images[FacePart::dispImage].picture, images[FacePart::maskImage].picture);
    EXPECT_EQ(images[FacePart::pcntImage].picture, images[FacePart::pcntBaseImage].picture);

    FaceImages untouched;
    EXPECT_FALSE(takePanelPictures(Bitmap(width - 1, height), untouched));
}

TEST(WindowPlacement, CentresWithHalvesRoundedTowardZero) {
    EXPECT_EQ(centredWindowPosition(1920, 1080, 700, 480), (WindowPosition{610, 300}));
    EXPECT_EQ(centredWindowPosition(1280, 800, 654, 480), (WindowPosition{313, 160}));
    EXPECT_EQ(centredWindowPosition(1025, 769, 655, 481), (WindowPosition{512 - 327, 384 - 240}));
    EXPECT_EQ(centredWindowPosition(600, 400, 700, 480), (WindowPosition{-50, -40}));
}

TEST(PopupMenu, ListsTheItemsWithTheirCaptionsInOrder) {
    std::vector<std::string> captions;
    std::vector<std::string> checkable;
    for (const MenuItem& item : popupMenuItems()) {
        captions.push_back(item.caption);
        if (item.checkable) checkable.push_back(item.name);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Copy\tCtrl+C",
                                                  "Paste\tCtrl+V",
                                                  "-",
                                                  "Sounds",
                                                  "Fast",
                                                  "Low Battery Display",
                                                  "Calculator Key Legend",
                                                  "Zoom",
                                                  "-",
                                                  "View Roll",
                                                  "Print Roll",
                                                  "Save Roll as Text\u2026",
                                                  "Discard Used Roll",
                                                  "Print Head Speed",
                                                  "-",
                                                  "Help",
                                                  "About",
                                                  "-",
                                                  "Minimize",
                                                  "Close    (Esc)"}));
    EXPECT_EQ(checkable,
              (std::vector<std::string>{"Sound1", "Fast1", "LowPower1", "ShowKeyLegend1"}));
}

}  // namespace
}  // namespace quorvel
