// Draws the program's pictures from the key map: the face, the sheet of the pictures laid
// over it (pressed keys, switch positions, labels, display glass, paper roll, print head
// and the small parts), the two hand cursors, the program's icon and the pictures of the
// roll windows' buttons.
//
//   make-pictures KEYMAP REGULAR-FONT BOLD-FONT OUTPUT-FOLDER

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "KeyMapSource.h"
#include "PictureCanvas.h"
#include "io/ScrambledFile.h"
#include "panel/DisplayRenderer.h"
#include "panel/FaceLayout.h"
#include "panel/KeyTable.h"

using namespace quorvel;
using namespace quorvel::pictures;

namespace {

constexpr int faceWidth = 654;
constexpr int faceHeight = 480;

// Colours of the calculator.
constexpr Rgb caseUpper{62, 64, 69};
constexpr Rgb caseLower{40, 41, 45};
constexpr Rgb caseHighlight{104, 106, 112};
constexpr Rgb caseShadow{22, 22, 24};
constexpr Rgb gold{226, 176, 74};
constexpr Rgb labelText{222, 222, 226};
constexpr Rgb captionText{150, 152, 158};
constexpr Rgb ivory{234, 228, 212};
constexpr Rgb ink{30, 30, 32};
constexpr Rgb functionKey{78, 80, 87};
constexpr Rgb operatorKey{122, 124, 132};
constexpr Rgb white{255, 255, 255};
constexpr Rgb glassUpper{44, 12, 14};
constexpr Rgb glassLower{26, 7, 9};
constexpr Rgb wellUpper{20, 20, 22};
constexpr Rgb wellLower{38, 38, 42};

// The outline of the calculator: the body with the printer rising at its right.
const Box lowerBody{6, 126, 648, 476};
const Box printerTower{400, 0, 648, 200};

bool insideBody(double x, double y) {
    return insideRoundBox(lowerBody, 16, x, y) || insideRoundBox(printerTower, 14, x, y);
}

Box boxOf(const KeyRect& r) {
    return {double(r.left), double(r.top), double(r.right), double(r.bottom)};
}

// Pixels per face pixel of the pictures being drawn (1 or 2).
int scale() {
    return static_cast<int>(drawingScale());
}

// A picture of a size in face pixels, at the drawing scale.
Bitmap canvas(int width, int height, Rgb colour) {
    return Bitmap(width * scale(), height * scale(), colour);
}

// cropBitmap with the rectangle in face pixels.
Bitmap crop(const Bitmap& source, int x, int y, int width, int height) {
    const int s = scale();
    return cropBitmap(source, x * s, y * s, width * s, height * s);
}

// Copies a picture into another with its top left corner at a place in face pixels.
void paste(Bitmap& target, const Bitmap& picture, int left, int top) {
    const int s = scale();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            target.setPixel(left * s + x, top * s + y, picture.pixel(x, y));
    }
}

struct Pictures {
    explicit Pictures(FontRaster& raster) : fonts(raster), keys(keyCount) {}

    FontRaster& fonts;
    std::vector<KeyMapEntry> keys;  // by key index
    Bitmap face = canvas(faceWidth, faceHeight, transparentFaceColour);
    Bitmap sheet;
    FaceImages images;
};

FontRaster::Style style(double size, bool bold = true) {
    FontRaster::Style s;
    s.size = size;
    s.bold = bold;
    return s;
}

// ---------------------------------------------------------------- the case

void drawCase(Pictures& p) {
    Bitmap& face = p.face;
    const Paint body = verticalGradient(0, faceHeight, caseUpper, caseLower);
    // Pixel centres in face pixels.
    const double s = scale();
    const auto at = [s](int pixel) { return (pixel + 0.5) / s; };
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            if (insideBody(at(x), at(y))) face.setPixel(x, y, body(x / s, y / s));
        }
    }
    // A bevel along the outline, two face pixels wide: light above and on the left, dark
    // below and on the right.
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            if (!insideBody(at(x), at(y))) continue;
            for (int d = 1; d <= 2 * s; ++d) {
                const double strength = d <= s ? 0.8 : 0.35;
                const double o = d / s;
                if (!insideBody(at(x), at(y) - o) || !insideBody(at(x) - o, at(y))) {
                    blendPixel(face, x, y, caseHighlight, strength);
                    break;
                }
                if (!insideBody(at(x), at(y) + o) || !insideBody(at(x) + o, at(y))) {
                    blendPixel(face, x, y, caseShadow, strength);
                    break;
                }
            }
        }
    }
}

