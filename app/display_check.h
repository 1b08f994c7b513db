// Whether the windowing system can be reached at all, checked before Qt would abort on it.
#pragma once

// True unless the program would need X11 or Wayland and neither DISPLAY nor WAYLAND_DISPLAY
// is set. A platform chosen with QT_QPA_PLATFORM or "-platform" that needs neither counts
// as available.
bool displayConfigured(int argc, const char* const* argv);

// True when the display the program would use answers: an X server at DISPLAY or a Wayland
// compositor at WAYLAND_DISPLAY (either, when no platform is chosen). A platform that needs
// neither counts as answering.
bool displayAnswers(int argc, const char* const* argv);
