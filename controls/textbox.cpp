#include "controls/textbox.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// The code of the character a key types, as the window's key handlers expect it:
// control codes for Backspace, Enter, Escape and Ctrl+letter, 0 when it types nothing.
int typedCode(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const int key = event.key();
    if (key == Qt::Key_Backspace)
        return 8;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if (key == Qt::Key_Escape)
        return 27;
    if (modifiers & Qt::ControlModifier)
        return key >= Qt::Key_A && key <= Qt::Key_Z ? key - Qt::Key_A + 1 : 0;
    const QString text = event.text();
    return text.size() == 1 && text.at(0).isPrint() ? text.at(0).unicode() : 0;
}

// What a key inserts into the box, to hold it against MaxLength.
QString insertedBy(const QKeyEvent& event, bool multiLine)
{
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        return multiLine ? QStringLiteral("\n") : QString();
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QString();
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint() ? text : QString();
}

// The characters a user sees: an emoji of two UTF-16 units, or a letter with its combining
// accents, is one. MaxLength counts these, so no limit ever splits one in half.
int visibleLength(const QString& text)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (graphemes.toNextBoundary() > 0)
        ++count;
    return count;
}

// The first `count` characters a user sees of `text`.
QString leftVisible(const QString& text, int count)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int i = 0; i < count && end >= 0 && end < text.size(); ++i)
        end = graphemes.toNextBoundary();
    return text.left(std::max<qsizetype>(0, end));
}

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 toBgr(const QColor& color)
{
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

} // namespace

TextBox::TextBox(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
    makeEditor(false);
}

bool TextBox::multiLine() const
{
    return lines_ != nullptr;
}

void TextBox::setMultiLine(bool on)
{
    if (on == multiLine())
        return;
    const QString text = Text();
    const bool locked = Locked();
    // The name a screen reader gives the box lives on the editor, which takes the focus.
    const QString name = editor()->accessibleName();
    // The text only moves to the new editor; it does not change.
    const QSignalBlocker quiet(this);
    delete editor();
    line_ = nullptr;
    lines_ = nullptr;
    makeEditor(on);
    setText(text);
    setLocked(locked);
    editor()->setAccessibleName(name);
}

void TextBox::makeEditor(bool multiLine)
{
    QWidget* editor = nullptr;
    if (multiLine) {
        lines_ = new QPlainTextEdit(this);
        // As in the old multi-line boxes: a scroll bar always, and Tab moves to the next control.
        lines_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        lines_->setTabChangesFocus(true);
        lines_->viewport()->installEventFilter(this);
        lines_->viewport()->setAcceptDrops(false);
        connect(lines_, &QPlainTextEdit::textChanged, this, &TextBox::textChanged);
        editor = lines_;
    } else {
        line_ = new QLineEdit(this);
        connect(line_, &QLineEdit::textChanged, this, &TextBox::textChanged);
        editor = line_;
    }
    // A drop would get past MaxLength, and the old boxes took none.
    editor->setAcceptDrops(false);
    editor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    editor->installEventFilter(this);
    layout()->addWidget(editor);
    setFocusProxy(editor);
}

QWidget* TextBox::editor() const
{
    if (line_)
        return line_;
    return lines_;
}

QString TextBox::Text() const
{
    if (line_)
        return line_->text();
    // The raw text keeps no-break spaces, which toPlainText() turns into plain spaces.
    QString text = lines_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void TextBox::setText(const QString& text)
{
    // Writing the same text again would reset the caret and report a change.
    if (text == Text())
        return;
    if (line_)
        line_->setText(text);
    else {
        lines_->setPlainText(text);
        // Show the first line, as a new text in a one-line-high box must.
        lines_->verticalScrollBar()->setValue(0);
    }
}

bool TextBox::Locked() const
{
    if (line_)
        return line_->isReadOnly();
    return lines_->isReadOnly();
}

void TextBox::setLocked(bool locked)
{
    if (line_) {
        line_->setReadOnly(locked);
        return;
    }
    lines_->setReadOnly(locked);
    // Keys still move through a locked box and select its text, so it can be copied.
    if (locked)
        lines_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TextBox::setMaxLength(int length)
{
    maxLength_ = std::max(0, length);
}

quint32 TextBox::BackColor() const
{
    return toBgr(editor()->palette().color(QPalette::Base));
}

void TextBox::setBackColor(quint32 bgr)
{
    // Set on the box itself, so an editor made later by setMultiLine inherits it.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, fromBgr(bgr));
    setPalette(colours);
}

quint32 TextBox::ForeColor() const
{
    return toBgr(editor()->palette().color(QPalette::Text));
}

void TextBox::setForeColor(quint32 bgr)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, fromBgr(bgr));
    setPalette(colours);
}

