#pragma once

#include <QWidget>
#include <memory>

class QPushButton;

namespace Ui {
class ProfileButton;
}

// One profile file in the profiles grid: its name, the three controller slots it can be
// bound to (the slot's colour marks the binding), and, for user profiles, rename and
// delete. Driven by the mouse or, through the page, by the controller's sub-item focus.
class ProfileButton : public QWidget
{
    Q_OBJECT

public:
    // Sub-items the controller moves through inside a button.
    enum SubItem
    {
        NoSubItem = 0,
        Slot1 = 1,
        Slot2 = 2,
        Slot3 = 3,
        Edit = 4,
        Delete = 5,
    };

    ProfileButton(const QString &name, int index, bool reserved, QWidget *parent = nullptr);
    ~ProfileButton() override;

    QString Name() const { return m_strProfileName; }
    int Index() const { return m_currentInndex; }
    void SetIndex(int index) { m_currentInndex = index; }
    bool IsReserved() const { return m_reserved; }
    // 0 = none, 1..3.
    int Slot() const { return m_slot; }
    bool IsAssigned() const { return m_slot != 0; }
    bool IsEditing() const { return m_modifyFlg; }
    bool IsConfirmingDelete() const;

    // Takes a slot's colour without telling anyone (the page's reset binds this way).
    void Assign(int slot);
    // Back to no slot and grey.
    void ClearAssignment();
    // Mouse hover or controller focus: the selected frame, and edit and delete for user
    // profiles.
    void SetHighlighted(bool highlighted);
    // The last sub-item the controller reaches: reserved profiles stop at the slots.
    int LastSubItem() const { return m_reserved ? Slot3 : Delete; }
    void FocusSubItem(int item);
    void ActivateSubItem(int item);
    // The controller left the button: editing and the delete question are dropped.
    void LeaveButton();

signals:
    void CloseButton(int index);
    void LoadProfile(int index);
    void ModifyNameProfile(int index, QString name);
    void CancelPreviousColor(int colorID);
    void reloadProfie(QString name);

public slots:
    void on_btnEdit_clicked();
    void on_btnProfile_clicked();
    void on_btnDelete_clicked();
    void on_btnDelete_2_clicked();
    void on_btnProfile_1_clicked();
    void on_btnProfile_2_clicked();
    void on_btnProfile_3_clicked();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ChooseSlot(int slot);
    void CommitName();
    // The normal look: name, and slot buttons while no slot is held.
    void ShowNormal();
    void ApplyColour();
    QPushButton *SlotButton(int slot) const;

    std::unique_ptr<Ui::ProfileButton> ui;
    QString m_strProfileName;
    int m_currentInndex;
    bool m_reserved;
    int m_slot = 0;
    bool m_modifyFlg = false;
    bool m_highlighted = false;
    int m_subItem = NoSubItem;
};
