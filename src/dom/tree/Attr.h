#ifndef PAGEDOM_TREE_ATTR_H
#define PAGEDOM_TREE_ATTR_H

#include "node/Node.h"
#include "base/SourceText.h"

class AttrType;
class Element;

// An attribute.  Its value is the text as it stands in the source (references
// unresolved, no quotes).  The owner element is kept in the parent field, but
// an attribute never reports a parent.
class Attr : public Node {
public:
    Attr(Document* ownerDocument, const std::string& name);

    std::string getNodeName() const override;
    std::string getNodeValue() const override { return getValue(); }
    void setNodeValue(const std::string& value) override { setValue(value); }
    unsigned short getNodeType() const override;
    Node* getParentNode() const override;
    Node* cloneNode(bool deep) const override;
    std::string getSource() const override;

    const std::string& getName() const { return _name(); }
    std::string getValue() const;
    void setValue(const std::string& value);
    // setValue for a reader, whose value text is a span of the page.
    void _setValueText(const pagedom::SourceText& value);
    std::string getData() const;
    std::string getText() const;
    std::string getTypeName() const;
    const AttrType* getAttrType() const { return _attrType; }
    bool isSpecified() const { return _specified; }
    void setSpecified(bool on)
    {
        _sourceTouched();
        _specified = on;
    }
    bool isDefined() const { return _attrType != nullptr; }
    bool matchValue(const std::string& value) const;
    Element* getOwnerElement() const;

    // Chooses the quote for a value; a value holding both quote characters
    // gets its double quotes outside JSP blocks written as "&quot;".
    static char quote(std::string& value);
    // Whether a name is acceptable as an attribute name.
    static bool validateName(const std::string& name);

    bool _isRawText() const { return _rawText; }
    void _setRawText(bool on)
    {
        _sourceTouched();
        _rawText = on;
    }
    // Stores a value as read, without announcing or marking anything.
    void _setValueQuietly(const std::string& value)
    {
        _sourceTouched();
        _value = value;
    }

protected:
    Attr(const Attr& other);

private:
    std::string _writtenName(bool htmlTag, unsigned int documentFormat) const;
    std::string _quoted(std::string value) const;

    pagedom::SourceText _value;
    const AttrType* _attrType = nullptr;
    bool _specified = false;
    bool _valueChanged = false;
    bool _rawText = false;
    mutable char _quote = 0;

    friend class Element;
};

#endif
