#include "clipkeeper/frmclipkeeper.h"

#include "clipkeeper/clipplaceholders.h"
#include "clipkeeper/clipstore.h"
#include "common/clock.h"
#include "common/documenttext.h"
#include "common/settings.h"
#include "common/syncfiles.h"
#include "widgets/accessiblenames.h"
#include "widgets/dialogs.h"
#include "widgets/keyboardaccess.h"
#include "widgets/rolloverhints.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QShortcut>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr double CategoryListWidthTwips = 1560;
constexpr double ClipTextHeightTwips = 1020;

int px(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

QIcon clipIcon(const char *name)
{
    return QIcon(QStringLiteral(":/icons/clipkeeper/%1.svg").arg(QLatin1String(name)));
}

QString placeholderDescription()
{
    return frmClipKeeper::tr("New Clip Description");
}

QString placeholderText()
{
    return frmClipKeeper::tr("ClipKeeper - New Clip Text");
}

// The category list's in-place label editor hands the typed name to the window instead of the
// list: the store renames the folder, or refuses, and the list is filled again from the store.
class CategoryNameDelegate final : public QStyledItemDelegate
{
public:
    using Renamed = std::function<void(int row, const QString &name)>;

    CategoryNameDelegate(Renamed renamed, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_renamed(std::move(renamed))
    { }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        if (const auto *line = qobject_cast<QLineEdit *>(editor))
            m_renamed(index.row(), line->text());
    }

private:
    Renamed m_renamed;
};

} // namespace

