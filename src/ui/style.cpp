#include "style.h"

#include "app/appstyle.h"
#include "app/fonts.h"

namespace Style {

namespace {
const QString kAccent = QLatin1String(AppStyle::kAccent);
const QString kPanel = QLatin1String(AppStyle::kPanel);
const QString kButtonText = QLatin1String(AppStyle::kButtonText);
} // namespace

QString AppFamily()
{
    // Registered once: the pages share the family the first load returns.
    static const QString family =
        Fonts::LoadFontFamily(QStringLiteral(":/font/NotoSansSC/NotoSansSC-Regular.ttf"));
    return family;
}

QString Label(int px, const QString &family)
{
    return AppStyle::WhiteFont(px, family);
}

QString ModuleButton(const QString &family, bool focused)
{
    return QStringLiteral("QToolButton{background-color:%1;color:%2;border-radius:16px;"
                          "font:22px %3;border:%4;}"
                          "QToolButton:hover{border:2px solid %5;}")
        .arg(kPanel, kButtonText, family,
             focused ? QStringLiteral("3px solid ") + kAccent : QStringLiteral("none"), kAccent);
}

QString ModuleIcon(int i)
{
    static const char *const icons[8] = {
        ":/Images/QuorelAPP/navigation/maxNav/Test.png",
        ":/Images/QuorelAPP/navigation/maxNav/Mapping.png",
        ":/Images/QuorelAPP/navigation/maxNav/Turbo.png",
        ":/Images/QuorelAPP/navigation/maxNav/Stick.png",
        ":/Images/QuorelAPP/navigation/maxNav/Trigger.png",
        ":/Images/QuorelAPP/navigation/maxNav/Vibration.png",
        ":/Images/QuorelAPP/navigation/maxNav/Profiles.png",
        ":/Images/QuorelAPP/navigation/maxNav/Lighting.png",
    };
    return QString::fromLatin1(icons[i & 7]);
}

QString NavIcon(int i)
{
    static const char *const icons[8] = {
        ":/Images/QuorelAPP/navigation/minNav/Test.png",
        ":/Images/QuorelAPP/navigation/minNav/Mapping.png",
        ":/Images/QuorelAPP/navigation/minNav/Turbo.png",
        ":/Images/QuorelAPP/navigation/minNav/Stick.png",
        ":/Images/QuorelAPP/navigation/minNav/Trigger.png",
        ":/Images/QuorelAPP/navigation/minNav/Vibration.png",
        ":/Images/QuorelAPP/navigation/minNav/Profiles.png",
        ":/Images/QuorelAPP/navigation/minNav/Lighting.png",
    };
    return QString::fromLatin1(icons[i & 7]);
}

QString HintButton(const QString &family)
{
    return QStringLiteral("QPushButton{background:transparent;color:%1;font:18px %2;"
                          "text-align:left;border:none;}"
                          "QPushButton:hover{color:%3;}")
        .arg(kButtonText, family, kAccent);
}

QString Selector()
{
    return QStringLiteral("QComboBox{color:white;background-color:rgb(52, 52, 52);"
                          "border-radius:16px;padding:0 12px;}"
                          "QComboBox::drop-down{border:none;width:0px;}"
                          "QComboBox QAbstractItemView{color:white;background:#343434;"
                          "selection-background-color:%1;}")
        .arg(kAccent);
}

QString NavFocus(bool onShownPage)
{
    return QStringLiteral("background:transparent;border:2px solid %1;border-radius:6px;")
        .arg(onShownPage ? QStringLiteral("#00FF00") : QStringLiteral("white"));
}

QString NavButton(bool selected)
{
    return QStringLiteral("QAbstractButton{background-color:%1;color:%2;border-radius:10px;"
                          "font:16px;border:%3;text-align:left;padding-left:10px;}"
                          "QAbstractButton:disabled{background-color:%4;color:white;}"
                          "QAbstractButton:hover{border:2px solid %4;}")
        .arg(kPanel, kButtonText,
             selected ? QStringLiteral("2px solid #ff5001") : QStringLiteral("none"), kAccent);
}

QString AccentBar()
{
    return QStringLiteral("background-color:%1;border-radius:3px;").arg(kAccent);
}

QString Notice(const QString &family)
{
    return QStringLiteral("color:white;background-color:%1;border-radius:22px;font:18px %2;")
        .arg(kAccent, family);
}

QString Panel()
{
    return QStringLiteral("#wdgUserPermission{background-color:rgba(52, 52, 52, 230);"
                          "border-radius:24px;}");
}

QString Bullet()
{
    return QStringLiteral("background-color:%1;border-radius:6px;").arg(kAccent);
}

QString Rule()
{
    return QStringLiteral("background-color:rgba(255, 255, 255, 60);");
}

QString Logo(bool large)
{
    return QStringLiteral("color:white;font:bold %1px;qproperty-alignment:%2;")
        .arg(large ? 56 : 28)
        .arg(large ? QStringLiteral("AlignCenter") : QStringLiteral("'AlignLeft | AlignVCenter'"));
}

QString Link(const QString &url, const QString &text)
{
    return QStringLiteral("<a href=\"%1\" style=\"color:white;text-decoration:none;\">%2</a>")
        .arg(url.toHtmlEscaped(), text.toHtmlEscaped());
}

QString WebPageUrl(WebPage page)
{
    const char *path = "/quoreloradesk/support/";
    switch (page) {
    case WebPage::Support:
        break;
    case WebPage::Contact:
        path = "/zh-cn/quoreloradesk/contact/";
        break;
    case WebPage::Agreement:
        path = "/quoreloradesk/eula/";
        break;
    case WebPage::OpenSource:
        path = "/quoreloradesk/open-source-disclosure/";
        break;
    }
    return QStringLiteral(ORADESK_WEB_BASE) + QLatin1String(path);
}

namespace {

ToggleLooks PictureToggle(const QString &textStyle, const QString &on, const QString &off,
                          const QString &onFocused, const QString &iconSize)
{
    const QString look =
        QStringLiteral("QPushButton{background:transparent;text-align:left;padding-left:6px;"
                       "border-radius:10px;%1qproperty-icon:url(%2);qproperty-iconSize:%3;"
                       "border:2px solid %4;}"
                       "QPushButton:hover{border:2px solid #FF5001;}");
    const QString none = QStringLiteral("transparent");
    const QString white = QStringLiteral("white");
    return {look.arg(textStyle, on, iconSize, none), look.arg(textStyle, off, iconSize, none),
            look.arg(textStyle, onFocused, iconSize, white),
            look.arg(textStyle, off, iconSize, white)};
}

} // namespace

ToggleLooks KeepSync(const QString &textStyle)
{
    return PictureToggle(textStyle, QStringLiteral(":/Images/QuorelAPP/button/Keep Sync Bt_1.png"),
                         QStringLiteral(":/Images/QuorelAPP/button/Keep Sync Bt_2.png"),
                         QStringLiteral(":/Images/QuorelAPP/button/Keep Sync Bt_3.png"),
                         QStringLiteral("48px 26px"));
}

ToggleLooks RoundOption(const QString &textStyle)
{
    const QString on = QStringLiteral(":/Images/QuorelAPP/button/rounded_2.png");
    return PictureToggle(textStyle, on, QStringLiteral(":/Images/QuorelAPP/button/rounded_1.png"),
                         on, QStringLiteral("24px 24px"));
}

} // namespace Style
