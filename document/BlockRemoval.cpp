#include "document/BlockRemoval.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

// How the passes are followed without repeating them. A block is a start marker through the next
// end marker, so every block lies inside one "unit": the text up to and including an end marker,
// from just after the previous one. The text of a pass's block B is a suffix of a unit (the first
// unit holding a start marker, from its first start marker), and an occurrence of B elsewhere is a
// unit whose text ends with B, beginning at one of its start markers. Everything before the first
// unit with a start marker is final.
//
// Units are filed in a trie by their pieces read backwards (a piece runs from a start marker to the
// next one, the last to the unit's end), each piece keyed by a hash of its text. A unit sits at the
// node of the pieces it has been sorted by so far and is moved one piece deeper only when a block's
// path goes through its node; so the units that end with B are exactly those in the subtree of B's
// node. Removing B from a unit joins what stays of it (what came before B, possibly with start
// markers) to the next unit, which keeps its node, since its own last pieces are unchanged. A join
// can also make a new marker across it; that is looked for at every join.
//
// Every match is checked byte by byte before it is removed (a hash may collide); the cost is that
// of the text removed. Time: the text's length (each hash read from a search tree over its blocks
// of 64 bytes in O(log n)), plus one step per piece a unit is moved down; a unit moves down at
// most once per piece it holds and never back, but start markers left behind by a removed block
// can be held by several units in turn, so a text crafted for that costs more than linear time
// (far from the passes' quadratic time).

namespace {

inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }
inline bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr uint64_t kMod = (1ULL << 61) - 1;

uint64_t MulMod(uint64_t a, uint64_t b) {
    const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
    uint64_t r = static_cast<uint64_t>(p & kMod) + static_cast<uint64_t>(p >> 61);
    r = (r & kMod) + (r >> 61);
    return r >= kMod ? r - kMod : r;
}

uint64_t AddMod(uint64_t a, uint64_t b) {
    const uint64_t r = a + b;
    return r >= kMod ? r - kMod : r;
}

// A polynomial hash of a byte sequence: the value, the length and base^length.
struct THash {
    uint64_t Value = 0;
    uint64_t Count = 0;
    uint64_t Power = 1;
};

THash Join(const THash& a, const THash& b) {
    return THash{AddMod(MulMod(a.Value, b.Power), b.Value), a.Count + b.Count, MulMod(a.Power, b.Power)};
}

// A base drawn once per run, so that no fixed text is made to collide.
uint64_t HashBase() {
    static const uint64_t base = [] {
        uint64_t seed = 0x9E3779B97F4A7C15ULL ^ reinterpret_cast<uintptr_t>(&seed);
        try {
            std::random_device device;
            seed ^= (static_cast<uint64_t>(device()) << 32) ^ device();
        } catch (...) {
        }
        return 1000 + seed % (kMod - 2000);
    }();
    return base;
}

// The text with some bytes removed: which bytes are still there (a bit per byte), and a search
// tree over blocks of 64 bytes giving the next and previous byte still there and the hash of the
// bytes still there in any range, each in O(log n).
class TAliveText {
public:
    explicit TAliveText(std::string_view text) : text_(text), n_(text.size()), blocks_((n_ + 63) / 64) {
        powers_[0] = 1;
        for (size_t k = 1; k <= 64; ++k) powers_[k] = MulMod(powers_[k - 1], HashBase());
        size_ = 1;
        while (size_ < blocks_) size_ *= 2;
        mask_.assign(blocks_, ~0ULL);
        if (n_ % 64 != 0) mask_[blocks_ - 1] = (1ULL << (n_ % 64)) - 1;
        tree_.assign(2 * size_, THash());
        for (size_t b = 0; b < blocks_; ++b) tree_[size_ + b] = Block(b, 0, 64);
        for (size_t node = size_ - 1; node >= 1; --node) tree_[node] = Join(tree_[2 * node], tree_[2 * node + 1]);
    }

    unsigned char At(size_t i) const { return Fold(static_cast<unsigned char>(text_[i])); }

