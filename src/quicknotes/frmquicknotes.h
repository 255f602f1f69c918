#pragma once

#include "common/message.h"
#include "quicknotes/todolists.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

class FileWatch;
class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QStatusBar;
class QTextEdit;
class QToolBar;

// The QuickNotes window: a note pad with ten fixed to-do lists, the user's own template and the
// dated default template (their files are ToDoLists'). "Open Item In TextEd" hands the pad's text
// over through textEdRequested(), which the application connects to the TextEd window.
//
// A pad edited since it was last loaded, saved or filled from a template is never replaced or
// closed without the question Save / Discard / Cancel; when the program ends with nobody to ask,
// the note is kept as a draft and offered back at the next opening. The draft is also written two
// seconds after typing stops, so that a crash or a kill costs no more than that. A save that would
// replace a non-empty list the pad has not shown since the window opened asks first. Commands that
// may ask run from the event loop (queued), never inside a control's own signal, so that no control
// is half-way through its own event when a question opens. A question the ending program closes
// answers Cancel; the window itself lives on until its code has returned.
class frmQuickNotes final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double DefaultWidthTwips = 2760;
    static constexpr double DefaultHeightTwips = 4515;
    static constexpr double PadTopTwips = 720;
    static constexpr double PadMarginTwips = 1000; // the pad is this much less high than the window inside
    static constexpr double PadPointSize = 9.75;

    explicit frmQuickNotes(QWidget *parent = nullptr);

    // The pad's text as last handed to TextEd.
    QString TextForTextEd() const { return m_TextForTextEd; }
    int shownTitle() const { return m_shownTitle; }
    bool isPadEdited() const;
    QString padText() const; // with LF line breaks

    void FillToDoTitles();
    void ShowDefaultTemplate();

    // The commands. Those that replace the pad ask first when it was edited, and do nothing on Cancel.
    void cboToDo_Click();
    void Toolbar2_ButtonClick(const QString &key);
    void Help();
    void itmFontSizeQP_Click(int size);
    void itmToDo_Click(int index);
    // The right mouse button in the pad: the menu's items enabled as they apply, shown at the point.
    void txtMain_MouseDown(const QPoint &globalPos);
    // "Remind me" (the pad's menu, Ctrl+R): the line at the text cursor, or the selection, goes to a
    // new reminder through remindMeRequested(); the date and time are left for the user.
    void remindMe();
    // Shows the list's line with the text cursor at its start; another list is loaded first, after
    // the usual question about an edited pad (nothing happens on Cancel).
    void showListLine(int position, int line);
    // Two seconds after the last edit: the edited pad is kept as the draft.
    void tmrDraft_Timer();
    static constexpr int DraftDelayMs = 2000;

Q_SIGNALS:
    // TextEd takes the text into a new document of its own.
    void textEdRequested(const QString &TextForTextEd);
    void remindMeRequested(const QDate &date, const QTime &time, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    QToolBar *createToolbar(const char *name);
    void createEditMenu();
    void setKeyboardOrder();
    void placeControls();
    void tickFontSize();

    // Shows the text; `file` is the list it came from, watched for changes from another computer.
    void setPad(const QString &text, bool edited = false, const QString &file = QString());
    bool mayReplaceUnseenList();
    void showTitle(int position);
    bool loadItem(int position);
    void takeChangesFromDisk();
    bool saveItem();
    bool loadTemplate();
    void saveTemplate();
    bool mayReplacePad();
    void keepDraft();
    void offerDraft();
    void saveSettings();
    Message unsavedMessage() const;
    QString remindMeText() const;

    QToolBar *m_Toolbar2 = nullptr;
    QAction *m_btnLoad = nullptr;
    QAction *m_btnSave = nullptr;
    QAction *m_btnTextEd = nullptr;
    QAction *m_btnClear = nullptr;
    QToolBar *m_Toolbar5 = nullptr;
    QAction *m_btnHelp = nullptr;
    QCheckBox *m_chkOnTop = nullptr;
    QComboBox *m_cboToDo = nullptr;
    QTextEdit *m_txtMain = nullptr;
    QStatusBar *m_StatusBar1 = nullptr;
    QLabel *m_panelDate = nullptr;
    QLabel *m_panelTime = nullptr;

    QMenu *m_mnuEditQP = nullptr;
    QAction *m_itmCutQP = nullptr;
    QAction *m_itmCopyQP = nullptr;
    QAction *m_itmPasteQP = nullptr;
    QAction *m_itmSelAllQP = nullptr;
    QAction *m_itmRemindMeQP = nullptr;
    QActionGroup *m_fontSizes = nullptr;
    std::array<QAction *, 4> m_itmToDo {};

    QTimer m_draftTimer;
    std::array<bool, ToDoLists::TitleCount> m_listSeen {}; // by title: the pad showed its file since the window opened
    QString m_TextForTextEd;
    int m_shownTitle = 0; // the title whose file the pad belongs to
    FileWatch *m_watch = nullptr; // the file of the list the pad shows
    bool m_asking = false; // a question about the pad is open
    bool m_opened = false; // the first show's step (draft offer, opening failures) has run
    std::optional<Message> m_openingFailure;
};
