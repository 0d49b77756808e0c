// Attribute types: their keywords, their declaration text and the checks
// of a value against a name group.
#include "doctype/AttrType.h"

#include "doctype/AttrTypeList.h"
#include "base/StringUtil.h"

const std::string AttrType::CDATA_KEY = "CDATA";
const std::string AttrType::ID_KEY = "ID";
const std::string AttrType::IDREF_KEY = "IDREF";
const std::string AttrType::IDREFS_KEY = "IDREFS";
const std::string AttrType::ENTITY_KEY = "ENTITY";
const std::string AttrType::ENTITIES_KEY = "ENTITIES";
const std::string AttrType::NMTOKEN_KEY = "NMTOKEN";
const std::string AttrType::NMTOKENS_KEY = "NMTOKENS";
const std::string AttrType::NOTATION_KEY = "NOTATION";
const std::string AttrType::NUMBER_KEY = "NUMBER";
const std::string AttrType::URI_KEY = "URI";
const std::string AttrType::COLOR_KEY = "COLOR";
const std::string AttrType::EVENT_KEY = "EVENT";
const std::string AttrType::FIXED_KEY = "#FIXED";
const std::string AttrType::REQUIRED_KEY = "#REQUIRED";
const std::string AttrType::IMPLIED_KEY = "#IMPLIED";

AttrType::AttrType(Document* ownerDocument, const std::string& name)
    : NamedNode(ownerDocument, name), _valueType(CDATA_TYPE), _defaultType(IMPLIED_DEFAULT)
{
}

AttrType::AttrType(const AttrType& other)
    : NamedNode(other), _valueType(other._valueType),
      _values(other._values ? new std::vector<std::string>(*other._values) : nullptr),
      _defaultType(other._defaultType), _defaultValue(other._defaultValue)
{
}

AttrType::~AttrType() = default;

Node* AttrType::cloneNode(bool) const
{
    AttrType* copy = new AttrType(*this);
    copy->addRef();
    return copy;
}

const AttrTypeList* AttrType::getOwnerList() const
{
    Node* owner = _parentField();
    if (!owner || owner->getNodeType() != ATTR_TYPE_LIST_NODE)
        return nullptr;
    return static_cast<const AttrTypeList*>(owner);
}

std::vector<std::string> AttrType::getValues() const
{
    return _values ? *_values : std::vector<std::string>();
}

void AttrType::setValues(const std::vector<std::string>& values)
{
    _values.reset(new std::vector<std::string>(values));
}

const std::string& AttrType::getValueKey(ValueType type)
{
    static const std::string none;
    switch (type) {
    case CDATA_TYPE:
        return CDATA_KEY;
    case ID_TYPE:
        return ID_KEY;
    case IDREF_TYPE:
        return IDREF_KEY;
    case IDREFS_TYPE:
        return IDREFS_KEY;
    case ENTITY_TYPE:
        return ENTITY_KEY;
    case ENTITIES_TYPE:
        return ENTITIES_KEY;
    case NMTOKEN_TYPE:
        return NMTOKEN_KEY;
    case NMTOKENS_TYPE:
        return NMTOKENS_KEY;
    case NOTATION_TYPE:
        return NOTATION_KEY;
    case NUMBER_TYPE:
        return NUMBER_KEY;
    case URI_TYPE:
        return URI_KEY;
    case COLOR_TYPE:
        return COLOR_KEY;
    case EVENT_TYPE:
        return EVENT_KEY;
    default:
        return none;
    }
}

bool AttrType::isBooleanType() const
{
    return _values && _values->size() == 1 && (*_values)[0] == _name();
}

bool AttrType::validateValue(const std::string& value) const
{
    if (!_values)
        return true;
    for (const std::string& member : *_values)
        if (pagedom::str::equalsIgnoreCase(member, value))
            return true;
    return false;
}

void AttrType::_appendSource(std::string& out) const
{
    out += _name();
    out += ' ';
    if (_valueType == NAME_GROUP_TYPE) {
        out += '(';
        if (_values) {
            for (std::size_t i = 0; i < _values->size(); ++i) {
                if (i != 0)
                    out += '|';
                out += (*_values)[i];
            }
        }
        out += ')';
    } else {
        out += getValueKey(_valueType);
    }
    out += ' ';
    switch (_defaultType) {
    case FIXED_DEFAULT:
        out += FIXED_KEY;
        out += ' ';
        out += '"';
        out += _defaultValue;
        out += '"';
        break;
    case REQUIRED_DEFAULT:
        out += REQUIRED_KEY;
        break;
    case IMPLIED_DEFAULT:
        out += IMPLIED_KEY;
        break;
    default:
        out += '"';
        out += _defaultValue;
        out += '"';
        break;
    }
}

std::string AttrType::getSource() const
{
    std::string out;
    _appendSource(out);
    return out;
}

void AttrType::_writeStart(std::string& out) const
{
    _appendSource(out);
}
