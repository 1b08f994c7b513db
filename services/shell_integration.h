// Keeps the file-manager actions in step with the running program: installed on the first
// start, and again whenever the program's version or location changes.
#pragma once

#include "services/thunar_actions.h"

// Called once at start-up of the windowed interface; does nothing when the actions of this
// version at this location are already installed.
void ensureShellIntegration();

// Writes the actions for this executable and remembers the installation when that succeeded,
// so that a failed write is tried again at the next start.
void installShellIntegration();
