// Any bytes opened in TextEd as a file without rich text: never crashes; the text has no CR left, and
// saving it as a text file and opening that again gives the same text.
#include "texted/textedfiles.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> text = TextEdFiles::plainText(bytes);
    if (!text)
        return 0;
    if (text->contains(QLatin1Char('\r')))
        std::abort();
    // Characters a text file cannot hold as such (objects, separators, a leading byte-order mark) change.
    for (const QChar c : *text) {
        if (c == QChar(0xFFFC) || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0))
            return 0;
    }
    if (text->startsWith(QChar(0xFEFF)))
        return 0;
    const std::optional<QString> again = TextEdFiles::plainText(TextEdFiles::plainTextBytes(*text));
    if (!again || *again != *text)
        std::abort();
    return 0;
}
