#include "../support/pinnedscreen.h"
#include "../support/tablerow.h"
#include "../support/testenvironment.h"
#include "../support/widgetlookup.h"

#include "app/frmqy2.h"
#include "app/windows.h"
#include "common/settings.h"
#include "rtf/rtf.h"
#include "texted/frmdocument.h"
#include "texted/frmtexted.h"
#include "texted/recoverystore.h"
#include "texted/richtextbox.h"
#include "texted/textedfiles.h"
#include "texted/textstyles.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>
#include <memory>

using Choice = Dialogs::Choice;

// The TextEd frame and its documents, offscreen: dialogs, the printer and the clipboard through
// the program's seams, files in a temporary folder.
class TestFrmTextEd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void saveAsksEachTimeUntilSaveAs();
    void openShowsMarkupAsTextAndTellsWhatItLeavesOut();
    void hiddenTextStaysHiddenAndTypingIsNot();

    void closingAnEditedDocument_data();
    void closingAnEditedDocument();
    void exitWithAnEditedDocument_data();
    void exitWithAnEditedDocument();
    void unattendedEndKeepsRecoveryCopies_data();
    void unattendedEndKeepsRecoveryCopies();
    void endingWhileTheQuestionIsOpen();
    void recoveryCopyWhileWorking_data();
    void recoveryCopyWhileWorking();
    void unreadableCopyStaysAndIsShown();
    void recoveryCopyThatCannotBeWrittenIsShown();

    void largeFileAsksFirst();
    void oneFileInOneWindow();
    void fileChangedOnDiskIsNotOverwrittenUnasked_data();
    void fileChangedOnDiskIsNotOverwrittenUnasked();

    void commandsByScreenReaderAndKey_data();
    void commandsByScreenReaderAndKey();
    void closingTheFindBarGoesBackToTheSearchedDocument_data();
    void closingTheFindBarGoesBackToTheSearchedDocument();
    void pasteKeepsTheAlignment_data();
    void pasteKeepsTheAlignment();
    void styleButton();
    void commandsWithoutADocumentDoNothing();
    void copyPutsThreeFormats();
    void pasteTakesTheRichestFormat_data();
    void pasteTakesTheRichestFormat();
    void printSelectionToPdf_data();
    void printSelectionToPdf();
    void exportAsPdf();

    void failedSaveIsShown();
    void eachDocumentKeepsItsFormat();

private:
    frmTextEd *openFrame();
    void activate();
    QList<int> alignments() const;
    QAction *action(const QString &name) const { return child<QAction>(m_frame.get(), name); }
    void trigger(const QString &name) const { action(name)->trigger(); }
    frmDocument *active() const { return m_frame->activeDocument(); }
    static void type(frmDocument *document, const QString &text);
    static void select(frmDocument *document, int start, int end);
    QString path(const QString &name = QString()) const { return m_env->dataPath(name); }
    static QString pdfText(const QString &pdf);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmTextEd> m_frame;
};

void TestFrmTextEd::init()
{
    m_env = std::make_unique<TestEnvironment>();
    Dialogs::setCanAsk(true);
    frmTextEd::resetDocumentCount(); // every test is a new run of the program
}

void TestFrmTextEd::cleanup()
{
    if (m_frame) {
        for (frmDocument *document : m_frame->documents())
            document->document()->setModified(false);
    }
    m_frame.reset();
    Dialogs::setCanAsk(true);
    m_env.reset();
}

frmTextEd *TestFrmTextEd::openFrame()
{
    m_frame = std::make_unique<frmTextEd>();
    m_frame->show();
    if (!QTest::qWaitForWindowExposed(m_frame.get()))
        qWarning("the frame was not shown");
    return m_frame.get();
}

// Keys reach the menus and the toolbar only in the active window.
void TestFrmTextEd::activate()
{
    QApplication::setActiveWindow(m_frame.get());
    if (!QTest::qWaitForWindowActive(m_frame.get()))
        qWarning("the frame is not active");
}

QList<int> TestFrmTextEd::alignments() const
{
    QList<int> result;
    for (QTextBlock block = active()->document()->begin(); block.isValid(); block = block.next())
        result.append(int(block.blockFormat().alignment() & ~Qt::AlignAbsolute & Qt::AlignHorizontal_Mask));
    return result;
}

void TestFrmTextEd::type(frmDocument *document, const QString &text)
{
    QTest::keyClicks(document->rtfText(), text);
}

