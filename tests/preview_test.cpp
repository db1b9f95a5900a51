// `scenario preview`: the picture of the scenario's own binary files, as the real executable draws it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include <algorithm>
#include <map>
#include <regex>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "preview/preview_drawing.h"
#include "preview/preview_layout.h"
#include "preview/preview_test_support.h"
#include "scenario/binary_format.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

/// Leaves nothing of cairo's and fontconfig's caches behind for the leak checker (the crowded picture's
/// layout is measured in this process too).
class DrawingResources : public ::testing::Environment {
 public:
  void TearDown() override { release_drawing_resources(); }
};
const auto* const kDrawingResources = ::testing::AddGlobalTestEnvironment(new DrawingResources);

class Preview : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory_ = std::make_unique<test_support::TemporaryDirectory>("scenario-preview");
    ASSERT_EQ(run("generate -o ."), 0);
  }
  static void TearDownTestSuite() { directory_.reset(); }

  /// Runs the program with `arguments` in the test's directory; its standard error goes to `error`.
  static int run(const std::string& arguments, std::string* error = nullptr) {
    const test_support::Outcome outcome = test_support::run_scenario(directory_->path(), arguments);
    if (error) *error = outcome.err;
    return outcome.status;
  }
  static std::string in_directory(const std::string& name) { return directory_->at(name); }
  static std::string grid() { return in_directory("Lesca-Varo_148.dat"); }

  static inline std::unique_ptr<test_support::TemporaryDirectory> directory_;
};

std::pair<uint32_t, uint32_t> png_size(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.substr(0, 8) != std::string("\x89PNG\r\n\x1a\n", 8) || bytes.substr(12, 4) != "IHDR")
    return {0, 0};
  const auto big_endian = [&](std::size_t at) {
    uint32_t value = 0;
    for (std::size_t k = 0; k < 4; ++k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    return value;
  };
  return {big_endian(16), big_endian(20)};
}

std::string output_of(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    pclose(pipe);
  }
  return text;
}

/// A word of a PDF and its box, as `pdftotext -bbox` finds them in the file.
struct PdfWord {
  std::string text;
  Box box;
};

std::vector<PdfWord> pdf_words(const std::string& pdf) {
  const std::string html = output_of("pdftotext -bbox '" + pdf + "' - 2>&1");
  static const std::regex word(
      R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
  std::vector<PdfWord> words;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it)
    words.push_back({(*it)[5], {std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])}});
  return words;
}

