#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"
#include "trashhome.h"

#include "clipkeeper/clipstore.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString NotAllowedCategory = QStringLiteral("\\/:*?\"<>| not allowed in catagory description");
const QString NotAllowedClip = QStringLiteral("\\/:*?\"<>| are not allowed in clip name");

Message exclamation(const QString &text)
{
    return { Message::Icon::Exclamation, QStringLiteral("Quillory2"), text };
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

char *toString(const Message &message)
{
    return QTest::toString(QStringLiteral("[%1] %2: %3").arg(int(message.icon)).arg(message.title, message.text));
}

char *toString(const std::optional<Message> &message)
{
    return message ? toString(*message) : qstrdup("no message");
}

class TestClipStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void listing_data();
    void listing();
    void clipFolderThatIsAFile();
    void addCategoryTakesTheFirstFreeNumber_data();
    void addCategoryTakesTheFirstFreeNumber();
    void addCategoryWhenEveryNumberIsTaken();
    void renameCategory_data();
    void renameCategory();
    void removeAndDeleteGoToTheTrash();
    void withoutTrashAskFirst_data();
    void withoutTrashAskFirst();
    void withoutTrashALinkGoesNotItsTarget();
    void saveAndOpen();
    void saveOverAnotherClip_data();
    void saveOverAnotherClip();
    void foreignNamesAreOfferedForRenaming();
    void saveRefused_data();
    void saveRefused();
    void openUnreadable_data();
    void openUnreadable();
    void draftBecomesAClip_data();
    void draftBecomesAClip();

private:
    QString clipData(const QString &name = QString()) const;
    // Folders end in "/"; a file holds its own name.
    void make(const QStringList &paths) const;
    QByteArray fileBytes(const QString &name) const;
    ClipStore &open(bool confirm = true); // EnsureClipFolder, then LoadCategories

    std::unique_ptr<CoreTestEnvironment> m_env;
    std::unique_ptr<ClipStore> m_store;
    QList<Message> m_questions;
    QList<bool> m_answers;
};

void TestClipStore::init()
{
    m_env = std::make_unique<CoreTestEnvironment>();
    m_questions.clear();
    m_answers.clear();
}

void TestClipStore::cleanup()
{
    m_store.reset();
    m_env.reset();
}

QString TestClipStore::clipData(const QString &name) const
{
    return m_env->dataPath(QStringLiteral("ClipData/") + name);
}

void TestClipStore::make(const QStringList &paths) const
{
    for (const QString &path : paths) {
        if (path.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(clipData(path)));
            continue;
        }
        m_env->writeBytes(QStringLiteral("ClipData/") + path, QFileInfo(path).fileName().toUtf8());
    }
}

