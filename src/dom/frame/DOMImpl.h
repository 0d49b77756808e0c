#ifndef PAGEDOM_FRAME_DOMIMPL_H
#define PAGEDOM_FRAME_DOMIMPL_H

#include <string>

#include "base/Options.h"

class Document;
class DocumentType;
class DynamicDataManager;
class JavaTypeLookupIF;

// The static entry point of the library.  DOMImpl has no state of its own:
// everything kept between documents lives in one process-wide registry.
class DOMImpl : public DOMOptions {
public:
    // Builds a document type from a lower-cased name, or returns null.
    using DocumentTypeFactory = DocumentType* (*)(const std::string& lowerName);

    // The process-wide registry (see frame/Registry.h).
    class _Registry;

    DOMImpl() {}
    DOMImpl& operator=(const DOMImpl&) { return *this; }

    static Document* createDocument(const std::string& name);
    static Document* createDocument(const std::string& name, const DocumentType* type);
    static Document* createDocument(const std::string& name, JSPVersion version);
    static DocumentType* createDocumentType(const std::string& name);
    static const DocumentType* getDocumentType(const std::string& name);
    static const DocumentType* getXMLDocumentType();
    static JSPVersion getJSPVersion();
    static void setJSPVersion(JSPVersion version);
    static const JavaTypeLookupIF* getJavaTypeLookupIF();
    static void setJavaTypeLookupIF(const JavaTypeLookupIF* lookup);
    static DynamicDataManager* getDynamicDataManager();

    // Replaces the document-type factory (the built-in one by default) and
    // returns the previous one; tables already built are kept.
    static DocumentTypeFactory _setDocumentTypeFactory(DocumentTypeFactory factory);

    // Installs the library's readers, formatter and document-type source
    // where the lower layers look for them; idempotent.  Every entry point
    // and the umbrella header's static initializer call it.
    static void _installServices();

private:
    static _Registry* _registry();
};

// Including this header makes sure the library's services are installed
// before the including file's own static objects are built.
namespace pagedom_frame {
struct ServiceInstaller {
    ServiceInstaller() { DOMImpl::_installServices(); }
};
static const ServiceInstaller s_serviceInstaller;
} // namespace pagedom_frame

// The process's one document-release point.
class DOM {
public:
    static DOM* getDOM();
    void deleteDocument(Document* document) const;

private:
    DOM() {}
    DOM(const DOM&) = delete;
    DOM& operator=(const DOM&) = delete;
};

#endif
