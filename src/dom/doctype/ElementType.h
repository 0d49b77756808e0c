// The declaration of one element (<!ELEMENT): content model, tag omission
// and the categories the reader, writer and corrector consult.
#ifndef PAGEDOM_DOCTYPE_ELEMENTTYPE_H
#define PAGEDOM_DOCTYPE_ELEMENTTYPE_H

#include <string>
#include <vector>

#include "doctype/ContentModel.h"
#include "node/NamedNode.h"

class AttrType;
class AttrTypeList;
class DocumentType;

namespace pagedom {
struct DeclarationBuilder;
}

// The declaration of one element: its content model, tag omission, the
// attribute list that describes its attributes, and the categories derived
// from its element-flag word that the reader, writer, corrector and host
// consult.
//
// Element types belong to a DocumentType, which keeps itself in the node's
// parent field; a declaration is never part of a tree, so getParentNode is
// always null.
class ElementType : public NamedNode {
public:
    // Bits of the group word, the element-flag word a type was given
    // (getGroup, Element::getElementGroup).  setElementFlags derives the
    // layout, correct, omit, content and format types from some of them;
    // the reader, writer and corrector read the others directly.
    //
    // A block: layout type BLOCK; it ends the block a text belongs to.
    static constexpr unsigned long GROUP_BLOCK = 0x1;
    // Its text is kept as written (PRE, TEXTAREA).
    static constexpr unsigned long GROUP_PLAIN = 0x2;
    // A line break (BR): layout type BREAK.
    static constexpr unsigned long GROUP_BREAK = 0x4;
    // An object in the text flow: layout type OBJECT.
    static constexpr unsigned long GROUP_SOLID = 0x8;
    // Head-like: layout type HEAD.
    static constexpr unsigned long GROUP_HEAD = 0x10;
    // Its content is indented when formatted.
    static constexpr unsigned long GROUP_INDENT = 0x20;
    // Correct type PHRASE: removable when nested bare in itself.
    static constexpr unsigned long GROUP_PHRASE = 0x40;
    // Correct type CONTAINER: removable when empty.
    static constexpr unsigned long GROUP_CONTAINER = 0x80;
    // Correct type UNIQUE: at most one among siblings.
    static constexpr unsigned long GROUP_UNIQUE = 0x100;
    // Omit type END_TAG_BY_FLAG; it may receive adapted children.
    static constexpr unsigned long GROUP_ADOPTING = 0x400;
    // Correct type FONT: removable without attributes.
    static constexpr unsigned long GROUP_FONT = 0x800;
    // A table structure element: TABLE, its row groups, rows and columns.
    static constexpr unsigned long GROUP_TABLE_STRUCTURE = 0x2000;
    // A table part: captions, row groups, rows, cells and columns.
    static constexpr unsigned long GROUP_TABLE_PART = 0x4000;
    // Content type INLINE_CONTENT: allowed in inline content.
    static constexpr unsigned long GROUP_INLINE = 0x8000;
    // Content type FLOW_CONTENT: allowed in flow content.
    static constexpr unsigned long GROUP_FLOW = 0x10000;
    // A server-side include: format type SSI_DIRECTIVE, allowed anywhere.
    static constexpr unsigned long GROUP_SSI = 0x100000;
    // Content type ANY_CONTENT: allowed anywhere.
    static constexpr unsigned long GROUP_ANYWHERE = 0x200000;
    // May be written self-closing ("<x/>").
    static constexpr unsigned long GROUP_EMPTY_TAG = 0x400000;
    // Format type JSP_BLOCK; its content is kept in CDATA sections.
    static constexpr unsigned long GROUP_JSP_BLOCK = 0x800000;
    // Format type JSP_DIRECTIVE.
    static constexpr unsigned long GROUP_JSP_DIRECTIVE = 0x1000000;
    // A logical element, allowed anywhere and stepped over by containment.
    static constexpr unsigned long GROUP_LOGICAL = 0x2000000;
    // May carry an author-time visual.
    static constexpr unsigned long GROUP_ATV = 0x4000000;
    // Elements of this name are read without an element type.
    static constexpr unsigned long GROUP_UNTYPED = 0x10000000;
    // Keeps the XML tag format.
    static constexpr unsigned long GROUP_XML_TAG = 0x20000000;
    // One of the JSP tags.
    static constexpr unsigned long GROUP_JSP = 0x40000000;

    // Tag omission.
    enum OmitType {
        OMIT_END_TAG = 0,          // "- O": the end tag may be omitted
        OMIT_END_TAG_BY_FLAG = 1,  // end tag may be omitted, from the flag word
        OMIT_BOTH_TAGS = 2,        // "O O": start and end tag may be omitted
        OMIT_NO_TAG = 3            // "- -" or nothing: both tags required
    };

    // How the writer produces the element's tags.
    enum FormatType {
        FORMAT_HTML_TAG = 0,        // an HTML tag
        FORMAT_MIDDLEWARE_TAG = 1,  // the "<!%SUBMIT" markup form
        FORMAT_SSI_DIRECTIVE = 2,   // a "<!--#" server-side include
        FORMAT_JSP_BLOCK = 3,       // a JSP scriptlet, expression or declaration
        FORMAT_JSP_DIRECTIVE = 4,   // a JSP directive
        FORMAT_XML_TAG = 5          // an XML tag
    };

