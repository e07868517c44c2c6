#pragma once

#include "platform/paths.h"
#include "windows/secondarywindow.h"

#include <memory>

namespace Ui {
class Form2;
}

// The read-me window: the program's features and how to use the backup.
class Form2 : public SecondaryWindow {
    Q_OBJECT

public:
    // The address shown as the download page.
    static const QString kDownloadPage;

    // The backup note names the backup folder and the data folder of `paths`.
    Form2(QWidget* mainWindow, const Paths& paths);
    ~Form2() override;

private:
    void closebtn_Click();

    std::unique_ptr<Ui::Form2> ui;
};
