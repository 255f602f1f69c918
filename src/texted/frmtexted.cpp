#include "texted/frmtexted.h"

#include "common/clock.h"
#include "common/settings.h"
#include "common/textfile.h"
#include "rtf/rtf.h"
#include "texted/findbar.h"
#include "texted/frmdocument.h"
#include "texted/keyboardstate.h"
#include "texted/recoverystore.h"
#include "texted/richtextbox.h"
#include "texted/textedfiles.h"
#include "texted/textstyles.h"
#include "texted/windowtiling.h"
#include "widgets/helpviewer.h"
#include "widgets/statusclock.h"
#include "widgets/windowhelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>

#include <memory>

namespace {

int s_documentCount = 0;

// The status bar panels are at least 600 twips wide.
constexpr int PanelMinWidth = 600 / 15;

QIcon toolIcon(const QString &themeName, const QString &ownName)
{
    return QIcon::fromTheme(themeName, QIcon(QStringLiteral(":/icons/texted/") + ownName + QStringLiteral(".svg")));
}

Message saveQuestion(const QString &caption)
{
    return { Message::Icon::Question, frmTextEd::tr("Quillory2: Unsaved changes"),
        frmTextEd::tr("\"%1\" has changes that are not saved.\r\n\r\nSave them before it closes?").arg(caption) };
}

} // namespace

frmTextEd::frmTextEd(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmTextEd"));
    setWindowTitle(tr("TextEd"));
    setContextMenuPolicy(Qt::NoContextMenu); // the toolbar shows and hides through the View menu only

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    m_mdiArea->setAccessibleName(tr("Documents"));
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &frmTextEd::activeDocumentChanged);

    createMenus();
    createToolBar();
    m_findBar = new FindBar(this);
    addToolBar(Qt::BottomToolBarArea, m_findBar);
    connect(m_findBar, &FindBar::closing, this, [this] {
        if (frmDocument *searched = activeDocument())
            searched->rtfText()->setFocus(Qt::OtherFocusReason);
    });
    connect(m_findBar, &FindBar::findRequested, this,
        [this](bool backward) { m_findBar->find(activeDocument() ? activeDocument()->rtfText() : nullptr, backward); });
    createStatusBar();

    m_tmrRecovery = new QTimer(this);
    m_tmrRecovery->setObjectName(QStringLiteral("tmrRecovery"));
    m_tmrRecovery->setSingleShot(true);
    m_tmrRecovery->setInterval(RecoveryDelay);
    connect(m_tmrRecovery, &QTimer::timeout, this, &frmTextEd::tmrRecovery_Timer);

    QSizeF size(Settings::readCoordinate(Key::TextEdWidth).value_or(7440),
        Settings::readCoordinate(Key::TextEdHeight).value_or(6195));
    // Never larger than the desktop (a size stored at another scale, a smaller screen).
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(QSizeF(screen->availableGeometry().size()) * TwipsPerPixel);
    resizeOuterTwips(this, size);
    restorePlacement(this, Key::TextEdLeft, Key::TextEdTop);
    qApp->installEventFilter(this);
}

frmTextEd::~frmTextEd()
{
    // Ended without an accepted close (the program ends and the window goes all the same): keep
    // what was not saved.
    if (!m_closed)
        keepRecoveryCopies();
    // The documents go after this object: their last signals must not reach it.
    qApp->removeEventFilter(this);
    m_mdiArea->disconnect(this);
    for (frmDocument *document : documents())
        document->disconnect(this);
}

int frmTextEd::documentCount()
{
    return s_documentCount;
}

void frmTextEd::resetDocumentCount()
{
    s_documentCount = 0;
}

