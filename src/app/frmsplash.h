#pragma once

#include <QFrame>

class AboutPanel;
class QTimer;

// The splash window shown at start-up: borderless, centred, gone after Timer2's five seconds or
// sooner on a key or a click on the version or a picture. Closing hands over (handOver) to whatever
// the program shows next: the launcher toolbar, when "1902" asks for it or the desktop has no
// notification area.
class frmSplash final : public QFrame
{
    Q_OBJECT

public:
    static constexpr int ShowTime = 5000;

    explicit frmSplash(QWidget *parent = nullptr);

    void Timer2_Timer();
    void CloseSplash();

Q_SIGNALS:
    void handOver();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AboutPanel *m_panel = nullptr;
    QTimer *m_timer2 = nullptr;
    bool m_closing = false;
};
