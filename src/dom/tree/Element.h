// The element node: a tag of the page with its attributes, bound to its DTD
// declaration, and the texts of its start and end tags.
#ifndef PAGEDOM_TREE_ELEMENT_H
#define PAGEDOM_TREE_ELEMENT_H

#include <vector>

#include "node/ContainerNode.h"
#include "base/SourceText.h"

class Attr;
class AttrType;
class ElementType;
class MetaData;
class NamedNodeMap;
namespace pagedom {
struct ElementAccess;
class MetaDataPass;
}

// The node for a tag.  It binds itself and its attributes to their DTD
// declarations and records every DTD problem in the error states instead of
// refusing anything.
class Element : public ContainerNode {
public:
    // "<", the opening of an HTML or XML start tag.
    static const std::string OPEN_TAG;
    // "</", the opening of an end tag.
    static const std::string END_OPEN_TAG;
    // ">", the closing of a tag.
    static const std::string CLOSE_TAG;
    // " />", the closing of a self-closing tag.
    static const std::string EMPTY_CLOSE_TAG;
    // "<!%", the opening of a middleware tag.
    static const std::string MW_OPEN_TAG;
    // "<!--#", the opening of a server-side include directive.
    static const std::string SSI_OPEN_TAG;
    // "-->", the closing of a server-side include directive.
    static const std::string SSI_CLOSE_TAG;
    // "<%", the opening of a JSP scriptlet.
    static const std::string JSP_OPEN_TAG;
    // "<%=", the opening of a JSP expression.
    static const std::string JSP_EXPR_OPEN_TAG;
    // "<%!", the opening of a JSP declaration.
    static const std::string JSP_DECL_OPEN_TAG;
    // "<%@", the opening of a JSP directive.
    static const std::string JSP_DIR_OPEN_TAG;
    // "%>", the closing of every JSP block and directive.
    static const std::string JSP_CLOSE_TAG;

    // An element named name, typed by the declaration of that name in the
    // document's type (untyped when there is none).
    Element(Document* ownerDocument, const std::string& name);
    // An element of type, named after it.
    Element(Document* ownerDocument, const ElementType* type);
    // Releases the attributes and the metadata, then the children.
    ~Element() override;

    // --- Node -------------------------------------------------------------
    // The tag name as written.
    std::string getNodeName() const override;
    // ELEMENT_NODE.
    unsigned short getNodeType() const override;
    // The attribute map (one attribute per name ignoring case), or null
    // before the first named attribute.
    const NamedNodeMap* getAttributes() const override;
    // A copy with the type, tag texts, flags, attributes and metadata; with
    // deep, copies of the children too.
    Node* cloneNode(bool deep) const override;
    // Whether the element's type (with SGML exceptions of the ancestors)
    // admits child.
    bool canContain(const Node* child) const override;
    // Writes the tags the page wrote again where they read back the same,
    // and formats the descendants.
    void formatSource() override;
    // Whether the element has no element type.
    bool isTrivialNode() const override;

    // The tag name as written.
    const std::string& getTagName() const { return _name(); }

    // --- attributes ---------------------------------------------------------
    // Whether the element has any attribute.
    bool hasAttributes() const { return _recordsKept || _attrList.length() != 0; }
    // The attributes in source order, as a live list.
    dom::NodeList getAttrNodes() const { return dom::NodeList(_attrs()); }
    // The attribute of that name: a declared one ignoring case, an
    // undeclared one preferably spelled exactly so; null if none.
    Attr* getAttributeNode(const std::string& name) const;
    // The value of getAttributeNode(name), or the empty string.
    std::string getAttribute(const std::string& name) const;
    // Sets the value of the attribute of that name, adding one if needed.
    void setAttribute(const std::string& name, const std::string& value);
    // Adds attr, replacing a same-named one; returns the replaced attribute
    // (the caller's reference) or null.  An attribute of another element is
    // refused; one made by another document becomes this element's
    // document's.
    Attr* setAttributeNode(Attr* attr);
    // Removes and releases the attribute of that name.
    void removeAttribute(const std::string& name);
    // Removes attr; returns it with its reference, or null when it is not
    // the element's.
    Attr* removeAttributeNode(Attr* attr);
    // Removes and releases every attribute and clears the attribute errors.
    void removeAllAttributes();
    // The attributes without declaration, in source order.
    dom::NodeList getUndefinedAttrNodes() const;
    // The attributes declared as URIs, in source order.
    dom::NodeList getURIAttrNodes() const;
    // The attributes declared as event handlers, in source order.
    dom::NodeList getEventAttrNodes() const;

