#pragma once

#include <string>

#include "platform/WindowGeometry.h"

namespace quorvel {

// What the panel asks of the window that shows it.
class PanelWindow {
  public:
    virtual ~PanelWindow() = default;
    // Asks the window to close; the window then calls FormCloseQuery and FormClose.
    virtual void closeWindow() = 0;
    // The display picture or another part of the face changed.
    virtual void faceChanged() {}
    // The roll changed; the listing window, if it is visible, shows it again.
    virtual void refreshListing() {}

    // Geometry, in screen pixels: the window's client area and its top left corner.
    virtual void setClientSize(int /*width*/, int /*height*/) {}
    virtual void screenSize(int& width, int& height) const { width = height = 0; }
    virtual WindowPosition windowPosition() const { return {}; }
    virtual void moveWindow(WindowPosition /*position*/) {}
    // Whether a window of this size at this place would be seen on some screen.
    virtual bool placeOnScreen(WindowPosition /*position*/, int /*width*/, int /*height*/) const {
        return false;
    }
    virtual void minimizeWindow() {}
    // The closed hand while the window is dragged, else the part's own cursor.
    virtual void showDragCursor(bool /*dragging*/) {}
    // Opens a document with the desktop's program for it; false when there is no such
    // program or it could not start.
    virtual bool openDocument(const std::string& /*path*/) { return false; }
    // The roll's own windows.
    virtual void showListingWindow() {}
    virtual void printRoll() {}
    virtual void showPrintHeadSpeedDialog() {}
    virtual void saveRollAsText() {}
    // The desktop's clipboard, as plain text, and the locale's decimal point.
    virtual void setClipboardText(const std::string& /*text*/) {}
    virtual std::string clipboardText() const { return {}; }
    virtual char decimalSeparator() const { return '.'; }
    // Shows the help document inside the program; false when it cannot.
    virtual bool showHelpDocument(const std::string& /*path*/) { return false; }
};

// The window's place: centred (or where it was left) at start-up, dragged by a handle, and
// its edges recorded for the listing window.
class WindowBehaviour {
  public:
    explicit WindowBehaviour(PanelWindow& window) : window_(window) {}

    // Sizes the window for a face of this size at this zoom, at its stored place when that
    // is on a screen, else centred; then records its edges.
    void sizeAndPlace(int faceWidth, int faceHeight, int zoomPercent);
    // The place kept in the settings.
    void storePlace(bool placed, WindowPosition position);
    bool hasStoredPlace() const { return storedPlace_; }
    WindowPosition storedPlace() const { return storedPosition_; }

    // A drag by a handle; positions in window pixels from the handle's corner.
    void dragStart(int x, int y);
    void dragMove(int x, int y);
    void dragEnd(int faceWidth);
    bool dragging() const { return dragging_; }
    // The drag ended on the face (its button came up there).
    void forgetDrag() { dragging_ = false; }

    // Notes the window's edges as they are now.
    void recordGeometry(int faceWidth);
    const WindowGeometry& geometry() const { return geometry_; }

  private:
    PanelWindow& window_;
    WindowGeometry geometry_;
    bool storedPlace_ = false;
    WindowPosition storedPosition_{};
    bool dragging_ = false;
    int dragX_ = 0;
    int dragY_ = 0;
};

}  // namespace quorvel
