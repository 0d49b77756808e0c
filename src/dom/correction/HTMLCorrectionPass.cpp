// The repair of an HTML page's tree.
#include "correction/HTMLCorrectionPass.h"

#include <utility>

#include "base/StringUtil.h"
#include "convert/PCDATAConverter.h"
#include "correction/NodeMoves.h"
#include "correction/TagRepair.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "editing/ElementMerge.h"
#include "node/NodeAccess.h"
#include "tree/CDATASection.h"
#include "tree/Comment.h"
#include "tree/Document.h"
#include "tree/DocumentAccess.h"
#include "tree/DocumentFragment.h"
#include "tree/Element.h"
#include "tree/ProcessingInstruction.h"
#include "tree/ElementAccess.h"
#include "tree/MetaDataComment.h"
#include "tree/Text.h"

namespace pagedom {

namespace {

using T = ElementTable;

bool isElementOf(const Node* n, int id)
{
    return n && n->getNodeType() == Node::ELEMENT_NODE && static_cast<const Element*>(n)->getElementID() == id;
}

// Bits a pass over an element deals with but never marks as changed
// content: they are cleared as the element is dealt with.
constexpr unsigned long FORMAT_BITS = Node::INVALID_FORMAT_ERROR | Node::INVALID_END_TAG_ERROR |
                                      Node::INVALID_DIRECTIVE_ERROR | Node::MISMATCHED_ERROR |
                                      Node::MISMATCHED_END_TAG_ERROR;
constexpr unsigned long ONLY_END_TAG_BITS = Node::MISSING_START_TAG_ERROR | Node::UNNECESSARY_END_TAG_ERROR;

// Server code a repair must keep: JSP in any form, server-side includes.
constexpr unsigned long SERVER_CODE_GROUPS = ElementType::GROUP_JSP | ElementType::GROUP_JSP_BLOCK |
                                             ElementType::GROUP_JSP_DIRECTIVE | ElementType::GROUP_SSI;

// Whether anything in node's subtree is content a repair must keep: a text
// that is not white space, a comment, a CDATA section, a processing
// instruction, an entity reference or server code.
bool holdsContent(const Node* node)
{
    std::vector<const Node*> pending{node};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        switch (n->getNodeType()) {
        case Node::TEXT_NODE:
            if (!static_cast<const Text*>(n)->isSpaceText())
                return true;
            break;
        case Node::ELEMENT_NODE:
            if (static_cast<const Element*>(n)->getElementGroup() & SERVER_CODE_GROUPS)
                return true;
            break;
        case Node::DOCUMENT_TYPE_NODE:
            break;
        default:
            return true;
        }
        for (const Node* child = n->getFirstChild(); child; child = child->getNextSibling())
            pending.push_back(child);
    }
    return false;
}

// Whether node is an element written inside METADATA comments.
bool holdsSpan(const Node* node)
{
    if (node->getNodeType() != Node::ELEMENT_NODE)
        return false;
    const MetaData* meta = static_cast<const Element*>(node)->getMetaData();
    return meta && !meta->getMetaStart().empty();
}

// Whether only white space, comments and processing instructions precede
// node among its siblings.
bool leadsThePage(const Node* node)
{
    for (const Node* n = node->getPreviousSibling(); n; n = n->getPreviousSibling()) {
        if (n->getNodeType() != Node::PROCESSING_INSTRUCTION_NODE && !isLayoutOnly(n))
            return false;
    }
    return true;
}

// A declaration with what the page left open in it closed, innermost
// first: server code gets its "%>", a comment its "-->", a quote its quote.
// Whether it still needs its own ">" and whether reading then takes it as
// the whole declaration is for the caller to find out: a quote takes in
// the ">" only where an identifier stands, and the ">" of a comment's
// "-->" ends the declaration only outside one.
std::string closedMarkupIn(std::string source)
{
    if (source.empty())
        return source;
    // What stands open at each point, innermost last.  In code and
    // comments nothing else opens; in a quote, code and comments do.
    std::vector<std::string> closers;
    auto opensAt = [&source](std::size_t i, const std::string& open) {
        return source.compare(i, open.size(), open) == 0;
    };
    std::size_t i = 0;
    while (i < source.size()) {
        const std::string* inner = closers.empty() ? nullptr : &closers.back();
        if (inner && (*inner == Element::JSP_CLOSE_TAG || *inner == Comment::CLOSE_TAG)) {
            const std::size_t end = source.find(*inner, i);
            if (end == std::string::npos)
                break;
            i = end + inner->size();
            closers.pop_back();
        } else if (opensAt(i, Element::JSP_OPEN_TAG)) {
            closers.push_back(Element::JSP_CLOSE_TAG);
            i += Element::JSP_OPEN_TAG.size();
        } else if (opensAt(i, Comment::OPEN_TAG)) {
            closers.push_back(Comment::CLOSE_TAG);
            i += Comment::OPEN_TAG.size();
        } else if (inner && (*inner)[0] == source[i]) {
            closers.pop_back();
            ++i;
        } else if (source[i] == '"' || source[i] == '\'') {
            closers.push_back(std::string(1, source[i]));
            ++i;
        } else {
            ++i;
        }
    }
    for (auto closer = closers.rbegin(); closer != closers.rend(); ++closer)
        source += *closer;
    return source;
}

// The node written next after n and all it holds: its next sibling, or its
// nearest ancestor's (a few dozen levels up at most).
Node* nextInReading(Node* n)
{
    constexpr unsigned LOOK_UP = 64;
    for (unsigned height = 0; n && height < LOOK_UP; ++height) {
        if (Node* next = n->getNextSibling())
            return next;
        n = n->getParentNode();
    }
    return nullptr;
}

// The source of markup read without its closing delimiter (a comment, a
// CDATA section) with that delimiter; empty when it has it.
std::string closedDelimiter(std::string source, const std::string& open, const std::string& close)
{
    const bool closed = source.size() >= open.size() + close.size() && str::endsWith(source, close);
    if (source.compare(0, open.size(), open) != 0 || closed)
        return std::string();
    // The ">" that ended it, if any, becomes the whole delimiter.
    if (source.size() > open.size() && source.back() == '>')
        source.pop_back();
    return source + close;
}

} // namespace

