#include "controls/button/paintedbutton.h"
#include "controls/button/propertybag.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

const QString kFirst = QStringLiteral(" This is the first record of database");
const QString kLast = QStringLiteral(" This is the last record of database");
const QString kLimit = QStringLiteral("Flaskbook supports maximum 1 Million records.");
const QString kCaption = QStringLiteral("Chemical Structure:  ");
const QString kNoRecord = QStringLiteral(" No record found for this specific Search   ");
const QString kAscending = QStringLiteral("Order : A to Z");
const QString kDescending = QStringLiteral("Order : Z to A ");

// WCAG's relative luminance of an sRGB colour.
double luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double contrastRatio(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour that covers most of `area` of `image`: what a control's text stands on.
QRgb mostFrequentColour(const QImage& image, const QRect& area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) & RGB_MASK];
    QRgb most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(most))
            most = it.key();
    return most;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void startUpAndNavigationShowEachRecordWithItsPicture();
    void missingDatabaseAndEmptyTable();
    void recordLimitGuard_data();
    void recordLimitGuard();
    void buttonsCarryTheirDesignSettings();
    void everyCaptionFitsItsControl();
    void keepsItsLightLookUnderADarkPalette();
    void screenReadersNameEachControl();
    void searchFindsByEachField();
    void firstOfDuplicatesInTheOrderInForce();
    void findNextAndPreviousStepThroughDuplicates_data();
    void findNextAndPreviousStepThroughDuplicates();
    void sortShowsRecordOneAndSwitchesTheLabel();

private:
    void search(const char* option, const QString& text);
    QString shownOrderLabel() const;
    std::unique_ptr<FormDriver> ui_;
};

void TestForm1::startUpAndNavigationShowEachRecordWithItsPicture()
{
    QList<QStringList> records{ui_->recordWithPicture("RED", Qt::red), sampleRecord("NONE"),
                               ui_->recordWithPicture("BLUE", Qt::blue), sampleRecord("MISSING")};
    records[0][6] = QStringLiteral("A white crystalline powder that wraps onto a second line");
    records[3][10] = ui_->filePath(QStringLiteral("gone.gif"));
    // A relative picture path is the data folder's, whatever the working folder is.
    records[2][10] = QFileInfo(records[2][10]).fileName();
    ui_->open(records);

    QVERIFY(ui_->boxes.shown().isEmpty());
    QCOMPARE(ui_->form().recordTotalAtActivation(), 4);
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
    QCOMPARE(ui_->shownText("CAStxt"), QStringLiteral("cas-RED"));
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::red).rgb());
    for (const char* name : {"nametxt", "iupactxt", "CAStxt", "mfortxt", "mwttxt", "eqwttxt",
                             "phyapptxt", "spgrtxt", "pHtxt", "notetxt"})
        QVERIFY2(ui_->box(name)->Locked(), name);
    QVERIFY(!ui_->box("searchtxt")->Locked());
    // The one-line-high multi-line box shows the start of its text.
    QCOMPARE(ui_->box("phyapptxt")->findChild<QPlainTextEdit*>()->verticalScrollBar()->value(), 0);
    QVERIFY(ui_->control<QRadioButton>("nameoptbtn")->isChecked());
    for (const char* name : {"undobtn", "browsebtn", "updatebtn"})
        QVERIFY2(!ui_->button(name)->isEnabled(), name);
    for (const char* name : {"newbtn", "saveasbtn", "printbtn", "nextbtn"})
        QVERIFY2(ui_->button(name)->isEnabled(), name);
    for (const char* label : {"Label9", "Label10", "Label17", "Label18", "Label19", "Label20"})
        QCOMPARE(ui_->control<QLabel>(label)->isVisible(),
                 QByteArray(label) == "Label10" || QByteArray(label) == "Label18");

    // Every move empties the search box and leaves the window browsing; the ends say so.
    // A picture that cannot be loaded empties the box with a notice, and the caption keeps
    // the stored path.
    const QRgb colours[] = {QColor(Qt::red).rgb(), 0, QColor(Qt::blue).rgb(), 0};
    const struct {
        const char* button;
        int record;
        QString message;
    } moves[] = {{"previousbtn", 1, kFirst}, {"nextbtn", 2, {}},     {"lastbtn", 4, kLast},
                 {"nextbtn", 4, kLast},      {"previousbtn", 3, {}}, {"firstbtn", 1, kFirst}};
    for (const auto& [button, record, message] : moves) {
        ui_->boxes.clear();
        ui_->box("searchtxt")->setText(QStringLiteral("ETHANOL"));
        ui_->button("browsebtn")->setEnabled(true);
        ui_->click(button);
        QCOMPARE(ui_->recordNumber(), QString::number(record));
        QCOMPARE(ui_->shownText("nametxt"), records[record - 1][0]);
        QCOMPARE(ui_->prompts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(ui_->shownPictureColour(), colours[record - 1]);
        QCOMPARE(ui_->pictureNotice().isEmpty(), record != 4);
        QCOMPARE(ui_->imageCaption(), kCaption + records[record - 1][10]);
        QVERIFY(ui_->shownText("searchtxt").isEmpty());
        QVERIFY(!ui_->button("browsebtn")->isEnabled());
    }
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Flaskbook"));
    QCOMPARE(ui_->boxes.shown()[0].style, int(vbOKOnly | vbInformation));
}

