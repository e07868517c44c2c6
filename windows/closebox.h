#pragma once

#include <QWidget>

// Result codes of SetCloseBoxEnabled.
enum CloseBoxResult : qint16 {
    CloseBoxDone = 0,           // done, or already in the wanted state
    CloseBoxNotAWindow = -1,    // the handle names no window of this program
    CloseBoxCommandFailed = -2, // the close command could not be switched
    CloseBoxStateFailed = -3,   // the close box could not be greyed or shown again
};

// Turns a window's close command off or on: while it is off, the title bar offers no
// close box and every request to close the window (the close box, the window manager's
// close request, a keyboard shortcut, QWidget::close) is refused. Turning it off twice,
// or on for a window whose close command is on, changes nothing and returns 0.
qint16 SetCloseBoxEnabled(WId hWnd, const bool& Enable);
