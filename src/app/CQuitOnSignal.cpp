#include "app/CQuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace kvl {

namespace {

int s_pair[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM};

void Handle(int)
{
    const char byte = 1;
    // Nothing else may be done in a signal handler; a full pipe already holds a quit.
    [[maybe_unused]] const ssize_t written = ::write(s_pair[0], &byte, 1);
}

} // namespace

CQuitOnSignal::CQuitOnSignal(QObject *parent) : QObject(parent)
{
    if (s_pair[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, s_pair) != 0)
        return;
    m_notifier = new QSocketNotifier(s_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CQuitOnSignal::OnSignal);
    struct sigaction action = {};
    action.sa_handler = Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

CQuitOnSignal::~CQuitOnSignal()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

void CQuitOnSignal::OnSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(s_pair[1], &byte, 1);
    QCoreApplication::quit();
}

} // namespace kvl
