#include "widgets/windowhelpers.h"

#include "common/settings.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cmath>

bool SetWindowOnTop(QWidget *window, int onTop)
{
    const bool on = onTop == 1;
    const Qt::WindowFlags before = window->windowFlags();
    if (before.testFlag(Qt::WindowStaysOnTopHint) == on)
        return true;
    const Qt::WindowFlags after = on ? before | Qt::WindowStaysOnTopHint : before & ~Qt::WindowStaysOnTopHint;
    if (QWindow *handle = window->windowHandle()) {
        // Changing the native window's flags re-stacks it without hiding it; the widget only records them.
        window->overrideWindowFlags(after);
        handle->setFlags(after);
    } else {
        window->setWindowFlags(after);
    }
    return true;
}

QSizeF screenSizeTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return QSizeF(screen->geometry().size()) * TwipsPerPixel;
}

QSizeF outerSizeTwips(const QWidget *window)
{
    return QSizeF(window->frameGeometry().size()) * TwipsPerPixel;
}

QPointF outerPosTwips(const QWidget *window)
{
    return QPointF(window->pos()) * TwipsPerPixel;
}

void moveToTwips(QWidget *window, QPointF twips)
{
    window->move(int(std::lround(twips.x() / TwipsPerPixel)), int(std::lround(twips.y() / TwipsPerPixel)));
}

void resizeOuterTwips(QWidget *window, QSizeF twips)
{
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    window->resize(int(std::lround(twips.width() / TwipsPerPixel)) - frame.width(),
        int(std::lround(twips.height() / TwipsPerPixel)) - frame.height());
}

namespace {

class OuterSizeRestorer final : public QObject
{
public:
    OuterSizeRestorer(QWidget *window, QSizeF twips)
        : QObject(window)
        , m_window(window)
        , m_twips(twips)
        , m_setSize(window->size())
    { }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (watched != m_window || (type != QEvent::Show && type != QEvent::Move && type != QEvent::WindowActivate))
            return false;
        if (m_window->size() != m_setSize) { // resized by the user (or the desktop's limits)
            deleteLater();
        } else if (m_window->frameGeometry().size() != m_window->geometry().size()) {
            resizeOuterTwips(m_window, m_twips);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    QSizeF m_twips;
    QSize m_setSize;
};

} // namespace

void restoreOuterSize(QWidget *window, QSizeF twips)
{
    resizeOuterTwips(window, twips);
    if (window->frameGeometry().size() == window->geometry().size())
        window->installEventFilter(new OuterSizeRestorer(window, twips));
}

QPointF placeWindow(std::optional<double> left, std::optional<double> top, QSizeF window, QSizeF screen,
    std::optional<double> fallbackTop)
{
    const double centredLeft = (screen.width() - window.width()) / 2;
    const double centredTop = fallbackTop.value_or((screen.height() - window.height()) / 2);
    QPointF pos(left.value_or(centredLeft), top.value_or(centredTop));
    if (pos.x() > screen.width() || pos.y() > screen.height())
        pos = QPointF(centredLeft, centredTop);
    return pos;
}

void restorePlacement(QWidget *window, const SettingKey &left, const SettingKey &top, std::optional<double> fallbackTop)
{
    const QPointF pos = placeWindow(Settings::readCoordinate(left), Settings::readCoordinate(top),
        outerSizeTwips(window), screenSizeTwips(), fallbackTop);
    moveToTwips(window, pos);
}

void savePlacement(const QWidget *window, const SettingKey &left, const SettingKey &top)
{
    const QPointF pos = outerPosTwips(window);
    Settings::saveCoordinate(left, pos.x());
    Settings::saveCoordinate(top, pos.y());
}

void bindKeepOnTop(QCheckBox *box, QWidget *window, const SettingKey &key)
{
    QObject::connect(box, &QCheckBox::toggled, window, [window](bool on) { SetWindowOnTop(window, on ? 1 : 0); });
    box->setChecked(Settings::readCheckState(key) == 1);
}

void saveKeepOnTop(const QCheckBox *box, const SettingKey &key)
{
    Settings::saveCheckState(key, box->isChecked());
}
