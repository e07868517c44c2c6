#pragma once

#include "app/records/boundfield.h"
#include "controls/textbox.h"

// Holds one column of the current record in a text box of the window. The binding
// lives here, so the text box itself knows nothing of the record store.
class BoundTextBox : public BoundField {
public:
    explicit BoundTextBox(TextBox* box) : box_(box) {}

    // A box shows some stored values differently (CR LF as a line break): while the user has
    // not changed what it shows, the stored value is given back exactly as it was.
    QString boundText() const override
    {
        const QString shown = box_->Text();
        return shown == shownAsSet_ ? setText_ : shown;
    }
    void setBoundText(const QString& text) override
    {
        box_->setText(text);
        setText_ = text;
        shownAsSet_ = box_->Text();
    }

private:
    TextBox* box_;
    QString setText_;
    QString shownAsSet_;
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
