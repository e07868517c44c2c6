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
    const Status restored = restoreStoredButtons(this, storedButtons);
    if (!restored.ok())
        qWarning("%s buttons: %s", qPrintable(objectName()), qPrintable(restored.message()));
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
