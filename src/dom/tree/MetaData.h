// The metadata node: editor data attached to an element of the page.
#ifndef PAGEDOM_TREE_METADATA_H
#define PAGEDOM_TREE_METADATA_H

#include <cstdint>
#include <string>

#include "node/ContainerNode.h"
#include "tree/DesignerObject.h"
#include "tree/DynamicData.h"

class Element;
namespace pagedom {
class MetaDataPass;
}

// Editor data attached to an element: a design-time control, a dynamic
// element's binding, or an author-time visual.  In the saved page the
// element stands inside a METADATA start comment, followed by the text the
// page shows at run time and a METADATA end comment; the node keeps those
// three texts and knows which of them must be built again.
class MetaData : public ContainerNode {
public:
    // The kind of editor data.
    enum Type : int {
        DesignerControl = 0,   // a design-time control
        DynamicData = 1,       // a dynamic element's binding
        AuthorTimeVisual = 2,  // an author-time visual
        NONE = 3               // not set yet
    };

    // "#meta-data".
    static const std::string NODE_NAME;

    // Metadata of no type, attached to no element, whose texts are all to
    // be built.
    explicit MetaData(Document* ownerDocument);
    // Releases the author-time visual element, then the children.
    ~MetaData() override;

    // "#meta-data".
    std::string getNodeName() const override;
    // META_DATA_NODE.
    unsigned short getNodeType() const override;
    // Only elements.
    bool canContain(const Node* child) const override;
    // A copy with the type, texts and flags, attached to no element, holding
    // a copy of the author-time visual element; with deep, copies of the
    // children too.
    Node* cloneNode(bool deep) const override;

    // The kind of editor data.
    Type getType() const { return _type; }
    // Sets the kind of editor data; the texts are to be built again.
    void setType(Type type);
    // The name a METADATA comment gives the type ("DesignerControl",
    // "DynamicData", "AuthorTimeVisual"); empty for NONE.
    static const std::string& typeName(Type type);

    // The element this metadata is attached to (not owned), or null.
    Element* getOwnerElement() const { return _ownerElement; }
    // The metadata of the nearest ancestor element of the owner element that
    // has metadata, or null.
    MetaData* getAncestorMetaData() const;
    // Whether getAncestorMetaData() is not null.
    bool hasAncestorMetaData() const { return getAncestorMetaData() != nullptr; }

    // The author-time visual element held by AuthorTimeVisual metadata (the
    // metadata holds a reference on it), or null.
    Element* getATVElement() const { return _atv; }
    // The object of the metadata's type: the DynamicData of DynamicData
    // metadata, the visual element of an author-time visual, the designer
    // object of a design-time control; null when there is none.
    void* getObject() const;
    // The object that produces the element's run-time text, or null.
    ::DynamicData* getDynamicData() const { return _dynamic; }
    // Holds dynamic (one reference taken) instead of the object held before
    // (one reference given back); its run-time text is produced again when
    // next written.
    void setDynamicData(::DynamicData* dynamic);
    // The host's designer object, or null.
    DesignerObject* getDesignerObject() const { return _designer; }
    // Sets the host's designer object (not owned); its run-time text is
    // produced again when next written.
    void setDesignerObject(DesignerObject* designer);

    // The METADATA start comment as read or last built.
    const std::string& getMetaStart() const { return _metaStart; }
    // The METADATA end comment as read or last built.
    const std::string& getMetaEnd() const { return _metaEnd; }
    // The run-time text as read or last stored.
    const std::string& getRuntimeData() const { return _runtimeData; }
    // Stores the run-time text; it no longer needs to be built.
    void setRuntimeData(const std::string& text);
    // Appends the element's run-time text to out: the stored text while it
    // is current, else the text the object produces (kept as the new stored
    // text; the document learns when it differs from what the page held).
    // From a children walk, an author-time visual's element is written
    // itself: its tags around its children's run-time text.
    void appendRuntimeText(std::string& out, RuntimeTextState& state, bool fromChildrenWalk = false);
    // Appends the run-time text of parent's children to out: elements with
    // metadata give theirs, other elements their tags around their
    // children's, texts, comments and the code of server code their source;
    // an open scriptlet is closed before page text, and the tags of block
    // elements start a line.
    static void appendChildrenRuntimeText(const Node* parent, std::string& out, RuntimeTextState& state);

    // Whether the run-time text ended inside a "<%" scriptlet, which the
    // saved page closes with " %>".
    bool isScriptletLeftOpen() const { return _scriptletLeftOpen; }
    // Sets whether the run-time text ended inside a scriptlet.
    void setScriptletLeftOpen(bool on) { _scriptletLeftOpen = on; }

    // Where the element's own source starts in the start comment: the length
    // of the comment's head (the kept one while it is current, else that of
    // a head built now).
    std::uint32_t getMetaOffset() const;
    // The length of the element's own source in the start comment.
    std::uint32_t getMetaLength() const;

    // Whether any of the three texts is to be built again: marked so, or
    // the element no longer writes what the kept start comment holds.
    bool isRevised() const;
    // Marks the texts to be built again: all three (the kept comments are
    // dropped), or with runtimeOnly the run-time text alone.
    void setRevised(bool runtimeOnly);

