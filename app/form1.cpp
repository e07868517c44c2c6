#include "app/form1.h"

#include "app/failurereason.h"
#include "app/records/schema.h"
#include "controls/button/storedbuttons.h"
#include "controls/formfonts.h"
#include "platform/msgbox.h"
#include "platform/windowplacement.h"
#include "ui_form1.h"
#include "windows/form2.h"
#include "windows/frmabout.h"

#include <QCloseEvent>
#include <QDir>
#include <QLoggingCategory>

// Off unless asked for (QT_LOGGING_RULES="flaskbook.window.info=true"); the install test
// reads it to see the installed program reach its first record.
Q_LOGGING_CATEGORY(lcWindow, "flaskbook.window", QtWarningMsg)

namespace {

constexpr int kRecordLimit = 1000000;
constexpr quint32 kEditColour = 0xC0FFFF;
constexpr quint32 kBrowseColour = 0xFFFFFF;
constexpr int kBackspace = 8;

const QString kTitle = QStringLiteral("Flaskbook");

void showNotice(const QString& text)
{
    MsgBox(text, vbOKOnly | vbInformation, kTitle);
}

} // namespace

Form1::Form1(const Paths& paths, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Form1>()), paths_(paths)
{
    ui->setupUi(this);
    applyDesignedPointSizes(this);
    fitCaptionsToControls(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(784, 629);
    setWindowIcon(QIcon(QStringLiteral(":/app/flaskbook.png")));
    // The buttons' design-time settings are stored beside the form, one bag each.
    QString badSettings;
    if (!restoreStoredButtons(this, QStringLiteral(":/app/form1.buttons"), &badSettings))
        qWarning("Form1 buttons: %s", qPrintable(badSettings));

    // The ten boxes follow the table's column order; the hidden Text8 holds the picture path.
    const QList<TextBox*> fields = recordFields();
    for (int i = 0; i < fields.size(); ++i)
        bindField(recordColumns()[i], fields[i]);
    bindField(QStringLiteral("Image"), ui->Text8);
    Data1.setRepositionHandler([this] { Data1_Reposition(); });

    connect(ui->firstbtn, &paintedButton::Click, this, &Form1::firstbtn_Click);
    connect(ui->previousbtn, &paintedButton::Click, this, &Form1::previousbtn_Click);
    connect(ui->nextbtn, &paintedButton::Click, this, &Form1::nextbtn_Click);
    connect(ui->lastbtn, &paintedButton::Click, this, &Form1::lastbtn_Click);
    connect(ui->backupbtn, &paintedButton::Click, this, &Form1::backupbtn_Click);
    connect(ui->cleardbbtn, &paintedButton::Click, this, &Form1::cleardbbtn_Click);
    connect(ui->saveasbtn, &paintedButton::Click, this, &Form1::saveasbtn_Click);
    connect(ui->printbtn, &paintedButton::Click, this, &Form1::printbtn_Click);
    connect(ui->newbtn, &paintedButton::Click, this, &Form1::newbtn_Click);
    connect(ui->editbtn, &paintedButton::Click, this, &Form1::editbtn_Click);
    connect(ui->updatebtn, &paintedButton::Click, this, &Form1::updatebtn_Click);
    connect(ui->undobtn, &paintedButton::Click, this, &Form1::undobtn_Click);
    connect(ui->browsebtn, &paintedButton::Click, this, &Form1::browsebtn_Click);
    connect(ui->deletebtn, &paintedButton::Click, this, &Form1::deletebtn_Click);
    connect(ui->aboutbtn, &paintedButton::Click, this, &Form1::aboutbtn_Click);
    connect(ui->helpbtn, &paintedButton::Click, this, &Form1::helpbtn_Click);
    connect(ui->searchbtn, &paintedButton::Click, this, &Form1::searchbtn_Click);
    connect(ui->sortascbtn, &paintedButton::Click, this, &Form1::sortascbtn_Click);
    connect(ui->sortdscbtn, &paintedButton::Click, this, &Form1::sortdscbtn_Click);
    ui->nametxt->setKeyPress([this](int& KeyAscii) { nametxt_KeyPress(KeyAscii); });
    ui->mwttxt->setKeyPress([this](int& KeyAscii) { mwttxt_KeyPress(KeyAscii); });
    ui->eqwttxt->setKeyPress([this](int& KeyAscii) { eqwttxt_KeyPress(KeyAscii); });
    ui->CAStxt->setKeyPress([this](int& KeyAscii) { CAStxt_KeyPress(KeyAscii); });
    ui->searchtxt->setKeyPress([this](int& KeyAscii) { searchtxt_KeyPress(KeyAscii); });

    Form_Load();
    OpenData1();
}

Form1::~Form1()
{
    delete secondaryWindow_;
}

void Form1::bindField(const QString& column, TextBox* box)
{
    bindings_.push_back(std::make_unique<BoundTextBox>(box));
    Data1.bind(column, bindings_.back().get());
}

QList<TextBox*> Form1::recordFields() const
{
    return {ui->nametxt, ui->iupactxt,  ui->CAStxt,  ui->mfortxt, ui->mwttxt,
            ui->eqwttxt, ui->phyapptxt, ui->spgrtxt, ui->pHtxt,   ui->notetxt};
}

void Form1::Form_Load()
{
    centreOnScreen(this);
    ui->Label18->setVisible(true);
    ui->Label19->setVisible(false);
    ui->Label20->setVisible(false);
}

// The data control opens its database once the load step is done; it reports a
// database it cannot open itself, and the window then has no record set.
void Form1::OpenData1()
{
    Data1.setDatabaseName(paths_.databaseFile());
    Data1.setRecordSource(QStringLiteral("DATA1"));
    if (const Status s = Data1.Refresh(); !s.ok()) {
        MsgBox(QStringLiteral("Flaskbook cannot open the database file\n%1\n\n%2")
                   .arg(QDir::toNativeSeparators(paths_.databaseFile()), s.message()),
               vbOKOnly | vbExclamation, kTitle);
    }
}

void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Shown by the program (first start, or back from the about and read-me windows);
    // a restore from the task bar is no activation of ours.
    if (!event->spontaneous())
        Form_Activate();
}

