// The profile rules, as the system's functions showed them on the same
// texts (the Windows-side suite compares the two directly).
#include <gtest/gtest.h>

#include <string>

#include "store/ini.h"

namespace {

using kova::ini::Edit;
using kova::ini::GetString;

std::string Read(const std::string& text, const char* sec, const char* key, std::size_t cap = 64,
                 const char* def = "DEF") {
  return GetString(text, sec, key, def, cap);
}

TEST(IniRead, NamesIgnoreAsciiCaseAndBlanksAndValuesAreTrimmed) {
  const std::string t =
      "k0=before\r\n[S]\r\n  sp key  =  a b  \r\nk1 =  v1  \r\nK1=second\r\n\tk\t=\tv\t\r\n"
      "tabs=a\tb \t \r\n[ T ]\r\nx=1\r\n";
  EXPECT_EQ(Read(t, "", "k0"), "before");
  EXPECT_EQ(Read(t, "s", "SP KEY"), "a b");
  EXPECT_EQ(Read(t, " S ", " sp key "), "a b");
  EXPECT_EQ(Read(t, "S", "k1"), "v1");  // first of duplicate keys
  EXPECT_EQ(Read(t, "S", "k"), "v");
  EXPECT_EQ(Read(t, "S", "tabs"), "a\tb");
  EXPECT_EQ(Read(t, "t", "X"), "1");
  EXPECT_EQ(Read(t, "S", "x"), "DEF");
  EXPECT_EQ(Read(t, "Nope", "x"), "DEF");
}

TEST(IniRead, CommentsAreOrdinaryKeysAndBareNamesHaveNoValue) {
  const std::string t = ";top=1\r\n[S]\r\n;comment=x\r\n; k1 = y\r\n#h=1\r\nnoeq\r\nblank=\r\n";
  EXPECT_EQ(Read(t, "", ";top"), "1");
  EXPECT_EQ(Read(t, "S", ";comment"), "x");
  EXPECT_EQ(Read(t, "S", "; k1"), "y");
  EXPECT_EQ(Read(t, "S", "#h"), "1");
  EXPECT_EQ(Read(t, "S", "noeq"), "DEF");
  EXPECT_EQ(Read(t, "S", "blank"), "");
}

TEST(IniRead, OnlyTheFirstSectionOfANameCounts) {
  const std::string t = "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\nx=9\r\n";
  EXPECT_EQ(Read(t, "A", "x"), "1");
  EXPECT_EQ(Read(t, "A", "z"), "DEF");
  // "[]" is a second nameless section behind the one before any header.
  EXPECT_EQ(Read("[]\r\nk=1\r\n", "", "k"), "DEF");
}

TEST(IniRead, LineEndsAndBlanks) {
  const std::string t = "[A]\nx=1\ny=2\r\n[B]\rz=3\rw=4\n[C]\r\r\nlast=end";
  EXPECT_EQ(Read(t, "A", "y"), "2");
  EXPECT_EQ(Read(t, "B", "w"), "4");
  EXPECT_EQ(Read(t, "C", "last"), "end");
  // VT, FF and 0x1A are blanks; NBSP and other bytes are not.
  const std::string b = "[S]\r\nk1=\x0bv\x0c\r\nk2=\x1av\x1a\r\nk3=\xa0v\xa0\r\n\x1ak4\x1a=v\r\n";
  EXPECT_EQ(Read(b, "S", "k1"), "v");
  EXPECT_EQ(Read(b, "S", "k2"), "v");
  EXPECT_EQ(Read(b, "S", "k3"), "\xa0v\xa0");
  EXPECT_EQ(Read(b, "S", "k4"), "v");
}

TEST(IniRead, HeadersTakeTheNameUpToTheLastBracket) {
  const std::string t = "[A]x]\r\nk=1\r\n[B\r\nk=2\r\n [C] junk\r\nk=3\r\n[D]=5\r\nk=6\r\n";
  EXPECT_EQ(Read(t, "A]x", "k"), "1");
  EXPECT_EQ(Read(t, "A]x", "[B"), "DEF");  // a key without value
  EXPECT_EQ(Read(t, "B", "k"), "DEF");
  EXPECT_EQ(Read(t, "C", "k"), "3");
  EXPECT_EQ(Read(t, "D", "k"), "6");
}

TEST(IniRead, AccentsCompareByteForByte) {
  const std::string t = "[Se\xe7\xe3o]\r\nCh\xe1ve=\xc1gua\r\n";
  EXPECT_EQ(Read(t, "Se\xe7\xe3o", "CH\xe1VE"), "\xc1gua");
  EXPECT_EQ(Read(t, "SE\xc7\xc3O", "Ch\xe1ve"), "DEF");
}

TEST(IniRead, QuotesAndTheBufferSize) {
  const std::string t =
      "[T]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\" a \"\r\nq5=\"\r\nq6=\"x'\r\n"
      "q7=\"\"\r\nq=\"abcdef\"\r\nk=v1\r\n";
  EXPECT_EQ(Read(t, "T", "q1"), "quoted");
  EXPECT_EQ(Read(t, "T", "q2"), "single");
  EXPECT_EQ(Read(t, "T", "q3"), "\"open");
  EXPECT_EQ(Read(t, "T", "q4"), " a ");
  EXPECT_EQ(Read(t, "T", "q5"), "\"");
  EXPECT_EQ(Read(t, "T", "q6"), "\"x'");
  EXPECT_EQ(Read(t, "T", "q7"), "");
  EXPECT_EQ(Read(t, "T", "q", 4), "abc");
  EXPECT_EQ(Read(t, "T", "q", 7), "abcde");  // the reader's own quirk at this size
  EXPECT_EQ(Read(t, "T", "q", 8), "abcdef");
  EXPECT_EQ(Read(t, "T", "k", 3), "v1");
  EXPECT_EQ(Read(t, "T", "k", 2), "v");
  EXPECT_EQ(Read(t, "T", "k", 1), "");
  EXPECT_EQ(Read(t, "T", "k", 0), "");
  EXPECT_EQ(Read(t, "T", "none", 2), "D");
  EXPECT_EQ(Read(t, "T", "none", 64, "  dflt  "), "  dflt");
  EXPECT_EQ(Read(t, "T", "none", 64, "\"dq\""), "dq");
  EXPECT_EQ(Read(t, "T", "none", 64, nullptr), "");
}

TEST(IniRead, NamelessKeysAndNulBytes) {
  const std::string t = "[S]\r\na=1\r\n  = e1\r\n=e2\r\n";
  EXPECT_EQ(Read(t, "S", ""), "e1");
  const std::string n("[A]\r\nx=1\0y\r\nz=2\r\n", 18);
  EXPECT_EQ(Read(n, "A", "x"), "1");
  EXPECT_EQ(Read(n, "A", "z"), "2");
}

TEST(IniRead, Utf8FilesReadAs1252) {
  const std::string t = "\xef\xbb\xbf[A]\r\nx=\xc3\xa3\r\ny=\xe2\x82\xac\r\n[\xc3\xa7]\r\nk=1\r\n";
  EXPECT_EQ(Read(t, "A", "x"), "\xe3");
  EXPECT_EQ(Read(t, "A", "y"), "\x80");
  EXPECT_EQ(Read(t, "\xe7", "k"), "1");
}

TEST(IniRead, VeryLongValuesAndNames) {
  std::string v(3000, 'a');
  v.back() = 'z';
  std::string name(2000, 'n');
  const std::string t = "[L]\r\nv=" + v + "\r\n" + name + "=w\r\n";
  EXPECT_EQ(Read(t, "L", "v", 1000), v.substr(0, 999));
  EXPECT_EQ(Read(t, "L", "v", 4000), v);
  EXPECT_EQ(Read(t, "L", name.c_str()), "w");
}

struct EditCase {
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

TEST(IniEdit, RewritesInNormalForm) {
  const EditCase cases[] = {
      // New file: sections and keys in the order first written.
      {"", "VELA", "Clientes", "Jo\xe3o", "[VELA]\r\nClientes=Jo\xe3o\r\n"},
      {"[VELA]\r\nMarca=a\r\n", "vela", "MARCA", "x", "[VELA]\r\nMarca=x\r\n"},
      {"[VELA]\r\n", "CONFIG_VELA", "15", "58", "[VELA]\r\n[CONFIG_VELA]\r\n15=58\r\n"},
      // Blank lines go, spacing is normalised, the last line gets CR LF.
      {"k0 = before \r\n;c\r\n\r\n[S]  \r\n k = v \r\n\r\n\r\n[T]\r\nx=1", "S", "k", "w",
       "k0=before\r\n;c\r\n[S]\r\nk=w\r\n[T]\r\nx=1\r\n"},
      {"[A]\nx=1\ny=2\r\n[B]\rz=3", "B", "new", "n", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\nnew=n\r\n"},
      // New keys at the end of the first section of the name.
      {"[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\nz=3\r\n", "A", "z", "new",
       "[A]\r\nx=1\r\nz=new\r\n[B]\r\ny=2\r\n[A]\r\nz=3\r\n"},
      // The nameless section: written without header, "[]" headers vanish.
      {"[]\r\nk=1\r\n[A]\r\nx=1\r\n", "", "j", "2", "j=2\r\nk=1\r\n[A]\r\nx=1\r\n"},
      {"k0=a\r\n;c\r\n[S]\r\n", "", "top", "4", "k0=a\r\n;c\r\ntop=4\r\n[S]\r\n"},
      // Leading blanks of a written value go, trailing ones stay.
      {"[A]\r\nx=1\r\n", "A", "x", "  b \t", "[A]\r\nx=b \t\r\n"},
      // New names lose their leading blanks only.
      {"", " S ", " k ", "  v", "[S ]\r\nk =v\r\n"},
      {"[S]\r\nk=1\r\n", " s ", " K ", "2", "[S]\r\nk=2\r\n"},
      // A value with a line break is written as it is.
      {"[S]\r\n", "S", "k", "a\r\nb", "[S]\r\nk=a\r\nb\r\n"},
      // Bare names get a value in place; a nameless key after another is dropped.
      {"[A]\r\nnoeq\r\n[B\r\n", "A", "noeq", "v", "[A]\r\nnoeq=v\r\n[B\r\n"},
      {"[S]\r\na=1\r\n=e1\r\n=e2\r\nc\r\n", "S", "a", "9", "[S]\r\na=9\r\n=e1\r\nc\r\n"},
      // A NUL ends a value.
      {std::string("[A]\r\nx=1\0y\r\n", 12), "A", "z", "2", "[A]\r\nx=1\r\nz=2\r\n"},
      // Deletes: a key, then a whole (first) section.
      {"[A]\r\nx=1\r\ny=2\r\n", "A", "x", nullptr, "[A]\r\ny=2\r\n"},
      {"[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=2\r\n", "a", nullptr, nullptr, "[B]\r\n[A]\r\ny=2\r\n"},
      // A UTF-8 file stays UTF-8.
      {"\xef\xbb\xbf[A]\r\nx=1\r\n", "A", "y", "\xe3", "\xef\xbb\xbf[A]\r\nx=1\r\ny=\xc3\xa3\r\n"},
  };
  for (const EditCase& c : cases) {
    std::string text = c.before;
    EXPECT_TRUE(Edit(text, c.section, c.key, c.value)) << c.before;
    EXPECT_EQ(text, c.after) << "before: " << c.before;
  }
}

TEST(IniEdit, WritesThatChangeNothingLeaveTheTextAlone) {
  const std::string awkward = "[A] \r\nx = 1 \r\ny=\"q\"\r\n\r\n";
  std::string t = awkward;
  EXPECT_FALSE(Edit(t, "a", "X", "1"));
  EXPECT_FALSE(Edit(t, "A", "x", "  1"));
  EXPECT_FALSE(Edit(t, "A", "zz", nullptr));
  EXPECT_FALSE(Edit(t, "Q", nullptr, nullptr));
  EXPECT_FALSE(Edit(t, "Q", "k", nullptr));
  EXPECT_EQ(t, awkward);
  // The stored text keeps its quotes, so "q" is a change.
  EXPECT_TRUE(Edit(t, "A", "y", "q"));
  EXPECT_EQ(t, "[A]\r\nx=1\r\ny=q\r\n");
  // A trailing blank is a change too.
  EXPECT_TRUE(Edit(t, "A", "x", "1 "));
  EXPECT_EQ(t, "[A]\r\nx=1 \r\ny=q\r\n");
}

TEST(IniEdit, WrittenTextReadsBack) {
  std::string t;
  Edit(t, "VELA", "ObservacoesGerais", "linha1-linha2--linha3");
  Edit(t, "CONFIG_VELA", "15", "58");
  Edit(t, "CONFIG_VELA", "16", "2");
  Edit(t, "VELA", "Placa", "ABC 1234");
  EXPECT_EQ(Read(t, "VELA", "ObservacoesGerais"), "linha1-linha2--linha3");
  EXPECT_EQ(Read(t, "config_vela", "15"), "58");
  EXPECT_EQ(Read(t, "VELA", "Placa"), "ABC 1234");
  EXPECT_EQ(t,
            "[VELA]\r\nObservacoesGerais=linha1-linha2--linha3\r\nPlaca=ABC 1234\r\n"
            "[CONFIG_VELA]\r\n15=58\r\n16=2\r\n");
}

}  // namespace
