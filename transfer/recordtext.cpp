#include "transfer/recordtext.h"

namespace {

QByteArray delimitedField(const QString& field, char separator)
{
    QByteArray utf8 = field.toUtf8();
    // TSV has no quoting: a tab or line end in a value cannot be told from the row's own.
    if (separator == '\t') {
        utf8.replace("\r\n", " ");
        for (char& c : utf8) {
            if (c == '\t' || c == '\r' || c == '\n')
                c = ' ';
        }
        return utf8;
    }
    bool quoted = false;
    for (const char c : utf8) {
        if (c == separator || c == '"' || c == '\r' || c == '\n') {
            quoted = true;
            break;
        }
    }
    if (!quoted)
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

// SD lines end in LF alone, and a value's own line ends become LF too.
QStringList valueLines(const QString& value)
{
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        // An empty line ends the data item and a "$$$$" line ends the record.
        if (line.isEmpty() || line.startsWith(QLatin1String("$$$$")))
            line.prepend(QLatin1Char(' '));
    }
    return lines;
}

QString emptyMolBlock()
{
    return QStringLiteral("\n  Flaskbook\n\n  0  0  0  0  0  0  0  0  0  0999 V2000\nM  END");
}

// The block from its first line to its "M  END" line, the title line replaced.
QString titledMolBlock(const QString& stored, const QString& title)
{
    QString block = stored;
    block.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (block.trimmed().isEmpty())
        block = emptyMolBlock();
    const qsizetype end = block.indexOf(QLatin1String("\nM  END"));
    if (end < 0)
        block += QStringLiteral("\nM  END");
    else
        block.truncate(end + 7);
    QString titleLine = title;
    titleLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    titleLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (titleLine.startsWith(QLatin1String("$$$$")))
        titleLine.prepend(QLatin1Char(' '));
    const qsizetype firstLineEnd = block.indexOf(QLatin1Char('\n'));
    return titleLine + block.mid(firstLineEnd);
}

} // namespace

QByteArray delimitedRow(const QStringList& fields, char separator)
{
    QByteArray row;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += separator;
        row += delimitedField(fields[i], separator);
    }
    row += "\r\n";
    return row;
}

QByteArray sdRecord(const QString& molBlock, const QString& title, const QStringList& names,
                    const QStringList& values)
{
    QString text = titledMolBlock(molBlock, title);
    text += QLatin1Char('\n');
    for (qsizetype i = 0; i < names.size() && i < values.size(); ++i) {
        text += QStringLiteral("> <") + names[i] + QStringLiteral(">\n");
        if (!values[i].isEmpty())
            text += valueLines(values[i]).join(QLatin1Char('\n')) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    text += QStringLiteral("$$$$\n");
    return text.toUtf8();
}
