// The XML reader's text: running text, references, bare markup characters,
// and the data form of what it collects.
#include "xmlreading/XMLParser.h"

#include "base/PCDATA.h"
#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "tree/Document.h"
#include "tree/EntityReference.h"
#include "tree/Text.h"

namespace {

// How running text treats a byte.
enum ByteClass : unsigned char {
    PLAIN = 0,    // stands for itself
    STOP = 1,     // '<' and '&': markup or a reference may start
    BARE = 2,     // a markup character standing bare: a double quote, '>'
    ESCAPED = 3   // the data form escapes it (it starts escapes there)
};

struct ByteClasses {
    unsigned char of[256] = {};
    ByteClasses()
    {
        of[static_cast<unsigned char>('<')] = STOP;
        of[static_cast<unsigned char>('&')] = STOP;
        of[static_cast<unsigned char>('"')] = BARE;
        of[static_cast<unsigned char>('>')] = BARE;
        of[static_cast<unsigned char>(PCDATA::ESC)] = ESCAPED;
        of[static_cast<unsigned char>(PCDATA::WIDE)] = ESCAPED;
    }
};

const ByteClasses BYTE_CLASSES;

// Ends the name of a reference (as the character-reference converter reads
// references, so that the reader and the converter agree).
inline bool isReferenceEnd(char c)
{
    return c == ';' || c == ' ' || c == '<' || c == '&' || c == '\r' || c == '\n' || c == '\t';
}

} // namespace

void XMLParser::_text()
{
    if (!_pending) {
        _pending = true;
        _pendingStart = getOffset();
    }
    for (;;) {
        const char* s = _chars();
        const unsigned long n = getLength();
        unsigned long i = getOffset();
        while (i < n) {
            const unsigned char k = BYTE_CLASSES.of[static_cast<unsigned char>(s[i])];
            if (k == PLAIN) {
                ++i;
                continue;
            }
            if (k == STOP)
                break;
            if (k == BARE)
                _badChar = true;
            _special = true;
            ++i;
        }
        forward(i - getOffset());
        if (i < n) {
            if (s[i] == '<' || _reference())
                return;
            continue;
        }
        // The text runs on into what follows, unless that reads back as it
        // stands.
        if (_pull() == 0)
            return;
    }
}

bool XMLParser::_reference()
{
    const unsigned long amp = getOffset();
    const unsigned long nameStart = amp + 1;
    unsigned long end = nameStart;
    for (;;) {
        const char* s = _chars();
        const unsigned long n = getLength();
        while (end < n && !isReferenceEnd(s[end]))
            ++end;
        if (end < n || _pull() == 0)
            break;
    }
    const bool closed = end < getLength() && _chars()[end] == ';';
    if (closed && end > nameStart && _chars()[nameStart] != '#') {
        const std::string name = _copy(nameStart, end);
        if (_entityData(name).empty()) {
            // A reference to an entity without data is a node of its own.
            _flushText();
            EntityReference* reference;
            {
                Building building(_document);
                reference = _document->createEntityReference(name);
                reference->setSource(_copy(amp, end + 1));
            }
            forward(end + 1 - amp);
            _insert(reference);
            return true;
        }
    }
    // Anything else stays text; the data form reads it (see _textData).
    _special = true;
    forward(1);
    return false;
}

void XMLParser::_flushText()
{
    if (!_pending)
        return;
    _pending = false;
    const unsigned long end = getOffset();
    if (end > _pendingStart) {
        Text* text;
        {
            Building building(_document);
            text = _document->createTextNode(std::string());
            text->_setDataText(_textData(_pendingStart, end));
            text->_setSourceText(_span(_pendingStart, end));
            text->_setCompact(false);
            if (_badChar)
                text->addErrorState(Node::INVALID_CHAR_ERROR);
        }
        _insert(text);
    }
    _badChar = false;
    _special = false;
}

// The data form of the text from from to to, read as the character-reference
// converter reads source (PCDATAConverter::convertSourceToData), with the
// entities of the document's DOCTYPE when it stands before the text: an
// entity or numeric reference becomes its data, a markup character or a
// byte that starts escapes becomes an escape, an '&' that starts no known
// reference stays a character.  Text without any of these is its own data.
pagedom::SourceText XMLParser::_textData(unsigned long from, unsigned long to) const
{
    if (!_special)
        return _span(from, to);
    const char* s = _chars();
    std::string out;
    out.reserve(to - from);
    for (unsigned long i = from; i < to;) {
        const char c = s[i];
        if (c == '&') {
            const unsigned long nameStart = i + 1;
            unsigned long nameEnd = nameStart;
            while (nameEnd < to && !isReferenceEnd(s[nameEnd]))
                ++nameEnd;
            const bool closed = nameEnd < to && s[nameEnd] == ';';
            std::string data;
            if (nameEnd > nameStart && s[nameStart] == '#') {
                // Values that no escape can carry stay text.
                const unsigned long value = PCDATA::convertDigitToCharValue(_copy(nameStart + 1, nameEnd));
                if (value != 0 && value <= PCDATA::MAX_DATA_VALUE)
                    data = PCDATA::convertCharValueToData(value, true);
            } else if (nameEnd > nameStart) {
                data = _entityData(_copy(nameStart, nameEnd));
            }
            if (!data.empty()) {
                out += data;
                i = closed ? nameEnd + 1 : nameEnd;
                continue;
            }
            out += PCDATA::ESC;
            out += '&';
            ++i;
        } else if (c == '"' || c == '<' || c == '>' || c == PCDATA::ESC || c == PCDATA::WIDE) {
            out += PCDATA::ESC;
            out += c;
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return pagedom::SourceText(out);
}

std::string XMLParser::_entityData(const std::string& name) const
{
    const Entity* entity = _declarations ? _declarations->getEntity(name) : nullptr;
    if (!entity && _documentType)
        entity = _documentType->getEntity(name);
    return entity ? entity->getData() : std::string();
}
