// The comment node and how its source is produced in the HTML and the JSP
// form.
#include "tree/Comment.h"

#include "node/ChangeHooks.h"
#include "tree/Document.h"

const std::string Comment::NODE_NAME = "#comment";
const std::string Comment::OPEN_TAG = "<!--";
const std::string Comment::CLOSE_TAG = "-->";
const std::string Comment::JSP_OPEN_TAG = "<%--";
const std::string Comment::JSP_CLOSE_TAG = "--%>";
const std::string Comment::DECL_KEY = "--";

Comment::Comment(Document* ownerDocument, const std::string& data)
    : CharacterData(ownerDocument, data)
{
}

std::string Comment::getNodeName() const
{
    return NODE_NAME;
}

unsigned short Comment::getNodeType() const
{
    return COMMENT_NODE;
}

Node* Comment::cloneNode(bool) const
{
    Comment* copy = new Comment(*this);
    copy->addRef();
    return copy;
}

bool Comment::isTrivialNode() const
{
    return true;
}

void Comment::setData(const std::string& data)
{
    _setDataAnnounced(data);
}

void Comment::formatSource()
{
    pagedom::ChangeHooks::announceBeginModify(this);
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void Comment::_regenerateSource()
{
    _sourceTouched();
    _formatPending = true;
    clearErrorState(INVALID_FORMAT_ERROR);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
}

void Comment::setJSPFormat(bool on)
{
    if (_jspFormat == on)
        return;
    pagedom::ChangeHooks::announceBeginModify(this);
    _jspFormat = on;
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void Comment::setSource(const std::string& source)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _source = source;
    _formatPending = false;
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

std::string Comment::makeSafeData(const std::string& data)
{
    std::string out;
    out.reserve(data.size() + 4);
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += data[i];
        if (data[i] == '-' && i + 1 < data.size() && data[i + 1] == '-')
            out += ' ';
    }
    if (!out.empty() && out.back() == '-')
        out += ' ';
    return out;
}

std::string Comment::getSource() const
{
    return _producedSource();
}

const std::string& Comment::_producedSource() const
{
    if (_formatPending) {
        if (_jspFormat) {
            _source = JSP_OPEN_TAG + _data.str() + JSP_CLOSE_TAG;
        } else {
            const Document* doc = getOwnerDocument();
            bool xml = doc && doc->getFormatType() == Document::XML_FORMAT;
            _source = OPEN_TAG + (xml ? _data.str() : makeSafeData(_data.str())) + CLOSE_TAG;
        }
        _formatPending = false;
    }
    return _source;
}

void Comment::_writeStart(std::string& out) const
{
    out += _producedSource();
}

Node::WholeText Comment::_wholeText(std::string_view& text, const char*& blockEnd) const
{
    return _ownText(_producedSource(), text, blockEnd);
}
