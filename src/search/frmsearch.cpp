#include "search/frmsearch.h"

#include "common/clock.h"
#include "search/searchrunner.h"
#include "widgets/statusclock.h"
#include "widgets/windowhelpers.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int HitRole = Qt::UserRole + 1;
}

frmSearch::frmSearch(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_runner(new SearchRunner(this))
    , m_lblFind(new QLabel(tr("&Find:"), this))
    , m_txtFind(new QLineEdit(this))
    , m_lvwResults(new QTreeWidget(this))
    , m_lblStatus(new QLabel(this))
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(tr("Find"));
    m_lblFind->setObjectName(QStringLiteral("lblFind"));
    m_lblFind->setBuddy(m_txtFind);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtFind->setAccessibleName(tr("Find"));
    m_txtFind->setPlaceholderText(tr("Words to find in every tool"));
    m_txtFind->setClearButtonEnabled(true);
    m_lvwResults->setObjectName(QStringLiteral("lvwResults"));
    m_lvwResults->setAccessibleName(tr("Found"));
    m_lvwResults->setHeaderLabels({ tr("Found"), tr("Where") });
    m_lvwResults->setRootIsDecorated(false);
    m_lvwResults->setUniformRowHeights(true);
    m_lvwResults->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_lvwResults->header()->setStretchLastSection(false);
    m_lvwResults->header()->resizeSection(1, 190);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setAccessibleDescription(tr("What the search found"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_lblFind);
    top->addWidget(m_txtFind, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_lvwResults, 1);
    layout->addWidget(m_lblStatus);
    setTabOrder(m_txtFind, m_lvwResults);

    connect(m_txtFind, &QLineEdit::textChanged, this, &frmSearch::queryChanged);
    connect(m_txtFind, &QLineEdit::returnPressed, this, &frmSearch::openCurrent);
    connect(m_lvwResults, &QTreeWidget::itemActivated, this, &frmSearch::openCurrent);
    connect(m_runner, &SearchRunner::finished, this, &frmSearch::showResult);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
    m_txtFind->installEventFilter(this);

    resize(560, 400);
    restorePlacement(this, Key::SearchLeft, Key::SearchTop);
}

frmSearch::~frmSearch() = default;

void frmSearch::addSource(std::shared_ptr<SearchSource> source)
{
    m_runner->addSource(std::move(source));
}

QString frmSearch::toolName(SearchTool tool)
{
    switch (tool) {
    case SearchTool::Planner: return tr("Planner");
    case SearchTool::Reminders: return tr("Reminder");
    case SearchTool::ClipKeeper: return tr("ClipKeeper");
    case SearchTool::QuickNotes: return tr("QuickNotes");
    case SearchTool::TextEd: return tr("TextEd");
    }
    return {};
}

QString frmSearch::whereText(const SearchHit &hit)
{
    const SearchEntry &entry = hit.entry;
    const QLocale locale;
    if (entry.when.isValid()) {
        return locale.toString(entry.when.date(), QLocale::ShortFormat) + u' '
            + StatusClock::minuteText(entry.when.time());
    }
    QString where = entry.item.isEmpty() ? entry.place : entry.place + u'/' + entry.item;
    if (hit.line > 0 || entry.tool == SearchTool::TextEd || entry.tool == SearchTool::QuickNotes)
        where += tr(", line %1").arg(hit.line + 1);
    return where;
}

void frmSearch::queryChanged(const QString &text)
{
    m_lblStatus->setText(text.trimmed().isEmpty() ? QString() : tr("Searching…"));
    m_runner->search(text, Clock::now());
}

void frmSearch::showResult(const SearchResult &result)
{
    if (result.cancelled || result.query != m_txtFind->text())
        return;
    m_lvwResults->clear();
    m_hits.clear();
    int total = 0;
    for (const SearchGroup &group : result.groups) {
        auto *head = new QTreeWidgetItem(m_lvwResults, { tr("%1 (%2)").arg(toolName(group.tool)).arg(group.total) });
        head->setFlags(Qt::ItemIsEnabled);
        head->setFirstColumnSpanned(true);
        QFont bold = head->font(0);
        bold.setBold(true);
        head->setFont(0, bold);
        for (const SearchHit &hit : group.hits) {
            auto *item = new QTreeWidgetItem(head, { hit.excerpt.trimmed(), whereText(hit) });
            item->setData(0, HitRole, int(m_hits.size()));
            m_hits.append(hit);
        }
        total += group.total;
    }
    m_lvwResults->expandAll();
    if (result.query.trimmed().isEmpty())
        m_lblStatus->clear();
    else
        m_lblStatus->setText(total == 0 ? tr("Nothing found") : tr("%n found", nullptr, total));
}

const SearchHit *frmSearch::hitOf(const QTreeWidgetItem *item) const
{
    if (item && item->childCount() > 0)
        item = item->child(0); // a tool's heading stands for its best hit
    if (!item)
        return nullptr;
    const QVariant index = item->data(0, HitRole);
    return index.isValid() ? &m_hits.at(index.toInt()) : nullptr;
}

void frmSearch::openCurrent()
{
    const SearchHit *hit = hitOf(m_lvwResults->currentItem());
    if (!hit && !m_hits.isEmpty())
        hit = &m_hits.first();
    if (hit)
        Q_EMIT openRequested(*hit);
}

// The files are read once as the window opens, in the background, so that the first word typed
// is searched as fast as the next ones.
void frmSearch::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_txtFind->text().trimmed().isEmpty())
        m_runner->readAhead();
}

void frmSearch::closeEvent(QCloseEvent *event)
{
    savePlacement(this, Key::SearchLeft, Key::SearchTop);
    QWidget::closeEvent(event);
}

bool frmSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtFind && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && !m_hits.isEmpty()) {
        m_lvwResults->setFocus();
        if (!hitOf(m_lvwResults->currentItem()))
            m_lvwResults->setCurrentItem(m_lvwResults->topLevelItem(0)->child(0));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
