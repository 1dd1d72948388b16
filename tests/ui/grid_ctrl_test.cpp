// The grid control with a parent that answers nothing (every parent of the plug-in) and with one
// that grants: sorting, editing, resizing, selection colours.

#include "tests/ui/window_support.h"
#include "ui/grid_ctrl.h"
#include "ui/grid_sort.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <gmock/gmock.h>

namespace sepmet::testing {
namespace {

using ::testing::ElementsAre;

struct Notice {
    int code;
    std::intptr_t first;
    std::intptr_t second;
};

// A parent page that records every notification and answers as told.
class RecordingParent final : public QWidget, public GridParent {
public:
    std::intptr_t OnGridNotify(CGridCtrl&, int code, std::intptr_t first,
                               std::intptr_t second) override {
        notices.push_back({code, first, second});
        auto it = answers.find(code);
        return it == answers.end() ? 0 : it->second;
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Notice& n : notices)
            codes.push_back(n.code);
        return codes;
    }
    int Count(int code) const {
        int count = 0;
        for (const Notice& n : notices)
            count += n.code == code ? 1 : 0;
        return count;
    }

    std::vector<Notice> notices;
    std::map<int, std::intptr_t> answers;
};

// Constructed before the fixture's widgets.
struct Application {
    Application() { EnsureApplication(); }
};

class GridTest : public ::testing::Test, private Application {
protected:
    GridTest() {
        page.resize(400, 300);
        grid = new CGridCtrl(&page);
        grid->setGeometry(0, 0, 400, 300);
        grid->AddColumn(0, 1040, Qt::AlignLeft, 40);   // "№"
        grid->AddColumn(1, 1041, Qt::AlignLeft, 120);  // "Компонент"
        grid->AddColumn(2, 1056, Qt::AlignRight, 100); // "Площадь пика"
        for (const char16_t* name : {u"ёж", u"Ель", u"азот", u"Ящик", u"Ёлка"})
            Row(name, u"");
        page.show();
        // Focus moves, which end an edit, happen only in the active window.
        QApplication::setActiveWindow(&page);
    }

    void Row(std::u16string_view name, std::u16string_view value) {
        const int row = grid->AppendRow();
        grid->SetRowNumber(row, row + 1);
        grid->SetText(row, 1, Q(name));
        grid->SetText(row, 2, Q(value));
    }
    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> names;
        for (int row = 0; row < grid->Model().rowCount(); ++row)
            names.push_back(grid->Text(row, 1).toStdU16String());
        return names;
    }
    QPoint CellCentre(int row, int column) const {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    void ClickHeader(int column) {
        QHeaderView* header = grid->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(x, header->height() / 2));
    }
    CGridCtrlEditCell* EditField() const {
        return grid->viewport()->findChild<CGridCtrlEditCell*>();
    }
    void DoubleClick(int row, int column) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          CellCentre(row, column));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                           CellCentre(row, column));
    }

    RecordingParent page;
    CGridCtrl* grid = nullptr;
};

