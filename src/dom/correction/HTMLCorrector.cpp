// The repairs the HTML document offers its host.
#include "correction/HTMLCorrector.h"

#include "correction/HTMLAdaptor.h"
#include "correction/HTMLCorrectionPass.h"
#include "correction/VXMLCorrectionPass.h"

namespace pagedom {

Node* HTMLCorrector::adaptHTML(Document& document, Node* node)
{
    return HTMLAdaptor::adapt(document, node);
}

bool HTMLCorrector::correctHTML(Document& document, Node* start)
{
    return HTMLCorrectionPass(document, start).run();
}

bool HTMLCorrector::correctVXML(Document& document, Node* start)
{
    return VXMLCorrectionPass(document, start).run();
}

} // namespace pagedom
