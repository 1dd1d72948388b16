// The chromatogram picker: the filter over sample, file name and mixture with the Unicode LIKE
// (case and "ё" ignored, "%" and "_" literal), lazy reading, the capacity limit and the answer.
#include "host/assay_picker.h"
#include "host/assay_table_model.h"
#include "tests/host/host_test_support.h"
#include "tests/support/fixture_database.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace sepmet::host::testing {
namespace {

using sepmet::test::FixtureAssay;
using sepmet::test::FixtureDatabase;

FixtureAssay Assay(std::int32_t id, std::u16string sample, std::u16string filename,
                   std::u16string mixture) {
    FixtureAssay assay(id, std::move(sample));
    assay.filename = std::move(filename);
    assay.mixture = std::move(mixture);
    assay.method = u"Метанол, ПИД";
    assay.date = 1710224100 + id * 1500;
    return assay;
}

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application();
        database
            .Add(Assay(1, u"Раствор град. 5 мг/дм3 №1", u"D:\\Chrom\\grad_01.chr",
                       u"МЕТАНОЛ В ВОДЕ"))
            .Add(Assay(2, u"Ёлка", u"D:\\Chrom\\x_02.chr", u"Поглотительный раствор"))
            .Add(Assay(3, u"Раствор 10% метанола", u"D:\\Chrom\\p10.chr", u""))
            .Add(Assay(4, u"Раствор 100 метанола", u"D:\\Chrom\\p100.chr", u""))
            .Add(Assay(5, u"abc", u"D:\\Chrom\\a_c.chr", u"смесь"))
            .Add(Assay(6, u"ac", u"D:\\Chrom\\abc.chr", u"елочная смесь"));
        database.Execute("INSERT INTO assay(id) VALUES(7)"); // every text NULL
    }

    std::vector<std::int64_t> Filtered(const QString& text) {
        AssayTableModel model;
        EXPECT_TRUE(model.OpenDatabase(QString::fromStdString(database.Path())));
        model.SetFilter(text);
        std::vector<std::int64_t> ids;
        for (int row = 0; row < model.rowCount(); ++row)
            ids.push_back(model.IdAt(row));
        return ids;
    }

    FixtureDatabase database;
};

TEST_F(PickerTest, FilterFindsTheTextInSampleFileNameOrMixtureAsALiteralSubstring) {
    using Ids = std::vector<std::int64_t>;
    const struct {
        const char16_t* filter;
        Ids ids;
    } cases[] = {
        {u"", {1, 2, 3, 4, 5, 6, 7}},
        {u"метанол в", {1}},     // upper-case mixture, lower-case filter
        {u"метанол", {1, 3, 4}}, // mixture of 1, sample of 3 and 4
        {u"елка", {2}},          // "Ёлка": "ё" and "е" are one letter
        {u"ЁЛОЧ", {6}},          // and the other way round, in the mixture
        {u"10%", {3}},           // "%" is itself, not "any text": 100 is not found
        {u"a_c", {5}},           // "_" is itself: the file name of 5, not "abc"
        {u"\\grad", {1}},        // the backslash of a file name is itself too
        {u"%", {3}},
        {u"нет такого", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Filtered(QString::fromUtf16(c.filter)), c.ids)
            << QString::fromUtf16(c.filter).toStdString();
    EXPECT_EQ(LiteralSubstringPattern(QStringLiteral("1%_\\")), QStringLiteral("%1\\%\\_\\\\%"));
}

TEST_F(PickerTest, ReadsPageByPageAndFiltersEveryRowOfTheDatabase) {
    database.Execute("WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n"
                     " WHERE i < 1099) INSERT INTO assay(id, sample) SELECT i, 'проба ' || i"
                     " FROM n");
    database.Execute("INSERT INTO assay(id, sample) VALUES(5000, 'ПОСЛЕДНЯЯ')");
    AssayTableModel model;
    ASSERT_TRUE(model.OpenDatabase(QString::fromStdString(database.Path())));
    EXPECT_EQ(model.TotalCount(), 1008);
    EXPECT_EQ(model.rowCount(), AssayTableModel::kPageRows);
    ASSERT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 2 * AssayTableModel::kPageRows);
    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 1008);
    EXPECT_EQ(model.IdAt(1007), 5000);
    model.SetFilter(QStringLiteral("последняя"));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.IdAt(0), 5000);
    EXPECT_FALSE(model.canFetchMore({}));
}

