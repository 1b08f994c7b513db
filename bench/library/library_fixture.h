// A library of `count` packages under a home of its own, as the program keeps it: small
// package files, every fourth one extracted, all digests present.
#pragma once

#include <QByteArray>
#include <QString>

// Points HOME and the XDG folders at folder and writes the files there; returns the
// library.json bytes written, or nothing on failure. The application's name must be set
// first: it names the folder library.json goes in.
QByteArray writeLibraryFixture(const QString& folder, int count);
