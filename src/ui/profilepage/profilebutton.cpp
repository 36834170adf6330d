#include "profilebutton.h"

#include "ui/style.h"
#include "ui_profilebutton.h"

#include <QDebug>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace {

struct Rgb
{
    int r, g, b;
};

// Slot 1..3, and none at 0.
constexpr Rgb kSlotColours[] = {{52, 52, 52}, {0, 32, 255}, {255, 18, 213}, {17, 255, 69}};

const char *const kFrameNormal =
    "background:#343434; border-radius:18px;border:2px solid #0098C019;";
const char *const kFrameSelected =
    "background:#343434; border-radius:18px;border:2px solid #98C019;";

QString SlotStyle(int slot, bool selected)
{
    const Rgb c = kSlotColours[slot];
    return QStringLiteral("background:rgb(%1,%2,%3); border-radius:18px;%4")
        .arg(c.r)
        .arg(c.g)
        .arg(c.b)
        .arg(selected ? QStringLiteral("border:2px solid #98C019;") : QString());
}

QString Picture(const char *name)
{
    return QStringLiteral("QPushButton{border:none;background:transparent;"
                          "border-image:url(:/Images/QuorelAPP/button/%1);}")
        .arg(QLatin1String(name));
}

} // namespace

ProfileButton::ProfileButton(const QString &name, int index, bool reserved, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ProfileButton>()), m_strProfileName(name),
      m_currentInndex(index), m_reserved(reserved)
{
    ui->setupUi(this);
    // Children are placed by hand: the grid needs the size from here.
    setFixedSize(236, 50);
    const QString family = Style::AppFamily();
    ui->btnProfile->setText(QString());
    ui->btnProfile->setStyleSheet(
        QStringLiteral("QPushButton{background:transparent;border:none;}"));
    ui->lneProfileName->setText(name);
    ui->lneProfileName->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[a-zA-Z0-9 ]*")), ui->lneProfileName));
    ui->lneProfileName->setStyleSheet(
        QStringLiteral("QLineEdit{background:transparent;border:none;color:white;font:15px "
                       "\"%1\";}"
                       "QLineEdit[readOnly=\"false\"]{background:#202020;border-radius:6px;}")
            .arg(family));
    ui->lneProfileName->installEventFilter(this);
    ui->lbldeleteProfile->setStyleSheet(
        QStringLiteral("color:white;font:14px \"%1\";").arg(family));
    for (int slot = 1; slot <= 3; ++slot)
        SlotButton(slot)->setStyleSheet(
            QStringLiteral("QPushButton{color:white;font:bold 12px \"%1\";border-radius:10px;"
                           "background:rgb(%2,%3,%4);border:none;}"
                           "QPushButton:hover{border:2px solid white;}")
                .arg(family)
                .arg(kSlotColours[slot].r)
                .arg(kSlotColours[slot].g)
                .arg(kSlotColours[slot].b));
    ui->btnEdit->setStyleSheet(Picture("Edit.png"));
    ui->btnDelete->setStyleSheet(Picture("Delete.png"));
    ui->btnDelete_2->setStyleSheet(Picture("Delete.png"));
    ui->lblBtnFocus->setStyleSheet(
        QStringLiteral("background:transparent;border:2px solid white;border-radius:13px;"));
    ui->lblBtnFocus->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->lblBtnFocus->hide();
    ui->wdgFocus->hide();
    ShowNormal();
}

ProfileButton::~ProfileButton() = default;

bool ProfileButton::IsConfirmingDelete() const
{
    return !ui->wdgFocus->isHidden();
}

QPushButton *ProfileButton::SlotButton(int slot) const
{
    return slot == 1 ? ui->btnProfile_1 : slot == 2 ? ui->btnProfile_2 : ui->btnProfile_3;
}

void ProfileButton::ApplyColour()
{
    ui->wdgMain->setStyleSheet(
        QStringLiteral("QWidget#wdgMain{%1}")
            .arg(m_slot != 0 ? SlotStyle(m_slot, m_highlighted)
                             : QString::fromLatin1(m_highlighted ? kFrameSelected : kFrameNormal)));
}

void ProfileButton::ShowNormal()
{
    // The name field only shows text unless it is being edited; clicks go to the button.
    ui->lneProfileName->setAttribute(Qt::WA_TransparentForMouseEvents, !m_modifyFlg);
    ui->lneProfileName->setGeometry(12, 9, m_modifyFlg ? 170 : 96, 32);
    ui->lneProfileName->show();
    ui->wdgProfileButton->setVisible(!m_modifyFlg && m_slot == 0);
    const bool controls = !m_reserved && (m_highlighted || m_modifyFlg);
    ui->btnEdit->setVisible(controls);
    ui->btnDelete->setVisible(controls && !m_modifyFlg);
    ApplyColour();
}

void ProfileButton::Assign(int slot)
{
    m_slot = slot >= 1 && slot <= 3 ? slot : 0;
    ShowNormal();
}

void ProfileButton::ClearAssignment()
{
    Assign(0);
}

void ProfileButton::SetHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    if (!IsConfirmingDelete())
        ShowNormal();
    else
        ApplyColour();
}

