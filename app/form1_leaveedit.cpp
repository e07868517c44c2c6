#include "app/form1.h"

#include "app/failurereason.h"
#include "controls/textbox.h"
#include "platform/msgbox.h"
#include "ui_form1.h"

#include <QCloseEvent>

void Form1::CancelRecordEdit()
{
    if (shownWindowState() == WindowState::Browsing)
        return;
    // Puts the stored record back in the boxes; a new record is dropped.
    if (const Status s = rs().CancelUpdate(); !s.ok())
        MsgBox(QStringLiteral("The record could not be read back from the file.\n\n%1")
                   .arg(storeFailureReason(s, Data1.DatabaseName())),
               vbOKOnly | vbExclamation, QStringLiteral("Flaskbook"));
    ui->searchtxt->setText(QString());
    ui->searchtxt->setLocked(false);
    ShowWindowState(WindowState::Browsing);
    ShowStructureImage();
    ShowRecordNumber();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A record half typed is saved only on the user's word.
    if (shownWindowState() != WindowState::Browsing) {
        const int answer = MsgBox(QStringLiteral("Save the changes to this record?"),
                                  vbSaveDiscardCancel | vbQuestion, QStringLiteral("Flaskbook"));
        if (answer == vbCancel) {
            event->ignore();
            return;
        }
        // The record is dropped before anything can fail; reading the row back does not matter.
        if (answer == vbNo)
            rs().CancelUpdate();
    }
    // Closing commits a pending record; if that fails the user decides whether to
    // close all the same, so nothing typed is lost without a word.
    const Status s = Data1.Close();
    if (!s.ok()) {
        const int answer =
            MsgBox(QStringLiteral("The record you entered could not be saved:\n%1"
                                  "\n\nClose Flaskbook without saving it?")
                       .arg(storeFailureReason(s, Data1.DatabaseName())),
                   vbYesNo | vbExclamation | vbDefaultButton2, QStringLiteral("Record Save Error"));
        if (answer != vbYes) {
            event->ignore();
            return;
        }
        rs().CancelUpdate();
        Data1.Close();
    }
    event->accept();
}