void TestFrmTextEd::select(frmDocument *document, int start, int end)
{
    QTextCursor cursor(document->document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    document->rtfText()->setTextCursor(cursor);
}

QString TestFrmTextEd::pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestFrmTextEd::saveAsksEachTimeUntilSaveAs()
{
    openFrame();
    type(active(), QStringLiteral("hello"));
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("TextEd - Document 1[*]"));
    QVERIFY(m_frame->isWindowModified());
    QVERIFY(active()->isWindowModified());
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("a.rtf")), 1 } };
    trigger(QStringLiteral("mnuFileSave"));
    QVERIFY(!m_frame->isWindowModified());
    QVERIFY(!active()->isWindowModified());
    QCOMPARE(m_env->dialogs.fileRequests.size(), 1);
    QCOMPARE(m_env->dialogs.fileRequests[0].title, QStringLiteral("Save"));
    QCOMPARE(active()->caption(), QStringLiteral("Document 1"));
    QVERIFY(m_env->readBytes(QStringLiteral("a.rtf")).startsWith("{\\rtf1"));
    QVERIFY(!active()->isModified());

    // A name chosen without an ending is used exactly as typed; the Text filter writes the characters.
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("b")), 2 } };
    trigger(QStringLiteral("mnuFileSave"));
    QCOMPARE(m_env->dialogs.fileRequests.size(), 2);
    QCOMPARE(m_env->dialogs.fileRequests[1].fileName, path(QStringLiteral("a.rtf"))); // the last name stays
    QCOMPARE(active()->caption(), QStringLiteral("Document 1"));
    QCOMPARE(m_env->readBytes(QStringLiteral("b")), QByteArray("hello"));

    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("c.rtf")), 1 } };
    trigger(QStringLiteral("mnuFileSaveAs"));
    QCOMPARE(active()->caption(), path(QStringLiteral("c.rtf")));
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("TextEd - %1[*]").arg(path(QStringLiteral("c.rtf"))));
    active()->showMaximized(); // its caption is not written into the title a second time
    QTRY_COMPARE(m_frame->windowTitle(), QStringLiteral("TextEd - [%1[*]]").arg(path(QStringLiteral("c.rtf"))));
    active()->showNormal();
    QTRY_COMPARE(m_frame->windowTitle(), QStringLiteral("TextEd - %1[*]").arg(path(QStringLiteral("c.rtf"))));
    QCOMPARE(active()->rtfText()->accessibleName(), active()->caption()); // what a screen reader says
    type(active(), QStringLiteral(" again"));
    trigger(QStringLiteral("mnuFileSave"));
    QCOMPARE(m_env->dialogs.fileRequests.size(), 3); // no new question
    QVERIFY(m_env->readBytes(QStringLiteral("c.rtf")).contains("hello again"));
}

void TestFrmTextEd::openShowsMarkupAsTextAndTellsWhatItLeavesOut()
{
    m_env->writeBytes(QStringLiteral("page.html"), "<b>markup</b>\r\n");
    openFrame();

    // A file with parts the editor does not show opens with a word about them.
    m_env->writeBytes(QStringLiteral("picture.rtf"), "{\\rtf1\\ansi before {\\pict\\pngblip 89504e47} after\\par}");
    QVERIFY(m_frame->openFile(path(QStringLiteral("picture.rtf"))));
    QCOMPARE(active()->document()->toPlainText(), QStringLiteral("before  after"));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown.takeFirst().title, QStringLiteral("Quillory2: Parts of the file are not shown"));

    QVERIFY(m_frame->openFile(path(QStringLiteral("page.html"))));
    QCOMPARE(active()->document()->toPlainText(), QStringLiteral("<b>markup</b>\n"));
    QCOMPARE(active()->filterIndex(), 4);
    QVERIFY(!active()->isModified());
    QCOMPARE(m_frame->documents().size(), 3);
    QVERIFY(m_env->dialogs.shown.isEmpty());
}

void TestFrmTextEd::hiddenTextStaysHiddenAndTypingIsNot()
{
    m_env->writeBytes(QStringLiteral("h.rtf"), "{\\rtf1\\ansi shown {\\v hidden}}");
    openFrame();
    QVERIFY(m_frame->openFile(path(QStringLiteral("h.rtf"))));
    QVERIFY(m_env->dialogs.shown.isEmpty()); // nothing is left out
    active()->rtfText()->moveCursor(QTextCursor::End);
    type(active(), QStringLiteral(" typed"));
    trigger(QStringLiteral("mnuFileSave"));
    QTextDocument saved;
    QVERIFY(Rtf::read(m_env->readBytes(QStringLiteral("h.rtf")), &saved));
    QCOMPARE(saved.toPlainText(), QStringLiteral("shown hidden typed"));
    const auto hidden = [&saved](const QString &word) {
        QTextCursor cursor = saved.find(word);
        cursor.setPosition(cursor.selectionEnd());
        return cursor.charFormat().boolProperty(Rtf::HiddenTextProperty);
    };
    QVERIFY(hidden(QStringLiteral("hidden")));
    QVERIFY(!hidden(QStringLiteral("typed")));
}

