#include "controls/button/syscolors.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace {

// Where one system colour comes from: a palette role, or a fixed value when Qt has no
// role for it (window captions and borders belong to the window manager here).
struct SysColorSource {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    quint32 fixed;
};

constexpr QPalette::ColorGroup Active = QPalette::Active;
constexpr QPalette::ColorRole Fixed = QPalette::NoRole;

constexpr std::array<SysColorSource, 31> sources{{
    {Active, Fixed, 0xC8C8C8},               // COLOR_SCROLLBAR
    {Active, Fixed, 0x808000},               // COLOR_BACKGROUND
    {Active, Fixed, 0x800000},               // COLOR_ACTIVECAPTION
    {Active, Fixed, 0x808080},               // COLOR_INACTIVECAPTION
    {Active, QPalette::Window, 0},           // COLOR_MENU
    {Active, QPalette::Base, 0},             // COLOR_WINDOW: the background of text boxes
    {Active, Fixed, 0x000000},               // COLOR_WINDOWFRAME
    {Active, QPalette::WindowText, 0},       // COLOR_MENUTEXT
    {Active, QPalette::Text, 0},             // COLOR_WINDOWTEXT: the text of text boxes
    {Active, Fixed, 0xFFFFFF},               // COLOR_CAPTIONTEXT
    {Active, Fixed, 0xC0C0C0},               // COLOR_ACTIVEBORDER
    {Active, Fixed, 0xC0C0C0},               // COLOR_INACTIVEBORDER
    {Active, Fixed, 0x808080},               // COLOR_APPWORKSPACE
    {Active, QPalette::Highlight, 0},        // COLOR_HIGHLIGHT
    {Active, QPalette::HighlightedText, 0},  // COLOR_HIGHLIGHTTEXT
    {Active, QPalette::Button, 0},           // COLOR_BTNFACE
    {Active, QPalette::Dark, 0},             // COLOR_BTNSHADOW
    {QPalette::Disabled, QPalette::Text, 0}, // COLOR_GRAYTEXT
    {Active, QPalette::ButtonText, 0},       // COLOR_BTNTEXT
    {Active, Fixed, 0xC0C0C0},               // COLOR_INACTIVECAPTIONTEXT
    {Active, QPalette::Light, 0},            // COLOR_BTNHIGHLIGHT
    {Active, QPalette::Shadow, 0},           // COLOR_3DDKSHADOW
    {Active, QPalette::Midlight, 0},         // COLOR_3DLIGHT
    {Active, QPalette::ToolTipText, 0},      // COLOR_INFOTEXT
    {Active, QPalette::ToolTipBase, 0},      // COLOR_INFOBK
    {Active, Fixed, 0x000000},               // index 25 names no colour
    {Active, QPalette::Link, 0},             // COLOR_HOTLIGHT
    {Active, Fixed, 0xD08410},               // COLOR_GRADIENTACTIVECAPTION
    {Active, Fixed, 0xB5B5B5},               // COLOR_GRADIENTINACTIVECAPTION
    {Active, QPalette::Highlight, 0},        // COLOR_MENUHILIGHT
    {Active, QPalette::Window, 0},           // COLOR_MENUBAR
}};

} // namespace

bool IsSysColorIndex(int index)
{
    return index >= 0 && index < int(sources.size());
}

quint32 GetSysColor(int index)
{
    if (!IsSysColorIndex(index))
        return 0;
    const SysColorSource& source = sources[index];
    if (source.role == Fixed)
        return source.fixed;
    // Read afresh so that a palette change shows at the next palette build.
    return bgrFromColor(QGuiApplication::palette().color(source.group, source.role));
}

QColor colorFromBgr(quint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

quint32 bgrFromColor(const QColor& color)
{
    const QRgb rgb = color.rgb();
    return quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16;
}