QAction *frmTextEd::addCommand(
    QMenu *menu, const QString &name, const QString &caption, void (frmTextEd::*slot)(), const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(caption, this, slot);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

void frmTextEd::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addCommand(
        file, QStringLiteral("mnuFileNew"), tr("&New"), &frmTextEd::mnuFileNew_Click, QKeySequence(tr("Ctrl+N")));
    addCommand(
        file, QStringLiteral("mnuFileOpen"), tr("&Open..."), &frmTextEd::mnuFileOpen_Click, QKeySequence(tr("Ctrl+O")));
    addCommand(file, QStringLiteral("mnuFileClose"), tr("&Close"), &frmTextEd::mnuFileClose_Click)
        ->setShortcuts({ QKeySequence(tr("Ctrl+W")), QKeySequence(tr("Ctrl+F4")) });
    file->addSeparator();
    addCommand(
        file, QStringLiteral("mnuFileSave"), tr("&Save"), &frmTextEd::mnuFileSave_Click, QKeySequence(tr("Ctrl+S")));
    addCommand(file, QStringLiteral("mnuFileSaveAs"), tr("Save &As..."), &frmTextEd::mnuFileSaveAs_Click);
    file->addSeparator();
    addCommand(file, QStringLiteral("mnuFilePrint"), tr("&Print..."), &frmTextEd::mnuFilePrint_Click,
        QKeySequence(tr("Ctrl+P")));
    file->addSeparator();
    addCommand(file, QStringLiteral("mnuFileExit"), tr("E&xit"), &frmTextEd::mnuFileExit_Click);
    file->addSeparator();
    addCommand(file, QStringLiteral("mnuFileExportPdf"), tr("&Export as PDF..."), &frmTextEd::mnuFileExportPdf_Click);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    addCommand(
        edit, QStringLiteral("mnuEditCut"), tr("Cu&t"), &frmTextEd::mnuEditCut_Click, QKeySequence(tr("Ctrl+X")));
    addCommand(
        edit, QStringLiteral("mnuEditCopy"), tr("&Copy"), &frmTextEd::mnuEditCopy_Click, QKeySequence(tr("Ctrl+C")));
    addCommand(
        edit, QStringLiteral("mnuEditPaste"), tr("&Paste"), &frmTextEd::mnuEditPaste_Click, QKeySequence(tr("Ctrl+V")));
    edit->addSeparator();
    m_mnuEditUndo = addCommand(edit, QStringLiteral("mnuEditUndo"), tr("&Undo"), &frmTextEd::mnuEditUndo_Click);
    m_mnuEditUndo->setShortcut(QKeySequence::Undo);
    m_mnuEditRedo = addCommand(edit, QStringLiteral("mnuEditRedo"), tr("&Redo"), &frmTextEd::mnuEditRedo_Click);
    m_mnuEditRedo->setShortcuts({ QKeySequence(tr("Ctrl+Y")), QKeySequence(tr("Ctrl+Shift+Z")) });
    edit->addSeparator();
    addCommand(edit, QStringLiteral("mnuEditFind"), tr("&Find..."), &frmTextEd::mnuEditFind_Click, QKeySequence::Find);
    addCommand(edit, QStringLiteral("mnuEditFindNext"), tr("Find &Next"), &frmTextEd::mnuEditFindNext_Click,
        QKeySequence::FindNext);
    addCommand(edit, QStringLiteral("mnuEditFindPrevious"), tr("Find Pre&vious"), &frmTextEd::mnuEditFindPrevious_Click,
        QKeySequence::FindPrevious);
    connect(edit, &QMenu::aboutToShow, this, [this] {
        const RichTextBox *box = activeDocument() ? activeDocument()->rtfText() : nullptr;
        m_mnuEditUndo->setEnabled(box && box->document()->isUndoAvailable());
        m_mnuEditRedo->setEnabled(box && box->document()->isRedoAvailable());
    });
    // Shortcuts stay on while the menu is closed.
    connect(edit, &QMenu::aboutToHide, this, [this] {
        m_mnuEditUndo->setEnabled(true);
        m_mnuEditRedo->setEnabled(true);
    });

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    m_mnuViewToolbar
        = addCommand(view, QStringLiteral("mnuViewToolbar"), tr("&Toolbar"), &frmTextEd::mnuViewToolbar_Click);
    m_mnuViewStatusBar
        = addCommand(view, QStringLiteral("mnuViewStatusBar"), tr("Status &Bar"), &frmTextEd::mnuViewStatusBar_Click);
    for (QAction *item : { m_mnuViewToolbar, m_mnuViewStatusBar }) {
        item->setCheckable(true);
        item->setChecked(true);
    }

    m_mnuWindow = menuBar()->addMenu(tr("&Window"));
    m_mnuWindow->setObjectName(QStringLiteral("mnuWindow"));
    addCommand(m_mnuWindow, QStringLiteral("mnuWindowNewWindow"), tr("&New Window"), &frmTextEd::mnuFileNew_Click);
    m_mnuWindow->addSeparator();
    addCommand(m_mnuWindow, QStringLiteral("mnuWindowCascade"), tr("&Cascade"), &frmTextEd::mnuWindowCascade_Click);
    addCommand(m_mnuWindow, QStringLiteral("mnuWindowTileHorizontal"), tr("Tile &Horizontal"),
        &frmTextEd::mnuWindowTileHorizontal_Click);
    addCommand(m_mnuWindow, QStringLiteral("mnuWindowTileVertical"), tr("Tile &Vertical"),
        &frmTextEd::mnuWindowTileVertical_Click);
    addCommand(m_mnuWindow, QStringLiteral("mnuWindowArrangeIcons"), tr("&Arrange Icons"),
        &frmTextEd::mnuWindowArrangeIcons_Click);
    connect(m_mnuWindow, &QMenu::aboutToShow, this, &frmTextEd::fillWindowList);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addCommand(help, QStringLiteral("mnuHelpContents"), tr("&Contents"), &frmTextEd::mnuHelpContents_Click);
    help->addSeparator();
    addCommand(help, QStringLiteral("mnuHelpAbout"), tr("&About"), &frmTextEd::mnuHelpAbout_Click);
}

