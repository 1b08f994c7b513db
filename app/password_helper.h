// Receives the answer of one password window for the command-line flow.
#pragma once

#include <QObject>
#include <QString>

class PasswordHelper : public QObject {
    Q_OBJECT
public:
    explicit PasswordHelper(QObject* dialog, QObject* parent = nullptr);

    QString password;
    bool accepted = false;
    QObject* dialog;

public slots:
    // Both end the event loop that waits for the prompt.
    void onAccepted();
    void onRejected();
};
