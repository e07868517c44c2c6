#pragma once

#include <QClipboard>
#include <QWidget>

#include <functional>

class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;

// A text box of the window, single-line or multi-line. It wraps a QLineEdit or a
// QPlainTextEdit, so the window sets its kind after construction (multiLine).
// Colours are classic 0x00BBGGRR values with red in the low byte.
class TextBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool multiLine READ multiLine WRITE setMultiLine)
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY textChanged USER true)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)

public:
    // Receives the code of each typed character before the box acts on it; it may
    // replace the code, or set it to 0 to discard the key.
    using KeyPressHandler = std::function<void(int& keyAscii)>;

    explicit TextBox(QWidget* parent = nullptr);

    bool multiLine() const;
    void setMultiLine(bool on);

    QString Text() const;
    void setText(const QString& text);

    bool Locked() const;
    void setLocked(bool locked);

    int MaxLength() const { return maxLength_; }
    void setMaxLength(int length);

    quint32 BackColor() const;
    void setBackColor(quint32 bgr);
    quint32 ForeColor() const;
    void setForeColor(quint32 bgr);

    void setKeyPress(KeyPressHandler handler);

    // The QLineEdit or QPlainTextEdit inside, which holds the focus, the keys and the name a
    // screen reader announces (kept when setMultiLine changes the editor).
    QWidget* editor() const;

signals:
    void textChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeEditor(bool multiLine);
    bool filterKey(QKeyEvent* event);
    void replay(int code);
    int room() const;
    QString textWith(const QString& inserted) const;
    bool fits(const QString& inserted) const;
    void pasteFrom(QClipboard::Mode mode);
    void showContextMenu(const QPoint& globalPos);

    QLineEdit* line_ = nullptr;
    QPlainTextEdit* lines_ = nullptr;
    int maxLength_ = 0;
    KeyPressHandler keyPress_;
    bool replaying_ = false;
};