void TestFrmTextEd::closingAnEditedDocument_data()
{
    columns<bool, QList<Choice>, bool, bool, bool>("edited", "choices", "fileChosen", "closed", "saved");
    row("not edited: no question", false, QList<Choice>(), false, true, false);
    row("Save", true, QList<Choice> { Choice::Save }, true, true, true);
    row("Save, then the name is cancelled", true, QList<Choice> { Choice::Save }, false, false, false);
    row("Discard", true, QList<Choice> { Choice::Discard }, false, true, false);
    row("Cancel", true, QList<Choice> { Choice::Cancel }, false, false, false);
}

void TestFrmTextEd::closingAnEditedDocument()
{
    auto [edited, choices, fileChosen, closed]
        = fetch<bool, QList<Choice>, bool, bool>("edited", "choices", "fileChosen", "closed");
    openFrame();
    type(active(), QStringLiteral("kept"));
    trigger(QStringLiteral("mnuFileNew"));
    QPointer<frmDocument> document = active();
    if (edited)
        type(document, QStringLiteral("words"));
    m_env->dialogs.choices = choices;
    if (fileChosen)
        m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("w.txt")), 2 } };
    trigger(QStringLiteral("mnuFileClose"));
    QTRY_COMPARE(document.isNull(), closed);
    QCOMPARE(m_env->dialogs.shown.size(), edited ? 1 : 0);
    if (edited) {
        QCOMPARE(m_env->dialogs.shown[0].title, QStringLiteral("Quillory2: Unsaved changes"));
        QVERIFY(m_env->dialogs.shown[0].text.contains(u"\"Document 2\""));
    }
    QTEST(QFile::exists(path(QStringLiteral("w.txt"))), "saved");
    QCOMPARE(m_frame->documents().size(), closed ? 1 : 2); // Document 1 stays
    QTRY_COMPARE(m_frame->windowTitle(), QStringLiteral("TextEd - Document %1[*]").arg(closed ? 1 : 2));
    QTRY_COMPARE(m_frame->isWindowModified(), closed || edited);
}

void TestFrmTextEd::exitWithAnEditedDocument_data()
{
    columns<bool, Choice, bool>("fromPopUpMenu", "choice", "ended");
    row("Exit: Save", true, Choice::Save, true);
    row("Exit: Cancel", true, Choice::Cancel, false);
    row("File Exit: Discard", false, Choice::Discard, true);
}

void TestFrmTextEd::exitWithAnEditedDocument()
{
    auto [fromPopUpMenu, choice, ended] = fetch<bool, Choice, bool>("fromPopUpMenu", "choice", "ended");
    frmQY2 main;
    registerWindows(main);
    QPointer<frmTextEd> frame = qobject_cast<frmTextEd *>(main.opener().show(WindowKey::TextEd));
    QVERIFY(frame);
    type(frame->activeDocument(), QStringLiteral("draft"));
    m_env->dialogs.choices = { choice };
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("draft.rtf")), 1 } };
    if (fromPopUpMenu)
        main.requestExit();
    else
        frame->findChild<QAction *>(QStringLiteral("mnuFileExit"))->trigger();
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    if (fromPopUpMenu)
        QCOMPARE(main.isUnloaded(), ended);
    QTRY_COMPARE(frame.isNull(), ended);
    if (!ended) {
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->documents().size(), 1);
        frame->activeDocument()->document()->setModified(false);
    }
    QCOMPARE(QFile::exists(path(QStringLiteral("draft.rtf"))), choice == Choice::Save);
    QVERIFY(RecoveryStore().copies().isEmpty());
}

void TestFrmTextEd::unattendedEndKeepsRecoveryCopies_data()
{
    QTest::addColumn<bool>("takeBack");
    row("taken back", true);
    row("left for later", false);
}

void TestFrmTextEd::unattendedEndKeepsRecoveryCopies()
{
    QFETCH(bool, takeBack);
    m_env->writeBytes(QStringLiteral("b.txt"), "file text");
    {
        frmQY2 main;
        registerWindows(main);
        auto *frame = qobject_cast<frmTextEd *>(main.opener().show(WindowKey::TextEd));
        type(frame->activeDocument(), QStringLiteral("unsaved "));
        frame->findChild<QAction *>(QStringLiteral("Bold"))->trigger();
        type(frame->activeDocument(), QStringLiteral("words"));
        frame->openFile(path(QStringLiteral("b.txt")));
        type(frame->activeDocument(), QStringLiteral("edited "));
        frame->NewDocument(); // not edited: nothing to keep
        Dialogs::setCanAsk(false); // the desktop logs out
        main.unload();
        QVERIFY(m_env->dialogs.shown.isEmpty());
    }
    QCOMPARE(RecoveryStore().copies().size(), 2);
    QCOMPARE(m_env->readBytes(QStringLiteral("b.txt")), QByteArray("file text")); // the file itself is left alone

    // The next run.
    Dialogs::setCanAsk(true);
    frmTextEd::resetDocumentCount();
    m_env->dialogs.answers = { takeBack };
    openFrame();
    QTRY_COMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].title, QStringLiteral("Quillory2: Documents kept"));
    QVERIFY(m_env->dialogs.shown[0].text.contains(u"2 TextEd documents"));
    if (!takeBack) {
        QCOMPARE(m_frame->documents().size(), 1);
        QCOMPARE(RecoveryStore().copies().size(), 2);
        return;
    }
    const QList<frmDocument *> documents = m_frame->documents();
    QCOMPARE(documents.size(), 3);
    QCOMPARE(documents[1]->caption(), QStringLiteral("Document 2"));
    QCOMPARE(documents[1]->document()->toPlainText(), QStringLiteral("unsaved words"));
    select(documents[1], 8, 13);
    QVERIFY(TextStyles::selectionHas(documents[1]->rtfText()->textCursor(), TextStyles::Style::Bold));
    QVERIFY(documents[1]->isModified());
    QCOMPARE(documents[2]->caption(), path(QStringLiteral("b.txt")));
    QCOMPARE(documents[2]->document()->toPlainText(), QStringLiteral("edited file text"));
    QCOMPARE(documents[2]->filterIndex(), 2);

    // Each copy stays until its document is safe.
    trigger(QStringLiteral("mnuFileSave"));
    QCOMPARE(m_env->readBytes(QStringLiteral("b.txt")), QByteArray("edited file text"));
    QCOMPARE(RecoveryStore().copies().size(), 1);
}

