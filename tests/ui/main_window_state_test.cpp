// The main window's memory between openings, its settings command and its about box, driven
// through the window as the operator does: "S", "i", closing and reopening from the host's menu.

#include "data/connection.h"
#include "platform/utf.h"
#include "plugin/host_services.h"
#include "plugin/module_state.h"
#include "resources/strings.h"
#include "session/window_memory.h"
#include "tests/ui/window_support.h"
#include "ui/dialog_units.h"
#include "ui/dlg_about.h"
#include "ui/dlg_settings.h"
#include "ui/grid_ctrl.h"
#include "ui/result_tabs.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gmock/gmock.h>
#include <sqlite3.h>

namespace sepmet::testing {
namespace {

using ::testing::ElementsAre;

const QString kSettings = QStringLiteral("Открыть настройки");
const QString kAbout = QStringLiteral("О плагине");

std::u16string Key(std::u16string_view name) {
    return u"plugins\\sepmet\\/" + std::u16string(name);
}

class MainWindowStateTest : public MainWindowTest {
protected:
    MainWindowStateTest() { ForgetUnrestoredAssays(); }
    ~MainWindowStateTest() override { ForgetUnrestoredAssays(); }

    void Store(int number, std::u16string text) {
        host.profile()[Key(AssayEntryName(number))] = std::move(text);
    }
    std::vector<std::u16string> StoredEntries() {
        std::vector<std::u16string> entries;
        for (int number = 1; host.profile().count(Key(AssayEntryName(number))); ++number)
            entries.push_back(
                std::get<std::u16string>(host.profile()[Key(AssayEntryName(number))]));
        return entries;
    }
    int StoredEntryCount() {
        int count = 0;
        for (const auto& [key, value] : host.profile())
            count += key.starts_with(Key(u"Assay ")) ? 1 : 0;
        return count;
    }
    std::int32_t StoredInt(std::u16string_view name) {
        return std::get<std::int32_t>(host.profile().at(Key(name)));
    }