HTMLCorrectionPass::HTMLCorrectionPass(Document& document, Node* start)
    : _state(document), _promotion(_state), _start(start)
{
}

HTMLCorrectionPass::~HTMLCorrectionPass()
{
    for (const Visit& visit : _visits)
        visit.node->releaseRef();
    for (Node* doctype : _documentTypes)
        doctype->releaseRef();
}

bool HTMLCorrectionPass::run()
{
    // A repair can misplace nodes it did not list (the content of an
    // element it unwrapped): they are listed and repaired in a further
    // round, a few rounds at most.
    constexpr int ROUNDS = 4;
    std::size_t done = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        collect(round == 0);
        if (done == _visits.size())
            break;
        if (round == 0)
            closeMarkupAtEnd();
        // Markup left open is closed first (bare markup characters written
        // as references, tags cut short closed): whether an end tag
        // produced after it may show depends on how it is written.
        for (std::size_t i = done; i < _visits.size(); ++i)
            closeMarkup(_visits[i].node, false);
        for (; done < _visits.size(); ++done)
            correct(_visits[done]);
        // A node found misplaced again is listed again.
        // Nor may moved content stand after an element left open that
        // reading would take it into.
        _state.recheckMoved([this](Node* n) { _listed.erase(n); }, [this](Node* n) { return placeMoved(n); });
    }
    if (_start == &_state.document())
        placeDocumentTypes();
    compactTexts();
    mergeUniqueElements();
    return _state.changed();
}

