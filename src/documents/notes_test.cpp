#include "documents/notes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "documents/document_test_support.h"

namespace {

using document_test::split_lines;
using document_test::utf8_length;

/// Length in characters of each line of the notes, without CR LF, line 1 first.
const std::vector<std::size_t> kStatedLengths{
    0,   61,  0,   0,   15,  0,  73, 142, 182, 473, 234, 0,   16, 0,   // lines 1 to 14
    191, 208, 103, 165, 315, 59, 40, 92,  241, 118, 78,  175, 0,  20,  // lines 15 to 28
};

/// Lines that end with one blank.
const std::set<std::size_t> kTrailingBlank{16, 18, 22, 26};

constexpr unsigned char kAccented[] = {224, 232, 242, 249};  // à è ò ù in Windows-1252

std::vector<std::string> notes_file_lines() { return split_lines(encode_lines(notes_lines())); }

TEST(Notes, HasTwentyEightLinesOfTheStatedBytes) {
  const LineTable table = notes_lines();
  ASSERT_EQ(table.size(), 29u);
  EXPECT_EQ(table.back(), kEndMarker);
  ASSERT_EQ(kStatedLengths.size(), 28u);

  const std::size_t expected_bytes =
      std::accumulate(kStatedLengths.begin(), kStatedLengths.end(), std::size_t{0}) + 2 * kStatedLengths.size();
  const std::string bytes = encode_lines(table);
  EXPECT_EQ(bytes.size(), expected_bytes);
  EXPECT_EQ(split_lines(bytes).size(), 28u);
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
}

TEST(Notes, EveryLineHasItsStatedLengthInCharactersAndInBytes) {
  const LineTable text = notes_text();
  const auto lines = notes_file_lines();
  ASSERT_EQ(text.size(), 29u);
  ASSERT_EQ(lines.size(), 28u);
  for (std::size_t n = 1; n <= 28; ++n) {
    EXPECT_EQ(utf8_length(text[n - 1]), kStatedLengths[n - 1]) << "line " << n;
    EXPECT_EQ(lines[n - 1].size(), kStatedLengths[n - 1]) << "line " << n;
  }
}

TEST(Notes, QuotedLinesAreExact) {
  struct Quoted {
    std::size_t line;
    const char* text;  // UTF-8
  };
  const Quoted quoted[] = {
      {2, "                                  FERROVIA ROMA-LIDO DI OSTIA"},
      {5, " CENNI STORICI:"},
      {7, "La linea fu inaugurata il 10 Agosto del 1924 precisamente alle ore 10.00."},
      {13, " LINEA SIMULATA:"},
      {20, "Inoltre quasi mai prima delle stazioni il segnale è giallo."},
      {21, "I segnali sono tutti di prima categoria."},
      {25, "La linea è ricca di variazioni altimetriche per cui occhio al contachilometri."},
      {28, "BUON DIVERTIMENTO !!"},
      {1, ""},
      {3, ""},
      {4, ""},
      {6, ""},
      {12, ""},
      {14, ""},
      {27, ""},
  };
  const LineTable text = notes_text();
  ASSERT_EQ(text.size(), 29u);
  for (const auto& q : quoted) EXPECT_EQ(text[q.line - 1], q.text) << "line " << q.line;
  EXPECT_EQ(text[2 - 1].find_first_not_of(' '), 34u);
}

TEST(Notes, ProseLinesBeginWithTheirFirstWordsAndNameTheirSubject) {
  struct Prose {
    std::size_t line;
    const char* first_words;
    std::vector<const char*> mentions;
  };
  const Prose prose[] = {
      {8, "Questa linea ha incontrato", {"Roma"}},
      {9, "La linea non era esattamente", {"MARINA DI OSTIA", "LIDO CENTRO"}},
      {10,
       "Durante le guerre la linea",
       {"LIDO CENTRO", "STELLA POLARE", "1948", "CASTEL FUSANO", "1949", "CRISTOFORO COLOMBO", "28.370"}},
      {11, "Oggi la linea", {"metropolitana", "13 fermate"}},
      {15, "La linea simulata corrisponde", {"editor"}},
      {16, "Essendo una  linea  metropolitana,", {"ripetizione dei segnali", "6 carrozze", "4 motrici"}},
      {17, "Alle stazioni noterete", {"secondi"}},
      {18, "Fate attenzione che i segnali", {"doppi", "deviatoi"}},
      {19,
       "Nella simulazione non avrete problemi",
       {"S.PAOLO BASILICA", "giallo", "ROMA PORTA SAN PAOLO", "rosso/giallo", "30 km/h", "giallo/verde"}},
      {22, "Durante la linea troverete", {"rallentamenti"}},
      {23, "noterete ad ACILIA", {"minuto", "CASAL BERNOCCHI", "binario unico"}},
      {24, "ATTENZIONE sempre a CASAL BERNOCCHI", {"pendenza"}},
      {26, "Per rispettare l'orario", {"recupero", "andata"}},
  };
  const LineTable text = notes_text();
  ASSERT_EQ(text.size(), 29u);
  for (const auto& p : prose) {
    const std::string& line = text[p.line - 1];
    EXPECT_EQ(line.rfind(p.first_words, 0), 0u) << "line " << p.line;
    for (const char* word : p.mentions)
      EXPECT_NE(line.find(word), std::string::npos) << "line " << p.line << ": " << word;
  }
}

TEST(Notes, OnlyTheStatedLinesEndWithABlank) {
  const auto lines = notes_file_lines();
  ASSERT_EQ(lines.size(), 28u);
  for (std::size_t n = 1; n <= 28; ++n) {
    const std::string& line = lines[n - 1];
    if (line.empty()) continue;
    const bool blank_end = line.back() == ' ';
    EXPECT_EQ(blank_end, kTrailingBlank.count(n) == 1) << "line " << n;
    if (blank_end) {
      EXPECT_NE(line[line.size() - 2], ' ') << "line " << n << " ends with more than one blank";
    }
  }
}

TEST(Notes, StartsWithAnEmptyLineAndEndsWithTheGreeting) {
  const std::string bytes = encode_lines(notes_lines());
  EXPECT_EQ(bytes.substr(0, 3), "\r\n ");
  const std::string end = "\r\n\r\nBUON DIVERTIMENTO !!\r\n";
  ASSERT_GE(bytes.size(), end.size());
  EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
  const auto lines = split_lines(bytes);
  EXPECT_EQ(lines[3 - 1], "");
  EXPECT_EQ(lines[4 - 1], "");
  EXPECT_EQ(lines[5 - 1], " CENNI STORICI:");
}

TEST(Notes, AccentedLettersAreSingleWindows1252Bytes) {
  const std::string bytes = encode_lines(notes_lines());
  for (const unsigned char accented : kAccented)
    EXPECT_NE(bytes.find(static_cast<char>(accented)), std::string::npos) << "byte " << int(accented);

  const std::set<unsigned char> allowed(std::begin(kAccented), std::end(kAccented));
  for (const unsigned char c : bytes) {
    if (c == '\r' || c == '\n') continue;
    EXPECT_TRUE((c >= 32 && c <= 126) || allowed.count(c) == 1) << "byte " << int(c);
  }

  const auto lines = split_lines(bytes);
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[20 - 1], "Inoltre quasi mai prima delle stazioni il segnale \xE8 giallo.");
  EXPECT_EQ(lines[25 - 1], "La linea \xE8 ricca di variazioni altimetriche per cui occhio al contachilometri.");
}

