#pragma once

#include <QEvent>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

// The program's icon in the notification area, with its picture, tool tip and visibility, turning
// what the desktop reports about the icon into four events:
//   left press -> MouseDown(1), right press -> MouseDown(2), double click -> DblClick, middle -> none;
//   the pointer over the icon -> MouseMove, a release -> MouseUp(button), where the desktop shows
//   the program its icon's own window (the X11 notification area does; others only report clicks).
// A notification area that comes after start-up, or goes, is reported by hostChanged; the icon then
// docks there by itself, and the pointer over it is watched at once.
class SysTray final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QIcon Icon READ icon WRITE setIcon)
    Q_PROPERTY(QString ToolTip READ toolTip WRITE setToolTip)
    Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)

public:
    explicit SysTray(QObject *parent = nullptr);
    ~SysTray() override;

    QIcon icon() const { return m_icon; }
    void setIcon(const QIcon &icon); // a null icon takes the icon out of the notification area

    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &tip); // stored without leading and trailing blanks

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // Hover and release come from the icon's own window; watch it only while someone needs them.
    void setWatchPointer(bool watch);

    // What the desktop reports, mapped to the events (public so the mapping can be tested).
    void handleActivation(QSystemTrayIcon::ActivationReason reason);
    void handleIconEvent(QEvent::Type type, Qt::MouseButton button);

Q_SIGNALS:
    void hostChanged(bool available);
    void MouseMove();
    void MouseDown(int button);
    void MouseUp(int button);
    void DblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void trayHostChanged();

private:
    void watchHost();
    void watchIconWindow();

    QSystemTrayIcon m_tray;
    QIcon m_icon;
    QString m_toolTip;
    bool m_visible = false;
    bool m_watchPointer = false;
    QPointer<QObject> m_iconWindow;
};