void HTMLCorrectionPass::correct(const Visit& visit)
{
    Node* n = visit.node;
    if (_state.isGone(n))
        return;
    switch (n->getNodeType()) {
    case Node::ELEMENT_NODE:
        correctElement(static_cast<Element*>(n), visit.inPre);
        break;
    case Node::TEXT_NODE:
        correctText(static_cast<Text*>(n));
        break;
    case Node::DOCUMENT_TYPE_NODE:
        correctDocumentType(n);
        break;
    default:
        // Comments, CDATA sections, processing instructions: their text is
        // the page's own and stays as written (a comment left open got its
        // delimiter first).
        break;
    }
}

void HTMLCorrectionPass::collect(bool first)
{
    std::vector<Visit> pending{{_start, isElementOf(_start, T::ID_PRE)}};
    for (Node* a = _start->getParentNode(); a && !pending.back().inPre; a = a->getParentNode())
        pending.back().inPre = isElementOf(a, T::ID_PRE);
    while (!pending.empty()) {
        const Visit visit = pending.back();
        pending.pop_back();
        Node* n = visit.node;
        const bool isDocumentType = first && n->getNodeType() == Node::DOCUMENT_TYPE_NODE;
        if (n != &_state.document() && (n->getErrorState() != Node::NONE_ERROR || isDocumentType) &&
            _listed.insert(n).second) {
            n->addRef();
            _visits.push_back(visit);
        }
        if (isDocumentType) {
            n->addRef();
            _documentTypes.push_back(n);
        }
        // What an element written inside METADATA comments holds is the
        // editor's design-time content, written inside the start comment:
        // it is left as it stands.
        if (holdsSpan(n))
            continue;
        const bool inPre = visit.inPre || isElementOf(n, T::ID_PRE);
        for (Node* child = n->getLastChild(); child; child = child->getPreviousSibling())
            pending.push_back(Visit{child, inPre});
    }
}

void HTMLCorrectionPass::correctElement(Element* e, bool inPre)
{
    retypeParam(e);
    const unsigned long found = e->getErrorState();
    bool regenerate = found != Node::UNDEFINED_NAME_ERROR;
    if (found & Node::DUPLICATE_ERROR) {
        if (e->getElementID() == T::ID_FRAMESET) {
            discard(e);
            return;
        }
        clear(e, Node::DUPLICATE_ERROR);
        regenerate = false;
    }
    if (found & Node::COEXISTENCE_ERROR) {
        if (e->getElementID() != T::ID_BODY) {
            discard(e);
            return;
        }
        clear(e, Node::COEXISTENCE_ERROR);
        moveIntoNoFrames(e);
    }
    if (found & Node::ADOPTING_ERROR)
        regenerate = false;
    clear(e, Node::ADOPTING_ERROR | Node::DESERTED_ERROR);
    if (!correctPlace(e, inPre))
        return;
    correctTags(e, found, regenerate);
}

