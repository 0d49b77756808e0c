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

} // namespace

Text::Text(Document* ownerDocument, const std::string& data)
    : CharacterData(ownerDocument, std::string(), data)
{
}

// A copy keeps its texts to itself (see SourceText).
Text::Text(const Text& other)
    : CharacterData(other), _source(other._source.detached()),
      _formatPending(other._formatPending), _compact(other._compact),
      _sourceSet(other._sourceSet)
{
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

unsigned long Text::_prepareUpdateState(unsigned long state)
{
    if (state == 0)
        _sourceSet = false;
    return state;
}

void Text::setData(const std::string& data)
{
    _setDataAnnounced(data);
}

void Text::formatSource()
{
    _sourceTouched();
    _formatPending = true;
    _sourceSet = false;
    clearErrorState(INVALID_CHAR_ERROR);
    setUpdateState(getUpdateState() | UPDATE_CONTENT_MODIFIED);
}

std::string_view Text::_sourceText() const
{
    if (_formatPending) {
        const Document* doc = getOwnerDocument();
        PCDATAConverter converter(doc);
        std::string source = converter.convertDataToSource(_data.str());
        if (doc && doc->getFormatType() == Document::XML_FORMAT && !isSpaceText())
            source = converter.convertCharValueOfSource(source, true);
        _source = source;
        _formatPending = false;
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
    _formatPending = false;
    _sourceSet = true;
    setUpdateState(getUpdateState() | UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

void Text::parse(const std::string& source)
{
    const Document* doc = getOwnerDocument();
    std::string data = PCDATAConverter(doc).convertSourceToData(source);
    if (doc && doc->isHTMLDocument()) {
        if (isPlainText()) {
            _compact = false;
        } else {
            DOMStringType::compact(data);
            _compact = true;
        }
    }
    setSource(source);
    CharacterData::setData(data);
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

void Text::_absorbText(const Node* next)
{
    if (!next || next->getNodeType() != TEXT_NODE)
        return;
    const Text* other = static_cast<const Text*>(next);
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = _data.str() + other->_data.str();
    formatSource();
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
    copy->formatSource();
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = data.substr(0, offset);
    formatSource();
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
    std::string data;
    unsigned long inserted = static_cast<unsigned long>(s.size());

    if (isPlainText()) {
        // Tabs become spaces up to the next multiple of eight columns,
        // counted from the last line break before the insertion point.
        std::size_t lineStart = current.rfind('\n', offset ? offset - 1 : 0);
        std::size_t column = (lineStart == std::string::npos || offset == 0) ? offset : offset - lineStart - 1;
        std::string expanded;
        for (char c : s) {
            if (c == '\t') {
                std::size_t spaces = TAB_WIDTH - column % TAB_WIDTH;
                expanded.append(spaces, ' ');
                column += spaces;
            } else {
                expanded += c;
                column = (c == '\n' || c == '\r') ? 0 : column + 1;
            }
        }
        _compact = false;
        data = converter.convertTextToData(expanded);
        inserted = static_cast<unsigned long>(expanded.size());
    } else if (s.size() == 1 && isWhite(s[0]) && mode != SPACE_NORMAL &&
               (mode == SPACE_NBSP ||
                (offset == 0 && isFirstBlockText()) ||
                spaceOrNbspBefore(current, offset) || spaceOrNbspAt(current, offset))) {
        // A typed space that ordinary white space would lose becomes a
        // non-breaking space; it goes behind the units already there.
        if (mode == SPACE_AUTO) {
            while (isNbspAt(current, offset))
                offset += NBSP_LENGTH;
        }
        _compact = true;
        data = NBSP_UNIT;
    } else {
        std::string t = s;
        bool trimLeft = isWhite(t.front()) &&
                        ((offset == 0 && isFirstBlockText()) || spaceAt(current, offset ? offset - 1 : current.size()));
        bool trimRight = isWhite(t.back()) && spaceAt(current, offset);
        if (trimLeft || trimRight) {
            PCDATAConverter::trim(t, trimLeft, trimRight);
            DOMStringType::compact(t);
            _compact = true;
            if (t.empty()) {
                if (moveCursor && getOwnerDocument())
                    getOwnerDocument()->setLayoutCursor(this, static_cast<int>(offset + 1));
                return moveCursor ? 1 : 0;
            }
        }
        data = converter.convertTextToData(t);
        inserted = static_cast<unsigned long>(t.size());
    }

    pagedom::ChangeHooks::announceBeginModify(this);
    _data = std::string(current).insert(offset, data);
    formatSource();
    if (moveCursor && getOwnerDocument())
        getOwnerDocument()->setLayoutCursor(this, static_cast<int>(offset + data.size()));
    pagedom::ChangeHooks::announceEndModify(this);
    return inserted;
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
    formatSource();
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
    formatSource();
}

unsigned long Text::deleteChar(unsigned long offset, bool backward)
{
    const std::string current = _data.str();
    const std::size_t size = current.size();
    if (backward) {
        if (offset == 0)
            return 0;
        if (offset == NOT_FOUND || offset > size)
            offset = static_cast<unsigned long>(size);
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
    std::string data = _data.str();
    Document* doc = getOwnerDocument();
    bool cursorHere = doc && doc->_getCursorNode() == this && doc->_getLayoutOffset() >= 0;
    std::size_t cursor = cursorHere ? static_cast<std::size_t>(doc->_getLayoutOffset()) : 0;

    std::string out;
    out.reserve(data.size());
    std::size_t i = 0;
    if (isWhite(data[0]) && isFirstBlockText()) {
        while (i < data.size() && isWhite(data[i]))
            ++i;
    }
    std::size_t removedBeforeCursor = cursorHere ? (cursor < i ? cursor : i) : 0;
    while (i < data.size()) {
        // Escape units are copied whole: their bytes are values, not blanks.
        std::size_t unit = data[i] == PCDATA::ESC ? ESC_UNIT_LENGTH : data[i] == PCDATA::WIDE ? WIDE_UNIT_LENGTH : 0;
        if (unit) {
            out.append(data, i, unit);
            i += unit;
            continue;
        }
        if (isWhite(data[i])) {
            std::size_t run = i;
            while (i < data.size() && isWhite(data[i]))
                ++i;
            out += ' ';
            if (cursorHere && run < cursor) {
                std::size_t end = i < cursor ? i : cursor;
                if (end > run + 1)
                    removedBeforeCursor += end - run - 1;
            }
            continue;
        }
        out += data[i++];
    }
    if (out == data)
        return;
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = out;
    formatSource();
    _compact = true;
    if (cursorHere) {
        std::size_t newCursor = cursor >= removedBeforeCursor ? cursor - removedBeforeCursor : 0;
        if (newCursor > out.size())
            newCursor = out.size();
        doc->setLayoutCursor(this, static_cast<int>(newCursor));
    }
    pagedom::ChangeHooks::announceEndModify(this);
}
