#include "layout/lzcompress.h"

#include <stdint.h>
#include <string.h>

// Each position's longest earlier match (3 to 18 bytes, at most 4095 back)
// is found exactly, at every position: one of 3, 4 or 5 bytes as the latest
// earlier string that begins with them, through hash chains, so that a
// shared hash hides nothing; a longer one in a binary search tree of the
// window's strings whose first six bytes hash alike, in byte order, as the
// classic LZSS coders keep one: inserting a string walks past its nearest
// neighbours in that order, and so past its longest match. Each block of
// positions is then parsed for the fewest bits (9 a literal, 17 a
// reference) from its end backwards, rather than by taking the longest
// match wherever one starts: smaller than the greedy coders, and each byte
// is looked at a few times, not once for every earlier position. All of it
// static: the same bytes for the same input every time.

namespace {

constexpr unsigned kRing = 4096;  // the expansion's
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 18;
// The expansion copies a reference byte by byte within its one ring, each
// byte read before the next is written: a reference reaches back 4095
// bytes at most, so that its first byte is never the one being written.
constexpr unsigned kMaxDistance = kRing - 1;
// The window here: those bytes and the 18 ahead, by position modulo its
// size.
constexpr unsigned kSlots = 2 * kRing;
// Where in its ring the expansion writes the first byte.
constexpr unsigned kFirstSlot = kRing - 16;
constexpr unsigned long kBlock = 1UL << 16;
constexpr unsigned kLiteralBits = 9;
constexpr unsigned kReferenceBits = 17;
constexpr unsigned char kHeader[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'};

// The window and the 18 bytes ahead, by position modulo kSlots; the first
// 17 bytes again past its end, so that every string is contiguous, and room
// for the word compares' reads past a string. Past the file's end the bytes
// are zeros.
unsigned char Text[kSlots + kMaxMatch - 1 + 8];

// The input, read ahead in chunks.
unsigned char Chunk[1UL << 15];
UINT ChunkFill;
UINT ChunkNext;
HFILE Source;
unsigned long Unread;  // bytes of the file not yet in Chunk
bool ReadFailed;

// The trees: a node for each string in the window (its position modulo
// kSlots), and a root for each hash of six first bytes, whose one child is
// on its larger side. A parent is a node or kRoots plus a root's hash.
constexpr unsigned kHashBits = 16;
constexpr uint16_t kNone = kSlots;
constexpr uint32_t kRoots = kSlots + 1;
uint16_t Smaller[kSlots + 1];
uint16_t Larger[kSlots + 1];
uint16_t Root[1UL << kHashBits];
uint32_t Parent[kSlots + 1];

// For 3, 4 and 5 first bytes: the latest position, plus one, of a string
// that begins with bytes of each hash; and for each position the one
// before it with its hash, so that a string whose hash another shares is
// still found.
constexpr unsigned kShortest = kMinMatch;
constexpr unsigned kLongestShort = 5;
uint32_t Latest[kLongestShort - kShortest + 1][1UL << kHashBits];
uint32_t Earlier[kLongestShort - kShortest + 1][kSlots];

// For each position of the block: its byte, its longest match and how far
// back; the fewest bits from there to the block's end, and the token that
// starts them (its length; 1: a literal).
unsigned char Byte[kBlock];
unsigned char MatchLength[kBlock];
uint16_t MatchDistance[kBlock];
unsigned long Cost[kBlock + kMaxMatch];
unsigned char Choice[kBlock];

// The output: tokens gathered behind their flag byte, then written in
// chunks; or only counted.
unsigned char Group[1 + 2 * 8];
unsigned GroupFill;
unsigned GroupTokens;
unsigned char Output[1UL << 15];
UINT OutputFill;
HFILE Target;
unsigned long Written;
bool WriteFailed;

// The file's next byte; 0 past its end.
unsigned char NextByte() {
    if (ChunkNext == ChunkFill) {
        if (Unread == 0) return 0;
        const UINT want = Unread < sizeof Chunk ? static_cast<UINT>(Unread) : sizeof Chunk;
        ChunkFill = _lread(Source, Chunk, want);
        ChunkNext = 0;
        if (ChunkFill != want) {
            ReadFailed = true;
            ChunkFill = 0;
            Unread = 0;
            return 0;
        }
        Unread -= want;
    }
    return Chunk[ChunkNext++];
}

void Store(unsigned slot, unsigned char byte) {
    Text[slot] = byte;
    if (slot < kMaxMatch - 1) Text[kSlots + slot] = byte;
}

void FlushOutput() {
    if (OutputFill > 0 && Target != HFILE_ERROR &&
        _lwrite(Target, reinterpret_cast<LPCCH>(Output), OutputFill) != OutputFill)
        WriteFailed = true;
    Written += OutputFill;
    OutputFill = 0;
}

void Put(const unsigned char* bytes, UINT n) {
    if (OutputFill + n > sizeof Output) FlushOutput();
    memcpy(Output + OutputFill, bytes, n);
    OutputFill += n;
}

void FlushGroup() {
    if (GroupTokens > 0) Put(Group, GroupFill);
    Group[0] = 0;
    GroupFill = 1;
    GroupTokens = 0;
}

void EndToken() {
    if (++GroupTokens == 8) FlushGroup();
}

void Literal(unsigned char byte) {
    Group[0] = static_cast<unsigned char>(Group[0] | (1u << GroupTokens));
    Group[GroupFill++] = byte;
    EndToken();
}

// A reference to the bytes distance before position, by the expansion's
// ring slot of them.
void Reference(unsigned long position, unsigned distance, unsigned length) {
    const unsigned long slot = (kFirstSlot + position - distance) & (kRing - 1);
    Group[GroupFill++] = static_cast<unsigned char>(slot & 0xFF);
    Group[GroupFill++] = static_cast<unsigned char>(((slot >> 4) & 0xF0) | (length - kMinMatch));
    EndToken();
}

// The larger-side child of a node, or the child of a root.
uint16_t& LargerOf(uint32_t parent) {
    return parent >= kRoots ? Root[parent - kRoots] : Larger[parent];
}

// The link from node's parent to node.
uint16_t& LinkTo(uint16_t node) {
    uint16_t& larger = LargerOf(Parent[node]);
    return larger == node ? larger : Smaller[Parent[node]];
}

// The node takes the place of old in the tree, which leaves it.
void Replace(uint16_t old, uint16_t node) {
    Parent[node] = Parent[old];
    Smaller[node] = Smaller[old];
    Larger[node] = Larger[old];
    Parent[Smaller[old]] = node;
    Parent[Larger[old]] = node;
    LinkTo(old) = node;
    Parent[old] = kNone;
}

// The node leaves the tree (nothing when it is in none).
void Remove(uint16_t node) {
    if (Parent[node] == kNone) return;
    uint16_t next;
    if (Larger[node] == kNone) {
        next = Smaller[node];
    } else if (Smaller[node] == kNone) {
        next = Larger[node];
    } else {
        // The largest of the smaller ones takes its place.
        next = Smaller[node];
        if (Larger[next] != kNone) {
            do next = Larger[next];
            while (Larger[next] != kNone);
            LinkTo(next) = Smaller[next];
            Parent[Smaller[next]] = Parent[next];
            Smaller[next] = Smaller[node];
            Parent[Smaller[node]] = next;
        }
        Larger[next] = Larger[node];
        Parent[Larger[node]] = next;
    }
    Parent[next] = Parent[node];
    LinkTo(node) = next;
    Parent[node] = kNone;
}

// The hash of a string's first n bytes (of the eight in head).
unsigned HashOf(uint64_t head, unsigned n) {
    const uint64_t bytes = n < 8 ? head & ((uint64_t{1} << (8 * n)) - 1) : head;
    return static_cast<unsigned>((bytes * 0x9E3779B97F4A7C15ULL) >> (64 - kHashBits));
}

// How many of the first 18 bytes a and b share, knowing they share from.
// Eight at a time: the first differing byte is the lowest set one of the
// two words' difference, on the little-endian machines Windows runs on.
unsigned Shared(const unsigned char* a, const unsigned char* b, unsigned from) {
    for (unsigned n = from; n < kMaxMatch; n += 8) {
        uint64_t wordA;
        uint64_t wordB;
        memcpy(&wordA, a + n, 8);
        memcpy(&wordB, b + n, 8);
        if (const uint64_t differ = wordA ^ wordB) {
            n += static_cast<unsigned>(__builtin_ctzll(differ)) / 8;
            return n < kMaxMatch ? n : kMaxMatch;
        }
    }
    return kMaxMatch;
}

// The string at position goes into the tables and its tree, and its
// longest match among the window's (at most left bytes) into the block's
// tables at index.
void FindMatch(unsigned long position, unsigned long left, unsigned long index) {
    const uint16_t node = static_cast<uint16_t>(position & (kSlots - 1));
    const unsigned char* key = Text + node;
    uint64_t head;
    memcpy(&head, key, sizeof head);
    unsigned best = 0;
    uint16_t bestNode = node;
    for (unsigned n = kLongestShort; n >= kShortest; --n) {
        uint32_t& latest = Latest[n - kShortest][HashOf(head, n)];
        uint32_t* earlier = Earlier[n - kShortest];
        uint32_t link = latest;
        earlier[node] = latest;
        latest = static_cast<uint32_t>(position + 1);
        const uint64_t mask = (uint64_t{1} << (8 * n)) - 1;
        for (; best == 0 && link != 0 && position - (link - 1) <= kMaxDistance;
             link = earlier[(link - 1) & (kSlots - 1)]) {
            const uint16_t there = static_cast<uint16_t>((link - 1) & (kSlots - 1));
            uint64_t bytes;
            memcpy(&bytes, Text + there, sizeof bytes);
            if (((bytes ^ head) & mask) == 0) {
                best = n;
                bestNode = there;
            }
        }
    }

    Smaller[node] = Larger[node] = kNone;
    const unsigned hash = HashOf(head, 6);
    uint32_t parent = kRoots + hash;
    uint16_t* link = &Root[hash];
    // What key shares with the nearest strings below and above it met so
    // far: every string between those two shares at least the lesser.
    unsigned sharedBelow = 0;
    unsigned sharedAbove = 0;
    for (;;) {
        if (*link == kNone) {
            *link = node;
            Parent[node] = parent;
            break;
        }
        const uint16_t at = *link;
        const unsigned n = Shared(key, Text + at, sharedBelow < sharedAbove ? sharedBelow : sharedAbove);
        if (n > best) {
            best = n;
            bestNode = at;
        }
        if (n == kMaxMatch) {
            // The same string, nearer: it takes the older one's place.
            Replace(at, node);
            break;
        }
        const bool larger = key[n] > Text[at + n];
        (larger ? sharedBelow : sharedAbove) = n;
        link = larger ? &Larger[at] : &Smaller[at];
        parent = at;
    }
    if (best > left) best = static_cast<unsigned>(left);
    MatchLength[index] = static_cast<unsigned char>(best >= kMinMatch ? best : 0);
    MatchDistance[index] = static_cast<uint16_t>((node - bestNode) & (kSlots - 1));
}

// The cheapest tokens for the block [start, end), from first on; a token
// may run past end, whose bits are then counted no further. Returns where
// the last token ends.
unsigned long ParseBlock(unsigned long start, unsigned long end, unsigned long first) {
    // Cost past the block's last position counts nothing.
    for (unsigned n = 0; n < kMaxMatch; ++n) Cost[end - start + n] = 0;
    for (unsigned long j = end; j-- > first;) {
        const unsigned long index = j - start;
        unsigned long best = Cost[index + 1] + kLiteralBits;
        unsigned char choice = 1;
        for (unsigned n = kMinMatch; n <= MatchLength[index]; ++n) {
            const unsigned long bits = Cost[index + n] + kReferenceBits;
            if (bits <= best) {
                best = bits;
                choice = static_cast<unsigned char>(n);
            }
        }
        Cost[index] = best;
        Choice[index] = choice;
    }
    unsigned long j = first;
    while (j < end) {
        const unsigned long index = j - start;
        if (Choice[index] == 1)
            Literal(Byte[index]);
        else
            Reference(j, MatchDistance[index], Choice[index]);
        j += Choice[index];
    }
    return j;
}

}  // namespace

long LzCompress(HFILE source, unsigned long length, HFILE output, char lastChar) {
    for (uint16_t& root : Root) root = kNone;
    for (uint32_t& parent : Parent) parent = kNone;
    memset(Latest, 0, sizeof Latest);
    Source = source;
    Unread = length;
    ChunkFill = ChunkNext = 0;
    ReadFailed = false;
    Target = output;
    OutputFill = 0;
    Written = 0;
    WriteFailed = false;
    Group[0] = 0;
    GroupFill = 1;
    GroupTokens = 0;

    Put(kHeader, sizeof kHeader);
    const unsigned char tail[] = {static_cast<unsigned char>(lastChar),
                                  static_cast<unsigned char>(length & 0xFF),
                                  static_cast<unsigned char>((length >> 8) & 0xFF),
                                  static_cast<unsigned char>((length >> 16) & 0xFF),
                                  static_cast<unsigned char>((length >> 24) & 0xFF)};
    Put(tail, sizeof tail);

    for (unsigned slot = 0; slot < kMaxMatch; ++slot) Store(slot, NextByte());
    unsigned long next = 0;  // where the next token starts
    for (unsigned long start = 0; start < length;) {
        const unsigned long end = length - start < kBlock ? length : start + kBlock;
        for (unsigned long position = start; position < end; ++position) {
            const unsigned long index = position - start;
            Byte[index] = Text[position & (kSlots - 1)];
            FindMatch(position, length - position, index);
            // The string that now leaves the window goes; its first byte's
            // slot takes the byte 18 ahead.
            if (position >= kMaxDistance)
                Remove(static_cast<uint16_t>((position - kMaxDistance) & (kSlots - 1)));
            Store(static_cast<unsigned>((position + kMaxMatch) & (kSlots - 1)), NextByte());
        }
        next = ParseBlock(start, end, next);
        start = end;
    }
    FlushGroup();
    FlushOutput();
    return ReadFailed || WriteFailed ? -1 : static_cast<long>(Written);
}
