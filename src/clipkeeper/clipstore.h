#pragma once

#include "common/message.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <variant>

// The clip store behind the ClipKeeper window. "ClipData" in the data folder holds one folder per
// category; a category folder holds one file per clip, named by the clip's description exactly as
// typed and holding the clip's plain text. The folder listing is the catalogue: there is no index.
//
// ClipStore keeps what the window lists (the categories, the current one and its clips) and runs
// the window's operations on disk. Every message comes back as a Message for the window to show.
// What the user removes goes to the desktop's trash, so a slip can be undone; where the trash
// cannot take it, the store asks through the confirm callback before deleting anything for good.
// Hidden entries (names starting with ".") and plain files in "ClipData" are not listed, and both
// lists are in name order. Names that are not valid text in the file system's encoding (from an
// older 8-bit installation) cannot be listed or opened by name: ForeignNames() finds them and
// RenameForeign() gives them the names proposed.
class ClipStore final
{
    Q_DECLARE_TR_FUNCTIONS(ClipStore)

public:
    // A Yes/No question; true for Yes.
    using Confirm = std::function<bool(const Message &question)>;
    // Writes a clip file, atomically; false when it failed (the writer tells the user).
    using Writer = std::function<bool(const QString &path, const QString &text)>;

    static constexpr int MaxNewCatNumber = 32767; // the number is a signed 16-bit value
    static constexpr qint64 MaxClipBytes = 1024 * 1024; // larger clips are not opened: the text box would freeze

    // An entry whose name the listing skips, and the name proposed for it (its Windows-1252 reading).
    struct ForeignName
    {
        QByteArray path; // the entry's path as the file system names it
        QString shown; // the old name, as far as it can be shown
        QString proposal;
        bool category = false;
    };

    explicit ClipStore(const QString &clipFolder = defaultClipFolder());

    static QString defaultClipFolder(); // "ClipData" in the data folder
    static QString defaultCategory(); // "My Clips"

    void setConfirm(Confirm confirm); // without one, nothing is ever deleted for good
    void setWriter(Writer writer); // WriteTextFile unless set

    const QString &clipFolder() const { return m_clipFolder; }
    const QStringList &categories() const { return m_categories; }
    const QString &currentCategory() const { return m_currentCategory; }
    int currentCategoryIndex() const { return m_currentCategoryIndex; }
    const QStringList &clips() const { return m_clips; } // the current category's clips
    QString categoryPath(const QString &category) const;
    QString clipPath(const QString &clip) const; // in the current category

    // Creates "ClipData" with "My Clips" inside when the data folder holds no entry of that name.
    std::optional<Message> EnsureClipFolder();
    // Lists the categories (making "My Clips" when there is none) and makes the first current.
    std::optional<Message> LoadCategories();
    void SelectCategory(int index);
    void RefreshClips();
    static QStringList clipsIn(const QString &categoryFolder); // the clip files, in no order

    // Creates the first free "NewCat" + n; the list is reloaded.
    std::optional<Message> AddCategory();
    // Renames the category at index; on success it is the current one under its new name.
    std::optional<Message> RenameCategory(int index, const QString &newName);
    // Moves the current category, with everything in it, to the trash; never the last one.
    std::optional<Message> RemoveCategory();

    // The clip's text, every line followed by CR LF; a message when the file cannot be read.
    std::variant<QString, Message> OpenClip(const QString &clip) const;
    // Writes the text exactly as given to the clip of that description in the current category. A clip
    // of that description holding other text goes to the trash first; where the trash cannot take
    // it, the confirm callback is asked, and nothing is written without a Yes.
    // *saved tells whether the text reached the file.
    std::optional<Message> SaveClip(const QString &description, const QString &text, bool *saved = nullptr);
    // The first of "Unsaved clip", "Unsaved clip 2", ... that no entry of the current category has.
    QString FreeClipName() const;
    // Moves the clip file to the trash; an empty name means no clip is selected.
    std::optional<Message> DeleteClip(const QString &clip);

    // Clip text typed but not saved yet, kept beside "ClipData" a moment after the typing stops, so
    // that a crash loses seconds of it. The next opening turns it into a clip (KeepDraft).
    struct Draft
    {
        QString category;
        QString description;
        QString text;

        bool operator==(const Draft &) const = default;
    };
    QString draftPath() const;
    bool saveDraft(const Draft &draft, QString *reason = nullptr) const;
    // nullopt when no draft is kept; also when it cannot be read, then with *failure set.
    std::optional<Draft> loadDraft(Message *failure) const;
    bool removeDraft() const;
    // Writes the draft as a clip of its category (the current one when that is gone), named by its
    // description when no entry has that name yet, else by FreeClipName(); then the draft goes.
    // Says where the text went; nullopt when it could not be written (the writer told why).
    std::optional<Message> KeepDraft(const Draft &draft);

    // A name a category or a clip may have: a usable file name that is not hidden.
    static bool IsUsableName(const QString &name);

    // The categories and clips with foreign names; renaming them all, then the list is reloaded.
    QList<ForeignName> ForeignNames() const;
    std::optional<Message> RenameForeign(const QList<ForeignName> &names);
    static Message foreignNamesQuestion(const QList<ForeignName> &names);

private:
    enum class Removal { Trashed, Deleted, Kept, Failed };
    Removal trashOrDelete(const QString &path, const Message &question);
    bool mayReplace(const QString &path, const QString &text, QString *trashed);
    void listCategories();

    QString m_clipFolder;
    QStringList m_categories;
    QString m_currentCategory;
    int m_currentCategoryIndex = -1;
    QStringList m_clips;
    Confirm m_confirm;
    Writer m_writer;
};

// Sorts names as a person reads them: letter case aside, numbers by their value ("NewCat2" before
// "NewCat10"), then by the exact text, so that the order never depends on the file system.
void SortNames(QStringList &names);
