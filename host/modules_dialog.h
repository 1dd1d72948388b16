#pragma once
// "Справка → Модули": the loaded plug-ins with their information records, and the libraries of
// the plug-in folder that were skipped, with the reason.

#include <QDialog>

class QTreeWidget;

namespace sepmet::host {

class PluginSet;

class ModulesDialog : public QDialog {
    Q_OBJECT

public:
    ModulesDialog(const PluginSet& plugins, const QString& folder, QWidget* parent = nullptr);
    QTreeWidget& list() { return *list_; }

private:
    QTreeWidget* list_;
};

} // namespace sepmet::host
