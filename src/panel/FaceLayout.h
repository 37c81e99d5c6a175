#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace quorvel {

// The pictures laid over the face, and the text label that shows a key's PC legend.
enum class FacePart : int {
    calculatorImage,
    dispImage,
    maskImage,
    buttsImage,
    pasteImage,
    offSWimage,
    onSWimage,
    manSWimage,
    allSWimage,
    nrmSWimage,
    degSWimage,
    grdSWimage,
    radSWimage,
    offImage,
    onImage,
    manImage,
    allImage,
    normImage,
    degImage,
    grdImage,
    radImage,
    pfLEDImage,
    printFeedImage,
    paper97Image,
    platenImage,
    pledgeImage,
    prnHdImage,
    pcntImage,
    pcntBaseImage,
    shiftLampImage,
    keyLabel,
};
constexpr int facePartCount = static_cast<int>(FacePart::keyLabel) + 1;

// A picture is hidden by parking its left edge outside the window.
constexpr int parkedImageLeft = 2000;

// The mouse pointer a part shows.
enum class PartCursor { standard, hand, openHand };

// One component on the face. Its size is the size of its picture, except for the key
// label, which has no picture.
struct ImageComponent {
    const char* name = "";
    int left = parkedImageLeft;
    int top = 0;
    int width = 0;
    int height = 0;
    Bitmap picture;
    int tag = 0;  // 1: start-up never makes it visible
    bool visible = false;
    const char* hint = "";
    PartCursor cursor = PartCursor::standard;

    bool parked() const { return left >= parkedImageLeft; }
    bool contains(int x, int y) const {
        return visible && x >= left && y >= top && x < left + width && y < top + height;
    }
    // Gives the component a new picture and takes its size.
    void setPicture(Bitmap newPicture);
};

// Every component with its design size, tag, hint and cursor, stacked in creation order
// (the face at the bottom).
class FaceImages {
  public:
    FaceImages();

    ImageComponent& operator[](FacePart part) { return parts_[static_cast<int>(part)]; }
    const ImageComponent& operator[](FacePart part) const { return parts_[static_cast<int>(part)]; }

    // Bottom first.
    const std::vector<FacePart>& stackingOrder() const { return stacking_; }
    void bringToFront(FacePart part);
    // Step 7i of the start-up: every image at its place, in its stacking order.
    void placeImages();
    // Step 9: everything whose tag is not 1 becomes visible.
    void showUntaggedParts();

  private:
    std::array<ImageComponent, facePartCount> parts_;
    std::vector<FacePart> stacking_;
};

// --- the pictures ---------------------------------------------------------------------

// Pictures that come with the program besides the face: one sheet, each part at its own
// rectangle, whole-file scrambled like the face picture.
inline constexpr const char* panelPicturesFileName = "PMparts.dat";

struct SheetRect {
    FacePart part;
    int x = 0, y = 0, width = 0, height = 0;
};

// Where each picture lies on the sheet; the sheet generator and the loader both use it.
// The sheet drawn for the 2x zoom holds every picture at twice these rectangles.
const std::vector<SheetRect>& panelPictureSheet();
// The smallest sheet that holds every rectangle.
void panelPictureSheetSize(int& width, int& height);

// Cuts the pictures out of a loaded sheet into their components; the display and the
// counter start as copies of their blank backgrounds. False when the sheet is too small.
bool takePanelPictures(const Bitmap& sheet, FaceImages& images);

// A copy of a rectangle of a picture; parts outside the source come out black.
Bitmap cropBitmap(const Bitmap& source, int x, int y, int width, int height);

// The lamp in the display window that is lit while SHIFT is pending.
constexpr int shiftLampLeft = 58;
constexpr int shiftLampTop = 181;

// Where the parts that stand still sit on the face (left, top). The picture generator cuts
// their blank backgrounds out of the face drawing at the same places.
struct FacePlace {
    FacePart part;
    int left;
    int top;
};
inline constexpr FacePlace facePlaces[] = {
    {FacePart::dispImage, 55, 192},
    {FacePart::offImage, 48, 236},
    {FacePart::onImage, 46, 266},
    {FacePart::manImage, 59, 301},
    {FacePart::allImage, 57, 326},
    {FacePart::normImage, 57, 350},
    {FacePart::degImage, 47, 377},
    {FacePart::grdImage, 46, 402},
    {FacePart::radImage, 47, 426},
    {FacePart::pcntImage, 610, 151},
    {FacePart::printFeedImage, 614, 175},
    {FacePart::pfLEDImage, 141, 183},
    {FacePart::shiftLampImage, shiftLampLeft, shiftLampTop},
    {FacePart::pledgeImage, 421, 197},
    {FacePart::paper97Image, 421, 2},
};
// The place of a part of that list; a part that moves (head, platen, pressed key) has none
// and gets {parkedImageLeft, 0}.
constexpr FacePlace placeOf(FacePart part) {
    for (const FacePlace& place : facePlaces) {
        if (place.part == part) return place;
    }
    return {part, parkedImageLeft, 0};
}

// Switch places on the face.
struct SwitchPlace {
    int left;
    int top;
};
constexpr SwitchPlace powerSwitchPlace{71, 235};
constexpr SwitchPlace printModeSwitchPlace{31, 300};
constexpr SwitchPlace angleSwitchPlace{73, 377};

// A switch's position label, and a switch's knob (any position's picture).
constexpr bool isSwitchLabel(FacePart part) {
    return part >= FacePart::offImage && part <= FacePart::radImage;
}
constexpr bool isSwitchKnob(FacePart part) {
    return part >= FacePart::offSWimage && part <= FacePart::radSWimage;
}

// The labels of the switch a knob belongs to, one for each position in order; empty when
// the part is no knob.
std::vector<FacePart> switchLabelsOfKnob(FacePart knob);

// Puts the picture of the shown position (an index into `positions`) at the switch's
// place and parks the pictures of the other positions.
void showSwitchPosition(FaceImages& images, const std::vector<FacePart>& positions, int shown,
                        SwitchPlace place);

// The face colour that the window makes see-through.
constexpr Rgb transparentFaceColour{166, 202, 240};

}  // namespace quorvel
