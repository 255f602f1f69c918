#include "reminders/remindersical.h"

#include "common/textfile.h"
#include "reminders/reminderrecord.h"
#include "reminders/schedule.h"

#include <QCryptographicHash>
#include <QLocale>
#include <libical/ical.h>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct ComponentFree
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// The rule of each schedule, in code order ("Once" has none).
constexpr const char *scheduleRules[Schedule::Count]
    = { nullptr, "FREQ=DAILY", "FREQ=WEEKLY", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", "FREQ=WEEKLY;BYDAY=SA,SU",
          "FREQ=WEEKLY;INTERVAL=2", "FREQ=MONTHLY", "FREQ=YEARLY" };

// Occurrences looked at for the next one of a rule: enough for any rule that repeats at most every
// minute over a day, and a bound on the work a hostile file can ask for.
constexpr int MaxOccurrences = 2000;
// Years after this one libical writes as zeros.
constexpr int LastYear = 2500;

icaltimetype localTime(const QDate &date, const QTime &time, const icaltimezone *zone)
{
    icaltimetype value = icaltime_null_time();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    value.hour = time.hour();
    value.minute = time.minute();
    value.zone = zone;
    return value;
}

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

icalcomponent *eventOf(const QString &record, const QString &uid, const icaltimetype &stamp)
{
    const QByteArray message = RecordMessage(record).toUtf8();
    icalcomponent *event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    icalcomponent_set_dtstart(event, localTime(RecordDate(record), RecordTime(record), nullptr));
    if (!message.isEmpty()) // libical reads an empty value as a fault
        icalcomponent_add_property(event, icalproperty_new_summary(message.constData()));
    const QByteArray category = Schedule::categoryNames().value(RecordCategory(record)).toUtf8();
    icalcomponent_add_property(event, icalproperty_new_categories(category.constData()));
    if (const char *rule = scheduleRules[RecordSchedule(record)])
        icalcomponent_add_property(event, icalproperty_new_rrule(icalrecurrencetype_from_string(rule)));
    icalcomponent *alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype trigger {};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    const QByteArray alarmText = message.isEmpty() ? RemindersIcal::tr("Reminder").toUtf8() : message;
    icalcomponent_add_property(alarm, icalproperty_new_description(alarmText.constData()));
    icalcomponent_add_component(event, alarm);
    return event;
}

icalcomponent *appointmentEvent(const RemindersIcal::Appointment &appointment, const icaltimetype &stamp)
{
    icalcomponent *event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(appointment.uid.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    const QDateTime end = appointment.start.addSecs(60LL * appointment.minutes);
    icalcomponent_set_dtstart(event, localTime(appointment.start.date(), appointment.start.time(), nullptr));
    icalcomponent_set_dtend(event, localTime(end.date(), end.time(), nullptr));
    if (!appointment.text.isEmpty())
        icalcomponent_add_property(event, icalproperty_new_summary(appointment.text.toUtf8().constData()));
    return event;
}

// ---- reading ----

struct Event
{
    icalcomponent *component = nullptr;
    icaltimetype start {};
    QString name;
    QStringList notes; // what was changed on the way in
};

QDateTime toLocal(const icaltimetype &time)
{
    if (time.zone) // a zone or UTC: the same moment on this computer's clock
        return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(time, time.zone));
    return QDateTime(QDate(time.year, time.month, time.day), QTime(time.hour, time.minute));
}

icaltimetype inZoneOf(const QDateTime &moment, const icaltimetype &like)
{
    if (like.zone)
        return icaltime_from_timet_with_zone(moment.toSecsSinceEpoch(), 0, like.zone);
    return localTime(moment.date(), moment.time(), nullptr);
}

QDateTime dropSeconds(const QDateTime &moment)
{
    return QDateTime(moment.date(), QTime(moment.time().hour(), moment.time().minute()));
}

// The seconds from the start to the first display or audio alarm (0 when none is earlier).
int alarmOffset(icalcomponent *component, QStringList &notes)
{
    int offset = 0;
    for (icalcomponent *alarm = icalcomponent_get_first_component(component, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(component, ICAL_VALARM_COMPONENT)) {
        icalproperty *property = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!property)
            continue;
        const icaltriggertype trigger = icalproperty_get_trigger(property);
        icalparameter *related = icalproperty_get_first_parameter(property, ICAL_RELATED_PARAMETER);
        if (!icaltime_is_null_time(trigger.time) || (related && icalparameter_get_related(related) == ICAL_RELATED_END))
            notes << RemindersIcal::tr("an alarm not counted from the start was left out");
        else
            offset = std::min(offset, icaldurationtype_as_int(trigger.duration));
    }
    return offset;
}

