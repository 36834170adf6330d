#pragma once

#include <QWidget>
#include <memory>

class HidConfig;

namespace Ui {
class MappingPage;
}

// Button and back-paddle mapping of the active profile. A frame for now: the main window already
// navigates to it, shows and hides it and calls its operations.
class MappingPage : public QWidget
{
    Q_OBJECT

public:
    explicit MappingPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~MappingPage() override;

    void updateMappingPage();
    void pollRefresh();
signals:
    void saveShowAndCloseText(int Flag);

private:
    std::unique_ptr<Ui::MappingPage> ui;
    HidConfig *m_hidConfig;
};
