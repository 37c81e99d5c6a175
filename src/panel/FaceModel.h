#pragma once

#include <string>

#include "panel/DisplayRenderer.h"
#include "panel/FaceLayout.h"
#include "panel/KeyTable.h"
#include "panel/SwitchPositions.h"
#include "platform/Bitmap.h"
#include "platform/Platform.h"
#include "printer/PrintMechanism.h"
#include "printer/RollStore.h"

namespace quorvel {

inline constexpr const char* facePictureFileName = "PMnon.dat";

// The calculator's face as the window shows it: every part with its place and stacking
// order, what the moving parts (display, counter, paper, head, platen) show now, the
// pressed key's picture, the switches' and lamps' pictures, and the hit test.
class FaceModel {
  public:
    // The display and the printer whose pictures and places the face shows.
    FaceModel(const DisplayRenderer& display, const PrintMechanism& printer);

    ImageComponent& operator[](FacePart part) { return parts_[part]; }
    const ImageComponent& operator[](FacePart part) const { return parts_[part]; }
    const FaceImages& parts() const { return parts_; }
    FaceImages& parts() { return parts_; }

    // Takes the pictures laid over the face from their sheet; false when the sheet is too
    // small (the plain pictures stay).
    bool takePictures(const Bitmap& sheet);
    // The face picture from its file; the problem's words when it cannot be read.
    bool loadFacePicture(const std::string& path, std::string& problem);
    int width() const { return parts_[FacePart::calculatorImage].width; }
    int height() const { return parts_[FacePart::calculatorImage].height; }

    struct ShownPart {
        int left = parkedImageLeft;
        int top = 0;
        const Bitmap* picture = nullptr;
        bool visible = false;
    };
    // What a part shows now and where.
    ShownPart shownPart(FacePart part) const;
    // The topmost shown part under a point of the face (the key label is no part), the
    // face itself when no part is there.
    FacePart partAt(int x, int y) const;

    // The pressed key's picture over the face, and taken away.
    void showKeyDown(const KeyEntry& key);
    void showKeyUp();
    void showSwitches(PowerPosition power, PrintModePosition printMode, AnglePosition angle);
    void showShiftLamp(bool lit) { parts_[FacePart::shiftLampImage].visible = lit; }
    void toggleLowBatteryLamp();
    bool lowBatteryShown() const { return parts_[FacePart::pfLEDImage].visible; }

    // The roll counter: its blank picture and the count drawn over it.
    void drawRollCounter(const RollStore& roll, TextDrawing& text);
    const Bitmap& rollCounterImage() const { return rollCounterImage_; }

    // A knob held by the left button: let go where it went down, it is a click on the knob;
    // dragged along its slot, a click on the label of the position nearest the pointer.
    bool knobDown(FacePart knob, int y);
    void knobMove(int y);
    // The part to click when the button comes up: the knob, a label, or the face itself
    // when no knob was held.
    FacePart knobUp(int y);
    bool knobHeld() const { return knobHeld_ != FacePart::calculatorImage; }

  private:
    const DisplayRenderer& display_;
    const PrintMechanism& printer_;
    FaceImages parts_;
    Bitmap rollCounterBase_ = rollCounterBasePicture();
    Bitmap rollCounterImage_ = rollCounterBase_;
    // The knob under the held button (the face for none), where it went down and whether
    // it has moved far enough to be a drag.
    FacePart knobHeld_ = FacePart::calculatorImage;
    int knobDownY_ = 0;
    bool knobDragged_ = false;
};

}  // namespace quorvel
