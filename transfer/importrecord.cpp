#include "transfer/importrecord.h"

#include "app/records/schema.h"
#include "chem/molecule.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr qsizetype kMaxValueLength = 65536;

// Letter by letter, as the Name box upper-cases what is typed into it.
QString upperCaseName(const QString& name)
{
    QString upper;
    upper.reserve(name.size());
    for (const char32_t c : name.toUcs4()) {
        const char32_t letter = QChar::toUpper(c);
        upper.append(QString::fromUcs4(&letter, 1));
    }
    return upper;
}

// The block up to its "M  END" line, with LF line ends.
QString trimmedMolBlock(const QString& text)
{
    QString block = text;
    if (block.contains(QLatin1Char('\r')))
        block.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const qsizetype end = block.indexOf(QLatin1String("\nM  END"));
    if (end >= 0)
        block.truncate(end + 7);
    return block + QLatin1Char('\n');
}

int countField(QStringView countsLine, int from)
{
    bool read = false;
    const int value = countsLine.mid(from, 3).trimmed().toInt(&read);
    return read ? value : -1;
}

// A coordinate of zero: "0.0000" as V2000 writes it, or any other spelling of zero.
bool isZero(QStringView number)
{
    const bool zeroDigits =
        !number.isEmpty() && std::all_of(number.begin(), number.end(), [](QChar c) {
            return c == u'0' || c == u'.' || c == u'-' || c == u'+';
        });
    return zeroDigits || number.toDouble() == 0;
}

// A V2000 block with no atoms and no bonds: the SD record has no molecule (as Flaskbook
// writes records without one).
bool isEmptyMolecule(const QList<QStringView>& lines)
{
    return lines.size() > 3 && lines[3].contains(QLatin1String("V2000")) &&
           countField(lines[3], 0) == 0 && countField(lines[3], 3) == 0;
}

// A V2000 block laid out flat for drawing is stored as it stands, which spares writing it
// again; any other block is stored as the molecule writes it.
bool isFlatV2000(const QList<QStringView>& lines)
{
    if (lines.size() < 4 || !lines[3].contains(QLatin1String("V2000")) ||
        lines[1].mid(20, 2) == QLatin1String("3D"))
        return false;
    const int atoms = countField(lines[3], 0);
    if (atoms < 1 || lines.size() < 4 + atoms)
        return false;
    bool spread = atoms == 1;
    QStringView first;
    for (int i = 4; i < 4 + atoms; ++i) {
        const QStringView line = lines[i];
        if (line.size() < 30 || !isZero(line.mid(20, 10).trimmed()))
            return false;
        const QStringView xy = line.left(20);
        if (i == 4)
            first = xy;
        else if (xy != first)
            spread = true;
    }
    return spread;
}

} // namespace

RecordConverter::RecordConverter(const FieldMapping& mapping)
{
    for (auto it = mapping.itemForColumn.cbegin(); it != mapping.itemForColumn.cend(); ++it) {
        const int column = columnIndex(it.key());
        if (column >= 0 && column < kColumns)
            items_[column] = it.value();
    }
}

QString RecordConverter::structureText(const SourceRecord& record) const
{
    const QString& item = items_[kColumns - 1];
    return item.isEmpty() ? record.structure : record.item(item);
}

QString RecordConverter::convert(const SourceRecord& record, Row& row) const
{
    if (!record.fault.isEmpty())
        return record.fault;
    const QStringList& columns = recordColumns();
    QStringList values;
    bool hasText = false;
    for (int c = 0; c < kColumns - 1; ++c) {
        const QString value = items_[c].isEmpty() ? QString() : record.item(items_[c]);
        if (value.size() > kMaxValueLength)
            return QStringLiteral("The value of %1 is longer than 65,536 characters.")
                .arg(columns[c]);
        hasText = hasText || !value.trimmed().isEmpty();
        values.append(value);
    }
    values[0] = upperCaseName(values[0]);

    const QString structure = structureText(record);
    QString stored;
    if (!structure.trimmed().isEmpty()) {
        const QString block = trimmedMolBlock(structure);
        const QList<QStringView> lines = QStringView(block).split(u'\n');
        if (!isEmptyMolecule(lines)) {
            QString formula;
            QString weight;
            if (isFlatV2000(lines)) {
                if (const Status read = Molecule::weighMolBlock(block, formula, weight); !read.ok())
                    return read.message();
                stored = block;
            } else {
                Molecule molecule;
                if (const Status read = Molecule::fromText(structure, molecule); !read.ok())
                    return read.message();
                stored = molecule.molBlock();
                formula = molecule.formula();
                weight = molecule.weightText();
            }
            // As the window does, an empty formula or weight comes from the molecule.
            const int formulaColumn = columnIndex(QStringLiteral("MolFormula"));
            const int weightColumn = columnIndex(QStringLiteral("MolWeight"));
            if (values[formulaColumn].isEmpty())
                values[formulaColumn] = formula;
            if (values[weightColumn].isEmpty())
                values[weightColumn] = weight;
        }
    }
    if (stored.isEmpty() && !hasText)
        return QStringLiteral("The record holds no structure and no text.");

    for (int c = 0; c < kColumns - 1; ++c)
        row[c] = values[c].toUtf8();
    row[kColumns - 1] = stored.toUtf8();
    return {};
}
