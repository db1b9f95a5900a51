#include "compiler/keywords.h"

#include <array>

#include "compiler/keyword_match.h"

namespace {

using W = std::string_view;
using F = KeywordField;

constexpr std::array<W, 2> kLineLengthWords{"lunghezza", "percorso"};
constexpr std::array<W, 2> kKilometricTreWords{"progressiva", "tre"};
constexpr std::array<W, 2> kKilometricDueWords{"progressiva", "due"};
constexpr std::array<W, 2> kKilometricUnoWords{"progressiva", "uno"};
constexpr std::array<W, 2> kBackgroundUnoWords{"sfondo", "uno"};
constexpr std::array<W, 2> kBackgroundDueWords{"sfondo", "due"};
constexpr std::array<W, 2> kBackgroundTreWords{"sfondo", "tre"};
constexpr std::array<W, 2> kRepetitionWords{"ripetizione", "segnali"};
constexpr std::array<W, 1> kGradientWords{"pendenza"};
constexpr std::array<W, 1> kCurveWords{"curva"};
constexpr std::array<W, 1> kMountainWords{"montagna"};
constexpr std::array<W, 1> kSpeedBoardWords{"indicatori_v"};
constexpr std::array<W, 2> kInfoBoardWords{"indicat", "cartello"};
constexpr std::array<W, 2> kBrakedMassWords{"frenata", "massa"};
constexpr std::array<W, 1> kCarsWords{"vetture"};
constexpr std::array<W, 1> kSpeedWords{"velocit"};
constexpr std::array<W, 1> kAdhesionWords{"aderenza"};
constexpr std::array<W, 1> kClockWords{"orologio"};
constexpr std::array<W, 1> kSandWords{"sabbia"};
constexpr std::array<W, 1> kSignalWords{"segnale"};
constexpr std::array<W, 1> kSlowdownWords{"rallentamento"};
constexpr std::array<W, 1> kSpeedCutWords{"abbattimento"};
constexpr std::array<W, 1> kStationWords{"stazione"};

constexpr std::array<F, 1> kLineLengthFields{{{"length", "line length, m, 0 to 1000000 (E1)"}}};
constexpr std::array<F, 3> kKilometricFields{{
    {"start", "position from which the reference holds, m, a multiple of 50 (E2)"},
    {"value", "kilometric progressive there, m, a multiple of 50 (E2)"},
    {"flag", "1: the progressive counts down along the line (100 is added when stored)"},
}};
constexpr std::array<F, 1> kBackgroundFields{{{"value", "background setting, stored as read"}}};
constexpr std::array<F, 2> kRepetitionFields{{
    {"first", "first position, m, a multiple of 50 (E3)"},
    {"second", "second position, m, a multiple of 50 (E4); 0 sets the code to 0"},
}};
constexpr std::array<F, 2> kGradientFields{{
    {"position", "from here on, m (cell round(position / 50)); beyond the grid E15"},
    {"gradient", "per mille, signed; stored plus 100 in 8 bits"},
}};
constexpr std::array<F, 2> kCurveFields{{
    {"start", "m; beyond the grid E15"},
    {"length", "m; a curve must end 2 m before the grid's end (E15)"},
}};
constexpr std::array<F, 3> kMountainFields{{
    {"start", "m (first cell round(start / 50)); beyond the grid E15"},
    {"end", "m (last cell round(end / 50 - 1)); a last cell beyond the grid E15"},
    {"type", "mountain type; above 10: type - 10 with a marker every 4th cell"},
}};
constexpr std::array<F, 9> kSpeedBoardFields{{
    {"position", "m (cell round(position / 50 + 1)); an occupied cell E21"},
    {"vas", "first side, speed a, km/h"},
    {"vbs", "first side, speed b, km/h"},
    {"vcs", "first side, speed c, km/h"},
    {"strisces", "first side, stripes"},
    {"vad", "other side, speed a, km/h"},
    {"vbd", "other side, speed b, km/h"},
    {"vcd", "other side, speed c, km/h"},
    {"strisced", "other side, stripes"},
}};
constexpr std::array<F, 2> kInfoBoardFields{{
    {"position", "m (cell round(position / 50 + 1)); an occupied cell E6"},
    {"text", "the board's text, to the end of the line, no comma; at most 65535 bytes"},
}};
constexpr std::array<F, 1> kPercentageFields{{{"percentage", "braked-mass percentage"}}};
constexpr std::array<F, 1> kCarsFields{{{"cars", "number of cars"}}};
constexpr std::array<F, 2> kSpeedFields{{
    {"position", "from here on, m (cell round(position / 50)); beyond the grid E15"},
    {"speed", "line speed, km/h, stored divided by 5 and rounded half to even into a byte: -2 to 1277 (E25)"},
}};
constexpr std::array<F, 2> kAdhesionFields{{
    {"position", "from here on, m (cell round(position / 50)); beyond the grid E15"},
    {"adhesion", "adhesion value, its low 8 bits stored"},
}};
constexpr std::array<F, 3> kClockFields{{
    {"hours", "clock at the start, -32768 to 32767"},
    {"minutes", "-32768 to 32767"},
    {"seconds", "-32768 to 32767"},
}};
constexpr std::array<F, 1> kSandFields{{{"sand", "sand supply, -32768 to 32767"}}};
constexpr std::array<F, 11> kSignalFields{{
    {"posizione", "m (cell round(posizione / 50 + 1)); an occupied cell E16"},
    {"sx", "first side's kind; 2 keeps the signal's time"},
    {"s1", "first side, aspect 1"},
    {"s2", "first side, aspect 2"},
    {"s3", "first side, aspect 3"},
    {"rapp", "stored in value4 (rapp x 10 + sx x 3 + dx)"},
    {"dx", "other side's kind"},
    {"d1", "other side, aspect 1"},
    {"d2", "other side, aspect 2"},
    {"d3", "other side, aspect 3"},
    {"tempo", "signal time; 1 to 100 become 101, low 8 bits stored"},
}};
constexpr std::array<F, 6> kSlowdownFields{{
    {"x", "start, m (cell round(x / 50 + 1)); its warning stands 1200 m before it (E17, E18)"},
    {"v", "slowdown speed, km/h"},
    {"l", "length, m; the end cell must be free (E19)"},
    {"f_tt", "stored in the start and end cells"},
    {"f_ta", "non-zero: four approach cells before the warning (E20)"},
    {"d_v", "stored in every cell of the slowdown when non-zero"},
}};
constexpr std::array<F, 2> kSpeedCutFields{{
    {"position", "m (cell round(position / 50)); an occupied cell E7"},
    {"value", "1 or more: a control point with this speed; below 1: a control point without a value"},
}};
constexpr std::array<F, 17> kStationFields{{
    {"position", "m, a multiple of 50 (E8)"},
    {"kind", "0 to 255: 5 and 6 platform before the position, 7 and 8 on both sides, 25 and above off the grid"},
    {"platform", "platform length, m, a multiple of 100 (E9)"},
    {"mark", "station flag, 0 to 255"},
    {"byte4", "station flag, 0 to 255; cleared for the first station and platforms under 600 m"},
    {"byte3", "platform extension, 0 to 255: non-zero adds 50 m to the platform's end"},
    {"short1", "station value, -32768 to 32767"},
    {"short2", "station value, -32768 to 32767"},
    {"byte1", "station value, 0 to 255"},
    {"short3", "station value, -32768 to 32767"},
    {"short4", "station value, -32768 to 32767"},
    {"short5", "station value, -32768 to 32767"},
    {"byte2", "station value, 0 to 255"},
    {"hour", "timetable hour"},
    {"minute", "timetable minute"},
    {"second", "timetable second"},
    {"name", "the station's name, to the end of the line, no comma; at most 65535 bytes"},
}};

constexpr std::array<KeywordInfo, 23> kTable{{
    {Keyword::LineLength, KeywordPlace::LineGeneral, "lunghezza percorso", kLineLengthWords, false, kLineLengthFields,
     "the line's length; dimensions the grid (length + 7000 m)"},
    {Keyword::KilometricTre, KeywordPlace::LineGeneral, "progressiva chilometrica tre", kKilometricTreWords, true,
     kKilometricFields, "third kilometric reference"},
    {Keyword::KilometricDue, KeywordPlace::LineGeneral, "progressiva chilometrica due", kKilometricDueWords, true,
     kKilometricFields, "second kilometric reference"},
    {Keyword::KilometricUno, KeywordPlace::LineGeneral, "progressiva chilometrica uno", kKilometricUnoWords, true,
     kKilometricFields, "first kilometric reference"},
    {Keyword::BackgroundUno, KeywordPlace::LineGeneral, "sfondo uno", kBackgroundUnoWords, true, kBackgroundFields,
     "first background setting"},
    {Keyword::BackgroundDue, KeywordPlace::LineGeneral, "sfondo due", kBackgroundDueWords, true, kBackgroundFields,
     "second background setting"},
    {Keyword::BackgroundTre, KeywordPlace::LineGeneral, "sfondo tre", kBackgroundTreWords, true, kBackgroundFields,
     "third background setting"},
    {Keyword::SignalRepetition, KeywordPlace::LineGeneral, "ripetizione segnali 4 codici", kRepetitionWords, true,
     kRepetitionFields, "signal-repetition equipment; the keyword holds its code count 4 or 9 (E5)"},
    {Keyword::Gradient, KeywordPlace::LineEntries, "pendenza", kGradientWords, false, kGradientFields,
     "the gradient from a position on"},
    {Keyword::Curve, KeywordPlace::LineEntries, "curvad3", kCurveWords, false, kCurveFields,
     "a curve: \"s\" in the keyword turns left, else right; the sharpness is the first of the digits 1, 2, 3, 4, 5, "
     "6 that it holds, tested in that order (E103 without one)"},
    {Keyword::Mountain, KeywordPlace::LineEntries, "montagna", kMountainWords, false, kMountainFields,
     "a mountain stretch"},
    {Keyword::SpeedBoard, KeywordPlace::LineEntries, "indicatori_vmax", kSpeedBoardWords, false, kSpeedBoardFields,
     "a maximum-speed board"},
    {Keyword::InfoBoard, KeywordPlace::LineEntries, "cartello_indicatore", kInfoBoardWords, false, kInfoBoardFields,
     "an information board"},
    {Keyword::BrakedMass, KeywordPlace::Service, "percentuale massa frenata", kBrakedMassWords, false,
     kPercentageFields, "the train's braked-mass percentage"},
    {Keyword::Cars, KeywordPlace::Service, "numero vetture", kCarsWords, false, kCarsFields, "the number of cars"},
    {Keyword::Speed, KeywordPlace::Service, "velocita", kSpeedWords, false, kSpeedFields,
     "the line speed from a position on"},
    {Keyword::Adhesion, KeywordPlace::Service, "aderenza", kAdhesionWords, false, kAdhesionFields,
     "the adhesion from a position on"},
    {Keyword::Clock, KeywordPlace::Service, "orologio", kClockWords, false, kClockFields, "the clock at the start"},
    {Keyword::Sand, KeywordPlace::Service, "sabbia", kSandWords, false, kSandFields, "the sand supply"},
    {Keyword::Signal, KeywordPlace::Service, "segnale", kSignalWords, false, kSignalFields, "a signal"},
    {Keyword::Slowdown, KeywordPlace::Service, "rallentamento", kSlowdownWords, false, kSlowdownFields, "a slowdown"},
    {Keyword::SpeedCut, KeywordPlace::Service, "abbattimento", kSpeedCutWords, false, kSpeedCutFields,
     "a speed cut (a control point)"},
    {Keyword::Station, KeywordPlace::Service, "stazione", kStationWords, false, kStationFields,
     "a station with its timetable time"},
}};

}  // namespace

