#pragma once

#include <QString>

// The colours and label styles that every window's style sheets share.
namespace AppStyle {

// Selected state, focus border of tool buttons, progress chunk, active slider handle.
inline constexpr char kAccent[] = "#FF5001";
// Panels and unselected buttons.
inline constexpr char kPanel[] = "#343434";
inline constexpr char kButtonText[] = "#ececec";
// Normal text and outlines.
inline constexpr char kText[] = "white";
// Border of the selected profile button, pressed lighting buttons.
inline constexpr char kHighlight[] = "#98C019";
inline constexpr char kCalibrationPanel[] = "#1E1E1E";

// "color:white;font:<px>px <family>;", the label style of the pages (12, 14, 16, 17, 18,
// 20 and 36 px are in use; 14 px for body text and 20 px for titles).
inline QString WhiteFont(int px, const QString &family)
{
    return QStringLiteral("color:white;font:%1px ").arg(px) + family + QLatin1Char(';');
}

// "font:<px>px <family>; color:white;", the same with the colour last (10, 12, 14, 16 and
// 20 px are in use).
inline QString FontWhite(int px, const QString &family)
{
    return QStringLiteral("font:%1px ").arg(px) + family + QStringLiteral("; color:white;");
}

} // namespace AppStyle
