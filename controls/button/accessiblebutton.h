#pragma once

#include <QAccessibleWidget>

class paintedButton;

// What screen readers learn of a painted button: a push button named by its caption without
// the access key's &, enabled or unavailable, focusable and focused, with the default action
// Press that clicks it.
class AccessibleButton : public QAccessibleWidget {
public:
    explicit AccessibleButton(paintedButton* button);

    QString text(QAccessible::Text text) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    paintedButton* button() const;
};

// Has every painted button report itself through AccessibleButton; later calls do nothing.
void installButtonAccessibility();
