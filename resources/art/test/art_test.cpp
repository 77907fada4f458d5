// Checks the generated bitmaps: the resource numbers the screens load,
// every picture's size and colour depth, the white mask of the buttons,
// that glyphs and backgrounds agree where the glyph controls sit, and that
// the pictures' English and Spanish bitmaps fit the pictures they stand for.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "art_languages.h"
#include "common/rle8.h"
#include "panel_layout.h"
#include "resource_ids.h"

namespace {

const std::string kOut = KOVA_ART_OUT;

struct Bitmap {
  int width = 0;
  int height = 0;
  int bits = 0;
  bool compressed = false;  // run-length coded
  std::vector<uint32_t> palette;  // 0xRRGGBB
  std::vector<uint8_t> index;     // top-down rows, width * height
  uint32_t At(int x, int y) const { return palette.at(index.at(size_t(y) * width + x)); }
};

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
  return v;
}

// Reads an 8-bit BMP, plain or run-length coded (expanded as the program
// does); records a test failure and returns false when the file is
// anything else.
bool ReadBmp(const std::string& path, Bitmap* out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    ADD_FAILURE() << "missing " << path;
    return false;
  }
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
    ADD_FAILURE() << path << ": not a BMP";
    return false;
  }
  const uint32_t file_size = Le(b, 2, 4);
  const uint32_t offset = Le(b, 10, 4);
  const uint32_t header = Le(b, 14, 4);
  const int32_t width = int32_t(Le(b, 18, 4));
  const int32_t height = int32_t(Le(b, 22, 4));
  const uint32_t planes = Le(b, 26, 2);
  const uint32_t bits = Le(b, 28, 2);
  const uint32_t compression = Le(b, 30, 4);
  uint32_t colours = Le(b, 46, 4);
  EXPECT_EQ(file_size, b.size()) << path;
  EXPECT_EQ(header, 40u) << path;
  EXPECT_EQ(planes, 1u) << path;
  EXPECT_TRUE(compression == 0 || compression == 1) << path << ": compression " << compression;
  if (colours == 0) colours = 256;
  out->width = width;
  out->height = height;
  out->bits = int(bits);
  if (bits != 8 || width <= 0 || height <= 0 || colours > 256) {
    ADD_FAILURE() << path << ": " << bits << " bits, " << width << " x " << height;
    return false;
  }
  const size_t stride = (size_t(width) + 3) & ~size_t(3);
  out->compressed = compression == 1;
  if (out->compressed && offset <= b.size()) {
    std::vector<uint8_t> rows(stride * size_t(height));
    if (!kova::ExpandRle8(b.data() + offset, b.size() - offset, width, height, rows.data(),
                          stride)) {
      ADD_FAILURE() << path << ": damaged run-length data";
      return false;
    }
    b.resize(offset);
    b.insert(b.end(), rows.begin(), rows.end());
  }
  if (offset != 14 + 40 + 4 * colours || b.size() < offset + stride * size_t(height)) {
    ADD_FAILURE() << path << ": palette or pixel data out of place";
    return false;
  }
  for (uint32_t i = 0; i < colours; ++i) {
    const size_t at = 54 + 4 * i;
    out->palette.push_back((uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 1]) << 8) | b[at]);
  }
  out->index.resize(size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    const size_t row = offset + size_t(height - 1 - y) * stride;  // bottom-up
    for (int x = 0; x < width; ++x) {
      const uint8_t i = b[row + x];
      if (i >= colours) {
        ADD_FAILURE() << path << ": pixel outside the palette";
        return false;
      }
      out->index[size_t(y) * width + x] = i;
    }
  }
  return true;
}