bool HTMLCorrectionPass::correctPlace(Element* e, bool inPre)
{
    const bool onlyEndTag = (e->getErrorState() & ONLY_END_TAG_BITS) != 0;
    // An element that only had an end tag, or an unneeded one, and holds
    // nothing goes before anything is built around it.
    if (onlyEndTag && !e->hasChildNodes()) {
        if (Element* row = isElementOf(e, T::ID_TR) ? e : nullptr) {
            for (Node* n = row->getPreviousSibling(); n; n = n->getPreviousSibling()) {
                if (isElementOf(n, T::ID_TR)) {
                    NodeAccess::clearUpdateBits(*n, Node::UPDATE_ADAPTED);
                    break;
                }
            }
        }
        discard(e);
        return false;
    }
    if (e->getErrorState() & Node::INVALID_CONTENT_ERROR) {
        const int id = e->getElementID();
        if (id == T::ID_FRAMESET || id == T::ID_FRAME || id == T::ID_NOFRAMES) {
            discard(e);
            return false;
        }
        if (id == T::ID_FONT && inPre) {
            unwrap(e);
            return false;
        }
        Node* parent = e->getParentNode();
        if (parent && parent->getNodeType() == Node::ELEMENT_NODE &&
            static_cast<Element*>(parent)->isVirtualElement()) {
            TagRepair::regenerateTags(static_cast<Element*>(parent));
            _state.noteChange();
        }
        if ((e->getErrorState() & Node::INVALID_CONTENT_ERROR) && _promotion.promote(e))
            clear(e, Node::INVALID_CONTENT_ERROR);
    }
    clear(e, ONLY_END_TAG_BITS);
    if ((e->getErrorState() & Node::MISSING_END_TAG_ERROR) && e->getElementID() == T::ID_A &&
        !ElementAccess::hasAttribute(*e, "HREF")) {
        // An anchor left open takes in what follows; what it may not hold
        // goes back after it.
        Node* first = e->getFirstChild();
        while (first && !(first->getErrorState() & Node::INVALID_CONTENT_ERROR))
            first = first->getNextSibling();
        if (first && e->getParentNode()) {
            e->getParentNode()->insertAfter(e->removeChildNodes(first, nullptr), e);
            _state.noteChange();
        }
    }
    clear(e, Node::MISSING_END_TAG_ERROR);
    return true;
}

void HTMLCorrectionPass::correctTags(Element* e, unsigned long found, bool regenerate)
{
    clear(e, FORMAT_BITS);
    // Errors the repair cannot take away (an undeclared name or attribute,
    // content nothing could place) leave the tags as the page wrote them:
    // producing them again would change the page and repair nothing.
    const unsigned long lasting = Node::UNDEFINED_NAME_ERROR | Node::UNDEFINED_ATTR_ERROR | Node::INVALID_CONTENT_ERROR;
    const bool placed = (found & Node::INVALID_CONTENT_ERROR) && !(e->getErrorState() & Node::INVALID_CONTENT_ERROR);
    // An element the document type does not declare keeps the tags the
    // page wrote: nothing says how they would be written right.
    if (!regenerate || !e->getElementType() || (!(found & ~lasting) && !placed)) {
        const unsigned long before = e->getErrorState();
        TagRepair::repairAttributes(e);
        if (before != e->getErrorState())
            _state.noteChange();
        return;
    }
    const std::string tags = e->getStartTag() + '\n' + e->getEndTag();
    const unsigned long before = e->getErrorState();
    TagRepair::regenerateTags(e);
    if (before != e->getErrorState() || tags != e->getStartTag() + '\n' + e->getEndTag() ||
        (found & ~e->getErrorState()) != 0)
        _state.noteChange();
}

void HTMLCorrectionPass::closeMarkupAtEnd()
{
    // The page ends in the end tag of the first element down the last
    // children that shows one, else in the last node's own markup.
    Node* last = _start;
    for (;;) {
        if (last->getNodeType() == Node::ELEMENT_NODE && static_cast<Element*>(last)->hasEndTag()) {
            Element* e = static_cast<Element*>(last);
            const std::string end = e->getEndTag();
            if (!end.empty() && end.back() != '>' && TagRepair::closeEndTag(e))
                _state.noteChange();
            return;
        }
        if (!last->getLastChild() || TagRepair::holdsRawContent(last))
            break;
        last = last->getLastChild();
    }
    closeMarkup(last, true);
}

void HTMLCorrectionPass::closeComment(Comment* comment)
{
    const std::string& open = comment->isJSPFormat() ? Comment::JSP_OPEN_TAG : Comment::OPEN_TAG;
    const std::string& close = comment->isJSPFormat() ? Comment::JSP_CLOSE_TAG : Comment::CLOSE_TAG;
    clear(comment, Node::INVALID_FORMAT_ERROR);
    const std::string closed = closedDelimiter(comment->getSource(), open, close);
    if (closed.empty())
        return;
    comment->setSource(closed);
    _state.noteChange();
    readSpanAgain(comment);
}

