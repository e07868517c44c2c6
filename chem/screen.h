#pragma once

// Inside chem/ only: the screening fingerprint of the structure index.

#include <QByteArray>

namespace RDKit {
class ROMol;
}

// One bit for every chain of up to six atoms (the elements and the bond types along it) and
// every ring of up to six atoms (its elements and bond types), hashed into kScreenBytes. RDKit
// matches a plain pattern atom by its element and a plain bond by its type, so a molecule that
// holds a pattern holds each of the pattern's chains and rings too, and has all its bits.

// A stored molecule's screen. One with query atoms or bonds (an atom list, an "any" bond) may
// match patterns its elements do not show, so it gets every bit.
QByteArray moleculeScreen(const RDKit::ROMol& mol);
// A pattern's screen, from its plain atoms and bonds only: a SMARTS atom or bond, which may
// stand for several elements or bond types, adds nothing.
QByteArray patternScreen(const RDKit::ROMol& pattern);
