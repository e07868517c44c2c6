#include "app/form1.h"

#include "app/casnumber.h"
#include "app/failurereason.h"
#include "app/recordlimit.h"
#include "app/records/schema.h"
#include "controls/button/storedbuttons.h"
#include "controls/formfonts.h"
#include "controls/formpalette.h"
#include "platform/msgbox.h"
#include "platform/windowplacement.h"
#include "ui_form1.h"
#include "windows/form2.h"
#include "windows/frmabout.h"

#include <QDir>
#include <QLoggingCategory>
#include <QShortcut>
#include <QShowEvent>

// Off unless asked for (QT_LOGGING_RULES="flaskbook.window.info=true"); the install test
// reads it to see the installed program reach its first record.
Q_LOGGING_CATEGORY(lcWindow, "flaskbook.window", QtWarningMsg)

namespace {

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
    // The form's controls keep their designed places in a strip below the menu bar.
    formArea_ = new QWidget(this);
    formArea_->setObjectName(QStringLiteral("formArea"));
    ui->setupUi(formArea_);
    setWindowTitle(formArea_->windowTitle());
    applyDesignedPalette(this);
    applyDesignedPointSizes(formArea_);
    fitCaptionsToControls(formArea_);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    createMenuBar();
    // A collection file dropped anywhere but on the picture box is imported.
    setAcceptDrops(true);
    formArea_->setFixedSize(784, 629);
    setFixedSize(784, 629 + menuBarHeight());
    setWindowIcon(QIcon(QStringLiteral(":/app/flaskbook.png")));
    // The buttons' design-time settings are stored beside the form, one bag each.
    const Status restored = restoreStoredButtons(this, QStringLiteral(":/app/form1.buttons"));
    if (!restored.ok())
        qWarning("Form1 buttons: %s", qPrintable(restored.message()));

    for (const RecordField& field : recordFieldTable()) {
        TextBox* box = ui.get()->*field.box;
        bindField(QLatin1String(field.column), box);
        if (field.keyPress)
            box->setKeyPress([this, field](int& KeyAscii) { (this->*field.keyPress)(KeyAscii); });
    }
    // The hidden Text8 holds the picture path; the structure is drawn, not typed.
    bindField(QStringLiteral("Image"), ui->Text8);
    Data1.bind(structureColumn(), &structure_);
    connect(ui->chemstrimagebox, &ImageBox::pasteRequested, this, &Form1::chemstrimagebox_Paste);
    connect(ui->chemstrimagebox, &ImageBox::fileDropped, this, &Form1::chemstrimagebox_FileDropped);
    connect(ui->chemstrimagebox, &ImageBox::pictureChanged, this, &Form1::describeStructurePicture);
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
    ui->searchtxt->setKeyPress([this](int& KeyAscii) { searchtxt_KeyPress(KeyAscii); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &Form1::CancelRecordEdit);
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this,
            &Form1::findNext);
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this), &QShortcut::activated, this,
            &Form1::findPrevious);
    nameControlsForScreenReaders();
    setUpRecordList();

    Form_Load();
    OpenData1();
}

Form1::~Form1()
{
    delete secondaryWindow_;
    // The list reads through Data1, so it goes first.
    delete recordList_;
}

void Form1::bindField(const QString& column, TextBox* box)
{
    bindings_.push_back(std::make_unique<BoundTextBox>(box));
    Data1.bind(column, bindings_.back().get());
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
    ShowWindowState(WindowState::Browsing);
    ui->nameoptbtn->setChecked(true);
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

void Form1::ShowRecordNumber()
{
    ui->record2label->setText(QString::number(rs().AbsolutePosition() + 1));
}

void Form1::CheckRecordLimit(const std::function<void()>& body)
{
    // A database another program held when the window opened is tried again now.
    if (!Data1.Database().isOpen() && !Data1.DatabaseName().isEmpty())
        Data1.Refresh();
    if (rs().RecordCount() > kRecordLimit)
        showNotice(QStringLiteral("Flaskbook supports maximum 1 Million records."));
    if (rs().RecordCount() < kRecordLimit + 1)
        body();
}

// The first steps of every navigation command.
bool Form1::ReportIfLocked(const Status& status)
{
    if (!isLockedByAnotherProgram(status))
        return false;
    MsgBox(QStringLiteral("%1\n\nPlease try again when the other program has finished.")
               .arg(storeFailureReason(status, Data1.DatabaseName())),
           vbOKOnly | vbExclamation, kTitle);
    return true;
}

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
        if (ReportIfLocked(rs().MoveFirst()))
            return;
        ShowStructureImage();
        ShowRecordNumber();
        showNotice(QStringLiteral(" This is the first record of database"));
    });
}

void Form1::previousbtn_Click()
{
    StartNavigation();
    CheckRecordLimit([this] {
        if (ReportIfLocked(rs().MovePrevious()))
            return;
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
        if (ReportIfLocked(rs().MoveNext()))
            return;
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
        if (ReportIfLocked(rs().MoveLast()))
            return;
        ShowStructureImage();
        ShowRecordNumber();
        showNotice(QStringLiteral(" This is the last record of database"));
    });
}

