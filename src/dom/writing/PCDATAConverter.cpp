#include "writing/PCDATAConverter.h"

#include <cstddef>
#include <cstdlib>

#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "frame/DOMImpl.h"
#include "reading/Scanner.h"
#include "tree/Document.h"

namespace {

const char ESC = PCDATA::ESC;
const char WIDE = PCDATA::WIDE;
const char WIDE_NUMERIC = PCDATA::WIDE_NUMERIC;

// The bytes that may start an escape in data form.
const std::string ESCAPE_STARTS("\x1B\x1C", 2);

const unsigned long EURO = 8364;
const char EURO_1252 = static_cast<char>(0x80);
const unsigned long NBSP = 160;
// The last code point; numeric references beyond it are malformed.
const unsigned long MAX_CHAR_VALUE = 0x10FFFF;
// The largest value an escape can carry.
const unsigned long MAX_DATA_VALUE = 0xFFFF;

// Entity values are expanded recursively when source becomes text; these
// bound the nesting and the total work so that self-referencing or
// exponentially nested declarations cannot run away.
const unsigned MAX_EXPANSION_DEPTH = 8;
const unsigned long MAX_EXPANSIONS = 100000;

inline bool isSpaceChar(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// Ends the name of a reference in source.
inline bool isReferenceEnd(char c)
{
    return c == ';' || c == ' ' || c == '<' || c == '&' || c == '\r' || c == '\n' || c == '\t';
}

// Whether c may start an entity name (a letter, '_', ':' or a byte of a
// non-ASCII character).
inline bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'
        || static_cast<unsigned char>(c) >= 0x80;
}

// Whether the run [begin, end) of s is an entity name.
bool isName(const std::string& s, std::size_t begin, std::size_t end)
{
    if (begin >= end || !isNameStart(s[begin]))
        return false;
    for (std::size_t i = begin + 1; i < end; ++i) {
        const char c = s[i];
        if (!isNameStart(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.')
            return false;
    }
    return true;
}

inline bool isMarkupChar(char c)
{
    return c == '"' || c == '&' || c == '<' || c == '>';
}

// The length of the escape that starts at s[i], by the same rules as
// PCDATAScanner::scanCharValue; 0 when no escape starts there.
std::size_t escapeLength(const std::string& s, std::size_t i)
{
    const std::size_t n = s.length();
    if (i >= n)
        return 0;
    if (s[i] == ESC)
        return i + 1 < n && s[i + 1] != 0 ? 2 : 0;
    if (s[i] != WIDE || i + 3 >= n)
        return 0;
    const char c1 = s[i + 1];
    const char c2 = s[i + 2];
    const char c3 = s[i + 3];
    if ((c1 == WIDE || c1 == WIDE_NUMERIC) && c2 != 0 && c3 != 0)
        return 4;
    if (c1 == ESC && c2 != 0 && (c3 == WIDE || c3 == WIDE_NUMERIC))
        return 4;
    return 0;
}

// A reference in source text: '&' at start, the name (or '#' and digits)
// up to the first reference end, and whether a ';' closes it.
struct Reference {
    std::size_t nameStart;
    std::size_t nameEnd;
    bool closed;

    std::size_t end() const { return closed ? nameEnd + 1 : nameEnd; }
};

Reference readReference(const std::string& source, std::size_t amp)
{
    Reference ref;
    ref.nameStart = amp + 1;
    std::size_t i = ref.nameStart;
    while (i < source.length() && !isReferenceEnd(source[i]))
        ++i;
    ref.nameEnd = i;
    ref.closed = i < source.length() && source[i] == ';';
    return ref;
}

// The value of a numeric reference ("&#...") or 0 when ref is no valid one.
unsigned long numericValue(const std::string& source, const Reference& ref)
{
    if (ref.nameEnd <= ref.nameStart || source[ref.nameStart] != '#')
        return 0;
    return PCDATAConverter::convertDigitToCharValue(
        source.substr(ref.nameStart + 1, ref.nameEnd - ref.nameStart - 1));
}

} // namespace

// ---------------------------------------------------------------------------
// PCDATA

int PCDATA::pclen(const char* s)
{
    if (s == nullptr || *s == 0)
        return 0;
    if (*s == '\r')
        return s[1] == '\n' ? 2 : 1;
    if (*s == ESC)
        return s[1] != 0 ? 2 : 1;
    if (*s == WIDE) {
        int n = 1;
        while (n < 4 && s[n] != 0)
            ++n;
        return n;
    }
    const int n = std::mblen(s, MB_CUR_MAX);
    return n < 1 ? 1 : n;
}

// ---------------------------------------------------------------------------
// PCDATAConverter: construction and lookups

PCDATAConverter::PCDATAConverter()
    : _documentType(nullptr), _secondaryType(nullptr)
{
    _initDocumentType();
}

PCDATAConverter::PCDATAConverter(const DocumentType* documentType)
    : _documentType(documentType), _secondaryType(nullptr)
{
    _initDocumentType();
}

PCDATAConverter::PCDATAConverter(const Document* document)
    : _documentType(nullptr), _secondaryType(nullptr)
{
    if (document) {
        _documentType = document->getDocumentType();
        if (!document->isHTMLDocument())
            _secondaryType = document->getDocType();
    }
    _initDocumentType();
}

void PCDATAConverter::_initDocumentType()
{
    if (!_documentType)
        _documentType = DOMImpl::getXMLDocumentType();
}

const Entity* PCDATAConverter::_getEntity(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    if (_secondaryType) {
        if (const Entity* entity = _secondaryType->getEntity(name))
            return entity;
    }
    return _documentType ? _documentType->getEntity(name) : nullptr;
}

const Entity* PCDATAConverter::_getEntity(unsigned long value) const
{
    if (value == 0 || !_documentType)
        return nullptr;
    return _documentType->getCharEntity(value);
}

bool PCDATAConverter::_acceptLatin1()
{
    return DOMImpl::getCodePage() == 1252;
}

// ---------------------------------------------------------------------------
// Single values

std::string PCDATAConverter::convertCharValueToData(unsigned long value, bool numeric)
{
    if (value == 0 || value > MAX_DATA_VALUE)
        return std::string();
    if (value < 256) {
        std::string out(1, ESC);
        out += static_cast<char>(value);
        return out;
    }
    const char high = static_cast<char>(value >> 8);
    const char low = static_cast<char>(value & 0xFF);
    const char mark = numeric ? WIDE_NUMERIC : WIDE;
    std::string out(1, WIDE);
    if (low != 0) {
        out += mark;
        out += high;
        out += low;
    } else {
        out += ESC;
        out += high;
        out += mark;
    }
    return out;
}

std::string PCDATAConverter::convertCharValueToSource(unsigned long value, bool numeric) const
{
    if (value == 0)
        return std::string();
    std::string out(1, '&');
    const Entity* entity = numeric ? nullptr : _getEntity(value);
    if (entity) {
        out += entity->getNodeName();
    } else {
        out += '#';
        out += convertCharValueToDigit(value);
    }
    out += ';';
    return out;
}

char PCDATAConverter::convertCharValueToChar(unsigned long value)
{
    if (value == 0)
        return 0;
    if (value < 256) {
        if (value == NBSP)
            return ' ';
        if (value < 128 || _acceptLatin1())
            return static_cast<char>(value);
        return 0;
    }
    if (value == EURO && _acceptLatin1())
        return EURO_1252;
    return 0;
}

std::string PCDATAConverter::convertCharValueToDigit(unsigned long value)
{
    if (value == 0)
        return std::string();
    return std::to_string(value);
}

unsigned long PCDATAConverter::convertDigitToCharValue(const std::string& digits)
{
    if (digits.empty())
        return 0;
    unsigned long value = 0;
    if (digits[0] == 'x') {
        if (digits.length() == 1)
            return 0;
        for (std::size_t i = 1; i < digits.length(); ++i) {
            const char c = digits[i];
            unsigned long d;
            if (c >= '0' && c <= '9')
                d = static_cast<unsigned long>(c - '0');
            else if (c >= 'a' && c <= 'f')
                d = static_cast<unsigned long>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                d = static_cast<unsigned long>(c - 'A' + 10);
            else
                return 0;
            value = value * 16 + d;
            if (value > MAX_CHAR_VALUE)
                return 0;
        }
        return value;
    }
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > MAX_CHAR_VALUE)
            return 0;
    }
    return value;
}