// A panel sunk into the case: a dark rim above and on the left, a light one below.
void drawRecess(Bitmap& face, const Box& box, double radius, const Paint& inside) {
    fillRoundBox(face, box.moved(0, 1), radius, solid(caseHighlight), 0.5);
    fillRoundBox(face, box, radius, solid(caseShadow));
    fillRoundBox(face, box.inset(1, 1).moved(0, 0.5), radius - 1, inside);
}

void drawNamePlate(Pictures& p) {
    const Box plate{20, 136, 390, 168};
    fillRoundBox(p.face, plate.moved(0, 1), 4, solid(caseShadow), 0.6);
    fillRoundBox(p.face, plate, 4,
                 verticalGradient(plate.top, plate.bottom, {206, 208, 212}, {156, 158, 163}));
    // brushed lines
    for (int y = int(plate.top) + 2; y < int(plate.bottom) - 1; y += 2) {
        drawLine(p.face, plate.left + 3, y + 0.5, plate.right - 3, y + 0.5, 1, white, 0.08);
    }
    fillRoundBox(p.face, plate.inset(0, 0), 4, solid(white), 0.0);
    p.fonts.draw(p.face, plate.left + 12, 160, "QUORVEL", style(21), {36, 37, 41});
    const std::string model = "PRINTING SCIENTIFIC CALCULATOR";
    FontRaster::Style small = style(8.5);
    const double w = p.fonts.width(model, small);
    p.fonts.draw(p.face, plate.right - 12 - w, 157, model, small, {70, 72, 78});
}

// ---------------------------------------------------------------- display

constexpr int shiftLampWidth = 30;
constexpr int shiftLampHeight = 10;

FontRaster::Style shiftLampStyle() {
    return style(6.5);
}

void drawDisplayWindow(Pictures& p) {
    Bitmap& face = p.face;
    drawRecess(face, {42, 174, 312, 219}, 7, solid({18, 18, 20}));
    const Box glass{48, 180, 306, 213};
    fillRoundBox(face, glass, 3, verticalGradient(glass.top, glass.bottom, glassUpper, glassLower));
    // a faint sheen along the top of the glass
    fillRoundBox(face, {50, 181, 304, 186}, 2, verticalGradient(181, 186, {90, 40, 42}, glassUpper),
                 0.35);
    // the unlit low-battery lamp
    fillEllipse(face, {144, 185.5, 149, 190.5}, solid({64, 20, 21}));
    // the unlit SHIFT lamp: the word in dark glass
    p.fonts.drawCentred(face, shiftLampLeft + shiftLampWidth / 2.0,
                        shiftLampTop + shiftLampHeight / 2.0, "SHIFT", shiftLampStyle(),
                        {74, 26, 26});
}

// The lit SHIFT lamp over the glass under it: the word in the gold of the SHIFT key.
Bitmap litShiftLamp(Pictures& p) {
    Bitmap lamp = crop(p.face, shiftLampLeft, shiftLampTop, shiftLampWidth, shiftLampHeight);
    fillRoundBox(lamp, {0, 0.5, double(shiftLampWidth), shiftLampHeight - 0.5}, 4,
                 solid({255, 170, 40}), 0.18);
    p.fonts.drawCentred(lamp, shiftLampWidth / 2.0, shiftLampHeight / 2.0, "SHIFT",
                        shiftLampStyle(), {255, 196, 86});
    return lamp;
}

Bitmap litLamp(const Bitmap& face) {
    Bitmap lamp = crop(face, 141, 183, 11, 10);
    fillEllipse(lamp, {0.5, 0, 10.5, 10}, solid({255, 40, 30}), 0.25);
    fillEllipse(lamp, {2.5, 2.5, 8.5, 8.5}, solid({255, 46, 30}));
    fillEllipse(lamp, {4, 3.5, 6.5, 6}, solid({255, 190, 170}), 0.8);
    return lamp;
}

// ---------------------------------------------------------------- switches

constexpr int knobHeight = 14;

// One switch picture: a slot with the knob at `knobTop`, over the background under it.
Bitmap switchPicture(const Bitmap& background, int height, int knobTop) {
    Bitmap picture = background;
    fillRoundBox(picture, {7, 2, 16, double(height - 2)}, 3, solid({10, 10, 12}));
    fillRoundBox(picture, {8, 3, 15, double(height - 3)}, 2, solid({22, 22, 25}));
    const Box knob{2, double(knobTop), 21, double(knobTop + knobHeight)};
    fillRoundBox(picture, knob.moved(0, 1), 3, solid({0, 0, 0}), 0.5);
    fillRoundBox(picture, knob, 3,
                 verticalGradient(knob.top, knob.bottom, {222, 223, 227}, {128, 130, 136}));
    for (int i = 0; i < 3; ++i) {
        const double y = knob.top + 4.5 + i * 2.5;
        drawLine(picture, knob.left + 3, y, knob.right - 3, y, 1, {86, 88, 94}, 0.8);
    }
    return picture;
}

