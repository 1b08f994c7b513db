// library.json: one compact JSON array with an object per item.
#pragma once

#include "library/library_item.h"

#include <QByteArray>
#include <QVector>
#include <optional>

QByteArray encodeLibrary(const QVector<LibraryItem>& items, const QString& documents);

// Every archive element of the array as an item, read leniently (a member that is missing or
// of the wrong kind takes its default); elements without an id and those of another type
// (extraction records of older versions) are left out. Nothing when the bytes are not a JSON
// array.
std::optional<QVector<LibraryItem>> decodeLibrary(const QByteArray& bytes,
                                                  const QString& documents);