QList<int> entries(const short *values, int size)
{
    QList<int> list;
    for (int i = 0; i < size && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        list << values[i];
    return list;
}

QList<int> weekdays(const icalrecurrencetype &rule)
{
    QList<int> days;
    for (int day : entries(rule.by_day, ICAL_BY_DAY_SIZE))
        days << (icalrecurrencetype_day_position(short(day)) == 0 ? int(icalrecurrencetype_day_day_of_week(short(day)))
                                                                  : -1);
    std::sort(days.begin(), days.end());
    return days;
}

// The schedule that repeats exactly as the rule does from `start`; nullopt for any other rule.
std::optional<int> scheduleOf(icalrecurrencetype rule, const QDate &start)
{
    if (rule.count != 0 || !icaltime_is_null_time(rule.until) || rule.by_second[0] != ICAL_RECURRENCE_ARRAY_MAX
        || rule.by_minute[0] != ICAL_RECURRENCE_ARRAY_MAX || rule.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX
        || rule.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX || rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX
        || rule.by_set_pos[0] != ICAL_RECURRENCE_ARRAY_MAX)
        return std::nullopt;
    const QList<int> days = weekdays(rule);
    const QList<int> monthDays = entries(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const QList<int> months = entries(rule.by_month, ICAL_BY_MONTH_SIZE);
    const int startDay = start.dayOfWeek() % 7 + 1; // libical counts Sunday = 1
    const bool onStartDay = days.isEmpty() || days == QList<int> { startDay };
    const bool plain = monthDays.isEmpty() && months.isEmpty();
    const bool daily = rule.freq == ICAL_DAILY_RECURRENCE && rule.interval == 1;
    const bool weekly = rule.freq == ICAL_WEEKLY_RECURRENCE && rule.interval == 1;
    if ((daily || weekly) && plain && days == QList<int> { 2, 3, 4, 5, 6 })
        return Schedule::Weekdays;
    if ((daily || weekly) && plain && days == QList<int> { 1, 7 })
        return Schedule::Weekends;
    if (daily && plain && days.isEmpty())
        return Schedule::Daily;
    if (rule.freq == ICAL_WEEKLY_RECURRENCE && plain && onStartDay && (rule.interval == 1 || rule.interval == 2))
        return rule.interval == 1 ? Schedule::Weekly : Schedule::Fortnightly;
    const bool onStartDate = days.isEmpty() && (monthDays.isEmpty() || monthDays == QList<int> { start.day() });
    if (rule.freq == ICAL_MONTHLY_RECURRENCE && rule.interval == 1 && onStartDate && months.isEmpty())
        return Schedule::Monthly;
    if (rule.freq == ICAL_YEARLY_RECURRENCE && rule.interval == 1 && onStartDate
        && (months.isEmpty() || months == QList<int> { start.month() }))
        return Schedule::Yearly;
    return std::nullopt;
}

QList<icaltimetype> times(icalcomponent *component, icalproperty_kind kind)
{
    QList<icaltimetype> list;
    for (icalproperty *property = icalcomponent_get_first_property(component, kind); property;
         property = icalcomponent_get_next_property(component, kind)) {
        const icaldatetimeperiodtype value = kind == ICAL_RDATE_PROPERTY
            ? icalproperty_get_rdate(property)
            : icaldatetimeperiodtype { icalproperty_get_exdate(property), {} };
        icaltimetype time = icaltime_is_null_time(value.time) ? value.period.start : value.time;
        icalparameter *tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        if (icalcomponent *calendar = icalcomponent_get_parent(component); tzid && calendar)
            time.zone = icalcomponent_get_timezone(calendar, icalparameter_get_tzid(tzid));
        if (!icaltime_is_null_time(time))
            list << time;
    }
    return list;
}

// The first occurrence of the event whose alarm (start + offset) is not before `now`.
std::optional<QDateTime> nextOccurrence(const Event &event, int offset, const QDateTime &now)
{
    QList<QDateTime> excluded;
    for (const icaltimetype &time : times(event.component, ICAL_EXDATE_PROPERTY))
        excluded << toLocal(time);
    const QDateTime from = now.addSecs(-offset);
    std::optional<QDateTime> best;
    const auto consider = [&](const QDateTime &local) {
        if (local >= from && !excluded.contains(local) && (!best || local < *best))
            best = local;
    };
    consider(toLocal(event.start));
    for (const icaltimetype &time : times(event.component, ICAL_RDATE_PROPERTY))
        consider(toLocal(time));
    for (icalproperty *property = icalcomponent_get_first_property(event.component, ICAL_RRULE_PROPERTY); property;
         property = icalcomponent_get_next_property(event.component, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(property);
        icalrecur_iterator *it = icalrecur_iterator_new(rule, event.start);
        if (!it)
            continue;
        if (rule.count == 0)
            icalrecur_iterator_set_start(it, inZoneOf(from.addDays(-1), event.start));
        for (int n = 0; n < MaxOccurrences; ++n) {
            const icaltimetype next = icalrecur_iterator_next(it);
            if (icaltime_is_null_time(next))
                break;
            const QDateTime local = toLocal(next);
            if (local >= from && !excluded.contains(local)) {
                consider(local);
                break;
            }
        }
        icalrecur_iterator_free(it);
    }
    return best;
}

QString nameOf(icalcomponent *component)
{
    const char *summary = icalcomponent_get_summary(component);
    if (!summary || !*summary)
        summary = icalcomponent_get_description(component);
    return OneLine(text(summary));
}

int categoryOf(icalcomponent *component, QStringList &notes)
{
    int found = -1;
    QStringList unknown;
    const QStringList names = Schedule::categoryNames();
    for (icalproperty *property = icalcomponent_get_first_property(component, ICAL_CATEGORIES_PROPERTY); property;
         property = icalcomponent_get_next_property(component, ICAL_CATEGORIES_PROPERTY)) {
        for (const QString &name : text(icalproperty_get_categories(property)).split(u',', Qt::SkipEmptyParts)) {
            int code = int(names.size()) - 1;
            while (code >= 0 && names[code].compare(name.trimmed(), Qt::CaseInsensitive) != 0)
                --code;
            if (code < 0)
                unknown << name.trimmed();
            else if (found < 0)
                found = code;
        }
    }
    if (!unknown.isEmpty())
        notes << RemindersIcal::tr("its category %1 is none of the program's, so it is filed under %2")
                     .arg(unknown.join(u", "), names.value(std::max(found, 0)));
    return std::max(found, 0);
}

// Why the event cannot keep its own repetition; empty when it can (`schedule` then holds it).
QString inexactReason(const Event &event, const QDateTime &due, int &schedule)
{
    icalcomponent *component = event.component;
    const int rules = icalcomponent_count_properties(component, ICAL_RRULE_PROPERTY);
    if (icalcomponent_count_properties(component, ICAL_EXDATE_PROPERTY) > 0
        || icalcomponent_count_properties(component, ICAL_RDATE_PROPERTY) > 0
        || icalcomponent_count_properties(component, ICAL_EXRULE_PROPERTY) > 0)
        return RemindersIcal::tr("it has extra or excluded dates (RDATE, EXDATE)");
    if (rules > 1)
        return RemindersIcal::tr("it has more than one rule");
    schedule = Schedule::Once;
    if (rules == 0)
        return QString();
    icalrecurrencetype rule = icalproperty_get_rrule(icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY));
    const std::optional<int> code = scheduleOf(rule, toLocal(event.start).date());
    if (!code)
        return RemindersIcal::tr("its rule %1 is none of the schedules").arg(text(icalrecurrencetype_as_string(&rule)));
    if (due.date() != toLocal(event.start).date())
        return RemindersIcal::tr("its alarm falls on another day than its start");
    schedule = *code;
    if (const std::optional<Message> broken = Schedule::CheckScheduleRule(schedule, due.date())) {
        schedule = Schedule::Once;
        return broken->title.section(QStringLiteral(": "), 1);
    }
    return QString();
}

QString label(const Event &event)
{
    return event.name.isEmpty() ? RemindersIcal::tr("An event without a summary")
                                : RemindersIcal::tr("\u201c%1\u201d").arg(event.name.left(80));
}

QString leftOut(const Event &event, const QString &why)
{
    return RemindersIcal::tr("%1 was not imported: %2.").arg(label(event), why);
}

QString uidOrHash(icalcomponent *component, const QString &record)
{
    const char *uid = icalcomponent_get_uid(component);
    if (uid && *uid)
        return text(uid);
    return QString::fromLatin1(QCryptographicHash::hash(record.toUtf8(), QCryptographicHash::Sha1).toHex());
}

std::optional<QString> leftOutReason(icalcomponent *component, const icaltimetype &start)
{
    const icalproperty_status status = icalcomponent_get_status(component);
    if (status == ICAL_STATUS_CANCELLED)
        return RemindersIcal::tr("it was cancelled");
    if (status == ICAL_STATUS_COMPLETED)
        return RemindersIcal::tr("it is done");
    if (icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY))
        return RemindersIcal::tr("it changes one occurrence of a repeating event");
    if (icaltime_is_null_time(start))
        return RemindersIcal::tr("it has no start");
    if (start.is_date)
        return RemindersIcal::tr("it lasts all day, and a reminder needs a time of day");
    return std::nullopt;
}

void readEvent(icalcomponent *component, const QDateTime &now, RemindersIcal::Parsed &parsed)
{
    Event event { component, icalcomponent_get_dtstart(component), nameOf(component), {} };
    if (icaltime_is_null_time(event.start) && icalcomponent_isa(component) == ICAL_VTODO_COMPONENT)
        event.start = icalcomponent_get_due(component);
    if (const std::optional<QString> why = leftOutReason(component, event.start)) {
        parsed.report << leftOut(event, *why);
        return;
    }
    icalproperty *dtstart = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
    icalparameter *tzid = dtstart ? icalproperty_get_first_parameter(dtstart, ICAL_TZID_PARAMETER) : nullptr;
    if (tzid && !event.start.zone)
        event.notes << RemindersIcal::tr("its time zone %1 is unknown, so its time is taken as local time")
                           .arg(text(icalparameter_get_tzid(tzid)));
    const int category = categoryOf(component, event.notes);
    const int offset = alarmOffset(component, event.notes);
    if (offset < 0)
        event.notes << RemindersIcal::tr(
            "it reminds %n minute(s) before the start, as its alarm does", nullptr, -offset / 60);
    int schedule = Schedule::Once;
    const QString reason = inexactReason(event, dropSeconds(toLocal(event.start).addSecs(offset)), schedule);
    const std::optional<QDateTime> next = nextOccurrence(event, offset, now);
    if (!next) {
        parsed.report << leftOut(event, RemindersIcal::tr("it has no occurrence after now"));
        return;
    }
    const QDateTime due = dropSeconds(next->addSecs(offset));
    if (due.date().year() > LastYear) {
        parsed.report << leftOut(event, RemindersIcal::tr("it lies after the year %1").arg(LastYear));
        return;
    }
    const QString record = MakeReminderRecord(due.date(), due.time(), schedule, category, event.name);
    parsed.reminders.append({ record, uidOrHash(component, record) });
    if (!reason.isEmpty())
        event.notes.prepend(RemindersIcal::tr("it is a \u201cOnce\u201d reminder for %1, because %2")
                                .arg(QLocale::c().toString(due, QStringLiteral("yyyy-MM-dd HH:mm")), reason));
    if (!event.notes.isEmpty())
        parsed.report << RemindersIcal::tr("%1 was imported, but %2.").arg(label(event), event.notes.join(u"; "));
}

// The reason libical noted for the line it could not read; empty when it noted none.
QString noteOfError(icalcomponent *component)
{
    if (icalproperty *error = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY))
        return text(icalproperty_get_xlicerror(error));
    for (icalcomponent *inner = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); inner;
         inner = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        if (const QString note = noteOfError(inner); !note.isEmpty())
            return note;
    }
    return QString();
}