struct SwitchDesign {
    std::vector<FacePart> positions;
    SwitchPlace place;
    int height;
    std::vector<int> knobTops;
};

const std::vector<SwitchDesign>& switchDesigns() {
    static const std::vector<SwitchDesign> designs = {
        {{FacePart::offSWimage, FacePart::onSWimage}, powerSwitchPlace, 48, {1, 32}},
        {{FacePart::manSWimage, FacePart::allSWimage, FacePart::nrmSWimage},
         printModeSwitchPlace,
         65,
         {1, 26, 50}},
        {{FacePart::degSWimage, FacePart::grdSWimage, FacePart::radSWimage},
         angleSwitchPlace,
         65,
         {1, 25, 49}},
    };
    return designs;
}

struct LabelDesign {
    FacePart part;
    const char* text;
};

constexpr LabelDesign labelDesigns[] = {
    {FacePart::offImage, "OFF"}, {FacePart::onImage, "ON"},     {FacePart::manImage, "MAN"},
    {FacePart::allImage, "ALL"}, {FacePart::normImage, "NORM"}, {FacePart::degImage, "DEG"},
    {FacePart::grdImage, "GRD"}, {FacePart::radImage, "RAD"},
};

void drawSwitchPanel(Pictures& p) {
    Bitmap& face = p.face;
    drawRecess(face, {22, 222, 106, 452}, 6,
               verticalGradient(222, 452, {40, 41, 45}, {33, 34, 37}));
    p.fonts.drawCentred(face, 64, 292.5, "PRINT", style(7), captionText);
    p.fonts.drawCentred(face, 64, 371.5, "ANGLE", style(7), captionText);
    p.fonts.drawCentred(face, 64, 229, "POWER", style(7), captionText);

    for (const SwitchDesign& design : switchDesigns()) {
        const Bitmap background =
            crop(face, design.place.left, design.place.top, 23, design.height);
        for (size_t i = 0; i < design.positions.size(); ++i) {
            p.images[design.positions[i]].setPicture(
                switchPicture(background, design.height, design.knobTops[i]));
        }
        // the face shows the first position, as the switch stands before start-up
        paste(face, p.images[design.positions[0]].picture, design.place.left, design.place.top);
    }
    for (const LabelDesign& label : labelDesigns) {
        const ImageComponent& component = p.images[label.part];
        const FacePlace place = placeOf(label.part);
        p.fonts.drawCentred(face, place.left + component.width / 2.0,
                            place.top + component.height / 2.0, label.text, style(8.5), labelText);
    }
}

// ---------------------------------------------------------------- printer

// Sets a face pixel: every pixel of it at the drawing scale.
void setFacePixel(Bitmap& picture, int x, int y, Rgb colour) {
    const int s = scale();
    picture.fillRect(x * s, y * s, (x + 1) * s, (y + 1) * s, colour);
}

Bitmap freshPaper() {
    Bitmap paper = canvas(169, 212, white);
    const Paint well = verticalGradient(0, 169, wellUpper, wellLower);
    const double s = scale();
    for (int y = 0; y < 169 * s; ++y) {
        for (int x = 0; x < paper.width(); ++x) paper.setPixel(x, y, well(x / s, y / s));
    }
    // the torn edge: a ragged row, then paper with a soft shadow under the tear
    for (int x = 0; x < 169; ++x) {
        // a slow wave with a few fibres standing out, so the tear reads as torn
        const int wave = static_cast<int>(
            std::lround(2.5 + 2.5 * std::sin(x * 0.23) + 1.5 * std::sin(x * 0.71 + 1.3)));
        const bool fibre = wave >= 3 || (x * 29) % 11 == 0;
        setFacePixel(paper, x, 169, fibre ? Rgb{226, 226, 222} : well(x, 168));
        setFacePixel(paper, x, 170, wave >= 5 ? Rgb{206, 206, 202} : white);
    }
    return paper;
}

Bitmap printHead() {
    Bitmap head = canvas(28, 18, white);
    const Box body{0, 0, 28, 18};
    fillRoundBox(head, body, 3, solid({30, 31, 34}));
    fillRoundBox(head, body.inset(1, 1), 2, verticalGradient(1, 17, {112, 114, 120}, {54, 56, 61}));
    drawLine(head, 3, 1.5, 25, 1.5, 1, white, 0.35);
    // the heating element along the left edge, and two screws
    fillRoundBox(head, {2, 4, 5, 15}, 1, solid({150, 44, 30}));
    fillEllipse(head, {16, 5, 20, 9}, solid({40, 41, 44}));
    fillEllipse(head, {16, 10, 20, 14}, solid({40, 41, 44}));
    drawLine(head, 17, 7, 19, 7, 0.8, {150, 150, 156});
    drawLine(head, 17, 12, 19, 12, 0.8, {150, 150, 156});
    return head;
}