void Form1::Form_Activate()
{
    LockRecordFields();
    ui->nameoptbtn->setChecked(true);
    ui->undobtn->setEnabled(false);
    ui->browsebtn->setEnabled(false);
    ui->updatebtn->setEnabled(false);
    ui->newbtn->setEnabled(true);
    ui->saveasbtn->setEnabled(true);
    ui->printbtn->setEnabled(true);
    ui->Label9->setVisible(false);
    ui->Label10->setVisible(true);
    ui->Label17->setVisible(false);
    CheckRecordLimit([this] {
        rs().MoveLast();
        recordTotal = rs().RecordCount();
        rs().MoveFirst();
        ShowStructureImage();
        ShowRecordNumber();
    });
    qCInfo(lcWindow, "showing record %s of %d: %s", qPrintable(ui->record2label->text()),
           recordTotal, qPrintable(ui->nametxt->Text()));
}

void Form1::Data1_Reposition()
{
    ShowRecordNumber();
}

void Form1::LockRecordFields()
{
    for (TextBox* field : recordFields())
        field->setLocked(true);
}

void Form1::ShowStructureImage()
{
    const QString path = ui->Text8->Text();
    QPixmap picture;
    if (path.isEmpty())
        ui->chemstrimagebox->clearPicture();
    else if (const Status loaded = ImageBox::loadPicture(path, picture); loaded.ok())
        ui->chemstrimagebox->setPicture(picture);
    else // never leave another record's picture beside this one
        ui->chemstrimagebox->showNotice(
            tr("The structure picture of this record could not be loaded.\n\n%1")
                .arg(loaded.message()));
    ui->imagelbl->setText(QStringLiteral("Chemical Structure:  ") + ui->Text8->Text());
}

void Form1::ShowRecordNumber()
{
    ui->record2label->setText(QString::number(rs().AbsolutePosition() + 1));
}

void Form1::CheckRecordLimit(const std::function<void()>& body)
{
    if (rs().RecordCount() > kRecordLimit)
        showNotice(QStringLiteral("Flaskbook supports maximum 1 Million records."));
    if (rs().RecordCount() < kRecordLimit + 1)
        body();
}

// The first steps of every navigation command.
void Form1::StartNavigation()
{
    ui->searchtxt->setText(QString());
    LockRecordFields();
    ui->browsebtn->setEnabled(false);
}

void Form1::firstbtn_Click()
{
    StartNavigation();
    CheckRecordLimit([this] {
        rs().MoveFirst();
        ShowStructureImage();
        ShowRecordNumber();
        showNotice(QStringLiteral(" This is the first record of database"));
    });
}

void Form1::previousbtn_Click()
{
    StartNavigation();
    CheckRecordLimit([this] {
        rs().MovePrevious();
        ShowStructureImage();
        if (rs().IsBOF()) {
            rs().MoveFirst();
            showNotice(QStringLiteral(" This is the first record of database"));
            ShowStructureImage();
        }
    });
}

