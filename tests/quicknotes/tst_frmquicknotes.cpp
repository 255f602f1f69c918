#include "../support/tablerow.h"
#include "../support/testenvironment.h"
#include "../support/widgetlookup.h"

#include "app/frmqy2.h"
#include "app/windows.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "quicknotes/frmquicknotes.h"
#include "quicknotes/todolists.h"
#include "texted/frmdocument.h"
#include "texted/frmtexted.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QPointer>
#include <QTextEdit>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(Dialogs::Choice)

namespace {

const QString Today = QStringLiteral("Things To Do Today.txt");
const QString Guests = QStringLiteral("My Guest List.txt");
const QString UnsavedTitle = QStringLiteral("Quillory2: Unsaved note");

// The default template of the day, as the pad shows it.
QString templateOfTheDay()
{
    return ToDoLists::defaultTemplate().replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QTextEdit *pad(QWidget *window)
{
    return child<QTextEdit>(window, "txtMain");
}

QComboBox *titles(QWidget *window)
{
    return child<QComboBox>(window, "cboToDo");
}

// Commands that may ask run from the event loop.
void run(QAction *action)
{
    action->trigger();
    QCoreApplication::processEvents();
}

void chooseTitle(QWidget *window, int position)
{
    titles(window)->setCurrentIndex(position);
    QCoreApplication::processEvents();
}

// Types over the pad's text, a line at a time.
void type(QWidget *window, const QString &text)
{
    pad(window)->selectAll();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(pad(window), Qt::Key_Return);
        QTest::keyClicks(pad(window), lines.at(i));
    }
}

QStringList shownTitles(const Dialogs::Recorder &recorder)
{
    QStringList result;
    for (const Message &message : recorder.shown)
        result << message.title;
    return result;
}

} // namespace

// The QuickNotes window: opening, menus, the question before an edited pad is lost, the draft,
// the hand-over to TextEd, settings and resizing.
class TestFrmQuickNotes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void openingSequence();
    void saveAndLoadTheSelectedItem();
    void unreadableListIsToldAndNotShown();
    void askBeforeLosingAnEdit_data();
    void askBeforeLosingAnEdit();
    void draftKeptAndOfferedBack_data();
    void draftKeptAndOfferedBack();
    void programEndsWhileTheQuestionIsOpen_data();
    void programEndsWhileTheQuestionIsOpen();
    void handOverToTextEd();

    void failedSaveKeepsTheEditedPad();

    void clearLeavesTheFileAlone();
    void listChangedElsewhere();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestFrmQuickNotes::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_env->setNow(QDateTime(QDate(2024, 3, 12), QTime(9, 30)));
    Dialogs::setCanAsk(true);
    QGuiApplication::clipboard()->clear();
}

void TestFrmQuickNotes::cleanup()
{
    Dialogs::setCanAsk(true);
    m_env.reset();
}

void TestFrmQuickNotes::openingSequence()
{
    m_env->writeBytes(Today, "saved\r\n");
    frmQuickNotes window;
    QCOMPARE(titles(&window)->currentText(), QStringLiteral("Things To Do Today"));
    QCOMPARE(pad(&window)->toPlainText(), templateOfTheDay());
    QVERIFY(!window.isPadEdited());

    // Save right after opening would replace a list the pad never showed: asked first, No by default.
    run(child<QAction>(&window, "btnSave"));
    QCOMPARE(shownTitles(m_env->dialogs), QStringList { QStringLiteral("Quillory2: Replace the list") });
    QCOMPARE(m_env->dialogs.askDefaults, QList { Dialogs::Default::No });
    QCOMPARE(m_env->readBytes(Today), QByteArray("saved\r\n"));
    m_env->dialogs.answers = { true };
    run(child<QAction>(&window, "btnSave"));
    QCOMPARE(m_env->readBytes(Today), ToDoLists::toFileText(templateOfTheDay()).toUtf8());
    QCOMPARE(m_env->dialogs.shown.size(), 2);
    run(child<QAction>(&window, "btnSave")); // once replaced, it was seen
    QCOMPARE(m_env->dialogs.shown.size(), 2);
}

