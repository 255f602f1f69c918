#include "widgets/statusclock.h"

#include "common/clock.h"

#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QWidget>

StatusClock::StatusClock(QWidget *window, QLabel *time, QLabel *date)
    : QObject(window)
    , m_window(window)
    , m_time(time)
    , m_date(date)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &StatusClock::update);
    window->installEventFilter(this);
    update();
}

void StatusClock::update()
{
    const QDateTime now = Clock::now();
    if (m_time)
        m_time->setText(minuteText(now.time()));
    if (m_date)
        m_date->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    if (m_window->isVisible())
        m_timer.start(int(qBound(1, 60 - now.time().second(), 60)) * 1000);
}

bool StatusClock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show)
            update();
        else if (event->type() == QEvent::Hide)
            m_timer.stop();
    }
    return QObject::eventFilter(watched, event);
}

QString StatusClock::minuteText(const QTime &time)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]?ss?"));
    const QLocale locale;
    return locale.toString(time, locale.timeFormat(QLocale::ShortFormat).remove(seconds));
}
