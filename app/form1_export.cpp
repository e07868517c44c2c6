#include "app/form1.h"

#include "app/recordexport.h"
#include "controls/imagebox.h"
#include "controls/textbox.h"
#include "core/filekind.h"
#include "platform/msgbox.h"
#include "ui_form1.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

LabelledFields Form1::shownFieldTexts() const
{
    LabelledFields fields;
    for (const RecordField& field : recordFieldTable())
        fields.append({QLatin1String(field.label), (ui.get()->*field.box)->Text()});
    return fields;
}

namespace {

const QString kTheDatabaseItself = QStringLiteral("It is the database file the record comes from.");

} // namespace

void Form1::saveasbtn_Click()
{
    ui->browsebtn->setEnabled(false);
    cd1.Filter = QStringLiteral("Text Files|*.txt|Word Files|*.doc");
    cd1.FilterIndex = 1;
    cd1.FileName = QString();
    cd1.ShowSave();
    // A name of blanks only is no name.
    if (QFileInfo(cd1.FileName).fileName().trimmed().isEmpty())
        return;
    // The record's text written into the database file would damage it.
    const Status saved = isSameFile(cd1.FileName, paths_.databaseFile())
                             ? Status::failure(kTheDatabaseItself)
                             : appendRecordText(cd1.FileName, shownFieldTexts());
    if (!saved.ok())
        MsgBox(QStringLiteral("The record could not be saved to %1.\n\n%2")
                   .arg(QDir::toNativeSeparators(cd1.FileName), saved.message()),
               vbOKOnly | vbExclamation, QStringLiteral("Save As"));
    cd1.FileName = QString();
}

namespace {

// Four device pixels to a screen pixel: about 300 dpi on the printed page.
constexpr qreal kPrintPixelRatio = 4;

} // namespace

void Form1::printbtn_Click()
{
    ui->browsebtn->setEnabled(false);
    if (!cd1.ShowPrinter())
        return;
    // A drawn structure is drawn again finer for the page; a picture is printed as shown.
    QPixmap picture = ui->chemstrimagebox->picture();
    QString formula;
    if (!structure_.boundText().isEmpty())
        DrawStructure(kPrintPixelRatio, picture, formula);
    // A page printed to the database file would replace every record.
    const QString outputFile = cd1.printer()->outputFileName();
    const Status printed =
        !outputFile.isEmpty() && isSameFile(outputFile, paths_.databaseFile())
            ? Status::failure(QStringLiteral("The file %1 cannot be written. %2")
                                  .arg(QDir::toNativeSeparators(outputFile), kTheDatabaseItself))
            : printRecord(cd1.printer(), shownFieldTexts(), picture);
    if (!printed.ok())
        MsgBox(QStringLiteral("The record could not be printed.\n\n%1").arg(printed.message()),
               vbOKOnly | vbExclamation, QStringLiteral("Print"));
}
