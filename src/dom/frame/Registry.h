// The process-wide registry behind DOMImpl: the tables of document types,
// one per JSP version, the Java type lookup and the dynamic-data manager.
#ifndef PAGEDOM_FRAME_REGISTRY_H
#define PAGEDOM_FRAME_REGISTRY_H

#include <map>
#include <mutex>
#include <string>

#include "doctype/DocumentTypeSource.h"
#include "frame/DOMImpl.h"
#include "frame/RegistryAccess.h"

// The process-wide registry: the document types built so far, one table per
// JSP version, the Java type lookup and the dynamic-data manager.  It is the
// document-type source the lower layers look types up in.
//
// Documents may be made on several threads at once, so every member works
// under one lock.  Building a type may look other types up, and a document
// made under the lock looks its own type up, so the lock is recursive.
class DOMImpl::_Registry : public pagedom::DocumentTypeSource {
public:
    // A registry with the built-in factory, no tables and JSP_NONE current.
    _Registry();
    // Releases every document type it holds and the dynamic-data manager.
    ~_Registry();

    // The registered type of name (case ignored) under the current version.
    const DocumentType* getDocumentType(const std::string& name);
    // The XML document type, built on first use.
    const DocumentType* getXMLDocumentType();
    // The current JSP version.
    JSPVersion getJSPVersion() const;
    // Makes version current, creating its (empty) table entry when new.
    void setJSPVersion(JSPVersion version);
    // The host's Java type lookup, or null.
    const JavaTypeLookupIF* getJavaTypeLookupIF() const;
    // Sets the host's Java type lookup (not owned).
    void setJavaTypeLookupIF(const JavaTypeLookupIF* lookup);
    // The dynamic-data manager, created on the first call.
    DynamicDataManager* getDynamicDataManager();

    // Holds the registry's lock until the result goes out of scope; the
    // registry's own members may be called meanwhile.
    std::unique_lock<std::recursive_mutex> hold() { return std::unique_lock<std::recursive_mutex>(_lock); }

    // Replaces the document-type factory; the previous one.
    pagedom::DocumentTypeFactory setDocumentTypeFactory(pagedom::DocumentTypeFactory factory);

    // DocumentTypeSource: the lookups the lower layers make.
    const DocumentType* findDocumentType(const std::string& name) override { return getDocumentType(name); }
    const DocumentType* findXMLDocumentType() override { return getXMLDocumentType(); }

private:
    using Table = std::map<std::string, DocumentType*>;
    struct VersionEntry {
        JSPVersion version;
        Table* table = nullptr;
    };

    DocumentType* _lookup(Table& table, const std::string& lowerName);
    void _complete(Table& table, DocumentType* type, JSPVersion version);
    // Releases every document type of every table.
    void _releaseTables();

    mutable std::recursive_mutex _lock;
    DocumentType* _xmlDocumentType = nullptr;
    VersionEntry* _current = nullptr;
    std::map<JSPVersion, VersionEntry> _versions;
    const JavaTypeLookupIF* _javaTypeLookup = nullptr;
    DynamicDataManager* _dynamicDataManager = nullptr;
    pagedom::DocumentTypeFactory _factory;
};

#endif
