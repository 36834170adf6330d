#pragma once

#include "widgets/handledrag.h"

#include <QWidget>
#include <memory>

namespace Ui {
class VerProgressBar;
}

// A vertical bar of percentages with two handles: the start (top) and end (bottom) of a
// trigger's dead zone. Dragged with the mouse; set and highlighted by a page. The setters
// do not emit.
class VerProgressBar : public QWidget
{
    Q_OBJECT

public:
    explicit VerProgressBar(QWidget *parent = nullptr);
    ~VerProgressBar() override;

    // Capped at 100.
    void setUpValue(int value);
    void setDownValue(int value);
    int upValue() const { return m_upValue; }
    int downValue() const { return m_downValue; }
    void setUpFocus(bool focused);
    void setDownFocus(bool focused);
    void setEditing(bool editing);
    // The percentage labels right or left of the bar.
    void placeTextRight();
    void placeTextLeft();

signals:
    void PosUpValue(int value);
    void PosDownValue(int value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void DragUp(int dy);
    void DragDown(int dy);
    void LayFill();
    // Frame white while the bar is edited or a handle hovered.
    void UpdateFrame();

    HandleDrag m_drag;
    std::unique_ptr<Ui::VerProgressBar> ui;
    int m_upValue = 0;
    int m_downValue = 0;
    int m_range = 0;       // handle travel in pixels
    int m_bottomLimit = 0; // the bottom handle's lowest y
    bool m_editing = false;
};
