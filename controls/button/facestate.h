#pragma once

#include "controls/button/palette.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// What the caption layout is computed from.
struct CaptionContent {
    QString caption;
    QFont font;
    QSize client;               // W x H
    qint32 picturePosition = 0; // 0 left, 1 right, 2 above, 3 below, 4 behind the caption
    QSize picture;              // the size of PictureNormal, empty without one
    bool hasPicture = false;    // PictureNormal or PictureOver is set
};

// Where caption and picture go. Rectangles keep the old desktop's convention: x and y are
// left and top, width and height are right - left and bottom - top.
struct CaptionLayout {
    QRect captionBox;
    QRect captionBoxDown; // captionBox moved one pixel right and down
    QPoint picture;
};

// Everything one paint of the face reads. `colours` is the palette the face is painted in:
// for a hovered button with its own colours, the one built from BackOver.
struct ButtonFace {
    qint32 buttonType = 2;
    int state = 0; // the effective state: 0 raised, 2 pushed
    bool enabled = true;
    bool mouseInside = false;
    bool focused = false;
    bool showFocusRect = true;
    bool displayAsDefault = false; // the window shows this button as its default
    bool softBevel = false;
    qint32 colorScheme = 1;
    qint32 specialEffect = 0;
    ButtonPalette colours;
    CaptionContent content;
    CaptionLayout layout;
    QRect focusBox;
    QImage pictureNormal;
    QImage pictureOver;
    bool useMaskColor = true;
    bool useGreyscale = false;
    QImage background;   // the parent's pixels behind a transparent button
    int drawnEffect = 0; // the caption effect last drawn; each paint updates it
};
