#pragma once

// A main window over a scratch copy of the built data files, so what it writes stays there.

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <filesystem>
#include <memory>

#include "MainWindow.h"
#include "support/AssemblerTestSupport.h"

namespace quorvel::test {

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"OCMno.dat", "dsplbno.dat", "PMnon.dat", "chdtfl73.dat", "cal73.pfl"}) {
            std::filesystem::copy_file(std::filesystem::path(QUORVEL_DATA_DIR) / name,
                                       folder.path(name));
        }
        window = std::make_unique<MainWindow>(QString::fromStdString(folder.path("")), QString());
        window->modalMessages = false;
    }
    void TearDown() override {
        window->panel().requestPower(false);
        window->close();
    }

    QImage shown() { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRgb facePixel(int x, int y) {
        const Rgb p = window->panel().face()[FacePart::calculatorImage].picture.pixel(x, y);
        return qRgb(p.red, p.green, p.blue);
    }
    QAction* menuItem(const QString& caption) {
        for (QAction* action : window->popupMenu().actions()) {
            if (action->text() == caption) return action;
        }
        ADD_FAILURE() << "no menu item " << caption.toStdString();
        return nullptr;
    }

    ScratchFolder folder;
    std::unique_ptr<MainWindow> window;
};

}  // namespace quorvel::test