    // The first byte still there at or after i; the text's size when there is none.
    size_t Next(size_t i) const {
        if (i >= n_) return n_;
        const size_t blk = i >> 6;
        const uint64_t m = mask_[blk] & (~0ULL << (i & 63));
        if (m) return (blk << 6) + static_cast<size_t>(__builtin_ctzll(m));
        const size_t b = NextBlock(blk + 1);
        return b == kNone ? n_ : (b << 6) + static_cast<size_t>(__builtin_ctzll(mask_[b]));
    }

    // The last byte still there before i; kNone when there is none.
    size_t Prev(size_t i) const {
        if (i == 0) return kNone;
        const size_t j = std::min(i, n_) - 1, blk = j >> 6;
        const uint64_t m = mask_[blk] & ((j & 63) == 63 ? ~0ULL : (2ULL << (j & 63)) - 1);
        if (m) return (blk << 6) + 63 - static_cast<size_t>(__builtin_clzll(m));
        const size_t b = PrevBlock(blk);
        return b == kNone ? kNone : (b << 6) + 63 - static_cast<size_t>(__builtin_clzll(mask_[b]));
    }

    // Removes the bytes still there in [a, b).
    void Kill(size_t a, size_t b) {
        for (size_t i = Next(a); i < b;) {
            const size_t blk = i >> 6, stop = std::min(b, (blk + 1) << 6);
            mask_[blk] &= ~Range(static_cast<unsigned>(i & 63), static_cast<unsigned>(stop - (blk << 6)));
            Update(blk);
            i = Next(stop);
        }
    }

    // The hash of the bytes still there in [a, b), folded.
    THash Hash(size_t a, size_t b) const {
        if (a >= b) return THash();
        const size_t lb = a >> 6, rb = (b - 1) >> 6;
        const unsigned from = static_cast<unsigned>(a & 63), to = static_cast<unsigned>(((b - 1) & 63) + 1);
        if (lb == rb) return Block(lb, from, to);
        THash left, right;
        for (size_t l = lb + 1 + size_, r = rb + size_; l < r; l >>= 1, r >>= 1) {
            if (l & 1) left = Join(left, tree_[l++]);
            if (r & 1) right = Join(tree_[--r], right);
        }
        return Join(Join(Block(lb, from, 64), Join(left, right)), Block(rb, 0, to));
    }

    // The bytes still there, as they were.
    std::string Rest() const {
        std::string out;
        out.reserve(static_cast<size_t>(tree_[1].Count));
        for (size_t b = 0; b < blocks_; ++b) {
            const uint64_t m = mask_[b];
            if (m == ~0ULL) {
                out.append(text_.data() + (b << 6), std::min<size_t>(64, n_ - (b << 6)));
                continue;
            }
            for (uint64_t bits = m; bits; bits &= bits - 1) out += text_[(b << 6) + static_cast<size_t>(__builtin_ctzll(bits))];
        }
        return out;
    }

private:
    static uint64_t Range(unsigned from, unsigned to) { return (to == 64 ? ~0ULL : (1ULL << to) - 1) & (~0ULL << from); }

    THash Block(size_t blk, unsigned from, unsigned to) const {
        THash h;
        uint64_t bits = mask_[blk] & Range(from, to);
        const char* block = text_.data() + (blk << 6);
        // Two bytes a step: h * base^2 + (a * base + b), so that one product waits for the last.
        while (bits) {
            const uint64_t a = Fold(static_cast<unsigned char>(block[__builtin_ctzll(bits)])) + 1;
            bits &= bits - 1;
            if (!bits) {
                h.Value = AddMod(MulMod(h.Value, powers_[1]), a);
                ++h.Count;
                break;
            }
            const uint64_t b = Fold(static_cast<unsigned char>(block[__builtin_ctzll(bits)])) + 1;
            bits &= bits - 1;
            h.Value = AddMod(MulMod(h.Value, powers_[2]), AddMod(MulMod(a, powers_[1]), b));
            h.Count += 2;
        }
        h.Power = powers_[h.Count];
        return h;
    }

