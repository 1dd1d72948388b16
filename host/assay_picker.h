#pragma once
// The chromatogram picker behind "Main/OpenAssayIdDlgEx": the assay table with a filter field;
// several rows may be chosen, up to the caller's capacity.

#include <QDialog>
#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace sepmet::host {

class AssayTableModel;

class AssayPicker : public QDialog {
    Q_OBJECT

public:
    // Opens its own read-only connection on `databasePath`.
    AssayPicker(const QString& databasePath, int capacity, QWidget* parent = nullptr);

    AssayTableModel& model() { return *model_; }
    QTableView& table() { return *table_; }
    QLineEdit& filterField() { return *filter_; }
    QPushButton& okButton() { return *ok_; }
    const QLabel& notice() const { return *notice_; }

    // The identifiers of the selected rows in table order.
    std::vector<std::int32_t> ChosenIds() const;

private:
    void UpdateSelectionState();

    int capacity_;
    AssayTableModel* model_;
    QLineEdit* filter_;
    QTableView* table_;
    QLabel* notice_;
    QPushButton* ok_;
};

// The picker service: shows the picker modally over `parent`, writes the chosen identifiers
// into `ids` (at most `capacity`) and answers how many; 0 on Cancel.
int RunAssayPicker(const QString& databasePath, std::int32_t* ids, int capacity, QWidget* parent);

} // namespace sepmet::host