    // Layout category: BLOCK and HEAD want a line break before the element,
    // BLOCK, BREAK and HEAD one after it.
    enum LayoutType {
        LAYOUT_TYPE_BLOCK = 0,   // a block of its own
        LAYOUT_TYPE_FLOW = 1,    // flows with the text around it
        LAYOUT_TYPE_OBJECT = 2,  // an object inside the text
        LAYOUT_TYPE_BREAK = 3,   // a line break
        LAYOUT_TYPE_HEAD = 4,    // part of the page head
        LAYOUT_TYPE_INLINE = 5   // inline (the default)
    };

    // Correction category offered to the host.
    enum CorrectType {
        CORRECT_CONTAINER = 0,  // removable when empty
        CORRECT_FONT = 1,       // removable without attributes
        CORRECT_PHRASE = 2,     // removable when nested bare in itself
        CORRECT_UNIQUE = 3,     // at most one among siblings
        CORRECT_NONE = 4        // none of these
    };

    // "<!ELEMENT", which opens the declaration.
    static const std::string OPEN_TAG;
    // "ELEMENT", the declaration's keyword.
    static const std::string DECL_KEY;
    // ">", which closes the declaration.
    static const std::string CLOSE_TAG;

    // A declaration named name with the default categories, no model (any
    // content), no element id and no attribute list.
    ElementType(Document* ownerDocument, const std::string& name);
    // Releases the content model; the attribute list belongs to the document type.
    ~ElementType() override;

    // --- Node -------------------------------------------------------------
    // The declared name.
    std::string getNodeName() const override { return _name(); }
    // ELEMENT_TYPE_NODE.
    unsigned short getNodeType() const override { return ELEMENT_TYPE_NODE; }
    // Always null: a declaration is never part of a tree.
    Node* getParentNode() const override { return nullptr; }
    // A copy of every field and of the content model, with one reference;
    // the copy has no attribute list, no case twin and belongs to no
    // document type.
    Node* cloneNode(bool deep) const override;
    // The declaration: "<!ELEMENT name model>" (omission flags not written).
    std::string getSource() const override;

    // --- reads ------------------------------------------------------------
    // The declared name, case kept.
    const std::string& getName() const { return _name(); }
    // The ElementTable id of the element, or 0 for an element it does not know.
    int getElementID() const { return _elementID; }
    // The category of the content model: what the element may hold.
    ContentModel::Type getContainerType() const { return _contentModel.getType(); }
    // The element's own category: where it may appear (INLINE_CONTENT,
    // FLOW_CONTENT, ANY_CONTENT, or ELEMENT_CONTENT for none of these).
    ContentModel::Type getContentType() const { return _contentType; }
    // The tag omission.
    OmitType getOmitType() const { return _omitType; }
    // How the writer produces the tags.
    FormatType getFormatType() const { return _formatType; }
    // The layout category.
    LayoutType getLayoutType() const { return _layoutType; }
    // The correction category.
    CorrectType getCorrectType() const { return _correctType; }
    // Whether the element belongs to the JSP tag set.
    bool isJSPType() const { return _jspType; }
    // The element-flag word the categories were derived from (GROUP_* bits).
    unsigned long getGroup() const { return _group; }
    // The element's attribute-list declaration, or null.
    const AttrTypeList* getAttrTypes() const { return _attrTypes; }
    // The parsed content model.
    const ContentModel& getContentModel() const { return _contentModel; }
    // Another declared type whose name differs only in letter case, or null.
    const ElementType* getCaseTwin() const { return _caseTwin; }
    // The document type this declaration belongs to, or null.
    const DocumentType* getOwnerDocumentType() const;

    // The declared attribute of that name (case-insensitive), or null.
    const AttrType* getAttrType(const std::string& name) const;
    // The names of the declared attributes, in declared order.
    std::vector<std::string> getAllAttrNames() const;
    // The names of the attributes declared #REQUIRED.
    std::vector<std::string> getRequiredAttrNames() const;
    // The names of the attributes declared #REQUIRED or #IMPLIED.
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

protected:
    ElementType(const ElementType& other);

private:
    void _writeStart(std::string& out) const override;
    bool _writesChildren() const override { return false; }
    void _setParentNode(Node*) override {}

    // --- building (through pagedom::DeclarationBuilder) ------------------------
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
    // Stores the element-flag word and derives the layout, correction, omit,
    // content and format categories and the JSP flag from it.
    void setElementFlags(unsigned long word);

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

    // getAttrType for a name from the table of shared names (see
    // NameTable): the same answer, found by the name's address.
    const AttrType* _sharedAttrType(const std::string& sharedName) const;

    // Library internals: the building operations are reached through the
    // DTD reader's and the registry's accessor; the elements a reader
    // makes look their attributes up by shared name.
    friend struct pagedom::DeclarationBuilder;
    friend class Element;
};

#endif
