// Fuzz target: every recorded step of edits undoes to exactly the page
// written before it and redoes to exactly the page written after it.
//
// An input is a mode byte, an edit script and a page:
//   byte 0       the reading mode (FuzzInput.h): bit 0 JSP 1.0, bit 2
//                without bit 0 JSP 0.91, bit 1 the MW 1.00 markup;
//   the script   the bytes after it up to the first line feed, at most
//                MAX_SCRIPT_BYTES of them (the line feed is dropped);
//   the rest     the page, read as an HTML document.
//
// The script is a run of steps.  A step opens with a header byte: its two
// low bits plus one are the number of edits in the step; with bit 2 set the
// edits are made while recording is suspended, and with bit 3 too the
// suspension ends after the first edit: either way the step's endUpdate
// closes them as one step.  Each edit is four bytes: the operation (Op, taken modulo their
// number) and three arguments that pick nodes by their index in document
// order, offsets, names and values.  A script that runs out in the middle
// of a step ends before that step.  Printable characters make readable
// scripts; the seeds in corpus-undo/ start "0<script>\n<page>".
//
// With recording on, the page is written after every step.  Then every step
// the record keeps (the newest ChangeRecord::STEP_LIMIT) is undone, each
// undo giving back the page written before the step, then all are redone,
// each giving back the page written after it.  Finally one step is undone
// and a new edit made: the undone step can no longer be redone, and undoing
// the new edit gives back the page again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "dom.h"
#include "editing/ChangeRecord.h"

namespace {

// The longest script; long enough for more steps than the record keeps.
constexpr std::size_t MAX_SCRIPT_BYTES = 256;
// The bytes of one edit: the operation and its three arguments.
constexpr std::size_t EDIT_BYTES = 4;
// Header bits: the number of edits less one, the suspended step, and the
// suspension ended after the first edit.
constexpr std::uint8_t HEADER_EDITS = 0x3;
constexpr std::uint8_t HEADER_SUSPENDED = 0x4;
constexpr std::uint8_t HEADER_RESUMED = 0x8;
// The longest run removed by a deleteData or a Text::Delete.
constexpr unsigned DELETE_SPAN = 8;
// The characters shown either side of a difference.
constexpr std::size_t RADIUS = 40;

constexpr int STEP_LIMIT = pagedom::ChangeRecord::STEP_LIMIT;

const char* const TAG_NAMES[] = {"p",     "B",     "i",        "table",    "tr",       "TD",     "ul",
                            "li",    "div",   "span",     "form",     "input",    "select", "option",
                            "pre",   "a",     "img",      "br",       "font",     "html",   "body",
                            "head",  "title", "frameset", "noframes", "object",   "param",  "x:tag",
                            "tbody", "script", "textarea", "center",  "jsp:useBean"};

// Data-form text: plain bytes and the escapes of the data form.
const char* const WORDS[] = {"x",     " ",      "garden",   "fish & chips", "a < b", "\r\n",    "\t",
                             "caf\xe9", "\"q\"", "it's",     "--",           ">",     "",        "&amp;",
                             "\x1b<", "\x1b\xa0", "\x1b&", "<%= x %>",     "]]>",   "\x1c\x1c\x20\x14"};

const char* const ATTRS[] = {"id",   "class",   "align", "href", "checked", "NAME",   "value",
                             "src",  "classid", "type",  "border", "width", "dynamicelement", "dtc"};

const char* const FRAGMENTS[] = {"<b>bold</b> text",
                                 "<li>one<li>two",
                                 "<tr><td>cell",
                                 "<%= bean.name %>",
                                 "<!-- note -->x",
                                 "<p>a<p>b",
                                 "<table><tr><td>1</table>",
                                 "</b>",
                                 "<![CDATA[x]]>",
                                 "<%-- c --%>y",
                                 "<jsp:useBean id=\"a\" class=\"b\"/>",
                                 "&amp;&bogus; &nbsp;",
                                 "<a href='x",
                                 "<html><body>b</body></html>",
                                 "<frameset><frame src=a></frameset>",
                                 "<object classid=\"clsid:1\"><param name=a></object>"};

template <class T, std::size_t N>
const T& pick(const T (&items)[N], std::uint8_t byte)
{
    return items[byte % N];
}

template <class T>
T* pick(const std::vector<T*>& items, std::uint8_t byte)
{
    return items.empty() ? nullptr : items[byte % items.size()];
}

// An offset from 0 to length, both included.
unsigned long offsetIn(unsigned long length, std::uint8_t byte)
{
    return byte % (length + 1);
}

// The operations an edit makes.
enum Op : std::uint8_t {
    INSERT_ELEMENT,     // a new element before some child of a container
    INSERT_TEXT,        // a new text
    INSERT_OTHER,       // a new comment, CDATA section, processing instruction or entity reference
    REMOVE_CHILD,       // removeChild, then released or put elsewhere
    DELETE_NODES,       // Document::deleteNodes (the document: every child)
    MOVE,               // insertBefore of a node already in the tree
    INSERT_AFTER,       // insertAfter of a new node
    REPLACE_CHILD,      // replaceChild by a new node
    REMOVE_RUN,         // removeChildNodes, then released or put elsewhere
    APPEND_FRAGMENT,    // the children of a parsed fragment go into a container
    READ_INTO,          // createNodes into an element of the tree (or the document)
    ATTRIBUTE,          // setAttribute, removeAttribute and the attribute nodes
    ELEMENT_TAGS,       // tags and type of an element
    DATA,               // the CharacterData editing operations
    TYPING,             // the Text editing operations
    SPLIT_TEXT,         // splitText, the tail put after the text
    FORMAT,             // formatSource of a node
    NORMALIZE,          // normalize of a container
    CURSOR,             // the layout cursor and the selections
    REMOVE_ELEMENT,     // Document::removeElement, joining texts or not
    ADJUST,             // Document::adjustNodes of a node or the document, changed nodes or all
    OP_COUNT
};

// Makes the edits of a script on one document.
class Editor {
public:
    explicit Editor(Document* doc) : _doc(doc) {}

