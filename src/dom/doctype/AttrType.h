#ifndef PAGEDOM_DOCTYPE_ATTRTYPE_H
#define PAGEDOM_DOCTYPE_ATTRTYPE_H

#include <memory>
#include <string>
#include <vector>

#include "node/Node.h"

class AttrTypeList;

// The declaration of one attribute in an <!ATTLIST: its declared value
// (a keyword or a group of names) and its default.
//
// An attribute type belongs to the AttrTypeList that lists it, which keeps
// itself in the node's parent field; getParentNode is always null.
class AttrType : public Node {
public:
    // Declared value.
    enum ValueType {
        CDATA_TYPE = 0,
        ID_TYPE = 1,
        IDREF_TYPE = 2,
        IDREFS_TYPE = 3,
        ENTITY_TYPE = 4,
        ENTITIES_TYPE = 5,
        NMTOKEN_TYPE = 6,
        NMTOKENS_TYPE = 7,
        NOTATION_TYPE = 8,
        NUMBER_TYPE = 9,
        URI_TYPE = 10,
        COLOR_TYPE = 11,
        EVENT_TYPE = 12,
        NAME_GROUP_TYPE = 13  // "(a|b|c)"
    };

    // Default kind.
    enum DefaultType {
        FIXED_DEFAULT = 0,     // "#FIXED" and the value
        REQUIRED_DEFAULT = 1,  // "#REQUIRED"
        IMPLIED_DEFAULT = 2,   // "#IMPLIED"
        VALUE_DEFAULT = 3      // an explicit default value
    };

    // Keywords of the declared values.
    static const std::string CDATA_KEY;
    static const std::string ID_KEY;
    static const std::string IDREF_KEY;
    static const std::string IDREFS_KEY;
    static const std::string ENTITY_KEY;
    static const std::string ENTITIES_KEY;
    static const std::string NMTOKEN_KEY;
    static const std::string NMTOKENS_KEY;
    static const std::string NOTATION_KEY;
    static const std::string NUMBER_KEY;
    static const std::string URI_KEY;
    static const std::string COLOR_KEY;
    static const std::string EVENT_KEY;
    // Keywords of the defaults.
    static const std::string FIXED_KEY;
    static const std::string REQUIRED_KEY;
    static const std::string IMPLIED_KEY;

    AttrType(Document* ownerDocument, const std::string& name);
    ~AttrType() override;

    // --- Node -------------------------------------------------------------
    std::string getNodeName() const override { return _name(); }
    unsigned short getNodeType() const override { return ATTR_TYPE_NODE; }
    Node* getParentNode() const override { return nullptr; }
    // Copies every field; the copy belongs to no list.
    Node* cloneNode(bool deep) const override;
    // "name type default": for example `align (left|right) "left"` or
    // `href URI #IMPLIED`.
    std::string getSource() const override;
    void _writeStart(std::string& out) const override;
    bool _writesChildren() const override { return false; }

    // --- reads ------------------------------------------------------------
    const std::string& getName() const { return _name(); }
    ValueType getValueType() const { return _valueType; }
    DefaultType getDefaultType() const { return _defaultType; }
    const std::string& getDefaultValue() const { return _defaultValue; }
    // The members of the name group in declared order; empty without one.
    std::vector<std::string> getValues() const;
    bool hasValues() const { return _values != nullptr; }
    // The keyword of a declared value; empty for the name group.
    static const std::string& getValueKey(ValueType type);

    // An enumerated attribute whose only value is its own name, as in
    // "nowrap (nowrap)": written without a value in HTML.
    bool isBooleanType() const;
    // Whether value is acceptable: always without a name group, else when it
    // matches a member ignoring case.
    bool validateValue(const std::string& value) const;

    // The list this attribute type belongs to, or null.
    const AttrTypeList* getOwnerList() const;

    // --- builders -------------------------------------------------------------
    void setValueType(ValueType type) { _valueType = type; }
    // Stores a name group (possibly empty).
    void setValues(const std::vector<std::string>& values);
    void setDefaultType(DefaultType type) { _defaultType = type; }
    void setDefaultValue(const std::string& value) { _defaultValue = value; }

protected:
    AttrType(const AttrType& other);
    void _setParentNode(Node*) override {}

private:
    void _appendSource(std::string& out) const;

    ValueType _valueType;
    std::unique_ptr<std::vector<std::string>> _values;
    DefaultType _defaultType;
    std::string _defaultValue;
};

#endif
