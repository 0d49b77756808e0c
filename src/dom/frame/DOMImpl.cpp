// The library's entry points, its registry of document types and the
// installation of the services the lower layers call upward through.
#include "frame/DOMImpl.h"

#include "base/StringUtil.h"
#include "doctype/BuiltinDocumentTypes.h"
#include "doctype/DeclarationBuilder.h"
#include "doctype/DocumentType.h"
#include "dynamic/DynamicDataManager.h"
#include "correction/HTMLCorrector.h"
#include "editing/ChangeRecord.h"
#include "editing/TreeAdjuster.h"
#include "frame/Registry.h"
#include "frame/RegistryAccess.h"
#include "reading/HTMLParser.h"
#include "tree/ChangeRecorder.h"
#include "tree/Document.h"
#include "tree/NodeAdjuster.h"
#include "tree/NodeCorrector.h"
#include "writing/SourceFormatter.h"
#include "xmlreading/XMLParser.h"

// --- registry ---------------------------------------------------------------------

DOMImpl::_Registry::_Registry() : _factory(&pagedom::BuiltinDocumentTypes::create)
{
    setJSPVersion(JSP_NONE);
}

DOMImpl::_Registry::~_Registry()
{
    if (_xmlDocumentType)
        _xmlDocumentType->releaseRef();
    _xmlDocumentType = nullptr;
    delete _dynamicDataManager;
    _dynamicDataManager = nullptr;
    _releaseTables();
}

void DOMImpl::_Registry::_releaseTables()
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    for (auto& entry : _versions) {
        Table* table = entry.second.table;
        if (!table)
            continue;
        for (auto& item : *table)
            if (item.second)
                item.second->releaseRef();
        delete table;
        entry.second.table = nullptr;
    }
}

pagedom::DocumentTypeFactory DOMImpl::_Registry::setDocumentTypeFactory(pagedom::DocumentTypeFactory factory)
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    pagedom::DocumentTypeFactory old = _factory;
    _factory = factory;
    return old;
}

DOMImpl::JSPVersion DOMImpl::_Registry::getJSPVersion() const
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    return _current ? _current->version : JSP_NONE;
}

void DOMImpl::_Registry::setJSPVersion(JSPVersion version)
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    if (_current && _current->version == version)
        return;
    auto it = _versions.find(version);
    if (it == _versions.end()) {
        VersionEntry entry;
        entry.version = version;
        it = _versions.emplace(version, entry).first;
    }
    _current = &it->second;
}

// Finds a name in a table, asking the factory once per name and version.
DocumentType* DOMImpl::_Registry::_lookup(Table& table, const std::string& lowerName)
{
    auto it = table.find(lowerName);
    if (it != table.end())
        return it->second;
    it = table.emplace(lowerName, nullptr).first;
    DocumentType* built = _factory ? _factory(lowerName) : nullptr;
    // The factory may have caused other entries to be added; the iterator of
    // a std::map stays valid.
    it->second = built;
    return built;
}

// Merges the JSP declarations of the version (and the QRTX ones when the
// type asks for them) into a type built for that version's table.
void DOMImpl::_Registry::_complete(Table& table, DocumentType* type, JSPVersion version)
{
    const char* jspName = version == JSP_091 ? "jsp091" : "jsp10";
    DocumentType* jsp = _lookup(table, jspName);
    if (!jsp)
        return;
    if (jsp != type)
        pagedom::DeclarationBuilder::mergeDeclarations(*type, jsp);
    pagedom::DeclarationBuilder::setJSPVersion(*type, version);
    if (type->receivesQRTX()) {
        DocumentType* qrtx = _lookup(table, "qrtx");
        if (qrtx && qrtx != type)
            pagedom::DeclarationBuilder::mergeDeclarations(*type, qrtx);
    }
}

const DocumentType* DOMImpl::_Registry::getDocumentType(const std::string& name)
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    if (name.empty() || !_current)
        return nullptr;
    if (!_current->table)
        _current->table = new Table();
    Table& table = *_current->table;
    DocumentType* type = _lookup(table, pagedom::str::lower(name));
    if (!type)
        return nullptr;
    JSPVersion version = _current->version;
    if (type->getJSPVersion() == version)
        return type;
    if (version == JSP_091 || version == JSP_10)
        _complete(table, type, version);
    return type;
}

