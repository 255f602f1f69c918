#pragma once

#include "common/message.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

// QuickNotes' files and texts: the ten fixed to-do titles, the item file of each title
// ("<title>.txt") and the user's own template "todo.dat" in the data folder, the dated default
// template, and the draft that keeps an unsaved note when the program ends with nobody to ask.
// Plain Qt Core; frmQuickNotes shows the texts and the messages.
//
// The pad separates its lines with LF, the files with CR LF. Loading gives every line of the file
// followed by CR LF (a missing file reads as empty; the window creates it); saving writes the text
// with CR LF breaks and adds nothing, so "abc" saved is 3 bytes and comes back as "abc" CR LF.
class ToDoLists
{
    Q_DECLARE_TR_FUNCTIONS(ToDoLists)

public:
    static constexpr int TitleCount = 10;
    static constexpr qint64 MaxFileBytes = 1024 * 1024; // larger lists are not read: the pad would freeze

    // The titles are file names too: they never change, whatever the language; titleText() is the
    // title as the list shows it.
    static QString title(int position); // empty out of range
    static QString titleText(int position);
    static int position(const QString &title); // -1 when it is not one of the ten

    static QString itemFilePath(int position); // empty out of range
    static QString templateFilePath();

    // The file's text; nullopt and *failure when the file exists but cannot be read, is not a
    // regular file or is larger than MaxFileBytes.
    static std::optional<QString> load(const QString &path, Message *failure = nullptr);
    // Writes the text with CR LF line breaks, atomically. False, with the reason, when the file
    // cannot be written, or when it exists but cannot be read (it is never written over then).
    static bool save(const QString &path, const QString &text, QString *reason = nullptr);
    static QString toFileText(const QString &padText); // LF line breaks become CR LF
    // True when saving the pad's text would replace a list that holds some other text.
    static bool holdsOtherText(const QString &path, const QString &padText);
    // Asked before a save replaces a list the pad has not shown since the window opened.
    static Message unseenListQuestion(int position, const QString &path);

    // The thirteen lines of the default template, joined by CR LF, dated in the locale's language.
    static QString defaultTemplate(const QDate &date, const QLocale &locale);
    static QString defaultTemplate(); // today, in the system's language

    // The note kept at an unattended end: the title it belonged to and the pad's text.
    struct Draft
    {
        int position = 0;
        QString text;

        bool operator==(const Draft &) const = default;
    };
    static QString draftFilePath();
    static bool saveDraft(const Draft &draft, QString *reason = nullptr);
    // nullopt when no draft is kept; also when it cannot be read, then with *failure set.
    static std::optional<Draft> loadDraft(Message *failure = nullptr);
    static bool removeDraft();

    static Message readFailedMessage(const QString &path, const QString &reason);
};
