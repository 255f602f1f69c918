#include "widgets/keyboardaccess.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QToolBar>
#include <algorithm>

void focusToolBarButtons(QToolBar *bar)
{
    QWidget *previous = nullptr;
    const auto actions = bar->actions();
    for (QAction *action : actions) {
        QWidget *button = bar->widgetForAction(action);
        if (!button || action->isSeparator())
            continue;
        button->setFocusPolicy(Qt::TabFocus);
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
    }
}

bool pressAccessKey(QWidget *scope, const QKeyEvent *event)
{
    if ((event->modifiers() & ~(Qt::ShiftModifier | Qt::AltModifier)) != Qt::NoModifier || event->text().isEmpty())
        return false;
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(event->key())));
    QList<QAbstractButton *> carriers;
    const auto buttons = scope->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->isVisible() && button->isEnabled() && QKeySequence::mnemonic(button->text()) == pressed)
            carriers << button;
    }
    if (carriers.isEmpty())
        return false;
    if (carriers.size() == 1) {
        carriers.first()->animateClick();
        return true;
    }
    // Top to bottom, left to right; the focus moves on from the carrier that has it.
    std::sort(carriers.begin(), carriers.end(), [scope](const QWidget *a, const QWidget *b) {
        const QPoint pa = a->mapTo(scope, QPoint());
        const QPoint pb = b->mapTo(scope, QPoint());
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    const auto focused = std::find(carriers.begin(), carriers.end(), scope->focusWidget());
    const auto next = focused == carriers.end() || focused + 1 == carriers.end() ? carriers.begin() : focused + 1;
    (*next)->setFocus(Qt::ShortcutFocusReason);
    return true;
}
