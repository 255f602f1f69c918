#pragma once

#include <QTextDocument>
#include <QToolBar>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTextEdit;

// The Find bar at the bottom of TextEd: a text to look for, Next and Previous (wrapping round the
// document), Match case, and a label that tells when the text is not there. Escape closes it.
class FindBar final : public QToolBar
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    void open(const QString &text); // shows the bar with the text selected, ready to type
    void dismiss(); // hides the bar; tells closing() first, so the focus can go back before the bar hides
    QString text() const;
    void setMatchCase(bool on);

    // Selects the next (or previous) place of the text in the box; false when there is none.
    bool find(QTextEdit *box, bool backward);

Q_SIGNALS:
    void findRequested(bool backward);
    void closing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_txtFind = nullptr;
    QCheckBox *m_chkMatchCase = nullptr;
    QLabel *m_lblFindResult = nullptr;
};
