#include "common/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five unassigned bytes map to themselves.
constexpr char16_t cp1252High[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *dst++ = (b >= 0x80 && b < 0xA0) ? QChar(cp1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

// A U+FEFF inside the text is a character of it: only the file's own mark is dropped (by the caller).
QString decodeLine(QByteArrayView line)
{
    QStringDecoder utf8(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(line);
    if (utf8.hasError())
        return decodeWindows1252(line);
    return text;
}

namespace {

// Lines end at CR LF, CR or LF; the last line needs no break.
template <typename View, typename OnLine> void splitLines(View data, OnLine onLine)
{
    const qsizetype size = data.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && data[end] != u'\r' && data[end] != u'\n')
            ++end;
        onLine(data.sliced(start, end - start));
        start = end + 1;
        if (end < size && data[end] == u'\r' && start < size && data[start] == u'\n')
            ++start;
    }
}

// The text after a UTF-16 byte-order mark, or nullopt when the bytes have none.
std::optional<QString> decodeUtf16(const QByteArray &bytes)
{
    const bool little = bytes.startsWith("\xFF\xFE");
    if (!little && !bytes.startsWith("\xFE\xFF"))
        return std::nullopt;
    const QByteArrayView units = QByteArrayView(bytes).sliced(2);
    // The mark is already taken off: a second one is text.
    QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf16.decode(units.first(units.size() & ~qsizetype(1)));
    if (units.size() % 2 != 0)
        text += QChar::ReplacementCharacter; // a byte left over at the end is shown, not dropped
    return text;
}

QString errnoText()
{
    return qt_error_string(errno);
}

} // namespace

namespace {

// The bytes after a UTF-8 byte-order mark at the start of the file.
QByteArrayView withoutUtf8Mark(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    return view.startsWith("\xEF\xBB\xBF") ? view.sliced(3) : view;
}

} // namespace

void forEachLine(const QByteArray &bytes, const std::function<void(const QString &text, QByteArrayView raw)> &line)
{
    if (const std::optional<QString> text = decodeUtf16(bytes)) {
        splitLines(QStringView(*text), [&line](QStringView part) {
            const QString partText = part.toString();
            line(partText, partText.toUtf8());
        });
        return;
    }
    splitLines(withoutUtf8Mark(bytes), [&line](QByteArrayView raw) { line(decodeLine(raw), raw); });
}

QString decodeTextFile(const QByteArray &bytes)
{
    QString result;
    result.reserve(bytes.size() + bytes.size() / 16);
    const auto append = [&result](const auto &line) {
        result += line;
        result += QLatin1String("\r\n");
    };
    if (const std::optional<QString> text = decodeUtf16(bytes))
        splitLines(QStringView(*text), append);
    else
        splitLines(withoutUtf8Mark(bytes), [&append](QByteArrayView raw) { append(decodeLine(raw)); });
    return result;
}

std::optional<QByteArray> readDevice(QIODevice &device, QString *error)
{
    QByteArray bytes;
    bytes.reserve(qMax<qint64>(0, device.size()));
    char buffer[64 * 1024];
    for (;;) {
        const qint64 read = device.read(buffer, sizeof buffer);
        if (read < 0) {
            if (error)
                *error = device.errorString();
            return std::nullopt;
        }
        if (read == 0)
            return bytes;
        bytes.append(buffer, read);
    }
}

namespace {

QString notRegularText()
{
    return QObject::tr("This is not a file of text or data (it is a folder, a pipe or a device).");
}

} // namespace

#ifdef Q_OS_UNIX
// Opened without waiting (a pipe would wait for a writer), checked, then made a blocking read.
bool openRegularFile(QFile &file, QString *error)
{
    const QByteArray name = QFile::encodeName(file.fileName());
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QString reason;
    struct stat info
    {
    };
    if (fd < 0)
        reason = errnoText();
    else if (::fstat(fd, &info) != 0)
        reason = errnoText();
    else if (!S_ISREG(info.st_mode))
        reason = notRegularText();
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        reason = errnoText();
    else if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    else
        reason = file.errorString();
    if (fd >= 0 && !file.isOpen())
        ::close(fd);
    if (error)
        *error = reason;
    return false;
}
#else
bool openRegularFile(QFile &file, QString *error)
{
    QString reason;
    if (const QFileInfo info(file.fileName()); info.exists() && !info.isFile())
        reason = notRegularText();
    else if (file.open(QIODevice::ReadOnly))
        return true;
    else
        reason = file.errorString();
    if (error)
        *error = reason;
    return false;
}
#endif

std::optional<QByteArray> ReadFileBytes(const QString &path, QString *error)
{
    if (const QFileInfo info(path); !info.exists() && !info.isSymLink())
        return QByteArray();
    QFile file(path);
    if (!openRegularFile(file, error))
        return std::nullopt;
    return readDevice(file, error);
}

bool CreateMissingFile(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

std::optional<QString> ReadTextFile(const QString &path, QString *error)
{
    const std::optional<QByteArray> bytes = ReadFileBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return decodeTextFile(*bytes);
}

bool WriteWithHeadings(const QString &path, const QStringList &headings, const QString &text, QString *error)
{
    QString file;
    for (const QString &heading : headings)
        file += OneLine(heading) + QStringLiteral("\r\n");
    return WriteTextFile(path, file + text + QStringLiteral("\r\n"), error);
}

std::pair<QStringList, QString> SplitHeadings(QString text, int count)
{
    QStringList headings;
    for (int i = 0; i < count; ++i) {
        const qsizetype end = text.indexOf(QStringLiteral("\r\n"));
        headings.append(text.left(end));
        text.remove(0, end < 0 ? text.size() : end + 2);
    }
    text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : 0);
    return { headings, text };
}

QString withLineEnds(const QString &text, QStringView lineEnd)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            result += lineEnd;
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}
