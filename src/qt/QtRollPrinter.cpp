#include "QtRollPrinter.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <algorithm>

#include "BitmapImage.h"

namespace quorvel {

bool QtRollPrinterDevice::beginDocument() {
    printer_.setPageOrientation(QPageLayout::Portrait);
    if (!painter_.begin(&printer_)) return false;
    painter_.setRenderHint(QPainter::LosslessImageRendering, true);
    return true;
}

void QtRollPrinterDevice::drawBitmap(int x, int y, const Bitmap& bitmap) {
    // In shades of grey: the tape has no colour, and the PDF keeps a third of the bytes.
    painter_.drawImage(x, y, imageOf(bitmap).convertToFormat(QImage::Format_Grayscale8));
}

void QtRollPrinterDevice::drawHiddenText(int x, int y, int width, int height,
                                         const std::string& text) {
    if (printer_.outputFormat() != QPrinter::PdfFormat || text.empty()) return;
    painter_.save();
    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(1, height * 3 / 4));
    painter_.setFont(font);
    // Fully transparent: the PDF keeps the text, the page shows only the picture.
    painter_.setPen(QColor(0, 0, 0, 0));
    painter_.drawText(QRect(x, y, width, height), Qt::AlignLeft | Qt::AlignVCenter,
                      QString::fromStdString(text));
    painter_.restore();
}

bool QtRollPrinterDevice::endDocument() {
    return painter_.end();
}

void QtRollPrinterDevice::abortDocument() {
    printer_.abort();
    if (painter_.isActive()) painter_.end();
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
        QFile::remove(printer_.outputFileName());
    }
}

bool runSystemPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

RollPrintDialog::RollPrintDialog() {
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(folder + "/quorvel-roll.pdf");
    }
    printer_.setDocName("Quorvel paper roll");
}

bool RollPrintDialog::printRoll(QWidget* parent, const RollStore& roll,
                                const CharacterSet& characters, MessageBoxes& messages) {
    if (!runDialog || !runDialog(printer_, parent)) return false;
    QtRollPrinterDevice device(printer_);
    return printRollOnPrinter(roll.rollLines(), characters, device, messages);
}

}  // namespace quorvel