// ---------------------------------------------------------------------------
// Whole strings

std::string PCDATAConverter::convertSourceToData(const std::string& source) const
{
    std::string out;
    out.reserve(source.length());
    const std::size_t length = source.length();
    std::size_t i = 0;
    while (i < length) {
        const char c = source[i];
        if (c == '&') {
            const Reference ref = readReference(source, i);
            if (ref.nameEnd > ref.nameStart) {
                std::string data;
                if (source[ref.nameStart] == '#') {
                    // Values that no escape can carry stay text.
                    const unsigned long value = numericValue(source, ref);
                    if (value != 0 && value <= MAX_DATA_VALUE)
                        data = convertCharValueToData(value, true);
                } else {
                    const Entity* entity =
                        _getEntity(source.substr(ref.nameStart, ref.nameEnd - ref.nameStart));
                    if (entity)
                        data = entity->getData();
                }
                if (!data.empty()) {
                    out += data;
                    i = ref.end();
                    continue;
                }
            }
            out += ESC;
            out += '&';
            ++i;
        } else if (c == '"' || c == '<' || c == '>' || c == ESC || c == WIDE) {
            // Markup characters, and the bytes that would otherwise be read
            // as the start of an escape, are stored as their values.
            out += ESC;
            out += c;
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::string PCDATAConverter::convertDataToSource(const std::string& data) const
{
    std::string out;
    out.reserve(data.length());
    PCDATAScanner scanner(data, 0);
    std::string run;
    const unsigned long length = scanner.getLength();
    while (scanner.getOffset() < length) {
        unsigned long end = scanner.findDelim(ESCAPE_STARTS);
        if (end == Scanner::NOT_FOUND)
            end = length;
        if (end > scanner.getOffset()) {
            scanner.scanString(run, end - scanner.getOffset());
            out += run;
            continue;
        }
        unsigned long value = 0;
        bool numeric = false;
        scanner.scanCharValue(value, numeric);
        if (value != 0) {
            out += convertCharValueToSource(value, numeric);
        } else {
            // A broken escape: keep the byte.
            out += scanner.getChar(0);
            scanner.forward(1);
        }
    }
    return out;
}

std::string PCDATAConverter::convertTextToData(const std::string& text)
{
    std::string out;
    out.reserve(text.length());
    const bool latin1 = _acceptLatin1();
    for (char c : text) {
        if (isMarkupChar(c) || c == ESC || c == WIDE) {
            out += ESC;
            out += c;
        } else if (c == EURO_1252 && latin1) {
            out += convertCharValueToData(EURO, true);
        } else {
            out += c;
        }
    }
    return out;
}

std::string PCDATAConverter::convertDataToText(const std::string& data)
{
    std::string out;
    out.reserve(data.length());
    PCDATAScanner scanner(data, 0);
    std::string run;
    const unsigned long length = scanner.getLength();
    while (scanner.getOffset() < length) {
        unsigned long end = scanner.findDelim(ESCAPE_STARTS);
        if (end == Scanner::NOT_FOUND)
            end = length;
        if (end > scanner.getOffset()) {
            scanner.scanString(run, end - scanner.getOffset());
            out += run;
            continue;
        }
        unsigned long value = 0;
        bool numeric = false;
        scanner.scanCharValue(value, numeric);
        if (value != 0) {
            const char c = convertCharValueToChar(value);
            out += c != 0 ? c : '?';
        } else {
            out += scanner.getChar(0);
            scanner.forward(1);
        }
    }
    return out;
}

std::string PCDATAConverter::convertTextToSource(const std::string& text) const
{
    std::string out;
    out.reserve(text.length());
    const bool latin1 = _acceptLatin1();
    for (char c : text) {
        if (isMarkupChar(c))
            out += convertCharValueToSource(static_cast<unsigned char>(c), false);
        else if (c == EURO_1252 && latin1)
            out += convertCharValueToSource(EURO, true);
        else
            out += c;
    }
    return out;
}

std::string PCDATAConverter::convertSourceToText(const std::string& source) const
{
    std::string out;
    out.reserve(source.length());
    unsigned long expansions = 0;
    _sourceToText(source, out, 0, expansions);
    return out;
}

void PCDATAConverter::_sourceToText(const std::string& source, std::string& out, unsigned depth,
                                    unsigned long& expansions) const
{
    const std::size_t length = source.length();
    std::size_t i = 0;
    while (i < length) {
        const std::size_t amp = source.find('&', i);
        if (amp == std::string::npos) {
            out.append(source, i, std::string::npos);
            return;
        }
        out.append(source, i, amp - i);
        i = amp;
        const Reference ref = readReference(source, amp);
        if (ref.nameEnd > ref.nameStart) {
            if (source[ref.nameStart] == '#') {
                const unsigned long value = numericValue(source, ref);
                if (value != 0) {
                    const char c = convertCharValueToChar(value);
                    out += c != 0 ? c : '?';
                    i = ref.end();
                    continue;
                }
            } else if (depth < MAX_EXPANSION_DEPTH && expansions < MAX_EXPANSIONS) {
                const Entity* entity =
                    _getEntity(source.substr(ref.nameStart, ref.nameEnd - ref.nameStart));
                if (entity) {
                    ++expansions;
                    _sourceToText(entity->getValue(), out, depth + 1, expansions);
                    i = ref.end();
                    continue;
                }
            }
        }
        out += '&';
        ++i;
    }
}

std::string PCDATAConverter::convertCharValueOfSource(const std::string& source, bool numeric) const
{
    std::string out;
    out.reserve(source.length());
    const std::size_t length = source.length();
    std::size_t i = 0;
    while (i < length) {
        const char c = source[i];
        if (c == '"' || c == '<' || c == '>') {
            out += convertCharValueToSource(static_cast<unsigned char>(c), numeric);
            ++i;
            continue;
        }
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        const Reference ref = readReference(source, i);
        if (ref.nameEnd > ref.nameStart) {
            if (source[ref.nameStart] == '#') {
                const unsigned long value = numericValue(source, ref);
                if (value != 0) {
                    out += convertCharValueToSource(value, numeric);
                    i = ref.end();
                    continue;
                }
            } else {
                const Entity* entity =
                    _getEntity(source.substr(ref.nameStart, ref.nameEnd - ref.nameStart));
                const unsigned long value = entity ? entity->getCharValue() : 0;
                if (value == 34 || value == 38 || value == 60 || value == 62) {
                    out += convertCharValueToSource(value, numeric);
                    i = ref.end();
                    continue;
                }
                // Other references to declared entities, and well-formed
                // references (a name closed by ';') to undeclared ones, are
                // kept as they are written.
                if (entity || (ref.closed && isName(source, ref.nameStart, ref.nameEnd))) {
                    out.append(source, i, ref.end() - i);
                    i = ref.end();
                    continue;
                }
            }
        }
        // An '&' that starts no reference is a character of its own.
        out += convertCharValueToSource('&', numeric);
        ++i;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Whitespace

bool PCDATAConverter::isSpace(const std::string& s, unsigned long i)
{
    if (i >= s.length() || !isSpaceChar(s[i]))
        return false;
    // Escape payloads lie at most three bytes behind the ESC or 0x1C that
    // starts them.  Step back to a byte that has no such byte in the three
    // before it, which therefore starts a character, then walk forward over
    // whole characters to see whether i starts one too.
    std::size_t start = i;
    for (;;) {
        bool clear = true;
        for (std::size_t k = 1; k <= 3 && k <= start; ++k) {
            const char b = s[start - k];
            if (b == ESC || b == WIDE) {
                clear = false;
                break;
            }
        }
        if (clear)
            break;
        --start;
    }
    std::size_t pos = start;
    while (pos < i) {
        const std::size_t n = escapeLength(s, pos);
        pos += n != 0 ? n : 1;
    }
    return pos == i;
}

unsigned long PCDATAConverter::trim(std::string& s, bool left, bool right)
{
    const std::size_t before = s.length();
    if (left) {
        // A whitespace byte at the front always starts a character.
        std::size_t n = 0;
        while (n < s.length() && isSpaceChar(s[n]))
            ++n;
        s.erase(0, n);
    }
    if (right) {
        std::size_t end = s.length();
        while (end > 0 && isSpace(s, static_cast<unsigned long>(end - 1)))
            --end;
        s.erase(end);
    }
    return static_cast<unsigned long>(before - s.length());
}
