// Reading one line of a hash list in the dialects that checksum tools write:
// what each dialect, comment and run of blanks gives, how ambiguous lines are
// decided and which lines are no line of a list.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "plugin/lists/text/CodePageText.h"
#include "plugin/lists/text/LineLayout.h"
#include "plugin/lists/text/ListDialect.h"
#include "tests/unit/support/Text.h"

using testing_text::Utf8;

namespace {

constexpr char kMd5[] = "900150983cd24fb0d6963f7d28e17f72";
constexpr char kMd5Upper[] = "900150983CD24FB0D6963F7D28E17F72";
constexpr char kSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

WStr W(const std::string& utf8) {
  WStr text;
  EXPECT_TRUE(FromCodePage(CP_UTF8, utf8, text));
  return text;
}

const ListSyntax& Md5() {  // digest first, as the sample Korvane.ini has it
  static const ListSyntax s = MakeListSyntax(ParseLineLayout(KW("%HASH% *%FILENAME%")), KW("MD5"), 16);
  return s;
}
const ListSyntax& Sfv() {  // name first
  static const ListSyntax s = MakeListSyntax(ParseLineLayout(KW("%FILENAME% %HASH%")), KW("CRC32"), 4);
  return s;
}
const ListSyntax& Sha256() {
  static const ListSyntax s = MakeListSyntax(ParseLineLayout(KW("%HASH% *%FILENAME%")), KW("SHA-256"), 32);
  return s;
}
const ListSyntax& Md5Tagged() {  // the own line format is a tag line
  static const ListSyntax s =
      MakeListSyntax(ParseLineLayout(KW("%HASHNAME% (%FILENAME%) = %HASH%")), KW("MD5"), 16);
  return s;
}

const char* DialectName(ListDialect d) {
  switch (d) {
    case ListDialect::Own: return "Own";
    case ListDialect::GnuText: return "GnuText";
    case ListDialect::GnuBinary: return "GnuBinary";
    case ListDialect::OneSpace: return "OneSpace";
    case ListDialect::DigestOnly: return "DigestOnly";
    case ListDialect::BsdTag: return "BsdTag";
    case ListDialect::NameFirst: return "NameFirst";
  }
  return "?";
}

const char* CaseName(DigitCase c) {
  switch (c) {
    case DigitCase::None: return "none";
    case DigitCase::Upper: return "upper";
    case DigitCase::Lower: return "lower";
    case DigitCase::Mixed: return "mixed";
  }
  return "?";
}

// What a line reads as, in one string: "Comment", "Blank", "NotALine", or
// "Dialect [name] [digest] case", then " sep=[...]", " tag=[...]" and " esc"
// where there are any.
std::string Describe(const std::string& utf8, const ListSyntax& syntax,
                     std::optional<ListDialect> prefer = std::nullopt) {
  const WStr line = W(utf8);
  const ListLine r = ReadListLine(line, syntax, prefer);
  switch (r.Kind) {
    case ListLineKind::Blank: return "Blank";
    case ListLineKind::Comment: return "Comment";
    case ListLineKind::NotALine: return "NotALine";
    case ListLineKind::Entry: break;
  }
  const auto part = [&](LineSpan s) { return Utf8(line.substr(s.Start, s.Length)); };
  std::string d = std::string(DialectName(r.Dialect)) + " [" + part(r.Name) + "] [" + part(r.Digest) + "] " +
                  CaseName(r.Case);
  if (r.Separator.Length) d += " sep=[" + part(r.Separator) + "]";
  if (r.Tag.Length) d += " tag=[" + part(r.Tag) + "]";
  if (r.Escaped) d += " esc";
  return d;
}

struct Row {
  const ListSyntax& (*syntax)();
  std::string line;
  std::string expected;
};

void CheckRows(const std::vector<Row>& rows, std::optional<ListDialect> prefer = std::nullopt) {
  for (const Row& row : rows)
    EXPECT_EQ(Describe(row.line, row.syntax(), prefer), row.expected) << "line: [" << row.line << "]";
}

const std::string M = kMd5, MU = kMd5Upper, S = kSha256;

// The lines the tools themselves write (coreutils, rhash, cksfv, md5deep,
// FreeBSD, OpenSSL, 7-Zip) and the Windows tools' styles.
TEST(ListDialect, LinesAsTheToolsWriteThem) {
  CheckRows({
      // coreutils md5sum / sha256sum, rhash --simple, md5deep -l
      {Md5, M + "  a.txt", "GnuText [a.txt] [" + M + "] lower sep=[  ]"},
      {Md5, M + "  ./sub/deep.txt", "GnuText [./sub/deep.txt] [" + M + "] lower sep=[  ]"},
      {Sha256, S + "  with space.txt", "GnuText [with space.txt] [" + S + "] lower sep=[  ]"},
      {Sha256, S + "  \xD0\xB6\xD1\x83\xD0\xBA.txt",
       "GnuText [\xD0\xB6\xD1\x83\xD0\xBA.txt] [" + S + "] lower sep=[  ]"},
      // sha256sum -b, and the format's own lines (Korvane's own writer)
      {Sha256, S + " *a.txt", "Own [a.txt] [" + S + "] lower"},
      {Md5, MU + " *sub\\deep.txt", "Own [sub\\deep.txt] [" + MU + "] upper"},
      // sha256sum --tag, BSD md5/sha256, rhash --bsd (padded tags), OpenSSL 3
      {Sha256, "SHA256 (a.txt) = " + S, "BsdTag [a.txt] [" + S + "] lower sep=[ ] tag=[SHA256]"},
      {Sha256, "SHA-256 (a.txt) = " + S, "BsdTag [a.txt] [" + S + "] lower sep=[ ] tag=[SHA-256]"},
      {Sha256, "SHA2-256(a.txt)= " + S, "BsdTag [a.txt] [" + S + "] lower tag=[SHA2-256]"},
      {Md5, "MD5   (with space.txt) = " + M, "BsdTag [with space.txt] [" + M + "] lower sep=[   ] tag=[MD5]"},
      {Md5, "MD5 (x) = y) = " + M, "BsdTag [x) = y] [" + M + "] lower sep=[ ] tag=[MD5]"},
      // the own tag line format, and another spelling in it
      {Md5Tagged, "MD5 (a.txt) = " + MU, "Own [a.txt] [" + MU + "] upper"},
      {Md5Tagged, "md5 (a.txt) = " + M, "BsdTag [a.txt] [" + M + "] lower sep=[ ] tag=[md5]"},
      // coreutils escapes a name with "\" or a line feed
      {Sha256, "\\" + S + "  back\\\\slash.txt",
       "GnuText [back\\\\slash.txt] [" + S + "] lower sep=[  ] esc"},
      {Sha256, "\\SHA256 (new\\nline.txt) = " + S,
       "BsdTag [new\\nline.txt] [" + S + "] lower sep=[ ] tag=[SHA256] esc"},
      // FreeBSD md5 -r
      {Md5, M + " a.txt", "OneSpace [a.txt] [" + M + "] lower sep=[ ]"},
      // 7-Zip's own Hash format reads a digest alone
      {Md5, M, "DigestOnly [] [" + M + "] lower"},
      // cksfv, rhash --sfv: the own SFV line; a Windows tool's padded SFV
      {Sfv, "a.txt 352441C2", "Own [a.txt] [352441C2] upper"},
      {Sfv, "empty.txt 00000000", "Own [empty.txt] [00000000] none"},
      {Sfv, "a.txt          352441c2", "Own [a.txt] [352441c2] lower"},
      {Sfv, "with space.txt\t352441c2", "Own [with space.txt] [352441c2] lower"},
      // name first in a digest-first format (rhash --sfv --md5)
      {Md5, "sub/deep.txt " + MU, "NameFirst [sub/deep.txt] [" + MU + "] upper sep=[ ]"},
      // and digest first in an SFV (rhash --simple --crc32)
      {Sfv, "352441c2  a.txt", "GnuText [a.txt] [352441c2] lower sep=[  ]"},
      {Sfv, "CRC32 (a.txt) = 352441c2", "BsdTag [a.txt] [352441c2] lower sep=[ ] tag=[CRC32]"},
  });
}

TEST(ListDialect, CommentsAndBlankLines) {
  CheckRows({
      // ";" in every list: rhash and cksfv banners, a lone ";", FileVerifier++
      {Md5, "; Generated by RHash v1.4.3 on 2026-12-10 at 14:33.07", "Comment"},
      {Sfv, ";            3  14:33.02 2026-12-10 a.txt", "Comment"},
      {Sfv, ";", "Comment"},
      {Sfv, ";a.txt 352441C2", "Comment"},
      // "#" where entries begin with a digest or a tag
      {Md5, "# MD5 checksums generated by a Windows tool", "Comment"},
      {Md5, "#a.txt " + MU, "Comment"},
      {Md5Tagged, "#", "Comment"},
      // but in SFV, where the name comes first, "#" begins a name
      {Sfv, "#a.txt 352441C2", "Own [#a.txt] [352441C2] upper"},
      {Sfv, "# banner", "NotALine"},
      // blank lines, tabs and spaces only
      {Md5, "", "Blank"},
      {Sfv, "   ", "Blank"},
      {Md5, " \t ", "Blank"},
      // a comment must begin the line
      {Md5, " ; not a comment", "NotALine"},
  });
}

// Every dialect with every run of blanks between name and digest and at the
// end of the line: the name never takes a blank of the run, and keeps the
// blanks inside it.
TEST(ListDialect, BlankRunsSeparateAndNamesKeepTheirBlanks) {
  const std::string names[] = {"a.txt", "with  two spaces.txt", "tab\there.txt",
                               "\xD0\xB6\xD1\x83\xD0\xBA.txt"};
  const std::string runs[] = {" ", "  ", "\t", " \t  "};
  const std::string ends[] = {"", " ", "\t \t"};
  for (const std::string& name : names) {
    for (const std::string& run : runs) {
      for (const std::string& end : ends) {
        // pieces: the line's parts, joined.
        const auto check = [&](const ListSyntax& syntax, std::initializer_list<std::string_view> pieces,
                               const std::string& dialect, const std::string& digest) {
          std::string line, want;
          for (std::string_view piece : pieces) line += piece;
          want.append("[").append(name).append("] [").append(digest).append("]");
          const std::string got = Describe(line, syntax);
          EXPECT_EQ(got.substr(0, got.find(' ')), dialect) << "line: [" << line << "]";
          EXPECT_NE(got.find(want), std::string::npos) << "line: [" << line << "] read as " << got;
        };
        const bool oneSpace = run == " ";
        check(Md5(), {M, run, name, end}, oneSpace ? "OneSpace" : "GnuText", M);
        check(Md5(), {M, run, "*", name, end}, "Own", M);
        check(Md5(), {"MD5", run, "(", name, ")", run, "=", run, M, end}, "BsdTag", M);
        check(Md5(), {name, run, MU, end}, "NameFirst", MU);
        check(Sfv(), {name, run, "352441c2", end}, "Own", "352441c2");
        check(Sfv(), {"352441C2", run, "*", name, end}, "GnuBinary", "352441C2");
      }
    }
  }
}

// The own line format first; where a list's first entry has shown another
// dialect, that one comes before it.
TEST(ListDialect, AmbiguousLines) {
  CheckRows({
      // two 8-digit words in an SFV: name first, as the format writes it
      {Sfv, "deadbeef cafebabe", "Own [deadbeef] [cafebabe] lower"},
      // digest first before name first: a GNU name that ends in digits
      {Md5, M + "  notes " + M, "GnuText [notes " + M + "] [" + M + "] lower sep=[  ]"},
      // a tag line of another algorithm is not a name-first line
      {Md5, "SHA1 (a.txt) = " + M, "NotALine"},
      {Sfv, "SHA1 (a.txt) = 352441c2", "NotALine"},
      // "*" after any run of blanks marks a binary line; after the name it is
      // part of the name
      {Md5, M + "  *a.txt", "Own [a.txt] [" + M + "] lower"},
      {Sfv, "a*.txt 352441C2", "Own [a*.txt] [352441C2] upper"},
  });
  // The list's own dialect decides the same kind of line.
  CheckRows({{Sfv, "deadbeef cafebabe", "OneSpace [cafebabe] [deadbeef] lower sep=[ ]"},
             {Sfv, "352441c2 a.txt", "OneSpace [a.txt] [352441c2] lower sep=[ ]"}},
            ListDialect::OneSpace);
  CheckRows({{Md5, M + " *" + M, "GnuBinary [" + M + "] [" + M + "] lower sep=[ *]"}},
            ListDialect::GnuBinary);
  CheckRows({{Md5, M + " *" + M, "Own [" + M + "] [" + M + "] lower"}}, ListDialect::Own);
}

TEST(ListDialect, Refusals) {
  CheckRows({
      // a digest one digit short or long, or with a letter beyond f
      {Md5, M.substr(1) + "  a.txt", "NotALine"},
      {Md5, M + "0  a.txt", "NotALine"},
      {Md5, std::string("g").append(M, 1) + "  a.txt", "NotALine"},
      {Sfv, "a.txt 352441c", "NotALine"},
      {Sfv, "a.txt 352441c2a", "NotALine"},
      // another algorithm's digest: SHA-256 digits in an MD5 list
      {Md5, S + "  a.txt", "NotALine"},
      // a tag of another algorithm, a tag line without name or "="
      {Sha256, "SHA512 (a.txt) = " + S, "NotALine"},
      {Md5, "MD5 () = " + M, "NotALine"},
      // (a tag line without "=" is a name-first line of a name with a tag)
      {Md5, "MD5 (a.txt) " + M, "NameFirst [MD5 (a.txt)] [" + M + "] lower sep=[ ]"},
      {Md5, "MD5 a.txt = " + M, "NotALine"},
      // no name, or no separator between name and digest
      {Md5, M + "  *", "NotALine"},
      {Sfv, "352441C2 ", "DigestOnly [] [352441C2] upper"},
      {Sfv, "a.txt352441C2", "NotALine"},
      // control characters (binary files), other than a tab
      {Md5, M + "  a\x01.txt", "NotALine"},
      {Md5,
       std::string("\x7F"
                   "ELF\x02\x01\x01"),
       "NotALine"},
      // hashdeep's and md5deep -z's lines are no dialect of ours
      {Md5, "%%%% HASHDEEP-1.0", "NotALine"},
      {Md5, "3," + M + ",./a.txt", "NotALine"},
      {Md5, "         3  " + M + "  ./a.txt", "NotALine"},
  });
}

TEST(ListDialect, UnescapedNames) {
  const struct {
    std::string escaped;
    bool ok;
    std::string name;
  } rows[] = {
      {"plain.txt", true, "plain.txt"},
      {"back\\\\slash", true, "back\\slash"},
      {"new\\nline", true, "new\nline"},
      {"a\\\\n", true, "a\\n"},
      {"bad\\t", false, ""},
      {"ends\\", false, ""},
  };
  for (const auto& row : rows) {
    WStr name;
    EXPECT_EQ(UnescapeListName(W(row.escaped), name), row.ok) << row.escaped;
    if (row.ok) {
      EXPECT_EQ(Utf8(name), row.name) << row.escaped;
    }
  }
}

TEST(ListDialect, TagSpellings) {
  const auto spelt = [](const WCHAR* name) {
    std::string all;
    for (const WStr& t : ListTagSpellings(name)) all += Utf8(t) + ",";
    return all;
  };
  EXPECT_EQ(spelt(KW("SHA-256")), "SHA-256,SHA256,SHA2-256,");
  EXPECT_EQ(spelt(KW("SHA-1")), "SHA-1,SHA1,");
  EXPECT_EQ(spelt(KW("SHA-512")), "SHA-512,SHA512,SHA2-512,");
  EXPECT_EQ(spelt(KW("MD5")), "MD5,");
  EXPECT_EQ(spelt(KW("CRC32")), "CRC32,CRC-32,");
  EXPECT_EQ(spelt(KW("XXH64")), "XXH64,");
}

}  // namespace
