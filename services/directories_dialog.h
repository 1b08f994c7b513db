// A folder chooser in which several folders can be selected at once.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

// Builds, but does not run, the Qt-drawn folder chooser with multi-selection switched on in
// both of its views. The platform's own dialog cannot select several folders, which is why
// this one is drawn by Qt.
QFileDialog* createDirectoriesDialog(QWidget* parent, const QString& caption);
