#include "panel/WindowCommands.h"

namespace quorvel {

const std::vector<MenuItem>& popupMenuItems() {
    static const std::vector<MenuItem> items = {
        {"Sound1", "Sounds", MenuCommand::sounds, true},
        {"LowPower1", "Low Battery Display", MenuCommand::lowBattery, true},
        {"ShowKeyLegend1", "Calculator Key Legend", MenuCommand::keyLegend, true},
        {"N1", "-", MenuCommand::separator, false},
        {"ViewRoll1", "View Roll", MenuCommand::viewRoll, false},
        {"PrintRoll1", "Print Roll", MenuCommand::printRoll, false},
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