    // --- type and structure ---------------------------------------------------
    // The element's DTD declaration, or null.
    const ElementType* getElementType() const { return _elementType; }
    // Assigns the element type and re-checks the element and its attributes;
    // a new type has both tags produced again (unless both are omitted).
    void setElementType(const ElementType* type);
    // The name of the element type, else the element's own name.
    std::string getTypeName() const;
    // The element id of the element type, 0 without one.
    int getElementID() const;
    // The group bits of the element type (ElementType::GROUP_*); without a
    // type GROUP_SOLID in the HTML document, else 0.
    unsigned long getElementGroup() const;
    // The names of the elements the element type admits as children.
    std::vector<std::string> getContentNames() const;
    // Whether some child is not a text node.
    bool hasNonTextChild() const;
    // Whether some child is one canContain refuses.
    bool hasUnexpectedChild() const;
    // The text children, in order.
    dom::NodeList getTextNodes() const;
    // The text children's data in text form, concatenated.
    std::string getText() const;
    // The text children's data in data form, concatenated.
    std::string getTextData() const;
    // The text children's source, concatenated.
    std::string getTextSource() const;
    // The script of a JSP block element (its text and CDATA children); empty
    // for other elements.
    std::string getJSPScriptData() const;
    // Replaces the children of a JSP block element by one CDATA section
    // holding text between spaces; other elements are left alone.
    void setJSPScriptData(const std::string& text);

    // --- tags -------------------------------------------------------------------
    // The start tag text, produced first when it is to be generated.
    std::string getStartTag() const;
    // The end tag text, produced first when it is to be generated.
    std::string getEndTag() const;
    // Whether a start tag is written.
    bool hasStartTag() const { return !_startTagText().empty(); }
    // Whether an end tag is written.
    bool hasEndTag() const;
    // Whether neither tag is written.
    bool isOmittedElement() const { return !hasStartTag() && !hasEndTag(); }
    // Tag edits (omitTag, specifyTag, setEmptyTag, setStartTag, setEndTag)
    // and setElementType are modifications of the element: announced to the
    // document and marked UPDATE_CONTENT_MODIFIED.

    // Writes neither tag; a virtual element loses its missing-tag errors.
    void omitTag();
    // Produces both tags again from the element.
    void specifyTag();
    // Sets whether the element is written in the self-closing form; a change
    // has both tags produced again (unless both are omitted).
    void setEmptyTag(bool on);
    // Whether the element is written in the self-closing form.
    bool isEmptyTag() const { return _emptyTag; }
    // Whether the element type lets a page leave the end tag out.
    bool canOmitEndTag() const;
    // Stores the start tag text as read from the source (not generated).
    void setStartTag(const std::string& text);
    // Stores the end tag text as read from the source (not generated).
    void setEndTag(const std::string& text);

    // The metadata start comment followed by the start tag.
    std::string getStartSource() const;
    // The end tag followed by the metadata end comment.
    std::string getEndSource() const;
    // The metadata start comment (empty without metadata).
    std::string getMetaStartSource() const;
    // The metadata end comment (empty without metadata).
    std::string getMetaEndSource() const;