    void Update(size_t blk) {
        size_t node = size_ + blk;
        tree_[node] = Block(blk, 0, 64);
        for (node >>= 1; node >= 1; node >>= 1) tree_[node] = Join(tree_[2 * node], tree_[2 * node + 1]);
    }

    size_t NextBlock(size_t from) const {
        if (from >= blocks_) return kNone;
        size_t node = size_ + from;
        if (tree_[node].Count) return from;
        for (;;) {
            if (node == 1) return kNone;
            if ((node & 1) == 0 && tree_[node + 1].Count) {
                ++node;
                break;
            }
            node >>= 1;
        }
        while (node < size_) node = tree_[2 * node].Count ? 2 * node : 2 * node + 1;
        return node - size_;
    }

    size_t PrevBlock(size_t before) const {
        if (before == 0) return kNone;
        size_t node = size_ + before - 1;
        if (tree_[node].Count) return before - 1;
        for (;;) {
            if (node == 1) return kNone;
            if ((node & 1) == 1 && tree_[node - 1].Count) {
                --node;
                break;
            }
            node >>= 1;
        }
        while (node < size_) node = tree_[2 * node + 1].Count ? 2 * node + 1 : 2 * node;
        return node - size_;
    }

    std::string_view text_;
    size_t n_, blocks_, size_ = 1;
    std::vector<uint64_t> mask_;
    std::vector<THash> tree_;
    uint64_t powers_[65];  // base^k
};

// A start marker in the text, in a list in text order.
struct TOcc {
    size_t Pos;
    int Prev = -1, Next = -1;
};

enum TListKind : uint8_t { lkNone, lkPending, lkExhausted };

// A unit that holds a start marker (or the text after the last end marker: the tail).
struct TUnit {
    size_t Start = 0, End = 0;  // the unit is [Start, End); End is just past its end marker
    int First = -1, Last = -1;  // its first and last start markers
    int Cursor = -1;            // the start marker whose piece the trie took last (-1: none yet)
    int Node = -1;
    TListKind Kind = lkNone;
    int ListPrev = -1, ListNext = -1;  // in the node's list of that kind
    int Prev = -1, Next = -1;          // the units in text order
    bool Tail = false;
};

struct TNode {
    int FirstChild = -1, Sibling = -1;
    int Pending = -1, Exhausted = -1;
    uint64_t Hash = 0, Count = 0;
    int Parent = -1;
    bool Dead = false;
};

// The trie's edges: (parent, piece hash, piece length) -> child, in one open-addressed table with
// linear probing (a removal shifts the entries after it back, so no tombstones build up).
class TChildTable {
public:
    int Find(int parent, uint64_t hash, uint64_t count) const {
        if (slots_.empty()) return -1;
        for (size_t i = Home(parent, hash, count);; i = (i + 1) & mask_) {
            const TSlot& s = slots_[i];
            if (s.Child < 0) return -1;
            if (s.Parent == parent && s.Hash == hash && s.Count == count) return s.Child;
        }
    }
    void Insert(int parent, uint64_t hash, uint64_t count, int child) {
        if ((used_ + 1) * 2 > slots_.size()) Grow();
        size_t i = Home(parent, hash, count);
        while (slots_[i].Child >= 0) i = (i + 1) & mask_;
        slots_[i] = TSlot{hash, count, parent, child};
        ++used_;
    }
    void Erase(int parent, uint64_t hash, uint64_t count) {
        if (slots_.empty()) return;
        size_t i = Home(parent, hash, count);
        for (;; i = (i + 1) & mask_) {
            if (slots_[i].Child < 0) return;
            if (slots_[i].Parent == parent && slots_[i].Hash == hash && slots_[i].Count == count) break;
        }
        // Entries after the hole that may not stay behind it move into it.
        for (size_t j = (i + 1) & mask_;; j = (j + 1) & mask_) {
            if (slots_[j].Child < 0) break;
            const size_t home = Home(slots_[j].Parent, slots_[j].Hash, slots_[j].Count);
            if (((j - home) & mask_) >= ((j - i) & mask_)) {
                slots_[i] = slots_[j];
                i = j;
            }
        }
        slots_[i].Child = -1;
        --used_;
    }

private:
    struct TSlot {
        uint64_t Hash = 0, Count = 0;
        int Parent = -1, Child = -1;
    };
    size_t Home(int parent, uint64_t hash, uint64_t count) const {
        uint64_t h = hash ^ (count * 0x9E3779B97F4A7C15ULL) ^ (static_cast<uint64_t>(static_cast<uint32_t>(parent)) * 0xC2B2AE3D27D4EB4FULL);
        h ^= h >> 29;
        return static_cast<size_t>(h) & mask_;
    }
    void Grow() {
        std::vector<TSlot> old;
        old.swap(slots_);
        slots_.assign(old.empty() ? 1024 : old.size() * 2, TSlot());
        mask_ = slots_.size() - 1;
        used_ = 0;
        for (const TSlot& s : old)
            if (s.Child >= 0) Insert(s.Parent, s.Hash, s.Count, s.Child);
    }
    std::vector<TSlot> slots_;
    size_t mask_ = 0, used_ = 0;
};

