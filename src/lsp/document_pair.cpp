#include "lsp/document_pair.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "lsp/json_rpc.h"
#include "lsp/text_positions.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/file_names.h"

namespace {

namespace fs = std::filesystem;

/// The largest file read from disk as a partner: the largest message body the server takes.
constexpr std::uintmax_t kMaxSourceSize = kMaxContentLength;

std::string directory_of(const std::string& path) { return utf8_name(filesystem_path(path).parent_path()); }
std::string name_of(const std::string& path) { return utf8_name(filesystem_path(path).filename()); }

/// A source of a pair at `path`: the open document's text (UTF-8) when the editor holds it, else the
/// file on disk (Windows-1252, a plain file only). Nothing, with the reason, when there is neither.
std::optional<SourceFile> source_at(const std::string& path, const DocumentStore& store, std::string& uri,
                                    std::string& missing) {
  if (const auto open = store.find_path(path)) {
    uri = open->uri;
    return open->file;
  }
  std::error_code error;
  const auto type = fs::status(filesystem_path(path), error).type();
  if (type == fs::file_type::not_found) {
    missing = "there is no " + path;
    return std::nullopt;
  }
  if (error && type == fs::file_type::none) {
    missing = "cannot read " + path + ": " +
              (error == std::errc::too_many_symbolic_link_levels ? "a loop of symbolic links" : error.message());
    return std::nullopt;
  }
  if (type != fs::file_type::regular) {
    missing = "cannot read " + path + ": not a regular file";
    return std::nullopt;
  }
  // No larger than a document the editor may send.
  if (const auto size = fs::file_size(filesystem_path(path), error); !error && size > kMaxSourceSize) {
    missing = "cannot read " + path + ": larger than " + std::to_string(kMaxSourceSize) + " bytes";
    return std::nullopt;
  }
  try {
    uri = uri_of_path(path);
    return SourceFile(path, read_file(path, ReadLimit{kMaxSourceSize, "a document the server takes"}),
                      InputEncoding::Windows1252);
  } catch (const FileError& failure) {
    uri.clear();
    missing = "cannot read " + failure.path() + ": " + failure.reason();
    return std::nullopt;
  }
}

/// The names of the train services of line `key` in `directory`, open ones and those on disk apart, each
/// in name order.
std::pair<std::vector<std::string>, std::vector<std::string>> services_of(const std::string& directory,
                                                                          const std::string& key,
                                                                          const DocumentStore& store) {
  const auto is_service = [&key](const std::string& name) {
    const auto parsed = parse_file_name(name);
    return parsed && parsed->file == ScenarioFile::ServiceSource && parsed->line_key == key;
  };
  std::vector<std::string> open;
  for (const auto& [uri, path] : store.names())
    if (!path.empty() && directory_of(path) == directory && is_service(name_of(path))) open.push_back(name_of(path));
  std::vector<std::string> on_disk;
  std::error_code error;
  for (fs::directory_iterator entry(filesystem_path(directory), error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = utf8_name(entry->path().filename());
    if (is_service(name)) on_disk.push_back(name);
  }
  std::sort(open.begin(), open.end());
  std::sort(on_disk.begin(), on_disk.end());
  return {open, on_disk};
}

}  // namespace

std::optional<SourceKind> source_kind_of(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const auto parsed = parse_file_name(name_of(path));
  if (!parsed) return std::nullopt;
  if (parsed->file == ScenarioFile::LineSource) return SourceKind::Line;
  if (parsed->file == ScenarioFile::ServiceSource) return SourceKind::Service;
  return std::nullopt;
}

std::vector<std::string> open_pair_members(const std::string& path, const DocumentStore& store) {
  std::vector<std::string> members;
  if (!source_kind_of(path)) return members;
  const std::string key = parse_file_name(name_of(path))->line_key;
  const std::string directory = directory_of(path);
  for (const auto& [uri, open_path] : store.names()) {
    if (!source_kind_of(open_path) || directory_of(open_path) != directory) continue;
    if (parse_file_name(name_of(open_path))->line_key == key) members.push_back(uri);
  }
  return members;
}

std::optional<DocumentPair> pair_of(const OpenDocument& document, const DocumentStore& store) {
  if (document.path.empty()) return std::nullopt;
  const auto parsed = parse_file_name(name_of(document.path));
  if (!parsed || (parsed->file != ScenarioFile::LineSource && parsed->file != ScenarioFile::ServiceSource))
    return std::nullopt;
  const std::string directory = directory_of(document.path);
  // A partner is looked for beside the document only: a name that would lead elsewhere (a drive on
  // Windows) names nothing.
  const auto path_in = [&directory](const std::string& name) {
    std::string path = utf8_name(filesystem_path(directory) / filesystem_path(name));
    return directory_of(path) == directory ? path : std::string();
  };
  const auto outside = [](const std::string& name) { return "there is no " + name + " in the document's folder"; };

  DocumentPair pair;
  pair.names.line_key = parsed->line_key;
  if (parsed->file == ScenarioFile::ServiceSource) {
    pair.kind = SourceKind::Service;
    pair.names.train_number = parsed->train_number;
    pair.names.service_file = parsed;
    pair.service_uri = document.uri;
    pair.sources.service = document.file;
    const std::string line_path = path_in(line_source_name(parsed->line_key));
    if (line_path.empty()) {
      pair.line_missing = outside(line_source_name(parsed->line_key));
      return pair;
    }
    if (auto line = source_at(line_path, store, pair.line_uri, pair.line_missing)) {
      pair.sources.line = std::move(*line);
      pair.names.line_file = parse_file_name(name_of(line_path));
    }
    return pair;
  }

  pair.kind = SourceKind::Line;
  pair.names.line_file = parsed;
  pair.line_uri = document.uri;
  pair.sources.line = document.file;
  const auto [open, on_disk] = services_of(directory, parsed->line_key, store);
  const std::vector<std::string>& chosen = open.empty() ? on_disk : open;
  if (chosen.empty()) {
    pair.service_missing = "no train service " + parsed->line_key + "_N-.txt beside it";
    return pair;
  }
  const std::string service_path = path_in(chosen.front());
  if (service_path.empty()) {
    pair.service_missing = outside(chosen.front());
    return pair;
  }
  if (auto service = source_at(service_path, store, pair.service_uri, pair.service_missing)) {
    pair.sources.service = std::move(*service);
    pair.names.service_file = parse_file_name(chosen.front());
    pair.names.train_number = pair.names.service_file->train_number;
  }
  return pair;
}