QByteArray TestClipStore::fileBytes(const QString &name) const
{
    QFile file(clipData(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

ClipStore &TestClipStore::open(bool confirm)
{
    m_store = std::make_unique<ClipStore>();
    if (confirm) {
        m_store->setConfirm([this](const Message &question) {
            m_questions.append(question);
            return !m_answers.isEmpty() && m_answers.takeFirst();
        });
    }
    [[maybe_unused]] const auto ensured = m_store->EnsureClipFolder();
    [[maybe_unused]] const auto loaded = m_store->LoadCategories();
    return *m_store;
}

void TestClipStore::listing_data()
{
    columns<QStringList, QStringList>("paths", "categories");
    QTest::addColumn<QStringList>("clips"); // of the first category, which is current

    row("first start", QStringList {}, QStringList { "My Clips" }, QStringList {});
    row("an existing category, left as it is", QStringList { "Work/a" }, QStringList { "Work" }, QStringList { "a" });
    row("no category: My Clips", QStringList { "/" }, QStringList { "My Clips" }, QStringList {});
    row("plain and hidden entries are no categories", QStringList { ".git/", "notes.txt", ".directory" },
        QStringList { "My Clips" }, QStringList {});
    row("name order: numbers by value, letter case aside", QStringList { "b/", "NewCat10/", "A/", "NewCat2/", "a/" },
        QStringList { "A", "a", "b", "NewCat2", "NewCat10" }, QStringList {});
    row("clips: files only, not hidden, in name order",
        QStringList { "Work/sub/", "Work/zeta", "Work/Alpha", "Work/.hidden", "Work/clip 10", "Work/clip 9" },
        QStringList { "Work" }, QStringList { "Alpha", "clip 9", "clip 10", "zeta" });
}

void TestClipStore::listing()
{
    QFETCH(QStringList, paths);
    make(paths);
    ClipStore &store = open();
    QTEST(store.categories(), "categories");
    QTEST(store.clips(), "clips");
    QCOMPARE(store.currentCategoryIndex(), 0);
    QCOMPARE(store.currentCategory(), store.categories().first());
}

void TestClipStore::clipFolderThatIsAFile()
{
    m_env->writeBytes(QStringLiteral("ClipData"), "not a folder");
    ClipStore store;
    const std::optional<Message> message = store.EnsureClipFolder();
    QVERIFY(message && message->text.startsWith(QStringLiteral("THE CLIP FOLDER CANNOT BE USED")));
    QCOMPARE(store.LoadCategories(), std::nullopt); // told once
    QCOMPARE(store.currentCategoryIndex(), -1);
    const std::optional<Message> save = store.SaveClip(QStringLiteral("clip"), QStringLiteral("text"));
    QVERIFY(save && save->text.startsWith(QStringLiteral("THERE IS NO CATEGORY")));
    QCOMPARE(m_env->readBytes(QStringLiteral("ClipData")), QByteArray("not a folder"));
}

void TestClipStore::addCategoryTakesTheFirstFreeNumber_data()
{
    QTest::addColumn<QString>("freeing"); // what happens to NewCat1 before the third press
    QTest::addColumn<QString>("third");
    row("removed", "remove", "NewCat1");
    row("a plain file of that name keeps the number", "file", "NewCat3");
}

void TestClipStore::addCategoryTakesTheFirstFreeNumber()
{
    QFETCH(QString, freeing);
    TrashHome trash;
    ClipStore &store = open();
    QCOMPARE(store.AddCategory(), std::nullopt);
    QCOMPARE(store.AddCategory(), std::nullopt);
    QCOMPARE(store.categories(), (QStringList { "My Clips", "NewCat1", "NewCat2" }));
    QCOMPARE(store.currentCategory(), QStringLiteral("My Clips")); // the new one is not made current

    if (freeing == u"remove") {
        store.SelectCategory(1);
        QCOMPARE(store.RemoveCategory(), std::nullopt);
    } else {
        QVERIFY(QDir(clipData(QStringLiteral("NewCat1"))).removeRecursively());
        make({ QStringLiteral("NewCat1") });
    }
    QCOMPARE(store.AddCategory(), std::nullopt);
    QFETCH(QString, third);
    QVERIFY(QFileInfo(clipData(third)).isDir());
    QVERIFY(store.categories().contains(third));
}

void TestClipStore::addCategoryWhenEveryNumberIsTaken()
{
    // 32767 entries: in memory where the system offers it, as making them on disk takes long.
    const QString base
        = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QTemporaryDir folder(base + QStringLiteral("/tst_clipstore-XXXXXX"));
    QVERIFY(QDir().mkdir(folder.filePath(QStringLiteral("Work"))));
    for (int n = 1; n <= ClipStore::MaxNewCatNumber; ++n)
        QVERIFY(QFile(folder.filePath(QStringLiteral("NewCat%1").arg(n))).open(QIODevice::WriteOnly));
    ClipStore store(folder.path());
    QCOMPARE(store.LoadCategories(), std::nullopt);

    const std::optional<Message> message = store.AddCategory();
    QVERIFY(message && message->text.contains(QStringLiteral("NewCat1 to NewCat32767")));
    QCOMPARE(message->icon, Message::Icon::Exclamation);
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("NewCat32768"))));
    QCOMPARE(store.categories(), QStringList { "Work" });
}

