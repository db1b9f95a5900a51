#include "platform/file_replacement.h"

void replace_file(const std::string& path, std::string_view bytes) {
  replace_files({{path, [bytes](ByteSink& sink) { sink.write(bytes); }}});
}