void HTMLCorrectionPass::closeCDATASection(CDATASection* section)
{
    // Only one read as markup: the raw text of a script or of server code
    // is a CDATA section too, and stays as written.
    if (!(section->getErrorState() & Node::INVALID_FORMAT_ERROR))
        return;
    clear(section, Node::INVALID_FORMAT_ERROR);
    const std::string closed = closedDelimiter(section->getSource(), CDATASection::OPEN_TAG, CDATASection::CLOSE_TAG);
    if (closed.empty())
        return;
    section->setSource(closed);
    _state.noteChange();
}

void HTMLCorrectionPass::readSpanAgain(Comment* end)
{
    const MetaData::Type type = MetaDataComment::endType(end->getData());
    if (type == MetaData::NONE)
        return;
    // Reading pairs a start comment with the first end of its type after
    // it: the earliest start since the last such end.
    Node* start = nullptr;
    for (Node* n = end->getPreviousSibling(); n; n = n->getPreviousSibling()) {
        if (n->getNodeType() != Node::COMMENT_NODE)
            continue;
        const std::string data = static_cast<Comment*>(n)->getData();
        if (MetaDataComment::endType(data) == type)
            break;
        if (MetaDataComment::startType(data) == type)
            start = n;
    }
    if (!start)
        return;
    std::string text;
    for (Node* n = start;; n = n->getNextSibling()) {
        text += n->getSource();
        if (n == end)
            break;
    }
    Document& document = _state.document();
    DocumentFragment* fragment = document.createDocumentFragment();
    DocumentAccess::readInto(document, text, fragment);
    // Only a span read as one element with metadata is taken: markup left
    // open before the end (a start comment still to be closed) makes no
    // span, nor does an element its start comment cut short.
    Node* read = fragment->getFirstChild();
    if (!read || read->getNextSibling() || read->getNodeType() != Node::ELEMENT_NODE ||
        !static_cast<Element*>(read)->getMetaData()) {
        fragment->releaseRef();
        return;
    }
    Node* parent = end->getParentNode();
    Node* after = end->getNextSibling();
    for (Node* n = start; n;) {
        Node* next = n == end ? nullptr : n->getNextSibling();
        _state.deleteNode(n);
        n = next;
    }
    while (Node* child = fragment->getFirstChild())
        parent->insertBefore(fragment->removeChild(child), after);
    fragment->releaseRef();
    _state.noteChange();
}

void HTMLCorrectionPass::closeMarkup(Node* n, bool endsPage)
{
    if (_state.isGone(n))
        return;
    if (n->getNodeType() == Node::PROCESSING_INSTRUCTION_NODE) {
        // One the end of the page cut short is closed.
        ProcessingInstruction* pi = static_cast<ProcessingInstruction*>(n);
        const std::string source = pi->getSource();
        if (endsPage && !source.empty() && source.back() != '>') {
            pi->setSource(source + TagRepair::INSTRUCTION_END);
            _state.noteChange();
        }
    } else if (n->getNodeType() == Node::COMMENT_NODE) {
        closeComment(static_cast<Comment*>(n));
    } else if (n->getNodeType() == Node::CDATA_SECTION_NODE) {
        closeCDATASection(static_cast<CDATASection*>(n));
    } else if (n->getNodeType() == Node::TEXT_NODE) {
        escapeMarkup(static_cast<Text*>(n));
    } else if (n->getNodeType() == Node::ELEMENT_NODE) {
        Element* e = static_cast<Element*>(n);
        const std::string tags = e->getStartTag() + '\n' + e->getEndTag();
        TagRepair::closeMarkup(e, endsPage);
        if (tags != e->getStartTag() + '\n' + e->getEndTag()) {
            _state.noteChange();
            // A tag cut short took what it could hold; closed, it is read
            // where its parent must be able to hold it.
            Node* parent = e->getParentNode();
            if (parent && !parent->canContain(e))
                NodeAccess::addErrorState(*e, Node::INVALID_CONTENT_ERROR);
        }
    }
}

