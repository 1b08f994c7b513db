#pragma once

#include <QString>

// SHA-256 of a file's contents as 64 lower-case hexadecimal digits, read in blocks. Empty when
// the path is not a regular file or cannot be read to its end.
QString fileDigest(const QString& path);
