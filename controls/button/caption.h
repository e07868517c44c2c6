#pragma once

#include "controls/button/facestate.h"

class PaintSurface;
class QPaintDevice;

// The caption's wrapped text block centred in a button of size `client` beside its picture,
// and the picture's place. `device` gives the resolution the text is measured at. A picture
// position outside 0 to 4 keeps the previous boxes and picture place.
CaptionLayout LayoutContent(const ButtonSettings& settings, QSize client,
                            const CaptionLayout& previous, QPaintDevice* device);

// The picture's top-left corner beside a caption laid out in `captionBox`.
QPoint PlacePicture(const ButtonSettings& settings, QSize client, const QRect& captionBox,
                    QPoint previous);

// Caption looks by effect code: 0 up, 1 up under the mouse, 2 down, 3 disabled embossed,
// 4 disabled flat, 5 disabled gradient face, 6 disabled highlight face, 7 down highlight face.
// Records the code in face.drawnEffect; other codes draw nothing.
void PaintCaption(PaintSurface& surface, ButtonFace& face, int effect);

// The SpecialEffect copies of the caption one pixel around `box`.
void PaintCaptionEcho(PaintSurface& surface, const ButtonFace& face, const QRect& box);
