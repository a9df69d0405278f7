#pragma once
#include <QByteArray>
#include <QImage>

// Decodes a JPEG picture with libjpeg. A damaged or unsupported picture
// gives a null image; it never ends the program.
QImage decodeJpeg(const QByteArray& data);
