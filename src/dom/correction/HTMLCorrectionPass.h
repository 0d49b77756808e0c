// The repair of an HTML page's tree.
#ifndef PAGEDOM_CORRECTION_HTMLCORRECTIONPASS_H
#define PAGEDOM_CORRECTION_HTMLCORRECTIONPASS_H

#include <unordered_set>
#include <vector>

#include "correction/CorrectionState.h"
#include "correction/HTMLPromotion.h"

class Document;
class CDATASection;
class Comment;
class Element;
class Node;
class Text;

namespace pagedom {

// Repairs the subtree of a node of the HTML document, error bit by error
// bit, in a fixed order, so that the page reads back as the tree it is then:
//  - a node its parent may not hold is promoted (HTMLPromotion);
//  - what cannot be kept goes (a second FRAMESET, an element that only had
//    an end tag); an element that goes with content in it leaves the
//    content in its place, so no text, comment or server code is lost;
//  - a repaired element gets its tags produced again, showing both;
//  - texts with bare markup characters are written again, texts are
//    compacted as the layout shows them;
//  - a misplaced DOCTYPE moves to the front of the page;
//  - then, a second pass: unique elements written twice among the same
//    parent's children (two BODYs, two TITLEs) become one.
// The nodes to visit are listed, in document order, before anything
// changes, each held by a reference, so moves and deletions cannot make the
// walk skip or repeat a node; every walk is iterative, so a page nested
// 100,000 deep is repaired like any other.
class HTMLCorrectionPass {
public:
    HTMLCorrectionPass(Document& document, Node* start);
    ~HTMLCorrectionPass();
    HTMLCorrectionPass(const HTMLCorrectionPass&) = delete;
    HTMLCorrectionPass& operator=(const HTMLCorrectionPass&) = delete;

    // Runs both passes; whether anything changed.
    bool run();

private:
    struct Visit {
        Node* node;
        bool inPre;  // below a PRE
    };
    // Lists the nodes with errors not listed before and, the first time,
    // the DOCTYPE nodes, holding a reference to each.
    void collect(bool first);
    // Repairs one listed node, unless it went meanwhile.
    void correct(const Visit& visit);
    void correctElement(Element* e, bool inPre);
    // The steps for an element's content and tags; false when it went.
    bool correctPlace(Element* e, bool inPre);
    void correctTags(Element* e, unsigned long found, bool regenerate);
    // Markup the end of the page cut short is closed (a comment gets its
    // delimiter, a tag or server code its end: closeMarkup), so that what
    // the repair puts after it is not read into it.  Only markup at the
    // very end can be left open: anywhere else the next ">" ended it.
    void closeMarkupAtEnd();
    void closeComment(Comment* comment);
    void closeCDATASection(CDATASection* section);
    // A metadata end comment the repair closed makes a span with the start
    // comment of its type before it among its siblings: reading the repaired
    // page would make them one element with metadata.  The nodes from the
    // start comment to end are read again in their place, so that the
    // repaired tree is the one the repaired page reads as.
    void readSpanAgain(Comment* end);
    // Closes markup a listed node left open (TagRepair::closeMarkup, and
    // escapeMarkup for a text).
    void closeMarkup(Node* n, bool endsPage);
    // Writes a text's bare markup characters as references (not in server
    // code or a TEXTAREA).
    void escapeMarkup(Text* t);
    void correctText(Text* t);
    // Compacts every text outside plain content that is not compacted yet.
    void compactTexts();
    // Compacts t unless it is compacted already.
    void compactText(Text* t);
    // Settles a node the repair moved, or one in what it moved: what
    // stands before it must not take it in (TagRepair::closeIfReadInto),
    // and a CDATA section turns into a text where it is not read as one.
    // Returns the node standing in its place.
    Node* placeMoved(Node* n);
    // A section read as markup, moved where reading takes "<![CDATA[" for
    // a tag, becomes a text of its data; the node now standing there.
    Node* sectionAsText(CDATASection* section);
    void correctDocumentType(Node* doctype);
    // A PARAM the reader found no place for was read without its type; it
    // gets it back, to be placed (in an OBJECT) as a typed one.
    void retypeParam(Element* e);
    // A BODY beside a FRAMESET goes into the FRAMESET's NOFRAMES.
    void moveIntoNoFrames(Element* body);
    // Deletes e; with content in it, e's content stays in its place.
    void discard(Element* e);
    // Puts e's content in its place and deletes it.
    void unwrap(Element* e);
    // Clears bits on node, noting the change when any was set.
    void clear(Node* node, unsigned long bits);
    // The DOCTYPE nodes not at the front of the page go there, or go when
    // one is there already.
    void placeDocumentTypes();
    // A declaration the page cut short as it must be written not to take
    // in what follows, read back whole; empty when no closing does that.
    std::string closedDeclaration(const std::string& source);
    // Whether source, read with more page after it, is one declaration.
    bool readsAsDeclaration(const std::string& source);
    // Deletes left when nothing is left in it and it was built by the repair
    // or may go when empty, and so on up.
    void removeEmptied(Node* left);
    // The second pass.
    void mergeUniqueElements();
    // Merges the unique elements among parent's children.
    void mergeChildren(Node* parent);

    CorrectionState _state;
    HTMLPromotion _promotion;
    Node* _start;
    std::vector<Visit> _visits;
    std::unordered_set<const Node*> _listed;
    std::vector<Node*> _documentTypes;
};

} // namespace pagedom

#endif
