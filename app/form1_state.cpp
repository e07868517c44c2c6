#include "app/form1.h"

#include "controls/textbox.h"
#include "ui_form1.h"

namespace {

constexpr quint32 kEditColour = 0xC0FFFF;
constexpr quint32 kBrowseColour = 0xFFFFFF;

enum Enabled : char { F, T, Unchanged };

struct ButtonRow {
    paintedButton* Ui::Form1::*button;
    Enabled browsing;
    Enabled editing;
    Enabled newRecord;
};

// Which buttons each state enables. Undo never acts, so it stays disabled throughout.
const ButtonRow kButtons[] = {
    {&Ui::Form1::newbtn, T, F, F},      {&Ui::Form1::editbtn, T, F, F},
    {&Ui::Form1::updatebtn, F, T, T},   {&Ui::Form1::undobtn, F, F, F},
    {&Ui::Form1::deletebtn, T, F, F},   {&Ui::Form1::nextbtn, T, F, F},
    {&Ui::Form1::previousbtn, T, F, F}, {&Ui::Form1::firstbtn, T, F, F},
    {&Ui::Form1::lastbtn, T, F, F},     {&Ui::Form1::searchbtn, T, F, Unchanged},
    {&Ui::Form1::browsebtn, F, T, T},   {&Ui::Form1::printbtn, T, F, F},
    {&Ui::Form1::saveasbtn, T, F, F},   {&Ui::Form1::sortascbtn, T, F, F},
    {&Ui::Form1::sortdscbtn, T, F, F},  {&Ui::Form1::backupbtn, T, F, F},
    {&Ui::Form1::cleardbbtn, T, F, F},  {&Ui::Form1::helpbtn, T, F, F},
    {&Ui::Form1::aboutbtn, T, F, F},
};

} // namespace

void Form1::ShowWindowState(WindowState state)
{
    for (const ButtonRow& row : kButtons) {
        const Enabled enabled = state == WindowState::Browsing  ? row.browsing
                                : state == WindowState::Editing ? row.editing
                                                                : row.newRecord;
        if (enabled != Unchanged)
            (ui.get()->*row.button)->setEnabled(enabled == T);
    }
    const bool browsing = state == WindowState::Browsing;
    for (TextBox* field : recordFields()) {
        field->setLocked(browsing);
        field->setBackColor(browsing ? kBrowseColour : kEditColour);
    }
    ui->Label10->setVisible(browsing);
    ui->Label9->setVisible(state == WindowState::Editing);
    ui->Label17->setVisible(state == WindowState::NewRecord);
}

WindowState Form1::shownWindowState() const
{
    if (ui->Label9->isVisibleTo(this))
        return WindowState::Editing;
    if (ui->Label17->isVisibleTo(this))
        return WindowState::NewRecord;
    return WindowState::Browsing;
}
