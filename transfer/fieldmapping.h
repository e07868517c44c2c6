#pragma once

#include "transfer/collectionfile.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Which item of a collection file fills each record field: record column name (as in
// app/records/schema.h, the structure column included) to item name. A column without an
// item stays empty, except that the structure comes from the record's own molecule and
// Molecular Formula and Molecular Weight are worked out from the molecule.
struct FieldMapping {
    QHash<QString, QString> itemForColumn;

    // One "Column=Item" line per mapped column: the --mapping file and the remembered mapping.
    QString toText() const;
    static Status fromText(const QString& text, FieldMapping& out);
};

// The item names the readers give to what is not a named data item.
QString titleLineItem();    // an SD record's first line
QString smilesNameItem();   // the name after a SMILES string

// The mapping a user most likely wants for these items: each column gets the item whose name
// matches one of the column's usual names, ignoring case (the title line or "Name" for the
// chemical name, "PUBCHEM_IUPAC_NAME" or "IUPAC Name" for the IUPAC name, "CAS", "CAS_RN"
// or "CAS Registry Numbers" for the CAS number, "SMILES" for a CSV file's structure, and
// every column's own name, so that a file Flaskbook exported maps back by itself).
FieldMapping defaultMapping(const QStringList& items, CollectionFormat format);