frmClipKeeper::frmClipKeeper(QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_store(std::make_unique<ClipStore>())
    , m_watch(new FileWatch(this))
    , m_categoryIcon(clipIcon("category"))
    , m_currentCategoryIcon(clipIcon("categoryopen"))
{
    setObjectName(QStringLiteral("frmClipKeeper"));
    setWindowTitle(tr("ClipKeeper"));

    m_txtClipDescription = new QLineEdit(placeholderDescription());
    m_txtClipDescription->setObjectName(QStringLiteral("txtClipDescription"));
    m_txtClipDescription->setAccessibleName(tr("Clip description"));

    m_chkOnTop = new QCheckBox;
    m_chkOnTop->setObjectName(QStringLiteral("chkOnTop"));
    m_chkOnTop->setToolTip(tr("Keep on top"));
    nameFromToolTip(m_chkOnTop);

    m_rtfClipDisplay = new QTextEdit;
    m_rtfClipDisplay->setObjectName(QStringLiteral("rtfClipDisplay"));
    m_rtfClipDisplay->setAcceptRichText(false);
    m_rtfClipDisplay->setTabChangesFocus(true);
    m_rtfClipDisplay->setAccessibleName(tr("Clip text"));
    QFont clipFont(QStringLiteral("MS Sans Serif"));
    clipFont.setStyleHint(QFont::SansSerif);
    clipFont.setPointSizeF(8.5);
    m_rtfClipDisplay->setFont(clipFont);
    m_rtfClipDisplay->setPlainText(placeholderText());
    m_rtfClipDisplay->setFixedHeight(px(ClipTextHeightTwips));

    m_lvwClipCats = new QListWidget;
    m_lvwClipCats->setObjectName(QStringLiteral("lvwClipCats"));
    m_lvwClipCats->setAccessibleName(tr("Categories"));
    m_lvwClipCats->setFixedWidth(px(CategoryListWidthTwips));
    m_lvwClipCats->setIconSize(QSize(16, 16));
    m_lvwClipCats->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvwClipCats->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    m_lvwClipCats->setItemDelegate(new CategoryNameDelegate(
        [this](int row, const QString &name) {
            // After the editor has closed: the rename may refill the list and show a message.
            QTimer::singleShot(0, this, [this, row, name] { lvwClipCats_AfterLabelEdit(row, name); });
        },
        m_lvwClipCats));

    m_filClips = new QListWidget;
    m_filClips->setObjectName(QStringLiteral("filClips"));
    m_filClips->setAccessibleName(tr("Clips"));
    m_filClips->setSelectionMode(QAbstractItemView::SingleSelection);
    m_filClips->setUniformItemSizes(true);
    m_filClips->viewport()->installEventFilter(this);
    m_lvwClipCats->viewport()->installEventFilter(this);

    for (QListWidget *list : { m_lvwClipCats, m_filClips })
        list->setMinimumHeight(list->fontMetrics().height() + 6);

    m_txtClipFilter = new QLineEdit;
    m_txtClipFilter->setObjectName(QStringLiteral("txtClipFilter"));
    m_txtClipFilter->setAccessibleName(tr("Filter clips"));
    m_txtClipFilter->setPlaceholderText(tr("Filter clips (Ctrl+F)"));
    m_txtClipFilter->setClearButtonEnabled(true);
    connect(m_txtClipFilter, &QLineEdit::textChanged, this, &frmClipKeeper::filterChanged);
    auto *filterKey = new QShortcut(QKeySequence::Find, this);
    connect(filterKey, &QShortcut::activated, m_txtClipFilter, [this] { m_txtClipFilter->setFocus(); });
    m_filClips->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *remind = new QAction(tr("Remind me"), m_filClips);
    remind->setObjectName(QStringLiteral("actRemindMe"));
    remind->setShortcut(Qt::CTRL | Qt::Key_R);
    remind->setShortcutContext(Qt::WindowShortcut);
    connect(remind, &QAction::triggered, this, &frmClipKeeper::remindMe);
    m_filClips->addAction(remind);

    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(3);
    top->addWidget(buildToolBar());
    top->addWidget(m_txtClipDescription, 1);
    top->addWidget(m_chkOnTop);
    auto *lists = new QHBoxLayout;
    lists->setContentsMargins(0, 0, 0, 0);
    lists->setSpacing(2);
    lists->addWidget(m_lvwClipCats);
    lists->addWidget(m_filClips, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(m_rtfClipDisplay);
    layout->addWidget(m_txtClipFilter);
    layout->addLayout(lists, 1);
    layout->addWidget(buildStatusBar());

    // A choice by mouse or keyboard moves the current row or selection; a click on the entry that
    // was already chosen runs the choice again (a clip clicked once more is copied once more).
    connect(m_lvwClipCats, &QListWidget::currentRowChanged, this, &frmClipKeeper::lvwClipCats_ItemClick);
    connect(m_lvwClipCats, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (m_lvwClipCats->row(item) == m_categoryAtPress)
            lvwClipCats_ItemClick(m_categoryAtPress);
    });
    connect(m_filClips, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filClips->selectedItems().isEmpty())
            filClips_Click(m_filClips->selectedItems().constFirst());
    });
    connect(m_filClips, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item->text() == m_clipAtPress)
            filClips_Click(item);
    });
    connect(m_filClips, &QListWidget::itemActivated, this, &frmClipKeeper::filClips_Click);
    auto *deleteKey = new QShortcut(QKeySequence::Delete, m_filClips, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &frmClipKeeper::DeleteClip);

    m_hints = new RolloverHints(m_panelHint, this);
    attachHints();
    setKeyboardOrder();

    // Every question of the store has Yes destroy something.
    m_store->setConfirm([this](const Message &question) { return Dialogs::ask(question, this, Dialogs::Default::No); });
    m_store->setWriter(
        [this](const QString &path, const QString &text) { return Dialogs::writeTextFile(path, text, this); });

    // Load: the size, the place, the clip folder and its categories, then the keep-on-top box.
    fitFrame();
    const double height = Settings::readCoordinate(Key::ClipHeight).value_or(4180);
    resizeOuterTwips(this, QSizeF(WidthTwips, std::max(height, MinHeightTwips)));
    restorePlacement(this, Key::ClipLeft, Key::ClipTop);
    std::optional<Message> message = m_store->EnsureClipFolder();
    const std::optional<Message> loadMessage = m_store->LoadCategories();
    if (!message)
        message = loadMessage;
    fillCategories();
    connect(m_watch, &FileWatch::touched, this, &frmClipKeeper::takeChangesFromDisk);
    m_tmrDraft = new QTimer(this);
    m_tmrDraft->setObjectName(QStringLiteral("tmrDraft"));
    m_tmrDraft->setSingleShot(true);
    m_tmrDraft->setInterval(DraftDelayMs);
    connect(m_tmrDraft, &QTimer::timeout, this, &frmClipKeeper::tmrDraft_Timer);
    connect(m_rtfClipDisplay->document(), &QTextDocument::modificationChanged, m_tmrDraft, qOverload<>(&QTimer::start));
    connect(m_rtfClipDisplay->document(), &QTextDocument::contentsChanged, this, [this] {
        if (m_rtfClipDisplay->document()->isModified())
            m_tmrDraft->start();
    });
    bindKeepOnTop(m_chkOnTop, this, Key::ClipOnTop);
    markShown();
    m_filClips->setFocus(); // where the user reads, never on a command that removes
    QTimer::singleShot(0, this, [this, message] { afterOpening(message); }); // once the window is up
}

