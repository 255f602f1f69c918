#include "../support/tablerow.h"
#include "../support/testenvironment.h"
#include "../support/widgetlookup.h"
#include "trashhome.h"

#include "app/frmqy2.h"
#include "app/windows.h"
#include "clipkeeper/clipstore.h"
#include "clipkeeper/frmclipkeeper.h"
#include "common/settings.h"
#include "common/textfile.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

Q_DECLARE_METATYPE(Dialogs::Choice)

namespace {

const QString Placeholder = QStringLiteral("New Clip Description");
const QString PlaceholderText = QStringLiteral("ClipKeeper - New Clip Text");

} // namespace

class TestFrmClipKeeper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void clipChosenByClickOrKeyShowsAndCopies();
    void filterNarrowsEveryCategoryAndClipsFillThemselvesIn();
    void openingFocusesTheClipsAndSpaceRemovesNothing();
    void saveClipStoresTheBoxes();
    void typedTextIsAskedAbout_data();
    void typedTextIsAskedAbout();
    void typedTextOutlivesACrash();
    void foreignNamesAreOfferedAtOpening();
    void renameInPlace_data();
    void renameInPlace();
    void addAndRemoveFolder();
    void launcherOpensItAndTheEndOfTheProgramClosesIt();
    void clipsChangedElsewhereShow();

private:
    frmClipKeeper *open();
    template <typename T> T *child(const char *name) const { return ::child<T>(m_window.get(), name); }
    QListWidget *categories() const { return child<QListWidget>("lvwClipCats"); }
    QListWidget *clips() const { return child<QListWidget>("filClips"); }
    QLineEdit *description() const { return child<QLineEdit>("txtClipDescription"); }
    QTextEdit *clipText() const { return child<QTextEdit>("rtfClipDisplay"); }
    QStringList texts(const QListWidget *list) const;
    void clickItem(QListWidget *list, const QString &text);
    void press(const char *key) const { clickButtonOf(child<QAction>(key)); }
    void makeClip(const QString &path, const QByteArray &bytes) const
    {
        m_env->writeBytes(QStringLiteral("ClipData/") + path, bytes);
    }
    QByteArray clipBytes(const QString &path) const;
    QLineEdit *editCategory();

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmClipKeeper> m_window;
};

void TestFrmClipKeeper::init()
{
    m_env = std::make_unique<TestEnvironment>();
    Settings::saveCheckState(Key::ShowSplash, false);
    Settings::saveCheckState(Key::ShowToolBar, false);
}

void TestFrmClipKeeper::cleanup()
{
    m_window.reset();
    m_env.reset();
}

frmClipKeeper *TestFrmClipKeeper::open()
{
    m_window.reset();
    m_window = std::make_unique<frmClipKeeper>();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qFatal("window not exposed");
    return m_window.get();
}

QStringList TestFrmClipKeeper::texts(const QListWidget *list) const
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result.append(list->item(row)->text());
    return result;
}

void TestFrmClipKeeper::clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

QByteArray TestFrmClipKeeper::clipBytes(const QString &path) const
{
    return m_env->readBytes(QStringLiteral("ClipData/") + path);
}

