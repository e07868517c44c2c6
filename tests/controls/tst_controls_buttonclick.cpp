#include "controls/button/paintedbutton.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class TestButtonClick : public QObject {
    Q_OBJECT

private slots:
    void clickComesFromMouseAndKeys_data();
    void clickComesFromMouseAndKeys();
    void accessKeyClicks_data();
    void accessKeyClicks();
};

void TestButtonClick::clickComesFromMouseAndKeys_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("enabled");
    for (bool enabled : {true, false}) {
        const QByteArray state = enabled ? "" : " disabled";
        for (const char* how : {"mouse", "Space", "Enter", "keypad Enter"})
            QTest::newRow(how + state) << QString::fromLatin1(how) << enabled;
    }
    QTest::newRow("right mouse button") << "right mouse" << true;
    QTest::newRow("other key") << "A" << true;
}

void TestButtonClick::clickComesFromMouseAndKeys()
{
    QFETCH(QString, how);
    QFETCH(bool, enabled);
    paintedButton button;
    button.setCaption(QStringLiteral("&Save"));
    button.resize(button.sizeHint());
    button.setEnabled(enabled);
    QCOMPARE(button.Enabled(), enabled);
    QSignalSpy clicks(&button, &paintedButton::Click);

    if (how == QStringLiteral("mouse"))
        QTest::mouseClick(&button, Qt::LeftButton);
    else if (how == QStringLiteral("right mouse"))
        QTest::mouseClick(&button, Qt::RightButton);
    else if (how == QStringLiteral("Space"))
        QTest::keyClick(&button, Qt::Key_Space);
    else if (how == QStringLiteral("Enter"))
        QTest::keyClick(&button, Qt::Key_Return);
    else if (how == QStringLiteral("keypad Enter"))
        QTest::keyClick(&button, Qt::Key_Enter, Qt::KeypadModifier);
    else
        QTest::keyClick(&button, Qt::Key_A);

    const bool clicked =
        enabled && how != QStringLiteral("right mouse") && how != QStringLiteral("A");
    QCOMPARE(clicks.count(), clicked ? 1 : 0);
}

void TestButtonClick::accessKeyClicks_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("clicked");
    QTest::newRow("&Save") << "&Save" << int(Qt::Key_S) << true;
    QTest::newRow("other letter") << "&Save" << int(Qt::Key_A) << false;
    QTest::newRow("&& is no access key") << "R&&D" << int(Qt::Key_D) << false;
    QTest::newRow("after &&") << "Salt && &Pepper" << int(Qt::Key_P) << true;
}

void TestButtonClick::accessKeyClicks()
{
    QFETCH(QString, caption);
    QFETCH(int, key);
    QFETCH(bool, clicked);
    QWidget window;
    auto* button = new paintedButton(&window);
    button->setCaption(caption);
    QCOMPARE(button->Caption(), caption);
    // The focus is elsewhere on the form, as when the user presses Alt+key.
    auto* other = new paintedButton(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(button);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QSignalSpy clicks(button, &paintedButton::Click);

    QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
    // An access key pushes the button in at once and clicks it a moment later.
    QCOMPARE(button->isDown(), clicked);
    if (clicked)
        QTRY_COMPARE(clicks.count(), 1);
    else
        QCOMPARE(clicks.count(), 0);
}

QTEST_MAIN(TestButtonClick)
#include "tst_controls_buttonclick.moc"