    // Makes one edit; returns its name for the report.
    const char* edit(std::uint8_t op, std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        switch (static_cast<Op>(op % OP_COUNT)) {
        case INSERT_ELEMENT:
            _place(_doc->createElement(pick(TAG_NAMES, c)), a, b);
            return "insert element";
        case INSERT_TEXT:
            _place(_doc->createTextNode(pick(WORDS, c)), a, b);
            return "insert text";
        case INSERT_OTHER:
            _place(_otherNode(c), a, b);
            return "insert comment/CDATA/PI/reference";
        case REMOVE_CHILD:
            return _removeChild(a, b, c);
        case DELETE_NODES:
            _doc->deleteNodes(pick(_nodes(), a));
            return "deleteNodes";
        case REMOVE_ELEMENT: {
            Node* node = pick(_nodes(), a);
            if (node && node->getNodeType() == Node::ELEMENT_NODE)
                _doc->removeElement(static_cast<Element*>(node), b & 1);
            return "removeElement";
        }
        case MOVE:
            return _move(a, b, c);
        case INSERT_AFTER:
            return _insertAfter(a, b, c);
        case REPLACE_CHILD:
            return _replaceChild(a, c);
        case REMOVE_RUN:
            return _removeRun(a, b, c);
        case APPEND_FRAGMENT:
            return _appendFragment(a, b, c);
        case READ_INTO:
            return _readInto(a, c);
        case ATTRIBUTE:
            return _attribute(a, b, c);
        case ELEMENT_TAGS:
            return _tags(a, b, c);
        case DATA:
            return _data(a, b, c);
        case TYPING:
            return _typing(a, b, c);
        case SPLIT_TEXT:
            return _splitText(a, b);
        case FORMAT:
            if (Node* node = pick(_nodes(), a))
                node->formatSource();
            return "formatSource";
        case NORMALIZE:
            if (Node* node = pick(_containers(), a))
                node->normalize();
            return "normalize";
        case CURSOR:
            return _cursor(a, b, c);
        case ADJUST:
            _doc->adjustNodes((b & 2) ? pick(_nodes(), a) : nullptr, b & 1);
            return "adjustNodes";
        case OP_COUNT:
            break;
        }
        return "nothing";
    }

private:
    // Every node of the tree in document order, the document first.
    std::vector<Node*> _nodes() const
    {
        std::vector<Node*> all;
        for (Node* n = _doc; n; n = n->getNextNode(_doc))
            all.push_back(n);
        return all;
    }

