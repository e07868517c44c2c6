#include "windows/closebox.h"

#include <QCloseEvent>

namespace {

// Refuses every request to close the window it is attached to.
class CloseRefusal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        return true;
    }
};

CloseRefusal* refusalOf(QWidget* window)
{
    return window->findChild<CloseRefusal*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

qint16 SetCloseBoxEnabled(WId hWnd, const bool& Enable)
{
    QWidget* window = hWnd ? QWidget::find(hWnd) : nullptr;
    if (!window || !window->isWindow())
        return CloseBoxNotAWindow;
    CloseRefusal* refusal = refusalOf(window);
    if (Enable == (refusal == nullptr))
        return CloseBoxDone;

    // The close command first: from here on a close request is refused (or accepted).
    if (Enable)
        delete refusal;
    else
        window->installEventFilter(new CloseRefusal(window));
    if (Enable != (refusalOf(window) == nullptr))
        return CloseBoxCommandFailed;

    // Then the close box itself; a shown window is shown again so that its title bar
    // takes the new hints at once.
    const bool shown = window->isVisible();
    window->setWindowFlag(Qt::CustomizeWindowHint, true);
    window->setWindowFlag(Qt::WindowCloseButtonHint, Enable);
    if (shown)
        window->show();
    if (window->windowFlags().testFlag(Qt::WindowCloseButtonHint) != Enable)
        return CloseBoxStateFailed;
    return CloseBoxDone;
}

#include "closebox.moc"
