#pragma once

#include "search/searchentry.h"

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class SearchRunner;
class SearchSource;

// The search window: a query box and the hits of every tool, grouped by tool, each with its date or
// place. The hits follow the typing (the search runs in a worker); Enter on a hit asks for the tool
// to be opened there. The sources are given by src/app.
class frmSearch final : public QWidget
{
    Q_OBJECT

public:
    explicit frmSearch(QWidget *parent = nullptr);
    ~frmSearch() override;

    void addSource(std::shared_ptr<SearchSource> source);
    SearchRunner &runner() { return *m_runner; }

    static QString toolName(SearchTool tool);
    static QString whereText(const SearchHit &hit);

    // Opens the chosen hit (or the first one, while the query box has the focus).
    void openCurrent();

Q_SIGNALS:
    void openRequested(const SearchHit &hit);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void queryChanged(const QString &text);
    void showResult(const SearchResult &result);
    const SearchHit *hitOf(const QTreeWidgetItem *item) const;

    SearchRunner *m_runner = nullptr;
    QLabel *m_lblFind = nullptr;
    QLineEdit *m_txtFind = nullptr;
    QTreeWidget *m_lvwResults = nullptr;
    QLabel *m_lblStatus = nullptr;
    QList<SearchHit> m_hits;
};
