// Ordering of dotted version texts such as "2.4.9.51".
#pragma once

#include <QString>

// 1 when a is newer than b, -1 when older, 0 when equal. Empty parts are skipped ("1..2" is
// 1.2), missing parts and parts that are not numbers count as 0 (2.5 == 2.5.0 == 2.5.0-beta).
int compareVersions(const QString& a, const QString& b);
