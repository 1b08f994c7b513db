// Start-up steps shared by every way the program runs.
#pragma once

#include <QString>

class QCoreApplication;

// Name, version and window icon.
void setApplicationIdentity();

// Points the 7z plugin loader at a plugin shipped with the program ("../lib/coffret/7z.so",
// then "7z.so" beside it) unless CFR_P7ZIP_LIB already names one.
void discoverP7zipPlugin(const QString& programDir);

// The folder the application translation is loaded from: "../share/coffret/translations"
// relative to the program when the file is there, else the program's own folder.
// programPath is the program as typed (argv[0]), so a relative one is taken from the
// current folder.
QString applicationTranslationDir(const QString& programPath);

// Installs Qt's own translation for the system locale and the application's Chinese one.
void installTranslations(QCoreApplication& app, const QString& programPath);
