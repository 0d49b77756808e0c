// Stored source texts: spans of a shared page, short texts kept in place,
// and texts of their own.
#ifndef PAGEDOM_BASE_SOURCETEXT_H
#define PAGEDOM_BASE_SOURCETEXT_H

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace pagedom {

// A stored source text: a tag as read, the source of a text, an attribute
// value.
//
// Most stored texts are pieces of the page they were read from.  Instead of
// a copy each, they share the page: a SourceText is a span of a shared,
// reference-counted text block, and a document's whole page is one block.
// A text produced later (an edit, a regenerated tag) is kept inside the
// object when it is short and gets a block of its own otherwise.  Copies
// share the block.
//
// Blocks are counted without atomic operations: like the nodes that hold
// them, the texts of one tree are used by one thread at a time.  A deep copy
// of a tree therefore copies the texts (see detached) rather than share
// them, so that a copy can go to another thread.
class SourceText {
public:
    // A reference-counted text.  A page block keeps its text as a string
    // (the readers read it in place); the block of a text produced later is
    // one allocation, its characters following the count.
    class Block {
    public:
        // A page block holding text.
        static Block* make(std::string text);
        // A block holding a copy of text.
        static Block* copyOf(std::string_view text);
        void addRef() { ++_refs; }
        void release()
        {
            if (--_refs == 0)
                _destroy();
        }
        // The text of a page block.
        const std::string& text() const;
        const char* chars() const
        {
            return _size == PAGE ? text().data() : reinterpret_cast<const char*>(this + 1);
        }
        std::size_t size() const { return _size == PAGE ? text().size() : _size; }

    private:
        struct Page;
        static constexpr std::uint32_t PAGE = 0xFFFFFFFFu;
        explicit Block(std::uint32_t size) : _refs(1), _size(size) {}
        void _destroy();
        std::uint32_t _refs;
        std::uint32_t _size;
    };

    // Texts up to this size are kept inside the object.
    static constexpr std::size_t INLINE_CAPACITY = 12;

    SourceText() { _setLength(0); }
    explicit SourceText(const std::string& text);
    explicit SourceText(std::string_view text);
    // The span [offset, offset + length) of block, which must hold it.
    SourceText(Block* block, std::size_t offset, std::size_t length);
    // The same span, kept as a span even when it is short enough to be kept
    // in place: for a text whose place in the page is asked for later.
    static SourceText span(Block* block, std::size_t offset, std::size_t length);
    SourceText(const SourceText& other);
    SourceText(SourceText&& other) noexcept;
    SourceText& operator=(const SourceText& other);
    SourceText& operator=(SourceText&& other) noexcept;
    SourceText& operator=(const std::string& text);
    ~SourceText() { _drop(); }

    bool empty() const { return _lengthWord() == 0; }
    std::size_t size() const
    {
        const std::uint32_t word = _lengthWord();
        if (word & INLINE)
            return word & ~INLINE;
        return word == WHOLE ? _block()->size() : word;
    }
    std::string_view view() const
    {
        const std::uint32_t word = _lengthWord();
        if (word & INLINE)
            return std::string_view(reinterpret_cast<const char*>(_raw), word & ~INLINE);
        if (word == 0)
            return std::string_view();
        const Block* block = _block();
        return std::string_view(block->chars() + _offset(), word == WHOLE ? block->size() : word);
    }
    std::string str() const { return std::string(view()); }
    void clear();
    // The piece [offset, offset + length), which must lie in this text: a
    // span of the same block where this text is a span, a copy otherwise.
    SourceText sub(std::size_t offset, std::size_t length) const;

    // A copy with a block of its own (for copies that may leave the thread).
    SourceText detached() const { return SourceText(view()); }

    // Where the text starts in the block it is a span of, and where that
    // block's text ends; both null for a text kept in place or empty.
    const char* blockStart() const
    {
        const Block* block = _spanBlock();
        return block ? block->chars() + _offset() : nullptr;
    }
    const char* blockEnd() const
    {
        const Block* block = _spanBlock();
        return block ? block->chars() + block->size() : nullptr;
    }

private:
    // Texts of up to INLINE_CAPACITY bytes are kept inside the object; the
    // length word then has the INLINE bit set and the bytes before it hold
    // the characters.  Otherwise the first eight bytes hold the block, the
    // next four the offset.  Spans are addressed with 31 bits; a text of
    // 2 GB or more has a block of its own and the WHOLE length, which stands
    // for the whole block.
    static constexpr std::uint32_t INLINE = 0x80000000u;
    static constexpr std::uint32_t WHOLE = 0x7FFFFFFFu;
    // Where the offset and the length word sit in the object.
    static constexpr std::size_t OFFSET_AT = 8;
    static constexpr std::size_t LENGTH_AT = 12;

    std::uint32_t _lengthWord() const
    {
        std::uint32_t word;
        std::memcpy(&word, _raw + LENGTH_AT, sizeof word);
        return word;
    }
    void _setLength(std::uint32_t word) { std::memcpy(_raw + LENGTH_AT, &word, sizeof word); }
    Block* _block() const
    {
        Block* block;
        std::memcpy(&block, _raw, sizeof block);
        return block;
    }
    std::uint32_t _offset() const
    {
        std::uint32_t offset;
        std::memcpy(&offset, _raw + OFFSET_AT, sizeof offset);
        return offset;
    }
    // The block, when the text is a span of one.
    Block* _spanBlock() const
    {
        const std::uint32_t word = _lengthWord();
        return (word & INLINE) || word == 0 ? nullptr : _block();
    }
    void _setSpan(Block* block, std::uint32_t offset, std::uint32_t length);
    void _assign(std::string_view text);
    void _drop()
    {
        if (Block* block = _spanBlock())
            block->release();
    }

    alignas(8) unsigned char _raw[16];
};

// A page block: the page kept as a string after the count.  Defined here so
// that asking a span where its page ends costs no call.
struct SourceText::Block::Page : SourceText::Block {
    explicit Page(std::string page) : Block(PAGE), text(std::move(page)) {}
    std::string text;
};

inline const std::string& SourceText::Block::text() const
{
    return static_cast<const Page*>(this)->text;
}

} // namespace pagedom

#endif