class TLinearRemoval {
public:
    TLinearRemoval(std::string_view text, std::string_view start, std::string_view end)
        : text_(text), start_(start), end_(end), alive_(text) {}

    // False when a hash collided (the text is then left to the passes).
    bool Run(std::string& out);

private:
    bool MatchesAt(std::string_view marker, size_t at) const {
        if (at + marker.size() > text_.size()) return false;
        for (size_t i = 0; i < marker.size(); ++i)
            if (Fold(static_cast<unsigned char>(text_[at + i])) != Fold(static_cast<unsigned char>(marker[i]))) return false;
        return true;
    }
    std::vector<size_t> FindAll(std::string_view marker) const;
    void Build();

    int NewNode(int parent, const THash& key);
    int Child(int node, const THash& key, bool create);
    void ListPush(int node, int unit, TListKind kind);
    void ListRemove(int unit);
    void PushDown(int node);
    THash Piece(int occ, const TUnit& unit) const;

    void InsertOccAfter(int after, int occ);
    // A new start marker (pos of its first byte) or end marker (pos just past its last byte) that
    // crosses the join between the byte still there before `left` and the one at or after `right`.
    void FindAcrossJoin(size_t left, size_t right, size_t& startAt, size_t& endAfter) const;
    // The end of the first end marker in the text still there from `from` on.
    size_t EndOfUnitFrom(size_t from) const;
    bool SameText(size_t a, size_t aEnd, size_t b, size_t bEnd) const;
    int NewUnit(size_t start, size_t end, int first, int last);

    std::string_view text_, start_, end_;
    TAliveText alive_;
    std::vector<TOcc> occ_;
    int occHead_ = -1;
    std::vector<TUnit> units_;
    int unitHead_ = -1;
    std::vector<TNode> nodes_;
    TChildTable children_;
};

std::vector<size_t> TLinearRemoval::FindAll(std::string_view marker) const {
    std::vector<size_t> at;
    const unsigned char first = static_cast<unsigned char>(marker[0]);
    const size_t n = text_.size();
    if (!IsAsciiLetter(first)) {
        for (const char* p = text_.data(); (p = static_cast<const char*>(std::memchr(p, first, text_.data() + n - p))); ++p)
            if (MatchesAt(marker, static_cast<size_t>(p - text_.data()))) at.push_back(static_cast<size_t>(p - text_.data()));
    } else {
        for (size_t i = 0; i < n; ++i)
            if (MatchesAt(marker, i)) at.push_back(i);
    }
    return at;
}

int TLinearRemoval::NewNode(int parent, const THash& key) {
    TNode node;
    node.Parent = parent;
    node.Hash = key.Value;
    node.Count = key.Count;
    if (parent >= 0) {
        node.Sibling = nodes_[static_cast<size_t>(parent)].FirstChild;
        nodes_[static_cast<size_t>(parent)].FirstChild = static_cast<int>(nodes_.size());
        children_.Insert(parent, key.Value, key.Count, static_cast<int>(nodes_.size()));
    }
    nodes_.push_back(node);
    return static_cast<int>(nodes_.size()) - 1;
}

