#pragma once

#include <QScrollBar>
#include <QToolButton>
#include <QWidget>
#include <memory>

#include "QtRollPrinter.h"
#include "panel/MainPanel.h"
#include "printer/ListingWindow.h"

namespace quorvel {

// The listing window, "Printer Paper": the roll as a column of printed lines with a
// vertical scroll bar, a button that empties the roll and one that prints it.
class TplistFM : public QWidget {
  public:
    TplistFM(MainPanel& panel, MessageBoxes& messages, QWidget* parent);

    // "View Roll": shows the window unless it is visible; the first showing after a close
    // places it beside the main window and scrolls to the end.
    void showListing();
    // The main window's refresh while the window is visible.
    void UpdatePrint();

    const PrintListing& listing() const { return listing_; }
    QScrollBar& scrollBar() { return *scrollBar1_; }
    QToolButton& clearButton() { return *clrSB_; }
    QToolButton& printButton() { return *printSB_; }
    RollPrintDialog& printDialog();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    class DrawingArea;
    // The scroll bar shows the listing's range and position.
    void showScrollRange();
    void clrSBClick();
    void printSBClick();

    MainPanel& panel_;
    MessageBoxes& messages_;
    PrintListing listing_;
    DrawingArea* image1_ = nullptr;
    QScrollBar* scrollBar1_ = nullptr;
    QToolButton* clrSB_ = nullptr;
    QToolButton* printSB_ = nullptr;
    std::unique_ptr<RollPrintDialog> printDialog_;
};

}  // namespace quorvel
