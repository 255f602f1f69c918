#include "rtf/rtfformat.h"

#include <algorithm>

namespace RtfFormat {

int clampHalfPoints(int halfPoints)
{
    return std::clamp(halfPoints, 1, MaxHalfPoints);
}

int halfPoints(const QFont &font)
{
    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    return clampHalfPoints(qRound(points * 2));
}

Qt::Alignment horizontal(Qt::Alignment alignment)
{
    const Qt::Alignment h = alignment & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        return Qt::AlignJustify;
    if (h & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    if (h & (Qt::AlignRight | Qt::AlignTrailing))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

const char *alignmentWord(Qt::Alignment alignment)
{
    switch (horizontal(alignment)) {
    case Qt::AlignJustify: return "qj";
    case Qt::AlignHCenter: return "qc";
    case Qt::AlignRight: return "qr";
    default: return "ql";
    }
}

void sanitize(QString &text)
{
    QChar *data = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = data[i].unicode();
        if ((ch >= 0x20 && ch < 0xD800 && ch != 0x2029) || ch == u'\t')
            continue;
        if (ch == u'\r' || ch == u'\n' || ch == 0x2029)
            data[i] = QChar::LineSeparator;
        else if (ch < 0x20 || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFE || ch == 0xFFFF)
            data[i] = QChar::ReplacementCharacter;
        else if (QChar::isHighSurrogate(ch) && i + 1 < size && QChar::isLowSurrogate(data[i + 1].unicode()))
            ++i;
        else if (QChar::isSurrogate(ch))
            data[i] = QChar::ReplacementCharacter;
    }
}

} // namespace RtfFormat
