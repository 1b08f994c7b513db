// The two global objects the touch interface's documents read: `Theme` and `Str`.
#pragma once

#include <QString>

class QQmlEngine;

// Creates them in the engine's root context; one that fails to load is logged and left null.
void installTouchContext(QQmlEngine& engine, const QString& systemLocaleName);
