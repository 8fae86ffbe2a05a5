#include "endsignals.h"

#include "removeonsignal.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace quorvale {

EndSignals::EndSignals(QObject* parent) : QObject(parent)
{
    int ends[2];
    // Without the pipe the signals end the program at once, as they did before it.
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_read = ends[0];
    m_write = ends[1];
    m_notifier = new QSocketNotifier(m_read, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char signal = 0;
        if (::read(m_read, &signal, 1) == 1)
            emit received(signal);
    });
    HandRemovalSignalsTo(m_write);
}

EndSignals::~EndSignals()
{
    if (m_write < 0)
        return;
    StopHandingRemovalSignalsTo(m_write);
    delete m_notifier;
    ::close(m_read);
    ::close(m_write);
}

} // namespace quorvale
