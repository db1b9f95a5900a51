#pragma once

#include <cstdint>
#include <string>

#include "scenario/source_place.h"

struct RunState;
struct TrackCell;

/// The three line profiles the readers fill in runs of cells.
enum class Profile { Gradient, LineSpeed, Adhesion };

/// One line profile as a reader fills it, in file order. An entry gives its value; the value reaches the
/// grid only when the next entry of its kind that starts beyond cell 0 writes it (into the cells from
/// the cursor on, at least one, up to the cell before its own), or when the reading's end writes the
/// last value up to the grid's tail. Only then is the value stored in its byte, and only then is a
/// value that does not fit told, at the field that gave it: a gradient + 100 or an adhesion outside 0
/// to 255 is cut (a warning), a line speed whose round(speed / 5) leaves 0 to 255 is a read failure.
/// Writing a cell beyond the grid (every entry writes at least one cell, so entries crowded at the end
/// of the grid push the cursor past it) is a read failure too. A line speed run also stops when the
/// cursor reaches the grid's last cell.
class ProfileFill {
 public:
  explicit ProfileFill(Profile profile) : profile_(profile) {}

  /// The value of the entry just read, and the place of its field.
  void give(int32_t value, SourcePlace place);
  /// Writes the value given last into the cells from the cursor on: at least one, then while the cursor
  /// is below `until`. `entry` is the entry that makes the fill (for a cell beyond the grid). A failure
  /// leaves as ReadFailure; when the run keeps going it is reported once instead, and the reading goes on.
  void fill(RunState& state, int64_t until, SourcePlace entry);
  /// The fill at the end of the reading, up to the grid's tail: the last entry makes it.
  void finish(RunState& state, int64_t until) { fill(state, until, place_); }

 private:
  /// The byte the value is stored as, telling of a value that does not fit; nothing after a failure
  /// the run keeps going past.
  bool stored(RunState& state, uint8_t& byte);
  void store(TrackCell& cell, uint8_t byte) const;
  /// A read failure at `place`: thrown, or reported once (`told`) when the run keeps going.
  void fail(RunState& state, const std::string& why, SourcePlace place, bool& told);

  Profile profile_;
  int32_t cursor_ = 0;
  int32_t value_ = 0;
  SourcePlace place_;
  bool value_told_ = false;
  bool beyond_told_ = false;
};