// The program ends (a signal, logout) while the frame's question is open: no crash, nothing
// acknowledged, the edits kept aside.
void TestFrmTextEd::endingWhileTheQuestionIsOpen()
{
    auto main = std::make_unique<frmQY2>();
    registerWindows(*main);
    QPointer<frmTextEd> frame = qobject_cast<frmTextEd *>(main->opener().show(WindowKey::TextEd));
    type(frame->activeDocument(), QStringLiteral("in progress"));
    m_env->dialogs.onShow = [&main](const Message &) {
        Dialogs::setCanAsk(false);
        main->unload();
    };
    main->requestExit();
    QTRY_VERIFY(frame.isNull());
    QVERIFY(main->isUnloaded());
    const QList<RecoveryStore::Copy> copies = RecoveryStore().copies();
    QCOMPARE(copies.size(), 1);
    QTextDocument kept;
    QVERIFY(Rtf::read(*RecoveryStore().read(copies[0]), &kept));
    QCOMPARE(kept.toPlainText(), QStringLiteral("in progress"));
}

void TestFrmTextEd::recoveryCopyWhileWorking_data()
{
    columns<Choice, bool>("choice", "kept");
    row("saved: no copy", Choice::Save, false);
    row("closed with Discard: no copy", Choice::Discard, false);
    row("closing cancelled: the copy stays", Choice::Cancel, true);
}

// A copy follows the typing shortly after it stops, without the program ending; it is rewritten,
// never doubled, and the timer rests while nothing changes.
void TestFrmTextEd::recoveryCopyWhileWorking()
{
    auto [choice, kept] = fetch<Choice, bool>("choice", "kept");
    openFrame();
    auto *timer = child<QTimer>(m_frame.get(), "tmrRecovery");
    QVERIFY(!timer->isActive());
    type(active(), QStringLiteral("first words"));
    QVERIFY(timer->isActive());
    QVERIFY(timer->isSingleShot());
    QVERIFY(timer->interval() <= 30000);
    timer->setInterval(0);
    timer->start();
    QTRY_COMPARE(RecoveryStore().copies().size(), 1);
    QVERIFY(!timer->isActive());
    type(active(), QStringLiteral(", more"));
    QTRY_VERIFY(!timer->isActive());
    const QList<RecoveryStore::Copy> copies = RecoveryStore().copies();
    QCOMPARE(copies.size(), 1);
    QTextDocument copy;
    QVERIFY(Rtf::read(*RecoveryStore().read(copies[0]), &copy));
    QCOMPARE(copy.toPlainText(), QStringLiteral("first words, more"));

    m_env->dialogs.choices = { choice };
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("w.rtf")), 1 } };
    active()->close();
    QTRY_COMPARE(RecoveryStore().copies().size(), kept ? 1 : 0);
}

void TestFrmTextEd::unreadableCopyStaysAndIsShown()
{
    m_env->writeBytes(QStringLiteral("TextEd Recovery/1.rtf"), "{\\rtf1 readable}");
    m_env->writeBytes(QStringLiteral("TextEd Recovery/2.rtf"), "damaged, no rich text");
    m_env->dialogs.answers = { true };
    openFrame();
    QTRY_COMPARE(m_env->dialogs.shown.size(), 2);
    QCOMPARE(m_frame->documents().size(), 2);
    const Message told = m_env->dialogs.shown[1];
    QVERIFY2(told.text.contains(u"2.rtf") && told.text.contains(QDir::toNativeSeparators(RecoveryStore().folder())),
        qPrintable(told.text));
    QCOMPARE(m_env->readBytes(QStringLiteral("TextEd Recovery/2.rtf")), QByteArray("damaged, no rich text"));
}

