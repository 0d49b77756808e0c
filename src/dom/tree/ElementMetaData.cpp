// The links of an element to page metadata: the metadata node itself,
// dynamic elements, design-time controls, ActiveX objects, author-time
// visuals and roll-overs.  They stay element operations in the tree layer
// because the "dynamicelement" attribute rule runs inside setAttributeNode.
#include "tree/Element.h"

#include "doctype/AttrType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/ChangeHooks.h"
#include "tree/Attr.h"
#include "tree/Document.h"
#include "tree/ElementSupport.h"
#include "tree/MetaData.h"

namespace {

// The attributes that mark an element as special.
const char DYNAMIC_ELEMENT_ATTR[] = "dynamicelement";  // a dynamic element
const char DTC_ATTR[] = "dtc";                         // a design-time control
const char CLASSID_ATTR[] = "classid";                 // an ActiveX object
const char ROLLOVER_PREFIX[] = "_ZEB_ROLLOVER";        // a roll-over's name
// What closes a scriptlet the run-time text left open.
const char SCRIPTLET_CLOSE[] = " %>";

} // namespace

bool Element::_isDynamicElementAttr(const Attr* attr)
{
    return _isDynamicElementType(attr->getAttrType());
}

bool Element::_isDynamicElementType(const AttrType* type)
{
    if (!type)
        return false;
    const std::string& name = type->getName();
    return name.size() == sizeof(DYNAMIC_ELEMENT_ATTR) - 1 && name == DYNAMIC_ELEMENT_ATTR;
}

