#pragma once

#include <QList>
#include <QString>

#include <memory>

class QPrinter;

// The window's common dialog: file open, file save and print. Its settings stay
// between uses, as the window relies on. A cancelled file dialog empties FileName.
class CommonDialog {
public:
    CommonDialog();
    ~CommonDialog();

    QString InitDir;
    // Pairs of description and patterns: "GIF Images|*.GIF" or "Text Files|*.txt|Word Files|*.doc".
    QString Filter;
    int FilterIndex = 1;
    QString DialogTitle;
    QString FileName;

    // Each returns true when the user accepted the dialog.
    bool ShowOpen();
    bool ShowSave();
    bool ShowPrinter();
    // The printer chosen by the last accepted print dialog.
    QPrinter* printer();

    enum class Kind { Open, Save, Print };
    struct Shown {
        Kind kind;
        QString initDir;
        QString filter;
        int filterIndex;
        QString title;
    };

private:
    bool showFileDialog(Kind kind);

    std::unique_ptr<QPrinter> printer_;
};

// For tests: while one exists, the common dialogs show nothing. Each use records
// what would have been shown and takes the next scripted result; with none left
// the dialog counts as cancelled.
class ScriptedCommonDialogs {
public:
    ScriptedCommonDialogs();
    ~ScriptedCommonDialogs();
    ScriptedCommonDialogs(const ScriptedCommonDialogs&) = delete;
    ScriptedCommonDialogs& operator=(const ScriptedCommonDialogs&) = delete;

    void queueAccept(const QString& fileName = QString()) { results_.append({true, fileName}); }
    void queueCancel() { results_.append({false, QString()}); }
    const QList<CommonDialog::Shown>& shown() const { return shown_; }

private:
    friend class CommonDialog;
    struct Result {
        bool accepted;
        QString fileName;
    };
    Result take(const CommonDialog::Shown& shown);

    QList<Result> results_;
    QList<CommonDialog::Shown> shown_;
};

// The dialog's filter as Qt writes it: "GIF Images (*.GIF *.gif)". Each pattern also
// matches the other letter case, as file names on Windows did.
QStringList qtNameFilters(const QString& filter);
