// The windowed interface: the desktop main window, or the touch interface.
#pragma once

class QApplication;

// Runs the interface until its last window closes; -1 when the root document fails to load.
int runGraphical(QApplication& app);
