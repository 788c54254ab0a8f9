// The texts the program shows, read from src/common/texts.h itself: Chinese sentences take
// full-width punctuation with no blank before it, and no two buttons of the main window (its own
// and the result panel's) share an access key. The texts the program's original design fixes
// keep their wording and are let off where it breaks these rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace quorlane {
namespace {

// The fixed texts that break a rule on purpose: they stand as the original design has them.
const std::set<std::string> kExempt = {"kLabel5", "kBusy", "kMissingAfter", "kImageFilter"};

struct Text {
  std::string name;
  std::u32string text;
};

std::u32string decode(const std::string& utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    out += c;
    i += length;
  }
  return out;
}

// Every string_view constant of the file: its name and its literals joined, escapes resolved.
std::vector<Text> readTexts() {
  std::ifstream file(QUORLANE_TEXTS_FILE, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  const std::string source = contents.str();
  std::vector<Text> texts;
  const std::regex declaration(R"(inline constexpr std::string_view (\w+) =)");
  for (auto it = std::sregex_iterator(source.begin(), source.end(), declaration);
       it != std::sregex_iterator(); ++it) {
    std::string value;
    std::size_t at = static_cast<std::size_t>(it->position(0) + it->length(0));
    while (at < source.size() && source[at] != ';') {
      if (source[at++] != '"') continue;
      for (; at < source.size() && source[at] != '"'; ++at) {
        if (source[at] != '\\') {
          value += source[at];
          continue;
        }
        const char escaped = source[++at];
        value += escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
      }
      ++at;  // the closing quote
    }
    texts.push_back({(*it)[1].str(), decode(value)});
  }
  return texts;
}

bool chinese(char32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF);
}

// A caption's access key "(&X)" at its end is the Windows way for Chinese captions, not a
// bracket in a sentence.
std::u32string withoutAccessKey(std::u32string text) {
  const auto n = text.size();
  if (n >= 4 && text[n - 4] == U'(' && text[n - 3] == U'&' && text[n - 1] == U')') {
    text.resize(n - 4);
  }
  return text;
}

// What breaks the punctuation rules in a text; empty when nothing does.
std::string brokenRule(const std::u32string& whole) {
  const std::u32string text = withoutAccessKey(whole);
  const std::u32string halfWidth = U",.:;!?()";
  const std::u32string fullWidth = U"，。：；！？、（）“”《》…";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    const bool besideChinese =
        (i > 0 && chinese(text[i - 1])) || (i + 1 < text.size() && chinese(text[i + 1]));
    if (halfWidth.find(c) != std::u32string::npos && besideChinese) {
      return "half-width '" + std::string(1, static_cast<char>(c)) + "' beside Chinese at " +
             std::to_string(i);
    }
    if (c == U' ' && i + 1 < text.size() && fullWidth.find(text[i + 1]) != std::u32string::npos) {
      return "a blank before a full-width mark at " + std::to_string(i);
    }
  }
  return {};
}

TEST(TextsTest, ChineseTakesFullWidthPunctuationAndButtonsHaveTheirOwnAccessKeys) {
  const std::vector<Text> texts = readTexts();
  // The file was found and read: its first text and one of the last.
  ASSERT_GT(texts.size(), 50u);
  EXPECT_EQ(texts.front().name, "kFormCaption");

  std::set<std::string> names;
  std::map<char32_t, std::vector<std::string>> keys;
  const std::regex button(R"(kCommand\d+|k\w*Button)");
  for (const Text& t : texts) {
    names.insert(t.name);
    const std::string broken = brokenRule(t.text);
    if (kExempt.count(t.name) != 0) {
      // A text let off that keeps every rule is let off no more.
      EXPECT_NE(broken, "") << t.name << " keeps the rules: take it off the exemptions";
    } else {
      EXPECT_EQ(broken, "") << t.name;
    }
    if (!std::regex_match(t.name, button)) continue;
    for (std::size_t i = 0; i + 1 < t.text.size(); ++i) {
      if (t.text[i] != U'&') continue;
      if (t.text[i + 1] == U'&') {
        ++i;  // "&&" is a plain "&"
        continue;
      }
      char32_t key = t.text[i + 1];
      if (key >= U'a' && key <= U'z') key -= U'a' - U'A';
      keys[key].push_back(t.name);
    }
  }
  for (const auto& name : kExempt) EXPECT_EQ(names.count(name), 1u) << name;
  // The result panel's buttons are among them.
  EXPECT_GE(keys.size(), 5u);
  for (const auto& [key, owners] : keys) {
    EXPECT_EQ(owners.size(), 1u) << "access key " << static_cast<char>(key) << " of "
                                 << ::testing::PrintToString(owners);
  }
}

}  // namespace
}  // namespace quorlane
