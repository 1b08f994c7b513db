// Hands files that the system asks the program to open to the FilePicker singleton.
#pragma once

#include <QObject>

class FileOpenFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override;
};