int TLinearRemoval::Child(int node, const THash& key, bool create) {
    const int child = children_.Find(node, key.Value, key.Count);
    if (child >= 0) return child;
    return create ? NewNode(node, key) : -1;
}

void TLinearRemoval::ListPush(int node, int unit, TListKind kind) {
    TUnit& u = units_[static_cast<size_t>(unit)];
    int& head = kind == lkPending ? nodes_[static_cast<size_t>(node)].Pending : nodes_[static_cast<size_t>(node)].Exhausted;
    u.Node = node;
    u.Kind = kind;
    u.ListPrev = -1;
    u.ListNext = head;
    if (head >= 0) units_[static_cast<size_t>(head)].ListPrev = unit;
    head = unit;
}

void TLinearRemoval::ListRemove(int unit) {
    TUnit& u = units_[static_cast<size_t>(unit)];
    if (u.Kind == lkNone) return;
    TNode& node = nodes_[static_cast<size_t>(u.Node)];
    int& head = u.Kind == lkPending ? node.Pending : node.Exhausted;
    if (u.ListPrev >= 0) units_[static_cast<size_t>(u.ListPrev)].ListNext = u.ListNext;
    else head = u.ListNext;
    if (u.ListNext >= 0) units_[static_cast<size_t>(u.ListNext)].ListPrev = u.ListPrev;
    u.Kind = lkNone;
    u.ListPrev = u.ListNext = -1;
}

THash TLinearRemoval::Piece(int occ, const TUnit& unit) const {
    const TOcc& o = occ_[static_cast<size_t>(occ)];
    const size_t stop = occ == unit.Last ? unit.End : occ_[static_cast<size_t>(o.Next)].Pos;
    return alive_.Hash(o.Pos, stop);
}

void TLinearRemoval::PushDown(int node) {
    int unit = nodes_[static_cast<size_t>(node)].Pending;
    nodes_[static_cast<size_t>(node)].Pending = -1;
    while (unit >= 0) {
        TUnit& u = units_[static_cast<size_t>(unit)];
        const int next = u.ListNext;
        u.Kind = lkNone;
        int deeper = u.Cursor < 0 ? u.Last : occ_[static_cast<size_t>(u.Cursor)].Prev;
        if (u.Cursor >= 0 && (deeper < 0 || occ_[static_cast<size_t>(deeper)].Pos < u.Start)) {
            ListPush(node, unit, lkExhausted);
        } else {
            u.Cursor = deeper;
            const THash piece = u.Cursor == u.Last ? alive_.Hash(occ_[static_cast<size_t>(deeper)].Pos, u.End)
                                                   : alive_.Hash(occ_[static_cast<size_t>(deeper)].Pos,
                                                                 occ_[static_cast<size_t>(occ_[static_cast<size_t>(deeper)].Next)].Pos);
            ListPush(Child(node, piece, true), unit, lkPending);
        }
        unit = next;
    }
}

void TLinearRemoval::InsertOccAfter(int after, int occ) {
    TOcc& o = occ_[static_cast<size_t>(occ)];
    o.Prev = after;
    o.Next = after >= 0 ? occ_[static_cast<size_t>(after)].Next : occHead_;
    if (after >= 0) occ_[static_cast<size_t>(after)].Next = occ;
    else occHead_ = occ;
    if (o.Next >= 0) occ_[static_cast<size_t>(o.Next)].Prev = occ;
}