void TestFrmQuickNotes::saveAndLoadTheSelectedItem()
{
    // Every character comes back as it is: a no-break space, a line separator.
    const QByteArray units = "1\xc2\xa0"
                             "000\xe2\x80\xa8m\r\n";
    m_env->writeBytes(Guests, units);
    frmQuickNotes window;
    chooseTitle(&window, 8);
    run(child<QAction>(&window, "btnSave"));
    QCOMPARE(m_env->readBytes(Guests), units);

    chooseTitle(&window, 9);
    QCOMPARE(window.shownTitle(), 9);
    QCOMPARE(pad(&window)->toPlainText(), QString()); // a missing list empties the pad
    type(&window, QStringLiteral("abc"));
    run(child<QAction>(&window, "btnSave"));
    QCOMPARE(m_env->readBytes(QStringLiteral("My Shopping List.txt")), QByteArray("abc"));
    QVERIFY(!window.isPadEdited());
    run(child<QAction>(&window, "btnLoad"));
    QCOMPARE(pad(&window)->toPlainText(), QStringLiteral("abc\n"));

    // The user's own template.
    type(&window, QStringLiteral("mine"));
    run(child<QAction>(&window, "itmToDo1"));
    QCOMPARE(m_env->readBytes(QStringLiteral("todo.dat")), QByteArray("mine"));
    QVERIFY(!window.isPadEdited());
    run(child<QAction>(&window, "itmToDo3"));
    QCOMPARE(pad(&window)->toPlainText(), templateOfTheDay());
    run(child<QAction>(&window, "itmToDo0"));
    QCOMPARE(pad(&window)->toPlainText(), QStringLiteral("mine\n"));
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

// Folders where list files should be cannot be read: told, and never shown.
void TestFrmQuickNotes::unreadableListIsToldAndNotShown()
{
    QVERIFY(QDir().mkpath(m_env->dataPath(Today)));
    QVERIFY(QDir().mkpath(m_env->dataPath(Guests)));
    const QString cannotRead = QStringLiteral("Quillory2: Cannot read the file");
    frmQuickNotes window;
    QVERIFY(m_env->dialogs.shown.isEmpty()); // told once the window is up
    window.show();
    QTRY_COMPARE(shownTitles(m_env->dialogs), QStringList { cannotRead });
    QCOMPARE(pad(&window)->toPlainText(), templateOfTheDay());

    chooseTitle(&window, 8);
    QCOMPARE(shownTitles(m_env->dialogs).mid(1), QStringList { cannotRead });
    QCOMPARE(titles(&window)->currentIndex(), 0);
    QCOMPARE(window.shownTitle(), 0);
    QCOMPARE(pad(&window)->toPlainText(), templateOfTheDay());
}

void TestFrmQuickNotes::askBeforeLosingAnEdit_data()
{
    columns<QString, Dialogs::Choice>("action", "choice");
    QTest::addColumn<QString>("replacedBy"); // the pad once the action has happened

    const std::pair<const char *, QString> actions[] = {
        { "select another title", QStringLiteral("guests\n") },
        { "btnLoad", QStringLiteral("today\n") },
        { "close", QString() },
    };
    const std::pair<const char *, Dialogs::Choice> choices[] = { { "Save", Dialogs::Choice::Save },
        { "Discard", Dialogs::Choice::Discard }, { "Cancel", Dialogs::Choice::Cancel } };
    for (const auto &[action, replaced] : actions) {
        for (const auto &[name, choice] : choices)
            QTest::addRow("%s, %s", action, name) << QString::fromLatin1(action) << choice << replaced;
    }
}

void TestFrmQuickNotes::askBeforeLosingAnEdit()
{
    auto [action, choice, replacedBy] = fetch<QString, Dialogs::Choice, QString>("action", "choice", "replacedBy");

    m_env->writeBytes(Today, "today\r\n");
    m_env->writeBytes(Guests, "guests\r\n");
    m_env->writeBytes(QStringLiteral("todo.dat"), "mine\r\n");
    frmQuickNotes window;
    window.show();
    QCoreApplication::processEvents();
    run(child<QAction>(&window, "btnLoad"));
    type(&window, QStringLiteral("typed"));
    m_env->dialogs.choices = { choice };

    bool closed = false;
    if (action == QLatin1String("select another title"))
        chooseTitle(&window, 8);
    else if (action == QLatin1String("close"))
        closed = window.close();
    else
        run(child<QAction>(&window, qPrintable(action)));

    QCOMPARE(shownTitles(m_env->dialogs), QStringList { UnsavedTitle });
    QVERIFY(m_env->dialogs.shown.first().text.contains(QStringLiteral("\"Things To Do Today\"")));
    QCOMPARE(m_env->readBytes(Today), choice == Dialogs::Choice::Save ? QByteArray("typed") : QByteArray("today\r\n"));
    QCOMPARE(QFile::exists(ToDoLists::draftFilePath()), choice == Dialogs::Choice::Cancel); // the pad's copy

    const bool happened = choice != Dialogs::Choice::Cancel;
    if (action == QLatin1String("btnLoad") && choice == Dialogs::Choice::Save)
        replacedBy = QStringLiteral("typed\n"); // loads what was just saved
    if (action == QLatin1String("close")) {
        QCOMPARE(closed, happened);
        QCOMPARE(window.isVisible(), !happened);
        return;
    }
    QCOMPARE(pad(&window)->toPlainText(), happened ? replacedBy : QStringLiteral("typed"));
    QCOMPARE(window.isPadEdited(), !happened);
    const int title = happened && action == QLatin1String("select another title") ? 8 : 0;
    QCOMPARE(titles(&window)->currentIndex(), title);
    QCOMPARE(window.shownTitle(), title);
}

void TestFrmQuickNotes::draftKeptAndOfferedBack_data()
{
    QTest::addColumn<bool>("restore");
    row("Yes: the note comes back", true);
    row("No: the draft goes", false);
}

// Typing is kept as the draft once it stops, and when the program ends with nobody to ask; the next
// opening offers it back, and the draft goes once the list is saved.
void TestFrmQuickNotes::draftKeptAndOfferedBack()
{
    QFETCH(bool, restore);
    m_env->writeBytes(QStringLiteral("My Shopping List.txt"), "saved\r\n");
    {
        frmQuickNotes window;
        window.show();
        chooseTitle(&window, 9);
        type(&window, QStringLiteral("milk"));
        QTRY_VERIFY(ToDoLists::loadDraft() == (ToDoLists::Draft { 9, QStringLiteral("milk") }));
        QTest::keyClick(pad(&window), Qt::Key_Return);
        QTest::keyClicks(pad(&window), QStringLiteral("eggs"));
        Dialogs::setCanAsk(false); // the desktop logs out
        QVERIFY(window.close());
        QVERIFY(m_env->dialogs.shown.isEmpty());
        QCOMPARE(m_env->readBytes(QStringLiteral("My Shopping List.txt")), QByteArray("saved\r\n"));
    }
    Dialogs::setCanAsk(true);
    m_env->dialogs.answers = { restore, true };
    frmQuickNotes window;
    window.show();
    QTRY_COMPARE(m_env->dialogs.shown.size(), 1);
    const Message &offer = m_env->dialogs.shown.first();
    QCOMPARE(offer.title, QStringLiteral("Quillory2: Unsaved note kept"));
    QVERIFY(offer.text.contains(QStringLiteral("\"My Shopping List\"")));
    QCOMPARE(QFile::exists(ToDoLists::draftFilePath()), restore); // the copy of a pad still to be saved
    QCOMPARE(pad(&window)->toPlainText(), restore ? QStringLiteral("milk\neggs") : templateOfTheDay());
    QCOMPARE(titles(&window)->currentIndex(), restore ? 9 : 0);
    QCOMPARE(window.shownTitle(), restore ? 9 : 0);
    QCOMPARE(window.isPadEdited(), restore);

    // Offered once: showing the window again asks nothing.
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    if (restore) {
        run(child<QAction>(&window, "btnSave"));
        QCOMPARE(m_env->readBytes(QStringLiteral("My Shopping List.txt")), QByteArray("milk\r\neggs"));
        QVERIFY(!QFile::exists(ToDoLists::draftFilePath()));
    }
}

void TestFrmQuickNotes::programEndsWhileTheQuestionIsOpen_data()
{
    QTest::addColumn<QString>("action");
    for (const char *action : { "select another title", "btnLoad", "Exit" })
        row(action, QString::fromLatin1(action));
}

void TestFrmQuickNotes::programEndsWhileTheQuestionIsOpen()
{
    QFETCH(QString, action);
    m_env->writeBytes(Today, "today\r\n");
    frmQY2 main;
    registerWindows(main);
    QPointer<QWidget> window = main.opener().show(WindowKey::QuickNotes);
    type(window, QStringLiteral("typed"));
    m_env->dialogs.onShow = [&main](const Message &) {
        Dialogs::setCanAsk(false);
        main.unload();
    };
    if (action == QLatin1String("Exit"))
        main.requestExit();
    else if (action == QLatin1String("select another title"))
        chooseTitle(window, 8);
    else
        run(child<QAction>(window, qPrintable(action)));

    QVERIFY(main.isUnloaded());
    QTRY_VERIFY(!window); // deleted once the code that asked has returned
    QCOMPARE(shownTitles(m_env->dialogs), QStringList { UnsavedTitle });
    QCOMPARE(m_env->readBytes(Today), QByteArray("today\r\n"));
    const std::optional<ToDoLists::Draft> draft = ToDoLists::loadDraft();
    QVERIFY(draft);
    QCOMPARE(draft->text, QStringLiteral("typed"));
}

// "Open Item In TextEd": a new TextEd document holds the note; TextEd opens for it when it was not
// open, with that document as its only one. QuickNotes keeps its text.
void TestFrmQuickNotes::handOverToTextEd()
{
    frmTextEd::resetDocumentCount();
    frmQY2 main;
    registerWindows(main);
    auto *notes = qobject_cast<frmQuickNotes *>(main.opener().show(WindowKey::QuickNotes));
    QVERIFY(notes);
    QVERIFY(!main.opener().window(WindowKey::TextEd));
    const QString text = QStringLiteral("abc <b>not bold</b> {\\rtf1 x}"); // handed over as plain text
    type(notes, text);
    run(child<QAction>(notes, "btnTextEd"));
    QCOMPARE(pad(notes)->toPlainText(), text);
    QVERIFY(notes->isPadEdited());

    auto *textEd = qobject_cast<frmTextEd *>(main.opener().window(WindowKey::TextEd));
    QVERIFY(textEd && textEd->isVisible());
    QCOMPARE(textEd->documents().size(), 1);
    QCOMPARE(textEd->lastDocument()->caption(), QStringLiteral("Document 1"));
    QCOMPARE(textEd->lastDocument()->document()->toPlainText(), text);
    QVERIFY(textEd->lastDocument()->isModified()); // held in no file yet

    type(notes, QStringLiteral("two\nlines"));
    run(child<QAction>(notes, "btnTextEd"));
    QCOMPARE(main.opener().window(WindowKey::TextEd), textEd);
    QCOMPARE(textEd->documents().size(), 2);
    QCOMPARE(textEd->lastDocument()->document()->toPlainText(), QStringLiteral("two\nlines"));
    QVERIFY(m_env->dialogs.shown.isEmpty());
    Dialogs::setCanAsk(false);
    main.unload();
}

void TestFrmQuickNotes::failedSaveKeepsTheEditedPad()
{
    frmQuickNotes window;
    type(&window, QStringLiteral("typed"));
    const QString folder = DataFolder::path();
    DataFolder::setPath(folder + QStringLiteral("/missing/deeper"));
    run(child<QAction>(&window, "btnSave"));
    QCOMPARE(shownTitles(m_env->dialogs), QStringList { QStringLiteral("Quillory2: Cannot save the file") });
    QVERIFY(window.isPadEdited());

    // Saving as the answer to the question fails too: nothing happens.
    m_env->dialogs.choices = { Dialogs::Choice::Save };
    chooseTitle(&window, 4);
    DataFolder::setPath(folder);
    QCOMPARE(shownTitles(m_env->dialogs).mid(1),
        (QStringList { UnsavedTitle, QStringLiteral("Quillory2: Cannot save the file") }));
    QCOMPARE(titles(&window)->currentIndex(), 0);
    QCOMPARE(pad(&window)->toPlainText(), QStringLiteral("typed"));
    QVERIFY(window.isPadEdited());
}

void TestFrmQuickNotes::clearLeavesTheFileAlone()
{
    m_env->writeBytes(Today, "today\r\n");
    frmQuickNotes window;
    run(child<QAction>(&window, "btnLoad"));
    QCOMPARE(pad(&window)->toPlainText(), QStringLiteral("today\n"));
    run(child<QAction>(&window, "btnClear"));
    QCOMPARE(pad(&window)->toPlainText(), QString());
    QCOMPARE(m_env->readBytes(Today), QByteArray("today\r\n"));
    QVERIFY(window.isPadEdited()); // what was there is asked about before it is lost
    QVERIFY(!window.close()); // asked, and cancelled
    QCOMPARE(shownTitles(m_env->dialogs), QStringList { UnsavedTitle });
    QCOMPARE(m_env->readBytes(Today), QByteArray("today\r\n"));
}

// Another computer's list arrives by rename: an unedited pad shows it; an edited pad keeps what was
// typed, and its save keeps the other text as a conflict copy, which the user is told of.
void TestFrmQuickNotes::listChangedElsewhere()
{
    m_env->writeBytes(Guests, "Ann");
    frmQuickNotes window;
    chooseTitle(&window, 8);
    const auto arrive = [this](const QByteArray &bytes) {
        m_env->writeBytes(QStringLiteral("incoming"), bytes);
        QVERIFY(
            std::rename(qPrintable(m_env->dataPath(QStringLiteral("incoming"))), qPrintable(m_env->dataPath(Guests)))
            == 0);
    };
    arrive("Ann\r\nBob");
    QTRY_COMPARE(pad(&window)->toPlainText(), QStringLiteral("Ann\nBob\n"));

    type(&window, QStringLiteral("mine"));
    arrive("theirs");
    run(child<QAction>(&window, "btnSave"));
    QCOMPARE(m_env->readBytes(Guests), QByteArray("mine"));
    const QStringList copies = QDir(m_env->dataPath()).entryList({ QStringLiteral("My Guest List (conflicted copy*") });
    QCOMPARE(copies.size(), 1);
    QCOMPARE(m_env->readBytes(copies.first()), QByteArray("theirs"));
    QCOMPARE(shownTitles(m_env->dialogs), QStringList { QStringLiteral("Quillory2: Conflict copy") });
}

QTEST_MAIN(TestFrmQuickNotes)
#include "tst_frmquicknotes.moc"
