#include "app/form1.h"

#include "chem/molecule.h"
#include "controls/imagebox.h"
#include "platform/msgbox.h"
#include "ui_form1.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>

namespace {

const QString kCaption = QStringLiteral("Chemical Structure:  ");
const QString kStructureTitle = QStringLiteral("Chemical Structure");

void showStructureProblem(const QString& text)
{
    MsgBox(text, vbOKOnly | vbExclamation, kStructureTitle);
}

} // namespace

// A record's drawn structure comes first; without one the picture named by Text8 is shown.
void Form1::ShowStructureImage()
{
    if (!structure_.boundText().isEmpty()) {
        const qreal ratio = ui->chemstrimagebox->devicePixelRatioF();
        // A search that misses, or a sort that keeps the first record, shows the same
        // structure again: the drawing on screen is still right.
        const bool alreadyShown = structure_.boundText() == shownStructure_.molBlock &&
                                  ratio == shownStructure_.ratio &&
                                  !ui->chemstrimagebox->picture().isNull();
        if (!alreadyShown) {
            QPixmap drawing;
            if (const Status drawn = DrawStructure(ratio, drawing, shownStructure_.formula);
                drawn.ok()) {
                ui->chemstrimagebox->setPicture(drawing);
                shownStructure_ = {structure_.boundText(), ratio, shownStructure_.formula};
            } else {
                ui->chemstrimagebox->showNotice(
                    tr("The structure of this record could not be read.\n\n%1")
                        .arg(drawn.message()));
                shownStructure_ = {};
            }
        }
        ui->imagelbl->setText(kCaption + shownStructure_.formula);
        describeStructurePicture();
        return;
    }
    shownStructure_ = {};
    const QString path = ui->Text8->Text();
    QPixmap picture;
    if (path.isEmpty())
        ui->chemstrimagebox->clearPicture();
    // A relative path is the data folder's, where the pictures live, whatever the working folder.
    else if (const Status loaded =
                 ImageBox::loadPicture(QDir(paths_.dataFolder).absoluteFilePath(path), picture);
             loaded.ok())
        ui->chemstrimagebox->setPicture(picture);
    else // never leave another record's picture beside this one
        ui->chemstrimagebox->showNotice(
            tr("The structure picture of this record could not be loaded.\n\n%1")
                .arg(loaded.message()));
    ui->imagelbl->setText(kCaption + ui->Text8->Text());
    describeStructurePicture();
}

Status Form1::DrawStructure(qreal ratio, QPixmap& drawing, QString& formula) const
{
    Molecule molecule;
    if (const Status read = Molecule::fromText(structure_.boundText(), molecule); !read.ok())
        return read;
    formula = molecule.formula();
    const QSize size = ui->chemstrimagebox->contentsRect().size();
    drawing = QPixmap(size * ratio);
    drawing.setDevicePixelRatio(ratio);
    drawing.fill(Qt::white);
    QPainter painter(&drawing);
    molecule.draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return {};
}

void Form1::browsebtn_Click()
{
    ui->searchtxt->setText(QString());
    cd1.InitDir = paths_.dataFolder;
    cd1.Filter = QStringLiteral("GIF Images|*.GIF|Structure Files (MOL, SD, SMILES)|"
                                "*.mol;*.sdf;*.sd;*.smi;*.smiles");
    cd1.DialogTitle = QStringLiteral("Browse GIF Image File");
    cd1.ShowOpen();
    CheckRecordLimit([this] {
        if (cd1.FileName.isEmpty())
            return;
        TakeStructureFile(cd1.FileName);
    });
}

bool Form1::RecordIsOpenForChange() const
{
    return ui->browsebtn->isEnabled();
}

void Form1::chemstrimagebox_Paste()
{
    if (!RecordIsOpenForChange())
        return;
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    Molecule molecule;
    if (const Status read = Molecule::fromText(text, molecule); !read.ok()) {
        showStructureProblem(tr("The clipboard holds no structure that Flaskbook can read.\n\n%1")
                                 .arg(read.message()));
        return;
    }
    TakeStructure(molecule.molBlock(), molecule.formula(), molecule.weightText());
}

void Form1::chemstrimagebox_FileDropped(const QString& path)
{
    if (RecordIsOpenForChange())
        TakeStructureFile(path);
}

void Form1::TakeStructureFile(const QString& path)
{
    if (!isStructureFile(path)) {
        // A picture replaces the structure.
        structure_.setBoundText(QString());
        ui->Text8->setText(path);
        ShowStructureImage();
        return;
    }
    Molecule molecule;
    if (const Status read = Molecule::fromFile(path, molecule); !read.ok()) {
        showStructureProblem(tr("The structure in %1 could not be read.\n\n%2")
                                 .arg(QDir::toNativeSeparators(path), read.message()));
        return;
    }
    TakeStructure(molecule.molBlock(), molecule.formula(), molecule.weightText());
}

// The structure replaces the picture; formula and weight fill only boxes left empty.
void Form1::TakeStructure(const QString& molBlock, const QString& formula, const QString& weight)
{
    if (!Data1.Database().hasStructureColumn()) {
        showStructureProblem(tr("The database file %1 cannot be written to, so its records "
                                "cannot take structures.")
                                 .arg(QDir::toNativeSeparators(Data1.DatabaseName())));
        return;
    }
    structure_.setBoundText(molBlock);
    ui->Text8->setText(QString());
    if (ui->mfortxt->Text().isEmpty())
        ui->mfortxt->setText(formula);
    if (ui->mwttxt->Text().isEmpty())
        ui->mwttxt->setText(weight);
    ShowStructureImage();
}