frmClipKeeper::~frmClipKeeper() = default;

QToolBar *frmClipKeeper::buildToolBar()
{
    m_tlbClipKeeper = new QToolBar;
    m_tlbClipKeeper->setObjectName(QStringLiteral("tlbClipKeeper"));
    m_tlbClipKeeper->setAccessibleName(tr("ClipKeeper commands"));
    m_tlbClipKeeper->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_tlbClipKeeper->setIconSize(QSize(16, 16));
    m_tlbClipKeeper->setMovable(false);
    m_tlbClipKeeper->setFloatable(false);
    m_tlbClipKeeper->layout()->setContentsMargins(0, 0, 0, 0);
    m_tlbClipKeeper->layout()->setSpacing(0);
    const auto button = [this](const char *key, const char *icon, const QString &tip, void (frmClipKeeper::*slot)()) {
        QAction *action = m_tlbClipKeeper->addAction(clipIcon(icon), tip);
        action->setObjectName(QLatin1String(key));
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_btnRemoveFolder = button("btnRemoveFolder", "removefolder", tr("Remove Folder"), &frmClipKeeper::RemoveFolder);
    m_btnAddFolder = button("btnAddFolder", "addfolder", tr("Add Folder"), &frmClipKeeper::AddFolder);
    m_tlbClipKeeper->addSeparator();
    m_btnDeleteClip = button("btnDeleteClip", "deleteclip", tr("Delete Clip"), &frmClipKeeper::DeleteClip);
    m_btnSaveClip = button("btnSaveClip", "saveclip", tr("Save Clip"), &frmClipKeeper::SaveClip);
    m_btnSaveClip->setShortcut(QKeySequence::Save);
    nameToolBarButtons(m_tlbClipKeeper);
    focusToolBarButtons(m_tlbClipKeeper); // the toolbar is the only way to its commands
    return m_tlbClipKeeper;
}

QStatusBar *frmClipKeeper::buildStatusBar()
{
    m_StatusBarClip = new QStatusBar;
    m_StatusBarClip->setObjectName(QStringLiteral("StatusBarClip"));
    m_StatusBarClip->setSizeGripEnabled(false); // the panel needs the room; the frame resizes the window
    m_panelHint = new QLabel;
    m_panelHint->setObjectName(QStringLiteral("panelHint"));
    // A long hint must never widen the window.
    m_panelHint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_panelHint->installEventFilter(this);
    m_StatusBarClip->addPermanentWidget(m_panelHint, 1);
    return m_StatusBarClip;
}

void frmClipKeeper::attachHints()
{
    m_hints->attach(m_lvwClipCats, tr("Shows the catagory for the clips."));
    m_hints->attach(m_filClips, tr("Shows the clips in a catagory."));
    m_hints->attach(m_rtfClipDisplay, tr("Shows the text stored as a clip."));
    m_hints->attach(m_tlbClipKeeper, tr("Remove/Add a catagory. Remove/Add a clip."));
    m_hints->attach(m_txtClipDescription, tr("Type/Show the clip description."));
    m_hints->attach(m_chkOnTop, tr("Keeps ClipKeeper on top of other windows."));
    m_hints->attach(m_StatusBarClip, tr("Shows messages like this."));
}

// The window's width is fixed, and in a larger desktop font the longer hints would not fit the panel:
// its font shrinks until the longest does.
void frmClipKeeper::fitHintFont()
{
    if (!m_hints)
        return;
    const int width = m_panelHint->contentsRect().width() - 2 * m_panelHint->margin() - 2;
    QFont font = m_StatusBarClip->font();
    if (width <= 0 || font.pointSizeF() <= 0)
        return;
    const QList<QWidget *> controls = { m_lvwClipCats, m_filClips, m_rtfClipDisplay, m_tlbClipKeeper,
        m_txtClipDescription, m_chkOnTop, m_StatusBarClip };
    const auto fits = [&](const QFontMetrics &metrics) {
        return std::all_of(controls.begin(), controls.end(),
            [&](const QWidget *control) { return metrics.horizontalAdvance(m_hints->hint(control)) <= width; });
    };
    while (font.pointSizeF() > 6 && !fits(QFontMetrics(font)))
        font.setPointSizeF(font.pointSizeF() - 0.5);
    m_panelHint->setFont(font);
}

void frmClipKeeper::setKeyboardOrder()
{
    QWidget *order[] = { m_tlbClipKeeper->widgetForAction(m_btnSaveClip), m_txtClipDescription, m_chkOnTop,
        m_rtfClipDisplay, m_txtClipFilter, m_lvwClipCats, m_filClips };
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// The width is fixed and the height has its least, both of the outer frame: the frame the desktop
// draws, once it is known, or the one the helpers assume until then.
void frmClipKeeper::fitFrame()
{
    const QSize outer = (outerSizeTwips(this) / TwipsPerPixel).toSize();
    const QSize frame = outer - size();
    setFixedWidth(px(WidthTwips) - frame.width());
    setMinimumHeight(px(MinHeightTwips) - frame.height());
}

void frmClipKeeper::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    fitFrame();
}

void frmClipKeeper::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitFrame();
}