// number -> file, from the generated resource script.
std::map<int, std::string> RcEntries(std::vector<int>* numbers_in_order = nullptr) {
  std::ifstream f(kOut + "/bitmaps.rc");
  EXPECT_TRUE(f.good()) << "bitmaps.rc missing";
  std::map<int, std::string> entries;
  std::string text;
  while (std::getline(f, text)) {
    if (text.empty() || text.rfind("//", 0) == 0) continue;
    // number BITMAP "path"
    const size_t keyword = text.find(" BITMAP \"");
    const size_t end = text.rfind('"');
    const bool digits = keyword != std::string::npos && keyword > 0 &&
                        text.find_first_not_of("0123456789") == keyword;
    if (!digits || end <= keyword + 9 || end != text.size() - 1) {
      ADD_FAILURE() << "unexpected line: " << text;
      continue;
    }
    const int number = std::stoi(text.substr(0, keyword));
    entries[number] = text.substr(keyword + 9, end - keyword - 9);
    if (numbers_in_order) numbers_in_order->push_back(number);
  }
  return entries;
}

Bitmap Load(int number) {
  static std::map<int, std::string> entries = RcEntries();
  Bitmap b;
  auto it = entries.find(number);
  if (it == entries.end()) {
    ADD_FAILURE() << "bitmap " << number << " not in bitmaps.rc";
  } else {
    ReadBmp(it->second, &b);
  }
  return b;
}

struct Size {
  int number, width, height;
};

// Sizes as the screens use them.
std::vector<Size> ExpectedSizes() {
  std::vector<Size> s = {
      {180, 498, 289},
      {IDB_BTN_NEXT, 32, 32}, {IDB_BTN_RETURN, 32, 32}, {IDB_BTN_EXIT, 32, 32},
      {IDB_BTN_LOAD_FILE, 32, 32}, {IDB_BTN_MONITOR, 32, 32}, {IDB_BTN_SAVE_FILE, 33, 33},
      {IDB_BTN_WRITE_ALL, 93, 27}, {IDB_BTN_CALIBRATE, 93, 27}, {IDB_BTN_APPLY_FILE, 93, 27},
      {IDB_BTN_RECORD, 32, 32}, {IDB_BTN_RECORD_STOP, 32, 32}, {IDB_BTN_REPORT, 32, 32},
      {IDB_BTN_CHART_PAUSE, 32, 32}, {IDB_BTN_CHART_CONTINUE, 32, 32},
      {IDB_BTN_OPEN_RECORDING, 32, 32}, {IDB_BTN_ZOOM_IN, 32, 32}, {IDB_BTN_ZOOM_OUT, 32, 32},
      {IDB_BTN_ZOOM_WHOLE, 32, 32},
      {IDB_BTN_LANG_PT, 47, 31}, {IDB_BTN_LANG_EN, 47, 31}, {IDB_BTN_LANG_ES, 47, 31},
      {IDB_BG_SELECTION, 487, 190},
      {IDB_BG_CUSTOMER_VELA, 800, 580}, {IDB_BG_CUSTOMER_BRIO, 800, 580},
      {IDB_BG_VEHICLE_VELA, 800, 580}, {IDB_BG_VEHICLE_VELAPLUS, 800, 580},
      {IDB_BG_VEHICLE_BRIO, 800, 580}, {IDB_BG_AUX_VELA, 800, 580}, {IDB_BG_AUX_BRIO, 800, 580},
      {248, 800, 580}, {249, 800, 580}, {250, 800, 580}, {314, 800, 580},
      {275, 1024, 768}, {276, 1024, 768}, {IDB_BG_VIEWER, 1024, 768},
      {277, 12, 240},
      {407, 25, 240}, {408, 25, 240}, {419, 12, 15},
      {369, 4, 14},
  };
  for (int d = 0; d < 10; ++d) {
    s.push_back({349 + d, 17, 27});
    s.push_back({359 + d, 9, 14});
  }
  for (int j = 0; j < 32; ++j) s.push_back({316 + j, 46, 69});
  for (int i = 0; i < 28; ++i) s.push_back({379 + i, 9, 9});
  return s;
}

