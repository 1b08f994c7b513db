#include "library/library_file.h"

#include "library/library_folders.h"
#include "library/library_json.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

namespace {

Q_LOGGING_CATEGORY(lcLibrary, "coffret.library")

// Saved passwords are in there: owner only, whatever the old file or the umask allowed.
constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

std::optional<QVector<LibraryItem>> LibraryFile::read() {
    const QString filePath = libraryFilePath();
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        keepUnreadableFile_ = QFileInfo::exists(filePath);
        return std::nullopt;
    }
    std::optional<QVector<LibraryItem>> items = decodeLibrary(file.readAll(), documentsFolder());
    keepUnreadableFile_ = !items;
    return items;
}

bool LibraryFile::write(const QVector<LibraryItem>& items) {
    const QString filePath = libraryFilePath();
    if (keepUnreadableFile_ && !moveUnreadableFileAside(filePath)) {
        qCWarning(lcLibrary).noquote() << "cannot move the unreadable" << filePath << "aside";
        return false;
    }
    QSaveFile file(filePath);
    if (file.open(QIODevice::WriteOnly)) {
        file.setPermissions(ownerOnly);
        file.write(encodeLibrary(items, documentsFolder()));
        if (file.commit())
            return true;
    }
    qCWarning(lcLibrary).noquote() << "cannot save" << filePath << file.errorString();
    return false;
}

bool LibraryFile::moveUnreadableFileAside(const QString& filePath) {
    const QString kept = filePath + QStringLiteral(".bad");
    QFile::remove(kept);
    if (!QFile::rename(filePath, kept) && QFileInfo::exists(filePath))
        return false;
    // It may still hold saved passwords in clear, whatever it was readable by before.
    QFile::setPermissions(kept, ownerOnly);
    keepUnreadableFile_ = false;
    return true;
}
