#ifndef PAGEDOM_DOCTYPE_ELEMENTTYPE_H
#define PAGEDOM_DOCTYPE_ELEMENTTYPE_H

#include <string>
#include <vector>

#include "doctype/ContentModel.h"
#include "node/Node.h"

class AttrType;
class AttrTypeList;
class DocumentType;

// The declaration of one element: its content model, tag omission, the
// attribute list that describes its attributes, and the categories derived
// from its element-flag word that the reader, writer, corrector and host
// consult.
//
// Element types belong to a DocumentType, which keeps itself in the node's
// parent field; a declaration is never part of a tree, so getParentNode is
// always null.
class ElementType : public Node {
public:
    // Bits of the group word, the element-flag word a type was given
    // (getGroup, Element::getElementGroup).  setElementFlags derives the
    // layout, correct, omit, content and format types from some of them;
    // the reader, writer and corrector read the others directly.
    static constexpr unsigned long GROUP_BLOCK = 0x1;              // a block: layout type 0, ends a text's block
    static constexpr unsigned long GROUP_PLAIN = 0x2;              // its text is kept as written (PRE, TEXTAREA)
    static constexpr unsigned long GROUP_BREAK = 0x4;              // a line break (BR): layout type 3
    static constexpr unsigned long GROUP_SOLID = 0x8;              // an object in the text flow: layout type 2
    static constexpr unsigned long GROUP_HEAD = 0x10;              // head-like: layout type 4
    static constexpr unsigned long GROUP_INDENT = 0x20;            // its content is indented when formatted
    static constexpr unsigned long GROUP_PHRASE = 0x40;            // correct type 2: removable when nested bare in itself
    static constexpr unsigned long GROUP_CONTAINER = 0x80;         // correct type 0: removable when empty
    static constexpr unsigned long GROUP_UNIQUE = 0x100;           // correct type 3: at most one among siblings
    static constexpr unsigned long GROUP_ADOPTING = 0x400;         // omit type 1; may receive adapted children
    static constexpr unsigned long GROUP_FONT = 0x800;             // correct type 1: removable without attributes
    static constexpr unsigned long GROUP_TABLE_STRUCTURE = 0x2000; // a table structure element
    static constexpr unsigned long GROUP_TABLE_PART = 0x4000;      // a table part (cells, rows, row groups)
    static constexpr unsigned long GROUP_INLINE = 0x8000;          // content type 5: allowed in inline content
    static constexpr unsigned long GROUP_FLOW = 0x10000;           // content type 6: allowed in flow content
    static constexpr unsigned long GROUP_SSI = 0x100000;           // format type 2, allowed anywhere
    static constexpr unsigned long GROUP_ANYWHERE = 0x200000;      // content type 7: allowed anywhere
    static constexpr unsigned long GROUP_EMPTY_TAG = 0x400000;     // may be written self-closing ("<x/>")
    static constexpr unsigned long GROUP_JSP_BLOCK = 0x800000;     // format type 3; holds CDATA sections
    static constexpr unsigned long GROUP_JSP_DIRECTIVE = 0x1000000; // format type 4
    static constexpr unsigned long GROUP_LOGICAL = 0x2000000;      // a logical element, allowed anywhere
    static constexpr unsigned long GROUP_ATV = 0x4000000;          // can have an author-time visual
    static constexpr unsigned long GROUP_UNTYPED = 0x10000000;     // read without element type
    static constexpr unsigned long GROUP_XML_TAG = 0x20000000;     // keeps the XML tag format
    static constexpr unsigned long GROUP_JSP = 0x40000000;         // one of the JSP tags

    // Tag omission.
    enum OmitType {
        OMIT_END_TAG = 0,          // "- O": the end tag may be omitted
        OMIT_END_TAG_BY_FLAG = 1,  // end tag may be omitted, from the flag word
        OMIT_BOTH_TAGS = 2,        // "O O": start and end tag may be omitted
        OMIT_NO_TAG = 3            // "- -" or nothing: both tags required
    };

    // How the writer treats the element.
    enum FormatType {
        FORMAT_HTML_TAG = 0,
        FORMAT_MIDDLEWARE_TAG = 1,
        FORMAT_SSI_DIRECTIVE = 2,
        FORMAT_JSP_BLOCK = 3,
        FORMAT_JSP_DIRECTIVE = 4,
        FORMAT_XML_TAG = 5
    };

    // Layout category: BLOCK and HEAD want a line break before the element,
    // BLOCK, BREAK and HEAD one after it.
    enum LayoutType {
        LAYOUT_TYPE_BLOCK = 0,
        LAYOUT_TYPE_FLOW = 1,
        LAYOUT_TYPE_OBJECT = 2,
        LAYOUT_TYPE_BREAK = 3,
        LAYOUT_TYPE_HEAD = 4,
        LAYOUT_TYPE_INLINE = 5
    };

