#pragma once

#include <QtTest>
#include <tuple>

// One row of a data table on one line: row("name", cell, cell, ...).
template <typename... Cells> void row(const char *name, const Cells &...cells)
{
    (QTest::newRow(name) << ... << cells);
}

// The table's columns on one line: columns<QString, bool>("text", "expected").
template <typename... Types, typename... Names> void columns(const Names &...names)
{
    static_assert(sizeof...(Types) == sizeof...(Names), "one name for each column");
    (QTest::addColumn<Types>(names), ...);
}

// The current row's cells, as QFETCH takes them: auto [text, expected] = fetch<QString, bool>("text", "expected").
template <typename... Types, typename... Names> std::tuple<Types...> fetch(const Names &...names)
{
    static_assert(sizeof...(Types) == sizeof...(Names), "one name for each column");
    return { *static_cast<Types *>(QTest::qData(names, qMetaTypeId<Types>()))... };
}