TEST_F(Preview, ACrowdedPictureKeepsEveryTextInsideThePageAndItsPanelAndNoTwoTextsOfARowOverlap) {
  // The crowded scenario compiled by the program, then drawn as a PDF and an SVG; each word's box as
  // pdftotext measures it in the PDF, against the panels of the same layout made here.
  const test_support::ScenarioSources sources = test_support::crowded_scenario();
  directory_->write("crowded/C_linea.txt", sources.line);
  directory_->write("crowded/C_7-.txt", sources.service);
  const std::string dir = in_directory("crowded");
  ASSERT_EQ(run("compile '" + path_in(dir, "C_linea.txt") + "' '" + path_in(dir, "C_7-.txt") + "' -o '" + dir + "'"),
            0);
  const std::string grid_file = path_in(dir, "C_7.dat");
  ASSERT_EQ(run("preview '" + grid_file + "' -o '" + path_in(dir, "crowded.pdf") + "'"), 0);
  ASSERT_EQ(run("preview '" + grid_file + "' -o '" + path_in(dir, "crowded.svg") + "'"), 0);

  const Result<ScenarioFiles> files = load_scenario_files(grid_file);
  ASSERT_TRUE(files) << files.status().message();
  const PreviewLayout layout = layout_preview(*files, 1600, 1000, cairo_text_measure());
  std::vector<const Panel*> panel_of(layout.labels.size(), nullptr);
  for (const Panel& panel : layout.panels) {
    EXPECT_GE(panel.box.height(), panel.minimum_height - 1e-6) << static_cast<int>(panel.kind);
    for (const std::size_t index : panel.labels) panel_of.at(index) = &panel;
  }

  const std::vector<PdfWord> words = pdf_words(path_in(dir, "crowded.pdf"));
  ASSERT_GT(words.size(), 300u);
  const Box page{0, 0, 1600, 1000};
  const double tolerance = 0.5;  // pdftotext's boxes are rounded from the fonts' own metrics
  std::map<const Panel*, std::vector<const PdfWord*>> words_of_panel;
  for (const PdfWord& word : words) {
    SCOPED_TRACE(word.text);
    EXPECT_TRUE(page.grown(tolerance).contains(word.box));
    const Point centre{(word.box.left + word.box.right) / 2, (word.box.top + word.box.bottom) / 2};
    const auto label = std::find_if(layout.labels.begin(), layout.labels.end(),
                                    [&](const Label& l) { return l.box.contains(centre); });
    ASSERT_NE(label, layout.labels.end()) << "a word where the layout has no text";
    const Panel* panel = panel_of.at(static_cast<std::size_t>(label - layout.labels.begin()));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->box.grown(tolerance).contains(word.box)) << static_cast<int>(panel->kind);
    words_of_panel[panel].push_back(&word);
  }
  // No two words of one row overlap (words of one text stand apart by their blanks).
  std::size_t row_words = 0;
  for (const auto& [panel, row] : words_of_panel) {
    if (panel->kind != PanelKind::StationRow && panel->kind != PanelKind::SpeedBoardRow &&
        panel->kind != PanelKind::InfoBoardRow)
      continue;
    row_words += row.size();
    for (std::size_t a = 0; a < row.size(); ++a)
      for (std::size_t b = a + 1; b < row.size(); ++b)
        EXPECT_FALSE(row[a]->box.grown(-tolerance).overlaps(row[b]->box.grown(-tolerance)))
            << row[a]->text << " and " << row[b]->text;
  }
  EXPECT_GT(row_words, 100u);

  // The crowded rows say how many of their texts found no room; the texts are searchable in the PDF and
  // are text elements in the SVG, with the control characters of the names escaped.
  const std::string text = output_of("pdftotext '" + path_in(dir, "crowded.pdf") + "' - 2>&1");
  int notes = 0;
  for (const Panel& panel : layout.panels)
    if (panel.note) {
      ++notes;
      EXPECT_NE(text.find(layout.labels[*panel.note].text), std::string::npos) << layout.labels[*panel.note].text;
    }
  EXPECT_GE(notes, 1);
  EXPECT_NE(text.find("STAZIONE \\x1B[31mROSSA"), std::string::npos);
  const std::string svg = read_file(path_in(dir, "crowded.svg"));
  std::size_t elements = 0;
  for (std::size_t at = svg.find("<text "); at != std::string::npos; at = svg.find("<text ", at + 1)) ++elements;
  EXPECT_EQ(elements, layout.labels.size());
  EXPECT_EQ(svg.find('\x1B'), std::string::npos);
  EXPECT_NE(svg.find("STAZIONE \\x1B[31mROSSA"), std::string::npos);
}

TEST_F(Preview, PngHasTheSizeAsked) {
  const std::string picture = in_directory("asked.png");
  ASSERT_EQ(run("preview '" + grid() + "' -o '" + picture + "' --width 1280 --height 720"), 0);
  EXPECT_EQ(png_size(read_file(picture)), std::make_pair(1280u, 720u));
}

TEST_F(Preview, WithoutAnOutputThePictureIsTheGridsNameWithPng) {
  ASSERT_EQ(run("preview '" + grid() + "'"), 0);
  EXPECT_EQ(png_size(read_file(in_directory("Lesca-Varo_148.png"))), std::make_pair(1600u, 1000u));
}

TEST_F(Preview, SvgAndPdfAreWrittenAndThePdfTextHoldsEveryStation) {
  const std::string svg = in_directory("scenario.svg");
  const std::string pdf = in_directory("scenario.PDF");
  ASSERT_EQ(run("preview '" + grid() + "' -o '" + svg + "'"), 0);
  ASSERT_EQ(run("preview '" + grid() + "' --output '" + pdf + "'"), 0);
  const std::string svg_bytes = read_file(svg);
  EXPECT_NE(svg_bytes.find("<svg"), std::string::npos);
  EXPECT_NE(svg_bytes.find("width=\"1600pt\" height=\"1000pt\""), std::string::npos);
  EXPECT_EQ(read_file(pdf).substr(0, 5), "%PDF-");

  const std::string text = output_of("pdftotext '" + pdf + "' - 2>&1");
  ASSERT_FALSE(text.empty()) << "pdftotext (poppler-utils) gave nothing";
  for (const std::string& name : preview_test::station_names()) EXPECT_NE(text.find(name), std::string::npos) << name;
  EXPECT_NE(text.find("Lesca-Varo"), std::string::npos);
  EXPECT_NE(text.find("16:44:10"), std::string::npos);
}