    // --- classification -----------------------------------------------------
    // Whether the element may carry attributes (a JSP block read in script
    // syntax may not, nor an untyped element of the HTML document without a
    // stored start tag).
    bool canHaveAttributes() const;
    // Whether the element type admits text.
    bool canContainText() const;
    // Whether the element is written self-closing or is declared empty.
    bool isEmptyElement() const;
    // Whether the element is an object in the text flow or declared empty.
    bool isSolidElement() const;
    // Whether the element's text is kept as written (PRE, TEXTAREA).
    bool isPlainElement() const;
    // Whether the element's content is indented when formatted.
    bool isIndentElement() const;
    // Whether the element is logical: it answers containment as its parent.
    bool isLogicalElement() const;
    // Whether the element can carry an author-time visual.
    bool canHaveATV() const;
    // Whether the element is a TR without a start tag.
    bool isVirtualElement() const;
    // Whether the element type is one of the JSP types.
    bool isJSPElement() const;
    // Whether the element follows the XML rules for tags (self-closing form,
    // end tags required).
    bool followsXMLRules() const;

    // --- searches ------------------------------------------------------------
    // The descendant elements named name ignoring case, in document order.
    dom::NodeList getElementsByTagName(const std::string& name) const;
    // The first descendant element whose "id" attribute is id, or null.
    Element* getElementByID(const std::string& id) const;
    // The descendant elements having attribute name (with a value matching
    // value, when value is not empty), in document order.
    dom::NodeList getElementsByAttr(const std::string& name, const std::string& value) const;
    // The child elements named name ignoring case.
    dom::NodeList getChildElementsByName(const std::string& name) const;
    // The child elements of element id id.
    dom::NodeList getChildElementsByID(int id) const;
    // The descendant elements named name that belong to this element's
    // family (not to a nested FORM or container of that name).
    dom::NodeList getFamilyElementsByName(const std::string& name) const;
    // The descendant elements named any of names, not inside a nested
    // element like this one.
    dom::NodeList getFamilyElementsByNames(const std::vector<std::string>& names) const;
    // The descendant elements of element id id that belong to this
    // element's family.
    dom::NodeList getFamilyElementsByID(int id) const;
    // The descendant elements of any of ids, not inside a nested element
    // like this one.
    dom::NodeList getFamilyElementsByIDs(const std::vector<int>& ids) const;