void TestForm1::missingDatabaseAndEmptyTable()
{
    // No database file: the message names it, and the window shows record 0 and closes.
    ui_->reopen();
    QCOMPARE(ui_->boxes.shown().size(), 1);
    QVERIFY(ui_->prompts()[0].contains(ui_->databaseFile()));
    QVERIFY(ui_->prompts()[0].contains(QLatin1String("does not exist")));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    ui_->click("nextbtn");
    QCOMPARE(ui_->prompts().last(), kLast);
    QVERIFY(ui_->form().close());

    // An empty table: every move gives its end's message and shows no record.
    ui_->open({});
    QCOMPARE(ui_->form().recordTotalAtActivation(), 0);
    const std::pair<const char*, QString> moves[] = {
        {"firstbtn", kFirst}, {"previousbtn", kFirst}, {"nextbtn", kLast}, {"lastbtn", kLast}};
    for (const auto& [button, message] : moves) {
        ui_->boxes.clear();
        ui_->click(button);
        QCOMPARE(ui_->prompts(), QStringList{message});
        QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
        QVERIFY(ui_->shownPicture().isNull());
        QCOMPARE(ui_->imageCaption(), kCaption);
    }
    // A sort switches the label and leaves nothing current.
    ui_->boxes.clear();
    ui_->click("sortdscbtn");
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(shownOrderLabel(), kDescending);
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QCOMPARE(ui_->form().dataControl().Recordset().AbsolutePosition(), -1);

    // Edit has no record to open: it says so and stays browsing; New shows record 1 and
    // Update saves it.
    ui_->boxes.clear();
    ui_->click("editbtn");
    QCOMPARE(ui_->prompts(),
             QStringList{"              Database is empty !!!                             "});
    QVERIFY(ui_->box("nametxt")->Locked());
    QVERIFY(ui_->control<QLabel>("Label10")->isVisible());
    QVERIFY(readTable(ui_->databaseFile()).isEmpty());
    ui_->click("newbtn");
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
    ui_->type("nametxt", QStringLiteral("WATER"));
    ui_->click("updatebtn");
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"WATER"});
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
}

void TestForm1::recordLimitGuard_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("exactly a million") << 1000000;
    QTest::newRow("one more") << 1000001;
}

