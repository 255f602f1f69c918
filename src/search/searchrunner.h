#pragma once

#include "search/searchentry.h"

#include <QFutureWatcher>
#include <QObject>
#include <atomic>
#include <memory>
#include <vector>

class SearchSource;

// Runs searches in a worker thread, one at a time, so that typing never waits for one. A query
// typed while a search runs stops that search; only the latest query's result is handed back.
class SearchRunner final : public QObject
{
    Q_OBJECT

public:
    explicit SearchRunner(QObject *parent = nullptr);
    ~SearchRunner() override; // stops and waits for the running search

    void addSource(std::shared_ptr<SearchSource> source);
    // Searches the sources for the query; `now` orders dated places. An empty query gives an empty
    // result at once.
    void search(const QString &query, const QDateTime &now);
    // Reads every source in the worker without searching, so that the next search finds the files'
    // entries kept. A search asked for meanwhile stops it and goes on from what was read.
    void readAhead();
    bool isBusy() const { return m_watcher.isRunning(); }

    // One search, in the calling thread (the worker runs this).
    static SearchResult run(const std::vector<std::shared_ptr<SearchSource>> &sources, const QString &query,
        const QDateTime &now, const std::atomic<bool> *stop = nullptr);

Q_SIGNALS:
    void finished(const SearchResult &result);

private:
    void start();
    void done();

    std::vector<std::shared_ptr<SearchSource>> m_sources;
    QFutureWatcher<SearchResult> m_watcher;
    std::atomic<bool> m_stop = false;
    QString m_query; // the latest query
    QDateTime m_now;
    bool m_pending = false;
};
