#include "doctype/BuiltinDocumentTypes.h"

#include "doctype/DocumentType.h"

DocumentType* BuiltinDocumentTypes::create(const std::string&)
{
    // No document type is compiled in yet: every name is unknown.
    return nullptr;
}
