#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "store/ckx4data.h"

namespace {

// Opens the protected operations to the tests.
class Store : public CKX4DATA {
 public:
  using CKX4DATA::CKX4DATA;
  using CKX4DATA::Crypt;
  using CKX4DATA::Decrypt;
  using CKX4DATA::FindValue;
  using CKX4DATA::Hex2Int;
  using CKX4DATA::operator=;
};

std::string Value(CKX4DATA& s, const char* kw) {
  std::string v;
  return s.GetText(kw, v) ? v : std::string("<absent>");
}

std::vector<std::string> Keywords(CKX4DATA& s) {
  std::vector<std::string> out;
  for (unsigned i = 0; i < s.GetQtyUsed(); ++i) {
    std::string k;
    s.GetParam(i, k);
    out.push_back(k);
  }
  return out;
}

// The test reporter: records the message and unwinds the thread.
struct ThreadEnded {};
std::atomic<int> g_code{-1};
std::string g_text;
void RecordAndEnd(int code, const char* text) {
  g_code = code;
  g_text = text;
  throw ThreadEnded{};
}

TEST(StoreAddGet, AddThenGetReturnsTheBytesAndReplaceKeepsOneEntry) {
  Store s;
  EXPECT_EQ(s.Add("15", "1A"), CKX4DATA_OK);
  unsigned short len = 0;
  const char* v = nullptr;
  ASSERT_EQ(s.Get("15", &len, &v), CKX4DATA_OK);
  EXPECT_EQ(std::string(v, len), "1A");
  EXPECT_EQ(s.Add("15", "2"), CKX4DATA_REPLACED);
  EXPECT_EQ(s.GetQtyUsed(), 1u);
  EXPECT_EQ(Value(s, "15"), "2");
  EXPECT_EQ(s.Get("", &len, &v), CKX4DATA_EMPTY_KEYWORD);
  EXPECT_EQ(s.Get("16", &len, &v), CKX4DATA_NOT_FOUND);
}

TEST(StoreAddGet, ArgumentErrorsChangeNothing) {
  Store s;
  EXPECT_EQ(s.Add("", "1"), CKX4DATA_EMPTY_KEYWORD);
  EXPECT_EQ(s.Add(nullptr, "1"), CKX4DATA_EMPTY_KEYWORD);
  EXPECT_EQ(s.Add("A", "CFG", -1, "1"), CKX4DATA_BAD_INDEX);
  EXPECT_EQ(s.Add("A", 1u, nullptr), CKX4DATA_NO_DATA);
  EXPECT_EQ(s.GetQtyUsed(), 0u);
}

TEST(StoreAddGet, KeywordsAreCutToThreeCharacters) {
  Store s;
  s.Add("15_16", "1");
  EXPECT_EQ(s.Add("15_17", "2"), CKX4DATA_REPLACED);
  s.Add("150", "3");
  EXPECT_EQ(s.GetQtyUsed(), 2u);
  EXPECT_EQ(Value(s, "15_"), "2");
  EXPECT_EQ(Value(s, "150"), "3");
}

TEST(StoreAddGet, ValuesAreRawBytesWithTheirLength) {
  Store s;
  const char bytes[] = {'A', '\0', 'B'};
  s.Add("1", 3u, bytes);
  unsigned short len = 0;
  const char* v = nullptr;
  ASSERT_EQ(s.Get("1", &len, &v), CKX4DATA_OK);
  ASSERT_EQ(len, 3);
  EXPECT_EQ(std::memcmp(v, bytes, 3), 0);
  // A length over 16 bits keeps its low 16 bits.
  std::string big(70000, 'x');
  s.Add("2", static_cast<unsigned>(big.size()), big.data());
  s.Get("2", &len, &v);
  EXPECT_EQ(len, 70000 % 65536);
}

TEST(StoreOrder, ThirdEntrySortsAndLaterInsertsKeepOrder) {
  Store s;
  s.Add("2B", "1");
  s.Add("15", "2");
  EXPECT_EQ(Keywords(s), (std::vector<std::string>{"2B", "15"}));  // arrival order
  s.Add("20", "3");
  EXPECT_EQ(Keywords(s), (std::vector<std::string>{"15", "20", "2B"}));
  for (const char* k : {"7F", "1E", "0", "16", "2A", "FF", "1"}) s.Add(k, k);
  EXPECT_EQ(Keywords(s), (std::vector<std::string>{"0", "1", "15", "16", "1E", "20", "2A", "2B",
                                                   "7F", "FF"}));
  for (const char* k : {"0", "1", "16", "1E", "2A", "7F", "FF"}) EXPECT_EQ(Value(s, k), k);
  EXPECT_EQ(Value(s, "15"), "2");
  EXPECT_EQ(Value(s, "20"), "3");
  EXPECT_EQ(Value(s, "2B"), "1");
  EXPECT_EQ(Value(s, "2C"), "<absent>");
}

TEST(StoreOrder, FindValueReportsWhereAKeyBelongs) {
  Store s;
  for (const char* k : {"20", "40", "60", "80"}) s.Add(k, "v");
  auto find = [&](const char* kw, int* pos) {
    CKeywordData key{};
    std::strncpy(key.keyword, kw, 3);
    key.index = -1;
    return s.FindValue(key, 12, pos);
  };
  int pos = 99;
  EXPECT_EQ(find("40", &pos), CKX4DATA_OK);
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(find("10", &pos), CKX4DATA_INSERT_AT);
  EXPECT_EQ(pos, 0);
  EXPECT_EQ(find("50", &pos), CKX4DATA_INSERT_AT);
  EXPECT_EQ(pos, 2);
  EXPECT_EQ(find("70", &pos), CKX4DATA_INSERT_AT);
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(find("90", &pos), CKX4DATA_NOT_FOUND);
  EXPECT_EQ(pos, -1);
}

TEST(StoreOrder, SortStatusOffKeepsArrivalOrderAndOnSortsAtOnce) {
  Store s;
  s.SetSortStatus(false);
  for (const char* k : {"9", "3", "7", "1", "5"}) s.Add(k, k);
  EXPECT_EQ(Keywords(s), (std::vector<std::string>{"9", "3", "7", "1", "5"}));
  EXPECT_EQ(Value(s, "1"), "1");  // linear lookup
  s.SetSortStatus(true);
  EXPECT_EQ(Keywords(s), (std::vector<std::string>{"1", "3", "5", "7", "9"}));
}

TEST(StoreOrder, LargeSortedAndReversedInputs) {
  Store s(5000);
  s.SetSortStatus(false);
  char k[8];
  for (int i = 0; i < 4000; ++i) {
    std::snprintf(k, sizeof k, "%03X", i);
    s.Add(k, k);
  }
  s.SetSortStatus(true);
  std::vector<std::string> keys = Keywords(s);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(Value(s, "ABC"), "ABC");
  Store r(5000);
  r.SetSortStatus(false);
  for (int i = 3999; i >= 0; --i) {
    std::snprintf(k, sizeof k, "%03X", i);
    r.Add(k, k);
  }
  r.SetSortStatus(true);
  keys = Keywords(r);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(keys.size(), 4000u);
}

TEST(StoreGroups, InstancesKeywordListsAndIndexZeroLookup) {
  Store s;
  s.Add("A", "CFG", 0, "1");
  s.Add("B", "CFG", 0, "2");
  s.Add("A", "CFG", 1, "3");
  s.Add("Z", "OTH", 0, "9");
  s.Add("A", "4");
  unsigned count = 0;
  EXPECT_EQ(s.Get("CFG", &count), CKX4DATA_OK);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(s.Get("CFG", 0, &count), CKX4DATA_OK);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(s.Get("CFG", 1, &count), CKX4DATA_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(s.Get("CFG", 2, &count), CKX4DATA_NOT_FOUND);
  EXPECT_EQ(s.Get("NOP", &count), CKX4DATA_NOT_FOUND);
  EXPECT_EQ(count, 0u);

  char list[7];
  EXPECT_EQ(s.Get("CFG", 0, &count, list, sizeof list), CKX4DATA_OK);
  EXPECT_STREQ(list, "  A  B");
  EXPECT_EQ(s.Get("CFG", 0, &count, list, 6), CKX4DATA_BUFFER_TOO_SMALL);

  unsigned short len = 0;
  const char* v = nullptr;
  EXPECT_EQ(s.Get("B", "CFG", &len, &v), CKX4DATA_INDEX0_FOUND);
  EXPECT_EQ(std::string(v, len), "2");
  EXPECT_EQ(s.Get("A", "CFG", 1, &len, &v), CKX4DATA_OK);
  EXPECT_EQ(std::string(v, len), "3");
  EXPECT_EQ(s.Get("Q", "CFG", &len, &v), CKX4DATA_NOT_FOUND);
  // No group, an index: any group with that index and keyword.
  EXPECT_EQ(s.Get("A", "", 1, &len, &v), CKX4DATA_OK);
  EXPECT_EQ(std::string(v, len), "3");
  // The plain keyword is a separate entry.
  EXPECT_EQ(Value(s, "A"), "4");
}

TEST(StoreGroups, XmlRendersInstancesAndRefusesSmallBuffers) {
  Store s;
  s.Add("A", "CFG", 0, "1");
  s.Add("B", "CFG", 0, "2");
  s.Add("A", "CFG", 1, "3");
  s.Add("X", "1");
  char buf[64];
  ASSERT_EQ(s.GetXML("CFG", buf, sizeof buf), CKX4DATA_OK);
  EXPECT_STREQ(buf, "<CFG A=\"1\" B=\"2\" /> <CFG A=\"3\" /> ");

  char small[15];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(s.GetXML("CFG", small, sizeof small), CKX4DATA_BUFFER_TOO_SMALL);
  EXPECT_EQ(small[0], '#');  // untouched

  // Runs out of room in the second element: cleared, "/> " left.
  char mid[26];
  EXPECT_EQ(s.GetXML("CFG", mid, sizeof mid), CKX4DATA_BUFFER_TOO_SMALL);
  EXPECT_STREQ(mid, "/> ");

  EXPECT_NE(s.GetXML("NOP", buf, sizeof buf), CKX4DATA_OK);
}

TEST(StoreCopies, AssignmentMergesByKeyword) {
  Store a, b;
  a.Add("15", "1");
  a.Add("20", "2");
  b.Add("20", "X");
  b.Add("21", "Y");
  b = a;
  EXPECT_EQ(Keywords(b), (std::vector<std::string>{"15", "20", "21"}));
  EXPECT_EQ(Value(b, "15"), "1");
  EXPECT_EQ(Value(b, "20"), "2");
  EXPECT_EQ(Value(b, "21"), "Y");
  EXPECT_EQ(Value(a, "21"), "<absent>");
}

TEST(StoreCopies, CloneCopiesEverythingIncludingGroupsAndCapacity) {
  Store a(50), b;
  a.Add("A", "CFG", 2, "7");
  a.Add("15", "1");
  a.Add("16", "2");
  b.Add("99", "gone");
  EXPECT_EQ(b.CloneData(a), 0);
  EXPECT_EQ(b.GetMaxKeywords(), 50u);
  EXPECT_EQ(b.GetQtyUsed(), 3u);
  EXPECT_EQ(Value(b, "99"), "<absent>");
  EXPECT_EQ(Value(b, "16"), "2");
  a.Add("16", "changed");
  EXPECT_EQ(Value(b, "16"), "2");  // its own buffers
  unsigned short len;
  const char* v;
  EXPECT_EQ(b.Get("A", "CFG", 2, &len, &v), CKX4DATA_OK);
  EXPECT_EQ(b.CloneData(b), 0);
  EXPECT_EQ(b.GetQtyUsed(), 3u);
}

TEST(StoreCopies, ZeradoraAndResetEmptyTheStore) {
  Store s(20);
  for (const char* k : {"3", "1", "2", "4"}) s.Add(k, k);
  s.Zeradora();
  EXPECT_EQ(s.GetQtyUsed(), 0u);
  s.Add("B", "1");
  s.Add("A", "2");
  EXPECT_EQ(Keywords(s), (std::vector<std::string>{"B", "A"}));  // unsorted again
  EXPECT_EQ(s.Reset(7), 0);
  EXPECT_EQ(s.GetMaxKeywords(), 7u);
  EXPECT_EQ(s.GetQtyUsed(), 0u);
  s.Add("Z", "1");
  s.Reset();
  EXPECT_EQ(s.GetMaxKeywords(), 7u);
  std::string k = "x";
  s.GetParam(0, k);
  EXPECT_EQ(k, "");
}

TEST(StoreErrors, CapacityThreeReportsMessageTwoOnTheThirdAddAndEndsTheThread) {
  auto previous = kova::SetStoreErrorHandler(RecordAndEnd);
  Store s(3);
  bool ended = false, returned = false;
  std::thread t([&] {
    try {
      s.Add("1", "a");
      s.Add("2", "b");
      s.Add("3", "c");
      returned = true;
    } catch (const ThreadEnded&) {
      ended = true;
    }
  });
  t.join();
  kova::SetStoreErrorHandler(previous);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(returned);
  EXPECT_EQ(g_code, 2);
  EXPECT_EQ(g_text, CKX4DATA::ErrorText(2));
  EXPECT_EQ(s.GetQtyUsed(), 3u);  // the entry is kept
  EXPECT_EQ(Value(s, "3"), "c");
  // The lock was released on the way out.
  std::thread other([&] { s.Lock(); s.UnLock(); });
  other.join();
}

TEST(StoreErrors, AFullArrayNeverTakesAnotherEntry) {
  auto previous = kova::SetStoreErrorHandler(RecordAndEnd);
  Store s(0);
  bool ended = false;
  std::thread t([&] {
    try {
      s.Add("1", "a");
    } catch (const ThreadEnded&) {
      ended = true;
    }
  });
  t.join();
  kova::SetStoreErrorHandler(previous);
  EXPECT_TRUE(ended);
  EXPECT_EQ(s.GetQtyUsed(), 0u);
}

TEST(StoreErrors, TextsOfTheFiveCodes) {
  EXPECT_STREQ(CKX4DATA::ErrorText(0),
               "ERRO ALOCANDO MEMORIA PARA ESTRUTURA PRINCIPAL DA CLASSE CKX4DATA");
  EXPECT_STREQ(CKX4DATA::ErrorText(3),
               "A FUNCAO [FindValue] RETORNOU UM VALOR NAO PREVISTO POR FAVOR ENTRE EM CONTATO "
               "COM O SUPORTE TECNICO INFORMANDO ESSA OCORRENCIA");
  EXPECT_STREQ(CKX4DATA::ErrorText(4),
               "ERRO ALOCANDO MEMORIA PARA ARMAZENAR VALOR DE PALAVRA CHAVE DURANTE OPERACAO DE "
               "CLONAGEM");
}

TEST(StoreLock, OtherThreadsWaitWhileTheOwnerNestsTheLock) {
  Store s;
  s.Lock();
  s.Lock();  // recursive
  std::atomic<bool> added{false};
  std::thread t([&] {
    s.Add("15", "1");
    added = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(added);
  s.UnLock();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(added);
  s.UnLock();
  t.join();
  EXPECT_TRUE(added);
}

TEST(StoreHex, Hex2IntUppercasesAndRejectsOtherCharacters) {
  std::string t = "1a";
  EXPECT_EQ(Store::Hex2Int(t), 26u);
  EXPECT_EQ(t, "1A");
  t = "1G";
  EXPECT_EQ(Store::Hex2Int(t), 0xFFFFFFFFFFFFFFFFull);
  t = "";
  EXPECT_EQ(Store::Hex2Int(t), 0u);
  t = "fFfF0";
  EXPECT_EQ(Store::Hex2Int(t), 0xFFFF0u);
}

TEST(StoreScramble, CryptAndDecryptWithTheSameLengthRestore) {
  Store s;
  std::string text = "000000=|15|-1|1A|\r\n";
  std::string buf = text;
  auto* p = reinterpret_cast<unsigned char*>(buf.data());
  s.Crypt(p, static_cast<int>(buf.size()));
  EXPECT_NE(buf, text);
  s.Decrypt(p, static_cast<int>(buf.size()));
  EXPECT_EQ(buf, text);
  s.Crypt(p, static_cast<int>(buf.size()));
  s.Decrypt(p, static_cast<int>(buf.size()) - 1);
  EXPECT_NE(buf.substr(0, buf.size() - 1), text.substr(0, text.size() - 1));
}

TEST(StoreScramble, KeyPositionsWrapAfterTheTerminator) {
  Store s;
  // Zeros show the pad itself: key[k] ^ k ^ n for every position.
  std::vector<unsigned char> z(207, 0);
  s.Crypt(z.data(), 207);
  // Position 205 is the terminator: only k ^ n remain.
  EXPECT_EQ(z[205], static_cast<unsigned char>(205 ^ 207));
  // Byte 206 uses key position 0 again, as byte 0 did.
  EXPECT_EQ(z[206], z[0]);
  EXPECT_NE(z[1] ^ 1 ^ 207, 0);  // a printable key byte

  // A store without a key: Crypt does nothing, Decrypt still applies n.
  Store bare(10);
  std::vector<unsigned char> b(3, 0);
  bare.Crypt(b.data(), 3);
  EXPECT_EQ(b, (std::vector<unsigned char>{0, 0, 0}));
  bare.Decrypt(b.data(), 3);
  EXPECT_EQ(b, (std::vector<unsigned char>{3, 3, 3}));
}

}  // namespace
