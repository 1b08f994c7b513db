#include "app/cli_flows.h"

#include "app/cli_windows.h"
#include "app/unique_names.h"
#include "core/cfr.h"
#include "jobs/pack_controller.h"

#include <QFileInfo>
#include <QSet>

#include <cstring>

namespace {

bool needsPassword(const QString& archive) {
    return cfr::archiveNeedsPassword(archive.toUtf8().constData()) != 0;
}

// The password of an archive: null when none is needed, and null with *dismissed set when
// the user closed the prompt.
QString unlockPassword(QApplication& app, const QString& archive, bool* dismissed) {
    *dismissed = false;
    if (!needsPassword(archive))
        return QString();
    const QString password = askPassword(app, false, QFileInfo(archive).fileName());
    *dismissed = password.isNull();
    return password;
}

void extractOne(QApplication& app, const QString& archive, const QString& parent) {
    const QString folder = uniqueExtractionDir(parent, archive);
    bool dismissed = false;
    const QString password = unlockPassword(app, archive, &dismissed);
    if (dismissed)
        return;
    runJobWithProgress(
        app, [=](PackController* controller) { controller->extract(archive, folder, password); });
}

// Any part of a multi-volume set extracts the whole set: selecting all its parts is one job.
QStringList onePerVolumeSet(const QStringList& archives) {
    QStringList kept;
    QSet<QString> sets;
    for (const QString& archive : archives) {
        QByteArray first(4096, '\0');
        const int length =
            cfr::archiveFirstVolume(archive.toUtf8().constData(), first.data(), int(first.size()));
        const QString set = length < 0 ? archive : QString::fromUtf8(first.constData(), length);
        if (!sets.contains(set))
            kept << archive;
        sets.insert(set);
    }
    return kept;
}

// Every prompt is answered before anything is extracted; a dismissed one leaves its
// archive out.
void extractBatch(QApplication& app, const QString& base, const QStringList& archives,
                  bool subfolder) {
    QStringList sources;
    QStringList passwords;
    for (const QString& archive : onePerVolumeSet(archives)) {
        bool dismissed = false;
        const QString password = unlockPassword(app, archive, &dismissed);
        if (dismissed)
            continue;
        sources << archive;
        passwords << password;
    }
    if (sources.isEmpty())
        return;
    runJobWithProgress(app, [=](PackController* controller) {
        controller->extractBatch(sources, passwords, base, subfolder);
    });
}

void pack(QApplication& app, const PackRequest& request, bool withPassword) {
    QString password;
    if (withPassword) {
        password = askPassword(app, true, QString());
        if (password.isNull())
            return;
    }
    runJobWithProgress(app, [=](PackController* controller) {
        controller->pack(request.inputs, request.destination, password);
    });
}

} // namespace

void runCommandLine(QApplication& app, CommandForm form, int argc, const char* const* argv) {
    switch (form) {
    case CommandForm::DoubleClick: {
        const QString archive = fileArgument(argv[1]);
        extractOne(app, archive, QFileInfo(archive).absolutePath());
        break;
    }
    case CommandForm::PackPackage:
        pack(app, packRequestFromArguments(argc, argv, QStringLiteral(".cfr")), true);
        break;
    case CommandForm::PackZip:
        pack(app, packRequestFromArguments(argc, argv, QStringLiteral(".zip")), true);
        break;
    case CommandForm::ExtractOne:
        extractOne(app, fileArgument(argv[3]), folderArgument(argv[2]));
        break;
    case CommandForm::ExtractHere:
    case CommandForm::ExtractSeparately:
        extractBatch(app, folderArgument(argv[2]), fileArguments(argc, argv, 3),
                     form == CommandForm::ExtractSeparately);
        break;
    case CommandForm::PackAs:
        pack(app,
             makePackRequest(folderArgument(argv[4]), fileArguments(argc, argv, 5),
                             fileArgument(argv[2])),
             std::strcmp(argv[3], "1") == 0);
        break;
    case CommandForm::Graphical:
    case CommandForm::Ignored:
        break;
    }
}
