#include "local_http_server.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

const int slowPieceSize = 4096;
const int slowPauseMs = 15;

} // namespace

LocalHttpServer::LocalHttpServer(QObject* parent) : QObject(parent) {
    connect(&server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server.nextPendingConnection())
            serve(socket);
    });
}

bool LocalHttpServer::start() {
    return server.listen(QHostAddress::LocalHost);
}

QUrl LocalHttpServer::address() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()));
}

QUrl LocalHttpServer::urlOf(const QByteArray& path) const {
    return QUrl(address().toString() + QString::fromLatin1(path));
}

void LocalHttpServer::serve(QTcpSocket* socket) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const int end = buffer->indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray path = buffer->left(end).split(' ').value(1);
        buffer->clear();
        received.append(path);
        respond(socket, path);
    });
}

void LocalHttpServer::respond(QTcpSocket* socket, const QByteArray& path) {
    const Answer found = answers.value(path, Answer{404, "no such file", {}});
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(found.status) + " Answer\r\n"; // any reason will do
    head += "Content-Length: " + QByteArray::number(found.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);

    switch (found.delivery) {
    case Delivery::AtOnce:
        socket->write(found.body);
        socket->disconnectFromHost();
        break;
    case Delivery::Slowly:
        sendSlowly(socket, found.body, 0);
        break;
    case Delivery::CutShort:
        socket->write(found.body.left(found.body.size() / 2));
        socket->disconnectFromHost();
        break;
    }
}

void LocalHttpServer::sendSlowly(QTcpSocket* socket, const QByteArray& body, int offset) {
    if (offset >= body.size()) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(body.mid(offset, slowPieceSize));
    socket->flush();
    QTimer::singleShot(slowPauseMs, socket, [this, socket, body, offset] {
        sendSlowly(socket, body, offset + slowPieceSize);
    });
}
