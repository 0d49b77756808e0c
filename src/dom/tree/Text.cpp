// The text node: its source, and the editing operations that keep the
// visible white space as the layout shows it.
#include "tree/Text.h"

#include "base/PCDATA.h"
#include "convert/PCDATAConverter.h"
#include "doctype/DOMStringType.h"
#include "doctype/ElementType.h"
#include "node/ChangeHooks.h"
#include "tree/Document.h"
#include "tree/Element.h"

const std::string Text::NODE_NAME = "#text";

namespace {

// The data form of a non-breaking space: ESC and the value 160.
const char NBSP_UNIT[] = "\x1b\xa0";
constexpr std::size_t NBSP_LENGTH = sizeof(NBSP_UNIT) - 1;
constexpr unsigned char NBSP_VALUE = 0xA0;
// The byte lengths of the two escape units of the data form.
constexpr std::size_t ESC_UNIT_LENGTH = 2;
constexpr std::size_t WIDE_UNIT_LENGTH = 4;
// Tab stops of plain text, in columns.
constexpr std::size_t TAB_WIDTH = 8;

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNbspAt(const std::string& data, std::size_t i)
{
    return i + 1 < data.size() && data[i] == PCDATA::ESC && static_cast<unsigned char>(data[i + 1]) == NBSP_VALUE;
}

// Real (unescaped) white space at i.
bool spaceAt(const std::string& data, std::size_t i)
{
    return i < data.size() && PCDATAConverter::isSpace(data, static_cast<unsigned long>(i));
}

// Real white space or a non-breaking-space unit ending just before i.
bool spaceOrNbspBefore(const std::string& data, std::size_t i)
{
    if (i == 0)
        return false;
    if (i >= NBSP_LENGTH && isNbspAt(data, i - NBSP_LENGTH))
        return true;
    return spaceAt(data, i - 1);
}

bool spaceOrNbspAt(const std::string& data, std::size_t i)
{
    return isNbspAt(data, i) || spaceAt(data, i);
}

// s with its tabs expanded to spaces up to the next tab stop, the columns
// counted from the last line break in data before offset.
std::string expandTabs(const std::string& data, std::size_t offset, const std::string& s)
{
    const std::size_t lineStart = data.rfind('\n', offset ? offset - 1 : 0);
    std::size_t column = (lineStart == std::string::npos || offset == 0) ? offset : offset - lineStart - 1;
    std::string expanded;
    for (char c : s) {
        if (c == '\t') {
            const std::size_t spaces = TAB_WIDTH - column % TAB_WIDTH;
            expanded.append(spaces, ' ');
            column += spaces;
        } else {
            expanded += c;
            column = (c == '\n' || c == '\r') ? 0 : column + 1;
        }
    }
    return expanded;
}

// data from start with every run of white space collapsed to one space;
// adds to removedBeforeCursor the bytes dropped before cursor.
std::string collapseSpace(const std::string& data, std::size_t start, std::size_t cursor,
                          std::size_t& removedBeforeCursor)
{
    std::string out;
    out.reserve(data.size());
    std::size_t i = start;
    while (i < data.size()) {
        // Escape units are copied whole: their bytes are values, not blanks.
        const std::size_t unit =
            data[i] == PCDATA::ESC ? ESC_UNIT_LENGTH : data[i] == PCDATA::WIDE ? WIDE_UNIT_LENGTH : 0;
        if (unit) {
            out.append(data, i, unit);
            i += unit;
            continue;
        }
        if (isWhite(data[i])) {
            const std::size_t run = i;
            while (i < data.size() && isWhite(data[i]))
                ++i;
            out += ' ';
            if (run < cursor) {
                const std::size_t end = i < cursor ? i : cursor;
                if (end > run + 1)
                    removedBeforeCursor += end - run - 1;
            }
            continue;
        }
        out += data[i++];
    }
    return out;
}

} // namespace

Text::Text(Document* ownerDocument, const std::string& data)
    : CharacterData(ownerDocument, data)
{
    _setClassMark(MARK_FORMAT_PENDING, true);
    _setClassMark(MARK_COMPACT, true);
}

