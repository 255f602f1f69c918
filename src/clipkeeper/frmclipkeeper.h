#pragma once

#include <QIcon>
#include <QWidget>
#include <memory>
#include <optional>

class ClipStore;
class FileWatch;
class QAction;
class QCheckBox;
class QDate;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QStatusBar;
class QTextEdit;
class QTime;
class QTimer;
class QToolBar;
class RolloverHints;
struct Message;

// The ClipKeeper window: the categories of the clip store on the left, the current category's clips
// on the right, the clip's description and text above them. Clicking a clip shows it and puts its
// text on the clipboard at once. The window is a thin view of a ClipStore, which does the disk work
// and decides every message; the window shows the messages and asks the store's questions.
//
// Text typed in the description or clip text box is never replaced (by a clip chosen in the list)
// or closed away without the question Save / Discard / Cancel; when the program ends with nobody
// to ask, the typed text is kept as a clip of a free name ("Unsaved clip") in the current category.
// Two seconds after typing stops the typed text is also kept aside as a draft, which the next
// opening turns into a clip should the program have ended without a word (a crash, a kill).
class frmClipKeeper final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double WidthTwips = 4005; // fixed
    static constexpr double MinHeightTwips = 3205;

    explicit frmClipKeeper(QWidget *parent = nullptr);
    ~frmClipKeeper() override;

    const ClipStore &store() const { return *m_store; }
    bool isEdited() const; // text typed in the boxes since a clip was shown or saved

    // The commands of the tlbClipKeeper toolbar, by key.
    void RemoveFolder();
    void AddFolder();
    void DeleteClip();
    void SaveClip();

    // Shows the clip of that category, as a click on it would (the search opens its hits here).
    void showClipOf(const QString &category, const QString &clip);
    // "Remind me" (the clip list's menu, Ctrl+R): asks for a reminder with the chosen clip's text.
    void remindMe();

    // Two seconds after the last edit: typed clip text is kept as the draft; none is kept otherwise.
    void tmrDraft_Timer();
    static constexpr int DraftDelayMs = 2000;

Q_SIGNALS:
    void remindMeRequested(const QDate &date, const QTime &time, const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolBar *buildToolBar();
    QStatusBar *buildStatusBar();
    void attachHints();
    void setKeyboardOrder();
    void fitFrame();
    void fitHintFont();

    void fillCategories();
    void showCurrentCategory();
    void watchShown();
    void takeChangesFromDisk();
    void fillClips();
    void filterChanged();
    bool isFilterMatch(const QString &clip) const;
    void showPlaceholders();
    void lvwClipCats_ItemClick(int row);
    void lvwClipCats_AfterLabelEdit(int row, const QString &newName);
    void filClips_Click(QListWidgetItem *item);
    void leaveBoxesFor(const QString &clip);
    void showClip(const QString &clip);
    void selectClip(const QString &clip);
    bool mayLeaveBoxes();
    bool saveBoxes(const QString &description);
    void keepUnsaved();
    void markShown();
    void afterOpening(const std::optional<Message> &message);
    void keepDraftAsClip();
    QString boxText() const;
    QString selectedClip() const;
    void tell(const std::optional<Message> &message);

    std::unique_ptr<ClipStore> m_store;
    FileWatch *m_watch = nullptr;
    QTimer *m_tmrDraft = nullptr;
    RolloverHints *m_hints = nullptr;
    QIcon m_categoryIcon;
    QIcon m_currentCategoryIcon;

    QToolBar *m_tlbClipKeeper = nullptr;
    QAction *m_btnRemoveFolder = nullptr;
    QAction *m_btnAddFolder = nullptr;
    QAction *m_btnDeleteClip = nullptr;
    QAction *m_btnSaveClip = nullptr;
    QLineEdit *m_txtClipDescription = nullptr;
    QCheckBox *m_chkOnTop = nullptr;
    QTextEdit *m_rtfClipDisplay = nullptr;
    QListWidget *m_lvwClipCats = nullptr;
    QListWidget *m_filClips = nullptr;
    QLineEdit *m_txtClipFilter = nullptr;
    QStatusBar *m_StatusBarClip = nullptr;
    QLabel *m_panelHint = nullptr;

    int m_categoryAtPress = -1; // what was chosen when the mouse went down on a list
    QString m_clipAtPress;
    QString m_shownClip; // the clip the boxes show, when they show one
    bool m_asking = false; // the question about the typed text is open
};
