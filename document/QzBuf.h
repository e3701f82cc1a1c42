#pragma once
// A buffer holding one NUL-terminated byte text, changed in place by the parsing functions.
//
// Texts shorter than InlineSize bytes live in the buffer's own store, longer ones in a heap block
// of length + 10 bytes owned by the buffer. The inline store makes the object large (over 200 KB):
// one buffer per parsing function, never an array of them.

#include <cstddef>
#include <string_view>

class TQzBuf {
public:
    static constexpr int InlineSize = 204800;

    TQzBuf();
    explicit TQzBuf(std::string_view text);
    ~TQzBuf();
    TQzBuf(const TQzBuf&) = delete;
    TQzBuf& operator=(const TQzBuf&) = delete;

    // Copies `length` bytes of `text` (length < 0: up to its NUL) and a NUL after them. Frees the
    // previous heap block first. `text` may not point into this buffer.
    void Assign(const char* text, int length = -1);
    void Assign(std::string_view text);
    // Forgets the text without freeing the heap block (the caller has taken it over).
    void Reset();
    // Frees the heap block, then Reset.
    void Release();

    // The text; null when nothing was assigned. Callers may change it in place without growing it.
    char* Text() const { return text_; }
    // Length in bytes at the last Assign (in-place edits that shorten the text do not update it).
    int Length() const { return length_; }
    bool IsInline() const { return isInline_; }
    // Size in bytes of the heap block, 0 when there is none.
    size_t HeapSize() const { return heapSize_; }

private:
    char* text_ = nullptr;
    char* heap_ = nullptr;
    size_t heapSize_ = 0;
    int length_ = 0;
    bool isInline_ = false;
    char store_[InlineSize];
};
