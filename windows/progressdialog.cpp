#include "windows/progressdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>
#include <system_error>
#include <thread>

namespace {

constexpr int kPollMs = 100;
// A job that ends within this shows no dialog, so a small file does not flash one.
constexpr int kQuietMs = 300;

QString count(long long n)
{
    return QLocale(QLocale::English).toString(n);
}

QString duration(double seconds)
{
    const long long s = std::llround(seconds);
    if (s < 60)
        return QStringLiteral("%1 second%2").arg(s).arg(s == 1 ? "" : "s");
    if (s < 3600)
        return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1 h %2 min").arg(s / 3600).arg(s / 60 % 60);
}

} // namespace

ProgressText describeProgress(long long done, long long total, double seconds, ProgressUnit unit)
{
    const bool bytes = unit == ProgressUnit::Bytes;
    const auto amount = [bytes](double n) {
        return bytes ? QStringLiteral("%1 MB").arg(n / 1e6, 0, 'f', 1)
                     : QStringLiteral("%1 records").arg(count(std::llround(n)));
    };
    ProgressText text;
    if (total <= 0)
        text.done = amount(done);
    else if (bytes)
        text.done = QStringLiteral("%1 of %2 read").arg(amount(done), amount(total));
    else
        text.done = QStringLiteral("%1 of %2").arg(count(done), amount(total));
    if (seconds <= 0 || done <= 0)
        return text;
    const double rate = done / seconds;
    text.rate = QStringLiteral("%1 a second").arg(amount(rate));
    if (total > done)
        text.timeLeft = QStringLiteral("About %1 left").arg(duration((total - done) / rate));
    return text;
}

ProgressDialog::ProgressDialog(const QString& title, JobProgress& progress,
                               const std::atomic<bool>& finished, ProgressUnit unit,
                               QWidget* parent)
    : QDialog(parent), progress_(progress), finished_(finished), unit_(unit)
{
    setWindowTitle(title);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    bar_ = new QProgressBar(this);
    bar_->setAccessibleName(title);
    layout->addWidget(bar_);
    for (QLabel** label : {&doneLabel_, &rateLabel_, &timeLeftLabel_}) {
        *label = new QLabel(this);
        layout->addWidget(*label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::rejected, this, &ProgressDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(360);

    clock_.start();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &ProgressDialog::poll);
    timer->start(kPollMs);
    poll();
}

void ProgressDialog::poll()
{
    if (finished_) {
        accept();
        return;
    }
    const long long done = progress_.done, total = progress_.total;
    const ProgressText text = describeProgress(done, total, clock_.elapsed() / 1000.0, unit_);
    doneLabel_->setText(text.done);
    rateLabel_->setText(text.rate);
    timeLeftLabel_->setText(text.timeLeft);
    if (total > 0) {
        // Scaled to thousandths: a progress bar counts in int.
        bar_->setRange(0, 1000);
        bar_->setValue(int(std::min(done, total) * 1000 / total));
    } else {
        bar_->setRange(0, 0);
    }
}

void ProgressDialog::reject()
{
    progress_.cancelRequested = true;
    cancel_->setEnabled(false);
    cancel_->setText(QStringLiteral("Stopping..."));
}

Status runWithProgress(const QString& title, JobProgress& progress,
                       const std::function<Status()>& job, QWidget* parent, ProgressUnit unit)
{
    std::atomic<bool> finished{false};
    Status status;
    std::thread worker;
    try {
        worker = std::thread([&] {
            status = job();
            finished = true;
        });
    } catch (const std::system_error& e) {
        return Status::failure(QStringLiteral("No thread could be started for the job: %1")
                                   .arg(QString::fromLocal8Bit(e.what())));
    }
    for (int waited = 0; waited < kQuietMs && !finished; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!finished) {
        ProgressDialog dialog(title, progress, finished, unit, parent);
        dialog.exec();
    }
    worker.join();
    return status;
}