void TestClipStore::renameCategory_data()
{
    QTest::addColumn<int>("row"); // of "Alpha", "Beta", "Gamma"
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("text"); // the message begins so; empty: none
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("current"); // a refusal loads the list again

    const QStringList before { "Alpha", "Beta", "Gamma" };
    row("a free name", 1, "Zulu", "", QStringList { "Alpha", "Gamma", "Zulu" }, "Zulu");
    row("its own unchanged name: ends in silence", 1, "Beta", "", before, "Beta");
    row("the first entry", 2, "Alpha", "The catagory \"Alpha\" already exists.", before, "Alpha");
    // The file-name rule itself is the common one's; these rows prove it is asked, and hidden names too.
    row("with a colon", 1, "a:b", NotAllowedCategory, before, "Alpha");
    row("hidden", 1, ".Beta", NotAllowedCategory, before, "Alpha");
    row("too long a name", 1, QString(300, u'x'), "THE CATEGORY COULD NOT BE RENAMED", before, "Alpha");
}

void TestClipStore::renameCategory()
{
    auto [row, newName, text, current] = fetch<int, QString, QString, QString>("row", "newName", "text", "current");
    make(
        { QStringLiteral("Alpha/"), QStringLiteral("Beta/one"), QStringLiteral("Beta/two"), QStringLiteral("Gamma/") });
    ClipStore &store = open();
    store.SelectCategory(row);

    const std::optional<Message> said = store.RenameCategory(row, newName);
    QCOMPARE(said.has_value(), !text.isEmpty());
    if (said)
        QVERIFY2(said->icon == Message::Icon::Exclamation && said->text.startsWith(text), qPrintable(said->text));
    QTEST(store.categories(), "listed");
    QCOMPARE(store.currentCategory(), current);
    QCOMPARE(store.currentCategoryIndex(), int(store.categories().indexOf(current)));
    // The next operation works on the folder under its name now.
    QCOMPARE(store.SaveClip(QStringLiteral("three"), QStringLiteral("3")), std::nullopt);
    const QString renamed = newName == u"Zulu" ? newName : QStringLiteral("Beta");
    QCOMPARE(fileBytes(renamed + QStringLiteral("/one")), QByteArray("one"));
    QCOMPARE(fileBytes(current + QStringLiteral("/three")), QByteArray("3"));
}

void TestClipStore::removeAndDeleteGoToTheTrash()
{
    TrashHome trash;
    make({ QStringLiteral("Alpha/one"), QStringLiteral("Alpha/two"), QStringLiteral("Beta/clip"),
        QStringLiteral("Beta/.hidden"), QStringLiteral("Beta/sub/deep") });
    ClipStore &store = open();
    QCOMPARE(store.DeleteClip(QStringLiteral("one")), std::nullopt);
    QCOMPARE(store.clips(), QStringList { "two" });
    QCOMPARE(QFile(trash.filesPath(QStringLiteral("one"))).size(), qint64(3));

    // A category goes whole: hidden files and subfolders too.
    store.SelectCategory(1);
    QCOMPARE(store.RemoveCategory(), std::nullopt);
    QVERIFY(m_questions.isEmpty());
    QCOMPARE(trash.trashed(), (QStringList { "Beta", "one" }));
    QCOMPARE(entries(trash.filesPath(QStringLiteral("Beta"))), (QStringList { ".hidden", "clip", "sub" }));
    QCOMPARE(store.categories(), QStringList { "Alpha" });
    QCOMPARE(store.currentCategory(), QStringLiteral("Alpha"));

    QCOMPARE(store.RemoveCategory(), std::nullopt); // the last one stays
    QCOMPARE(store.categories(), QStringList { "Alpha" });
    QCOMPARE(trash.trashed(), (QStringList { "Beta", "one" }));
}

