// The random editor the property tests share: a deterministic generator,
// generated pages of every kind of markup, and an editor making random
// calls of every public mutating operation (with chosen misuses among them).
#ifndef PAGEDOM_TESTS_RANDOMEDITS_H
#define PAGEDOM_TESTS_RANDOMEDITS_H

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "dom.h"

namespace randomedits {

// A small deterministic generator, so that a failure names its seed.
class Random {
public:
    explicit Random(std::uint64_t seed) : _state(seed * 2654435761u + 1) {}
    unsigned next(unsigned bound)
    {
        _state = _state * 6364136223846793005ULL + 1442695040888963407ULL;
        return bound ? static_cast<unsigned>((_state >> 33) % bound) : 0;
    }
    bool chance(unsigned percent) { return next(100) < percent; }
    template <class T>
    const T& pick(const std::vector<T>& items) { return items[next(static_cast<unsigned>(items.size()))]; }

private:
    std::uint64_t _state;
};

// --- pages ---------------------------------------------------------------------

inline std::string readExample(const std::string& name)
{
    std::ifstream in(std::string(PAGEDOM_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<std::string> TAGS = {
    "p", "B", "i", "table", "tr", "TD", "th", "ul", "li", "div", "span", "form", "input", "select",
    "option", "pre", "textarea", "a", "img", "br", "font", "h1", "colgroup", "col", "html", "body",
    "head", "title", "frameset", "noframes", "object", "param", "mystery", "x:tag", "jsp:useBean",
    "jsp:expression", "QRTX:TEXT", "tbody", "center", "marquee"};

const std::vector<std::string> WORDS = {
    "garden", "tools", "&amp;", "&nbsp;", "&#160;", "&bogus;", "a < b", "fish & chips", "\r\n", "  ",
    "\t", "caf\xe9", "\"quoted\"", "it's", "--", "x", ">"};

const std::vector<std::string> ATTRS = {"id", "class", "align", "href", "checked", "NAME", "value",
                                        "dynamicelement", "dtc", "classid", "src", "type", "border"};

// A page of every kind of markup the reader meets, well and badly formed.
class PageMaker {
public:
    explicit PageMaker(Random& random) : _random(random) {}

    std::string make(unsigned parts)
    {
        _out.clear();
        if (_random.chance(30))
            _out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\r\n";
        if (_random.chance(15))
            _out += "<?xml version=\"1.0\"?>";
        for (unsigned i = 0; i < parts; ++i)
            _part(0);
        return _out;
    }

private:
    void _part(unsigned depth)
    {
        switch (_random.next(depth > 6 ? 4 : 14)) {
        case 0:
        case 1:
            _out += _random.pick(WORDS);
            break;
        case 2:
            _out += "<!-- " + _random.pick(WORDS) + " -->";
            break;
        case 3: {
            static const std::vector<std::string> odd = {
                "<![CDATA[raw < data]]>", "<% int i = 0; %>", "<%= bean.name %>", "<%@ page import=\"x\" %>",
                "<%-- jsp note --%>", "<!--#include file=\"x.inc\" -->", "</b>", "</td>", "<", "&", "<!>",
                "<?php echo 1; ?>", "<jsp:useBean id=\"a\" class=\"b\"/>", "<br/>", "<p", "<a href='x"};
            _out += _random.pick(odd);
            break;
        }
        default: {
            const std::string tag = _random.pick(TAGS);
            _out += "<" + tag;
            for (unsigned n = _random.next(4); n; --n) {
                _out += " " + _random.pick(ATTRS);
                switch (_random.next(4)) {
                case 0:
                    break;
                case 1:
                    _out += "=" + std::to_string(_random.next(100));
                    break;
                case 2:
                    _out += "=\"" + _random.pick(WORDS) + "\"";
                    break;
                default:
                    _out += "='<%= x %>'";
                }
            }
            _out += _random.chance(10) ? "/>" : ">";
            for (unsigned n = _random.next(4); n; --n)
                _part(depth + 1);
            if (!_random.chance(20))
                _out += "</" + tag + ">";
        }
        }
    }

    Random& _random;
    std::string _out;
};

// --- the host's attachment --------------------------------------------------------

class Note : public Node::UserData {
public:
    UserData* clone() const override { return new Note; }
    void release() override { delete this; }
};

// --- the editor ----------------------------------------------------------------------

// The misuses an editor mixes among its calls.
enum class Misuse {
    NONE,
    NULL_ARGUMENTS,     // null nodes to the container operations
    PAGE_INTO_A_LEAF,   // createNodes into a text node
    FOREIGN_NODES,      // elements and attributes moved in from a document that is then released
    OTHER_MISUSES,      // refused references, foreign attributes, children for leaves, offsets past the end
    VISUAL_CYCLES       // author-time visuals and metadata made to hold what holds them
};

// Makes random calls on one document, and checks the written page after each.
class Editor {
public:
    Editor(Document* doc, std::uint64_t seed, Misuse misuse) : _doc(doc), _random(seed), _misuse(misuse), _seed(seed)
    {
    }

    // Runs count calls; stops at the first written page that differs from
    // its copy's.  Returns whether every page agreed.
    bool run(unsigned count)
    {
        for (unsigned i = 0; i < count; ++i) {
            _step();
            if (!_check())
                return false;
        }
        return true;
    }

    // Makes one random call.
    void edit() { _step(); }
    // The names of the last calls made, for a failure's message.
    std::string history() const { return _history(); }

private:
    // --- choosing ---------------------------------------------------------------------
    std::vector<Node*> _nodes() const
    {
        std::vector<Node*> all;
        for (Node* n = _doc; n; n = n->getNextNode(_doc))
            all.push_back(n);
        return all;
    }
    Node* _anyNode() { return _random.pick(_nodes()); }
    template <class T>
    T* _someOf(unsigned short type)
    {
        std::vector<Node*> found;
        for (Node* n : _nodes())
            if (n->getNodeType() == type)
                found.push_back(n);
        return found.empty() ? nullptr : static_cast<T*>(_random.pick(found));
    }
    Element* _element() { return _someOf<Element>(Node::ELEMENT_NODE); }
    Text* _text() { return _someOf<Text>(Node::TEXT_NODE); }
    // A node that may hold children: the document or an element.
    Node* _container()
    {
        Element* e = _element();
        return e && _random.chance(90) ? static_cast<Node*>(e) : _doc;
    }
    Attr* _attr()
    {
        Element* e = _element();
        if (!e || !e->hasAttributes())
            return nullptr;
        dom::NodeList list = e->getAttrNodes();
        return static_cast<Attr*>(list.item(_random.next(static_cast<unsigned>(list.length()))));
    }
    std::string _word() { return _random.pick(WORDS); }
    // Data-form text: plain bytes, and the escapes of the data form.
    std::string _data()
    {
        static const std::vector<std::string> data = {"x", " ", "word", "\x1b<", "\x1b\xa0", "\x1b&", "\r\n",
                                                      "\t", "\x1c\x1c\x20\x14", "caf\xe9", ""};
        return _random.pick(data);
    }
    unsigned long _offset(unsigned long length) { return _random.next(static_cast<unsigned>(length) + 1); }

    // Puts node (the caller's reference) into the tree, or releases it
    // when no place takes it.
    void _place(Node* node)
    {
        if (!node)
            return;
        Node* parent = _container();
        Node* ref = parent->getChildNode(_random.next(static_cast<unsigned>(parent->getChildLength()) + 1));
        if (!parent->insertBefore(node, ref))
            node->releaseRef();
    }

    Node* _newNode()
    {
        switch (_random.next(8)) {
        case 0:
            return _doc->createElement(_random.pick(TAGS));
        case 1:
            return _doc->createTextNode(_data());
        case 2:
            return _doc->createComment(_word());
        case 3:
            return _doc->createCDATASection(_word());
        case 4:
            return _doc->createProcessingInstruction("php", _word());
        case 5:
            return _doc->createEntityReference(_random.chance(50) ? "nbsp" : "bogus");
        case 6: {
            DocumentFragment* fragment = _doc->createDocumentFragment();
            fragment->appendChild(_doc->createTextNode("f"));
            fragment->appendChild(_doc->createElement("b"));
            return fragment;
        }
        default:
            // An id no element has gives no element.
            if (Element* known = _doc->createDefElement(static_cast<int>(_random.next(150))))
                return known;
            return _doc->createElement("span");
        }
    }

    // --- the calls ---------------------------------------------------------------------
    void _step()
    {
        const unsigned kinds = _misuse == Misuse::NONE ? 8 : 9;
        switch (_random.next(kinds)) {
        case 0:
        case 1:
            _structureEdit();
            break;
        case 2:
            _characterDataEdit();
            break;
        case 3:
            _textEdit();
            break;
        case 4:
        case 5:
            _elementEdit();
            break;
        case 6:
            _otherNodeEdit();
            break;
        case 7:
            _documentEdit();
            break;
        default:
            _misuseCall();
        }
    }

    void _structureEdit()
    {
        Node* parent = _container();
        Node* child = parent->getChildNode(_random.next(static_cast<unsigned>(parent->getChildLength()) + 1));
        switch (_random.next(9)) {
        case 0:
            _log("insertBefore");
            _place(_newNode());
            break;
        case 1:
            _log("appendChild(moved node)");
            if (Node* moved = _anyNode(); moved != _doc)
                _container()->appendChild(moved);  // refused when it would hold itself
            break;
        case 2:
            _log("removeChild");
            if (child && parent->removeChild(child)) {
                if (_random.chance(50))
                    _place(child);
                else
                    child->releaseRef();
            }
            break;
        case 3:
            _log("replaceChild");
            if (child) {
                Node* replacement = _newNode();
                if (Node* old = parent->replaceChild(replacement, child))
                    old->releaseRef();
                else
                    replacement->releaseRef();
            }
            break;
        case 4: {
            _log("removeChildNodes");
            Node* last = parent->getChildNode(_random.next(static_cast<unsigned>(parent->getChildLength()) + 1));
            if (Node* chain = parent->removeChildNodes(child, last)) {
                Node* target = _container();
                if (!target->insertBefore(chain, target->getFirstChild()))
                    parent->appendChild(chain);
            }
            break;
        }
        case 5:
            _log("insertAfter");
            if (Node* node = _newNode(); !parent->insertAfter(node, child))
                node->releaseRef();
            break;
        case 6:
            _log("cloneNode");
            if (Node* copied = _anyNode(); copied != _doc)
                _place(copied->cloneNode(_random.chance(70)));
            break;
        case 7:
            _log("normalize");
            parent->normalize();
            break;
        default:
            _log("formatSource");
            _anyNode()->formatSource();
        }
    }

    void _characterDataEdit()
    {
        std::vector<CharacterData*> data;
        for (Node* n : _nodes())
            if (n->getNodeType() == Node::TEXT_NODE || n->getNodeType() == Node::COMMENT_NODE ||
                n->getNodeType() == Node::CDATA_SECTION_NODE)
                data.push_back(static_cast<CharacterData*>(n));
        if (data.empty())
            return;
        CharacterData* node = _random.pick(data);
        const unsigned long length = node->getLength();
        const unsigned long offset = _offset(length);
        switch (_random.next(6)) {
        case 0:
            _log("appendData");
            node->appendData(_data());
            break;
        case 1:
            _log("insertData");
            node->insertData(offset, _data());
            break;
        case 2:
            _log("deleteData");
            node->deleteData(offset, _random.next(8));
            break;
        case 3:
            _log("replaceData");
            node->replaceData(offset, _random.next(8), _data());
            break;
        case 4:
            _log("setData");
            node->setData(_data() + _data());
            break;
        default: {
            _log("insertData beyond the end");
            const std::string before = node->getData();
            EXPECT_THROW(node->insertData(length + 1, "x"), std::out_of_range);
            EXPECT_EQ(before, node->getData());
        }
        }
    }

    void _textEdit()
    {
        Text* text = _text();
        if (!text)
            return;
        const unsigned long offset = _offset(text->getLength());
        const bool moveCursor = _random.chance(50);
        switch (_random.next(8)) {
        case 0: {
            _log("splitText");
            Text* tail = text->splitText(offset);
            if (!text->getParentNode() || !text->getParentNode()->insertAfter(tail, text))
                tail->releaseRef();
            break;
        }
        case 1:
            _log("insert");
            text->insert(_random.chance(20) ? Node::NOT_FOUND : offset, _random.chance(50) ? " " : _word(),
                         moveCursor, static_cast<Text::SpaceMode>(_random.next(3)));
            break;
        case 2:
            _log("Delete");
            text->Delete(offset, _random.next(6), moveCursor);
            break;
        case 3:
            _log("deleteChar");
            text->deleteChar(_random.chance(10) ? Node::NOT_FOUND : offset, _random.chance(50));
            break;
        case 4:
            _log("compact");
            text->compact();
            break;
        case 5:
            _log("Text::setSource");
            text->setSource(_word());
            break;
        case 6:
            _log("parse");
            text->parse(_word());
            break;
        default:
            _log("correctSource");
            text->correctSource();
        }
    }

    void _elementEdit()
    {
        Element* e = _element();
        if (!e)
            return;
        switch (_random.next(20)) {
        case 0:
            _log("setAttribute");
            e->setAttribute(_random.pick(ATTRS), _word());
            break;
        case 1:
            _log("removeAttribute");
            e->removeAttribute(_random.pick(ATTRS));
            break;
        case 2: {
            _log("setAttributeNode");
            Attr* attr = _doc->createAttribute(_random.pick(ATTRS));
            attr->setValue(_word());
            if (Attr* replaced = e->setAttributeNode(attr))
                replaced->releaseRef();
            if (!attr->getOwnerElement())
                attr->releaseRef();
            break;
        }
        case 3:
            _log("removeAttributeNode");
            if (e->hasAttributes()) {
                dom::NodeList list = e->getAttrNodes();
                Attr* attr = static_cast<Attr*>(list.item(_random.next(static_cast<unsigned>(list.length()))));
                if (Attr* removed = e->removeAttributeNode(attr))
                    removed->releaseRef();
            }
            break;
        case 4:
            _log("removeAllAttributes");
            e->removeAllAttributes();
            break;
        case 5:
            _log("Attr::setValue");
            if (Attr* attr = _attr())
                attr->setValue(_random.chance(30) ? "both \" and '" : _word());
            break;
        case 6:
            _log("Attr::setSpecified");
            if (Attr* attr = _attr())
                attr->setSpecified(_random.chance(50));
            break;
        case 7:
            _log("Attr::setNodeValue");
            if (Attr* attr = _attr())
                attr->setNodeValue(_word());
            break;
        case 8:
            _log("setEmptyTag");
            e->setEmptyTag(_random.chance(50));
            break;
        case 9:
            _log("omitTag");
            e->omitTag();
            break;
        case 10:
            _log("specifyTag");
            e->specifyTag();
            break;
        case 11:
            _log("setStartTag");
            e->setStartTag(_random.chance(50) ? "<" + e->getNodeName() + " x=1>" : std::string());
            break;
        case 12:
            _log("setEndTag");
            e->setEndTag(_random.chance(50) ? "</" + e->getNodeName() + ">" : std::string());
            break;
        case 13: {
            _log("setElementType");
            dom::NodeList types = _doc->getDocumentType()->getElementTypeNodes();
            const ElementType* type =
                _random.chance(20) ? nullptr
                                   : static_cast<const ElementType*>(
                                         types.item(_random.next(static_cast<unsigned>(types.length()))));
            e->setElementType(type);
            break;
        }
        case 14:
            _log("setJSPScriptData");
            e->setJSPScriptData(_word());
            break;
        case 15:
            _log("setDynamicElement");
            e->setDynamicElement(_random.chance(50));
            break;
        case 16:
            _log("setDTC / setActiveX");
            e->setDTC(_random.chance(80));
            e->setActiveX();
            break;
        case 17:
            _log("setMetaData");
            e->setMetaData(_random.chance(50) ? new MetaData(_doc) : nullptr);
            break;
        case 18:
            _log("setATV");
            e->setATV(_random.chance(50) ? _element() : nullptr);
            break;
        default:
            _log("setUserData / states");
            e->setUserData(_random.chance(70) ? new Note : nullptr);
            e->setViewable(_random.chance(50));
            e->setLayoutState(_random.next(8));
            e->setUpdateState(_random.chance(50) ? 0 : Node::UPDATE_CONTENT_MODIFIED);
        }
    }

    void _otherNodeEdit()
    {
        switch (_random.next(6)) {
        case 0:
            _log("Comment::setJSPFormat");
            if (Comment* c = _someOf<Comment>(Node::COMMENT_NODE))
                c->setJSPFormat(_random.chance(50));
            break;
        case 1:
            _log("Comment::setSource");
            if (Comment* c = _someOf<Comment>(Node::COMMENT_NODE))
                c->setSource("<!--" + _word() + "-->");
            break;
        case 2:
            _log("CDATASection::setSource");
            if (CDATASection* s = _someOf<CDATASection>(Node::CDATA_SECTION_NODE))
                s->setSource(_word());
            break;
        case 3:
            _log("ProcessingInstruction edits");
            if (auto* pi = _someOf<ProcessingInstruction>(Node::PROCESSING_INSTRUCTION_NODE)) {
                pi->setAttribute(_random.chance(50) ? "version" : "encoding", _word());
                if (_random.chance(30))
                    pi->setData(_word());
                if (_random.chance(20))
                    pi->setSource("<?php " + _word() + "?>");
                if (_random.chance(20))
                    pi->setNodeValue(_word());
            }
            break;
        case 4:
            _log("EntityReference::setSource");
            if (auto* ref = _someOf<EntityReference>(Node::ENTITY_REFERENCE_NODE))
                ref->setSource("&" + ref->getNodeName() + ";");
            break;
        default:
            _log("DocumentType edits");
            if (DocumentType* type = _doc->getDocType()) {
                type->setPublicID(_random.chance(50) ? "-//X//Y//EN" : "");
                type->setSystemID(_random.chance(50) ? "x.dtd" : "");
                if (_random.chance(30))
                    type->parse("<!ENTITY e \"" + std::to_string(_random.next(9)) + "\">");
                if (_random.chance(20))
                    type->setSource("<!DOCTYPE HTML>");
            }
        }
    }

    void _documentEdit()
    {
        switch (_random.next(9)) {
        case 8:
            _log("removeElement");
            if (Element* e = _element())
                _doc->removeElement(e, _random.chance(50));
            break;
        case 5:
            _log("deleteNodes");
            if (Node* node = _anyNode(); node != _doc || _random.chance(5))
                _doc->deleteNodes(node);
            break;
        case 6:
            _log("setLayoutCursor / select");
            if (Text* text = _text())
                _doc->setLayoutCursor(text, static_cast<int>(_offset(text->getLength())));
            _doc->select(_anyNode(), _random.next(3), _anyNode(), _random.next(3), _random.chance(30));
            break;
        case 7:
            _log("eraseSelections");
            _doc->eraseSelections();
            break;
        case 0: {
            _log("createNodes into an element");
            Random pages(_random.next(1000));
            const std::string page = PageMaker(pages).make(3);
            Element* e = _element();
            _doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), e);
            break;
        }
        case 1:
            _log("getXMLDecl / getHTMLElement / getHEADElement / getBODYElement");
            if (_random.chance(20))
                _doc->getXMLDecl();
            _doc->getHEADElement(nullptr);
            _doc->getBODYElement(nullptr);
            break;
        case 2:
            _log("FormatType");
            _doc->FormatType(static_cast<Document::DocumentFormatType>(_random.next(3)));
            break;
        case 3:
            if (_random.chance(20)) {
                _log("Document::formatSource");
                _doc->formatSource();
            } else {
                _log("adjustNodes");
                _doc->adjustNodes(_random.chance(50) ? _anyNode() : nullptr, _random.chance(20));
            }
            break;
        default:
            _log("Document::normalize");
            _doc->normalize();
        }
    }

    // --- misuse ----------------------------------------------------------------------
    // Calls a host should not make, mixed among the edits: each must be
    // refused or survived, never crash.
    void _misuseCall()
    {
        if (_misuse == Misuse::VISUAL_CYCLES) {
            _visualCycleCall();
            return;
        }
        Node* parent = _container();
        Node* child = parent->getFirstChild();
        const unsigned OTHERS = 3;  // the cases from here on are the other misuses
        const unsigned kind = _misuse == Misuse::NULL_ARGUMENTS     ? 0
                              : _misuse == Misuse::PAGE_INTO_A_LEAF ? 1
                              : _misuse == Misuse::FOREIGN_NODES    ? 2
                                                                    : OTHERS + _random.next(5);
        switch (kind) {
        case 0:
            _log("null arguments to the container operations");
            EXPECT_EQ(nullptr, parent->appendChild(nullptr));
            EXPECT_EQ(nullptr, parent->insertBefore(nullptr, child));
            EXPECT_EQ(nullptr, parent->removeChild(nullptr));
            EXPECT_EQ(nullptr, parent->replaceChild(nullptr, nullptr));
            if (child) {
                // replaceChild(nullptr, x) must not take x out without a
                // replacement the caller could hold.
                if (Node* taken = parent->replaceChild(nullptr, child))
                    taken->releaseRef();
            }
            break;
        case 1: {
            _log("createNodes into a text node");
            if (Text* text = _text()) {
                const std::string page = "<p>inside a <b>text</b>";
                _doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), text);
            }
            break;
        }
        case 2: {
            _log("moving elements and an attribute from a second document, then releasing it");
            Random pages(_random.next(1000));
            const std::string page = PageMaker(pages).make(6);
            Document* other = DOMImpl::createDocument("HTML");
            other->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
            for (Node* n = other->getFirstChild(); n; n = n->getNextNode(other)) {
                if (n->getNodeType() == Node::ELEMENT_NODE && _random.chance(40)) {
                    _container()->appendChild(n);
                    break;
                }
            }
            if (Element* e = _element()) {
                Attr* attr = other->createAttribute(_random.chance(50) ? "title" : "align");
                attr->setValue("foreign");
                if (Attr* replaced = e->setAttributeNode(attr))
                    replaced->releaseRef();
            }
            DOM::getDOM()->deleteDocument(other);
            break;
        }
        case 3:
            _log("a node into its own descendant, a foreign reference node");
            if (child && child->hasChildNodes()) {
                EXPECT_EQ(nullptr, child->getFirstChild()->appendChild(child));
            }
            if (Node* node = _newNode(); !parent->insertBefore(node, _doc))
                node->releaseRef();
            break;
        case 4:
            _log("removing what is no child");
            EXPECT_EQ(nullptr, parent->removeChild(_doc));
            EXPECT_EQ(nullptr, parent->removeChildNodes(_doc, nullptr));
            break;
        case 5: {
            _log("an attribute of another element");
            Attr* attr = _attr();
            Element* e = _element();
            if (attr && e && attr->getOwnerElement() != e) {
                EXPECT_EQ(nullptr, e->setAttributeNode(attr));
                EXPECT_EQ(nullptr, e->removeAttributeNode(attr));
            }
            EXPECT_EQ(nullptr, e ? e->setAttributeNode(nullptr) : nullptr);
            break;
        }
        case 6:
            _log("children for leaves");
            if (Text* text = _text()) {
                Node* node = _newNode();
                if (!text->appendChild(node))
                    node->releaseRef();
            }
            break;
        default:
            _log("character data past its end");
            if (Text* text = _text()) {
                EXPECT_THROW(text->replaceData(text->getLength() + 2, 1, "x"), std::out_of_range);
                EXPECT_EQ(0u, text->deleteChar(Node::NOT_FOUND, false));
                text->Delete(text->getLength(), 100, true);
            }
        }
    }

