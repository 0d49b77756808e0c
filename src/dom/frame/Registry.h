#ifndef PAGEDOM_FRAME_REGISTRY_H
#define PAGEDOM_FRAME_REGISTRY_H

#include <map>
#include <mutex>
#include <string>

#include "doctype/DocumentTypeSource.h"
#include "frame/DOMImpl.h"

// The process-wide registry: the document types built so far, one table per
// JSP version, the Java type lookup and the dynamic-data manager.  It is the
// document-type source the lower layers look types up in.
class DOMImpl::_Registry : public pagedom::DocumentTypeSource {
public:
    _Registry();
    ~_Registry();

    const DocumentType* getDocumentType(const std::string& name);
    const DocumentType* getXMLDocumentType();
    JSPVersion getJSPVersion() const;
    void setJSPVersion(JSPVersion version);
    const JavaTypeLookupIF* getJavaTypeLookupIF() const { return _javaTypeLookup; }
    void setJavaTypeLookupIF(const JavaTypeLookupIF* lookup) { _javaTypeLookup = lookup; }
    DynamicDataManager* getDynamicDataManager();

    // DocumentTypeSource: the lookups the lower layers make.
    const DocumentType* findDocumentType(const std::string& name) override { return getDocumentType(name); }
    const DocumentType* findXMLDocumentType() override { return getXMLDocumentType(); }

    DocumentTypeFactory _setFactory(DocumentTypeFactory factory);
    // Drops every built document type (the next lookups build afresh).
    void _clearTables();

private:
    using Table = std::map<std::string, DocumentType*>;
    struct VersionEntry {
        JSPVersion version;
        Table* table = nullptr;
    };

    DocumentType* _lookup(Table& table, const std::string& lowerName);
    void _complete(Table& table, DocumentType* type, JSPVersion version);

    // Documents may be created on several threads at once; the tables are
    // built and looked up under this lock.  Building a type may look other
    // types up, so the lock is recursive.
    mutable std::recursive_mutex _lock;
    DocumentType* _xmlDocumentType = nullptr;
    VersionEntry* _current = nullptr;
    std::map<JSPVersion, VersionEntry> _versions;
    const JavaTypeLookupIF* _javaTypeLookup = nullptr;
    DynamicDataManager* _dynamicDataManager = nullptr;
    DocumentTypeFactory _factory;
};

#endif
