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
    CheckRecordLimit([this] {
        for (const RecordField& field : recordFieldTable()) {
            if (field.searchOption && (ui.get()->*field.searchOption)->isChecked()) {
                if (ReportIfLocked(
                        rs().FindFirst(QLatin1String(field.column), ui->searchtxt->Text())))
                    return;
                ShowStructureImage();
            }
        }
        if (rs().NoMatch())
            MsgBox(QStringLiteral(" No record found for this specific Search   "),
                   vbOKOnly | vbInformation, QStringLiteral("Flaskbook Search Result"));
    });
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
