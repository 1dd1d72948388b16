// The whole road through the built sepmet.so in the host, in-process and offscreen: the menu
// item opens the plug-in's window, the conditions are entered, "+" is answered by the host's
// picker with the demo determination, the pages read as sepmet-batch prints them, "->" writes
// the report, closing keeps the state in the profile, and after the host ended and started
// again the window comes back with the same list and result.
#include "host/assay_picker.h"
#include "host/assay_table_model.h"
#include "host/host_session.h"
#include "host/host_window.h"
#include "host/profile_store.h"
#include "tests/host/session_folder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <gtest/gtest.h>

namespace sepmet::host::testing {
namespace {

constexpr char kMenuPath[] = "Данные/Расчёты/Метанол в газе сепарации";
const QStringList kBatchPages = {QStringLiteral("Градуировка"), QStringLiteral("Расчет"),
                                 QStringLiteral("Сист. сообщения")};

// The lines of one item view as the batch program prints a page: the column titles, then the
// rows, cells separated by tabs.
QStringList ViewLines(QAbstractItemView& view) {
    QStringList lines;
    const QAbstractItemModel& model = *view.model();
    auto* table = qobject_cast<QTableView*>(&view);
    auto* tree = qobject_cast<QTreeView*>(&view);
    const bool header =
        (table && !table->horizontalHeader()->isHidden()) || (tree && !tree->header()->isHidden());
    if (header) {
        QStringList titles;
        for (int column = 0; column < model.columnCount(); ++column)
            titles << model.headerData(column, Qt::Horizontal).toString();
        lines << titles.join(u'\t');
    }
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        lines << cells.join(u'\t');
    }
    return lines;
}

// The pages the batch program prints, read from the window's tabs.
QString PagesText(QWidget& window) {
    QString text;
    auto* tabs = window.findChild<QTabWidget*>();
    if (!tabs)
        return text;
    for (const QString& title : kBatchPages)
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabText(i).remove(u'&') != title)
                continue;
            auto* view = tabs->widget(i)->findChild<QAbstractItemView*>();
            if (!text.isEmpty())
                text += u'\n';
            text += title + u'\n';
            if (view)
                text += ViewLines(*view).join(u'\n') + u'\n';
        }
    return text;
}

// The chromatogram list of the window: the item view outside the tabs.
QAbstractItemView* AssayList(QWidget& window) {
    auto* tabs = window.findChild<QTabWidget*>();
    for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>())
        if (!tabs || !tabs->isAncestorOf(view))
            if (!qobject_cast<QAbstractItemView*>(view->parentWidget()))
                return view;
    return nullptr;
}

class EndToEndTest : public SessionFolderTest {
protected:
    void SetUp() override {
        SessionFolderTest::SetUp();
        if (HasFatalFailure())
            return;
        std::filesystem::create_directories(folder.File("tmp"));
        qputenv("XDG_DATA_DIRS", SEPMET_SOURCE_DIR "/share");
        qputenv("TMPDIR", FileIn(folder, "tmp").toUtf8());
        // Any message box the plug-in shows is taken down and kept: none is expected.
        QObject::connect(&guard, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        guard.start(100);
    }
    void TearDown() override {
        guard.stop();
        qunsetenv("TMPDIR");
    }

    static void Connect(QTimer& timer, std::function<void()> action) {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, action);
    }

    // The pages sepmet-batch prints for chromatograms 1-12, with the demo conditions or, for a
    // module without its settings dialog, with none.
    QString BatchPages(bool withConditions) {
        QStringList arguments = {QStringLiteral("--db"), FileIn(folder, "demo.sqlite")};
        if (withConditions)
            arguments << QStringLiteral("--vW") << QStringLiteral("100") << QStringLiteral("--vG")
                      << QStringLiteral("10") << QStringLiteral("--rhoG") << QStringLiteral("0.7");
        arguments << QStringLiteral("--add") << QStringLiteral("1-12");
        QProcess batch;
        batch.start(QStringLiteral(SEPMET_BATCH_PATH), arguments);
        EXPECT_TRUE(batch.waitForFinished(30000));
        return QString::fromUtf8(batch.readAllStandardOutput());
    }

    QTimer guard;
    QStringList messages;
};

