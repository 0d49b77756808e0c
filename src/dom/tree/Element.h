#ifndef PAGEDOM_TREE_ELEMENT_H
#define PAGEDOM_TREE_ELEMENT_H

#include <vector>

#include "node/ContainerNode.h"
#include "base/SourceText.h"

class Attr;
class ElementType;
class MetaData;
class NamedNodeMap;

// The node for a tag.  It binds itself and its attributes to their DTD
// declarations and records every DTD problem in the error states instead of
// refusing anything.
class Element : public ContainerNode {
public:
    static const std::string OPEN_TAG;
    static const std::string END_OPEN_TAG;
    static const std::string CLOSE_TAG;
    static const std::string EMPTY_CLOSE_TAG;
    static const std::string MW_OPEN_TAG;
    static const std::string SSI_OPEN_TAG;
    static const std::string SSI_CLOSE_TAG;
    static const std::string JSP_OPEN_TAG;
    static const std::string JSP_EXPR_OPEN_TAG;
    static const std::string JSP_DECL_OPEN_TAG;
    static const std::string JSP_DIR_OPEN_TAG;
    static const std::string JSP_CLOSE_TAG;

    Element(Document* ownerDocument, const std::string& name);
    Element(Document* ownerDocument, const ElementType* type);
    ~Element() override;

    // --- Node -------------------------------------------------------------
    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    const NamedNodeMap* getAttributes() const override;
    Node* cloneNode(bool deep) const override;
    bool canContain(const Node* child) const override;
    void formatSource() override;
    void _formatOwn() override;
    bool isTrivialNode() const override;
    void _writeStart(std::string& out) const override;
    void _writeEnd(std::string& out) const override;

    const std::string& getTagName() const { return _name(); }

    // --- attributes ---------------------------------------------------------
    bool hasAttributes() const { return _frozen || _attrList.length() != 0; }
    // The attribute nodes made so far (none while they are kept as records).
    const dom::OwnerNodeList& _madeAttrNodes() const { return _attrList; }
    dom::NodeList getAttrNodes() const { return dom::NodeList(_attrs()); }
    Attr* getAttributeNode(const std::string& name) const;
    std::string getAttribute(const std::string& name) const;
    void setAttribute(const std::string& name, const std::string& value);
    Attr* setAttributeNode(Attr* attr);
    void removeAttribute(const std::string& name);
    Attr* removeAttributeNode(Attr* attr);
    void removeAllAttributes();
    dom::NodeList getUndefinedAttrNodes() const;
    dom::NodeList getURIAttrNodes() const;
    dom::NodeList getEventAttrNodes() const;

    // Adds an attribute the way a reader or a copy does: a same-named one is
    // kept (the newcomer is marked DUPLICATE_ERROR when declared).
    void _addAttributeNode(Attr* attr);

    // --- type and structure ---------------------------------------------------
    const ElementType* getElementType() const { return _elementType; }
    // Assigns the element type and re-checks the element and its attributes.
    void setElementType(const ElementType* type);
    // setElementType for a reader that has just bound the attributes to
    // the element's current type: with the same type they are not bound
    // again (binding is idempotent while nothing else changed).
    void _assignType(const ElementType* type, bool rebind);
    std::string getTypeName() const;
    int getElementID() const;
    unsigned long getElementGroup() const;
    std::vector<std::string> getContentNames() const;
    bool hasNonTextChild() const;
    bool hasUnexpectedChild() const;
    dom::NodeList getTextNodes() const;
    std::string getText() const;
    std::string getTextData() const;
    std::string getTextSource() const;
    std::string getJSPScriptData() const;
    void setJSPScriptData(const std::string& text);

