// The document-type internals that layers above reach without being friends
// of DocumentType: an internal header, never part of the public surface.
#ifndef PAGEDOM_DOCTYPE_DOCUMENTTYPEACCESS_H
#define PAGEDOM_DOCTYPE_DOCUMENTTYPEACCESS_H

#include <string>

#include "doctype/DocumentType.h"
#include "doctype/ElementType.h"

namespace pagedom {

// The two steps of DocumentType::getElementType, for a reader that
// remembers the first across pages (see TagNames).
struct DocumentTypeAccess {
    // The declaration stored under name, compared ignoring case.
    static const ElementType* storedElementType(const DocumentType& type, const std::string& name)
    {
        return type._storedElementType(name);
    }
    // The one of stored and its case twin that name means.
    static const ElementType* caseTwinMeant(const ElementType* stored, const std::string& name)
    {
        if (stored) {
            const ElementType* twin = stored->getCaseTwin();
            if (twin && twin->getName() == name)
                return twin;
        }
        return stored;
    }
    // Renewed by every change of the declarations stored by name, and
    // unique over all document types.
    static unsigned long elementTypesGeneration(const DocumentType& type) { return type._elementTypesGeneration(); }
};

} // namespace pagedom

#endif
