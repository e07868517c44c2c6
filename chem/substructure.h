#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The screening fingerprint's size in bytes: 1,024 bits, so a million of them take 128 MB on
// disk and are read in a few hundred milliseconds, while still ruling out most molecules.
constexpr int kScreenBytes = 128;

// What the structure index keeps of one molecule: its screening fingerprint and a quickly
// read form of it (no coordinates).
struct IndexedStructure {
    QByteArray fingerprint;
    QByteArray pickle;
};

// Reads a stored structure (a MOL block or SMILES) and makes its index entry. Thread-safe.
Status indexStructure(const QString& structureText, IndexedStructure& out);

// True when every bit of `query` is set in `molecule` (both kScreenBytes long): only then can
// the molecule hold the query.
bool passesScreen(const char* query, const char* molecule);

// A structure query: a SMILES or SMARTS pattern looked for as part of a molecule, or a
// molecule (SMILES or MOL block) looked for as a whole. Copies share one parsed query; every
// method is safe from several threads at once.
class SubstructureQuery {
public:
    enum class Mode { Substructure, Exact };
    // A failure says why the text cannot be read as a query.
    static Status parse(const QString& text, Mode mode, SubstructureQuery& out);

    bool isEmpty() const { return !data_; }
    Mode mode() const;
    // The screen a molecule's fingerprint must pass (kScreenBytes).
    const QByteArray& fingerprint() const;
    // An indexed molecule matches: for a substructure query it holds the pattern (chirality
    // ignored, as RDKit does by default), for an exact one its canonical isomeric SMILES is
    // the query's.
    bool matchesIndexed(const QByteArray& pickle) const;
    // The plain match, reading the structure text itself; false where it cannot be read.
    bool matchesText(const QString& structureText) const;

    struct Data;

private:
    std::shared_ptr<const Data> data_;
};
