#pragma once

class QWidget;

// Gives each control of `form` the fractional point size its form stores beside the
// whole one (as the dynamic property "pointSizeF"), since Designer keeps whole sizes only.
void applyDesignedPointSizes(QWidget* form);

// Fits the text of every label and option button inside `form` to its control: where
// the font in use is wider than the one the form was designed with, the control keeps
// its place and size and its font is made slightly smaller until the text fits.
void fitCaptionsToControls(QWidget* form);
