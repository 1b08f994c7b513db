// A small HTTP/1.1 server on 127.0.0.1 for the update checker's tests: a fixed answer per path,
// 404 for any other.
#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

class LocalHttpServer {
public:
    LocalHttpServer() {
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                serve(socket);
        });
    }

    bool start() { return server.listen(QHostAddress::LocalHost); }
    QUrl url(const QString& path = QString()) const {
        return QUrl(QString("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path));
    }
    void answer(const QByteArray& path, int status, const QByteArray& body) {
        answers[path] = {status, body};
    }

    QList<QByteArray> requests; // the paths asked for, in order

private:
    void serve(QTcpSocket* socket) {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const QByteArray head = socket->peek(socket->bytesAvailable());
            if (!head.contains("\r\n\r\n"))
                return;
            socket->readAll();
            requests << head.split(' ').value(1);
            const auto found = answers.value(requests.last(), {404, "no such file"});
            socket->write("HTTP/1.1 " + QByteArray::number(found.first) + " Answer\r\n" +
                          "Content-Length: " + QByteArray::number(found.second.size()) +
                          "\r\nConnection: close\r\n\r\n" + found.second);
            socket->disconnectFromHost();
        });
    }

    QTcpServer server;
    QHash<QByteArray, QPair<int, QByteArray>> answers;
};
