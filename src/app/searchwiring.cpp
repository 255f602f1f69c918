#include "app/searchwiring.h"

#include "app/frmqy2.h"
#include "app/searchsources.h"
#include "clipkeeper/clipstore.h"
#include "clipkeeper/frmclipkeeper.h"
#include "planner/frmplanner.h"
#include "planner/planday.h"
#include "reminders/frmreminder.h"
#include "search/frmsearch.h"
#include "texted/frmdocument.h"
#include "texted/frmtexted.h"
#include "texted/richtextbox.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// The texts of the open TextEd documents, as they are on screen.
QList<SearchEntry> shownTexts(frmQY2 &main)
{
    QList<SearchEntry> entries;
    if (auto *textEd = qobject_cast<frmTextEd *>(main.opener().window(WindowKey::TextEd))) {
        const QList<frmDocument *> documents = textEd->documents();
        for (int i = 0; i < documents.size(); ++i) {
            entries.append({ SearchTool::TextEd, documents[i]->document()->toPlainText(), {}, documents[i]->caption(),
                {}, i, {} });
        }
    }
    return entries;
}

void openDocumentLine(frmQY2 &main, const SearchHit &hit)
{
    auto *textEd = qobject_cast<frmTextEd *>(main.opener().show(WindowKey::TextEd));
    if (!textEd)
        return;
    const QList<frmDocument *> documents = textEd->documents();
    frmDocument *document = documents.value(hit.entry.index);
    if (!document || document->caption() != hit.entry.place)
        return; // closed or another one since the search
    if (auto *frame = qobject_cast<QMdiSubWindow *>(document->parentWidget()))
        frame->mdiArea()->setActiveSubWindow(frame);
    QTextCursor cursor(document->document()->findBlockByNumber(hit.line));
    document->rtfText()->setTextCursor(cursor);
    document->rtfText()->setFocus();
}

void openHit(frmQY2 &main, const SearchHit &hit)
{
    WindowOpener &opener = main.opener();
    switch (hit.entry.tool) {
    case SearchTool::Planner:
        if (auto *planner = qobject_cast<frmPlanner *>(opener.show(WindowKey::Planner)))
            planner->showSlot(hit.entry.when.date(), hit.entry.when.time());
        break;
    case SearchTool::Reminders:
        if (auto *reminders = qobject_cast<frmReminder *>(opener.show(WindowKey::Reminders)))
            reminders->chooseRecord(hit.entry.item);
        break;
    case SearchTool::ClipKeeper:
        if (auto *clips = qobject_cast<frmClipKeeper *>(opener.show(WindowKey::ClipKeeper)))
            clips->showClipOf(hit.entry.place, hit.entry.item);
        break;
    case SearchTool::QuickNotes: opener.show(WindowKey::QuickNotes); break;
    case SearchTool::TextEd: openDocumentLine(main, hit); break;
    }
}

void remindMe(frmQY2 &main, const QDate &date, const QTime &time, const QString &text)
{
    if (auto *reminders = qobject_cast<frmReminder *>(main.opener().show(WindowKey::Reminders)))
        reminders->remindMe(date, time, text);
}

} // namespace

void wireSearch(frmQY2 &main, QWidget *window)
{
    if (auto *search = qobject_cast<frmSearch *>(window)) {
        search->addSource(SearchSources::planner(PlanDay::folder()));
        search->addSource(SearchSources::reminders([&main] { return main.reminders().records(); }));
        search->addSource(SearchSources::clips(ClipStore::defaultClipFolder()));
        search->addSource(SearchSources::toDoLists());
        search->addSource(SearchSources::shown([&main] { return shownTexts(main); }));
        QObject::connect(
            search, &frmSearch::openRequested, &main, [&main](const SearchHit &hit) { openHit(main, hit); });
    } else if (auto *planner = qobject_cast<frmPlanner *>(window)) {
        QObject::connect(planner, &frmPlanner::remindMeRequested, &main,
            [&main](const QDate &date, const QTime &time, const QString &text) { remindMe(main, date, time, text); });
    } else if (auto *clips = qobject_cast<frmClipKeeper *>(window)) {
        QObject::connect(clips, &frmClipKeeper::remindMeRequested, &main,
            [&main](const QDate &date, const QTime &time, const QString &text) { remindMe(main, date, time, text); });
    }
}
