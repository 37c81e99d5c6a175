#include "panel/WindowBehaviour.h"

namespace quorvel {

void WindowBehaviour::sizeAndPlace(int faceWidth, int faceHeight, int zoomPercent) {
    window_.setClientSize(faceWidth, faceHeight);
    int screenWidth = 0, screenHeight = 0;
    window_.screenSize(screenWidth, screenHeight);
    const int width = faceWidth * zoomPercent / 100;
    const int height = faceHeight * zoomPercent / 100;
    if (storedPlace_ && window_.placeOnScreen(storedPosition_, width, height)) {
        window_.moveWindow(storedPosition_);
    } else {
        window_.moveWindow(centredWindowPosition(screenWidth, screenHeight, width, height));
    }
    // So the listing window opens beside the calculator before it was ever moved.
    recordGeometry(faceWidth);
}

void WindowBehaviour::storePlace(bool placed, WindowPosition position) {
    storedPlace_ = placed;
    storedPosition_ = position;
}

void WindowBehaviour::dragStart(int x, int y) {
    dragX_ = x;
    dragY_ = y;
    window_.showDragCursor(true);
    dragging_ = true;
}

void WindowBehaviour::dragMove(int x, int y) {
    if (!dragging_) return;
    WindowPosition position = window_.windowPosition();
    position.left += x - dragX_;
    position.top += y - dragY_;
    window_.moveWindow(position);
}

void WindowBehaviour::dragEnd(int faceWidth) {
    if (!dragging_) return;
    window_.showDragCursor(false);
    recordGeometry(faceWidth);
    dragging_ = false;
}

void WindowBehaviour::recordGeometry(int faceWidth) {
    const WindowPosition position = window_.windowPosition();
    geometry_ = {position.left, position.left + faceWidth, position.top};
}

}  // namespace quorvel
