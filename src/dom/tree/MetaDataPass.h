// The metadata pass a document runs over the nodes it has just read.
#ifndef PAGEDOM_TREE_METADATAPASS_H
#define PAGEDOM_TREE_METADATAPASS_H

#include <string>
#include <vector>

#include "tree/MetaData.h"

class Comment;
class Document;
class DocumentFragment;
class Element;
class Node;

namespace pagedom {

// Turns what the reader left into the editor's metadata, over the subtree of
// a node just read, in document order and without recursion:
// - a METADATA span the reader made into a metadata node becomes the
//   metadata of the element its start comment holds, the element taking the
//   span's place; without such an element the span goes back to ordinary
//   comments and text;
// - a QRTX:COMMENT element becomes a comment, a QRTX:ATV element the
//   author-time visual of the first of its children that can carry one;
// - dynamic elements and design-time controls without metadata get
//   metadata of their kind.
// Every byte of the spans is kept: an element written back inside its span
// gives the page's bytes as long as nothing changes.
class MetaDataPass {
public:
    explicit MetaDataPass(Document& document);
    // Releases the nodes still listed as rewritten.
    ~MetaDataPass();

    // Runs over root's descendants.
    void run(Node* root);
    // The nodes the pass changed so that they no longer write the page's
    // bytes, with one reference each, handed to the caller.
    std::vector<Node*> takeRewritten();

private:
    MetaDataPass(const MetaDataPass&) = delete;
    MetaDataPass& operator=(const MetaDataPass&) = delete;

    // Where the walk goes on after a node: from the node it names, which
    // either was visited (its children come next) or is still to visit.
    struct Resume {
        Node* node;
        bool visited;
    };
    Resume _visit(Node* node, bool insideMeta);
    Resume _visitElement(Element* element, bool insideMeta);
    // A span made into metadata by the reader.
    Resume _takeSpan(MetaData* meta);
    // The element of the span's start comment that fits its type, taken out
    // of fragment, with where its source lies in region; null when none fits.
    Element* _fittingElement(DocumentFragment* fragment, MetaData::Type type, const std::string& region,
                             std::size_t& offset, std::size_t& length);
    // Takes away the metadata the reader attached below root (for
    // "dynamicelement" attributes): a span's element source is read bare,
    // and the walk gives its elements their metadata.
    void _dropReadMetaData(Node* root);
    // Puts the span back as a comment, the nodes of its run-time text and a
    // comment; the walk goes on at the first of them.
    Resume _restoreSpan(MetaData* meta);
    // A QRTX:COMMENT element becomes a comment holding its first child's text.
    Resume _convertComment(Element* element, bool insideMeta);
    // A QRTX:ATV element's children take its place; the first that can carry
    // an author-time visual gets the element as its visual.
    Resume _convertVisual(Element* element, bool insideMeta);
    // Attaches new metadata of type to element.
    void _attachNew(Element* element, MetaData::Type type);

    // A fragment holding text read as a page (no pass of its own runs).
    DocumentFragment* _read(const std::string& text);
    // A comment whose source is source, read as the reader reads comments.
    Comment* _commentFor(const std::string& source);
    // Notes that node writes bytes the page did not hold; inside an element
    // with metadata, that element's comments are to be built again.
    void _rewritten(Node* node, bool insideMeta);

    Document& _document;
    // The elements with metadata on the path from the walked root down to
    // the node visited.
    std::vector<Element*> _metaPath;
    std::vector<Node*> _rewrittenNodes;
};

} // namespace pagedom

#endif
