#include "panel/FaceLayout.h"

#include <algorithm>
#include <utility>

namespace quorvel {

void ImageComponent::setPicture(Bitmap newPicture) {
    picture = std::move(newPicture);
    width = picture.width();
    height = picture.height();
}

namespace {

struct PartDesign {
    FacePart part;
    const char* name;
    int width;
    int height;
    int tag;
    const char* hint;
    PartCursor cursor;
};

// Creation order is the initial stacking order, bottom first.
constexpr PartDesign partDesigns[facePartCount] = {
    {FacePart::calculatorImage, "calculatorImage", 0, 0, 0, "", PartCursor::standard},
    {FacePart::dispImage, "dispImage", 242, 18, 0, "", PartCursor::openHand},
    {FacePart::maskImage, "maskImage", 242, 18, 1, "", PartCursor::standard},
    {FacePart::buttsImage, "buttsImage", 429, 233, 1, "", PartCursor::standard},
    {FacePart::pasteImage, "pasteImage", 147, 139, 0, "", PartCursor::standard},
    {FacePart::offSWimage, "offSWimage", 23, 48, 0, "", PartCursor::standard},
    {FacePart::onSWimage, "onSWimage", 23, 48, 0, "", PartCursor::standard},
    {FacePart::manSWimage, "manSWimage", 23, 65, 0, "", PartCursor::standard},
    {FacePart::allSWimage, "allSWimage", 23, 65, 0, "", PartCursor::standard},
    {FacePart::nrmSWimage, "nrmSWimage", 23, 65, 0, "", PartCursor::standard},
    {FacePart::degSWimage, "degSWimage", 23, 65, 0, "", PartCursor::standard},
    {FacePart::grdSWimage, "grdSWimage", 23, 65, 0, "", PartCursor::standard},
    {FacePart::radSWimage, "radSWimage", 23, 65, 0, "", PartCursor::standard},
    {FacePart::offImage, "offImage", 22, 15, 0, "Click Turns OFF", PartCursor::hand},
    {FacePart::onImage, "onImage", 22, 15, 0, "Click Turns ON", PartCursor::hand},
    {FacePart::manImage, "manImage", 26, 15, 0, "Click for MANUAL Print", PartCursor::hand},
    {FacePart::allImage, "allImage", 26, 15, 0, "Click for RUN Mode", PartCursor::hand},
    {FacePart::normImage, "normImage", 30, 15, 0, "Click for NORMAL Print", PartCursor::hand},
    {FacePart::degImage, "degImage", 24, 15, 0, "Click for DEG Mode", PartCursor::hand},
    {FacePart::grdImage, "grdImage", 25, 15, 0, "Click for GRD mode", PartCursor::hand},
    {FacePart::radImage, "radImage", 24, 15, 0, "Click for RAD Mode", PartCursor::hand},
    {FacePart::pfLEDImage, "pfLEDImage", 11, 10, 1, "", PartCursor::standard},
    {FacePart::printFeedImage, "printFeedImage", 23, 19, 0, "Click for paper feed",
     PartCursor::hand},
    {FacePart::paper97Image, "paper97Image", 169, 212, 0, "", PartCursor::standard},
    {FacePart::platenImage, "platenImage", 169, 2, 0, "", PartCursor::standard},
    {FacePart::pledgeImage, "pledgeImage", 169, 2, 0, "", PartCursor::standard},
    {FacePart::prnHdImage, "prnHdImage", 28, 18, 0, "", PartCursor::standard},
    {FacePart::pcntImage, "pcntImage", 28, 15, 0, "", PartCursor::standard},
    {FacePart::pcntBaseImage, "pcntBaseImage", 28, 15, 1, "", PartCursor::standard},
    {FacePart::shiftLampImage, "shiftLampImage", 30, 10, 1, "", PartCursor::standard},
    {FacePart::keyLabel, "keyLabel", 172, 15, 0, "", PartCursor::standard},
};

}  // namespace

FaceImages::FaceImages() {
    for (const PartDesign& design : partDesigns) {
        ImageComponent& component = (*this)[design.part];
        component.name = design.name;
        component.width = design.width;
        component.height = design.height;
        component.tag = design.tag;
        component.hint = design.hint;
        component.cursor = design.cursor;
        if (design.part != FacePart::keyLabel && design.width > 0) {
            component.picture.resize(design.width, design.height);
        }
        stacking_.push_back(design.part);
    }
    (*this)[FacePart::calculatorImage].left = 0;
    (*this)[FacePart::platenImage].top = 30;
    (*this)[FacePart::prnHdImage].top = 196;
}

void FaceImages::bringToFront(FacePart part) {
    stacking_.erase(std::find(stacking_.begin(), stacking_.end(), part));
    stacking_.push_back(part);
}

void FaceImages::placeImages() {
    for (const FacePlace& place : facePlaces) {
        (*this)[place.part].left = place.left;
        (*this)[place.part].top = place.top;
    }
    bringToFront(FacePart::pcntImage);
    ImageComponent& label = (*this)[FacePart::keyLabel];
    label.left = 180 - label.width / 2;
    label.top = 218;
    bringToFront(FacePart::keyLabel);
    bringToFront(FacePart::dispImage);
    bringToFront(FacePart::pfLEDImage);
    bringToFront(FacePart::shiftLampImage);
    (*this)[FacePart::platenImage].left = placeOf(FacePart::paper97Image).left;
    bringToFront(FacePart::paper97Image);
    bringToFront(FacePart::prnHdImage);
    bringToFront(FacePart::pledgeImage);
    bringToFront(FacePart::printFeedImage);
    bringToFront(FacePart::pasteImage);
}

void FaceImages::showUntaggedParts() {
    for (ImageComponent& component : parts_) {
        if (component.tag != 1) component.visible = true;
    }
}

// ---------------------------------------------------------------- the picture sheet

namespace {

constexpr int sheetRowWidth = 800;

// The order in which the pictures are laid out on the sheet, row by row.
constexpr FacePart sheetParts[] = {
    FacePart::buttsImage,    FacePart::paper97Image,   FacePart::offSWimage,
    FacePart::onSWimage,     FacePart::manSWimage,     FacePart::allSWimage,
    FacePart::nrmSWimage,    FacePart::degSWimage,     FacePart::grdSWimage,
    FacePart::radSWimage,    FacePart::maskImage,      FacePart::prnHdImage,
    FacePart::pcntBaseImage, FacePart::pfLEDImage,     FacePart::printFeedImage,
    FacePart::platenImage,   FacePart::pledgeImage,    FacePart::offImage,
    FacePart::onImage,       FacePart::manImage,       FacePart::allImage,
    FacePart::normImage,     FacePart::degImage,       FacePart::grdImage,
    FacePart::radImage,      FacePart::shiftLampImage,
};

}  // namespace

const std::vector<SheetRect>& panelPictureSheet() {
    static const std::vector<SheetRect> sheet = [] {
        std::vector<SheetRect> rects;
        int x = 0, y = 0, rowHeight = 0;
        for (FacePart part : sheetParts) {
            const PartDesign& design = partDesigns[static_cast<int>(part)];
            if (x + design.width > sheetRowWidth) {
                x = 0;
                y += rowHeight + 1;
                rowHeight = 0;
            }
            rects.push_back({part, x, y, design.width, design.height});
            x += design.width + 1;
            rowHeight = std::max(rowHeight, design.height);
        }
        return rects;
    }();
    return sheet;
}

void panelPictureSheetSize(int& width, int& height) {
    width = 0;
    height = 0;
    for (const SheetRect& rect : panelPictureSheet()) {
        width = std::max(width, rect.x + rect.width);
        height = std::max(height, rect.y + rect.height);
    }
}

Bitmap cropBitmap(const Bitmap& source, int x, int y, int width, int height) {
    Bitmap out(width, height, {0, 0, 0});
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            out.setPixel(column, row, source.pixel(x + column, y + row));
        }
    }
    return out;
}

