#pragma once
// The look shared by the host's chromatogram table and the picker: whole rows selected, nothing
// edited, one line per row, texts elided in the middle, and columns as wide as their usual contents
// in the view's font (the date and time whole), the sample taking what is left.

class QTableView;

namespace sepmet::host {

class AssayTableModel;

// Sets `model` on `view` and lays the view out.
void SetUpAssayTableView(QTableView& view, AssayTableModel& model);

} // namespace sepmet::host
