#include "widgets/iconcachestyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

void IconCacheStyle::install()
{
    if (qobject_cast<IconCacheStyle *>(QApplication::style()))
        return;
    QStyle *chosen = QStyleFactory::create(QApplication::style()->name());
    if (chosen)
        QApplication::setStyle(new IconCacheStyle(chosen));
}

QIcon IconCacheStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (option) // drawn for one widget's state: not shared
        return QProxyStyle::standardIcon(icon, option, widget);
    const Qt::LayoutDirection direction = widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
    const int key = int(icon) * 2 + (direction == Qt::RightToLeft ? 1 : 0);
    auto found = m_icons.constFind(key);
    if (found == m_icons.cend())
        found = m_icons.insert(key, QProxyStyle::standardIcon(icon, nullptr, widget));
    return *found;
}

void IconCacheStyle::polish(QApplication *application)
{
    m_icons.clear();
    QProxyStyle::polish(application);
}
