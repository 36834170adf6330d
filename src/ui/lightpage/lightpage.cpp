#include "lightpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui/style.h"
#include "ui_lightpage.h"

#include <QDebug>
#include <QMouseEvent>
#include <algorithm>

namespace {

constexpr int kSwatchSize = 25;
constexpr int kSwatchSpacing = 10;
constexpr int kColumns = 6;
// The colour of a zone after reset: swatch 21.
constexpr int kResetSwatch = 21;
constexpr int kHandleMinX = 7;
constexpr int kHandleMaxX = 377;
constexpr int kHandleY = 2;
// Below this the bar's rounded chunk would not show.
constexpr int kBarMinimum = 3;
constexpr int kSpeedDelayMs = 50;
constexpr int kModeReadDelayMs = 50;

// Byte k of zone area (0..3) in the record: brightness, speed, mode, red, green, blue.
enum AreaByte
{
    kBrightness = 0,
    kSpeed = 1,
    kMode = 2,
    kRed = 3,
};

constexpr uint8_t kPalette[LightPage::kSwatches][3] = {
    {255, 0, 0},    {255, 99, 71}, {255, 127, 80}, {255, 215, 0}, {0, 255, 255},  {255, 255, 255},
    {205, 92, 92},  {255, 165, 0}, {255, 255, 0},  {0, 250, 154}, {64, 224, 208}, {135, 206, 250},
    {255, 140, 0},  {204, 255, 0}, {0, 255, 0},    {0, 191, 255}, {138, 43, 226}, {254, 58, 129},
    {218, 165, 32}, {0, 128, 0},   {30, 144, 255}, {0, 0, 255},   {117, 0, 160},  {255, 20, 147},
};

const QString kDark = QStringLiteral("#343434");
const QString kWhite = QStringLiteral("white");

QString FrameStyle(int radius)
{
    return QStringLiteral("border:2px solid white;border-radius:%1px;background:transparent;")
        .arg(radius);
}

} // namespace

QColor LightPage::Swatch(int index)
{
    if (index < 1 || index > kSwatches)
        return QColor(0, 0, 0);
    const uint8_t *rgb = kPalette[index - 1];
    return QColor(rgb[0], rgb[1], rgb[2]);
}

int LightPage::HandleX(int brightness)
{
    // Integer arithmetic: the integer part of brightness × 3.7, with no rounding error.
    return std::clamp(brightness * 37 / 10 + kHandleMinX, kHandleMinX, kHandleMaxX);
}

LightPage::LightPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::LightPage>())
{
    ui->setupUi(this);
    setFixedSize(1060, 460);
    m_color.fill(Swatch(kResetSwatch));
    m_Brightness.fill(100);
    m_speedValue.fill(1);
    BuildSwatches();
    SetUpStyles();

    ui->lblLight->installEventFilter(this);
    ui->lblLight->setParent(ui->wdgProgBar);
    ui->lblLight->raise();
    ui->lblLight->setAttribute(Qt::WA_Hover);
    for (QLabel *frame : {ui->lblAreaFocus, ui->lblModelFocus, ui->lblSpeedFocus}) {
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        frame->hide();
    }

    m_speedTimer.setSingleShot(true);
    connect(&m_speedTimer, &QTimer::timeout, this, &LightPage::onTimeSpeed);
    m_readTimer.setSingleShot(true);
    connect(&m_readTimer, &QTimer::timeout, this, &LightPage::ReadAreaSpeed);
    // The zones' read chain ends here; what it brings back unchanged keeps unsaved edits.
    connect(hidConfig, &HidConfig::UpdateLightPage, this, &LightPage::ReloadIfChanged);
    // Any mouse movement over the page takes the controller highlights away.
    setMouseTracking(true);
    SelectArea(1);
}

LightPage::~LightPage() = default;

PageReads LightPage::ReadsBefore(PageLoad load) const
{
    const auto firstZone = [](ControllersCommunication &com) { return com.GetLight(0, 0); };
    if (load == PageLoad::ProfileChange)
        return {{nullptr, 20}, {firstZone, 600}};
    return {{firstZone, 100}};
}

