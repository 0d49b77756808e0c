// The DTD reader: element, attribute-list and entity declarations, marked
// sections and parameter entities, read forgivingly into a document type.
#include "doctype/DTDParser.h"

#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DTDLexer.h"
#include "doctype/DeclarationBuilder.h"
#include "doctype/DocumentType.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "doctype/Entity.h"
#include "node/NamedNodeMap.h"

using pagedom::DeclarationBuilder;

namespace {

DTDParser::ElementIDLookup g_elementIDLookup = &ElementTable::getElementID;
DTDParser::ElementFlagLookup g_elementFlagLookup = &ElementTable::getElementFlags;

constexpr unsigned long MAX_CODE_POINT = 0x10FFFF;

// The code point of a literal that is one numeric character reference
// ("&#160;" or "&#xA0;"), else 0.
unsigned long charValueOf(const std::string& literal)
{
    std::string::size_type n = literal.length();
    if (n < 4 || literal[0] != '&' || literal[1] != '#' || literal[n - 1] != ';')
        return 0;
    std::string::size_type i = 2;
    unsigned long base = 10;
    if (literal[i] == 'x' || literal[i] == 'X') {
        base = 16;
        ++i;
    }
    if (i == n - 1)
        return 0;
    unsigned long value = 0;
    for (; i < n - 1; ++i) {
        char c = literal[i];
        unsigned long digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned long>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned long>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned long>(c - 'A' + 10);
        else
            return 0;
        value = value * base + digit;
        if (value > MAX_CODE_POINT)
            return 0;
    }
    return value;
}

struct ValueKeyword {
    const char* word;
    AttrType::ValueType type;
};

// Declared-value keywords; NAME and NAMES are read as NMTOKEN and NMTOKENS.
const ValueKeyword VALUE_KEYWORDS[] = {
    {"CDATA", AttrType::CDATA_TYPE},       {"ID", AttrType::ID_TYPE},
    {"IDREF", AttrType::IDREF_TYPE},       {"IDREFS", AttrType::IDREFS_TYPE},
    {"ENTITY", AttrType::ENTITY_TYPE},     {"ENTITIES", AttrType::ENTITIES_TYPE},
    {"NMTOKEN", AttrType::NMTOKEN_TYPE},   {"NMTOKENS", AttrType::NMTOKENS_TYPE},
    {"NOTATION", AttrType::NOTATION_TYPE}, {"NUMBER", AttrType::NUMBER_TYPE},
    {"URI", AttrType::URI_TYPE},           {"COLOR", AttrType::COLOR_TYPE},
    {"EVENT", AttrType::EVENT_TYPE},       {"NAME", AttrType::NMTOKEN_TYPE},
    {"NAMES", AttrType::NMTOKENS_TYPE}};

AttrType::ValueType valueTypeOf(const std::string& word)
{
    for (const ValueKeyword& keyword : VALUE_KEYWORDS) {
        if (word == keyword.word)
            return keyword.type;
    }
    return AttrType::CDATA_TYPE;
}

bool isConnector(unsigned long kind)
{
    return kind == Lexer::TOKEN_BAR || kind == Lexer::TOKEN_COMMA || kind == Lexer::TOKEN_AMP;
}

} // namespace

void DTDParser::_setElementTables(ElementIDLookup idLookup, ElementFlagLookup flagLookup)
{
    g_elementIDLookup = idLookup ? idLookup : &ElementTable::getElementID;
    g_elementFlagLookup = flagLookup ? flagLookup : &ElementTable::getElementFlags;
}

DTDParser::DTDParser(DocumentType* documentType, const std::string& text)
    : DTDParser(documentType, text, new NamedNodeMap())
{
}

DTDParser::DTDParser(DocumentType* documentType, const std::string& text, NamedNodeMap* map)
    : Parser(new DTDLexer(text, map)), _documentType(documentType),
      _parameterEntities(map), _includeDepth(0)
{
}

DTDParser::~DTDParser()
{
    delete _parameterEntities;
    for (Node* entity : _parameterEntityNodes)
        entity->releaseRef();
}

unsigned long DTDParser::_next()
{
    unsigned long kind;
    while ((kind = nextToken()) == Lexer::TOKEN_COMMENT) {
    }
    return kind;
}

unsigned long DTDParser::_peek()
{
    unsigned long i = 0;
    while (peekKind(i) == Lexer::TOKEN_COMMENT)
        ++i;
    return peekKind(i);
}

