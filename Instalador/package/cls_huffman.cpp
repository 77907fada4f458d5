#include "Instalador/package/cls_huffman.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "Instalador/package/binary_file.h"

namespace kova {
namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int kMaxNodes = 512;    // 256 leaves and 255 inner nodes
constexpr int kMaxCodeBits = 255; // a code length is one byte
constexpr size_t kHeaderBytes = 11;

HuffmanError Error(int32_t number, std::string_view source, std::string_view description) {
  return HuffmanError{number, std::string(source), std::string(description)};
}
HuffmanError IdError() { return Error(kObjectErrorBase, he3::kIdSource, he3::kIdDescription); }
HuffmanError ChecksumError() {
  return Error(kObjectErrorBase, he3::kChecksumSource, he3::kChecksumDescription);
}
HuffmanError RangeError(std::string_view source) {
  return Error(kErrSubscriptRange, source, he3::kRangeDescription);
}
HuffmanError OverflowError(std::string_view source) {
  return Error(kErrOverflow, source, he3::kOverflowDescription);
}
constexpr std::string_view kEncodeSource = "clsHuffman.EncodeByte()";
constexpr std::string_view kDecodeSource = "clsHuffman.DecodeByte()";

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}
inline void Store64(uint8_t* p, uint64_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  std::memcpy(p, &v, 8);
}

// Raises a progress value only when its rounded value (halves to even)
// differs from the last one raised in this call; the last starts at 0.
class Progress {
 public:
  explicit Progress(const clsHuffman::ProgressHandler& handler) : handler_(handler) {}
  bool Active() const { return static_cast<bool>(handler_); }
  void Raise(double value) {
    const auto v = static_cast<int16_t>(std::nearbyint(value));
    if (v != last_) {
      last_ = v;
      if (handler_) handler_(v);
    }
  }
  void Finish() { Raise(100.0); }
  // Values scale + position / total * factor for every multiple of `step`
  // in [from, to).
  void Steps(int64_t from, int64_t to, int64_t step, int64_t total, double factor,
             double offset) {
    if (!Active() || total <= 0) return;
    for (int64_t pos = (from + step - 1) / step * step; pos < to; pos += step)
      Raise(static_cast<double>(pos) / static_cast<double>(total) * factor + offset);
  }

 private:
  const clsHuffman::ProgressHandler& handler_;
  int16_t last_ = 0;
};

// ---------------------------------------------------------------- encoder

struct EncodeNode {
  uint32_t weight;
  int16_t value, parent, child0, child1;
};

struct CodeBook {
  std::array<uint8_t, 256> length{};
  // A code's bits, first bit in bit 0 of word 0.
  std::array<std::array<uint64_t, 4>, 256> bits{};
};

// Builds the code tree with the candidate rules that fix the format (every
// writer must choose the same pairs, ties included) and assigns the codes.
void BuildCodes(const std::array<uint32_t, 256>& counts, CodeBook& book) {
  std::array<EncodeNode, kMaxNodes> nodes;
  int count = 0;
  for (int v = 0; v < 256; ++v)
    if (counts[v]) nodes[count++] = {counts[v], static_cast<int16_t>(v), -1, -1, -1};
  if (count == 0) return;
  for (int parentless = count; parentless > 1; --parentless) {
    int first = -1, second = -1;
    uint32_t wf = 0, ws = 0;
    for (int i = 0; i < count; ++i) {
      if (nodes[i].parent != -1) continue;
      const uint32_t w = nodes[i].weight;
      if (first < 0) {
        first = i, wf = w;
      } else if (second < 0) {
        second = i, ws = w;
      } else if (w >= wf) {
        if (w < ws) second = i, ws = w;
      } else if (w >= ws || wf >= ws) {
        first = i, wf = w;
      } else {
        second = i, ws = w;
      }
    }
    nodes[count] = {wf + ws, -1, -1, static_cast<int16_t>(first), static_cast<int16_t>(second)};
    nodes[first].parent = nodes[second].parent = static_cast<int16_t>(count);
    ++count;
  }
  // Depth-first from the root, bit 0 before bit 1.
  struct Visit {
    int node, depth;
    std::array<uint64_t, 4> path;
  };
  std::array<Visit, kMaxNodes> stack;
  int top = 0;
  stack[top++] = {count - 1, 0, {}};
  while (top > 0) {
    const Visit at = stack[--top];
    const EncodeNode& n = nodes[at.node];
    if (n.value >= 0) {
      book.length[n.value] = static_cast<uint8_t>(at.depth);
      book.bits[n.value] = at.path;
      continue;
    }
    Visit one = {n.child1, at.depth + 1, at.path};
    one.path[at.depth >> 6] |= uint64_t{1} << (at.depth & 63);
    stack[top++] = one;  // popped after the bit-0 child
    stack[top++] = {n.child0, at.depth + 1, at.path};
  }
}

