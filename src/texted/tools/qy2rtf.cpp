// qy2-rtf: the editor's RTF codec from the command line.
//   qy2-rtf to-text FILE     the text, UTF-8, one paragraph per line
//   qy2-rtf dump FILE        the paragraphs and their runs with formatting, as JSON
//   qy2-rtf convert IN OUT   IN (RTF or plain text) written to OUT as RTF
// A file that does not start with {\rtf is read as plain text, as the editor opens it. Exit status:
// 0 on success, 1 when a file cannot be read or written, 2 for a wrong command line.

#include "common/textfile.h"
#include "rtf/rtf.h"
#include "rtf/rtfformat.h"
#include "texted/textedfiles.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>

namespace {

// The editor's own default for a document that names no font.
QFont editorDefaultFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    return font;
}

void complain(const QString &message)
{
    std::fputs(qPrintable(QStringLiteral("qy2-rtf: ") + message + u'\n'), stderr);
}

bool load(const QString &path, QTextDocument &document)
{
    QFile file(path);
    QString reason;
    std::optional<QByteArray> bytes;
    if (openRegularFile(file, &reason)) // a named pipe or a device is refused without waiting on it
        bytes = readDevice(file, &reason);
    if (!bytes) {
        complain(QStringLiteral("cannot read %1: %2").arg(path, reason));
        return false;
    }
    document.setDefaultFont(editorDefaultFont());
    Rtf::ReadInfo info;
    if (Rtf::read(*bytes, &document, &info)) {
        if (info.lostContent()) {
            complain(QStringLiteral("%1: left out %2 pictures or objects, %3 notes, %4 headers or footers, "
                                    "%5 table rows, %6 list items, %7 fields%8")
                         .arg(path)
                         .arg(info.pictures)
                         .arg(info.notes)
                         .arg(info.headersAndFooters)
                         .arg(info.tableRows)
                         .arg(info.listItems)
                         .arg(info.fields)
                         .arg(info.tooDeep ? QStringLiteral(" and groups nested too deeply") : QString()));
        }
        if (info.truncated)
            complain(QStringLiteral("%1: the file ends early; read what it holds").arg(path));
        return true;
    }
    QString text = decodeTextFile(*bytes); // every line ends with CR LF
    text.chop(text.endsWith(QLatin1String("\r\n")) ? 2 : 0);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    document.setPlainText(text);
    return true;
}

QString alignmentName(Qt::Alignment alignment)
{
    switch (RtfFormat::horizontal(alignment)) {
    case Qt::AlignJustify: return QStringLiteral("justify");
    case Qt::AlignHCenter: return QStringLiteral("center");
    case Qt::AlignRight: return QStringLiteral("right");
    default: return QStringLiteral("left");
    }
}

QJsonObject runObject(const QTextCharFormat &format, const QFont &defaultFont)
{
    const QFont font = format.font().resolve(defaultFont);
    const qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    QJsonObject run;
    run.insert(QStringLiteral("bold"), font.weight() >= QFont::DemiBold);
    run.insert(QStringLiteral("italic"), font.italic());
    run.insert(QStringLiteral("underline"),
        format.fontUnderline() || (!format.hasProperty(QTextFormat::TextUnderlineStyle) && font.underline()));
    run.insert(QStringLiteral("font"), font.family());
    run.insert(QStringLiteral("size"), size);
    run.insert(QStringLiteral("color"),
        format.foreground().style() == Qt::NoBrush ? QJsonValue() : QJsonValue(format.foreground().color().name()));
    return run;
}

QJsonObject dump(const QTextDocument &document)
{
    QJsonArray paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QJsonArray runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter);
            if (text.isEmpty())
                continue;
            QJsonObject run = runObject(fragment.charFormat(), document.defaultFont());
            if (!runs.isEmpty()) {
                QJsonObject last = runs.last().toObject();
                const QString lastText = last.take(QStringLiteral("text")).toString();
                if (last == run) { // fragments that differ only in what the dump does not show
                    last.insert(QStringLiteral("text"), QString(lastText + text));
                    runs.replace(runs.size() - 1, last);
                    continue;
                }
            }
            run.insert(QStringLiteral("text"), text);
            runs.append(run);
        }
        paragraphs.append(QJsonObject {
            { QStringLiteral("align"), alignmentName(block.blockFormat().alignment()) },
            { QStringLiteral("runs"), runs },
        });
    }
    return QJsonObject { { QStringLiteral("paragraphs"), paragraphs } };
}

bool save(const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (WriteFileBytes(path, bytes, &reason))
        return true;
    complain(QStringLiteral("cannot write %1: %2").arg(path, reason));
    return false;
}

void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int usage()
{
    std::fputs("usage: qy2-rtf to-text FILE | dump FILE | convert IN OUT\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (!((command == u"to-text" || command == u"dump") && args.size() == 2)
        && !(command == u"convert" && args.size() == 3))
        return usage();
    QTextDocument document;
    if (!load(args.at(1), document))
        return 1;
    if (command == u"to-text") {
        print((TextEdFiles::characters(document.toRawText()) + u'\n').toUtf8());
        return 0;
    }
    if (command == u"dump") {
        print(QJsonDocument(dump(document)).toJson(QJsonDocument::Indented));
        return 0;
    }
    return save(args.at(2), Rtf::write(document)) ? 0 : 1;
}
