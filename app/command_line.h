// The command-line grammar: which way the program runs, decided from its arguments alone.
#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QVector>

enum class CommandForm {
    Graphical,         // no argument, or exactly two: the main window
    Ignored,           // anything else that is not recognised: nothing shown, exit 0
    DoubleClick,       // <file>.cfr or <file>.zip: unpack beside itself
    PackPackage,       // -p <dir> <file>...
    PackZip,           // -z <dir> <file>...
    ExtractOne,        // -x <parent> <archive>
    ExtractHere,       // -xc <dir> <archive>...
    ExtractSeparately, // -xs <dir> <archive>...
    PackAs,            // -pk <ext> <flag> <dir> <file>...
};

// argv[0] is the program; flags are compared byte for byte.
CommandForm commandForm(int argc, const char* const* argv);

// A file or archive argument, read in the local 8-bit encoding.
QString fileArgument(const char* arg);
// A folder argument: also stripped of surrounding white space.
QString folderArgument(const char* arg);

struct PackRequest {
    QVector<QFileInfo> inputs;
    QString destination;
};

// The inputs, and a free destination in folder named after the only input, or after the folder
// when there are several.
PackRequest makePackRequest(const QString& folder, const QStringList& inputs,
                            const QString& suffix);

// "-p"/"-z" style arguments: the folder is argv[2], the inputs argv[3] and on.
PackRequest packRequestFromArguments(int argc, const char* const* argv, const QString& suffix);

// argv[first] and on, as file arguments.
QStringList fileArguments(int argc, const char* const* argv, int first);
