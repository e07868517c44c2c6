#include "app/commandline.h"

#include "core/version.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

// Why the file cannot be exported or imported by its name's ending; empty when it can.
QString formatMistake(const CommandLine& line)
{
    CollectionFormat format;
    const bool known = collectionFormatOf(line.file, format);
    if (line.job == CommandLineJob::Import && !known)
        return QStringLiteral("%1: cannot tell the format from the name; Flaskbook imports .sdf, "
                              ".sd, .sdf.gz, .smi, .smiles, .csv and .tsv files.")
            .arg(line.file);
    if (line.job == CommandLineJob::Export &&
        (!known || format == CollectionFormat::Smiles ||
         line.file.endsWith(QStringLiteral(".gz"), Qt::CaseInsensitive)))
        return QStringLiteral("%1: Flaskbook exports to .csv, .tsv and .sdf files.").arg(line.file);
    return {};
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Flaskbook, a desktop reference database of chemicals.\n\nWith --import "
                       "or --export it works without a window, prints one summary line and "
                       "ends: 0 when done, 1 when the job failed or a running Flaskbook holds "
                       "the database, 2 for options it does not take."));
    // Declared by hand: Qt's own help option adds --help-all, which needs a running window system.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and end."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and end."));
    const QCommandLineOption importFile(
        QStringLiteral("import"),
        QStringLiteral("Add the records of FILE (SD, SMILES, CSV or TSV, told by its name) to the "
                       "database; records that cannot be read are listed on standard error."),
        QStringLiteral("FILE"));
    const QCommandLineOption mapping(
        QStringLiteral("mapping"),
        QStringLiteral("With --import: which item fills each field, one Column=Item line each "
                       "(without it, items are matched to fields by name)."),
        QStringLiteral("FILE"));
    const QCommandLineOption exportFile(
        QStringLiteral("export"),
        QStringLiteral("Write every record to FILE (.csv, .tsv or .sdf), in table order."),
        QStringLiteral("FILE"));
    parser.addOptions({help, version, importFile, mapping, exportFile});

    CommandLine line;
    QString mistake;
    if (!parser.parse(arguments)) {
        mistake = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        mistake = QStringLiteral("Unexpected argument: %1.").arg(parser.positionalArguments()[0]);
    } else if (parser.isSet(importFile) && parser.isSet(exportFile)) {
        mistake = QStringLiteral("--import and --export cannot be given together.");
    } else if (parser.values(importFile).size() > 1 || parser.values(exportFile).size() > 1 ||
               parser.values(mapping).size() > 1) {
        mistake = QStringLiteral("Each of --import, --export and --mapping takes one file.");
    } else if (parser.isSet(mapping) && !parser.isSet(importFile)) {
        mistake = QStringLiteral("--mapping goes with --import.");
    } else if (parser.isSet(importFile) || parser.isSet(exportFile)) {
        line.job = parser.isSet(importFile) ? CommandLineJob::Import : CommandLineJob::Export;
        line.file = parser.value(parser.isSet(importFile) ? importFile : exportFile);
        line.mappingFile = parser.value(mapping);
        collectionFormatOf(line.file, line.format);
        mistake = formatMistake(line);
    }

    const bool forScript = std::any_of(arguments.cbegin(), arguments.cend(), [](const QString& a) {
        return a.startsWith(QStringLiteral("--import")) ||
               a.startsWith(QStringLiteral("--export")) ||
               a.startsWith(QStringLiteral("--mapping"));
    });
    if (!mistake.isEmpty()) {
        line = {};
        line.endNow = true;
        line.exitCode = kUsageExitCode;
        line.errors =
            QStringLiteral("flaskbook: ") + mistake + QStringLiteral("\n\n") + parser.helpText();
    } else if (parser.isSet(help)) {
        line = {};
        line.endNow = true;
        line.output = parser.helpText();
    } else if (parser.isSet(version)) {
        line = {};
        line.endNow = true;
        line.output = QStringLiteral("Flaskbook %1\n").arg(QLatin1String(kFlaskbookVersion));
    }
    line.forScript = forScript;
    return line;
}
