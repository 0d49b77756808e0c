// The metadata node and its copies.
#include "tree/MetaData.h"

#include "tree/Element.h"

const std::string MetaData::NODE_NAME = "#meta-data";

MetaData::MetaData(Document* ownerDocument) : ContainerNode(ownerDocument, std::string()) {}

MetaData::MetaData(const MetaData& other) : ContainerNode(other), _type(other._type) {}

MetaData::~MetaData()
{
    _setATVElement(nullptr);
}

void MetaData::_setATVElement(Element* atv)
{
    if (atv == _atv)
        return;
    if (atv) {
        atv->addRef();
        atv->_setKeeper(this);
        if (atv->getParentNode() != this)
            _adoptIncoming(atv);
    }
    Element* old = _atv;
    _atv = atv;
    if (old) {
        old->_setKeeper(nullptr);
        old->releaseRef();
    }
}

Node* MetaData::_keeper() const
{
    return _ownerElement;
}

void MetaData::_adoptAttachments(Document* owner, std::vector<Node*>& roots)
{
    (void)owner;
    // A visual among the children is adopted with them.
    if (_atv && _atv->getParentNode() != this)
        roots.push_back(_atv);
}

std::string MetaData::getNodeName() const
{
    return NODE_NAME;
}

unsigned short MetaData::getNodeType() const
{
    return META_DATA_NODE;
}

Node* MetaData::cloneNode(bool deep) const
{
    MetaData* copy = new MetaData(*this);
    copy->addRef();
    if (deep)
        _cloneChildrenInto(copy);
    if (_atv) {
        // An author-time visual read from a page is one of the children: the
        // copy holds the copy of that child; any other is copied for it.
        Node* atv = nullptr;
        if (deep) {
            const unsigned long index = getChildIndex(_atv);
            if (index != NOT_FOUND)
                atv = copy->getChildNode(index);
        }
        if (atv && atv->getNodeType() == ELEMENT_NODE) {
            copy->_setATVElement(static_cast<Element*>(atv));
        } else {
            Element* twin = static_cast<Element*>(_atv->cloneNode(true));
            copy->_setATVElement(twin);
            twin->releaseRef();
        }
    }
    return copy;
}
