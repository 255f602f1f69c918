#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringDecoder>

#include <array>
#include <memory>

// Decoding of the 8-bit text in RTF files (raw bytes and \'hh escapes). The code page comes from
// the current font's \fcharset or \cpg, else from the header's \ansicpg. Single-byte code pages
// decode through a 256-entry table; double-byte ones (Japanese, Chinese, Korean) need the lead
// and trail byte together and go through a QStringDecoder.
namespace RtfCodePage {

constexpr int Ansi = 1252;
constexpr int MacRoman = 10000;
constexpr int Symbol = -2; // the Symbol font's own encoding (\fcharset2 with the font named Symbol)

// The code page of a Windows character set number (\fcharsetN); 0 when the set says "default".
int fromCharset(int charset);

class Decoder final
{
public:
    explicit Decoder(int codePage);

    int codePage() const { return m_codePage; }
    bool isMultiByte() const { return m_multiByte; }
    // Single-byte code pages only.
    QChar byte(unsigned char b) const { return QChar(m_table[b]); }
    // Any code page: whole characters; an incomplete or invalid sequence becomes U+FFFD.
    QString decode(QByteArrayView bytes);

private:
    int m_codePage = Ansi;
    bool m_multiByte = false;
    std::array<char16_t, 256> m_table {};
    QStringDecoder m_decoder;
};

// One decoder per code page, made when first asked for.
class Cache final
{
public:
    Decoder &get(int codePage);

private:
    QHash<int, std::shared_ptr<Decoder>> m_decoders;
};

} // namespace RtfCodePage
