#include "app/form1.h"

#include "app/recordexport.h"
#include "controls/imagebox.h"
#include "controls/textbox.h"
#include "platform/msgbox.h"
#include "ui_form1.h"

#include <QDir>
#include <QFileInfo>

LabelledFields Form1::shownFieldTexts() const
{
    LabelledFields fields;
    for (const RecordField& field : recordFieldTable())
        fields.append({QLatin1String(field.label), (ui.get()->*field.box)->Text()});
    return fields;
}

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
    if (const Status saved = appendRecordText(cd1.FileName, shownFieldTexts()); !saved.ok())
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
    if (const Status printed = printRecord(cd1.printer(), shownFieldTexts(), picture);
        !printed.ok())
        MsgBox(QStringLiteral("The record could not be printed.\n\n%1").arg(printed.message()),
               vbOKOnly | vbExclamation, QStringLiteral("Print"));
}
