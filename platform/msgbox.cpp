#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

ScriptedMessageBoxes* script = nullptr;

int defaultAnswer(int style)
{
    const int buttons = style & 7;
    const bool second = style & vbDefaultButton2;
    switch (buttons) {
    case vbOKCancel:
        return second ? vbCancel : vbOK;
    case vbYesNo:
    case vbYesNoCancel:
    case vbSaveDiscardCancel:
        return second ? vbNo : vbYes;
    default:
        return vbOK;
    }
}

} // namespace

ScriptedMessageBoxes::ScriptedMessageBoxes()
{
    script = this;
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    if (script == this)
        script = nullptr;
}

int ScriptedMessageBoxes::answer(const ShownMessageBox& box)
{
    shown_.append(box);
    return answers_.isEmpty() ? defaultAnswer(box.style) : answers_.takeFirst();
}

int MsgBox(const QString& prompt, int style, const QString& title)
{
    const QString caption = title.isEmpty() ? QStringLiteral("Flaskbook") : title;
    if (script)
        return script->answer({prompt, style, caption});

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(prompt);
    switch (style & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }

    QList<QPair<QMessageBox::StandardButton, int>> buttons;
    switch (style & 7) {
    case vbOKCancel:
        buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNoCancel:
        buttons = {
            {QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        break;
    case vbSaveDiscardCancel:
        buttons = {{QMessageBox::Save, vbYes},
                   {QMessageBox::Discard, vbNo},
                   {QMessageBox::Cancel, vbCancel}};
        break;
    default:
        buttons = {{QMessageBox::Ok, vbOK}};
        break;
    }
    for (const auto& [button, answer] : buttons)
        box.addButton(button);
    const int defaultIndex = (style & vbDefaultButton2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[defaultIndex].first);
    // Escape, or closing the box, gives the safe answer.
    box.setEscapeButton(buttons.size() > 1 ? buttons.last().first : buttons.first().first);

    const auto clicked = QMessageBox::StandardButton(box.exec());
    for (const auto& [button, answer] : buttons) {
        if (button == clicked)
            return answer;
    }
    return buttons.last().second;
}