void TestClipStore::withoutTrashAskFirst_data()
{
    QTest::addColumn<bool>("category"); // or a clip
    QTest::addColumn<bool>("confirm"); // a callback that asks is set
    QTest::addColumn<bool>("yes");
    row("category, Yes deletes", true, true, true);
    row("category, No keeps", true, true, false);
    row("clip, Yes deletes", false, true, true);
    row("category, nobody to ask keeps", true, false, true);
    row("clip, nobody to ask keeps", false, false, true);
}

void TestClipStore::withoutTrashAskFirst()
{
    auto [category, confirm, yes] = fetch<bool, bool, bool>("category", "confirm", "yes");
    TrashHome noTrash(false);
    make({ QStringLiteral("Alpha/"), QStringLiteral("Beta/one"), QStringLiteral("Beta/sub/deep") });
    ClipStore &store = open(confirm);
    store.SelectCategory(1);
    m_answers = { yes };
    yes = yes && confirm;

    QCOMPARE(category ? store.RemoveCategory() : store.DeleteClip(QStringLiteral("one")), std::nullopt);
    QCOMPARE(m_questions.size(), confirm ? 1 : 0);
    if (confirm)
        QVERIFY(m_questions.first().text.contains(category ? u"\"Beta\"" : u"\"one\""));
    QCOMPARE(QFileInfo::exists(clipData(category ? QStringLiteral("Beta") : QStringLiteral("Beta/one"))), !yes);
    QCOMPARE(store.categories().contains(QStringLiteral("Beta")), !(category && yes));
    QCOMPARE(store.clips().contains(QStringLiteral("one")), !yes);
    QVERIFY(noTrash.inWorkingFolder().isEmpty()); // nothing moved anywhere else instead
}

void TestClipStore::withoutTrashALinkGoesNotItsTarget()
{
    TrashHome noTrash(false);
    make({ QStringLiteral("Alpha/"), QStringLiteral("../elsewhere/precious") });
    QVERIFY(QFile::link(clipData(QStringLiteral("../elsewhere")), clipData(QStringLiteral("Linked"))));
    ClipStore &store = open();
    store.SelectCategory(1);
    QCOMPARE(store.clips(), QStringList { "precious" });
    m_answers = { true };
    QCOMPARE(store.RemoveCategory(), std::nullopt);
    QVERIFY(!QFileInfo(clipData(QStringLiteral("Linked"))).isSymLink());
    QCOMPARE(fileBytes(QStringLiteral("../elsewhere/precious")), QByteArray("precious"));
}

void TestClipStore::saveAndOpen()
{
    ClipStore &store = open();
    QCOMPARE(store.SaveClip(QStringLiteral("letter.txt"), QStringLiteral("abc")), std::nullopt);
    QCOMPARE(fileBytes(QStringLiteral("My Clips/letter.txt")), QByteArray("abc"));
    QCOMPARE(std::get<QString>(store.OpenClip(QStringLiteral("letter.txt"))), QStringLiteral("abc\r\n"));

    // Blanks are kept and nothing is added to the name.
    QCOMPARE(store.SaveClip(QStringLiteral(" Home "), QStringLiteral("1 Main St\r\nTown\r\n")), std::nullopt);
    QCOMPARE(fileBytes(QStringLiteral("My Clips/ Home ")), QByteArray("1 Main St\r\nTown\r\n"));
    QCOMPARE(store.clips(), (QStringList { " Home ", "letter.txt" }));
    QVERIFY(m_questions.isEmpty());
}

void TestClipStore::saveOverAnotherClip_data()
{
    columns<bool, QString, QList<bool>>("withTrash", "text", "answers");
    QTest::addColumn<QByteArray>("kept"); // the clip file afterwards
    QTest::addColumn<QStringList>("trashed");

    row("the old text goes to the trash", true, "new", QList<bool> {}, QByteArray("new"), QStringList { "Home" });
    row("the same text: nothing to keep", true, "old", QList<bool> {}, QByteArray("old"), QStringList {});
    row("no trash, No keeps the old text", false, "new", QList<bool> { false }, QByteArray("old"), QStringList {});
    row("no trash, Yes replaces it", false, "new", QList<bool> { true }, QByteArray("new"), QStringList {});
}

