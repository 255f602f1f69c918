// Any bytes read as RTF: never crashes, hangs or leaks, and the document stays well formed.
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
    QTextDocument document;
    Rtf::ReadInfo info;
    if (Rtf::read(bytes, &document, &info) != Rtf::isRtf(bytes))
        std::abort();
    if (document.blockCount() < 1)
        std::abort();
    return 0;
}
