#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// The Planner's day files: one file a day in the folder "PlanData" of the data folder, named by the
// day's key "yyyymmdd", without extension. Line 1 is the interval index ("0", "1" or "2"), then one
// line a slot in slot order: the done flag "0" or "1" followed at once by the slot's text. CR LF ends
// every line. An empty file stands for a day with nothing stored yet.
namespace PlanDay {

inline constexpr int DefaultInterval = 1;
inline constexpr int IntervalCount = 3;
int slotCount(int interval); // 96, 48, 24
int slotMinutes(int interval); // 15, 30, 60
bool isInterval(int interval);

// The most a slot's text box holds; a longer line in a file is shown cut, and its file kept aside.
inline constexpr int SlotTextLimit = 32767;

inline const QDate FirstDay { 2000, 1, 1 };
inline const QDate LastDay { 9999, 12, 31 };

struct Slot
{
    bool done = false;
    QString text;
    bool operator==(const Slot &) const = default;
};

struct Day
{
    int interval = DefaultInterval;
    QList<Slot> entries; // slotCount(interval) of them
    bool operator==(const Day &) const = default;
};

// What a day file holds: the interval it names (none when the file is empty or its first line is no
// interval), the slots its lines fill (missing lines: empty slots) and how many of its lines could
// not be used whole (a slot line not starting with 0 or 1, a bad first line, a text the file cannot
// store back as it is: longer than a slot holds, with a line break or a broken character in it).
struct Contents
{
    std::optional<int> interval;
    QList<std::optional<Slot>> entries; // by line; nullopt for an unusable line
    int unusableLines = 0;
};

// A slot with text, for showing a day elsewhere (the Calendar).
struct Entry
{
    int minutes = 0; // the slot's start after midnight
    QString text;
    bool operator==(const Entry &) const = default;
};
QList<Entry> entriesOf(const Day &day);
// The entries of a stored day: none when it has no file or the file cannot be read (nothing is made).
QList<Entry> storedEntries(const QDate &date);

// The entries of every stored day from `from` on, in day order, with their slot's length.
struct Plan
{
    QDate day;
    Entry entry;
    int minutes = 0;
};
QList<Plan> storedPlansFrom(const QDate &from);

QString dayKey(const QDate &day);
QString folder();
bool makeFolder(); // the folder, made when missing (reading a day never makes it)
QString dayPath(const QDate &day);

QString fileText(const Day &day);
Contents parse(const QString &text);
// The day as shown after reading contents into a grid of `interval` (the file's own interval wins).
Day apply(const Contents &contents, int interval);
// True when some of the file's lines could not be used (also lines past the last slot).
bool isDamaged(const Contents &contents, int interval);

// Writes the day's file (through the atomic writer); false and the reason on failure.
bool PlanSaveDay(const QDate &date, const Day &day, QString *error = nullptr);
// Reads the day's file, creating it empty when missing; nullopt and the reason when it cannot be read.
std::optional<Contents> PlanLoadDay(const QDate &date, QString *error = nullptr);

// Days kept aside when their file had lines that could not be used: the file as it was, before the
// day is saved again. Returns the copy's path, or an empty text when it could not be made.
QString keepDamagedCopy(const QDate &date);
// A day that cannot be stored in its file when nobody is there to ask: it is added to "<key>.unsaved"
// beside the file (or in the data folder when that fails too). Returns the copy's path, or an empty
// text when no copy could be made.
QString keepUnsavedCopy(const QDate &date, const Day &day);

// The day changed here and, through a shared folder, on another computer, made one again from the day
// both started from: a slot changed on one side takes that change; a text changed on both sides keeps
// both texts, joined by " / " (a text emptied on one side gives way to the other's). Days of
// different intervals cannot be merged slot by slot: nullopt.
std::optional<Day> mergeDays(const Day &base, const Day &mine, const Day &theirs);
// The day's file as it is now, kept beside it as a conflict copy; its path, or empty on failure.
QString keepConflictCopy(const QDate &date);

} // namespace PlanDay
