#pragma once

#include "widgets/handledrag.h"

#include <QWidget>
#include <memory>

namespace Ui {
class ProgressBar;
}

// A horizontal bar of percentages with two handles (inner and outer dead zone, the
// default) or one (a single strength). The handles are dragged with the mouse; a page
// sets them and highlights them for controller editing.
//
// PosLeftValue and PosRightValue follow every change of a handle, set or dragged; the Z
// signals come only from the user's drags.
class ProgressBar : public QWidget
{
    Q_OBJECT

public:
    explicit ProgressBar(QWidget *parent = nullptr);
    ~ProgressBar() override;

    void setTwoHandles(bool two);
    bool twoHandles() const { return m_twoHandles; }
    // Clamped to 0..100.
    void setLeftValue(int value);
    void setRightValue(int value);
    int leftValue() const { return m_leftValue; }
    int rightValue() const { return m_rightValue; }
    // Controller focus on a handle, and the frame of a bar being edited.
    void setLeftFocus(bool focused);
    void setRightFocus(bool focused);
    void setEditing(bool editing);

signals:
    void PosLeftValue(int value);
    void PosLeftValueZ(int value);
    void PosRightValue(int value);
    void PosRightValueZ(int value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void DragLeft(int dx);
    void DragRight(int dx);
    void LayFill();
    // Right handle and label for the value and the mode.
    void PlaceRight();
    // Frame white while the bar is edited or a handle hovered.
    void UpdateFrame();

    HandleDrag m_drag;
    std::unique_ptr<Ui::ProgressBar> ui;
    bool m_twoHandles = true;
    int m_leftValue = 0;
    int m_rightValue = 0;
    int m_range = 0; // handle travel in pixels
    bool m_editing = false;
};
