#include "QtRollPrinter.h"

#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "BitmapImage.h"

namespace quorvel {

bool QtRollPrinterDevice::beginDocument() {
    printer_.setPageOrientation(QPageLayout::Portrait);
    return painter_.begin(&printer_);
}

void QtRollPrinterDevice::drawBitmap(int x, int y, const Bitmap& bitmap) {
    painter_.drawImage(x, y, imageOf(bitmap));
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
