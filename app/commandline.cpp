#include "app/commandline.h"

#include "core/version.h"

#include <QCommandLineParser>

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Flaskbook, a desktop reference database of chemicals."));
    // Declared by hand: Qt's own help option adds --help-all, which needs a running window system.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and end."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and end."));
    parser.addOptions({help, version});

    CommandLine line;
    QString mistake;
    if (!parser.parse(arguments))
        mistake = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        mistake = QStringLiteral("Unexpected argument: %1.").arg(parser.positionalArguments()[0]);

    if (!mistake.isEmpty()) {
        line.endNow = true;
        line.exitCode = kUsageExitCode;
        line.errors =
            QStringLiteral("flaskbook: ") + mistake + QStringLiteral("\n\n") + parser.helpText();
    } else if (parser.isSet(help)) {
        line.endNow = true;
        line.output = parser.helpText();
    } else if (parser.isSet(version)) {
        line.endNow = true;
        line.output = QStringLiteral("Flaskbook %1\n").arg(QLatin1String(kFlaskbookVersion));
    }
    return line;
}