    // Correction category offered to the host.
    enum CorrectType {
        CORRECT_CONTAINER = 0,
        CORRECT_FONT = 1,
        CORRECT_PHRASE = 2,
        CORRECT_UNIQUE = 3,
        CORRECT_NONE = 4
    };

    static const std::string OPEN_TAG;   // "<!ELEMENT"
    static const std::string DECL_KEY;   // "ELEMENT"
    static const std::string CLOSE_TAG;  // ">"

    ElementType(Document* ownerDocument, const std::string& name);
    ~ElementType() override;

    // --- Node -------------------------------------------------------------
    std::string getNodeName() const override { return _name(); }
    unsigned short getNodeType() const override { return ELEMENT_TYPE_NODE; }
    Node* getParentNode() const override { return nullptr; }
    // Copies every field and the content model; the copy has no attribute
    // list, no case twin and belongs to no document type.
    Node* cloneNode(bool deep) const override;
    std::string getSource() const override;
    void _writeStart(std::string& out) const override;
    bool _writesChildren() const override { return false; }

    // --- reads ------------------------------------------------------------
    const std::string& getName() const { return _name(); }
    int getElementID() const { return _elementID; }
    // The category of the content model: what the element may hold.
    ContentModel::Type getContainerType() const { return _contentModel.getType(); }
    // The element's own category: where it may appear (INLINE_CONTENT,
    // FLOW_CONTENT, ANY_CONTENT, or ELEMENT_CONTENT for none of these).
    ContentModel::Type getContentType() const { return _contentType; }
    OmitType getOmitType() const { return _omitType; }
    FormatType getFormatType() const { return _formatType; }
    LayoutType getLayoutType() const { return _layoutType; }
    CorrectType getCorrectType() const { return _correctType; }
    bool isJSPType() const { return _jspType; }
    unsigned long getGroup() const { return _group; }
    AttrTypeList* getAttrTypes() const { return _attrTypes; }
    const ContentModel& getContentModel() const { return _contentModel; }

    // The declared attribute of that name (case-insensitive), or null.
    const AttrType* getAttrType(const std::string& name) const;
    std::vector<std::string> getAllAttrNames() const;
    std::vector<std::string> getRequiredAttrNames() const;
    std::vector<std::string> getNoDefaultAttrNames() const;

    // Names of the elements allowed as children: the names of the model,
    // then the declared types admitted by the container category.
    std::vector<std::string> getContentNames() const;

    // --- containment ------------------------------------------------------------
    // Whether the content model admits child (exceptions not considered).
    bool allowsChild(const Node* child) const;
    // Whether child is an element named in the inclusion exception.
    bool includesChild(const Node* child) const;
    // Whether child is an element named in the exclusion exception.
    bool excludesChild(const Node* child) const;

    // --- builders (DTD reader, built-in types) -------------------------------------
    void setElementID(int id) { _elementID = id; }
    void setContentModel(const std::string& modelText)
    {
        _contentModel.parse(modelText);
        _serial = _nextSerial();
    }
    void setOmitType(OmitType type) { _omitType = type; }
    // The list is owned by the document type.
    void setAttrTypes(AttrTypeList* list) { _attrTypes = list; }
    // Another type whose name differs only in letter case; not owned.
    void setCaseTwin(ElementType* twin)
    {
        _caseTwin = twin;
        _serial = _nextSerial();
    }
    ElementType* getCaseTwin() const { return _caseTwin; }
    // Stores the element-flag word and derives the layout, correction, omit,
    // content and format categories and the JSP flag from it.
    void setElementFlags(unsigned long word);

    // The document type this declaration belongs to, or null.
    const DocumentType* getOwnerDocumentType() const;

protected:
    ElementType(const ElementType& other);
    void _setParentNode(Node*) override {}

private:
    void _appendSource(std::string& out) const;

    int _elementID;
    ContentModel _contentModel;
    // Names this type and the state of its model and case twin: unique in
    // the process, renewed by every change of either, so that answers of
    // the membership cache (see _modelNames) are never reused wrongly.
    unsigned long _serial = _nextSerial();
    static unsigned long _nextSerial();
    // Whether the content model names type (or its case twin); answers
    // are kept in a small per-thread cache, as the tree builder asks the
    // same few pairs for every element it places.
    bool _modelNames(const ElementType* type) const;
    AttrTypeList* _attrTypes;
    OmitType _omitType;
    ContentModel::Type _contentType;
    FormatType _formatType;
    LayoutType _layoutType;
    CorrectType _correctType;
    ElementType* _caseTwin;
    bool _jspType;
    unsigned long _group;
};

#endif