    // --- metadata and special elements -----------------------------------
    // The attached metadata, or null.
    MetaData* getMetaData() const { return _meta(); }
    // Attaches metaData (a copy when it belongs to another element or lies
    // in a tree), releasing the metadata attached before; null detaches (an
    // announced modification, marked UPDATE_META_DATA_MODIFIED).  Metadata
    // that holds this element (among its children or in its visual) is
    // refused: the element would own itself.
    void setMetaData(MetaData* metaData);
    // Whether the element is a dynamic element (a QRTX: text, loop or
    // property, or declared "dynamicelement").
    bool isDynamicElement() const;
    // Makes the element a dynamic element, or stops it being one.
    void setDynamicElement(bool on);
    // Whether the element is an OBJECT design-time control.
    bool isDTC() const;
    // Makes an OBJECT a design-time control (false does nothing).
    void setDTC(bool on);
    // Whether the element was marked as an ActiveX object.
    bool isActiveX() const { return _activeX; }
    // Marks an OBJECT with a "classid" attribute as an ActiveX object;
    // returns whether the element is one.
    bool setActiveX();
    // The author-time visual element held by the metadata, or null.
    Element* getATV() const;
    // Stores atv as the element's author-time visual (its metadata holds a
    // reference on atv; the caller keeps its own); null removes it.  Refused:
    // an element with a parent or held as another visual (it would have two
    // owners), and one that holds this element (itself, an ancestor, or one
    // whose metadata leads to it: the element would own itself).  While it
    // is held, atv is inserted nowhere, and nothing that holds this element
    // is inserted into atv.
    void setATV(Element* atv);
    // For an author-time visual inside metadata, the element the metadata
    // belongs to; else null.
    Element* getATVTargetElement() const;
    // Whether an A or IMG element's name marks it as a roll-over.
    bool isRollOver() const;
    // Whether this is an A or IMG element and name has the roll-over prefix.
    bool isRollOverPrefix(const char* name) const;

protected:
    // A copy of other without children (see cloneNode).
    Element(const Element& other);

private:
    // --- Node internals --------------------------------------------------------
    void _formatOwn() override;
    void _writeStart(std::string& out) const override;
    void _writeEnd(std::string& out) const override;
    // An element with metadata is written inside its METADATA comments when
    // no ancestor carries metadata, and otherwise bare (an author-time
    // visual still inside its visual's tags).
    void _writeStartIn(std::string& out, bool insideMeta) const override;
    void _writeEndIn(std::string& out, bool insideMeta) const override;
    // An element read from a page keeps the length of its page text, start
    // tag through end tag, once a write has found it there in one piece.
    WholeText _wholeText(std::string_view& text, const char*& blockEnd) const override;
    bool _learnsKeptSource(const char*& start, const char*& pageEnd) const override;
    void _keepSourceLength(std::size_t length) const override;
    // What the metadata puts before the start tag and after the end tag.
    void _appendMetaStart(std::string& out, bool insideMeta) const;
    void _appendMetaEnd(std::string& out, bool insideMeta) const;
    const ElementType* _boundElementType() const override { return _elementType; }
    Element* _asMetaElement() override { return _meta() ? this : nullptr; }
    unsigned _metaCommentForm() const override;
    void _adoptAttachments(Document* owner, std::vector<Node*>& roots) override;
    void _rebindDeclarations() override;
    unsigned long _prepareUpdateState(unsigned long state) override;
    void _parentReplaced() override { _scopeEpoch = 0; }
    Node* _keeper() const override;
    bool _keepsOthers() const override { return _meta() != nullptr; }

    // --- for the reader and the attribute nodes --------------------------------
    // An element named name whose type the reader has already looked up:
    // the declaration of that name in the document's type, or null.
    Element(Document* ownerDocument, const std::string& name, const ElementType* nameType);
    // The same with the name's copy from the table of shared names, for a
    // reader that types the element (_assignType) as soon as it has stored
    // its tags: until then the element only keeps nameType, without the
    // checks and marks typing makes.
    Element(Document* ownerDocument, const std::string* sharedName, const ElementType* nameType);
    // Adds an attribute the way a reader or a copy does: a same-named one is
    // kept (the newcomer is marked DUPLICATE_ERROR when declared).
    void _addAttributeNode(Attr* attr);
    // setElementType for a reader that has just bound the attributes to
    // the element's current type: with the same type they are not bound
    // again (binding is idempotent while nothing else changed), and when
    // attrsChecked (the attributes are the records _readAttrRecords kept
    // under this very type) they are not checked again either.
    void _assignType(const ElementType* type, bool rebind, bool attrsChecked = false);
    // setStartTag and setEndTag for a reader, whose tag texts are spans of
    // the page.
    void _setStartTagText(const pagedom::SourceText& text);
    void _setEndTagText(const pagedom::SourceText& text);
    // Called by a reader when the element's start tag is complete: keeps the
    // attributes as records when every one is just as it was read.
    // valueOffsets[i] is where the i-th attribute's value starts in the tag.
    void _freezeAttrs(const std::uint32_t* valueOffsets, std::size_t count);
    // One attribute of a start tag as a reader hands it over: its shared
    // name, where its value lies in the start tag (length 0: no value) and
    // whether it was written without quotes where that is an error.
    struct ReadAttr {
        const std::string* name;
        std::uint32_t offset;
        std::uint32_t length;
        bool unquotedError;
    };
    // Keeps the attributes of the start tag just stored as records, with
    // the errors and marks on them and on the element that adding them as
    // nodes (_addAttributeNode) and freezing them would leave, so that no
    // node is made; false, with nothing changed, where records cannot hold
    // them all (the reader then adds nodes).  The element type must be the
    // one the element keeps; the checks of its declared attributes
    // (_checkDeclaredRecords) are made with the types looked up here.
    bool _readAttrRecords(const ReadAttr* attrs, std::size_t count);
    // Sets whether a JSP block or directive was read in its script syntax
    // ("<%" ... "%>") rather than as an XML tag.
    void _setScriptSyntax(bool on)
    {
        _sourceTouched();
        _scriptSyntax = on;
    }
    // Asks for the start tag to be produced again.
    void _regenerateStartTag()
    {
        _sourceTouched();
        _startGenerated = true;
    }
    // The node that attribute changes of this element are announced for:
    // the element, or for an element inside metadata the metadata's owner.
    Node* _announcedNode();
    // Whether a reader is building the element's document now: what it
    // stores through the public setters is the page as read, not an edit.
    bool _isBeingRead() const;
    // An edit of the element's own tags or type begins: announced as a
    // modification.  Returns false, and announces nothing, while a reader
    // stores the page as read; only a true result is followed by
    // _endOwnEdit, which marks UPDATE_CONTENT_MODIFIED and announces the end.
    bool _beginOwnEdit();
    void _endOwnEdit();
    // Has both tags produced again, unless both are omitted (an implied
    // container stays implied).
    void _regenerateTags();

