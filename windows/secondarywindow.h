#pragma once

#include <QPointer>
#include <QWidget>

// The about and read-me windows: each stands in for the main window while it is open.
// It centres itself and turns its close box off when loaded, so its own button is the
// only way back; that button unloads it and shows the main window again.
class SecondaryWindow : public QWidget {
    Q_OBJECT

public:
    // The form's fonts and the buttons' stored settings (a resource path) are applied
    // by the subclass after its form is set up, through finishLoading.
    explicit SecondaryWindow(QWidget* mainWindow);

    bool AllowClose = true;

protected:
    void finishLoading(const QString& storedButtons);
    // Unloads this window and shows the main window again.
    void unloadAndShowMainWindow();

private:
    void Form_Load();

    QPointer<QWidget> mainWindow_;
};
