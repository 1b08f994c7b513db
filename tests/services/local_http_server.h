// A small HTTP/1.1 server on 127.0.0.1 for the update checker's tests: fixed answers per path,
// optionally sent slowly or cut off halfway.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

class LocalHttpServer : public QObject {
    Q_OBJECT

public:
    enum class Delivery {
        AtOnce,
        Slowly,  // the body in small pieces with pauses between them
        CutShort // the full length announced, half the body sent, then the connection closed
    };

    struct Answer {
        int status = 200;
        QByteArray body;
        Delivery delivery = Delivery::AtOnce;
    };

    explicit LocalHttpServer(QObject* parent = nullptr);

    bool start();
    QUrl address() const; // http://127.0.0.1:<port>
    QUrl urlOf(const QByteArray& path) const;

    void answer(const QByteArray& path, int status, const QByteArray& body,
                Delivery delivery = Delivery::AtOnce) {
        answers[path] = Answer{status, body, delivery};
    }
    // The paths asked for, in order.
    const QList<QByteArray>& requests() const { return received; }

private:
    void serve(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const QByteArray& path);
    void sendSlowly(QTcpSocket* socket, const QByteArray& body, int offset);

    QTcpServer server;
    QHash<QByteArray, Answer> answers;
    QList<QByteArray> received;
};
