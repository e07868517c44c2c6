#include "app/form1.h"

#include "app/failurereason.h"
#include "platform/msgbox.h"
#include "ui_form1.h"

#include <QRadioButton>

namespace {

constexpr int kEnter = 13;

} // namespace

// The search text is passed as a value: the store ignores case and trailing blanks and
// matches an apostrophe literally, so no criterion text is built around it.
void Form1::searchbtn_Click()
{
    SearchWith(&Recordset::FindFirst);
}

void Form1::SearchWith(Status (Recordset::*find)(const QString& column, const QString& value))
{
    CheckRecordLimit([this, find] {
        for (const RecordField& field : recordFieldTable()) {
            if (field.searchOption && (ui.get()->*field.searchOption)->isChecked()) {
                if (ReportIfLocked(
                        (rs().*find)(QLatin1String(field.column), ui->searchtxt->Text())))
                    return;
                ShowStructureImage();
            }
        }
        if (rs().NoMatch())
            MsgBox(QStringLiteral(" No record found for this specific Search   "),
                   vbOKOnly | vbInformation, QStringLiteral("Flaskbook Search Result"));
    });
}

// Like Enter in the search box, F3 searches only while browsing, which is when Next is
// enabled, so no key press saves a record being entered. Past the last or first match
// the record stays, and Search's message says so.
void Form1::findNext()
{
    if (ui->nextbtn->isEnabled())
        SearchWith(&Recordset::FindNext);
}

void Form1::findPrevious()
{
    if (ui->nextbtn->isEnabled())
        SearchWith(&Recordset::FindPrevious);
}

// Enter searches only while browsing, which is when Next is enabled.
void Form1::searchtxt_KeyPress(int& KeyAscii)
{
    if (ui->nextbtn->isEnabled() && KeyAscii == kEnter)
        searchbtn_Click();
}

void Form1::sortascbtn_Click()
{
    SortByName(QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] asc"), ui->Label19);
}

void Form1::sortdscbtn_Click()
{
    SortByName(QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] desc"), ui->Label20);
}

// The steps both sort commands share; a failing refresh is reported only when another
// program's lock stopped it.
void Form1::SortByName(const QString& recordSource, QLabel* orderLabel)
{
    ui->searchtxt->setText(QString());
    CheckRecordLimit([&] {
        Data1.setRecordSource(recordSource);
        if (ReportIfLocked(Data1.Refresh()))
            return;
        ShowStructureImage();
        for (QLabel* label : {ui->Label18, ui->Label19, ui->Label20})
            label->setVisible(label == orderLabel);
    });
}