TEST(ArtNumbers, FixedNumbersAreTheOnesTheScreensLoad) {
  EXPECT_EQ(IDB_SPLASH, 180);
  EXPECT_EQ(IDB_BTN_RETURN, 232);
  EXPECT_EQ(IDB_BTN_EXIT, 233);
  EXPECT_EQ(IDB_BTN_CALIBRATE, 273);
  EXPECT_EQ(IDB_BG_DATA_VELA, 248);
  EXPECT_EQ(IDB_BG_DATA_BRIO, 249);
  EXPECT_EQ(IDB_BG_LAMBDA_VELA, 250);
  EXPECT_EQ(IDB_BG_LAMBDA_REAL, 314);
  EXPECT_EQ(IDB_BG_MONITOR_VELA, 275);
  EXPECT_EQ(IDB_BG_MONITOR_BRIO, 276);
  EXPECT_EQ(IDB_BAR, 277);
  EXPECT_EQ(IDB_ACTUATOR_FIRST, 316);
  EXPECT_EQ(IDB_ACTUATOR_FIRST + IDB_ACTUATOR_FRAMES - 1, 347);
  EXPECT_EQ(IDB_DIGIT_BIG_FIRST, 349);
  EXPECT_EQ(IDB_DIGIT_SMALL_FIRST, 359);
  EXPECT_EQ(IDB_DIGIT_SMALL_POINT, 369);
  EXPECT_EQ(IDB_ARC_DOT_FIRST, 379);
  EXPECT_EQ(IDB_ARC_DOT_FIRST + IDB_ARC_DOTS - 1, 406);
  EXPECT_EQ(IDB_SCALE_GREEN, 407);
  EXPECT_EQ(IDB_SCALE_RED, 408);
  EXPECT_EQ(IDB_SCALE_MARKER, 419);
  // The actuator screen's seven buttons use exactly these numbers.
  const std::set<int> frame = {IDB_BTN_NEXT,      IDB_BTN_RETURN,  IDB_BTN_LOAD_FILE,
                               IDB_BTN_SAVE_FILE, IDB_BTN_MONITOR, IDB_BTN_WRITE_ALL,
                               IDB_BTN_EXIT};
  EXPECT_EQ(frame, (std::set<int>{228, 229, 230, 232, 233, 234, 270}));
}

TEST(ArtFiles, ResourceScriptListsEveryPictureOnce) {
  std::vector<int> in_order;
  const auto entries = RcEntries(&in_order);
  std::set<int> expected;
  for (const Size& s : ExpectedSizes()) expected.insert(s.number);
  for (const auto& v : kova::art::kVariants) expected.insert(v.bitmap);
  for (const auto& p : kova::art::kPatches) expected.insert(p.bitmap);
  EXPECT_EQ(in_order.size(), entries.size()) << "a number is listed twice";
  std::set<int> listed;
  for (const auto& [number, path] : entries) listed.insert(number);
  EXPECT_EQ(listed, expected);
}

TEST(ArtFiles, EveryPictureHasItsSizeInEightBitColour) {
  for (const Size& s : ExpectedSizes()) {
    const Bitmap b = Load(s.number);
    EXPECT_EQ(b.width, s.width) << "bitmap " << s.number;
    EXPECT_EQ(b.height, s.height) << "bitmap " << s.number;
    EXPECT_EQ(b.bits, 8) << "bitmap " << s.number;
    // The big pictures (backgrounds, splash) are run-length coded, the
    // program expanding them; buttons and glyphs, which the system loads,
    // stay plain.
    EXPECT_EQ(b.compressed, s.width * s.height >= 50000) << "bitmap " << s.number;
  }
}

int CountColour(const Bitmap& b, uint32_t colour) {
  int n = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) n += b.At(x, y) == colour;
  return n;
}