    // --- element type ------------------------------------------------------------
    // The checks of a newly assigned type against stored tags and attributes.
    void _checkStartTagName(unsigned int documentFormat);
    void _checkEndTagPresence(unsigned int documentFormat);
    void _checkDeclaredAttrs();
    // _checkDeclaredAttrs on attributes kept as records; types, when given,
    // are their types under the element type, record by record.
    void _checkDeclaredRecords(const AttrType* const* types = nullptr);
    void _bindAttribute(Attr* attr, bool join);
    bool _declaredEmpty() const;
    bool _inHTMLDocument() const;

    // --- update state -----------------------------------------------------------
    void _resetAttrUpdateStates();
    unsigned long _metaDataUpdateState(unsigned long state);

    // --- attributes ---------------------------------------------------------------
    // A pending map is built once the list grows past this length, so that
    // duplicate checks and lookups on elements with many attributes stay
    // logarithmic.
    static constexpr unsigned long PENDING_MAP_LIMIT = 8;

    Attr* _findExact(const std::string& name) const;
    void _refillMapEntry(const std::string& name);
    // The attribute map is made when first needed.  Until then an element
    // filled by a reader or a copy has _mapPending set: its map would hold
    // the first listed attribute of each key, which a scan of a short list
    // finds as well.
    void _ensureMap() const;
    Attr* _firstWithKey(const std::string& name) const;
    // Whether attr is the declared "dynamicelement" attribute.
    static bool _isDynamicElementAttr(const Attr* attr);
    // Whether type is the declared "dynamicelement" attribute type.
    static bool _isDynamicElementType(const AttrType* type);

