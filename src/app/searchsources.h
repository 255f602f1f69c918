#pragma once

#include "search/searchsource.h"

#include <QStringList>
#include <functional>
#include <memory>

// The search's view of each tool, built on the tools' own readers: the Planner's day files, the
// reminder list, the clips, the to-do lists, and texts that live in windows. Qt Core only, so that
// the search benchmark reads exactly what the program reads.
namespace SearchSources {

// Every day file in the Planner's folder, each read again only when it changed.
std::shared_ptr<SearchSource> planner(const QString &planFolder);
// The reminder records, taken from the list before each search.
std::shared_ptr<SearchSource> reminders(std::function<QStringList()> records);
// Every clip of every category in the clip folder.
std::shared_ptr<SearchSource> clips(const QString &clipFolder);
// The files of the ten to-do lists.
std::shared_ptr<SearchSource> toDoLists();
// Texts shown in windows (the note pad, the open documents), taken before each search.
std::shared_ptr<SearchSource> shown(std::function<QList<SearchEntry>()> texts);

} // namespace SearchSources
