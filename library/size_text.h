#pragma once

#include <QString>

// A byte count for people: "1023 B", "1.0 KB", "1.5 MB", ... up to TB, which never grows
// into a larger unit.
QString sizeText(qint64 bytes);
