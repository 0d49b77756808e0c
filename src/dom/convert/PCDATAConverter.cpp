// Conversions of character data that look entity names and values up in
// document types.
#include "convert/PCDATAConverter.h"

#include <cstddef>
#include <cstdlib>

#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "doctype/DocumentTypeSource.h"
#include "base/Scanner.h"

namespace {

// Entity values are expanded recursively when source becomes text; these
// bound the nesting and the total work so that self-referencing or
// exponentially nested declarations cannot run away.
const unsigned MAX_EXPANSION_DEPTH = 8;
const unsigned long MAX_EXPANSIONS = 100000;

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
        || static_cast<unsigned char>(c) >= PCDATA::ASCII_END;
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

// Whether a character value is one of the four markup characters.
inline bool isMarkupValue(unsigned long value)
{
    return value != 0 && value < PCDATA::ASCII_END && isMarkupChar(static_cast<char>(value));
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

void PCDATAConverter::_initDocumentType()
{
    if (!_documentType)
        if (pagedom::DocumentTypeSource* source = pagedom::DocumentTypeSource::installed())
            _documentType = source->findXMLDocumentType();
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

// ---------------------------------------------------------------------------
// Single values

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
                    if (value != 0 && value <= PCDATA::MAX_DATA_VALUE)
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
    return _mapEscapes(data, [this](std::string& out, unsigned long value, bool numeric) {
        out += convertCharValueToSource(value, numeric);
    });
}

std::string PCDATAConverter::convertTextToSource(const std::string& text) const
{
    std::string out;
    out.reserve(text.length());
    const bool latin1 = _acceptLatin1();
    for (char c : text) {
        if (isMarkupChar(c))
            out += convertCharValueToSource(static_cast<unsigned char>(c), false);
        else if (c == PCDATA::EURO_1252 && latin1)
            out += convertCharValueToSource(PCDATA::EURO, true);
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
                if (isMarkupValue(value)) {
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
