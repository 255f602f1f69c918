#include "quicknotes/frmquicknotes.h"

#include "common/clock.h"
#include "common/documenttext.h"
#include "common/settings.h"
#include "common/syncfiles.h"
#include "common/textfile.h"
#include "quicknotes/todolists.h"
#include "widgets/accessiblenames.h"
#include "widgets/dialogs.h"
#include "widgets/helpviewer.h"
#include "widgets/statusclock.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <cmath>
#include <utility>

namespace {

int px(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

QRect twipsRect(double left, double top, double width, double height)
{
    return { px(left), px(top), px(width), px(height) };
}

QIcon noteIcon(const char *name)
{
    return QIcon(QStringLiteral(":/icons/quicknotes/%1.svg").arg(QLatin1String(name)));
}

constexpr int FontSizes[] = { 8, 10, 12, 14 };

// The pad trades plain text only with the clipboard, by menu and by keyboard alike.
class PadEdit final : public QTextEdit
{
public:
    using QTextEdit::QTextEdit;

protected:
    QMimeData *createMimeDataFromSelection() const override
    {
        auto *plain = new QMimeData;
        plain->setText(fromDocumentText(textCursor().selectedText())); // no-break spaces stay
        return plain;
    }
};

} // namespace

frmQuickNotes::frmQuickNotes(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_watch(new FileWatch(this))
{
    setObjectName(QStringLiteral("frmQuickNotes"));
    setWindowTitle(tr("QuickNotes"));
    createControls();
    createEditMenu();
    setKeyboardOrder();

    resizeOuterTwips(this,
        QSizeF(Settings::readCoordinate(Key::NotesWidth).value_or(DefaultWidthTwips),
            Settings::readCoordinate(Key::NotesHeight).value_or(DefaultHeightTwips)));
    restorePlacement(this, Key::NotesLeft, Key::NotesTop);
    bindKeepOnTop(m_chkOnTop, this, Key::NotesOnTop);
    FillToDoTitles();
    ShowDefaultTemplate();
    tickFontSize();
    m_txtMain->setFocus();

    new StatusClock(this, m_panelTime, m_panelDate);

    connect(m_watch, &FileWatch::touched, this, &frmQuickNotes::takeChangesFromDisk);
    m_draftTimer.setSingleShot(true);
    m_draftTimer.setInterval(DraftDelayMs);
    connect(&m_draftTimer, &QTimer::timeout, this, &frmQuickNotes::tmrDraft_Timer);
    connect(m_txtMain->document(), &QTextDocument::contentsChanged, this, [this] {
        if (isPadEdited())
            m_draftTimer.start(); // restarted by every edit
    });
}

void frmQuickNotes::createControls()
{
    m_Toolbar2 = createToolbar("Toolbar2");
    const auto button = [this](const char *key, const char *icon, const QString &toolTip) {
        QAction *action = m_Toolbar2->addAction(noteIcon(icon), toolTip);
        action->setObjectName(QLatin1String(key));
        action->setToolTip(toolTip);
        // Run from the event loop: the command may ask, and the program may end while it asks.
        connect(
            action, &QAction::triggered, this, [this, key] { Toolbar2_ButtonClick(QLatin1String(key)); },
            Qt::QueuedConnection);
        return action;
    };
    m_btnLoad = button("btnLoad", "load", tr("Load Selected Item"));
    m_btnSave = button("btnSave", "save", tr("Save Selected Item"));
    m_btnTextEd = button("btnTextEd", "texted", tr("Open Item In TextEd"));
    m_btnClear = button("btnClear", "clear", tr("Clear Text Window"));
    m_btnLoad->setShortcut(QKeySequence::Open);
    m_btnSave->setShortcut(QKeySequence::Save);
    nameToolBarButtons(m_Toolbar2);

    m_Toolbar5 = createToolbar("Toolbar5");
    m_Toolbar5->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_btnHelp = m_Toolbar5->addAction(tr("Help"));
    m_btnHelp->setObjectName(QStringLiteral("btnHelp"));
    m_btnHelp->setShortcut(QKeySequence::HelpContents);
    connect(m_btnHelp, &QAction::triggered, this, &frmQuickNotes::Help, Qt::QueuedConnection);
    nameToolBarButtons(m_Toolbar5);

    m_chkOnTop = new QCheckBox(this);
    m_chkOnTop->setObjectName(QStringLiteral("chkOnTop"));
    m_chkOnTop->setToolTip(tr("Keep On Top"));
    nameFromToolTip(m_chkOnTop);

    m_cboToDo = new QComboBox(this);
    m_cboToDo->setObjectName(QStringLiteral("cboToDo"));
    m_cboToDo->setEditable(false);
    m_cboToDo->setAccessibleName(tr("ToDo List"));
    QFont listFont = font();
    listFont.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif") });
    listFont.setStyleHint(QFont::SansSerif);
    listFont.setPointSizeF(8.25);
    listFont.setBold(true);
    m_cboToDo->setFont(listFont);
    // Queued: a change of title may ask about the pad, which must not happen inside the list's own signal.
    connect(m_cboToDo, &QComboBox::currentIndexChanged, this, &frmQuickNotes::cboToDo_Click, Qt::QueuedConnection);

    m_txtMain = new PadEdit(this);
    m_txtMain->setObjectName(QStringLiteral("txtMain"));
    m_txtMain->setAcceptRichText(false);
    m_txtMain->setTabChangesFocus(true);
    m_txtMain->setAccessibleName(tr("Note"));
    QFont padFont = font();
    padFont.setFamilies({ QStringLiteral("Times New Roman") });
    padFont.setStyleHint(QFont::Serif);
    padFont.setPointSizeF(PadPointSize);
    m_txtMain->setFont(padFont);
    m_txtMain->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_txtMain, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { txtMain_MouseDown(m_txtMain->viewport()->mapToGlobal(pos)); });
    // The Menu key opens it by itself; Shift+F10 too, at the text cursor.
    auto *menuKey
        = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_txtMain, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this,
        [this] { txtMain_MouseDown(m_txtMain->viewport()->mapToGlobal(m_txtMain->cursorRect().bottomLeft())); });

