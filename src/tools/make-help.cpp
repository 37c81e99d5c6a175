// Writes the help document Quorvelhelp.pdf from its rich-text source, the key map and the
// face picture. Runs without a display.
//
//   make-help SOURCE.html KEYMAP FACE.png OUTPUT.pdf [OUTPUT.html]
//
// With OUTPUT.html it also writes the filled page the program shows in its help window,
// and the face beside it as OUTPUT-face.png.

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "KeyMapSource.h"
#include "panel/FaceLayout.h"
#include "panel/KeyTable.h"

using namespace quorvel;

namespace {

QString escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString cell(const std::string& text, bool bold = false) {
    const QString content = text.empty() ? QStringLiteral("&nbsp;") : escaped(text);
    return bold ? "<td><b>" + content + "</b></td>" : "<td>" + content + "</td>";
}

// The calculator keys of the key map, one row each.
QString keyRows(const std::vector<KeyMapEntry>& entries) {
    QString rows;
    for (const KeyMapEntry& key : entries) {
        rows += "<tr>" + cell(key.legend, true) + cell(key.pcKey) + cell(key.function) +
                cell(key.mnemonic);
        rows +=
            "<td><span class=\"gold\">" +
            (key.shiftedLegend.empty() ? QStringLiteral("&nbsp;") : escaped(key.shiftedLegend)) +
            "</span></td>";
        rows += cell(key.shiftedFunction) + cell(key.shiftedMnemonic) + "</tr>\n";
    }
    return rows;
}

// How a PC key that the keyboard mapping takes is called on the keyboard.
std::string pcKeyName(int virtualKey) {
    if (virtualKey >= '0' && virtualKey <= '9') return std::string(1, char(virtualKey));
    if (virtualKey >= 'A' && virtualKey <= 'Z') return std::string(1, char(virtualKey));
    if (virtualKey >= vkNumpad0 && virtualKey <= vkNumpad0 + 9) {
        return "keypad " + std::to_string(virtualKey - vkNumpad0);
    }
    switch (virtualKey) {
        case vkBack: return "Backspace";
        case vkReturn: return "Enter";
        case vkMultiply: return "keypad *";
        case vkAdd: return "keypad +";
        case vkOemPlus: return "= +";
        case vkSubtract: return "keypad -";
        case vkOemMinus: return "- _";
        case vkDecimal: return "keypad .";
        case vkOemPeriod: return ". >";
        case vkDivide: return "keypad /";
        case vkOem2: return "/ ?";
        default: return "key " + std::to_string(virtualKey);
    }
}

// The PC keys of every calculator key, in the order of the key table.
QString keyboardRows(const std::vector<KeyMapEntry>& entries) {
    std::map<int, std::vector<std::string>> pcKeys;
    for (int vk = 1; vk < 256; ++vk) {
        const int index = keyIndexForVirtualKey(vk, KeyModifiers{});
        if (index >= 0) pcKeys[index].push_back(pcKeyName(vk));
    }
    std::vector<std::string> legends(keyCount);
    for (const KeyMapEntry& entry : entries) legends[entry.index] = entry.legend;
    QString rows;
    for (const auto& [index, names] : pcKeys) {
        std::string list;
        for (const std::string& name : names) list += (list.empty() ? "" : ",  ") + name;
        rows += "<tr>" + cell(list, true) + cell(legends[index]) + "</tr>\n";
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 5 && argc != 6) {
        std::cerr << "usage: make-help SOURCE.html KEYMAP FACE.png OUTPUT.pdf\n";
        return 1;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::cerr << "make-help: cannot read " << argv[1] << "\n";
        return 1;
    }
    QString html = QString::fromUtf8(source.readAll());
    std::vector<KeyMapEntry> entries;
    std::string problem;
    if (!readKeyMap(argv[2], entries, problem)) {
        std::cerr << "make-help: " << problem << "\n";
        return 1;
    }
    QImage face(QString::fromLocal8Bit(argv[3]));
    if (face.isNull()) {
        std::cerr << "make-help: cannot read " << argv[3] << "\n";
        return 1;
    }
    // the sky-blue around the calculator is see-through, as in the window
    face = face.convertToFormat(QImage::Format_ARGB32);
    const QRgb key =
        qRgb(transparentFaceColour.red, transparentFaceColour.green, transparentFaceColour.blue);
    for (int y = 0; y < face.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(face.scanLine(y));
        for (int x = 0; x < face.width(); ++x) {
            if (line[x] == key) line[x] = qRgba(0, 0, 0, 0);
        }
    }

    html.replace("{{KEYS}}", keyRows(entries));
    html.replace("{{KEYBOARD}}", keyboardRows(entries));
    const QString faceTag = "<p align=\"center\"><img src=\"face.png\" width=\"" +
                            QString::number(face.width() * 0.72) + "\"></p>";
    if (argc > 5) {
        const QString pagePath = QString::fromLocal8Bit(argv[5]);
        QString facePath = pagePath;
        if (facePath.endsWith(".html")) facePath.chop(5);
        facePath += "-face.png";
        QString page = html;
        page.replace("{{FACE}}", "<p align=\"center\"><img src=\"" +
                                     QFileInfo(facePath).fileName() + "\"></p>");
        QFile out(pagePath);
        if (!face.save(facePath) || !out.open(QIODevice::WriteOnly) ||
            out.write(page.toUtf8()) < 0) {
            std::cerr << "make-help: cannot write " << argv[5] << "\n";
            return 1;
        }
    }
    html.replace("{{FACE}}", faceTag);

    QPdfWriter writer(QString::fromLocal8Bit(argv[4]));
    writer.setTitle("Quorvel help");
    writer.setCreator("Quorvel");
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter));

    QTextDocument document;
    document.addResource(QTextDocument::ImageResource, QUrl("face.png"), face);
    document.setHtml(html);
    document.print(&writer);
    return 0;
}
