#pragma once

#include <QTextEdit>

// The rich-text box of a TextEd document (`rtfText`). Copy, Cut and dragging put the selection on
// the clipboard as plain text, RTF and HTML together, so other programs take whichever they read;
// Paste and dropping take RTF when it is offered, then HTML, then plain text. The Insert key
// switches between inserting and overwriting (the frame keeps that state for every document).
class RichTextBox final : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichTextBox(QWidget *parent = nullptr);

    // The names other programs offer RTF under, the first being the one this box offers.
    static const QStringList &rtfMimeTypes();

Q_SIGNALS:
    void insertKeyPressed();

protected:
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void insertHtml(QString html);
};
