#include "secrets/user_data.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

namespace {

Q_LOGGING_CATEGORY(lcSecrets, "coffret.secrets")

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// A number the way the first line has always been read: blanks skipped, an optional sign,
// digits up to the first other character, 0 when there are none.
int parseLastIndex(const QByteArray& line) {
    const long long value = std::strtoll(line.constData(), nullptr, 10);
    return int(qBound<long long>(INT_MIN, value, INT_MAX));
}

} // namespace

UserData* UserData::instance() {
    static UserData* const store = new UserData;
    return store;
}

UserData::UserData() : model_(new PasswordModel(this)) {}

QString UserData::folderPath() {
    return QDir::homePath() + QStringLiteral("/.cfr");
}

QString UserData::filePath() {
    return folderPath() + QStringLiteral("/userdata");
}

// The file holds passwords in clear, so only the owner may enter the folder.
void UserData::makeFolder() {
    ::mkdir(QFile::encodeName(folderPath()).constData(), 0700);
}

void UserData::load() {
    damagedFileOnDisk_ = false;
    makeFolder();
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        model_->replace({});
        return;
    }
    const QByteArray compressed = file.readAll();
    file.close();
    const QByteArray text = qUncompress(compressed);
    damagedFileOnDisk_ = !compressed.isEmpty() && text.isEmpty();
    parse(text);
}

void UserData::parse(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (text.isEmpty() || text.endsWith('\n'))
        lines.removeLast();
    int first = 0;
    if (lines.size() % 2 == 1)
        lastIndex_ = parseLastIndex(lines.at(first++));
    QVector<PasswordModel::Entry> entries;
    for (int i = first; i + 1 < lines.size(); i += 2) {
        // Text after a zero byte was never part of a name or password.
        entries.append({QString::fromUtf8(lines.at(i).constData()),
                        QString::fromUtf8(lines.at(i + 1).constData())});
    }
    model_->replace(entries);
}

QByteArray UserData::serialise() const {
    QByteArray text = QByteArray::number(lastIndex_) + '\n';
    for (int row = 0; row < model_->count(); ++row) {
        text += model_->nameAt(row).toUtf8() + '\n';
        text += model_->passwordAt(row).toUtf8() + '\n';
    }
    return text;
}

bool UserData::save() {
    makeFolder();
    // Never replace the only copy of passwords we could not read.
    if (damagedFileOnDisk_ && !moveDamagedFileAside()) {
        qCWarning(lcSecrets).noquote() << "cannot move the unreadable" << filePath() << "aside";
        return false;
    }
    damagedFileOnDisk_ = false;
    QSaveFile file(filePath());
    if (file.open(QIODevice::WriteOnly)) {
        file.setPermissions(ownerOnly);
        file.write(qCompress(serialise()));
        if (file.commit())
            return true;
    }
    qCWarning(lcSecrets).noquote() << "cannot save" << filePath() << file.errorString();
    return false;
}

bool UserData::moveDamagedFileAside() const {
    const QString kept = filePath() + QStringLiteral(".bad");
    QFile::remove(kept);
    if (!QFile::rename(filePath(), kept))
        return !QFile::exists(filePath());
    QFile::setPermissions(kept, ownerOnly);
    return true;
}

void UserData::setLastIndex(int index) {
    lastIndex_ = index;
    save();
}
