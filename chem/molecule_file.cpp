#include "chem/molecule.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// Far above any molecule of 1,000 heavy atoms with its hydrogens.
constexpr qint64 kMaxStructureBytes = 4 * 1024 * 1024;

} // namespace

bool isStructureFile(const QString& path)
{
    static const QStringList suffixes{QStringLiteral("mol"), QStringLiteral("sdf"),
                                      QStringLiteral("sd"), QStringLiteral("smi"),
                                      QStringLiteral("smiles")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

Status Molecule::fromFile(const QString& path, Molecule& out)
{
    out = Molecule();
    const QFileInfo info(path);
    const auto failure = [&info](const QString& reason) {
        return Status::failure(QStringLiteral("%1: %2").arg(info.fileName(), reason));
    };
    if (!isStructureFile(path))
        return failure(QStringLiteral("Flaskbook reads structures from .mol, .sdf, .sd, .smi and "
                                      ".smiles files."));
    if (info.isDir())
        return failure(QStringLiteral("this is a folder, not a file."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    QByteArray bytes = file.read(kMaxStructureBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(file.errorString());
    if (bytes.trimmed().isEmpty())
        return failure(QStringLiteral("the file is empty."));

    // Only the first molecule is read: a SMILES file's first line, an SD file's first record.
    const QString suffix = info.suffix().toLower();
    const bool smilesFile = suffix.startsWith(QLatin1String("smi"));
    if (smilesFile) {
        if (const qsizetype end = bytes.indexOf('\n'); end >= 0)
            bytes.truncate(end);
        if (bytes.trimmed().isEmpty())
            return failure(QStringLiteral("the first line is empty."));
    } else if (suffix != QLatin1String("mol")) {
        if (const qsizetype end = bytes.indexOf("\n$$$$"); end >= 0)
            bytes.truncate(end + 1);
    }
    if (bytes.size() > kMaxStructureBytes)
        return failure(QStringLiteral("the structure is larger than 4 MB."));
    if (bytes.contains('\0'))
        return failure(QStringLiteral("this is not a text file."));

    // Older files write titles in Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    const Status status = read(text, smilesFile ? Format::Smiles : Format::MolBlock, out);
    if (!status.ok())
        return failure(status.message());
    return status;
}
