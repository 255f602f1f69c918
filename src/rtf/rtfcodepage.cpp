#include "rtf/rtfcodepage.h"

#include "common/textfile.h"

namespace RtfCodePage {

namespace {

// The Symbol font's letters and signs that differ from ASCII (0x20-0x7E) and its upper half
// (0xA0-0xFE) as far as Unicode has them; the rest keep their byte value.
constexpr char16_t symbolLow[0x5F] = {
    0x0020,
    0x0021,
    0x2200,
    0x0023,
    0x2203,
    0x0025,
    0x0026,
    0x220B,
    0x0028,
    0x0029,
    0x2217,
    0x002B,
    0x002C,
    0x2212,
    0x002E,
    0x002F,
    0x0030,
    0x0031,
    0x0032,
    0x0033,
    0x0034,
    0x0035,
    0x0036,
    0x0037,
    0x0038,
    0x0039,
    0x003A,
    0x003B,
    0x003C,
    0x003D,
    0x003E,
    0x003F,
    0x2245,
    0x0391,
    0x0392,
    0x03A7,
    0x0394,
    0x0395,
    0x03A6,
    0x0393,
    0x0397,
    0x0399,
    0x03D1,
    0x039A,
    0x039B,
    0x039C,
    0x039D,
    0x039F,
    0x03A0,
    0x0398,
    0x03A1,
    0x03A3,
    0x03A4,
    0x03A5,
    0x03C2,
    0x03A9,
    0x039E,
    0x03A8,
    0x0396,
    0x005B,
    0x2234,
    0x005D,
    0x22A5,
    0x005F,
    0xF8E5,
    0x03B1,
    0x03B2,
    0x03C7,
    0x03B4,
    0x03B5,
    0x03C6,
    0x03B3,
    0x03B7,
    0x03B9,
    0x03D5,
    0x03BA,
    0x03BB,
    0x03BC,
    0x03BD,
    0x03BF,
    0x03C0,
    0x03B8,
    0x03C1,
    0x03C3,
    0x03C4,
    0x03C5,
    0x03D6,
    0x03C9,
    0x03BE,
    0x03C8,
    0x03B6,
    0x007B,
    0x007C,
    0x007D,
    0x223C,
};
constexpr char16_t symbolHigh[0x5F] = {
    0x20AC,
    0x03D2,
    0x2032,
    0x2264,
    0x2044,
    0x221E,
    0x0192,
    0x2663,
    0x2666,
    0x2665,
    0x2660,
    0x2194,
    0x2190,
    0x2191,
    0x2192,
    0x2193,
    0x00B0,
    0x00B1,
    0x2033,
    0x2265,
    0x00D7,
    0x221D,
    0x2202,
    0x2022,
    0x00F7,
    0x2260,
    0x2261,
    0x2248,
    0x2026,
    0x23D0,
    0x23AF,
    0x21B5,
    0x2135,
    0x2111,
    0x211C,
    0x2118,
    0x2297,
    0x2295,
    0x2205,
    0x2229,
    0x222A,
    0x2283,
    0x2287,
    0x2284,
    0x2282,
    0x2286,
    0x2208,
    0x2209,
    0x2220,
    0x2207,
    0x00AE,
    0x00A9,
    0x2122,
    0x220F,
    0x221A,
    0x22C5,
    0x00AC,
    0x2227,
    0x2228,
    0x21D4,
    0x21D0,
    0x21D1,
    0x21D2,
    0x21D3,
    0x25CA,
    0x2329,
    0x00AE,
    0x00A9,
    0x2122,
    0x2211,
    0x239B,
    0x239C,
    0x239D,
    0x23A1,
    0x23A2,
    0x23A3,
    0x23A7,
    0x23A8,
    0x23A9,
    0x23AA,
    0xF8FF,
    0x232A,
    0x222B,
    0x2320,
    0x23AE,
    0x2321,
    0x239E,
    0x239F,
    0x23A0,
    0x23A4,
    0x23A5,
    0x23A6,
    0x23AB,
    0x23AC,
    0x23AD,
};

bool isMultiByteCodePage(int codePage)
{
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
    case 10001:
    case 10002:
    case 10003:
    case 10008:
    case 20932:
    case 54936:
    case 65001: return true;
    default: return false;
    }
}

QStringDecoder decoderFor(int codePage)
{
    switch (codePage) {
    case 65001: return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    case 10000: return QStringDecoder("macintosh", QStringDecoder::Flag::Stateless);
    case 54936: return QStringDecoder("GB18030", QStringDecoder::Flag::Stateless);
    default: break;
    }
    for (const char *pattern : { "windows-%1", "cp%1", "ibm-%1", "x-mac-%1" }) {
        QStringDecoder decoder(QByteArray(pattern).replace("%1", QByteArray::number(codePage)).constData(),
            QStringDecoder::Flag::Stateless);
        if (decoder.isValid())
            return decoder;
    }
    return QStringDecoder();
}

} // namespace

int fromCharset(int charset)
{
    switch (charset) {
    case 0: return Ansi;
    case 2: return Symbol;
    case 77: return MacRoman;
    case 78: return 10001;
    case 79: return 10003;
    case 80: return 10008;
    case 81: return 10002;
    case 83: return 10005;
    case 84: return 10004;
    case 85: return 10006;
    case 86: return 10081;
    case 87: return 10021;
    case 88: return 10029;
    case 89: return 10007;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

Decoder::Decoder(int codePage)
    : m_codePage(codePage)
{
    for (int b = 0; b < 0x80; ++b)
        m_table[b] = char16_t(b);
    if (codePage == Symbol) {
        for (int b = 0x20; b < 0x7F; ++b)
            m_table[b] = symbolLow[b - 0x20];
        const QString upper = decodeWindows1252(QByteArray("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c"
                                                           "\x8d\x8e\x8f\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99"
                                                           "\x9a\x9b\x9c\x9d\x9e\x9f"));
        for (int b = 0x80; b < 0xA0; ++b)
            m_table[b] = upper.at(b - 0x80).unicode();
        for (int b = 0xA0; b < 0xFF; ++b)
            m_table[b] = symbolHigh[b - 0xA0];
        m_table[0xFF] = 0xFF;
        return;
    }
    m_multiByte = isMultiByteCodePage(codePage);
    if (codePage != Ansi)
        m_decoder = decoderFor(codePage);
    if (!m_decoder.isValid()) {
        m_multiByte = false; // unknown code pages read as Windows-1252
        m_codePage = Ansi;
    }
    if (m_multiByte)
        return;
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        const QString decoded = m_codePage == Ansi ? decodeWindows1252(QByteArrayView(&byte, 1))
                                                   : m_decoder.decode(QByteArrayView(&byte, 1));
        m_table[b] = decoded.size() == 1 ? decoded.at(0).unicode() : char16_t(0xFFFD);
    }
}

QString Decoder::decode(QByteArrayView bytes)
{
    if (m_multiByte)
        return m_decoder.decode(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char b : bytes)
        *out++ = QChar(m_table[static_cast<unsigned char>(b)]);
    return text;
}

Decoder &Cache::get(int codePage)
{
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end())
        it = m_decoders.insert(codePage, std::make_shared<Decoder>(codePage));
    return **it;
}

} // namespace RtfCodePage
