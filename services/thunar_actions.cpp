#include "services/thunar_actions.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

enum class ActionKind { Pack, Extract };

struct ActionEntry {
    const char* label; // UTF-8
    const char* arguments;
};

const ActionEntry actionTable[] = {
    {"珂匣 (cfr)", "-p"},
    {"打包为 zip", "-pk .zip 0"},
    {"打包为 zip（加密）", "-pk .zip 1"},
    {"打包为 7z", "-pk .7z 0"},
    {"打包为 tar", "-pk .tar 0"},
    {"打包为 tar.gz", "-pk .tar.gz 0"},
    {"打包为 tar.bz2", "-pk .tar.bz2 0"},
    {"打包为 tar.xz", "-pk .tar.xz 0"},
    {"解压到此处", "-xc"},
    {"解压到独立文件夹", "-xs"},
};

const char fileClasses[] =
    "<directories/><audio-files/><image-files/><other-files/><text-files/><video-files/>";

const char xmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
// What earlier versions of this program wrote; not well-formed, so it is repaired when found.
const char earlierXmlDeclaration[] = "<?xml encoding=\"UTF-8\" version=\"1.0\"?>";

ActionKind kindOf(const ActionEntry& entry) {
    return QByteArray(entry.arguments).startsWith("-x") ? ActionKind::Extract : ActionKind::Pack;
}

QString submenuOf(ActionKind kind) {
    return kind == ActionKind::Extract ? QStringLiteral("Coffret:解压")
                                       : QStringLiteral("Coffret:打包");
}

QString patternsOf(ActionKind kind) {
    return kind == ActionKind::Extract
               ? QStringLiteral("*.cfr;*.zip;*.7z;*.rar;*.tar;*.tar.gz;*.tgz;*.tar.bz2;*.tar.xz;"
                                "*.gz;*.bz2;*.xz;*.zst")
               : QStringLiteral("*");
}

QString actionText(int index, const ActionEntry& entry, const QString& appPath) {
    const ActionKind kind = kindOf(entry);
    // %d and %F are Thunar's own placeholders for the selection's folder and paths.
    const QString command =
        QStringLiteral("\"%1\" %2 %d %F").arg(appPath, QString::fromUtf8(entry.arguments));
    return QStringLiteral("<action>\n"
                          "\t<icon>org.xfce.thunar</icon>\n"
                          "\t<name>%1</name>\n"
                          "\t<submenu>%2</submenu>\n"
                          "\t<unique-id>coffret-%3</unique-id>\n"
                          "\t<command>%4</command>\n"
                          "\t<description>Coffret</description>\n"
                          "\t<range></range>\n"
                          "\t<patterns>%5</patterns>\n"
                          "\t%6\n"
                          "</action>\n")
        .arg(xmlEscape(QString::fromUtf8(entry.label)), xmlEscape(submenuOf(kind)),
             QString::number(index), xmlEscape(command), xmlEscape(patternsOf(kind)),
             QString::fromLatin1(fileClasses));
}

QString ourActions(const QString& appPath) {
    QString text;
    int index = 0;
    for (const ActionEntry& entry : actionTable)
        text += actionText(index++, entry, appPath);
    return text;
}

// Our actions are the ones described as "Coffret"; the match never crosses into a
// neighbouring action.
const QRegularExpression& ourEarlierActions() {
    static const QRegularExpression expression(
        QStringLiteral("\\s*<action>(?:(?!</action>).)*?<description>Coffret</description>.*?"
                       "</action>"),
        QRegularExpression::DotMatchesEverythingOption);
    return expression;
}

QString readActionFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

} // namespace

QString thunarActionFilePath() {
    return QDir::homePath() + QStringLiteral("/.config/Thunar/uca.xml");
}

QString xmlEscape(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    escaped.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    escaped.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return escaped;
}

QString mergeThunarActions(const QString& existing, const QString& appPath) {
    QString others = existing;
    others.remove(ourEarlierActions());
    if (!others.contains(QLatin1String("<actions>"))) {
        return QLatin1String(xmlDeclaration) + QLatin1String("\n<actions>\n") +
               ourActions(appPath) + QLatin1String("</actions>\n");
    }
    const int close = others.lastIndexOf(QLatin1String("</actions>"));
    QString head = (close >= 0 ? others.left(close) : others).trimmed();
    if (head.startsWith(QLatin1String(earlierXmlDeclaration)))
        head.replace(0, int(qstrlen(earlierXmlDeclaration)), QLatin1String(xmlDeclaration));
    return head + QLatin1Char('\n') + ourActions(appPath) + QLatin1String("</actions>\n");
}

bool installThunarActions(const QString& appPath) {
    const QString path = thunarActionFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray content = mergeThunarActions(readActionFile(path), appPath).toUtf8();
    // The file also holds the user's own actions: it is replaced only once the new content is
    // completely on disk.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}
