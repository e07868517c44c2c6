#pragma once

#include <QString>

// A holder of one column of the current record, such as a text box of the window.
// The record set writes the current record's value into it after every move and
// reads it back when the pending record is committed.
class BoundField {
public:
    virtual ~BoundField() = default;
    virtual QString boundText() const = 0;
    virtual void setBoundText(const QString& text) = 0;
};