// Appends bits to a buffer sized in advance (plus 8 bytes of slack). The
// partial last byte is always stored already, padded with zero bits.
struct BitWriter {
  uint8_t* out;
  uint64_t acc = 0;  // unplaced bits, at most 7 between calls
  unsigned fill = 0;

  void Put(uint64_t bits, unsigned n) {  // n <= 56, no bits above n
    acc |= bits << fill;
    fill += n;
    Store64(out, acc);
    out += fill >> 3;
    acc >>= fill & ~7u;
    fill &= 7;
  }
  void PutCode(const CodeBook& book, int v) {
    unsigned left = book.length[v];
    for (unsigned at = 0; left > 0; at += 32) {
      const unsigned n = left > 32 ? 32 : left;
      const uint64_t word = book.bits[v][at / 64] >> (at % 64);
      Put(word & ((uint64_t{1} << n) - 1), n);
      left -= n;
    }
  }
  uint8_t* End() const { return out + (fill ? 1 : 0); }
};

// Data bits for codes of at most 28 bits: two codes are joined before they
// meet the accumulator, so one store serves two input bytes.
void WriteDataShort(const uint8_t* in, size_t n, const CodeBook& book, BitWriter& w) {
  std::array<uint32_t, 256> code;
  std::array<uint8_t, 256> len;
  for (int v = 0; v < 256; ++v) {
    code[v] = static_cast<uint32_t>(book.bits[v][0]);
    len[v] = book.length[v];
  }
  uint64_t acc = w.acc;
  unsigned fill = w.fill;
  uint8_t* out = w.out;
  size_t i = 0;
  for (; i + 2 <= n; i += 2) {
    const uint8_t a = in[i], b = in[i + 1];
    const uint64_t pair = code[a] | (uint64_t{code[b]} << len[a]);
    acc |= pair << fill;
    fill += len[a] + len[b];
    Store64(out, acc);
    out += fill >> 3;
    acc >>= fill & ~7u;
    fill &= 7;
  }
  w.acc = acc;
  w.fill = fill;
  w.out = out;
  for (; i < n; ++i) w.Put(code[in[i]], len[in[i]]);
}

void WriteDataLong(const uint8_t* in, size_t n, const CodeBook& book, BitWriter& w) {
  for (size_t i = 0; i < n; ++i) w.PutCode(book, in[i]);
}

// One pass gives both the histogram and the checksum.
void CountAndXor(const uint8_t* in, size_t n, std::array<uint32_t, 256>& counts, uint8_t& sum) {
  std::array<std::array<uint32_t, 256>, 4> h{};
  uint64_t x = 0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const uint64_t w = Load64(in + i);
    x ^= w;
    ++h[0][w & 0xFF];
    ++h[1][(w >> 8) & 0xFF];
    ++h[2][(w >> 16) & 0xFF];
    ++h[3][(w >> 24) & 0xFF];
    ++h[0][(w >> 32) & 0xFF];
    ++h[1][(w >> 40) & 0xFF];
    ++h[2][(w >> 48) & 0xFF];
    ++h[3][w >> 56];
  }
  for (; i < n; ++i) {
    x ^= in[i];
    ++h[0][in[i]];
  }
  for (int v = 0; v < 256; ++v) counts[v] += h[0][v] + h[1][v] + h[2][v] + h[3][v];
  x ^= x >> 32;
  x ^= x >> 16;
  x ^= x >> 8;
  sum ^= static_cast<uint8_t>(x);
}

