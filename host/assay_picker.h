#pragma once
// The chromatogram picker behind "Main/OpenAssayIdDlgEx": the assay table with a filter field;
// several rows may be chosen, up to the caller's capacity. The choice is a set of chromatograms:
// it stays while the filter changes (rows the filter hides stay chosen and show selected again
// when it shows them), and Ctrl+A in the table chooses every row the filter keeps, loaded or not.

#include <QDialog>
#include <cstdint>
#include <set>
#include <vector>

class QItemSelection;
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
    // "Найдено: N": the rows the filter keeps.
    const QLabel& found() const { return *found_; }

    // The identifiers of the chosen chromatograms in table (id) order.
    std::vector<std::int32_t> ChosenIds() const;
    // Ctrl+A in the table: every row the filter keeps.
    void ChooseAllMatching();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateSelectionState();
    // A choice started afresh: the rows the filter hides leave it.
    void DropHiddenChoice();
    // The table's selection follows the choice for rows `first`..`last` (after a reset or a page).
    void SelectChosen(int first, int last);
    void TakeSelection(const QItemSelection& selected, const QItemSelection& deselected);

    int capacity_;
    AssayTableModel* model_;
    QLineEdit* filter_;
    QTableView* table_;
    QLabel* notice_;
    QLabel* found_;
    QPushButton* ok_;
    std::set<std::int64_t> chosen_;
    bool showingChoice_ = false; // the table is being set from the choice, not by the operator
};

// The picker service: shows the picker modally over `parent`, writes the chosen identifiers
// into `ids` (at most `capacity`) and answers how many; 0 on Cancel.
int RunAssayPicker(const QString& databasePath, std::int32_t* ids, int capacity, QWidget* parent);

} // namespace sepmet::host
