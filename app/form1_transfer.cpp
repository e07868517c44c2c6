#include "app/collectionpreview.h"
#include "app/form1.h"
#include "app/importmappingmemory.h"
#include "app/recordlimit.h"
#include "app/records/schema.h"
#include "chem/molecule.h"
#include "platform/msgbox.h"
#include "transfer/transferjobs.h"
#include "ui_form1.h"
#include "windows/importmappingdialog.h"
#include "windows/importsummary.h"
#include "windows/progressdialog.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLocale>
#include <QMimeData>
#include <QTimer>

#include <algorithm>

namespace {

const QString kImportTitle = QStringLiteral("Import Records");
const QString kExportTitle = QStringLiteral("Export Records");
// Enough records to find the item names of an SD file, whose records may differ in them.
constexpr int kRecordsForItemNames = 100;
constexpr int kPreviewRecords = 10;

QString count(long long n)
{
    return QLocale(QLocale::English).toString(n);
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void showProblem(const QString& text, const QString& title)
{
    MsgBox(text, vbOKOnly | vbExclamation, title);
}

// The one collection file a drag carries, or an empty string.
QString draggedCollectionFile(const QMimeData* data)
{
    if (!data->hasUrls() || data->urls().size() != 1 || !data->urls()[0].isLocalFile())
        return {};
    const QString path = data->urls()[0].toLocalFile();
    CollectionFormat format;
    return collectionFormatOf(path, format) ? path : QString();
}

// A record's molecule in one line of the preview: a MOL block as SMILES, and a molecule that
// cannot be read said so at once.
QString previewedStructure(const QString& text)
{
    if (!text.contains(QLatin1Char('\n')))
        return text;
    Molecule molecule;
    if (!Molecule::fromText(text, molecule).ok())
        return QStringLiteral("(cannot be read)");
    return molecule.smiles();
}

} // namespace

bool Form1::TransferAllowed()
{
    if (shownWindowState() == WindowState::Browsing)
        return true;
    MsgBox(QStringLiteral("A record is open for change. Please save it with Update, or leave it "
                          "with Escape, before importing or exporting records."),
           vbOKOnly | vbInformation, QStringLiteral("Flaskbook"));
    return false;
}

void Form1::mnuImport_Click()
{
    if (!TransferAllowed())
        return;
    transferDialog_.DialogTitle = kImportTitle;
    transferDialog_.Filter = QStringLiteral(
        "Collection Files|*.sdf;*.sd;*.sdf.gz;*.smi;*.smiles;*.csv;*.tsv|SD Files|*.sdf;*.sd;"
        "*.sdf.gz|SMILES Files|*.smi;*.smiles|CSV Files|*.csv|TSV Files|*.tsv");
    transferDialog_.FilterIndex = 1;
    transferDialog_.FileName.clear();
    if (transferDialog_.InitDir.isEmpty())
        transferDialog_.InitDir = QDir::homePath();
    if (!transferDialog_.ShowOpen())
        return;
    transferDialog_.InitDir = QFileInfo(transferDialog_.FileName).absolutePath();
    ImportCollection(transferDialog_.FileName);
}

void Form1::ImportCollection(const QString& path)
{
    if (!TransferAllowed())
        return;
    CollectionFormat format;
    if (!collectionFormatOf(path, format)) {
        showProblem(QStringLiteral("%1 is not a file Flaskbook imports: it takes SD files (.sdf, "
                                   ".sd, .sdf.gz), SMILES files (.smi, .smiles) and CSV or TSV "
                                   "files (.csv, .tsv).")
                        .arg(shown(path)),
                    kImportTitle);
        return;
    }
    CollectionPreview start;
    if (const Status read = readCollectionPreview(path, format, kRecordsForItemNames, start);
        !read.ok()) {
        showProblem(QStringLiteral("%1 cannot be read.\n\n%2").arg(shown(path), read.message()),
                    kImportTitle);
        return;
    }

    ImportMappingChoice choice;
    choice.fileName = path;
    choice.items = start.items;
    for (const RecordField& field : recordFieldTable())
        choice.fields.append({QLatin1String(field.column), (ui.get()->*field.caption)->text()});
    // Only a table's column can hold the structure; SD and SMILES records carry their own.
    if (format == CollectionFormat::Csv || format == CollectionFormat::Tsv)
        choice.fields.append({structureColumn(), QStringLiteral("Structure (SMILES)")});
    // A table's records carry no molecule of their own: its SMILES column is among the items.
    const bool withStructures =
        format == CollectionFormat::Sd || format == CollectionFormat::Smiles;
    for (const SourceRecord& record : start.records.mid(0, kPreviewRecords)) {
        QStringList values;
        for (const QString& item : start.items)
            values.append(record.item(item));
        choice.preview.append(values);
        if (withStructures)
            choice.previewStructures.append(previewedStructure(record.structure));
    }
    choice.itemForColumn = proposedMapping(start.items, format).itemForColumn;
    if (!askImportMapping(choice, this))
        return;
    const FieldMapping mapping{choice.itemForColumn};
    rememberMapping(mapping, format);

    JobProgress counting;
    long long records = 0;
    if (const Status counted = runWithProgress(
            QStringLiteral("Counting Records"), counting,
            [&] { return countCollectionRecords(path, format, counting, records); }, this,
            ProgressUnit::Bytes);
        !counted.ok()) {
        if (!counting.cancelRequested)
            showProblem(
                QStringLiteral("%1 cannot be read.\n\n%2").arg(shown(path), counted.message()),
                kImportTitle);
        return;
    }
    // The limit is checked before anything is written, so nothing is added half way.
    const long long stored = rs().RecordCount();
    long long room = std::max(0LL, kRecordLimit - stored);
    if (records > room) {
        if (room == 0) {
            showProblem(QStringLiteral("The database already holds %1 records, the most Flaskbook "
                                       "keeps: none of the %2 records of %3 can be added.")
                            .arg(count(stored), count(records), shown(path)),
                        kImportTitle);
            return;
        }
        if (MsgBox(QStringLiteral("%1 holds %2 records, but the database (%3 records) has room "
                                  "for only %4 more of Flaskbook's 1,000,000: %5 records would "
                                  "not fit.\n\nImport the first %4 records only?")
                       .arg(shown(path), count(records), count(stored), count(room),
                            count(records - room)),
                   vbYesNo | vbQuestion | vbDefaultButton2, kImportTitle) != vbYes)
            return;
    }

    // The job writes through its own connection; the window lets go of the file meanwhile.
    if (const Status closed = Data1.Close(); !closed.ok()) {
        showProblem(QStringLiteral("Nothing was imported: the database cannot be let go.\n\n%1")
                        .arg(closed.message()),
                    kImportTitle);
        return;
    }
    JobProgress progress;
    progress.total = std::min(records, room);
    ImportResult result;
    const Status imported = runWithProgress(
        QStringLiteral("Importing %1").arg(QFileInfo(path).fileName()), progress,
        [&] {
            return importCollection(Data1.DatabaseName(), path, format, mapping, room, progress,
                                    result);
        },
        this);

    // The window shows the whole table again from its first record, in the order in force.
    Data1.Refresh();
    recordTotal = rs().RecordCount();
    ShowStructureImage();
    ShowRecordNumber();
    if (!imported.ok()) {
        showProblem(QStringLiteral("Nothing was imported from %1; the database is as it was.\n\n%2")
                        .arg(shown(path), imported.message()),
                    kImportTitle);
        return;
    }
    ImportSummary summary;
    summary.fileName = path;
    summary.added = result.added;
    summary.seconds = result.seconds;
    const QString unit =
        format == CollectionFormat::Sd ? QStringLiteral("record") : QStringLiteral("line");
    for (const SkippedRecord& skipped : result.skipped)
        summary.skipped.append(
            QStringLiteral("%1 %2: %3").arg(unit).arg(skipped.number).arg(skipped.reason));
    const QList<SkippedRecord> skipped = result.skipped;
    showImportSummary(
        summary, [skipped](const QString& target) { return saveSkippedList(skipped, target); },
        this);
}

void Form1::mnuExport_Click()
{
    if (!TransferAllowed())
        return;
    transferDialog_.DialogTitle = kExportTitle;
    transferDialog_.Filter = QStringLiteral("CSV Files|*.csv|TSV Files|*.tsv|SD Files|*.sdf");
    transferDialog_.FilterIndex = 1;
    transferDialog_.FileName.clear();
    if (transferDialog_.InitDir.isEmpty())
        transferDialog_.InitDir = QDir::homePath();
    if (!transferDialog_.ShowSave())
        return;
    QString target = transferDialog_.FileName;
    transferDialog_.InitDir = QFileInfo(target).absolutePath();
    // A name typed without an ending gets the first filter's.
    if (QFileInfo(target).suffix().isEmpty())
        target += QStringLiteral(".csv");
    CollectionFormat format;
    if (!collectionFormatOf(target, format) || format == CollectionFormat::Smiles ||
        target.endsWith(QStringLiteral(".gz"), Qt::CaseInsensitive)) {
        showProblem(QStringLiteral("Flaskbook exports to CSV (.csv), TSV (.tsv) and SD (.sdf) "
                                   "files; please give %1 one of these endings.")
                        .arg(shown(target)),
                    kExportTitle);
        return;
    }
    // The file dialog does not ask before replacing a file.
    if (QFileInfo::exists(target) &&
        MsgBox(QStringLiteral("%1 already exists.\n\nReplace it with the exported records?")
                   .arg(shown(target)),
               vbYesNo | vbQuestion | vbDefaultButton2, kExportTitle) != vbYes)
        return;

    RecordOrder order = RecordOrder::Table;
    recordOrderOf(Data1.RecordSource(), order);
    JobProgress progress;
    progress.total = rs().RecordCount();
    long long written = 0;
    const Status exported = runWithProgress(
        QStringLiteral("Exporting to %1").arg(QFileInfo(target).fileName()), progress,
        [&] {
            return exportCollection(Data1.DatabaseName(), order, target, format, progress, written);
        },
        this);
    if (!exported.ok()) {
        showProblem(QStringLiteral("Nothing was exported to %1.\n\n%2")
                        .arg(shown(target), exported.message()),
                    kExportTitle);
        return;
    }
    MsgBox(QStringLiteral("%1 records exported to %2.").arg(count(written), shown(target)),
           vbOKOnly | vbInformation, kExportTitle);
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!draggedCollectionFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QString path = draggedCollectionFile(event->mimeData());
    // The picture box takes its own drops, a record's structure.
    const QPoint onForm = formArea_->mapFrom(this, event->position().toPoint());
    if (path.isEmpty() || ui->chemstrimagebox->geometry().contains(onForm))
        return;
    event->acceptProposedAction();
    // The import starts once the drop is over, so the program the file came from is not kept
    // waiting.
    QTimer::singleShot(0, this, [this, path] { ImportCollection(path); });
}
