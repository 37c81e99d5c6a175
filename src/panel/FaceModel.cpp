#include "panel/FaceModel.h"

#include <cstdlib>
#include <utility>

#include "io/ScrambledFile.h"

namespace quorvel {

FaceModel::FaceModel(const DisplayRenderer& display, const PrintMechanism& printer)
    : display_(display), printer_(printer) {}

bool FaceModel::takePictures(const Bitmap& sheet) {
    if (!takePanelPictures(sheet, parts_)) return false;
    rollCounterBase_ = parts_[FacePart::pcntBaseImage].picture;
    rollCounterImage_ = rollCounterBase_;
    return true;
}

bool FaceModel::loadFacePicture(const std::string& path, std::string& problem) {
    Bitmap picture;
    if (!loadScrambledPicture(path, picture)) {
        problem = pictureFileProblem(path);
        return false;
    }
    parts_[FacePart::calculatorImage].setPicture(std::move(picture));
    return true;
}

FaceModel::ShownPart FaceModel::shownPart(FacePart part) const {
    const ImageComponent& component = parts_[part];
    ShownPart shown{component.left, component.top, &component.picture, component.visible};
    switch (part) {
        case FacePart::dispImage: shown.picture = &display_.image(); break;
        case FacePart::pcntImage: shown.picture = &rollCounterImage_; break;
        case FacePart::paper97Image: shown.picture = &printer_.paperImage(); break;
        case FacePart::prnHdImage: shown.left = printer_.headPos; break;
        case FacePart::platenImage: shown.left = printer_.platenLeft; break;
        case FacePart::keyLabel: shown.picture = nullptr; break;
        default: break;
    }
    return shown;
}

FacePart FaceModel::partAt(int x, int y) const {
    const auto& order = parts_.stackingOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const ShownPart shown = shownPart(*it);
        if (!shown.visible || !shown.picture) continue;
        if (x >= shown.left && y >= shown.top && x < shown.left + shown.picture->width() &&
            y < shown.top + shown.picture->height()) {
            return *it;
        }
    }
    return FacePart::calculatorImage;
}

void FaceModel::showKeyDown(const KeyEntry& key) {
    ImageComponent& paste = parts_[FacePart::pasteImage];
    paste.setPicture(cropBitmap(parts_[FacePart::buttsImage].picture, key.picture.left,
                                key.picture.top, key.face.width(), key.face.height()));
    paste.left = key.face.left;
    paste.top = key.face.top;
}

void FaceModel::showKeyUp() {
    parts_[FacePart::pasteImage].left = width() + 10;
}

void FaceModel::showSwitches(PowerPosition power, PrintModePosition printMode,
                             AnglePosition angle) {
    showSwitchPosition(parts_, {FacePart::offSWimage, FacePart::onSWimage},
                       power == PowerPosition::on ? 1 : 0, powerSwitchPlace);
    showSwitchPosition(parts_, {FacePart::manSWimage, FacePart::allSWimage, FacePart::nrmSWimage},
                       static_cast<int>(printMode), printModeSwitchPlace);
    showSwitchPosition(parts_, {FacePart::degSWimage, FacePart::grdSWimage, FacePart::radSWimage},
                       static_cast<int>(angle), angleSwitchPlace);
}

void FaceModel::toggleLowBatteryLamp() {
    ImageComponent& lamp = parts_[FacePart::pfLEDImage];
    lamp.visible = !lamp.visible;
}

void FaceModel::drawRollCounter(const RollStore& roll, TextDrawing& text) {
    roll.drawRollCounter(rollCounterImage_, rollCounterBase_, text);
}

bool FaceModel::knobDown(FacePart knob, int y) {
    if (switchLabelsOfKnob(knob).empty()) return false;
    knobHeld_ = knob;
    knobDownY_ = y;
    knobDragged_ = false;
    return true;
}

void FaceModel::knobMove(int y) {
    // A hand's tremble during a click is no drag; the slots run from top to bottom.
    constexpr int dragThreshold = 3;
    if (knobHeld() && std::abs(y - knobDownY_) > dragThreshold) knobDragged_ = true;
}

FacePart FaceModel::knobUp(int y) {
    if (!knobHeld()) return FacePart::calculatorImage;
    knobMove(y);
    const FacePart knob = knobHeld_;
    knobHeld_ = FacePart::calculatorImage;
    if (!knobDragged_) return knob;
    FacePart nearest = FacePart::calculatorImage;
    int nearestDistance = 0;
    for (const FacePart label : switchLabelsOfKnob(knob)) {
        const ImageComponent& part = parts_[label];
        const int distance = std::abs(y - (part.top + part.height / 2));
        if (nearest == FacePart::calculatorImage || distance < nearestDistance) {
            nearest = label;
            nearestDistance = distance;
        }
    }
    return nearest;
}

}  // namespace quorvel
