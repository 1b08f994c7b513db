#include "app/command_line.h"

#include "app/unique_names.h"

#include <cstring>

namespace {

bool is(const char* arg, const char* flag) {
    return std::strcmp(arg, flag) == 0;
}

CommandForm singleArgumentForm(const char* arg) {
    const QString file = fileArgument(arg);
    const bool unpackable = file.endsWith(QLatin1String(".cfr"), Qt::CaseInsensitive) ||
                            file.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive);
    return unpackable ? CommandForm::DoubleClick : CommandForm::Ignored;
}

CommandForm flagForm(int count, const char* flag) {
    if (is(flag, "-p"))
        return CommandForm::PackPackage;
    if (is(flag, "-z"))
        return CommandForm::PackZip;
    if (is(flag, "-x"))
        return CommandForm::ExtractOne;
    if (is(flag, "-xc"))
        return CommandForm::ExtractHere;
    if (is(flag, "-xs"))
        return CommandForm::ExtractSeparately;
    if (is(flag, "-pk"))
        return count >= 5 ? CommandForm::PackAs : CommandForm::Ignored;
    return CommandForm::Ignored;
}

} // namespace

CommandForm commandForm(int argc, const char* const* argv) {
    const int count = argc - 1;
    if (count <= 0 || count == 2)
        return CommandForm::Graphical;
    if (count == 1)
        return singleArgumentForm(argv[1]);
    return flagForm(count, argv[1]);
}

QString fileArgument(const char* arg) {
    return QString::fromLocal8Bit(arg);
}

QString folderArgument(const char* arg) {
    return fileArgument(arg).trimmed();
}

QStringList fileArguments(int argc, const char* const* argv, int first) {
    QStringList files;
    for (int i = first; i < argc; ++i)
        files << fileArgument(argv[i]);
    return files;
}

PackRequest makePackRequest(const QString& folder, const QStringList& inputs,
                            const QString& suffix) {
    PackRequest request;
    for (const QString& input : inputs)
        request.inputs << QFileInfo(input);
    const QString name =
        request.inputs.size() == 1 ? request.inputs.first().completeBaseName() : QString();
    request.destination = uniquePackDestination(folder, name, suffix);
    return request;
}

PackRequest packRequestFromArguments(int argc, const char* const* argv, const QString& suffix) {
    return makePackRequest(folderArgument(argv[2]), fileArguments(argc, argv, 3), suffix);
}
