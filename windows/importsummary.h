#pragma once

#include "core/status.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;

// The end of an import: how many records were added and which were skipped, and why.
struct ImportSummary {
    QString fileName;
    long long added = 0;
    double seconds = 0;
    QStringList skipped; // one "record N: reason" line each
};

// Saves the skipped list to the file the user chose.
using SaveSkippedList = std::function<Status(const QString& path)>;

// The added and skipped counts, the skipped list, "Save list..." and Close.
class ImportSummaryDialog : public QDialog {
    Q_OBJECT

public:
    ImportSummaryDialog(const ImportSummary& summary, SaveSkippedList saveList,
                        QWidget* parent = nullptr);

    // Asks for a file name and saves the skipped list there.
    void saveListClicked();

private:
    SaveSkippedList saveList_;
    QLabel* saved_;
};

void showImportSummary(const ImportSummary& summary, const SaveSkippedList& saveList,
                       QWidget* parent);

// For tests: while one exists, showImportSummary shows nothing and records each summary.
class ScriptedImportSummaries {
public:
    ScriptedImportSummaries();
    ~ScriptedImportSummaries();
    ScriptedImportSummaries(const ScriptedImportSummaries&) = delete;
    ScriptedImportSummaries& operator=(const ScriptedImportSummaries&) = delete;

    const QList<ImportSummary>& shown() const { return shown_; }

private:
    friend void showImportSummary(const ImportSummary&, const SaveSkippedList&, QWidget*);
    QList<ImportSummary> shown_;
};
