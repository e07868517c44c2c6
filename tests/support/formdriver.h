#pragma once

#include "app/form1.h"
#include "platform/commondialog.h"
#include "platform/msgbox.h"
#include "platform/startprogram.h"

#include <QPixmap>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class paintedButton;
class TextBox;

// Runs the real main window on a database of its own in a temporary data folder,
// with message boxes, common dialogs and program starts scripted, and reaches its controls by name.
class FormDriver {
public:
    Paths paths() const;
    QString databaseFile() const { return paths().databaseFile(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Creates the database with these records, then opens and shows the window.
    void open(const QList<QStringList>& records);
    void openNamed(const QStringList& names);
    // Opens and shows the window on whatever the data folder holds now.
    void reopen();
    void close();
    Form1& form() { return *form_; }

    template <typename T> T* control(const char* name) const
    {
        T* found = form_->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    TextBox* box(const char* name) const;
    paintedButton* button(const char* name) const;
    void click(const char* buttonName);
    void type(const char* boxName, const QString& text);

    QString shownText(const char* boxName) const;
    QString recordNumber() const;
    QString imageCaption() const;
    QPixmap shownPicture() const;
    // The text the picture box shows instead of a picture, empty when there is none.
    QString pictureNotice() const;
    // Colour of the top-left pixel of the shown picture, 0 when there is none.
    QRgb shownPictureColour() const;
    // Writes an 8 x 8 picture of one colour and returns its path.
    QString pictureFile(const QString& name, Qt::GlobalColor colour) const;
    // sampleRecord(name) whose picture is a fresh file of that colour.
    QStringList recordWithPicture(const QString& name, Qt::GlobalColor colour) const;

    QStringList prompts() const;
    // Answers the next message box, clicks the button and returns the prompts it raised.
    QStringList clickAnswering(const char* buttonName, int answer);
    ScriptedMessageBoxes boxes;
    ScriptedCommonDialogs dialogs;
    ScriptedPrograms programs;

private:
    QTemporaryDir dir_;
    std::unique_ptr<Form1> form_;
};