    // --- attributes kept as records -------------------------------------------
    // One attribute kept as a record.  The records of an element follow
    // one another up to the one marked last; no count is kept (an element
    // keeps at most PENDING_MAP_LIMIT).
    struct FrozenAttr {
        const std::string* name;  // a shared name
        std::uint32_t offset;     // of the value in the start tag
        std::uint32_t packed;     // value length, error bits and marks
    };
    // The number of records from first up to the one marked last.
    static std::uint32_t _recordCount(const FrozenAttr* first);
    // The memory of count records.
    static std::size_t _recordBytes(std::uint32_t count) { return count * sizeof(FrozenAttr); }
    // The attribute nodes, made first from the records.
    dom::OwnerNodeList& _attrs() const
    {
        if (_recordsKept)
            _makeAttrNodes();
        return _attrList;
    }
    void _thawAttrs() const
    {
        if (_recordsKept)
            _makeAttrNodes();
    }
    // The records, or null while the attributes are nodes.
    FrozenAttr* _frozen() const { return _recordsKept ? _records : nullptr; }
    // Keeps records in place of the list, which must be empty and have no
    // body; the list's word holds them from now on.
    void _keepRecords(FrozenAttr* records) const
    {
        // A list without a body holds nothing to release: its word is
        // simply taken over.
        _records = records;
        _recordsKept = true;
    }
    // Gives the word back to an empty list; the caller has taken the
    // records.
    void _dropRecordWord() const;
    void _makeAttrNodes() const;
    void _dropFrozenAttrs() const;
    bool _makeRecord(const Attr* attr, std::size_t valueOffset, FrozenAttr& item) const;
    const FrozenAttr* _frozenLookup(const std::string& name) const;
    // getAttribute answered from the records, where the value needs no
    // conversion; false when the records cannot answer.
    bool _frozenValue(const std::string& name, std::string& value) const;
    // Whether getAttributeNode(name) would find a node, without making it.
    bool _hasAttribute(const std::string& name) const;
    // Whether getAttributeNode(name) would find a declared attribute.
    bool _hasDeclaredAttribute(const std::string& name) const;
    void _clearRecordUpdateMarks();

    // --- metadata -----------------------------------------------------------------
    // Attaches new metadata of that type unless such metadata is attached.
    void _attachMetaData(unsigned int type);
    // Attaches metaData, which belongs to no element, while a page is read:
    // no change is announced or marked (the element is new to the tree).
    void _attachReadMetaData(MetaData* metaData);
    // Detaches the metadata attached while a page is read, unannounced.
    void _detachReadMetaData();
    void _dropDynamicMetaData();
    // Marks the element as the author-time visual that metadata holds (null:
    // no metadata holds it).
    void _setKeeper(MetaData* metaData)
    {
        if (metaData || _extras)
            _extra().keeper = metaData;
    }

    // --- tags -------------------------------------------------------------------------
    // The start tag text, produced first when its generated flag is set.
    std::string_view _startTagText() const;
    void _appendEndTag(std::string& out) const;
    // Produces the end tag first when its generated flag is set.
    void _settleEndTag() const;
    // The start tag is replaced only here: attribute records and a matching
    // end tag depend on its text.
    void _replaceStartTag(const pagedom::SourceText& text) const;
    void _storeEndTag(const pagedom::SourceText& text) const;
    // The name as the start tag writes it ("B" in "<B class=x>").
    std::string_view _writtenName() const;
    bool _isMatchingEndTag(std::string_view end) const;
    std::string _generateStartTag() const;
    std::string _startTagOpening(unsigned int kind) const;
    std::string _startTagClosing(unsigned int kind) const;
    std::string _generateEndTag() const;
    // The format type the tags are produced in (see _generateStartTag).
    unsigned int _tagKind() const;
    bool _keepsOmittedTags() const;
    // Whether formatting may produce the tags the page wrote again: the new
    // tags must read back as this very element.
    bool _hasReproducibleTags() const;
    // Whether the written start tag opens with the element's own name.
    bool _startTagOpensWithName() const;
    // Whether end is "</", the element's name (ignoring case), optional
    // white space and ">".
    bool _isRegularEndTag(std::string_view end) const;
    // The tag name in the case the options and the document ask for.
    std::string _tagName() const;

    // --- containment ------------------------------------------------------------
    // Containment asks about the ancestors: the SGML exceptions their types
    // declare, whether a FRAMESET holds the element and which BODY is the
    // outermost (for NOFRAMES), and, for a logical element, the nearest
    // ancestor that is not logical.  So that no check climbs every ancestor,
    // each element caches, under the structure epoch it was found under,
    // the head of its scope chain: the ancestor elements that tell something
    // the ones above them do not (the outermost element of each type that
    // declares exceptions, the outermost FRAMESET, the outermost BODY), each
    // one's own _scope leading on to the next.  The chain is bounded by the
    // document type, whatever the depth.  A logical element also caches the
    // nearest ancestor that is not logical (in the extras).

