#pragma once

#include <QtTest>

// One row of a data table on one line: row("name", cell, cell, ...).
template <typename... Cells> void row(const char *name, const Cells &...cells)
{
    (QTest::newRow(name) << ... << cells);
}