std::string DTDParser::_peekText()
{
    unsigned long i = 0;
    while (peekKind(i) == Lexer::TOKEN_COMMENT)
        ++i;
    return tokenText(peekToken(i));
}

bool DTDParser::_fail()
{
    pushBack();
    return false;
}

bool DTDParser::parse()
{
    if (!_documentType)
        return true;
    for (;;) {
        switch (nextToken()) {
        case Lexer::TOKEN_EOF:
            return true;
        case DTDLexer::TOKEN_UNDEFINED_REFERENCE:
            return false;
        case DTDLexer::TOKEN_ELEMENT_DECL:
            _parseElement();
            break;
        case DTDLexer::TOKEN_ATTLIST_DECL:
            _parseAttList();
            break;
        case DTDLexer::TOKEN_ENTITY_DECL:
            _parseEntity();
            break;
        case DTDLexer::TOKEN_MARKED_SECTION:
            _parseMarkedSection();
            break;
        case Lexer::TOKEN_RBRACKET:
            // "]]>" closes the innermost included section.
            if (_includeDepth > 0 && accept(Lexer::TOKEN_RBRACKET)) {
                accept(Lexer::TOKEN_GT);
                --_includeDepth;
            }
            break;
        case Lexer::TOKEN_NAME:
            // A public identifier outside a declaration is passed over whole.
            if (tokenText() == "PUBLIC") {
                unsigned long kind = peekKind();
                if (kind != Lexer::TOKEN_EOF && kind != DTDLexer::TOKEN_UNDEFINED_REFERENCE)
                    nextToken();
            }
            break;
        default:
            break;
        }
    }
}

// A name, or a parenthesised group of names.
bool DTDParser::_parseNameOrGroup(std::vector<std::string>& names)
{
    unsigned long kind = _next();
    if (kind == Lexer::TOKEN_NAME) {
        names.push_back(tokenText());
        return true;
    }
    if (kind != Lexer::TOKEN_LPAREN)
        return _fail();
    return _parseGroupMembers(names, false);
}

// After '(': members separated by connectors, up to ')'.  Attribute value
// groups also take "CDATA" and '*' members.
bool DTDParser::_parseGroupMembers(std::vector<std::string>& members, bool valueGroup)
{
    for (;;) {
        unsigned long kind = _next();
        if (kind == Lexer::TOKEN_NAME
            || (valueGroup && (kind == DTDLexer::TOKEN_CDATA_NAME || kind == Lexer::TOKEN_STAR)))
            members.push_back(tokenText());
        else
            return _fail();
        kind = _next();
        if (kind == Lexer::TOKEN_RPAREN)
            return true;
        if (!isConnector(kind))
            return _fail();
    }
}

// <!ELEMENT name-or-group omission omission model >
bool DTDParser::_parseElement()
{
    std::vector<std::string> names;
    if (!_parseNameOrGroup(names))
        return false;

    // "- -" 3, "- O" 0, "O O" 2; "O -" is refused.
    ElementType::OmitType omit;
    unsigned long kind = _next();
    if (kind == Lexer::TOKEN_MINUS)
        omit = ElementType::OMIT_END_TAG;
    else if (kind == Lexer::TOKEN_NAME && tokenText() == "O")
        omit = ElementType::OMIT_BOTH_TAGS;
    else
        return _fail();
    kind = _next();
    if (kind == Lexer::TOKEN_MINUS) {
        if (omit != ElementType::OMIT_END_TAG)
            return _fail();
        omit = ElementType::OMIT_NO_TAG;
    } else if (!(kind == Lexer::TOKEN_NAME && tokenText() == "O")) {
        return _fail();
    }

    // The model is the text of every token up to '>', comments left out.
    std::string model;
    unsigned long copied = Lexer::NOT_FOUND;
    for (;;) {
        kind = nextToken();
        if (kind == Lexer::TOKEN_GT)
            break;
        if (kind == Lexer::TOKEN_EOF || kind == DTDLexer::TOKEN_UNDEFINED_REFERENCE)
            return _fail();
        const Lexer::Token* token = getToken();
        if (kind == Lexer::TOKEN_COMMENT) {
            if (copied != Lexer::NOT_FOUND) {
                model += ' ';
                copied = token->end;
            }
            continue;
        }
        if (copied == Lexer::NOT_FOUND)
            copied = token->start;
        model.append(_source, copied, token->end - copied);
        copied = token->end;
    }

    for (const std::string& name : names) {
        ElementType* type = DeclarationBuilder::createElementType(*_documentType, name);
        DeclarationBuilder::setOmitType(*type, omit);
        DeclarationBuilder::setContentModel(*type, model);
        int id = g_elementIDLookup(name);
        DeclarationBuilder::setElementID(*type, id);
        DeclarationBuilder::setElementFlags(*type, g_elementFlagLookup(id));
        DeclarationBuilder::addElementType(*_documentType, type);
    }
    return true;
}

