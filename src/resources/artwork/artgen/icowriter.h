#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

// A Windows icon file holding each image as PNG data, in the given order; readers that
// take one image (QImage) get the first.
QByteArray icoFile(const QVector<QImage> &images);
