#include "lsp/document_store.h"

#include "lsp/text_positions.h"

void DocumentStore::open(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version) {
  std::string path = path_of_uri(uri).value_or("");
  SourceFile file(path, std::move(text), InputEncoding::Utf8);  // its line index made outside the lock
  const std::lock_guard lock(mutex_);
  documents_[uri] = OpenDocument{uri, std::move(path), version, std::move(file)};
}

bool DocumentStore::change(const std::string& uri, std::shared_ptr<const std::string> text, int64_t version) {
  std::string path;
  {
    const std::lock_guard lock(mutex_);
    const auto found = documents_.find(uri);
    if (found == documents_.end()) return false;
    path = found->second.path;
  }
  SourceFile file(path, std::move(text), InputEncoding::Utf8);
  const std::lock_guard lock(mutex_);
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return false;
  found->second.file = std::move(file);
  found->second.version = version;
  return true;
}

bool DocumentStore::close(const std::string& uri) {
  const std::lock_guard lock(mutex_);
  return documents_.erase(uri) > 0;
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