void TLinearRemoval::FindAcrossJoin(size_t left, size_t right, size_t& startAt, size_t& endAfter) const {
    startAt = endAfter = kNone;
    const size_t reach = std::max(start_.size(), end_.size()) - 1;
    if (reach == 0) return;
    size_t pos[64];
    size_t k = 0;
    for (size_t i = alive_.Prev(left); i != kNone && k < reach; i = alive_.Prev(i)) pos[k++] = i;
    const size_t leftCount = k;
    std::reverse(pos, pos + leftCount);
    for (size_t i = alive_.Next(right); i < text_.size() && k < leftCount + reach; i = alive_.Next(i + 1)) pos[k++] = i;
    auto at = [&](std::string_view marker, size_t from) {
        for (size_t i = 0; i < marker.size(); ++i)
            if (alive_.At(pos[from + i]) != Fold(static_cast<unsigned char>(marker[i]))) return false;
        return true;
    };
    for (size_t from = 0; from < leftCount; ++from) {
        if (from + start_.size() > leftCount && from + start_.size() <= k && at(start_, from)) startAt = pos[from];
        if (from + end_.size() > leftCount && from + end_.size() <= k && at(end_, from)) endAfter = pos[from + end_.size() - 1] + 1;
    }
}

size_t TLinearRemoval::EndOfUnitFrom(size_t from) const {
    // A window of the last bytes still there, as many as the end marker has.
    size_t window[64];
    size_t k = 0;
    for (size_t i = alive_.Next(from); i < text_.size(); i = alive_.Next(i + 1)) {
        if (k == end_.size()) std::memmove(window, window + 1, (--k) * sizeof(size_t));
        window[k++] = i;
        if (k < end_.size()) continue;
        size_t j = 0;
        while (j < end_.size() && alive_.At(window[j]) == Fold(static_cast<unsigned char>(end_[j]))) ++j;
        if (j == end_.size()) return i + 1;
    }
    return text_.size();
}

bool TLinearRemoval::SameText(size_t a, size_t aEnd, size_t b, size_t bEnd) const {
    a = alive_.Next(a);
    b = alive_.Next(b);
    while (a < aEnd && b < bEnd) {
        if (alive_.At(a) != alive_.At(b)) return false;
        a = alive_.Next(a + 1);
        b = alive_.Next(b + 1);
    }
    return a >= aEnd && b >= bEnd;
}

int TLinearRemoval::NewUnit(size_t start, size_t end, int first, int last) {
    TUnit u;
    u.Start = start;
    u.End = end;
    u.First = first;
    u.Last = last;
    units_.push_back(u);
    const int id = static_cast<int>(units_.size()) - 1;
    ListPush(0, id, lkPending);
    return id;
}

void TLinearRemoval::Build() {
    const std::vector<size_t> starts = FindAll(start_), ends = FindAll(end_);
    occ_.reserve(starts.size() + starts.size() / 8 + 16);
    for (size_t i = 0; i < starts.size(); ++i) {
        TOcc o;
        o.Pos = starts[i];
        o.Prev = static_cast<int>(i) - 1;
        o.Next = i + 1 < starts.size() ? static_cast<int>(i) + 1 : -1;
        occ_.push_back(o);
    }
    occHead_ = starts.empty() ? -1 : 0;
    NewNode(-1, THash());
    // The units with start markers, in text order, then the tail.
    int previous = -1;
    auto link = [&](int id) {
        units_[static_cast<size_t>(id)].Prev = previous;
        if (previous >= 0) units_[static_cast<size_t>(previous)].Next = id;
        else unitHead_ = id;
        previous = id;
    };
    size_t unitStart = 0, o = 0;
    for (size_t e : ends) {
        const size_t unitEnd = e + end_.size();
        const size_t first = o;
        while (o < starts.size() && starts[o] < unitEnd) ++o;
        if (o > first) link(NewUnit(unitStart, unitEnd, static_cast<int>(first), static_cast<int>(o) - 1));
        unitStart = unitEnd;
    }
    TUnit tail;
    tail.Start = unitStart;
    tail.End = text_.size();
    tail.Tail = true;
    if (o < starts.size()) {
        tail.First = static_cast<int>(o);
        tail.Last = static_cast<int>(starts.size()) - 1;
    }
    units_.push_back(tail);
    link(static_cast<int>(units_.size()) - 1);
}

