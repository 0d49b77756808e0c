// The attribute node: a name and its value as written in the start tag,
// bound to its DTD declaration when it joins an element.
#ifndef PAGEDOM_TREE_ATTR_H
#define PAGEDOM_TREE_ATTR_H

#include "node/NamedNode.h"
#include "base/SourceText.h"

class AttrType;
class Element;
namespace pagedom {
struct AttrAccess;
}

// An attribute.  Its value is the text as it stands in the source (references
// unresolved, no quotes).  The owner element is kept in the parent field, but
// an attribute never reports a parent.
class Attr : public NamedNode {
public:
    // An attribute named name, without value, owned by no element.
    Attr(Document* ownerDocument, const std::string& name);

    // The attribute name as written.
    std::string getNodeName() const override;
    // The value (getValue).
    std::string getNodeValue() const override { return getValue(); }
    // Sets the value (setValue).
    void setNodeValue(const std::string& value) override { setValue(value); }
    // ATTRIBUTE_NODE.
    unsigned short getNodeType() const override;
    // Always null: the owner element is not a parent.
    Node* getParentNode() const override;
    // A copy with name, value, type and flags, owned by no element.
    Node* cloneNode(bool deep) const override;
    // The attribute as written inside a start tag (name="value").
    std::string getSource() const override;

    // The attribute name as written.
    const std::string& getName() const { return _name(); }
    // The value as written, or in text form for a document other than the
    // HTML document.
    std::string getValue() const;
    // Sets the value and asks for the owner's start tag to be produced again.
    void setValue(const std::string& value);
    // The value converted to data form.
    std::string getData() const;
    // The value converted to text form.
    std::string getText() const;
    // The name of the attribute type, else the attribute's own name.
    std::string getTypeName() const;
    // The attribute's DTD declaration, or null.
    const AttrType* getAttrType() const { return _attrType; }
    // Whether the attribute was written with a value.
    bool isSpecified() const { return _specified; }
    // Sets whether the attribute is written with a value; a change is a
    // modification like setValue.
    void setSpecified(bool on);
    // Whether an attribute type is bound.
    bool isDefined() const { return _attrType != nullptr; }
    // Whether the value equals value (ignoring case for an enumerated type).
    bool matchValue(const std::string& value) const;
    // The element the attribute belongs to, or null.
    Element* getOwnerElement() const;

    // Chooses the quote for a value; a value holding both quote characters
    // gets its double quotes outside JSP blocks written as "&quot;".
    static char quote(std::string& value);
    // Whether a name is acceptable as an attribute name.
    static bool validateName(const std::string& name);

protected:
    // A copy of other owned by no element (see cloneNode).
    Attr(const Attr& other);

private:
    // setValue for a reader, whose value text is a span of the page.
    void _setValueText(const pagedom::SourceText& value);
    // A change of the value or the specified flag begins: announced for the
    // owner element; returns the node announced (null without owner).
    Node* _beginEdit();
    // The change ends: the attribute is marked UPDATE_CONTENT_MODIFIED, its
    // owner's start tag is produced again and the owner marked
    // UPDATE_ATTRIBUTE_MODIFIED; the end is announced for announced.
    void _endEdit(Node* announced);
    void _setRawText(bool on)
    {
        _sourceTouched();
        _rawText = on;
    }
    std::string _writtenName(bool htmlTag, unsigned int documentFormat) const;
    std::string _quoted(std::string value) const;
    // Whether getSource reads back as this attribute: a name that is a
    // plain run of name bytes, and a value without markup that one quote
    // character can enclose as it is.
    bool _writesBackFaithfully() const;

    pagedom::SourceText _value;
    const AttrType* _attrType = nullptr;
    bool _specified = false;
    // getValue gives the value in text form (documents other than the HTML
    // document).
    bool _rawText = false;
    // The quote chosen when the attribute was first written; 0 until then.
    mutable char _quote = 0;

    // Library internals used by the element, the document's factory, the
    // reader and the library's accessor.
    friend class Element;
    friend class Document;
    friend class HTMLParser;
    friend class XMLParser;
    friend struct pagedom::AttrAccess;
};

#endif
