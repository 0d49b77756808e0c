// The declaration of one attribute in an <!ATTLIST: its declared value and
// its default.
#ifndef PAGEDOM_DOCTYPE_ATTRTYPE_H
#define PAGEDOM_DOCTYPE_ATTRTYPE_H

#include <memory>
#include <string>
#include <vector>

#include "node/NamedNode.h"

class AttrTypeList;

namespace pagedom {
struct DeclarationBuilder;
}

// The declaration of one attribute in an <!ATTLIST: its declared value
// (a keyword or a group of names) and its default.
//
// An attribute type belongs to the AttrTypeList that lists it, which keeps
// itself in the node's parent field; getParentNode is always null.
class AttrType : public NamedNode {
public:
    // Declared value.
    enum ValueType {
        CDATA_TYPE = 0,       // "CDATA"
        ID_TYPE = 1,          // "ID"
        IDREF_TYPE = 2,       // "IDREF"
        IDREFS_TYPE = 3,      // "IDREFS"
        ENTITY_TYPE = 4,      // "ENTITY"
        ENTITIES_TYPE = 5,    // "ENTITIES"
        NMTOKEN_TYPE = 6,     // "NMTOKEN"
        NMTOKENS_TYPE = 7,    // "NMTOKENS"
        NOTATION_TYPE = 8,    // "NOTATION"
        NUMBER_TYPE = 9,      // "NUMBER"
        URI_TYPE = 10,        // "URI"
        COLOR_TYPE = 11,      // "COLOR"
        EVENT_TYPE = 12,      // "EVENT"
        NAME_GROUP_TYPE = 13  // "(a|b|c)"
    };

    // Default kind.
    enum DefaultType {
        FIXED_DEFAULT = 0,     // "#FIXED" and the value
        REQUIRED_DEFAULT = 1,  // "#REQUIRED"
        IMPLIED_DEFAULT = 2,   // "#IMPLIED"
        VALUE_DEFAULT = 3      // an explicit default value
    };

    // "CDATA", the keyword of CDATA_TYPE.
    static const std::string CDATA_KEY;
    // "ID", the keyword of ID_TYPE.
    static const std::string ID_KEY;
    // "IDREF", the keyword of IDREF_TYPE.
    static const std::string IDREF_KEY;
    // "IDREFS", the keyword of IDREFS_TYPE.
    static const std::string IDREFS_KEY;
    // "ENTITY", the keyword of ENTITY_TYPE.
    static const std::string ENTITY_KEY;
    // "ENTITIES", the keyword of ENTITIES_TYPE.
    static const std::string ENTITIES_KEY;
    // "NMTOKEN", the keyword of NMTOKEN_TYPE.
    static const std::string NMTOKEN_KEY;
    // "NMTOKENS", the keyword of NMTOKENS_TYPE.
    static const std::string NMTOKENS_KEY;
    // "NOTATION", the keyword of NOTATION_TYPE.
    static const std::string NOTATION_KEY;
    // "NUMBER", the keyword of NUMBER_TYPE.
    static const std::string NUMBER_KEY;
    // "URI", the keyword of URI_TYPE.
    static const std::string URI_KEY;
    // "COLOR", the keyword of COLOR_TYPE.
    static const std::string COLOR_KEY;
    // "EVENT", the keyword of EVENT_TYPE.
    static const std::string EVENT_KEY;
    // "#FIXED", the keyword of FIXED_DEFAULT.
    static const std::string FIXED_KEY;
    // "#REQUIRED", the keyword of REQUIRED_DEFAULT.
    static const std::string REQUIRED_KEY;
    // "#IMPLIED", the keyword of IMPLIED_DEFAULT.
    static const std::string IMPLIED_KEY;

    // An attribute type named name: CDATA, #IMPLIED, no name group.
    AttrType(Document* ownerDocument, const std::string& name);
    // Releases the name group.
    ~AttrType() override;

    // --- Node -------------------------------------------------------------
    // The declared name.
    std::string getNodeName() const override { return _name(); }
    // ATTR_TYPE_NODE.
    unsigned short getNodeType() const override { return ATTR_TYPE_NODE; }
    // Always null: a declaration is never part of a tree.
    Node* getParentNode() const override { return nullptr; }
    // A copy of every field, with one reference; the copy belongs to no list.
    Node* cloneNode(bool deep) const override;
    // "name type default": for example `align (left|right) "left"` or
    // `href URI #IMPLIED`.
    std::string getSource() const override;

    // --- reads ------------------------------------------------------------
    // The declared name, case kept.
    const std::string& getName() const { return _name(); }
    // The declared value.
    ValueType getValueType() const { return _valueType; }
    // The default kind.
    DefaultType getDefaultType() const { return _defaultType; }
    // The fixed or default value; empty for #REQUIRED and #IMPLIED.
    const std::string& getDefaultValue() const { return _defaultValue; }
    // The members of the name group in declared order; empty without one.
    std::vector<std::string> getValues() const;
    // Whether the declaration has a name group (possibly empty).
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

protected:
    AttrType(const AttrType& other);

private:
    void _writeStart(std::string& out) const override;
    bool _writesChildren() const override { return false; }
    void _setParentNode(Node*) override {}

    // --- building (through pagedom::DeclarationBuilder) ------------------------
    void setValueType(ValueType type) { _valueType = type; }
    // Stores a name group (possibly empty).
    void setValues(const std::vector<std::string>& values);
    void setDefaultType(DefaultType type) { _defaultType = type; }
    void setDefaultValue(const std::string& value) { _defaultValue = value; }

    void _appendSource(std::string& out) const;

    ValueType _valueType;
    std::unique_ptr<std::vector<std::string>> _values;
    DefaultType _defaultType;
    std::string _defaultValue;

    // Library internals: the building operations are reached through the
    // DTD reader's and the registry's accessor.
    friend struct pagedom::DeclarationBuilder;
};

#endif