void HTMLCorrectionPass::escapeMarkup(Text* t)
{
    // Server code is no page text (the body of a JSP action is), and a
    // TEXTAREA may hold markup read as its own characters: their text stays
    // as written.
    const unsigned long codeGroups = SERVER_CODE_GROUPS & ~ElementType::GROUP_JSP;
    const Node* parent = t->getParentNode();
    const bool code = parent && parent->getNodeType() == Node::ELEMENT_NODE &&
                      ((static_cast<const Element*>(parent)->getElementGroup() & codeGroups) ||
                       TagRepair::holdsRawContent(parent));
    if ((t->getErrorState() & Node::INVALID_CHAR_ERROR) && !code && !isElementOf(parent, T::ID_TEXTAREA)) {
        t->formatSource();
        clear(t, Node::INVALID_CHAR_ERROR);
    }
}

void HTMLCorrectionPass::correctText(Text* t)
{
    clear(t, Node::DESERTED_ERROR);
    if ((t->getErrorState() & Node::INVALID_CONTENT_ERROR) && _promotion.promote(t))
        clear(t, Node::INVALID_CONTENT_ERROR);
}

void HTMLCorrectionPass::compactTexts()
{
    // Walked once the nodes stand where the repair put them: a text moved
    // out of a PRE is no longer plain.  What server code holds is code,
    // white space included, wherever it stands.
    struct Place {
        Node* node;
        bool plain;
    };
    bool startPlain = false;
    for (Node* a = _start; a && !startPlain && a->getNodeType() == Node::ELEMENT_NODE; a = a->getParentNode())
        startPlain = (static_cast<Element*>(a)->getElementGroup() & ElementType::GROUP_PLAIN) != 0;
    std::vector<Place> pending{{_start, startPlain}};
    while (!pending.empty()) {
        const Place place = pending.back();
        pending.pop_back();
        Node* n = place.node;
        if (n->getNodeType() == Node::TEXT_NODE && !place.plain)
            compactText(static_cast<Text*>(n));
        const bool plain = place.plain ||
                           (n->getNodeType() == Node::ELEMENT_NODE &&
                            (static_cast<Element*>(n)->getElementGroup() & (ElementType::GROUP_PLAIN | SERVER_CODE_GROUPS)));
        for (Node* child = n->getLastChild(); child; child = child->getPreviousSibling())
            pending.push_back(Place{child, plain});
    }
}

void HTMLCorrectionPass::compactText(Text* t)
{
    if (t->isCompactText())
        return;
    const std::string data = t->getData();
    t->compact();
    if (data != t->getData())
        _state.noteChange();
}

Node* HTMLCorrectionPass::placeMoved(Node* n)
{
    if (n->getNodeType() == Node::CDATA_SECTION_NODE)
        n = sectionAsText(static_cast<CDATASection*>(n));
    TagRepair::closeIfReadInto(n);
    return n;
}

Node* HTMLCorrectionPass::sectionAsText(CDATASection* section)
{
    // Only a section read from "<![CDATA[": the raw text of a SCRIPT or of
    // server code is one too, and stays.  Reading takes "<![CDATA[" for a
    // section in XML code alone (a few dozen levels are looked up).
    Node* parent = section->getParentNode();
    if (!parent || TagRepair::holdsRawContent(parent))
        return section;
    constexpr unsigned LOOK_UP = 64;
    unsigned height = 0;
    for (const Node* a = parent; a && a->getNodeType() == Node::ELEMENT_NODE && height < LOOK_UP;
         a = a->getParentNode(), ++height)
        if (static_cast<const Element*>(a)->getElementGroup() & ElementType::GROUP_JSP_BLOCK)
            return section;
    // Its characters are written as text, markup characters as references.
    Document& document = _state.document();
    Text* text = document.createTextNode(std::string());
    parent->insertBefore(text, section);
    text->parse(PCDATAConverter(&document).convertTextToSource(section->getData()));
    _state.deleteNode(section);
    return text;
}

