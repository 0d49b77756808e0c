// The metadata node: its copies, the texts of its METADATA comments, and the
// state of those texts.
#include "tree/MetaData.h"

#include "tree/Comment.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/MetaDataComment.h"

const std::string MetaData::NODE_NAME = "#meta-data";

namespace {

// The line break the library writes.
const char LINE_BREAK[] = "\r\n";
const char LINE_FEED = '\n';

} // namespace

MetaData::MetaData(Document* ownerDocument) : ContainerNode(ownerDocument, std::string()) {}

MetaData::MetaData(const MetaData& other)
    : ContainerNode(other), _type(other._type), _metaStart(other._metaStart), _metaEnd(other._metaEnd),
      _runtimeData(other._runtimeData), _metaOffset(other._metaOffset), _metaLength(other._metaLength),
      _startRevised(other._startRevised), _endRevised(other._endRevised), _runtimeRevised(other._runtimeRevised),
      _scriptletLeftOpen(other._scriptletLeftOpen), _runtimeVerify(other._runtimeVerify),
      _runtimeDiffers(other._runtimeDiffers), _bare(other._bare)
{
    // The copy shares the dynamic object; a designer object is the host's
    // for one control and stays with it.
    if (other._dynamic) {
        _dynamic = other._dynamic;
        _dynamic->addRef();
    }
}

MetaData::~MetaData()
{
    _dropDynamicData();
    _setATVElement(nullptr);
}

void MetaData::_setOwnerElement(Element* element)
{
    if (_ownerElement && element && element != _ownerElement)
        _dropDynamicData();
    _ownerElement = element;
}

void* MetaData::getObject() const
{
    switch (_type) {
    case DynamicData:
        return _dynamic;
    case AuthorTimeVisual:
        return _atv;
    case DesignerControl:
        return _designer;
    default:
        return nullptr;
    }
}

void MetaData::setDynamicData(::DynamicData* dynamic)
{
    if (dynamic == _dynamic)
        return;
    if (dynamic)
        dynamic->addRef();
    _dropDynamicData();
    _dynamic = dynamic;
    _runtimeRevised = true;
    if (_ownerElement)
        _ownerElement->_sourceTouched();
}

void MetaData::setDesignerObject(DesignerObject* designer)
{
    if (designer == _designer)
        return;
    _designer = designer;
    _runtimeRevised = true;
    if (_ownerElement)
        _ownerElement->_sourceTouched();
}

void MetaData::_dropDynamicData()
{
    ::DynamicData* dynamic = _dynamic;
    _dynamic = nullptr;
    if (dynamic && dynamic->release() == 0)
        delete dynamic;
}

void MetaData::_setATVElement(Element* atv)
{
    if (atv == _atv)
        return;
    if (atv) {
        atv->addRef();
        atv->_setKeeper(this);
        if (atv->getParentNode() != this)
            _adoptIncoming(atv);
    }
    Element* old = _atv;
    _atv = atv;
    if (old) {
        old->_setKeeper(nullptr);
        old->releaseRef();
    }
}

Node* MetaData::_keeper() const
{
    return _ownerElement;
}

void MetaData::_adoptAttachments(Document* owner, std::vector<Node*>& roots)
{
    (void)owner;
    // A visual among the children is adopted with them.
    if (_atv && _atv->getParentNode() != this)
        roots.push_back(_atv);
}

std::string MetaData::getNodeName() const
{
    return NODE_NAME;
}

unsigned short MetaData::getNodeType() const
{
    return META_DATA_NODE;
}

bool MetaData::canContain(const Node* child) const
{
    return child && child->getNodeType() == ELEMENT_NODE;
}

Node* MetaData::cloneNode(bool deep) const
{
    MetaData* copy = new MetaData(*this);
    copy->addRef();
    if (deep)
        _cloneChildrenInto(copy);
    if (_atv) {
        // An author-time visual read from a page is one of the children: the
        // copy holds the copy of that child; any other is copied for it.
        Node* atv = nullptr;
        if (deep) {
            const unsigned long index = getChildIndex(_atv);
            if (index != NOT_FOUND)
                atv = copy->getChildNode(index);
        }
        if (atv && atv->getNodeType() == ELEMENT_NODE) {
            copy->_setATVElement(static_cast<Element*>(atv));
        } else {
            Element* twin = static_cast<Element*>(_atv->cloneNode(true));
            copy->_setATVElement(twin);
            twin->releaseRef();
        }
    }
    return copy;
}

// --- type and state ----------------------------------------------------------------

const std::string& MetaData::typeName(Type type)
{
    static const std::string names[] = {"DesignerControl", "DynamicData", "AuthorTimeVisual", std::string()};
    return names[type >= DesignerControl && type <= AuthorTimeVisual ? type : NONE];
}

void MetaData::setType(Type type)
{
    if (type < DesignerControl || type > NONE)
        type = NONE;
    if (type == _type)
        return;
    _type = type;
    setRevised(false);
}

void MetaData::setRevised(bool runtimeOnly)
{
    // Asked for, the comments are built anew: the kept ones go.
    _bare = false;
    if (!runtimeOnly) {
        _metaStart.clear();
        _metaEnd.clear();
    }
    _markRevised(runtimeOnly);
}

void MetaData::_markRevised(bool runtimeOnly)
{
    _runtimeRevised = true;
    if (!runtimeOnly)
        _startRevised = _endRevised = true;
    if (_ownerElement)
        _ownerElement->_sourceTouched();
}

bool MetaData::isRevised() const
{
    return _startRevised || _endRevised || _runtimeRevised || !_startKept();
}

