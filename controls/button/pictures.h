#pragma once

#include "controls/button/facestate.h"

class PaintSurface;

// Draws PictureNormal, or PictureOver under the mouse, for picture state 0 up, 1 pushed or
// 2 disabled, with its masked, greyed, silhouetted, embossed or blended forms; a caption in
// front of the picture is drawn again on top.
void PaintPicture(PaintSurface& surface, ButtonFace& face, int pictureState);

// The SpecialEffect copies of `picture` around the picture's place moved by `offset`.
void PaintPictureEcho(PaintSurface& surface, const ButtonFace& face, int offset,
                      const QImage& picture);

// How CopyPicturePixels turns picture pixels into face pixels; a colour of -1 is none.
struct PictureCopy {
    qint64 clearColor = -1; // picture pixels of this colour leave the face as it is
    qint64 brushColor = -1; // every other pixel becomes this colour
    bool darkOnly = false;  // with a brush: only pixels whose channels sum to 384 or less
    bool greyscale = false;
    bool blend = false;         // two thirds picture, one third face
    quint32 maskRGB = 0xC0C0C0; // what an icon's uncovered pixels show
};

// Copies width x height pixels of `picture` from its top-left corner onto the surface at (x, y).
// A picture with an alpha channel is an icon: it is first drawn over a block of the mask colour.
void CopyPicturePixels(PaintSurface& surface, int x, int y, int width, int height,
                       const QImage& picture, const PictureCopy& how);
