#pragma once

#include "windows/secondarywindow.h"

#include <memory>

namespace Ui {
class frmAbout;
}

// The about window: the program's name, version, credits and disclaimer.
class frmAbout : public SecondaryWindow {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* mainWindow);
    ~frmAbout() override;

private:
    void okbtn_Click();

    std::unique_ptr<Ui::frmAbout> ui;
};