HuffmanError EncodeImpl(std::span<const uint8_t> input, std::vector<uint8_t>& out,
                        Progress& progress) {
  if (input.size() > static_cast<size_t>(kInt32Max)) return OverflowError(kEncodeSource);
  const int64_t n = static_cast<int64_t>(input.size());
  if (n == 0) {
    out.assign(he3::kStoredId.begin(), he3::kStoredId.end());
    return {};
  }
  std::array<uint32_t, 256> counts{};
  uint8_t checksum = 0;
  // Counted in blocks so that progress can be raised as the count goes.
  constexpr int64_t kBlock = 1 << 18;
  for (int64_t at = 0; at < n; at += kBlock) {
    const int64_t end = std::min(n, at + kBlock);
    CountAndXor(input.data() + at, static_cast<size_t>(end - at), counts, checksum);
    progress.Steps(at, end, 1000, n, 7.0, 0.0);
  }
  CodeBook book;
  BuildCodes(counts, book);
  uint64_t dataBits = 0, codeBits = 0;
  int symbols = 0;
  unsigned maxLength = 0;
  for (int v = 0; v < 256; ++v) {
    dataBits += uint64_t{book.length[v]} * counts[v];
    codeBits += book.length[v];
    if (book.length[v]) ++symbols;
    maxLength = std::max<unsigned>(maxLength, book.length[v]);
  }
  if (dataBits > static_cast<uint64_t>(kInt32Max)) return OverflowError(kEncodeSource);
  const int64_t dataBytes = static_cast<int64_t>((dataBits + 7) / 8);
  if (dataBytes == 0 || dataBytes > n) {
    if (n + 4 > kInt32Max) return OverflowError(kEncodeSource);
    out.resize(static_cast<size_t>(n + 4));
    std::memcpy(out.data(), he3::kStoredId.data(), 4);
    std::memcpy(out.data() + 4, input.data(), input.size());
    progress.Finish();
    return {};
  }
  const int64_t codeBytes = static_cast<int64_t>((codeBits + 7) / 8);
  const int64_t total = static_cast<int64_t>(kHeaderBytes) + 2 * symbols + codeBytes + dataBytes;
  if (total > kInt32Max) return OverflowError(kEncodeSource);
  progress.Steps(0, n, 10000, n, 5.0, 7.0);  // the checksum came with the count

  out.resize(static_cast<size_t>(total) + 8);  // slack for 8-byte stores
  uint8_t* o = out.data();
  std::memcpy(o, he3::kCodedId.data(), 4);
  o[4] = checksum;
  const auto len32 = static_cast<uint32_t>(n);
  for (int k = 0; k < 4; ++k) o[5 + k] = static_cast<uint8_t>(len32 >> (8 * k));
  o[9] = static_cast<uint8_t>(symbols);
  o[10] = static_cast<uint8_t>(symbols >> 8);
  o += kHeaderBytes;
  for (int v = 0; v < 256; ++v) {
    if (!book.length[v]) continue;
    *o++ = static_cast<uint8_t>(v);
    *o++ = book.length[v];
  }
  BitWriter codes{o};
  for (int v = 0; v < 256; ++v)
    if (book.length[v]) codes.PutCode(book, v);
  BitWriter data{codes.End()};  // data bits start on a fresh byte

  // Coded in blocks so that progress can be raised as the coding goes.
  constexpr int64_t kDataBlock = 1 << 20;
  for (int64_t at = 0; at < n; at += kDataBlock) {
    const int64_t end = std::min(n, at + kDataBlock);
    const size_t count = static_cast<size_t>(end - at);
    if (maxLength <= 28)
      WriteDataShort(input.data() + at, count, book, data);
    else
      WriteDataLong(input.data() + at, count, book, data);
    progress.Steps(at, end, 10000, n, 88.0, 12.0);
  }
  out.resize(static_cast<size_t>(data.End() - out.data()));
  progress.Finish();
  return {};
}

// ---------------------------------------------------------------- decoder

// The decoder tree as the stream describes it. A node holding a value ends
// a code (whatever lies below it is unreachable); a missing child is a
// broken bit path.
struct DecodeTree {
  std::array<std::array<int16_t, 2>, kMaxNodes> child;
  std::array<int16_t, kMaxNodes> value;
  int used = 1;
  int minLength = kMaxCodeBits;

  bool IsLeaf(int n) const { return value[n] >= 0; }
};

