// The registry's test switch: replacing the factory of document types.
#ifndef PAGEDOM_FRAME_REGISTRYACCESS_H
#define PAGEDOM_FRAME_REGISTRYACCESS_H

#include <string>

class DocumentType;

namespace pagedom {

// Builds a document type from a lower-cased name (one reference for the
// caller), or returns null for a name it does not know.
using DocumentTypeFactory = DocumentType* (*)(const std::string& lowerName);

// Lets a test put its own document types into the registry's tables in place
// of the built-in ones.  Never included by the umbrella header.
struct RegistryAccess {
    // Replaces the document-type factory (the built-in one by default) and
    // returns the previous one; tables already built are kept.
    static DocumentTypeFactory setDocumentTypeFactory(DocumentTypeFactory factory);
};

} // namespace pagedom

#endif
