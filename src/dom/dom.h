#ifndef PAGEDOM_DOM_H
#define PAGEDOM_DOM_H

// The umbrella header a host includes: every exported class of pagedom.
//
// Build with -I<pagedom>/src/dom -I<pagedom>/src and link libpagedom.

#include "frame/DOMImpl.h"

#include "tree/Node.h"
#include "tree/NodeAllocator.h"
#include "tree/NodeList.h"
#include "tree/NamedNodeMap.h"
#include "tree/ContainerNode.h"
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

#include "doctype/ContentModel.h"
#include "doctype/ElementType.h"
#include "doctype/AttrType.h"
#include "doctype/AttrTypeList.h"
#include "doctype/DOMStringType.h"
#include "doctype/DocumentType.h"
#include "doctype/Entity.h"
#include "doctype/Notation.h"

#include "reading/Scanner.h"
#include "writing/PCDATAConverter.h"

#include "editing/EventTarget.h"
#include "metadata/MetaData.h"
#include "dynamic/JavaTypeLookupIF.h"
#include "dynamic/DynamicDataManager.h"

#endif
