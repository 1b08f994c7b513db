// Stands in for the desktop's file handler: records what the program asks it to open.
#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

class DesktopRecorder : public QObject {
    Q_OBJECT

public:
    DesktopRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~DesktopRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};
