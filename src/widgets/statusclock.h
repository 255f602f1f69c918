#pragma once

#include <QObject>
#include <QPointer>
#include <QTime>
#include <QTimer>

class QLabel;
class QWidget;

// The time and date panels of a status bar: set at once, then again at each new minute while their
// window is visible (a hidden window does not wake the program).
class StatusClock final : public QObject
{
    Q_OBJECT

public:
    StatusClock(QWidget *window, QLabel *time, QLabel *date);
    void update();

    // The locale's short time without seconds: what a panel that changes once a minute shows.
    static QString minuteText(const QTime &time);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QPointer<QLabel> m_time;
    QPointer<QLabel> m_date;
    QTimer m_timer;
};
