#pragma once

#include <QWidget>

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

// The record list: a filter box with its mode (a text, a substructure or an exact
// structure), the number of records listed, and a table of the records the model gives.
// Choosing a row, by mouse or by keyboard, is passed on; the window knows no records.
class RecordList : public QWidget {
    Q_OBJECT

public:
    enum Mode { TextMode, SubstructureMode, ExactStructureMode };

    explicit RecordList(QAbstractItemModel* model, QWidget* parent = nullptr);

    QLineEdit* filterBox() const { return filter_; }
    QComboBox* modeSwitch() const { return mode_; }
    QTableView* table() const { return table_; }
    QLabel* countLabel() const { return count_; }
    QLabel* problemLabel() const { return problem_; }

    void setCountText(const QString& text);
    // Why the filter lists nothing; an empty text hides the notice.
    void setProblem(const QString& text);

signals:
    void filterChanged(const QString& text, int mode);
    // The user chose this row (selected it, or pressed Enter on it).
    void rowChosen(int row);
    void shownChanged(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void emitFilter();

    QLineEdit* filter_;
    QComboBox* mode_;
    QLabel* count_;
    QLabel* problem_;
    QTableView* table_;
};
