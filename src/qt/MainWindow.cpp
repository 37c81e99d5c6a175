#include "MainWindow.h"

#include <QApplication>
#include <QBitmap>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QThread>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "BitmapImage.h"
#include "QtKeys.h"
#include "printer/RollText.h"
#include "tools/KeyMapSource.h"

namespace quorvel {

namespace {

// The window's design size, replaced by the face's at start-up.
constexpr int designWidth = 1456;
constexpr int designHeight = 573;

QCursor cursorFrom(const QString& resource, Qt::CursorShape fallback) {
    const QPixmap picture(resource);
    if (picture.isNull()) return QCursor(fallback);
    return QCursor(picture, 16, 14);
}

// Where a plain move of a window is refused, the window system moves it itself.
bool windowSystemMoves() {
    return QGuiApplication::platformName().startsWith("wayland");
}

QString boxText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace('\r', '\n');
    return shown;
}

}  // namespace

MainWindow::MainWindow(const QString& programFolder, const QString& userDataFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowSystemMenuHint),
      sounds_(this),
      openHand_(cursorFrom(":/cursors/cursor-open.png", Qt::OpenHandCursor)),
      closedHand_(cursorFrom(":/cursors/cursor-closed.png", Qt::ClosedHandCursor)) {
    setWindowTitle(windowCaption);
    setWindowIcon(QIcon(":/pictures/quorvel.png"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QPalette sky = palette();
    sky.setColor(QPalette::Window, QColor(transparentFaceColour.red, transparentFaceColour.green,
                                          transparentFaceColour.blue));
    setPalette(sky);
    resize(designWidth, designHeight);

    modeTimer_.setSingleShot(true);
    modeTimer_.setInterval(25);
    connect(&modeTimer_, &QTimer::timeout, this, [this] { panel_->ChgModeTimerTimer(); });
    feedTimer_.setInterval(40);
    connect(&feedTimer_, &QTimer::timeout, this, [this] { panel_->feedTimerTimer(); });
    rollTimer_.setInterval(500);
    connect(&rollTimer_, &QTimer::timeout, this, [this] { panel_->saveRollIfChanged(); });

    PanelServices services;
    services.messages = this;
    services.sounds = &sounds_;
    services.events = this;
    services.timers = this;
    services.window = this;
    services.text = &text_;
    panel_ = std::make_unique<MainPanel>(programFolder.toStdString(), services,
                                         userDataFolder.toStdString());
    listing_ = new TplistFM(*panel_, *this, this);
    speedDialog_ = new TprMoveFM(panel_->session().printer().leftMoveSpeed,
                                 panel_->session().printer().rightMoveSpeed, this);
    buildMenu();
    loadKeyTips(programFolder);
}

MainWindow::~MainWindow() {
    modeTimer_.stop();
    feedTimer_.stop();
    rollTimer_.stop();
    // The roll's windows work on the panel, so they go before it.
    delete listing_;
    delete speedDialog_;
}

bool MainWindow::start() {
    const QImage sheet(":/pictures/parts.png");
    if (!sheet.isNull()) panel_->usePanelPictures(bitmapOf(sheet));
    loadZoomPictures();
    if (!panel_->FormActivate()) return false;
    rollTimer_.start();
    applyOutline();
    show();
    raise();
    activateWindow();
    setFocus();
    return true;
}

void MainWindow::applyOutline() {
    const QImage face = imageOf(panel_->face()[FacePart::calculatorImage].picture);
    const QRgb key =
        qRgb(transparentFaceColour.red, transparentFaceColour.green, transparentFaceColour.blue);
    QImage mask = face.createMaskFromColor(key, Qt::MaskInColor);
    // The outline follows the face's own pixels, so it matches the hit tests at any zoom.
    if (zoom() != 1.0) {
        mask = mask.scaled(qRound(face.width() * zoom()), qRound(face.height() * zoom()),
                           Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    setMask(QBitmap::fromImage(mask));
}

void MainWindow::loadZoomPictures() {
    face2x_ = QImage(":/pictures/face@2x.png").convertToFormat(QImage::Format_RGB32);
    legend1x_ = QImage(":/pictures/key-legend.png").convertToFormat(QImage::Format_ARGB32);
    legend2x_ = QImage(":/pictures/key-legend@2x.png").convertToFormat(QImage::Format_ARGB32);
    const QImage sheet(":/pictures/parts@2x.png");
    if (sheet.isNull()) return;
    for (const SheetRect& rect : panelPictureSheet()) {
        const QImage part = sheet.copy(rect.x * 2, rect.y * 2, rect.width * 2, rect.height * 2);
        // The display, the counter and the paper change as the core draws them.
        if (rect.part == FacePart::maskImage || rect.part == FacePart::pcntBaseImage ||
            rect.part == FacePart::paper97Image) {
            continue;
        }
        if (rect.part == FacePart::buttsImage) buttons2x_ = part;
        parts2x_[rect.part] = part;
    }
}

void MainWindow::loadKeyTips(const QString& programFolder) {
    std::vector<KeyMapEntry> entries;
    std::string problem;
    keyTips_.assign(keyCount, QString());
    if (!readKeyMap((programFolder + "/keymap.txt").toStdString(), entries, problem)) return;
    for (const KeyMapEntry& key : entries) {
        if (key.index < 0 || key.index >= keyCount) continue;
        QString tip = QString::fromStdString(key.legend) + ": " +
                      QString::fromStdString(key.function) + "  [" +
                      QString::fromStdString(key.pcKey) + "]";
        if (!key.shiftedFunction.empty()) {
            tip += "\nSHIFT " + QString::fromStdString(key.shiftedLegend) + ": " +
                   QString::fromStdString(key.shiftedFunction) + "  [Shift+" +
                   QString::fromStdString(key.pcKey) + "]";
        }
        keyTips_[key.index] = tip;
    }
}

QString MainWindow::keyTip(int keyIndex) const {
    if (keyIndex < 0 || keyIndex >= static_cast<int>(keyTips_.size())) return {};
    return keyTips_[keyIndex];
}

void MainWindow::setZoom(int percent) {
    panel_->zoomPercent = nearestZoom(percent);
    setClientSize(panel_->faceWidth(), panel_->faceHeight());
    applyOutline();
    if (zoomGroup_) {
        for (QAction* action : zoomGroup_->actions()) {
            action->setChecked(action->data().toInt() == panel_->zoomPercent);
        }
    }
    update();
}

QPoint MainWindow::facePoint(QPointF windowPoint) const {
    return QPoint(static_cast<int>(windowPoint.x() / zoom()),
                  static_cast<int>(windowPoint.y() / zoom()));
}

// ---------------------------------------------------------------- painting

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (FacePart part : panel_->face().parts().stackingOrder()) {
        if (part == FacePart::keyLabel) {
            paintKeyLabel(painter);
            continue;
        }
        const FaceModel::ShownPart shown = panel_->shownPart(part);
        if (!shown.visible || !shown.picture || shown.picture->empty()) continue;
        if (shown.left >= panel_->faceWidth() || shown.top >= panel_->faceHeight()) continue;
        drawPart(painter, part, shown);
        // The PC keys printed over the face sit right above it, under everything else.
        if (part == FacePart::calculatorImage && panel_->keyLegendOn) {
            const QImage& legend = zoom() == 1.0 || legend2x_.isNull() ? legend1x_ : legend2x_;
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.drawImage(
                QRectF(0, 0, panel_->faceWidth() * zoom(), panel_->faceHeight() * zoom()), legend);
        }
    }
}

void MainWindow::drawPart(QPainter& painter, FacePart part, const FaceModel::ShownPart& shown) {
    const double z = zoom();
    // The screen's own scale counts too: a 2x screen at 100 % takes the 2x pictures.
    const double ratio = devicePixelRatioF();
    const double scale = z * ratio;
    const QImage picture = imageOf(*shown.picture);
    const QRectF target(shown.left * z, shown.top * z, picture.width() * z, picture.height() * z);
    if (scale == 1.0) {
        painter.drawImage(shown.left, shown.top, picture);
        return;
    }
    const QImage* sharp = nullptr;
    QImage pressed;
    if (part == FacePart::calculatorImage && !face2x_.isNull()) {
        if (faceZoomedAt_ != scale) {
            faceZoomed_ = scale == 2.0
                              ? face2x_
                              : face2x_.scaled(qRound(face2x_.width() * scale / 2),
                                               qRound(face2x_.height() * scale / 2),
                                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            faceZoomed_.setDevicePixelRatio(ratio);
            faceZoomedAt_ = scale;
        }
        painter.drawImage(QPointF(0, 0), faceZoomed_);
        return;
    }
    // What the core draws as it runs has no 2x picture.
    const bool drawnByCore = part == FacePart::dispImage || part == FacePart::pcntImage ||
                             part == FacePart::paper97Image;
    if (part == FacePart::pasteImage && !buttons2x_.isNull()) {
        // The pressed key is cut from the sheet of pressed keys, at 2x as well.
        for (const KeyEntry& key : keyTable) {
            if (key.face.left == shown.left && key.face.top == shown.top) {
                pressed = buttons2x_.copy(key.picture.left * 2, key.picture.top * 2,
                                          key.face.width() * 2, key.face.height() * 2);
                sharp = &pressed;
                break;
            }
        }
    } else if (const auto found = parts2x_.find(part); !drawnByCore && found != parts2x_.end()) {
        if (found->second.width() == picture.width() * 2) sharp = &found->second;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, sharp != nullptr);
    painter.drawImage(target, sharp ? *sharp : picture);
}

void MainWindow::paintKeyLabel(QPainter& painter) {
    const ImageComponent& label = panel_->face()[FacePart::keyLabel];
    if (!label.visible || panel_->keyLegendCaption().empty()) return;
    painter.save();
    painter.scale(zoom(), zoom());
    const QRect box(label.left, label.top, label.width, label.height);
    painter.fillRect(box, Qt::black);
    painter.setFont(text_.font());
    painter.setPen(QColor(255, 192, 0));
    painter.drawText(box, Qt::AlignCenter, QString::fromStdString(panel_->keyLegendCaption()));
    painter.restore();
}

// ---------------------------------------------------------------- mouse

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (grab_ != Grab::none) return;  // a second button while one is held
    const QPoint at = facePoint(event->position());
    const QPoint windowAt = event->position().toPoint();
    const int button = event->button() == Qt::LeftButton    ? 0
                       : event->button() == Qt::RightButton ? 2
                                                            : 1;
    switch (panel_->pointerDown(at.x(), at.y(), button)) {
        case PointerResult::none: grab_ = Grab::pointer; break;
        case PointerResult::openMenu: menu_.popup(event->globalPosition().toPoint()); break;
        case PointerResult::dragDisplay: {
            grab_ = Grab::display;
            // In window pixels from the display's corner, so a drag moves by what the mouse did.
            const ImageComponent& display = panel_->face()[FacePart::dispImage];
            panel_->dispImageMouseDown(windowAt.x() - qRound(display.left * zoom()),
                                       windowAt.y() - qRound(display.top * zoom()));
            break;
        }
        case PointerResult::moveWindow:
            if (windowSystemMoves() && windowHandle() && windowHandle()->startSystemMove()) return;
            grab_ = Grab::move;
            panel_->dispImageMouseDown(windowAt.x(), windowAt.y());
            break;
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = facePoint(event->position());
    if (grab_ == Grab::display || grab_ == Grab::move) {
        // Inside the window as it stands after the moves asked for so far, so the grabbed
        // point stays under the mouse.
        const QPoint global = event->globalPosition().toPoint();
        const WindowPosition window = windowPosition();
        const ImageComponent& display = panel_->face()[FacePart::dispImage];
        const int left = grab_ == Grab::display ? qRound(display.left * zoom()) : 0;
        const int top = grab_ == Grab::display ? qRound(display.top * zoom()) : 0;
        panel_->dispImageMouseMove(global.x() - window.left - left, global.y() - window.top - top);
        return;
    }
    if (panel_->pointerMove(at.x(), at.y())) update();
    if (grab_ == Grab::none) showCursorFor(at.x(), at.y());
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) return;
    const Grab grab = grab_;
    grab_ = Grab::none;
    const QPoint at = facePoint(event->position());
    if (grab == Grab::display || grab == Grab::move) {
        panel_->dispImageMouseUp();
    } else {
        const int button = event->button() == Qt::LeftButton    ? 0
                           : event->button() == Qt::RightButton ? 2
                                                                : 1;
        panel_->pointerUp(at.x(), at.y(), button);
    }
    showCursorFor(at.x(), at.y());
}

void MainWindow::showCursorFor(int x, int y) {
    switch (panel_->face()[panel_->partAt(x, y)].cursor) {
        case PartCursor::hand: setCursor(Qt::PointingHandCursor); break;
        case PartCursor::openHand: setCursor(openHand_); break;
        case PartCursor::standard: setCursor(Qt::ArrowCursor); break;
    }
}

void MainWindow::showDragCursor(bool dragging) {
    if (dragging) {
        setCursor(closedHand_);
    } else {
        setCursor(openHand_);
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint at = facePoint(help->pos());
        const FacePart part = panel_->partAt(at.x(), at.y());
        const char* hint = panel_->face()[part].hint;
        const QString keyHint =
            part == FacePart::calculatorImage ? keyTip(keyIndexAt(at.x(), at.y())) : QString();
        if (!keyHint.isEmpty()) {
            QToolTip::showText(help->globalPos(), keyHint, this);
        } else if (hint && *hint) {
            QToolTip::showText(help->globalPos(), hint, this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

// ---------------------------------------------------------------- keyboard

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // The held key ignores the keyboard's repeats, as the calculator does.
    if (event->isAutoRepeat()) return;
    const TranslatedKey key = translateKey(event->key(), event->modifiers(), nativeKeys_,
                                           event->nativeScanCode(), event->nativeVirtualKey());
    panel_->FormKeyDown(key.virtualKey, key.modifiers, event->text().toStdString());
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const TranslatedKey key = translateKey(event->key(), event->modifiers(), nativeKeys_,
                                           event->nativeScanCode(), event->nativeVirtualKey());
    panel_->FormKeyUp(key.virtualKey);
}

// ---------------------------------------------------------------- menu

void MainWindow::buildMenu() {
    for (const MenuItem& item : popupMenuItems()) {
        if (item.command == MenuCommand::separator) {
            menu_.addSeparator();
            continue;
        }
        if (item.command == MenuCommand::zoom) {
            QMenu* zoomMenu = menu_.addMenu(QString::fromUtf8(item.caption));
            zoomMenu->menuAction()->setObjectName(item.name);
            zoomGroup_ = new QActionGroup(zoomMenu);
            for (int percent : zoomChoices) {
                QAction* choice = zoomMenu->addAction(QString::number(percent) + " %");
                choice->setObjectName("Zoom" + QString::number(percent));
                choice->setCheckable(true);
                choice->setData(percent);
                zoomGroup_->addAction(choice);
                connect(choice, &QAction::triggered, this, [this, percent] { setZoom(percent); });
            }
            continue;
        }
        QAction* action = menu_.addAction(QString::fromUtf8(item.caption));
        action->setObjectName(item.name);
        action->setCheckable(item.checkable);
        const MenuCommand command = item.command;
        connect(action, &QAction::triggered, this,
                [this, command] { panel_->menuCommand(command); });
    }
    connect(&menu_, &QMenu::aboutToShow, this, [this] {
        const auto& items = popupMenuItems();
        const auto actions = menu_.actions();
        for (int i = 0; i < actions.size() && i < static_cast<int>(items.size()); ++i) {
            if (items[i].checkable) actions[i]->setChecked(panel_->menuChecked(items[i].command));
        }
        for (QAction* action : zoomGroup_->actions()) {
            action->setChecked(action->data().toInt() == panel_->zoomPercent);
        }
    });
}

// ---------------------------------------------------------------- closing

void MainWindow::closeWindow() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!panel_->FormCloseQuery()) {
        event->ignore();
        return;
    }
    panel_->FormClose();
    modeTimer_.stop();
    feedTimer_.stop();
    rollTimer_.stop();
    event->accept();
}

void MainWindow::terminationRequested() {
    panel_->FormKeyDown(vkEscape, {});
    panel_->FormKeyUp(vkEscape);
}

// ---------------------------------------------------------------- platform services

void MainWindow::showBox(int icon, const std::string& text) {
    shownMessages << boxText(text);
    if (!modalMessages) return;
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), applicationTitle, boxText(text),
                    QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
}

void MainWindow::showError(const std::string& text) {
    showBox(QMessageBox::Critical, text);
}

void MainWindow::showInformation(const std::string& text) {
    showBox(QMessageBox::Information, text);
}

bool MainWindow::confirm(const std::string& text) {
    shownMessages << boxText(text);
    if (!modalMessages) return confirmAnswer;
    // Every question here throws something away: a stray Enter must not.
    return QMessageBox::question(this, applicationTitle, boxText(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::processPendingMessages() {
    QCoreApplication::processEvents();
}

void MainWindow::sleepMilliseconds(int milliseconds) {
    QThread::msleep(milliseconds);
}

void MainWindow::setModeTimerEnabled(bool enabled) {
    if (!enabled) {
        modeTimer_.stop();
    } else if (!modeTimer_.isActive()) {
        modeTimer_.start();
    }
}

void MainWindow::setFeedTimerEnabled(bool enabled) {
    if (!enabled) {
        feedTimer_.stop();
    } else if (!feedTimer_.isActive()) {
        feedTimer_.start();
    }
}

void MainWindow::setClientSize(int width, int height) {
    setFixedSize(qRound(width * zoom()), qRound(height * zoom()));
}

void MainWindow::screenSize(int& width, int& height) const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    width = area.width();
    height = area.height();
}

WindowPosition MainWindow::windowPosition() const {
    return {pos().x(), pos().y()};
}

void MainWindow::moveWindow(WindowPosition position) {
    move(position.left, position.top);
}

void MainWindow::refreshListing() {
    if (listing_->isVisible()) listing_->UpdatePrint();
}

RollPrintDialog& MainWindow::printDialog() {
    if (!printDialog_) printDialog_ = std::make_unique<RollPrintDialog>();
    return *printDialog_;
}

void MainWindow::printRoll() {
    QPrinter& printer = printDialog().printer();
    if (!panel_->printFile.empty() && printer.outputFormat() == QPrinter::PdfFormat) {
        printer.setOutputFileName(QString::fromStdString(panel_->printFile));
    }
    printDialog().printRoll(this, panel_->session().roll(), panel_->session().characterSet(),
                            *this);
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        panel_->printFile = printer.outputFileName().toStdString();
    }
}

void MainWindow::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string MainWindow::clipboardText() const {
    return QGuiApplication::clipboard()->text().toStdString();
}

char MainWindow::decimalSeparator() const {
    const QString point = QLocale().decimalPoint();
    return point == "," ? ',' : '.';
}

bool MainWindow::placeOnScreen(WindowPosition position, int width, int height) const {
    // Enough of the window to take hold of it must be on some screen.
    const QRect window(position.left, position.top, width, height);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(window);
        if (seen.width() >= 40 && seen.height() >= 40) return true;
    }
    return false;
}

void MainWindow::saveRollAsText() {
    QString path;
    if (askTextFileName) {
        path = askTextFileName();
    } else {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        path = QFileDialog::getSaveFileName(this, "Save Roll as Text", folder + "/quorvel-roll.txt",
                                            "Text files (*.txt);;All files (*)");
    }
    if (path.isEmpty()) return;
    QSaveFile file(path);
    const std::string text = rollText(panel_->session().roll(), panel_->session().characterSet());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        showError("ERROR: The roll could not be saved in " + path.toStdString());
    }
}

bool MainWindow::showHelpDocument(const std::string& path) {
    if (!helpWindow_) {
        helpWindow_ = new QWidget(this, Qt::Window);
        helpWindow_->setWindowTitle(QString(applicationTitle) + " Help");
        auto* layout = new QVBoxLayout(helpWindow_);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* browser = new QTextBrowser(helpWindow_);
        browser->setObjectName("helpBrowser");
        browser->setOpenExternalLinks(true);
        layout->addWidget(browser);
        helpWindow_->resize(720, 640);
    }
    auto* browser = helpWindow_->findChild<QTextBrowser*>("helpBrowser");
    browser->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
    if (browser->document()->isEmpty()) return false;
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
    return true;
}

bool MainWindow::openDocument(const std::string& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // xdg-open starts, and says it succeeded, even when no program shows the file's type.
    const QString mime = QStandardPaths::findExecutable("xdg-mime");
    if (!mime.isEmpty()) {
        QProcess query;
        query.start(mime, {"query", "default", "application/pdf"});
        if (query.waitForFinished(3000) && query.exitCode() == 0 &&
            query.readAllStandardOutput().trimmed().isEmpty()) {
            return false;
        }
    }
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace quorvel
