#include "windows/frmabout.h"

#include "core/version.h"
#include "ui_frmabout.h"

frmAbout::frmAbout(QWidget* mainWindow)
    : SecondaryWindow(mainWindow), ui(std::make_unique<Ui::frmAbout>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    ui->lblVersion->setText(ui->lblVersion->text().arg(QLatin1String(kFlaskbookVersion)));
    ui->picIcon->setPixmap(windowIcon().pixmap(ui->picIcon->size()));
    connect(ui->okbtn, &paintedButton::Click, this, &frmAbout::okbtn_Click);
    finishLoading(QStringLiteral(":/windows/frmabout.buttons"));
}

frmAbout::~frmAbout() = default;

void frmAbout::okbtn_Click()
{
    unloadAndShowMainWindow();
}
