// The umbrella header a host includes: every exported class of pagedom.
// Installed, it is <pagedom/dom.h> (see the README); in the source tree,
// build with -I<pagedom>/src/dom -I<pagedom>/src and link libpagedom.
#ifndef PAGEDOM_DOM_H
#define PAGEDOM_DOM_H

#include "frame/DOMImpl.h"

#include "node/Node.h"
#include "node/NodeList.h"
#include "node/NamedNodeMap.h"
#include "node/ContainerNode.h"

#include "tree/DocumentFragment.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/Attr.h"
#include "tree/CharacterData.h"
#include "tree/Text.h"
#include "tree/Comment.h"
#include "tree/CDATASection.h"
#include "tree/ProcessingInstruction.h"
#include "tree/EntityReference.h"
#include "tree/EventTarget.h"
#include "tree/DesignerObject.h"
#include "tree/DynamicData.h"
#include "tree/MetaData.h"
#include "tree/Range.h"

#include "correction/ErrorCorrector.h"
#include "correction/VXMLErrorCorrector.h"

#include "doctype/ContentModel.h"
#include "doctype/ElementTable.h"
#include "doctype/ElementType.h"
#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DOMStringType.h"
#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "doctype/Notation.h"

#include "base/Scanner.h"
#include "convert/PCDATAConverter.h"

#include "dynamic/JavaTypeLookupIF.h"
#include "dynamic/DynamicDataManager.h"

#endif
