#pragma once
// The four result pages of the main window. Each is a child page holding one control laid out
// from its template; the pages compute nothing, they show what the main window hands them.

#include "calc/result_pages.h"
#include "ui/grid_ctrl.h"

#include <QListView>
#include <QStringListModel>
#include <QWidget>

namespace sepmet {

struct DialogTemplate;

// A page built from its template: the control keeps its top-left corner and its margins to the
// page's right and bottom edges.
class ResultPage : public QWidget {
    Q_OBJECT
public:
    ResultPage(const DialogTemplate& pageTemplate, int controlId, QWidget* parent);

protected:
    void Place(QWidget* control);
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect controlRect_; // pixels, in the template's page size
    QSize templateSize_;
    QWidget* control_ = nullptr;
};

// A page with one grid that shows rows of cell texts.
class GridPage : public ResultPage {
    Q_OBJECT
public:
    GridPage(const DialogTemplate& pageTemplate, int controlId, QWidget* parent);
    CGridCtrl& Grid() { return grid_; }

    // What a recalculation does to the page. Rows it keeps from an earlier recalculation draw
    // in grey with a tooltip saying so; their texts stay as they were.
    void Apply(const PageUpdate& update);
    void SetRows(const PageRows& rows);

private:
    CGridCtrl grid_;
};

// "Инф. с хром.": the peaks of the chromatogram clicked in the list.
class ComponentsTab final : public GridPage {
    Q_OBJECT
public:
    explicit ComponentsTab(QWidget* parent = nullptr);

    // The peak rows of the chromatogram clicked.
    void Show(const PageRows& rows) { SetRows(rows); }
    // Empties the grid (chromatograms were removed).
    void Detach();
};

// "Градуировка": the calibration coefficient.
class GradTab final : public GridPage {
    Q_OBJECT
public:
    explicit GradTab(QWidget* parent = nullptr);
};

// "Расчет": the methanol content of the gas.
class CalcTab final : public GridPage {
    Q_OBJECT
public:
    explicit CalcTab(QWidget* parent = nullptr);
};

// "Сист. сообщения": the message log and its lines, one per row, not selectable.
class MessageTab final : public ResultPage {
    Q_OBJECT
public:
    explicit MessageTab(QWidget* parent = nullptr);

    QListView& List() { return list_; }
    void ShowLines(const std::vector<std::u16string>& lines);

private:
    QStringListModel lines_;
    QListView list_;
};

} // namespace sepmet
