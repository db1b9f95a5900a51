#include "lsp/workspace.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "lsp/json_rpc.h"
#include "lsp/source_view.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/error_codes.h"
#include "scenario/file_names.h"
#include "platform/windows1252.h"

void DocumentStore::open(OpenDocument document) {
  const std::lock_guard lock(mutex_);
  std::string uri = document.uri;
  documents_[uri] = std::move(document);
}

bool DocumentStore::change(const std::string& uri, std::string text, int64_t version) {
  const std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return false;
  found->second.text = std::move(text);
  found->second.version = version;
  return true;
}

void DocumentStore::close(const std::string& uri) {
  const std::lock_guard lock(mutex_);
  documents_.erase(uri);
}

std::optional<OpenDocument> DocumentStore::find(const std::string& uri) const {
  const std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return std::nullopt;
  return found->second;
}

std::optional<OpenDocument> DocumentStore::find_path(const std::string& path) const {
  const std::lock_guard lock(mutex_);
  for (const auto& [uri, document] : documents_)
    if (!document.path.empty() && document.path == path) return document;
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> DocumentStore::names() const {
  const std::lock_guard lock(mutex_);
  std::vector<std::pair<std::string, std::string>> names;
  for (const auto& [uri, document] : documents_) names.emplace_back(uri, document.path);
  return names;
}

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
    return SourceFile(path, open->text, InputEncoding::Utf8);
  }
  std::error_code error;
  const auto type = fs::status(filesystem_path(path), error).type();
  if (type == fs::file_type::not_found || (error && type == fs::file_type::none)) {
    missing = "there is no " + path;
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
  for (fs::directory_iterator entry(filesystem_path(directory), error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = utf8_name(entry->path().filename());
    if (is_service(name)) on_disk.push_back(name);
  }
  std::sort(open.begin(), open.end());
  std::sort(on_disk.begin(), on_disk.end());
  return {open, on_disk};
}

}  // namespace

std::optional<DocumentPair> pair_of(const OpenDocument& document, const DocumentStore& store) {
  if (document.path.empty()) return std::nullopt;
  const auto parsed = parse_file_name(name_of(document.path));
  if (!parsed || (parsed->file != ScenarioFile::LineSource && parsed->file != ScenarioFile::ServiceSource))
    return std::nullopt;
  const std::string directory = directory_of(document.path);
  const auto path_in = [&directory](const std::string& name) { return utf8_name(filesystem_path(directory) / filesystem_path(name)); };

  DocumentPair pair;
  pair.names.line_key = parsed->line_key;
  if (parsed->file == ScenarioFile::ServiceSource) {
    pair.kind = SourceKind::Service;
    pair.names.train_number = parsed->train_number;
    pair.names.service_file = parsed;
    pair.service_uri = document.uri;
    pair.sources.service = SourceFile(document.path, document.text, InputEncoding::Utf8);
    const std::string line_path = path_in(line_source_name(parsed->line_key));
    if (auto line = source_at(line_path, store, pair.line_uri, pair.line_missing)) {
      pair.sources.line = std::move(*line);
      pair.names.line_file = parse_file_name(name_of(line_path));
    }
    return pair;
  }

  pair.kind = SourceKind::Line;
  pair.names.line_file = parsed;
  pair.line_uri = document.uri;
  pair.sources.line = SourceFile(document.path, document.text, InputEncoding::Utf8);
  const auto [open, on_disk] = services_of(directory, parsed->line_key, store);
  const std::vector<std::string>& chosen = open.empty() ? on_disk : open;
  if (chosen.empty()) {
    pair.service_missing = "no train service " + parsed->line_key + "_N-.txt beside it";
    return pair;
  }
  const std::string service_path = path_in(chosen.front());
  if (auto service = source_at(service_path, store, pair.service_uri, pair.service_missing)) {
    pair.sources.service = std::move(*service);
    pair.names.service_file = parse_file_name(chosen.front());
    pair.names.train_number = pair.names.service_file->train_number;
  }
  return pair;
}

