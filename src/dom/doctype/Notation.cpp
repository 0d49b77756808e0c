// Notation declarations and their text.
#include "doctype/Notation.h"

#include "doctype/ExternalID.h"

const std::string Notation::OPEN_TAG = "<!NOTATION";
const std::string Notation::DECL_KEY = "NOTATION";
const std::string Notation::PUBLIC_KEY = "PUBLIC";
const std::string Notation::SYSTEM_KEY = "SYSTEM";
const std::string Notation::CLOSE_TAG = ">";

Notation::Notation(Document* ownerDocument, const std::string& name) : NamedNode(ownerDocument, name) {}

std::string Notation::getNodeName() const
{
    return _name();
}

unsigned short Notation::getNodeType() const
{
    return NOTATION_NODE;
}

Node* Notation::getParentNode() const
{
    return nullptr;
}

Node* Notation::cloneNode(bool) const
{
    Notation* copy = new Notation(*this);
    copy->addRef();
    return copy;
}

std::string Notation::getSource() const
{
    std::string out = OPEN_TAG + " " + _name();
    pagedom::appendExternalID(out, _publicID, _systemID);
    return out + CLOSE_TAG;
}

void Notation::_writeStart(std::string& out) const
{
    out += getSource();
}
