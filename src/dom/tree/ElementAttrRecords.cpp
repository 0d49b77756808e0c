// Attributes kept as records: an element read from a page holds its
// unchanged attributes as compact records pointing into its start tag, and
// makes the attribute nodes again, exactly as they were, when asked for them.
#include "tree/Element.h"

#include <new>

#include "doctype/AttrType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "node/NodeAllocator.h"
#include "base/StringUtil.h"
#include "tree/Attr.h"
#include "tree/Document.h"

namespace {

// A record's packed word: the value length in the low bits, the mark of an
// element's last record, then the error bits an attribute may carry as
// read, the specified and raw-text flags and the update mark.
constexpr std::uint32_t FROZEN_LENGTH_MASK = 0x3FFFFFu;  // values up to 4 MB
constexpr std::uint32_t FROZEN_LAST = 1u << 22;
constexpr std::uint32_t FROZEN_ERROR_SHIFT = 23;
const unsigned long FROZEN_ERRORS[] = {Node::UNDEFINED_NAME_ERROR, Node::INVALID_NAME_ERROR, Node::MISMATCHED_ERROR,
                                       Node::INVALID_ATTR_ERROR, Node::DUPLICATE_ERROR};
constexpr std::uint32_t FROZEN_ERROR_COUNT = sizeof(FROZEN_ERRORS) / sizeof(FROZEN_ERRORS[0]);
constexpr std::uint32_t FROZEN_SPECIFIED = 1u << 28;
constexpr std::uint32_t FROZEN_RAW_TEXT = 1u << 29;
constexpr std::uint32_t FROZEN_UPDATE_SHIFT = 30;
constexpr std::uint32_t FROZEN_UPDATE_MASK = 3u << FROZEN_UPDATE_SHIFT;
static_assert(FROZEN_ERROR_SHIFT + FROZEN_ERROR_COUNT <= 28, "the error bits fit below the flags");

// The update marks a record can keep: none, created, or created with the
// value set (what a reader leaves on an attribute).
enum UpdateMark : std::uint32_t { MARK_NONE = 0, MARK_CREATED = 1, MARK_CREATED_WITH_VALUE = 2 };

// The record bits of an attribute's error state; false when it carries an
// error a record cannot keep.
bool packErrors(unsigned long errorState, std::uint32_t& bits)
{
    bits = 0;
    for (std::uint32_t b = 0; b < FROZEN_ERROR_COUNT; ++b) {
        if (errorState & FROZEN_ERRORS[b])
            bits |= 1u << b;
        errorState &= ~FROZEN_ERRORS[b];
    }
    return errorState == 0;
}

// The record bit of one error a record can keep.
std::uint32_t errorBit(unsigned long error)
{
    std::uint32_t bits = 0;
    packErrors(error, bits);
    return bits << FROZEN_ERROR_SHIFT;
}

unsigned long unpackErrors(std::uint32_t packed)
{
    unsigned long errors = 0;
    for (std::uint32_t b = 0; b < FROZEN_ERROR_COUNT; ++b)
        if (packed & (1u << (FROZEN_ERROR_SHIFT + b)))
            errors |= FROZEN_ERRORS[b];
    return errors;
}

// The update mark of an attribute's update state; false when a record
// cannot keep that state.
bool packUpdate(unsigned long updateState, std::uint32_t& mark)
{
    switch (updateState) {
    case Node::UPDATE_NONE:
        mark = MARK_NONE;
        return true;
    case Node::UPDATE_CREATED:
        mark = MARK_CREATED;
        return true;
    case Node::UPDATE_CREATED | Node::UPDATE_CONTENT_MODIFIED:
        mark = MARK_CREATED_WITH_VALUE;
        return true;
    default:
        return false;
    }
}

unsigned long unpackUpdate(std::uint32_t packed)
{
    switch (packed >> FROZEN_UPDATE_SHIFT) {
    case MARK_NONE:
        return Node::UPDATE_NONE;
    case MARK_CREATED:
        return Node::UPDATE_CREATED;
    default:
        return Node::UPDATE_CREATED | Node::UPDATE_CONTENT_MODIFIED;
    }
}

} // namespace

void Element::_freezeAttrs(const std::uint32_t* valueOffsets, std::size_t count)
{
    if (_recordsKept)
        return;
    const unsigned long n = _attrList.length();
    // Lookups by name then follow the short-list rule (see _frozenLookup).
    if (n == 0 || n != count || n > PENDING_MAP_LIMIT || !_mapPending || _mapPtr() || _startGenerated)
        return;
    const std::uint32_t records = static_cast<std::uint32_t>(n);
    FrozenAttr* items = static_cast<FrozenAttr*>(pagedom::NodeAllocator::allocate(_recordBytes(records)));
    bool keep = true;
    for (unsigned long i = 0; i < n && keep; ++i)
        keep = _makeRecord(static_cast<const Attr*>(_attrList.item(i)), valueOffsets[i], items[i]);
    if (!keep) {
        pagedom::NodeAllocator::release(items, _recordBytes(records));
        return;
    }
    items[n - 1].packed |= FROZEN_LAST;
    for (unsigned long i = 0; i < n; ++i) {
        Attr* attr = static_cast<Attr*>(_attrList.item(i));
        attr->_setParentField(nullptr);
        attr->_attrType = nullptr;
        attr->releaseRef();
    }
    _attrList.clear();
    _keepRecords(items);
}

