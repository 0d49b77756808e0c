#ifndef PAGEDOM_FRAME_DOMIMPL_H
#define PAGEDOM_FRAME_DOMIMPL_H

#include <map>
#include <string>

class Document;
class DocumentType;
class DynamicDataManager;
class JavaTypeLookupIF;

// The static entry point of the library.  DOMImpl has no state of its own:
// everything kept between documents lives in one process-wide registry.
class DOMImpl {
public:
    enum JSPVersion : unsigned int {
        JSP_NONE = 0,
        JSP_091 = 91,
        JSP_10 = 100
    };

    enum MWVersion : unsigned int {
        MW_NONE = 0,
        MW_100 = 100
    };

    // Source formatting options, changed in place through getFormatOption().
    class FormatOption {
    public:
        enum CaseType : unsigned int {
            CASE_UPPER = 0,
            CASE_LOWER = 1,
            CASE_AS_IS = 2
        };

        unsigned long getIndent() const { return _indent; }
        void setIndent(unsigned long indent) { _indent = indent; }
        unsigned long getColumnLimit() const { return _columnLimit; }
        void setColumnLimit(unsigned long limit) { _columnLimit = limit; }
        CaseType getTagNameCaseType() const { return _tagNameCase; }
        void setTagNameCaseType(CaseType type) { _tagNameCase = type; }
        CaseType getAttrNameCaseType() const { return _attrNameCase; }
        void setAttrNameCaseType(CaseType type) { _attrNameCase = type; }
        CaseType getAttrValueCaseType() const { return _attrValueCase; }
        void setAttrValueCaseType(CaseType type) { _attrValueCase = type; }

    private:
        unsigned long _indent = 2;
        unsigned long _columnLimit = 70;
        CaseType _tagNameCase = CASE_AS_IS;
        CaseType _attrNameCase = CASE_AS_IS;
        CaseType _attrValueCase = CASE_AS_IS;
    };

    // Builds a document type from a lower-cased name, or returns null.
    using DocumentTypeFactory = DocumentType* (*)(const std::string& lowerName);

    class _Registry {
    public:
        _Registry();
        ~_Registry();

        const DocumentType* getDocumentType(const std::string& name);
        const DocumentType* getXMLDocumentType();
        FormatOption* getFormatOption() { return &_formatOption; }
        int getCodePage() const { return _codePage; }
        void setCodePage(int codePage) { _codePage = codePage; }
        JSPVersion getJSPVersion() const;
        void setJSPVersion(JSPVersion version);
        MWVersion getMWVersion() const { return _mwVersion; }
        void setMWVersion(MWVersion version) { _mwVersion = version; }
        const JavaTypeLookupIF* getJavaTypeLookupIF() const { return _javaTypeLookup; }
        void setJavaTypeLookupIF(const JavaTypeLookupIF* lookup) { _javaTypeLookup = lookup; }
        DynamicDataManager* getDynamicDataManager();

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

        DocumentType* _xmlDocumentType = nullptr;
        int _codePage = 0;
        VersionEntry* _current = nullptr;
        std::map<JSPVersion, VersionEntry> _versions;
        const JavaTypeLookupIF* _javaTypeLookup = nullptr;
        DynamicDataManager* _dynamicDataManager = nullptr;
        MWVersion _mwVersion = MW_NONE;
        FormatOption _formatOption;
        DocumentTypeFactory _factory;
    };

    DOMImpl() {}
    DOMImpl& operator=(const DOMImpl&) { return *this; }

    static Document* createDocument(const std::string& name);
    static Document* createDocument(const std::string& name, const DocumentType* type);
    static Document* createDocument(const std::string& name, JSPVersion version);
    static DocumentType* createDocumentType(const std::string& name);
    static const DocumentType* getDocumentType(const std::string& name);
    static const DocumentType* getXMLDocumentType();
    static FormatOption* getFormatOption();
    static int getCodePage();
    static void setCodePage(int codePage);
    static JSPVersion getJSPVersion();
    static void setJSPVersion(JSPVersion version);
    static MWVersion getMWVersion();
    static void setMWVersion(MWVersion version);
    static const JavaTypeLookupIF* getJavaTypeLookupIF();
    static void setJavaTypeLookupIF(const JavaTypeLookupIF* lookup);
    static DynamicDataManager* getDynamicDataManager();

    // Replaces the document-type factory (the built-in one by default) and
    // returns the previous one; tables already built are kept.
    static DocumentTypeFactory _setDocumentTypeFactory(DocumentTypeFactory factory);

private:
    static _Registry* _registry();
};

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
