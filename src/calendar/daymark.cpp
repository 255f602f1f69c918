#include "calendar/daymark.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DayMark", text);
}

constexpr int LineLength = 80; // a longer plan or message is cut in the hover

QString shortLine(const QString &line)
{
    if (line.size() <= LineLength)
        return line;
    const int length = line.at(LineLength - 1).isHighSurrogate() ? LineLength - 1 : LineLength;
    return line.left(length) + QChar(0x2026);
}

} // namespace

void DayMark::addPlan(const QString &line)
{
    if (++plans <= ShownLines)
        planLines.append(line);
}

QString DayMark::description() const
{
    QStringList parts;
    if (plans > 0)
        parts << (plans == 1 ? tr("1 plan") : tr("%1 plans").arg(plans));
    if (reminders > 0)
        parts << (reminders == 1 ? tr("1 reminder") : tr("%1 reminders").arg(reminders));
    return parts.join(QStringLiteral(", "));
}

QString DayMark::toolTip() const
{
    if (isEmpty())
        return QString();
    QStringList lines { description().toHtmlEscaped() };
    const QStringList all = planLines + reminderLines;
    const QString bell = tr("Reminder: %1");
    for (qsizetype i = 0; i < all.size() && i < ShownLines; ++i) {
        const QString line = shortLine(all.at(i));
        lines << (i < planLines.size() ? line : bell.arg(line)).toHtmlEscaped();
    }
    if (const int more = plans + reminders - int(std::min<qsizetype>(all.size(), ShownLines)); more > 0)
        lines << tr("and %1 more").arg(more);
    return QStringLiteral("<p style=\"white-space:pre\">") + lines.join(QStringLiteral("<br>"))
        + QStringLiteral("</p>");
}
