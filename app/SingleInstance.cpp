#include "app/SingleInstance.h"

#include "app/ActivationServer.h"
#include "app/ActivationSocket.h"
#include "app/RuntimeFolder.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

#include <unistd.h>

namespace {

// How long a later start waits for the lock's holder to listen (it does so right after taking
// the lock) or to let the lock go, and how long one hand-over may take.
constexpr auto kAnswerDeadline = std::chrono::seconds(5);
constexpr auto kSendTimeout = std::chrono::milliseconds(2000);
constexpr auto kRetryPause = std::chrono::milliseconds(50);
// Requests closer together than this are one burst, passed on once; a burst without a pause is
// passed on at least this often.
constexpr int kBurstPauseMs = 100;
constexpr qint64 kLongestBurstMs = 1000;

}  // namespace

SingleInstance::SingleInstance(std::string name, QObject *parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_passOn(new QTimer(this))
{
    m_passOn->setSingleShot(true);
    connect(m_passOn, &QTimer::timeout, this, &SingleInstance::passOnRequest);
}

SingleInstance::~SingleInstance()
{
    stopServing();
}

void SingleInstance::stopServing()
{
    if (!m_server)
        return;
    delete m_server;
    m_server = nullptr;
    ::unlink(socketPath().c_str());  // while the lock is still held, so no newer socket goes
}

std::filesystem::path SingleInstance::lockPath(const std::filesystem::path &folder, const std::string &name)
{
    return folder / (name + "-" + std::to_string(::geteuid()) + ".lock");
}

std::filesystem::path SingleInstance::lockPath() const
{
    return lockPath(m_folder, m_name);
}

std::filesystem::path SingleInstance::socketPath() const
{
    return ActivationSocket::path(m_folder, m_name + "-" + std::to_string(::geteuid()));
}

bool SingleInstance::claim(const ActivationToken &token)
{
    for (const auto find : {&RuntimeFolder::session, &RuntimeFolder::ownCache, &RuntimeFolder::ownTemporary}) {
        const std::filesystem::path folder = find();
        if (folder.empty())
            continue;
        switch (claimIn(folder, token)) {
        case Outcome::First:
            return true;
        case Outcome::Later:
            return false;
        case Outcome::Unanswered:
            m_folder.clear();
            return true;  // a holder that never answers does not keep the window from opening
        case Outcome::Unusable:
            break;  // no lock can be kept there: the next folder
        }
    }
    m_folder.clear();
    return true;  // nowhere to keep a lock: this start runs on its own
}

SingleInstance::Outcome SingleInstance::claimIn(const std::filesystem::path &folder, const ActivationToken &token)
{
    m_folder = folder;
    const auto deadline = std::chrono::steady_clock::now() + kAnswerDeadline;
    for (;;) {
        m_lock = InstanceLock(lockPath());
        switch (m_lock.state()) {
        case InstanceLock::State::Taken:
            m_listener = ActivationSocket::listen(socketPath());
            if (m_listener.isOpen())
                return Outcome::First;
            // Later starts could not reach this one here (a socket path too long, say).
            m_lock = InstanceLock();
            return Outcome::Unusable;
        case InstanceLock::State::Failed:
            return Outcome::Unusable;
        case InstanceLock::State::HeldElsewhere:
            if (ActivationSocket::send(socketPath(), token.toLine(), kSendTimeout))
                return Outcome::Later;
            break;
        }
        // The holder is about to listen, or about to end.
        if (std::chrono::steady_clock::now() >= deadline)
            return Outcome::Unanswered;
        std::this_thread::sleep_for(kRetryPause);
    }
}

void SingleInstance::serve()
{
    if (!m_listener.isOpen())
        return;
    m_server = new ActivationServer(std::move(m_listener), this);
    connect(m_server, &ActivationServer::requestReceived, this, &SingleInstance::takeRequest);
}

void SingleInstance::takeRequest(const std::string &line)
{
    ActivationToken token;
    if (!ActivationToken::fromLine(line, token))
        return;
    m_lastToken = token;
    if (!m_passOn->isActive())
        m_burst.start();
    const qint64 left = std::max<qint64>(0, kLongestBurstMs - m_burst.elapsed());
    m_passOn->start(static_cast<int>(std::min<qint64>(left, kBurstPauseMs)));
}

void SingleInstance::passOnRequest()
{
    emit activationRequested(m_lastToken);
}
