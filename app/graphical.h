// The windowed interface: the desktop main window, or the touch interface.
#pragma once

class QApplication;
class QQmlApplicationEngine;
class QUrl;

// Loads the interface's root document; when it cannot be created the event loop is left
// with -1, so no windowless process stays behind.
void loadRootDocument(QQmlApplicationEngine& engine, const QUrl& document);

// Runs the interface until its last window closes; -1 when the root document fails to load.
int runGraphical(QApplication& app);