    m_StatusBar1 = new QStatusBar(this);
    m_StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_panelDate = new QLabel;
    m_panelDate->setObjectName(QStringLiteral("panelDate"));
    m_panelTime = new QLabel;
    m_panelTime->setObjectName(QStringLiteral("panelTime"));
    for (QLabel *panel : { m_panelDate, m_panelTime }) {
        panel->setAlignment(Qt::AlignCenter);
        m_StatusBar1->addPermanentWidget(panel, 1);
    }

    m_Toolbar2->setGeometry(twipsRect(0, 0, 1485, 315));
    m_Toolbar5->setGeometry(twipsRect(1560, 0, 735, 315));
    m_chkOnTop->setGeometry(twipsRect(2400, 0, 255, 285));
    m_cboToDo->setGeometry(twipsRect(0, 360, 2640, 315));
    m_txtMain->setGeometry(twipsRect(0, PadTopTwips, 2640, 3315));
    m_StatusBar1->raise();
}

QToolBar *frmQuickNotes::createToolbar(const char *name)
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(QLatin1String(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setSpacing(0);
    return bar;
}

void frmQuickNotes::createEditMenu()
{
    m_mnuEditQP = new QMenu(this);
    m_mnuEditQP->setObjectName(QStringLiteral("mnuEditQP"));
    const auto item = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    m_itmCutQP = item(m_mnuEditQP, "itmCutQP", tr("Cu&t"));
    connect(m_itmCutQP, &QAction::triggered, m_txtMain, &QTextEdit::cut);
    m_itmCopyQP = item(m_mnuEditQP, "itmCopyQP", tr("&Copy"));
    connect(m_itmCopyQP, &QAction::triggered, m_txtMain, &QTextEdit::copy);
    m_itmPasteQP = item(m_mnuEditQP, "itmPasteQP", tr("&Paste"));
    connect(m_itmPasteQP, &QAction::triggered, m_txtMain, &QTextEdit::paste);
    m_mnuEditQP->addSeparator()->setObjectName(QStringLiteral("sepQP1"));

    QMenu *sizes = m_mnuEditQP->addMenu(tr("&Font Size"));
    sizes->setObjectName(QStringLiteral("itmFontSizeMenuQP"));
    // Ticks, not radio marks: the items untick and tick themselves (itmFontSizeQP_Click).
    m_fontSizes = new QActionGroup(this);
    m_fontSizes->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (int size : FontSizes) {
        QAction *action
            = item(sizes, qPrintable(QStringLiteral("itmFontSizeQP%1").arg(size)), tr("%1 point").arg(size));
        action->setCheckable(true);
        action->setData(size);
        m_fontSizes->addAction(action);
        connect(action, &QAction::triggered, this, [this, size] { itmFontSizeQP_Click(size); });
    }

    QMenu *toDo = m_mnuEditQP->addMenu(tr("&ToDo List"));
    toDo->setObjectName(QStringLiteral("itmToDoListMenu"));
    m_itmToDo[0] = item(toDo, "itmToDo0", tr("&Load my template"));
    m_itmToDo[1] = item(toDo, "itmToDo1", tr("&Save my template"));
    m_itmToDo[2] = toDo->addSeparator();
    m_itmToDo[2]->setObjectName(QStringLiteral("itmToDo2"));
    m_itmToDo[3] = item(toDo, "itmToDo3", tr("&Default template"));
    for (int index : { 0, 1, 3 }) {
        connect(
            m_itmToDo[size_t(index)], &QAction::triggered, this, [this, index] { itmToDo_Click(index); },
            Qt::QueuedConnection);
    }

    m_mnuEditQP->addSeparator()->setObjectName(QStringLiteral("sepQP2"));
    m_itmSelAllQP = item(m_mnuEditQP, "itmSelAllQP", tr("Select &All"));
    connect(m_itmSelAllQP, &QAction::triggered, m_txtMain, &QTextEdit::selectAll);

    m_mnuEditQP->addSeparator()->setObjectName(QStringLiteral("sepQP3"));
    m_itmRemindMeQP = item(m_mnuEditQP, "itmRemindMeQP", tr("&Remind me"));
    m_itmRemindMeQP->setShortcut(Qt::CTRL | Qt::Key_R);
    m_itmRemindMeQP->setShortcutContext(Qt::WidgetShortcut);
    m_txtMain->addAction(m_itmRemindMeQP); // the key works in the pad without the menu
    connect(m_itmRemindMeQP, &QAction::triggered, this, &frmQuickNotes::remindMe);
}

// Tab goes through the list, the pad, the toolbar buttons and the keep-on-top box.
void frmQuickNotes::setKeyboardOrder()
{
    QList<QWidget *> order = { m_cboToDo, m_txtMain };
    for (QToolBar *bar : { m_Toolbar2, m_Toolbar5 }) {
        const auto actions = bar->actions();
        for (QAction *action : actions) {
            QWidget *button = bar->widgetForAction(action);
            button->setFocusPolicy(Qt::TabFocus);
            order.append(button);
        }
    }
    order.append(m_chkOnTop);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void frmQuickNotes::FillToDoTitles()
{
    {
        const QSignalBlocker quiet(m_cboToDo);
        m_cboToDo->clear();
        for (int i = 0; i < ToDoLists::TitleCount; ++i)
            m_cboToDo->addItem(ToDoLists::titleText(i));
        m_cboToDo->setCurrentIndex(0);
    }
    // The selection step, at once: the pad is not edited while the window opens.
    m_shownTitle = 0;
    Message failure;
    const std::optional<QString> text = ToDoLists::load(ToDoLists::itemFilePath(0), &failure);
    if (text)
        setPad(*text);
    else
        m_openingFailure = failure; // told once the window is up
}

void frmQuickNotes::ShowDefaultTemplate()
{
    setPad(ToDoLists::defaultTemplate());
}

void frmQuickNotes::tickFontSize()
{
    const int size = int(std::lround(m_txtMain->font().pointSizeF()));
    const auto actions = m_fontSizes->actions();
    for (QAction *action : actions)
        action->setChecked(action->data().toInt() == size);
}

bool frmQuickNotes::isPadEdited() const
{
    return m_txtMain->document()->isModified();
}

void frmQuickNotes::setPad(const QString &text, bool edited, const QString &file)
{
    m_watch->watch(file);
    m_txtMain->setPlainText(text);
    m_txtMain->document()->setModified(edited);
    m_draftTimer.stop();
}

// The pad's text as typed: the box's own plain text would turn no-break spaces and line separators
// into spaces and line breaks.
QString frmQuickNotes::padText() const
{
    return fromDocumentText(m_txtMain->document()->toRawText());
}

void frmQuickNotes::showTitle(int position)
{
    const QSignalBlocker quiet(m_cboToDo);
    m_cboToDo->setCurrentIndex(position);
    m_shownTitle = position;
}

// Shows the title's file; on a file that cannot be read, says so and leaves the pad and the title.
bool frmQuickNotes::loadItem(int position)
{
    Message failure;
    CreateMissingFile(ToDoLists::itemFilePath(position)); // a list once chosen has its file
    const std::optional<QString> text = ToDoLists::load(ToDoLists::itemFilePath(position), &failure);
    if (!text) {
        Dialogs::show(failure, this);
        return false;
    }
    showTitle(position);
    setPad(*text, false, ToDoLists::itemFilePath(position));
    m_listSeen[size_t(position)] = true;
    return true;
}

// The shown list was replaced on disk (a sync engine brought another computer's): an unedited pad
// shows the new text; an edited one keeps what was typed, and its save keeps the other text aside.
void frmQuickNotes::takeChangesFromDisk()
{
    if (m_asking || isPadEdited() || !m_watch->changedOnDisk())
        return;
    const std::optional<QString> text = ToDoLists::load(m_watch->path());
    m_watch->settle();
    if (text && *text != padText()) {
        const int position = m_txtMain->textCursor().position();
        setPad(*text, false, m_watch->path());
        QTextCursor moved(m_txtMain->document());
        moved.setPosition(std::min(position, m_txtMain->document()->characterCount() - 1));
        m_txtMain->setTextCursor(moved);
    }
}

// True unless the save would replace a list with other text that the pad never showed, and the
// user did not agree (or the program ended while asking).
bool frmQuickNotes::mayReplaceUnseenList()
{
    const QString path = ToDoLists::itemFilePath(m_shownTitle);
    if (m_listSeen[size_t(m_shownTitle)] || !ToDoLists::holdsOtherText(path, padText()))
        return true;
    return Dialogs::ask(ToDoLists::unseenListQuestion(m_shownTitle, path), this, Dialogs::Default::No);
}

bool frmQuickNotes::saveItem()
{
    if (!mayReplaceUnseenList())
        return false;
    const QString path = ToDoLists::itemFilePath(m_shownTitle);
    QString copy;
    if (m_watch->path() == path && m_watch->changedOnDisk() && QFileInfo::exists(path)) {
        QString tried;
        copy = KeepConflictCopy(path, &tried); // changed elsewhere since it was shown: that text is kept too
        if (copy.isEmpty()) {
            Dialogs::show(
                Dialogs::writeFailedMessage(tried, tr("The list changed elsewhere could not be kept.")), this);
            return false;
        }
    }
    QString reason;
    if (!ToDoLists::save(path, padText(), &reason)) {
        Dialogs::show(Dialogs::writeFailedMessage(path, reason), this);
        return false;
    }
    m_watch->watch(path);
    m_watch->settle();
    if (!copy.isEmpty())
        Dialogs::show(ConflictCopyMessage(tr("The list \"%1\"").arg(ToDoLists::titleText(m_shownTitle)), copy), this);
    m_listSeen[size_t(m_shownTitle)] = true;
    m_txtMain->document()->setModified(false);
    m_draftTimer.stop();
    ToDoLists::removeDraft();
    return true;
}

bool frmQuickNotes::loadTemplate()
{
    Message failure;
    CreateMissingFile(ToDoLists::templateFilePath());
    const std::optional<QString> text = ToDoLists::load(ToDoLists::templateFilePath(), &failure);
    if (!text) {
        Dialogs::show(failure, this);
        return false;
    }
    setPad(*text);
    return true;
}

void frmQuickNotes::saveTemplate()
{
    const QString path = ToDoLists::templateFilePath();
    QString reason;
    if (ToDoLists::save(path, padText(), &reason)) {
        m_txtMain->document()->setModified(false);
        m_draftTimer.stop();
        ToDoLists::removeDraft();
    } else
        Dialogs::show(Dialogs::writeFailedMessage(path, reason), this);
}

Message frmQuickNotes::unsavedMessage() const
{
    return { Message::Icon::Question, tr("Quillory2: Unsaved note"),
        tr("THE NOTE HAS CHANGED\r\n\r\nThe text in QuickNotes was changed after it was last loaded or "
           "saved.\r\n\r\nSave: keep it in the list \"%1\".\r\nDiscard: let the changes go.\r\n"
           "Cancel: nothing happens, the text stays.")
            .arg(ToDoLists::titleText(m_shownTitle)) };
}

// True when the pad may be replaced or closed: it was not edited, or its user chose Save (and the
// save worked) or Discard. False on Cancel, and when the program ended while the question was open.
bool frmQuickNotes::mayReplacePad()
{
    if (!isPadEdited())
        return true;
    // Kept before anything is asked: the program may end before the question is answered. With
    // nobody to ask, the draft is offered back at the next opening.
    m_draftTimer.stop();
    keepDraft();
    if (!Dialogs::canAsk())
        return true;
    if (m_asking)
        return false;
    m_asking = true;
    const Dialogs::Choice choice = Dialogs::askSave(unsavedMessage(), this); // Cancel when the program ended
    m_asking = false;
    const bool replace = choice == Dialogs::Choice::Discard || (choice == Dialogs::Choice::Save && saveItem());
    if (replace)
        ToDoLists::removeDraft(); // on Cancel the pad is still edited, and the draft stays its copy
    return replace;
}

void frmQuickNotes::keepDraft()
{
    ToDoLists::saveDraft({ m_shownTitle, padText() });
}

void frmQuickNotes::tmrDraft_Timer()
{
    if (isPadEdited())
        keepDraft();
    else
        ToDoLists::removeDraft(); // the edits were undone
}

// At the first show: what could not be read at opening, then the note kept when the program last
// ended, offered back (it comes back as an edited pad, still to be saved).
void frmQuickNotes::offerDraft()
{
    if (m_openingFailure)
        Dialogs::show(*std::exchange(m_openingFailure, std::nullopt), this);
    Message failure;
    const std::optional<ToDoLists::Draft> draft = ToDoLists::loadDraft(&failure);
    if (!draft) {
        if (!failure.text.isEmpty())
            Dialogs::show(failure, this); // the draft stays where it is
        return;
    }
    if (!Dialogs::canAsk() || m_asking)
        return;
    m_asking = true;
    const bool restore = Dialogs::ask({ Message::Icon::Question, tr("Quillory2: Unsaved note kept"),
                                          tr("A NOTE WAS KEPT\r\n\r\nWhen the program last ended, the note for "
                                             "\"%1\" had changes that were not saved.\r\n\r\nShow it in the pad "
                                             "now?\r\nYes: it comes back, still to be saved.\r\nNo: it is deleted.")
                                              .arg(ToDoLists::titleText(draft->position)) },
        this);
    if (!Dialogs::canAsk()) // the program ended while asking: the draft stays for the next start
        return;
    m_asking = false;
    if (restore) {
        showTitle(draft->position);
        setPad(draft->text, true); // the draft stays the edited pad's copy
    } else {
        ToDoLists::removeDraft();
    }
}

void frmQuickNotes::cboToDo_Click()
{
    const int chosen = m_cboToDo->currentIndex();
    if (m_asking || chosen < 0 || chosen == m_shownTitle)
        return;
    if (!mayReplacePad() || !loadItem(chosen))
        showTitle(m_shownTitle); // the previous title stays selected
}

void frmQuickNotes::Toolbar2_ButtonClick(const QString &key)
{
    if (key == QLatin1String("btnLoad")) {
        if (mayReplacePad())
            loadItem(m_shownTitle);
    } else if (key == QLatin1String("btnSave")) {
        saveItem();
    } else if (key == QLatin1String("btnTextEd")) {
        m_TextForTextEd = padText();
        Q_EMIT textEdRequested(m_TextForTextEd);
    } else {
        // Clearing is an edit: what was there is asked about before anything replaces it.
        const bool hadText = !m_txtMain->document()->isEmpty();
        const bool edited = isPadEdited() || hadText;
        m_txtMain->clear();
        m_txtMain->document()->setModified(edited);
    }
}

void frmQuickNotes::Help()
{
    ShowHelpTopic(this, HelpContext, HelpTopic::QuickNotes);
}

void frmQuickNotes::itmFontSizeQP_Click(int size)
{
    QFont padFont = m_txtMain->font();
    padFont.setPointSizeF(size);
    m_txtMain->setFont(padFont);
    const auto actions = m_fontSizes->actions();
    for (QAction *action : actions)
        action->setChecked(action->data().toInt() == size);
}

void frmQuickNotes::itmToDo_Click(int index)
{
    switch (index) {
    case 0:
        if (mayReplacePad())
            loadTemplate();
        break;
    case 1: saveTemplate(); break;
    case 3:
        if (mayReplacePad())
            ShowDefaultTemplate();
        break;
    default: break;
    }
}

void frmQuickNotes::txtMain_MouseDown(const QPoint &globalPos)
{
    m_itmPasteQP->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    const bool selected = !m_txtMain->textCursor().selectedText().isEmpty();
    m_itmCutQP->setEnabled(selected);
    m_itmCopyQP->setEnabled(selected);
    m_itmSelAllQP->setEnabled(!m_txtMain->document()->isEmpty());
    m_itmRemindMeQP->setEnabled(!remindMeText().isEmpty());
    m_mnuEditQP->popup(globalPos);
}

QString frmQuickNotes::remindMeText() const
{
    const QTextCursor cursor = m_txtMain->textCursor();
    const QString text = cursor.hasSelection() ? fromDocumentText(cursor.selectedText()) : cursor.block().text();
    static const QRegularExpression marker(QStringLiteral("^\\(\\d+\\)")); // the template's "(1)"
    return text.trimmed().remove(marker).trimmed();
}

void frmQuickNotes::remindMe()
{
    const QString text = remindMeText();
    if (!text.isEmpty())
        Q_EMIT remindMeRequested({}, {}, text);
}

void frmQuickNotes::showListLine(int position, int line)
{
    if (m_asking || position < 0 || position >= ToDoLists::TitleCount)
        return;
    if (position != m_shownTitle) {
        if (!mayReplacePad() || !loadItem(position))
            return;
    }
    QTextBlock block = m_txtMain->document()->findBlockByNumber(line);
    if (!block.isValid())
        block = m_txtMain->document()->lastBlock();
    m_txtMain->setTextCursor(QTextCursor(block));
    m_txtMain->setFocus();
}

// The pad fills the window's width and all of its height but 1000 twips; a window too low for
// that leaves the pad as it was. The status bar keeps to the bottom edge.
void frmQuickNotes::placeControls()
{
    const double padHeight = height() * TwipsPerPixel - PadMarginTwips;
    if (padHeight >= 0)
        m_txtMain->setGeometry(0, px(PadTopTwips), width(), px(padHeight));
    const int barHeight = px(315);
    m_StatusBar1->setGeometry(0, height() - barHeight, width(), barHeight);
}

void frmQuickNotes::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_opened) {
        m_opened = true;
        QMetaObject::invokeMethod(this, &frmQuickNotes::offerDraft, Qt::QueuedConnection);
    }
}

void frmQuickNotes::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeControls();
}

void frmQuickNotes::saveSettings()
{
    savePlacement(this, Key::NotesLeft, Key::NotesTop);
    saveKeepOnTop(m_chkOnTop, Key::NotesOnTop);
    const QSizeF size = outerSizeTwips(this);
    Settings::saveCoordinate(Key::NotesWidth, size.width());
    Settings::saveCoordinate(Key::NotesHeight, size.height());
}

void frmQuickNotes::closeEvent(QCloseEvent *event)
{
    if (!mayReplacePad()) {
        event->ignore();
        return;
    }
    m_draftTimer.stop();
    saveSettings();
    event->accept();
}