    // The head of the start comment as it is written now: the kept head, or
    // a new one when the start comment is to be built (the comment opening,
    // the keyword, the type, "startspan", a line break and the element's
    // indentation).
    std::string getStartHead() const;
    // The element's own source as it stands inside the start comment: the
    // element without comments (an author-time visual's element inside the
    // visual's tags).
    std::string getElementSource() const;
    // The rest of the start comment after the element's source: the kept
    // one, or a line break and the comment closing.
    std::string getStartTail() const;
    // The end comment as it is written now: the kept one, or a new one.
    std::string getEndComment() const;

private:
    // --- Node internals --------------------------------------------------------
    MetaData(const MetaData& other);
    Node* _keeper() const override;
    bool _keepsOthers() const override { return _atv != nullptr; }
    void _adoptAttachments(Document* owner, std::vector<Node*>& roots) override;
    // Metadata read from a page that no element took yet writes the page's
    // span: its start comment, run-time text and end comment.
    void _writeStart(std::string& out) const override;
    bool _writesChildren() const override { return false; }
    unsigned long _prepareUpdateState(unsigned long state) override;

    // Attaches to element (null: detaches); an object made for another
    // element is given back.
    void _setOwnerElement(Element* element);
    // Holds atv (adding a reference) instead of the element held before
    // (releasing it), and marks which element it keeps.  atv has no parent
    // other than this node and no other keeper; one from another document
    // is adopted by this node's document.
    void _setATVElement(Element* atv);
    // Keeps the texts of a METADATA span read from a page: start and end
    // comment and the run-time text between them, all current.
    void _setSpan(std::string start, std::string runtime, std::string end);
    // Records where the element's source lies in the kept start comment.
    void _setElementSpan(std::uint32_t offset, std::uint32_t length)
    {
        _metaOffset = offset;
        _metaLength = length;
    }
    // Marks every text current (the span read from a page is what the
    // element writes).
    void _markCurrent() { _startRevised = _endRevised = _runtimeRevised = false; }
    // Marks the texts revised, keeping the kept comments: they are written
    // again whenever the element writes what they hold (after an undo).
    void _markRevised(bool runtimeOnly);
    // Whether the kept start comment is written: it is valid and the element
    // writes just what it holds there.
    bool _startKept() const;
    // Keeps the texts as they are written now (the page was saved with
    // them): the start comment with where the element lies in it, the end
    // comment; all of them current.
    void _keepBuiltTexts();
    // Whether the comments are written in the JSP form (the owner document
    // follows JSP 1.0).
    bool _jspComments() const;
    // Whether the start comment takes the JSP form: a kept one as the page
    // wrote it, else as _jspComments says.
    bool _writesJSPForm() const;
    // The comment opening and closing this metadata writes.
    const std::string& _commentOpen() const;
    const std::string& _commentClose() const;
    // A METADATA comment up to its span keyword: the comment opening, the
    // keyword, the quoted type and span ("startspan" or "endspan").
    std::string _commentOpening(const char* span) const;
    // The text after the last line feed of the text node right before the
    // owner element (the element's indentation); empty without one.
    std::string _indentation() const;
    // Whether the kept offset and length lie inside the kept start comment.
    bool _keptSpanValid() const;
    // Whether the stored run-time text is written as it is: it is current,
    // and no object is waiting to check a span read from the page.
    bool _runtimeReusable() const;
    // Appends the run-time text the saved page holds after the element, as
    // appendRuntimeText does from a fresh state, and " %>" when it leaves a
    // scriptlet open.  Writing the page refreshes the stored run-time text
    // (a cache of what the object produces), not the tree.
    void _appendSavedRuntimeText(std::string& out) const;
    // Has the object produce the run-time text and keeps it.
    void _produceRuntimeText(std::string& out, RuntimeTextState& state);
    // Gives back the reference on the dynamic object, deleting it at 0.
    void _dropDynamicData();

    Type _type = NONE;
    Element* _ownerElement = nullptr;
    Element* _atv = nullptr;
    ::DynamicData* _dynamic = nullptr;
    DesignerObject* _designer = nullptr;
    std::string _metaStart;
    std::string _metaEnd;
    std::string _runtimeData;
    std::uint32_t _metaOffset = 0;
    std::uint32_t _metaLength = 0;
    bool _startRevised = true;
    bool _endRevised = true;
    bool _runtimeRevised = true;
    bool _scriptletLeftOpen = false;
    // The run-time writer's flags: the kept run-time text was checked
    // against the page, and the text produced differs from it.
    bool _runtimeVerify = false;
    bool _runtimeDiffers = false;
    // The page wrote the element without METADATA comments: it is written
    // so, as the page wrote it, until the metadata itself is changed
    // (setRevised, setRuntimeData), so that reading and writing a page
    // changes no byte.
    bool _bare = false;

    // Library internals used by the element the metadata is attached to, the
    // page reader that makes it from a span, and the metadata pass.
    friend class Element;
    friend class HTMLParser;
    friend class Document;
    friend class pagedom::MetaDataPass;
};

#endif
