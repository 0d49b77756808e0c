// The repairs the HTML document offers its host.
#include "correction/HTMLCorrector.h"

#include "correction/HTMLAdaptor.h"
#include "correction/HTMLCorrectionPass.h"

namespace pagedom {

Node* HTMLCorrector::adaptHTML(Document& document, Node* node)
{
    return HTMLAdaptor::adapt(document, node);
}

bool HTMLCorrector::correctHTML(Document& document, Node* start)
{
    return HTMLCorrectionPass(document, start).run();
}

} // namespace pagedom
