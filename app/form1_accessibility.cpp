#include "app/form1.h"

#include "controls/imagebox.h"
#include "controls/textbox.h"
#include "ui_form1.h"

// Each record box takes its label's text as its name, so a screen reader says "Chemical
// Name, edit text" rather than "edit text" ten times over.
void Form1::nameControlsForScreenReaders()
{
    for (const RecordField& field : recordFieldTable()) {
        QLabel* caption = ui.get()->*field.caption;
        TextBox* box = ui.get()->*field.box;
        caption->setBuddy(box);
        box->editor()->setAccessibleName(caption->text());
    }
    ui->searchtxt->editor()->setAccessibleName(tr("Search text"));
    ui->Label7->setBuddy(ui->chemstrimagebox);
    ui->chemstrimagebox->setAccessibleName(ui->Label7->text());
    describeStructurePicture();
}

void Form1::describeStructurePicture()
{
    const QString name = ui->nametxt->Text().simplified();
    QString description = tr("No picture");
    if (!ui->chemstrimagebox->picture().isNull())
        description =
            name.isEmpty() ? tr("Structure picture") : tr("Structure picture of %1").arg(name);
    ui->chemstrimagebox->setAccessibleDescription(description);
}
