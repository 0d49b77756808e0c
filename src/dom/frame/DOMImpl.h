// The library's static entry points (DOMImpl) and its document-release
// point (DOM).
#ifndef PAGEDOM_FRAME_DOMIMPL_H
#define PAGEDOM_FRAME_DOMIMPL_H

#include <string>

#include "base/Options.h"

class Document;
class DocumentType;
class DynamicDataManager;
class JavaTypeLookupIF;

namespace pagedom {
struct RegistryAccess;
struct ServiceInstaller;
}

// The static entry point of the library.  DOMImpl has no state of its own:
// everything kept between documents lives in one process-wide registry (the
// document types built so far, one table per JSP version, the Java type
// lookup and the dynamic-data manager).  The process-wide option values
// (getFormatOption, getCodePage, getMWVersion and their setters) come from
// DOMOptions.
//
// Threads.  The library is driven from one thread per document tree: a
// document and all its nodes are used by one thread at a time.  Independent
// documents may be created, read, edited, written and released on different
// threads at the same time: the registry is locked, and the document types
// it shares between documents are built once and then only read.  The
// process-wide settings (the code page, the JSP version, the MW version, the
// formatting options and the Java type lookup) are set between documents and
// must not be changed while another thread reads or writes one.
class DOMImpl : public DOMOptions {
public:
    // An empty facade; every operation is static.
    DOMImpl() {}
    // Copies nothing: there is no state to copy.
    DOMImpl& operator=(const DOMImpl&) { return *this; }

    // A new document named name, with the registered document type of that
    // name (or none); one reference.  It is an HTML document exactly when
    // its name is "HTML".
    static Document* createDocument(const std::string& name);
    // A new document named name with type, or with the registered type of
    // that name when type is null; one reference.
    static Document* createDocument(const std::string& name, const DocumentType* type);
    // A new document named name with the type registered under JSP version
    // version; one reference.  The current JSP version stays as it was.
    static Document* createDocument(const std::string& name, JSPVersion version);
    // A new, empty document type named name, entered in no table; one reference.
    static DocumentType* createDocumentType(const std::string& name);
    // The registered document type of name (case ignored) under the current
    // JSP version, built on first request; null for an empty or unknown
    // name.  The registry keeps the reference.
    static const DocumentType* getDocumentType(const std::string& name);
    // The XML document type, built on first use; the registry keeps the reference.
    static const DocumentType* getXMLDocumentType();
    // The current JSP version; JSP_NONE until set.
    static JSPVersion getJSPVersion();
    // Makes version current; the document types built under each version are kept.
    static void setJSPVersion(JSPVersion version);
    // The host's Java type lookup, or null until set.
    static const JavaTypeLookupIF* getJavaTypeLookupIF();
    // Sets the host's Java type lookup (not owned; it must outlive its use).
    static void setJavaTypeLookupIF(const JavaTypeLookupIF* lookup);
    // The dynamic-data manager, created on the first call; the same object every time.
    static DynamicDataManager* getDynamicDataManager();

private:
    // The process-wide registry (frame/Registry.h).
    class _Registry;

    // The registry, built on the first call.
    static _Registry* _registry();
    // Installs the library's readers, formatter and document-type source
    // where the lower layers look for them; idempotent.  Every entry point
    // and the umbrella header's static initializer call it.
    static void _installServices();

    // Library internals: the umbrella header's static initializer and the
    // registry's accessor.
    friend struct pagedom::ServiceInstaller;
    friend struct pagedom::RegistryAccess;
};

// Including this header makes sure the library's services are installed
// before the including file's own static objects are built.
namespace pagedom {
struct ServiceInstaller {
    // Installs the library's services where the lower layers look for them.
    ServiceInstaller() { DOMImpl::_installServices(); }
};
static const ServiceInstaller s_serviceInstaller;
} // namespace pagedom

// The process's one document-release point.
class DOM {
public:
    // The one instance, created on the first call.
    static DOM* getDOM();
    // Gives up the caller's reference on document (releaseRef); null is ignored.
    void deleteDocument(Document* document) const;

private:
    DOM() {}
    DOM(const DOM&) = delete;
    DOM& operator=(const DOM&) = delete;
};

#endif
