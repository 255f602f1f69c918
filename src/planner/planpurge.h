#pragma once

#include "common/message.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// Removes every day file from 1 January 2000 up to and including a chosen day, in steps, so that the
// window stays responsive. The folder is listed once; only names of eight digits whose number lies in
// 20000101..chosen go (numbers, not dates: a file named 20001332 in range goes too), nothing else.
// The files go to the desktop trash, or are deleted for good where there is none (the window asks
// first). Progress runs 0..100 as the walk over those numbers would report it, and ends at 100.
class PlanPurge final
{
public:
    enum class Removal { Trash, Delete };
    PlanPurge(const QString &folder, const QDate &upTo, Removal removal = Removal::Trash);

    static constexpr qint64 FirstNumber = 20000101;
    // The progress at number n of the walk to `last`, rounded half to even; 100 for a walk of one step.
    static int progressAt(qint64 n, qint64 last);
    // Whether the user's home trash can take files. Without one, Qt would "trash" into the working folder.

    bool atEnd() const { return m_next >= m_names.size(); }
    // Removes up to `count` files; returns the progress reached (100 once at the end).
    int step(int count);
    int progress() const { return m_progress; }
    int removed() const { return m_removed; }
    QStringList failed() const; // files that could not be removed
    // What the user is told at the end: how many days went and where, and what could not go.
    Message doneMessage() const;

private:
    struct Failure
    {
        QString name;
        QString reason;
    };
    bool remove(const QString &path, QString *reason);

    QString m_folder;
    qint64 m_last;
    Removal m_removal;
    QStringList m_names; // the files to remove, in number order
    qsizetype m_next = 0;
    int m_progress = 0;
    int m_removed = 0;
    QString m_trashFolder; // where the trashed files went
    QList<Failure> m_failed;
};
