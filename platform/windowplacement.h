#pragma once

class QWidget;

// Centres a window on its screen: Left and Top are half the difference between the
// screen's size and the window's, rounded toward zero, so a window larger than the
// screen is placed partly off it.
void centreOnScreen(QWidget* window);