void Element::setMetaData(MetaData* metaData)
{
    if (metaData == _meta() || (metaData && _isOwnedBy(metaData)))
        return;
    _sourceTouched();
    Node* announced = _announcedNode();
    pagedom::ChangeHooks::announceBeginModify(announced);
    if (_meta()) {
        _meta()->_setOwnerElement(nullptr);
        _meta()->releaseRef();
        _extras->metaData = nullptr;
    }
    if (metaData) {
        if (metaData->getOwnerElement() || metaData->getParentNode())
            metaData = static_cast<MetaData*>(metaData->cloneNode(true));
        else
            metaData->addRef();
        _extra().metaData = metaData;
        _meta()->_setOwnerElement(this);
    }
    _addUpdateBits(UPDATE_META_DATA_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
}

void Element::_attachMetaData(unsigned int type)
{
    if (_meta() && static_cast<unsigned int>(_meta()->getType()) == type)
        return;
    Document* doc = getOwnerDocument();
    if (!doc)
        return;
    MetaData* meta = doc->_createMetaData();
    meta->setType(static_cast<MetaData::Type>(type));
    setMetaData(meta);
    meta->releaseRef();
}

void Element::_dropDynamicMetaData()
{
    if (_meta() && _meta()->getType() == MetaData::DynamicData)
        setMetaData(nullptr);
}

bool Element::isDynamicElement() const
{
    if (pagedom::isDynamicElementID(getElementID()))
        return true;
    return _hasDeclaredAttribute(DYNAMIC_ELEMENT_ATTR);
}

void Element::setDynamicElement(bool on)
{
    int id = getElementID();
    if (pagedom::isDynamicElementID(id)) {
        if (on)
            _attachMetaData(MetaData::DynamicData);
        return;
    }
    if (on) {
        if (!getAttributeNode(DYNAMIC_ELEMENT_ATTR))
            setAttribute(DYNAMIC_ELEMENT_ATTR, std::string());
    } else if (getAttributeNode(DYNAMIC_ELEMENT_ATTR)) {
        removeAttribute(DYNAMIC_ELEMENT_ATTR);
    }
}

bool Element::isDTC() const
{
    if (getElementID() != ElementTable::ID_OBJECT)
        return false;
    return _hasAttribute(DTC_ATTR) || (_meta() && _meta()->getType() == MetaData::DesignerControl);
}

void Element::setDTC(bool on)
{
    if (!on || getElementID() != ElementTable::ID_OBJECT)
        return;
    if (!getAttributeNode(DTC_ATTR))
        setAttribute(DTC_ATTR, std::string());
    _attachMetaData(MetaData::DesignerControl);
}

bool Element::setActiveX()
{
    if (getElementID() == ElementTable::ID_OBJECT && _hasAttribute(CLASSID_ATTR) && getOwnerDocument())
        _activeX = true;
    return _activeX;
}

Element* Element::getATV() const
{
    if (_meta() && _meta()->getType() == MetaData::AuthorTimeVisual)
        return _meta()->getATVElement();
    return nullptr;
}

Node* Element::_keeper() const
{
    return _extras ? _extras->keeper : nullptr;
}

void Element::setATV(Element* atv)
{
    // The visual gets the metadata as its one owner: it may have no other,
    // and may not own this element.
    if (atv && atv != getATV() && (atv->getParentNode() || atv->_keeper() || _isOwnedBy(atv)))
        return;
    Node* announced = _announcedNode();
    pagedom::ChangeHooks::announceBeginModify(announced);
    if (!atv) {
        if (_meta() && _meta()->getType() == MetaData::AuthorTimeVisual)
            setMetaData(nullptr);
    } else {
        _attachMetaData(MetaData::AuthorTimeVisual);
        if (_meta())
            _meta()->_setATVElement(atv);
    }
    _addUpdateBits(UPDATE_META_DATA_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(announced);
}

Element* Element::getATVTargetElement() const
{
    if (getElementID() != ElementTable::ID_QRTX_ATV)
        return nullptr;
    Node* parent = getParentNode();
    if (!parent || parent->getNodeType() != META_DATA_NODE)
        return nullptr;
    return static_cast<MetaData*>(parent)->getOwnerElement();
}

bool Element::isRollOver() const
{
    int id = getElementID();
    if (id != ElementTable::ID_A && id != ElementTable::ID_IMG)
        return false;
    return isRollOverPrefix(getAttribute("name").c_str());
}

bool Element::isRollOverPrefix(const char* name) const
{
    int id = getElementID();
    if ((id != ElementTable::ID_A && id != ElementTable::ID_IMG) || !name)
        return false;
    return std::string(name).compare(0, sizeof(ROLLOVER_PREFIX) - 1, ROLLOVER_PREFIX) == 0;
}


// --- writing with metadata ---------------------------------------------------------

void Element::_attachReadMetaData(MetaData* metaData)
{
    if (_meta() || !metaData || metaData->getOwnerElement())
        return;
    metaData->addRef();
    _extra().metaData = metaData;
    metaData->_setOwnerElement(this);
}

void Element::_detachReadMetaData()
{
    if (MetaData* meta = _meta()) {
        meta->_setOwnerElement(nullptr);
        _extras->metaData = nullptr;
        meta->releaseRef();
    }
}

void Element::_appendMetaStart(std::string& out, bool insideMeta) const
{
    const MetaData* meta = _meta();
    if (!meta)
        return;
    // An element the page wrote without comments is written without them.
    insideMeta = insideMeta || meta->_bare;
    if (!insideMeta)
        out += meta->getStartHead();
    if (meta->getType() == MetaData::AuthorTimeVisual && meta->getATVElement())
        out += meta->getATVElement()->getStartTag();
}

void Element::_appendMetaEnd(std::string& out, bool insideMeta) const
{
    const MetaData* meta = _meta();
    if (!meta)
        return;
    insideMeta = insideMeta || meta->_bare;
    if (meta->getType() == MetaData::AuthorTimeVisual && meta->getATVElement())
        out += meta->getATVElement()->getEndTag();
    if (insideMeta)
        return;
    out += meta->getStartTail();
    meta->_appendSavedRuntimeText(out);
    if (meta->isScriptletLeftOpen())
        out += SCRIPTLET_CLOSE;
    out += meta->getEndComment();
}

void Element::_writeStartIn(std::string& out, bool insideMeta) const
{
    _appendMetaStart(out, insideMeta);
    _writeStart(out);
}

void Element::_writeEndIn(std::string& out, bool insideMeta) const
{
    _writeEnd(out);
    _appendMetaEnd(out, insideMeta);
}

std::string Element::getMetaStartSource() const
{
    std::string out;
    if (_meta())
        _appendMetaStart(out, (_ancestorMetaCommentForms() & _metaCommentForm()) != 0);
    return out;
}

std::string Element::getMetaEndSource() const
{
    std::string out;
    if (_meta())
        _appendMetaEnd(out, (_ancestorMetaCommentForms() & _metaCommentForm()) != 0);
    return out;
}

unsigned Element::_metaCommentForm() const
{
    const MetaData* meta = _meta();
    if (!meta || meta->_bare)
        return 0;
    return meta->_writesJSPForm() ? META_JSP_FORM : META_HTML_FORM;
}
