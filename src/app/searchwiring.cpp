#include "app/searchwiring.h"

#include "app/frmqy2.h"
#include "app/searchsources.h"
#include "clipkeeper/clipstore.h"
#include "clipkeeper/frmclipkeeper.h"
#include "planner/frmplanner.h"
#include "planner/planday.h"
#include "quicknotes/frmquicknotes.h"
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

// The edited note pad and the open TextEd documents, as they are on screen.
QList<SearchEntry> shownTexts(frmQY2 &main)
{
    QList<SearchEntry> entries;
    if (auto *notes = qobject_cast<frmQuickNotes *>(main.opener().window(WindowKey::QuickNotes))) {
        if (notes->isPadEdited()) {
            entries.append({ SearchTool::QuickNotes, notes->padText(), {}, ToDoLists::titleText(notes->shownTitle()),
                {}, notes->shownTitle(), {} });
        }
    }
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
    case SearchTool::QuickNotes:
        if (auto *notes = qobject_cast<frmQuickNotes *>(opener.show(WindowKey::QuickNotes)))
            notes->showListLine(hit.entry.index, hit.line);
        break;
    case SearchTool::TextEd: openDocumentLine(main, hit); break;
    }
}

// "Remind me" in a tool opens the Reminders window's New, filled in.
template <typename Tool> void connectRemindMe(frmQY2 &main, Tool *tool)
{
    QObject::connect(
        tool, &Tool::remindMeRequested, &main, [&main](const QDate &date, const QTime &time, const QString &text) {
            if (auto *reminders = qobject_cast<frmReminder *>(main.opener().show(WindowKey::Reminders)))
                reminders->remindMe(date, time, text);
        });
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
        // Queued: opening a tool may ask about its unsaved work, never inside the search window's key press.
        QObject::connect(
            search, &frmSearch::openRequested, &main, [&main](const SearchHit &hit) { openHit(main, hit); },
            Qt::QueuedConnection);
    } else if (auto *planner = qobject_cast<frmPlanner *>(window)) {
        connectRemindMe(main, planner);
    } else if (auto *clips = qobject_cast<frmClipKeeper *>(window)) {
        connectRemindMe(main, clips);
    } else if (auto *notes = qobject_cast<frmQuickNotes *>(window)) {
        connectRemindMe(main, notes);
    }
}
