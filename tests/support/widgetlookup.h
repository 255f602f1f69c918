#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QtTest>

// The named control of a window under test. A missing one ends the test program, naming it: every
// later step would only fail for the same reason.
template <typename T> T *child(const QObject *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

template <typename T> T *child(const QObject *window, const QString &name)
{
    return child<T>(window, qPrintable(name));
}

// Clicks the toolbar button that shows the action, as a mouse user does.
inline void clickButtonOf(QAction *action)
{
    const auto shownBy = action->associatedObjects();
    for (QObject *object : shownBy) {
        auto *button = qobject_cast<QAbstractButton *>(object);
        if (button && button->isVisible()) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no button shows %1").arg(action->objectName())));
}
