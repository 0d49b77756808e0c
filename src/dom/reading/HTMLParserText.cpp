// The page parser's text: running text, white space, references and bare
// markup characters collected into the data and source of text nodes.
#include "reading/HTMLParser.h"

#include <cstring>

#include "doctype/ElementTable.h"
#include "doctype/Entity.h"
#include "reading/HTMLLexer.h"
#include "tree/Document.h"
#include "tree/Element.h"
#include "tree/EntityReference.h"
#include "tree/Text.h"
#include "convert/PCDATAConverter.h"

// --- collecting ----------------------------------------------------------------

void HTMLParser::_appendPlain(std::string& out, const std::string& text)
{
    for (char c : text) {
        if (c == PCDATA::ESC || c == PCDATA::WIDE)
            out += PCDATA::ESC;
        out += c;
    }
}

void HTMLParser::_addPiece(const std::string& data, const Lexer::Token* token, bool blank)
{
    _addPiece(data.data(), data.size(), _tokenEnd(token), blank);
}

void HTMLParser::_addPiece(const char* data, std::size_t length, unsigned long end, bool blank)
{
    if (!_pending) {
        _pending = true;
        _pendingStart = _covered;
        _clearPendingData();
        _pendingBlank = true;
        _badChar = false;
    }
    if (length) {
        _copyDataSpan();
        _pendingText.append(data, length);
    }
    _pendingEnd = end;
    _afterBlock = false;
    if (blank) {
        _lastBlank = true;
    } else {
        _lastBlank = false;
        _pendingBlank = false;
    }
}

// A whitespace run in text: kept as it is in plain elements; elsewhere one
// space, or nothing at the start of a text after a block or a blank, and
// after another blank.  Dropped white space still belongs to the source.
void HTMLParser::_collectSpace(unsigned long start, unsigned long end)
{
    if (_plainDepth > 0) {
        _addPiece(_source.data() + start, end - start, end, true);
        return;
    }
    bool dropped = (_pendingDataEmpty() || !_pending) && (_afterBlock || _textEndsBlank);
    if (_pending && _lastBlank)
        dropped = true;
    if (dropped) {
        bool afterBlock = _afterBlock;
        _addPiece("", 0, end, true);
        _afterBlock = afterBlock;
        return;
    }
    _addPiece(" ", 1, end, true);
}

// A run of running text (see HTMLLexer::takeTextRun) is what its words and
// the whitespace between them would give one token at a time: the bytes
// stand for themselves, and each whitespace run between two words is kept
// as it is in plain elements and becomes one space elsewhere (never dropped,
// as it follows a word).
void HTMLParser::_collectRun(const HTMLLexer::TextRun& run)
{
    if (run.words != run.start)
        _collectSpace(run.start, run.words);
    if (!_pending) {
        _pending = true;
        _pendingStart = _covered;
        _clearPendingData();
        _badChar = false;
    }
    if (_plainDepth > 0) {
        _appendDataSpan(run.words, run.end);
    } else {
        // Words one space apart read as they stand: only at the gaps the
        // lexer found, where white space folds, does the data leave the
        // page's bytes.
        unsigned long asWritten = run.words;
        for (std::size_t g = 0; g < run.gapCount; ++g) {
            _appendDataSpan(asWritten, run.gaps[g].start);
            _copyDataSpan();
            _pendingText += ' ';
            asWritten = run.gaps[g].end;
        }
        _appendDataSpan(asWritten, run.end);
    }
    _pendingEnd = run.end;
    _pendingBlank = false;
    _lastBlank = false;
    _afterBlock = false;
}

void HTMLParser::_collect(const Lexer::Token* token)
{
    switch (token->kind) {
    case Lexer::TOKEN_LT:
    case Lexer::TOKEN_AMP:
        _addPiece(std::string(1, PCDATA::ESC) + _source[token->start], token, false);
        _badChar = true;
        return;
    case Lexer::TOKEN_GT: {
        std::string data;
        if (_pending && token->start == _pendingEnd + 1)
            _appendPlain(data, _source.substr(_pendingEnd, 1));
        data += PCDATA::ESC;
        data += '>';
        _addPiece(data, token, false);
        _badChar = true;
        return;
    }
    case Lexer::TOKEN_QUOTE:
        _addPiece(std::string(1, PCDATA::ESC) + '"', token, false);
        return;
    case Lexer::TOKEN_CHAR_REF:
        _addPiece(PCDATAConverter::convertCharValueToData(static_cast<unsigned long>(token->value), true),
                  token, false);
        return;
    case Lexer::TOKEN_ENTITY_REF: {
        const Entity* entity = token->getEntity();
        std::string data = entity ? entity->getData() : std::string();
        if (!data.empty()) {
            _addPiece(data, token, false);
            return;
        }
        _flushText();
        std::string text = tokenText(token);
        std::string name = text.size() > 1 ? text.substr(1) : std::string();
        if (!name.empty() && name.back() == ';')
            name.pop_back();
        EntityReference* ref = _document->createEntityReference(name);
        ref->setSource(_takeSource(_tokenEnd(token)));
        _append(ref);
        _afterBlock = false;
        return;
    }
    case Lexer::TOKEN_SPACE:
        _collectSpace(token->start, _tokenEnd(token));
        return;
    case Lexer::TOKEN_COMMENT:
    case Lexer::TOKEN_JSP_COMMENT: {
        std::string data(1, token->kind == Lexer::TOKEN_COMMENT ? '!' : '%');
        _appendPlain(data, tokenText(token));
        _addPiece(data, token, false);
        return;
    }
    default: {
        std::string data;
        _appendPlain(data, tokenText(token));
        _addPiece(data, token, false);
        return;
    }
    }
}

