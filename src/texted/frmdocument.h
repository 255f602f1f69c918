#pragma once

#include <QMdiSubWindow>
#include <functional>

class QTextDocument;
class RichTextBox;

// One TextEd document: a window inside the frame holding the rich-text box `rtfText`, which fills
// it. Its caption is "Document N" until it belongs to a file, then the file's full path. It
// remembers the filter it is saved with (the format: RTF or the characters only), from the file it
// was opened from or the filter chosen when it was named.
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
    QString caption() const;

    QString filePath() const { return m_filePath; } // empty until the document has a file
    void setFilePath(const QString &path); // also the caption
    int filterIndex() const { return m_filterIndex; } // 0 until a file or a filter is known
    void setFilterIndex(int index) { m_filterIndex = index; }

    bool isModified() const;

    // Asked before the window closes; false keeps it open (its user chose Cancel).
    void setCloseQuestion(std::function<bool(frmDocument *)> question) { m_closeQuestion = std::move(question); }

    // The editor's font: Courier New 9.75 pt, or the desktop's fixed-width font where it is missing.
    static QFont defaultFont();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    RichTextBox *m_rtfText = nullptr;
    QString m_filePath;
    int m_filterIndex = 0;
    std::function<bool(frmDocument *)> m_closeQuestion;
};