TEST(ArtButtons, IconsStandOnWhiteThatTheButtonsMaskOut) {
  for (int number : {IDB_BTN_NEXT, IDB_BTN_RETURN, IDB_BTN_EXIT, IDB_BTN_LOAD_FILE,
                     IDB_BTN_MONITOR, IDB_BTN_SAVE_FILE, IDB_BTN_WRITE_ALL, IDB_BTN_CALIBRATE,
                     IDB_BTN_APPLY_FILE, IDB_BTN_REPORT, IDB_BTN_CHART_PAUSE, IDB_BTN_CHART_CONTINUE,
                     IDB_BTN_OPEN_RECORDING, IDB_BTN_ZOOM_IN, IDB_BTN_ZOOM_OUT,
                     IDB_BTN_ZOOM_WHOLE}) {
    const Bitmap b = Load(number);
    if (b.index.empty()) continue;
    for (auto [x, y] : {std::pair{0, 0}, {b.width - 1, 0}, {0, b.height - 1},
                        {b.width - 1, b.height - 1}})
      EXPECT_EQ(b.At(x, y), 0xFFFFFFu) << "bitmap " << number << " corner " << x << "," << y;
    const int area = b.width * b.height;
    const int white = CountColour(b, 0xFFFFFF);
    EXPECT_GT(area - white, area / 5) << "bitmap " << number << " has almost no picture";
  }
}

TEST(ArtButtons, FlagsHaveNoHolesWhereTheMaskWouldShowThrough) {
  for (int number : {IDB_BTN_LANG_PT, IDB_BTN_LANG_EN, IDB_BTN_LANG_ES}) {
    const Bitmap b = Load(number);
    if (b.index.empty()) continue;
    EXPECT_EQ(CountColour(b, 0xFFFFFF), 0) << "bitmap " << number;
  }
}

TEST(ArtButtons, EveryButtonPaletteHoldsWhiteExactlyOnce) {
  // Masking a palette image picks the palette entry nearest to white; without
  // a white entry a colour of the picture (the flags' yellow) would vanish.
  for (int number : {IDB_BTN_NEXT, IDB_BTN_RETURN, IDB_BTN_EXIT, IDB_BTN_LOAD_FILE,
                     IDB_BTN_MONITOR, IDB_BTN_SAVE_FILE, IDB_BTN_WRITE_ALL, IDB_BTN_CALIBRATE,
                     IDB_BTN_APPLY_FILE, IDB_BTN_REPORT, IDB_BTN_CHART_PAUSE, IDB_BTN_CHART_CONTINUE,
                     IDB_BTN_OPEN_RECORDING, IDB_BTN_ZOOM_IN, IDB_BTN_ZOOM_OUT,
                     IDB_BTN_ZOOM_WHOLE,
                     IDB_BTN_LANG_PT, IDB_BTN_LANG_EN, IDB_BTN_LANG_ES}) {
    const Bitmap b = Load(number);
    int whites = 0;
    for (uint32_t c : b.palette) whites += c == 0xFFFFFF;
    EXPECT_EQ(whites, 1) << "bitmap " << number;
  }
}

TEST(ArtLanguages, EachLanguageHasItsButtonsAndStripsWithinThePictures) {
  std::map<int, Size> sizes;
  for (const Size& s : ExpectedSizes()) sizes[s.number] = s;
  std::set<std::pair<int, int>> buttons;
  for (const auto& v : kova::art::kVariants) {
    const Bitmap b = Load(v.bitmap), original = Load(v.picture);
    EXPECT_EQ(b.width, original.width) << "variant " << v.bitmap;
    EXPECT_EQ(b.height, original.height) << "variant " << v.bitmap;
    EXPECT_GE(v.bitmap, IDB_LANGUAGE_FIRST);
    buttons.insert({v.picture, v.language});
  }
  // The buttons with words: write-all and the apply button in both
  // languages ("CALIBRAR" is Spanish too).
  for (int language : {1, 2}) {
    EXPECT_TRUE(buttons.count({IDB_BTN_WRITE_ALL, language})) << language;
    EXPECT_TRUE(buttons.count({IDB_BTN_APPLY_FILE, language})) << language;
  }
  EXPECT_TRUE(buttons.count({IDB_BTN_CALIBRATE, 1}));
  std::set<std::pair<int, int>> stripped;
  for (const auto& p : kova::art::kPatches) {
    const Bitmap b = Load(p.bitmap);
    const Size& picture = sizes.at(p.picture);
    EXPECT_GE(p.x, 0);
    EXPECT_GE(p.y, 0);
    EXPECT_LE(p.x + b.width, picture.width) << "strip " << p.bitmap;
    EXPECT_LE(p.y + b.height, picture.height) << "strip " << p.bitmap;
    stripped.insert({p.picture, p.language});
  }
  for (int picture : {IDB_SPLASH, IDB_BG_MONITOR_VELA, IDB_BG_MONITOR_BRIO, IDB_BG_LAMBDA_REAL})
    for (int language : {1, 2}) EXPECT_TRUE(stripped.count({picture, language})) << picture;
}

