#include "search/searchrunner.h"

#include "search/searchmatch.h"
#include "search/searchsource.h"

#include <QtConcurrent/QtConcurrentRun>

SearchRunner::SearchRunner(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<SearchResult>::finished, this, &SearchRunner::done);
}

SearchRunner::~SearchRunner()
{
    m_stop = true;
    m_watcher.disconnect(this);
    m_watcher.waitForFinished();
}

void SearchRunner::addSource(std::shared_ptr<SearchSource> source)
{
    m_sources.push_back(std::move(source));
}

void SearchRunner::search(const QString &query, const QDateTime &now)
{
    m_query = query;
    m_now = now;
    if (isBusy()) {
        m_stop = true;
        m_pending = true;
        return;
    }
    start();
}

void SearchRunner::start()
{
    m_pending = false;
    if (SearchQuery(m_query).isEmpty()) {
        Q_EMIT finished(SearchResult { m_query, {}, false });
        return;
    }
    for (const std::shared_ptr<SearchSource> &source : m_sources)
        source->prepare();
    m_stop = false;
    m_watcher.setFuture(QtConcurrent::run([sources = m_sources, query = m_query, now = m_now, stop = &m_stop] {
        return run(sources, query, now, stop);
    }));
}

void SearchRunner::readAhead()
{
    if (isBusy())
        return;
    for (const std::shared_ptr<SearchSource> &source : m_sources)
        source->prepare();
    m_stop = false;
    m_watcher.setFuture(QtConcurrent::run([sources = m_sources, stop = &m_stop] {
        const auto take = [stop](const SearchEntry &) { return !stop->load(std::memory_order_relaxed); };
        for (const std::shared_ptr<SearchSource> &source : sources) {
            if (!source->visit(take))
                break;
        }
        return SearchResult { {}, {}, true };
    }));
}

void SearchRunner::done()
{
    if (m_pending) {
        start();
        return;
    }
    Q_EMIT finished(m_watcher.result());
}

SearchResult SearchRunner::run(const std::vector<std::shared_ptr<SearchSource>> &sources, const QString &query,
    const QDateTime &now, const std::atomic<bool> *stop)
{
    const SearchQuery parsed(query);
    SearchCollector collector(parsed, SearchWhen(now.date(), now.time()));
    const auto take = [&](const SearchEntry &entry) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        collector.add(entry);
        return true;
    };
    for (const std::shared_ptr<SearchSource> &source : sources) {
        if (!source->visit(take))
            return SearchResult { query, {}, true };
    }
    return collector.result();
}
