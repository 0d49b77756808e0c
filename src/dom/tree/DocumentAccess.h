// Internal operations of documents for the library's other layers, its tools
// and its tests.  An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_DOCUMENTACCESS_H
#define PAGEDOM_TREE_DOCUMENTACCESS_H

#include "tree/Document.h"

namespace pagedom {

struct DocumentAccess {
    // The flag undo and redo set: the tree was just replayed.
    static bool updateInProgress(const Document& document) { return document._updateInProgress; }
    // A new metadata node without type, with one reference for the caller.
    static MetaData* createMetaData(const Document& document) { return document._createMetaData(); }
    // The name the document was created with ("HTML", "VXML" ...).
    static const std::string& name(const Document& document) { return document._name(); }
    // The node of the layout cursor, or null.
    static Node* cursorNode(const Document& document) { return document._cursorNode; }
    // The layout offset of the cursor in its node.
    static int layoutOffset(const Document& document) { return document._layoutOffset; }
    // Moves the cursor and the selections past child, a node the library
    // just inserted into parent.
    static void adjustForInsertion(Document& document, Node* parent, Node* child)
    {
        document._adjustForInsertion(parent, child);
    }
    // Whether element may count as empty when all its children are (see
    // Document::isEmptyNode).
    static bool isEmptyShell(const Element* element) { return Document::_isEmptyShell(element); }
    // Joins second, the text right after first, into first, byte for byte
    // (plain: they lie inside a plain element).
    static void joinTexts(Document& document, Text* first, Text* second, bool plain)
    {
        document._joinTexts(first, second, plain);
    }
    // Joins into first every text right after it, byte for byte, at the
    // cost of their length.
    static void joinTextRun(Document& document, Text* first, bool plain) { document._joinTextRun(first, plain); }
    // Reads text into fragment, a fragment of the document that stands
    // outside its tree, as reading a page does (the metadata pass included);
    // nothing is recorded.
    static void readInto(Document& document, const std::string& text, DocumentFragment* fragment)
    {
        document._readPage(SourceText::Block::make(text), fragment);
    }
};

} // namespace pagedom

#endif
