#include "app/records/schema.h"

namespace {

struct Column {
    const char* name;
    bool searchable;
};

// Table order; Image holds the path of the record's structure picture.
constexpr Column kColumns[] = {
    {"Name", true},      {"IUPAC", true},        {"CAS", true},         {"MolFormula", true},
    {"MolWeight", true}, {"EqWeight", true},     {"Appearance", false}, {"Spgr", true},
    {"pH", false},       {"SpecialNote", false}, {"Image", false},
};

QStringList columnNames(bool searchableOnly)
{
    QStringList names;
    for (const Column& column : kColumns) {
        if (column.searchable || !searchableOnly)
            names.append(QString::fromLatin1(column.name));
    }
    return names;
}

} // namespace

const QStringList& recordColumns()
{
    static const QStringList columns = columnNames(false);
    return columns;
}

const QStringList& searchableColumns()
{
    static const QStringList columns = columnNames(true);
    return columns;
}

const QString& structureColumn()
{
    static const QString column = QStringLiteral("Structure");
    return column;
}

int columnIndex(const QString& column)
{
    const QStringList& columns = recordColumns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    if (structureColumn().compare(column, Qt::CaseInsensitive) == 0)
        return int(columns.size());
    return -1;
}

const QStringList& derivedTables()
{
    static const QStringList tables{QStringLiteral("DATA1_filter")};
    return tables;
}
