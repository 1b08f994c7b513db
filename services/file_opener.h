// Hands files and folders to the desktop's default applications.
#pragma once

#include <QObject>

class FileOpener : public QObject {
    Q_OBJECT

public:
    explicit FileOpener(QObject* parent = nullptr);

    Q_INVOKABLE void openExternally(const QString& filePath);
    // Opens the folder that holds the file, where the user can pass the file on.
    Q_INVOKABLE void shareFile(const QString& filePath);

signals:
    void failed(const QString& message);

private:
    void open(const QString& path);
};
