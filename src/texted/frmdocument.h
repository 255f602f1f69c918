#pragma once

#include "texted/textedfiles.h"

#include <QMdiSubWindow>
#include <functional>

class QTextDocument;
class RichTextBox;

// One TextEd document: a window inside the frame holding the rich-text box `rtfText`, which fills
// it. Its caption is "Document N" until it belongs to a file, then the file's full path. It
// remembers the filter it is saved with (the format: RTF or the characters only), from the file it
// was opened from or the filter chosen when it was named. While it is edited, the frame keeps a
// recovery copy of it (RecoveryStore), rewritten as it changes.
class frmDocument final : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit frmDocument(QWidget *parent = nullptr);

    RichTextBox *rtfText() const { return m_rtfText; }
    QTextDocument *document() const;
    // Shows a document read elsewhere (reading into a document that is on screen lays it out at
    // every step): the box takes it over, with its default font.
    void setDocument(QTextDocument *document);

    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }

    QString filePath() const { return m_filePath; } // empty until the document has a file
    void setFilePath(const QString &path); // also the caption
    int filterIndex() const { return m_filterIndex; } // 0 until a file or a filter is known
    void setFilterIndex(int index) { m_filterIndex = index; }

    bool isModified() const;

    // What its file was when it was last read or written (unknown for a document without one).
    TextEdFiles::FileStamp diskStamp() const { return m_diskStamp; }
    void setDiskStamp(const TextEdFiles::FileStamp &stamp) { m_diskStamp = stamp; }

    // The name of its recovery copy, empty while it has none; due when it changed since that copy.
    QString recoveryCopy() const { return m_recoveryCopy; }
    void setRecoveryCopy(const QString &fileName) { m_recoveryCopy = fileName; }
    bool isRecoveryDue() const { return m_recoveryDue; }
    void setRecoveryDue(bool due) { m_recoveryDue = due; }

    // Asked before the window closes; false keeps it open (its user chose Cancel).
    void setCloseQuestion(std::function<bool(frmDocument *)> question) { m_closeQuestion = std::move(question); }

    // The editor's font: Courier New 9.75 pt, or the desktop's fixed-width font where it is missing.
    static QFont defaultFont();

Q_SIGNALS:
    void edited(); // the text or its formatting changed
    void modificationChanged(bool modified);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void watch(QTextDocument *document);

    RichTextBox *m_rtfText = nullptr;
    QString m_caption;
    QString m_filePath;
    int m_filterIndex = 0;
    TextEdFiles::FileStamp m_diskStamp;
    QString m_recoveryCopy;
    bool m_recoveryDue = false;
    std::function<bool(frmDocument *)> m_closeQuestion;
};
