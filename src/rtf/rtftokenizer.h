#pragma once

#include <QByteArrayView>

#include <string_view>
#include <vector>

struct RtfToken
{
    enum class Kind : quint8 {
        End, // no more bytes
        GroupStart,
        GroupEnd,
        Word, // a control word other than \u, \uc and \bin
        Symbol, // \ followed by one character that is not a letter or ', and a raw tab
        Byte, // \'hh
        Text, // raw bytes up to the next brace, backslash, tab or line end
        Unicode, // \uN as one UTF-16 unit
    };
    Kind kind = Kind::End;
    std::string_view name; // Word
    bool hasParameter = false; // Word
    int parameter = 0; // Word; the byte of Byte; the unit of Unicode
    char symbol = 0; // Symbol
    QByteArrayView text; // Text
};

// Splits RTF bytes into tokens. Besides the syntax it owns what must be stepped over without
// reaching the reader: raw line ends and NUL bytes, the data of \binN, and the fallback after each
// \uN: the next \ucN characters (a byte, a \'hh, a control word or symbol counts one; \ucN is
// group-scoped, 1 at the start), cut short by a brace. Parameters saturate at the range of int.
class RtfTokenizer final
{
public:
    static constexpr int MaxUnicodeSkip = 16;

    explicit RtfTokenizer(QByteArrayView data);

    RtfToken next();

    // Steps over the rest of the group whose start was the last GroupStart, its closing brace
    // included; false when the bytes end first.
    bool skipGroup();

private:
    RtfToken escape();
    RtfToken word();
    RtfToken text();
    void skipBinary(const RtfToken &word);
    bool skipsFallback();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    std::vector<quint8> m_unicodeSkip { 1 }; // \ucN of each open group
    int m_fallbackLeft = 0;
};
