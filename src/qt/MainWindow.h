#pragma once

#include <QActionGroup>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "HeadSpeedWindow.h"
#include "PaperListingWindow.h"
#include "QtKeys.h"
#include "QtRollPrinter.h"
#include "QtSoundPlayer.h"
#include "QtTextDrawing.h"
#include "panel/MainPanel.h"

namespace quorvel {

// The calculator's window: one frameless window in the outline of the face, painting the
// panel's components in their stacking order and handing mouse, keyboard, timers and
// menu to the panel.
class MainWindow : public QWidget,
                   private MessageBoxes,
                   private EventDispatch,
                   private PanelTimers,
                   private PanelWindow {
  public:
    // Where "Save Roll as Text…" writes; tests put their own in place of the file dialog.
    std::function<QString()> askTextFileName;
    MainWindow(const QString& programFolder, const QString& userDataFolder,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The first activation's start-up; the window shows itself when it succeeded. False
    // when it failed: its messages have been shown and it has closed.
    bool start();

    MainPanel& panel() { return *panel_; }
    // A SIGTERM or SIGHUP: closes the way Esc does.
    void terminationRequested();
    QtSoundPlayer& soundPlayer() { return sounds_; }
    QMenu& popupMenu() { return menu_; }
    // The roll's windows, created hidden with the main window.
    TplistFM& listingWindow() { return *listing_; }
    TprMoveFM& speedDialog() { return *speedDialog_; }
    // The main window's own print dialog, for "Print Roll".
    RollPrintDialog& printDialog();
    // The zoom: 1, 1.5 or 2 window pixels a face pixel. Setting it sizes and outlines the
    // window again.
    double zoom() const { return panel_->zoomPercent / 100.0; }
    void setZoom(int percent);
    // A key's tooltip: its function and its shifted function; empty when none is known.
    QString keyTip(int keyIndex) const;
    // Whether message boxes wait for their OK; off in tests, which read `shownMessages`.
    bool modalMessages = true;
    QStringList shownMessages;
    // The answer to questions while message boxes do not wait.
    bool confirmAnswer = true;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // MessageBoxes
    void showError(const std::string& text) override;
    void showInformation(const std::string& text) override;
    bool confirm(const std::string& text) override;
    // EventDispatch
    void processPendingMessages() override;
    void sleepMilliseconds(int milliseconds) override;
    // PanelTimers
    void setModeTimerEnabled(bool enabled) override;
    void setFeedTimerEnabled(bool enabled) override;
    bool feedTimerEnabled() const override { return feedTimer_.isActive(); }
    // PanelWindow
    void closeWindow() override;
    void faceChanged() override { update(); }
    void setClientSize(int width, int height) override;
    void screenSize(int& width, int& height) const override;
    WindowPosition windowPosition() const override;
    void moveWindow(WindowPosition position) override;
    void minimizeWindow() override { showMinimized(); }
    void showDragCursor(bool dragging) override;
    bool openDocument(const std::string& path) override;
    void refreshListing() override;
    void showListingWindow() override { listing_->showListing(); }
    void printRoll() override;
    void showPrintHeadSpeedDialog() override { speedDialog_->showDialog(); }
    void saveRollAsText() override;
    void setClipboardText(const std::string& text) override;
    std::string clipboardText() const override;
    char decimalSeparator() const override;
    bool placeOnScreen(WindowPosition position, int width, int height) const override;
    bool showHelpDocument(const std::string& path) override;

    // A modal box with one OK button (a QMessageBox::Icon).
    void showBox(int icon, const std::string& text);
    void buildMenu();
    void applyOutline();
    void showCursorFor(int x, int y);
    // A point of the window in face pixels.
    QPoint facePoint(QPointF windowPoint) const;
    // Draws a part at its place: from the 2x pictures where there is one, else the core's
    // picture repeated pixel by pixel.
    void drawPart(QPainter& painter, FacePart part, const FaceModel::ShownPart& shown);
    void loadZoomPictures();
    void loadKeyTips(const QString& programFolder);
    void paintKeyLabel(QPainter& painter);

    QtSoundPlayer sounds_;
    QtTextDrawing text_;
    QTimer modeTimer_;
    QTimer feedTimer_;
    // Writes the roll when it changed, so a printed line is on disk within a second.
    QTimer rollTimer_;
    QMenu menu_;
    QCursor openHand_;
    QCursor closedHand_;
    std::unique_ptr<MainPanel> panel_;
    // Owned by this window as their parent.
    TplistFM* listing_ = nullptr;
    TprMoveFM* speedDialog_ = nullptr;
    std::unique_ptr<RollPrintDialog> printDialog_;
    QWidget* helpWindow_ = nullptr;
    QActionGroup* zoomGroup_ = nullptr;
    // The pictures drawn at 2x: the face, the key legend and every part of the sheet.
    QImage face2x_;
    QImage legend1x_;
    QImage legend2x_;
    std::map<FacePart, QImage> parts2x_;
    QImage buttons2x_;
    // The face at the current zoom, scaled once.
    QImage faceZoomed_;
    double faceZoomedAt_ = 0;
    std::vector<QString> keyTips_;

    // A button is held: on the face (the panel routes it), dragging by the display, or
    // moving the window by a plain part of the face.
    enum class Grab { none, pointer, display, move };
    Grab grab_ = Grab::none;
    const NativeKeys nativeKeys_ = nativeKeysOfPlatform(QGuiApplication::platformName());
};

}  // namespace quorvel
