#include "tree/ProcessingInstruction.h"

#include "node/ChangeHooks.h"

#include "tree/Document.h"

const std::string ProcessingInstruction::OPEN_TAG = "<?";
const std::string ProcessingInstruction::CLOSE_TAG = "?>";

ProcessingInstruction::ProcessingInstruction(Document* ownerDocument, const std::string& target,
                                             const std::string& data)
    : Node(ownerDocument, target), _data(data)
{
}

std::string ProcessingInstruction::getNodeName() const
{
    return _name();
}

unsigned short ProcessingInstruction::getNodeType() const
{
    return PROCESSING_INSTRUCTION_NODE;
}

Node* ProcessingInstruction::cloneNode(bool) const
{
    ProcessingInstruction* copy = new ProcessingInstruction(*this);
    copy->addRef();
    return copy;
}

bool ProcessingInstruction::isTrivialNode() const
{
    return true;
}

void ProcessingInstruction::setData(const std::string& data)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = data;
    formatSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void ProcessingInstruction::formatSource()
{
    _sourceTouched();
    _formatPending = true;
    clearErrorState(INVALID_FORMAT_ERROR);
    setUpdateState(getUpdateState() | UPDATE_CONTENT_MODIFIED);
}

void ProcessingInstruction::setSource(const std::string& source)
{
    _sourceTouched();
    _source = source;
    _formatPending = false;
}

namespace {

bool isSeparator(char c)
{
    return c != '\0' && std::strchr(" = ?><\r\n\t", c) != nullptr;
}

} // namespace

void ProcessingInstruction::setAttribute(const std::string& name, const std::string& value)
{
    const std::string pair = name + "=\"" + value + "\"";
    std::string data = _data;
    std::size_t i = 0;
    const std::size_t n = data.size();
    bool replaced = false;
    while (i < n && !replaced) {
        while (i < n && isSeparator(data[i]))
            ++i;
        std::size_t start = i;
        while (i < n && !isSeparator(data[i]) && data[i] != '"' && data[i] != '\'')
            ++i;
        std::string token = data.substr(start, i - start);
        // A name is followed (after optional blanks) by "=" and a value.
        std::size_t j = i;
        while (j < n && (data[j] == ' ' || data[j] == '\t' || data[j] == '\r' || data[j] == '\n'))
            ++j;
        if (j < n && data[j] == '=') {
            ++j;
            while (j < n && (data[j] == ' ' || data[j] == '\t' || data[j] == '\r' || data[j] == '\n'))
                ++j;
            std::size_t end = j;
            if (j < n && (data[j] == '"' || data[j] == '\'')) {
                std::size_t close = data.find(data[j], j + 1);
                end = close == std::string::npos ? n : close + 1;
            } else {
                while (end < n && !isSeparator(data[end]))
                    ++end;
            }
            if (token == name && !token.empty()) {
                data.replace(start, end - start, pair);
                replaced = true;
            }
            i = end;
        } else if (i == start) {
            // A quote or other byte that starts no token: step over it.
            ++i;
        }
    }
    if (!replaced) {
        if (!data.empty())
            data += ' ';
        data += pair;
    }
    setData(data);
}

std::string ProcessingInstruction::getSource() const
{
    if (_formatPending) {
        _source = OPEN_TAG + _name() + " " + _data + CLOSE_TAG;
        _formatPending = false;
    }
    return _source;
}

void ProcessingInstruction::_writeStart(std::string& out) const
{
    out += getSource();
}
