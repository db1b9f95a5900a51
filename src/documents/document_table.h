#pragma once

// The drawing shared by the driver documents: boxes and tables of cells, and the values as the documents
// write them. A row of cells is a blank, a "|", then each cell closed by a "|"; every text placed in a
// cell keeps to the cell's width, so the bars stand in the same columns on every row.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// The widths of the cells of one row, in characters, left to right.
using CellWidths = std::span<const std::size_t>;

/// The length of a row of cells: the leading blank, the bars and the cells.
std::size_t row_length(CellWidths widths);

/// A row of cells: " |", then each text in its cell, closed by "|". A text shorter than its cell is
/// filled with blanks, a longer one cut; a missing text leaves its cell blank.
std::string table_row(CellWidths widths, const std::vector<std::string>& cells);

/// A row that draws the bottom of every cell with underscores.
std::string table_rule(CellWidths widths);

/// A row of blank cells.
std::string empty_row(CellWidths widths);

/// The line over a table: two blanks and underscores up to the last bar.
std::string table_top(CellWidths widths);

/// The line over a row of boxes: underscores over the cells whose `edges` are set, blanks elsewhere.
std::string box_top(CellWidths widths, const std::vector<bool>& edges);

/// A text in a cell of `width`: `lead` blanks, then the text, then blanks; cut at the end of the cell.
std::string placed_left(std::string_view text, std::size_t width, std::size_t lead);

/// A number in a cell of `width`, ending `trail` blanks before the end of the cell (closer to the end
/// when it needs the room). A number that does not fit the cell fills it with "#", never a wrong value.
std::string placed_right(std::string_view text, std::size_t width, std::size_t trail);

/// A text in the middle of a cell of `width` (an odd blank goes to the right); cut when longer.
std::string centred(std::string_view text, std::size_t width);

/// A text cut into lines of at most `width` characters: after the last "-" a line can hold, else at its
/// last blank, else within the word. At least one line (empty for an empty text).
std::vector<std::string> wrapped(std::string_view text, std::size_t width);

/// A text of the scenario as a document shows it: control characters (a tab, a stray byte below
/// the blank) become blanks, so that nothing moves the columns.
std::string printable(std::string_view text);

/// A kilometric progressive in metres as kilometres with three decimals: 28350 as "28.350", -350 as
/// "-0.350". The metres are rounded half to even.
std::string kilometre_text(double metres);

/// A whole number of metres with "." between the thousands: 1600 as "1.600", 350 as "350".
std::string metres_text(int64_t metres);

/// A time of day in seconds from midnight as hours and minutes: 58980 as "16.23"; the seconds are
/// left out (16:44:10 is "16.44").
std::string clock_text(int32_t seconds);

/// The text of the last row of a table that holds no more: how many rows it leaves out.
std::string left_out_text(std::size_t count);

/// The most rows a text of the scenario (a station's name, the stations around a slowdown) takes in a
/// table; what does not fit them is cut.
inline constexpr std::size_t kMostTextRows = 3;

/// A line key or a train number, which come from file names, as the documents write it: in Windows-1252
/// when it is UTF-8 that Windows-1252 can hold, else its bytes as they are; control characters as blanks.
std::string name_text(std::string_view file_name_part);
