#pragma once

#include "core/status.h"

#include <QString>

class QWidget;

// A form keeps the design-time settings of its buttons beside its layout, as one
// property bag per button:
//
//     [nextbtn]
//     BTYPE<TAB>int32<TAB>3
//     ...
//
// Restores each bag into the form's paintedButton of that name through
// ReadProperties. Fails, naming what went wrong, for a file that cannot be read, a
// malformed bag or a button the form lacks; the other buttons are restored all the same.
Status restoreStoredButtons(QWidget* form, const QString& path);