// <!ATTLIST name-or-group (name declared-value default)* >
bool DTDParser::_parseAttList()
{
    std::vector<std::string> names;
    if (!_parseNameOrGroup(names))
        return false;

    std::vector<AttrType*> types;
    bool complete = false;
    for (;;) {
        unsigned long kind = _next();
        if (kind == Lexer::TOKEN_GT) {
            complete = true;
            break;
        }
        if (kind != Lexer::TOKEN_NAME) {
            _fail();
            break;
        }
        AttrType* type = DeclarationBuilder::createAttrType(*_documentType, tokenText());
        types.push_back(type);
        if (!_parseAttrDefinition(type))
            break;
    }

    // The elements must be declared already; the first one names the list.
    std::vector<ElementType*> elements;
    if (complete) {
        for (const std::string& name : names) {
            if (const ElementType* element = _documentType->getElementType(name))
                elements.push_back(const_cast<ElementType*>(element));
        }
    }
    if (elements.empty()) {
        for (AttrType* type : types)
            type->releaseRef();
        return complete;
    }
    AttrTypeList* list = DeclarationBuilder::createAttrTypeList(*_documentType, elements.front()->getName());
    for (AttrType* type : types)
        DeclarationBuilder::addAttrType(*list, type);
    DeclarationBuilder::addAttrTypeList(*_documentType, list);
    for (ElementType* element : elements)
        DeclarationBuilder::setAttrTypes(*element, list);
    return true;
}

// The declared value and the default of one attribute.
bool DTDParser::_parseAttrDefinition(AttrType* type)
{
    unsigned long kind = _next();
    if (kind == Lexer::TOKEN_NAME || kind == DTDLexer::TOKEN_CDATA_NAME) {
        AttrType::ValueType valueType = valueTypeOf(tokenText());
        DeclarationBuilder::setValueType(*type, valueType);
        // NOTATION names its notations in a group.
        if (valueType == AttrType::NOTATION_TYPE && _peek() == Lexer::TOKEN_LPAREN) {
            _next();
            std::vector<std::string> members;
            if (!_parseGroupMembers(members, true))
                return false;
            DeclarationBuilder::setValues(*type, members);
        }
    } else if (kind == Lexer::TOKEN_LPAREN) {
        std::vector<std::string> members;
        if (!_parseGroupMembers(members, true))
            return false;
        DeclarationBuilder::setValueType(*type, AttrType::NAME_GROUP_TYPE);
        DeclarationBuilder::setValues(*type, members);
    } else {
        return _fail();
    }

    kind = _next();
    if (kind != Lexer::TOKEN_NAME && kind != DTDLexer::TOKEN_LITERAL
        && kind != DTDLexer::TOKEN_CDATA_NAME)
        return _fail();
    std::string text = tokenText();
    if (kind == DTDLexer::TOKEN_LITERAL) {
        DeclarationBuilder::setDefaultType(*type, AttrType::VALUE_DEFAULT);
        DeclarationBuilder::setDefaultValue(*type, text);
    } else if (text == "#FIXED") {
        kind = _next();
        if (kind != Lexer::TOKEN_NAME && kind != DTDLexer::TOKEN_LITERAL
            && kind != DTDLexer::TOKEN_CDATA_NAME)
            return _fail();
        DeclarationBuilder::setDefaultType(*type, AttrType::FIXED_DEFAULT);
        DeclarationBuilder::setDefaultValue(*type, tokenText());
    } else if (text == "#REQUIRED") {
        DeclarationBuilder::setDefaultType(*type, AttrType::REQUIRED_DEFAULT);
    } else if (text == "#IMPLIED") {
        DeclarationBuilder::setDefaultType(*type, AttrType::IMPLIED_DEFAULT);
    } else {
        DeclarationBuilder::setDefaultType(*type, AttrType::VALUE_DEFAULT);
        DeclarationBuilder::setDefaultValue(*type, text);
    }
    return true;
}