void TestFrmTextEd::recoveryCopyThatCannotBeWrittenIsShown()
{
    m_env->writeBytes(QStringLiteral("TextEd Recovery"), "a file where the folder should be");
    openFrame();
    type(active(), QStringLiteral("words"));
    auto *timer = child<QTimer>(m_frame.get(), "tmrRecovery");
    timer->setInterval(0);
    timer->start();
    QTRY_VERIFY(m_frame->statusBar()->currentMessage().startsWith(u"The recovery copy could not be written"));
}

void TestFrmTextEd::largeFileAsksFirst()
{
    {
        QFile large(path(QStringLiteral("large.txt")));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(TextEdFiles::LargeFileSize + 1));
    }
    openFrame();
    QVERIFY(!m_frame->openFile(path(QStringLiteral("large.txt")))); // the answer is No
    QCOMPARE(m_env->dialogs.askDefaults, QList<Dialogs::Default> { Dialogs::Default::No });
    QCOMPARE(m_env->dialogs.shown.size(), 1); // the question, and nothing more
    QVERIFY(m_env->dialogs.shown[0].text.contains(QLocale().formattedDataSize(TextEdFiles::LargeFileSize + 1)));
    QCOMPARE(m_frame->documents().size(), 1);
}

// One file is never shown in two windows, whose saves would replace each other's.
void TestFrmTextEd::oneFileInOneWindow()
{
    m_env->writeBytes(QStringLiteral("a.txt"), "text");
    QDir(path()).mkdir(QStringLiteral("sub"));
    openFrame();
    frmDocument *first = m_frame->openFile(path(QStringLiteral("a.txt")));
    type(first, QStringLiteral("edited "));
    trigger(QStringLiteral("mnuFileNew"));
    QCOMPARE(m_frame->openFile(path(QStringLiteral("sub/../a.txt"))), first);
    QCOMPARE(active(), first);
    QCOMPARE(m_frame->documents().size(), 3);
    QCOMPARE(first->document()->toPlainText(), QStringLiteral("edited text"));

    m_frame->findChild<QMdiArea *>()->activateNextSubWindow(); // Document 3
    type(active(), QStringLiteral("other"));
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("a.txt")), 2 } };
    trigger(QStringLiteral("mnuFileSaveAs"));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].title, QStringLiteral("Quillory2: Cannot save the file"));
    QCOMPARE(m_env->readBytes(QStringLiteral("a.txt")), QByteArray("text"));
    QCOMPARE(active()->caption(), QStringLiteral("Document 3"));
}

void TestFrmTextEd::fileChangedOnDiskIsNotOverwrittenUnasked_data()
{
    columns<bool, QByteArray>("replace", "onDisk");
    row("Yes: replaced", true, QByteArray("mine"));
    row("No: Save As offered, the file stays", false, QByteArray("theirs"));
}

void TestFrmTextEd::fileChangedOnDiskIsNotOverwrittenUnasked()
{
    QFETCH(bool, replace);
    m_env->writeBytes(QStringLiteral("a.txt"), "");
    openFrame();
    QVERIFY(m_frame->openFile(path(QStringLiteral("a.txt"))));
    type(active(), QStringLiteral("mine"));
    m_env->writeBytes(QStringLiteral("a.txt"), "theirs");
    m_env->dialogs.answers = { replace };
    trigger(QStringLiteral("mnuFileSave"));
    QCOMPARE(m_env->dialogs.askDefaults, QList<Dialogs::Default> { Dialogs::Default::No });
    QCOMPARE(m_env->dialogs.fileRequests.size(), replace ? 0 : 1);
    QTEST(m_env->readBytes(QStringLiteral("a.txt")), "onDisk");
}

void TestFrmTextEd::commandsByScreenReaderAndKey_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("way"); // the accessible action "Press" or "Toggle", else a key
    QTest::addColumn<QString>("effect");
    QTest::addColumn<QString>("tip"); // of the toolbar button
    row("Bold toggled by a screen reader", "Bold", "Toggle", "bold", "Bold (Ctrl+B)");
    row("Bold pressed by a screen reader", "Bold", "Press", "bold", "Bold (Ctrl+B)");
    row("Underline by its key", "Underline", "Ctrl+U", "underline", "Underline (Ctrl+U)");
    row("Center pressed", "Center", "Press", "centre", "Center (Ctrl+E)");
    row("Save by its key", "Save", "Ctrl+S", "Save", "Save (Ctrl+S)");
    row("Save in the menu, pressed", "mnuFileSave", "Press", "Save", "");
    row("Open by its key", "Open", "Ctrl+O", "Open", "Open (Ctrl+O)");
    row("Print by its key", "Print", "Ctrl+P", "print", "Print (Ctrl+P)");
    row("Close by Ctrl+W", "mnuFileClose", "Ctrl+W", "closed", "");
    row("Close by Ctrl+F4", "mnuFileClose", "Ctrl+F4", "closed", "");
}

