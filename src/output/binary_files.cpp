#include "output/binary_files.h"

#include "platform/file_replacement.h"
#include "platform/large_allocator.h"
#include "platform/program_directory.h"
#include "scenario/binary_format.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

void write_binary_files(const RunState& state) {
  const std::string& directory = state.program_directory;
  if (state.trace_flag != 0) {
    // The largest trace is about 20 MB: encoded once into a buffer that nothing else fills first.
    const std::size_t size = encoded_trace_size(state.trace);
    LargeBuffer buffer(size);
    encode_trace_into(state.trace, buffer.data());
    replace_file(path_in(directory, trace_file_name(state.line_key)), std::string_view(buffer.data(), size));
  }
  replace_file(path_in(directory, table_file_name(state.line_key, state.train_number)), encode_table(state.table));
  replace_file(path_in(directory, grid_file_name(state.line_key, state.train_number)), encode_grid(state.grid));
}
