#include "controls/button/accessiblebutton.h"

#include "controls/button/accesskey.h"
#include "controls/button/paintedbutton.h"

#include <mutex>

namespace {

QAccessibleInterface* accessibleButtonFor(const QString& className, QObject* object)
{
    auto* button = qobject_cast<paintedButton*>(object);
    if (className != QLatin1String("paintedButton") || !button)
        return nullptr;
    return new AccessibleButton(button);
}

} // namespace

AccessibleButton::AccessibleButton(paintedButton* button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

paintedButton* AccessibleButton::button() const
{
    return static_cast<paintedButton*>(widget());
}

QString AccessibleButton::text(QAccessible::Text text) const
{
    // A name the window gives the button wins over its caption.
    if (text == QAccessible::Name && widget()->accessibleName().isEmpty())
        return CaptionWithoutMarks(button()->Caption());
    return QAccessibleWidget::text(text);
}

QStringList AccessibleButton::actionNames() const
{
    // The first action is the default one.
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
}

void AccessibleButton::doAction(const QString& actionName)
{
    // A click as from the keyboard: nothing happens while the button is disabled.
    if (actionName == pressAction())
        button()->click();
    else
        QAccessibleWidget::doAction(actionName);
}

void installButtonAccessibility()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(accessibleButtonFor); });
}