bool TLinearRemoval::Run(std::string& out) {
    Build();
    for (;;) {
        const int headId = unitHead_;
        const TUnit head = units_[static_cast<size_t>(headId)];
        // The first start marker has no end marker after it: no block is left.
        if (head.Tail) break;

        // The block's pieces, last first, and the node they lead to.
        std::vector<THash> pieces;
        for (int occ = head.Last;; occ = occ_[static_cast<size_t>(occ)].Prev) {
            pieces.push_back(Piece(occ, head));
            if (occ == head.First) break;
        }
        int node = 0;
        for (const THash& piece : pieces) {
            PushDown(node);
            node = Child(node, piece, false);
            if (node < 0) return false;
        }
        // Every unit in the subtree ends with the block.
        std::vector<int> matched, stack{node};
        while (!stack.empty()) {
            const int v = stack.back();
            stack.pop_back();
            TNode& n = nodes_[static_cast<size_t>(v)];
            if (n.Dead) continue;
            n.Dead = true;
            if (n.Parent >= 0) children_.Erase(n.Parent, n.Hash, n.Count);
            for (int list : {n.Pending, n.Exhausted})
                for (int u = list; u >= 0; u = units_[static_cast<size_t>(u)].ListNext) matched.push_back(u);
            n.Pending = n.Exhausted = -1;
            for (int c = n.FirstChild; c >= 0; c = nodes_[static_cast<size_t>(c)].Sibling) stack.push_back(c);
        }
        std::sort(matched.begin(), matched.end(),
                  [this](int a, int b) { return units_[static_cast<size_t>(a)].End < units_[static_cast<size_t>(b)].End; });
        // Where the block begins in each unit, checked against the block's own text.
        std::vector<int> blockAt(matched.size());
        const size_t blockStart = occ_[static_cast<size_t>(head.First)].Pos;
        for (size_t m = 0; m < matched.size(); ++m) {
            TUnit& u = units_[static_cast<size_t>(matched[m])];
            u.Kind = lkNone;
            int z = u.Last;
            for (size_t k = 1; k < pieces.size(); ++k) z = occ_[static_cast<size_t>(z)].Prev;
            blockAt[m] = z;
            if (matched[m] != headId && !SameText(occ_[static_cast<size_t>(z)].Pos, u.End, blockStart, head.End)) return false;
        }
        // The blocks go, in text order; `before` is the start marker in front of each.
        std::vector<int> before(matched.size());
        for (size_t m = 0; m < matched.size(); ++m) {
            const TUnit& u = units_[static_cast<size_t>(matched[m])];
            const int z = blockAt[m];
            before[m] = occ_[static_cast<size_t>(z)].Prev;
            const int after = occ_[static_cast<size_t>(u.Last)].Next;
            if (before[m] >= 0) occ_[static_cast<size_t>(before[m])].Next = after;
            else occHead_ = after;
            if (after >= 0) occ_[static_cast<size_t>(after)].Prev = before[m];
            alive_.Kill(occ_[static_cast<size_t>(z)].Pos, u.End);
        }
        // What stays of adjacent units joins, with the unit after them, into new units. `carried`
        // is the last start marker an earlier group of this pass put into the list.
        int carried = -1;
        for (size_t a = 0; a < matched.size();) {
            size_t b = a;
            while (b + 1 < matched.size() && units_[static_cast<size_t>(matched[b])].Next == matched[b + 1] &&
                   units_[static_cast<size_t>(matched[b + 1])].Start == units_[static_cast<size_t>(matched[b])].End)
                ++b;
            const int prevUnit = units_[static_cast<size_t>(matched[a])].Prev;
            const int nextUnit = units_[static_cast<size_t>(matched[b])].Next;
            const size_t groupEnd = units_[static_cast<size_t>(matched[b])].End;
            const bool joinsNext = units_[static_cast<size_t>(nextUnit)].Start == groupEnd;
            std::vector<int> made;
            size_t curStart = units_[static_cast<size_t>(matched[a])].Start;
            int curFirst = -1, curLast = -1;
            // The start marker in the list in front of the current place.
            int lastOcc = before[a];
            if (carried >= 0 && (lastOcc < 0 || occ_[static_cast<size_t>(carried)].Pos > occ_[static_cast<size_t>(lastOcc)].Pos))
                lastOcc = carried;
            size_t lastStart = kNone, lastEnd = kNone;
            for (size_t j = a; j <= b; ++j) {
                const TUnit& u = units_[static_cast<size_t>(matched[j])];
                if (before[j] >= 0 && occ_[static_cast<size_t>(before[j])].Pos >= u.Start) {
                    if (curFirst < 0) curFirst = u.First;
                    curLast = lastOcc = before[j];
                }
                size_t startAt, endAfter;
                FindAcrossJoin(occ_[static_cast<size_t>(blockAt[j])].Pos, u.End, startAt, endAfter);
                if (startAt != kNone && startAt != lastStart) {
                    lastStart = startAt;
                    occ_.push_back(TOcc{startAt});
                    const int s = static_cast<int>(occ_.size()) - 1;
                    InsertOccAfter(lastOcc, s);
                    if (curFirst < 0) curFirst = s;
                    curLast = lastOcc = s;
                }
                if (endAfter != kNone && endAfter != lastEnd) {
                    lastEnd = endAfter;
                    if (curFirst >= 0) made.push_back(NewUnit(curStart, endAfter, curFirst, curLast));
                    curStart = endAfter;
                    curFirst = curLast = -1;
                }
            }
            if (joinsNext) {
                TUnit& next = units_[static_cast<size_t>(nextUnit)];
                next.Start = curStart;
                if (curFirst >= 0) {
                    if (next.First < 0) next.Last = curLast;
                    next.First = curFirst;
                    if (next.Kind == lkExhausted) {
                        const int at = next.Node;
                        ListRemove(nextUnit);
                        ListPush(at, nextUnit, lkPending);
                    }
                }
            } else if (curFirst >= 0) {
                made.push_back(NewUnit(curStart, EndOfUnitFrom(std::max(curStart, groupEnd)), curFirst, curLast));
            }
            carried = lastOcc;
            // The new units take the place of the joined ones in the list.
            int previous = prevUnit;
            for (int id : made) {
                units_[static_cast<size_t>(id)].Prev = previous;
                if (previous >= 0) units_[static_cast<size_t>(previous)].Next = id;
                else unitHead_ = id;
                previous = id;
            }
            units_[static_cast<size_t>(nextUnit)].Prev = previous;
            if (previous >= 0) units_[static_cast<size_t>(previous)].Next = nextUnit;
            else unitHead_ = nextUnit;
            a = b + 1;
        }
    }
    out = alive_.Rest();
    return true;
}

}  // namespace

