// The repairs the HTML document offers its host.
#ifndef PAGEDOM_CORRECTION_HTMLCORRECTOR_H
#define PAGEDOM_CORRECTION_HTMLCORRECTOR_H

#include "tree/NodeCorrector.h"

namespace pagedom {

// What the library frame installs for Document::adaptNode and
// Document::correctError: the HTML adaptation (HTMLAdaptor), the HTML
// correction pass (HTMLCorrectionPass) and, for VoiceXML documents, the
// VoiceXML one (VXMLCorrectionPass).  It keeps no state, so one object
// serves every document on every thread.
class HTMLCorrector : public NodeCorrector {
public:
    Node* adaptHTML(Document& document, Node* node) override;
    bool correctHTML(Document& document, Node* start) override;
    bool correctVXML(Document& document, Node* start) override;
};

} // namespace pagedom

#endif
