#pragma once

#include "reminders/remindersical.h"

#include <QByteArray>
#include <QString>
#include <optional>

class frmQY2;

// The command-line forms `--export-ics FILE` and `--import-ics FILE`. They run without a display and
// print what they did. An export only reads reminders.dat, so it runs beside a running copy. An import
// while a copy runs is handed to that copy (through the single-copy pipe), which adds the reminders to
// the list it holds and saves, so that its next save cannot write over them; the copy shows its report.
namespace IcsCommandLine {

// The exit status when the arguments ask for an export or an import; nothing for a normal start.
// lockFolder gives the folder of the single-copy lock once the application's names are set.
std::optional<int> run(int argc, char *argv[], QString (*lockFolder)());

// The Planner's entries from `from` on, as events of their slot's length, for an export.
QList<RemindersIcal::Appointment> planAppointments(const QDate &from);

// The running copy's side of a handed-over import: true when `request` was one.
bool handleRequest(frmQY2 &main, const QByteArray &request);

} // namespace IcsCommandLine