QAction *frmTextEd::addButton(
    const QString &key, const QString &themeIcon, void (frmTextEd::*slot)(), const QKeySequence &shortcut)
{
    QString ownIcon = key.toLower();
    ownIcon.remove(QLatin1Char(' '));
    QAction *button = m_tbToolBar->addAction(toolIcon(themeIcon, ownIcon), key);
    if (slot)
        connect(button, &QAction::triggered, this, slot);
    button->setObjectName(key);
    button->setToolTip(tr("%1 (%2)").arg(key, shortcut.toString(QKeySequence::NativeText)));
    m_tbToolBar->widgetForAction(button)->setAccessibleName(key); // the key is the button's shortcut
    return button;
}

void frmTextEd::createToolBar()
{
    m_tbToolBar = addToolBar(tr("Toolbar"));
    m_tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_tbToolBar->setMovable(false);
    m_tbToolBar->setFloatable(false);
    // The file and clipboard buttons show the keys of their menu commands.
    const auto menuKey = [this](const char *name) { return findChild<QAction *>(QLatin1String(name))->shortcut(); };
    addButton(tr("New"), QStringLiteral("document-new"), &frmTextEd::mnuFileNew_Click, menuKey("mnuFileNew"));
    addButton(tr("Open"), QStringLiteral("document-open"), &frmTextEd::mnuFileOpen_Click, menuKey("mnuFileOpen"));
    addButton(tr("Save"), QStringLiteral("document-save"), &frmTextEd::mnuFileSave_Click, menuKey("mnuFileSave"));
    m_tbToolBar->addSeparator();
    addButton(tr("Print"), QStringLiteral("document-print"), &frmTextEd::mnuFilePrint_Click, menuKey("mnuFilePrint"));
    m_tbToolBar->addSeparator();
    addButton(tr("Cut"), QStringLiteral("edit-cut"), &frmTextEd::mnuEditCut_Click, menuKey("mnuEditCut"));
    addButton(tr("Copy"), QStringLiteral("edit-copy"), &frmTextEd::mnuEditCopy_Click, menuKey("mnuEditCopy"));
    addButton(tr("Paste"), QStringLiteral("edit-paste"), &frmTextEd::mnuEditPaste_Click, menuKey("mnuEditPaste"));
    m_tbToolBar->addSeparator();

    // The formatting buttons have keys of their own, which work while the toolbar is hidden.
    const QKeySequence bold(QKeySequence::Bold), italic(QKeySequence::Italic), underline(QKeySequence::Underline);
    const QKeySequence left(tr("Ctrl+L")), center(tr("Ctrl+E")), right(tr("Ctrl+R"));
    // These run when their state flips, which a click, their key and a screen reader's "toggle" all do.
    m_tbBold = addButton(tr("Bold"), QStringLiteral("format-text-bold"), nullptr, bold);
    m_tbItalic = addButton(tr("Italic"), QStringLiteral("format-text-italic"), nullptr, italic);
    m_tbUnderline = addButton(tr("Underline"), QStringLiteral("format-text-underline"), nullptr, underline);
    m_tbToolBar->addSeparator();
    const std::pair<QAction *, QKeySequence> keys[] = { { m_tbBold, bold }, { m_tbItalic, italic },
        { m_tbUnderline, underline },
        { addButton(tr("Align Left"), QStringLiteral("format-justify-left"), &frmTextEd::tbAlignLeft_Click, left),
            left },
        { addButton(tr("Center"), QStringLiteral("format-justify-center"), &frmTextEd::tbCenter_Click, center),
            center },
        { addButton(tr("Align Right"), QStringLiteral("format-justify-right"), &frmTextEd::tbAlignRight_Click, right),
            right } };
    for (const auto &[button, key] : keys) {
        button->setShortcut(key);
        addAction(button);
    }
    const std::pair<QAction *, void (frmTextEd::*)()> styles[] = { { m_tbBold, &frmTextEd::tbBold_Click },
        { m_tbItalic, &frmTextEd::tbItalic_Click }, { m_tbUnderline, &frmTextEd::tbUnderline_Click } };
    for (const auto &[button, slot] : styles) {
        button->setCheckable(true);
        connect(button, &QAction::toggled, this, [this, slot = slot] {
            if (!m_showingStyle)
                (this->*slot)();
        });
        // The button's own state, flipped by a screen reader, reaches the action.
        auto *widget = qobject_cast<QAbstractButton *>(m_tbToolBar->widgetForAction(button));
        connect(widget, &QAbstractButton::toggled, button, &QAction::setChecked);
    }
}

