#include "services/directories_dialog.h"

#include <QFileDialog>
#include <QListView>
#include <QTreeView>

QFileDialog* createDirectoriesDialog(QWidget* parent, const QString& caption) {
    auto* dialog = new QFileDialog(parent, caption, QString(), QString());
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    // The dialog offers no switch for this; its views are reached by their object names.
    if (auto* list = dialog->findChild<QListView*>(QStringLiteral("listView")))
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    if (auto* tree = dialog->findChild<QTreeView*>())
        tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return dialog;
}