std::vector<FacePart> switchLabelsOfKnob(FacePart knob) {
    switch (knob) {
        case FacePart::offSWimage:
        case FacePart::onSWimage: return {FacePart::offImage, FacePart::onImage};
        case FacePart::manSWimage:
        case FacePart::allSWimage:
        case FacePart::nrmSWimage:
            return {FacePart::manImage, FacePart::allImage, FacePart::normImage};
        case FacePart::degSWimage:
        case FacePart::grdSWimage:
        case FacePart::radSWimage:
            return {FacePart::degImage, FacePart::grdImage, FacePart::radImage};
        default: return {};
    }
}

void showSwitchPosition(FaceImages& images, const std::vector<FacePart>& positions, int shown,
                        SwitchPlace place) {
    for (int i = 0; i < static_cast<int>(positions.size()); ++i) {
        ImageComponent& picture = images[positions[i]];
        picture.left = i == shown ? place.left : parkedImageLeft;
        picture.top = place.top;
    }
}

bool takePanelPictures(const Bitmap& sheet, FaceImages& images) {
    int width = 0, height = 0;
    panelPictureSheetSize(width, height);
    if (sheet.width() < width || sheet.height() < height) return false;
    for (const SheetRect& rect : panelPictureSheet()) {
        images[rect.part].setPicture(cropBitmap(sheet, rect.x, rect.y, rect.width, rect.height));
    }
    images[FacePart::dispImage].setPicture(images[FacePart::maskImage].picture);
    images[FacePart::pcntImage].setPicture(images[FacePart::pcntBaseImage].picture);
    return true;
}

}  // namespace quorvel
