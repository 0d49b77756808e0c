#ifndef PAGEDOM_CONVERT_PCDATACONVERTER_H
#define PAGEDOM_CONVERT_PCDATACONVERTER_H

#include <string>

#include "base/PCDATA.h"

class Document;
class DocumentType;
class Entity;

// Converts character data between its three forms:
//   source  page text as written, with entity and numeric references;
//   data    the data form (see PCDATA);
//   text    what the user sees and types: plain bytes in the host's code
//           page, every character value turned into one byte where the code
//           page has one.
//
// Entity names come from a secondary document type (a document's own
// DOCTYPE declarations) first and then from the primary one (the document's
// registered type, by default the XML document type).  Without any document
// type only numeric references are read and written.
//
// The converter is a small value: it holds the document types without
// references, so it must not outlive them.
class PCDATAConverter : public PCDATA {
public:
    // The primary document type is the XML document type.
    PCDATAConverter();
    // A null type is replaced by the XML document type.
    explicit PCDATAConverter(const DocumentType* documentType);
    // The document's registered type; for a document that is not an HTML
    // document, also the declarations of its DOCTYPE node.  (Defined with
    // Document, which the converter's own layer does not know.)
    explicit PCDATAConverter(const Document* document);

    std::string convertSourceToData(const std::string& source) const;
    std::string convertDataToSource(const std::string& data) const;
    std::string convertTextToSource(const std::string& text) const;
    std::string convertSourceToText(const std::string& source) const;

    // The reference for one value: the entity name when one is registered
    // for the value and numeric is false, else a decimal numeric reference.
    // Empty for 0.
    std::string convertCharValueToSource(unsigned long value, bool numeric) const;
    // Rewrites the references of a source text in one form: bare double
    // quotes, '<', '>' and '&' become references; numeric references and
    // entity references to the four markup characters are rewritten by
    // convertCharValueToSource; other entity references stay as written.
    std::string convertCharValueOfSource(const std::string& source, bool numeric) const;

private:
    const Entity* _getEntity(const std::string& name) const;
    const Entity* _getEntity(unsigned long value) const;
    void _initDocumentType();

    void _sourceToText(const std::string& source, std::string& out, unsigned depth,
                       unsigned long& expansions) const;

    const DocumentType* _documentType;
    const DocumentType* _secondaryType;
};

#endif
