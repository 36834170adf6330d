#pragma once

#include <QString>

// Style sheets the main window and its pages share.
namespace Style {

// The interface font family (Noto Sans SC), or empty when it could not be loaded.
QString AppFamily();
// A white label of px pixels in the family.
QString Label(int px, const QString &family);
// A large module button of the hub page, highlighted or not.
QString ModuleButton(const QString &family, bool focused);
// The icon of module i of the hub page (0 test .. 7 lighting).
QString ModuleIcon(int i);
// The icon of navigation button i in the small set.
QString NavIcon(int i);
// The small text buttons beside a controller-button picture.
QString HintButton(const QString &family);
// A closed selector (profile, device): white text on a rounded panel.
QString Selector();
// The controller focus frame: green on the page shown, white elsewhere.
QString NavFocus(bool onShownPage);
// A navigation column button, normal or marked as selected.
QString NavButton(bool selected);

// The four looks of an on/off button drawn by a picture beside its text: on, off, and each
// with the controller focus (a white border).
struct ToggleLooks
{
    QString on, off, onFocused, offFocused;
    const QString &Of(bool isOn, bool focused) const
    {
        return focused ? (isOn ? onFocused : offFocused) : (isOn ? on : off);
    }
};
// The keep-sync switch (pill pictures), with its text in textStyle.
ToggleLooks KeepSync(const QString &textStyle);
// An option with the round pictures (the stick inversions).
ToggleLooks RoundOption(const QString &textStyle);

QString AccentBar();
QString Notice(const QString &family); // the saved notice
QString Panel();                       // the agreement notice panel
QString Bullet();
QString Rule();
// The word mark on the splash (large) and in the header; drawn as text.
QString Logo(bool large);
// A white, not underlined link.
QString Link(const QString &url, const QString &text);
// The vendor's web pages, from the build-time web address.
enum class WebPage
{
    Support,
    Contact,
    Agreement,
    OpenSource
};
QString WebPageUrl(WebPage page);

} // namespace Style
