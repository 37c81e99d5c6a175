#pragma once

namespace quorvel {

// A window's top left corner in screen pixels.
struct WindowPosition {
    int left = 0;
    int top = 0;
    friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};

// Where a window of the given client size stands when centred on the screen.
WindowPosition centredWindowPosition(int screenWidth, int screenHeight, int clientWidth,
                                     int clientHeight);

// The main window's edges as the listing window reads them: recorded when the window is
// placed at start-up, when a drag ends and when Esc is released.
struct WindowGeometry {
    int left = 0;
    int right = 0;
    int top = 0;
};

}  // namespace quorvel
