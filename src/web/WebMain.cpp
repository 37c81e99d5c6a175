// The page's entry points: plain C functions the script calls, and the page services the
// calculator calls back through the script's `Module.page` object.

#include <emscripten/emscripten.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "io/ScrambledFile.h"
#include "panel/KeyTable.h"
#include "web/WebCalculator.h"

using namespace quorvel;

EM_JS(void, pageShowError, (const char* text), { Module.page.showError(UTF8ToString(text)); });
EM_JS(void, pageShowInformation, (const char* text),
      { Module.page.showInformation(UTF8ToString(text)); });
EM_JS(int, pageConfirm, (const char* text),
      { return Module.page.confirm(UTF8ToString(text)) ? 1 : 0; });
EM_JS(void, pagePlaySound, (const char* name), { Module.page.playSound(UTF8ToString(name)); });
EM_JS(void, pageShowListing, (), { Module.page.showListing(); });
EM_JS(void, pagePrintRoll, (), { Module.page.printRoll(); });
EM_JS(void, pageShowSpeedDialog, (), { Module.page.showSpeedDialog(); });
EM_JS(void, pageSetClipboardText, (const char* text),
      { Module.page.setClipboardText(UTF8ToString(text)); });
EM_JS(void, pageDownloadText, (const char* name, const char* text),
      { Module.page.downloadText(UTF8ToString(name), UTF8ToString(text)); });
EM_JS(int, pageOpenDocument, (const char* path),
      { return Module.page.openDocument(UTF8ToString(path)) ? 1 : 0; });

