#include "clipkeeper/clipstore.h"

#include "common/datafolder.h"
#include "common/filename.h"
#include "common/syncfiles.h"
#include "common/textfile.h"
#include "common/trash.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <cstdio>
#include <vector>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

const QString Title = QStringLiteral("Quillory2");
const QString NewCat = QStringLiteral("NewCat");
const QString NotAllowed = QStringLiteral("\\/:*?\"<>|");

Message exclamation(const QString &text)
{
    return { Message::Icon::Exclamation, Title, text };
}

Message question(const QString &text)
{
    return { Message::Icon::Question, Title, text };
}

// An entry that is there, a dangling link included.
bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The file's bytes, but no more than one beyond the largest clip: a larger file never reaches memory whole.
std::optional<QByteArray> readClipBytes(const QString &path, QString *reason)
{
    QFile file(path);
    if (!openRegularFile(file, reason))
        return std::nullopt;
    QByteArray bytes = file.read(ClipStore::MaxClipBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

bool holdsText(const QString &path, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (QFileInfo(path).size() != bytes.size())
        return false;
    QString reason;
    return readClipBytes(path, &reason) == bytes;
}

// Qt lists only names that are valid in the file system's encoding; these helpers see the others.
bool decodable(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

QList<QByteArray> entryNames(const QByteArray &folder)
{
    QList<QByteArray> names;
#if defined(Q_OS_UNIX)
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.append(QByteArray(entry->d_name));
        }
        ::closedir(dir);
    }
#else
    Q_UNUSED(folder)
#endif
    return names;
}

// 'd' for a folder, 'f' for a regular file, 'o' for anything else, 0 for nothing there. Links are
// followed, as the listing follows them; with `followLinks` false a link itself is 'o'.
char kindOf(const QByteArray &path, bool followLinks = true)
{
#if defined(Q_OS_UNIX)
    struct stat info
    {
    };
    if ((followLinks ? ::stat(path.constData(), &info) : ::lstat(path.constData(), &info)) != 0)
        return 0;
    if (S_ISDIR(info.st_mode))
        return 'd';
    return S_ISREG(info.st_mode) ? 'f' : 'o';
#else
    Q_UNUSED(path)
    Q_UNUSED(followLinks)
    return 0;
#endif
}

ClipStore::ForeignName foreignName(
    const QByteArray &folder, const QByteArray &name, const QString &shownFolder, QSet<QByteArray> &taken)
{
    QString base = decodeWindows1252(name);
    for (QChar &c : base) {
        if (NotAllowed.contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    }
    QString proposal = base;
    const auto target
        = [&folder](const QString &newName) -> QByteArray { return folder + '/' + QFile::encodeName(newName); };
    for (int n = 2; taken.contains(target(proposal)) || kindOf(target(proposal), false) != 0; ++n)
        proposal = base + QStringLiteral(" (%1)").arg(n);
    taken.insert(target(proposal));
    return { folder + '/' + name, shownFolder + QFile::decodeName(name), proposal, shownFolder.isEmpty() };
}

} // namespace

ClipStore::ClipStore(const QString &clipFolder)
    : m_clipFolder(clipFolder)
    , m_writer([](const QString &path, const QString &text) { return WriteTextFile(path, text); })
{ }

QString ClipStore::defaultClipFolder()
{
    return DataFolder::filePath(QStringLiteral("ClipData"));
}

QString ClipStore::defaultCategory()
{
    return QStringLiteral("My Clips");
}

void ClipStore::setConfirm(Confirm confirm)
{
    m_confirm = std::move(confirm);
}

void ClipStore::setWriter(Writer writer)
{
    m_writer = std::move(writer);
}

QString ClipStore::categoryPath(const QString &category) const
{
    return m_clipFolder + u'/' + category;
}

QString ClipStore::clipPath(const QString &clip) const
{
    return categoryPath(m_currentCategory) + u'/' + clip;
}

bool ClipStore::IsUsableName(const QString &name)
{
    // A hidden name would make a category or clip that the lists never show.
    return IsValidFileName(name) && !name.startsWith(u'.');
}

std::optional<Message> ClipStore::EnsureClipFolder()
{
    const bool created = !entryExists(m_clipFolder) && QDir().mkpath(categoryPath(defaultCategory()));
    if (created || QFileInfo(m_clipFolder).isDir())
        return std::nullopt;
    return exclamation(tr("THE CLIP FOLDER CANNOT BE USED\r\n\r\n%1\r\n\r\nSolution:\r\n"
                          "Make it a folder you may write to, then open ClipKeeper again.")
                           .arg(QDir::toNativeSeparators(m_clipFolder)));
}

void ClipStore::listCategories()
{
    m_categories = QDir(m_clipFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    SortNames(m_categories);
}

std::optional<Message> ClipStore::LoadCategories()
{
    std::optional<Message> message;
    listCategories();
    if (m_categories.isEmpty() && QFileInfo(m_clipFolder).isDir()) {
        if (QDir(m_clipFolder).mkdir(defaultCategory())) {
            listCategories();
        } else {
            message = exclamation(tr("THE CATEGORY \"%1\" COULD NOT BE CREATED\r\n\r\n%2\r\n\r\nSolution:\r\n"
                                     "Make the clip folder writable, then open ClipKeeper again.")
                                      .arg(defaultCategory(), QDir::toNativeSeparators(m_clipFolder)));
        }
    }
    m_currentCategory.clear();
    m_currentCategoryIndex = -1;
    m_clips.clear();
    SelectCategory(0);
    return message;
}

void ClipStore::SelectCategory(int index)
{
    if (index < 0 || index >= m_categories.size())
        return;
    m_currentCategoryIndex = index;
    m_currentCategory = m_categories.at(index);
    RefreshClips();
}

void ClipStore::RefreshClips()
{
    m_clips.clear();
    if (m_currentCategoryIndex < 0)
        return;
    m_clips = clipsIn(categoryPath(m_currentCategory));
    SortNames(m_clips);
}

// A conflict copy a sync engine left is no clip of the user's: it is told of once, not listed.
QStringList ClipStore::clipsIn(const QString &folder)
{
    QStringList clips = QDir(folder).entryList(QDir::Files, QDir::Unsorted);
    clips.removeIf([](const QString &name) { return IsConflictCopy(name); });
    return clips;
}

std::optional<Message> ClipStore::AddCategory()
{
    for (int n = 1; n <= MaxNewCatNumber; ++n) {
        const QString name = NewCat + QString::number(n);
        if (entryExists(categoryPath(name)))
            continue;
        const bool made = QDir(m_clipFolder).mkdir(name);
        LoadCategories();
        if (made)
            return std::nullopt;
        return exclamation(tr("THE CATEGORY \"%1\" COULD NOT BE CREATED\r\n\r\n%2\r\n\r\nSolution:\r\n"
                              "Make the clip folder writable, then try again.")
                               .arg(name, QDir::toNativeSeparators(m_clipFolder)));
    }
    LoadCategories();
    return exclamation(tr("NO NEW CATEGORY NAME IS FREE\r\n\r\nEvery name from %1%2 to %1%3 is taken.\r\n\r\n"
                          "Solution:\r\nRename or remove one of those categories, then press Add Folder again.")
                           .arg(NewCat)
                           .arg(1)
                           .arg(MaxNewCatNumber));
}

std::optional<Message> ClipStore::RenameCategory(int index, const QString &newName)
{
    if (newName == m_categories.value(index))
        return std::nullopt; // a rename ended without a change
    if (m_categories.contains(newName)) {
        LoadCategories();
        return exclamation(tr("The catagory ") + u'"' + newName + u'"' + tr(" already exists."));
    }
    if (!IsUsableName(newName)) {
        LoadCategories();
        return exclamation(NotAllowed + tr(" not allowed in catagory description"));
    }
    const QString oldName = m_categories.value(index);
    if (oldName.isEmpty() || !QDir(m_clipFolder).rename(oldName, newName)) {
        LoadCategories();
        return exclamation(tr("THE CATEGORY COULD NOT BE RENAMED\r\n\r\n\"%1\" keeps its name.\r\n\r\nSolution:\r\n"
                              "Try a shorter name, or make the clip folder writable.")
                               .arg(oldName));
    }
    listCategories();
    SelectCategory(int(m_categories.indexOf(newName)));
    return std::nullopt;
}

std::optional<Message> ClipStore::RemoveCategory()
{
    if (m_categories.size() < 2 || m_currentCategoryIndex < 0) {
        LoadCategories();
        return std::nullopt;
    }
    const QString path = categoryPath(m_currentCategory);
    std::optional<Message> message;
    if (entryExists(path)) {
        const Message ask = question(tr("The category \"%1\" cannot be moved to the trash, so it could not be "
                                        "taken back.\r\n\r\nDelete it and every clip in it for good?")
                                         .arg(m_currentCategory));
        switch (trashOrDelete(path, ask)) {
        case Removal::Kept: return std::nullopt;
        case Removal::Failed:
            message = exclamation(tr("THE CATEGORY COULD NOT BE DELETED COMPLETELY\r\n\r\n%1\r\n\r\n"
                                     "What could not be deleted is still in the folder.")
                                      .arg(QDir::toNativeSeparators(path)));
            break;
        case Removal::Trashed:
        case Removal::Deleted: break;
        }
    }
    LoadCategories();
    return message;
}

std::variant<QString, Message> ClipStore::OpenClip(const QString &clip) const
{
    const QString path = clipPath(clip);
    // Reading a missing file would leave an empty one behind, which a later save would keep.
    if (!m_clips.contains(clip) || !QFileInfo(path).isFile()) {
        return exclamation(tr("THE CLIP IS NO LONGER THERE\r\n\r\n\"%1\" was removed or renamed outside ClipKeeper."
                              "\r\n\r\nSolution:\r\nChoose another clip from the list.")
                               .arg(clip));
    }
    QString reason;
    const std::optional<QByteArray> bytes = readClipBytes(path, &reason);
    if (!bytes) {
        return exclamation(tr("THE CLIP CANNOT BE READ\r\n\r\n%1\r\n%2\r\n\r\nSolution:\r\n"
                              "Make the file readable, then click the clip again. The file is left as it is.")
                               .arg(QDir::toNativeSeparators(path), reason));
    }
    if (bytes->size() > MaxClipBytes) {
        const QLocale locale;
        return exclamation(tr("THE CLIP IS TOO LARGE TO SHOW\r\n\r\n\"%1\" holds %2; ClipKeeper shows clips of up to "
                              "%3.\r\n\r\nSolution:\r\nOpen it in a text editor. The file is left as it is:\r\n%4")
                               .arg(clip, locale.formattedDataSize(QFileInfo(path).size()),
                                   locale.formattedDataSize(MaxClipBytes), QDir::toNativeSeparators(path)));
    }
    return decodeTextFile(*bytes);
}

std::optional<Message> ClipStore::SaveClip(const QString &description, const QString &text, bool *saved)
{
    if (saved)
        *saved = false;
    if (!IsUsableName(description))
        return exclamation(NotAllowed + tr(" are not allowed in clip name"));
    if (m_currentCategoryIndex < 0) {
        return exclamation(tr("THERE IS NO CATEGORY TO KEEP THE CLIP IN\r\n\r\nSolution:\r\n"
                              "Press Add Folder to make a category, then save the clip again."));
    }
    const QString path = clipPath(description);
    QString trashed;
    if (!mayReplace(path, text, &trashed))
        return std::nullopt;
    const bool written = m_writer(path, text);
    if (!written && !trashed.isEmpty() && !entryExists(path))
        QFile::rename(trashed, path); // nothing replaced it: the old clip comes back from the trash
    if (saved)
        *saved = written;
    RefreshClips();
    return std::nullopt;
}

// True when the text may go to the path: no clip is there, it holds this very text, it went to the
// trash (*trashed says where), or the user agreed to replace it for good.
bool ClipStore::mayReplace(const QString &path, const QString &text, QString *trashed)
{
    const QFileInfo info(path);
    if (!info.isFile() || holdsText(path, text))
        return true;
    if (CanMoveToTrash() && QFile::moveToTrash(path, trashed))
        return true;
    const Message ask = question(tr("The clip \"%1\" holds other text, and it cannot be moved to the trash first, so "
                                    "it could not be taken back.\r\n\r\nReplace it for good?")
                                     .arg(info.fileName()));
    return m_confirm && m_confirm(ask);
}

QString ClipStore::FreeClipName() const
{
    const QString base = tr("Unsaved clip");
    QString name = base;
    for (int n = 2; entryExists(clipPath(name)); ++n)
        name = base + u' ' + QString::number(n);
    return name;
}

QString ClipStore::draftPath() const
{
    return QFileInfo(m_clipFolder).dir().filePath(QStringLiteral("ClipKeeper draft.txt"));
}

bool ClipStore::saveDraft(const Draft &draft, QString *reason) const
{
    return WriteWithHeadings(draftPath(), { draft.category, draft.description }, draft.text, reason);
}

std::optional<ClipStore::Draft> ClipStore::loadDraft(Message *failure) const
{
    if (!QFileInfo::exists(draftPath()))
        return std::nullopt;
    QString reason;
    const std::optional<QString> text = ReadTextFile(draftPath(), &reason);
    if (!text) {
        *failure = exclamation(tr("THE UNSAVED CLIP TEXT CANNOT BE READ\r\n\r\n%1\r\n%2\r\n\r\nThe file is left as it "
                                  "is; ClipKeeper offers it again at its next opening.")
                                   .arg(QDir::toNativeSeparators(draftPath()), reason));
        return std::nullopt;
    }
    const auto [headings, body] = SplitHeadings(*text, 2);
    return Draft { headings[0], headings[1], body };
}

bool ClipStore::removeDraft() const
{
    return !QFileInfo::exists(draftPath()) || QFile::remove(draftPath());
}

std::optional<Message> ClipStore::KeepDraft(const Draft &draft)
{
    if (const qsizetype category = m_categories.indexOf(draft.category); category >= 0)
        SelectCategory(int(category));
    const bool ownName = IsUsableName(draft.description) && !entryExists(clipPath(draft.description));
    const QString name = ownName ? draft.description : FreeClipName();
    bool saved = false;
    if (const std::optional<Message> refused = SaveClip(name, draft.text, &saved); refused || !saved)
        return refused;
    removeDraft();
    return Message { Message::Icon::Information, Title,
        tr("When the program last ended, clip text typed in ClipKeeper had not been saved. It is kept as the clip "
           "\"%1\" in \"%2\".")
            .arg(name, m_currentCategory) };
}

std::optional<Message> ClipStore::DeleteClip(const QString &clip)
{
    if (clip.isEmpty())
        return exclamation(tr("Please select a clip to remove"));
    const QString path = clipPath(clip);
    std::optional<Message> message;
    if (m_clips.contains(clip) && entryExists(path)) {
        const Message ask = question(tr(
            "The clip \"%1\" cannot be moved to the trash, so it could not be taken back.\r\n\r\nDelete it for good?")
                                         .arg(clip));
        switch (trashOrDelete(path, ask)) {
        case Removal::Kept: return std::nullopt;
        case Removal::Failed:
            message = exclamation(
                tr("THE CLIP COULD NOT BE DELETED\r\n\r\n%1\r\n\r\nSolution:\r\nMake the category folder writable, "
                   "then try again.")
                    .arg(QDir::toNativeSeparators(path)));
            break;
        case Removal::Trashed:
        case Removal::Deleted: break;
        }
    }
    RefreshClips();
    return message;
}

ClipStore::Removal ClipStore::trashOrDelete(const QString &path, const Message &ask)
{
    if (CanMoveToTrash() && QFile::moveToTrash(path))
        return Removal::Trashed;
    if (!m_confirm || !m_confirm(ask))
        return Removal::Kept;
    // A link goes, never what it points to.
    const QFileInfo info(path);
    const bool deleted = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
    return deleted ? Removal::Deleted : Removal::Failed;
}

// The clips of a category come before the category, so that each is renamed while its path holds.
QList<ClipStore::ForeignName> ClipStore::ForeignNames() const
{
    QList<ForeignName> found;
    QSet<QByteArray> taken;
    const QByteArray root = QFile::encodeName(m_clipFolder);
    for (const QByteArray &category : entryNames(root)) {
        const QByteArray folder = root + '/' + category;
        if (kindOf(folder) != 'd')
            continue;
        for (const QByteArray &clip : entryNames(folder)) {
            if (!decodable(clip) && kindOf(folder + '/' + clip) == 'f')
                found.append(foreignName(folder, clip, QFile::decodeName(category) + u'/', taken));
        }
        if (!decodable(category))
            found.append(foreignName(root, category, QString(), taken));
    }
    return found;
}

std::optional<Message> ClipStore::RenameForeign(const QList<ForeignName> &names)
{
    QStringList failed;
    for (const ForeignName &name : names) {
        const QByteArray target = name.path.left(name.path.lastIndexOf('/') + 1) + QFile::encodeName(name.proposal);
        if (kindOf(target, false) != 0 || std::rename(name.path.constData(), target.constData()) != 0)
            failed.append(name.shown);
    }
    const QString current = m_currentCategory;
    listCategories();
    SelectCategory(int(std::max<qsizetype>(0, m_categories.indexOf(current))));
    if (failed.isEmpty())
        return std::nullopt;
    return exclamation(tr("SOME NAMES COULD NOT BE CHANGED\r\n\r\n%1\r\n\r\nThey keep their names and stay unlisted.")
                           .arg(failed.join(QStringLiteral("\r\n"))));
}

Message ClipStore::foreignNamesQuestion(const QList<ForeignName> &names)
{
    constexpr qsizetype Shown = 10;
    QStringList lines;
    for (const ForeignName &name : names.first(std::min(names.size(), Shown))) {
        lines << (name.category ? tr("Category \"%1\" becomes \"%2\"") : tr("Clip \"%1\" becomes \"%2\""))
                     .arg(name.shown, name.proposal);
    }
    if (names.size() > Shown)
        lines << tr("and %1 more").arg(names.size() - Shown);
    return question(tr("NAMES CLIPKEEPER CANNOT SHOW\r\n\r\nThese names in the clip folder are written in an older "
                       "encoding, so ClipKeeper can neither list nor open them:\r\n\r\n%1\r\n\r\nRename them as "
                       "shown?\r\nYes: they are renamed and listed.\r\nNo: they stay as they are, unlisted.")
                        .arg(lines.join(QStringLiteral("\r\n"))));
}

void SortNames(QStringList &names)
{
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // A sort key per name, made once, compares much faster than the collator on every comparison.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(collator.sortKey(names.at(i)), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto &a, const auto &b) {
        const int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : names.at(a.second) < names.at(b.second);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &key : keys)
        sorted.append(names.at(key.second));
    names = std::move(sorted);
}
