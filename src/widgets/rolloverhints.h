#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QWidget;

// Roll-over hints: while the pointer is over an attached control its hint shows in the panel;
// leaving it (for the bare window surface) empties the panel.
class RolloverHints final : public QObject
{
    Q_OBJECT

public:
    explicit RolloverHints(QLabel *panel, QObject *parent = nullptr);

    void attach(QWidget *control, const QString &hint);
    QString hint(const QWidget *control) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QLabel> m_panel;
    QHash<const QObject *, QString> m_hints;
};