    std::vector<Node*> _ofType(unsigned short type) const
    {
        std::vector<Node*> found;
        for (Node* n = _doc; n; n = n->getNextNode(_doc))
            if (n->getNodeType() == type)
                found.push_back(n);
        return found;
    }

    // The nodes that take children: the document and the elements.
    std::vector<Node*> _containers() const
    {
        std::vector<Node*> found;
        for (Node* n = _doc; n; n = n->getNextNode(_doc))
            if (n == _doc || n->getNodeType() == Node::ELEMENT_NODE)
                found.push_back(n);
        return found;
    }

    Element* _element(std::uint8_t byte) const
    {
        return static_cast<Element*>(pick(_ofType(Node::ELEMENT_NODE), byte));
    }

    // Texts, comments and CDATA sections.
    CharacterData* _characterData(std::uint8_t byte) const
    {
        std::vector<Node*> found;
        for (Node* n = _doc; n; n = n->getNextNode(_doc)) {
            const unsigned short type = n->getNodeType();
            if (type == Node::TEXT_NODE || type == Node::COMMENT_NODE || type == Node::CDATA_SECTION_NODE)
                found.push_back(n);
        }
        return static_cast<CharacterData*>(pick(found, byte));
    }

    // The child at index byte (modulo one past the last, which is null).
    static Node* _childAt(Node* parent, std::uint8_t byte)
    {
        return parent->getChildNode(offsetIn(parent->getChildLength(), byte));
    }

    Node* _otherNode(std::uint8_t byte) const
    {
        switch (byte % 4) {
        case 0:
            return _doc->createComment(pick(WORDS, static_cast<std::uint8_t>(byte / 4)));
        case 1:
            return _doc->createCDATASection(pick(WORDS, static_cast<std::uint8_t>(byte / 4)));
        case 2:
            return _doc->createProcessingInstruction("php", "echo 1;");
        default:
            return _doc->createEntityReference(byte & 4 ? "nbsp" : "bogus");
        }
    }

    Node* _newNode(std::uint8_t byte) const
    {
        switch (byte % 3) {
        case 0:
            return _doc->createElement(pick(TAG_NAMES, static_cast<std::uint8_t>(byte / 3)));
        case 1:
            return _doc->createTextNode(pick(WORDS, static_cast<std::uint8_t>(byte / 3)));
        default:
            return _otherNode(static_cast<std::uint8_t>(byte / 3));
        }
    }

    // Puts node (the caller's reference, or a parentless chain of them)
    // before some child of some container; released when refused.
    void _place(Node* node, std::uint8_t container, std::uint8_t child)
    {
        if (!node)
            return;
        Node* parent = pick(_containers(), container);
        if (!parent->insertBefore(node, _childAt(parent, child)))
            _releaseChain(node);
    }

    static void _releaseChain(Node* head)
    {
        while (head) {
            Node* next = head->getNextSibling();
            head->releaseRef();
            head = next;
        }
    }

    const char* _removeChild(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        Node* node = pick(_nodes(), a);
        Node* parent = node ? node->getParentNode() : nullptr;
        if (!parent || !parent->removeChild(node))
            return "removeChild (refused)";
        if (c & 1) {
            _place(node, b, static_cast<std::uint8_t>(c / 2));
            return "removeChild, put elsewhere";
        }
        node->releaseRef();
        return "removeChild";
    }