void frmTextEd::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar1"));
    bar->setSizeGripEnabled(false);
    const auto panel = [bar](const QString &name, const QString &description) {
        auto *label = new QLabel(bar);
        label->setObjectName(name);
        label->setAccessibleDescription(description); // the value itself is the label's text
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(PanelMinWidth);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addPermanentWidget(label, 1);
        return label;
    };
    m_sbrDate = panel(QStringLiteral("sbrDate"), tr("Date"));
    m_sbrTime = panel(QStringLiteral("sbrTime"), tr("Time"));
    m_sbrIns = panel(QStringLiteral("sbrIns"), tr("Insert or overwrite"));
    m_sbrCaps = panel(QStringLiteral("sbrCaps"), tr("Caps Lock, dimmed when off"));
    m_sbrNum = panel(QStringLiteral("sbrNum"), tr("Num Lock, dimmed when off"));
    m_sbrCaps->setText(tr("CAPS"));
    m_sbrNum->setText(tr("NUM"));
    m_sbrIns->setText(tr("INS"));

    new StatusClock(this, m_sbrTime, m_sbrDate);
    showKeyStates();
}

void frmTextEd::showKeyStates()
{
    m_sbrIns->setText(m_overwrite ? tr("OVR") : tr("INS"));
    const std::optional<KeyboardState::Locks> locks = KeyboardState::locks();
    m_sbrCaps->setEnabled(locks && locks->capsLock);
    m_sbrNum->setEnabled(locks && locks->numLock);
}

void frmTextEd::toggleInsertMode()
{
    m_overwrite = !m_overwrite;
    for (frmDocument *document : documents())
        document->rtfText()->setOverwriteMode(m_overwrite);
    showKeyStates();
}

// A maximised document window writes its caption into the frame's title, and puts back the title it
// found when it is restored: the frame's own follows.
void frmTextEd::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && !m_showingTitle)
        QMetaObject::invokeMethod(this, &frmTextEd::showTitle, Qt::QueuedConnection);
}

bool frmTextEd::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock)
            showKeyStates();
    } else if (watched == this && event->type() == QEvent::WindowActivate) {
        showKeyStates();
    }
    return QMainWindow::eventFilter(watched, event);
}

// Documents

frmDocument *frmTextEd::lastDocument() const
{
    return m_lastDocument;
}

frmDocument *frmTextEd::activeDocument() const
{
    return qobject_cast<frmDocument *>(m_mdiArea->currentSubWindow());
}

QList<frmDocument *> frmTextEd::documents() const
{
    QList<frmDocument *> result;
    const auto windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *window : windows) {
        if (auto *document = qobject_cast<frmDocument *>(window))
            result.append(document);
    }
    return result;
}

frmDocument *frmTextEd::NewDocument()
{
    ++s_documentCount;
    auto *document = new frmDocument;
    document->setCaption(tr("Document %1").arg(s_documentCount));
    document->rtfText()->setOverwriteMode(m_overwrite);
    document->setCloseQuestion([this](frmDocument *closing) {
        const bool mayClose = maySaveBeforeClosing(closing);
        if (mayClose && Dialogs::canAsk()) // saved, or its changes discarded
            dropRecoveryCopy(closing);
        return mayClose;
    });
    connect(document->rtfText(), &RichTextBox::insertKeyPressed, this, &frmTextEd::toggleInsertMode);
    connect(document, &frmDocument::edited, this, [this] {
        if (!m_tmrRecovery->isActive())
            m_tmrRecovery->start();
    });
    connect(document, &frmDocument::modificationChanged, this, [this, document](bool modified) {
        if (!modified) // saved: the file holds what the copy held
            dropRecoveryCopy(document);
        showTitle();
    });
    connect(document, &QWidget::windowTitleChanged, this, &frmTextEd::showTitle);
    // A document window clears the frame's "*" as it goes.
    connect(document, &QObject::destroyed, this, &frmTextEd::showTitle, Qt::QueuedConnection);
    m_mdiArea->addSubWindow(document);
    placeNewDocument(document);
    m_lastDocument = document;
    document->show();
    m_mdiArea->setActiveSubWindow(document);
    document->rtfText()->setFocus();
    return document;
}

// New documents cascade from the top left corner, each one title bar further, and start again at the
// corner when the next step would leave the frame.
void frmTextEd::placeNewDocument(frmDocument *document)
{
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size = area.width() > 100 && area.height() > 100 ? area * 3 / 4 : document->sizeHint();
    const int step = document->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, document) + 4;
    const int steps
        = std::max(1, std::min((area.width() - size.width()) / step, (area.height() - size.height()) / step) + 1);
    const int index = int(m_mdiArea->subWindowList().size() - 1) % steps;
    document->setGeometry(index * step, index * step, size.width(), size.height());
}

void frmTextEd::LoadFromQuickNotes(const QString &text)
{
    frmDocument *document = NewDocument();
    document->rtfText()->setPlainText(text);
    document->document()->setModified(!text.isEmpty()); // held nowhere as a file yet
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void frmTextEd::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (s_documentCount == 0)
        NewDocument();
    if (!RecoveryStore().copies().isEmpty())
        QMetaObject::invokeMethod(this, &frmTextEd::offerRecoveryCopies, Qt::QueuedConnection);
}