// Lookup tables. The first level is indexed by the next 11 bits and may
// give up to four symbols at once (runs of short codes, such as the zero
// bytes of executables); longer codes escape to second-level tables of 8
// bits, one per inner node reached, which may escape further. An entry is
// bits | symbols << 6 | sym1 << 32 | sym2 << 40 | sym3 << 48 | sym4 << 56;
// the low six bits always count the bits the entry takes, so they can shift
// the bit buffer as they are. Zero symbols marks a special entry: a broken
// path, or with kLink a link to table (entry >> 16 & 0xFFFF).
constexpr int kRootBits = 11;
constexpr int kSubBits = 8;
constexpr int kMaxSymbols = 4;
using Entry = uint64_t;
constexpr Entry kSymbolsMask = 7u << 6;
constexpr Entry kLink = 1u << 9;

inline bool IsSpecial(Entry e) { return (e & kSymbolsMask) == 0; }
inline bool IsLink(Entry e) { return IsSpecial(e) && (e & kLink); }

struct DecodeTables {
  std::array<Entry, 1u << kRootBits> root;
  std::vector<Entry> sub;  // kSubBits-wide tables, back to back
};

inline Entry LeafEntry(int sym, unsigned bits) { return bits | 1u << 6 | Entry(sym) << 32; }
inline unsigned EntryBits(Entry e) { return e & 63; }

void FillTable(const DecodeTree& tree, int top, unsigned width, Entry* table,
               std::vector<int>& pending, std::array<int16_t, kMaxNodes>& subOf) {
  struct Visit {
    int node;
    unsigned depth, path;
  };
  std::array<Visit, kMaxNodes> stack;
  int sp = 0;
  stack[sp++] = {top, 0, 0};
  while (sp > 0) {
    const Visit at = stack[--sp];
    for (unsigned b = 0; b < 2; ++b) {
      const int c = tree.child[at.node][b];
      const unsigned depth = at.depth + 1, path = at.path | b << at.depth;
      Entry e;
      if (c < 0) {
        e = depth;
      } else if (tree.IsLeaf(c)) {
        e = LeafEntry(tree.value[c], depth);
      } else if (depth == width) {
        if (subOf[c] < 0) {
          subOf[c] = static_cast<int16_t>(pending.size());
          pending.push_back(c);
        }
        e = kLink | width | Entry(subOf[c]) << 16;
      } else {
        stack[sp++] = {c, depth, path};
        continue;
      }
      for (unsigned j = path; j < (1u << width); j += 1u << depth) table[j] = e;
    }
  }
}

void BuildTables(const DecodeTree& tree, DecodeTables& t) {
  std::vector<int> pending;
  std::array<int16_t, kMaxNodes> subOf;
  subOf.fill(-1);
  std::array<Entry, 1u << kRootBits> single;
  FillTable(tree, 0, kRootBits, single.data(), pending, subOf);
  for (size_t i = 0; i < pending.size(); ++i) {  // grows while it is walked
    t.sub.resize((i + 1) << kSubBits);
    FillTable(tree, pending[i], kSubBits, t.sub.data() + (i << kSubBits), pending, subOf);
  }
  // Following symbols join the first while their codes fit in the bits
  // left: the entry for the remaining bits, read from the same table, is
  // right whenever its code is no longer than those bits.
  for (unsigned i = 0; i < single.size(); ++i) {
    Entry e = single[i];
    t.root[i] = e;
    if (IsSpecial(e)) continue;
    for (unsigned count = 2; count <= kMaxSymbols; ++count) {
      const unsigned used = EntryBits(e);
      const Entry next = single[i >> used];
      if (IsSpecial(next) || used + EntryBits(next) > kRootBits) break;
      e = (used + EntryBits(next)) | Entry{count} << 6 | (e & 0xFFFFFFFF00000000u) |
          (next >> 32 & 0xFF) << (32 + 8 * (count - 1));
    }
    t.root[i] = e;
  }
}

// Bit reader state of the table decoder. `buf` holds `bits` unread bits
// (and correct look-ahead above them); p is the next byte to load.
struct BitCursor {
  const uint8_t* p;
  uint64_t buf;
  unsigned bits;
  uint8_t* o;
  uint64_t Position(const uint8_t* base) const { return uint64_t(p - base) * 8 - bits; }
};

