#include "texted/textedfiles.h"

#include "common/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

namespace TextEdFiles {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TextEdFiles", text);
}

// The common decoding, line by line (UTF-8, else Windows-1252, so one Windows-1252 line does not spoil
// the UTF-8 of the rest), with LF between the lines and a break at the end only where the file has one.
QString decodeLines(const QByteArray &bytes)
{
    QString text = decodeTextFile(bytes);
    if (!bytes.endsWith('\r') && !bytes.endsWith('\n'))
        text.chop(2);
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

QStringList dialogFilters()
{
    const QStringList parts = QString::fromLatin1(FilterList).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts.at(i));
    return filters;
}

Format formatOfFilter(int filterIndex)
{
    return filterIndex >= TextFilter ? Format::PlainText : Format::Rtf;
}

int filterOfOpenedFile(const QString &path, bool isRtf)
{
    if (isRtf)
        return RtfFilter;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"bat")
        return BatchFilter;
    if (suffix == u"html" || suffix == u"htm")
        return HtmlFilter;
    return TextFilter;
}

std::optional<QByteArray> readFile(
    const QString &path, Message *failure, const std::function<bool(qint64 size)> &mayReadLarge)
{
    QString reason;
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        reason = tr("The file does not exist.");
    } else if (QFileInfo(path).isDir()) {
        reason = tr("This is a folder, not a file.");
    } else if (openRegularFile(file, &reason)) {
        const qint64 size = file.size();
        if (size > MaxFileSize) {
            reason = tr("The file holds %1, more than TextEd can show.").arg(QLocale().formattedDataSize(size));
        } else if (size > LargeFileSize && !(mayReadLarge && mayReadLarge(size))) {
            if (failure)
                *failure = Message();
            return std::nullopt;
        } else if (std::optional<QByteArray> bytes = readDevice(file, &reason)) {
            return bytes;
        }
    }
    if (failure)
        *failure = cannotOpenMessage(path, reason);
    return std::nullopt;
}

FileStamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return { true, info.size(), info.lastModified() };
}

bool changedSince(const FileStamp &stamp, const QString &path)
{
    const FileStamp now = stampOf(path);
    return stamp.known && now.known && now != stamp;
}

std::optional<QString> plainText(const QByteArray &bytes)
{
    const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes);
    if (bom && *bom != QStringConverter::Utf8) {
        const bool utf32 = *bom == QStringConverter::Utf32LE || *bom == QStringConverter::Utf32BE;
        if (bytes.size() % (utf32 ? 4 : 2) != 0) // cut in the middle of a character
            return std::nullopt;
        QStringDecoder decoder(*bom, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (decoder.hasError() || !text.isValidUtf16() || text.contains(QChar(0)))
            return std::nullopt;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    }
    if (bytes.contains('\0'))
        return std::nullopt;
    return decodeLines(bytes);
}

QString characters(const QString &rawText, QStringView lineEnd)
{
    return withLineEnds(QString(rawText).remove(QChar::ObjectReplacementCharacter), lineEnd);
}

QByteArray plainTextBytes(const QString &rawText)
{
    return characters(rawText, u"\r\n").toUtf8();
}

QString withPdfEnding(const QString &fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".pdf") : fileName;
}

Message cannotOpenMessage(const QString &path, const QString &reason)
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot open the file"),
        tr("THE FILE COULD NOT BE OPENED\r\n\r\n%1\r\n%2\r\n\r\nSolution:\r\n"
           "Check the name and the folder, and that you may read the file, then try again.")
            .arg(QDir::toNativeSeparators(path), reason) };
}

Message largeFileQuestion(const QString &path, qint64 size)
{
    return { Message::Icon::Question, tr("Quillory2: A very large file"),
        tr("THE FILE IS VERY LARGE\r\n\r\n%1\r\nIt holds %2. Opening it can take a long time and much memory, "
           "and Quillory2 does not answer meanwhile.\r\n\r\nOpen it anyway?")
            .arg(QDir::toNativeSeparators(path), QLocale().formattedDataSize(size)) };
}

Message openElsewhereMessage(const QString &path)
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot save the file"),
        tr("THE FILE IS OPEN IN ANOTHER WINDOW\r\n\r\n%1\r\nSaving this document there would replace what the "
           "other window shows, and that window's next save would replace this document.\r\n\r\nSolution:\r\n"
           "Choose another name, or close the other window first.")
            .arg(QDir::toNativeSeparators(path)) };
}

Message changedOnDiskQuestion(const QString &path)
{
    return { Message::Icon::Question, tr("Quillory2: The file was changed"),
        tr("THE FILE WAS CHANGED BY ANOTHER PROGRAM\r\n\r\n%1\r\nIt changed after TextEd opened or last saved "
           "it. Saving now would replace those changes with this document.\r\n\r\nSave over it?\r\n\r\n"
           "If you answer No, you choose a new name for this document, and the file stays as the other program "
           "left it.")
            .arg(QDir::toNativeSeparators(path)) };
}

Message unreadableCopiesMessage(const QString &folder, const QStringList &fileNames)
{
    return { Message::Icon::Exclamation, tr("Quillory2: Documents kept"),
        tr("SOME KEPT DOCUMENTS COULD NOT BE READ\r\n\r\n%1\r\nin the folder %2\r\n\r\nSolution:\r\n"
           "They stay in that folder and are offered again the next time TextEd opens. You can also open them "
           "with another word processor.")
            .arg(fileNames.join(QStringLiteral("\r\n")), QDir::toNativeSeparators(folder)) };
}

Message notTextMessage(const QString &path)
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot open the file"),
        tr("THE FILE IS NOT A TEXT FILE\r\n\r\n%1\r\nIt holds neither rich text nor plain text (it may be a program, "
           "a picture or an archive).\r\n\r\nSolution:\r\nOpen it with the program that made it.")
            .arg(QDir::toNativeSeparators(path)) };
}

Message partsLeftOutMessage(const QString &path, bool truncated)
{
    const QString what = truncated ? tr("The file ends before its last part: it may be damaged. TextEd shows the "
                                        "text it holds.")
                                   : tr("The file holds parts that TextEd does not show, such as pictures, tables, "
                                        "lists, links, notes, headers or footers. TextEd shows its text.");
    return { Message::Icon::Exclamation, tr("Quillory2: Parts of the file are not shown"),
        tr("NOT EVERYTHING IN THE FILE CAN BE SHOWN\r\n\r\n%1\r\n%2\r\n\r\nSolution:\r\n"
           "To keep the file as it is, save your changes under a new name with Save As: saving over this file "
           "would leave out what is not shown.")
            .arg(QDir::toNativeSeparators(path), what) };
}

Message printFailedMessage(const QString &printer)
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot print"),
        tr("THE DOCUMENT COULD NOT BE PRINTED\r\n\r\nThe printer %1 did not take the document.\r\n\r\n"
           "Solution:\r\nCheck that the printer is switched on and ready, then print again.")
            .arg(printer) };
}

} // namespace TextEdFiles