    // --- tags -------------------------------------------------------------------
    std::string getStartTag() const;
    std::string getEndTag() const;
    bool hasStartTag() const { return !_startTagText().empty(); }
    bool hasEndTag() const;
    bool isOmittedElement() const { return !hasStartTag() && !hasEndTag(); }
    void omitTag();
    void specifyTag();
    void setEmptyTag(bool on)
    {
        _sourceTouched();
        _emptyTag = on;
    }
    bool isEmptyTag() const { return _emptyTag; }
    bool canOmitEndTag() const;
    // Stores tag texts as read from the source (not generated).
    void setStartTag(const std::string& text);
    void setEndTag(const std::string& text);
    // The same for a reader, whose tag texts are spans of the page.
    void _setStartTagText(const pagedom::SourceText& text);
    void _setEndTagText(const pagedom::SourceText& text);
    // Called by a reader when the element's start tag is complete: keeps the
    // attributes as records when every one is just as it was read.
    // valueOffsets[i] is where the i-th attribute's value starts in the tag.
    void _freezeAttrs(const std::uint32_t* valueOffsets, std::size_t count);
    // Asks for the start or end tag to be produced again.
    void _regenerateStartTag()
    {
        _sourceTouched();
        _startGenerated = true;
    }
    void _regenerateEndTag()
    {
        _sourceTouched();
        _endGenerated = true;
    }
    bool _isStartTagGenerated() const { return _startGenerated; }
    bool _isEndTagGenerated() const { return _endGenerated; }
    bool _hasScriptSyntax() const { return _scriptSyntax; }
    void _setScriptSyntax(bool on)
    {
        _sourceTouched();
        _scriptSyntax = on;
    }

    std::string getStartSource() const;
    std::string getEndSource() const;
    std::string getMetaStartSource() const;
    std::string getMetaEndSource() const;

    // --- classification -----------------------------------------------------
    bool canHaveAttributes() const;
    bool canContainText() const;
    bool isEmptyElement() const;
    bool isSolidElement() const;
    bool isPlainElement() const;
    bool isIndentElement() const;
    bool isLogicalElement() const;
    bool canHaveATV() const;
    bool isVirtualElement() const;
    bool isJSPElement() const;
    // Follows the XML rules for tags (self-closing form, end tags required).
    bool followsXMLRules() const;

    // --- searches ------------------------------------------------------------
    dom::NodeList getElementsByTagName(const std::string& name) const;
    Element* getElementByID(const std::string& id) const;
    dom::NodeList getElementsByAttr(const std::string& name, const std::string& value) const;
    dom::NodeList getChildElementsByName(const std::string& name) const;
    dom::NodeList getChildElementsByID(int id) const;
    dom::NodeList getFamilyElementsByName(const std::string& name) const;
    dom::NodeList getFamilyElementsByNames(const std::vector<std::string>& names) const;
    dom::NodeList getFamilyElementsByID(int id) const;
    dom::NodeList getFamilyElementsByIDs(const std::vector<int>& ids) const;

    // --- metadata and special elements -----------------------------------
    MetaData* getMetaData() const { return _meta(); }
    void setMetaData(MetaData* metaData);
    bool isDynamicElement() const;
    void setDynamicElement(bool on);
    bool isDTC() const;
    void setDTC(bool on);
    bool isActiveX() const { return _activeX; }
    bool setActiveX();
    Element* getATV() const;
    void setATV(Element* atv);
    Element* getATVTargetElement() const;
    bool isRollOver() const;
    bool isRollOverPrefix(const char* name) const;

    // The node that attribute changes of this element are announced for.
    Node* _announcedNode();

    const ElementType* _boundElementType() const override { return _elementType; }
    Element* _asMetaElement() override { return _meta() ? this : nullptr; }
    void _adoptAttachments(Document* owner, std::vector<Node*>& roots) override;

protected:
    Element(const Element& other);
    unsigned long _prepareUpdateState(unsigned long state) override;

private:
    // A pending map is built once the list grows past this length, so that
    // duplicate checks and lookups on elements with many attributes stay
    // logarithmic.
    static constexpr unsigned long PENDING_MAP_LIMIT = 8;

    void _checkStartTagName(unsigned int documentFormat);
    void _checkEndTagPresence(unsigned int documentFormat);
    void _checkDeclaredAttrs();
    void _resetAttrUpdateStates();
    unsigned long _metaDataUpdateState(unsigned long state);
    // Whether attr is the declared "dynamicelement" attribute.
    static bool _isDynamicElementAttr(const Attr* attr);
    void _bindAttribute(Attr* attr, bool join);
    Attr* _findExact(const std::string& name) const;
    void _refillMapEntry(const std::string& name);
    void _attachMetaData(unsigned int type);
    void _dropDynamicMetaData();
    // The tag texts, produced first when their generated flag is set.
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
    std::string _tagName() const;
    bool _declaredEmpty() const;
    bool _inHTMLDocument() const;

