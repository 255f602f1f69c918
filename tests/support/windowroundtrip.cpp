#include "windowroundtrip.h"

#include "common/settings.h"

#include <QCheckBox>
#include <QtTest>

namespace {

QCheckBox *onTopBox(QWidget *window)
{
    return window->findChild<QCheckBox *>(QStringLiteral("chkOnTop"));
}

bool isOnTop(const QWidget *window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void closeAndDelete(QWidget *window)
{
    window->close();
    if (!window->testAttribute(Qt::WA_DeleteOnClose))
        delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

void verifySettingsRoundTrip(
    const std::function<QWidget *()> &open, const SettingKey &left, const SettingKey &top, const SettingKey *onTop)
{
    Settings::save(left, QStringLiteral("1500"));
    Settings::save(top, QStringLiteral("900"));
    if (onTop)
        Settings::save(*onTop, QStringLiteral("1"));

    QWidget *window = open();
    QCOMPARE(window->pos(), QPoint(100, 60));
    if (onTop) {
        QVERIFY(onTopBox(window)->isChecked());
        QVERIFY(isOnTop(window));
        onTopBox(window)->setChecked(false);
        QVERIFY(!isOnTop(window));
    }
    window->move(200, 150);
    closeAndDelete(window);
    QCOMPARE(Settings::get(left), QStringLiteral("3000"));
    QCOMPARE(Settings::get(top), QStringLiteral("2250"));
    if (onTop)
        QCOMPARE(Settings::get(*onTop), QStringLiteral("0"));

    window = open();
    QCOMPARE(window->pos(), QPoint(200, 150));
    if (onTop)
        QVERIFY(!onTopBox(window)->isChecked() && !isOnTop(window));
    closeAndDelete(window);
}