void HTMLCorrectionPass::correctDocumentType(Node* doctype)
{
    if (doctype->getErrorState() & Node::DUPLICATE_ERROR) {
        _state.deleteNode(doctype);
        return;
    }
    // Its place is repaired once every other node stands where it goes
    // (placeDocumentTypes).
}

void HTMLCorrectionPass::retypeParam(Element* e)
{
    if (e->getElementType())
        return;
    const DocumentType* types = _state.document().getDocumentType();
    const ElementType* type = types ? types->getElementType(e->getNodeName()) : nullptr;
    if (!type || type->getElementID() != T::ID_PARAM)
        return;
    e->setElementType(type);
    NodeAccess::clearErrorState(*e, Node::UNDEFINED_NAME_ERROR);
    const Node* parent = e->getParentNode();
    if (parent && !parent->canContain(e))
        NodeAccess::addErrorState(*e, Node::INVALID_CONTENT_ERROR);
    _state.noteChange();
}

void HTMLCorrectionPass::moveIntoNoFrames(Element* body)
{
    Node* parent = body->getParentNode();
    Node* frameset = parent ? parent->getFirstChild() : nullptr;
    while (frameset && !isElementOf(frameset, T::ID_FRAMESET))
        frameset = frameset->getNextSibling();
    if (!frameset)
        return;
    Node* noframes = frameset->getFirstChild();
    while (noframes && !isElementOf(noframes, T::ID_NOFRAMES))
        noframes = noframes->getNextSibling();
    if (!noframes) {
        noframes = _state.document().createDefElement(T::ID_NOFRAMES);
        if (!noframes || !frameset->appendChild(noframes)) {
            if (noframes)
                noframes->releaseRef();
            return;
        }
    }
    moveInto(noframes, body);
    _state.noteChange();
}

void HTMLCorrectionPass::discard(Element* e)
{
    if (holdsContent(e))
        unwrap(e);
    else
        _state.deleteNode(e);
}

void HTMLCorrectionPass::unwrap(Element* e)
{
    Node* first = e->getFirstChild();
    Node* last = e->getLastChild();
    for (Node* child = first; child; child = child->getNextSibling())
        _state.noteMoved(child);
    _state.unwrap(e);
    // The content now stands where the element did: what stood before it
    // must not take the content in, nor the content what follows.
    if (first && first->getParentNode())
        TagRepair::closeBefore(first);
    if (last && last->getParentNode() && last->getNextSibling())
        TagRepair::closeBefore(last->getNextSibling());
}

void HTMLCorrectionPass::clear(Node* node, unsigned long bits)
{
    if (!(node->getErrorState() & bits))
        return;
    NodeAccess::clearErrorState(*node, bits);
    _state.noteChange();
}

void HTMLCorrectionPass::placeDocumentTypes()
{
    Document& document = _state.document();
    for (Node* doctype : _documentTypes) {
        if (_state.isGone(doctype))
            continue;
        Node* parent = doctype->getParentNode();
        if (parent == &document && leadsThePage(doctype)) {
            clear(doctype, Node::INVALID_CONTENT_ERROR);
            continue;
        }
        // One the page cut short gets what it lacks: moved to the front,
        // or with content written after it, it would take that in.
        const std::string source = doctype->getSource();
        if (source.empty())
            continue;
        const std::string closed = closedDeclaration(source);
        if (closed.empty())
            continue;  // it stays where it ends the page, misplaced
        if (closed != source)
            static_cast<DocumentType*>(doctype)->setSource(closed);
        // What followed it may now be read into an element it ended.
        Node* following = nextInReading(doctype);
        Node* removed = parent->removeChild(doctype);
        if (!removed)
            continue;
        if (following && !_state.isGone(following))
            TagRepair::closeIfReadInto(following);
        clear(removed, Node::INVALID_CONTENT_ERROR);
        _state.noteChange();
        removeEmptied(parent);
        bool another = false;
        for (Node* n = document.getFirstChild(); n && !another; n = n->getNextSibling())
            another = n->getNodeType() == Node::DOCUMENT_TYPE_NODE;
        if (another) {
            removed->releaseRef();
            continue;
        }
        Node* first = document.getFirstChild();
        document.insertBefore(removed, first);
        if (first && first->getNodeType() != Node::TEXT_NODE) {
            Text* lineBreak = document.createTextNode(std::string());
            document.insertAfter(lineBreak, removed);
            lineBreak->parse("\r\n");
        }
    }
}

