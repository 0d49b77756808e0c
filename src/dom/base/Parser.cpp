// The current token, look-ahead and token text of the parsers' base.
#include "base/Parser.h"

Parser::Parser(Lexer* lexer) : _lexer(lexer), _source(lexer->getSource()), _token(nullptr) {}

Parser::~Parser()
{
    if (_token)
        _lexer->deleteToken(_token);
    delete _lexer;
}

void Parser::pushBack()
{
    if (_token)
        _lexer->pushBack(_token);
    _token = nullptr;
}

bool Parser::accept(unsigned long kind)
{
    if (peekKind(0) != kind)
        return false;
    nextToken();
    return true;
}

std::string Parser::tokenText(const Lexer::Token* token) const
{
    if (!token || token->start >= _source.length())
        return std::string();
    return _source.substr(token->start, token->end - token->start);
}

bool Parser::isSpaceAt(const std::string& s, unsigned long index)
{
    if (index >= s.length())
        return false;
    char c = s[index];
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}