Bitmap paperEdge() {
    Bitmap edge = canvas(169, 2, {184, 186, 190});
    for (int x = 0; x < 169; ++x) setFacePixel(edge, x, 1, {92, 94, 98});
    return edge;
}

Bitmap platen() {
    return canvas(169, 2, {58, 58, 62});
}

void drawPrinter(Pictures& p) {
    Bitmap& face = p.face;
    // the opening through which the paper leaves the printer
    fillRoundBox(face, {414, 0, 597, 218}, 3, solid(caseShadow));
    fillRoundBox(face, {415, 0, 596, 217}, 3, solid({12, 12, 14}));
    paste(face, freshPaper(), 421, 2);
    paste(face, printHead(), 558, 196);
    paste(face, paperEdge(), 421, 197);

    // vents above the counter
    for (int i = 0; i < 9; ++i) {
        const double y = 24 + i * 12;
        fillRoundBox(face, {608, y, 642, y + 4}, 2, solid({20, 20, 22}));
        drawLine(face, 609, y + 4.5, 641, y + 4.5, 1, caseHighlight, 0.35);
    }
    // the line counter's window and the feed button
    p.fonts.drawCentred(face, 624, 142.5, "LINES", style(7), captionText);
    drawRecess(face, {607, 148, 641, 169}, 3, solid({10, 10, 12}));
    fillRoundBox(face, {610, 151, 638, 166}, 1,
                 verticalGradient(151, 166, {12, 12, 14}, {26, 26, 29}));

    drawRecess(face, {611, 172, 640, 197}, 4, solid({16, 16, 18}));
    const Box button{614, 175, 637, 194};
    fillRoundBox(face, button.moved(0, 1), 3, solid({0, 0, 0}), 0.6);
    fillRoundBox(face, button, 3, verticalGradient(175, 194, {214, 215, 219}, {146, 148, 154}));
    fillPolygon(face, {{625.5, 179}, {631, 187}, {620, 187}}, {46, 47, 52});
    drawLine(face, 620, 189.5, 631, 189.5, 1.4, {46, 47, 52});
    p.fonts.drawCentred(face, 625.5, 204, "FEED", style(7), captionText);
}

// ---------------------------------------------------------------- keys

struct KeyStyle {
    Rgb top;
    Rgb legend;
};

KeyStyle keyStyle(int index) {
    if (index == 0) return {gold, ink};
    if ((index >= 17 && index <= 27) || index == 13) return {ivory, ink};
    if (index == 28 || index == 30 || index == 32 || index == 34) return {operatorKey, white};
    return {functionKey, white};
}

// Splits "PRINT x" into its words when one line would be too small.
std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t space = text.find(' ', start);
        out.push_back(
            text.substr(start, space == std::string::npos ? std::string::npos : space - start));
        if (space == std::string::npos) break;
        start = space + 1;
    }
    return out;
}

void drawKeyLegend(Pictures& p, Bitmap& target, const Box& top, const std::string& legend,
                   Rgb colour) {
    // digits and the one-character operators stand out; words fit the key
    const bool single = decodeUtf8(legend).size() == 1;
    const double preferred = single ? 15 : (top.width() > 40 ? 12 : 11);
    const double room = top.width() - 4;
    FontRaster::Style s = p.fonts.fit(legend, style(preferred), room, 9, 0.85);
    const std::vector<std::string> parts = words(legend);
    const double cx = (top.left + top.right) / 2, cy = (top.top + top.bottom) / 2;
    if (p.fonts.width(legend, s) > room && parts.size() == 2) {
        FontRaster::Style small = style(9);
        p.fonts.drawCentred(target, cx, cy - 5, parts[0], p.fonts.fit(parts[0], small, room, 7),
                            colour);
        p.fonts.drawCentred(target, cx, cy + 6, parts[1], p.fonts.fit(parts[1], small, room, 7),
                            colour);
        return;
    }
    p.fonts.drawCentred(target, cx, cy, legend, p.fonts.fit(legend, s, room, 9), colour);
}

