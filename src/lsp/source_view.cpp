#include "lsp/source_view.h"

SourceView::SourceView(const SourceFile& file, protocol::PositionEncoding encoding)
    : file_(file),
      lines_(file.text(), file.lines(), file.encoding == InputEncoding::Windows1252),
      encoding_(encoding) {}

protocol::Position SourceView::position(SourcePlace compiled) const {
  const SourcePlace in_file = file_.in_file(compiled);
  return lines_.position(in_file.line, in_file.column, encoding_);
}

protocol::Range SourceView::field_range(SourcePlace compiled) const {
  const SourcePlace in_file = file_.in_file(compiled);
  const int end = field_end_column(lines_.line(in_file.line), in_file.column);
  return {lines_.position(in_file.line, in_file.column, encoding_), lines_.position(in_file.line, end, encoding_)};
}

protocol::Range SourceView::range(SourcePlace from, SourcePlace to) const { return {position(from), position(to)}; }

SourcePlace SourceView::compiled_place(protocol::Position position, SourceKind source) const {
  const auto [line, column] = lines_.byte_place(position, encoding_);
  return file_.in_compiled(SourcePlace{source, line, column});
}