TEST_F(PickerTest, OkIsRefusedAboveTheCapacityAndWritesTheChosenIdsInTableOrder) {
    std::vector<std::int32_t> ids(4, 0);
    int answer = -1;
    bool sawRefusal = false;
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<AssayPicker*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        TypeText(picker->filterField(), QStringLiteral("раствор"));
        ASSERT_EQ(picker->model().rowCount(), 4); // 1, 3 and 4 by sample; 2 by mixture
        QItemSelectionModel& selection = *picker->table().selectionModel();
        for (int row : {3, 0, 1})
            selection.select(picker->model().index(row, 0),
                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
        sawRefusal = !picker->okButton().isEnabled() &&
                     picker->notice().text().contains(QStringLiteral("не более 2"));
        SaveScreenshot(*picker, QStringLiteral("host-picker-capacity"));
        selection.select(picker->model().index(1, 0),
                         QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        ASSERT_TRUE(picker->okButton().isEnabled());
        QTest::mouseClick(&picker->okButton(), Qt::LeftButton);
    });
    answer = RunAssayPicker(QString::fromStdString(database.Path()), ids.data(), 2, nullptr);
    EXPECT_TRUE(sawRefusal);
    EXPECT_EQ(answer, 2);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 4, 0, 0})); // rows 0 and 3, in table order
}

TEST_F(PickerTest, CancelAnswersZeroAndWritesNothing) {
    std::vector<std::int32_t> ids(3, 0);
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<AssayPicker*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        picker->table().selectAll();
        picker->reject();
    });
    EXPECT_EQ(RunAssayPicker(QString::fromStdString(database.Path()), ids.data(), 3, nullptr), 0);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{0, 0, 0}));
}

TEST_F(PickerTest, ChoiceOutlivesTheFilterAndCtrlAChoosesEveryMatchingRow) {
    database.Execute("WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n"
                     " WHERE i < 5093) INSERT INTO assay(id, sample, filename) SELECT i,"
                     " 'проба ' || i, 'D:\\Хроматограммы\\2024\\март\\серия_' || i || '.chr'"
                     " FROM n");
    AssayPicker picker(QString::fromStdString(database.Path()), 256);
    picker.show();
    EXPECT_EQ(picker.table().textElideMode(), Qt::ElideMiddle); // path and file name kept
    EXPECT_EQ(picker.found().text(), QStringLiteral("Найдено: 5001"));

    // The operator finds 1 by its filter, chooses it, finds 5 by another and adds it.
    TypeText(picker.filterField(), QStringLiteral("град"));
    EXPECT_EQ(picker.found().text(), QStringLiteral("Найдено: 1"));
    QTest::mouseClick(picker.table().viewport(), Qt::LeftButton, Qt::NoModifier,
                      picker.table().visualRect(picker.model().index(0, 1)).center());
    picker.filterField().clear();
    TypeText(picker.filterField(), QStringLiteral("abc"));
    EXPECT_EQ(picker.found().text(), QStringLiteral("Найдено: 2"));
    QTest::mouseClick(picker.table().viewport(), Qt::LeftButton, Qt::ControlModifier,
                      picker.table().visualRect(picker.model().index(0, 1)).center());
    EXPECT_EQ(picker.ChosenIds(), (std::vector<std::int32_t>{1, 5}));
    picker.filterField().clear(); // both show selected in the whole table
    EXPECT_EQ(picker.table().selectionModel()->selectedRows().size(), 2);
    EXPECT_TRUE(picker.okButton().isEnabled());

    // Ctrl+A: every row the filter keeps, not only the page loaded; beyond the capacity, the
    // notice refuses OK.
    TypeText(picker.filterField(), QStringLiteral("проба"));
    picker.table().setFocus();
    QTest::keyClick(&picker.table(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(picker.ChosenIds().size(), 4996u); // 4994 "проба" rows, and 1 and 5 kept
    EXPECT_FALSE(picker.okButton().isEnabled());
    EXPECT_TRUE(picker.notice().text().contains(QStringLiteral("Выбрано 4996")));
    SaveScreenshot(picker, QStringLiteral("host-picker-select-all"));
    // A narrower filter and the operator's own choice: one row, OK again.
    TypeText(picker.filterField(), QStringLiteral(" 5093"));
    EXPECT_EQ(picker.found().text(), QStringLiteral("Найдено: 1"));
    // A plain click starts the choice afresh, also for the rows the filter hides.
    QTest::mouseClick(picker.table().viewport(), Qt::LeftButton, Qt::NoModifier,
                      picker.table().visualRect(picker.model().index(0, 1)).center());
    EXPECT_EQ(picker.ChosenIds(), (std::vector<std::int32_t>{5093}));
    EXPECT_TRUE(picker.okButton().isEnabled());
}

} // namespace
} // namespace sepmet::host::testing
