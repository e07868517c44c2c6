#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QComboBox;

// One record field the mapping dialog offers: its column and the caption the form gives it.
struct MappedField {
    QString column;
    QString caption;
};

// What the import mapping dialog shows, and the mapping the user chose.
struct ImportMappingChoice {
    QString fileName;
    QList<MappedField> fields;
    // The file's items in file order, and its first records with one value per item.
    QStringList items;
    QList<QStringList> preview;
    // The molecule of each record shown, as the preview's first column; empty for a file
    // whose records carry none of their own.
    QStringList previewStructures;
    // Item for each column: on the way in the proposed mapping, on the way out the chosen one.
    // Columns the dialog does not offer keep what they had.
    QHash<QString, QString> itemForColumn;
};

// Each record field with a combo box of the file's items ("(none)" first), the file's first
// records below them, OK and Cancel.
class ImportMappingDialog : public QDialog {
    Q_OBJECT

public:
    ImportMappingDialog(const ImportMappingChoice& choice, QWidget* parent = nullptr);
    // The proposed mapping with the combo boxes' choices written over it.
    QHash<QString, QString> chosenMapping() const;

private:
    ImportMappingChoice choice_;
    QList<QComboBox*> boxes_; // one per field, in field order
};

// Shows the dialog and takes the user's mapping into `choice`; false when cancelled.
bool askImportMapping(ImportMappingChoice& choice, QWidget* parent);

// For tests: while one exists, askImportMapping shows nothing. It records what would have been
// shown and answers from the queue (accepting the proposed mapping, with any changes
// queued, or cancelling); with the queue empty it cancels.
class ScriptedImportMapping {
public:
    ScriptedImportMapping();
    ~ScriptedImportMapping();
    ScriptedImportMapping(const ScriptedImportMapping&) = delete;
    ScriptedImportMapping& operator=(const ScriptedImportMapping&) = delete;

    void queueAccept(const QHash<QString, QString>& changes = {})
    {
        answers_.append(Answer{true, changes});
    }
    void queueCancel() { answers_.append(Answer{false, {}}); }
    const QList<ImportMappingChoice>& shown() const { return shown_; }

private:
    friend bool askImportMapping(ImportMappingChoice&, QWidget*);
    struct Answer {
        bool accept;
        QHash<QString, QString> changes;
    };
    bool answer(ImportMappingChoice& choice);

    QList<Answer> answers_;
    QList<ImportMappingChoice> shown_;
};
