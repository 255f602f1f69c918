#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the system's requests to end the program (on POSIX: SIGTERM, SIGINT and SIGHUP) into a Qt
// signal on the user-interface thread, so that ending the program from outside runs the same orderly
// shutdown as Exit.
class TerminationSignals final : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