std::shared_ptr<const CheckedPair> check_document_pair(DocumentPair pair) {
  auto checked = std::make_shared<CheckedPair>();
  checked->pair = std::move(pair);
  DocumentPair& held = checked->pair;
  if (!held.line_missing.empty()) {
    // The train service alone: without its line there is nothing to compile.
    convert_sources(held.sources);
    Diagnostic error;
    error.severity = Severity::Error;
    error.code = kErrorLineMissing;
    error.place = SourcePlace{SourceKind::Service, 1, 1};
    error.message = error_meaning(kErrorLineMissing);
    error.detail = held.line_missing;
    checked->line_missing = std::move(error);
    return checked;
  }
  // A line description without a train service is compiled with an empty one, whose own warnings go
  // nowhere.
  checked->check = check_pair(held.sources, held.names);
  return checked;
}

std::shared_ptr<const CheckedPair> CheckCache::check(DocumentPair pair) {
  const auto same = [&pair](const CheckedPair& kept) {
    const auto same_source = [](const SourceFile& a, const SourceFile& b) {
      return a.name == b.name && a.encoding == b.encoding && a.text() == b.text();
    };
    return kept.pair.names.line_key == pair.names.line_key && kept.pair.line_missing == pair.line_missing &&
           kept.pair.service_missing == pair.service_missing && kept.pair.line_uri == pair.line_uri &&
           kept.pair.service_uri == pair.service_uri && same_source(kept.pair.sources.line, pair.sources.line) &&
           same_source(kept.pair.sources.service, pair.sources.service);
  };
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (!same(**it)) continue;
    auto found = *it;
    kept_.erase(it);
    kept_.push_back(found);
    return found;
  }
  auto checked = check_document_pair(std::move(pair));
  if (kept_.size() == kKept) kept_.erase(kept_.begin());
  kept_.push_back(checked);
  return checked;
}

namespace {

nlohmann::json range_json(const TextRange& range) {
  return {{"start", {{"line", range.start.line}, {"character", range.start.character}}},
          {"end", {{"line", range.end.line}, {"character", range.end.character}}}};
}

}  // namespace

nlohmann::json diagnostics_json(const CheckedPair& checked, SourceKind source, PositionEncoding encoding) {
  const DocumentPair& pair = checked.pair;
  const SourceView line_view(pair.sources.line, encoding);
  const SourceView service_view(pair.sources.service, encoding);
  const auto view_of = [&](SourceKind kind) -> const SourceView& {
    return kind == SourceKind::Line ? line_view : service_view;
  };

  std::vector<const Diagnostic*> found;
  if (checked.line_missing) found.push_back(&*checked.line_missing);
  for (const Diagnostic& diagnostic : checked.check.diagnostics().all()) found.push_back(&diagnostic);

  nlohmann::json list = nlohmann::json::array();
  for (const Diagnostic* diagnostic : found) {
    if (file_of(*diagnostic) != source) continue;
    nlohmann::json item;
    // A diagnostic without a place stands at the start of the file it concerns.
    item["range"] = range_json(diagnostic->place ? view_of(source).field_range(*diagnostic->place) : TextRange{});
    item["severity"] = diagnostic->severity == Severity::Error ? 1 : 2;
    item["code"] = rule_id(*diagnostic);
    item["source"] = "scenario";
    item["message"] = diagnostic_text(*diagnostic);
    nlohmann::json related = nlohmann::json::array();
    for (const RelatedPlace& place : diagnostic->related) {
      const std::string& uri = pair.uri_of(place.place.source);
      if (uri.empty()) continue;
      related.push_back({{"location", {{"uri", uri}, {"range", range_json(view_of(place.place.source).field_range(place.place))}}},
                         {"message", shown_text(place.message)}});
    }
    if (!related.empty()) item["relatedInformation"] = std::move(related);
    list.push_back(std::move(item));
  }
  return list;
}