Text::Text(Document* ownerDocument, const pagedom::SourceText& data, const pagedom::SourceText& source, bool compact)
    : CharacterData(ownerDocument, data), _source(source)
{
    _setClassMark(MARK_COMPACT, compact);
    _addUnlinkedUpdateBits(UPDATE_CONTENT_MODIFIED);
}

// A copy keeps its texts to itself (see SourceText).
Text::Text(const Text& other) : CharacterData(other), _source(other._source.detached())
{
    _setClassMark(MARK_FORMAT_PENDING, other._classMark(MARK_FORMAT_PENDING));
    _setClassMark(MARK_COMPACT, other._classMark(MARK_COMPACT));
}

std::string Text::getNodeName() const
{
    return NODE_NAME;
}

unsigned short Text::getNodeType() const
{
    return TEXT_NODE;
}

Node* Text::cloneNode(bool) const
{
    Text* copy = new Text(*this);
    copy->addRef();
    return copy;
}

bool Text::isTrivialNode() const
{
    return isSpaceText();
}

bool Text::isSpaceText() const
{
    for (char c : _data.view())
        if (!isWhite(c))
            return false;
    return true;
}

bool Text::isPlainText() const
{
    for (const Node* n = getParentNode(); n; n = n->getParentNode()) {
        if (n->getNodeType() != ELEMENT_NODE)
            return false;
        if (static_cast<const Element*>(n)->getElementGroup() & ElementType::GROUP_PLAIN)
            return true;
    }
    return false;
}

bool Text::isFirstBlockText() const
{
    const Node* n = this;
    while (n) {
        if (const Node* prev = n->getPreviousSibling()) {
            // A block or a line break before the text ends its block.
            return prev->getNodeType() == ELEMENT_NODE &&
                   (static_cast<const Element*>(prev)->getElementGroup() &
                    (ElementType::GROUP_BLOCK | ElementType::GROUP_BREAK)) != 0;
        }
        const Node* parent = n->getParentNode();
        if (!parent || parent->getNodeType() != ELEMENT_NODE)
            return false;
        if (static_cast<const Element*>(parent)->getElementGroup() & ElementType::GROUP_BLOCK)
            return true;
        n = parent;
    }
    return false;
}

void Text::setData(const std::string& data)
{
    _setDataAnnounced(data);
}

