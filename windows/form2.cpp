#include "windows/form2.h"

#include "core/version.h"
#include "ui_form2.h"

#include <QDir>

namespace {

// A folder in the home folder is shown from "~", so the backup note keeps to its two lines.
QString shownPath(const QString& path)
{
    const QString home = QDir::homePath();
    if (path.startsWith(home + QLatin1Char('/')))
        return QDir::toNativeSeparators(QLatin1Char('~') + path.mid(home.size()));
    return QDir::toNativeSeparators(path);
}

} // namespace

const QString Form2::kDownloadPage = QStringLiteral("https://flaskbook.example/download");

Form2::Form2(QWidget* mainWindow, const Paths& paths)
    : SecondaryWindow(mainWindow), ui(std::make_unique<Ui::Form2>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    ui->Label1->setText(ui->Label1->text().arg(QLatin1String(kFlaskbookVersion)));
    // The backup note names the folders the program really writes and reads.
    ui->Label3->setText(
        ui->Label3->text().arg(shownPath(paths.backupFolder), shownPath(paths.dataFolder)));
    ui->Text1->setText(kDownloadPage);
    ui->Text1->setLocked(true);
    connect(ui->closebtn, &paintedButton::Click, this, &Form2::closebtn_Click);
    finishLoading(QStringLiteral(":/windows/form2.buttons"));
}

Form2::~Form2() = default;

void Form2::closebtn_Click()
{
    unloadAndShowMainWindow();
}
