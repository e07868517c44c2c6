#pragma once

#include <QString>
#include <QStringList>

// The record layout of table DATA1, declared once in schema.cpp: its columns in table
// order, and which of them the window can search by (each of those has a case-insensitive
// index). The window's own half of each field (box, label, option button) is in
// app/form1_fields.cpp.
const QStringList& recordColumns();
const QStringList& searchableColumns();
// The column after those that holds a record's molecule as a MOL block. Files made
// before it existed lack it: opening adds it wherever the file can be written.
const QString& structureColumn();
// Index of a column name in recordColumns() (case-insensitive), recordColumns().size()
// for the structure column, or -1.
int columnIndex(const QString& column);
// The tables that hold only what is computed from DATA1 (its filter and structure indexes):
// emptied with it, rebuilt from it.
const QStringList& derivedTables();
