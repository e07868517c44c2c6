#pragma once

#include <QtGlobal>

// Colours are 0x00BBGGRR; a value whose top byte is 0x80 names a system colour by its low byte.

// What the button's palette is built from: its properties, and for scheme 4 the colours its
// parent window paints with.
struct PaletteInputs {
    qint32 ColorScheme = 1;
    qint32 ButtonType = 2;
    bool SoftBevel = false;
    quint32 BackColor = 0x8000000F;
    quint32 BackOver = 0x8000000F;
    quint32 ForeColor = 0x80000012;
    quint32 ForeOver = 0x80000012;
    quint32 MaskColor = 0xC0C0C0;
    quint32 ParentBackColor = 0xFFFFFF;
    quint32 ParentTextColor = 0x000000;
};

// The eleven plain RGB colours every drawing step of the button takes its colours from.
struct ButtonPalette {
    quint32 FaceColor = 0;
    quint32 LightColor = 0;
    quint32 HighlightColor = 0;
    quint32 ShadowColor = 0;
    quint32 DarkShadowColor = 0;
    quint32 TextColor = 0;
    quint32 TextOverColor = 0;
    quint32 SelectColor = 0;
    quint32 SelectLightColor = 0;
    quint32 MaskRGB = 0;
    quint32 FaceLightColor = 0;
};

// Moves each channel of `color` by `amount` (halved toward zero under a soft bevel), clamped in
// the direction of the move; with `proportionalBlue` blue moves by blue x amount / 192.
quint32 ShadeColor(quint32 color, qint32 amount, bool proportionalBlue, bool softBevel);

// Blends `color` toward white: 0 leaves it unchanged, 255 gives white.
quint32 TintColor(quint32 color, qint32 amount);

// A plain RGB value unchanged, a system colour reference as the current system colour, and
// black for anything that cannot be resolved.
quint32 ResolveColor(quint32 color);

// The palette of `inputs.ColorScheme`, with system colours read at this call.
ButtonPalette BuildPalette(const PaletteInputs& inputs);

// The palette of a hovered face: in scheme 2 the whole face derives from BackOver instead of
// BackColor; every other scheme hovers in its normal colours.
ButtonPalette BuildHoverPalette(const PaletteInputs& inputs);
