#include "QtTextDrawing.h"

#include <QFontMetrics>
#include <QPainter>

#include "BitmapImage.h"

namespace quorvel {

Bitmap bitmapOf(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Bitmap bitmap(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        std::copy_n(rgb.constScanLine(y), bitmap.stride(), bitmap.row(y));
    }
    return bitmap;
}

QtTextDrawing::QtTextDrawing() : font_("DejaVu Sans") {
    font_.setPixelSize(11);
    font_.setBold(true);
}

TextDrawing::Size QtTextDrawing::measureText(const std::string& text) {
    const QFontMetrics metrics(font_);
    return {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

void QtTextDrawing::drawText(Bitmap& target, int x, int y, const std::string& text, Rgb colour) {
    if (target.empty()) return;
    QImage image = writableImageOf(target);
    QPainter painter(&image);
    painter.setFont(font_);
    painter.setPen(QColor(colour.red, colour.green, colour.blue));
    const QFontMetrics metrics(font_);
    painter.drawText(x, y + metrics.ascent(), QString::fromStdString(text));
}

}  // namespace quorvel