    // The nearest ancestor element whose type declares SGML exclusions or
    // inclusions, cached with the structure epoch it was found under, so
    // that containment checks need not climb every ancestor.
    const Element* _exceptionScope() const;
    bool _hasExceptions() const;

    void _parentReplaced() override { _scopeEpoch = 0; }

    mutable const Element* _scope = nullptr;

    const ElementType* _elementType = nullptr;
    // The attribute nodes.  The attributes of an element read from a page
    // are usually left as they were read: a reader then keeps them as
    // records (name, where the value lies in the start tag, error bits and
    // marks) instead of nodes, and the nodes are made, exactly as they were,
    // when anything asks for them (_attrs()).
    mutable dom::OwnerNodeList _attrList;
    struct _FrozenAttr {
        const std::string* name;  // a shared name
        std::uint32_t offset;     // of the value in the start tag
        std::uint32_t packed;     // value length, error bits and marks
    };
    struct alignas(_FrozenAttr) _FrozenAttrs {
        std::uint32_t count;
        _FrozenAttr* items() { return reinterpret_cast<_FrozenAttr*>(this + 1); }
        static std::size_t bytes(std::uint32_t count) { return sizeof(_FrozenAttrs) + count * sizeof(_FrozenAttr); }
    };
    mutable _FrozenAttrs* _frozen = nullptr;
    dom::OwnerNodeList& _attrs() const
    {
        if (_frozen)
            _makeAttrNodes();
        return _attrList;
    }
    void _thawAttrs() const
    {
        if (_frozen)
            _makeAttrNodes();
    }
    void _makeAttrNodes() const;
    void _dropFrozenAttrs() const;
    bool _makeRecord(const Attr* attr, std::size_t valueOffset, _FrozenAttr& item) const;
    const _FrozenAttr* _frozenLookup(const std::string& name) const;
    // getAttribute answered from the records, where the value needs no
    // conversion; false when the records cannot answer.
    bool _frozenValue(const std::string& name, std::string& value) const;
    // Whether getAttributeNode(name) would find a declared attribute.
    bool _hasDeclaredAttribute(const std::string& name) const;
    void _clearRecordUpdateMarks();
    // Whether getAttributeNode(name) would find a node, without making it.
    bool _hasAttribute(const std::string& name) const;
    // The attribute map is made when first needed.  Until then an element
    // filled by a reader or a copy has _mapPending set: its map would hold
    // the first listed attribute of each key, which a scan of a short list
    // finds as well.
    void _ensureMap() const;
    Attr* _firstWithKey(const std::string& name) const;
    // What few elements have: the attribute map, metadata, an end tag that
    // is not the start tag's name in "</" and ">", behind one pointer made
    // when the first of them is set.
    struct _Extras {
        NamedNodeMap* attrMap = nullptr;
        MetaData* metaData = nullptr;
        pagedom::SourceText endTag;  // an end tag other than "</" name ">"
    };
    mutable _Extras* _extras = nullptr;
    _Extras& _extra() const
    {
        if (!_extras)
            _extras = new _Extras;
        return *_extras;
    }
    NamedNodeMap* _mapPtr() const { return _extras ? _extras->attrMap : nullptr; }
    MetaData* _meta() const { return _extras ? _extras->metaData : nullptr; }
    mutable pagedom::SourceText _startTag;
    // The end tag: none, "</" followed by the start tag's name as written
    // and ">" (most end tags, kept as this mark alone), or another text,
    // kept in the extras.
    enum : unsigned int { END_NONE = 0, END_MATCHING = 1, END_STORED = 2 };
    // The low 32 bits of the structure epoch the scope was found under, 0
    // when nothing is cached (a new parent clears it).  A wrong answer would
    // need exactly 2^32 subtree moves between two questions.
    mutable std::uint32_t _scopeEpoch = 0;
    mutable bool _startGenerated : 1;
    mutable bool _endGenerated : 1;
    bool _emptyTag : 1;
    bool _scriptSyntax : 1;
    bool _activeX : 1;
    mutable bool _mapPending : 1;
    mutable unsigned int _endKind : 2;

    friend class Attr;
};

#endif
