#include "controls/textbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestTextBox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyPressSeesTypedCodes_data();
    void keyPressSeesTypedCodes();
    void keyPressReplacementIsWhatLands_data();
    void keyPressReplacementIsWhatLands();
    void discardedControlKeysDoNothing_data();
    void discardedControlKeysDoNothing();

    void maxLengthRefusesTypingPastIt_data();
    void maxLengthRefusesTypingPastIt();
    void pasteIsCutToWhatFits_data();
    void pasteIsCutToWhatFits();

    void lockedBoxRefusesEditsButCopies_data();
    void lockedBoxRefusesEditsButCopies();
    void enterBreaksLinesOnlyInMultiLineBoxes_data();
    void enterBreaksLinesOnlyInMultiLineBoxes();
    void coloursAreBlueGreenRed_data();
    void coloursAreBlueGreenRed();

    void boundTextRoundTrips_data();
    void boundTextRoundTrips();
    void settingsSurviveTheSwitchToMultiLine();

private:
    void addBoxKinds();
    QMenu* openContextMenu();
    void pasteThroughMenu();

    std::unique_ptr<TextBox> box_;
};

void TestTextBox::init()
{
    box_ = std::make_unique<TextBox>();
    QGuiApplication::clipboard()->clear();
}

void TestTextBox::cleanup()
{
    box_.reset();
}

// One row per kind of box, for tests whose cases are the same for both.
void TestTextBox::addBoxKinds()
{
    QTest::addColumn<bool>("multiLine");
    QTest::newRow("single-line") << false;
    QTest::newRow("multi-line") << true;
}

// Opens the editor's context menu the way a right click does.
QMenu* TestTextBox::openContextMenu()
{
    QWidget* target = box_->editor();
    if (auto* lines = qobject_cast<QPlainTextEdit*>(target))
        target = lines->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            target->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(target, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void TestTextBox::pasteThroughMenu()
{
    QMenu* menu = openContextMenu();
    QVERIFY(menu);
    auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    QVERIFY(paste);
    paste->trigger();
    menu->close();
}

void TestTextBox::keyPressSeesTypedCodes_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    const int shift = Qt::ShiftModifier;
    // Keys with the text a keyboard sends along with them.
    QTest::newRow("a") << false << int(Qt::Key_A) << none << "a" << 97;
    QTest::newRow("A") << false << int(Qt::Key_A) << shift << "A" << 65;
    QTest::newRow("digit") << false << int(Qt::Key_7) << none << "7" << 55;
    QTest::newRow("e acute") << false << int(Qt::Key_Eacute) << none << "\u00E9" << 233;
    QTest::newRow("Backspace") << false << int(Qt::Key_Backspace) << none << "\b" << 8;
    QTest::newRow("Enter") << false << int(Qt::Key_Return) << none << "\r" << 13;
    QTest::newRow("keypad Enter") << false << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r"
                                  << 13;
    QTest::newRow("Escape") << false << int(Qt::Key_Escape) << none << "\x1b" << 27;
    QTest::newRow("Ctrl+A") << false << int(Qt::Key_A) << ctrl << "\x01" << 1;
    QTest::newRow("Ctrl+C") << false << int(Qt::Key_C) << ctrl << "\x03" << 3;
    QTest::newRow("Ctrl+V") << false << int(Qt::Key_V) << ctrl << "\x16" << 22;
    QTest::newRow("Ctrl+X") << false << int(Qt::Key_X) << ctrl << "\x18" << 24;
    QTest::newRow("Ctrl+Shift+V") << false << int(Qt::Key_V) << (ctrl | shift) << "\x16" << 22;
    QTest::newRow("multi-line a") << true << int(Qt::Key_A) << none << "a" << 97;
    QTest::newRow("multi-line Enter") << true << int(Qt::Key_Return) << none << "\r" << 13;
    QTest::newRow("multi-line Ctrl+V") << true << int(Qt::Key_V) << ctrl << "\x16" << 22;
    // Keys that type nothing never reach the handler.
    QTest::newRow("arrow") << false << int(Qt::Key_Left) << none << "" << 0;
    QTest::newRow("Delete") << false << int(Qt::Key_Delete) << none << "\x7f" << 0;
    QTest::newRow("Alt+S") << false << int(Qt::Key_S) << int(Qt::AltModifier) << "s" << 0;
    QTest::newRow("Ctrl+1") << false << int(Qt::Key_1) << ctrl << "1" << 0;
}

void TestTextBox::keyPressSeesTypedCodes()
{
    QFETCH(bool, multiLine);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, code);
    box_->setMultiLine(multiLine);
    QList<int> seen;
    box_->setKeyPress([&seen](int& keyAscii) { seen.append(keyAscii); });
    QTest::sendKeyEvent(QTest::Click, box_->editor(), Qt::Key(key), text,
                        Qt::KeyboardModifiers(modifiers));
    QCOMPARE(seen, code ? QList<int>{code} : QList<int>{});
}

