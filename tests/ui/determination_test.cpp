// A whole determination through the window: the demo chromatograms added with "+", the pages
// compared with what sepmet-batch prints for the same commands, the report, and the screenshots.

#include "data/connection.h"
#include "platform/utf.h"
#include "report/report_generator.h"
#include "resources/dialog_templates.h"
#include "tests/support/temporary_folder.h"
#include "tests/ui/window_support.h"
#include "ui/dialog_units.h"
#include "ui/grid_ctrl.h"
#include "ui/result_tabs.h"

#include <QAbstractButton>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <sqlite3.h>

namespace sepmet::testing {
namespace {

namespace fs = std::filesystem;

class DeterminationTest : public MainWindowTest {
protected:
    DeterminationTest() { DataBase::GetConnection().SetUri(FromUtf8(demo.Path()).c_str()); }

    void AddDemoDetermination() { Add(DemoDeterminationIds()); }

    std::string PagesText(DlgMain& window) {
        return BatchPagesText(ModelText(*window.GradPage().Grid().model(), true),
                              ModelText(*window.CalcPage().Grid().model(), true),
                              ModelText(*window.MessagePage().List().model(), false));
    }

    DemoDatabase demo;
};

TEST_F(DeterminationTest, PagesShowWhatTheBatchProgramPrints) {
    DlgMain& window = OpenWindow();
    SetDemoConditions();
    AddDemoDetermination();
    const std::string batch =
        RunBatch("--db " + demo.Path() + " " + kDemoConditions + " --add 1-12");
    ASSERT_THAT(batch, ::testing::HasSubstr("1\tМетанол\t0,0493\n"));
    EXPECT_EQ(PagesText(window), batch);
    EXPECT_EQ(window.AssayList().model()->rowCount(), 12);
}

TEST_F(DeterminationTest, EveryCaseOfTheDemoMatchesTheBatchProgram) {
    for (const DemoSequence& sequence : DemoSequences()) {
        SCOPED_TRACE(sequence.what);
        ProcessCalculationState() = CalculationState{};
        host.profile().clear(); // else the window restores the previous case's chromatograms
        DlgMain& window = OpenWindow();
        SetDemoConditions();
        for (const auto& ids : sequence.adds)
            Add(ids);
        if (sequence.reload)
            Click(QStringLiteral("Пересчитать"));
        EXPECT_EQ(PagesText(window), RunBatch("--db " + demo.Path() + " " + kDemoConditions + " " +
                                              sequence.batchCommands));
        window.reject();
    }
}

TEST_F(DeterminationTest, ReloadNamesTheChromatogramsDeletedFromTheDatabase) {
    DlgMain& window = OpenWindow();
    SetDemoConditions();
    AddDemoDetermination();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(demo.Path().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "DELETE FROM peak WHERE assayid = 12; DELETE FROM assay WHERE id = 12",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    Click(QStringLiteral("Пересчитать"));
    EXPECT_EQ(window.AssayList().model()->rowCount(), 11);
    const std::string messages = ModelText(*window.MessagePage().List().model(), false);
    EXPECT_THAT(messages, ::testing::HasSubstr(
                              "Предупреждения!\n     - Хроматограммы удалены из базы и убраны из "
                              "списка: № 12 ("));
    EXPECT_TRUE(boxes.shown.empty()); // a line in the messages, never a box
    window.Tabs().setCurrentIndex(3);
    SaveScreenshot(window, "main-window-reload-dropped");

    // Said once: the next command no longer says it.
    Click(QStringLiteral("Пересчитать"));
    EXPECT_THAT(ModelText(*window.MessagePage().List().model(), false),
                ::testing::Not(::testing::HasSubstr("удалены из базы")));
}

TEST_F(DeterminationTest, ScreenshotsOfTheWindowAndEachPage) {
    DlgMain& window = OpenWindow();
    SetDemoConditions();
    AddDemoDetermination();
    ClickListRow(10);
    SelectRows({10});
    ASSERT_GT(window.ComponentsPage().Grid().model()->rowCount(), 0);
    // The offscreen screen is 800 x 600, which holds the window at its minimum size; on a
    // desktop it first opens at its template size, as shown here.
    const DialogTemplate& tmpl = MainDialogTemplate();
    window.resize(ApplicationDialogUnits().ToPixels(QSize(tmpl.width, tmpl.height)));
    SaveScreenshot(window, "main-window");
    const char* pages[] = {"components", "calibration", "calculation", "messages"};
    for (int page = 0; page < 4; ++page) {
        window.Tabs().setCurrentIndex(page);
        SaveScreenshot(window, std::string("main-window-") + pages[page]);
    }
    window.resize(1200, 700);
    window.Tabs().setCurrentIndex(0);
    SaveScreenshot(window, "main-window-large");
}

TEST_F(DeterminationTest, ResultNotObtainedShowsDashesAndAThirdMeasurementSurvivesReopening) {
    DlgMain& window = OpenWindow();
    SetDemoConditions();
    Add(IdRange(1, 10));
    Add({16, 17});
    const QAbstractItemModel& calc = *window.CalcPage().Grid().model();
    EXPECT_EQ(ModelText(calc, false), "1\tМетанол\t—\t—\t—\n");
    window.Tabs().setCurrentIndex(2);
    SaveScreenshot(window, "main-window-not-obtained");

    Add({18});
    const std::string result = ModelText(calc, false);
    EXPECT_EQ(result, "1\tМетанол\t0,127851 ± 0,023118\t0,018264\t0,009593\n");
    window.reject(); // closed: the list is kept in the profile
    DlgMain& reopened = OpenWindow();
    EXPECT_EQ(ModelText(*reopened.CalcPage().Grid().model(), false), result);
    Click(QStringLiteral("Пересчитать"));
    EXPECT_EQ(ModelText(*reopened.CalcPage().Grid().model(), false), result);
}

TEST_F(DeterminationTest, KeptContentRowsDrawGreyWithTheirTextsUnchanged) {
    DlgMain& window = OpenWindow();
    SetDemoConditions();
    AddDemoDetermination();
    const QAbstractItemModel& calc = *window.CalcPage().Grid().model();
    const std::string shown = ModelText(calc, false);
    ASSERT_EQ(calc.rowCount(), 1);
    EXPECT_FALSE(calc.data(calc.index(0, 2), Qt::ForegroundRole).isValid());

    Conditions().vG = 0; // unusable conditions: the page keeps the earlier result
    Click(QStringLiteral("Пересчитать"));
    EXPECT_EQ(ModelText(calc, false), shown);
    for (int column = 0; column < calc.columnCount(); ++column) {
        const QModelIndex cell = calc.index(0, column);
        EXPECT_EQ(calc.data(cell, Qt::ForegroundRole).value<QBrush>().color(),
                  QColor(0x80, 0x80, 0x80));
        EXPECT_EQ(calc.data(cell, Qt::ToolTipRole).toString(),
                  QStringLiteral("Результат предыдущего расчёта"));
    }

    SetDemoConditions();
    Click(QStringLiteral("Пересчитать"));
    EXPECT_EQ(ModelText(calc, false), shown);
    EXPECT_FALSE(calc.data(calc.index(0, 2), Qt::ForegroundRole).isValid());
    EXPECT_FALSE(calc.data(calc.index(0, 2), Qt::ToolTipRole).isValid());
}

TEST_F(DeterminationTest, ReportButtonWritesTheReport) {
    const TemporaryFolder folder;
    const char* previousTmp = std::getenv("TMPDIR");
    const std::string keptTmp = previousTmp ? previousTmp : "";
    setenv("TMPDIR", folder.Path().c_str(), 1);
    setenv("XDG_DATA_DIRS", SEPMET_SOURCE_DIR "/share", 1);

    DlgMain& window = OpenWindow();
    SetDemoConditions();
    AddDemoDetermination();
    Click(QStringLiteral("Создать отчёт"));
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? "" : ToUtf8(boxes.shown[0].text));
    const std::string written = window.Report().OutputFile();
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(fs::exists(written));
    EXPECT_EQ(fs::path(written).parent_path(), folder.Path());
    EXPECT_NE(ToUtf8(window.Report().ResultXml()).find("0,120736"), std::string::npos);

    if (previousTmp)
        setenv("TMPDIR", keptTmp.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

} // namespace
} // namespace sepmet::testing
