// The jobs run from a file manager: a double-clicked archive or a context-menu action.
#pragma once

#include "app/command_line.h"

class QApplication;

// Prompts if needed, runs the job with progress and result windows, and returns when the
// result window is closed (or at once when every prompt was dismissed).
void runCommandLine(QApplication& app, CommandForm form, int argc, const char* const* argv);
