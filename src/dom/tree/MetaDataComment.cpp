// Recognising METADATA comments.
#include "tree/MetaDataComment.h"

#include "base/StringUtil.h"

namespace pagedom {

const char* const MetaDataComment::KEYWORD = "METADATA";
const char* const MetaDataComment::TYPE_ATTR = "type";
const char* const MetaDataComment::START_SPAN = "startspan";
const char* const MetaDataComment::END_SPAN = "endspan";

namespace {

const char DASH = '-';
const std::string_view HTML_CLOSE = "-->";
const std::string_view JSP_CLOSE = "--%>";

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool sameWord(std::string_view a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (str::lowerChar(a[i]) != str::lowerChar(b[i]))
            return false;
    return i == a.size() && !b[i];
}

// One attribute-like word: a name, and a value when "=" follows it.
struct Word {
    std::string_view name;
    std::string_view value;
    bool hasValue = false;
};

// Cuts text into words: names run to white space or "="; a value after "="
// is quoted with double or single quotes, or runs to white space.
class WordReader {
public:
    explicit WordReader(std::string_view text) : _text(text) {}

    bool next(Word& word)
    {
        _skipSpace();
        if (_at >= _text.size())
            return false;
        word = Word();
        const std::size_t start = _at;
        while (_at < _text.size() && !isSpace(_text[_at]) && _text[_at] != '=')
            ++_at;
        word.name = _text.substr(start, _at - start);
        _skipSpace();
        if (_at < _text.size() && _text[_at] == '=') {
            ++_at;
            _skipSpace();
            word.hasValue = true;
            word.value = _value();
        }
        return true;
    }

private:
    void _skipSpace()
    {
        while (_at < _text.size() && isSpace(_text[_at]))
            ++_at;
    }

    std::string_view _value()
    {
        if (_at < _text.size() && (_text[_at] == '"' || _text[_at] == '\'')) {
            const char quote = _text[_at++];
            const std::size_t start = _at;
            while (_at < _text.size() && _text[_at] != quote)
                ++_at;
            std::string_view value = _text.substr(start, _at - start);
            if (_at < _text.size())
                ++_at;
            return value;
        }
        const std::size_t start = _at;
        while (_at < _text.size() && !isSpace(_text[_at]))
            ++_at;
        return _text.substr(start, _at - start);
    }

    std::string_view _text;
    std::size_t _at = 0;
};

MetaData::Type typeNamed(std::string_view name)
{
    for (MetaData::Type type : {MetaData::DesignerControl, MetaData::DynamicData, MetaData::AuthorTimeVisual})
        if (sameWord(name, MetaData::typeName(type).c_str()))
            return type;
    return MetaData::NONE;
}

} // namespace

MetaData::Type MetaDataComment::startType(std::string_view text)
{
    const std::size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd == std::string_view::npos)
        return MetaData::NONE;
    return _readWords(text.substr(0, lineEnd), true);
}

MetaData::Type MetaDataComment::endType(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == DASH)
        --end;
    return _readWords(text.substr(0, end), false);
}

MetaData::Type MetaDataComment::_readWords(std::string_view text, bool start)
{
    std::size_t lead = 0;
    while (lead < text.size() && text[lead] == DASH)
        ++lead;
    WordReader reader(text.substr(lead));
    Word word;
    if (!reader.next(word) || word.hasValue || !sameWord(word.name, KEYWORD))
        return MetaData::NONE;
    MetaData::Type type = MetaData::NONE;
    bool span = false;
    while (reader.next(word)) {
        if (sameWord(word.name, START_SPAN)) {
            if (!start)
                return MetaData::NONE;
            span = true;
        } else if (sameWord(word.name, END_SPAN)) {
            if (start)
                return MetaData::NONE;
            span = true;
        } else if (sameWord(word.name, TYPE_ATTR)) {
            const MetaData::Type named = word.hasValue ? typeNamed(word.value) : MetaData::NONE;
            // A type that is no type name, or one that contradicts an
            // earlier one, makes no METADATA comment.
            if (named == MetaData::NONE || (type != MetaData::NONE && named != type))
                return MetaData::NONE;
            type = named;
        }
    }
    return span ? type : MetaData::NONE;
}

std::size_t MetaDataComment::firstLineLength(std::string_view source)
{
    const std::size_t lineEnd = source.find_first_of("\r\n");
    if (lineEnd == std::string_view::npos)
        return source.size();
    if (source[lineEnd] == '\r' && lineEnd + 1 < source.size() && source[lineEnd + 1] == '\n')
        return lineEnd + 2;
    return lineEnd + 1;
}

std::size_t MetaDataComment::closingLength(std::string_view source)
{
    for (std::string_view close : {JSP_CLOSE, HTML_CLOSE})
        if (source.size() >= close.size() && source.substr(source.size() - close.size()) == close)
            return close.size();
    return 0;
}

} // namespace pagedom
