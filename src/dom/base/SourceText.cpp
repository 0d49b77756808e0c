// Making, copying and releasing stored source texts and their blocks.
#include "base/SourceText.h"

#include <new>
#include <utility>

namespace pagedom {

static_assert(sizeof(SourceText) == 16, "a stored text is a block pointer, an offset and a length");

SourceText::Block* SourceText::Block::make(std::string text)
{
    return new Page(std::move(text));
}

SourceText::Block* SourceText::Block::copyOf(std::string_view text)
{
    if (text.size() >= PAGE)
        return make(std::string(text));
    void* memory = ::operator new(sizeof(Block) + text.size());
    Block* block = new (memory) Block(static_cast<std::uint32_t>(text.size()));
    std::memcpy(block + 1, text.data(), text.size());
    return block;
}

void SourceText::Block::_destroy()
{
    if (_size == PAGE) {
        delete static_cast<Page*>(this);
    } else {
        this->~Block();
        ::operator delete(this);
    }
}

SourceText::SourceText(const std::string& text)
{
    _setLength(0);
    _assign(text);
}

SourceText::SourceText(std::string_view text)
{
    _setLength(0);
    _assign(text);
}

SourceText::SourceText(Block* block, std::size_t offset, std::size_t length)
{
    _setLength(0);
    if (!block || length == 0)
        return;
    if (length <= INLINE_CAPACITY) {
        // Short pieces are copied in; a whole word at a time where the block
        // has the bytes.
        const char* from = block->chars() + offset;
        if (offset + INLINE_CAPACITY <= block->size())
            std::memcpy(_raw, from, INLINE_CAPACITY);
        else
            std::memcpy(_raw, from, length);
        _setLength(INLINE | static_cast<std::uint32_t>(length));
        return;
    }
    if (offset + length >= WHOLE) {
        _assign(std::string_view(block->chars() + offset, length));
        return;
    }
    block->addRef();
    _setSpan(block, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length));
}

SourceText SourceText::span(Block* block, std::size_t offset, std::size_t length)
{
    if (!block || length == 0 || length > INLINE_CAPACITY || offset + length >= WHOLE)
        return SourceText(block, offset, length);
    SourceText text;
    block->addRef();
    text._setSpan(block, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length));
    return text;
}

void SourceText::_setSpan(Block* block, std::uint32_t offset, std::uint32_t length)
{
    std::memcpy(_raw, &block, sizeof block);
    std::memcpy(_raw + OFFSET_AT, &offset, sizeof offset);
    _setLength(length);
}

// Replaces the text with a copy of text, which may lie in this text's block.
void SourceText::_assign(std::string_view text)
{
    Block* old = _spanBlock();
    if (text.empty()) {
        _setLength(0);
    } else if (text.size() <= INLINE_CAPACITY) {
        unsigned char bytes[INLINE_CAPACITY];
        std::memcpy(bytes, text.data(), text.size());
        std::memcpy(_raw, bytes, text.size());
        _setLength(INLINE | static_cast<std::uint32_t>(text.size()));
    } else {
        const std::uint32_t length = text.size() >= WHOLE ? WHOLE : static_cast<std::uint32_t>(text.size());
        _setSpan(Block::copyOf(text), 0, length);
    }
    if (old)
        old->release();
}

SourceText::SourceText(const SourceText& other)
{
    std::memcpy(_raw, other._raw, sizeof _raw);
    if (Block* block = _spanBlock())
        block->addRef();
}

SourceText::SourceText(SourceText&& other) noexcept
{
    std::memcpy(_raw, other._raw, sizeof _raw);
    other._setLength(0);
}

SourceText& SourceText::operator=(const SourceText& other)
{
    if (this != &other) {
        if (Block* block = other._spanBlock())
            block->addRef();
        _drop();
        std::memcpy(_raw, other._raw, sizeof _raw);
    }
    return *this;
}

SourceText& SourceText::operator=(SourceText&& other) noexcept
{
    if (this != &other) {
        _drop();
        std::memcpy(_raw, other._raw, sizeof _raw);
        other._setLength(0);
    }
    return *this;
}

SourceText& SourceText::operator=(const std::string& text)
{
    _assign(text);
    return *this;
}

void SourceText::clear()
{
    _drop();
    _setLength(0);
}

SourceText SourceText::sub(std::size_t offset, std::size_t length) const
{
    if (Block* block = _spanBlock())
        return SourceText(block, _offset() + offset, length);
    return SourceText(view().substr(offset, length));
}

} // namespace pagedom