bool SamePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height) return false;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.At(x, y) != b.At(x, y)) return false;
  return true;
}

void ExpectAllDifferent(int first, int count, const char* what) {
  std::vector<Bitmap> all;
  for (int i = 0; i < count; ++i) all.push_back(Load(first + i));
  for (int i = 0; i < count; ++i)
    for (int j = i + 1; j < count; ++j)
      EXPECT_FALSE(SamePixels(all[i], all[j])) << what << " " << i << " and " << j << " look alike";
}

TEST(ArtGlyphs, EveryDigitAndActuatorFrameIsItsOwnPicture) {
  ExpectAllDifferent(IDB_DIGIT_BIG_FIRST, 10, "big digits");
  ExpectAllDifferent(IDB_DIGIT_SMALL_FIRST, 10, "small digits");
  ExpectAllDifferent(IDB_ACTUATOR_FIRST, IDB_ACTUATOR_FRAMES, "actuator frames");
  EXPECT_FALSE(SamePixels(Load(IDB_SCALE_GREEN), Load(IDB_SCALE_RED)));
}

TEST(ArtGlyphs, EightLightsMoreThanOne) {
  // Lit segments are the brightest colour; "8" has seven, "1" two.
  auto lit = [](const Bitmap& b) {
    uint32_t brightest = 0;
    int best = -1;
    for (uint32_t c : b.palette) {
      const int sum = int((c >> 16) & 255) + int((c >> 8) & 255) + int(c & 255);
      if (sum > best) best = sum, brightest = c;
    }
    return CountColour(b, brightest);
  };
  for (int first : {IDB_DIGIT_BIG_FIRST, IDB_DIGIT_SMALL_FIRST}) {
    const int one = lit(Load(first + 1));
    const int eight = lit(Load(first + 8));
    EXPECT_GT(one, 0);
    EXPECT_GT(eight, 3 * one) << "digits from " << first;
  }
}

// Dialog units to pixels, as the dialog maps them with the 8-point font.
int Px(int x) { return (x * ART_DLU_BASE_X + 2) / 4; }
int Py(int y) { return (y * ART_DLU_BASE_Y + 4) / 8; }

// A glyph control drawn at (x, y) dialog units over a background: its
// corner colour must be the background's there, or blanks and glyph edges
// would show as patches.
void ExpectBlends(const Bitmap& bg, const Bitmap& glyph, int dlu_x, int dlu_y, const char* what) {
  if (bg.index.empty() || glyph.index.empty()) return;
  const int x = Px(dlu_x), y = Py(dlu_y);
  ASSERT_LT(x + glyph.width, bg.width) << what;
  ASSERT_LT(y + glyph.height, bg.height) << what;
  EXPECT_EQ(bg.At(x, y), glyph.At(0, 0)) << what << " at " << x << "," << y;
  EXPECT_EQ(bg.At(x + glyph.width - 1, y + glyph.height - 1),
            glyph.At(glyph.width - 1, glyph.height - 1))
      << what << " at " << x << "," << y;
}

