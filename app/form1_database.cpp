#include "app/form1.h"

#include "app/records/backup.h"
#include "controls/textbox.h"
#include "platform/msgbox.h"
#include "platform/startprogram.h"
#include "ui_form1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

namespace {

// A copy that takes longer than this shows its progress.
constexpr int kProgressAfterMs = 500;

// Makes the backup folder, removing a file that stands where it belongs.
Status makeBackupFolder(const QString& path)
{
    const QString folder = QDir::toNativeSeparators(path);
    QFile inTheWay(path);
    if (!QFileInfo(path).isDir() && inTheWay.exists() && !inTheWay.remove())
        return Status::failure(
            QStringLiteral("The backup folder %1 cannot be made: a file of that name is in its "
                           "place and cannot be removed (%2).")
                .arg(folder, inTheWay.errorString()));
    if (!QDir().mkpath(path))
        return Status::failure(QStringLiteral("The backup folder %1 cannot be made.").arg(folder));
    return {};
}

} // namespace

void Form1::backupbtn_Click()
{
    if (rs().RecordCount() < 1)
        MsgBox(QStringLiteral("              Database is empty !!!                             "),
               vbOKOnly | vbInformation, QStringLiteral("Database Empty Message"));
    if (MsgBox(QStringLiteral("After the backup of database, Flaskbook will restart. Are you sure "
                              "to proceed? "),
               vbYesNo | vbQuestion | vbDefaultButton2,
               QStringLiteral("Backup and Restart Flaskbook")) != vbYes)
        return;
    Status saved = makeBackupFolder(paths_.backupFolder);
    // Closing commits a record still pending, so the copy holds it.
    if (const Status closed = Data1.Close(); saved.ok() && !closed.ok())
        saved = closed;

    const QString target = QDir::toNativeSeparators(paths_.backupFile());
    QProgressDialog progress(QStringLiteral("Saving the database to %1").arg(target), QString(), 0,
                             100, this);
    progress.setWindowTitle(QStringLiteral("Backup Database"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressAfterMs);
    if (saved.ok())
        saved = backupDatabase(paths_.databaseFile(), paths_.backupFile(),
                               [&progress](qint64 copied, qint64 total) {
                                   progress.setValue(total > 0 ? int(copied * 100 / total) : 100);
                               });
    progress.reset();
    if (saved.ok())
        MsgBox(QStringLiteral("Database file has been saved to ") + target,
               vbOKOnly | vbInformation, QStringLiteral("Backup Database Message"));
    else
        MsgBox(
            QStringLiteral("The database could not be saved to %1.\n\n%2\n\nThe previous backup, "
                           "if there is one, is unchanged.")
                .arg(target, saved.message()),
            vbOKOnly | vbExclamation, QStringLiteral("Backup Database Message"));

    if (const Status started = StartProgram(paths_.programFolder + QStringLiteral("/Restart"));
        !started.ok())
        MsgBox(QStringLiteral("Flaskbook cannot restart by itself: %1\n\nPlease start it again.")
                   .arg(started.message()),
               vbOKOnly | vbExclamation, QStringLiteral("Backup and Restart Flaskbook"));
    close();
}

void Form1::cleardbbtn_Click()
{
    ui->browsebtn->setEnabled(false);
    if (rs().RecordCount() < 1)
        MsgBox(QStringLiteral("Database cannot be deleted because there is no record found !!!"),
               vbOKOnly | vbInformation, QStringLiteral("Database Empty Message"));
    if (rs().RecordCount() < 1)
        return;
    if (MsgBox(QStringLiteral("This action will DELETE the complete database FOREVER !!!. Please "
                              "CANCEL this process and make a quick backup of currennt database. "
                              "                ARE YOU SURE, YOU WANT TO DELETE THE ENTIRE "
                              "DATABASE?"),
               vbYesNo | vbQuestion | vbDefaultButton2,
               QStringLiteral("CAUTION : Delete Entire Database !!!")) != vbYes)
        return;
    // A record still pending would be written back after the delete.
    if (rs().EditMode() != Recordset::EditNone)
        rs().CancelUpdate();
    for (TextBox* field : recordFields())
        field->setText(QString());
    ui->Text8->setText(QString());

    if (const Status deleted =
            Data1.ExecuteOnSecondConnection(QStringLiteral("delete * from DATA1 "));
        !deleted.ok()) {
        // The records are still there: say so and show the current one again.
        rs().CancelUpdate();
        MsgBox(QStringLiteral("The database could not be deleted.\n\n%1").arg(deleted.message()),
               vbOKOnly | vbExclamation, QStringLiteral("Database Deletion Message"));
        ShowStructureImage();
        return;
    }
    MsgBox(QStringLiteral("Database has been deleted forever. Now you can start new database from "
                          "scratch."),
           vbOKOnly | vbInformation, QStringLiteral("Database Deletion Message"));
    // The record set notices the rows deleted behind it: no record is left to move to.
    rs().MoveFirst();
    ShowStructureImage();
}
