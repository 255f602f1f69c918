#pragma once

#include "texted/recoverystore.h"
#include "widgets/dialogs.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <optional>

class FindBar;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class frmDocument;

// TextEd, the multi-document rich-text editor: the frame `frmTextEd` with its menu bar, the
// toolbar `tbToolBar`, the status bar `sbStatusBar1` and the document windows (frmDocument). Every
// command acts on the active document. Documents are numbered for the whole run ("Document 1",
// ...), also across closing and reopening the frame. Files are read and written through the RTF
// codec (rtf/rtf.h) and TextEdFiles; each document is saved in its own format.
//
// QuickNotes hands its text over through the public slot LoadFromQuickNotes (wired in
// app/windows.cpp). Closing the frame asks Save / Discard / Cancel for every edited document.
// Edited documents are kept as recovery copies (RecoveryStore) a few seconds after they change and
// when the program ends with nobody to ask; the next time the frame opens it offers them back. A
// copy goes when its document is saved or its changes are discarded.
class frmTextEd final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmTextEd(QWidget *parent = nullptr);
    ~frmTextEd() override;

    // Documents created in this run; a new run of the program starts at 0 (tests start one here).
    static int documentCount();
    static void resetDocumentCount();

    frmDocument *lastDocument() const;
    frmDocument *activeDocument() const;
    QList<frmDocument *> documents() const;
    int filterIndex() const { return m_filterIndex; } // the one last chosen in a file dialog

    frmDocument *NewDocument();
    // Opens the file into a new document; a file that cannot be read, or holds no text, is told
    // to the user and opens nothing. A file that is open already is brought forward instead.
    frmDocument *openFile(const QString &path);
    // nullopt when the user cancelled.
    std::optional<Dialogs::FileChoice> AskSaveFileName(frmDocument *document);
    bool SaveDocumentFile(frmDocument *document, const QString &fileName, int filterIndex);
    bool saveDocument(frmDocument *document); // Save: to its file, or asks for a name
    bool saveDocumentAs(frmDocument *document);

    // Writes a recovery copy of every edited document that changed since its last one. The timer
    // `tmrRecovery` calls it once, RecoveryDelay after a change: an idle editor never wakes.
    void tmrRecovery_Timer();
    static constexpr int RecoveryDelay = 15000;

public Q_SLOTS:
    // A new document holding the text (plain, no formatting); shows the frame.
    void LoadFromQuickNotes(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QAction *addCommand(QMenu *menu, const QString &name, const QString &caption, void (frmTextEd::*slot)(),
        const QKeySequence &shortcut = {});
    QAction *addButton(
        const QString &key, const QString &themeIcon, void (frmTextEd::*slot)(), const QKeySequence &shortcut);

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuFileExportPdf_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    void mnuEditFind_Click();
    void mnuEditFindNext_Click();
    void mnuEditFindPrevious_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    void tbBold_Click();
    void tbItalic_Click();
    void tbUnderline_Click();
    void tbAlignLeft_Click();
    void tbCenter_Click();
    void tbAlignRight_Click();

    void placeNewDocument(frmDocument *document);
    QString startFolder() const;
    void toggleStyle(QAction *button, int style);
    void align(Qt::Alignment alignment);
    void fillWindowList();
    void activeDocumentChanged();
    void showTitle();
    void showKeyStates();
    void toggleInsertMode();

    // Before a document closes: Save, Discard or Cancel when it is edited; true when it may close.
    bool maySaveBeforeClosing(frmDocument *document);
    bool keepRecoveryCopies(QString *error = nullptr);
    void dropRecoveryCopy(frmDocument *document);
    void offerRecoveryCopies();
    bool openRecoveryCopy(const RecoveryStore &store, const RecoveryStore::Copy &copy);
    frmDocument *documentOfFile(const QString &path) const;

    QMdiArea *m_mdiArea = nullptr;
    QToolBar *m_tbToolBar = nullptr;
    FindBar *m_findBar = nullptr;
    QMenu *m_mnuWindow = nullptr;
    QList<QAction *> m_windowList;
    QAction *m_mnuViewToolbar = nullptr;
    QAction *m_mnuViewStatusBar = nullptr;
    QAction *m_mnuEditUndo = nullptr;
    QAction *m_mnuEditRedo = nullptr;
    QAction *m_tbBold = nullptr;
    QAction *m_tbItalic = nullptr;
    QAction *m_tbUnderline = nullptr;
    QLabel *m_sbrDate = nullptr;
    QLabel *m_sbrTime = nullptr;
    QLabel *m_sbrIns = nullptr;
    QLabel *m_sbrCaps = nullptr;
    QLabel *m_sbrNum = nullptr;
    QTimer *m_tmrRecovery = nullptr;

    QPointer<frmDocument> m_lastDocument;
    int m_filterIndex = 0;
    QString m_lastFileName;
    bool m_overwrite = false;
    bool m_showingStyle = false; // a style button is set to what its command did
    bool m_showingTitle = false;
    bool m_shown = false;
    bool m_closed = false; // the close was accepted: what was not saved, the user chose to discard
};