frmDocument *frmTextEd::documentOfFile(const QString &path) const
{
    const auto identity = [](const QString &file) {
        const QFileInfo info(file);
        return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    };
    const QString wanted = identity(path);
    for (frmDocument *document : documents()) {
        if (!document->filePath().isEmpty() && identity(document->filePath()) == wanted)
            return document;
    }
    return nullptr;
}

frmDocument *frmTextEd::openFile(const QString &path)
{
    if (frmDocument *open = documentOfFile(path)) { // two windows on one file would save over each other
        if (open->isMinimized())
            open->showNormal();
        m_mdiArea->setActiveSubWindow(open);
        return open;
    }
    const TextEdFiles::FileStamp stamp = TextEdFiles::stampOf(path);
    Message failure;
    const std::optional<QByteArray> bytes = TextEdFiles::readFile(path, &failure, [this, &path](qint64 size) {
        return Dialogs::ask(TextEdFiles::largeFileQuestion(path, size), this, Dialogs::Default::No);
    });
    if (!bytes) {
        if (failure != Message()) // else the user chose not to open a large file
            Dialogs::show(failure, this);
        return nullptr;
    }
    const bool isRtf = Rtf::isRtf(*bytes);
    std::optional<QString> text;
    if (!isRtf) {
        text = TextEdFiles::plainText(*bytes);
        if (!text) {
            Dialogs::show(TextEdFiles::notTextMessage(path), this);
            return nullptr;
        }
    }
    // Read away from the screen, then shown at once.
    auto *read = new QTextDocument;
    Rtf::ReadInfo info;
    if (isRtf) {
        Rtf::read(*bytes, read, &info);
    } else {
        read->setDefaultFont(frmDocument::defaultFont());
        read->setPlainText(*text);
    }
    frmDocument *document = NewDocument();
    document->setDocument(read);
    document->rtfText()->moveCursor(QTextCursor::Start);
    document->document()->setModified(false);
    document->setFilePath(QFileInfo(path).absoluteFilePath());
    document->setFilterIndex(TextEdFiles::filterOfOpenedFile(path, isRtf));
    document->setDiskStamp(stamp);
    if (info.lostContent() || info.truncated)
        Dialogs::show(TextEdFiles::partsLeftOutMessage(path, info.truncated), this);
    return document;
}

