#pragma once

#include <QImage>

#include "platform/Bitmap.h"

namespace quorvel {

// A Bitmap's rows seen as a QImage, without copying: the image lives only as long as the
// bitmap is neither resized nor destroyed.
inline QImage imageOf(const Bitmap& bitmap) {
    return QImage(bitmap.data(), bitmap.width(), bitmap.height(), bitmap.stride(),
                  QImage::Format_RGB888);
}

// The same, writable, for drawing into the bitmap.
inline QImage writableImageOf(Bitmap& bitmap) {
    return QImage(bitmap.row(0), bitmap.width(), bitmap.height(), bitmap.stride(),
                  QImage::Format_RGB888);
}

// A QImage copied into a Bitmap.
Bitmap bitmapOf(const QImage& image);

}  // namespace quorvel
