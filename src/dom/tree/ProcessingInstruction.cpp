// The processing-instruction node: its data, pseudo-attributes and source.
#include "tree/ProcessingInstruction.h"

#include <cstring>

#include "node/ChangeHooks.h"

#include "tree/Document.h"

const std::string ProcessingInstruction::OPEN_TAG = "<?";
const std::string ProcessingInstruction::CLOSE_TAG = "?>";

ProcessingInstruction::ProcessingInstruction(Document* ownerDocument, const std::string& target,
                                             const std::string& data)
    : NamedNode(ownerDocument, target), _data(data)
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
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void ProcessingInstruction::formatSource()
{
    pagedom::ChangeHooks::announceBeginModify(this);
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

void ProcessingInstruction::_regenerateSource()
{
    _sourceTouched();
    _formatPending = true;
    clearErrorState(INVALID_FORMAT_ERROR);
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
}

void ProcessingInstruction::setSource(const std::string& source)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _source = source;
    _formatPending = false;
    _addUpdateBits(UPDATE_CONTENT_MODIFIED);
    pagedom::ChangeHooks::announceEndModify(this);
}

namespace {

bool isSeparator(char c)
{
    return c != '\0' && std::strchr(" = ?><\r\n\t", c) != nullptr;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where the value of a pair that starts with "=" at i ends: after its
// closing quote, or at the next separator for an unquoted value.
std::size_t valueEnd(const std::string& data, std::size_t i)
{
    const std::size_t n = data.size();
    while (i < n && isBlank(data[i]))
        ++i;
    if (i < n && (data[i] == '"' || data[i] == '\'')) {
        const std::size_t close = data.find(data[i], i + 1);
        return close == std::string::npos ? n : close + 1;
    }
    while (i < n && !isSeparator(data[i]))
        ++i;
    return i;
}

// Finds the pair name=value in data; on success start and end bound the
// whole pair.
bool findPair(const std::string& data, const std::string& name, std::size_t& start, std::size_t& end)
{
    const std::size_t n = data.size();
    std::size_t i = 0;
    while (i < n) {
        while (i < n && isSeparator(data[i]))
            ++i;
        const std::size_t tokenStart = i;
        while (i < n && !isSeparator(data[i]) && data[i] != '"' && data[i] != '\'')
            ++i;
        const std::size_t tokenEnd = i;
        // A name is followed (after optional blanks) by "=" and a value.
        std::size_t j = i;
        while (j < n && isBlank(data[j]))
            ++j;
        if (j < n && data[j] == '=') {
            i = valueEnd(data, j + 1);
            if (tokenEnd > tokenStart && data.compare(tokenStart, tokenEnd - tokenStart, name) == 0 &&
                tokenEnd - tokenStart == name.size()) {
                start = tokenStart;
                end = i;
                return true;
            }
        } else if (i == tokenStart) {
            // A quote or other byte that starts no token: step over it.
            ++i;
        }
    }
    return false;
}

} // namespace

void ProcessingInstruction::setAttribute(const std::string& name, const std::string& value)
{
    const std::string pair = name + "=\"" + value + "\"";
    std::string data = _data;
    std::size_t start = 0;
    std::size_t end = 0;
    if (findPair(data, name, start, end)) {
        data.replace(start, end - start, pair);
    } else {
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