// The folder of the file last chosen, else the user's documents.
QString frmTextEd::startFolder() const
{
    if (!m_lastFileName.isEmpty())
        return QFileInfo(m_lastFileName).absolutePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

std::optional<Dialogs::FileChoice> frmTextEd::AskSaveFileName(frmDocument *document)
{
    Dialogs::FileRequest request { Dialogs::FileRequest::Mode::Save, tr("Save"), TextEdFiles::dialogFilters(),
        m_lastFileName, m_filterIndex, startFolder() };
    if (document && document->filterIndex() > 0)
        request.filterIndex = document->filterIndex();
    if (document && !document->filePath().isEmpty())
        request.fileName = document->filePath();
    std::optional<Dialogs::FileChoice> choice = Dialogs::chooseFile(request, this);
    if (!choice)
        return std::nullopt;
    m_lastFileName = choice->fileName;
    m_filterIndex = choice->filterIndex;
    return choice;
}

bool frmTextEd::SaveDocumentFile(frmDocument *document, const QString &fileName, int filterIndex)
{
    if (const frmDocument *other = documentOfFile(fileName); other && other != document) {
        Dialogs::show(TextEdFiles::openElsewhereMessage(fileName), this);
        return false;
    }
    const QByteArray bytes = TextEdFiles::formatOfFilter(filterIndex) == TextEdFiles::Format::Rtf
        ? Rtf::write(*document->document())
        : TextEdFiles::plainTextBytes(document->document()->toRawText());
    QString error;
    if (!WriteFileBytes(fileName, bytes, &error)) {
        Dialogs::show(Dialogs::writeFailedMessage(fileName, error), this);
        return false;
    }
    document->setDiskStamp(TextEdFiles::stampOf(fileName));
    document->document()->setModified(false);
    return true;
}

bool frmTextEd::saveDocument(frmDocument *document)
{
    const QString path = document->filePath();
    if (!path.isEmpty() && TextEdFiles::changedSince(document->diskStamp(), path)) {
        const bool replace = Dialogs::ask(TextEdFiles::changedOnDiskQuestion(path), this, Dialogs::Default::No);
        return replace ? SaveDocumentFile(document, path, document->filterIndex()) : saveDocumentAs(document);
    }
    if (!path.isEmpty())
        return SaveDocumentFile(document, path, document->filterIndex());
    // A document without a file is asked for a name each time and keeps its caption.
    const std::optional<Dialogs::FileChoice> choice = AskSaveFileName(document);
    if (!choice)
        return false;
    document->setFilterIndex(choice->filterIndex);
    return SaveDocumentFile(document, choice->fileName, choice->filterIndex);
}

bool frmTextEd::saveDocumentAs(frmDocument *document)
{
    const std::optional<Dialogs::FileChoice> choice = AskSaveFileName(document);
    if (!choice)
        return false;
    if (!SaveDocumentFile(document, choice->fileName, choice->filterIndex))
        return false;
    document->setFilePath(QFileInfo(choice->fileName).absoluteFilePath());
    document->setFilterIndex(choice->filterIndex);
    return true;
}

bool frmTextEd::maySaveBeforeClosing(frmDocument *document)
{
    if (!document->isModified())
        return true;
    if (!Dialogs::canAsk()) {
        keepRecoveryCopies();
        return true;
    }
    m_mdiArea->setActiveSubWindow(document);
    const Dialogs::Choice choice = Dialogs::askSave(saveQuestion(document->caption()), this); // Cancel at an ending
    switch (choice) {
    case Dialogs::Choice::Save: return saveDocument(document);
    case Dialogs::Choice::Discard: return true;
    case Dialogs::Choice::Cancel: break;
    }
    return false;
}

void frmTextEd::closeEvent(QCloseEvent *event)
{
    if (Dialogs::canAsk()) {
        const QList<frmDocument *> open = documents();
        for (frmDocument *document : open) {
            if (maySaveBeforeClosing(document))
                continue;
            event->ignore();
            return;
        }
        if (Dialogs::canAsk()) { // each one saved, or its changes discarded
            for (frmDocument *document : open)
                dropRecoveryCopy(document);
        }
    } else {
        keepRecoveryCopies();
    }
    if (!isMinimized()) {
        savePlacement(this, Key::TextEdLeft, Key::TextEdTop);
        const QSizeF size = outerSizeTwips(this);
        Settings::saveCoordinate(Key::TextEdWidth, size.width());
        Settings::saveCoordinate(Key::TextEdHeight, size.height());
    }
    m_closed = true;
    event->accept();
}

// Recovery copies

void frmTextEd::tmrRecovery_Timer()
{
    QString error;
    if (!keepRecoveryCopies(&error))
        statusBar()->showMessage(tr("The recovery copy could not be written: %1").arg(error));
}

// Every edited document that changed since its last copy; false (and the first reason) when a copy
// could not be written: that document stays due and is tried again after its next change.
bool frmTextEd::keepRecoveryCopies(QString *error)
{
    RecoveryStore store;
    bool written = true;
    for (frmDocument *document : documents()) {
        if (!document->isModified() || (!document->isRecoveryDue() && !document->recoveryCopy().isEmpty()))
            continue;
        RecoveryStore::Copy copy { document->recoveryCopy(), document->filePath(), document->filterIndex(),
            document->diskStamp() };
        QString reason;
        if (store.keep(copy, Rtf::write(*document->document()), &reason)) {
            document->setRecoveryCopy(copy.fileName);
            document->setRecoveryDue(false);
        } else if (written) {
            written = false;
            if (error)
                *error = reason;
        }
    }
    return written;
}

void frmTextEd::dropRecoveryCopy(frmDocument *document)
{
    if (document->recoveryCopy().isEmpty())
        return;
    if (RecoveryStore().remove(RecoveryStore::Copy { document->recoveryCopy(), QString(), 0, {} }))
        document->setRecoveryCopy(QString());
}

void frmTextEd::offerRecoveryCopies()
{
    RecoveryStore store;
    const QList<RecoveryStore::Copy> copies = store.copies();
    if (copies.isEmpty() || !Dialogs::canAsk())
        return;
    const Message offer { Message::Icon::Question, tr("Quillory2: Documents kept"),
        copies.size() == 1
            ? tr("When Quillory2 last ended, a TextEd document had changes that were not saved. It was kept.\r\n\r\n"
                 "Open it now?\r\n\r\nIf you answer No, it stays in the folder %1 and is offered again the next "
                 "time TextEd opens.")
                  .arg(QDir::toNativeSeparators(store.folder()))
            : tr("When Quillory2 last ended, %1 TextEd documents had changes that were not saved. They were kept."
                 "\r\n\r\nOpen them now?\r\n\r\nIf you answer No, they stay in the folder %2 and are offered "
                 "again the next time TextEd opens.")
                  .arg(copies.size())
                  .arg(QDir::toNativeSeparators(store.folder())) };
    if (!Dialogs::ask(offer, this))
        return;
    QStringList unreadable;
    for (const RecoveryStore::Copy &copy : copies) {
        if (!openRecoveryCopy(store, copy))
            unreadable.append(copy.fileName);
    }
    if (!unreadable.isEmpty())
        Dialogs::show(TextEdFiles::unreadableCopiesMessage(store.folder(), unreadable), this);
}

// The copy becomes an edited document that keeps it until it is saved or its changes are discarded.
bool frmTextEd::openRecoveryCopy(const RecoveryStore &store, const RecoveryStore::Copy &copy)
{
    const std::optional<QByteArray> bytes = store.read(copy);
    auto read = std::make_unique<QTextDocument>();
    if (!bytes || !Rtf::read(*bytes, read.get()))
        return false;
    frmDocument *document = NewDocument();
    document->setDocument(read.release());
    if (!copy.path.isEmpty())
        document->setFilePath(copy.path);
    document->setFilterIndex(copy.filterIndex);
    document->setDiskStamp(copy.stamp);
    document->setRecoveryCopy(copy.fileName);
    document->document()->setModified(true);
    return true;
}

// Commands

void frmTextEd::mnuFileNew_Click()
{
    NewDocument();
}

void frmTextEd::mnuFileOpen_Click()
{
    const Dialogs::FileRequest request { Dialogs::FileRequest::Mode::Open, tr("Open"), TextEdFiles::dialogFilters(),
        QString(), m_filterIndex, startFolder() };
    const std::optional<Dialogs::FileChoice> choice = Dialogs::chooseFile(request, this);
    if (!choice)
        return;
    m_lastFileName = choice->fileName;
    m_filterIndex = choice->filterIndex;
    openFile(choice->fileName);
}

void frmTextEd::mnuFileClose_Click()
{
    if (frmDocument *document = activeDocument())
        document->close();
}

void frmTextEd::mnuFileSave_Click()
{
    if (frmDocument *document = activeDocument())
        saveDocument(document);
}

void frmTextEd::mnuFileSaveAs_Click()
{
    if (frmDocument *document = activeDocument())
        saveDocumentAs(document);
}

void frmTextEd::mnuFilePrint_Click()
{
    frmDocument *document = activeDocument();
    if (!document)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document->caption());
    if (!Dialogs::choosePrinter(printer, document->rtfText()->textCursor().hasSelection(), this))
        return;
    document->rtfText()->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        Dialogs::show(TextEdFiles::printFailedMessage(printer.printerName()), this);
}