// Slots

void ProfileButton::on_btnProfile_1_clicked()
{
    ChooseSlot(1);
}

void ProfileButton::on_btnProfile_2_clicked()
{
    ChooseSlot(2);
}

void ProfileButton::on_btnProfile_3_clicked()
{
    ChooseSlot(3);
}

void ProfileButton::ChooseSlot(int slot)
{
    emit CancelPreviousColor(slot);
    m_slot = slot;
    ShowNormal();
    emit LoadProfile(m_currentInndex);
}

void ProfileButton::on_btnProfile_clicked()
{
    // A bound profile can be bound to another slot: its slot buttons come back.
    if (m_slot != 0 && !m_modifyFlg && !IsConfirmingDelete())
        ui->wdgProfileButton->setVisible(ui->wdgProfileButton->isHidden());
}

// Rename

void ProfileButton::on_btnEdit_clicked()
{
    if (m_reserved)
        return;
    if (m_modifyFlg) {
        CommitName();
        return;
    }
    m_strProfileName = ui->lneProfileName->text();
    qDebug() << "m_strProfileName ：" << m_strProfileName;
    m_modifyFlg = true;
    ui->lneProfileName->setReadOnly(false);
    ui->lneProfileName->setFocusPolicy(Qt::StrongFocus);
    ShowNormal();
    ui->lneProfileName->setFocus();
    ui->lneProfileName->selectAll();
    ui->btnEdit->setStyleSheet(Picture("Edit_2.png"));
}

void ProfileButton::CommitName()
{
    const QString text = ui->lneProfileName->text().trimmed();
    // An empty name is not taken: the field stays open.
    if (text.isEmpty())
        return;
    qDebug() << "ModifyFlg:"
             << "false";
    m_modifyFlg = false;
    ui->lneProfileName->setReadOnly(true);
    ui->lneProfileName->setFocusPolicy(Qt::NoFocus);
    ui->btnEdit->setStyleSheet(Picture(m_subItem == Edit ? "Edit_3.png" : "Edit.png"));
    ShowNormal();
    if (text != m_strProfileName)
        emit ModifyNameProfile(m_currentInndex, text);
}

bool ProfileButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->lneProfileName && event->type() == QEvent::KeyPress && m_modifyFlg) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            qDebug() << "event->key():" << key;
            CommitName();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Delete

void ProfileButton::on_btnDelete_clicked()
{
    if (m_reserved)
        return;
    ui->btnEdit->hide();
    ui->btnDelete->hide();
    ui->lneProfileName->hide();
    ui->wdgProfileButton->hide();
    ui->wdgFocus->show();
    ui->wdgFocus->raise();
}

void ProfileButton::on_btnDelete_2_clicked()
{
    qDebug() << "m_currentInndex:" << m_currentInndex << m_slot;
    if (m_slot != 0)
        emit reloadProfie(m_strProfileName);
    emit CloseButton(m_currentInndex);
}

// Controller and mouse

void ProfileButton::FocusSubItem(int item)
{
    m_subItem = item;
    ui->btnEdit->setStyleSheet(Picture(m_modifyFlg    ? "Edit_2.png"
                                       : item == Edit ? "Edit_3.png"
                                                      : "Edit.png"));
    ui->btnDelete->setStyleSheet(Picture(item == Delete ? "delete_3.png" : "Delete.png"));
    ui->btnDelete_2->setStyleSheet(Picture(item == Delete ? "delete_3.png" : "Delete.png"));
    if (item >= Slot1 && item <= Slot3) {
        // Slot buttons show while the controller chooses, also on a bound profile.
        ui->wdgProfileButton->show();
        const QPushButton *button = SlotButton(item);
        const QPoint at = button->mapTo(this, QPoint(-2, -2));
        ui->lblBtnFocus->setGeometry(at.x(), at.y(), button->width() + 4, button->height() + 4);
        ui->lblBtnFocus->show();
        ui->lblBtnFocus->raise();
    } else {
        ui->lblBtnFocus->hide();
    }
}

void ProfileButton::ActivateSubItem(int item)
{
    switch (item) {
    case Slot1:
    case Slot2:
    case Slot3:
        ChooseSlot(item);
        break;
    case Edit:
        on_btnEdit_clicked();
        break;
    case Delete:
        if (IsConfirmingDelete())
            on_btnDelete_2_clicked();
        else
            on_btnDelete_clicked();
        break;
    default:
        break;
    }
}

void ProfileButton::LeaveButton()
{
    if (m_modifyFlg) {
        // Left without committing: the name stays as it was.
        m_modifyFlg = false;
        ui->lneProfileName->setText(m_strProfileName);
        ui->lneProfileName->setReadOnly(true);
        ui->lneProfileName->setFocusPolicy(Qt::NoFocus);
    }
    ui->wdgFocus->hide();
    FocusSubItem(NoSubItem);
    ShowNormal();
}

void ProfileButton::enterEvent(QEvent *event)
{
    SetHighlighted(true);
    QWidget::enterEvent(event);
}

void ProfileButton::leaveEvent(QEvent *event)
{
    SetHighlighted(false);
    QWidget::leaveEvent(event);
}