// The collected text's data.  Where the data is the page's own bytes (the
// text had no references, no line breaks or runs of blanks to fold, or only
// blanks dropped at one end) it is kept as a span of the page instead of a
// copy.
void HTMLParser::_appendDataSpan(unsigned long start, unsigned long end)
{
    if (end == start)
        return;
    if (_pendingText.empty() && _dataSpanEnd == _dataSpanStart) {
        _dataSpanStart = start;
        _dataSpanEnd = end;
    } else if (_pendingText.empty() && _dataSpanEnd == start) {
        _dataSpanEnd = end;
    } else {
        _copyDataSpan();
        _pendingText.append(_source, start, end - start);
    }
}

void HTMLParser::_copyDataSpan()
{
    if (_dataSpanEnd == _dataSpanStart)
        return;
    _pendingText.append(_source, _dataSpanStart, _dataSpanEnd - _dataSpanStart);
    _dataSpanStart = _dataSpanEnd = 0;
}

pagedom::SourceText HTMLParser::_dataText(unsigned long start, unsigned long end) const
{
    const std::string_view data = _pendingText.empty()
                                      ? std::string_view(_source).substr(_dataSpanStart, _dataSpanEnd - _dataSpanStart)
                                      : std::string_view(_pendingText);
    const std::size_t length = data.size();
    if (length <= pagedom::SourceText::INLINE_CAPACITY || length > end - start)
        return pagedom::SourceText(data); // short data is kept inside anyway
    const bool span = _pendingText.empty();
    auto matchesAt = [&](unsigned long at) {
        if (span && at == _dataSpanStart)
            return true; // the data is those very bytes
        return at + length <= end && std::memcmp(_source.data() + at, data.data(), length) == 0;
    };
    unsigned long firstWord = start;
    while (firstWord < end && (_source[firstWord] == ' ' || _source[firstWord] == '\t' ||
                               _source[firstWord] == '\r' || _source[firstWord] == '\n'))
        ++firstWord;
    for (unsigned long at : {start, firstWord, static_cast<unsigned long>(end - length)})
        if (matchesAt(at))
            return pagedom::SourceText(_page, at, length);
    return pagedom::SourceText(data);
}

void HTMLParser::_flushText()
{
    if (!_pending)
        return;
    _pending = false;
    pagedom::SourceText source(_page, _pendingStart, _pendingEnd - _pendingStart);
    _covered = _pendingEnd;
    Text* text = new Text(_document, _dataText(_pendingStart, _pendingEnd), source, _plainDepth == 0);
    text->addRef();
    if (_badChar)
        text->addErrorState(Node::INVALID_CHAR_ERROR);
    if (_currentCanContain(text)) {
        _append(text, true);
    } else {
        if (_idOf(_current) == ElementTable::ID_HEAD && static_cast<Element*>(_current)->isOmittedElement() &&
            _current->getParentNode())
            _leaveTo(_current->getParentNode());
        if (!_currentCanContain(text) && !_implyContainer(text)) {
            if (_pendingBlank)
                text->CharacterData::setData(std::string());
            if (_idOf(_current) == ElementTable::ID_EMBED && _current->getParentNode())
                _leaveTo(_current->getParentNode());
        }
        _append(text);
    }
    _textEndsBlank = _lastBlank;
    _clearPendingData();
    _badChar = false;
}

void HTMLParser::_collectUncovered()
{
    // There are none in practice: every byte is in some token.
    if (_covered >= _source.size())
        return;
    _pending = true;
    _pendingStart = _covered;
    _pendingEnd = static_cast<unsigned long>(_source.size());
    _copyDataSpan();
    _appendPlain(_pendingText, _source.substr(_covered));
    _pendingBlank = false;
    _flushText();
}