TEST_F(GridTest, ParentThatAnswersNothingNeverSortsOrEdits) {
    page.answers.clear();
    const std::vector<std::u16string> before = Names();
    ClickHeader(1);
    EXPECT_EQ(Names(), before);
    EXPECT_FALSE(grid->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(grid->sortColumn(), 1);
    EXPECT_EQ(grid->sortKind(), 0);
    DoubleClick(2, 1);
    DoubleClick(2, 1);
    EXPECT_EQ(EditField(), nullptr);
    EXPECT_EQ(grid->EditCell(1, 1), nullptr);
    EXPECT_EQ(grid->EditCell(-1, 1), nullptr);
    EXPECT_THAT(grid->SelectedRows(), ElementsAre(2));
    EXPECT_GE(page.Count(GRIDN_BEGINEDIT), 1); // asked, refused
    EXPECT_GE(page.Count(GRIDN_ROWSELECTED), 1);

    // A grid whose parent is no GridParent at all answers 0 as well.
    QWidget plain;
    CGridCtrl orphan(&plain);
    orphan.AddColumn(0, 1040, Qt::AlignLeft, 40);
    orphan.SetRowNumber(orphan.AppendRow(), 1);
    EXPECT_EQ(orphan.Notify(GRIDN_SORT, 0, 1), 0);
    EXPECT_EQ(orphan.EditCell(0, 0), nullptr);
}

TEST_F(GridTest, TextSortFoldsCyrillicAndAlternatesDirection) {
    page.answers[GRIDN_SORT] = 1; // text
    ClickHeader(1);
    // Folded unit by unit: «Ё» and «ё» are one letter, which comes after «я».
    EXPECT_THAT(Names(), ElementsAre(u"азот", u"Ель", u"Ящик", u"ёж", u"Ёлка"));
    EXPECT_TRUE(grid->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeader(1);
    EXPECT_THAT(Names(), ElementsAre(u"Ёлка", u"ёж", u"Ящик", u"Ель", u"азот"));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickHeader(0);
    EXPECT_TRUE(grid->sortAscending());
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 0);
    ASSERT_FALSE(page.notices.empty());
    EXPECT_EQ(page.notices.back().code, GRIDN_SORT);
    EXPECT_EQ(page.notices.back().first, 0);
    EXPECT_EQ(page.notices.back().second, 1);
}

TEST(GridSort, NumbersReadWithTheDecimalCommaDatesInTheUserLocale) {
    // "0.5" reads as 0, "0,5" as one half, text as 0.
    EXPECT_TRUE(CellLess(GridSortKind::Number, u"0.5"_qs, u"0,5"_qs));
    EXPECT_FALSE(CellLess(GridSortKind::Number, u"0,5"_qs, u"0.5"_qs));
    EXPECT_TRUE(CellLess(GridSortKind::Number, u"-1"_qs, u"abc"_qs));
    EXPECT_TRUE(CellLess(GridSortKind::Number, u"2"_qs, u"10"_qs));
    EXPECT_FALSE(CellLess(GridSortKind::Number, u"10"_qs, u"2"_qs));
    const QString early =
        QLocale::system().toString(QDateTime(QDate(2024, 3, 5), QTime(9, 7)), QLocale::ShortFormat);
    const QString late = QLocale::system().toString(QDateTime(QDate(2024, 11, 5), QTime(9, 7)),
                                                    QLocale::ShortFormat);
    EXPECT_TRUE(CellLess(GridSortKind::Date, early, late));
    EXPECT_FALSE(CellLess(GridSortKind::Date, late, early));
    EXPECT_FALSE(CellLess(GridSortKind::Date, u"никогда"_qs, late));
    EXPECT_FALSE(CellLess(GridSortKind::Date, late, u"никогда"_qs));
    EXPECT_TRUE(CellLess(7, u"Ель"_qs, u"ёж"_qs));
    EXPECT_FALSE(CellLess(7, u"ЯЩИК"_qs, u"ящик"_qs));
    EXPECT_FALSE(CellLess(7, u"ящик"_qs, u"ЯЩИК"_qs));
}

TEST_F(GridTest, EditCellEnterEscapeAndTheParentsAnswer) {
    page.answers[GRIDN_BEGINEDIT] = 1;
    auto edit = [&](int row, const QString& typed, Qt::Key end) {
        CGridCtrlEditCell* field = grid->EditCell(row, 2);
        EXPECT_NE(field, nullptr);
        if (!field)
            return;
        EXPECT_EQ(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        EXPECT_TRUE(field->hasSelectedText() || field->text().isEmpty());
        if (!typed.isNull()) {
            field->selectAll();
            QTest::keyClicks(field, typed);
        }
        QTest::keyClick(field, end);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    grid->SetText(0, 2, QStringLiteral("1,5"));

    edit(0, QStringLiteral("7"), Qt::Key_Escape);
    EXPECT_EQ(grid->Text(0, 2), QStringLiteral("1,5"));
    edit(0, QString(), Qt::Key_Return); // unchanged
    EXPECT_EQ(page.Count(GRIDN_CELLCHANGED), 0);

    edit(0, QStringLiteral("2,5"), Qt::Key_Return); // refused: the old text comes back
    EXPECT_EQ(page.Count(GRIDN_CELLCHANGED), 1);
    EXPECT_EQ(grid->Text(0, 2), QStringLiteral("1,5"));

    page.answers[GRIDN_CELLCHANGED] = 1;
    edit(0, QStringLiteral("3,25"), Qt::Key_Enter);
    EXPECT_EQ(grid->Text(0, 2), QStringLiteral("3,25"));
    EXPECT_EQ(EditField(), nullptr);

    // A double click on the focused row opens the field over the clicked cell.
    DoubleClick(1, 2);
    DoubleClick(1, 2);
    ASSERT_NE(EditField(), nullptr);
    EXPECT_EQ(EditField()->item(), 1);
    EXPECT_EQ(EditField()->subItem(), 2);
}

TEST_F(GridTest, ColumnBordersResizeExceptAtWidthZeroAndTheParentMayRefuse) {
    QHeaderView* header = grid->horizontalHeader();
    auto drag = [&](int column, int by) {
        const int edge = header->sectionViewportPosition(column) + header->sectionSize(column);
        const QPoint from(edge - 1, header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(by, 0)),
                         header->viewport()->mapToGlobal(QPointF(from + QPoint(by, 0))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                            from + QPoint(by, 0));
    };
    const int wider = grid->columnWidth(1) + 30;
    drag(1, 30);
    EXPECT_EQ(grid->columnWidth(1), wider);
    EXPECT_EQ(page.Count(GRIDN_BEGINRESIZE), 1);
    ASSERT_EQ(page.Count(GRIDN_ENDRESIZE), 1);
    EXPECT_EQ(page.notices.back().second, wider);

    page.answers[GRIDN_ENDRESIZE] = 1;
    drag(1, 30);
    EXPECT_EQ(grid->columnWidth(1), wider);

    page.answers[GRIDN_BEGINRESIZE] = 1;
    drag(1, 30);
    EXPECT_EQ(grid->columnWidth(1), wider);

    page.answers.clear();
    page.notices.clear();
    grid->setColumnWidth(0, 0);
    drag(0, 30);
    EXPECT_EQ(grid->columnWidth(0), 0);
    EXPECT_EQ(page.Count(GRIDN_BEGINRESIZE), 0);
}

TEST_F(GridTest, ColumnMovesAskTheParentWhereMovesAreAllowed) {
    QHeaderView* header = grid->horizontalHeader();
    EXPECT_FALSE(header->sectionsMovable());
    grid->SetColumnsMovable(true);
    header->moveSection(2, 0); // the drag's end
    EXPECT_EQ(header->logicalIndex(0), 2);
    ASSERT_EQ(page.Count(GRIDN_COLUMNMOVED), 1);
    EXPECT_EQ(page.notices.back().first, 2);
    EXPECT_EQ(page.notices.back().second, 0);
    page.answers[GRIDN_COLUMNMOVED] = 1; // refused: the column goes back
    header->moveSection(1, 2);
    EXPECT_EQ(page.Count(GRIDN_COLUMNMOVED), 2);
    EXPECT_EQ(header->logicalIndex(0), 2);
    EXPECT_EQ(header->logicalIndex(1), 0);
    EXPECT_EQ(header->logicalIndex(2), 1);
}

TEST_F(GridTest, SelectionKeepsTheHighlightWithoutFocusAndTheFillColumnTakesTheRest) {
    const QPalette colours = grid->palette();
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::Highlight),
              colours.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::HighlightedText),
              colours.color(QPalette::Active, QPalette::HighlightedText));

    RowData& data = grid->Data(0);
    EXPECT_EQ(data.textColor, kDefaultRowColor);
    EXPECT_EQ(data.backColor, kDefaultRowColor);
    EXPECT_EQ(data.userData, 0);

    grid->SetFillColumn(1);
    grid->FitFillColumn();
    EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2),
              grid->width() - 7);
    grid->SetFillColumn(9); // no such column: nothing happens
    grid->FitFillColumn();

    grid->ClearRows();
    EXPECT_EQ(grid->Model().rowCount(), 0);
    EXPECT_EQ(grid->AppendRow(), 0);
}

} // namespace
} // namespace sepmet::testing