// Every command works alike through the mouse, its key and a screen reader's action.
void TestFrmTextEd::commandsByScreenReaderAndKey()
{
    auto [command, way, effect, tip] = fetch<QString, QString, QString, QString>("command", "way", "effect", "tip");
    openFrame();
    activate();
    type(active(), QStringLiteral("word"));
    select(active(), 0, 4);
    m_env->dialogs.files = { std::nullopt };
    m_env->dialogs.choices = { Choice::Discard };
    bool printAsked = false;
    m_env->dialogs.print = [&printAsked](QPrinter &, bool) {
        printAsked = true;
        return false;
    };
    QAction *target = action(command);
    if (!tip.isEmpty())
        QCOMPARE(target->toolTip(), tip);
    if (way == u"Press" || way == u"Toggle") {
        QAccessibleInterface *control = nullptr;
        for (QObject *shownBy : target->associatedObjects()) { // the toolbar button, or an item of the menu
            QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(shownBy);
            if (qobject_cast<QAbstractButton *>(shownBy))
                control = shown;
            for (int i = 0; qobject_cast<QMenu *>(shownBy) && i < shown->childCount(); ++i) {
                if (shown->child(i)->object() == target)
                    control = shown->child(i);
            }
        }
        QVERIFY(control);
        QVERIFY(control->actionInterface());
        control->actionInterface()->doAction(
            way == u"Press" ? QAccessibleActionInterface::pressAction() : QAccessibleActionInterface::toggleAction());
    } else {
        QTest::keySequence(active()->rtfText(), QKeySequence(way));
    }
    if (effect == u"closed") {
        QTRY_VERIFY(m_frame->documents().isEmpty());
        return;
    }
    if (effect == u"Save" || effect == u"Open") {
        QCOMPARE(m_env->dialogs.fileRequests.size(), 1);
        QCOMPARE(m_env->dialogs.fileRequests[0].title, effect);
        return;
    }
    if (effect == u"print") {
        QVERIFY(printAsked);
        return;
    }
    if (effect == u"centre") {
        QCOMPARE(alignments(), QList<int> { Qt::AlignHCenter });
        return;
    }
    const auto style = effect == u"bold" ? TextStyles::Style::Bold
        : effect == u"italic"            ? TextStyles::Style::Italic
                                         : TextStyles::Style::Underline;
    select(active(), 0, 4);
    QTRY_VERIFY(TextStyles::selectionHas(active()->rtfText()->textCursor(), style));
    QVERIFY(target->isChecked());
}

void TestFrmTextEd::closingTheFindBarGoesBackToTheSearchedDocument_data()
{
    QTest::addColumn<bool>("byEscape");
    row("Esc", true);
    row("the close button", false);
}

