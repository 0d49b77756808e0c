#ifndef PAGEDOM_TESTS_CORRECTPROPERTIES_H
#define PAGEDOM_TESTS_CORRECTPROPERTIES_H

// What repairing a page must keep, checked on any page (the correction
// tests and the fuzz target use it): every non-white character of the
// texts, every comment and every piece of server code stays in the page; a
// second repair of the repaired tree changes nothing and reports nothing
// done; the repair undoes as one step to the page as read; and, unless
// asked not to, the repaired page read again and repaired is written the
// same.
#include <algorithm>
#include <string>
#include <vector>

#include "dom.h"
#include "tree/ElementAccess.h"
#include "tree/MetaDataComment.h"
#include "writing/FormatProperties.h"
#include "writing/PageElements.h"

namespace correctcheck {

using formatcheck::Failure;
using formatcheck::read;

// The comments and the server code (JSP in any form, includes) of a page,
// sorted: a repair may move them, never drop them.  An end tag that closes
// nothing holds no code.  METADATA comments count by their marker alone,
// whether they stand as comments or as the span of an element with
// metadata: a repair that closes one may make a span (the element's tag in
// the start comment is then repaired with the element).
inline std::vector<std::string> keptPieces(Document* doc)
{
    const unsigned long serverCode = ElementType::GROUP_JSP | ElementType::GROUP_JSP_BLOCK |
                                     ElementType::GROUP_JSP_DIRECTIVE | ElementType::GROUP_SSI;
    auto marker = [](const char* kind, MetaData::Type type) {
        return "metadata " + std::string(kind) + " " + std::to_string(type);
    };
    std::vector<std::string> pieces;
    for (Node* n = doc; n; n = n->getNextNode(doc)) {
        if (n->getNodeType() == Node::COMMENT_NODE) {
            const std::string data = static_cast<Comment*>(n)->getData();
            const MetaData::Type start = pagedom::MetaDataComment::startType(data);
            const MetaData::Type end = pagedom::MetaDataComment::endType(data);
            pieces.push_back(start != MetaData::NONE ? marker("start", start)
                             : end != MetaData::NONE ? marker("end", end)
                                                     : "comment " + data);
        } else if (n->getNodeType() == Node::ELEMENT_NODE) {
            const Element* e = static_cast<Element*>(n);
            if ((e->getElementGroup() & serverCode) && e->hasStartTag())
                pieces.push_back(n->getNodeName() + " " + e->getJSPScriptData());
            const MetaData* meta = e->getMetaData();
            if (meta && !meta->getMetaStart().empty()) {
                pieces.push_back(marker("start", meta->getType()));
                pieces.push_back(marker("end", meta->getType()));
            }
        }
    }
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

// Whether n is a CDATA section read from "<![CDATA[" (in XML code): its
// data is the page's text, unlike the raw text of a SCRIPT or of server
// code written "<% ... %>", which is a CDATA section too.
inline bool isMarkedSection(const Node* n)
{
    if (n->getNodeType() != Node::CDATA_SECTION_NODE)
        return false;
    const Node* parent = n->getParentNode();
    if (!parent || parent->getNodeType() != Node::ELEMENT_NODE)
        return true;
    const Element* e = static_cast<const Element*>(parent);
    const ElementType* type = e->getElementType();
    return !pagedom::ElementAccess::hasScriptSyntax(*e) &&
           !(type && type->getContainerType() == ContentModel::CDATA_CONTENT);
}

// The characters of the texts and CDATA sections (pageelements::
// textCharacters), but for those of elements with a METADATA span: those
// stand in the span's start comment on the page, which counts by its
// marker alone (keptPieces).  A repair may turn a section into a text.
inline std::vector<char> textCharacters(Document* doc)
{
    std::vector<char> chars;
    for (Node* n = doc; n; n = n->getNextNode(doc)) {
        if (n->getNodeType() != Node::TEXT_NODE && !isMarkedSection(n))
            continue;
        const Element* holder = n->getAncestorMetaElement();
        if (holder && !holder->getMetaData()->getMetaStart().empty())
            continue;
        for (char c : static_cast<CharacterData*>(n)->getData())
            if (c != ' ' && (c < '\t' || c > '\r') && c != pageelements::MARKED)
                chars.push_back(c);
    }
    std::sort(chars.begin(), chars.end());
    return chars;
}

inline std::string joined(const std::vector<std::string>& pieces)
{
    std::string out;
    for (const std::string& piece : pieces)
        out += piece + "\n";
    return out;
}

// A document of kind (an HTML or a VoiceXML document) read from page.
inline Document* readAs(const char* kind, const std::string& page, DOMImpl::JSPVersion version)
{
    Document* doc = DOMImpl::createDocument(kind, version);
    doc->createNodes(page.data(), static_cast<unsigned long>(page.size()), nullptr);
    return doc;
}

inline Failure check(const std::string& page, DOMImpl::JSPVersion version, bool readsBack = true,
                     const char* kind = "HTML")
{
    Document* doc = readAs(kind, page, version);
    // The page as read: the page itself, unless reading converted the
    // editor's own elements (QRTX:COMMENT, QRTX:ATV) the page held.
    const std::string asRead = doc->getSource();
    doc->endUpdate();
    doc->enableRecord(true);
    const std::vector<char> chars = textCharacters(doc);
    const std::vector<std::string> pieces = keptPieces(doc);
    doc->correctError(nullptr);
    doc->endUpdate();
    Failure failure;
    const std::string repaired = doc->getSource();
    if (chars != textCharacters(doc)) {
        failure = {"the repair lost or added text characters", std::string(chars.begin(), chars.end()), repaired};
    } else if (pieces != keptPieces(doc)) {
        failure = {"the repair lost or added comments or server code", joined(pieces), joined(keptPieces(doc))};
    } else if (doc->correctError(nullptr)) {
        doc->endUpdate();
        failure = {"a second repair reported changes", repaired, doc->getSource()};
    } else {
        doc->endUpdate();
        const std::string again = doc->getSource();
        if (again != repaired)
            failure = {"a second repair changed the page", repaired, again};
    }
    const bool repairedAnything = repaired != asRead;
    if (!failure && doc->canUndo() != (repairedAnything ? 1 : 0)) {
        failure = {"the repair is not one undo step", repairedAnything ? "1" : "0", std::to_string(doc->canUndo())};
    } else if (!failure && repairedAnything) {
        doc->undo(0);
        if (doc->getSource() != asRead)
            failure = {"undoing the repair does not give back the page", asRead, doc->getSource()};
    }
    DOM::getDOM()->deleteDocument(doc);
    if (failure || !readsBack)
        return failure;
    Document* reread = readAs(kind, repaired, version);
    reread->correctError(nullptr);
    const std::string rewritten = reread->getSource();
    DOM::getDOM()->deleteDocument(reread);
    if (rewritten != repaired)
        return {"the repaired page, read again and repaired, is written differently", repaired, rewritten};
    return Failure();
}

} // namespace correctcheck

#endif