    // An element given an author-time visual, then calls that would have the
    // visual or the metadata hold the element or one of its ancestors: each
    // is refused, so that copies end and releases free everything.
    void _visualCycleCall()
    {
        Element* owner = _element();
        if (!owner)
            return;
        if (!owner->getATV() || _random.chance(30)) {
            _log("setATV of a new element");
            Element* made = _doc->createElement(_random.chance(70) ? "QRTX:ATV" : _random.pick(TAGS));
            made->appendChild(_doc->createTextNode("visual"));
            owner->setATV(made);
            made->releaseRef();
        }
        Element* atv = owner->getATV();
        if (!atv)
            return;
        // An element inside the visual, and the owner or one of its ancestors.
        Node* inside = atv;
        for (Node* n = atv->getFirstChild(); n; n = n->getNextNode(atv))
            if (n->getNodeType() == Node::ELEMENT_NODE && _random.chance(30))
                inside = n;
        Node* holder = owner;
        while (holder->getParentNode() && _random.chance(50))
            holder = holder->getParentNode();
        switch (_random.next(7)) {
        case 0:
            _log("the owner or an ancestor into its visual");
            EXPECT_EQ(nullptr, inside->appendChild(holder));
            break;
        case 1:
            _log("the visual into the tree");
            EXPECT_EQ(nullptr, _container()->appendChild(atv));
            EXPECT_EQ(nullptr, atv->getParentNode());
            break;
        case 2: {
            _log("setATV of a holder, of a placed element, of another's visual");
            if (holder->getNodeType() == Node::ELEMENT_NODE) {
                owner->setATV(static_cast<Element*>(holder));
                EXPECT_EQ(atv, owner->getATV());
            }
            if (Element* placed = _element(); placed != owner) {
                owner->setATV(placed);
                EXPECT_EQ(atv, owner->getATV());
                Element* before = placed->getATV();
                placed->setATV(atv);
                EXPECT_EQ(before, placed->getATV());
            }
            break;
        }
        case 3: {
            _log("a visual of the visual, and the owner into it");
            Element* inner = _doc->createElement("QRTX:ATV");
            atv->setATV(inner);
            inner->releaseRef();
            if (Element* held = atv->getATV()) {
                EXPECT_EQ(nullptr, held->appendChild(holder));
            }
            break;
        }
        case 4:
            _log("the owner or an ancestor into its metadata, the metadata into the tree");
            EXPECT_EQ(nullptr, owner->getMetaData()->appendChild(holder));
            EXPECT_EQ(nullptr, _container()->appendChild(owner->getMetaData()));
            break;
        case 5: {
            _log("detached metadata attached to an element it holds");
            MetaData* meta = owner->getMetaData();
            meta->addRef();
            owner->setMetaData(nullptr);
            Element* held = _doc->createElement("b");
            if (inside->appendChild(held)) {
                held->setMetaData(meta);
                EXPECT_EQ(nullptr, held->getMetaData());
            } else {
                held->releaseRef();
            }
            owner->setMetaData(meta);
            EXPECT_EQ(meta, owner->getMetaData());
            meta->releaseRef();
            break;
        }
        default: {
            _log("edits inside a visual, and a copy of its owner");
            if (Node* node = _newNode(); !inside->appendChild(node))
                node->releaseRef();
            Element* copy = static_cast<Element*>(owner->cloneNode(_random.chance(50)));
            EXPECT_NE(nullptr, copy->getATV());
            EXPECT_NE(atv, copy->getATV());
            copy->releaseRef();
        }
        }
    }