    // The head of the scope chain, brought up to date first (with the
    // chains and logical hosts of the ancestors on the way).
    const Element* _scopeChain() const;
    // Whether this element, as a parent, heads its children's scope chain:
    // it tells something the chain above it (its own, up to date) lacks.
    bool _headsScopeChain() const;
    // The type a NOFRAMES decides containment by: outside every FRAMESET
    // but inside a BODY the outermost BODY's type, else its own.
    const ElementType* _noframesType() const;

    // --- fields -------------------------------------------------------------------
    mutable const Element* _scope = nullptr;

    const ElementType* _elementType = nullptr;
    // The attribute nodes.  The attributes of an element read from a page
    // are usually left as they were read: a reader then keeps them as
    // records (name, where the value lies in the start tag, error bits and
    // marks) instead of nodes, and the nodes are made, exactly as they were,
    // when anything asks for them (_attrs()).
    //
    // The records and the list share one word: records are kept only while
    // the list is empty and has no body, and _recordsKept tells which of the
    // two the word holds.
    union {
        mutable dom::OwnerNodeList _attrList;
        mutable FrozenAttr* _records;
    };
    // What few elements have: the attribute map, metadata, an end tag that
    // is not the start tag's name in "</" and ">", behind one pointer made
    // when the first of them is set.
    struct Extras {
        NamedNodeMap* attrMap = nullptr;
        MetaData* metaData = nullptr;
        pagedom::SourceText endTag;  // an end tag other than "</" name ">"
        // For a logical element, the nearest ancestor that is not logical
        // (null without one), valid with the scope chain.
        const Node* logicalHost = nullptr;
        // The metadata holding the element as its author-time visual.
        MetaData* keeper = nullptr;
    };
    mutable Extras* _extras = nullptr;
    Extras& _extra() const
    {
        if (!_extras)
            _extras = new Extras;
        return *_extras;
    }
    NamedNodeMap* _mapPtr() const { return _extras ? _extras->attrMap : nullptr; }
    MetaData* _meta() const { return _extras ? _extras->metaData : nullptr; }
    mutable pagedom::SourceText _startTag;
    // The end tag: none, "</" followed by the start tag's name as written
    // and ">" (most end tags, kept as this mark alone), the "%>" of a JSP
    // block (kept as this mark alone), or another text, kept in the extras.
    enum : unsigned int { END_NONE = 0, END_MATCHING = 1, END_STORED = 2, END_JSP_CLOSE = 3 };
    // The low 32 bits of the structure epoch the scope chain was found
    // under, 0 when nothing is cached (a new parent or type clears it).  A wrong answer would
    // need exactly 2^32 subtree moves between two questions.
    mutable std::uint32_t _scopeEpoch = 0;
    mutable bool _startGenerated : 1;
    mutable bool _endGenerated : 1;
    bool _emptyTag : 1;
    bool _scriptSyntax : 1;
    bool _activeX : 1;
    mutable bool _mapPending : 1;
    mutable unsigned int _endKind : 2;
    // What a write learned of the element's page text (see _wholeText):
    // nothing yet, its length, or that it is not one piece of the page.
    // Kept beside the marks; a longer text is kept as not one piece, and
    // the element is written node by node.
    static constexpr unsigned int KEPT_UNKNOWN = 0;
    static constexpr unsigned int KEPT_NONE = 0x7FFFFFu;
    mutable unsigned int _keptLength : 23;
    // Whether the attribute word holds records rather than the list.
    mutable bool _recordsKept : 1;

    // Library internals used by the reader, the attribute nodes, the
    // metadata that holds an element as its visual and the library's
    // accessor.
    friend class Attr;
    friend class HTMLParser;
    friend class XMLParser;
    friend class MetaData;
    friend class pagedom::MetaDataPass;
    friend struct pagedom::ElementAccess;
};

#endif
