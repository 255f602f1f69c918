#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// Runs a window test whose sizes and places depend on the screen: offscreen, the screen is pinned to
// 1280 x 800 logical pixels at 96 dpi; on a real display the tests use its own size.
// Use: int main(int argc, char *argv[]) { QTEST_SET_MAIN_SOURCE_PATH return runOnPinnedScreen<T>(argc, argv); }
void pinOffscreenScreen(const QTemporaryDir &configDir);

template <typename Test> int runOnPinnedScreen(int argc, char *argv[])
{
    const QTemporaryDir screenDir;
    pinOffscreenScreen(screenDir);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