// What libical notes against one content line read on its own; empty when it reads it. (Its parser
// moves on after some faults in a line, such as a parameter it cannot read, without a sign to its caller.)
QString lineFault(const QByteArray &line)
{
    constexpr qsizetype longestLineParsedAlone = 8000; // longer lines libical reads only within a file
    if (line.size() > longestLineParsedAlone || line.startsWith("BEGIN:") || line.startsWith("END:"))
        return QString();
    const QByteArray alone = QByteArray("BEGIN:VCALENDAR\r\n" + line + "\r\nEND:VCALENDAR\r\n");
    const Component probe(icalparser_parse_string(alone.constData()));
    return probe ? noteOfError(probe.get()) : RemindersIcal::tr("this line is not iCalendar");
}

// libical parses the file one content line at a time, so that the first line it cannot read is known.
std::vector<Component> parseLines(const QByteArray &ics, QString &error)
{
    std::vector<Component> parsed;
    std::unique_ptr<icalparser, decltype(&icalparser_free)> parser(icalparser_new(), icalparser_free);
    QByteArray content;
    int contentLine = 0;
    const auto feed = [&]() {
        if (content.isEmpty())
            return true;
        QString fault = lineFault(content);
        // An empty value (which some programs write) is dropped by libical: nothing is lost with it.
        const bool empty = fault.startsWith(QLatin1String("No value for"));
        if (empty)
            fault.clear();
        if (fault.isEmpty()) {
            if (icalcomponent *done = icalparser_add_line(parser.get(), content.data()))
                parsed.emplace_back(done);
            if (icalparser_get_state(parser.get()) == ICALPARSER_ERROR && !empty)
                fault = RemindersIcal::tr("this line is out of place");
        }
        if (!fault.isEmpty())
            error = RemindersIcal::tr("Line %1: %2").arg(contentLine).arg(fault);
        return fault.isEmpty();
    };
    const QList<QByteArray> lines = ics.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
        if (i == 0 && line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        if (line.startsWith(' ') || line.startsWith('\t')) { // a folded line goes on
            content += line.mid(1);
            continue;
        }
        if (!feed())
            return {};
        content = line;
        contentLine = i + 1;
    }
    if (!feed())
        return {};
    // What the parser still holds is a component without its END (the parser keeps it).
    if (icalcomponent *open = icalparser_clean(parser.get())) {
        error = RemindersIcal::tr("Line %1: the file ends before the END of %2")
                    .arg(lines.size())
                    .arg(text(icalcomponent_kind_to_string(icalcomponent_isa(open))));
        return {};
    }
    if (parsed.empty())
        error = RemindersIcal::tr("Line 1: this is no iCalendar file (it has no BEGIN:VCALENDAR)");
    return parsed;
}

} // namespace