    const char* _move(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        Node* node = pick(_nodes(), a);
        Node* parent = pick(_containers(), b);
        if (!node || node == _doc)
            return "move (nothing)";
        // Refused when the node would hold itself; then nothing changes.
        parent->insertBefore(node, _childAt(parent, c));
        return "move";
    }

    const char* _insertAfter(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        Node* parent = pick(_containers(), a);
        Node* node = _newNode(c);
        Node* ref = b & 1 ? nullptr : _childAt(parent, static_cast<std::uint8_t>(b / 2));
        if (!parent->insertAfter(node, ref))
            node->releaseRef();
        return "insertAfter";
    }

    const char* _replaceChild(std::uint8_t a, std::uint8_t c)
    {
        Node* old = pick(_nodes(), a);
        Node* parent = old ? old->getParentNode() : nullptr;
        if (!parent)
            return "replaceChild (nothing)";
        Node* replacement = _newNode(c);
        if (Node* replaced = parent->replaceChild(replacement, old))
            replaced->releaseRef();
        else
            replacement->releaseRef();
        return "replaceChild";
    }

    const char* _removeRun(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        Node* parent = pick(_containers(), a);
        Node* first = _childAt(parent, b);
        Node* last = _childAt(parent, c);
        Node* chain = parent->removeChildNodes(first, last);
        if (!chain)
            return "removeChildNodes (nothing)";
        if (c & 1) {
            _releaseChain(chain);
            return "removeChildNodes";
        }
        // The run is out of the tree: no container left in the tree lies
        // inside it, so the whole run goes in.
        _place(chain, b, a);
        return "removeChildNodes, put elsewhere";
    }