void Form1::nextbtn_Click()
{
    StartNavigation();
    CheckRecordLimit([this] {
        rs().MoveNext();
        ShowStructureImage();
        if (rs().IsEOF()) {
            rs().MoveLast();
            showNotice(QStringLiteral(" This is the last record of database"));
            ShowStructureImage();
        }
    });
}

void Form1::lastbtn_Click()
{
    StartNavigation();
    CheckRecordLimit([this] {
        rs().MoveLast();
        ShowStructureImage();
        ShowRecordNumber();
        showNotice(QStringLiteral(" This is the last record of database"));
    });
}

void Form1::setRecordFieldColour(const QList<TextBox*>& order, quint32 colour)
{
    for (TextBox* field : order)
        field->setBackColor(colour);
}

void Form1::newbtn_Click()
{
    ui->browsebtn->setEnabled(false);
    ui->updatebtn->setEnabled(true);
    ui->newbtn->setEnabled(false);
    if (rs().EditMode() == Recordset::EditNone) {
        rs().AddNew();
        ui->record2label->setText(QString::number(recordTotal + 1));
    }
    for (paintedButton* button : {ui->nextbtn, ui->previousbtn, ui->firstbtn, ui->lastbtn,
                                  ui->editbtn, ui->deletebtn, ui->undobtn, ui->printbtn})
        button->setEnabled(false);
    ui->browsebtn->setEnabled(true);
    for (paintedButton* button : {ui->saveasbtn, ui->sortascbtn, ui->sortdscbtn, ui->backupbtn,
                                  ui->cleardbbtn, ui->helpbtn, ui->aboutbtn})
        button->setEnabled(false);
    rs().AddNew();
    ui->record2label->setText(QString::number(recordTotal + 1));
    for (TextBox* field : recordFields())
        field->setLocked(false);
    ui->Label9->setVisible(false);
    ui->Label10->setVisible(false);
    ui->Label17->setVisible(true);
    setRecordFieldColour({ui->nametxt, ui->iupactxt, ui->CAStxt, ui->mfortxt, ui->mwttxt,
                          ui->eqwttxt, ui->phyapptxt, ui->notetxt, ui->spgrtxt, ui->pHtxt},
                         kEditColour);
    ShowStructureImage();
}

void Form1::editbtn_Click()
{
    ui->searchtxt->setText(QString());
    ui->searchtxt->setLocked(true);
    ui->searchbtn->setEnabled(false);
    ui->editbtn->setEnabled(false);
    ui->cleardbbtn->setEnabled(false);
    if (const Status opened = rs().Edit(); !opened.ok() && rs().AbsolutePosition() >= 0) {
        // The record is there but cannot be opened now; what the user typed would be lost.
        ui->searchtxt->setLocked(false);
        for (paintedButton* button : {ui->searchbtn, ui->editbtn, ui->cleardbbtn})
            button->setEnabled(true);
        MsgBox(QStringLiteral("The record cannot be edited now.\n\n%1")
                   .arg(storeFailureReason(opened, Data1.DatabaseName())),
               vbOKOnly | vbExclamation, QStringLiteral(" Record Edit Error "));
        return;
    }
    for (paintedButton* button : {ui->nextbtn, ui->previousbtn, ui->firstbtn, ui->lastbtn,
                                  ui->deletebtn, ui->newbtn, ui->undobtn, ui->printbtn})
        button->setEnabled(false);
    ui->browsebtn->setEnabled(true);
    ui->saveasbtn->setEnabled(false);
    ui->updatebtn->setEnabled(true);
    for (paintedButton* button : {ui->sortascbtn, ui->sortdscbtn, ui->helpbtn})
        button->setEnabled(false);
    ui->nametxt->setLocked(false);
    ui->iupactxt->setLocked(false);
    ui->aboutbtn->setEnabled(false);
    ui->backupbtn->setEnabled(false);
    for (TextBox* field : {ui->CAStxt, ui->mfortxt, ui->mwttxt, ui->eqwttxt, ui->phyapptxt,
                           ui->spgrtxt, ui->pHtxt, ui->notetxt})
        field->setLocked(false);
    ui->Label9->setVisible(true);
    ui->Label10->setVisible(false);
    ui->Label17->setVisible(false);
    setRecordFieldColour(recordFields(), kEditColour);
    ShowStructureImage();
    ShowRecordNumber();
}