// A key with its skirt, its top face and its legend, inside the rectangle.
void drawKey(Pictures& p, Bitmap& target, const Box& box, int index, bool pressed) {
    const KeyStyle ks = keyStyle(index);
    fillRoundBox(target, box, 4,
                 verticalGradient(box.top, box.bottom, shade(ks.top, pressed ? 0.42 : 0.62),
                                  shade(ks.top, pressed ? 0.30 : 0.42)));
    const Box top = pressed ? Box{box.left + 2, box.top + 3, box.right - 2, box.bottom - 2}
                            : Box{box.left + 2, box.top + 1, box.right - 2, box.bottom - 4};
    const double light = pressed ? 0.84 : 1.0;
    fillRoundBox(target, top, 3,
                 verticalGradient(top.top, top.bottom, shade(shade(ks.top, 1.10), light),
                                  shade(shade(ks.top, 0.93), light)));
    if (!pressed)
        drawLine(target, top.left + 3, top.top + 0.5, top.right - 3, top.top + 0.5, 1, white, 0.3);
    drawKeyLegend(p, target, top, p.keys[index].legend,
                  pressed ? shade(ks.legend, ks.legend == white ? 0.88 : 1.0) : ks.legend);
}

void drawKeys(Pictures& p) {
    Bitmap butts = canvas(429, 233, caseLower);
    for (int i = 0; i < keyCount; ++i) {
        const KeyEntry& key = keyTable[i];
        const Box faceBox = boxOf(key.face);
        // shadow on the case below the key
        fillRoundBox(p.face, faceBox.moved(0, 2), 4, solid({0, 0, 0}), 0.35);
        // the pressed picture lies over the same background as the key on the face
        const Bitmap background =
            crop(p.face, key.face.left, key.face.top, key.face.width(), key.face.height());
        paste(butts, background, key.picture.left, key.picture.top);
        // drawn at the key's own size: a few picture rectangles are a row taller
        drawKey(p, butts,
                Box{double(key.picture.left), double(key.picture.top),
                    double(key.picture.left + key.face.width()),
                    double(key.picture.top + key.face.height())},
                i, true);
        drawKey(p, p.face, faceBox, i, false);

        const std::string& shifted = p.keys[i].shiftedLegend;
        if (!shifted.empty()) {
            const double room = key.face.width() + 12;
            FontRaster::Style s = p.fonts.fit(shifted, style(8.5), room, 7.5);
            const double w = p.fonts.width(shifted, s);
            p.fonts.draw(p.face, std::round((key.face.left + key.face.right) / 2.0 - w / 2),
                         key.face.top - 4, shifted, s, gold);
        }
    }
    p.images[FacePart::buttsImage].setPicture(butts);
}

// ---------------------------------------------------------------- the sheet

void buildSheet(Pictures& p) {
    FaceImages& images = p.images;
    const FacePlace display = placeOf(FacePart::dispImage);
    images[FacePart::maskImage].setPicture(
        crop(p.face, display.left, display.top, displayImageWidth, displayImageHeight));
    images[FacePart::paper97Image].setPicture(freshPaper());
    images[FacePart::prnHdImage].setPicture(printHead());
    images[FacePart::pledgeImage].setPicture(paperEdge());
    images[FacePart::platenImage].setPicture(platen());
    const FacePlace counter = placeOf(FacePart::pcntImage);
    images[FacePart::pcntBaseImage].setPicture(crop(p.face, counter.left, counter.top, 28, 15));
    const FacePlace feed = placeOf(FacePart::printFeedImage);
    images[FacePart::printFeedImage].setPicture(crop(p.face, feed.left, feed.top, 23, 19));
    images[FacePart::pfLEDImage].setPicture(litLamp(p.face));
    images[FacePart::shiftLampImage].setPicture(litShiftLamp(p));
    for (const LabelDesign& label : labelDesigns) {
        ImageComponent& component = images[label.part];
        const FacePlace place = placeOf(label.part);
        component.setPicture(
            crop(p.face, place.left, place.top, component.width, component.height));
    }

    int width = 0, height = 0;
    panelPictureSheetSize(width, height);
    p.sheet = canvas(width, height, transparentFaceColour);
    for (const SheetRect& rect : panelPictureSheet()) {
        paste(p.sheet, images[rect.part].picture, rect.x, rect.y);
    }
}

// ---------------------------------------------------------------- cursors and icon

