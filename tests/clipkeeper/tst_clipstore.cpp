#include "../support/coretestenvironment.h"
#include "trashhome.h"

#include "clipkeeper/clipstore.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>

namespace {

const QString Title = QStringLiteral("Quillory2");
const QString NotAllowedCategory = QStringLiteral("\\/:*?\"<>| not allowed in catagory description");
const QString NotAllowedClip = QStringLiteral("\\/:*?\"<>| are not allowed in clip name");

Message exclamation(const QString &text)
{
    return { Message::Icon::Exclamation, Title, text };
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

    void firstStartCreatesMyClips();
    void existingClipDataIsLeftAsItIs();
    void clipFolderThatIsAFileIsReported();
    void listing_data();
    void listing();
    void selectCategoryListsItsClips();

    void addCategoryTakesTheFirstFreeNumber_data();
    void addCategoryTakesTheFirstFreeNumber();
    void addCategoryWhenEveryNumberIsTaken();

    void renameRefused_data();
    void renameRefused();
    void renameKeepsTheClipsAndBecomesCurrent();
    void renameThatFailsKeepsTheName();

    void removeLeavesTheLastCategory();
    void removeMovesTheWholeCategoryToTheTrash();
    void removeWithoutTrashAsksFirst_data();
    void removeWithoutTrashAsksFirst();
    void removeWithoutTrashDeletesALinkNotItsTarget();

    void saveWritesTheTextExactly();
    void saveReplacesAClipOfTheSameDescription();
    void saveRefused_data();
    void saveRefused();
    void saveWithoutCategory();
    void writeFailureIsLeftToTheWriter();

    void openUnreadableClip();
    void openClipWithoutPermission();

    void deleteClipMovesItToTheTrash();
    void deleteWithNoClipSelected();
    void deleteClipWithoutTrashAsksFirst_data();
    void deleteClipWithoutTrashAsksFirst();
    void deleteClipRemovedOutside();

    void withCrLf_data();
    void withCrLf();

private:
    QString clipData(const QString &name = QString()) const;
    void makeFolders(const QStringList &names) const;
    void makeFile(const QString &name, const QByteArray &bytes = QByteArray()) const;
    QByteArray fileBytes(const QString &name) const;
    ClipStore &open(); // EnsureClipFolder, then LoadCategories
    bool answer(const Message &question);

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
    return m_env->dataPath(name.isEmpty() ? QStringLiteral("ClipData") : QStringLiteral("ClipData/") + name);
}

void TestClipStore::makeFolders(const QStringList &names) const
{
    for (const QString &name : names)
        QVERIFY(QDir().mkpath(clipData(name)));
}

void TestClipStore::makeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(clipData(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestClipStore::fileBytes(const QString &name) const
{
    QFile file(clipData(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

ClipStore &TestClipStore::open()
{
    m_store = std::make_unique<ClipStore>();
    m_store->setConfirm([this](const Message &question) { return answer(question); });
    if (const auto message = m_store->EnsureClipFolder())
        qWarning("EnsureClipFolder: %s", qPrintable(message->text));
    if (const auto message = m_store->LoadCategories())
        qWarning("LoadCategories: %s", qPrintable(message->text));
    return *m_store;
}

bool TestClipStore::answer(const Message &question)
{
    m_questions.append(question);
    return !m_answers.isEmpty() && m_answers.takeFirst();
}

void TestClipStore::firstStartCreatesMyClips()
{
    QVERIFY(!QFileInfo::exists(clipData()));
    ClipStore &store = open();
    QVERIFY(QFileInfo(clipData(QStringLiteral("My Clips"))).isDir());
    QCOMPARE(store.clipFolder(), clipData());
    QCOMPARE(store.categories(), QStringList { QStringLiteral("My Clips") });
    QCOMPARE(store.currentCategory(), QStringLiteral("My Clips"));
    QCOMPARE(store.currentCategoryIndex(), 0);
    QVERIFY(store.clips().isEmpty());
}

void TestClipStore::existingClipDataIsLeftAsItIs()
{
    makeFolders({ QStringLiteral("Work") });
    ClipStore &store = open();
    QCOMPARE(QDir(clipData()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "Work" });
    QCOMPARE(store.currentCategory(), QStringLiteral("Work"));
}

void TestClipStore::clipFolderThatIsAFileIsReported()
{
    m_env->writeBytes(QStringLiteral("ClipData"), "not a folder");
    ClipStore store;
    const std::optional<Message> message = store.EnsureClipFolder();
    QVERIFY(message);
    QCOMPARE(message->icon, Message::Icon::Exclamation);
    QVERIFY(message->text.startsWith(QStringLiteral("THE CLIP FOLDER CANNOT BE USED")));
    QCOMPARE(store.LoadCategories(), std::nullopt);
    QVERIFY(store.categories().isEmpty());
    QCOMPARE(store.currentCategoryIndex(), -1);
    QCOMPARE(m_env->readBytes(QStringLiteral("ClipData")), QByteArray("not a folder"));
}

void TestClipStore::listing_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QStringList>("clips"); // of the first category

    QTest::newRow("empty ClipData gets My Clips")
        << QStringList { QString() } << QStringList {} << QStringList { "My Clips" } << QStringList {};
    QTest::newRow("plain and hidden entries are no categories")
        << QStringList { ".git" } << QStringList { "notes.txt", ".directory" } << QStringList { "My Clips" }
        << QStringList {};
    QTest::newRow("name order, numbers by value, case aside")
        << QStringList { "b", "NewCat10", "A", "NewCat2", "a" } << QStringList {}
        << QStringList { "A", "a", "b", "NewCat2", "NewCat10" } << QStringList {};
    QTest::newRow("clips: files only, not hidden, in name order")
        << QStringList { "Work", "Work/sub" }
        << QStringList { "Work/zeta", "Work/Alpha", "Work/.hidden", "Work/clip 10", "Work/clip 9" }
        << QStringList { "Work" } << QStringList { "Alpha", "clip 9", "clip 10", "zeta" };
}

void TestClipStore::listing()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    makeFolders(folders);
    for (const QString &file : files)
        makeFile(file);
    ClipStore &store = open();
    QTEST(store.categories(), "categories");
    QTEST(store.clips(), "clips");
    QCOMPARE(store.currentCategoryIndex(), 0);
}

void TestClipStore::selectCategoryListsItsClips()
{
    makeFolders({ QStringLiteral("A"), QStringLiteral("B") });
    makeFile(QStringLiteral("B/b1"));
    ClipStore &store = open();
    store.SelectCategory(1);
    QCOMPARE(store.currentCategory(), QStringLiteral("B"));
    QCOMPARE(store.currentCategoryIndex(), 1);
    QCOMPARE(store.clips(), QStringList { "b1" });
    QCOMPARE(store.clipPath(QStringLiteral("b1")), clipData(QStringLiteral("B/b1")));
    store.SelectCategory(5); // no such entry: nothing changes
    QCOMPARE(store.currentCategory(), QStringLiteral("B"));
}

void TestClipStore::addCategoryTakesTheFirstFreeNumber_data()
{
    QTest::addColumn<QString>("freeing"); // what happens to NewCat1 before the third press
    QTest::newRow("renamed") << QStringLiteral("rename");
    QTest::newRow("removed") << QStringLiteral("remove");
    QTest::newRow("a plain file of that name holds the number") << QStringLiteral("file");
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

    const int newCat1 = int(store.categories().indexOf(QStringLiteral("NewCat1")));
    if (freeing == u"rename") {
        QCOMPARE(store.RenameCategory(newCat1, QStringLiteral("Letters")), std::nullopt);
    } else if (freeing == u"remove") {
        store.SelectCategory(newCat1);
        QCOMPARE(store.RemoveCategory(), std::nullopt);
    } else {
        QVERIFY(QDir(clipData(QStringLiteral("NewCat1"))).removeRecursively());
        makeFile(QStringLiteral("NewCat1"));
    }
    QCOMPARE(store.AddCategory(), std::nullopt);
    const QString expected = freeing == u"file" ? QStringLiteral("NewCat3") : QStringLiteral("NewCat1");
    QVERIFY(QFileInfo(clipData(expected)).isDir());
    QVERIFY(store.categories().contains(expected));
}

void TestClipStore::addCategoryWhenEveryNumberIsTaken()
{
    // 32767 entries: in memory where the system offers it, as making them on disk takes long.
    const QString base
        = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QTemporaryDir folder(base + QStringLiteral("/tst_clipstore-XXXXXX"));
    QVERIFY(folder.isValid());
    ClipStore store(folder.path());
    QCOMPARE(store.EnsureClipFolder(), std::nullopt);
    for (int n = 1; n <= ClipStore::MaxNewCatNumber; ++n) {
        QFile taken(folder.filePath(QStringLiteral("NewCat%1").arg(n)));
        QVERIFY(taken.open(QIODevice::WriteOnly));
    }
    QDir().mkdir(folder.filePath(QStringLiteral("Work")));
    QCOMPARE(store.LoadCategories(), std::nullopt);

    const std::optional<Message> message = store.AddCategory();
    QVERIFY(message);
    QCOMPARE(message->icon, Message::Icon::Exclamation);
    QCOMPARE(message->title, Title);
    QVERIFY(message->text.contains(QStringLiteral("NewCat1 to NewCat32767")));
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("NewCat32768"))));
    QCOMPARE(store.categories(), QStringList { "Work" });
}

void TestClipStore::renameRefused_data()
{
    QTest::addColumn<int>("row"); // of "Alpha", "Beta", "Gamma"
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("text");

    QTest::newRow("the first entry") << 2 << "Alpha"
                                     << "The catagory \"Alpha\" already exists.";
    QTest::newRow("the last entry") << 0 << "Gamma"
                                    << "The catagory \"Gamma\" already exists.";
    QTest::newRow("its own unchanged name") << 1 << "Beta"
                                            << "The catagory \"Beta\" already exists.";
    for (QChar c : QStringLiteral("\\/:*?\"<>|"))
        QTest::addRow("with %c", c.toLatin1()) << 1 << QStringLiteral("a%1b").arg(c) << NotAllowedCategory;
    QTest::newRow("empty") << 1 << "" << NotAllowedCategory;
    QTest::newRow(".") << 1 << "." << NotAllowedCategory;
    QTest::newRow("..") << 1 << ".." << NotAllowedCategory;
    QTest::newRow("a tab") << 1 << "a\tb" << NotAllowedCategory;
    QTest::newRow("a line break") << 1 << "a\nb" << NotAllowedCategory;
    QTest::newRow("hidden") << 1 << ".Beta" << NotAllowedCategory;
}

void TestClipStore::renameRefused()
{
    QFETCH(int, row);
    QFETCH(QString, newName);
    QFETCH(QString, text);
    makeFolders({ QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma") });
    makeFile(QStringLiteral("Beta/clip"), "kept");
    ClipStore &store = open();
    store.SelectCategory(row);

    QCOMPARE(store.RenameCategory(row, newName), exclamation(text));
    QCOMPARE(QDir(clipData()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        (QStringList { "Alpha", "Beta", "Gamma" }));
    QCOMPARE(fileBytes(QStringLiteral("Beta/clip")), QByteArray("kept"));
    QCOMPARE(store.currentCategoryIndex(), 0); // the list was loaded again
}

void TestClipStore::renameKeepsTheClipsAndBecomesCurrent()
{
    makeFolders({ QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma") });
    makeFile(QStringLiteral("Beta/one"), "1");
    makeFile(QStringLiteral("Beta/two"), "2");
    ClipStore &store = open();
    store.SelectCategory(1);

    QCOMPARE(store.RenameCategory(1, QStringLiteral("Zulu")), std::nullopt);
    QCOMPARE(store.categories(), (QStringList { "Alpha", "Gamma", "Zulu" }));
    QCOMPARE(store.currentCategory(), QStringLiteral("Zulu"));
    QCOMPARE(store.currentCategoryIndex(), 2);
    QCOMPARE(store.clips(), (QStringList { "one", "two" }));
    QVERIFY(!QFileInfo::exists(clipData(QStringLiteral("Beta"))));
    // The next operation works on the folder under its new name.
    QCOMPARE(store.SaveClip(QStringLiteral("three"), QStringLiteral("3")), std::nullopt);
    QCOMPARE(fileBytes(QStringLiteral("Zulu/three")), QByteArray("3"));
    QCOMPARE(store.clips(), (QStringList { "one", "three", "two" }));
}

void TestClipStore::renameThatFailsKeepsTheName()
{
    makeFolders({ QStringLiteral("Alpha") });
    ClipStore &store = open();
    const std::optional<Message> message = store.RenameCategory(0, QString(300, u'x')); // beyond a name's length
    QVERIFY(message);
    QCOMPARE(message->icon, Message::Icon::Exclamation);
    QVERIFY(message->text.startsWith(QStringLiteral("THE CATEGORY COULD NOT BE RENAMED")));
    QCOMPARE(store.categories(), QStringList { "Alpha" });
    QVERIFY(QFileInfo(clipData(QStringLiteral("Alpha"))).isDir());
}

void TestClipStore::removeLeavesTheLastCategory()
{
    TrashHome trash;
    makeFolders({ QStringLiteral("Only") });
    makeFile(QStringLiteral("Only/clip"), "x");
    ClipStore &store = open();
    QCOMPARE(store.RemoveCategory(), std::nullopt);
    QCOMPARE(store.categories(), QStringList { "Only" });
    QCOMPARE(fileBytes(QStringLiteral("Only/clip")), QByteArray("x"));
    QVERIFY(trash.trashed().isEmpty());
    QVERIFY(m_questions.isEmpty());
}

void TestClipStore::removeMovesTheWholeCategoryToTheTrash()
{
    TrashHome trash;
    makeFolders({ QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Beta/sub") });
    makeFile(QStringLiteral("Beta/one"), "1");
    makeFile(QStringLiteral("Beta/.hidden"), "h");
    makeFile(QStringLiteral("Beta/sub/deep"), "d");
    ClipStore &store = open();
    store.SelectCategory(1);

    QCOMPARE(store.RemoveCategory(), std::nullopt);
    QVERIFY(m_questions.isEmpty());
    QVERIFY(!QFileInfo::exists(clipData(QStringLiteral("Beta"))));
    QCOMPARE(trash.trashed(), QStringList { "Beta" });
    QCOMPARE(QDir(trash.filesPath(QStringLiteral("Beta")))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        (QStringList { ".hidden", "one", "sub" }));
    QVERIFY(QFileInfo::exists(trash.filesPath(QStringLiteral("Beta/sub/deep"))));
    QCOMPARE(
        trash.originalPath(QStringLiteral("Beta")), QFileInfo(clipData(QStringLiteral("Beta"))).absoluteFilePath());
    QCOMPARE(store.categories(), QStringList { "Alpha" });
    QCOMPARE(store.currentCategory(), QStringLiteral("Alpha"));
}

void TestClipStore::removeWithoutTrashAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes deletes") << true;
    QTest::newRow("No keeps") << false;
}

void TestClipStore::removeWithoutTrashAsksFirst()
{
    QFETCH(bool, yes);
    TrashHome noTrash(false);
    makeFolders({ QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Beta/sub") });
    makeFile(QStringLiteral("Beta/one"), "1");
    makeFile(QStringLiteral("Beta/sub/deep"), "d");
    ClipStore &store = open();
    store.SelectCategory(1);
    m_answers = { yes };

    QCOMPARE(store.RemoveCategory(), std::nullopt);
    QCOMPARE(m_questions,
        (QList<Message> { { Message::Icon::Question, Title,
            QStringLiteral("The category \"Beta\" cannot be moved to the trash, so it could not be taken back.\r\n\r\n"
                           "Delete it and every clip in it for good?") } }));
    QCOMPARE(QFileInfo::exists(clipData(QStringLiteral("Beta/sub/deep"))), !yes);
    QCOMPARE(store.categories(), yes ? QStringList { "Alpha" } : (QStringList { "Alpha", "Beta" }));
    QVERIFY(noTrash.inWorkingFolder().isEmpty());
    QCOMPARE(store.currentCategory(), yes ? QStringLiteral("Alpha") : QStringLiteral("Beta"));
}

void TestClipStore::removeWithoutTrashDeletesALinkNotItsTarget()
{
    TrashHome noTrash(false);
    makeFolders({ QStringLiteral("Alpha") });
    const QString elsewhere = m_env->dataPath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));
    QFile target(elsewhere + QStringLiteral("/precious"));
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.close();
    QVERIFY(QFile::link(elsewhere, clipData(QStringLiteral("Linked"))));
    ClipStore &store = open();
    store.SelectCategory(int(store.categories().indexOf(QStringLiteral("Linked"))));
    QCOMPARE(store.clips(), QStringList { "precious" });
    m_answers = { true };

    QCOMPARE(store.RemoveCategory(), std::nullopt);
    QVERIFY(!QFileInfo(clipData(QStringLiteral("Linked"))).isSymLink());
    QVERIFY(QFileInfo::exists(elsewhere + QStringLiteral("/precious")));
}

void TestClipStore::saveWritesTheTextExactly()
{
    ClipStore &store = open();
    QCOMPARE(store.SaveClip(QStringLiteral("letter.txt"), QStringLiteral("abc")), std::nullopt);
    QCOMPARE(fileBytes(QStringLiteral("My Clips/letter.txt")), QByteArray("abc"));
    QCOMPARE(store.clips(), QStringList { "letter.txt" });
    const auto opened = store.OpenClip(QStringLiteral("letter.txt"));
    QCOMPARE(std::get<QString>(opened), QStringLiteral("abc\r\n"));

    // Blanks are kept and nothing is added to the name.
    QCOMPARE(store.SaveClip(QStringLiteral(" Home address "), QStringLiteral("1 Main St\r\nTown\r\n")), std::nullopt);
    QCOMPARE(fileBytes(QStringLiteral("My Clips/ Home address ")), QByteArray("1 Main St\r\nTown\r\n"));
    QCOMPARE(
        std::get<QString>(store.OpenClip(QStringLiteral(" Home address "))), QStringLiteral("1 Main St\r\nTown\r\n"));
}

void TestClipStore::saveReplacesAClipOfTheSameDescription()
{
    ClipStore &store = open();
    QCOMPARE(store.SaveClip(QStringLiteral("greeting"), QStringLiteral("first version, longer")), std::nullopt);
    QCOMPARE(store.SaveClip(QStringLiteral("greeting"), QStringLiteral("second")), std::nullopt);
    QCOMPARE(fileBytes(QStringLiteral("My Clips/greeting")), QByteArray("second"));
    QCOMPARE(store.clips(), QStringList { "greeting" });
    QVERIFY(m_questions.isEmpty());
}

void TestClipStore::saveRefused_data()
{
    QTest::addColumn<QString>("description");
    QTest::newRow("empty") << "";
    QTest::newRow("?") << "why?";
    QTest::newRow(":") << "a:b";
    QTest::newRow("/") << "../escape";
    QTest::newRow(".") << ".";
    QTest::newRow("..") << "..";
    QTest::newRow("control character") << "a\x01";
    QTest::newRow("hidden") << ".note";
}

void TestClipStore::saveRefused()
{
    QFETCH(QString, description);
    ClipStore &store = open();
    QCOMPARE(store.SaveClip(description, QStringLiteral("text")), exclamation(NotAllowedClip));
    QCOMPARE(
        QDir(clipData()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList { "My Clips" });
    QVERIFY(QDir(clipData(QStringLiteral("My Clips"))).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QVERIFY(!QFileInfo::exists(m_env->dataPath(QStringLiteral("escape"))));
}

void TestClipStore::saveWithoutCategory()
{
    m_env->writeBytes(QStringLiteral("ClipData"), "");
    ClipStore &store = open();
    const std::optional<Message> message = store.SaveClip(QStringLiteral("clip"), QStringLiteral("text"));
    QVERIFY(message);
    QVERIFY(message->text.startsWith(QStringLiteral("THERE IS NO CATEGORY")));
}

void TestClipStore::writeFailureIsLeftToTheWriter()
{
    ClipStore &store = open();
    QStringList written;
    store.setWriter([&written](const QString &path, const QString &text) {
        written << path << text;
        return false;
    });
    QCOMPARE(store.SaveClip(QStringLiteral("clip"), QStringLiteral("text")), std::nullopt);
    QCOMPARE(written, (QStringList { clipData(QStringLiteral("My Clips/clip")), "text" }));
    QVERIFY(store.clips().isEmpty());
}

void TestClipStore::openUnreadableClip()
{
    makeFolders({ QStringLiteral("Work") });
    makeFile(QStringLiteral("Work/gone"), "text");
    ClipStore &store = open();
    QVERIFY(QFile::remove(clipData(QStringLiteral("Work/gone")))); // outside the program
    const auto opened = store.OpenClip(QStringLiteral("gone"));
    QVERIFY(std::holds_alternative<Message>(opened));
    QCOMPARE(std::get<Message>(opened).icon, Message::Icon::Exclamation);
    QVERIFY(std::get<Message>(opened).text.startsWith(QStringLiteral("THE CLIP IS NO LONGER THERE")));
    QVERIFY(!QFileInfo::exists(clipData(QStringLiteral("Work/gone")))); // not brought back empty
}

void TestClipStore::openClipWithoutPermission()
{
    makeFolders({ QStringLiteral("Work") });
    makeFile(QStringLiteral("Work/secret"), "text");
    QFile::setPermissions(clipData(QStringLiteral("Work/secret")), QFileDevice::WriteOwner);
    QFile probe(clipData(QStringLiteral("Work/secret")));
    if (probe.open(QIODevice::ReadOnly))
        QSKIP("this user reads files without read permission (root)");
    ClipStore &store = open();
    const auto opened = store.OpenClip(QStringLiteral("secret"));
    QVERIFY(std::holds_alternative<Message>(opened));
    QVERIFY(std::get<Message>(opened).text.startsWith(QStringLiteral("THE CLIP CANNOT BE READ")));
}

void TestClipStore::deleteClipMovesItToTheTrash()
{
    TrashHome trash;
    ClipStore &store = open();
    makeFile(QStringLiteral("My Clips/one"), "1");
    makeFile(QStringLiteral("My Clips/two"), "2");
    store.RefreshClips();
    QCOMPARE(store.DeleteClip(QStringLiteral("one")), std::nullopt);
    QVERIFY(m_questions.isEmpty());
    QCOMPARE(store.clips(), QStringList { "two" });
    QCOMPARE(trash.trashed(), QStringList { "one" });
    QFile trashed(trash.filesPath(QStringLiteral("one")));
    QVERIFY(trashed.open(QIODevice::ReadOnly));
    QCOMPARE(trashed.readAll(), QByteArray("1"));
}

void TestClipStore::deleteWithNoClipSelected()
{
    ClipStore &store = open();
    QCOMPARE(store.DeleteClip(QString()), exclamation(QStringLiteral("Please select a clip to remove")));
}

void TestClipStore::deleteClipWithoutTrashAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes deletes") << true;
    QTest::newRow("No keeps") << false;
}

void TestClipStore::deleteClipWithoutTrashAsksFirst()
{
    QFETCH(bool, yes);
    TrashHome noTrash(false);
    ClipStore &store = open();
    makeFile(QStringLiteral("My Clips/one"), "1");
    store.RefreshClips();
    m_answers = { yes };
    QCOMPARE(store.DeleteClip(QStringLiteral("one")), std::nullopt);
    QCOMPARE(m_questions,
        (QList<Message> { { Message::Icon::Question, Title,
            QStringLiteral("The clip \"one\" cannot be moved to the trash, so it could not be taken back.\r\n\r\n"
                           "Delete it for good?") } }));
    QCOMPARE(QFileInfo::exists(clipData(QStringLiteral("My Clips/one"))), !yes);
    QCOMPARE(store.clips(), yes ? QStringList {} : QStringList { "one" });
    QVERIFY(noTrash.inWorkingFolder().isEmpty());
}

void TestClipStore::deleteClipRemovedOutside()
{
    TrashHome trash;
    ClipStore &store = open();
    makeFile(QStringLiteral("My Clips/one"), "1");
    store.RefreshClips();
    QVERIFY(QFile::remove(clipData(QStringLiteral("My Clips/one"))));
    QCOMPARE(store.DeleteClip(QStringLiteral("one")), std::nullopt);
    QVERIFY(m_questions.isEmpty());
    QVERIFY(store.clips().isEmpty());
    QVERIFY(trash.trashed().isEmpty());
}

void TestClipStore::withCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one line") << "abc"
                              << "abc";
    QTest::newRow("LF") << "a\nb\n"
                        << "a\r\nb\r\n";
    QTest::newRow("CR LF stays") << "a\r\nb"
                                 << "a\r\nb";
    QTest::newRow("lone CR") << "a\rb"
                             << "a\r\nb";
    QTest::newRow("empty lines") << "\n\n"
                                 << "\r\n\r\n";
    QTest::newRow("Unicode separators") << QStringLiteral("a\u2028b\u2029c") << "a\r\nb\r\nc";
}

void TestClipStore::withCrLf()
{
    QFETCH(QString, text);
    QTEST(WithCrLf(text), "expected");
}

QTEST_GUILESS_MAIN(TestClipStore)
#include "tst_clipstore.moc"