std::span<const KeywordInfo> keyword_table() { return kTable; }

const KeywordInfo& keyword_info(Keyword keyword) { return kTable[static_cast<std::size_t>(keyword)]; }

bool matches(std::string_view field, Keyword keyword) {
  const KeywordInfo& info = keyword_info(keyword);
  for (const std::string_view word : info.words)
    if (!(info.exact_case ? contains(field, word) : contains_any_case(field, word))) return false;
  return true;
}

bool matches_but_for_case(std::string_view field, Keyword keyword) {
  const KeywordInfo& info = keyword_info(keyword);
  if (!info.exact_case || matches(field, keyword)) return false;
  for (const std::string_view word : info.words)
    if (!contains_any_case(field, word)) return false;
  return true;
}

bool mentions_keyword(std::string_view field, SourceKind source) {
  if (contains_any_case(field, "generale")) return true;
  for (const KeywordInfo& info : kTable) {
    const bool of_source =
        source == SourceKind::Line ? info.place != KeywordPlace::Service : info.place == KeywordPlace::Service;
    if (!of_source) continue;
    for (const std::string_view word : info.words)
      if (word.size() > 3 && contains_any_case(field, word)) return true;
  }
  return false;
}

const CurveSharpness* curve_sharpness(std::string_view field) {
  for (const CurveSharpness& sharpness : kCurveSharpness)
    if (field.find(sharpness.digit) != std::string_view::npos) return &sharpness;
  return nullptr;
}

bool curve_turns_left(std::string_view field) { return contains_any_case(field, "s"); }

bool is_section_header(std::string_view field) { return contains(field, "[") && contains(field, "]"); }
