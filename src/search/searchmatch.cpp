#include "search/searchmatch.h"

#include <algorithm>

namespace {

bool isWordStart(const QString &text, qsizetype at)
{
    return at == 0 || !text.at(at - 1).isLetterOrNumber();
}

qsizetype lineStart(const QString &text, qsizetype at)
{
    return at <= 0 ? 0 : text.lastIndexOf(u'\n', at - 1) + 1;
}

// The line of `text` around `at`: its number from 0 and its text without the line break.
std::pair<int, QString> lineAround(const QString &text, qsizetype at)
{
    at = std::clamp<qsizetype>(at, 0, text.size());
    const qsizetype start = lineStart(text, at);
    qsizetype end = text.indexOf(u'\n', at);
    if (end < 0)
        end = text.size();
    const int line = int(QStringView(text).left(start).count(u'\n'));
    QString shown = text.mid(start, end - start);
    if (shown.endsWith(u'\r'))
        shown.chop(1);
    return { line, shown };
}

QString excerptOf(const QString &line, qsizetype at)
{
    if (line.size() <= SearchCollector::ExcerptLength)
        return line;
    const qsizetype from = std::max<qsizetype>(0, at - SearchCollector::ExcerptLength / 3);
    QString cut = line.mid(from, SearchCollector::ExcerptLength);
    if (from > 0)
        cut.prepend(u'…');
    if (from + SearchCollector::ExcerptLength < line.size())
        cut.append(u'…');
    return cut;
}

bool comesFirst(const SearchHit &a, const SearchHit &b, const QDateTime &now)
{
    if (a.rank != b.rank)
        return a.rank > b.rank;
    const SearchEntry &x = a.entry;
    const SearchEntry &y = b.entry;
    if (x.when.isValid() != y.when.isValid())
        return x.when.isValid();
    if (x.when != y.when) {
        const qint64 dx = std::abs(now.secsTo(x.when));
        const qint64 dy = std::abs(now.secsTo(y.when));
        return dx != dy ? dx < dy : x.when > y.when;
    }
    if (const int c = x.place.compare(y.place, Qt::CaseInsensitive); c != 0)
        return c < 0;
    if (const int c = x.item.compare(y.item, Qt::CaseInsensitive); c != 0)
        return c < 0;
    return std::tie(x.index, a.line) < std::tie(y.index, b.line);
}

} // namespace

QString SearchFold(const QString &text)
{
    return text.toCaseFolded();
}

SearchQuery::SearchQuery(const QString &text)
    : m_text(text)
{
    m_words = SearchFold(text).simplified().split(u' ', Qt::SkipEmptyParts);
    m_phrase = m_words.join(u' ');
}

int SearchQuery::rankAt(const QString &folded, qsizetype at) const
{
    if (!isWordStart(folded, at))
        return SearchRank::Phrase;
    const auto [line, text] = lineAround(folded, at);
    Q_UNUSED(line);
    return text.trimmed() == m_phrase ? SearchRank::Whole : SearchRank::WordStart;
}

std::optional<SearchHit> SearchQuery::match(const SearchEntry &entry) const
{
    if (isEmpty())
        return std::nullopt;
    const QString folded = entry.folded.isEmpty() ? SearchFold(entry.text) : entry.folded;
    for (const QString &word : m_words) {
        if (!folded.contains(word))
            return std::nullopt;
    }
    SearchHit hit;
    hit.rank = SearchRank::Words;
    qsizetype found = folded.indexOf(m_words.first());
    for (qsizetype at = folded.indexOf(m_phrase); at >= 0; at = folded.indexOf(m_phrase, at + 1)) {
        if (const int rank = rankAt(folded, at); rank > hit.rank) {
            hit.rank = rank;
            found = at;
        }
        if (hit.rank == SearchRank::Whole)
            break;
    }
    hit.entry = entry;
    hit.entry.folded.clear();
    const auto [line, text] = lineAround(entry.text, found);
    hit.line = line;
    hit.excerpt = excerptOf(text, found - lineStart(entry.text, found));
    return hit;
}

SearchCollector::SearchCollector(const SearchQuery &query, const QDateTime &now)
    : m_query(query)
    , m_now(now)
{ }

void SearchCollector::add(const SearchEntry &entry)
{
    if (std::optional<SearchHit> hit = m_query.match(entry))
        m_hits[int(entry.tool)].append(std::move(*hit));
}

SearchResult SearchCollector::result()
{
    SearchResult result;
    result.query = m_query.text();
    const auto first = [this](const SearchHit &a, const SearchHit &b) { return comesFirst(a, b, m_now); };
    for (int tool = 0; tool < SearchToolCount; ++tool) {
        QList<SearchHit> &hits = m_hits[tool];
        if (hits.isEmpty())
            continue;
        const qsizetype kept = std::min<qsizetype>(hits.size(), MaxHitsPerGroup);
        std::partial_sort(hits.begin(), hits.begin() + kept, hits.end(), first);
        SearchGroup group { SearchTool(tool), hits.first(kept), int(hits.size()) };
        result.groups.append(std::move(group));
        hits.clear();
    }
    std::stable_sort(result.groups.begin(), result.groups.end(),
        [](const SearchGroup &a, const SearchGroup &b) { return a.hits.first().rank > b.hits.first().rank; });
    return result;
}
