#pragma once

#include "app/boundtextbox.h"
#include "app/records/datacontrol.h"
#include "platform/commondialog.h"
#include "platform/paths.h"
#include "windows/recordlist.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QMenu;
class QMenuBar;
class QRadioButton;
class RecordListModel;
class TextBox;
namespace Ui {
class Form1;
}

// The three states of the window, held only in its controls: browsing, editing the
// current record, and entering a new one.
enum class WindowState { Browsing, Editing, NewRecord };

// The main window: one chemical record at a time, over the data control Data1.
// Each handler is named after its control and event and runs its steps in order;
// a step that fails is passed over and the next one runs.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(const Paths& paths, QWidget* parent = nullptr);
    ~Form1() override;

    // What tests and the benchmark read beside the controls.
    DataControl& dataControl() { return Data1; }
    qint32 recordTotalAtActivation() const { return recordTotal; }

    // Shared display operations of the handlers.
    void LockRecordFields();
    void ShowStructureImage();
    void ShowRecordNumber();
    // Runs `body` only while the table holds at most 1,000,000 records.
    void CheckRecordLimit(const std::function<void()>& body);
    // Says so when another program's lock stopped a command; true if it did.
    bool ReportIfLocked(const Status& status);

    // The menu bar above the form: File and Help, and Edit between them, which the commands
    // added beside the form fill.
    QMenu* editMenu() { return editMenu_; }
    int menuBarHeight() const;

    // File > Import... with the file already chosen (a file dropped on the window): maps its
    // items onto the record fields, appends its records and shows what was added and skipped.
    void ImportCollection(const QString& path);
    void mnuImport_Click();
    void mnuExport_Click();

    // The record list beside the window, while it has been opened.
    RecordList* recordList() const { return recordList_; }
    RecordListModel* recordListModel() const { return recordListModel_; }

public slots:
    // Opens the record list with its filter (Ctrl+F, Ctrl+L), or brings it to the front.
    void openRecordList();
    // F3 and Shift+F3: the next or previous record, from the one shown, whose chosen search
    // field holds the search text. They act only while browsing.
    void findNext();
    void findPrevious();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenuBar();
    // Import and export run only while browsing; otherwise says so and returns false.
    bool TransferAllowed();

    // One record field as the window shows, searches, exports and prints it.
    struct RecordField {
        const char* column;          // its column of DATA1
        const char* label;           // its label in Save As's text block and on the printed page
        QLabel* Ui::Form1::*caption; // its label on the form, which also names it to screen readers
        TextBox* Ui::Form1::*box;
        QRadioButton* Ui::Form1::*searchOption; // null when the field is not searched
        void (Form1::*keyPress)(int& KeyAscii); // null when typing is not filtered
    };
    // The ten record fields in the order used throughout (table order).
    static const std::vector<RecordField>& recordFieldTable();
    QList<TextBox*> recordFields() const;

    // Mode label, record boxes (locked and coloured) and the buttons enabled in `state`.
    void ShowWindowState(WindowState state);
    // The state the mode labels show.
    WindowState shownWindowState() const;

    // Names the record boxes, the search box and the picture box for screen readers.
    void nameControlsForScreenReaders();
    // The picture box's description: the record whose structure it shows, or that it shows none.
    void describeStructurePicture();
    // Escape while editing or entering: back to browsing with the record as stored.
    void CancelRecordEdit();

    void setUpRecordList();
    // Makes the record of the chosen row current, unless a record is being edited or entered.
    void recordList_RowChosen(int row);

    void Form_Load();
    void Form_Activate();
    void Data1_Reposition();
    void OpenData1();

    void StartNavigation();
    void firstbtn_Click();
    void previousbtn_Click();
    void nextbtn_Click();
    void lastbtn_Click();

    void backupbtn_Click();
    void cleardbbtn_Click();
    void saveasbtn_Click();
    void printbtn_Click();
    QList<std::pair<QString, QString>> shownFieldTexts() const; // label and text of each field

    void newbtn_Click();
    void editbtn_Click();
    void updatebtn_Click();
    void undobtn_Click();
    void browsebtn_Click();
    void chemstrimagebox_Paste();
    void chemstrimagebox_FileDropped(const QString& path);
    // Takes a structure file (MOL, SD, SMILES) or a picture file as the record's structure.
    void TakeStructureFile(const QString& path);
    void TakeStructure(const QString& molBlock, const QString& formula, const QString& weight);
    // True while a record is being edited or entered, which is when Browse is enabled.
    bool RecordIsOpenForChange() const;
    // Draws the record's structure for the picture box's size at this pixel ratio.
    Status DrawStructure(qreal ratio, QPixmap& drawing, QString& formula) const;
    void deletebtn_Click();
    void aboutbtn_Click();
    void helpbtn_Click();

    void searchbtn_Click();
    // Search's steps, finding with `find` in the chosen field; says so when nothing is found.
    void SearchWith(Status (Recordset::*find)(const QString& column, const QString& value));
    void searchtxt_KeyPress(int& KeyAscii);
    void sortascbtn_Click();
    void sortdscbtn_Click();
    void SortByName(const QString& recordSource, QLabel* orderLabel);

    void nametxt_KeyPress(int& KeyAscii);
    void mwttxt_KeyPress(int& KeyAscii);
    void eqwttxt_KeyPress(int& KeyAscii);
    void CAStxt_KeyPress(int& KeyAscii);

    Recordset& rs() { return Data1.Recordset(); }
    void bindField(const QString& column, TextBox* box);

    DataControl Data1;
    CommonDialog cd1;
    // Import's and export's own file dialog, so that each keeps its folder and filter.
    CommonDialog transferDialog_;
    // The number of records counted at the last activation.
    qint32 recordTotal = 0;

    std::unique_ptr<Ui::Form1> ui;
    // The record set writes into the boxes through these, one per bound column.
    std::vector<std::unique_ptr<BoundTextBox>> bindings_;
    // The record's structure as a MOL block; empty when it has none.
    BoundValue structure_;
    // The structure the picture box shows now, drawn at this pixel ratio.
    struct ShownStructure {
        QString molBlock;
        qreal ratio = 0;
        QString formula;
    } shownStructure_;
    Paths paths_;
    QWidget* formArea_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QMenu* editMenu_ = nullptr;
    // The about or read-me window while one stands in for this window.
    QPointer<QWidget> secondaryWindow_;
    QPointer<RecordList> recordList_;
    RecordListModel* recordListModel_ = nullptr;
};
