#pragma once

#include <QString>

// True when `text` has the form of a CAS Registry Number (two to seven digits, a hyphen,
// two digits, a hyphen and a check digit) but its check digit is wrong. The check digit is
// the sum of the other digits taken from the right with weights 1, 2, 3, ..., modulo 10:
// 7732-18-5 checks. Text of another form is not judged.
bool casCheckDigitIsWrong(const QString& text);