// A whole symbol (up to 255 bits) and five lookups never read more than
// kInMargin bytes past a start at or before the input limit, and five
// lookups write at most kOutMargin bytes (four symbol bytes from at most
// 16 bytes on).
constexpr ptrdiff_t kInMargin = 256;
constexpr ptrdiff_t kOutMargin = 20;
static_assert(5 * kRootBits <= 56 && kSubBits <= kRootBits, "lookups must fit one refill");

// Decodes while p <= inLimit and o <= outLimit. False when a broken path
// was met; the cursor then stands at the start of that symbol.
bool DecodeFast(BitCursor& c, const uint8_t* inLimit, uint8_t* outLimit, const Entry* root,
                const Entry* sub) {
  // Locals, so that the byte stores cannot alias the reader's state.
  const uint8_t* p = c.p;
  uint64_t buf = c.buf;
  unsigned bits = c.bits;
  uint8_t* o = c.o;
  bool ok = true;
  auto refill = [&p, &buf, &bits]() {
    buf |= Load64(p) << bits;
    p += (63 - bits) >> 3;
    bits |= 56;
  };
  while (p <= inLimit && o <= outLimit) {
    refill();
#pragma GCC unroll 5
    for (int k = 0; k < 5; ++k) {  // 5 x 11 bits fit the 56 refilled
      Entry e = root[buf & ((1u << kRootBits) - 1)];
      if (IsSpecial(e)) [[unlikely]] {
        // Long code: follow the links, refilling between levels.
        const uint64_t buf0 = buf;
        const unsigned bits0 = bits;
        const uint8_t* const p0 = p;
        while (IsLink(e)) {
          buf >>= EntryBits(e);
          bits -= EntryBits(e);
          if (bits < kSubBits) refill();
          e = sub[((e >> 16 & 0xFFFF) << kSubBits) + (buf & ((1u << kSubBits) - 1))];
        }
        if (IsSpecial(e)) {  // broken path: rewind for the exact walk
          buf = buf0, bits = bits0, p = p0;
          ok = false;
          break;
        }
        *o++ = static_cast<uint8_t>(e >> 32);
        buf >>= EntryBits(e);
        bits -= EntryBits(e);
        refill();
        continue;
      }
      // All four symbol bytes are stored; the unused ones are overwritten
      // later.
      const auto symbols = static_cast<uint32_t>(e >> 32);
      if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(o, &symbols, 4);
      } else {
        for (int k = 0; k < 4; ++k) o[k] = static_cast<uint8_t>(symbols >> (8 * k));
      }
      o += (e >> 6) & 7;
      buf >>= EntryBits(e);
      bits -= EntryBits(e);
    }
    if (!ok) break;
  }
  c = {p, buf, bits, o};
  return ok;
}

struct Header {
  uint8_t checksum;
  int32_t length;
  size_t dataStart;
};

enum class Outcome { Decoded, Unchanged };

// Reads the table and the code bits into the tree.
HuffmanError ReadCodes(std::span<const uint8_t> s, Header& h, DecodeTree& tree) {
  if (s.size() < kHeaderBytes) return RangeError(kDecodeSource);
  h.checksum = s[4];
  h.length = static_cast<int32_t>(uint32_t(s[5]) | uint32_t(s[6]) << 8 | uint32_t(s[7]) << 16 |
                                  uint32_t(s[8]) << 24);
  const int n = static_cast<int16_t>(s[9] | s[10] << 8);
  if (h.length == 0) return {};
  if (h.length < 0 || n < 1 || n > 256) return RangeError(kDecodeSource);
  size_t at = kHeaderBytes;
  if (s.size() - at < 2 * size_t(n)) return RangeError(kDecodeSource);
  std::array<uint8_t, 256> length{};
  for (int i = 0; i < n; ++i, at += 2) length[s[at]] = s[at + 1];
  size_t codeBits = 0;
  for (int v = 0; v < 256; ++v) codeBits += length[v];
  if (s.size() - at < (codeBits + 7) / 8) return RangeError(kDecodeSource);
  h.dataStart = at + (codeBits + 7) / 8;

  tree.child[0] = {-1, -1};
  tree.value[0] = -1;
  size_t bit = at * 8;
  for (int v = 0; v < 256; ++v) {
    if (!length[v]) continue;
    tree.minLength = std::min<int>(tree.minLength, length[v]);
    int node = 0;
    for (int k = 0; k < length[v]; ++k, ++bit) {
      const int b = (s[bit >> 3] >> (bit & 7)) & 1;
      if (tree.child[node][b] < 0) {
        if (tree.used >= kMaxNodes) return RangeError(kDecodeSource);
        const int c = tree.used++;
        tree.child[c] = {-1, -1};
        tree.value[c] = -1;
        tree.child[node][b] = static_cast<int16_t>(c);
      }
      node = tree.child[node][b];
    }
    tree.value[node] = static_cast<int16_t>(v);
  }
  return {};
}