void TestFrmClipKeeper::clipChosenByClickOrKeyShowsAndCopies()
{
    makeClip(QStringLiteral("My Clips/Home address"), "abc");
    makeClip(QStringLiteral("My Clips/sig"), "Regards\r\nAnn\r\n");
    makeClip(QStringLiteral("My Clips/units"),
        "1\xc2\xa0"
        "000\xe2\x80\xa8m\r\n"); // no-break space, U+2028
    open();
    QCOMPARE(description()->text(), Placeholder);
    QCOMPARE(clipText()->toPlainText(), PlaceholderText);
    clickItem(clips(), QStringLiteral("Home address"));
    QCOMPARE(clipText()->toPlainText(), QStringLiteral("abc\n")); // with the line break the reader adds
    QCOMPARE(description()->text(), QStringLiteral("Home address"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abc\n"));
    QCOMPARE(clipBytes(QStringLiteral("My Clips/Home address")), QByteArray("abc")); // opening writes nothing

    QGuiApplication::clipboard()->setText(QStringLiteral("copied elsewhere meanwhile"));
    clickItem(clips(), QStringLiteral("Home address")); // clicked again: copied again
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abc\n"));

    QTest::keyClick(clips(), Qt::Key_Down);
    QCOMPARE(description()->text(), QStringLiteral("sig"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Regards\nAnn\n"));
    QGuiApplication::clipboard()->setText(QStringLiteral("other"));
    QTest::keyClick(clips(), Qt::Key_Return);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Regards\nAnn\n"));

    // Every character comes back as it is, on the clipboard and in the file saved again.
    clickItem(clips(), QStringLiteral("units"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1\u00a0000\u2028m\n"));
    press("btnSaveClip");
    QCOMPARE(clipBytes(QStringLiteral("My Clips/units")),
        QByteArray("1\xc2\xa0"
                   "000\xe2\x80\xa8m\r\n"));
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

void TestFrmClipKeeper::filterNarrowsEveryCategoryAndClipsFillThemselvesIn()
{
    m_env->setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    makeClip(QStringLiteral("My Clips/Home address"), "abc");
    makeClip(QStringLiteral("My Clips/Greeting"), "Today is {date}: {clipboard}");
    makeClip(QStringLiteral("Work/Invoice"), "x");
    makeClip(QStringLiteral("Work/Home office"), "y");
    makeClip(QStringLiteral("Zoo/Lion"), "z");
    open();
    auto *filter = child<QLineEdit>("txtClipFilter");
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(filter->hasFocus());
    QTest::keyClicks(filter, QStringLiteral("HOME"));
    QCOMPARE(texts(clips()), QStringList { "Home address" });
    QCOMPARE(categories()->isRowHidden(2), true); // "Zoo" holds no clip of the words
    QVERIFY(!categories()->isRowHidden(1));
    clickItem(categories(), QStringLiteral("Work"));
    QCOMPARE(texts(clips()), QStringList { "Home office" });
    filter->clear();
    QCOMPARE(texts(clips()), (QStringList { "Home office", "Invoice" }));
    QVERIFY(!categories()->isRowHidden(2));

    clickItem(categories(), QStringLiteral("My Clips"));
    auto *rich = new QMimeData;
    rich->setHtml(QStringLiteral("<b>bold</b> words"));
    QGuiApplication::clipboard()->setMimeData(rich);
    clickItem(clips(), QStringLiteral("Greeting"));
    QCOMPARE(QGuiApplication::clipboard()->text(),
        QStringLiteral("Today is %1: bold words\n").arg(QLocale().toString(QDate(2026, 12, 8), QLocale::ShortFormat)));
    QCOMPARE(clipText()->toPlainText(), QStringLiteral("Today is {date}: {clipboard}\n")); // the clip stays as stored
}

void TestFrmClipKeeper::openingFocusesTheClipsAndSpaceRemovesNothing()
{
    TrashHome trash;
    makeClip(QStringLiteral("Alpha/a"), "a");
    makeClip(QStringLiteral("Beta/b"), "b");
    open();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(QApplication::focusWidget(), clips());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(texts(categories()), (QStringList { "Alpha", "Beta" }));
    QVERIFY(trash.trashed().isEmpty());
}

void TestFrmClipKeeper::saveClipStoresTheBoxes()
{
    TrashHome trash;
    open();
    description()->setText(QStringLiteral("why?"));
    press("btnSaveClip");
    QCOMPARE(m_env->dialogs.shown.size(), 1); // the refusal

    description()->setText(QStringLiteral("Two lines"));
    clipText()->setPlainText(QStringLiteral("one\ntwo"));
    press("btnSaveClip");
    QCOMPARE(clipBytes(QStringLiteral("My Clips/Two lines")), QByteArray("one\r\ntwo"));
    QCOMPARE(texts(clips()), QStringList { "Two lines" });
    clipText()->setPlainText(QStringLiteral("abc"));
    QTest::keyClick(clipText(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(clipBytes(QStringLiteral("My Clips/Two lines")), QByteArray("abc"));
    QCOMPARE(trash.trashed(), QStringList { "Two lines" });
    QCOMPARE(m_env->dialogs.shown.size(), 1);
}

void TestFrmClipKeeper::typedTextIsAskedAbout_data()
{
    QTest::addColumn<QString>("action"); // "click", "close", or "logout" (nobody to ask)
    QTest::addColumn<Dialogs::Choice>("choice");
    QTest::addColumn<QByteArray>("one"); // the clip file "one" afterwards
    QTest::addColumn<QString>("shown"); // the clip text box afterwards ("" once closed)

    row("click, Save", "click", Dialogs::Choice::Save, QByteArray("typed"), "two\n");
    row("click, Discard", "click", Dialogs::Choice::Discard, QByteArray("1"), "two\n");
    row("click, Cancel", "click", Dialogs::Choice::Cancel, QByteArray("1"), "typed");
    row("close, Save", "close", Dialogs::Choice::Save, QByteArray("typed"), "");
    row("close, Cancel", "close", Dialogs::Choice::Cancel, QByteArray("1"), "typed");
    row("logout", "logout", Dialogs::Choice::Cancel, QByteArray("1"), "");
}

void TestFrmClipKeeper::typedTextIsAskedAbout()
{
    auto [action, choice, shown] = fetch<QString, Dialogs::Choice, QString>("action", "choice", "shown");
    TrashHome trash;
    makeClip(QStringLiteral("My Clips/one"), "1");
    makeClip(QStringLiteral("My Clips/two"), "two");
    open();
    clickItem(clips(), QStringLiteral("one"));
    clipText()->selectAll();
    QTest::keyClicks(clipText(), QStringLiteral("typed"));
    m_env->dialogs.choices = { choice };

    if (action == u"click") {
        clickItem(clips(), QStringLiteral("two"));
        QTRY_COMPARE(m_env->dialogs.shown.size(), 1);
        QTRY_COMPARE(clipText()->toPlainText(), shown);
        QCOMPARE(description()->text(), shown == u"typed" ? QStringLiteral("one") : QStringLiteral("two"));
        QCOMPARE(clips()->selectedItems().constFirst()->text(), description()->text());
    } else {
        Dialogs::setCanAsk(action != u"logout");
        QCOMPARE(m_window->close(), shown.isEmpty());
        Dialogs::setCanAsk(true);
    }
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(
        m_env->dialogs.shown.first().icon, action == u"logout" ? Message::Icon::Information : Message::Icon::Question);
    QTEST(clipBytes(QStringLiteral("My Clips/one")), "one");
    if (choice == Dialogs::Choice::Save)
        QCOMPARE(trash.trashed(), QStringList { "one" });
    if (action == u"logout")
        QCOMPARE(clipBytes(QStringLiteral("My Clips/Unsaved clip")), QByteArray("typed"));
}

// Kept aside as it is typed, and gone once it is saved: a crash loses only the last moment.
void TestFrmClipKeeper::typedTextOutlivesACrash()
{
    TrashHome trash;
    makeClip(QStringLiteral("My Clips/one"), "1");
    open();
    const QString draft = m_window->store().draftPath();
    child<QTimer>("tmrDraft")->setInterval(0);
    clickItem(clips(), QStringLiteral("one"));
    clipText()->selectAll();
    QTest::keyClicks(clipText(), QStringLiteral("saved"));
    QTRY_VERIFY(QFile::exists(draft));
    m_window->SaveClip();
    QTRY_VERIFY(!QFile::exists(draft));

    m_window.reset();
    open(); // the boxes show the placeholders, which name no clip
    child<QTimer>("tmrDraft")->setInterval(0);
    clipText()->selectAll();
    QTest::keyClicks(clipText(), QStringLiteral("typed"));
    QTRY_VERIFY(QFile::exists(draft));
    m_window.reset(); // the program ends without a word: no close, no question
    open();
    QTRY_COMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown.first().icon, Message::Icon::Information);
    QCOMPARE(clipBytes(QStringLiteral("My Clips/one")), QByteArray("saved"));
    QCOMPARE(clipBytes(QStringLiteral("My Clips/Unsaved clip")), QByteArray("typed"));
    QCOMPARE(texts(clips()), (QStringList { "one", "Unsaved clip" }));
    QVERIFY(!QFile::exists(draft));

    // At a logout whose clip cannot be written, the draft keeps the text for the next opening (this
    // window's timer has its own two seconds: only the close can have written it).
    clickItem(clips(), QStringLiteral("one"));
    clipText()->selectAll();
    QTest::keyClicks(clipText(), QStringLiteral("last words"));
    failNextWriteAt(WriteStep::Rename);
    Dialogs::setCanAsk(false);
    QVERIFY(m_window->close());
    Dialogs::setCanAsk(true);
    QVERIFY(m_env->readBytes(QFileInfo(draft).fileName()).contains("last words"));
}

void TestFrmClipKeeper::foreignNamesAreOfferedAtOpening()
{
    const QByteArray root = QFile::encodeName(m_env->dataPath(QStringLiteral("ClipData/My Clips")));
    QVERIFY(QDir().mkpath(QFile::decodeName(root)));
    const QByteArray file = root + "/caf\xe9";
    QVERIFY(::close(::open(file.constData(), O_WRONLY | O_CREAT, 0600)) == 0);
    m_env->dialogs.answers = { true };
    open();
    QTRY_COMPARE(texts(clips()), QStringList { "caf\u00e9" });
    QCOMPARE(m_env->dialogs.askDefaults, QList { Dialogs::Default::Yes }); // renaming loses nothing
}

QLineEdit *TestFrmClipKeeper::editCategory()
{
    if (!QTest::qWaitFor([this] { return categories()->findChild<QLineEdit *>() != nullptr; }))
        return nullptr;
    return categories()->findChild<QLineEdit *>();
}

void TestFrmClipKeeper::renameInPlace_data()
{
    QTest::addColumn<bool>("byClick"); // on the chosen category, or F2
    columns<QString, QStringList>("newName", "listed");
    row("a click on the chosen category", true, "Zulu", QStringList { "Alpha", "Gamma", "Zulu" });
    row("F2", false, "Zulu", QStringList { "Alpha", "Gamma", "Zulu" });
    row("refused", false, "Alpha", QStringList { "Alpha", "Beta", "Gamma" });
    row("unchanged", true, "Beta", QStringList { "Alpha", "Beta", "Gamma" });
}

void TestFrmClipKeeper::renameInPlace()
{
    auto [byClick, newName, listed] = fetch<bool, QString, QStringList>("byClick", "newName", "listed");
    makeClip(QStringLiteral("Alpha/a1"), "a");
    makeClip(QStringLiteral("Beta/b1"), "b");
    makeClip(QStringLiteral("Gamma/g1"), "g");
    open();
    if (byClick) {
        clickItem(categories(), QStringLiteral("Beta"));
        clickItem(categories(), QStringLiteral("Beta"));
    } else {
        categories()->setFocus();
        QTest::keyClick(categories(), Qt::Key_Down);
        QTest::keyClick(categories(), Qt::Key_F2);
    }
    QCOMPARE(texts(clips()), QStringList { "b1" });
    QLineEdit *editor = editCategory();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, newName);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!categories()->findChild<QLineEdit *>());
    QTRY_COMPARE(texts(categories()), listed);
    if (newName == u"Alpha") {
        QTRY_COMPARE(m_env->dialogs.shown.size(), 1);
        return;
    }
    QCOMPARE(categories()->currentItem()->text(), newName);
    QCOMPARE(texts(clips()), QStringList { "b1" });
    QVERIFY(m_env->dialogs.shown.isEmpty());
    clickItem(categories(), QStringLiteral("Alpha")); // the next click is a click
    QCOMPARE(texts(clips()), QStringList { "a1" });
}

void TestFrmClipKeeper::addAndRemoveFolder()
{
    TrashHome trash;
    makeClip(QStringLiteral("Work/w"), "w");
    open();
    press("btnAddFolder");
    QCOMPARE(texts(categories()), (QStringList { "NewCat1", "Work" }));
    clickItem(categories(), QStringLiteral("Work"));
    press("btnRemoveFolder");
    QCOMPARE(texts(categories()), QStringList { "NewCat1" });
    QCOMPARE(trash.trashed(), QStringList { "Work" });
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

// Opened by the launcher's key; then the program ends (logout) while "delete for good?" is open:
// nothing crashes, nobody answered Yes, and the window has stored its settings.
void TestFrmClipKeeper::launcherOpensItAndTheEndOfTheProgramClosesIt()
{
    TrashHome noTrash(false);
    makeClip(QStringLiteral("Alpha/a"), "a");
    makeClip(QStringLiteral("Beta/b"), "b");
    frmQY2 main;
    registerWindows(main);
    main.Form_Load();
    auto *window = qobject_cast<frmClipKeeper *>(main.opener().show(WindowKey::ClipKeeper));
    QVERIFY(window && window->isVisible());
    window->findChild<QListWidget *>(QStringLiteral("lvwClipCats"))->setCurrentRow(1);
    QCOMPARE(window->store().currentCategory(), QStringLiteral("Beta"));
    m_env->dialogs.onShow = [&main](const Message &) {
        Dialogs::setCanAsk(false);
        main.unload();
    };
    window->RemoveFolder();
    Dialogs::setCanAsk(true);
    QVERIFY(!main.opener().window(WindowKey::ClipKeeper));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown.first().icon, Message::Icon::Question);
    QCOMPARE(m_env->dialogs.askDefaults, QList { Dialogs::Default::No });
    QVERIFY(QFileInfo::exists(m_env->dataPath(QStringLiteral("ClipData/Beta/b"))));
    QVERIFY(Settings::contains(Key::ClipHeight));
}

// A sync engine brings clips from another computer: the lists and the shown clip follow; its
// conflict copies are no clips.
void TestFrmClipKeeper::clipsChangedElsewhereShow()
{
    TrashHome trash;
    makeClip(QStringLiteral("My Clips/sig"), "old");
    open();
    clickItem(clips(), QStringLiteral("sig"));
    makeClip(QStringLiteral("My Clips/new one"), "n");
    makeClip(QStringLiteral("My Clips/sig.sync-conflict-20261208-101500-ABCDEFG"), "theirs");
    makeClip(QStringLiteral("Work/w"), "w");
    makeClip(QStringLiteral("incoming"), "new text");
    QVERIFY(std::rename(qPrintable(m_env->dataPath(QStringLiteral("ClipData/incoming"))),
                qPrintable(m_env->dataPath(QStringLiteral("ClipData/My Clips/sig"))))
        == 0);
    QTRY_COMPARE(clipText()->toPlainText(), QStringLiteral("new text\n"));
    QCOMPARE(texts(clips()), (QStringList { "new one", "sig" }));
    QCOMPARE(texts(categories()), (QStringList { "My Clips", "Work" }));
    QCOMPARE(clips()->currentItem()->text(), QStringLiteral("sig"));

    // Typed here while it changes there again: the save keeps the other text beside it, and says so.
    QTest::keyClicks(clipText(), QStringLiteral("mine "));
    makeClip(QStringLiteral("My Clips/sig"), "theirs again");
    press("btnSaveClip");
    QCOMPARE(
        QDir(m_env->dataPath(QStringLiteral("ClipData/My Clips"))).entryList({ "sig (conflicted copy*" }).size(), 1);
    QCOMPARE(m_env->dialogs.shown.last().title, QStringLiteral("Quillory2: Conflict copy"));
}

QTEST_MAIN(TestFrmClipKeeper)
#include "tst_frmclipkeeper.moc"
