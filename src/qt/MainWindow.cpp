#include "MainWindow.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QToolTip>
#include <QUrl>

#include "BitmapImage.h"
#include "QtKeys.h"

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

bool isSwitchLabel(FacePart part) {
    return part >= FacePart::offImage && part <= FacePart::radImage;
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
    speedDialog_ =
        new TprMoveFM(panel_->printer.leftMoveSpeed, panel_->printer.rightMoveSpeed, this);
    buildMenu();
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
    const QImage face = imageOf(panel_->face[FacePart::calculatorImage].picture);
    const QRgb key =
        qRgb(transparentFaceColour.red, transparentFaceColour.green, transparentFaceColour.blue);
    setMask(QBitmap::fromImage(face.createMaskFromColor(key, Qt::MaskInColor)));
}

// ---------------------------------------------------------------- painting

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (FacePart part : panel_->face.stackingOrder()) {
        if (part == FacePart::keyLabel) {
            paintKeyLabel(painter);
            continue;
        }
        const MainPanel::ShownPart shown = panel_->shownPart(part);
        if (!shown.visible || !shown.picture || shown.picture->empty()) continue;
        if (shown.left >= width() || shown.top >= height()) continue;
        painter.drawImage(shown.left, shown.top, imageOf(*shown.picture));
    }
}

void MainWindow::paintKeyLabel(QPainter& painter) {
    const ImageComponent& label = panel_->face[FacePart::keyLabel];
    if (!label.visible || panel_->keyLabelCaption.empty()) return;
    const QRect box(label.left, label.top, label.width, label.height);
    painter.fillRect(box, Qt::black);
    painter.setFont(text_.font());
    painter.setPen(QColor(255, 192, 0));
    painter.drawText(box, Qt::AlignCenter, QString::fromStdString(panel_->keyLabelCaption));
}

// ---------------------------------------------------------------- mouse

FacePart MainWindow::partAt(int x, int y) const {
    const auto& order = panel_->face.stackingOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (*it == FacePart::keyLabel) continue;
        const MainPanel::ShownPart shown = panel_->shownPart(*it);
        if (!shown.visible || !shown.picture) continue;
        if (x >= shown.left && y >= shown.top && x < shown.left + shown.picture->width() &&
            y < shown.top + shown.picture->height()) {
            return *it;
        }
    }
    return FacePart::calculatorImage;
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const FacePart part = partAt(at.x(), at.y());
    const bool left = event->button() == Qt::LeftButton;
    const bool right = event->button() == Qt::RightButton;
    if (grab_ != Grab::none) return;  // a second button while one is held
    if (isSwitchLabel(part)) {
        panel_->switchLabelClick(part);
    } else if (part == FacePart::printFeedImage) {
        panel_->printFeedImageMouseDown();
    } else if (part == FacePart::dispImage) {
        grab_ = Grab::display;
        const ImageComponent& display = panel_->face[FacePart::dispImage];
        panel_->dispImageMouseDown(at.x() - display.left, at.y() - display.top);
    } else if (part == FacePart::calculatorImage || part == FacePart::paper97Image) {
        if (right) {
            menu_.popup(event->globalPosition().toPoint());
        } else if (part == FacePart::calculatorImage) {
            grab_ = Grab::face;
            panel_->calculatorImageMouseDown(left);
        }
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (grab_ == Grab::display) {
        // Inside the display as it stands after the moves asked for so far, so the grabbed
        // point stays under the mouse.
        const QPoint global = event->globalPosition().toPoint();
        const WindowPosition window = windowPosition();
        const ImageComponent& display = panel_->face[FacePart::dispImage];
        panel_->dispImageMouseMove(global.x() - window.left - display.left,
                                   global.y() - window.top - display.top);
        return;
    }
    if (grab_ == Grab::face || partAt(at.x(), at.y()) == FacePart::calculatorImage) {
        const std::string before = panel_->keyLabelCaption;
        panel_->calculatorImageMouseMove(at.x(), at.y());
        if (panel_->keyLabelCaption != before) update();
    }
    if (grab_ == Grab::none) showCursorFor(at.x(), at.y());
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) return;
    const Grab grab = grab_;
    grab_ = Grab::none;
    if (grab == Grab::display) {
        panel_->dispImageMouseUp();
    } else if (grab == Grab::face) {
        panel_->calculatorImageMouseUp(event->button() == Qt::LeftButton);
    }
    const QPoint at = event->position().toPoint();
    showCursorFor(at.x(), at.y());
}

void MainWindow::showCursorFor(int x, int y) {
    switch (panel_->face[partAt(x, y)].cursor) {
        case PartCursor::hand:
            setCursor(Qt::PointingHandCursor);
            break;
        case PartCursor::openHand:
            setCursor(openHand_);
            break;
        case PartCursor::standard:
            setCursor(Qt::ArrowCursor);
            break;
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
        const char* hint = panel_->face[partAt(help->pos().x(), help->pos().y())].hint;
        if (hint && *hint) {
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
    const TranslatedKey key = translateKey(event->key(), event->modifiers());
    panel_->FormKeyDown(key.virtualKey, key.modifiers);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const TranslatedKey key = translateKey(event->key(), event->modifiers());
    panel_->FormKeyUp(key.virtualKey);
}

// ---------------------------------------------------------------- menu

void MainWindow::buildMenu() {
    for (const MenuItem& item : popupMenuItems()) {
        if (item.command == MenuCommand::separator) {
            menu_.addSeparator();
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
    setFixedSize(width, height);
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
    printDialog().printRoll(this, panel_->roll, panel_->characterSet, *this);
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
