// The CDATA section node and how its source is produced, with or without
// delimiters.
#include "tree/CDATASection.h"

#include "doctype/ElementType.h"
#include "node/ChangeHooks.h"
#include "tree/Document.h"
#include "tree/Element.h"

const std::string CDATASection::NODE_NAME = "#cdata-section";
const std::string CDATASection::OPEN_TAG = "<![CDATA[";
const std::string CDATASection::CLOSE_TAG = "]]>";
const std::string CDATASection::DECL_KEY = "[CDATA[";

CDATASection::CDATASection(Document* ownerDocument, const std::string& data)
    : CharacterData(ownerDocument, data)
{
    _setClassMark(MARK_FORMAT_PENDING, true);
}

CDATASection::CDATASection(Document* ownerDocument, const pagedom::SourceText& data,
                           const pagedom::SourceText& source)
    : CharacterData(ownerDocument, data), _source(source)
{
    _addUnlinkedUpdateBits(UPDATE_CONTENT_MODIFIED);
}

CDATASection::CDATASection(const CDATASection& other) : CharacterData(other), _source(other._source.detached())
{
    _setClassMark(MARK_FORMAT_PENDING, other._classMark(MARK_FORMAT_PENDING));
}

std::string CDATASection::getNodeName() const
{
    return NODE_NAME;
}

unsigned short CDATASection::getNodeType() const
{
    return CDATA_SECTION_NODE;
}

Node* CDATASection::cloneNode(bool) const
{
    CDATASection* copy = new CDATASection(*this);
    copy->addRef();
    return copy;
}

void CDATASection::setData(const std::string& data)
{
    _setDataAnnounced(data);
}

void CDATASection::formatSource()
{
    pagedom::ChangeHooks::announceBeginModify(this);
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void CDATASection::_regenerateSource()
{
    _sourceTouched();
    _setClassMark(MARK_FORMAT_PENDING, true);
    clearErrorState(INVALID_FORMAT_ERROR);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
}

void CDATASection::setSource(const std::string& source)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _source = pagedom::SourceText(source);
    _setClassMark(MARK_FORMAT_PENDING, false);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

// The parent holds raw content: declared CDATA content, or a JSP block.
bool CDATASection::_inRawContent() const
{
    const Node* parent = getParentNode();
    if (!parent || parent->getNodeType() != ELEMENT_NODE)
        return false;
    const ElementType* type = static_cast<const Element*>(parent)->getElementType();
    if (!type)
        return false;
    return type->getContainerType() == ContentModel::CDATA_CONTENT ||
           type->getFormatType() == ElementType::FORMAT_JSP_BLOCK;
}

std::string CDATASection::getSource() const
{
    return std::string(_producedSource());
}

std::string_view CDATASection::_producedSource() const
{
    if (_classMark(MARK_FORMAT_PENDING)) {
        _source = pagedom::SourceText(_inRawContent() ? _data.str() : OPEN_TAG + _data.str() + CLOSE_TAG);
        _setClassMark(MARK_FORMAT_PENDING, false);
    }
    return _source.view();
}

void CDATASection::_writeStart(std::string& out) const
{
    out += _producedSource();
}

Node::WholeText CDATASection::_wholeText(std::string_view& text, const char*& blockEnd) const
{
    text = _producedSource();
    blockEnd = _source.blockEnd();
    return OWN_TEXT;
}
