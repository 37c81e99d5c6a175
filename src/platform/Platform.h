#pragma once

#include <string>

#include "platform/Bitmap.h"

namespace quorvel {

// The few services the core asks of a windowing system. The Qt front end implements
// them with real windows; the headless runner and the tests with plain code.

// Modal message boxes with a single OK button (or Yes and No for a confirmation).
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void showError(const std::string& text) = 0;
    virtual void showInformation(const std::string& text) = 0;
    // True for Yes.
    virtual bool confirm(const std::string& text) = 0;
};

// Plays one of the program's sounds by name, asynchronously; a new sound cuts off the
// one still playing. An unknown name plays nothing.
class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    virtual void playSound(const std::string& name) = 0;
};

// What the run loop needs to stay responsive: handling the window's pending events and
// pausing the thread.
class EventDispatch {
  public:
    virtual ~EventDispatch() = default;
    virtual void processPendingMessages() = 0;
    virtual void sleepMilliseconds(int milliseconds) = 0;
};

// Short texts drawn into a picture in the window's legend font, with a transparent
// background (the roll counter).
class TextDrawing {
  public:
    struct Size {
        int width = 0;
        int height = 0;
    };
    virtual ~TextDrawing() = default;
    virtual Size measureText(const std::string& text) = 0;
    // The text's top left corner at (x, y); what falls outside the picture is cut off.
    virtual void drawText(Bitmap& target, int x, int y, const std::string& text, Rgb colour) = 0;
};

}  // namespace quorvel