// A hand at 32 x 32 with its hot spot at (16, 14), drawn eight times larger.
Bitmap handCursor(bool closed) {
    constexpr int scale = 8;
    Bitmap big(32 * scale, 32 * scale, transparentFaceColour);
    struct Part {
        Box box;
        double radius;
    };
    std::vector<Part> parts;
    if (closed) {
        parts = {{{8, 12, 24, 27}, 4},        {{9, 9, 12.8, 15}, 1.9},
                 {{12.6, 8, 16.4, 15}, 1.9},  {{16.2, 8.5, 20, 15}, 1.9},
                 {{19.8, 10, 23.4, 15}, 1.8}, {{5, 15, 10, 20}, 2.4}};
    } else {
        parts = {{{8, 14, 24, 28}, 4},       {{9, 5, 12.6, 17}, 1.8},    {{12.8, 3, 16.4, 17}, 1.8},
                 {{16.6, 4, 20.2, 17}, 1.8}, {{20.4, 7, 23.8, 18}, 1.7}, {{3, 13, 8, 17}, 2.2},
                 {{5, 15, 10, 23}, 2.4}};
    }
    auto fill = [&](double grow, Rgb colour) {
        for (const Part& part : parts) {
            const Box b = part.box.inset(-grow, -grow);
            fillRoundBoxHard(big,
                             {b.left * scale, b.top * scale, b.right * scale, b.bottom * scale},
                             (part.radius + grow) * scale, solid(colour));
        }
    };
    fill(1.0, {0, 0, 0});
    fill(0.0, white);
    return big;
}

Bitmap icon() {
    constexpr int scale = 4;
    const int size = 128 * scale;
    Bitmap big(size, size, transparentFaceColour);
    auto box = [](double l, double t, double r, double b) {
        return Box{l * scale, t * scale, r * scale, b * scale};
    };
    fillRoundBoxHard(big, box(8, 30, 120, 122), 12 * scale,
                     verticalGradient(30 * scale, 122 * scale, caseUpper, caseLower));
    fillRoundBoxHard(big, box(60, 6, 120, 50), 10 * scale,
                     verticalGradient(6 * scale, 50 * scale, caseUpper, caseUpper));
    fillRoundBoxHard(big, box(66, 2, 112, 40), 2 * scale, solid(white));
    for (int i = 0; i < 3; ++i) {
        fillRoundBoxHard(big, box(72, 10 + i * 9, 106, 13 + i * 9), 1 * scale, solid({70, 5, 177}));
    }
    fillRoundBoxHard(big, box(16, 40, 70, 56), 3 * scale, solid(glassLower));
    for (int i = 0; i < 3; ++i) {
        fillRoundBoxHard(big, box(24 + i * 14, 44, 33 + i * 14, 52), 1 * scale,
                         solid({230, 20, 10}));
    }
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 5; ++column) {
            const Rgb colour =
                column >= 2 && column <= 3 ? ivory : (row == 0 && column == 0 ? gold : functionKey);
            const double l = 16 + column * 20.5, t = 64 + row * 14.5;
            fillRoundBoxHard(big, box(l, t, l + 16, t + 11), 2.5 * scale, solid(colour));
        }
    }
    return big;
}

// ---------------------------------------------------------------- button pictures

// The buttons of the listing window and the speed dialog, drawn eight times larger with hard
// edges in the key colour, which the reduction turns into smooth edges and transparency.
constexpr int buttonScale = 8;

struct ButtonCanvas {
    explicit ButtonCanvas(int size)
        : big(size * buttonScale, size * buttonScale, transparentFaceColour) {}
    Bitmap big;

