// An archive of real files written by the program's own engine, for the tests that need one
// to open: a package (.cfr) or, without a password, whatever the destination's suffix names.
#pragma once

#include "cfr.h"

#include <QStringList>

#include <vector>

inline bool packFiles(const QString& destination, const QStringList& inputs,
                      const QString& password) {
    std::vector<QByteArray> paths;
    for (const QString& input : inputs)
        paths.push_back(input.toUtf8());
    std::vector<const char*> names;
    for (const QByteArray& path : paths)
        names.push_back(path.constData());
    const QByteArray secret = password.toUtf8();
    return cfr::pack(names.data(), int(names.size()), destination.toUtf8().constData(),
                     password.isEmpty() ? nullptr : secret.constData(), nullptr,
                     nullptr) == cfr::Ok;
}
