#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;

// One chemical structure, as a value: copies share the same immutable molecule, so passing
// it around and drawing it again costs no parsing. Safe to read from several threads at once.
class Molecule {
public:
    // A SMILES string (with an optional name after it) or a MOL block (V2000 or V3000; of an
    // SD record the first molecule). On failure `out` is left empty and the message says what
    // could not be read.
    static Status fromText(const QString& text, Molecule& out);
    // A .mol or .sdf/.sd file (its first molecule) or a .smi/.smiles file (its first line).
    static Status fromFile(const QString& path, Molecule& out);

    // What storing a MOL block as it stands needs, for an import of many records: fromText's
    // checks of the text, its valences and its aromatic rings, the formula as formula() gives it
    // and the weight as weightText() does, in half the time, since nothing is perceived for
    // drawing or matching.
    static Status weighMolBlock(const QString& block, QString& formula, QString& weight);

    // Isomeric SMILES of a structure text in its own atom order, without the canonical ranking,
    // the layout and the weighing that fromText() and smiles() spend most of their time on:
    // for writing a whole table out. Empty for a text that does not read.
    static QString smilesInAtomOrder(const QString& text);

    bool isEmpty() const { return !data_; }
    // The MOL block (V2000) the record stores, with 2-D coordinates.
    QString molBlock() const;
    // Canonical isomeric SMILES.
    QString smiles() const;
    // Hill order with the net charge at the end: "C9H8O4", "H4N+".
    QString formula() const;
    // Average molecular weight, implicit hydrogens included.
    double averageWeight() const;
    // The weight with two decimals: "180.16".
    QString weightText() const;
    int heavyAtomCount() const;

    // The 2-D drawing as SVG of that size in pixels, on a transparent background.
    QByteArray svg(const QSizeF& size) const;
    // Draws the molecule centred in `box`, keeping its aspect, as vectors, so it is sharp at
    // any device pixel ratio of the painter.
    void draw(QPainter& painter, const QRectF& box) const;

private:
    enum class Format { Guess, Smiles, MolBlock };
    static Status read(const QString& text, Format format, Molecule& out);

    struct Data;
    std::shared_ptr<const Data> data_;
};

// True for the file suffixes fromFile reads (.mol .sdf .sd .smi .smiles), in any case.
bool isStructureFile(const QString& path);
