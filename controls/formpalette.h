#pragma once

class QWidget;

// Gives `form` the light colours it was designed with, every role in every state, so that a
// dark desktop palette reaches none of its controls. The message boxes and dialogs it opens
// are windows of their own and keep the desktop's palette, whole and readable.
void applyDesignedPalette(QWidget* form);

// The same colours as the application's palette: the painted buttons draw their faces from
// the system colours, which follow it, and the dialogs then match the forms.
void applyDesignedPaletteToApplication();