// The kept start comment is written while the element writes what it holds
// there: an element as read does; an edited one may again after an undo.
bool MetaData::_startKept() const
{
    if (!_keptSpanValid())
        return false;
    if (!_ownerElement || _ownerElement->_isAsRead())
        return true;
    return _metaStart.compare(_metaOffset, _metaLength, getElementSource()) == 0;
}

void MetaData::setRuntimeData(const std::string& text)
{
    // Text produced for a span read from the page is checked against what
    // the page held: the document learns when its run-time text differs.
    if (_runtimeVerify && text != _runtimeData) {
        _runtimeDiffers = true;
        if (Document* doc = getOwnerDocument())
            doc->_markRuntimeTextDifferent();
    }
    _runtimeData = text;
    _runtimeRevised = false;
    _bare = false;
    if (_ownerElement)
        _ownerElement->_sourceTouched();
}

void MetaData::_setSpan(std::string start, std::string runtime, std::string end)
{
    _metaStart = std::move(start);
    _runtimeData = std::move(runtime);
    _metaEnd = std::move(end);
    _metaOffset = 0;
    _metaLength = 0;
    _markCurrent();
}

MetaData* MetaData::getAncestorMetaData() const
{
    Element* ancestor = _ownerElement ? _ownerElement->getAncestorMetaElement() : nullptr;
    return ancestor ? ancestor->getMetaData() : nullptr;
}

// A state reset reaches the visual the metadata holds; a change below the
// metadata (in its visual) is a change of the metadata of its element.
unsigned long MetaData::_prepareUpdateState(unsigned long state)
{
    if (state == UPDATE_NONE) {
        if (_type == AuthorTimeVisual && _atv && _atv->getUpdateState() != UPDATE_NONE)
            _atv->_setUpdateState(UPDATE_NONE);
        return state;
    }
    const unsigned long added = state & ~getUpdateState();
    if (_ownerElement && added == UPDATE_CHILD_MODIFIED)
        _ownerElement->_addUpdateBits(UPDATE_META_DATA_MODIFIED);
    return state;
}

// --- the comment texts --------------------------------------------------------------

bool MetaData::_jspComments() const
{
    const Document* doc = getOwnerDocument();
    return doc && doc->supportXMLFormat();
}

bool MetaData::_writesJSPForm() const
{
    // Not _startKept, which writes the element: asked while writing it.
    if (_keptSpanValid() && !_startRevised)
        return _metaStart.compare(0, Comment::JSP_OPEN_TAG.size(), Comment::JSP_OPEN_TAG) == 0;
    return _jspComments();
}

const std::string& MetaData::_commentOpen() const
{
    return _jspComments() ? Comment::JSP_OPEN_TAG : Comment::OPEN_TAG;
}

const std::string& MetaData::_commentClose() const
{
    return _jspComments() ? Comment::JSP_CLOSE_TAG : Comment::CLOSE_TAG;
}

bool MetaData::_keptSpanValid() const
{
    return !_metaStart.empty() && _metaOffset <= _metaStart.size() &&
           _metaLength <= _metaStart.size() - _metaOffset;
}

std::string MetaData::_indentation() const
{
    const Node* before = _ownerElement ? _ownerElement->getPreviousSibling() : nullptr;
    if (!before || before->getNodeType() != TEXT_NODE)
        return std::string();
    const std::string text = before->getSource();
    const std::size_t lineFeed = text.rfind(LINE_FEED);
    return lineFeed == std::string::npos ? std::string() : text.substr(lineFeed + 1);
}

std::string MetaData::getStartHead() const
{
    if (_startKept())
        return _metaStart.substr(0, _metaOffset);
    std::string head = _commentOpening(pagedom::MetaDataComment::START_SPAN);
    head += LINE_BREAK;
    head += _indentation();
    return head;
}

std::string MetaData::getElementSource() const
{
    std::string out;
    if (!_ownerElement)
        return out;
    const bool visual = _type == AuthorTimeVisual && _atv;
    if (visual)
        out += _atv->getStartTag();
    out += _ownerElement->getStartTag();
    out += _ownerElement->getChildSource();
    out += _ownerElement->getEndTag();
    if (visual)
        out += _atv->getEndTag();
    return out;
}

std::string MetaData::getStartTail() const
{
    if (_startKept())
        return _metaStart.substr(_metaOffset + _metaLength);
    return LINE_BREAK + _commentClose();
}

std::string MetaData::getEndComment() const
{
    if (!_metaEnd.empty())
        return _metaEnd;
    return _commentOpening(pagedom::MetaDataComment::END_SPAN) + _commentClose();
}

std::string MetaData::_commentOpening(const char* span) const
{
    using pagedom::MetaDataComment;
    std::string text = _commentOpen();
    text += MetaDataComment::KEYWORD;
    text += ' ';
    text += MetaDataComment::TYPE_ATTR;
    text += "=\"";
    text += typeName(_type);
    text += "\" ";
    text += span;
    return text;
}

std::uint32_t MetaData::getMetaOffset() const
{
    if (_startKept())
        return _metaOffset;
    return static_cast<std::uint32_t>(getStartHead().size());
}

std::uint32_t MetaData::getMetaLength() const
{
    if (_startKept())
        return _metaLength;
    return static_cast<std::uint32_t>(getElementSource().size());
}

void MetaData::_keepBuiltTexts()
{
    const std::string head = getStartHead();
    const std::string source = getElementSource();
    std::string start = head + source + getStartTail();
    _metaEnd = getEndComment();
    _metaStart = std::move(start);
    _metaOffset = static_cast<std::uint32_t>(head.size());
    _metaLength = static_cast<std::uint32_t>(source.size());
    _markCurrent();
}

void MetaData::_writeStart(std::string& out) const
{
    if (_ownerElement)
        return;
    out += _metaStart;
    out += _runtimeData;
    out += _metaEnd;
}
