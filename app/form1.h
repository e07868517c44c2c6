#pragma once

#include "app/records/datacontrol.h"
#include "platform/paths.h"

#include <QWidget>

// The main window: one chemical record at a time, over the data control Data1.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(const Paths& paths, QWidget* parent = nullptr);

    DataControl Data1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void openRecords();

    Paths paths_;
};