TEST(Notes, WriterReplacesTheNotesInTheProgramDirectory) {
  document_test::ScratchDirectory directory;
  const std::string name = "Lesca-Varo_148_note.txt";
  const auto path = directory.path() / name;
  document_test::write_file(path, std::string(10000, 'x') + "\r\n");

  dati_note(document_test::run_state_in(directory.path()));

  EXPECT_EQ(directory.entries(), std::vector<std::string>{name});
  const std::string bytes = read_file(path.string());
  EXPECT_EQ(bytes, encode_lines(notes_lines()));
  EXPECT_EQ(bytes.size(),
            std::accumulate(kStatedLengths.begin(), kStatedLengths.end(), std::size_t{0}) + 2 * kStatedLengths.size());
  EXPECT_NE(bytes.find('\xF2'), std::string::npos);  // ò
  EXPECT_EQ(bytes.find('\xC3'), std::string::npos);  // no UTF-8 lead byte reaches the file
}

TEST(Notes, OnlyTheNameFollowsTheRunState) {
  document_test::ScratchDirectory directory;
  dati_note(document_test::run_state_in(directory.path(), "Altra-Linea", "7"));
  EXPECT_EQ(directory.entries(), std::vector<std::string>{"Altra-Linea_7_note.txt"});
  EXPECT_EQ(read_file((directory.path() / "Altra-Linea_7_note.txt").string()), encode_lines(notes_lines()));
}

}  // namespace