TEST_F(Preview, BadFilesGiveAnErrorAndNoPicture) {
  // Files that cannot be read give status 3, files that are read and refused status 1.
  struct Case {
    const char* name;
    std::function<void(const std::string& copy)> spoil;  // works on a copy of the three files
    std::string message;
    int status = 1;
  };
  const Case cases[] = {
      {"trace missing", [](const std::string& d) { fs::remove(path_in(d, "Lesca-Varo_linea.dat")); },
       "is missing; no picture written", 3},
      {"table missing", [](const std::string& d) { fs::remove(path_in(d, "Lesca-Varo_148.sim")); },
       "is missing; no picture written", 3},
      {"table a directory",
       [](const std::string& d) {
         fs::remove(path_in(d, "Lesca-Varo_148.sim"));
         fs::create_directory(path_in(d, "Lesca-Varo_148.sim"));
       },
       "cannot read the scenario table " + path_in(in_directory("bad-table a directory"), "Lesca-Varo_148.sim") +
           ": not a regular file; no picture written",
       3},
      {"grid of a wrong size", [](const std::string& d) { fs::resize_file(path_in(d, "Lesca-Varo_148.dat"), 10814); },
       "is damaged: size 10814 is not a whole number of 15-byte cells"},
      {"trace cut short", [](const std::string& d) { fs::resize_file(path_in(d, "Lesca-Varo_linea.dat"), 1001); },
       "is damaged: element"},
      {"trace of another extent",
       [](const std::string& d) {
         TrackTrace other;
         other.create(30000);
         std::ofstream(path_in(d, "Lesca-Varo_linea.dat"), std::ios::binary | std::ios::trunc) << encode_trace(other);
       },
       "the files do not belong together: the plan trace reaches 30000 m"},
      {"table of another train",
       [](const std::string& d) { fs::rename(path_in(d, "Lesca-Varo_148.sim"), path_in(d, "Lesca-Varo_149.sim")); },
       "Lesca-Varo_148.sim is missing", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string copy = in_directory(std::string("bad-") + c.name);
    fs::create_directory(copy);
    for (const char* name : {"Lesca-Varo_148.dat", "Lesca-Varo_148.sim", "Lesca-Varo_linea.dat"})
      fs::copy_file(in_directory(name), path_in(copy, name), fs::copy_options::overwrite_existing);
    c.spoil(copy);
    for (const char* picture : {"out.png", "out.pdf"}) {
      std::string error;
      EXPECT_EQ(
          run("preview '" + path_in(copy, "Lesca-Varo_148.dat") + "' -o '" + path_in(copy, picture) + "'", &error),
          c.status);
      EXPECT_EQ(error.rfind("scenario: error: ", 0), 0u) << error;
      EXPECT_NE(error.find(c.message), std::string::npos) << error;
      EXPECT_FALSE(fs::exists(path_in(copy, picture)));
    }
  }
}

TEST_F(Preview, TheMissingDirectoriesOfThePictureAreCreatedAndAFileInTheirPlaceIsRefused) {
  const std::string picture = path_in(in_directory("made/for/it"), "picture.svg");
  ASSERT_EQ(run("preview '" + grid() + "' -o '" + picture + "'"), 0);
  EXPECT_NE(read_file(picture).find("<svg"), std::string::npos);

  std::ofstream(in_directory("plain")) << "a file";
  std::string error;
  EXPECT_EQ(run("preview '" + grid() + "' -o '" + in_directory("plain/sub/picture.png") + "'", &error), 3);
  EXPECT_EQ(error, "scenario: error: cannot make the output directory " + in_directory("plain/sub") + ": " +
                       in_directory("plain") + " exists and is not a directory\n");
  EXPECT_EQ(read_file(in_directory("plain")), "a file");
}

TEST_F(Preview, AnEndingWithoutAFormatIsRefused) {
  std::string error;
  EXPECT_EQ(run("preview '" + grid() + "' -o '" + in_directory("picture.jpg") + "'", &error), 1);
  EXPECT_NE(error.find("give a name ending in .png, .svg or .pdf"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(in_directory("picture.jpg")));
}

TEST_F(Preview, TheTraceInsteadOfTheGridIsRefused) {
  std::string error;
  EXPECT_EQ(run("preview '" + in_directory("Lesca-Varo_linea.dat") + "' -o '" + in_directory("t.png") + "'", &error),
            1);
  EXPECT_NE(error.find("is not the name of a grid file"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(in_directory("t.png")));
}

}  // namespace