std::string HTMLCorrectionPass::closedDeclaration(const std::string& source)
{
    // What it left open closed, then its ">" if it still needs one; else
    // only its ">" (a quote reading does not take for one is no quote).
    const std::string closed = closedMarkupIn(source);
    for (const std::string& candidate : {closed, closed + '>', source + '>'}) {
        if (candidate.back() == '>' && readsAsDeclaration(candidate))
            return candidate;
    }
    return std::string();
}

bool HTMLCorrectionPass::readsAsDeclaration(const std::string& source)
{
    // Read with a tag after it, the declaration must end where its source
    // does, neither taking the tag in nor leaving part of itself out.
    static const std::string FOLLOWING = "<p>";
    Document& document = _state.document();
    DocumentFragment* fragment = document.createDocumentFragment();
    DocumentAccess::readInto(document, source + FOLLOWING, fragment);
    const Node* read = fragment->getFirstChild();
    const bool whole = read && read->getNodeType() == Node::DOCUMENT_TYPE_NODE && read->getSource() == source;
    fragment->releaseRef();
    return whole;
}

void HTMLCorrectionPass::removeEmptied(Node* left)
{
    // What held only what left goes when it is empty now and was built by
    // the repair or may go when empty, up to the first that stays.
    Document& document = _state.document();
    while (left && left->getNodeType() == Node::ELEMENT_NODE && !left->hasChildNodes()) {
        const bool built = (left->getUpdateState() & Node::UPDATE_ADAPTED) != 0;
        if (!built && !document.isEmptyNode(left, false))
            return;
        Node* parent = left->getParentNode();
        _state.deleteNode(left);
        left = parent;
    }
}

void HTMLCorrectionPass::mergeUniqueElements()
{
    std::vector<Node*> pending{_start};
    while (!pending.empty()) {
        Node* parent = pending.back();
        pending.pop_back();
        mergeChildren(parent);
        for (Node* child = parent->getLastChild(); child; child = child->getPreviousSibling())
            if (child->getFirstChild())
                pending.push_back(child);
    }
}

void HTMLCorrectionPass::mergeChildren(Node* parent)
{
    // The unique elements met so far among the children, by element id
    // (a handful of ids are unique).
    std::vector<std::pair<int, Element*>> met;
    for (Node* child = parent->getFirstChild(); child;) {
        Node* next = child->getNextSibling();
        if (child->getNodeType() != Node::ELEMENT_NODE ||
            !(static_cast<Element*>(child)->getElementGroup() & ElementType::GROUP_UNIQUE)) {
            child = next;
            continue;
        }
        Element* e = static_cast<Element*>(child);
        auto earlier = met.begin();
        while (earlier != met.end() && earlier->first != e->getElementID())
            ++earlier;
        if (earlier == met.end()) {
            met.emplace_back(e->getElementID(), e);
        } else {
            Element* survivor = ElementMerge::merge(_state.document(), earlier->second, e);
            TagRepair::regenerateTags(survivor);
            TagRepair::closeOpenChildren(survivor);
            earlier->second = survivor;
            _state.noteChange();
        }
        child = next;
    }
}

} // namespace pagedom
