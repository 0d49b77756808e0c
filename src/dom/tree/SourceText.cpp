#include "tree/SourceText.h"

#include <utility>

SourceText::Block* SourceText::Block::make(std::string text)
{
    return new Block(std::move(text));
}

SourceText::SourceText(const std::string& text)
{
    *this = text;
}

SourceText::SourceText(Block* block, std::size_t offset, std::size_t length)
{
    if (!block || length == 0)
        return;
    if (offset + length >= WHOLE) {
        _own(block->text().substr(offset, length));
        return;
    }
    _block = block;
    _block->addRef();
    _offset = static_cast<std::uint32_t>(offset);
    _length = static_cast<std::uint32_t>(length);
}

void SourceText::_own(std::string text)
{
    Block* fresh = nullptr;
    std::uint32_t length = 0;
    if (!text.empty()) {
        length = text.size() >= WHOLE ? WHOLE : static_cast<std::uint32_t>(text.size());
        fresh = Block::make(std::move(text));
    }
    if (_block)
        _block->release();
    _block = fresh;
    _offset = 0;
    _length = length;
}

SourceText::SourceText(const SourceText& other)
    : _block(other._block), _offset(other._offset), _length(other._length)
{
    if (_block)
        _block->addRef();
}

SourceText::SourceText(SourceText&& other) noexcept
    : _block(other._block), _offset(other._offset), _length(other._length)
{
    other._block = nullptr;
    other._offset = 0;
    other._length = 0;
}

SourceText& SourceText::operator=(const SourceText& other)
{
    if (this != &other) {
        if (other._block)
            other._block->addRef();
        if (_block)
            _block->release();
        _block = other._block;
        _offset = other._offset;
        _length = other._length;
    }
    return *this;
}

SourceText& SourceText::operator=(SourceText&& other) noexcept
{
    if (this != &other) {
        if (_block)
            _block->release();
        _block = other._block;
        _offset = other._offset;
        _length = other._length;
        other._block = nullptr;
        other._offset = 0;
        other._length = 0;
    }
    return *this;
}

SourceText& SourceText::operator=(const std::string& text)
{
    _own(text);
    return *this;
}

SourceText::~SourceText()
{
    if (_block)
        _block->release();
}

void SourceText::clear()
{
    if (_block)
        _block->release();
    _block = nullptr;
    _offset = 0;
    _length = 0;
}
