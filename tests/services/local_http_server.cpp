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
        const QList<QByteArray> lines = buffer->left(end).split('\n');
        buffer->clear();
        Request request;
        request.path = lines.value(0).split(' ').value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers[lines[i].left(colon).trimmed().toLower()] =
                    lines[i].mid(colon + 1).trimmed();
        }
        received.append(request);
        respond(socket, request);
    });
}

void LocalHttpServer::respond(QTcpSocket* socket, const Request& request) {
    const Answer found = answers.value(request.path, Answer{404, "no such file", {}, {}});
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(found.status) + " Answer\r\n"; // any reason will do
    if (!found.location.isEmpty())
        head += "Location: " + found.location + "\r\n";
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
