// A small HTTP/1.1 server on 127.0.0.1 for the update checker's tests: fixed answers per path,
// optionally sent slowly, cut off halfway, or as a redirect.
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
        QByteArray location; // for redirects
    };

    struct Request {
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    explicit LocalHttpServer(QObject* parent = nullptr);

    bool start();
    QUrl address() const; // http://127.0.0.1:<port>
    QUrl urlOf(const QByteArray& path) const;

    void answer(const QByteArray& path, const Answer& answer) { answers[path] = answer; }
    void answer(const QByteArray& path, int status, const QByteArray& body,
                Delivery delivery = Delivery::AtOnce) {
        answers[path] = Answer{status, body, delivery, {}};
    }
    const QList<Request>& requests() const { return received; }

private:
    void serve(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Request& request);
    void sendSlowly(QTcpSocket* socket, const QByteArray& body, int offset);

    QTcpServer server;
    QHash<QByteArray, Answer> answers;
    QList<Request> received;
};