void TestFrmTextEd::closingTheFindBarGoesBackToTheSearchedDocument()
{
    QFETCH(bool, byEscape);
    openFrame();
    activate();
    trigger(QStringLiteral("mnuFileNew"));
    trigger(QStringLiteral("mnuFileNew"));
    frmDocument *searched = active();
    type(searched, QStringLiteral("a line"));
    trigger(QStringLiteral("mnuEditFind"));
    auto *find = child<QLineEdit>(m_frame.get(), "txtFind");
    QTRY_VERIFY(find->hasFocus());
    QTest::keyClicks(find, QStringLiteral("line"));
    QTest::keyClick(find, Qt::Key_Return);
    if (byEscape)
        QTest::keyClick(find, Qt::Key_Escape);
    else
        QTest::mouseClick(child<QWidget>(m_frame.get(), "cmdFindClose"), Qt::LeftButton);
    QCOMPARE(active(), searched);
    QTRY_VERIFY(searched->rtfText()->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Q"));
    QCOMPARE(searched->document()->toPlainText(), QStringLiteral("a Q"));
}

void TestFrmTextEd::pasteKeepsTheAlignment_data()
{
    QTest::addColumn<bool>("htmlOnly"); // the HTML part of what TextEd copies, as other programs take it
    row("copied within TextEd", false);
    row("TextEd's HTML", true);
}

void TestFrmTextEd::pasteKeepsTheAlignment()
{
    QFETCH(bool, htmlOnly);
    openFrame();
    activate();
    QTest::keySequence(active()->rtfText(), QKeySequence(QStringLiteral("Ctrl+E")));
    for (const char *line : { "centre one", "centre two" }) {
        type(active(), QLatin1String(line));
        QTest::keyClick(active()->rtfText(), Qt::Key_Return);
    }
    QTest::keySequence(active()->rtfText(), QKeySequence(QStringLiteral("Ctrl+R")));
    type(active(), QStringLiteral("right three"));
    QTest::keySequence(active()->rtfText(), QKeySequence::SelectAll);
    trigger(QStringLiteral("mnuEditCopy"));
    if (htmlOnly) {
        auto *offered = new QMimeData;
        offered->setHtml(QApplication::clipboard()->mimeData()->html());
        QApplication::clipboard()->setMimeData(offered);
    }
    trigger(QStringLiteral("mnuFileNew"));
    trigger(QStringLiteral("mnuEditPaste"));
    QCOMPARE(alignments(), (QList<int> { Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight }));
}

// Bold stands for the three style buttons, which share their code.
void TestFrmTextEd::styleButton()
{
    const auto has = [this](int start, int end) {
        select(active(), start, end);
        return TextStyles::selectionHas(active()->rtfText()->textCursor(), TextStyles::Style::Bold);
    };
    openFrame();
    type(active(), QStringLiteral("normal words here"));
    QAction *pressed = action(QStringLiteral("Bold"));
    QVERIFY(pressed->isCheckable());

    select(active(), 0, 6);
    pressed->trigger();
    QVERIFY(has(0, 6));
    QVERIFY(!has(6, 17));
    QVERIFY(pressed->isChecked());
    select(active(), 0, 6);
    pressed->trigger();
    QVERIFY(!has(0, 6));
    QVERIFY(!pressed->isChecked());

    // A selection styled only in part gets the style throughout.
    select(active(), 7, 12);
    pressed->trigger();
    select(active(), 0, 12);
    pressed->trigger();
    QVERIFY(has(0, 12));
    QVERIFY(pressed->isChecked());

    // The button shows what it last did, not what is under the cursor.
    select(active(), 15, 15);
    QVERIFY(pressed->isChecked());

    // Without a selection the style applies to what is typed next.
    QTextCursor end = active()->rtfText()->textCursor();
    end.movePosition(QTextCursor::End);
    active()->rtfText()->setTextCursor(end);
    pressed->trigger();
    type(active(), QStringLiteral(" more"));
    QVERIFY(has(18, 22));
    QVERIFY(!has(13, 17));
}

void TestFrmTextEd::commandsWithoutADocumentDoNothing()
{
    openFrame();
    active()->close();
    QTRY_VERIFY(m_frame->documents().isEmpty());
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    for (const char *name :
        { "Cut", "Copy", "Paste", "Bold", "Italic", "Underline", "Align Left", "Center", "Align Right", "mnuFileSave",
            "mnuFileSaveAs", "mnuFilePrint", "mnuFileClose", "mnuFileExportPdf", "mnuEditUndo", "mnuEditRedo" })
        trigger(QLatin1String(name));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
    QVERIFY(!action(QStringLiteral("Bold"))->isChecked());
    QVERIFY(m_env->dialogs.shown.isEmpty());
    QVERIFY(m_env->dialogs.fileRequests.isEmpty());
}

void TestFrmTextEd::copyPutsThreeFormats()
{
    openFrame();
    type(active(), QStringLiteral("plain "));
    trigger(QStringLiteral("Bold"));
    type(active(), QStringLiteral("BOLD"));
    QTest::keyClick(active()->rtfText(), Qt::Key_Return);
    type(active(), QStringLiteral("end"));
    select(active(), 0, 14);
    trigger(QStringLiteral("mnuEditCopy"));
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    QCOMPARE(copied->text(), QStringLiteral("plain BOLD\nend"));
    QVERIFY(copied->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
    QVERIFY(copied->html().contains(u"BOLD"));

    // Cut: the same on the clipboard, and the selection goes.
    select(active(), 6, 10);
    trigger(QStringLiteral("Cut"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("BOLD"));
    QCOMPARE(active()->document()->toPlainText(), QStringLiteral("plain \nend"));
}

void TestFrmTextEd::pasteTakesTheRichestFormat_data()
{
    columns<QStringList, QString, bool>("formats", "text", "bold");
    row("RTF, HTML and text: RTF", QStringList { "text/rtf", "text/html", "text/plain" }, "rtf", true);
    row("HTML and text: HTML", QStringList { "text/html", "text/plain" }, "html", true);
    row("broken RTF: the text", QStringList { "text/rtf:broken", "text/plain" }, "{\\rtf1 <b>plain</b>", false);
}

void TestFrmTextEd::pasteTakesTheRichestFormat()
{
    auto [formats, text] = fetch<QStringList, QString>("formats", "text");
    openFrame();
    auto *offered = new QMimeData;
    for (const QString &format : formats) {
        if (format == u"text/rtf:broken")
            offered->setData(QStringLiteral("text/rtf"), "not rtf at all");
        else if (format.endsWith(u"rtf"))
            offered->setData(format, "{\\rtf1\\ansi {\\b rtf}}");
        else if (format == u"text/html")
            offered->setHtml(QStringLiteral("<b>html</b>"));
        else
            offered->setText(QStringLiteral("{\\rtf1 <b>plain</b>"));
    }
    QApplication::clipboard()->setMimeData(offered);
    type(active(), QStringLiteral("x"));
    trigger(QStringLiteral("mnuEditPaste"));
    QCOMPARE(active()->document()->toPlainText(), u'x' + text);
    select(active(), 1, 1 + int(text.size()));
    QTEST(TextStyles::selectionHas(active()->rtfText()->textCursor(), TextStyles::Style::Bold), "bold");
}

void TestFrmTextEd::printSelectionToPdf_data()
{
    QTest::addColumn<bool>("selection");
    row("selection", true);
    row("whole text", false);
}

void TestFrmTextEd::printSelectionToPdf()
{
    QFETCH(bool, selection);
    openFrame();
    active()->rtfText()->setPlainText(QStringLiteral("Firstline of the text\nSecondline of the text"));
    if (selection)
        select(active(), 22, 32);
    const QString pdf = path(QStringLiteral("printed.pdf"));
    bool offered = !selection;
    m_env->dialogs.print = [&](QPrinter &printer, bool hasSelection) {
        offered = hasSelection;
        if (printer.printRange() != (hasSelection ? QPrinter::Selection : QPrinter::AllPages))
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    trigger(QStringLiteral("Print"));
    QCOMPARE(offered, selection);
    QVERIFY(QFile::exists(pdf));
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
        "pdftotext is not installed: run scripts/install-deps");
    const QString printed = pdfText(pdf);
    QVERIFY2(printed.contains(u"Secondline"), qPrintable(printed));
    QCOMPARE(printed.contains(u"Firstline"), !selection);
}

void TestFrmTextEd::exportAsPdf()
{
    openFrame();
    type(active(), QStringLiteral("Exported words"));
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("out")), 1 } };
    trigger(QStringLiteral("mnuFileExportPdf"));
    QCOMPARE(m_env->dialogs.fileRequests[0].title, QStringLiteral("Export as PDF"));
    QVERIFY(m_env->readBytes(QStringLiteral("out.pdf")).startsWith("%PDF"));
    QVERIFY(active()->isModified()); // an export is not a save
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
        "pdftotext is not installed: run scripts/install-deps");
    QVERIFY(pdfText(path(QStringLiteral("out.pdf"))).contains(u"Exported words"));
}

