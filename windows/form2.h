#pragma once

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

    // `dataFolder` is where the program keeps its database, named by the backup note.
    Form2(QWidget* mainWindow, const QString& dataFolder);
    ~Form2() override;

private:
    void closebtn_Click();

    std::unique_ptr<Ui::Form2> ui;
};