HuffmanError DecodeImpl(std::span<const uint8_t> s, std::vector<uint8_t>& out, Outcome& outcome,
                        Progress& progress) {
  outcome = Outcome::Decoded;
  if (s.size() < 4) return IdError();
  if (std::memcmp(s.data(), he3::kStoredId.data(), 4) == 0) {
    out.assign(s.begin() + 4, s.end());
    return {};
  }
  if (std::memcmp(s.data(), he3::kCodedId.data(), 4) != 0) return IdError();
  Header h{};
  auto tree = std::make_unique<DecodeTree>();
  if (HuffmanError e = ReadCodes(s, h, *tree)) return e;
  if (h.length == 0) {
    outcome = Outcome::Unchanged;
    return {};
  }
  // Every code takes at least minLength bits: a length the data bits cannot
  // reach is a damaged stream, refused before anything is allocated.
  const uint64_t available = (s.size() - h.dataStart) * uint64_t{8};
  if (uint64_t(h.length) * uint64_t(tree->minLength) > available) return ChecksumError();

  auto tables = std::make_unique<DecodeTables>();
  BuildTables(*tree, *tables);
  const Entry* root = tables->root.data();
  const Entry* sub = tables->sub.data();

  out.resize(static_cast<size_t>(h.length));
  uint8_t* o = out.data();
  uint8_t* const oEnd = o + out.size();
  const uint8_t* const base = s.data() + h.dataStart;
  const uint8_t* const end = s.data() + s.size();
  BitCursor cur{base, 0, 0, o};

  // Progress counts the stream's bytes (1-based) as the bit walk reaches them.
  const int64_t streamLen = static_cast<int64_t>(s.size());
  int64_t reported = static_cast<int64_t>(h.dataStart);
  auto reach = [&](int64_t touchedEnd) {  // stream bytes [0, touchedEnd) reached
    if (touchedEnd > reported) {
      progress.Steps(reported + 1, touchedEnd + 1, 10000, streamLen, 89.0, 0.0);
      reported = touchedEnd;
    }
  };
  auto touched = [&](uint64_t pos) { return int64_t(h.dataStart + (pos + 7) / 8); };

  // Fast path, in segments so that progress can be raised between them.
  if (end - base > kInMargin) {
    const uint8_t* const fastEnd = end - kInMargin;
    constexpr ptrdiff_t kSegment = ptrdiff_t{1} << 16;
    bool broken = false;
    while (!broken && cur.p <= fastEnd && oEnd - cur.o >= kOutMargin) {
      const uint8_t* const segEnd =
          progress.Active() && fastEnd - cur.p > kSegment ? cur.p + kSegment : fastEnd;
      broken = !DecodeFast(cur, segEnd, oEnd - kOutMargin, root, sub);
      reach(touched(cur.Position(base)));
    }
  }
  o = cur.o;

  // Exact bit walk for the last bytes, for a broken path and for short
  // streams: the reference behaviour the tables reproduce.
  const uint64_t availableBits = uint64_t(end - base) * 8;
  uint64_t pos = cur.Position(base);
  int node = 0;
  for (; pos < availableBits && o < oEnd; ++pos) {
    const int b = (base[pos >> 3] >> (pos & 7)) & 1;
    const int c = tree->child[node][b];
    if (c < 0) {
      reach(int64_t(h.dataStart + pos / 8 + 1));
      return RangeError(kDecodeSource);
    }
    if (tree->IsLeaf(c)) {
      *o++ = static_cast<uint8_t>(tree->value[c]);
      node = 0;
    } else {
      node = c;
    }
  }
  reach(touched(pos));
  if (o != oEnd) return ChecksumError();  // the data ran out before the length

  uint8_t sum = 0;
  const int64_t total = h.length;
  constexpr int64_t kBlock = 1 << 18;
  for (int64_t at = 0; at < total; at += kBlock) {
    const int64_t stop = std::min(total, at + kBlock);
    uint64_t x = 0;
    int64_t i = at;
    for (; i + 8 <= stop; i += 8) x ^= Load64(out.data() + i);
    x ^= x >> 32;
    x ^= x >> 16;
    x ^= x >> 8;
    sum ^= static_cast<uint8_t>(x);
    for (; i < stop; ++i) sum ^= out[i];
    progress.Steps(at, stop, 10000, total, 11.0, 89.0);
  }
  if (sum != h.checksum) return ChecksumError();
  progress.Finish();
  return {};
}

