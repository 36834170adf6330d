#pragma once

#include <QWidget>
#include <memory>

class HidConfig;
class QThread;

namespace Ui {
class MainWindow;
}

// The application window. It owns the device model and the thread its read loop runs
// on for the whole run.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    HidConfig *hidConfig() const { return m_hidConfig; }

private:
    std::unique_ptr<Ui::MainWindow> ui;
    HidConfig *m_hidConfig = nullptr;
    QThread *m_hidThread = nullptr;
};
