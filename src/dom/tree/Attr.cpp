// The attribute node: its value, its conversions, and how it is written
// inside a start tag.
#include "tree/Attr.h"

#include "base/Options.h"
#include "base/StringUtil.h"
#include "convert/PCDATAConverter.h"
#include "doctype/AttrType.h"
#include "doctype/ElementType.h"
#include "node/ChangeHooks.h"
#include "tree/Document.h"
#include "tree/Element.h"

namespace {

// An enumerated value in the letter case the options ask for.
std::string withValueCase(const std::string& value)
{
    switch (DOMOptions::getFormatOption()->getAttrValueCaseType()) {
    case DOMOptions::FormatOption::CASE_UPPER:
        return pagedom::str::upper(value);
    case DOMOptions::FormatOption::CASE_LOWER:
        return pagedom::str::lower(value);
    default:
        return value;
    }
}

} // namespace

Attr::Attr(Document* ownerDocument, const std::string& name) : NamedNode(ownerDocument, name) {}

Attr::Attr(const Attr& other)
    : NamedNode(other), _value(other._value.detached()), _attrType(other._attrType), _specified(other._specified),
      _rawText(other._rawText)
{
}

std::string Attr::getNodeName() const
{
    return _name();
}

unsigned short Attr::getNodeType() const
{
    return ATTRIBUTE_NODE;
}

Node* Attr::getParentNode() const
{
    return nullptr;
}

Node* Attr::cloneNode(bool) const
{
    Attr* copy = new Attr(*this);
    copy->addRef();
    return copy;
}

Element* Attr::getOwnerElement() const
{
    Node* owner = _parentField();
    return owner && owner->getNodeType() == ELEMENT_NODE ? static_cast<Element*>(owner) : nullptr;
}

std::string Attr::getValue() const
{
    return _rawText ? getText() : _value.str();
}

void Attr::setValue(const std::string& value)
{
    _setValueText(pagedom::SourceText(value));
}

void Attr::_setValueText(const pagedom::SourceText& value)
{
    Node* announced = _beginEdit();
    _value = value;
    _specified = true;
    _quote = 0;
    _endEdit(announced);
}

void Attr::setSpecified(bool on)
{
    if (_specified == on)
        return;
    Node* announced = _beginEdit();
    _specified = on;
    _endEdit(announced);
}

Node* Attr::_beginEdit()
{
    _sourceTouched();
    Element* owner = getOwnerElement();
    Node* announced = owner ? owner->_announcedNode() : nullptr;
    if (announced)
        pagedom::ChangeHooks::announceBeginModify(announced);
    return announced;
}

void Attr::_endEdit(Node* announced)
{
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    if (Element* owner = getOwnerElement()) {
        owner->_regenerateStartTag();
        owner->_addUpdateBits(UPDATE_ATTRIBUTE_MODIFIED);
    }
    if (announced)
        pagedom::ChangeHooks::announceEndModify(announced);
}

std::string Attr::getData() const
{
    return PCDATAConverter(getOwnerDocument()).convertSourceToData(_value.str());
}

std::string Attr::getText() const
{
    return PCDATAConverter(getOwnerDocument()).convertSourceToText(_value.str());
}

std::string Attr::getTypeName() const
{
    return _attrType ? _attrType->getName() : _name();
}

bool Attr::matchValue(const std::string& value) const
{
    if (_attrType && _attrType->getValueType() == AttrType::NAME_GROUP_TYPE)
        return pagedom::str::equalsIgnoreCase(_value.str(), value);
    return _value.view() == value;
}

char Attr::quote(std::string& value)
{
    if (value.find('"') == std::string::npos)
        return '"';
    if (value.find('\'') == std::string::npos)
        return '\'';
    // Both quote characters: double quotes outside JSP blocks become &quot;.
    std::string out;
    out.reserve(value.size() + 16);
    bool inJSP = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (!inJSP && value.compare(i, 2, "<%") == 0) {
            inJSP = true;
            out += "<%";
            ++i;
            continue;
        }
        if (inJSP && value.compare(i, 2, "%>") == 0) {
            inJSP = false;
            out += "%>";
            ++i;
            continue;
        }
        if (!inJSP && value[i] == '"')
            out += "&quot;";
        else
            out += value[i];
    }
    value = out;
    return '"';
}

bool Attr::validateName(const std::string& name)
{
    if (name.empty())
        return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u <= 32 || c == '"' || c == '\'' || c == '>' || c == '/' || c == '=' || c == '<')
            return false;
    }
    return true;
}

bool Attr::_writesBackFaithfully() const
{
    if (!validateName(_name()))
        return false;
    const std::string_view value = _value.view();
    // Server code or markup inside a value ("<%= url %>") is read by the
    // tokens around it, which a change of quotes could move.
    if (value.find('<') != std::string_view::npos)
        return false;
    return value.find('"') == std::string_view::npos || value.find('\'') == std::string_view::npos;
}

std::string Attr::getSource() const
{
    const Element* owner = getOwnerElement();
    const ElementType* ownerType = owner ? owner->getElementType() : nullptr;
    const Document* doc = getOwnerDocument();
    const Document::DocumentFormatType docFormat = doc ? doc->getFormatType() : Document::HTML_FORMAT;
    const bool htmlTag = ownerType && ownerType->getFormatType() == ElementType::FORMAT_HTML_TAG;

    const std::string name = _writtenName(htmlTag, docFormat);
    if (!_attrType && !_specified)
        return name;
    const bool enumerated = htmlTag && _attrType && _attrType->getValueType() == AttrType::NAME_GROUP_TYPE;
    std::string value = _value.str();
    if (enumerated && _attrType->isBooleanType() && !_specified) {
        // A boolean attribute written without value: its name alone under
        // the HTML rules, its name as value elsewhere.
        if (docFormat == Document::HTML_FORMAT)
            return name;
        value = name;
    }
    if (enumerated && _attrType->validateValue(value))
        value = withValueCase(value);
    if (htmlTag && docFormat == Document::XML_FORMAT)
        value = PCDATAConverter(doc).convertCharValueOfSource(value, true);
    return name + "=" + _quoted(value);
}

// The name as a start tag writes it: an HTML tag's declared attribute in the
// option's case (lower case in the XML style), else the declared name or the
// attribute's own.
std::string Attr::_writtenName(bool htmlTag, unsigned int documentFormat) const
{
    if (!_attrType)
        return _name();
    if (!htmlTag)
        return _attrType->getName();
    std::string name = _attrType->getName();
    switch (DOMOptions::getFormatOption()->getAttrNameCaseType()) {
    case DOMOptions::FormatOption::CASE_UPPER:
        name = pagedom::str::upper(name);
        break;
    case DOMOptions::FormatOption::CASE_LOWER:
        name = pagedom::str::lower(name);
        break;
    default:
        break;
    }
    if (documentFormat == Document::XML_STYLE_FORMAT)
        name = pagedom::str::lower(name);
    return name;
}

// The value between its quotes.  The quote is chosen the first time the
// attribute is written (and again after setValue); a value that later holds
// the chosen double quote gets it written as "&quot;".
std::string Attr::_quoted(std::string value) const
{
    if (!_quote)
        _quote = quote(value);
    else if (_quote == '"' && value.find('"') != std::string::npos)
        quote(value);
    return _quote + value + _quote;
}
