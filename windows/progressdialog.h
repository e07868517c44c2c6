#pragma once

#include "core/jobprogress.h"
#include "core/status.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// What a job counts as it goes: records, or the bytes of a file it reads through.
enum class ProgressUnit { Records, Bytes };

// How far a job has come, in words: "1,200 of 5,000 records", "400 records a second",
// "About 10 seconds left" (empty while the total or the rate is unknown).
struct ProgressText {
    QString done;
    QString rate;
    QString timeLeft;
};
ProgressText describeProgress(long long done, long long total, double seconds,
                              ProgressUnit unit = ProgressUnit::Records);

// Shows a job on another thread: records done, records per second, time left, and Cancel,
// which asks the job to stop and waits for it. Ends by itself once `finished` is set.
class ProgressDialog : public QDialog {
    Q_OBJECT

public:
    ProgressDialog(const QString& title, JobProgress& progress, const std::atomic<bool>& finished,
                   ProgressUnit unit, QWidget* parent = nullptr);

    // Escape and the close box cancel too; the dialog stays until the job has stopped.
    void reject() override;

private:
    void poll();

    JobProgress& progress_;
    const std::atomic<bool>& finished_;
    ProgressUnit unit_;
    QElapsedTimer clock_;
    QLabel* doneLabel_;
    QLabel* rateLabel_;
    QLabel* timeLeftLabel_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

// Runs `job` on a worker thread and returns its status once it has ended. The modal progress
// dialog keeps the window painting but takes its input; a job done within a moment shows none.
Status runWithProgress(const QString& title, JobProgress& progress,
                       const std::function<Status()>& job, QWidget* parent,
                       ProgressUnit unit = ProgressUnit::Records);
