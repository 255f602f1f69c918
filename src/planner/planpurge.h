#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Deletes every day file from 1 January 2000 up to and including a chosen day, in steps, so that the
// window stays responsive. The folder is listed once; only names of eight digits whose number lies in
// 20000101..chosen are deleted (numbers, not dates: a file named 20001332 in range goes too), nothing
// else. Progress runs 0..100 as the walk over those numbers would report it, and ends at 100.
class PlanPurge final
{
public:
    PlanPurge(const QString &folder, const QDate &upTo);

    static constexpr qint64 FirstNumber = 20000101;
    // The progress at number n of the walk to `last`, rounded half to even; 100 for a walk of one step.
    static int progressAt(qint64 n, qint64 last);

    bool atEnd() const { return m_next >= m_names.size(); }
    // Deletes up to `count` files; returns the progress reached (100 once at the end).
    int step(int count);
    int progress() const { return m_progress; }
    int deleted() const { return m_deleted; }
    QStringList failed() const { return m_failed; } // files that could not be deleted

private:
    QString m_folder;
    qint64 m_last;
    QStringList m_names; // the files to delete, in number order
    qsizetype m_next = 0;
    int m_progress = 0;
    int m_deleted = 0;
    QStringList m_failed;
};
