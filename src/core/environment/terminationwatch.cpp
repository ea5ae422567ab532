#include "core/environment/terminationwatch.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = { SIGTERM, SIGINT, SIGHUP };

int g_pipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[0], &byte, 1);
}

} // namespace

TerminationWatch::TerminationWatch(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatch::onReadable);
    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

TerminationWatch::~TerminationWatch()
{
    for (const int number : kSignals)
        ::signal(number, SIG_DFL);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TerminationWatch::onReadable()
{
    char byte = 0;
    [[maybe_unused]] const auto got = ::read(g_pipe[1], &byte, 1);
    Q_EMIT terminationRequested();
}

void TerminationWatch::endWithParent(pid_t parent)
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The parent may have gone between the fork and the request.
    if (::getppid() != parent)
        ::_exit(0);
}