const DocumentType* DOMImpl::_Registry::getXMLDocumentType()
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    if (!_xmlDocumentType && _factory)
        _xmlDocumentType = _factory("xml");
    return _xmlDocumentType;
}

const JavaTypeLookupIF* DOMImpl::_Registry::getJavaTypeLookupIF() const
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    return _javaTypeLookup;
}

void DOMImpl::_Registry::setJavaTypeLookupIF(const JavaTypeLookupIF* lookup)
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    _javaTypeLookup = lookup;
}

DynamicDataManager* DOMImpl::_Registry::getDynamicDataManager()
{
    std::lock_guard<std::recursive_mutex> guard(_lock);
    if (!_dynamicDataManager)
        _dynamicDataManager = new DynamicDataManager();
    return _dynamicDataManager;
}

// --- DOMImpl --------------------------------------------------------------------

DOMImpl::_Registry* DOMImpl::_registry()
{
    static _Registry registry;
    return &registry;
}

void DOMImpl::_installServices()
{
    // Built once, on whichever thread gets here first; they live until the
    // process ends, as the registry does.
    static const bool installed = [] {
        static pagedom::HTMLPageReader htmlReader;
        static pagedom::XMLPageReader xmlReader;
        static pagedom::SourceFormatter formatter;
        static pagedom::TreeAdjuster adjuster;
        static pagedom::HTMLCorrector corrector;
        pagedom::DocumentTypeSource::install(_registry());
        pagedom::PageReader::install(pagedom::PageReader::HTML_PAGE, &htmlReader);
        pagedom::PageReader::install(pagedom::PageReader::XML_PAGE, &xmlReader);
        pagedom::SubtreeFormatter::install(&formatter);
        pagedom::ChangeRecorder::install(&pagedom::ChangeRecord::make);
        pagedom::NodeAdjuster::install(&adjuster);
        pagedom::NodeCorrector::install(&corrector);
        return true;
    }();
    (void)installed;
}

Document* DOMImpl::createDocument(const std::string& name)
{
    _installServices();
    Document* document = new Document(name, nullptr);
    document->addRef();
    return document;
}

Document* DOMImpl::createDocument(const std::string& name, const DocumentType* type)
{
    _installServices();
    Document* document = new Document(name, type);
    document->addRef();
    return document;
}

Document* DOMImpl::createDocument(const std::string& name, JSPVersion version)
{
    // The switch to version and back happens under the registry's lock, so
    // that documents made on other threads meanwhile never see it.
    std::unique_lock<std::recursive_mutex> held = _registry()->hold();
    JSPVersion previous = getJSPVersion();
    if (previous == version)
        return createDocument(name);
    setJSPVersion(version);
    Document* document = createDocument(name);
    setJSPVersion(previous);
    return document;
}

DocumentType* DOMImpl::createDocumentType(const std::string& name)
{
    DocumentType* type = new DocumentType(nullptr, name);
    type->addRef();
    return type;
}

const DocumentType* DOMImpl::getDocumentType(const std::string& name)
{
    return _registry()->getDocumentType(name);
}

const DocumentType* DOMImpl::getXMLDocumentType()
{
    return _registry()->getXMLDocumentType();
}

DOMImpl::JSPVersion DOMImpl::getJSPVersion()
{
    return _registry()->getJSPVersion();
}

void DOMImpl::setJSPVersion(JSPVersion version)
{
    _registry()->setJSPVersion(version);
}

const JavaTypeLookupIF* DOMImpl::getJavaTypeLookupIF()
{
    return _registry()->getJavaTypeLookupIF();
}

void DOMImpl::setJavaTypeLookupIF(const JavaTypeLookupIF* lookup)
{
    _registry()->setJavaTypeLookupIF(lookup);
}

DynamicDataManager* DOMImpl::getDynamicDataManager()
{
    return _registry()->getDynamicDataManager();
}

// --- RegistryAccess ------------------------------------------------------------------

pagedom::DocumentTypeFactory pagedom::RegistryAccess::setDocumentTypeFactory(DocumentTypeFactory factory)
{
    return DOMImpl::_registry()->setDocumentTypeFactory(factory);
}

// --- DOM --------------------------------------------------------------------------

DOM* DOM::getDOM()
{
    static DOM instance;
    return &instance;
}

void DOM::deleteDocument(Document* document) const
{
    if (document)
        document->releaseRef();
}
