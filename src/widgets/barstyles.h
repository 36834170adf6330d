#pragma once

#include <QString>
#include <QWidget>

// Style sheets of the slider bars' frames and handles, shared by both bars.
namespace BarStyles {

inline QString Frame(bool white, bool hover = false)
{
    if (!white)
        return QStringLiteral(
            "background-color:rgba(255,85,01,0);border-radius:7px;border: 2px solid  #343434;");
    if (hover)
        return QStringLiteral("background-color:rgba(255,85,01,0);border-radius:7px;border: 2px "
                              "solid  rgb(255,255,255);");
    return QStringLiteral(
        "background-color:rgba(255,85,01,0);border-radius:7px;border: 2px solid  #FFFFFF;");
}

// A handle at rest, white-bordered while hovered or pressed.
inline QString Handle(int radius, int activeBorder)
{
    const QString active =
        QStringLiteral("{background: #ff5001;border:%1px solid #FFFFFF;border-radius:%2px;}")
            .arg(activeBorder)
            .arg(radius);
    return QStringLiteral("QPushButton{background: #ff5001;border:3px solid #343434;"
                          "border-radius:%1px;}")
               .arg(radius) +
           QStringLiteral("QPushButton:hover") + active + QStringLiteral("QPushButton:pressed") +
           active;
}

// A handle that has the controller focus.
inline QString HandleHighlighted(int radius)
{
    return QStringLiteral(
               "QPushButton{background: #ff5001;border:3px solid #ffffff;border-radius:%1px;}")
        .arg(radius);
}

// Setting a style sheet re-polishes the widget and its children: skip it when unchanged. A
// widget not yet polished would keep the rules Qt cached for it, so polish it first.
inline void SetIfChanged(QWidget *widget, const QString &style)
{
    if (widget->styleSheet() == style)
        return;
    widget->ensurePolished();
    widget->setStyleSheet(style);
}

} // namespace BarStyles