QString RemindersIcal::uidOf(const QStringList &records, int index)
{
    // The due date moves when a repeating reminder is delivered: it is part of the identity of "Once" only.
    const auto identity
        = [](const QString &record) { return RecordSchedule(record) == Schedule::Once ? record : record.mid(8); };
    const QString own = identity(records[index]);
    int equalsBefore = 0;
    for (int i = 0; i < index; ++i)
        equalsBefore += identity(records[i]) == own ? 1 : 0;
    const QByteArray hash = QCryptographicHash::hash(own.toUtf8(), QCryptographicHash::Sha1).toHex().left(24);
    return QStringLiteral("%1-%2@quillory2").arg(QString::fromLatin1(hash)).arg(equalsBefore);
}

bool RemindersIcal::isExportable(const QString &record)
{
    return IsWellFormedRecord(record) && RecordDate(record).year() <= LastYear;
}

QByteArray RemindersIcal::exportRecords(
    const QStringList &records, const QDateTime &now, const QList<Appointment> &appointments)
{
    Component calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Quillory2//Reminders//EN"));
    const icaltimetype stamp
        = icaltime_from_timet_with_zone(now.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
    for (int i = 0; i < records.size(); ++i) {
        if (isExportable(records[i]))
            icalcomponent_add_component(calendar.get(), eventOf(records[i], uidOf(records, i), stamp));
    }
    for (const Appointment &appointment : appointments)
        icalcomponent_add_component(calendar.get(), appointmentEvent(appointment, stamp));
    char *ics = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray bytes(ics);
    icalmemory_free_buffer(ics);
    return bytes;
}

RemindersIcal::Parsed RemindersIcal::parse(const QByteArray &ics, const QDateTime &now)
{
    Parsed parsed;
    const std::vector<Component> roots = parseLines(ics, parsed.error);
    for (const Component &root : roots) {
        for (const icalcomponent_kind kind : { ICAL_VEVENT_COMPONENT, ICAL_VTODO_COMPONENT }) {
            if (icalcomponent_isa(root.get()) == kind)
                readEvent(root.get(), now, parsed);
            for (icalcomponent *component = icalcomponent_get_first_component(root.get(), kind); component;
                 component = icalcomponent_get_next_component(root.get(), kind))
                readEvent(component, now, parsed);
        }
    }
    return parsed;
}