void TestForm1::recordLimitGuard()
{
    QFETCH(int, count);
    const bool over = count > 1000000;
    createLargeTestDatabase(ui_->databaseFile(), count);
    ui_->reopen();
    QCOMPARE(ui_->prompts(), over ? QStringList{kLimit} : QStringList());
    QCOMPARE(ui_->form().recordTotalAtActivation(), over ? 0 : 1000000);
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));

    ui_->boxes.clear();
    ui_->box("searchtxt")->setText(QStringLiteral("X"));
    ui_->click("lastbtn");
    QCOMPARE(ui_->prompts(), QStringList{over ? kLimit : kLast});
    QCOMPARE(ui_->recordNumber(), over ? QStringLiteral("1") : QStringLiteral("1000000"));
    QVERIFY(ui_->shownText("searchtxt").isEmpty());

    // Search and sort: above the limit only the message, and the sort still empties the box.
    ui_->boxes.clear();
    ui_->box("searchtxt")->setText(QStringLiteral("chemical 500000"));
    ui_->click("searchbtn");
    ui_->box("searchtxt")->setText(QStringLiteral("X"));
    ui_->click("sortdscbtn");
    QCOMPARE(ui_->prompts(), over ? (QStringList{kLimit, kLimit}) : QStringList());
    QVERIFY(ui_->shownText("searchtxt").isEmpty());
    QCOMPARE(ui_->control<QLabel>("Label18")->isVisible(), over);
    QCOMPARE(ui_->shownText("nametxt"),
             over ? QStringLiteral("CHEMICAL 1") : QStringLiteral("CHEMICAL 999999"));
}

// Each button carries its designed settings, restored from its stored bag.
void TestForm1::buttonsCarryTheirDesignSettings()
{
    ui_->openNamed({"ONE"});
    const uint lilac = 0xB8B0D0, white = 0xFFFFFF, sand = 0xC8D0D8, pale = 0xD8E9EC;
    const struct {
        const char* name;
        QString caption;
        int scheme;
        uint back, fore, foreOver;
        double size;
    } designs[] = {
        {"editbtn", "Edit", 1, lilac, 0, 0, 9.75},
        {"browsebtn", "Browse", 1, lilac, 0, 0, 9.75},
        {"updatebtn", "Update", 1, sand, 0, 0, 9.75},
        {"newbtn", "New", 1, lilac, 0, 0, 9.75},
        {"deletebtn", "Delete", 2, white, 0x40, 0xFF, 9.75},
        {"saveasbtn", "Save As", 1, lilac, 0, 0, 9.0},
        {"printbtn", "Print", 1, lilac, 0, 0, 9.75},
        {"searchbtn", "Search", 2, white, 0, 0x8080, 9.75},
        {"sortascbtn", "Sort A--Z", 2, sand, 0, 0x80FF, 9.75},
        {"sortdscbtn", "Sort Z--A", 2, pale, 0, 0x80FF, 9.75},
        {"backupbtn", "Backup", 2, pale, 0, 0xC000, 9.75},
        {"cleardbbtn", "Clear DB", 2, pale, 0, 0xFF, 9.75},
        {"nextbtn", "Next", 2, white, 0, 0xFF0000, 12.0},
        {"previousbtn", "Previous", 2, white, 0, 0xFF0000, 12.0},
        {"firstbtn", "First", 2, white, 0, 0xFF0000, 12.0},
        {"lastbtn", "Last", 2, white, 0, 0xFF0000, 12.0},
        {"helpbtn", "Must Read", 1, pale, 0, 0, 9.75},
        {"aboutbtn", "About", 1, pale, 0, 0, 9.75},
        {"undobtn", "Undo", 1, lilac, 0, 0, 9.75},
    };
    for (const auto& design : designs) {
        const paintedButton* button = ui_->button(design.name);
        QCOMPARE(button->Caption(), design.caption);
        QCOMPARE(button->ColorScheme(), design.scheme);
        QCOMPARE(button->BackColor(), design.back);
        QCOMPARE(button->BackOver(), design.back);
        QCOMPARE(button->ForeColor(), design.fore);
        QCOMPARE(button->ForeOver(), design.foreOver);
        QCOMPARE(button->Font().family(), QStringLiteral("Arial"));
        QCOMPARE(button->Font().pointSizeF(), design.size);
        QVERIFY(button->Font().bold());
        QCOMPARE(button->ButtonType(), 3);
        QCOMPARE(button->MousePointer(), 1);
        QCOMPARE(button->MaskColor(), 0xC0C0C0u);
        // The other settings keep their defaults; saved again they make the same 21-entry bag.
        PropertyBag bag;
        button->WriteProperties(bag);
        QCOMPARE(bag.count(), 21);
    }
}