void Text::formatSource()
{
    pagedom::ChangeHooks::announceBeginModify(this);
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void Text::_regenerateSource()
{
    _sourceTouched();
    _setClassMark(MARK_FORMAT_PENDING, true);
    clearErrorState(INVALID_CHAR_ERROR);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
}

std::string_view Text::_sourceText() const
{
    if (_classMark(MARK_FORMAT_PENDING)) {
        const Document* doc = getOwnerDocument();
        PCDATAConverter converter(doc);
        std::string source = converter.convertDataToSource(_data.str());
        if (doc && doc->getFormatType() == Document::XML_FORMAT && !isSpaceText())
            source = converter.convertCharValueOfSource(source, true);
        _source = source;
        _setClassMark(MARK_FORMAT_PENDING, false);
    }
    return _source.view();
}

std::string Text::getSource() const
{
    return std::string(_sourceText());
}

void Text::_writeStart(std::string& out) const
{
    out += _sourceText();
}

Node::WholeText Text::_wholeText(std::string_view& text, const char*& blockEnd) const
{
    text = _sourceText();
    blockEnd = _source.blockEnd();
    return OWN_TEXT;
}

std::string Text::getText() const
{
    return PCDATAConverter(getOwnerDocument()).convertDataToText(_data.str());
}

void Text::setSource(const std::string& source)
{
    _setSourceText(pagedom::SourceText(source));
}

void Text::_setSourceText(const pagedom::SourceText& source)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _source = source;
    _setClassMark(MARK_FORMAT_PENDING, false);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

void Text::parse(const std::string& source)
{
    _parse(source, isPlainText());
}

void Text::_parse(const std::string& source, bool plain)
{
    const Document* doc = getOwnerDocument();
    std::string data = PCDATAConverter(doc).convertSourceToData(source);
    if (doc && doc->isHTMLDocument()) {
        if (plain) {
            _setClassMark(MARK_COMPACT, false);
        } else {
            DOMStringType::compact(data);
            _setClassMark(MARK_COMPACT, true);
        }
    }
    // One change: the source and the data it reads as are stored together.
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _source = pagedom::SourceText(source);
    _setClassMark(MARK_FORMAT_PENDING, false);
    CharacterData::setData(data);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

void Text::correctSource()
{
    std::string source = getSource();
    if (source.empty())
        return;
    PCDATAConverter converter(getOwnerDocument());
    std::string corrected = converter.convertDataToSource(converter.convertSourceToData(source));
    clearErrorState(INVALID_CHAR_ERROR);
    setSource(corrected);
}

void Text::_absorbTexts(const std::vector<Node*>& following)
{
    // One change for the whole run: the data is joined once and the source
    // produced once, however many texts follow.
    std::string data = _data.str();
    for (const Node* next : following)
        if (next->getNodeType() == TEXT_NODE)
            data += static_cast<const Text*>(next)->_data.view();
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = data;
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

Text* Text::splitText(unsigned long offset)
{
    _sourceTouched();
    const std::string data = _data.str();
    if (offset > data.size())
        offset = static_cast<unsigned long>(data.size());
    Text* copy = static_cast<Text*>(cloneNode(false));
    copy->_data = data.substr(offset);
    copy->_regenerateSource();
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = data.substr(0, offset);
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
    return copy;
}

unsigned long Text::insert(unsigned long offset, const std::string& s, bool moveCursor, SpaceMode mode)
{
    _sourceTouched();
    if (s.empty())
        return 0;
    const std::string current = _data.str();
    if (offset == NOT_FOUND)
        offset = static_cast<unsigned long>(current.size());
    if (offset > current.size())
        current.at(offset); // a caller error: raises the standard out-of-range error

    PCDATAConverter converter(getOwnerDocument());
    if (isPlainText()) {
        const std::string expanded = expandTabs(current, offset, s);
        _setClassMark(MARK_COMPACT, false);
        _insertData(offset, converter.convertTextToData(expanded), moveCursor);
        return static_cast<unsigned long>(expanded.size());
    }
    if (_spaceBecomesNbsp(current, offset, s, mode)) {
        // It goes behind the non-breaking spaces already there.
        if (mode == SPACE_AUTO) {
            while (isNbspAt(current, offset))
                offset += NBSP_LENGTH;
        }
        _setClassMark(MARK_COMPACT, true);
        _insertData(offset, NBSP_UNIT, moveCursor);
        return static_cast<unsigned long>(s.size());
    }
    std::string trimmed = s;
    if (_trimSurplusSpace(current, offset, trimmed)) {
        _setClassMark(MARK_COMPACT, true);
        if (trimmed.empty()) {
            // Nothing is left to insert: only the cursor moves on.
            if (moveCursor && getOwnerDocument())
                getOwnerDocument()->setLayoutCursor(this, static_cast<int>(offset + 1));
            return moveCursor ? 1 : 0;
        }
    }
    _insertData(offset, converter.convertTextToData(trimmed), moveCursor);
    return static_cast<unsigned long>(trimmed.size());
}

// A single white-space character typed into normal text becomes a
// non-breaking space where ordinary white space would be lost: always in the
// NBSP mode; in the AUTO mode at the start of a first-in-block text or next
// to white space or non-breaking spaces.
bool Text::_spaceBecomesNbsp(const std::string& current, unsigned long offset, const std::string& s,
                             SpaceMode mode) const
{
    if (s.size() != 1 || !isWhite(s[0]) || mode == SPACE_NORMAL)
        return false;
    return mode == SPACE_NBSP || (offset == 0 && isFirstBlockText()) || spaceOrNbspBefore(current, offset) ||
           spaceOrNbspAt(current, offset);
}

// Trims the white space of s that would double white space already at
// offset (or start a first-in-block text) and compacts the rest; returns
// whether it trimmed anything.
bool Text::_trimSurplusSpace(const std::string& current, unsigned long offset, std::string& s) const
{
    const bool trimLeft = isWhite(s.front()) && ((offset == 0 && isFirstBlockText()) ||
                                                 spaceAt(current, offset ? offset - 1 : current.size()));
    const bool trimRight = isWhite(s.back()) && spaceAt(current, offset);
    if (!trimLeft && !trimRight)
        return false;
    PCDATAConverter::trim(s, trimLeft, trimRight);
    DOMStringType::compact(s);
    return true;
}

// Inserts data-form bytes at offset as one announced modification, and puts
// the layout cursor behind them when asked.
void Text::_insertData(unsigned long offset, const std::string& data, bool moveCursor)
{
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = _data.str().insert(offset, data);
    _regenerateSource();
    if (moveCursor && getOwnerDocument())
        getOwnerDocument()->setLayoutCursor(this, static_cast<int>(offset + data.size()));
    pagedom::ChangeHooks::announceEndModify(this);
}

unsigned long Text::Delete(unsigned long offset, unsigned long count, bool moveCursor)
{
    _sourceTouched();
    std::string current = _data.str();
    if (offset > current.size())
        current.at(offset);
    if (count > current.size() - offset)
        count = static_cast<unsigned long>(current.size() - offset);
    pagedom::ChangeHooks::announceBeginModify(this);
    bool removedNbsp = count == NBSP_LENGTH && isNbspAt(current, offset);
    current.erase(offset, count);
    _data = current;
    _regenerateSource();
    if (moveCursor && getOwnerDocument())
        getOwnerDocument()->setLayoutCursor(this, static_cast<int>(offset));
    if (removedNbsp)
        _repairSpaceAt(offset);
    pagedom::ChangeHooks::announceEndModify(this);
    return count;
}

// After a non-breaking space is removed, ordinary white space that now sits
// where the layout would drop it (at the start of a block, or doubled) is
// turned back into a non-breaking space so the visible gap survives.
void Text::_repairSpaceAt(unsigned long offset)
{
    _sourceTouched();
    if (isPlainText())
        return;
    std::string current = _data.str();
    std::size_t at = offset;
    if (!spaceAt(current, at)) {
        if (at == 0 || !spaceAt(current, at - 1))
            return;
        --at;
    }
    bool lost = (at == 0 && isFirstBlockText()) || (at > 0 && spaceAt(current, at - 1)) ||
                spaceAt(current, at + 1);
    if (!lost)
        return;
    current.replace(at, 1, NBSP_UNIT);
    _data = current;
    _regenerateSource();
}

unsigned long Text::deleteChar(unsigned long offset, bool backward)
{
    const std::string current = _data.str();
    const std::size_t size = current.size();
    if (backward) {
        if (offset == NOT_FOUND || offset > size)
            offset = static_cast<unsigned long>(size);
        // Nothing stands before the start (of an empty text, too).
        if (offset == 0)
            return 0;
    } else if (offset == NOT_FOUND || offset >= size) {
        return 0;
    }
    // Units are found by walking from the start of the data, so that an
    // offset inside an escape or a multi-byte character removes that whole
    // unit instead of splitting it.
    const std::size_t pos = backward ? offset - 1 : offset;
    std::size_t start = 0;
    std::size_t len = 0;
    for (;;) {
        len = PCDATA::pclen(current.c_str() + start);
        if (len == 0)
            len = 1;  // an embedded NUL byte
        if (start + len > size)
            len = size - start;
        if (pos < start + len)
            break;
        start += len;
    }
    return Delete(static_cast<unsigned long>(start), static_cast<unsigned long>(len), true);
}

void Text::compact()
{
    _sourceTouched();
    if (_data.empty())
        return;
    const std::string data = _data.str();
    Document* doc = getOwnerDocument();
    const bool cursorHere = doc && doc->_getCursorNode() == this && doc->_getLayoutOffset() >= 0;
    const std::size_t cursor = cursorHere ? static_cast<std::size_t>(doc->_getLayoutOffset()) : 0;

    std::size_t start = 0;
    if (isWhite(data[0]) && isFirstBlockText()) {
        while (start < data.size() && isWhite(data[start]))
            ++start;
    }
    std::size_t removedBeforeCursor = cursor < start ? cursor : start;
    const std::string out = collapseSpace(data, start, cursor, removedBeforeCursor);
    if (out == data)
        return;
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = out;
    _regenerateSource();
    _setClassMark(MARK_COMPACT, true);
    if (cursorHere) {
        std::size_t newCursor = cursor >= removedBeforeCursor ? cursor - removedBeforeCursor : 0;
        if (newCursor > out.size())
            newCursor = out.size();
        doc->setLayoutCursor(this, static_cast<int>(newCursor));
    }
    pagedom::ChangeHooks::announceEndModify(this);
}
