#pragma once

#include <QAbstractButton>

// A command button that paints its own face. The caption marks its access key with
// an & ("&Save"); "&&" shows a literal &.
class paintedButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit paintedButton(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    bool Enabled() const { return isEnabled(); }

    QSize sizeHint() const override;

signals:
    // The user clicked the button, or pressed Space or Enter on it.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void drawFace(QPainter& painter) const;
};
