#include "app/form1.h"

#include "controls/button/paintedbutton.h"
#include "ui_form1.h"

#include <QAction>
#include <QMenuBar>
#include <QVBoxLayout>

void Form1::createMenuBar()
{
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    // A desktop's global menu would take the bar out of the window and leave the form shorter.
    menuBar_->setNativeMenuBar(false);

    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Import..."), this, &Form1::mnuImport_Click);
    file->addAction(QStringLiteral("&Export..."), this, &Form1::mnuExport_Click);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    editMenu_ = menuBar_->addMenu(QStringLiteral("&Edit"));
    // The keys are the window's own shortcuts, which work with the menu closed; the text after
    // the tab only shows them, as a second binding of one key would make Qt ignore both.
    editMenu_->addAction(QStringLiteral("&Find in list...\tCtrl+F"), this, &Form1::openRecordList);
    editMenu_->addSeparator();
    QAction* next = editMenu_->addAction(QStringLiteral("Find &Next\tF3"), this, &Form1::findNext);
    QAction* previous = editMenu_->addAction(QStringLiteral("Find &Previous\tShift+F3"), this,
                                             &Form1::findPrevious);
    // Like the keys, they search only while browsing, when Next is enabled.
    connect(editMenu_, &QMenu::aboutToShow, this, [this, next, previous] {
        next->setEnabled(ui->nextbtn->isEnabled());
        previous->setEnabled(ui->nextbtn->isEnabled());
    });

    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    QAction* readMe = help->addAction(QStringLiteral("&Read me"), this, &Form1::helpbtn_Click);
    QAction* about = help->addAction(QStringLiteral("&About"), this, &Form1::aboutbtn_Click);
    // They follow the form's own buttons, which a record open for change disables.
    connect(help, &QMenu::aboutToShow, this, [this, readMe, about] {
        readMe->setEnabled(ui->helpbtn->isEnabled());
        about->setEnabled(ui->aboutbtn->isEnabled());
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(formArea_);
}

int Form1::menuBarHeight() const
{
    return menuBar_->sizeHint().height();
}