void frmTextEd::mnuFileExit_Click()
{
    close();
}

void frmTextEd::mnuFileExportPdf_Click()
{
    frmDocument *document = activeDocument();
    if (!document)
        return;
    const QString suggested = document->filePath().isEmpty()
        ? QString()
        : QFileInfo(document->filePath()).dir().filePath(QFileInfo(document->filePath()).completeBaseName() + u".pdf");
    const Dialogs::FileRequest request { Dialogs::FileRequest::Mode::Save, tr("Export as PDF"),
        { tr("PDF File (*.pdf)") }, suggested, 1, startFolder() };
    const std::optional<Dialogs::FileChoice> choice = Dialogs::chooseFile(request, this);
    if (!choice)
        return;
    const QString fileName = TextEdFiles::withPdfEnding(choice->fileName);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setDocName(document->caption());
    document->document()->print(&printer);
    if (printer.printerState() == QPrinter::Error || !QFileInfo::exists(fileName))
        Dialogs::show(Dialogs::writeFailedMessage(fileName, tr("The PDF file could not be written.")), this);
}

void frmTextEd::mnuEditCut_Click()
{
    if (frmDocument *document = activeDocument())
        document->rtfText()->cut();
}

void frmTextEd::mnuEditCopy_Click()
{
    if (frmDocument *document = activeDocument())
        document->rtfText()->copy();
}

void frmTextEd::mnuEditPaste_Click()
{
    if (frmDocument *document = activeDocument())
        document->rtfText()->paste();
}

void frmTextEd::mnuEditUndo_Click()
{
    if (frmDocument *document = activeDocument())
        document->rtfText()->undo();
}

void frmTextEd::mnuEditRedo_Click()
{
    if (frmDocument *document = activeDocument())
        document->rtfText()->redo();
}

void frmTextEd::mnuEditFind_Click()
{
    frmDocument *document = activeDocument();
    m_findBar->open(document ? document->rtfText()->textCursor().selectedText() : QString());
}

void frmTextEd::mnuEditFindNext_Click()
{
    if (m_findBar->text().isEmpty())
        mnuEditFind_Click();
    else
        m_findBar->find(activeDocument() ? activeDocument()->rtfText() : nullptr, false);
}

void frmTextEd::mnuEditFindPrevious_Click()
{
    if (m_findBar->text().isEmpty())
        mnuEditFind_Click();
    else
        m_findBar->find(activeDocument() ? activeDocument()->rtfText() : nullptr, true);
}

void frmTextEd::mnuViewToolbar_Click()
{
    m_tbToolBar->setVisible(m_mnuViewToolbar->isChecked());
}

void frmTextEd::mnuViewStatusBar_Click()
{
    statusBar()->setVisible(m_mnuViewStatusBar->isChecked());
}

