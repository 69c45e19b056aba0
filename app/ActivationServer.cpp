#include "app/ActivationServer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <cerrno>

#include <sys/socket.h>

namespace {

constexpr std::size_t kLongestRequest = 2048;
constexpr int kRequestTimeoutMs = 5000;

// One connection, until it has handed over its line, or has taken too long or said too much.
class PendingRequest : public QObject
{
    Q_OBJECT

public:
    PendingRequest(FileDescriptor client, QObject *parent)
        : QObject(parent)
        , m_client(std::move(client))
        , m_notifier(new QSocketNotifier(m_client.get(), QSocketNotifier::Read, this))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, &PendingRequest::readSome);
        QTimer::singleShot(kRequestTimeoutMs, this, &QObject::deleteLater);
    }

    // Takes what has arrived already; the rest as it comes.
    void start() { readSome(); }

signals:
    void lineReceived(const std::string &line);

private:
    void readSome()
    {
        std::array<char, 512> buffer{};
        for (;;) {
            const ssize_t count = ::recv(m_client.get(), buffer.data(), buffer.size(), 0);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;  // more later
            if (count <= 0) {
                finish();
                return;
            }
            m_received.append(buffer.data(), static_cast<std::size_t>(count));
            if (const std::size_t end = m_received.find('\n'); end != std::string::npos) {
                emit lineReceived(m_received.substr(0, end));
                finish();
                return;
            }
            if (m_received.size() > kLongestRequest) {
                finish();
                return;
            }
        }
    }

    void finish()
    {
        m_notifier->setEnabled(false);
        deleteLater();
    }

    FileDescriptor m_client;
    QSocketNotifier *m_notifier;
    std::string m_received;
};

}  // namespace

ActivationServer::ActivationServer(FileDescriptor listener, QObject *parent)
    : QObject(parent)
    , m_listener(std::move(listener))
    , m_notifier(new QSocketNotifier(m_listener.get(), QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &ActivationServer::acceptConnections);
}

void ActivationServer::acceptConnections()
{
    for (;;) {
        FileDescriptor client(::accept4(m_listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!client.isOpen()) {
            if (errno == EINTR)
                continue;
            return;  // no more waiting (EAGAIN), or none can be taken now
        }
        auto *request = new PendingRequest(std::move(client), this);
        connect(request, &PendingRequest::lineReceived, this, &ActivationServer::requestReceived);
        request->start();
    }
}

#include "ActivationServer.moc"
