#pragma once
// A one-answer HTTP server on 127.0.0.1 that remembers the request lines it got.

#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class TinyHttpServer : public QObject {
public:
    TinyHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_buffer += socket->readAll();
                    if (!m_buffer.contains("\r\n\r\n"))
                        return;
                    m_requests << QString::fromLatin1(m_buffer.left(m_buffer.indexOf("\r\n")));
                    m_buffer.clear();
                    socket->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
                        + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    [[nodiscard]] QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/upgrade").arg(m_server.serverPort());
    }
    [[nodiscard]] const QStringList& requests() const { return m_requests; }

    QByteArray body;

private:
    QTcpServer m_server;
    QByteArray m_buffer;
    QStringList m_requests;
};
