#pragma once

#include <QPainter>
#include <QPrinter>
#include <functional>

#include "platform/Platform.h"
#include "printer/CharacterSet.h"
#include "printer/RollPrinting.h"
#include "printer/RollStore.h"

class QWidget;

namespace quorvel {

// A QPrinter (a system printer or a PDF file) as the roll's print job draws on it.
class QtRollPrinterDevice : public RollPrinterDevice {
  public:
    explicit QtRollPrinterDevice(QPrinter& printer) : printer_(printer) {}

    bool beginDocument() override;
    int pageWidth() const override { return printer_.width(); }
    int pageHeight() const override { return printer_.height(); }
    int resolution() const override { return printer_.logicalDpiX(); }
    void drawBitmap(int x, int y, const Bitmap& bitmap) override;
    void drawHiddenText(int x, int y, int width, int height, const std::string& text) override;
    bool newPage() override { return printer_.newPage(); }
    bool endDocument() override;
    // The PDF writer cannot take a document back, so its file is removed instead.
    void abortDocument() override;

  private:
    QPrinter& printer_;
    QPainter painter_;
};

// Runs a print dialog on the printer; true when the user confirmed it. Tests put their own
// in place of the system's.
using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;
bool runSystemPrintDialog(QPrinter& printer, QWidget* parent);

// A window's print dialog (PrintDialog1) and the printer it chose last. With no printer
// installed the dialog starts out printing to a PDF file in the user's documents, so the
// tape can be kept without one.
class RollPrintDialog {
  public:
    RollPrintDialog();
    // The dialog, then, if confirmed, the print job of the whole roll; false when cancelled
    // or when the job failed (its message shown).
    bool printRoll(QWidget* parent, const RollStore& roll, const CharacterSet& characters,
                   MessageBoxes& messages);

    PrintDialogRunner runDialog = runSystemPrintDialog;
    QPrinter& printer() { return printer_; }

  private:
    QPrinter printer_{QPrinter::HighResolution};
};

}  // namespace quorvel
