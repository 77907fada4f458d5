// Our profile reader and writer against the system's own
// GetPrivateProfileStringA / WritePrivateProfileStringA on the same files:
// every read must give the same text, and the same writes must leave
// byte-for-byte the same file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "store/platform_file.h"
#include "store/ini.h"
#include "store/profile.h"

namespace {

struct Corpus {
  const char* name;
  std::string text;
};

std::vector<Corpus> Awkward() {
  return {
      {"parameter_file",
       "[VELA]\r\nClientes=Jo\xe3o\r\nMarca=Fiat\r\nObservacoesGerais=linha1-linha2\r\n"
       "[CONFIG_VELA]\r\n15=58\r\n16=2\r\n2B=1A\r\n"},
      {"comments_blank_dups",
       "k0=before\r\n;c=1\r\n[S]\r\n;comment=x\r\n; k1 = y\r\nk1 =  v1  \r\nK1=v1b\r\n\r\n"
       "blank=\r\nnoeq\r\n  sp key  =  a b  \r\n#h=1\r\n[s]\r\nk2=second\r\nk1=dup\r\n"},
      {"quotes",
       "[T]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\" a \"\r\nq5=\"\r\nq6=\"x'\r\n"
       "q7=\"\"\r\nq=\"abcdef\"\r\nr=  \"  x  \"  \r\n"},
      {"line_ends", "[A]\nx=1\ny=2\r\n[B]\rz=3\rw=4\n[C]\r\r\nlast=end"},
      {"no_final_break", "[S]\r\nk=v\r\n[T]\r\nx=1"},
      {"brackets",
       "[A]x]\r\nk=1\r\n[B\r\nk=2\r\n [C] junk\r\nk=3\r\n[]\r\nk=4\r\n[D]=5\r\nk=6\r\n[ T ]\r\n"
       "x=1\r\n"},
      {"blanks_and_spaces",
       "\r\n\r\n  \r\n;top\r\n\r\n[S]\r\na=1\r\n\r\n \t \r\n\tk\t=\tv\t\r\nk2=a\tb \t \r\n"
       "  = e1\r\n=e2\r\n\r\nc\r\n\r\n[T]\r\n\r\n"},
      {"odd_bytes",
       "[S]\r\nk1=\x0bv\x0c\r\nk2=\x1av\x1a\r\nk3=\xa0v\xa0\r\n\x1ak4\x1a=v\r\nk5=v\x85\r\n"
       "k6=\x1fv\r\n"},
      {"accents", "[Se\xe7\xe3o]\r\nCh\xe1ve=\xc1gua\r\nMarca=Citro\xebn\r\n"},
      {"duplicate_sections", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\nz=3\r\nx=9\r\n"},
      {"long_value", "[L]\r\nv=" + std::string(3000, 'a') + "z\r\n" + std::string(1500, 'n') +
                         "=w\r\nw=1\r\n"},
      {"utf8_bom", "\xef\xbb\xbf[A]\r\nx=\xc3\xa3\r\ny=\xe2\x82\xac\r\n[\xc3\xa7]\r\nk=1\r\n"},
      {"empty", ""},
      {"settings", "[CONFIG_VELA]\r\nCOM=\r\n[CONFIG_BRIO]\r\nCOM = 3 \r\n"},
  };
}

const char* kSections[] = {"", "S", "s", " S ", "T", "t", "A", "a", "A]x", "B", "C", "D", "L",
                           "VELA", "config_vela", "CONFIG_BRIO", "Se\xe7\xe3o", "SE\xc7\xc3O",
                           "\xe7", "Nope"};
const char* kKeys[] = {"k0", ";c", ";comment", "; k1", "k1", "K1", "k2", "blank", "noeq",
                       "sp key", " sp key ", "#h", "k", "K", "x", "y", "z", "w", "last", "q",
                       "q1", "q2", "q3", "q4", "q5", "q6", "q7", "r", "a", "c", "", "k3", "k4",
                       "k5", "k6", "[B", "v", "Clientes", "Marca", "15", "2b", "COM",
                       "Ch\xe1ve", "ch\xe1ve", "missing"};
const unsigned kCapacities[] = {2, 4, 7, 8, 5000};
const char* kDefaults[] = {"DEF", "  d \"q\" ", "\"dq\"", nullptr};

std::string Folder() {
  static std::string folder = [] {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    wchar_t sub[64];
    std::swprintf(sub, 64, L"kova-ini-%lu", ::GetCurrentProcessId());
    std::wstring dir = std::wstring(tmp) + sub;
    ::CreateDirectoryW(dir.c_str(), nullptr);
    std::string out;
    for (wchar_t c : dir) out.push_back(static_cast<char>(c));  // the temp path is ASCII
    return out;
  }();
  return folder;
}

std::string NewFile(const std::string& name, const std::optional<std::string>& text) {
  static int n = 0;
  std::string path = Folder() + "\\" + name + "-" + std::to_string(n++) + ".ini";
  ::DeleteFileA(path.c_str());
  if (text) {
    EXPECT_TRUE(kova::file::ReplaceAtomically(path, *text));
  }
  return path;
}

std::string Bytes(const std::string& path) { return kova::file::ReadAll(path).value_or("<none>"); }

std::string Show(const std::string& s) {
  std::string out;
  char hex[8];
  for (unsigned char c : s) {
    if (c >= 32 && c < 127) {
      out.push_back(static_cast<char>(c));
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

// One comparison: the system's reader on the file, ours on the same bytes.
void Compare(const Corpus& c, const std::string& path, const std::string& text, const char* sec,
             const char* key, unsigned cap, const char* def, int& compared) {
  std::vector<char> buf(cap + 8, '#');
  DWORD n = ::GetPrivateProfileStringA(sec, key, def, buf.data(), cap, path.c_str());
  std::string sys(buf.data(), n);
  std::string ours = kova::ini::GetString(text, sec, key, def, cap);
  EXPECT_EQ(Show(ours), Show(sys)) << c.name << " [" << Show(sec) << "] " << Show(key) << " cap "
                                   << cap << " default " << (def ? Show(def) : "(null)");
  ++compared;
}

TEST(IniDifferential, ReadsMatchTheSystem) {
  int compared = 0;
  for (const Corpus& c : Awkward()) {
    std::string path = NewFile(c.name, c.text);
    // Every section and key name once; buffer sizes and defaults on the
    // sections that hold the quoted, long and blank-edged values.
    for (const char* sec : kSections)
      for (const char* key : kKeys) Compare(c, path, c.text, sec, key, 64, "DEF", compared);
    for (const char* sec : {"S", "T", "L"})
      for (const char* key : kKeys) {
        for (unsigned cap : kCapacities) Compare(c, path, c.text, sec, key, cap, "DEF", compared);
        for (const char* def : kDefaults) Compare(c, path, c.text, sec, key, 7, def, compared);
      }
  }
  EXPECT_GT(compared, 10000);
}

struct Write {
  const char* section;
  const char* key;
  const char* value;
};

const Write kWrites[] = {
    {"S", "k", "w"},
    {"s", "K1", "new"},
    {"S", "k", "w"},  // no change
    {"T", "q", "\"quoted\""},
    {"A", "x", "a  "},
    {"A", "y", "  b"},
    {"A", "z", "   "},
    {"", "top", "4"},
    {" New ", " n ", "1"},
    {"S", "k1", nullptr},
    {"S", "absent", nullptr},
    {"Nope", nullptr, nullptr},
    {"T", nullptr, nullptr},
    {"VELA", "Clientes", "Jo\xe3o"},
    {"vela", "MARCA", "VW"},
    {"CONFIG_VELA", "15", "58"},
    {"CONFIG_VELA", "16", "2"},
    {"A", "x", "a"},
    {"S", "", "e"},
    {"A", "x", "tab\t"},
    {"CONFIG_BRIO", "COM", "3"},
    {"\xe7", "k", "\xe3"},
    {"B", "noeq", "v"},
    {"S", "noeq", "v"},
};

TEST(IniDifferential, WritesLeaveTheSameBytes) {
  std::vector<Corpus> corpus = Awkward();
  corpus.push_back({"missing_file", "<missing>"});
  for (const Corpus& c : corpus) {
    std::optional<std::string> text;
    if (c.text != "<missing>") text = c.text;
    std::string sys_path = NewFile(std::string(c.name) + "-sys", text);
    std::string our_path = NewFile(std::string(c.name) + "-our", text);
    for (const Write& w : kWrites) {
      BOOL sys_ok = ::WritePrivateProfileStringA(w.section, w.key, w.value, sys_path.c_str());
      kova::profile::Write ours{w.section, std::nullopt, std::nullopt};
      if (w.key) ours.key = w.key;
      if (w.value) ours.value = w.value;
      bool our_ok = kova::profile::WriteStrings(our_path, {ours});
      EXPECT_EQ(our_ok, sys_ok != 0);
      ASSERT_EQ(Show(Bytes(our_path)), Show(Bytes(sys_path)))
          << c.name << " after [" << Show(w.section) << "] " << (w.key ? Show(w.key) : "(null)")
          << " = " << (w.value ? Show(w.value) : "(null)");
    }
  }
}

TEST(IniDifferential, ParameterFileWrittenByTheStoreMatches) {
  // What the Save action writes, one key at a time by the system and in
  // one replacement by us, ends as the same file.
  std::string sys_path = NewFile("save-sys", std::nullopt);
  std::string our_path = NewFile("save-our", std::nullopt);
  const char* customer[][2] = {{"Clientes", "Jo\xe3o"},   {"DataInstalacao", "07/12/2026"},
                               {"Marca", "Fiat"},         {"Modelo", "Uno"},
                               {"AnoFabricacao", "2001"}, {"Placa", "ABC-1234"},
                               {"ModeloRedutor", "R1"},   {"ModeloMisturador", "M 2"},
                               {"ObservacoesGerais", "linha1-linha2--linha3"}};
  const char* params[][2] = {{"15", "58"}, {"16", "2"}, {"1E", "0"}, {"2B", "1A"}};
  std::vector<kova::profile::Write> all;
  for (auto& kv : customer) {
    ::WritePrivateProfileStringA("VELA", kv[0], kv[1], sys_path.c_str());
    all.push_back({"VELA", kv[0], kv[1]});
  }
  for (auto& kv : params) {
    ::WritePrivateProfileStringA("CONFIG_VELA", kv[0], kv[1], sys_path.c_str());
    all.push_back({"CONFIG_VELA", kv[0], kv[1]});
  }
  ASSERT_TRUE(kova::profile::WriteStrings(our_path, all));
  EXPECT_EQ(Show(Bytes(our_path)), Show(Bytes(sys_path)));
}

}  // namespace