void TestTextBox::keyPressReplacementIsWhatLands_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("upper-cased") << false << "ethyl acetate"
                                 << "ETHYL ACETATE";
    QTest::newRow("multi-line upper-cased") << true << "ab\rcd"
                                            << "AB\nCD";
    QTest::newRow("digits dropped") << false << "c2h6o"
                                    << "CHO";
    QTest::newRow("multi-line digits dropped") << true << "h2o"
                                               << "HO";
}

void TestTextBox::keyPressReplacementIsWhatLands()
{
    QFETCH(bool, multiLine);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    box_->setMultiLine(multiLine);
    // The window's name boxes: letters upper-cased, digits refused.
    box_->setKeyPress([](int& keyAscii) {
        if (keyAscii >= '0' && keyAscii <= '9')
            keyAscii = 0;
        else if (keyAscii >= 'a' && keyAscii <= 'z')
            keyAscii -= 32;
    });
    QTest::keyClicks(box_->editor(), typed);
    QCOMPARE(box_->Text(), text);
}

void TestTextBox::discardedControlKeysDoNothing_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("withHandler");
    QTest::addColumn<QString>("withoutHandler");
    const int ctrl = Qt::ControlModifier;
    for (bool multiLine : {false, true}) {
        const QByteArray kind = multiLine ? "multi-line " : "single-line ";
        QTest::newRow(kind + "Backspace")
            << multiLine << int(Qt::Key_Backspace) << int(Qt::NoModifier) << "water"
            << "wate";
        QTest::newRow(kind + "Ctrl+V") << multiLine << int(Qt::Key_V) << ctrl << "water"
                                       << "waterPASTED";
        QTest::newRow(kind + "Ctrl+X") << multiLine << int(Qt::Key_X) << ctrl << "water"
                                       << "";
    }
}

void TestTextBox::discardedControlKeysDoNothing()
{
    QFETCH(bool, multiLine);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, withHandler);
    QFETCH(QString, withoutHandler);
    box_->setMultiLine(multiLine);
    QGuiApplication::clipboard()->setText(QStringLiteral("PASTED"));
    // Cut needs a selection; the others act at the end of the text.
    QTest::keyClicks(box_->editor(), QStringLiteral("water"));
    if (key == Qt::Key_X)
        QTest::keyClick(box_->editor(), Qt::Key_A, Qt::ControlModifier);

    box_->setKeyPress([](int& keyAscii) { keyAscii = 0; });
    QTest::keyClick(box_->editor(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box_->Text(), withHandler);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("PASTED"));

    // The same key does act once nothing discards it.
    box_->setKeyPress({});
    QTest::keyClick(box_->editor(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box_->Text(), withoutHandler);
}

void TestTextBox::maxLengthRefusesTypingPastIt_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("single-line") << false << 5 << "64-17-5"
                                 << "64-17";
    QTest::newRow("multi-line") << true << 5 << "64-17-5"
                                << "64-17";
    QTest::newRow("line break counts") << true << 4 << "ab\rcd"
                                       << "ab\nc";
    QTest::newRow("0 is no limit") << false << 0 << QString(300, 'x') << QString(300, 'x');
}

