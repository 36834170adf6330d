#include "bartool.h"

#include "ui_bartool.h"

#include <QMouseEvent>
#include <QPainter>

Bartool::Bartool(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::Bartool>())
{
    ui->setupUi(this);
}

Bartool::~Bartool() = default;

void Bartool::SetBackgroundColor(int r, int g, int b, int a)
{
    m_background = QColor(r, g, b, a);
    update();
}

void Bartool::SetTitle(const QString &text)
{
    ui->lblTitle->setText(text);
}

QString Bartool::Title() const
{
    return ui->lblTitle->text();
}

void Bartool::on_btn_minimum_clicked()
{
    emit minimumWindowin();
}

void Bartool::on_btn_Close_clicked()
{
    if (QWidget *window = parentWidget())
        window->close();
}

void Bartool::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setBrush(m_background);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

void Bartool::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    m_x = event->globalPos().x();
    m_y = event->globalPos().y();
    QWidget::mousePressEvent(event);
}

void Bartool::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed) {
        const QPoint now = event->globalPos();
        m_dx = now.x() - m_x;
        m_dy = now.y() - m_y;
        m_x = now.x();
        m_y = now.y();
        if (QWidget *window = parentWidget())
            window->move(window->x() + m_dx, window->y() + m_dy);
    }
    QWidget::mouseMoveEvent(event);
}

void Bartool::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = false;
    QWidget::mouseReleaseEvent(event);
}
