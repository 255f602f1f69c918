#include "widgets/rolloverhints.h"

#include <QEvent>
#include <QLabel>

RolloverHints::RolloverHints(QLabel *panel, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
{ }

void RolloverHints::attach(QWidget *control, const QString &hint)
{
    m_hints.insert(control, hint);
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, [this, control] { m_hints.remove(control); });
}

QString RolloverHints::hint(const QWidget *control) const
{
    return m_hints.value(control);
}

bool RolloverHints::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_panel || !m_hints.contains(watched))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Enter) {
        m_panel->setText(m_hints.value(watched));
    } else if (event->type() == QEvent::Leave) {
        // Back to the enclosing control's hint (a frame around a list), or to the bare window.
        QString enclosing;
        for (QObject *up = watched->parent(); up; up = up->parent()) {
            if (m_hints.contains(up)) {
                enclosing = m_hints.value(up);
                break;
            }
        }
        m_panel->setText(enclosing);
    }
    return QObject::eventFilter(watched, event);
}
