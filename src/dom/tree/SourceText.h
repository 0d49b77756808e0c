#ifndef PAGEDOM_TREE_SOURCETEXT_H
#define PAGEDOM_TREE_SOURCETEXT_H

#include <cstdint>
#include <string>
#include <string_view>

// A stored source text: a tag as read, the source of a text, an attribute
// value.
//
// Most stored texts are pieces of the page they were read from.  Instead of
// a copy each, they share the page: a SourceText is a span of a shared,
// reference-counted text block, and a document's whole page is one block.
// A text produced later (an edit, a regenerated tag) gets a block of its
// own.  Copies share the block.
//
// Blocks are counted without atomic operations: like the nodes that hold
// them, the texts of one tree are used by one thread at a time.  A deep copy
// of a tree therefore copies the texts (see detached) rather than share
// them, so that a copy can go to another thread.
class SourceText {
public:
    // A reference-counted text; the page blocks are made by the readers.
    class Block {
    public:
        static Block* make(std::string text);
        void addRef() { ++_refs; }
        void release()
        {
            if (--_refs == 0)
                delete this;
        }
        const std::string& text() const { return _text; }

    private:
        explicit Block(std::string text) : _refs(1), _text(std::move(text)) {}
        unsigned long _refs;
        std::string _text;
    };

    SourceText() = default;
    explicit SourceText(const std::string& text);
    // The span [offset, offset + length) of block, which must hold it.
    SourceText(Block* block, std::size_t offset, std::size_t length);
    SourceText(const SourceText& other);
    SourceText(SourceText&& other) noexcept;
    SourceText& operator=(const SourceText& other);
    SourceText& operator=(SourceText&& other) noexcept;
    SourceText& operator=(const std::string& text);
    ~SourceText();

    bool empty() const { return _length == 0; }
    std::size_t size() const { return _length == WHOLE ? _block->text().size() : _length; }
    std::string_view view() const
    {
        if (!_block)
            return std::string_view();
        return std::string_view(_block->text().data() + _offset, size());
    }
    std::string str() const { return std::string(view()); }
    void clear();

    // A copy with a block of its own (for copies that may leave the thread).
    SourceText detached() const { return SourceText(str()); }

private:
    // Spans are addressed with 32 bits; a text of 4 GB or more has a block
    // of its own and this length, which stands for the whole block.
    static constexpr std::uint32_t WHOLE = 0xFFFFFFFFu;
    void _own(std::string text);

    Block* _block = nullptr;
    std::uint32_t _offset = 0;
    std::uint32_t _length = 0;
};

#endif
