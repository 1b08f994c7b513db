#include "app/file_open_filter.h"

#include "app/qml_module.h"
#include "services/file_picker.h"

#include <QFileOpenEvent>

bool FileOpenFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FileOpen)
        return QObject::eventFilter(watched, event);
    const auto* open = static_cast<QFileOpenEvent*>(event);
    QString path = open->file();
    if (path.isEmpty() && open->url().isLocalFile())
        path = open->url().toLocalFile();
    if (!path.isEmpty()) {
        if (FilePicker* picker = filePickerSingleton())
            picker->receiveFile(path);
    }
    return true;
}