void frmTextEd::mnuWindowCascade_Click()
{
    m_mdiArea->cascadeSubWindows();
}

void frmTextEd::mnuWindowTileHorizontal_Click()
{
    QList<frmDocument *> open;
    for (frmDocument *document : documents()) {
        if (!document->isMinimized())
            open.append(document);
    }
    const QList<QRect> places = WindowTiling::aboveEachOther(m_mdiArea->viewport()->rect(), int(open.size()));
    for (qsizetype i = 0; i < open.size(); ++i) {
        open[i]->showNormal();
        open[i]->setGeometry(places[i]);
    }
}

void frmTextEd::mnuWindowTileVertical_Click()
{
    QList<frmDocument *> open;
    for (frmDocument *document : documents()) {
        if (!document->isMinimized())
            open.append(document);
    }
    const QList<QRect> places = WindowTiling::sideBySide(m_mdiArea->viewport()->rect(), int(open.size()));
    for (qsizetype i = 0; i < open.size(); ++i) {
        open[i]->showNormal();
        open[i]->setGeometry(places[i]);
    }
}

void frmTextEd::mnuWindowArrangeIcons_Click()
{
    QList<frmDocument *> minimised;
    for (frmDocument *document : documents()) {
        if (document->isMinimized())
            minimised.append(document);
    }
    if (minimised.isEmpty())
        return;
    const QList<QPoint> places
        = WindowTiling::iconPositions(m_mdiArea->viewport()->rect(), minimised.first()->size(), int(minimised.size()));
    for (qsizetype i = 0; i < minimised.size(); ++i)
        minimised[i]->move(places[i]);
}

void frmTextEd::fillWindowList()
{
    qDeleteAll(m_windowList);
    m_windowList.clear();
    const QList<frmDocument *> open = documents();
    if (open.isEmpty())
        return;
    m_windowList.append(m_mnuWindow->addSeparator());
    const frmDocument *active = activeDocument();
    for (qsizetype i = 0; i < open.size(); ++i) {
        frmDocument *document = open[i];
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QString::number(i + 1);
        QAction *item = m_mnuWindow->addAction(number + u' ' + document->caption());
        item->setObjectName(QStringLiteral("mnuWindowList%1").arg(i));
        item->setCheckable(true);
        item->setChecked(document == active);
        connect(item, &QAction::triggered, this, [this, guard = QPointer<frmDocument>(document)] {
            if (guard) {
                if (guard->isMinimized())
                    guard->showNormal();
                m_mdiArea->setActiveSubWindow(guard);
            }
        });
        m_windowList.append(item);
    }
}

void frmTextEd::activeDocumentChanged()
{
    if (frmDocument *document = activeDocument())
        document->rtfText()->setFocus();
    showTitle();
}

// The frame names the active document, with a "*" while it has unsaved changes.
void frmTextEd::showTitle()
{
    const QScopedValueRollback showing(m_showingTitle, true);
    const frmDocument *document = activeDocument();
    // A maximised document adds " - [its caption]" itself.
    const bool named = document && !document->isMaximized();
    setWindowTitle(named ? tr("TextEd - %1").arg(document->windowTitle()) : tr("TextEd"));
    setWindowModified(document && document->isModified());
}

void frmTextEd::mnuHelpContents_Click()
{
    ShowHelpTopic(this, HelpContext, HelpTopic::TextEd);
}

void frmTextEd::mnuHelpAbout_Click()
{
    Dialogs::show({ Message::Icon::Information, QStringLiteral("Quillory2"),
                      tr("Version %1.%2.%3").arg(QY2_VERSION_MAJOR).arg(QY2_VERSION_MINOR).arg(QY2_VERSION_PATCH) },
        this);
}

void frmTextEd::toggleStyle(QAction *button, int style)
{
    frmDocument *document = activeDocument();
    const QScopedValueRollback showing(m_showingStyle, true);
    if (!document) { // nothing to format: the button keeps its state
        button->setChecked(!button->isChecked());
        return;
    }
    button->setChecked(TextStyles::toggle(*document->rtfText(), TextStyles::Style(style)));
}

void frmTextEd::tbBold_Click()
{
    toggleStyle(m_tbBold, int(TextStyles::Style::Bold));
}

void frmTextEd::tbItalic_Click()
{
    toggleStyle(m_tbItalic, int(TextStyles::Style::Italic));
}

void frmTextEd::tbUnderline_Click()
{
    toggleStyle(m_tbUnderline, int(TextStyles::Style::Underline));
}

void frmTextEd::align(Qt::Alignment alignment)
{
    if (frmDocument *document = activeDocument())
        document->rtfText()->setAlignment(alignment);
}

void frmTextEd::tbAlignLeft_Click()
{
    align(Qt::AlignLeft);
}

void frmTextEd::tbCenter_Click()
{
    align(Qt::AlignHCenter);
}

void frmTextEd::tbAlignRight_Click()
{
    align(Qt::AlignRight);
}
