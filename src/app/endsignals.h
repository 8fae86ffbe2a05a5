// SIGINT, SIGTERM and SIGHUP brought into the event loop, so that the program keeps what waits in
// memory before it ends (the handler itself may do no more than write a byte).
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quorvale {

class EndSignals final : public QObject {
    Q_OBJECT

public:
    // Takes the first of the signals from SetUpOutputSignals' handler for as long as it lives.
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

signals:
    // The signal came: whoever ends the program in order raises it again once done.
    void received(int signal);

private:
    int m_read = -1;
    int m_write = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace quorvale
