#include "app/firststart.h"

#include "app/records/database.h"
#include "app/records/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <filesystem>
#include <system_error>

namespace {

Status folderFailure(const QString& folder, const QString& reason)
{
    return Status::failure(QStringLiteral("Flaskbook cannot use its data folder\n%1\n\n%2")
                               .arg(QDir::toNativeSeparators(folder), reason));
}

// The shipped chemicals as rows of DATA1, with Image still a bare file name.
Status readShippedChemicals(QList<QStringList>& rows)
{
    QFile file(QString::fromLatin1(kShippedDataFolder) + QStringLiteral("/chemicals.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return Status::failure(QStringLiteral("The shipped chemicals cannot be read."));
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    const QStringList header = in.readLine().split(QLatin1Char('\t'));
    QList<int> columnOf;
    for (const QString& column : recordColumns()) {
        columnOf.append(header.indexOf(column));
        if (columnOf.last() < 0)
            return Status::failure(
                QStringLiteral("The shipped chemicals lack column %1.").arg(column));
    }
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QLatin1Char('\t'));
        if (fields.size() < header.size())
            continue;
        QStringList row;
        for (int index : columnOf)
            row.append(fields[index]);
        rows.append(row);
    }
    return {};
}

Status writeRows(const QString& path, const QList<QStringList>& rows)
{
    Database db;
    if (Status s = db.OpenDatabase(path); !s.ok())
        return s;
    if (Status s = db.InsertRecords(rows); !s.ok())
        return s;
    return db.Close();
}

} // namespace

Status installShippedDatabase(const Paths& paths)
{
    const QString databaseFile = paths.databaseFile();
    if (QFileInfo::exists(databaseFile))
        return {};

    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(paths.dataFolder).toStdString(), error);
    if (error)
        return folderFailure(paths.dataFolder, QString::fromLocal8Bit(error.message()));
    if (!QFileInfo(paths.dataFolder).isDir())
        return folderFailure(paths.dataFolder, QStringLiteral("It is not a folder."));

    QList<QStringList> rows;
    if (Status s = readShippedChemicals(rows); !s.ok())
        return s;
    const int imageColumn = recordColumns().indexOf(QStringLiteral("Image"));
    for (QStringList& row : rows) {
        const QString picture = QDir(paths.dataFolder).absoluteFilePath(row[imageColumn]);
        const QString shipped = QString::fromLatin1(kShippedDataFolder) +
                                QStringLiteral("/structures/") + row[imageColumn];
        // A picture the user already keeps under that name stays as it is.
        if (!QFileInfo::exists(picture)) {
            QFile source(shipped);
            if (!source.copy(picture))
                return folderFailure(paths.dataFolder,
                                     QStringLiteral("The picture %1 cannot be written: %2.")
                                         .arg(row[imageColumn], source.errorString()));
            QFile::setPermissions(picture, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther);
        }
        row[imageColumn] = picture;
    }

    // Build under a temporary name, so an interrupted first start leaves no half database.
    const QString partial = databaseFile + QStringLiteral(".new");
    QFile::remove(partial);
    Status result = Database::CreateDatabase(partial);
    if (result.ok())
        result = writeRows(partial, rows);
    if (result.ok() && !QFile::rename(partial, databaseFile))
        result = Status::failure(QStringLiteral("The database cannot be written."));
    if (!result.ok()) {
        QFile::remove(partial);
        return folderFailure(paths.dataFolder, result.message());
    }
    return {};
}