    const char* _appendFragment(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        DocumentFragment* fragment = _doc->createDocumentFragment();
        const std::string text = pick(FRAGMENTS, c);
        _doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), fragment);
        Node* chain = fragment->removeChildNodes(nullptr, nullptr);
        fragment->releaseRef();
        _place(chain, a, b);
        return "insert a parsed fragment";
    }

    const char* _readInto(std::uint8_t a, std::uint8_t c)
    {
        Node* parent = pick(_containers(), a);
        const std::string text = pick(FRAGMENTS, c);
        _doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), parent);
        return parent == _doc ? "createNodes into the document" : "createNodes into an element";
    }

    const char* _attribute(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        Element* e = _element(a);
        if (!e)
            return "attribute (no element)";
        const std::uint8_t rest = static_cast<std::uint8_t>(b / 5);
        switch (b % 5) {
        case 0:
            e->setAttribute(pick(ATTRS, rest), pick(WORDS, c));
            return "setAttribute";
        case 1:
            e->removeAttribute(pick(ATTRS, rest));
            return "removeAttribute (a name)";
        case 2:
            if (Attr* attr = static_cast<Attr*>(pick(_attrNodes(e), rest))) {
                e->removeAttribute(attr->getName());
                return "removeAttribute (an attribute it has)";
            }
            return "removeAttribute (none)";
        case 3:
            if (Attr* attr = static_cast<Attr*>(pick(_attrNodes(e), rest))) {
                attr->setValue(pick(WORDS, c));
                return "Attr::setValue";
            }
            return "Attr::setValue (none)";
        default: {
            Attr* attr = _doc->createAttribute(pick(ATTRS, rest));
            attr->setValue(pick(WORDS, c));
            if (Attr* replaced = e->setAttributeNode(attr))
                replaced->releaseRef();
            if (!attr->getOwnerElement())
                attr->releaseRef();
            return "setAttributeNode";
        }
        }
    }

    static std::vector<Node*> _attrNodes(const Element* e)
    {
        std::vector<Node*> attrs;
        if (!e->hasAttributes())
            return attrs;
        dom::NodeList list = e->getAttrNodes();
        for (unsigned long i = 0; i < list.length(); ++i)
            attrs.push_back(list.item(i));
        return attrs;
    }

    const char* _tags(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        Element* e = _element(a);
        if (!e)
            return "tags (no element)";
        switch (b % 8) {
        case 0:
            e->omitTag();
            return "omitTag";
        case 1:
            e->specifyTag();
            return "specifyTag";
        case 2:
            e->setEmptyTag(c & 1);
            return "setEmptyTag";
        case 3:
            e->setStartTag(c & 1 ? "<" + e->getNodeName() + " x=1>" : std::string());
            return "setStartTag";
        case 4:
            e->setEndTag(c & 1 ? "</" + e->getNodeName() + ">" : std::string());
            return "setEndTag";
        case 5: {
            dom::NodeList types = _doc->getDocumentType()->getElementTypeNodes();
            const ElementType* type =
                types.length() ? static_cast<const ElementType*>(types.item(c % types.length())) : nullptr;
            e->setElementType(type);
            return "setElementType";
        }
        case 6:
            e->setJSPScriptData(pick(WORDS, c));
            return "setJSPScriptData";
        default:
            e->removeAllAttributes();
            return "removeAllAttributes";
        }
    }

    const char* _data(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        CharacterData* node = _characterData(a);
        if (!node)
            return "data (none)";
        const unsigned long offset = offsetIn(node->getLength(), c);
        const std::uint8_t rest = static_cast<std::uint8_t>(b / 7);
        switch (b % 7) {
        case 0:
            node->setData(std::string(pick(WORDS, rest)) + pick(WORDS, c));
            return "setData";
        case 1:
            node->insertData(offset, pick(WORDS, rest));
            return "insertData";
        case 2:
            node->deleteData(offset, rest % DELETE_SPAN);
            return "deleteData";
        case 3:
            node->replaceData(offset, rest % DELETE_SPAN, pick(WORDS, rest));
            return "replaceData";
        case 4:
            node->appendData(pick(WORDS, rest));
            return "appendData";
        case 5:
            if (node->getNodeType() == Node::COMMENT_NODE) {
                static_cast<Comment*>(node)->setSource(std::string("<!--") + pick(WORDS, rest) + "-->");
                return "Comment::setSource";
            }
            if (node->getNodeType() == Node::CDATA_SECTION_NODE) {
                static_cast<CDATASection*>(node)->setSource(pick(WORDS, rest));
                return "CDATASection::setSource";
            }
            static_cast<Text*>(node)->setSource(pick(WORDS, rest));
            return "Text::setSource";
        default:
            if (node->getNodeType() == Node::COMMENT_NODE) {
                static_cast<Comment*>(node)->setJSPFormat(rest & 1);
                return "Comment::setJSPFormat";
            }
            node->formatSource();
            return "formatSource of character data";
        }
    }

    const char* _typing(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        Text* text = static_cast<Text*>(pick(_ofType(Node::TEXT_NODE), a));
        if (!text)
            return "typing (no text)";
        const unsigned long offset = offsetIn(text->getLength(), c);
        const std::uint8_t rest = static_cast<std::uint8_t>(b / 7);
        const bool moveCursor = rest & 1;
        switch (b % 7) {
        case 0:
            text->insert(offset, rest & 2 ? " " : pick(WORDS, rest), moveCursor,
                         static_cast<Text::SpaceMode>(rest % 3));
            return "Text::insert";
        case 1:
            text->Delete(offset, rest % DELETE_SPAN, moveCursor);
            return "Text::Delete";
        case 2:
            text->deleteChar(offset, moveCursor);
            return "Text::deleteChar";
        case 3:
            text->compact();
            return "Text::compact";
        case 4:
            text->parse(pick(WORDS, rest));
            return "Text::parse";
        case 5:
            text->correctSource();
            return "Text::correctSource";
        default:
            text->setData(pick(WORDS, rest));
            return "Text::setData";
        }
    }

    const char* _splitText(std::uint8_t a, std::uint8_t c)
    {
        Text* text = static_cast<Text*>(pick(_ofType(Node::TEXT_NODE), a));
        if (!text)
            return "splitText (no text)";
        Text* tail = text->splitText(offsetIn(text->getLength(), c));
        if (!tail)
            return "splitText (refused)";
        if (!text->getParentNode() || !text->getParentNode()->insertAfter(tail, text))
            tail->releaseRef();
        return "splitText";
    }

    // An offset inside node: a child index or a data offset.
    static unsigned long _offsetInside(Node* node, std::uint8_t byte)
    {
        if (node->getNodeType() == Node::TEXT_NODE || node->getNodeType() == Node::COMMENT_NODE ||
            node->getNodeType() == Node::CDATA_SECTION_NODE)
            return offsetIn(static_cast<CharacterData*>(node)->getLength(), byte);
        return offsetIn(node->getChildLength(), byte);
    }

    const char* _cursor(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        const std::vector<Node*> all = _nodes();
        Node* start = pick(all, a);
        Node* end = pick(all, b);
        switch (c % 4) {
        case 0:
            _doc->setLayoutCursor(start, static_cast<int>(_offsetInside(start, c)));
            return "setLayoutCursor";
        case 1:
        case 2:
            _doc->select(start, _offsetInside(start, b), end, _offsetInside(end, c), c % 4 == 2);
            return "select";
        default:
            _doc->eraseSelections();
            return "eraseSelections";
        }
    }

    Document* _doc;
};