void TestFrmTextEd::failedSaveIsShown()
{
    openFrame();
    type(active(), QStringLiteral("x"));
    QDir(path()).mkdir(QStringLiteral("folder"));
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("folder")), 1 } };
    trigger(QStringLiteral("mnuFileSaveAs"));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown[0].title, QStringLiteral("Quillory2: Cannot save the file"));
    QCOMPARE(active()->caption(), QStringLiteral("Document 1"));
    QVERIFY(active()->isModified());
}

void TestFrmTextEd::eachDocumentKeepsItsFormat()
{
    m_env->writeBytes(QStringLiteral("a.rtf"), "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 rich {\\b bold}\\par}");
    m_env->writeBytes(QStringLiteral("b.txt"), "plain\r\n");
    openFrame();
    m_env->dialogs.files = { Dialogs::FileChoice { path(QStringLiteral("a.rtf")), 1 },
        Dialogs::FileChoice { path(QStringLiteral("b.txt")), 2 } };
    trigger(QStringLiteral("mnuFileOpen"));
    frmDocument *rich = active();
    trigger(QStringLiteral("Open"));
    frmDocument *plain = active();
    QCOMPARE(m_frame->filterIndex(), 2); // the Text filter was chosen last

    // Saving the RTF document after the Text filter was chosen still writes RTF.
    m_frame->findChild<QMdiArea *>()->setActiveSubWindow(rich);
    type(rich, QStringLiteral("more "));
    trigger(QStringLiteral("mnuFileSave"));
    const QByteArray richBytes = m_env->readBytes(QStringLiteral("a.rtf"));
    QVERIFY(richBytes.startsWith("{\\rtf1"));
    QVERIFY(richBytes.contains("more rich"));

    m_frame->findChild<QMdiArea *>()->setActiveSubWindow(plain);
    type(plain, QStringLiteral("still "));
    trigger(QStringLiteral("Save"));
    QCOMPARE(m_env->readBytes(QStringLiteral("b.txt")), QByteArray("still plain\r\n"));
    QVERIFY(m_env->dialogs.fileRequests.size() == 2); // saving a document with a file asks nothing

    // Save As offers the document's own filter.
    m_env->dialogs.files = { std::nullopt };
    m_frame->findChild<QMdiArea *>()->setActiveSubWindow(rich);
    trigger(QStringLiteral("mnuFileSaveAs"));
    QCOMPARE(m_env->dialogs.fileRequests.last().filterIndex, 1);
    QCOMPARE(m_env->dialogs.fileRequests.last().fileName, path(QStringLiteral("a.rtf")));
}

int main(int argc, char *argv[])
{
    QTEST_SET_MAIN_SOURCE_PATH
    return runOnPinnedScreen<TestFrmTextEd>(argc, argv);
}

#include "tst_frmtexted.moc"
