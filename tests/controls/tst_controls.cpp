#include "controls/imagebox.h"
#include "controls/textbox.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// A 1 x 1 GIF whose screen and image claim the given size; decoding it would need
// width x height pixels.
QByteArray gifClaiming(quint16 width, quint16 height)
{
    QByteArray gif = QByteArray::fromHex("474946383961010001008000000000"
                                         "00ffffff21f90401000000002c0000"
                                         "0000010001000002024401003b");
    for (int at : {6, 32}) {
        gif[at] = char(width & 0xff);
        gif[at + 1] = char(width >> 8);
        gif[at + 2] = char(height & 0xff);
        gif[at + 3] = char(height >> 8);
    }
    return gif;
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void keyPressReplacementLands_data()
    {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("hook");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QKeySequence c(Qt::Key_C), paste(Qt::CTRL | Qt::Key_V);
        // Every box starts as "ab" with "X" on the clipboard.
        QTest::newRow("upper-cased") << false << c << "upper" << 99 << "abC";
        QTest::newRow("multi-line upper-cased") << true << c << "upper" << 99 << "abC";
        QTest::newRow("Backspace kept")
            << false << QKeySequence(Qt::Key_Backspace) << "keep" << 8 << "a";
        QTest::newRow("Ctrl+V discarded") << true << paste << "0" << 22 << "ab";
    }

    void keyPressReplacementLands()
    {
        QFETCH(bool, multiLine);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, hook);
        QFETCH(int, code);
        QFETCH(QString, text);
        TextBox box;
        box.setMultiLine(multiLine);
        QTest::keyClicks(box.editor(), QStringLiteral("ab"));
        QGuiApplication::clipboard()->setText(QStringLiteral("X"));
        QList<int> seen;
        box.setKeyPress([&](int& keyAscii) {
            seen.append(keyAscii);
            if (hook == QStringLiteral("0"))
                keyAscii = 0;
            else if (hook == QStringLiteral("upper") && keyAscii >= 'a' && keyAscii <= 'z')
                keyAscii -= 32;
        });
        QTest::keySequence(box.editor(), keys);
        QCOMPARE(seen, QList<int>{code});
        QCOMPARE(box.Text(), text);
    }

    void typingAndPasteKeepToMaxLength_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("text");
        QTest::newRow("typing stops") << "64-17-5" << 5 << "" << false << "64-17";
        QTest::newRow("line break counts") << "ab\rcd" << 4 << "" << true << "ab\nc";
        QTest::newRow("paste cut") << "abc" << 6 << "12345" << false << "abc123";
        QTest::newRow("multi-line paste cut") << "abc" << 6 << "12345" << true << "abc123";
        // The limit counts what the user sees: an emoji or an accented letter is one, and is
        // never cut in half.
        const QString flask = QStringLiteral("\U0001F9EA");
        const QString eAcute = QStringLiteral("e\u0301");
        QTest::newRow("emoji fits") << "ab" << 3 << flask << false << "ab" + flask;
        QTest::newRow("emoji at the limit") << "abc" << 3 << flask << false << "abc";
        QTest::newRow("emoji past the limit, whole")
            << "ab" << 3 << flask + flask << false << "ab" + flask;
        QTest::newRow("combining accent stays with its letter")
            << "a" << 2 << eAcute + eAcute << true << "a" + eAcute;
    }

    void typingAndPasteKeepToMaxLength()
    {
        QFETCH(QString, typed);
        QFETCH(int, maxLength);
        QFETCH(QString, pasted);
        QFETCH(bool, multiLine);
        QFETCH(QString, text);
        TextBox box;
        box.setMultiLine(multiLine);
        box.setMaxLength(maxLength);
        QTest::keyClicks(box.editor(), typed);
        if (!pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(pasted);
            QTest::keyClick(box.editor(), Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(box.Text(), text);
    }

    void lockedMultiLineBox()
    {
        TextBox box;
        box.setMultiLine(true);
        // Colours are blue-green-red.
        box.setBackColor(0xC0FFFF);
        QCOMPARE(box.editor()->palette().color(QPalette::Base), QColor(255, 255, 192));
        box.setLocked(true);
        QSignalSpy changes(&box, &TextBox::textChanged);
        const QString value = QStringLiteral("Flammable.\n\nKeep cool.");
        box.setText(value);
        box.setText(value); // the same value again is no change
        QCOMPARE(changes.count(), 1);
        // Typing, deleting and pasting change nothing, but the text can be copied.
        QGuiApplication::clipboard()->setText(QStringLiteral("PASTED"));
        QTest::keyClicks(box.editor(), QStringLiteral("x"));
        QTest::keyClick(box.editor(), Qt::Key_Backspace);
        QTest::keyClick(box.editor(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.Text(), value);
        QTest::keyClick(box.editor(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box.editor(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), value);
    }

    void loadPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty path") << "" << QByteArray() << "No picture file is named.";
        QTest::newRow("missing file")
            << "missing.gif" << QByteArray() << "The file does not exist.";
        QTest::newRow("folder") << "folder.gif/" << QByteArray()
                                << "The path names a folder, not a picture file.";
        QTest::newRow("FIFO") << "picture.fifo" << QByteArray()
                              << "It is a FIFO (named pipe), not a regular file.";
        QTest::newRow("empty file") << "empty.gif" << QByteArray("") << "The file is empty.";
        QTest::newRow("text file")
            << "notes.gif" << QByteArray("ETHANOL\t64-17-5\n") << "The file is not a picture.";
        QTest::newRow("GIF too large")
            << "huge.gif" << gifClaiming(30000, 30000)
            << "The picture is too large to show (30000 x 30000 pixels).";
        QByteArray wideScreen = gifClaiming(1, 1);
        wideScreen[7] = wideScreen[9] = char(0x40); // a 1 x 1 frame on a 16385 x 16385 screen
        QTest::newRow("GIF screen too large")
            << "screen.gif" << wideScreen
            << "The picture is too large to show (16385 x 16385 pixels).";
        QTest::newRow("GIF") << "small.gif" << gifClaiming(1, 1) << "";
    }

    void loadPicture()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (name.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(path));
        if (name.endsWith(QLatin1String(".fifo")))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QFile file(path);
        if (!content.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        // A picture left over from the previous record must not survive a failed load.
        QPixmap out(4, 4);
        const Status loaded = ImageBox::loadPicture(path, out);
        QCOMPARE(loaded.ok(), reason.isEmpty());
        QCOMPARE(out.isNull(), !reason.isEmpty());
        QCOMPARE(loaded.message(), reason);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
