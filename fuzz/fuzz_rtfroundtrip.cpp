// RTF read, written and read again: the second reading holds the same text as the first, and
// writing it again gives the same bytes.
#include "rtf/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // text documents need the font database
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument first;
    if (!Rtf::read(bytes, &first))
        return 0;
    const QByteArray written = Rtf::write(first);
    QTextDocument second;
    if (!Rtf::read(written, &second))
        std::abort();
    if (second.toRawText() != first.toRawText())
        std::abort();
    if (Rtf::write(second) != written)
        std::abort();
    return 0;
}
