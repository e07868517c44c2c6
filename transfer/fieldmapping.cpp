#include "transfer/fieldmapping.h"

#include "app/records/schema.h"

namespace {

// Record columns in table order, then the structure column.
QStringList mappableColumns()
{
    return recordColumns() + QStringList{structureColumn()};
}

// A name as the default mapping compares it: lower case, letters and digits only, so that
// "CAS_RN", "CAS RN" and "cas-rn" are one name.
QString comparable(const QString& name)
{
    QString key;
    key.reserve(name.size());
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            key.append(c.toCaseFolded());
    }
    return key;
}

// Each column's usual item names, most telling first, as comparable() gives them; the
// column's own name comes first, so that a file Flaskbook wrote maps back by itself.
QStringList usualNames(const QString& column)
{
    static const QHash<QString, QStringList> kNames = {
        {"Name", {"chemicalname", "compoundname", "commonname", "chebiname", "title", "titleline"}},
        {"IUPAC",
         {"pubchemiupacname", "iupacname", "pubchemiupacsystematicname", "systematicname"}},
        {"CAS",
         {"casrn", "casnumber", "casno", "casregistrynumber", "casregistrynumbers",
          "casregistryno"}},
        {"MolFormula", {"formula", "molecularformula", "pubchemmolecularformula"}},
        {"MolWeight", {"mw", "molecularweight", "molwt", "pubchemmolecularweight", "amw"}},
        {"EqWeight", {"equivalentweight"}},
        {"Appearance", {"physicaldescription", "description"}},
        {"Spgr", {"density", "specificgravity"}},
        {"SpecialNote", {"note", "notes", "comment", "comments", "remarks"}},
        {"Structure", {"smiles", "canonicalsmiles", "isomericsmiles", "molfile", "molblock"}},
    };
    return QStringList{comparable(column)} + kNames.value(column);
}

} // namespace

QString titleLineItem()
{
    return QStringLiteral("Title line");
}

QString smilesNameItem()
{
    return QStringLiteral("Name");
}

QString FieldMapping::toText() const
{
    QString text;
    for (const QString& column : mappableColumns()) {
        const QString item = itemForColumn.value(column);
        if (!item.isEmpty())
            text += column + u'=' + item + u'\n';
    }
    return text;
}

Status FieldMapping::fromText(const QString& text, FieldMapping& out)
{
    FieldMapping mapping;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        // Blank lines and "#" comments, for a mapping file written by hand.
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return Status::failure(
                QStringLiteral("Line %1 of the mapping is not \"Field=Item\": %2")
                    .arg(i + 1)
                    .arg(line));
        const int index = columnIndex(line.first(equals).trimmed());
        if (index < 0)
            return Status::failure(
                QStringLiteral("Line %1 of the mapping names no record field: %2")
                    .arg(i + 1)
                    .arg(line.first(equals).trimmed()));
        const QString column = mappableColumns()[index];
        if (mapping.itemForColumn.contains(column))
            return Status::failure(
                QStringLiteral("Line %1 of the mapping names the field %2 a second time.")
                    .arg(i + 1)
                    .arg(column));
        const QString item = line.sliced(equals + 1);
        // "Field=" with nothing after it leaves the field empty.
        if (!item.isEmpty())
            mapping.itemForColumn.insert(column, item);
    }
    out = mapping;
    return {};
}

FieldMapping defaultMapping(const QStringList& items, CollectionFormat format)
{
    QHash<QString, QString> itemByKey;
    for (const QString& item : items) {
        if (!itemByKey.contains(comparable(item)))
            itemByKey.insert(comparable(item), item);
    }
    FieldMapping mapping;
    for (const QString& column : mappableColumns()) {
        // An SD or SMILES record's structure is its own molecule.
        if (column == structureColumn() && format != CollectionFormat::Csv &&
            format != CollectionFormat::Tsv)
            continue;
        for (const QString& key : usualNames(column)) {
            if (itemByKey.contains(key)) {
                mapping.itemForColumn.insert(column, itemByKey.value(key));
                break;
            }
        }
    }
    return mapping;
}