// A literal value, or SYSTEM literal, or PUBLIC literal [literal].
bool DTDParser::_parseExternalID(std::string& value, std::string& publicID,
                                 std::string& systemID)
{
    unsigned long kind = _next();
    if (kind == DTDLexer::TOKEN_LITERAL) {
        value = tokenText();
        return true;
    }
    if (kind != Lexer::TOKEN_NAME)
        return _fail();
    std::string keyword = tokenText();
    if (keyword == "SYSTEM") {
        if (_next() != DTDLexer::TOKEN_LITERAL)
            return _fail();
        systemID = tokenText();
        return true;
    }
    if (keyword == "PUBLIC") {
        if (_next() != DTDLexer::TOKEN_LITERAL)
            return _fail();
        publicID = tokenText();
        if (_peek() == DTDLexer::TOKEN_LITERAL) {
            _next();
            systemID = tokenText();
        }
        return true;
    }
    return _fail();
}

// <!ENTITY % name value >  or  <!ENTITY name [CDATA] value [NDATA name] >
bool DTDParser::_parseEntity()
{
    unsigned long kind = _next();
    bool parameter = kind == Lexer::TOKEN_PERCENT;
    if (parameter)
        kind = _next();
    if (kind != Lexer::TOKEN_NAME)
        return _fail();
    std::string name = tokenText();

    if (!parameter && _peek() == DTDLexer::TOKEN_CDATA_NAME)
        _next();
    std::string value, publicID, systemID, notation;
    if (!_parseExternalID(value, publicID, systemID))
        return false;
    if (!parameter && _peek() == Lexer::TOKEN_NAME && _peekText() == "NDATA") {
        _next();
        if (_next() != Lexer::TOKEN_NAME)
            return _fail();
        notation = tokenText();
    }
    // The closing '>' is read before the entity is made, and nothing after
    // it: a reference that follows must see the new entity.
    if (_next() != Lexer::TOKEN_GT)
        return _fail();

    if (parameter) {
        if (_parameterEntities->getNamedItem(name))
            return true;
        std::string::size_type slash = value.find('\\');
        if (slash != std::string::npos) {
            std::string::size_type out = slash;
            for (std::string::size_type i = slash; i < value.length(); ++i) {
                if (value[i] != '\\')
                    value[out++] = value[i];
            }
            value.resize(out);
        }
        Entity* entity = DeclarationBuilder::createEntity(*_documentType, name);
        entity->setNodeValue(value);
        DeclarationBuilder::setPublicID(*entity, publicID);
        DeclarationBuilder::setSystemID(*entity, systemID);
        _parameterEntityNodes.push_back(entity);
        _parameterEntities->setNamedItem(entity);
        return true;
    }

    Entity* entity = DeclarationBuilder::createEntity(*_documentType, name);
    entity->setNodeValue(value);
    DeclarationBuilder::setCharValue(*entity, charValueOf(value));
    DeclarationBuilder::setPublicID(*entity, publicID);
    DeclarationBuilder::setSystemID(*entity, systemID);
    DeclarationBuilder::setNotationName(*entity, notation);
    DeclarationBuilder::addEntity(*_documentType, entity);
    return true;
}

// After "<!": '[' keyword '['.  INCLUDE sections are read by the main loop,
// which closes them at "]]>"; IGNORE sections are skipped here.
bool DTDParser::_parseMarkedSection()
{
    if (_next() != Lexer::TOKEN_LBRACKET)
        return _fail();
    if (_next() != Lexer::TOKEN_NAME)
        return _fail();
    std::string keyword = tokenText();
    if (keyword != "INCLUDE" && keyword != "IGNORE")
        return _fail();
    if (_next() != Lexer::TOKEN_LBRACKET)
        return _fail();
    if (keyword == "INCLUDE")
        ++_includeDepth;
    else
        _skipIgnoredSection();
    return true;
}

// Skips to the "]]>" that closes the section, counting nested "<![" and
// "]]>".  Nothing inside is read, not even an undefined reference.
void DTDParser::_skipIgnoredSection()
{
    unsigned long level = 1;
    for (;;) {
        unsigned long kind = nextToken();
        if (kind == Lexer::TOKEN_EOF) {
            pushBack();
            return;
        }
        if (kind == Lexer::TOKEN_LT && peekKind() == DTDLexer::TOKEN_MARKED_SECTION) {
            ++level;
        } else if (kind == Lexer::TOKEN_RBRACKET && peekKind() == Lexer::TOKEN_RBRACKET) {
            nextToken();
            if (--level == 0) {
                accept(Lexer::TOKEN_GT);
                return;
            }
        }
    }
}
