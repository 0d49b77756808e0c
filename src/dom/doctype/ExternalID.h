// Writing the PUBLIC or SYSTEM identifiers of entity and notation
// declarations.
#ifndef PAGEDOM_DOCTYPE_EXTERNALID_H
#define PAGEDOM_DOCTYPE_EXTERNALID_H

#include <string>

namespace pagedom {

// Appends the PUBLIC or SYSTEM part of an entity or notation declaration.
// Returns false when neither identifier is present.
inline bool appendExternalID(std::string& out, const std::string& publicID, const std::string& systemID)
{
    if (!publicID.empty()) {
        out += " PUBLIC \"" + publicID + "\"";
        if (!systemID.empty())
            out += " \"" + systemID + "\"";
        return true;
    }
    if (!systemID.empty()) {
        out += " SYSTEM \"" + systemID + "\"";
        return true;
    }
    return false;
}

} // namespace pagedom

#endif
