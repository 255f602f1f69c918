#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// What the search looks through: one entry is one place where the user typed text (a Planner slot,
// a reminder, a clip, a to-do list, the note pad, an open TextEd document). The tools' own readers
// turn their files into entries (src/app hands them over); the search only compares text.

enum class SearchTool { Planner, Reminders, ClipKeeper, QuickNotes, TextEd };
inline constexpr int SearchToolCount = 5;

struct SearchEntry
{
    SearchTool tool = SearchTool::Planner;
    QString text; // may hold several lines
    QDateTime when; // a Planner slot's or a reminder's wall-clock time, in UTC so that no time zone is
                    // consulted (SearchWhen); invalid for undated places
    QString place; // the clip's category, the list's title, the document's caption
    QString item; // the clip's name, the reminder's record
    int index = -1; // the slot, the list's position, the document's number
    QString folded; // the text case-folded; filled by the search when empty
};

inline QDateTime SearchWhen(const QDate &date, const QTime &time)
{
    return QDateTime(date, time, Qt::UTC);
}

// An entry that holds every word of the query, with the line where it was found.
struct SearchHit
{
    SearchEntry entry;
    int rank = 0; // higher is better (SearchRank)
    int line = 0; // from 0
    QString excerpt; // the line, cut around the match
};

struct SearchGroup
{
    SearchTool tool = SearchTool::Planner;
    QList<SearchHit> hits; // at most MaxHitsPerGroup, best first
    int total = 0; // every hit of the tool, also those left out
};

struct SearchResult
{
    QString query;
    QList<SearchGroup> groups; // best group first
    bool cancelled = false;
};
