#include "controls/button/palette.h"

#include "controls/button/syscolors.h"

namespace {

// Channels are worked as signed 32-bit values, as the control holds its colours.
qint32 joinChannels(qint32 red, qint32 green, qint32 blue)
{
    return red + 256 * green + 65536 * blue;
}

} // namespace

quint32 ShadeColor(quint32 color, qint32 amount, bool proportionalBlue, bool softBevel)
{
    if (softBevel)
        amount /= 2;
    const qint32 value = qint32(color);
    qint32 red = value & 0xFF;
    qint32 green = (value / 256) % 256;
    qint32 blue = (value / 65536) % 256;
    red += amount;
    green += amount;
    blue += proportionalBlue ? blue * amount / 192 : amount;
    if (amount > 0) {
        red = qMin(red, 255);
        green = qMin(green, 255);
        blue = qMin(blue, 255);
    } else if (amount < 0) {
        red = qMax(red, 0);
        green = qMax(green, 0);
        blue = qMax(blue, 0);
    }
    return quint32(joinChannels(red, green, blue));
}

quint32 TintColor(quint32 color, qint32 amount)
{
    const qint32 value = qint32(color);
    const auto tint = [amount](qint32 channel) {
        return qMin((255 - amount) * channel / 255 + amount, 255);
    };
    return quint32(
        joinChannels(tint(value & 0xFF), tint((value / 256) % 256), tint((value / 65536) % 256)));
}

quint32 ResolveColor(quint32 color)
{
    switch (color >> 24) {
    case 0x00:
        return color;
    case 0x80:
        return GetSysColor(int(color & 0xFF));
    default:
        return 0;
    }
}

ButtonPalette BuildPalette(const ButtonSettings& in, ParentColours parent)
{
    ButtonPalette p;
    const auto shade = [&in](quint32 color, qint32 amount) {
        return ShadeColor(color, amount, false, in.SoftBevel);
    };
    // The bevel edges of the schemes that derive them from the face.
    const auto deriveEdges = [&shade](ButtonPalette& palette) {
        palette.ShadowColor = shade(palette.FaceColor, -64);
        palette.LightColor = shade(palette.FaceColor, 31);
        palette.HighlightColor = shade(palette.FaceColor, 47);
        palette.DarkShadowColor = shade(palette.FaceColor, -192);
    };
    switch (in.ColorScheme) {
    case 2:
        p.FaceColor = ResolveColor(in.BackColor);
        p.TextColor = ResolveColor(in.ForeColor);
        p.TextOverColor = ResolveColor(in.ForeOver);
        deriveEdges(p);
        p.SelectColor = shade(p.FaceColor, -128);
        p.SelectLightColor = p.FaceColor;
        break;
    case 3:
        p.FaceColor = 0xC0C0C0;
        p.TextColor = 0x000000;
        p.TextOverColor = 0x000000;
        p.ShadowColor = 0x808080;
        p.LightColor = 0xDFDFDF;
        p.HighlightColor = 0xFFFFFF;
        p.DarkShadowColor = 0x000000;
        p.SelectColor = 0x800000;
        p.SelectLightColor = 0xD1ADAD;
        break;
    case 4:
        p.FaceColor = parent.back;
        p.TextColor = parent.text;
        p.TextOverColor = p.TextColor;
        deriveEdges(p);
        p.SelectColor = GetSysColor(COLOR_HIGHLIGHT);
        p.SelectLightColor = TintColor(p.SelectColor, 176);
        break;
    default:
        p.FaceColor = GetSysColor(COLOR_BTNFACE);
        p.TextColor = GetSysColor(COLOR_BTNTEXT);
        p.TextOverColor = p.TextColor;
        p.ShadowColor = GetSysColor(COLOR_BTNSHADOW);
        p.LightColor = GetSysColor(COLOR_3DLIGHT);
        p.HighlightColor = GetSysColor(COLOR_BTNHIGHLIGHT);
        p.DarkShadowColor = GetSysColor(COLOR_3DDKSHADOW);
        p.SelectColor = GetSysColor(COLOR_HIGHLIGHT);
        p.SelectLightColor = TintColor(p.SelectColor, 176);
        break;
    }
    p.MaskRGB = ResolveColor(in.MaskColor);
    p.FaceLightColor = FaceLightOf(p.FaceColor, in.ButtonType, in.SoftBevel);
    return p;
}

ButtonPalette BuildHoverPalette(const ButtonSettings& settings, ParentColours parent)
{
    if (settings.ColorScheme != 2)
        return BuildPalette(settings, parent);
    ButtonSettings hovered = settings;
    hovered.BackColor = settings.BackOver;
    return BuildPalette(hovered, parent);
}

quint32 FaceLightOf(quint32 faceColor, qint32 buttonType, bool softBevel)
{
    return ShadeColor(faceColor, 48, buttonType == 3, softBevel);
}