// Each label, option and button caption shows its whole text in its designed rectangle,
// with the font really in use (the substitute fonts are wider than the designed ones).
void TestForm1::everyCaptionFitsItsControl()
{
    ui_->openNamed({QStringLiteral("ONE")});
    QStringList clipped;
    const auto check = [&clipped](const QWidget* control, const QString& text, int width) {
        if (width > control->width() ||
            QFontMetrics(control->font()).tightBoundingRect(text).height() > control->height())
            clipped << control->objectName() + QStringLiteral(" \"") + text +
                           QStringLiteral("\" in ") + QFontInfo(control->font()).family();
    };
    const QList<QLabel*> labels = ui_->form().findChildren<QLabel*>();
    QVERIFY(labels.size() > 20);
    for (const QLabel* label : labels) {
        const QRect room = label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect used = label->fontMetrics().boundingRect(room, flags, label->text());
        check(label, label->text(), used.width() + label->width() - room.width());
    }
    for (const QRadioButton* option : ui_->form().findChildren<QRadioButton*>()) {
        QStyleOptionButton style;
        style.initFrom(option);
        const QRect room =
            option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
        check(option, option->text(),
              option->fontMetrics().horizontalAdvance(option->text()) + room.x());
    }
    for (const paintedButton* button : ui_->form().findChildren<paintedButton*>()) {
        QString shown = button->Caption();
        shown.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
        shown.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        // A face keeps a bevel of two pixels on each side clear of the caption.
        check(button, shown, QFontMetrics(button->Font()).horizontalAdvance(shown) + 4);
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

// Under a dark desktop palette every label, option and box shown keeps its text readable on
// what it stands on (WCAG's 4.5:1), as the window opens.
void TestForm1::keepsItsLightLookUnderADarkPalette()
{
    const QPalette desktop = QApplication::palette();
    const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2A, 0x2A, 0x2A));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText})
        dark.setColor(role, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    QApplication::setPalette(dark);
    ui_->openNamed({QStringLiteral("ETHANOL")});

    const QImage shot = ui_->form().grab().toImage();
    QStringList unreadable;
    int checked = 0;
    const auto check = [&](const QWidget* control, const QWidget* painter,
                           QPalette::ColorRole role) {
        const QRect area(painter->mapTo(&ui_->form(), QPoint()), painter->size());
        if (!control->isVisible() || !shot.rect().contains(area))
            return;
        ++checked;
        const QRgb text = painter->palette().color(role).rgb();
        const QRgb background = mostFrequentColour(shot, area);
        const double ratio = contrastRatio(text, background);
        if (ratio < 4.5)
            unreadable << QStringLiteral("%1: %2 on %3, %4:1")
                              .arg(control->objectName(), QColor(text).name(),
                                   QColor(background).name())
                              .arg(ratio, 0, 'f', 2);
    };
    for (const QLabel* label : ui_->form().findChildren<QLabel*>())
        check(label, label, label->foregroundRole());
    for (const QRadioButton* option : ui_->form().findChildren<QRadioButton*>())
        check(option, option, option->foregroundRole());
    for (const TextBox* box : ui_->form().findChildren<TextBox*>())
        check(box, box->editor(), QPalette::Text);
    QVERIFY(checked > 30);
    QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(QLatin1Char('\n'))));
}