namespace {

// The folder of the data files and the stored settings and roll in the page's file system.
constexpr const char* calculatorFolder = "/calc";

class BrowserPage : public PageServices {
  public:
    void showError(const std::string& text) override { pageShowError(text.c_str()); }
    void showInformation(const std::string& text) override { pageShowInformation(text.c_str()); }
    bool confirm(const std::string& text) override { return pageConfirm(text.c_str()) != 0; }
    void playSound(const std::string& name) override { pagePlaySound(name.c_str()); }
    void showListing() override { pageShowListing(); }
    void printRoll() override { pagePrintRoll(); }
    void showSpeedDialog() override { pageShowSpeedDialog(); }
    bool openDocument(const std::string& path) override {
        return pageOpenDocument(path.c_str()) != 0;
    }
    void setClipboardText(const std::string& text) override { pageSetClipboardText(text.c_str()); }
    void downloadText(const std::string& fileName, const std::string& text) override {
        pageDownloadText(fileName.c_str(), text.c_str());
    }
};

BrowserPage page;
std::unique_ptr<WebCalculator> calculator;
// Strings handed to the script stay valid until the next call that returns one.
std::string returned;

const char* give(std::string text) {
    returned = std::move(text);
    return returned.c_str();
}

bool readSheet(const std::string& path, Bitmap& sheet) {
    std::vector<unsigned char> bytes;
    return readWholeFile(path, bytes) && decodePng(bytes, sheet);
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int qv_start() {
    calculator = std::make_unique<WebCalculator>(calculatorFolder, page);
    Bitmap sheet;
    readSheet(std::string(calculatorFolder) + "/parts.png", sheet);
    return calculator->start(sheet) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int qv_damaged_count() {
    return static_cast<int>(calculator->damagedFiles().size());
}
EMSCRIPTEN_KEEPALIVE const char* qv_damaged_name(int i) {
    return give(calculator->damagedFiles().at(static_cast<size_t>(i)));
}

EMSCRIPTEN_KEEPALIVE int qv_frame(double nowMs) {
    return calculator->frame(nowMs);
}

EMSCRIPTEN_KEEPALIVE int qv_face_width() {
    return calculator->width();
}
EMSCRIPTEN_KEEPALIVE int qv_face_height() {
    return calculator->height();
}
EMSCRIPTEN_KEEPALIVE const uint8_t* qv_face_pixels() {
    return calculator->faceRgba().data();
}

EMSCRIPTEN_KEEPALIVE int qv_pointer_down(int id, int x, int y, int button) {
    return calculator->pointerDown(id, x, y, button) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void qv_pointer_move(int id, int x, int y) {
    calculator->pointerMove(id, x, y);
}
EMSCRIPTEN_KEEPALIVE void qv_pointer_up(int id, int button) {
    calculator->pointerUp(id, button);
}
// 0 arrow, 1 pointing hand, 2 open hand.
EMSCRIPTEN_KEEPALIVE int qv_cursor_at(int x, int y) {
    return static_cast<int>(calculator->panel().face()[calculator->partAt(x, y)].cursor);
}
EMSCRIPTEN_KEEPALIVE const char* qv_hint_at(int x, int y) {
    return give(calculator->panel().face()[calculator->partAt(x, y)].hint);
}

// `text` is the character the key typed (the event's key when it is one character).
EMSCRIPTEN_KEEPALIVE void qv_key_down(int virtualKey, int shift, int control, int alt,
                                      const char* text) {
    calculator->keyDown(virtualKey, KeyModifiers{shift != 0, control != 0, alt != 0},
                        text ? text : "");
}
EMSCRIPTEN_KEEPALIVE int qv_paste(const char* text, int decimalSeparator) {
    calculator->setDecimalSeparator(decimalSeparator == ',' ? ',' : '.');
    return calculator->paste(text ? text : "") ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int qv_power_on() {
    return calculator->panel().powerIsOn() ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void qv_key_up(int virtualKey) {
    calculator->keyUp(virtualKey);
}
EMSCRIPTEN_KEEPALIVE void qv_press_key(int index) {
    calculator->pressKeyIndex(index);
}
EMSCRIPTEN_KEEPALIVE void qv_release_key() {
    calculator->releaseKeyIndex();
}

EMSCRIPTEN_KEEPALIVE int qv_key_count() {
    return keyCount;
}
// Edge 0 left, 1 top, 2 right, 3 bottom of a key on the face.
EMSCRIPTEN_KEEPALIVE int qv_key_edge(int index, int edge) {
    const KeyRect& r = keyTable.at(static_cast<size_t>(index)).face;
    const int edges[] = {r.left, r.top, r.right, r.bottom};
    return edges[edge & 3];
}
EMSCRIPTEN_KEEPALIVE const char* qv_key_legend(int index) {
    return give(keyTable.at(static_cast<size_t>(index)).legend);
}
// Edge of a part as it is shown now (0 left, 1 top, 2 width, 3 height), the part's visibility
// for 4.
EMSCRIPTEN_KEEPALIVE int qv_part_edge(int part, int edge) {
    const ImageComponent& c = calculator->panel().face()[static_cast<FacePart>(part)];
    const int values[] = {c.left, c.top, c.width, c.height, c.visible ? 1 : 0};
    return values[edge < 0 || edge > 4 ? 0 : edge];
}

EMSCRIPTEN_KEEPALIVE int qv_press_keys(const char* names) {
    std::vector<int> keys;
    const bool known = parseKeyNames(names, keys);
    calculator->switchOn();
    calculator->pressKeysWhenReady(keys);
    return known ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void qv_queue_key(int index) {
    if (index >= 0 && index < keyCount) calculator->pressKeysWhenReady({index});
}
EMSCRIPTEN_KEEPALIVE void qv_feed() {
    calculator->feed();
}
EMSCRIPTEN_KEEPALIVE int qv_keys_pending() {
    return calculator->scriptedKeysPending() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* qv_display_text() {
    return give(calculator->displayText());
}
EMSCRIPTEN_KEEPALIVE const char* qv_legend_caption() {
    return give(calculator->keyLegendCaption());
}

EMSCRIPTEN_KEEPALIVE void qv_switch_label(int part) {
    calculator->switchLabelClick(static_cast<FacePart>(part));
}
// 0 power, 1 print mode, 2 angle: the position's index (OFF ON; MAN ALL NORM; DEG GRD RAD).
EMSCRIPTEN_KEEPALIVE int qv_switch_position(int which) {
    const MainPanel& panel = calculator->panel();
    if (which == 0) return panel.powerIsOn() ? 1 : 0;
    if (which == 1) return static_cast<int>(panel.printModePosition());
    return static_cast<int>(panel.anglePosition());
}

EMSCRIPTEN_KEEPALIVE int qv_roll_size() {
    return calculator->rollSize();
}
EMSCRIPTEN_KEEPALIVE const char* qv_roll_text() {
    std::string text;
    for (const std::string& line : calculator->rollCharacters()) text += line + "\n";
    return give(text);
}

EMSCRIPTEN_KEEPALIVE int qv_menu_checked(int command) {
    return calculator->menuChecked(static_cast<MenuCommand>(command)) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void qv_menu_command(int command) {
    calculator->menuCommand(static_cast<MenuCommand>(command));
}
EMSCRIPTEN_KEEPALIVE void qv_discard_roll() {
    calculator->discardRoll();
}

EMSCRIPTEN_KEEPALIVE void qv_speed_open() {
    calculator->speedDialog().FormActivate();
}
EMSCRIPTEN_KEEPALIVE void qv_speed_scroll(int bar, int position) {
    if (bar == 0) {
        calculator->speedDialog().longSBScroll(position, true);
    } else {
        calculator->speedDialog().shortSBScroll(position, true);
    }
}
EMSCRIPTEN_KEEPALIVE void qv_speed_default() {
    calculator->speedDialog().defButtClick();
}
EMSCRIPTEN_KEEPALIVE void qv_speed_close(int cancelled) {
    if (cancelled) calculator->speedDialog().canBitBtnClick();
    calculator->speedDialog().FormClose();
}
// 0 long thumb, 1 short thumb, 2..5 the bars' minimum and maximum.
EMSCRIPTEN_KEEPALIVE int qv_speed_value(int which) {
    switch (which) {
        case 0: return calculator->speedDialog().longThumb();
        case 1: return calculator->speedDialog().shortThumb();
        case 2: return leftSpeedMinimum;
        case 3: return leftSpeedMaximum;
        case 4: return rightSpeedMinimum;
        default: return rightSpeedMaximum;
    }
}

EMSCRIPTEN_KEEPALIVE void qv_save_state() {
    calculator->saveState();
}

}  // extern "C"
