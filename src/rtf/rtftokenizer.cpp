#include "rtf/rtftokenizer.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 ParameterLimit = qint64(std::numeric_limits<int>::max()) + 1;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Bytes that end a run of text.
bool isSpecial(char c)
{
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\t' || c == '\0';
}

RtfToken symbol(char c)
{
    RtfToken token;
    token.kind = RtfToken::Kind::Symbol;
    token.symbol = c;
    return token;
}

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView data)
    : m_data(data)
{ }

RtfToken RtfTokenizer::next()
{
    using Kind = RtfToken::Kind;
    while (m_pos < m_data.size()) {
        RtfToken token;
        switch (m_data[m_pos]) {
        case '{':
            ++m_pos;
            m_fallbackLeft = 0;
            m_unicodeSkip.push_back(m_unicodeSkip.back());
            token.kind = Kind::GroupStart;
            return token;
        case '}':
            ++m_pos;
            m_fallbackLeft = 0;
            if (m_unicodeSkip.size() > 1)
                m_unicodeSkip.pop_back();
            token.kind = Kind::GroupEnd;
            return token;
        case '\r':
        case '\n':
        case '\0': ++m_pos; continue;
        case '\t':
            ++m_pos;
            token = symbol('\t');
            break;
        case '\\': token = escape(); break;
        default: token = text(); break;
        }
        if (token.kind != Kind::End && token.kind != Kind::Text && skipsFallback())
            continue;
        if (token.kind == Kind::Unicode)
            m_fallbackLeft = m_unicodeSkip.back();
        if (token.kind != Kind::End)
            return token;
    }
    return RtfToken();
}

// After the backslash; End for what yields no token (\uc, \bin, a bad \' and a last backslash).
RtfToken RtfTokenizer::escape()
{
    ++m_pos;
    if (m_pos >= m_data.size())
        return RtfToken();
    const char c = m_data[m_pos];
    if (isLetter(c))
        return word();
    ++m_pos;
    if (c != '\'')
        return symbol(c);
    RtfToken token;
    int digits = 0;
    for (; digits < 2 && m_pos < m_data.size() && hexDigit(m_data[m_pos]) >= 0; ++digits)
        token.parameter = token.parameter * 16 + hexDigit(m_data[m_pos++]);
    if (digits > 0)
        token.kind = RtfToken::Kind::Byte;
    return token;
}

RtfToken RtfTokenizer::word()
{
    const qsizetype size = m_data.size();
    const qsizetype start = m_pos;
    while (m_pos < size && isLetter(m_data[m_pos]))
        ++m_pos;
    RtfToken token;
    token.kind = RtfToken::Kind::Word;
    token.name = std::string_view(m_data.data() + start, size_t(m_pos - start));
    const bool negative = m_pos + 1 < size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1]);
    m_pos += negative ? 1 : 0;
    if (m_pos < size && isDigit(m_data[m_pos])) {
        token.hasParameter = true;
        qint64 value = 0;
        for (; m_pos < size && isDigit(m_data[m_pos]); ++m_pos)
            value = std::min(value * 10 + (m_data[m_pos] - '0'), ParameterLimit);
        value = negative ? -value : value;
        token.parameter
            = int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    if (m_pos < size && m_data[m_pos] == ' ')
        ++m_pos;
    if (token.name == "bin") {
        skipBinary(token);
        skipsFallback(); // the data counts as one character
        return RtfToken();
    }
    if (token.name == "uc" && m_fallbackLeft == 0) {
        m_unicodeSkip.back() = quint8(std::clamp(token.parameter, 0, MaxUnicodeSkip));
        return RtfToken();
    }
    if (token.name == "u" && token.hasParameter) {
        token.kind = RtfToken::Kind::Unicode;
        token.parameter &= 0xFFFF;
    }
    return token;
}

RtfToken RtfTokenizer::text()
{
    qsizetype end = m_pos;
    while (end < m_data.size() && !isSpecial(m_data[end]))
        ++end;
    const qsizetype skipped = std::min<qsizetype>(m_fallbackLeft, end - m_pos);
    m_fallbackLeft -= int(skipped);
    RtfToken token;
    if (m_pos + skipped < end) {
        token.kind = RtfToken::Kind::Text;
        token.text = m_data.sliced(m_pos + skipped, end - m_pos - skipped);
    }
    m_pos = end;
    return token;
}

void RtfTokenizer::skipBinary(const RtfToken &word)
{
    m_pos += std::clamp<qsizetype>(word.parameter, 0, m_data.size() - m_pos);
}

bool RtfTokenizer::skipsFallback()
{
    if (m_fallbackLeft == 0)
        return false;
    --m_fallbackLeft;
    return true;
}

bool RtfTokenizer::skipGroup()
{
    m_fallbackLeft = 0;
    for (int depth = 1; m_pos < m_data.size();) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            if (m_unicodeSkip.size() > 1)
                m_unicodeSkip.pop_back();
            return true;
        } else if (c == '\\' && m_pos < m_data.size()) {
            if (isLetter(m_data[m_pos]))
                word(); // steps over \bin data too
            else
                ++m_pos;
        }
    }
    return false;
}