void LightPage::BuildSwatches()
{
    const QString style = QStringLiteral(
        "QPushButton { border:0px solid white;border-radius:5px; background-color:rgb(%1,%2,%3);  "
        "} QPushButton:hover {   border:2px solid white;    }");
    for (int i = 0; i < kSwatches; ++i) {
        const int index = i + 1;
        const QColor color = Swatch(index);
        const QRect cell((i % kColumns) * (kSwatchSize + kSwatchSpacing),
                         (i / kColumns) * (kSwatchSize + kSwatchSpacing), kSwatchSize, kSwatchSize);
        auto *button = new QPushButton(ui->wdgColors);
        button->setObjectName(QStringLiteral("btnColor_%1").arg(index));
        button->setGeometry(cell);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(style.arg(color.red()).arg(color.green()).arg(color.blue()));
        connect(button, &QPushButton::clicked, this, [this, index] {
            const QColor chosen = Swatch(index);
            qDebug() << "num" << index << chosen.red() << chosen.green() << chosen.blue();
            SetColor(chosen);
        });
        auto *frame = new QLabel(ui->wdgColors);
        frame->setObjectName(QStringLiteral("lblColorFocus_%1").arg(index));
        frame->setGeometry(cell);
        frame->setStyleSheet(FrameStyle(5));
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        frame->hide();
        m_swatches[size_t(i)] = button;
        m_swatchFrames[size_t(i)] = frame;
    }
}

void LightPage::SetUpStyles()
{
    const QString family = Style::AppFamily();
    const QString title = Style::Label(16, family);
    for (QLabel *label : {ui->label_2, ui->label_7, ui->label_8, ui->label_9})
        label->setStyleSheet(title);
    ui->lblDownICO->setStyleSheet(QStringLiteral("color:#FF5001;font:14px;"));
    ui->lblDownICO->setAlignment(Qt::AlignCenter);
    ui->comBxModel->setStyleSheet(Style::Selector() +
                                  QStringLiteral("QComboBox{font:14px %1;}").arg(family));
    ui->lblAreaFocus->setStyleSheet(FrameStyle(10));
    ui->lblModelFocus->setStyleSheet(FrameStyle(18));
    ui->lblSpeedFocus->setStyleSheet(FrameStyle(20));

    const QString speed = QStringLiteral(
        "QPushButton {color:#ececec;border-radius:17px;border:2px solid %1; background-color:%2; "
        "}QPushButton::hover { border:2px solid #FFFFFF;}QPushButton::pressed {  border:2px solid "
        "#FFFFFF;}QPushButton{font:14px %3;}");
    m_speedSelected = speed.arg(QStringLiteral("#FF5001"), QStringLiteral("#FF5001"), family);
    m_speedNormal = speed.arg(kDark, QStringLiteral("#00FF5001"), family);
    StyleBrightness(false);
    SetUpSaveAndReset(ui->lbl_A, ui->lbl_A_2);
}

// Loading

void LightPage::Reload()
{
    UpdateUI();
}

void LightPage::UpdateUI()
{
    qDebug() << "m_hidConfig->m_profileCount:" << m_hidConfig->Profiles().ActiveIndex();
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    for (int a = 0; a < kAreas; ++a) {
        const uint8_t *area = record.lightAreas + PROFILE_INFO::kLightZoneBytes * a;
        // The bytes come from the device or a file: out-of-range values fall back to a
        // valid setting rather than index the mode list or the speed buttons.
        if (area[kBrightness] > 100)
            qDebug() << "light area" << a << "brightness" << area[kBrightness] << "shown as 100";
        if (area[kSpeed] > 2)
            qDebug() << "light area" << a << "speed" << area[kSpeed] << "shown as medium";
        if (area[kMode] > 2)
            qDebug() << "light area" << a << "mode" << area[kMode] << "shown as colour cycle";
        m_Brightness[size_t(a)] = std::min<int>(area[kBrightness], 100);
        m_speedValue[size_t(a)] = area[kSpeed] > 2 ? 1 : area[kSpeed];
        m_mode[size_t(a)] = area[kMode] > 2 ? 0 : area[kMode];
        m_color[size_t(a)] = QColor(area[kRed], area[kRed + 1], area[kRed + 2]);
    }
    m_popupOpen = false;
    m_brightEdit = false;
    SelectArea(1);
    m_index = 0;
    m_returnIndex = kFocusArea1;
    ui->lblController->setStyleSheet(m_hidConfig->DevicePictureStyle());
    HideFocusFrames();
    m_hidConfig->RequestUnlockNavigation(true);
}

// Areas

void LightPage::on_btnArea_1_clicked()
{
    SelectArea(1);
}

void LightPage::on_btnArea_2_clicked()
{
    SelectArea(2);
}

void LightPage::on_btnArea_3_clicked()
{
    SelectArea(3);
}

void LightPage::on_btnArea_4_clicked()
{
    SelectArea(4);
}

