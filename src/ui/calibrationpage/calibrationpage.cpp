#include "calibrationpage.h"

#include "device/hidconfig.h"
#include "protocol/controllerscommunication.h"
#include "ui/pageids.h"
#include "ui/style.h"
#include "ui_calibrationpage.h"

#include <QDebug>
#include <QTextCursor>
#include <QTextImageFormat>

namespace {

const QString kIcons = QStringLiteral(":/Images/QuorelAPP/Icon/");
const QString kA = kIcons + QStringLiteral("ShapeA.png");
const QString kB = kIcons + QStringLiteral("ShapeB.png");
const QString kX = kIcons + QStringLiteral("ShapeX.png");
const QString kY = kIcons + QStringLiteral("ShapeY.png");
const QString kPress = kIcons + QStringLiteral("Press Down Icon2x.png");
const QString kSpin = kIcons + QStringLiteral("Spin Arrow Icon.png");
// The steps are joined by CR LF; in the document each line is a block of its own.
const QString kLineBreak = QStringLiteral("\r\n");
constexpr int kButtonPicture = 21;
constexpr int kLargePicture = 26;

// Where the background picture sits: beside the written steps, or beside the picture of
// the steps on models without trigger locks.
const QRect kPictureBesideText(520, 140, 386, 270);
const QRect kPictureBesideSteps(540, 40, 460, 322);

bool IsPicture(const QString &piece)
{
    return piece.startsWith(QLatin1String(":/"));
}

} // namespace

QStringList CalibrationPage::Instructions(bool chinese)
{
    // One line per step; a line is its pieces, each either text or a picture path.
    const QString nl = kLineBreak;
    if (chinese)
        return {tr("1. 按  "),
                kA,
                tr("  开始，控制器状态 LED 将开始闪烁。"),
                nl,
                tr("2. 把背面左右扳机锁都拨动到 T3 。"),
                nl,
                tr("3. 完全按下左右扳机 3 次 "),
                kPress,
                nl,
                tr("4. 把背面左右扳机锁都拨动到 T2。"),
                nl,
                tr("5. 同时按下 "),
                kA,
                tr("  和  "),
                kY,
                tr("，LED 开始慢速闪烁。"),
                nl,
                tr("6. 完全按下左右扳机 3 次 "),
                kPress,
                nl,
                tr("7. 把背面左右扳机锁都拨动到 T1。 "),
                nl,
                tr("8. 同时按下 "),
                kX,
                tr("  和  "),
                kB,
                tr("  ，LED 开始快速闪烁。"),
                nl,
                tr("9. 完全按下左右扳机 3 次 "),
                kPress,
                nl,
                tr("10. 左右摇杆分别充分旋转 3 次  "),
                kSpin,
                nl,
                tr("11. 同时按方向键下键和  "),
                kY,
                tr("  即可完成校准，控制器状态 LED 将停止闪烁。")};
    return {tr("1. Press  "),
            kA,
            tr("  to start, and the controller status LED will start flashing."),
            nl,
            tr("2. Slide both Left and Right trigger lock to T3."),
            nl,
            tr("3. Fully press in each trigger 3 times "),
            kPress,
            nl,
            tr("4. Slide both Left and Right trigger lock to T2."),
            nl,
            tr("5. Press the "),
            kA,
            tr("  and  "),
            kY,
            tr("at the same time, LED start slow flashing."),
            nl,
            tr("6. Fully press in each trigger 3 times "),
            kPress,
            nl,
            tr("7. Slide both Left and Right trigger lock to T1. "),
            nl,
            tr("8. Press the "),
            kX,
            tr("  and  "),
            kB,
            tr("  at the same time, LED start quick flashing."),
            nl,
            tr("9. Fully press in each trigger 3 times  "),
            kPress,
            nl,
            tr("10. Fully rotate each stick 3 times  "),
            kSpin,
            nl,
            tr("11. Press D-Pad down and  "),
            kY,
            tr("  to complete calibration, and the controller status LED will stop flashing.")};
}

CalibrationPage::CalibrationPage(HidConfig *hidConfig, QWidget *parent)
    : ConfigPage(hidConfig, parent), ui(std::make_unique<Ui::CalibrationPage>())
{
    ui->setupUi(this);
    SetUpStyles();
    // Down + Y is the controller's own last step; Y alone is back.
    connect(hidConfig, &HidConfig::FinishedCalibra, this,
            &CalibrationPage::on_btnFinshedCalibra_clicked);
    connect(hidConfig, &HidConfig::pressButtonY, this, [this](bool) { on_btnBack_clicked(); });
    prepare();
}

CalibrationPage::~CalibrationPage() = default;

