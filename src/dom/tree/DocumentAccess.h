// Internal operations of documents for the library's other layers, its tools
// and its tests.  An internal header: no public header includes it.
#ifndef PAGEDOM_TREE_DOCUMENTACCESS_H
#define PAGEDOM_TREE_DOCUMENTACCESS_H

#include "tree/Document.h"

namespace pagedom {

struct DocumentAccess {
    // Installs the receiver of the document's change announcements (owned
    // by the document; null removes it).
    static void setChangeHooks(Document& document, ChangeHooks* hooks) { document._setChangeHooks(hooks); }
    // Re-reads whether the receiver wants announcements; call after its
    // active state changes.
    static void refreshHookState(Document& document) { document._refreshHookState(); }
    // A new metadata node without type, with one reference for the caller.
    static MetaData* createMetaData(const Document& document) { return document._createMetaData(); }
    // The node of the layout cursor, or null.
    static Node* cursorNode(const Document& document) { return document._cursorNode; }
    // The layout offset of the cursor in its node.
    static int layoutOffset(const Document& document) { return document._layoutOffset; }
};

} // namespace pagedom

#endif
