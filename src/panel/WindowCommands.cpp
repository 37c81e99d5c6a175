#include "panel/WindowCommands.h"

namespace quorvel {

const std::vector<MenuItem>& popupMenuItems() {
    static const std::vector<MenuItem> items = {
        {"Copy1", "Copy\tCtrl+C", MenuCommand::copy, false},
        {"Paste1", "Paste\tCtrl+V", MenuCommand::paste, false},
        {"N0", "-", MenuCommand::separator, false},
        {"Sound1", "Sounds", MenuCommand::sounds, true},
        {"Fast1", "Fast", MenuCommand::fast, true},
        {"LowPower1", "Low Battery Display", MenuCommand::lowBattery, true},
        {"ShowKeyLegend1", "Calculator Key Legend", MenuCommand::keyLegend, true},
        {"Zoom1", "Zoom", MenuCommand::zoom, false},
        {"N1", "-", MenuCommand::separator, false},
        {"ViewRoll1", "View Roll", MenuCommand::viewRoll, false},
        {"PrintRoll1", "Print Roll", MenuCommand::printRoll, false},
        {"SaveRollText1", "Save Roll as Text\u2026", MenuCommand::saveRollText, false},
        {"DiscardRoll1", "Discard Used Roll", MenuCommand::discardRoll, false},
        {"PrintHeadSpeed1", "Print Head Speed", MenuCommand::printHeadSpeed, false},
        {"N2", "-", MenuCommand::separator, false},
        {"Help1", "Help", MenuCommand::help, false},
        {"About1", "About", MenuCommand::about, false},
        {"N3", "-", MenuCommand::separator, false},
        {"Minimize1", "Minimize", MenuCommand::minimize, false},
        {"Close1", "Close    (Esc)", MenuCommand::close, false},
    };
    return items;
}

}  // namespace quorvel
