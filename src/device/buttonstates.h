#pragma once

#include <QMetaType>

// The pressed state of the controller's buttons, in this order: A, B, X, Y, View, Menu,
// left and right shoulder, left and right trigger fully pulled, left and right stick
// click, D-pad up, right, down, left, left and right trigger past the threshold.
// Passed by value, so every receiver sees the state of its own report.
struct ButtonStates
{
    static constexpr int kCount = 18;
    bool buttons[kCount] = {};
    bool operator[](int i) const { return buttons[i]; }
    bool &operator[](int i) { return buttons[i]; }
};

Q_DECLARE_METATYPE(ButtonStates)
