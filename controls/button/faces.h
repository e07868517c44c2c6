#pragma once

#include "controls/button/facestate.h"

#include <QRegion>

class PaintSurface;

// What the last completed paint of a face showed.
struct DrawnFace {
    int state = 0;
    QString caption;
    // The caption effect drawn, which a picture behind the caption is overdrawn with.
    int effect = 0;
};

// Decides whether a paint request draws: the state to paint (2 for a ticked check box,
// whatever was asked), or -1 when an unforced request repeats the drawn state and caption, the
// button has no height or drawing is not allowed. A request that draws is recorded in `drawn`.
int AcceptPaintRequest(DrawnFace& drawn, int state, bool force, const QString& caption,
                       bool tickedCheckBox, int height, bool drawingAllowed);

// Paints the whole face of `face.buttonType` in `face.state` onto the surface, which is the
// button's size, caption and pictures included.
void PaintFace(PaintSurface& surface, ButtonFace& face);

// The window shape of a button type: the rectangle less its cut corners, or an ellipse.
QRegion BuildShape(qint32 buttonType, int width, int height);

// Where the dotted focus rectangle goes on a button of this type and size.
QRect FocusBoxOf(qint32 buttonType, int width, int height);
