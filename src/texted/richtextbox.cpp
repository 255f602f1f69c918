#include "texted/richtextbox.h"

#include "rtf/rtf.h"
#include "texted/textedfiles.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocumentFragment>

RichTextBox::RichTextBox(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("rtfText"));
    setAcceptRichText(true);
    // Text typed beside hidden text is not hidden.
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat &format) {
        if (!format.hasProperty(Rtf::HiddenTextProperty) || textCursor().hasSelection())
            return;
        QTextCharFormat shown = format;
        shown.clearProperty(Rtf::HiddenTextProperty);
        setCurrentCharFormat(shown);
    });
}

const QStringList &RichTextBox::rtfMimeTypes()
{
    static const QStringList types
        = { QStringLiteral("text/rtf"), QStringLiteral("application/rtf"), QStringLiteral("text/richtext") };
    return types;
}

QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *mime = new QMimeData;
    const QTextDocumentFragment fragment = cursor.selection();
    // Plain text with "\n" line ends (the platform layer adds CR on Windows), no object placeholders.
    mime->setText(TextEdFiles::characters(fragment.toRawText()));
    mime->setData(rtfMimeTypes().constFirst(), Rtf::writeSelection(cursor));
    mime->setHtml(fragment.toHtml());
    return mime;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    for (const QString &type : rtfMimeTypes()) {
        if (source->hasFormat(type))
            return true;
    }
    return QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    for (const QString &type : rtfMimeTypes()) {
        if (!source->hasFormat(type))
            continue;
        QTextCursor cursor = textCursor();
        if (Rtf::insert(source->data(type), cursor)) {
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
    }
    if (source->hasHtml() && acceptRichText()) {
        insertHtml(source->html());
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

// As the standard box does, without the fragment markers: a marker inside a paragraph (Qt writes
// them there) makes the importer drop that paragraph's format, its alignment among it.
void RichTextBox::insertHtml(QString html)
{
    html.remove(QStringLiteral("<!--StartFragment-->")).remove(QStringLiteral("<!--EndFragment-->"));
    QTextCursor cursor = textCursor();
    cursor.insertFragment(QTextDocumentFragment::fromHtml(html, document()));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        Q_EMIT insertKeyPressed();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}