const int kMonArcX[28] = {MON_ARC_X0,  MON_ARC_X1,  MON_ARC_X2,  MON_ARC_X3,  MON_ARC_X4,
                          MON_ARC_X5,  MON_ARC_X6,  MON_ARC_X7,  MON_ARC_X8,  MON_ARC_X9,
                          MON_ARC_X10, MON_ARC_X11, MON_ARC_X12, MON_ARC_X13, MON_ARC_X14,
                          MON_ARC_X15, MON_ARC_X16, MON_ARC_X17, MON_ARC_X18, MON_ARC_X19,
                          MON_ARC_X20, MON_ARC_X21, MON_ARC_X22, MON_ARC_X23, MON_ARC_X24,
                          MON_ARC_X25, MON_ARC_X26, MON_ARC_X27};
const int kMonArcY[28] = {MON_ARC_Y0,  MON_ARC_Y1,  MON_ARC_Y2,  MON_ARC_Y3,  MON_ARC_Y4,
                          MON_ARC_Y5,  MON_ARC_Y6,  MON_ARC_Y7,  MON_ARC_Y8,  MON_ARC_Y9,
                          MON_ARC_Y10, MON_ARC_Y11, MON_ARC_Y12, MON_ARC_Y13, MON_ARC_Y14,
                          MON_ARC_Y15, MON_ARC_Y16, MON_ARC_Y17, MON_ARC_Y18, MON_ARC_Y19,
                          MON_ARC_Y20, MON_ARC_Y21, MON_ARC_Y22, MON_ARC_Y23, MON_ARC_Y24,
                          MON_ARC_Y25, MON_ARC_Y26, MON_ARC_Y27};

TEST(ArtPanel, MonitorGlyphsSitOnMatchingBackground) {
  for (int bg_number : {IDB_BG_MONITOR_VELA, IDB_BG_MONITOR_BRIO}) {
    SCOPED_TRACE(bg_number);
    const Bitmap bg = Load(bg_number);
    const Bitmap big = Load(IDB_DIGIT_BIG_FIRST);
    for (int x : {MON_RPM_X0, MON_RPM_X1, MON_RPM_X2, MON_RPM_X3})
      ExpectBlends(bg, big, x, MON_RPM_Y, "engine-speed digit");
    const Bitmap small = Load(IDB_DIGIT_SMALL_FIRST);
    for (int x : {MON_TPS_X_UNITS, MON_TPS_X_TENTHS, MON_TPS_X_HUNDREDTHS, MON_LAMBDA_X_UNITS,
                  MON_LAMBDA_X_TENTHS, MON_LAMBDA_X_HUNDREDTHS, MON_STEP_X0, MON_STEP_X1,
                  MON_STEP_X2})
      ExpectBlends(bg, small, x, MON_READOUT_Y, "readout digit");
    const Bitmap point = Load(IDB_DIGIT_SMALL_POINT);
    ExpectBlends(bg, point, MON_TPS_X_POINT, MON_READOUT_Y, "TPS point");
    ExpectBlends(bg, point, MON_LAMBDA_X_POINT, MON_READOUT_Y, "lambda point");
    for (int i = 0; i < 28; ++i)
      ExpectBlends(bg, Load(IDB_ARC_DOT_FIRST + i), kMonArcX[i], kMonArcY[i], "arc dot");
    ExpectBlends(bg, Load(IDB_SCALE_GREEN), MON_SCALE_X, MON_SCALE_Y, "actuator scale");
    ExpectBlends(bg, Load(IDB_SCALE_MARKER), MON_MARKER_X, MON_MARKER_Y, "marker at 0 steps");
    ExpectBlends(bg, Load(IDB_ACTUATOR_FIRST), MON_ACTUATOR_X, MON_ACTUATOR_Y, "actuator");
  }
}

