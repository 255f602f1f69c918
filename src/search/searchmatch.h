#pragma once

#include "search/searchentry.h"

#include <QStringList>
#include <optional>

// How well an entry holds the query, best last: every word somewhere; the words together as typed;
// that phrase at the start of a word; a line that is the phrase and nothing else.
namespace SearchRank {
enum : int { Words = 1, Phrase = 2, WordStart = 3, Whole = 4 };
}

// The typed query: its words, compared without regard to letter case.
class SearchQuery final
{
public:
    explicit SearchQuery(const QString &text);

    bool isEmpty() const { return m_words.isEmpty(); }
    const QString &text() const { return m_text; }
    // The hit for the entry, or nullopt when some word is missing.
    std::optional<SearchHit> match(const SearchEntry &entry) const;

private:
    int rankAt(const QString &folded, qsizetype at) const;

    QString m_text;
    QString m_phrase; // the words, folded, joined by one space
    QStringList m_words;
};

// Collects the hits of one search and hands them back grouped by tool. Within a group the best rank
// comes first, then dated places nearest to `now`, then places in name order. Groups follow their best
// hit; equal groups keep the tools' order.
class SearchCollector final
{
public:
    static constexpr int MaxHitsPerGroup = 100;
    static constexpr int ExcerptLength = 120;

    SearchCollector(const SearchQuery &query, const QDateTime &now);

    void add(const SearchEntry &entry);
    SearchResult result();

private:
    const SearchQuery &m_query;
    QDateTime m_now;
    QList<SearchHit> m_hits[SearchToolCount];
};

QString SearchFold(const QString &text);
