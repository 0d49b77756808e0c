// The interface through which the layers below the frame look registered
// document types up.
#ifndef PAGEDOM_DOCTYPE_DOCUMENTTYPESOURCE_H
#define PAGEDOM_DOCTYPE_DOCUMENTTYPESOURCE_H

#include <string>

class DocumentType;

namespace pagedom {

// Where the registered document types are found.  A document made without a
// type looks its name up here, and a converter without a type uses the XML
// type from here; the library frame's registry implements it and installs
// itself, so that the layers below the frame need not know the registry.
// Without an installed source every lookup yields null.
class DocumentTypeSource {
public:
    virtual ~DocumentTypeSource() {}

    // The registered type of a document name (case ignored), or null.
    virtual const DocumentType* findDocumentType(const std::string& name) = 0;
    // The registered XML document type, or null.
    virtual const DocumentType* findXMLDocumentType() = 0;

    // The installed source, or null.
    static DocumentTypeSource* installed();
    // Installs source (not owned; it must live as long as it is used).
    static void install(DocumentTypeSource* source);
};

} // namespace pagedom

#endif
