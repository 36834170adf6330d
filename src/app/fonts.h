#pragma once

#include <QFont>
#include <QString>

// The two font loaders the windows call when they are built.
namespace Fonts {

// Registers the font data of a resource and returns its first family, or an empty string
// when the data cannot be read or hold no font. The same data registered again gives the
// same family.
QString LoadFontFamily(const QString &resourcePath);

// Registers a font file and returns a font of its first family with the default size and
// weight; the default font when the file cannot be loaded.
QFont LoadFont(const QString &path);

} // namespace Fonts
