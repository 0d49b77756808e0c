// The reader of DTD text in the SGML style of the HTML 4.0 DTDs.
#ifndef PAGEDOM_DOCTYPE_DTDPARSER_H
#define PAGEDOM_DOCTYPE_DTDPARSER_H

#include <string>
#include <vector>

#include "base/Parser.h"

class AttrType;
class DocumentType;
class NamedNodeMap;
class Node;

// Reads DTD text in the SGML style of the HTML 4.0 DTDs (tag-omission flags,
// inclusion and exclusion exceptions, CDATA entities, marked sections) into a
// document type: element types, attribute lists and general entities.
//
// The grammar is forgiving: a declaration that does not fit is dropped where
// it fails and reading goes on with the following tokens.  Only a reference
// to an undefined parameter entity ends the whole parse; what was read
// before it stays in the document type.  Parameter entities live in the
// parser's own map and never enter the document type; the first declaration
// of a name wins.  Notation and other declarations are passed over.
class DTDParser : public Parser {
public:
    // The element-name and element-flag lookups through which a declared
    // element gets its element id and flag word; the library's ElementTable
    // unless others are installed.
    using ElementIDLookup = int (*)(const std::string& name);
    using ElementFlagLookup = unsigned long (*)(int elementID);

    DTDParser(DocumentType* documentType, const std::string& text);
    ~DTDParser() override;

    // Reads the text to its end.  Returns false when an undefined
    // parameter-entity reference ended the parse early.
    bool parse();

    // Installs other element lookups (process-wide); a null lookup restores
    // the ElementTable one.
    static void _setElementTables(ElementIDLookup idLookup, ElementFlagLookup flagLookup);

private:
    DTDParser(DocumentType* documentType, const std::string& text, NamedNodeMap* map);

    // Token access that passes over comments.
    unsigned long _next();
    unsigned long _peek();
    std::string _peekText();
    // Gives the failing token back (so that a keyword or an undefined
    // reference is seen by the main loop) and reports failure.
    bool _fail();

    bool _parseNameOrGroup(std::vector<std::string>& names);
    bool _parseGroupMembers(std::vector<std::string>& members, bool allowStar);
    bool _parseElement();
    bool _parseAttList();
    bool _parseAttrDefinition(AttrType* type);
    bool _parseExternalID(std::string& value, std::string& publicID, std::string& systemID);
    bool _parseEntity();
    bool _parseMarkedSection();
    void _skipIgnoredSection();

    DocumentType* _documentType;
    NamedNodeMap* _parameterEntities;
    std::vector<Node*> _parameterEntityNodes;  // one reference each
    unsigned long _includeDepth;
};

#endif
