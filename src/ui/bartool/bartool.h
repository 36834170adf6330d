#pragma once

#include <QColor>
#include <QWidget>
#include <memory>

namespace Ui {
class Bartool;
}

// The title bar of the frameless main window: logo, title, minimise and close, a
// painted background, and dragging of the whole window.
class Bartool : public QWidget
{
    Q_OBJECT

public:
    explicit Bartool(QWidget *parent = nullptr);
    ~Bartool() override;

    void SetBackgroundColor(int r, int g, int b, int a);
    void SetTitle(const QString &text);
    QString Title() const;

signals:
    void minimumWindowin();

public slots:
    void on_btn_minimum_clicked();
    void on_btn_Close_clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::unique_ptr<Ui::Bartool> ui;
    bool m_pressed = false;
    int m_x = 0;
    int m_y = 0;
    int m_dx = 0;
    int m_dy = 0;
    QColor m_background{0, 0, 0, 255};
};
