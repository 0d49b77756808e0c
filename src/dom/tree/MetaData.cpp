// The metadata node and its copies.
#include "tree/MetaData.h"

#include "tree/Element.h"

const std::string MetaData::NODE_NAME = "#meta-data";

MetaData::MetaData(Document* ownerDocument) : ContainerNode(ownerDocument, std::string()) {}

MetaData::MetaData(const MetaData& other) : ContainerNode(other), _type(other._type) {}

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
    if (deep) {
        _cloneChildrenInto(copy);
        // The author-time visual is one of the children: find its copy.
        if (_atv) {
            unsigned long index = getChildIndex(_atv);
            if (index != NOT_FOUND) {
                Node* atv = copy->getChildNode(index);
                if (atv && atv->getNodeType() == ELEMENT_NODE)
                    copy->_atv = static_cast<Element*>(atv);
            }
        }
    }
    return copy;
}
