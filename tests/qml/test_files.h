// Real files for the QML tests, which cannot write any: made under one temporary folder.
#pragma once

#include <QObject>
#include <QTemporaryDir>

class TestFiles : public QObject {
    Q_OBJECT
public:
    // Writes `text` at a path relative to the folder, making the folders on the way.
    Q_INVOKABLE QString write(const QString& relative, const QString& text);
    Q_INVOKABLE QString path(const QString& relative) const;
    Q_INVOKABLE bool exists(const QString& path) const;
    Q_INVOKABLE bool removeTree(const QString& path) const;

private:
    QTemporaryDir dir_;
};