bool Element::_readAttrRecords(const ReadAttr* attrs, std::size_t count)
{
    if (count == 0 || count > PENDING_MAP_LIMIT || _recordsKept || _attrList.length() != 0 || _mapPtr() ||
        _startGenerated)
        return false;
    // What binding would give each attribute (see _bindAttribute): its
    // declared type, and the errors it and the element take.
    const AttrType* types[PENDING_MAP_LIMIT];
    const std::size_t tagLength = _startTag.size();
    for (std::size_t i = 0; i < count; ++i) {
        const ReadAttr& a = attrs[i];
        if (!a.name || a.name->empty() || a.length > FROZEN_LENGTH_MASK ||
            (a.length && (a.offset > tagLength || a.length > tagLength - a.offset)))
            return false;
        types[i] = _elementType ? _elementType->_sharedAttrType(*a.name) : nullptr;
        if (_isDynamicElementType(types[i]))
            return false; // it attaches metadata: the nodes' way does that
    }
    const Document* doc = getOwnerDocument();
    const Document::DocumentFormatType format = doc ? doc->getFormatType() : Document::HTML_FORMAT;
    const bool rawText = doc && !doc->_isHTML;
    const int id = getElementID();
    unsigned long elementErrors = 0;
    FrozenAttr* items = static_cast<FrozenAttr*>(pagedom::NodeAllocator::allocate(_recordBytes(
        static_cast<std::uint32_t>(count))));
    for (std::size_t i = 0; i < count; ++i) {
        const ReadAttr& a = attrs[i];
        const AttrType* type = types[i];
        unsigned long errors = a.unquotedError ? INVALID_ATTR_ERROR : NONE_ERROR;
        elementErrors |= errors;
        if (type) {
            const bool mismatch =
                format == Document::XML_STYLE_FORMAT && type->getName() != pagedom::str::lower(*a.name);
            if (mismatch)
                errors |= MISMATCHED_ERROR;
            if ((format != Document::HTML_FORMAT || mismatch) && type->isBooleanType() && a.length == 0) {
                errors |= INVALID_ATTR_ERROR;
                elementErrors |= INVALID_ATTR_ERROR;
            }
            // A name an earlier attribute has (ignoring case) is a duplicate.
            for (std::size_t j = 0; j < i; ++j) {
                if (pagedom::str::equalsIgnoreCase(*attrs[j].name, *a.name)) {
                    errors |= DUPLICATE_ERROR;
                    elementErrors |= INVALID_ATTR_ERROR;
                    break;
                }
            }
        } else if (_elementType && id != ElementTable::ID_SERVLET && id != ElementTable::ID_EMBED) {
            errors |= UNDEFINED_NAME_ERROR;
            elementErrors |= UNDEFINED_ATTR_ERROR;
        }
        std::uint32_t errorBits = 0;
        packErrors(errors, errorBits);
        items[i].name = a.name;
        items[i].offset = a.length ? a.offset : 0;
        items[i].packed = a.length | errorBits << FROZEN_ERROR_SHIFT | (a.length ? FROZEN_SPECIFIED : 0) |
                          (rawText ? FROZEN_RAW_TEXT : 0) |
                          (a.length ? MARK_CREATED_WITH_VALUE : MARK_CREATED) << FROZEN_UPDATE_SHIFT;
    }
    items[count - 1].packed |= FROZEN_LAST;
    _keepRecords(items);
    _mapPending = true;
    addErrorState(elementErrors);
    if (_elementType)
        _checkDeclaredRecords(types);
    _addUpdateBits(UPDATE_ATTRIBUTE_MODIFIED);
    return true;
}

void Element::_checkDeclaredRecords(const AttrType* const* types)
{
    bool anyError = false;
    const bool xml = _elementType->getFormatType() == ElementType::FORMAT_XML_TAG;
    FrozenAttr* items = _frozen();
    for (std::uint32_t i = 0, count = _recordCount(items); i < count; ++i) {
        const AttrType* type = types ? types[i] : _elementType->getAttrType(*items[i].name);
        if (!type)
            continue;
        if (xml && *items[i].name != type->getName())
            items[i].packed |= errorBit(MISMATCHED_ERROR);
        if (unpackErrors(items[i].packed) != 0)
            anyError = true;
    }
    if (anyError)
        addErrorState(INVALID_ATTR_ERROR);
    else
        clearErrorState(INVALID_ATTR_ERROR);
}

void Element::_dropRecordWord() const
{
    _recordsKept = false;
    new (&_attrList) dom::OwnerNodeList();
}