TEST(ArtPanel, MarkerColumnIsPlainAllTheWayUp) {
  // The marker travels 228 pixels up from its place at 0 steps; the panel
  // behind it must be plain so that no trace is left where it was.
  const Bitmap bg = Load(IDB_BG_MONITOR_VELA);
  const Bitmap marker = Load(IDB_SCALE_MARKER);
  if (bg.index.empty() || marker.index.empty()) return;
  const int x0 = Px(MON_MARKER_X), top0 = Py(MON_MARKER_Y);
  for (int top = top0 - 228; top <= top0; ++top)
    for (int x = x0; x < x0 + marker.width; ++x)
      for (int y = top; y < top + marker.height; ++y)
        ASSERT_EQ(bg.At(x, y), marker.At(0, 0)) << x << "," << y;
}

// The panel's own placement rules, in client pixels: the marker's top at
// 379 - 228 * steps / 240, a bar's zero at 376 and 44.2 pixels per volt.
int MarkerTop(int steps) { return 379 - int(228.0 * steps / 240.0); }

TEST(ArtPanel, MarkerPointsAtTheScaleMarks) {
  const Bitmap scale = Load(IDB_SCALE_GREEN);
  const Bitmap marker = Load(IDB_SCALE_MARKER);
  if (scale.index.empty() || marker.index.empty()) return;
  // The tip: the leftmost pixel of the marker that is not its background.
  int tip_row = -1;
  for (int x = 0; x < marker.width && tip_row < 0; ++x)
    for (int y = 0; y < marker.height; ++y)
      if (marker.At(x, y) != marker.At(0, 0)) {
        tip_row = y;
        break;
      }
  ASSERT_GE(tip_row, 0);
  const uint32_t plain = scale.At(0, 0);
  for (int steps = 0; steps <= 240; steps += 40) {
    const int row = MarkerTop(steps) + tip_row - Py(MON_SCALE_Y);
    ASSERT_GE(row, 1);
    ASSERT_LT(row + 1, scale.height);
    bool marked = false;
    for (int r = row - 1; r <= row + 1; ++r)
      for (int x = 0; x < 6; ++x) marked = marked || scale.At(x, r) != plain;
    EXPECT_TRUE(marked) << "no scale mark where the marker points at " << steps << " steps";
  }
}

TEST(ArtPanel, BarTracksAreMarkedAtZeroAndFullScale) {
  const Bitmap bg = Load(IDB_BG_MONITOR_VELA);
  if (bg.index.empty()) return;
  for (int bar_x : {MON_TPS_BAR_X, MON_LAMBDA_BAR_X}) {
    const int right = Px(bar_x) + 12;  // the bar picture is 12 pixels wide
    for (double volts : {0.0, 5.0}) {
      const int y = int(376 - volts * 44.2 + 0.5);
      bool marked = false;
      for (int x = right + 1; x < right + 16; ++x)
        marked = marked || (bg.At(x, y) != bg.At(x, y + 6) && bg.At(x, y) != bg.At(x, y - 6));
      EXPECT_TRUE(marked) << "bar at " << bar_x << ": no mark at " << volts << " V";
    }
  }
}

TEST(ArtPanel, LiveDisplayOfTheLambdaScreenMatchesItsGlyphs) {
  const Bitmap bg = Load(IDB_BG_LAMBDA_REAL);
  const Bitmap big = Load(IDB_DIGIT_BIG_FIRST + 8);
  for (int x : {LIVE_RPM_X0, LIVE_RPM_X1, LIVE_RPM_X2, LIVE_RPM_X3})
    ExpectBlends(bg, big, x, LIVE_RPM_Y, "engine-speed digit");
  for (int x : {LIVE_INJ_X0, LIVE_INJ_X1, LIVE_INJ_X2})
    ExpectBlends(bg, big, x, LIVE_INJ_Y, "injection digit");
  for (int i = 0; i < 28; ++i)
    ExpectBlends(bg, Load(IDB_ARC_DOT_FIRST + i), kMonArcX[i] + LIVE_DX, kMonArcY[i] + LIVE_DY,
                 "arc dot");
}

}  // namespace
