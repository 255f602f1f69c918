#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

// What the Calendar shows of one day: how many plans and reminders it has, and the first few lines of
// each for the hover. Whoever knows the plans and reminders fills it; the Calendar only draws it.
struct DayMark
{
    static constexpr int ShownLines = 5; // the hover lists this many, then "and N more"

    int plans = 0;
    int reminders = 0;
    QStringList planLines; // the first ShownLines, in the day's order
    QStringList reminderLines;

    void addPlan(const QString &line);
    // The line is made only when it is shown: a repeating reminder touches many days.
    template <typename MakeLine> void addReminder(MakeLine makeLine)
    {
        if (++reminders <= ShownLines)
            reminderLines.append(makeLine());
    }
    bool isEmpty() const { return plans == 0 && reminders == 0; }

    // "3 plans, 1 reminder"; empty for a day without either.
    QString description() const;
    // The description, then the first lines (plans before reminders), then "and N more" (rich text,
    // every line of the user's escaped).
    QString toolTip() const;
};

using DayMarks = QHash<QDate, DayMark>;
