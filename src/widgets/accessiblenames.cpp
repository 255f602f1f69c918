#include "widgets/accessiblenames.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QToolBar>
#include <QWidget>

namespace {

QString spoken(QString text)
{
    return text.remove(QLatin1Char('&'));
}

void nameFromAction(QToolBar *bar, QAction *action)
{
    QWidget *button = bar->widgetForAction(action);
    if (!button || action->isSeparator())
        return;
    const QString tip = action->toolTip();
    button->setAccessibleName(spoken(tip.isEmpty() ? action->text() : tip));
}

// Asked for the most derived class first: a window of the program's own class that derives straight
// from QWidget or QFrame would otherwise be a "client" area (a filler to the desktop).
QAccessibleInterface *programWindow(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (!widget->isWindow() || widget->windowType() == Qt::Popup || widget->windowType() == Qt::ToolTip)
        return nullptr;
    const QMetaObject *base = object->metaObject()->superClass();
    if (base != &QWidget::staticMetaObject && base != &QFrame::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

void installWindowRole()
{
    QAccessible::installFactory(programWindow);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installWindowRole)

void nameFromToolTip(QWidget *control)
{
    if (control && control->accessibleName().isEmpty())
        control->setAccessibleName(spoken(control->toolTip()));
}

void nameToolBarButtons(QToolBar *bar)
{
    const auto actions = bar->actions();
    for (QAction *action : actions) {
        nameFromAction(bar, action);
        QObject::connect(action, &QAction::changed, bar, [bar, action] { nameFromAction(bar, action); });
    }
}
