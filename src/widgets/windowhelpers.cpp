#include "widgets/windowhelpers.h"

#include "common/settings.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cmath>

namespace {

// The frame the desktop drew around the last framed window: the best guess for a window not yet shown.
QMargins &lastFrame()
{
    static QMargins frame;
    return frame;
}

QMargins marginsBetween(const QRect &outer, const QRect &inner)
{
    return { inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
        outer.bottom() - inner.bottom() };
}

// The window's own frame while it is shown and has one.
QMargins knownFrame(const QWidget *window)
{
    if (!window->isVisible())
        return {};
    return marginsBetween(window->frameGeometry(), window->geometry());
}

QMargins frameOf(const QWidget *window)
{
    const QMargins known = knownFrame(window);
    if (!known.isNull() || window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return known;
    return lastFrame();
}

QSize pixels(QSizeF twips)
{
    return { int(std::lround(twips.width() / TwipsPerPixel)), int(std::lround(twips.height() / TwipsPerPixel)) };
}

// What a window asked of the helpers, done again once the desktop has framed it.
class FrameFit final : public QObject
{
public:
    explicit FrameFit(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        setObjectName(QStringLiteral("qy2FrameFit"));
        window->installEventFilter(this);
    }

    static FrameFit *of(QWidget *window)
    {
        auto *fit = window->findChild<FrameFit *>(QStringLiteral("qy2FrameFit"), Qt::FindDirectChildrenOnly);
        return fit ? fit : new FrameFit(window);
    }

    void size(QSizeF outer, bool fixed)
    {
        m_outer = outer;
        m_fixed = fixed;
        applySize();
    }

    void place(std::optional<double> left, std::optional<double> top, std::optional<double> fallbackTop)
    {
        m_placed = true;
        m_left = left;
        m_top = top;
        m_fallbackTop = fallbackTop;
        applyPlace();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (watched == m_window && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
            refitWhenFramed();
        return QObject::eventFilter(watched, event);
    }

private:
    void refitWhenFramed()
    {
        const QMargins frame = knownFrame(m_window);
        if (frame.isNull() || frame == m_assumed)
            return;
        lastFrame() = frame;
        m_window->removeEventFilter(this); // the frame is known from now on
        applySize();
        applyPlace();
    }

    void applySize()
    {
        if (!m_outer)
            return;
        m_assumed = frameOf(m_window);
        const QSize inside = pixels(*m_outer).shrunkBy(m_assumed);
        if (m_fixed)
            m_window->setFixedSize(inside.expandedTo(m_window->minimumSizeHint()));
        else
            m_window->resize(inside);
    }

    void applyPlace()
    {
        if (!m_placed)
            return;
        m_assumed = frameOf(m_window);
        moveToTwips(m_window, placeWindow(m_left, m_top, outerSizeTwips(m_window), screenSizeTwips(), m_fallbackTop));
    }

    QWidget *m_window = nullptr;
    std::optional<QSizeF> m_outer;
    bool m_fixed = false;
    bool m_placed = false;
    std::optional<double> m_left;
    std::optional<double> m_top;
    std::optional<double> m_fallbackTop;
    QMargins m_assumed;
};

} // namespace

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
    return QSizeF(window->size().grownBy(frameOf(window))) * TwipsPerPixel;
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
    FrameFit::of(window)->size(twips, false);
}

void fixOuterSizeTwips(QWidget *window, QSizeF twips)
{
    FrameFit::of(window)->size(twips, true);
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
    FrameFit::of(window)->place(Settings::readCoordinate(left), Settings::readCoordinate(top), fallbackTop);
}

void savePlacement(const QWidget *window, const SettingKey &left, const SettingKey &top)
{
    const QPointF pos = outerPosTwips(window);
    Settings::saveCoordinate(left, pos.x());
    Settings::saveCoordinate(top, pos.y());
}

void centreWindow(QWidget *window)
{
    FrameFit::of(window)->place(std::nullopt, std::nullopt, std::nullopt);
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
