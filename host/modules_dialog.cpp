#include "host/modules_dialog.h"

#include "host/plugin_set.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sepmet::host {
namespace {
QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}
} // namespace

ModulesDialog::ModulesDialog(const PluginSet& plugins, const QString& folder, QWidget* parent)
    : QDialog(parent), list_(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("Модули"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("Модуль"), QStringLiteral("Сведения")});
    for (const LoadedPlugin& plugin : plugins.plugins()) {
        const PluginDescription& d = plugin.description;
        auto* item = new QTreeWidgetItem(list_, {Q(d.name), Q(d.title)});
        const std::pair<const char*, QString> fields[] = {
            {"Файл", QString::fromStdString(plugin.path.string())},
            {"Версия", QString::fromStdString(VersionText(d.version))},
            {"Разработчик", Q(d.vendor)},
            {"Почта", Q(d.email)},
            {"Авторские права", Q(d.copyright)},
            {"Адрес", Q(d.url)},
            {"Идентификатор", QString::fromStdString(GuidText(d.guid))},
            {"Состояние", plugin.loaded ? QStringLiteral("загружен") : QStringLiteral("выгружен")},
        };
        for (const auto& [name, value] : fields)
            new QTreeWidgetItem(item, {QString::fromUtf8(name), value});
        item->setExpanded(true);
    }
    for (const SkippedLibrary& library : plugins.skipped()) {
        auto* item = new QTreeWidgetItem(
            list_, {QString::fromStdString(library.path.filename().string()),
                    library.duplicate ? QStringLiteral("пропущен: модуль уже загружен")
                                      : QStringLiteral("пропущен: не модуль")});
        new QTreeWidgetItem(
            item, {QStringLiteral("Файл"), QString::fromStdString(library.path.string())});
        new QTreeWidgetItem(item,
                            {QStringLiteral("Причина"), QString::fromStdString(library.reason)});
        item->setExpanded(true);
    }
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Папка модулей: %1").arg(folder), this));
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(760, 420);
}

} // namespace sepmet::host
