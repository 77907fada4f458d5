#include "store/ckx4data.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "store/store_error.h"

static_assert(offsetof(CKeywordData, index) == 4 && offsetof(CKeywordData, keyword) == 8,
              "the 12-byte key is group, index, keyword");
static_assert(std::endian::native == std::endian::little,
              "key order compares the index as little-endian bytes");

namespace {

// The scrambling key of every store made by the default constructor.
constexpr char kScrambleKey[] =
    "jd}ii[GDCa3a;/E[i((@t1_pPTgqquM:[<Y[!xPg@z=B]w]6^@c=d-lc3sKf_%~1M`@O^8ka%}_#_[]n0F!FM=jb7."
    "w.*v,>{GajD^9OAgg<MfZ5X<}mF+*j4[]mi}(6]Og:lr+z&G_,J3=zLRj]NV/}74Gm4>fv{B)'wYP#}Pk}N@6Yu2<"
    "a;q/h3Q$KvIFmc'G5{JywEH|xF";
static_assert(sizeof(kScrambleKey) == 206, "205 characters and the terminator");

constexpr const char* kErrorTexts[] = {
    "ERRO ALOCANDO MEMORIA PARA ESTRUTURA PRINCIPAL DA CLASSE CKX4DATA",
    "ERRO ALOCANDO MEMORIA PARA ARMAZENAR VALOR DE PALAVRA CHAVE",
    "ERRO NUMERO MAXIMO DE PALAVRAS CHAVES ALCANCADO. REVEJA O TEMPLATE OU ALTERE A QUANTIDADE "
    "MAXIMA DE PALAVRAS CHAVES SUPORTADA",
    "A FUNCAO [FindValue] RETORNOU UM VALOR NAO PREVISTO POR FAVOR ENTRE EM CONTATO COM O "
    "SUPORTE TECNICO INFORMANDO ESSA OCORRENCIA",
    "ERRO ALOCANDO MEMORIA PARA ARMAZENAR VALOR DE PALAVRA CHAVE DURANTE OPERACAO DE CLONAGEM",
};

kova::StoreErrorHandler g_handler = nullptr;

// Holds the store's lock for a scope; released on every way out, including
// the unwinding of a thread that a fatal error ends.
class Guard {
 public:
  explicit Guard(CKX4DATA& s) : s_(s) { s_.Lock(); }
  ~Guard() { s_.UnLock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  CKX4DATA& s_;
};

bool Empty(const char* s) { return s == nullptr || *s == '\0'; }

void CopyName(char (&dst)[4], const char* src) {
  std::memset(dst, 0, sizeof dst);
  if (src) std::strncpy(dst, src, 3);
}

CKeywordData MakeKey(const char* keyword, const char* group, int index) {
  CKeywordData k;
  std::memset(&k, 0, sizeof k);
  CopyName(k.group, group);
  k.index = index;
  CopyName(k.keyword, keyword);
  return k;
}

int Compare(const CKeywordData& a, const CKeywordData& b, std::size_t n) {
  return std::memcmp(&a, &b, n);
}

std::string NameOf(const char (&field)[4]) { return std::string(field, strnlen(field, 4)); }

}  // namespace

namespace kova {
StoreErrorHandler SetStoreErrorHandler(StoreErrorHandler handler) {
  return std::exchange(g_handler, handler);
}
}  // namespace kova

// ---- construction and lifetime ----

CKX4DATA::CKX4DATA() {
  Guard g(*this);
  max_keywords_ = kDefaultMaxKeywords;
  Inicializa();
  std::memcpy(key_, kScrambleKey, sizeof kScrambleKey);
}

CKX4DATA::CKX4DATA(unsigned int max_keywords) {
  Guard g(*this);
  max_keywords_ = max_keywords;
  Inicializa();
}

CKX4DATA::~CKX4DATA() {
  Guard g(*this);
  FreeEntries();
}

void CKX4DATA::Inicializa() {
  used_ = 0;
  sorted_ = false;
  entries_ = new (std::nothrow) CKeywordData[max_keywords_ ? max_keywords_ : 1];
  if (!entries_) ShowErro(0);
  std::memset(entries_, 0, sizeof(CKeywordData) * (max_keywords_ ? max_keywords_ : 1));
  SetSortStatus(true);
}

void CKX4DATA::FreeEntries() {
  if (!entries_) return;
  for (unsigned i = 0; i < used_; ++i) delete[] entries_[i].value;
  delete[] entries_;
  entries_ = nullptr;
  used_ = 0;
}

int CKX4DATA::Reset() { return Reset(max_keywords_); }

int CKX4DATA::Reset(unsigned int max_keywords) {
  Guard g(*this);
  FreeEntries();
  max_keywords_ = max_keywords;
  Inicializa();
  return 0;
}

void CKX4DATA::Zeradora() {
  Guard g(*this);
  for (unsigned i = 0; i < used_; ++i) {
    CKeywordData& e = entries_[i];
    delete[] e.value;
    std::memset(&e, 0, sizeof e);
  }
  used_ = 0;
  sorted_ = false;
  std::memset(key_, 0, sizeof key_);
  std::memcpy(key_, kScrambleKey, sizeof kScrambleKey);
}

int CKX4DATA::CloneData(const CKX4DATA& other_const) {
  CKX4DATA& other = const_cast<CKX4DATA&>(other_const);
  if (&other == this) return 0;
  // Copied out under the other's lock and in under ours, one after the
  // other, so two stores cloning each other cannot wait on each other.
  std::vector<CKeywordData> keys;
  std::vector<std::string> values;
  unsigned capacity;
  bool sort_status;
  {
    Guard theirs(other);
    capacity = other.max_keywords_;
    sort_status = other.sort_status_;
    keys.assign(other.entries_, other.entries_ + other.used_);
    for (const CKeywordData& e : keys)
      values.emplace_back(reinterpret_cast<const char*>(e.value), e.length);
  }
  Guard g(*this);
  Reset(capacity);
  for (std::size_t i = 0; i < keys.size() && i < max_keywords_; ++i) {
    CKeywordData& dst = entries_[i];
    dst = keys[i];
    dst.value = new (std::nothrow) unsigned char[dst.length ? dst.length : 1];
    if (!dst.value) ShowErro(4);
    if (dst.length) std::memcpy(dst.value, values[i].data(), dst.length);
    used_ = static_cast<unsigned>(i + 1);  // a failure above leaves only complete entries
  }
  sort_status_ = sort_status;
  return 0;
}

CKX4DATA& CKX4DATA::operator=(const CKX4DATA& other_const) {
  CKX4DATA& other = const_cast<CKX4DATA&>(other_const);
  // Taken as a snapshot so the two locks are never held together.
  std::vector<std::pair<std::string, std::string>> items;
  {
    Guard theirs(other);
    items.reserve(other.used_);
    for (unsigned i = 0; i < other.used_; ++i) {
      const CKeywordData& e = other.entries_[i];
      std::string value(reinterpret_cast<const char*>(e.value), e.length);
      value.resize(std::strlen(value.c_str()));  // taken as text
      items.emplace_back(NameOf(e.keyword), std::move(value));
    }
  }
  for (const auto& [keyword, value] : items) Add(keyword.c_str(), value.c_str());
  return *this;
}

// ---- adding ----

CKX4DATA_RESULT CKX4DATA::Add(const char* keyword, const char* group, int index,
                              unsigned int length, const void* value) {
  if (Empty(keyword)) return CKX4DATA_EMPTY_KEYWORD;
  if (!Empty(group) && index < 0) return CKX4DATA_BAD_INDEX;
  if (value == nullptr) return CKX4DATA_NO_DATA;
  CKeywordData e = MakeKey(keyword, group, index);
  e.length = static_cast<uint16_t>(length);
  e.value = new (std::nothrow) unsigned char[e.length ? e.length : 1];
  if (!e.value) ShowErro(1);
  if (e.length) std::memcpy(e.value, value, e.length);
  return Add(e);
}

CKX4DATA_RESULT CKX4DATA::Add(const char* keyword, const char* group, int index,
                              const char* value) {
  return Add(keyword, group, index, value ? static_cast<unsigned>(std::strlen(value)) : 0u,
             value);
}

CKX4DATA_RESULT CKX4DATA::Add(const char* keyword, unsigned int length, const void* value) {
  return Add(keyword, "", -1, length, value);
}

CKX4DATA_RESULT CKX4DATA::Add(const char* keyword, const char* value) {
  return Add(keyword, "", -1, value);
}

CKX4DATA_RESULT CKX4DATA::Add(CKeywordData& entry) {
  CKX4DATA_RESULT result;
  {
    Guard g(*this);
    int pos = -1;
    CKX4DATA_RESULT found = FindValue(entry, 12, &pos);
    if (found == CKX4DATA_OK) {
      delete[] entries_[pos].value;
      entries_[pos] = entry;
      result = CKX4DATA_REPLACED;
    } else if (found == CKX4DATA_INSERT_AT || found == CKX4DATA_NOT_FOUND) {
      // A full array cannot take one more; normally the thread has already
      // ended when the last free slot was used.
      if (used_ >= max_keywords_) {
        delete[] entry.value;
        ShowErro(2);
      }
      if (found == CKX4DATA_INSERT_AT) {
        std::memmove(&entries_[pos + 1], &entries_[pos], sizeof(CKeywordData) * (used_ - pos));
        entries_[pos] = entry;
      } else {
        entries_[used_] = entry;
      }
      ++used_;
      result = CKX4DATA_OK;
    } else {
      delete[] entry.value;
      ShowErro(3);
    }
  }
  if (used_ >= max_keywords_) ShowErro(2);
  if (!sorted_ && sort_status_) SortValues();
  return result;
}

// ---- lookup ----

CKX4DATA_RESULT CKX4DATA::FindValue(const CKeywordData& key, std::size_t n, int* position) {
  Guard g(*this);
  *position = -1;
  if (used_ == 0) return CKX4DATA_NOT_FOUND;
  if (!sorted_) {
    for (unsigned i = 0; i < used_; ++i)
      if (Compare(key, entries_[i], n) == 0) {
        *position = static_cast<int>(i);
        return CKX4DATA_OK;
      }
    return CKX4DATA_NOT_FOUND;
  }
  if (Compare(key, entries_[used_ - 1], n) > 0) return CKX4DATA_NOT_FOUND;
  if (Compare(key, entries_[0], n) < 0) {
    *position = 0;
    return CKX4DATA_INSERT_AT;
  }
  int lo = 0, hi = static_cast<int>(used_) - 1, mid = 0;
  while (lo <= hi) {
    mid = lo + (hi - lo) / 2;
    int c = Compare(key, entries_[mid], n);
    if (c == 0) {
      *position = mid;
      return CKX4DATA_OK;
    }
    if (c > 0)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  *position = mid + (Compare(key, entries_[mid], n) > 0 ? 1 : 0);
  return CKX4DATA_INSERT_AT;
}

// Index and keyword, any group: the lookup of an indexed Get without group.
CKX4DATA_RESULT CKX4DATA::FindByIndexAndKeyword(const CKeywordData& key, int* position) {
  *position = -1;
  for (unsigned i = 0; i < used_; ++i)
    if (std::memcmp(&key.index, &entries_[i].index, 8) == 0) {
      *position = static_cast<int>(i);
      return CKX4DATA_OK;
    }
  return CKX4DATA_NOT_FOUND;
}

// A binary search lands on any entry of a prefix; walks back to the first.
int CKX4DATA::FirstOfPrefix(int position, const CKeywordData& key, std::size_t n) {
  while (position > 0 && Compare(key, entries_[position - 1], n) == 0) --position;
  return position;
}

CKX4DATA_RESULT CKX4DATA::Get(const char* keyword, unsigned short* length, const char** value) {
  if (Empty(keyword)) return CKX4DATA_EMPTY_KEYWORD;
  return Get(keyword, "", -1, length, value);
}

CKX4DATA_RESULT CKX4DATA::Get(const char* keyword, const char* group, unsigned short* length,
                              const char** value) {
  return Get(keyword, group, -1, length, value);
}

CKX4DATA_RESULT CKX4DATA::Get(const char* keyword, const char* group, int index,
                              unsigned short* length, const char** value) {
  Guard g(*this);
  int pos = -1;
  CKX4DATA_RESULT r;
  if (Empty(group)) {
    if (Empty(keyword)) return CKX4DATA_EMPTY_KEYWORD;
    CKeywordData key = MakeKey(keyword, "", index);
    r = index < 0 ? FindValue(key, 12, &pos) : FindByIndexAndKeyword(key, &pos);
  } else if (index < 0) {
    if (Empty(keyword)) {
      unsigned count = 0;
      return Get(group, &count);
    }
    r = FindValue(MakeKey(keyword, group, 0), 12, &pos);
    if (r != CKX4DATA_OK) return CKX4DATA_NOT_FOUND;
    r = CKX4DATA_INDEX0_FOUND;
  } else if (Empty(keyword)) {
    unsigned count = 0;
    return Get(group, index, &count);
  } else {
    r = FindValue(MakeKey(keyword, group, index), 12, &pos);
  }
  if (r != CKX4DATA_OK && r != CKX4DATA_INDEX0_FOUND) return CKX4DATA_NOT_FOUND;
  if (length) *length = entries_[pos].length;
  if (value) *value = reinterpret_cast<const char*>(entries_[pos].value);
  return r;
}

CKX4DATA_RESULT CKX4DATA::Get(const char* group, unsigned int* count) {
  Guard g(*this);
  if (count) *count = 0;
  if (Empty(group)) return CKX4DATA_EMPTY_KEYWORD;
  CKeywordData key = MakeKey("", group, 0);
  int pos = -1;
  if (FindValue(key, 8, &pos) != CKX4DATA_OK) return CKX4DATA_NOT_FOUND;
  pos = FirstOfPrefix(pos, key, 8);
  unsigned n = 0;
  for (unsigned i = static_cast<unsigned>(pos); i < used_; ++i) {
    if (Compare(key, entries_[i], 4) != 0) break;
    if (i == static_cast<unsigned>(pos) || entries_[i].index != entries_[i - 1].index) ++n;
  }
  if (count) *count = n;
  return CKX4DATA_OK;
}

CKX4DATA_RESULT CKX4DATA::Get(const char* group, int index, unsigned int* count) {
  return Get(group, index, count, nullptr, 0);
}

CKX4DATA_RESULT CKX4DATA::Get(const char* group, int index, unsigned int* count, char* buffer,
                              unsigned int size) {
  Guard g(*this);
  if (count) *count = 0;
  if (buffer && size) std::memset(buffer, 0, size);
  if (Empty(group)) return CKX4DATA_EMPTY_KEYWORD;
  if (index < 0) return CKX4DATA_BAD_INDEX;
  CKeywordData key = MakeKey("", group, index);
  int pos = -1;
  if (FindValue(key, 8, &pos) != CKX4DATA_OK) return CKX4DATA_NOT_FOUND;
  pos = FirstOfPrefix(pos, key, 8);
  unsigned n = 0;
  while (pos + n < used_ && Compare(key, entries_[pos + n], 8) == 0) ++n;
  if (count) *count = n;
  if (buffer) {
    if (size < 3 * n + 1) return CKX4DATA_BUFFER_TOO_SMALL;
    for (unsigned i = 0; i < n; ++i)
      std::snprintf(buffer + 3 * i, 4, "%*.*s", 3, 3, entries_[pos + i].keyword);
  }
  return CKX4DATA_OK;
}

CKX4DATA_RESULT CKX4DATA::GetXML(const char* group, char* buffer, unsigned int size) {
  if (size < 16) return CKX4DATA_BUFFER_TOO_SMALL;
  Guard g(*this);
  std::memset(buffer, 0, size);
  CKeywordData key = MakeKey("", group, 0);
  int pos = -1;
  CKX4DATA_RESULT r = FindValue(key, 8, &pos);
  if (r != CKX4DATA_OK) return r;
  pos = FirstOfPrefix(pos, key, 8);
  std::size_t len = 0;
  bool open = false;
  int32_t last_index = 0;
  auto append = [&](const char* s, std::size_t n) {
    std::memcpy(buffer + len, s, n);
    len += n;
  };
  for (unsigned i = static_cast<unsigned>(pos); i < used_; ++i) {
    const CKeywordData& e = entries_[i];
    if (Compare(key, e, 4) != 0) break;
    std::string kw = NameOf(e.keyword), grp = NameOf(e.group);
    const bool opens = !open || e.index != last_index;
    // The store's own room rule, and the bytes this entry really takes with
    // the closing "/> " and the terminator, so the buffer is never overrun.
    std::size_t takes = (opens ? (open ? 3 : 0) + 2 + grp.size() : 0) + kw.size() + 4 + e.length;
    if (len + e.length + 8 > size || len + takes + 4 > size) {
      std::memset(buffer, 0, size);
      if (open) std::memcpy(buffer, "/> ", 3);
      return CKX4DATA_BUFFER_TOO_SMALL;
    }
    if (opens) {
      if (open) append("/> ", 3);
      append("<", 1);
      append(grp.data(), grp.size());
      append(" ", 1);
      open = true;
      last_index = e.index;
    }
    append(kw.data(), kw.size());
    append("=\"", 2);
    append(reinterpret_cast<const char*>(e.value), e.length);
    append("\" ", 2);
  }
  if (open) append("/> ", 3);
  return r;
}

bool CKX4DATA::GetText(const char* keyword, std::string& value) {
  Guard g(*this);
  unsigned short len = 0;
  const char* v = nullptr;
  if (Get(keyword, &len, &v) != CKX4DATA_OK) return false;
  value.assign(v, len);
  return true;
}

void CKX4DATA::GetParam(unsigned int index, std::string& keyword) {
  Guard g(*this);
  keyword = index < used_ ? NameOf(entries_[index].keyword) : std::string();
}

void CKX4DATA::GetValue(unsigned int index, std::string& keyword) { GetParam(index, keyword); }

// ---- order ----

void CKX4DATA::SetSortStatus(bool keep_sorted) {
  Guard g(*this);
  sort_status_ = keep_sorted;
  if (keep_sorted)
    SortValues();
  else
    sorted_ = false;
}

void CKX4DATA::SortValues() {
  if (used_ < 3) return;
  Guard g(*this);
  QuickSort(0, static_cast<int>(used_) - 1);
  sorted_ = true;
}

void CKX4DATA::QuickSort(int lo, int hi) {
  // The smaller side recurses and the larger one loops, so the depth stays
  // logarithmic even on input that is already in order.
  while (lo < hi) {
    int p = Partition(lo, hi);
    if (p - lo < hi - p) {
      QuickSort(lo, p - 1);
      lo = p + 1;
    } else {
      QuickSort(p + 1, hi);
      hi = p - 1;
    }
  }
}

int CKX4DATA::Partition(int lo, int hi) {
  const CKeywordData pivot = entries_[lo];
  int i = lo + 1, j = hi;
  for (;;) {
    while (i <= hi && Compare(entries_[i], pivot, 12) <= 0) ++i;
    while (Compare(entries_[j], pivot, 12) > 0) --j;
    if (i >= j) break;
    std::swap(entries_[i], entries_[j]);
    ++i;
    --j;
  }
  std::swap(entries_[j], entries_[lo]);
  return j;
}

// ---- locking ----

void CKX4DATA::Lock() {
  while (!mutex_.try_lock()) std::this_thread::yield();
}

void CKX4DATA::UnLock() { mutex_.unlock(); }

// ---- errors ----

const char* CKX4DATA::ErrorText(int code) {
  if (code < 0 || code > 4) return "";
  return kErrorTexts[code];
}

void CKX4DATA::ShowErro(int code) {
  const char* text = ErrorText(code);
  if (g_handler)
    g_handler(code, text);
  else
    kova::ShowStoreErrorBox(text);
  kova::EndCurrentThread();
}

// ---- hex text and scrambling ----

uint64_t CKX4DATA::Hex2Int(std::string& text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  uint64_t sum = 0, weight = 1;
  for (auto it = text.rbegin(); it != text.rend(); ++it, weight *= 16) {
    char c = *it;
    uint64_t d;
    if (c >= '0' && c <= '9')
      d = static_cast<uint64_t>(c - '0');
    else if (c >= 'A' && c <= 'F')
      d = static_cast<uint64_t>(c - 'A' + 10);
    else
      return 0xFFFFFFFFFFFFFFFFull;
    sum += d * weight;
  }
  return sum;
}

void CKX4DATA::Scramble(unsigned char* buffer, int n) {
  const std::size_t key_len = strnlen(key_, sizeof key_ - 1);
  std::size_t k = 0;
  for (int i = 0; i < n; ++i) {
    if (k > key_len) k = 0;  // the terminator counts as one more key byte
    buffer[i] ^= static_cast<unsigned char>(key_[k]) ^ static_cast<unsigned char>(k % 256) ^
                 static_cast<unsigned char>(n % 256);
    ++k;
  }
}

void CKX4DATA::Crypt(unsigned char* buffer, int n) {
  if (key_[0] == '\0' || n < 1) return;
  Scramble(buffer, n);
}

void CKX4DATA::Decrypt(unsigned char* buffer, int n) {
  if (n < 1) return;
  Scramble(buffer, n);
}
