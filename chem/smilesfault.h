#pragma once

#include <QString>

// Where a SMILES string that the reader refused stops making sense. The reader itself only
// says that it failed; this finds the character to point the user at.
struct SmilesFault {
    int position = 0; // 1-based; 0 when the syntax looks sound
    QString reason;
};

// Checks the syntax of `smiles` (up to the first blank) and returns its first fault.
SmilesFault findSmilesFault(const QString& smiles);