void Form1::updatebtn_Click()
{
    // Update saves at once, so a crash or a kill cannot lose the record. If the save
    // fails the window stays as it is, with everything typed, to try again.
    if (rs().EditMode() != Recordset::EditNone) {
        if (const Status saved = rs().Update(); !saved.ok()) {
            MsgBox(QStringLiteral("The record was not saved.\n\n%1\n\nWhat you typed is still "
                                  "on screen; press Update to try again.")
                       .arg(storeFailureReason(saved, Data1.DatabaseName())),
                   vbOKOnly | vbExclamation, QStringLiteral(" Record Save Error "));
            return;
        }
        // A record dropped unchanged leaves the one before it current: show that one.
        ShowStructureImage();
    }
    ui->searchtxt->setText(QString());
    ui->searchtxt->setLocked(false);
    for (paintedButton* button : {ui->searchbtn, ui->nextbtn, ui->previousbtn, ui->firstbtn,
                                  ui->lastbtn, ui->editbtn, ui->deletebtn, ui->newbtn})
        button->setEnabled(true);
    ui->undobtn->setEnabled(false);
    for (paintedButton* button :
         {ui->printbtn, ui->browsebtn, ui->saveasbtn, ui->sortascbtn, ui->sortdscbtn, ui->backupbtn,
          ui->cleardbbtn, ui->helpbtn, ui->aboutbtn})
        button->setEnabled(true);
    LockRecordFields();
    ui->Label9->setVisible(false);
    ui->Label10->setVisible(true);
    ui->Label17->setVisible(false);
    setRecordFieldColour(recordFields(), kBrowseColour);
    ui->browsebtn->setEnabled(false);
    if (ui->nametxt->Text().isEmpty())
        MsgBox(QStringLiteral("   Please don't leave Chemical Name field empty"), vbOKOnly,
               QStringLiteral(" Record Save Error "));
    ui->updatebtn->setEnabled(false);
}

void Form1::undobtn_Click()
{
    ui->searchtxt->setText(QString());
    ShowRecordNumber();
}

void Form1::browsebtn_Click()
{
    ui->searchtxt->setText(QString());
    cd1.InitDir = paths_.dataFolder;
    cd1.Filter = QStringLiteral("GIF Images|*.GIF");
    cd1.DialogTitle = QStringLiteral("Browse GIF Image File");
    cd1.ShowOpen();
    CheckRecordLimit([this] {
        if (cd1.FileName.isEmpty())
            return;
        ui->Text8->setText(cd1.FileName);
        ShowStructureImage();
    });
}

void Form1::deletebtn_Click()
{
    ui->browsebtn->setEnabled(false);
    if (rs().RecordCount() < 1)
        MsgBox(QStringLiteral("              Database is empty !!!                             "),
               vbOKOnly | vbInformation, QStringLiteral("Database Empty Message"));
    if (!(rs().RecordCount() > 0))
        return;
    if (MsgBox(QStringLiteral(" Are you sure, you want to delete this record?"),
               vbYesNo | vbQuestion | vbDefaultButton2,
               QStringLiteral("Delete Current Record")) != vbYes)
        return;
    for (TextBox* field : recordFields())
        field->setText(QString());
    ui->Text8->setText(QString());
    if (const Status deleted = rs().Delete(); !deleted.ok()) {
        // The record is still there: say so and show it again as it is.
        rs().CancelUpdate();
        MsgBox(QStringLiteral("The record could not be deleted.\n\n%1")
                   .arg(storeFailureReason(deleted, Data1.DatabaseName())),
               vbOKOnly | vbExclamation, QStringLiteral("Record Delete Message"));
        ShowStructureImage();
        return;
    }
    MsgBox(QStringLiteral("Your selected record has been deleted forever"),
           vbOKOnly | vbInformation, QStringLiteral("Record Delete Message"));
    rs().MoveNext();
    ShowStructureImage();
}

void Form1::aboutbtn_Click()
{
    hide();
    secondaryWindow_ = new frmAbout(this);
    secondaryWindow_->show();
}

void Form1::helpbtn_Click()
{
    hide();
    secondaryWindow_ = new Form2(this, paths_.dataFolder);
    secondaryWindow_->show();
}

void Form1::nametxt_KeyPress(int& KeyAscii)
{
    KeyAscii = QChar(KeyAscii).toUpper().unicode();
}

// The weights take digits, the full stop and the slash (codes 46 to 57) and Backspace.
void Form1::mwttxt_KeyPress(int& KeyAscii)
{
    if (KeyAscii != kBackspace && (KeyAscii < 46 || KeyAscii > 57))
        KeyAscii = 0;
}

void Form1::eqwttxt_KeyPress(int& KeyAscii)
{
    mwttxt_KeyPress(KeyAscii);
}

void Form1::CAStxt_KeyPress(int& KeyAscii)
{
    if (KeyAscii != kBackspace && KeyAscii != '-' && (KeyAscii < 46 || KeyAscii > 57))
        KeyAscii = 0;
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
