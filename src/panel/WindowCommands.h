#pragma once

#include <string>
#include <vector>

namespace quorvel {

// The items of the pop-up menu, in their order.
enum class MenuCommand {
    sounds,
    lowBattery,
    keyLegend,
    viewRoll,
    printRoll,
    discardRoll,
    printHeadSpeed,
    help,
    about,
    minimize,
    close,
    separator,
};

struct MenuItem {
    const char* name;
    const char* caption;
    MenuCommand command;
    bool checkable;
};

const std::vector<MenuItem>& popupMenuItems();

inline constexpr const char* helpDocumentName = "Quorvelhelp.pdf";
inline constexpr const char* messageNoHelpDocument = "Unable to find document ";
inline constexpr const char* messageNoPdfViewer =
    "No program to show PDF files was found.\r\rThe help document is ";
inline constexpr const char* aboutText = "Quorvel Classic Calculator Simulator - v210118";
inline constexpr const char* applicationTitle = "Quorvel Simulator";
inline constexpr const char* windowCaption = "Quorvel";

// Where a window of the given client size stands when centred on the screen.
struct WindowPosition {
    int left = 0;
    int top = 0;
    friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};
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
