// `scenario preview`: the picture of the scenario's own binary files, as the real executable draws it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "preview/preview_test_support.h"
#include "scenario/binary_format.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

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
      EXPECT_EQ(run("preview '" + path_in(copy, "Lesca-Varo_148.dat") + "' -o '" + path_in(copy, picture) + "'",
                    &error),
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
