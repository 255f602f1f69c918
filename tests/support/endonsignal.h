#pragma once

#include <QProcess>
#include <csignal>

// Sends the program SIGTERM, as a logout or a service manager does: true when it then ended by
// itself, with status 0, within ten seconds.
inline bool endsCleanlyOnSignal(QProcess &program)
{
    ::kill(pid_t(program.processId()), SIGTERM);
    return program.waitForFinished(10000) && program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
}
