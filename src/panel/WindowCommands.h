#pragma once

#include <string>
#include <vector>

#include "platform/WindowGeometry.h"

namespace quorvel {

// The items of the pop-up menu, in their order.
enum class MenuCommand {
    copy,
    paste,
    sounds,
    lowBattery,
    keyLegend,
    viewRoll,
    printRoll,
    discardRoll,
    printHeadSpeed,
    saveRollText,
    fast,
    // A submenu of the zooms the window offers (zoomChoices).
    zoom,
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
// Shown inside the program; the PDF beside it is for printing and other viewers.
inline constexpr const char* helpPageName = "Quorvelhelp.html";
inline constexpr const char* messageNoHelpDocument = "Unable to find document ";
inline constexpr const char* messageNoPdfViewer =
    "No program to show PDF files was found.\r\rThe help document is ";
inline constexpr const char* aboutText = "Quorvel Classic Calculator Simulator - v210118";
inline constexpr const char* applicationTitle = "Quorvel Simulator";
inline constexpr const char* windowCaption = "Quorvel";

}  // namespace quorvel