void TextBox::setKeyPress(KeyPressHandler handler)
{
    keyPress_ = std::move(handler);
}

bool TextBox::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return filterKey(static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
        showContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::MouseButtonRelease:
        // A middle click pastes the X11 selection, and that paste must keep to MaxLength too.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
            QGuiApplication::clipboard()->supportsSelection()) {
            pasteFrom(QClipboard::Selection);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool TextBox::filterKey(QKeyEvent* event)
{
    if (keyPress_ && !replaying_) {
        const int typed = typedCode(*event);
        int code = typed;
        if (typed != 0)
            keyPress_(code);
        if (code != typed) {
            replay(code);
            return true;
        }
    }
    // Pasting by key goes through the box, which cuts it to MaxLength.
    if (event->matches(QKeySequence::Paste)) {
        pasteFrom(QClipboard::Clipboard);
        return true;
    }
    const QString inserted = insertedBy(*event, multiLine());
    return !inserted.isEmpty() && !fits(inserted);
}

// Types the character the key handler asked for in place of the one typed.
void TextBox::replay(int code)
{
    if (code <= 0 || code > 0xFFFF)
        return;
    int key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    if (code == 8)
        key = Qt::Key_Backspace;
    else if (code == 13)
        key = Qt::Key_Return;
    else if (code == 27)
        key = Qt::Key_Escape;
    else if (code < 32) {
        key = Qt::Key_A + code - 1;
        modifiers = Qt::ControlModifier;
    }
    QKeyEvent replacement(QEvent::KeyPress, key, modifiers, QString(QChar(char16_t(code))));
    const QScopedValueRollback guard(replaying_, true);
    QCoreApplication::sendEvent(editor(), &replacement);
}

// The text as it would read with `inserted` in place of the selection.
QString TextBox::textWith(const QString& inserted) const
{
    if (line_) {
        const bool selected = line_->hasSelectedText();
        const int start = selected ? line_->selectionStart() : line_->cursorPosition();
        return line_->text().replace(start, selected ? line_->selectedText().size() : 0, inserted);
    }
    const QTextCursor cursor = lines_->textCursor();
    return lines_->toPlainText().replace(cursor.selectionStart(),
                                         cursor.selectionEnd() - cursor.selectionStart(), inserted);
}

bool TextBox::fits(const QString& inserted) const
{
    return maxLength_ == 0 || visibleLength(textWith(inserted)) <= maxLength_;
}

// How many more characters a user sees fit, counting the selection as gone.
int TextBox::room() const
{
    if (maxLength_ == 0)
        return INT_MAX;
    return maxLength_ - visibleLength(textWith(QString()));
}

void TextBox::pasteFrom(QClipboard::Mode mode)
{
    QString text = QGuiApplication::clipboard()->text(mode);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A single-line box takes the first line only.
    const qsizetype lineEnd = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (!multiLine() && lineEnd >= 0)
        text.truncate(lineEnd);
    text = leftVisible(text, std::max(0, room()));
    if (Locked() || text.isEmpty())
        return;
    if (line_)
        line_->insert(text);
    else
        lines_->insertPlainText(text);
}

void TextBox::showContextMenu(const QPoint& globalPos)
{
    QMenu* menu = line_ ? line_->createStandardContextMenu() : lines_->createStandardContextMenu();
    // The menu's own Paste would skip MaxLength, so an equal entry that pastes through the box
    // takes its place. Qt marks that entry by its text only.
    const char* owner = line_ ? "QLineEdit" : "QWidgetTextControl";
    const QString pasteText = QCoreApplication::translate(owner, "&Paste");
    const QList<QAction*> actions = menu->actions();
    const auto standard = std::find_if(actions.begin(), actions.end(), [&](QAction* action) {
        return action->text().startsWith(pasteText);
    });
    if (standard != actions.end()) {
        auto* paste = new QAction((*standard)->icon(), (*standard)->text(), menu);
        paste->setObjectName(QStringLiteral("edit-paste"));
        paste->setEnabled((*standard)->isEnabled());
        connect(paste, &QAction::triggered, this, [this] { pasteFrom(QClipboard::Clipboard); });
        menu->insertAction(*standard, paste);
        delete *standard;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}
