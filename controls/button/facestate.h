#pragma once

#include "controls/button/buttonsettings.h"
#include "controls/button/palette.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where caption and picture go. Rectangles keep the old desktop's convention: x and y are
// left and top, width and height are right - left and bottom - top.
struct CaptionLayout {
    QRect captionBox;
    QRect captionBoxDown; // captionBox moved one pixel right and down
    QPoint picture;
};

// Everything one paint of the face reads. Of the settings the face takes type, caption, font,
// looks and pictures; `colours` is the palette it is painted in: for a hovered button with its
// own colours, the one built from BackOver.
struct ButtonFace {
    ButtonSettings settings;
    int state = 0;       // the effective state: 0 raised, 2 pushed
    bool enabled = true; // the setting, and the window not disabled
    bool mouseInside = false;
    bool focused = false;
    bool displayAsDefault = false; // the window shows this button as its default
    ButtonPalette colours;
    QSize client; // W x H
    CaptionLayout layout;
    QRect focusBox;
    QImage background;   // the parent's pixels behind a transparent button
    int drawnEffect = 0; // the caption effect last drawn; each paint updates it
};
