// The document's beans and its metadata and run-time text states.
#include "tree/Document.h"

#include <map>
#include <string>

#include "doctype/ElementTable.h"
#include "tree/Element.h"
#include "tree/MetaData.h"

namespace {

// The objects every JSP page can use without declaring them, id and class.
struct ImplicitObject {
    const char* id;
    const char* className;
};
const ImplicitObject IMPLICIT_OBJECTS[] = {
    {"request", "javax.servlet.http.HttpServletRequest"},
    {"response", "javax.servlet.http.HttpServletResponse"},
    {"pageContext", "javax.servlet.jsp.PageContext"},
    {"session", "javax.servlet.http.HttpSession"},
    {"application", "javax.servlet.ServletContext"},
    {"out", "javax.servlet.jsp.JspWriter"},
    {"config", "javax.servlet.ServletConfig"},
    {"page", "java.lang.Object"},
    {"exception", "java.lang.Throwable"},
};

// The attributes a page declares its beans with: BEAN elements of JSP 0.91
// and jsp:useBean elements of the later syntax.
const char BEAN_VARNAME_ATTR[] = "VARNAME";
const char BEAN_NAME_ATTR[] = "NAME";
const char BEAN_TYPE_ATTR[] = "TYPE";
const char USE_BEAN_ID_ATTR[] = "ID";
const char USE_BEAN_TYPE_ATTR[] = "TYPE";
const char USE_BEAN_CLASS_ATTR[] = "CLASS";

// The first of two attribute values that is not empty.
std::string firstGiven(const Element* element, const char* name, const char* fallback)
{
    std::string value = element->getAttribute(name);
    return value.empty() ? element->getAttribute(fallback) : value;
}

// The list a bean-list handle refers to: the beans and the one at hand.
struct BeanCursor {
    std::map<std::string, std::string> beans;
    std::map<std::string, std::string>::const_iterator at;
};

} // namespace

void Document::addOutBoundBean(const char* id, const char* className)
{
    if (id && className)
        _outboundBeans.emplace(id, className);
}

void Document::delOutBoundBean(const char* id)
{
    if (id)
        _outboundBeans.erase(id);
}

// Insertion keeps the first record of an id: outbound beans come first,
// then the page's own in document order, then the implicit objects.
void Document::_collectBeans(std::map<std::string, std::string>& beans) const
{
    beans.insert(_outboundBeans.begin(), _outboundBeans.end());
    const bool jsp091 = getJSPVersion() == DOMOptions::JSP_091;
    const int beanID = jsp091 ? ElementTable::ID_BEAN : ElementTable::ID_JSP_USE_BEAN;
    for (Node* node = getFirstChild(); node; node = findNextNode(node, this, false, false)) {
        if (node->getNodeType() != ELEMENT_NODE)
            continue;
        const Element* element = static_cast<const Element*>(node);
        if (element->getElementID() != beanID)
            continue;
        const std::string id = jsp091 ? firstGiven(element, BEAN_VARNAME_ATTR, BEAN_NAME_ATTR)
                                      : element->getAttribute(USE_BEAN_ID_ATTR);
        const std::string className = jsp091 ? element->getAttribute(BEAN_TYPE_ATTR)
                                             : firstGiven(element, USE_BEAN_TYPE_ATTR, USE_BEAN_CLASS_ATTR);
        if (!id.empty() && !className.empty())
            beans.emplace(id, className);
    }
    if (!jsp091) {
        for (const ImplicitObject& object : IMPLICIT_OBJECTS)
            beans.emplace(object.id, object.className);
    }
}

void Document::getBeanListBegin(void*& handle) const
{
    BeanCursor* cursor = new BeanCursor;
    _collectBeans(cursor->beans);
    cursor->at = cursor->beans.begin();
    handle = cursor;
}

bool Document::getBeanListNext(void*& handle, const char*& id, const char*& className) const
{
    BeanCursor* cursor = static_cast<BeanCursor*>(handle);
    if (!cursor || cursor->at == cursor->beans.end())
        return false;
    id = cursor->at->first.c_str();
    className = cursor->at->second.c_str();
    ++cursor->at;
    return true;
}

void Document::getBeanListEnd(void*& handle) const
{
    delete static_cast<BeanCursor*>(handle);
    handle = nullptr;
}

// The page as saved is what the metadata keeps from now on: each element
// written inside its comments keeps the comments it was saved with.  Those
// inside another element's comments are written bare and are passed over.
void Document::resetMetaDataStateOnSave()
{
    Node* node = getFirstChild();
    while (node) {
        MetaData* meta = node->getNodeType() == ELEMENT_NODE ? static_cast<Element*>(node)->getMetaData() : nullptr;
        if (meta && meta->isRevised())
            meta->_keepBuiltTexts();
        node = findNextNode(node, this, false, meta != nullptr);
    }
    _metaDataRevised = false;
    _runtimeTextState = RUNTIME_TEXT_SAVED;
}