void TestClipStore::saveOverAnotherClip()
{
    auto [withTrash, text] = fetch<bool, QString>("withTrash", "text");
    TrashHome trash(withTrash);
    m_env->writeBytes(QStringLiteral("ClipData/My Clips/Home"), "old");
    ClipStore &store = open();
    QFETCH(QList<bool>, answers);
    m_answers = answers;
    bool saved = false;
    QCOMPARE(store.SaveClip(QStringLiteral("Home"), text, &saved), std::nullopt);
    QTEST(fileBytes(QStringLiteral("My Clips/Home")), "kept");
    QTEST(trash.trashed(), "trashed");
    QCOMPARE(m_questions.size(), withTrash ? 0 : 1);
    if (!trash.trashed().isEmpty())
        QCOMPARE(QFile(trash.filesPath(QStringLiteral("Home"))).size(), qint64(3));
}

// Names made by an 8-bit installation: Qt's listing skips them, so they are offered for renaming.
void TestClipStore::foreignNamesAreOfferedForRenaming()
{
    make({ QStringLiteral("My Clips/r\u00e9sum\u00e9") });
    const QByteArray root = QFile::encodeName(clipData());
    const QByteArray category = root
        + QByteArray("/Gr\xf6\xdf"
                     "e");
    QCOMPARE(::mkdir(category.constData(), 0700), 0);
    const QByteArray files[] = { category + "/caf\xe9", root + "/My Clips/r\xe9sum\xe9" };
    for (const QByteArray &file : files)
        QVERIFY(::close(::open(file.constData(), O_WRONLY | O_CREAT, 0600)) == 0);
    ClipStore &store = open();
    QCOMPARE(store.categories(), QStringList { "My Clips" });

    QStringList proposals;
    const QList<ClipStore::ForeignName> names = store.ForeignNames();
    for (const ClipStore::ForeignName &name : names)
        proposals << name.proposal;
    proposals.sort();
    QCOMPARE(proposals, (QStringList { "Gr\u00f6\u00dfe", "caf\u00e9", "r\u00e9sum\u00e9 (2)" }));
    QVERIFY(ClipStore::foreignNamesQuestion(names).text.contains(QStringLiteral("\"Gr\u00f6\u00dfe\"")));

    QCOMPARE(store.RenameForeign(names), std::nullopt);
    QCOMPARE(store.categories(), (QStringList { "Gr\u00f6\u00dfe", "My Clips" }));
    QCOMPARE(store.currentCategory(), QStringLiteral("My Clips"));
    QCOMPARE(store.clips(), (QStringList { "r\u00e9sum\u00e9", "r\u00e9sum\u00e9 (2)" }));
    QCOMPARE(entries(clipData(QStringLiteral("Gr\u00f6\u00dfe"))), QStringList { "caf\u00e9" });
    QVERIFY(store.ForeignNames().isEmpty());
}

void TestClipStore::saveRefused_data()
{
    QTest::addColumn<QString>("description");
    for (const char *name : { "../escape", ".note" })
        QTest::addRow("\"%s\"", name) << QString::fromLatin1(name);
}

void TestClipStore::saveRefused()
{
    QFETCH(QString, description);
    ClipStore &store = open();
    QCOMPARE(store.SaveClip(description, QStringLiteral("text")), exclamation(NotAllowedClip));
    QCOMPARE(entries(m_env->dataPath()), QStringList { "ClipData" });
    QCOMPARE(entries(clipData()), QStringList { "My Clips" });
    QVERIFY(entries(clipData(QStringLiteral("My Clips"))).isEmpty());
}

