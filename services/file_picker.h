// File choosers that answer through signals, and the file the system asked us to open.
#pragma once

#include <QObject>
#include <QStringList>

class FilePicker : public QObject {
    Q_OBJECT

public:
    explicit FilePicker(QObject* parent = nullptr);

    Q_INVOKABLE void pickFiles();
    Q_INVOKABLE void pickArchive();
    // The file last handed over by the system, once: a second call gives an empty string.
    Q_INVOKABLE QString takePendingFile();

    // Keeps a file handed over by the system until the interface collects it (a later one
    // replaces it) and announces it to an interface that already runs. Empty paths are ignored.
    void receiveFile(const QString& path);

signals:
    void picked(const QStringList& paths);
    void cancelled();
    void fileReceived(const QString& path);

private:
    void answer(const QStringList& paths);

    QString pending_;
};