    // --- the property ------------------------------------------------------------------
    bool _check()
    {
        const std::string written = _doc->getSource();
        Node* copy = _doc->cloneNode(true);
        const std::string copied = copy->getSource();
        copy->releaseRef();
        const std::string tree = _doc->getChildSource();
        if (written == copied && written == tree)
            return true;
        ADD_FAILURE() << "seed " << _seed << ", after: " << _history() << "\nwritten:\n" << written
                      << "\ncopy writes:\n" << copied << "\nthe tree writes:\n" << tree;
        return false;
    }

    void _log(const char* what)
    {
        _calls.push_back(what);
    }
    std::string _history() const
    {
        std::ostringstream out;
        const std::size_t from = _calls.size() > 8 ? _calls.size() - 8 : 0;
        for (std::size_t i = from; i < _calls.size(); ++i)
            out << (i == from ? "" : ", ") << _calls[i];
        return out.str();
    }

    Document* _doc;
    Random _random;
    Misuse _misuse;
    std::uint64_t _seed;
    std::vector<std::string> _calls;
};

struct Source {
    std::string name;
    std::string text;
    DOMImpl::JSPVersion jsp;
};

inline std::vector<Source> pages()
{
    std::vector<Source> all = {{"catalog.html", readExample("catalog.html"), DOMImpl::JSP_NONE},
                               {"account.jsp", readExample("account.jsp"), DOMImpl::JSP_10},
                               {"messy.html", readExample("messy.html"), DOMImpl::JSP_NONE}};
    for (unsigned i = 0; i < 12; ++i) {
        Random random(1000 + i);
        all.push_back({"generated " + std::to_string(i), PageMaker(random).make(12 + 4 * i),
                       i % 3 ? DOMImpl::JSP_NONE : DOMImpl::JSP_10});
    }
    return all;
}

} // namespace randomedits

#endif