// Fills the record of one attribute whose value starts at valueOffset in the
// start tag; false when the attribute cannot be kept as a record.
bool Element::_makeRecord(const Attr* attr, std::size_t valueOffset, FrozenAttr& item) const
{
    // Only an attribute nothing else holds or has changed.  Its type is the
    // one binding gives under the element's type (every change of type
    // binds again), so the record need not keep it.
    if (attr->getRefCount() != 1 || attr->_hasUserData || attr->_ownsName || attr->_layoutState != 0 ||
        attr->_asRead != _asRead || attr->_quote != 0 || attr->_parentField() != this)
        return false;
    std::uint32_t update = 0;
    std::uint32_t errors = 0;
    if (!packUpdate(attr->_updateState, update) || !packErrors(attr->_errorState, errors))
        return false;
    // The value must be the piece of the start tag the reader took it from.
    const std::string_view tag = _startTag.view();
    const std::string_view value = attr->_value.view();
    const std::size_t offset = value.empty() ? 0 : valueOffset;
    if (!value.empty() && (value.size() > FROZEN_LENGTH_MASK || offset > tag.size() ||
                           tag.compare(offset, value.size(), value) != 0))
        return false;
    item.name = attr->_nodeName;
    item.offset = static_cast<std::uint32_t>(offset);
    item.packed = static_cast<std::uint32_t>(value.size()) | errors << FROZEN_ERROR_SHIFT |
                  (attr->_specified ? FROZEN_SPECIFIED : 0) | (attr->_rawText ? FROZEN_RAW_TEXT : 0) |
                  update << FROZEN_UPDATE_SHIFT;
    return true;
}

std::uint32_t Element::_recordCount(const FrozenAttr* first)
{
    std::uint32_t count = 1;
    for (; !(first->packed & FROZEN_LAST); ++first)
        ++count;
    return count;
}

// The record getAttributeNode(name) would give the node of: the first
// whose name matches ignoring case, unless that one has no declared type and
// another matches exactly.
const Element::FrozenAttr* Element::_frozenLookup(const std::string& name) const
{
    const FrozenAttr* items = _frozen();
    const std::uint32_t count = _recordCount(items);
    const FrozenAttr* found = nullptr;
    for (std::uint32_t i = 0; i < count && !found; ++i)
        if (!items[i].name->empty() && pagedom::str::equalsIgnoreCase(*items[i].name, name))
            found = &items[i];
    if (!found || *found->name == name || (_elementType && _elementType->getAttrType(*found->name)))
        return found;
    for (std::uint32_t i = 0; i < count; ++i)
        if (*items[i].name == name)
            return &items[i];
    return found;
}

bool Element::_frozenValue(const std::string& name, std::string& value) const
{
    if (!_recordsKept || name.empty())
        return false;
    const FrozenAttr* item = _frozenLookup(name);
    if (!item) {
        value.clear();
        return true;
    }
    if (item->packed & FROZEN_RAW_TEXT)
        return false;
    value.assign(_startTag.view().substr(item->offset, item->packed & FROZEN_LENGTH_MASK));
    return true;
}

bool Element::_hasAttribute(const std::string& name) const
{
    if (_recordsKept)
        return !name.empty() && _frozenLookup(name) != nullptr;
    return getAttributeNode(name) != nullptr;
}

bool Element::_hasDeclaredAttribute(const std::string& name) const
{
    if (_recordsKept) {
        const FrozenAttr* item = name.empty() ? nullptr : _frozenLookup(name);
        return item && _elementType && _elementType->getAttrType(*item->name);
    }
    const Attr* attr = getAttributeNode(name);
    return attr && attr->isDefined();
}

void Element::_makeAttrNodes() const
{
    FrozenAttr* items = _frozen();
    if (!items)
        return;
    _dropRecordWord();
    Document* doc = getOwnerDocument();
    Element* self = const_cast<Element*>(this);
    const std::uint32_t count = _recordCount(items);
    for (std::uint32_t i = 0; i < count; ++i) {
        const FrozenAttr& item = items[i];
        Attr* attr = new Attr(doc, *item.name);
        attr->addRef();
        attr->_asRead = _asRead;
        const std::uint32_t length = item.packed & FROZEN_LENGTH_MASK;
        if (length)
            attr->_value = _startTag.sub(item.offset, length);
        attr->_specified = (item.packed & FROZEN_SPECIFIED) != 0;
        attr->_rawText = (item.packed & FROZEN_RAW_TEXT) != 0;
        attr->_errorState = static_cast<std::uint32_t>(unpackErrors(item.packed));
        attr->_updateState = static_cast<std::uint32_t>(unpackUpdate(item.packed));
        attr->_attrType = _elementType ? _elementType->getAttrType(attr->getName()) : nullptr;
        attr->_setParentField(self);
        _attrList.append(attr);
    }
    pagedom::NodeAllocator::release(items, _recordBytes(count));
}

void Element::_clearRecordUpdateMarks()
{
    FrozenAttr* items = _frozen();
    for (std::uint32_t i = 0, count = _recordCount(items); i < count; ++i)
        items[i].packed &= ~FROZEN_UPDATE_MASK;
}

void Element::_dropFrozenAttrs() const
{
    if (FrozenAttr* items = _frozen()) {
        _dropRecordWord();
        pagedom::NodeAllocator::release(items, _recordBytes(_recordCount(items)));
    }
}