    // `actions` run on the modal dialog that the click on `tip` opens.
    void ClickForModal(const QString& tip, const std::function<void(QDialog&)>& actions) {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            opened = true;
            actions(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        Click(tip);
        EXPECT_TRUE(opened) << Utf8(tip);
    }
    static void Type(QLineEdit& edit, const QString& text) {
        edit.setFocus();
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, text);
    }
    static void PressButton(QDialog& dialog, const QString& text) {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == text)
                return button->click();
        ADD_FAILURE() << "no button " << Utf8(text);
    }
    // The operator types the five conditions into "Настройки" and presses "Применить".
    void EnterConditions(const QStringList& texts) {
        ClickForModal(kSettings, [&](QDialog& dialog) {
            auto& settings = dynamic_cast<DlgSettings&>(dialog);
            const int ids[] = {1017, 1019, 1018, 1020, 1021};
            for (int i = 0; i < 5; ++i)
                Type(*settings.Edit(ids[i]), texts[i]);
            PressButton(dialog, QStringLiteral("Применить"));
        });
    }
    void CloseWith(int key) {
        QTest::keyClick(Window(), static_cast<Qt::Key>(key));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::vector<int> Marks() {
        std::vector<int> marks;
        const GridModel& model = Window()->AssayList().Model();
        for (int row = 0; row < model.rowCount(); ++row)
            marks.push_back(model.CheckState(row));
        return marks;
    }
};

TEST_F(MainWindowStateTest, ColumnsShowCutTextsFillTheWidthAndKeepDraggedWidths) {
    db.Add({1, u"Раствор град. 5 мг/дм3 №1, повтор 2"}).Add({2, u"ab"});
    OpenWindow();
    Add({1, 2});
    CGridCtrl& list = Window()->AssayList();
    const QAbstractItemModel& model = *list.model();
    // A cut-off sample shows whole as the cell's tooltip; a text that fits has none.
    EXPECT_EQ(list.CutOffText(model.index(0, 2)),
              QStringLiteral("Раствор град. 5 мг/дм3 №1, повтор 2"));
    EXPECT_EQ(list.CutOffText(model.index(1, 2)), QString());

    // The last column takes the width the window gains (once the others fit).
    Window()->resize(1100, Window()->height());
    const int mixture = list.columnWidth(4);
    const int listWidth = list.width();
    Window()->resize(Window()->width() + 200, Window()->height());
    ASSERT_EQ(list.width(), listWidth + 200);
    EXPECT_EQ(list.columnWidth(4), mixture + 200);
    SaveScreenshot(*Window(), "main_window_wider");

    // The operator drags the sample column wider: kept with the window's state.
    list.setColumnWidth(2, 321);
    EXPECT_EQ(list.CutOffText(model.index(0, 2)), QString());
    CloseWith(Qt::Key_Escape);
    EXPECT_EQ(std::get<std::int32_t>(host.profile()[Key(u"ListColumnWidth_2")]), 321);
    OpenWindow();
    EXPECT_EQ(Window()->AssayList().columnWidth(2), 321);
    EXPECT_EQ(Window()->AssayList().columnWidth(1),
              ApplicationDialogUnits().ScaleTemplatePixels(230));
}

TEST_F(MainWindowStateTest, DemoDeterminationConditionsAndResultSurviveClosingAndReopening) {
    DemoDatabase demo;
    DataBase::GetConnection().SetUri(FromUtf8(demo.Path()).c_str());
    OpenWindow();
    EnterConditions({"100", "10", "0,7", "99,5", "18.5"});
    Add(DemoDeterminationIds());
    const std::string list = ModelText(*Window()->AssayList().model(), false);
    const std::string result = ModelText(*Window()->CalcPage().Grid().model(), false);
    const std::string calibration = ModelText(*Window()->GradPage().Grid().model(), false);
    ASSERT_EQ(Window()->AssayList().model()->rowCount(), 12);
    ASSERT_FALSE(result.empty());

    CloseWith(Qt::Key_Escape);
    // A restarted host: the process-wide conditions and results start afresh.
    ProcessCalculationState() = CalculationState{};
    DeliverPostedEvents();
    const int notices = hostWindow->assayListChanged;
    OpenWindow();
    DeliverPostedEvents();
    EXPECT_EQ(hostWindow->assayListChanged, notices + 1); // the restored list, told once
    EXPECT_EQ(ModelText(*Window()->AssayList().model(), false), list);
    EXPECT_EQ(ModelText(*Window()->CalcPage().Grid().model(), false), result);
    EXPECT_EQ(ModelText(*Window()->GradPage().Grid().model(), false), calibration);
    const MeasurementSettings& conditions = Conditions();
    EXPECT_EQ(conditions.vW, 100);
    EXPECT_EQ(conditions.vG, 10);
    EXPECT_EQ(conditions.rhoG, 0.7);
    EXPECT_EQ(conditions.atmP, 99.5);
    EXPECT_EQ(conditions.gasT, 18.5);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowStateTest, EveryWayOfClosingSavesListMarksAndFrameWhichComeBackUnmoved) {
    db.Add({1}).Add({2}).Add({3});
    Store(1, u"3/1");
    Store(2, u"1/0");
    Store(3, u"2/1");
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame(available.left() + 60, available.top() + 40, 900, 520);
    const std::function<void()> closings[] = {
        [&] { CloseWith(Qt::Key_Escape); },
        [&] { CloseWith(Qt::Key_Return); },
        [&] {
            Window()->close(); // the close box
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        },
    };
    bool first = true;
    for (const auto& close : closings) {
        DlgMain& window = OpenWindow();
        EXPECT_EQ(ModelText(*window.AssayList().model(), false).substr(0, 2), "1\t");
        EXPECT_THAT(window.Assays().Ids(), ElementsAre(3, 1, 2));
        EXPECT_THAT(Marks(), ElementsAre(1, 0, 1));
        if (first) {
            window.move(frame.topLeft()); // the operator places and sizes the window
            window.resize(frame.size() - (window.frameGeometry().size() - window.size()));
            first = false;
        } else {
            EXPECT_EQ(window.frameGeometry(), frame); // where it was, not a title bar lower
        }
        close();
        EXPECT_EQ(Module().mainDialog, nullptr);
        EXPECT_THAT(StoredEntries(), ElementsAre(u"3/1", u"1/0", u"2/1"));
        EXPECT_EQ(StoredInt(u"WindowRect_tlx"), frame.left());
        EXPECT_EQ(StoredInt(u"WindowRect_tly"), frame.top());
        EXPECT_EQ(StoredInt(u"WindowRect_btx"), frame.left() + frame.width());
        EXPECT_EQ(StoredInt(u"WindowRect_bty"), frame.top() + frame.height());
    }
}

TEST_F(MainWindowStateTest, FirstOpeningAndAWindowLeftOffEveryScreen) {
    DlgMain& first = OpenWindow();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred on the primary work area. The offscreen screen (800 x 600) is narrower than the
    // window's usual minimum width: the minimum gives way, and the whole frame stays on it.
    EXPECT_TRUE(available.contains(first.frameGeometry()));
    EXPECT_NEAR(first.frameGeometry().center().y(), available.center().y(), 2);
    EXPECT_LT(first.minimumWidth(), available.width());
    EXPECT_GE(first.height(), DlgMain::kMinimumHeight);
    EXPECT_EQ(Conditions().atmP, 101.325);
    EXPECT_EQ(Conditions().gasT, 20);
    CloseWith(Qt::Key_Escape);

    host.profile()[Key(u"WindowRect_tlx")] = std::int32_t{-5000};
    host.profile()[Key(u"WindowRect_tly")] = std::int32_t{200};
    host.profile()[Key(u"WindowRect_btx")] = std::int32_t{-4100};
    host.profile()[Key(u"WindowRect_bty")] = std::int32_t{800};
    // Back at the top-left corner of the primary work area, no higher than it.
    const QRect frame = OpenWindow().frameGeometry();
    EXPECT_EQ(frame.topLeft(), available.topLeft());
    EXPECT_EQ(frame.height(), std::min(600, available.height()));
}

TEST_F(MainWindowStateTest, AssayNoLongerInTheDatabaseLeavesTheProfileAtTheNextSave) {
    db.Add({1}).Add({2});
    Store(1, u"1/0");
    Store(2, u"9/1");
    Store(3, u"2/1");
    DlgMain& window = OpenWindow();
    EXPECT_THAT(window.Assays().Ids(), ElementsAre(1, 2));
    // Kept until the close rewrites the list: a crash meanwhile leaves no gap to cut it at.
    EXPECT_EQ(host.profile().count(Key(u"Assay 2")), 1u);
    EXPECT_TRUE(boxes.shown.empty());
    CloseWith(Qt::Key_Escape);
    EXPECT_THAT(StoredEntries(), ElementsAre(u"1/0", u"2/1"));
    EXPECT_EQ(StoredEntryCount(), 2);
}

TEST_F(MainWindowStateTest, LockedDatabaseKeepsTheListTellsOnceAndRestoresLater) {
    db.Add({1}).Add({2}).Add({3});
    Store(1, u"2/1");
    Store(2, u"3/0");
    Store(3, u"1/0");
    sqlite3* lock = nullptr;
    sqlite3_open(db.Path().c_str(), &lock);
    sqlite3_exec(lock, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);

    DlgMain& window = OpenWindow();
    EXPECT_TRUE(window.Assays().Empty());
    ASSERT_EQ(boxes.shown.size(), 1u); // once, not once per chromatogram
    EXPECT_EQ(boxes.shown[0].owner, window.WindowHandle());
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_NE(boxes.shown[0].text.find(u"database is locked"), std::u16string::npos);
    CloseWith(Qt::Key_Escape);
    EXPECT_THAT(StoredEntries(), ElementsAre(u"2/1", u"3/0", u"1/0"));

    sqlite3_exec(lock, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(lock);
    DlgMain& again = OpenWindow();
    EXPECT_THAT(again.Assays().Ids(), ElementsAre(2, 3, 1));
    EXPECT_THAT(Marks(), ElementsAre(1, 0, 0));
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(MainWindowStateTest, ReloadClearsTheMarksThatTheNextCloseWrites) {
    db.Add({1}).Add({2});
    Store(1, u"1/1");
    Store(2, u"2/1");
    OpenWindow();
    EXPECT_THAT(Marks(), ElementsAre(1, 1));
    Click(QStringLiteral("Пересчитать"));
    CloseWith(Qt::Key_Escape);
    EXPECT_THAT(StoredEntries(), ElementsAre(u"1/0", u"2/0"));
}

TEST_F(MainWindowStateTest, WithoutProfileServicesTheWindowOpensEmptyWithDefaults) {
    db.Add({1});
    Store(1, u"1/1");
    for (const char* service :
         {HostService::ProfileDelParam, HostService::ProfileGetInt, HostService::ProfileGetString,
          HostService::ProfileGetDouble, HostService::ProfileSetInt, HostService::ProfileSetString,
          HostService::ProfileSetDouble})
        host.Remove(service);
    Conditions().vW = 5;
    DlgMain& window = OpenWindow();
    EXPECT_TRUE(window.Assays().Empty());
    EXPECT_EQ(Conditions().vW, 0);
    EXPECT_EQ(Conditions().atmP, 101.325);
    const auto before = host.profile();
    CloseWith(Qt::Key_Escape);
    EXPECT_EQ(host.profile(), before);
    EXPECT_TRUE(boxes.shown.empty());
}

class ListLengthWindowTest : public MainWindowStateTest,
                             public ::testing::WithParamInterface<int> {};

TEST_P(ListLengthWindowTest, EveryChromatogramComesBack) {
    const int count = GetParam();
    std::vector<std::int32_t> ids;
    for (int id = 1; id <= count; ++id) {
        db.Add({id * 3});
        ids.push_back(id * 3);
    }
    OpenWindow();
    Add(ids);
    CloseWith(Qt::Key_Escape);
    EXPECT_EQ(StoredEntryCount(), count);
    EXPECT_EQ(OpenWindow().Assays().Ids(), ids);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ListLengthWindowTest, ::testing::Values(99, 100, 150));

TEST_F(MainWindowStateTest, SettingsOkClearsTheThirdMeasurementDemandAndRecalculates) {
    DlgMain& window = OpenWindow();
    QSignalSpy recalculated(window.MessagePage().List().model(), &QAbstractItemModel::modelReset);
    ProcessCalculationState().threeMeasurementsRequired = true;

    // Cancel, Escape and a refused Apply: nothing changes and nothing is recalculated.
    ClickForModal(kSettings, [&](QDialog& dialog) {
        Type(*dynamic_cast<DlgSettings&>(dialog).Edit(1017), "55");
        PressButton(dialog, QStringLiteral("Отмена"));
    });
    ClickForModal(kSettings, [&](QDialog& dialog) {
        auto& settings = dynamic_cast<DlgSettings&>(dialog);
        EXPECT_EQ(settings.Edit(1017)->text(), "0,000"); // the cancelled text is gone
        QTest::keyClick(settings.Edit(1017), Qt::Key_Escape);
    });
    ClickForModal(kSettings, [&](QDialog& dialog) {
        Type(*dynamic_cast<DlgSettings&>(dialog).Edit(1019), "12abc");
        QTest::keyClick(dynamic_cast<DlgSettings&>(dialog).Edit(1019), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(recalculated.count(), 0);
    EXPECT_TRUE(ProcessCalculationState().threeMeasurementsRequired);
    EXPECT_EQ(Conditions().vW, 0);
    EXPECT_EQ(Conditions().vG, 0);
    EXPECT_THAT(boxes.Texts(), ElementsAre(LoadString(1038)));

    EnterConditions({"100", "10", "0,7", "101,325", "20,0"});
    EXPECT_EQ(recalculated.count(), 1);
    EXPECT_FALSE(ProcessCalculationState().threeMeasurementsRequired);
    EXPECT_EQ(Conditions().rhoG, 0.7);
    // The conditions are usable now: no message 1024 on the message page.
    for (int row = 0; row < window.MessagePage().List().model()->rowCount(); ++row)
        EXPECT_EQ(window.MessagePage()
                      .List()
                      .model()
                      ->data(window.MessagePage().List().model()->index(row, 0))
                      .toString()
                      .indexOf(Q(LoadString(1024))),
                  -1);
}

TEST_F(MainWindowStateTest, AboutButtonShowsTheAboutBoxOverTheWindow) {
    DlgMain& window = OpenWindow();
    ClickForModal(kAbout, [&](QDialog& dialog) {
        auto* about = qobject_cast<DlgAbout*>(&dialog);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->parentWidget(), &window);
        EXPECT_EQ(about->text(), Q(LoadString(1030)));
        PressButton(dialog, QStringLiteral("ОК"));
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(Window(), &window); // the main window stays open
}

} // namespace
} // namespace sepmet::testing