    Box box(double l, double t, double r, double b) const {
        return {l * buttonScale, t * buttonScale, r * buttonScale, b * buttonScale};
    }
    void roundBox(double l, double t, double r, double b, double radius, const Paint& paint) {
        fillRoundBoxHard(big, box(l, t, r, b), radius * buttonScale, paint);
    }
    // A box with a border of `edge` units in `outline`.
    void framedBox(double l, double t, double r, double b, double radius, double edge, Rgb outline,
                   const Paint& inside) {
        roundBox(l, t, r, b, radius, solid(outline));
        roundBox(l + edge, t + edge, r - edge, b - edge, std::max(0.0, radius - edge), inside);
    }
    // Every pixel whose centre lies within width/2 of the polyline.
    void stroke(const std::vector<std::pair<double, double>>& points, double width, Rgb colour) {
        const double half = width / 2;
        for (int y = 0; y < big.height(); ++y) {
            for (int x = 0; x < big.width(); ++x) {
                const double px = (x + 0.5) / buttonScale, py = (y + 0.5) / buttonScale;
                for (size_t i = 0; i + 1 < points.size(); ++i) {
                    const auto [ax, ay] = points[i];
                    const auto [bx, by] = points[i + 1];
                    const double dx = bx - ax, dy = by - ay;
                    const double t = std::clamp(
                        ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                    if (std::hypot(px - ax - t * dx, py - ay - t * dy) <= half) {
                        big.setPixel(x, y, colour);
                        break;
                    }
                }
            }
        }
    }
    // A convex polygon, corners in order.
    void polygon(const std::vector<std::pair<double, double>>& points, const Paint& paint) {
        for (int y = 0; y < big.height(); ++y) {
            for (int x = 0; x < big.width(); ++x) {
                const double px = (x + 0.5) / buttonScale, py = (y + 0.5) / buttonScale;
                bool inside = true;
                for (size_t i = 0; i < points.size() && inside; ++i) {
                    const auto [ax, ay] = points[i];
                    const auto [bx, by] = points[(i + 1) % points.size()];
                    inside = (bx - ax) * (py - ay) - (by - ay) * (px - ax) >= 0;
                }
                if (inside) big.setPixel(x, y, paint(x + 0.5, y + 0.5));
            }
        }
    }
};

constexpr Rgb buttonOutline{52, 54, 60};
constexpr Rgb rollInk{70, 5, 177};

// Clearing the listing: a waste bin.
Bitmap clearButtonPicture() {
    ButtonCanvas c(22);
    const double s = buttonScale;
    c.framedBox(8, 1, 14, 4, 1, 0.9, buttonOutline, solid({150, 152, 160}));
    c.polygon({{4, 6.2}, {18, 6.2}, {16.2, 21}, {5.8, 21}}, solid(buttonOutline));
    c.polygon({{5.1, 7}, {16.9, 7}, {15.3, 20}, {6.7, 20}},
              verticalGradient(7 * s, 20 * s, {196, 198, 204}, {132, 134, 142}));
    for (double x : {8.6, 11.0, 13.4}) c.stroke({{x, 9.5}, {x, 18}}, 1.0, {98, 100, 108});
    c.framedBox(2.5, 3.6, 19.5, 7, 1.2, 0.9, buttonOutline,
                verticalGradient(3.6 * s, 7 * s, {214, 216, 222}, {160, 162, 170}));
    return c.big;
}

// Printing the roll: a printer with a sheet of printed lines coming out.
Bitmap printButtonPicture() {
    ButtonCanvas c(22);
    const double s = buttonScale;
    c.framedBox(5.5, 1, 16.5, 9, 0.5, 0.9, buttonOutline, solid(white));
    c.framedBox(1.5, 7.5, 20.5, 17, 2, 1, buttonOutline,
                verticalGradient(7.5 * s, 17 * s, {188, 190, 198}, {112, 114, 122}));
    c.roundBox(4.5, 11.5, 17.5, 13.2, 0.5, solid({40, 41, 46}));
    c.roundBox(16.6, 9.2, 18.6, 10.6, 0.4, solid({60, 200, 80}));
    c.framedBox(5.5, 12.5, 16.5, 21.5, 0.5, 0.9, buttonOutline, solid(white));
    for (double y : {15.0, 17.2, 19.4})
        c.stroke({{7.3, y}, {y == 19.4 ? 12.0 : 14.7, y}}, 1.0, rollInk);
    return c.big;
}

// OK: a green tick.
Bitmap okButtonPicture() {
    ButtonCanvas c(16);
    const std::vector<std::pair<double, double>> tick = {{2.6, 8.4}, {6.2, 12.2}, {13.4, 3.4}};
    c.stroke(tick, 3.6, {20, 92, 30});
    c.stroke(tick, 2.2, {52, 170, 64});
    return c.big;
}

// Cancel: a red cross.
Bitmap cancelButtonPicture() {
    ButtonCanvas c(16);
    for (const double width : {3.6, 2.2}) {
        const Rgb colour = width > 3 ? Rgb{128, 18, 18} : Rgb{214, 44, 40};
        c.stroke({{3.6, 3.6}, {12.4, 12.4}}, width, colour);
        c.stroke({{12.4, 3.6}, {3.6, 12.4}}, width, colour);
    }
    return c.big;
}

// ---------------------------------------------------------------- key legend

// The PC key's name on a tag: short enough for the smallest key.
std::string tagName(const std::string& pcKey) {
    if (pcKey == "Back Space") return "Bksp";
    if (pcKey == "ENTER") return "Enter";
    if (pcKey == "SHIFT") return "Shift";
    return pcKey;
}

// What the Key Legend shows over the face: on each key a tag with its PC key and, for a
// key with a shifted function, the PC key with Shift held ("⇧Q") in the gold of the
// shifted legends. Drawn twice as large with hard edges around the tags, for the reduction
// to smooth them; everything outside the tags is the see-through colour.
Bitmap keyLegendPicture(Pictures& p) {
    const DrawingScale doubled(2 * scale());
    Bitmap legend = canvas(faceWidth, faceHeight, transparentFaceColour);
    const double s = drawingScale();
    constexpr double tagHeight = 8;
    constexpr double gap = 3;
    const FontRaster::Style text = style(6.5);
    for (int i = 0; i < keyCount; ++i) {
        const KeyRect& key = keyTable[i].face;
        const KeyMapEntry& entry = p.keys[i];
        const std::string plain = tagName(entry.pcKey);
        const std::string shifted = entry.shiftedLegend.empty() ? "" : "\xe2\x87\xa7" + plain;
        const double room = key.width() + 10.0;
        double plainWidth = p.fonts.width(plain, text);
        double shiftedWidth = shifted.empty() ? 0 : p.fonts.width(shifted, text);
        double total = plainWidth + (shifted.empty() ? 0 : gap + shiftedWidth);
        FontRaster::Style fitted = text;
        if (total > room) {
            fitted.condense = std::max(0.6, room / total);
            plainWidth *= fitted.condense;
            shiftedWidth *= fitted.condense;
            total *= fitted.condense;
        }
        const double centre = (key.left + key.right) / 2.0;
        // on the key's skirt, below its legend: the shifted legends above the next row
        // stay free
        const Box tag{std::round(centre - total / 2 - 3), key.bottom - tagHeight,
                      std::round(centre + total / 2 + 3), double(key.bottom)};
        fillRoundBoxHard(legend, {tag.left * s, tag.top * s, tag.right * s, tag.bottom * s}, 3 * s,
                         solid({16, 16, 18}));
        const double baseline = tag.bottom - (tagHeight - p.fonts.capHeight(fitted)) / 2;
        p.fonts.draw(legend, tag.left + 3, baseline, plain, fitted, white);
        if (!shifted.empty()) {
            p.fonts.draw(legend, tag.left + 3 + plainWidth + gap, baseline, shifted, fitted, gold);
        }
    }
    return legend;
}

bool write(const std::string& path, const Bitmap& picture) {
    if (savePng(path, picture)) return true;
    std::cerr << "make-pictures: cannot write " << path << "\n";
    return false;
}

// The face, the sheet of its parts and the key legend at one scale; the 2x files carry
// "@2x" in their names.
bool drawFacePictures(FontRaster& fonts, const std::vector<KeyMapEntry>& entries, int factor,
                      const std::string& folder) {
    const DrawingScale drawing(factor);
    Pictures p(fonts);
    for (const KeyMapEntry& entry : entries) p.keys[entry.index] = entry;

    drawCase(p);
    drawNamePlate(p);
    drawDisplayWindow(p);
    drawSwitchPanel(p);
    drawPrinter(p);
    drawKeys(p);
    buildSheet(p);

    const std::string suffix = factor == 1 ? ".png" : "@2x.png";
    return write(folder + "/face" + suffix, p.face) && write(folder + "/parts" + suffix, p.sheet) &&
           savePngWithAlpha(folder + "/key-legend" + suffix, keyLegendPicture(p),
                            transparentFaceColour, 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: make-pictures KEYMAP REGULAR-FONT BOLD-FONT OUTPUT-FOLDER\n";
        return 1;
    }
    std::vector<KeyMapEntry> entries;
    std::string problem;
    if (!readKeyMap(argv[1], entries, problem)) {
        std::cerr << "make-pictures: " << problem << "\n";
        return 1;
    }
    FontRaster fonts(argv[2], argv[3]);
    if (!fonts.ok()) {
        std::cerr << "make-pictures: cannot load the fonts " << argv[2] << " and " << argv[3]
                  << "\n";
        return 1;
    }
    const std::string folder = argv[4];

    bool ok =
        drawFacePictures(fonts, entries, 1, folder) && drawFacePictures(fonts, entries, 2, folder);
    ok = ok &&
         savePngWithAlpha(folder + "/cursor-open.png", handCursor(false), transparentFaceColour, 8);
    ok = ok && savePngWithAlpha(folder + "/cursor-closed.png", handCursor(true),
                                transparentFaceColour, 8);
    ok = ok && savePngWithAlpha(folder + "/quorvel.png", icon(), transparentFaceColour, 4);
    const std::pair<const char*, Bitmap> buttons[] = {
        {"button-clear.png", clearButtonPicture()},
        {"button-print.png", printButtonPicture()},
        {"button-ok.png", okButtonPicture()},
        {"button-cancel.png", cancelButtonPicture()},
    };
    for (const auto& [name, picture] : buttons) {
        ok = ok &&
             savePngWithAlpha(folder + "/" + name, picture, transparentFaceColour, buttonScale);
    }
    if (!ok) {
        std::cerr << "make-pictures: cannot write the pictures into " << folder << "\n";
        return 1;
    }
    return 0;
}