void TestTextBox::maxLengthRefusesTypingPastIt()
{
    QFETCH(bool, multiLine);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    box_->setMultiLine(multiLine);
    box_->setMaxLength(maxLength);
    QTest::keyClicks(box_->editor(), typed);
    QCOMPARE(box_->Text(), text);
    if (maxLength == 0)
        return;
    // Typing over a selection frees its room first.
    QTest::keyClick(box_->editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box_->editor(), QStringLiteral("xy"));
    QCOMPARE(box_->Text(), QStringLiteral("xy"));
}

void TestTextBox::pasteIsCutToWhatFits_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");
    for (bool byMenu : {false, true}) {
        const QByteArray how = byMenu ? " by menu" : " by Ctrl+V";
        QTest::newRow("single-line" + how) << false << byMenu << 8 << "12345"
                                           << "abc12345";
        QTest::newRow("single-line cut" + how) << false << byMenu << 6 << "12345"
                                               << "abc123";
        QTest::newRow("multi-line cut" + how) << true << byMenu << 6 << "12345"
                                              << "abc123";
        QTest::newRow("multi-line lines" + how) << true << byMenu << 0 << "1\r\n2\n3"
                                                << "abc1\n2\n3";
        QTest::newRow("single-line first line" + how) << false << byMenu << 0 << "1\r\n2"
                                                      << "abc1";
        QTest::newRow("full" + how) << false << byMenu << 3 << "12345"
                                    << "abc";
    }
}

void TestTextBox::pasteIsCutToWhatFits()
{
    QFETCH(bool, multiLine);
    QFETCH(bool, byMenu);
    QFETCH(int, maxLength);
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    box_->setMultiLine(multiLine);
    box_->setMaxLength(maxLength);
    QTest::keyClicks(box_->editor(), QStringLiteral("abc"));
    QGuiApplication::clipboard()->setText(clipboard);
    // The menu's paste is not a typed key, so the handler must not see it.
    int handled = 0;
    box_->setKeyPress([&handled](int&) { ++handled; });
    if (byMenu)
        pasteThroughMenu();
    else
        QTest::keyClick(box_->editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box_->Text(), text);
    QCOMPARE(handled, byMenu ? 0 : 1);
}

void TestTextBox::lockedBoxRefusesEditsButCopies_data()
{
    addBoxKinds();
}