// Reads a script's bytes; a read past the end gives nothing.
class Script {
public:
    Script(const std::uint8_t* bytes, std::size_t size) : _bytes(bytes), _size(size) {}
    bool has(std::size_t count) const { return _size - _at >= count; }
    std::uint8_t next() { return _bytes[_at++]; }

private:
    const std::uint8_t* _bytes;
    std::size_t _size;
    std::size_t _at = 0;
};

class Run {
public:
    explicit Run(Document* doc) : _doc(doc), _editor(doc)
    {
        _pages.push_back(doc->getSource());
        _histories.emplace_back();
    }

    // Makes the steps of script, checking after each.
    void makeSteps(Script& script)
    {
        while (script.has(1)) {
            const std::uint8_t header = script.next();
            const std::size_t edits = 1 + (header & HEADER_EDITS);
            if (!script.has(edits * EDIT_BYTES))
                return;
            bool suspended = header & HEADER_SUSPENDED;
            const bool resumed = suspended && (header & HEADER_RESUMED);
            std::string history;
            if (suspended) {
                _doc->suspendRecord(true);
                history = "(suspended) ";
            }
            for (std::size_t i = 0; i < edits; ++i) {
                const std::uint8_t op = script.next();
                const std::uint8_t a = script.next();
                const std::uint8_t b = script.next();
                const std::uint8_t c = script.next();
                history += _editor.edit(op, a, b, c);
                history += "; ";
                if (resumed && i == 0) {
                    _doc->suspendRecord(false);
                    suspended = false;
                    history += "(resumed) ";
                }
            }
            if (suspended)
                _doc->suspendRecord(false);
            _doc->endUpdate();
            _closeStep(history);
        }
    }

    // Undoes every kept step, then redoes them all, comparing each page
    // with the one written when the step was made.
    void undoAndRedoAll()
    {
        const int made = static_cast<int>(_pages.size()) - 1;
        const int kept = made < STEP_LIMIT ? made : STEP_LIMIT;
        if (_doc->canUndo() != kept)
            _failCount("canUndo() after the steps", kept, _doc->canUndo());
        const std::size_t last = _pages.size() - 1;
        for (int i = 0; i < kept; ++i) {
            const std::size_t before = last - 1 - static_cast<std::size_t>(i);
            _doc->undo(0);
            _expect(_pages[before], "undo of the step", _histories[before + 1]);
        }
        if (_doc->canUndo() != 0)
            _failCount("canUndo() after undoing every step", 0, _doc->canUndo());
        // Nothing is left to undo: the page stays.
        _doc->undo(0);
        const std::size_t oldest = last - static_cast<std::size_t>(kept);
        _expect(_pages[oldest], "undo with nothing to undo", "");
        if (_doc->canRedo() != kept)
            _failCount("canRedo() after undoing every step", kept, _doc->canRedo());
        for (int i = 0; i < kept; ++i) {
            const std::size_t after = oldest + 1 + static_cast<std::size_t>(i);
            _doc->redo(0);
            _expect(_pages[after], "redo of the step", _histories[after]);
        }
        if (_doc->canRedo() != 0)
            _failCount("canRedo() after redoing every step", 0, _doc->canRedo());
        if (_doc->canUndo() != kept)
            _failCount("canUndo() after redoing every step", kept, _doc->canUndo());
    }

