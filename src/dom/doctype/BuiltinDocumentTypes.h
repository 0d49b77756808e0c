// The factory of the document types compiled into the library.
#ifndef PAGEDOM_DOCTYPE_BUILTINDOCUMENTTYPES_H
#define PAGEDOM_DOCTYPE_BUILTINDOCUMENTTYPES_H

#include <string>

class DocumentType;

namespace pagedom {

// The factory of the document types compiled into the library.  Given a
// lower-cased name it builds a new document type (one reference for the
// caller), or returns null for a name it does not know.
class BuiltinDocumentTypes {
public:
    static DocumentType* create(const std::string& lowerName);
};

} // namespace pagedom

#endif
