#include "windows/secondarywindow.h"

#include "controls/button/storedbuttons.h"
#include "controls/formfonts.h"
#include "controls/formpalette.h"
#include "platform/windowplacement.h"
#include "windows/closebox.h"

SecondaryWindow::SecondaryWindow(QWidget* mainWindow) : mainWindow_(mainWindow)
{
    if (mainWindow)
        setWindowIcon(mainWindow->windowIcon());
}

void SecondaryWindow::finishLoading(const QString& storedButtons)
{
    applyDesignedPalette(this);
    applyDesignedPointSizes(this);
    fitCaptionsToControls(this);
    QString badSettings;
    if (!restoreStoredButtons(this, storedButtons, &badSettings))
        qWarning("%s buttons: %s", qPrintable(objectName()), qPrintable(badSettings));
    Form_Load();
}

void SecondaryWindow::Form_Load()
{
    centreOnScreen(this);
    AllowClose = false;
    SetCloseBoxEnabled(winId(), AllowClose);
}

void SecondaryWindow::unloadAndShowMainWindow()
{
    hide();
    deleteLater();
    if (mainWindow_)
        mainWindow_->show();
}