    // Undoes the newest step and makes a new one (a comment appended to the
    // document): the undone step is forgotten, and undoing the new step
    // gives back the page it was made on.
    void branch()
    {
        if (_pages.size() < 2)
            return;
        _doc->undo(0);
        const std::string base = _pages[_pages.size() - 2];
        _expect(base, "undo before a new step", _histories.back());
        Node* comment = _doc->createComment("new step");
        if (!_doc->appendChild(comment)) {
            comment->releaseRef();
            return;
        }
        _doc->endUpdate();
        if (_doc->canRedo() != 0)
            _failCount("canRedo() after a new step", 0, _doc->canRedo());
        const std::string branched = _doc->getSource();
        _doc->undo(0);
        _expect(base, "undo of the new step", "append a comment to the document");
        _doc->redo(0);
        _expect(branched, "redo of the new step", "append a comment to the document");
    }

private:
    // After endUpdate: a step was closed when the record position moved;
    // otherwise the page must be as it was.
    void _closeStep(const std::string& history)
    {
        const std::string page = _doc->getSource();
        const int moved = _doc->getRecordCount() - _position;
        if (moved > 1)
            _failCount("the record position's move in one step", 1, moved);
        if (moved == 1) {
            _position = _doc->getRecordCount();
            _pages.push_back(page);
            _histories.push_back(history);
            return;
        }
        if (page != _pages.back())
            fuzzinput::fail("pagedom undo", "the page changed but no step was recorded, by " + history,
                            _pages.back(), page, RADIUS);
    }

    void _expect(const std::string& expected, const char* what, const std::string& history)
    {
        const std::string written = _doc->getSource();
        if (written != expected)
            fuzzinput::fail("pagedom undo", std::string(what) + " made by " + history, expected, written, RADIUS);
    }

    [[noreturn]] static void _failCount(const char* what, int expected, int actual)
    {
        std::fprintf(stderr, "pagedom undo failed: %s is %d, expected %d\n", what, actual, expected);
        std::abort();
    }

    Document* _doc;
    Editor _editor;
    std::vector<std::string> _pages;     // the page before the first step, then after each step
    std::vector<std::string> _histories; // the edits of each step (the first is empty)
    int _position = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const DOMImpl::JSPVersion version = fuzzinput::applyReadingMode(data[0]);
    const std::uint8_t* rest = data + 1;
    const std::size_t restSize = size - 1;
    std::size_t scriptSize = 0;
    while (scriptSize < restSize && scriptSize < MAX_SCRIPT_BYTES && rest[scriptSize] != '\n')
        ++scriptSize;
    const std::size_t pageStart = scriptSize < restSize && rest[scriptSize] == '\n' ? scriptSize + 1 : scriptSize;
    const std::string page(reinterpret_cast<const char*>(rest + pageStart), restSize - pageStart);

    Document* doc = DOMImpl::createDocument("HTML", version);
    if (!doc) {
        std::fprintf(stderr, "pagedom: no HTML document could be made\n");
        std::abort();
    }
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    doc->enableRecord(true);

    Run run(doc);
    Script script(rest, scriptSize);
    run.makeSteps(script);
    run.undoAndRedoAll();
    run.branch();

    DOM::getDOM()->deleteDocument(doc);
    return 0;
}
