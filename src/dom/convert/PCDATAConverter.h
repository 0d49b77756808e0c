// The character-reference converter: character data between its source,
// data and text forms, with the entities of document types.
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

    // The data form of source: references become their data (an entity's
    // replacement data, a numeric reference's escape), markup characters
    // become escapes, and an '&' that starts no known reference stays a
    // character.
    std::string convertSourceToData(const std::string& source) const;
    // The source form of data: every escape becomes a reference.
    std::string convertDataToSource(const std::string& data) const;
    // The source form of text: the markup characters become references, and
    // under code page 1252 the euro byte becomes its numeric reference.
    std::string convertTextToSource(const std::string& text) const;
    // The text form of source: entity references become their values' text,
    // numeric references their bytes ('?' where the code page has none).
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