TEST_F(EndToEndTest, DemoDeterminationFromTheMenuToTheReportAndBackAfterARestart) {
    QString pagesBefore;
    bool settingsFilled = false;
    {
        HostSession session(Settings());
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(session.ChooseMenuItem(QString::fromUtf8(kMenuPath)));
        QWidget* window = PlugInWindow(session);
        ASSERT_NE(window, nullptr) << "the module shows no main window";
        // Its parent's parent is the host window, which its notifications reach.
        EXPECT_EQ(window->parentWidget()->parentWidget(), session.window());

        // "S": the measurement conditions of the demo determination.
        QAbstractButton* settings = ButtonWithTooltip(*window, QStringLiteral("Открыть настройки"));
        ASSERT_NE(settings, nullptr);
        QTimer fillSettings;
        Connect(fillSettings, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
            std::sort(edits.begin(), edits.end(), [](QLineEdit* a, QLineEdit* b) {
                return a->geometry().y() < b->geometry().y();
            });
            ASSERT_EQ(edits.size(), 5);
            edits[0]->setText(QStringLiteral("100")); // vW, cm3
            edits[1]->setText(QStringLiteral("10"));  // vG, dm3
            edits[2]->setText(QStringLiteral("0,7")); // rhoG, g/dm3
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("Применить")) {
                    settingsFilled = true;
                    button->click();
                    break;
                }
        });
        fillSettings.start(0);
        settings->click();
        fillSettings.stop();
        ASSERT_TRUE(settingsFilled) << "the settings dialog did not open";
        const QString expectedPages = BatchPages(settingsFilled);
        ASSERT_TRUE(expectedPages.contains(QStringLiteral("Градуировка")));

        // "+": the host's picker, the determination's twelve chromatograms.
        QAbstractButton* add = ButtonWithTooltip(*window, QStringLiteral("Добавить хроматограмму"));
        ASSERT_NE(add, nullptr);
        QTimer pick;
        bool picked = false;
        Connect(pick, [&] {
            auto* picker = qobject_cast<AssayPicker*>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            for (int row = 0; row < 12; ++row)
                picker->table().selectionModel()->select(picker->model().index(row, 0),
                                                         QItemSelectionModel::Select |
                                                             QItemSelectionModel::Rows);
            SaveScreenshot(*picker, QStringLiteral("host-picker"));
            picked = true;
            picker->okButton().click();
        });
        pick.start(0);
        add->click();
        ASSERT_TRUE(picked);
        QAbstractItemView* list = AssayList(*window);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->model()->rowCount(), 12);

        pagesBefore = PagesText(*window);
        EXPECT_EQ(pagesBefore, expectedPages);
        if (auto* tabs = window->findChild<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i) == QStringLiteral("Расчет"))
                    tabs->setCurrentIndex(i);
        SaveScreenshot(*window, QStringLiteral("host-plugin-window"));

        // "->": the report, written into the temporary folder.
        QAbstractButton* report = ButtonWithTooltip(*window, QStringLiteral("Создать отчёт"));
        ASSERT_NE(report, nullptr);
        report->click();
        QStringList written;
        EXPECT_TRUE(WaitFor([&] {
            written = QDir(FileIn(folder, "tmp")).entryList({QStringLiteral("*.html")});
            return !written.isEmpty();
        }));
        if (!written.isEmpty()) {
            QFile html(FileIn(folder, "tmp") + u'/' + written.front());
            ASSERT_TRUE(html.open(QIODevice::ReadOnly));
            EXPECT_TRUE(QString::fromUtf8(html.readAll()).contains(QStringLiteral("Метанол")));
            // Where the platform has no viewer to open it with (offscreen), the operator is told
            // where the report is; that is the one message allowed.
            const QString notOpened = QStringLiteral("Отчёт записан, но открыть его не удалось.\n"
                                                     "Файл отчёта: ") +
                                      FileIn(folder, "tmp") + u'/' + written.front();
            WaitFor([&] { return !messages.isEmpty(); }, 500);
            messages.removeAll(notOpened);
        }

        window->close();
        EXPECT_TRUE(WaitFor([&] { return PlugInWindow(session) == nullptr; }));
        session.Shutdown(); // Unload, dlclose
    }

    {
        std::string error;
        auto profile = ProfileStore::Open(folder.File("profile.sqlite"), error);
        ASSERT_TRUE(profile) << error;
        profile->SelectDatabase(DatabaseKey(FileIn(folder, "demo.sqlite")).toStdU16String());
        ASSERT_TRUE(profile->GetDouble(u"plugins\\sepmet\\/atmP"))
            << "the window's state is not in the profile";
        for (int n = 1; n <= 12; ++n) {
            const std::u16string key =
                u"plugins\\sepmet\\/Assay " + QString::number(n).toStdU16String();
            EXPECT_EQ(profile->GetText(key), QString::number(n).toStdU16String() + u"/0") << n;
        }
        EXPECT_EQ(profile->GetText(u"plugins\\sepmet\\/Assay 13"), std::nullopt);
        EXPECT_EQ(profile->GetDouble(u"plugins\\sepmet\\/vW"), 100.0);
        EXPECT_EQ(profile->GetDouble(u"plugins\\sepmet\\/vG"), 10.0);
        EXPECT_EQ(profile->GetDouble(u"plugins\\sepmet\\/rhoG"), 0.7);
        EXPECT_EQ(profile->GetDouble(u"plugins\\sepmet\\/atmP"), 101.325);
        EXPECT_EQ(profile->GetDouble(u"plugins\\sepmet\\/gasT"), 20.0);
    }

    {
        HostSession session(Settings());
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(session.ChooseMenuItem(QString::fromUtf8(kMenuPath)));
        QWidget* window = PlugInWindow(session);
        ASSERT_NE(window, nullptr);
        QAbstractItemView* list = AssayList(*window);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->model()->rowCount(), 12);
        EXPECT_EQ(PagesText(*window), pagesBefore);
        session.Shutdown(); // Unload closes the window that is still open
        EXPECT_EQ(session.table().PluginServiceCount() + session.table().SubscriptionCount(), 0);
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

} // namespace
} // namespace sepmet::host::testing
