// Any bytes read as a text file: never crashes, and every line comes back ended by CR LF.
#include "common/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = decodeTextFile(bytes);
    const bool byteOrderMarkAlone = bytes == "\xFF\xFE" || bytes == "\xFE\xFF" || bytes == "\xEF\xBB\xBF";
    if (!bytes.isEmpty() && !byteOrderMarkAlone && !text.endsWith(QLatin1String("\r\n")))
        std::abort();
    if (text.count(QLatin1String("\r\n")) != text.count(QLatin1Char('\r')))
        std::abort(); // no CR is left alone
    return 0;
}
