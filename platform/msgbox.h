#pragma once

#include <QList>
#include <QString>

// Button, icon and default-button flags, added together as the classic message box takes them.
enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    // Our own, for unsaved work: Yes, No and Cancel shown as Save, Discard and Cancel.
    vbSaveDiscardCancel = 7,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};

// The button the user answered with.
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// Shows a modal message box and returns the answer. An empty title shows "Flaskbook".
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString());

struct ShownMessageBox {
    QString prompt;
    int style;
    QString title;
};

// For tests: while one exists, MsgBox shows nothing. It records every box and
// answers from the queue, or with the box's default button once the queue is empty.
class ScriptedMessageBoxes {
public:
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    void queueAnswer(int answer) { answers_.append(answer); }
    const QList<ShownMessageBox>& shown() const { return shown_; }
    void clear()
    {
        shown_.clear();
        answers_.clear();
    }

private:
    friend int MsgBox(const QString&, int, const QString&);
    int answer(const ShownMessageBox& box);

    QList<int> answers_;
    QList<ShownMessageBox> shown_;
};
