#pragma once

#include "common/settingskeys.h"

#include <functional>

class QWidget;

// The settings round trip every tool window shares, checked once per window: a stored place is
// restored, closing stores the outer frame's place (and the keep-on-top box, when the window has
// one: a child named "chkOnTop"), and the reopened window comes back as it was left. `open` makes
// and shows a new window; the check closes and deletes it. Call it, then QVERIFY(!QTest::currentTestFailed()).
void verifySettingsRoundTrip(
    const std::function<QWidget *()> &open, const SettingKey &left, const SettingKey &top, const SettingKey *onTop);