void CalibrationPage::SetUpStyles()
{
    const QString family = Style::AppFamily();
    ui->label_2->setStyleSheet(Style::AccentBar());
    ui->lbl_MinTitle->setStyleSheet(Style::Label(20, family));
    ui->lbl_MinTitle_2->setStyleSheet(QStringLiteral("color:#bdbdbd;font:14px %1;").arg(family));
    ui->textEdit->setStyleSheet(
        QStringLiteral("QTextEdit{background:transparent;border:none;color:white;font:13px %1;}")
            .arg(family));
    ui->textEdit->setFrameShape(QFrame::NoFrame);
    ui->lblCalibra->setScaledContents(true);
    ui->lblBackground->setScaledContents(true);
    for (QPushButton *button : {ui->btnBack, ui->btnStart, ui->btnFinshedCalibra})
        button->setStyleSheet(Style::HintButton(family));
    const struct
    {
        QLabel *label;
        QString picture;
    } hints[] = {{ui->lbl_A, kA},
                 {ui->lbl_Y, kY},
                 {ui->lblFinishY, kY},
                 {ui->lblFinishDown, QStringLiteral(":/Images/QuorelAPP/button/Test/Down.png")}};
    for (const auto &hint : hints) {
        hint.label->setPixmap(QPixmap(hint.picture));
        hint.label->setScaledContents(true);
    }
    ui->lblFinishPlus->setStyleSheet(Style::Label(16, family));
    ui->lblFinishPlus->setAlignment(Qt::AlignCenter);
}

void CalibrationPage::BuildInstructions()
{
    const bool chinese = m_hidConfig->m_isChinese;
    ui->lblCalibra->setPixmap(
        QPixmap(QStringLiteral(":/Images/QuorelAPP/background/%1")
                    .arg(chinese ? QStringLiteral("CalibrationText.png")
                                 : QStringLiteral("CalibrationText_English.png"))));
    ui->textEdit->clear();
    QTextCursor cursor(ui->textEdit->document());
    for (const QString &piece : Instructions(chinese)) {
        if (piece == kLineBreak) {
            cursor.insertBlock();
            continue;
        }
        if (!IsPicture(piece)) {
            cursor.insertText(piece);
            continue;
        }
        QTextImageFormat image;
        image.setName(piece);
        const bool button = piece != kPress && piece != kSpin;
        image.setWidth(button ? kButtonPicture : kLargePicture);
        image.setHeight(button ? kButtonPicture : kLargePicture);
        image.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        cursor.insertImage(image);
    }
}

void CalibrationPage::Reload()
{
    // The calibration page covers the navigation column's area too.
    move(0, 32);
    prepare();
}

void CalibrationPage::ShowPicture(const QString &name)
{
    const bool noLocks = m_hidConfig->m_noTriggerLevels.load();
    ui->lblBackground->setGeometry(noLocks ? kPictureBesideSteps : kPictureBesideText);
    ui->lblBackground->setPixmap(QPixmap(QStringLiteral(":/Images/QuorelAPP/background/") + name));
}

void CalibrationPage::prepare()
{
    ui->btnStart->show();
    ui->lbl_A->show();
    ui->wdgFinshed->hide();
    ShowPicture(QStringLiteral("Background_calibra.png"));
    const bool noLocks = m_hidConfig->m_noTriggerLevels.load();
    BuildInstructions();
    ui->lblCalibra->setVisible(noLocks);
    ui->textEdit->setVisible(!noLocks);
}

bool CalibrationPage::IsCalibrating() const
{
    return !ui->wdgFinshed->isHidden();
}

void CalibrationPage::on_btnStart_clicked()
{
    if (!isVisible() || !ui->btnStart->isVisible())
        return;
    if (!Com().StartCalibration())
        qDebug() << "start calibration not written";
    const bool noLocks = m_hidConfig->m_noTriggerLevels.load();
    ShowPicture(noLocks ? QStringLiteral("Background_calibra_3.png")
                        : QStringLiteral("Background_calibra_2.png"));
    ui->btnStart->hide();
    ui->lbl_A->hide();
    ui->wdgFinshed->show();
}

void CalibrationPage::on_btnFinshedCalibra_clicked()
{
    if (!isVisible() || !ui->btnFinshedCalibra->isVisible())
        return;
    ui->btnStart->show();
    ui->lbl_A->show();
    ui->wdgFinshed->hide();
    emit mainWinPageShow(PageId::Test);
    if (!Com().EndCalibration())
        qDebug() << "finish calibration not written";
    ShowPicture(QStringLiteral("Background_calibra.png"));
}

void CalibrationPage::on_btnBack_clicked()
{
    if (!isVisible() || !ui->btnStart->isVisible())
        return;
    emit mainWinPageShow(PageId::Test);
}

void CalibrationPage::clickPadButtonA(bool)
{
    on_btnStart_clicked();
}
