#include "app/frmsplash.h"

#include "app/aboutpanel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget *parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_panel(new AboutPanel(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(tr("Quillory2"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_panel);

    m_panel->lblVersion()->installEventFilter(this);
    for (QWidget *picture : m_panel->pictures())
        picture->installEventFilter(this);

    centreAboutWindow(this);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(ShowTime);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &frmSplash::Timer2_Timer);
    m_timer2->start();
}

void frmSplash::Timer2_Timer()
{
    CloseSplash();
}

void frmSplash::CloseSplash()
{
    if (m_closing)
        return;
    m_closing = true;
    m_timer2->stop();
    hide();
    Q_EMIT handOver();
    close();
}

void frmSplash::keyPressEvent(QKeyEvent *event)
{
    Q_UNUSED(event);
    CloseSplash();
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    // The version label and the pictures close the splash; the description does not.
    if (event->type() == QEvent::MouseButtonPress) {
        CloseSplash();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
