#include "platform/windowplacement.h"

#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + (area.width() - window->frameGeometry().width()) / 2,
                 area.y() + (area.height() - window->frameGeometry().height()) / 2);
}
