#include "texted/findbar.h"

#include "widgets/accessiblenames.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>

FindBar::FindBar(QWidget *parent)
    : QToolBar(tr("Find"), parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setMovable(false);
    setFloatable(false);

    auto *label = new QLabel(tr("Fin&d:"), this);
    m_txtFind = new QLineEdit(this);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtFind->setClearButtonEnabled(true);
    label->setBuddy(m_txtFind);
    addWidget(label);
    addWidget(m_txtFind);

    auto *next = new QPushButton(tr("&Next"), this);
    next->setObjectName(QStringLiteral("cmdFindNext"));
    connect(next, &QPushButton::clicked, this, [this] { Q_EMIT findRequested(false); });
    addWidget(next);
    auto *previous = new QPushButton(tr("&Previous"), this);
    previous->setObjectName(QStringLiteral("cmdFindPrevious"));
    connect(previous, &QPushButton::clicked, this, [this] { Q_EMIT findRequested(true); });
    addWidget(previous);

    m_chkMatchCase = new QCheckBox(tr("Match &case"), this);
    m_chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    addWidget(m_chkMatchCase);

    m_lblFindResult = new QLabel(this);
    m_lblFindResult->setObjectName(QStringLiteral("lblFindResult"));
    m_lblFindResult->setAccessibleDescription(tr("Result of the search"));
    m_lblFindResult->setMinimumWidth(m_lblFindResult->fontMetrics().horizontalAdvance(tr("Not found")) + 8);
    addWidget(m_lblFindResult);

    auto *closeBar = new QToolButton(this);
    closeBar->setObjectName(QStringLiteral("cmdFindClose"));
    closeBar->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    closeBar->setToolTip(tr("Close the Find bar (Esc)"));
    closeBar->setFocusPolicy(Qt::StrongFocus);
    nameFromToolTip(closeBar);
    connect(closeBar, &QToolButton::clicked, this, &FindBar::dismiss);
    addWidget(closeBar);

    connect(m_txtFind, &QLineEdit::returnPressed, this, [this] { Q_EMIT findRequested(false); });
    connect(m_txtFind, &QLineEdit::textChanged, m_lblFindResult, &QLabel::clear);
    m_txtFind->installEventFilter(this);
    hide();
}

void FindBar::open(const QString &text)
{
    if (!text.isEmpty())
        m_txtFind->setText(text);
    show();
    m_txtFind->selectAll();
    m_txtFind->setFocus(Qt::ShortcutFocusReason);
}

void FindBar::dismiss()
{
    Q_EMIT closing();
    hide();
}

QString FindBar::text() const
{
    return m_txtFind->text();
}

void FindBar::setMatchCase(bool on)
{
    m_chkMatchCase->setChecked(on);
}

bool FindBar::find(QTextEdit *box, bool backward)
{
    const QString wanted = m_txtFind->text();
    if (!box || wanted.isEmpty())
        return false;
    QTextDocument::FindFlags flags;
    if (backward)
        flags |= QTextDocument::FindBackward;
    if (m_chkMatchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    bool found = box->find(wanted, flags);
    if (!found) { // round the end (or the start) of the document
        QTextCursor cursor = box->textCursor();
        const QTextCursor before = cursor;
        cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        box->setTextCursor(cursor);
        found = box->find(wanted, flags);
        if (!found)
            box->setTextCursor(before);
    }
    m_lblFindResult->setText(found ? QString() : tr("Not found"));
    return found;
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtFind && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            dismiss();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers().testFlag(Qt::ShiftModifier)) {
            Q_EMIT findRequested(true);
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}
