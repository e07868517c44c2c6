#include "tests/support/formdriver.h"

#include "controls/button/paintedbutton.h"
#include "controls/imagebox.h"
#include "controls/textbox.h"
#include "tests/support/testdatabase.h"

#include <QImage>
#include <QLabel>
#include <QTest>

Paths FormDriver::paths() const
{
    return {dir_.path(), dir_.path(), dir_.filePath(QStringLiteral("backup"))};
}

void FormDriver::open(const QList<QStringList>& records)
{
    createTestDatabase(databaseFile(), records);
    reopen();
}

void FormDriver::openNamed(const QStringList& names)
{
    createTestDatabase(databaseFile(), names);
    reopen();
}

void FormDriver::reopen()
{
    form_.reset();
    form_ = std::make_unique<Form1>(paths());
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void FormDriver::close()
{
    if (form_)
        form_->close();
    form_.reset();
}

TextBox* FormDriver::box(const char* name) const
{
    return control<TextBox>(name);
}

paintedButton* FormDriver::button(const char* name) const
{
    return control<paintedButton>(name);
}

void FormDriver::click(const char* buttonName)
{
    QTest::mouseClick(button(buttonName), Qt::LeftButton);
}

void FormDriver::type(const char* boxName, const QString& text)
{
    QTest::keyClicks(box(boxName)->editor(), text);
}

QString FormDriver::shownText(const char* boxName) const
{
    return box(boxName)->Text();
}

QString FormDriver::recordNumber() const
{
    return control<QLabel>("record2label")->text();
}

QString FormDriver::imageCaption() const
{
    return control<QLabel>("imagelbl")->text();
}

QPixmap FormDriver::shownPicture() const
{
    return control<ImageBox>("chemstrimagebox")->picture();
}

QString FormDriver::pictureNotice() const
{
    return control<ImageBox>("chemstrimagebox")->notice();
}

QRgb FormDriver::shownPictureColour() const
{
    const QPixmap picture = shownPicture();
    return picture.isNull() ? 0 : picture.toImage().pixel(0, 0);
}

QString FormDriver::pictureFile(const QString& name, Qt::GlobalColor colour) const
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir_.filePath(name);
    image.save(path, "PNG");
    return path;
}

QStringList FormDriver::recordWithPicture(const QString& name, Qt::GlobalColor colour) const
{
    QStringList record = sampleRecord(name);
    record[10] = pictureFile(name + QStringLiteral(".png"), colour);
    return record;
}

QStringList FormDriver::clickAnswering(const char* buttonName, int answer)
{
    boxes.clear();
    boxes.queueAnswer(answer);
    click(buttonName);
    return prompts();
}

QStringList FormDriver::prompts() const
{
    QStringList texts;
    for (const ShownMessageBox& box : boxes.shown())
        texts.append(box.prompt);
    return texts;
}
