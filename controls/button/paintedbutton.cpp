#include "controls/button/paintedbutton.h"

#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

paintedButton::paintedButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &paintedButton::Click);
}

QSize paintedButton::sizeHint() const
{
    // The old default command button size, grown to fit a long caption.
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return QSize(std::max(75, caption.width() + 16), std::max(23, caption.height() + 10));
}

void paintedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFace(painter);
}

void paintedButton::keyPressEvent(QKeyEvent* event)
{
    // Enter clicks a focused command button, as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void paintedButton::drawFace(QPainter& painter) const
{
    const QPalette& colours = palette();
    qDrawWinButton(&painter, rect(), colours, isDown(), &colours.button());
    // A pressed face moves its caption down and right, as if pushed in.
    const QRect area = rect().translated(isDown() ? QPoint(1, 1) : QPoint());
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    if (isEnabled()) {
        painter.setPen(colours.color(QPalette::ButtonText));
        painter.drawText(area, flags, text());
    } else {
        // Disabled captions look etched: a light copy under a dark one.
        painter.setPen(colours.color(QPalette::Light));
        painter.drawText(area.translated(1, 1), flags, text());
        painter.setPen(colours.color(QPalette::Dark));
        painter.drawText(area, flags, text());
    }
    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}