void TestClipStore::openUnreadable_data()
{
    QTest::addColumn<QString>("change"); // made after the clip was listed
    QTest::addColumn<QString>("text");
    row("removed outside", "remove", "THE CLIP IS NO LONGER THERE");
    row("a named pipe in its place", "pipe", "THE CLIP IS NO LONGER THERE");
    row("no permission", "permission", "THE CLIP CANNOT BE READ");
    row("larger than a clip may be", "grow", "THE CLIP IS TOO LARGE TO SHOW\r\n\r\n\"clip\" holds 3.00 MiB;");
}

void TestClipStore::openUnreadable()
{
    QFETCH(QString, change);
    make({ QStringLiteral("Work/clip") });
    ClipStore &store = open();
    const QString path = clipData(QStringLiteral("Work/clip"));
    if (change != u"permission")
        QVERIFY(QFile::remove(path));
    if (change == u"pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (change == u"permission")
        QFile::setPermissions(path, QFileDevice::WriteOwner);
    else if (change == u"grow")
        m_env->writeBytes(QStringLiteral("ClipData/Work/clip"), QByteArray(3 * 1024 * 1024, 'x'));
    const bool removed = change == u"remove";
    const std::optional<QByteArray> said = m_env->withoutRoot([&store] {
        const auto opened = store.OpenClip(QStringLiteral("clip"));
        return std::holds_alternative<Message>(opened) ? std::get<Message>(opened).text.toUtf8() : QByteArray();
    });
    QVERIFY2(said, "the test folder cannot be reached without root: put TMPDIR where every user may pass");
    QFETCH(QString, text);
    QVERIFY2(said->startsWith(text.toUtf8()), said->constData());
    QCOMPARE(QFileInfo::exists(path), !removed); // not brought back empty
}

void TestClipStore::draftBecomesAClip_data()
{
    columns<QString, QString, QString, bool>("category", "description", "text", "writes");
    QTest::addColumn<QString>("clip"); // where the text goes; empty: nowhere, the draft stays
    row("its name, in its category", "Work", "Letter", "Dear Sir\r\n\r\nYours\r\n", true, "Work/Letter");
    row("no text", "Work", "Empty", "", true, "Work/Empty");
    row("a line break in the name", "Work", "Two\nwords", "x", true, "Work/Two words");
    row("a name taken", "My Clips", "taken", "new", true, "My Clips/Unsaved clip");
    row("a name no clip can have", "My Clips", "a/b", "x", true, "My Clips/Unsaved clip");
    row("its category gone", "Gone", "Letter", "x", true, "My Clips/Letter");
    row("the clip cannot be written", "Work", "Letter", "x", false, "");
}

void TestClipStore::draftBecomesAClip()
{
    auto [category, description, text, writes]
        = fetch<QString, QString, QString, bool>("category", "description", "text", "writes");
    QFETCH(QString, clip);
    make({ QStringLiteral("My Clips/taken"), QStringLiteral("Work/") });
    ClipStore &store = open();
    QVERIFY(store.saveDraft({ category, description, text }));
    Message failure;
    const std::optional<ClipStore::Draft> draft = store.loadDraft(&failure);
    QVERIFY(draft);
    QCOMPARE(draft->text, text);
    if (!writes)
        store.setWriter([](const QString &, const QString &) { return false; });

    const std::optional<Message> told = store.KeepDraft(*draft);
    QCOMPARE(QFile::exists(store.draftPath()), clip.isEmpty());
    if (clip.isEmpty()) {
        QCOMPARE(told, std::nullopt);
        return;
    }
    QCOMPARE(fileBytes(clip), text.toUtf8());
    QVERIFY2(told && told->text.contains(u'"' + clip.section(u'/', 1) + u'"'), toString(told));
    QCOMPARE(store.loadDraft(&failure), std::nullopt);
    QVERIFY(failure.text.isEmpty());
}

QTEST_GUILESS_MAIN(TestClipStore)
#include "tst_clipstore.moc"
