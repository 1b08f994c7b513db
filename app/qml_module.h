// The QML module "Coffret" 1.0 through which every interface document reaches the backend.
#pragma once

class FilePicker;
class PackController;
class QObject;
class UpdateChecker;

// Creates each backend singleton once, as a child of parent, and registers the module.
// Safe to call more than once: later calls reuse the existing objects.
void registerQmlTypes(QObject* parent);

// The registered singletons the program itself needs; null before registration.
PackController* packControllerSingleton();
UpdateChecker* updaterSingleton();
FilePicker* filePickerSingleton();