void LightPage::SelectArea(int area)
{
    m_areaNum = std::clamp(area, 1, kAreas);
    const size_t a = size_t(m_areaNum - 1);
    const QString family = Style::AppFamily();
    const QString style =
        QStringLiteral("QPushButton{background-color:%1;border-radius:8px;border:none;"
                       "color:#ececec;font:14px %2;}"
                       "QPushButton:pressed{border:2px solid #98c019;}");
    QPushButton *const buttons[kAreas] = {ui->btnArea_1, ui->btnArea_2, ui->btnArea_3,
                                          ui->btnArea_4};
    for (int n = 1; n <= kAreas; ++n)
        buttons[n - 1]->setStyleSheet(
            style.arg(n == m_areaNum ? QStringLiteral("#FF5001") : kDark, family));
    // The arrow sits under the middle of the chosen button.
    ui->lblDownICO->move(100 + 150 * (m_areaNum - 1), 50);
    qDebug() << "m_Brightness[num]:" << m_Brightness[a];
    ShowBrightness(m_Brightness[a]);
    SetColor(m_color[a]);
    SetSpeed(m_speedValue[a] + 1);
    ui->comBxModel->setCurrentIndex(m_mode[a]);
    ui->wdgSpeed->setVisible(m_mode[a] != 0);
}

QColor LightPage::AreaColor(int area) const
{
    return area >= 1 && area <= kAreas ? m_color[size_t(area - 1)] : QColor();
}

int LightPage::AreaBrightness(int area) const
{
    return area >= 1 && area <= kAreas ? m_Brightness[size_t(area - 1)] : -1;
}

int LightPage::AreaMode(int area) const
{
    return area >= 1 && area <= kAreas ? m_mode[size_t(area - 1)] : -1;
}

int LightPage::AreaSpeed(int area) const
{
    return area >= 1 && area <= kAreas ? m_speedValue[size_t(area - 1)] : -1;
}

// Colour

void LightPage::SetColor(const QColor &color)
{
    // The preview is drawn from the same three bytes the save sends.
    m_color[size_t(m_areaNum - 1)] = color;
    ui->lblColor->setStyleSheet(
        QStringLiteral(" background-color:rgb(%1,%2,%3);   border-radius:8px;")
            .arg(color.red())
            .arg(color.green())
            .arg(color.blue()));
}

// Speed

void LightPage::on_btnSlow_clicked()
{
    SetSpeed(1);
}

void LightPage::on_btnMin_clicked()
{
    SetSpeed(2);
}

void LightPage::on_btnFast_clicked()
{
    SetSpeed(3);
}

void LightPage::SetSpeed(int speed)
{
    m_speedSel = std::clamp(speed, 1, 3);
    QPushButton *const buttons[3] = {ui->btnSlow, ui->btnMin, ui->btnFast};
    for (int n = 1; n <= 3; ++n)
        buttons[n - 1]->setStyleSheet(n == m_speedSel ? m_speedSelected : m_speedNormal);
    m_speedValue[size_t(m_areaNum - 1)] = m_speedSel - 1;
}

void LightPage::onTimeSpeed()
{
    m_speedTimer.stop();
    const PROFILE_INFO record = m_hidConfig->Profiles().Active();
    const uint8_t speed = record.lightAreas[PROFILE_INFO::kLightZoneBytes * m_speedArea + kSpeed];
    if (speed > 2) {
        qDebug() << "light area" << m_speedArea << "speed" << speed << "ignored";
        return;
    }
    m_speedValue[size_t(m_speedArea)] = speed;
    // The user may have chosen another area meanwhile: only the shown one is restyled.
    if (m_speedArea == m_areaNum - 1)
        SetSpeed(speed + 1);
}

// Mode

void LightPage::on_comBxModel_activated(int index)
{
    index = std::clamp(index, 0, 2);
    ui->comBxModel->setCurrentIndex(index);
    ui->wdgSpeed->setVisible(index != 0);
    const int zone = m_areaNum - 1;
    m_mode[size_t(zone)] = index;
    // The device answers with the zone's speed for this mode; the reply must not start
    // the read-back chain.
    m_hidConfig->Reader().m_lightSkipOnce.store(true);
    m_readZone = zone;
    m_readTimer.start(kModeReadDelayMs);
}

void LightPage::ReadAreaSpeed()
{
    Com().WriteAndPause(Com().GetLight(1, uint8_t(m_readZone)));
    m_speedArea = m_readZone;
    m_speedTimer.start(kSpeedDelayMs);
}

void LightPage::on_lblSpeedFocus_linkActivated(const QString &) {}

void LightPage::on_lblAreaFocus_linkActivated(const QString &) {}

// Brightness

void LightPage::ShowBrightness(int value)
{
    ui->lblLight->move(HandleX(value), kHandleY);
    ui->progressBar->setValue(std::max(value, kBarMinimum));
}

