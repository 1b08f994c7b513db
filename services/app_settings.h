// The program's persistent settings store, shared by every part that keeps a small value.
#pragma once

#include <QString>

#include <memory>

class QSettings;

// The store itself, for a part that writes several values at once. It is opened afresh for
// each use so that another running copy's changes are seen.
std::unique_ptr<QSettings> openAppSettings();

// Reads one value as text; defaultValue when the key has never been written.
QString readAppSetting(const QString& key, const QString& defaultValue = QString());

// Stores one text value; the store is written back before this returns. Failures stay silent,
// like every other persistent setting of the program.
void writeAppSetting(const QString& key, const QString& value);
