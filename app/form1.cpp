#include "app/form1.h"

#include "platform/msgbox.h"

#include <QCloseEvent>
#include <QDir>

Form1::Form1(const Paths& paths, QWidget* parent) : QWidget(parent), paths_(paths)
{
    setWindowTitle(QStringLiteral("Flaskbook"));
    resize(784, 629);
    openRecords();
}

void Form1::openRecords()
{
    Data1.setDatabaseName(paths_.databaseFile());
    Data1.setRecordSource(QStringLiteral("DATA1"));
    if (Status s = Data1.Refresh(); !s.ok()) {
        MsgBox(QStringLiteral("Flaskbook cannot open the database file\n%1\n\n%2")
                   .arg(QDir::toNativeSeparators(paths_.databaseFile()), s.message()),
               vbOKOnly | vbExclamation, QStringLiteral("Flaskbook"));
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Closing commits a pending record; if that fails the user decides whether to
    // close all the same, so nothing typed is lost without a word.
    const Status s = Data1.Close();
    if (!s.ok()) {
        const int answer =
            MsgBox(QStringLiteral("The record you entered could not be saved:\n%1"
                                  "\n\nClose Flaskbook without saving it?")
                       .arg(s.message()),
                   vbYesNo | vbExclamation | vbDefaultButton2, QStringLiteral("Record Save Error"));
        if (answer != vbYes) {
            event->ignore();
            return;
        }
        Data1.Recordset().CancelUpdate();
        Data1.Close();
    }
    event->accept();
}