void LightPage::DragHandle(int x)
{
    x = std::clamp(x, kHandleMinX, kHandleMaxX);
    const int value = std::min((x - kHandleMinX) * 100 / (kHandleMaxX - kHandleMinX), 100);
    qDebug() << "m_value:" << value;
    ui->lblLight->move(x, kHandleY);
    if (value > 2)
        ui->progressBar->setValue(value);
    else
        ui->progressBar->setValue(kBarMinimum);
    m_Brightness[size_t(m_areaNum - 1)] = value;
}

void LightPage::StyleBrightness(bool white)
{
    const QString border = white ? kWhite : kDark;
    ui->lblLight->setStyleSheet(
        QStringLiteral("background-color:#FF5001;border-radius:8px;border:2px solid %1;")
            .arg(border));
    ui->progressBar->setStyleSheet(
        QStringLiteral("QProgressBar{background-color:#343434;border-radius:6px;"
                       "border:1px solid %1;}"
                       "QProgressBar::chunk{background-color:#FF5001;border-radius:5px;}")
            .arg(border));
}

bool LightPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->lblLight)
        return ConfigPage::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragging = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        return true;
    case QEvent::MouseMove:
        if (m_dragging) {
            // The handle's middle follows the pointer.
            const QPoint inBar =
                ui->lblLight->mapToParent(static_cast<QMouseEvent *>(event)->pos());
            DragHandle(inBar.x() - ui->lblLight->width() / 2);
        }
        return true;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return true;
    case QEvent::Enter:
        StyleBrightness(true);
        break;
    case QEvent::Leave:
        if (!m_brightEdit)
            StyleBrightness(false);
        break;
    default:
        break;
    }
    return ConfigPage::eventFilter(watched, event);
}

// Save and reset

void LightPage::on_btnSave_clicked()
{
    if (!isVisible())
        return;
    const PROFILE_INFO record = m_hidConfig->Profiles().EditActive([this](PROFILE_INFO &r) {
        for (int a = 0; a < kAreas; ++a) {
            uint8_t *area = r.lightAreas + PROFILE_INFO::kLightZoneBytes * a;
            const QColor &color = m_color[size_t(a)];
            area[kBrightness] = uint8_t(std::clamp(m_Brightness[size_t(a)], 0, 100));
            area[kSpeed] = uint8_t(std::clamp(m_speedValue[size_t(a)], 0, 2));
            area[kMode] = uint8_t(std::clamp(m_mode[size_t(a)], 0, 2));
            area[kRed] = uint8_t(color.red());
            area[kRed + 1] = uint8_t(color.green());
            area[kRed + 2] = uint8_t(color.blue());
        }
    });
    ControllersCommunication &com = Com();
    // Brightness, speed, mode, colour of one zone, then the next.
    const auto item = [&com, &record](uint8_t zone, uint8_t item) -> std::function<bool()> {
        return [&com, &record, zone, item] {
            if (item == kSpeed)
                qDebug() << "m_speedValue[i]:" << zone
                         << record.lightAreas[PROFILE_INFO::kLightZoneBytes * zone + kSpeed];
            return com.SetLight(item, zone, record);
        };
    };
    SaveAndNotify({item(0, 0), item(0, 1), item(0, 2), item(0, 3), item(1, 0), item(1, 1),
                   item(1, 2), item(1, 3), item(2, 0), item(2, 1), item(2, 2), item(2, 3),
                   item(3, 0), item(3, 1), item(3, 2), item(3, 3)},
                  kSaved, record, {SaveCheck::Section::Lights});
}

void LightPage::on_btnReset_clicked()
{
    if (!isVisible())
        return;
    ControllersCommunication &com = Com();
    for (int area = kAreas; area >= 1; --area) {
        SelectArea(area);
        SetColor(Swatch(kResetSwatch));
        SetSpeed(2);
        ui->comBxModel->setCurrentIndex(0);
        ui->wdgSpeed->hide();
        m_mode[size_t(area - 1)] = 0;
        m_Brightness[size_t(area - 1)] = 100;
        // The device is asked for each zone's speed as after a mode change, at once and
        // spaced by the protocol pause so the commit follows all four reads.
        m_hidConfig->Reader().m_lightSkipOnce.store(true);
        com.WriteAndPause(com.GetLight(1, uint8_t(area - 1)));
    }
    // The reset values stay on the page until saved: the device's current speed, which
    // the reads above bring back, must not replace them.
    m_readTimer.stop();
    m_speedTimer.stop();
    ShowBrightness(100);
    // Nothing is written: only the commit, which no read can confirm.
    SaveAndNotify({}, kReset, m_hidConfig->Profiles().Active(), {});
}