void TestTextBox::lockedBoxRefusesEditsButCopies()
{
    QFETCH(bool, multiLine);
    box_->setMultiLine(multiLine);
    box_->setText(QStringLiteral("Acetone"));
    box_->setLocked(true);
    QGuiApplication::clipboard()->setText(QStringLiteral("PASTED"));
    QSignalSpy changes(box_.get(), &TextBox::textChanged);

    QTest::keyClicks(box_->editor(), QStringLiteral("x"));
    QTest::keyClick(box_->editor(), Qt::Key_Backspace);
    QTest::keyClick(box_->editor(), Qt::Key_Delete);
    QTest::keyClick(box_->editor(), Qt::Key_Home);
    QTest::keyClick(box_->editor(), Qt::Key_Delete);
    QTest::keyClick(box_->editor(), Qt::Key_V, Qt::ControlModifier);
    QMenu* menu = openContextMenu();
    QVERIFY(menu);
    auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    if (paste)
        paste->trigger();
    menu->close();
    QCOMPARE(box_->Text(), QStringLiteral("Acetone"));

    QTest::keyClick(box_->editor(), Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(box_->editor(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(box_->Text(), QStringLiteral("Acetone"));
    QCOMPARE(changes.count(), 0);
    // The text can still be selected from the keyboard and copied.
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("PASTED"));
    QTest::keyClick(box_->editor(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Acetone"));
}

void TestTextBox::enterBreaksLinesOnlyInMultiLineBoxes_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<QString>("text");
    QTest::newRow("single-line") << false << "Keep dryAway from heat";
    QTest::newRow("multi-line") << true << "Keep dry\nAway from heat";
}

void TestTextBox::enterBreaksLinesOnlyInMultiLineBoxes()
{
    QFETCH(bool, multiLine);
    QFETCH(QString, text);
    box_->setMultiLine(multiLine);
    QTest::keyClicks(box_->editor(), QStringLiteral("Keep dry"));
    QTest::keyClick(box_->editor(), Qt::Key_Return);
    QTest::keyClicks(box_->editor(), QStringLiteral("Away from heat"));
    QCOMPARE(box_->Text(), text);
}

void TestTextBox::coloursAreBlueGreenRed_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<quint32>("bgr");
    QTest::addColumn<QColor>("color");
    QTest::newRow("light yellow") << false << quint32(0xC0FFFF) << QColor(255, 255, 192);
    QTest::newRow("blue") << false << quint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("red") << false << quint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("mixed") << false << quint32(0x123456) << QColor(0x56, 0x34, 0x12);
    QTest::newRow("multi-line light yellow") << true << quint32(0xC0FFFF) << QColor(255, 255, 192);
}

void TestTextBox::coloursAreBlueGreenRed()
{
    QFETCH(bool, multiLine);
    QFETCH(quint32, bgr);
    QFETCH(QColor, color);
    box_->setMultiLine(multiLine);
    box_->setBackColor(bgr);
    box_->setForeColor(bgr);
    QCOMPARE(box_->editor()->palette().color(QPalette::Base), color);
    QCOMPARE(box_->editor()->palette().color(QPalette::Text), color);
    QCOMPARE(box_->BackColor(), bgr);
    QCOMPARE(box_->ForeColor(), bgr);
}

void TestTextBox::boundTextRoundTrips_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("value");
    for (bool multiLine : {false, true}) {
        const QByteArray kind = multiLine ? "multi-line " : "single-line ";
        QTest::newRow(kind + "plain") << multiLine << false << "ETHANOL";
        QTest::newRow(kind + "locked") << multiLine << true << "ETHANOL";
        QTest::newRow(kind + "empty") << multiLine << false << "";
        QTest::newRow(kind + "no-break space") << multiLine << false << "25\u00A0°C";
    }
    QTest::newRow("line breaks") << true << false << "Flammable.\nKeep cool.\n";
    QTest::newRow("locked line breaks") << true << true << "Flammable.\n\nKeep cool.";
}

void TestTextBox::boundTextRoundTrips()
{
    QFETCH(bool, multiLine);
    QFETCH(bool, locked);
    QFETCH(QString, value);
    box_->setMultiLine(multiLine);
    box_->setLocked(locked);
    QSignalSpy changes(box_.get(), &TextBox::textChanged);
    BoundField& field = *box_;
    field.setBoundText(value);
    QCOMPARE(field.boundText(), value);
    QCOMPARE(box_->Text(), value);
    QCOMPARE(changes.count(), value.isEmpty() ? 0 : 1);
    // The record set writes every move; the same value again is no change.
    field.setBoundText(value);
    QCOMPARE(changes.count(), value.isEmpty() ? 0 : 1);
}

// The window's form sets properties by name, the kind of box after the others.
void TestTextBox::settingsSurviveTheSwitchToMultiLine()
{
    QSignalSpy changes(box_.get(), &TextBox::textChanged);
    QVERIFY(box_->setProperty("Text", QStringLiteral("Store cool")));
    QVERIFY(box_->setProperty("Locked", true));
    QVERIFY(box_->setProperty("MaxLength", 12));
    QVERIFY(box_->setProperty("BackColor", 0xC0FFFF));
    box_->setFont(QFont(QStringLiteral("Serif"), 17));
    QVERIFY(box_->setProperty("multiLine", true));

    auto* lines = qobject_cast<QPlainTextEdit*>(box_->editor());
    QVERIFY(lines);
    QCOMPARE(box_->focusProxy(), lines);
    QCOMPARE(box_->Text(), QStringLiteral("Store cool"));
    QVERIFY(box_->Locked());
    QCOMPARE(box_->BackColor(), quint32(0xC0FFFF));
    QCOMPARE(lines->font().pointSize(), 17);
    QCOMPARE(changes.count(), 1);

    box_->setLocked(false);
    QTest::keyClick(lines, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(lines, QStringLiteral("!!!"));
    QCOMPARE(box_->Text(), QStringLiteral("Store cool!!"));
}

QTEST_MAIN(TestTextBox)
#include "tst_controls_textbox.moc"