// Memory that cannot be had ends the call with an error, like any other.
HuffmanError Encode(std::span<const uint8_t> input, std::vector<uint8_t>& out,
                    Progress& progress) {
  try {
    return EncodeImpl(input, out, progress);
  } catch (const std::bad_alloc&) {
    return Error(kErrOutOfMemory, kEncodeSource, "Out of memory");
  }
}

HuffmanError Decode(std::span<const uint8_t> s, std::vector<uint8_t>& out, Outcome& outcome,
                    Progress& progress) {
  try {
    return DecodeImpl(s, out, outcome, progress);
  } catch (const std::bad_alloc&) {
    return Error(kErrOutOfMemory, kDecodeSource, "Out of memory");
  }
}

}  // namespace
}  // namespace kova

namespace kova {

HuffmanError clsHuffman::EncodeTo(std::span<const uint8_t> input, std::vector<uint8_t>& out) {
  Progress progress(progress_);
  return Encode(input, out, progress);
}

HuffmanError clsHuffman::DecodeTo(std::span<const uint8_t> stream, std::vector<uint8_t>& out) {
  Progress progress(progress_);
  Outcome outcome;
  HuffmanError e = Decode(stream, out, outcome, progress);
  if (!e && outcome == Outcome::Unchanged) out.assign(stream.begin(), stream.end());
  return e;
}

HuffmanError clsHuffman::EncodeByte(std::vector<uint8_t>& ByteArray, int32_t ByteLen) {
  if (ByteLen < 0 || static_cast<size_t>(ByteLen) > ByteArray.size())
    return RangeError(kEncodeSource);
  Progress progress(progress_);
  std::vector<uint8_t> out;
  HuffmanError e = Encode({ByteArray.data(), static_cast<size_t>(ByteLen)}, out, progress);
  if (!e) ByteArray.swap(out);
  return e;
}

HuffmanError clsHuffman::DecodeByte(std::vector<uint8_t>& ByteArray, int32_t ByteLen) {
  if (ByteLen < 0 || static_cast<size_t>(ByteLen) > ByteArray.size())
    return RangeError(kDecodeSource);
  Progress progress(progress_);
  std::vector<uint8_t> out;
  Outcome outcome;
  HuffmanError e = Decode({ByteArray.data(), static_cast<size_t>(ByteLen)}, out, outcome, progress);
  if (!e && outcome == Outcome::Decoded) ByteArray.swap(out);
  return e;
}

HuffmanError clsHuffman::EncodeString(std::string_view Text, std::string& Result) {
  std::vector<uint8_t> bytes(Text.begin(), Text.end());
  if (bytes.size() > static_cast<size_t>(kInt32Max)) return OverflowError(kEncodeSource);
  HuffmanError e = EncodeByte(bytes, static_cast<int32_t>(bytes.size()));
  if (!e) Result.assign(bytes.begin(), bytes.end());
  return e;
}

HuffmanError clsHuffman::DecodeString(std::string_view Text, std::string& Result) {
  std::vector<uint8_t> bytes(Text.begin(), Text.end());
  if (bytes.size() > static_cast<size_t>(kInt32Max)) return OverflowError(kDecodeSource);
  HuffmanError e = DecodeByte(bytes, static_cast<int32_t>(bytes.size()));
  if (!e) Result.assign(bytes.begin(), bytes.end());
  return e;
}

}  // namespace kova
