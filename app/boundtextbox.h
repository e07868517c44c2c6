#pragma once

#include "app/records/boundfield.h"
#include "controls/textbox.h"

// Holds one column of the current record in a text box of the window. The binding
// lives here, so the text box itself knows nothing of the record store.
class BoundTextBox : public BoundField {
public:
    explicit BoundTextBox(TextBox* box) : box_(box) {}

    QString boundText() const override { return box_->Text(); }
    void setBoundText(const QString& text) override { box_->setText(text); }

private:
    TextBox* box_;
};

// Holds a column the window shows in no box of its own: the record's structure, drawn in
// the picture box.
class BoundValue : public BoundField {
public:
    QString boundText() const override { return text_; }
    void setBoundText(const QString& text) override { text_ = text; }

private:
    QString text_;
};