// Each record box is named by its label, which points to it; the picture box says whose
// structure it shows.
void TestForm1::screenReadersNameEachControl()
{
    ui_->open({ui_->recordWithPicture("ETHANOL", Qt::red), sampleRecord("WATER")});
    const auto accessible = [](QWidget* widget) {
        QAccessibleInterface* found = QAccessible::queryAccessibleInterface(widget);
        if (!found)
            qFatal("no accessible interface for %s", qPrintable(widget->objectName()));
        return found;
    };
    const struct {
        const char* label;
        const char* box;
        QString name;
    } fields[] = {{"Label1", "nametxt", "Chemical Name"},
                  {"Label2", "iupactxt", "IUPAC Name"},
                  {"Label8", "CAStxt", "CAS Registry Number"},
                  {"Label3", "mfortxt", "Molecular Formula"},
                  {"Label4", "mwttxt", "Molecular Weight"},
                  {"Label5", "eqwttxt", "Equivalent Weight"},
                  {"Label6", "phyapptxt", "Physical Appearance"},
                  {"Label13", "spgrtxt", "Density (or Sp. Gravity)"},
                  {"Label14", "pHtxt", "pH (solution)"},
                  {"Label15", "notetxt", "Special Note"},
                  {nullptr, "searchtxt", "Search text"}};
    for (const auto& [label, box, name] : fields) {
        QAccessibleInterface* editor = accessible(ui_->box(box)->editor());
        QCOMPARE(editor->text(QAccessible::Name), name);
        QCOMPARE(editor->role(), QAccessible::EditableText);
        // Locked while browsing, but for the search box.
        QCOMPARE(bool(editor->state().readOnly), label != nullptr);
        if (!label)
            continue;
        const auto labelled =
            accessible(ui_->control<QLabel>(label))->relations(QAccessible::Labelled);
        QCOMPARE(labelled.size(), 1);
        QCOMPARE(labelled[0].first->object(), ui_->box(box));
    }
    QAccessibleInterface* picture = accessible(ui_->control<QWidget>("chemstrimagebox"));
    QCOMPARE(picture->role(), QAccessible::Graphic);
    QCOMPARE(picture->text(QAccessible::Name), QStringLiteral("Chemical Structure"));
    QCOMPARE(picture->text(QAccessible::Description),
             QStringLiteral("Structure picture of ETHANOL"));
    // Every command button is a push button named by its caption, enabled as it is drawn.
    for (const char* button : {"updatebtn", "nextbtn", "searchbtn", "backupbtn"}) {
        QAccessibleInterface* pushButton = accessible(ui_->button(button));
        QCOMPARE(pushButton->role(), QAccessible::PushButton);
        QVERIFY(!pushButton->text(QAccessible::Name).isEmpty());
        QCOMPARE(bool(pushButton->state().disabled), !ui_->button(button)->isEnabled());
    }
    QCOMPARE(accessible(ui_->button("nextbtn"))->text(QAccessible::Name), QStringLiteral("Next"));
    ui_->click("nextbtn");
    QCOMPARE(picture->text(QAccessible::Description), QStringLiteral("No picture"));
    // A drawn structure is described as a picture is; Escape takes it away again.
    ui_->click("editbtn");
    QVERIFY(!accessible(ui_->box("notetxt")->editor())->state().readOnly);
    QGuiApplication::clipboard()->setText(QStringLiteral("O"));
    QTest::keyClick(ui_->control<QWidget>("chemstrimagebox"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(picture->text(QAccessible::Description), QStringLiteral("Structure picture of WATER"));
    QTest::keyClick(ui_->box("nametxt")->editor(), Qt::Key_Escape);
    QCOMPARE(picture->text(QAccessible::Description), QStringLiteral("No picture"));
}

void TestForm1::search(const char* option, const QString& text)
{
    ui_->control<QRadioButton>(option)->setChecked(true);
    ui_->box("searchtxt")->setText(text);
    ui_->click("searchbtn");
}

QString TestForm1::shownOrderLabel() const
{
    QString shown;
    for (const char* name : {"Label18", "Label19", "Label20"}) {
        if (ui_->control<QLabel>(name)->isVisible())
            shown += ui_->control<QLabel>(name)->text();
    }
    return shown;
}

void TestForm1::searchFindsByEachField()
{
    // ACETONE's picture cannot be loaded: a hit on it must not keep the last record's picture.
    QList<QStringList> records{sampleRecord("ACETONE"), ui_->recordWithPicture("ETHANOL", Qt::red),
                               ui_->recordWithPicture("N,N'-DIMETHYLUREA", Qt::darkGreen)};
    records[0][10] = ui_->filePath(QStringLiteral("missing.gif"));
    ui_->open(records);
    ui_->click("lastbtn");
    // A miss (found -1) says so and leaves the record on screen; the search text stays.
    const struct {
        const char* option;
        QString text;
        int found;
    } searches[] = {
        {"iupacoptbtn", "IUPAC ACETONE", 0}, {"nameoptbtn", "n,n'-dimethylurea", 2},
        {"CASoptbtn", "cas-ETHANOL", 1},     {"nameoptbtn", "", -1},
        {"nameoptbtn", "X' OR '1'='1", -1},  {"mforoptbtn", "formula N,N'-DIMETHYLUREA", 2},
        {"mwtoptbtn", "mw acetone", 0},      {"eqwtoptbtn", "eq ETHANOL ", 1},
        {"spgroptbtn", "spgr acetone", 0}};
    const QRgb colours[] = {0, QColor(Qt::red).rgb(), QColor(Qt::darkGreen).rgb()};
    int shown = 2;
    for (const auto& [option, text, found] : searches) {
        ui_->boxes.clear();
        search(option, text);
        QCOMPARE(ui_->prompts(), found < 0 ? QStringList{kNoRecord} : QStringList());
        if (found < 0)
            QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Flaskbook Search Result"));
        else
            shown = found;
        QCOMPARE(ui_->shownText("nametxt"), records[shown][0]);
        QCOMPARE(ui_->recordNumber(), QString::number(shown + 1));
        QCOMPARE(ui_->imageCaption(), kCaption + records[shown][10]);
        QCOMPARE(ui_->shownPictureColour(), colours[shown]);
        QCOMPARE(ui_->pictureNotice().isEmpty(), shown != 0);
        QCOMPARE(ui_->shownText("searchtxt"), text);
    }

    // Enter searches while browsing; while editing Next is disabled, and Enter does nothing.
    ui_->control<QRadioButton>("nameoptbtn")->setChecked(true);
    ui_->box("searchtxt")->setText(QString());
    ui_->type("searchtxt", QStringLiteral("ethanol"));
    QTest::keyClick(ui_->box("searchtxt")->editor(), Qt::Key_Return);
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ETHANOL"));
    ui_->click("editbtn");
    ui_->boxes.clear();
    QTest::keyClick(ui_->box("searchtxt")->editor(), Qt::Key_Return);
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(ui_->form().dataControl().Recordset().EditMode(), 1);

    // Search works while a new record is entered: the miss saves the new record and leaves it
    // on screen, so Delete removes that one.
    ui_->click("updatebtn");
    ui_->click("newbtn");
    ui_->type("nametxt", QStringLiteral("newchem"));
    search("nameoptbtn", QStringLiteral("ABSENT"));
    QCOMPARE(ui_->prompts(), QStringList{kNoRecord});
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("NEWCHEM"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("4"));
    ui_->click("updatebtn");
    ui_->clickAnswering("deletebtn", vbYes);
    QCOMPARE(readTable(ui_->databaseFile()), records);
}

void TestForm1::firstOfDuplicatesInTheOrderInForce()
{
    QList<QStringList> records{sampleRecord("ZINC"), sampleRecord("ETHANOL"),
                               sampleRecord("ACETONE"), sampleRecord("ETHANOL")};
    records[1][1] = QStringLiteral("iupac second");
    records[3][1] = QStringLiteral("iupac fourth");
    ui_->open(records);
    // In table order, A to Z and Z to A in turn; the first match is number 2 in each.
    const std::pair<const char*, QString> orders[] = {
        {nullptr, "iupac second"}, {"sortascbtn", "iupac second"}, {"sortdscbtn", "iupac fourth"}};
    for (const auto& [sortButton, found] : orders) {
        if (sortButton)
            ui_->click(sortButton);
        search("nameoptbtn", QStringLiteral("Ethanol"));
        QCOMPARE(ui_->shownText("iupactxt"), found);
        QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    }
}

void TestForm1::findNextAndPreviousStepThroughDuplicates_data()
{
    QTest::addColumn<QString>("sortButton");
    QTest::addColumn<QString>("startName");
    QTest::addColumn<QString>("steps");
    // Each step: F3 (N) or Shift+F3 (P), the record then shown (its number in table order),
    // "@" its number in the order in force, and "!" where the end is reached and said.
    // A to Z the records stand 3 5 2 4 6 1, Z to A 1 6 4 2 5 3.
    QTest::newRow("table order") << ""
                                 << "acetone"
                                 << "N4@4 N6@6 N6@6! P4@4 P2@2 P2@2!";
    QTest::newRow("A to Z") << "sortascbtn"
                            << "benzene"
                            << "P5@2! N2@3 N4@4 N6@5 N6@5! P4@4 P2@3";
    QTest::newRow("Z to A") << "sortdscbtn"
                            << "benzene"
                            << "N5@5! P2@4 P4@3 P6@2 P6@2! N4@3";
}

void TestForm1::findNextAndPreviousStepThroughDuplicates()
{
    QFETCH(QString, sortButton);
    QFETCH(QString, startName);
    QFETCH(QString, steps);
    const QList<QStringList> records{
        sampleRecord("ZINC"),    sampleRecord("ETHANOL"),
        sampleRecord("ACETONE"), ui_->recordWithPicture("ethanol", Qt::red),
        sampleRecord("BENZENE"), sampleRecord("Ethanol")};
    ui_->open(records);
    if (!sortButton.isEmpty())
        ui_->click(sortButton.toLatin1().constData());
    search("nameoptbtn", startName);
    // Found by Search's rule: any case, trailing blanks ignored.
    ui_->box("searchtxt")->setText(QStringLiteral("ETHANOL  "));
    for (const QString& step : steps.split(QLatin1Char(' '))) {
        ui_->boxes.clear();
        QTest::keyClick(ui_->box("searchtxt")->editor(), Qt::Key_F3,
                        step[0] == 'P' ? Qt::ShiftModifier : Qt::NoModifier);
        const int record = step.mid(1, step.indexOf('@') - 1).toInt();
        QCOMPARE(ui_->prompts(), step.endsWith('!') ? QStringList{kNoRecord} : QStringList());
        if (step.endsWith('!'))
            QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Flaskbook Search Result"));
        QCOMPARE(ui_->shownText("iupactxt"), records[record - 1][1]);
        QCOMPARE(ui_->recordNumber(), step.section('@', 1).remove('!'));
        QCOMPARE(ui_->shownPictureColour(), record == 4 ? QColor(Qt::red).rgb() : 0);
    }

    // While a record is entered or edited F3 does nothing: nothing is found or saved.
    for (const int mode : {2, 1}) {
        ui_->click(mode == 2 ? "newbtn" : "editbtn");
        ui_->type("nametxt", QStringLiteral("X"));
        ui_->boxes.clear();
        QTest::keyClick(ui_->box("searchtxt")->editor(), Qt::Key_F3);
        QVERIFY(ui_->prompts().isEmpty());
        QCOMPARE(ui_->form().dataControl().Recordset().EditMode(), mode);
        QTest::keyClick(ui_->box("nametxt")->editor(), Qt::Key_Escape);
    }
    QCOMPARE(readTable(ui_->databaseFile()), records);
}

void TestForm1::sortShowsRecordOneAndSwitchesTheLabel()
{
    QList<QStringList> records{ui_->recordWithPicture("MU", Qt::red), sampleRecord("ALPHA"),
                               ui_->recordWithPicture("ZETA", Qt::blue), sampleRecord("BETA")};
    records[1][10] = ui_->filePath(QStringLiteral("missing.gif"));
    ui_->open(records);
    QCOMPARE(shownOrderLabel(), QStringLiteral("Order : Un-Sorted"));
    ui_->click("lastbtn");
    ui_->box("searchtxt")->setText(QStringLiteral("x"));
    ui_->boxes.clear();
    ui_->click("sortascbtn");
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ALPHA"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
    QCOMPARE(shownOrderLabel(), kAscending);
    QVERIFY(ui_->shownText("searchtxt").isEmpty());
    QVERIFY(ui_->shownPicture().isNull());
    QVERIFY(!ui_->pictureNotice().isEmpty());

    // Z to A: the first record with its picture, and Next walks down the names.
    ui_->click("nextbtn");
    ui_->click("sortdscbtn");
    QCOMPARE(shownOrderLabel(), kDescending);
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::blue).rgb());
    QStringList walked{ui_->shownText("nametxt")};
    for (int i = 0; i < 3; ++i) {
        ui_->click("nextbtn");
        walked.append(ui_->shownText("nametxt"));
    }
    QCOMPARE(walked, (QStringList{"ZETA", "MU", "BETA", "ALPHA"}));

    // A deletion shows the record that follows in the order in force.
    ui_->click("firstbtn");
    ui_->click("nextbtn");
    ui_->clickAnswering("deletebtn", vbYes);
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("BETA"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ALPHA", "ZETA", "BETA"}));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
