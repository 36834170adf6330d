#include "widgets/verprogressbar.h"

#include "ui_verprogressbar.h"
#include "widgets/barstyles.h"

namespace {

constexpr int kUpMin = 2;      // top handle at 0 %
constexpr int kUpSpan = 138;   // the top handle's travel for 0..100 %
constexpr int kDownMin = 14;   // bottom handle at 100 %
constexpr int kDownSpan = 136; // the bottom handle's travel for 100..0 %
constexpr int kHandleGap = 12; // one handle's height: handles never overlap
constexpr int kFillInset = 6;  // half a handle: the fill runs centre to centre
constexpr int kHandleRadius = 5;
const QPoint kTextLeft(36, 19);
const QPoint kTextRight(140, 19);

} // namespace

VerProgressBar::VerProgressBar(QWidget *parent) : QWidget(parent), ui(new Ui::VerProgressBar)
{
    ui->setupUi(this);
    // The fill's full height less the handles' margins, before the fill is re-laid.
    m_range = ui->lblSolid->height() - 1 - 20;
    m_bottomLimit = ui->btnSolidDonw->y();
    ui->btnSolidUp->setStyleSheet(BarStyles::Handle(kHandleRadius, 3));
    ui->btnSolidDonw->setStyleSheet(BarStyles::Handle(kHandleRadius, 3));
    ui->btnSolidUp->installEventFilter(this);
    ui->btnSolidDonw->installEventFilter(this);
    LayFill();
}

VerProgressBar::~VerProgressBar() = default;

void VerProgressBar::setUpValue(int value)
{
    m_upValue = qBound(0, value, 100);
    ui->btnSolidUp->move(ui->btnSolidUp->x(), m_upValue * kUpSpan / 100 + kUpMin);
    LayFill();
    ui->lblTextUp->setText(QStringLiteral("%1%").arg(m_upValue));
}

void VerProgressBar::setDownValue(int value)
{
    m_downValue = qBound(0, value, 100);
    ui->btnSolidDonw->move(ui->btnSolidDonw->x(), (100 - m_downValue) * kDownSpan / 100 + kDownMin);
    LayFill();
    ui->lblTextDown->setText(QStringLiteral("%1%").arg(m_downValue));
}

void VerProgressBar::LayFill()
{
    const int top = ui->btnSolidUp->y() + kFillInset - ui->wdgProBarBorder->y();
    const int bottom = ui->btnSolidDonw->y() + kFillInset - ui->wdgProBarBorder->y();
    const QRect fill(ui->lblSolid->x(), top, ui->lblSolid->width(), qMax(0, bottom - top - 1));
    if (ui->lblSolid->geometry() != fill)
        ui->lblSolid->setGeometry(fill);
}

void VerProgressBar::setUpFocus(bool focused)
{
    BarStyles::SetIfChanged(ui->btnSolidUp, focused ? BarStyles::HandleHighlighted(kHandleRadius)
                                                    : BarStyles::Handle(kHandleRadius, 3));
}

void VerProgressBar::setDownFocus(bool focused)
{
    BarStyles::SetIfChanged(ui->btnSolidDonw, focused ? BarStyles::HandleHighlighted(kHandleRadius)
                                                      : BarStyles::Handle(kHandleRadius, 3));
}

void VerProgressBar::setEditing(bool editing)
{
    m_editing = editing;
    UpdateFrame();
}

void VerProgressBar::UpdateFrame()
{
    BarStyles::SetIfChanged(ui->wdgProBarBorder,
                            BarStyles::Frame(m_editing || m_drag.Hovered(), !m_editing));
}

void VerProgressBar::placeTextRight()
{
    ui->wdgText->move(kTextRight);
}

void VerProgressBar::placeTextLeft()
{
    ui->wdgText->move(kTextLeft);
}

void VerProgressBar::DragUp(int dy)
{
    QPushButton *handle = ui->btnSolidUp;
    const int hi = ui->btnSolidDonw->y() - kHandleGap;
    const int y = qMax(kUpMin, qMin(handle->y() + dy, hi));
    const int value = qBound(0, (y - kUpMin) * 100 / qMax(1, m_range), 100);
    m_upValue = value;
    ui->lblTextUp->setText(QStringLiteral("%1%").arg(value));
    // The snapped place keeps the handles apart: a full start would otherwise sit on the end.
    handle->move(handle->x(), qMax(kUpMin, qMin(value * kUpSpan / 100 + kUpMin, hi)));
    LayFill();
    emit PosUpValue(value);
}

void VerProgressBar::DragDown(int dy)
{
    QPushButton *handle = ui->btnSolidDonw;
    const int lo = ui->btnSolidUp->y() + kHandleGap;
    const int y = qMax(lo, qMin(handle->y() + dy, m_bottomLimit));
    const int value = qBound(0, (m_bottomLimit - y) * 100 / qMax(1, m_range), 100);
    m_downValue = value;
    ui->lblTextDown->setText(QStringLiteral("%1%").arg(value));
    handle->move(handle->x(),
                 qMax(lo, qMin((100 - value) * kDownSpan / 100 + kDownMin, m_bottomLimit)));
    LayFill();
    emit PosDownValue(value);
}

bool VerProgressBar::eventFilter(QObject *watched, QEvent *event)
{
    const bool up = watched == ui->btnSolidUp;
    if (!up && watched != ui->btnSolidDonw)
        return QWidget::eventFilter(watched, event);
    switch (m_drag.Feed(watched, event)) {
    case HandleDrag::Step::Moved:
        if (up)
            DragUp(m_drag.Delta().y());
        else
            DragDown(m_drag.Delta().y());
        break;
    case HandleDrag::Step::HoverChanged:
        UpdateFrame();
        break;
    case HandleDrag::Step::None:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
