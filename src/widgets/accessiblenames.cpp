#include "widgets/accessiblenames.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

namespace {
QString spoken(QString text)
{
    return text.remove(QLatin1Char('&'));
}
} // namespace

void nameFromToolTip(QWidget *control)
{
    if (control && control->accessibleName().isEmpty())
        control->setAccessibleName(spoken(control->toolTip()));
}

void nameToolBarButtons(QToolBar *bar)
{
    const auto actions = bar->actions();
    for (QAction *action : actions) {
        QWidget *button = bar->widgetForAction(action);
        if (!button || action->isSeparator())
            continue;
        const QString tip = action->toolTip();
        button->setAccessibleName(spoken(tip.isEmpty() ? action->text() : tip));
    }
}