bool BlockMarkersSupported(std::string_view start, std::string_view end) {
    if (start.empty() || end.empty() || start.size() > 32 || end.size() > 32) return false;
    const unsigned char first = Fold(static_cast<unsigned char>(start.front()));
    const unsigned char last = Fold(static_cast<unsigned char>(end.back()));
    if (IsAsciiLetter(first) || IsAsciiLetter(last) || first == last) return false;
    auto fold = [](std::string_view s, size_t i) { return Fold(static_cast<unsigned char>(s[i])); };
    for (size_t i = 1; i < start.size(); ++i)
        if (fold(start, i) == first || fold(start, i) == fold(end, 0)) return false;
    for (size_t i = 1; i < end.size(); ++i)
        if (fold(end, i) == first) return false;
    for (size_t i = 0; i + 1 < start.size(); ++i)
        if (fold(start, i) == last) return false;
    for (size_t i = 0; i + 1 < end.size(); ++i)
        if (fold(end, i) == last) return false;
    // Neither marker begins the other.
    const size_t common = std::min(start.size(), end.size());
    size_t i = 0;
    while (i < common && fold(start, i) == fold(end, i)) ++i;
    return i < common;
}

bool RemoveBlocksLinear(std::string& text, std::string_view start, std::string_view end) {
    if (!BlockMarkersSupported(start, end)) return false;
    std::string out;
    {
        TLinearRemoval removal(text, start, end);
        if (!removal.Run(out)) return false;
    }
    text.swap(out);
    return true;
}