void frmClipKeeper::closeEvent(QCloseEvent *event)
{
    if (!mayLeaveBoxes()) {
        event->ignore();
        return;
    }
    m_tmrDraft->stop();
    if (m_rtfClipDisplay->document()->isModified() && !Dialogs::canAsk())
        tmrDraft_Timer(); // the text could not be kept as a clip: the draft keeps it for the next opening
    else
        m_store->removeDraft(); // the typed text was saved, let go, or kept as a clip
    Settings::saveCoordinate(Key::ClipHeight, outerSizeTwips(this).height());
    savePlacement(this, Key::ClipLeft, Key::ClipTop);
    saveKeepOnTop(m_chkOnTop, Key::ClipOnTop);
    event->accept();
}

bool frmClipKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panelHint && event->type() == QEvent::Resize)
        fitHintFont();
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_lvwClipCats->viewport())
            m_categoryAtPress = m_lvwClipCats->currentRow();
        else if (watched == m_filClips->viewport())
            m_clipAtPress = selectedClip();
    }
    return QWidget::eventFilter(watched, event);
}

void frmClipKeeper::fillCategories()
{
    const QSignalBlocker blocker(m_lvwClipCats);
    m_lvwClipCats->clear();
    for (const QString &name : m_store->categories()) {
        auto *item = new QListWidgetItem(m_categoryIcon, name, m_lvwClipCats);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    showCurrentCategory();
}

void frmClipKeeper::showCurrentCategory()
{
    {
        const QSignalBlocker blocker(m_lvwClipCats);
        const int current = m_store->currentCategoryIndex();
        for (int row = 0; row < m_lvwClipCats->count(); ++row)
            m_lvwClipCats->item(row)->setIcon(row == current ? m_currentCategoryIcon : m_categoryIcon);
        m_lvwClipCats->setCurrentRow(current);
    }
    fillClips();
    watchShown();
}

// The clip folder, the shown category and the shown clip: a sync engine may change any of them.
void frmClipKeeper::watchShown()
{
    m_watch->watch(m_shownClip.isEmpty() ? QString() : m_store->clipPath(m_shownClip),
        { m_store->clipFolder(), m_store->categoryPath(m_store->currentCategory()) });
}

// Categories and clips that came or went elsewhere show in the lists; the shown clip, changed
// elsewhere, shows its new text unless the user typed in the boxes (their save keeps the other
// text in the trash).
void frmClipKeeper::takeChangesFromDisk()
{
    if (m_asking)
        return;
    const bool shownChanged = m_watch->changedOnDisk();
    const QStringList categories = m_store->categories();
    const QStringList clips = m_store->clips();
    const QString category = m_store->currentCategory();
    m_store->LoadCategories();
    m_store->SelectCategory(int(m_store->categories().indexOf(category)));
    if (m_store->categories() != categories || m_store->clips() != clips) {
        fillCategories();
        selectClip(m_shownClip);
    }
    if (shownChanged && !isEdited() && m_store->clips().contains(m_shownClip)) {
        const std::variant<QString, Message> opened = m_store->OpenClip(m_shownClip);
        if (const auto *text = std::get_if<QString>(&opened)) {
            m_rtfClipDisplay->setPlainText(*text);
            markShown();
        }
    }
    m_watch->settle();
}

void frmClipKeeper::fillClips()
{
    const QSignalBlocker blocker(m_filClips);
    m_filClips->clear();
    for (const QString &clip : m_store->clips()) {
        if (isFilterMatch(clip))
            m_filClips->addItem(clip);
    }
    // The filter narrows every category: those without a clip of its words are left out of the list.
    const QStringList categories = m_store->categories();
    const bool filtered = !m_txtClipFilter->text().trimmed().isEmpty();
    for (int row = 0; row < m_lvwClipCats->count(); ++row) {
        bool hidden = false;
        if (filtered && row != m_store->currentCategoryIndex()) {
            const QStringList clips = ClipStore::clipsIn(m_store->categoryPath(categories.value(row)));
            hidden
                = std::none_of(clips.begin(), clips.end(), [this](const QString &clip) { return isFilterMatch(clip); });
        }
        m_lvwClipCats->setRowHidden(row, hidden);
    }
}

bool frmClipKeeper::isFilterMatch(const QString &clip) const
{
    const QStringList words = m_txtClipFilter->text().split(u' ', Qt::SkipEmptyParts);
    return std::all_of(
        words.begin(), words.end(), [&clip](const QString &word) { return clip.contains(word, Qt::CaseInsensitive); });
}

// While the chosen category holds no clip of the filter's words, the first category that does is chosen.
void frmClipKeeper::filterChanged()
{
    fillClips();
    if (m_filClips->count() > 0)
        return;
    for (int row = 0; row < m_lvwClipCats->count(); ++row) {
        if (!m_lvwClipCats->isRowHidden(row) && row != m_store->currentCategoryIndex()) {
            m_store->SelectCategory(row);
            showCurrentCategory();
            return;
        }
    }
}

void frmClipKeeper::showClipOf(const QString &category, const QString &clip)
{
    m_txtClipFilter->clear();
    const int row = int(m_store->categories().indexOf(category));
    if (row < 0)
        return;
    if (row != m_store->currentCategoryIndex()) {
        m_store->SelectCategory(row);
        showCurrentCategory();
    }
    const QList<QListWidgetItem *> found = m_filClips->findItems(clip, Qt::MatchExactly);
    if (!found.isEmpty())
        filClips_Click(found.first());
}

void frmClipKeeper::remindMe()
{
    const QString clip = selectedClip();
    if (clip.isEmpty())
        return;
    if (clip == m_shownClip) {
        Q_EMIT remindMeRequested({}, {}, boxText());
        return;
    }
    const std::variant<QString, Message> opened = m_store->OpenClip(clip);
    if (const auto *text = std::get_if<QString>(&opened))
        Q_EMIT remindMeRequested({}, {}, *text);
}

void frmClipKeeper::showPlaceholders()
{
    m_txtClipDescription->setText(placeholderDescription());
    m_rtfClipDisplay->setPlainText(placeholderText());
    m_shownClip.clear();
    markShown();
}

bool frmClipKeeper::isEdited() const
{
    return m_txtClipDescription->isModified() || m_rtfClipDisplay->document()->isModified();
}

void frmClipKeeper::markShown()
{
    m_txtClipDescription->setModified(false);
    m_rtfClipDisplay->document()->setModified(false);
}

// The clip text as typed: the box's own plain text would turn no-break spaces and line separators
// into spaces and line breaks.
QString frmClipKeeper::boxText() const
{
    return fromDocumentText(m_rtfClipDisplay->document()->toRawText(), u"\r\n");
}

// What could not be done at opening, then the names the clip list cannot show, offered for renaming.
void frmClipKeeper::afterOpening(const std::optional<Message> &message)
{
    tell(message);
    keepDraftAsClip();
    const QList<ClipStore::ForeignName> foreign = m_store->ForeignNames();
    if (foreign.isEmpty() || !Dialogs::canAsk())
        return;
    if (!Dialogs::ask(ClipStore::foreignNamesQuestion(foreign), this))
        return;
    const std::optional<Message> failed = m_store->RenameForeign(foreign);
    fillCategories();
    tell(failed);
}

// Clip text typed when the program last ended without a word comes back as a clip.
void frmClipKeeper::keepDraftAsClip()
{
    Message failure;
    const std::optional<ClipStore::Draft> draft = m_store->loadDraft(&failure);
    if (!draft) {
        if (!failure.text.isEmpty())
            tell(failure); // the draft stays for the next opening
        return;
    }
    const std::optional<Message> kept = m_store->KeepDraft(*draft);
    fillCategories();
    tell(kept);
}

void frmClipKeeper::tmrDraft_Timer()
{
    if (!m_rtfClipDisplay->document()->isModified()) {
        m_store->removeDraft(); // saved, let go or undone: a description alone is no text to keep
        return;
    }
    // A description the user did not type (the shown clip's, the placeholder) names no new clip.
    const QString description = m_txtClipDescription->isModified() ? m_txtClipDescription->text() : QString();
    QString reason;
    if (!m_store->saveDraft({ m_store->currentCategory(), description, boxText() }, &reason))
        m_panelHint->setText(tr("The typed clip text could not be kept aside: %1").arg(reason));
}

void frmClipKeeper::lvwClipCats_ItemClick(int row)
{
    if (row < 0)
        return;
    m_store->SelectCategory(row);
    showCurrentCategory();
}

void frmClipKeeper::lvwClipCats_AfterLabelEdit(int row, const QString &newName)
{
    const std::optional<Message> message = m_store->RenameCategory(row, newName);
    fillCategories();
    tell(message);
}

void frmClipKeeper::filClips_Click(QListWidgetItem *item)
{
    if (!item || m_asking)
        return;
    if (!isEdited()) {
        showClip(item->text());
        return;
    }
    // Asked once the list has finished with the click: saving fills the list again.
    QTimer::singleShot(0, this, [this, clip = item->text()] { leaveBoxesFor(clip); });
}

void frmClipKeeper::leaveBoxesFor(const QString &clip)
{
    if (mayLeaveBoxes())
        showClip(clip);
    else
        selectClip(m_shownClip); // the typed text stays, beside the clip it came from
}

void frmClipKeeper::selectClip(const QString &clip)
{
    const QSignalBlocker blocker(m_filClips);
    const QList<QListWidgetItem *> found = m_filClips->findItems(clip, Qt::MatchExactly);
    m_filClips->clearSelection();
    if (!found.isEmpty())
        m_filClips->setCurrentItem(found.first());
}

void frmClipKeeper::showClip(const QString &clip)
{
    const std::variant<QString, Message> opened = m_store->OpenClip(clip);
    if (const auto *message = std::get_if<Message>(&opened)) {
        tell(*message);
        // A clip that went away leaves the list, once the list has finished with the click.
        QTimer::singleShot(0, this, [this] {
            m_store->RefreshClips();
            fillClips();
        });
        return;
    }
    m_rtfClipDisplay->setPlainText(std::get<QString>(opened));
    m_txtClipDescription->setText(clip);
    m_shownClip = clip;
    markShown();
    selectClip(clip);
    watchShown();
    // A clip that fills itself in: {date}, {time} and {clipboard} take their values as it is copied.
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(FillPlaceholders(fromDocumentText(m_rtfClipDisplay->document()->toRawText()), Clock::now(),
        QLocale(), ClipboardPlainText(clipboard->mimeData())));
}

// True when the typed text may leave the boxes: nothing was typed, or it was saved or discarded.
// False on Cancel, on a save that failed, and when the program ended while the question was open.
bool frmClipKeeper::mayLeaveBoxes()
{
    if (!isEdited())
        return true;
    if (!Dialogs::canAsk()) {
        keepUnsaved();
        return true;
    }
    if (m_asking)
        return false;
    m_asking = true;
    const Dialogs::Choice choice
        = Dialogs::askSave({ Message::Icon::Question, QStringLiteral("Quillory2"),
                               tr("THE CLIP TEXT HAS CHANGED\r\n\r\nThe text typed in ClipKeeper was not saved.\r\n\r\n"
                                  "Save: keep it as the clip \"%1\" in \"%2\".\r\nDiscard: let it go.\r\n"
                                  "Cancel: nothing happens, the text stays.")
                                   .arg(m_txtClipDescription->text(), m_store->currentCategory()) },
            this); // Cancel when the program ended
    m_asking = false;
    return choice == Dialogs::Choice::Discard
        || (choice == Dialogs::Choice::Save && saveBoxes(m_txtClipDescription->text()));
}

// True when the boxes' text reached the clip file.
bool frmClipKeeper::saveBoxes(const QString &description)
{
    // The shown clip changed on another computer since it was shown: that text is kept beside it.
    QString copy;
    if (description == m_shownClip && m_watch->changedOnDisk() && QFileInfo::exists(m_watch->path()))
        copy = KeepConflictCopy(m_watch->path()); // should it fail, the trash still takes the other text
    bool saved = false;
    const std::optional<Message> message = m_store->SaveClip(description, boxText(), &saved);
    if (saved && !copy.isEmpty())
        Dialogs::show(ConflictCopyMessage(tr("The clip \"%1\"").arg(description), copy), this);
    fillClips();
    if (saved) {
        m_shownClip = description;
        markShown();
        selectClip(description);
        watchShown();
        m_watch->settle();
    }
    tell(message);
    return saved;
}

// The program ends with nobody to ask: the typed text becomes a clip of a free name, and the log says which.
void frmClipKeeper::keepUnsaved()
{
    if (!m_rtfClipDisplay->document()->isModified())
        return; // a description alone is no text to keep
    const QString name = m_store->FreeClipName();
    if (saveBoxes(name)) {
        Dialogs::show({ Message::Icon::Information, QStringLiteral("Quillory2"),
                          tr("The clip text typed but not saved was kept as the clip \"%1\" in \"%2\".")
                              .arg(name, m_store->currentCategory()) },
            this);
    }
}

QString frmClipKeeper::selectedClip() const
{
    const QList<QListWidgetItem *> selected = m_filClips->selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

void frmClipKeeper::RemoveFolder()
{
    const std::optional<Message> message = m_store->RemoveCategory();
    fillCategories();
    tell(message);
}

void frmClipKeeper::AddFolder()
{
    const std::optional<Message> message = m_store->AddCategory();
    fillCategories();
    tell(message);
}

void frmClipKeeper::DeleteClip()
{
    const std::optional<Message> message = m_store->DeleteClip(selectedClip());
    fillClips();
    tell(message);
    if (m_store->clips().isEmpty() && !isEdited())
        showPlaceholders();
}

void frmClipKeeper::SaveClip()
{
    saveBoxes(m_txtClipDescription->text());
}

void frmClipKeeper::tell(const std::optional<Message> &message)
{
    if (message)
        Dialogs::show(*message, this);
}