void Form1::newbtn_Click()
{
    if (rs().EditMode() == Recordset::EditNone) {
        rs().AddNew();
        ui->record2label->setText(QString::number(recordTotal + 1));
    }
    if (const Status added = rs().AddNew(); !added.ok()) {
        // Without a blank record pending, whatever was typed would be lost: stay browsing.
        rs().CancelUpdate();
        ShowRecordNumber();
        MsgBox(QStringLiteral("No new record can be started now.\n\n%1")
                   .arg(storeFailureReason(added, Data1.DatabaseName())),
               vbOKOnly | vbExclamation, QStringLiteral(" Record Save Error "));
        return;
    }
    ui->record2label->setText(QString::number(recordTotal + 1));
    ShowWindowState(WindowState::NewRecord);
    ShowStructureImage();
}

void Form1::editbtn_Click()
{
    ui->searchtxt->setText(QString());
    ui->searchtxt->setLocked(true);
    if (const Status opened = rs().Edit(); !opened.ok()) {
        // With no record open, whatever the user typed would be lost: stay browsing.
        ui->searchtxt->setLocked(false);
        if (rs().RecordCount() < 1)
            MsgBox(
                QStringLiteral("              Database is empty !!!                             "),
                vbOKOnly | vbInformation, QStringLiteral("Database Empty Message"));
        else
            MsgBox(QStringLiteral("The record cannot be edited now.\n\n%1")
                       .arg(storeFailureReason(opened, Data1.DatabaseName())),
                   vbOKOnly | vbExclamation, QStringLiteral(" Record Edit Error "));
        return;
    }
    ShowWindowState(WindowState::Editing);
    ShowStructureImage();
    ShowRecordNumber();
}

void Form1::updatebtn_Click()
{
    // Update saves at once, so a crash or a kill cannot lose the record. If the save
    // fails the window stays as it is, with everything typed, to try again.
    const QString savedCas =
        rs().EditMode() != Recordset::EditNone ? ui->CAStxt->Text() : QString();
    // The name as the user left it: settling may show another record in its place.
    const QString typedName = ui->nametxt->Text();
    if (rs().EditMode() != Recordset::EditNone) {
        const bool editing = rs().EditMode() == Recordset::EditInProgress;
        if (const Status saved = rs().Update(); !saved.ok()) {
            const QString reason = storeFailureReason(saved, Data1.DatabaseName());
            if (rs().EditMode() == Recordset::EditNone) {
                // Another program's change stands: the record is shown as the file holds it.
                MsgBox(QStringLiteral("The record was not saved.\n\n%1").arg(reason),
                       vbOKOnly | vbExclamation, QStringLiteral(" Record Save Error "));
                ShowStructureImage();
                ShowRecordNumber();
                ui->searchtxt->setText(QString());
                ui->searchtxt->setLocked(false);
                ShowWindowState(WindowState::Browsing);
                return;
            }
            // The edited record is gone from the file: what was typed waits as a new record.
            const bool keptAsNew = editing && rs().EditMode() == Recordset::EditAdd;
            MsgBox(QStringLiteral("The record was not saved.\n\n%1\n\n%2")
                       .arg(reason, keptAsNew ? QStringLiteral("What you typed is still on "
                                                               "screen; press Update to save it "
                                                               "as a new record, or Escape to "
                                                               "drop it.")
                                              : QStringLiteral("What you typed is still on "
                                                               "screen; press Update to try "
                                                               "again.")),
                   vbOKOnly | vbExclamation, QStringLiteral(" Record Save Error "));
            if (keptAsNew) {
                ShowRecordNumber();
                ShowWindowState(WindowState::NewRecord);
            }
            return;
        }
        // A record dropped unchanged leaves the one before it current, and rows another
        // program added may have moved the saved one: show the record current now.
        ShowStructureImage();
        ShowRecordNumber();
    }
    ui->searchtxt->setText(QString());
    ui->searchtxt->setLocked(false);
    ShowWindowState(WindowState::Browsing);
    if (typedName.isEmpty())
        MsgBox(QStringLiteral("   Please don't leave Chemical Name field empty"), vbOKOnly,
               QStringLiteral(" Record Save Error "));
    // Catalogues carry wrong numbers too: the record is saved as typed, and the user told.
    if (casCheckDigitIsWrong(savedCas))
        MsgBox(QStringLiteral("The CAS Registry Number %1 does not check: its last digit does "
                              "not match the digits before it (7732-18-5 is a number that "
                              "checks).\n\nThe record is saved as typed; please compare the "
                              "number with its source.")
                   .arg(savedCas),
               vbOKOnly | vbInformation, QStringLiteral("CAS Registry Number"));
}

void Form1::undobtn_Click()
{
    ui->searchtxt->setText(QString());
    ShowRecordNumber();
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
    // With no record left to move to, no move shows the number: no record is current.
    ShowRecordNumber();
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
    secondaryWindow_ = new Form2(this, paths_);
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
