#pragma once

#include "controls/button/buttonsettings.h"

#include <QtGlobal>

// Colours are 0x00BBGGRR; a value whose top byte is 0x80 names a system colour by its low byte.

// The colours the parent window paints with, which colour scheme 4 takes.
struct ParentColours {
    quint32 back = 0xFFFFFF;
    quint32 text = 0x000000;
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

// The palette of the settings' ColorScheme, with system colours read at this call. Of the
// settings it reads the colours, ButtonType and SoftBevel.
ButtonPalette BuildPalette(const ButtonSettings& settings, ParentColours parent = {});

// The palette of a hovered face: in scheme 2 the whole face derives from BackOver instead of
// BackColor; every other scheme hovers in its normal colours.
ButtonPalette BuildHoverPalette(const ButtonSettings& settings, ParentColours parent = {});

// The light working colour of a face of `buttonType` in `faceColor`: lightened by 48, with
// blue in proportion on the gradient face (type 3).
quint32 FaceLightOf(quint32 faceColor, qint32 buttonType, bool softBevel);
