#include "source/starter_scenario.h"

// A comment line is a single field that contains "-": no comma, and no word of a keyword, so that the
// readers pass over it without a note. One comment stands before each entry (the readers pass over
// at most two in a row after the general section). Each file ends with "[fine]", since the last field
// of a file is never read.

LineTable starter_line_lines() {
  return {
      "Starter line description written by scenario new: see docs/FORMAT.md",
      "[generale]",
      "-- line length in metres (the track grid goes on 7000 m beyond it)",
      "lunghezza percorso,    5000",
      "-- first kilometric reference: from metre; kilometric progressive there in metres; flag (1 counts down)",
      "progressiva chilometrica uno,    0,    5000,    1",
      "-- first background setting (stored for the simulator)",
      "sfondo uno,    1",
      "-- second background setting",
      "sfondo due,    0",
      "-- third background setting",
      "sfondo tre,    0",
      "-- repetition of 4 codes (4 or 9 in the keyword): first and second position in m (multiples of 50; "
      "a second of 0 turns it off)",
      "ripetizione segnali 4 codici,    0,    0",
      "[curve]",
      "-- right curve (d; s for left) of sharpness 4 (radius 1000 m): start m; length m",
      "curvad4,  1800,  300",
      "-- left curve of sharpness 3 (radius 2500 m): start m; length m",
      "curvas3,  3300,  400",
      "[pendenze]",
      "-- gradient: from position m; per mille (+ up; - down)",
      "pendenza,  0,  0",
      "-- gradient: from position m; per mille",
      "pendenza,  1500,  8",
      "-- gradient: from position m; per mille",
      "pendenza,  2700,  0",
      "-- gradient: from position m; per mille",
      "pendenza,  3600,  -5",
      "-- gradient: from position m; per mille",
      "pendenza,  4300,  0",
      "[montagne]",
      "-- mountain stretch: start m; end m; type (above 10: type less 10 with a marker every 200 m)",
      "montagna,  1900,  2300,  12",
      "[cartelli]",
      "-- speed board: position m; speeds a b c and stripes of one side; the same for the other side "
      "(blank reads as 0)",
      "indicatori_vmax,  850,  80,  80,  80,  0,  ,  ,  ,  0",
      "-- speed board: position m; speeds a b c and stripes of one side; the same for the other side",
      "indicatori_vmax,  2950,  90,  90,  90,  0,  ,  ,  ,  0",
      "[indicazioni]",
      "-- information board: position m; text to the end of the line (no comma)",
      "cartello_indicatore,  2826,   (    PONTE     )(  FIUME VERDE )(    2.174     )",
      "[fine]",
      kEndMarker,
  };
}

LineTable starter_service_lines() {
  return {
      "Starter train service written by scenario new: see docs/FORMAT.md",
      "[generale]",
      "-- number of cars",
      "numero vetture,    3",
      "-- braked weight in percent",
      "percentuale massa frenata,    130",
      "-- sand supply",
      "sabbia,    100",
      "-- clock at the start: hours; minutes; seconds",
      "orologio,    15,  59,  30",
      "[aderenze]",
      "-- adhesion: from position m; value",
      "aderenza,    0,    100",
      "[vel_limite]",
      "-- line speed: from position m; km/h",
      "velocita,    0,    80",
      "-- line speed: from position m; km/h",
      "velocita,    3000,    90",
      "[stazioni]",
      "-- station: position m (a multiple of 50); kind; platform m (a multiple of 100); mark; byte4; byte3; "
      "short1; short2; byte1; short3; short4; short5; byte2; due at hour; minute; second; name",
      "stazione,     650, 12,  300,  1, 1, 0,  4,1,0,  2,1,1,    1,  16, 0, 0, PORTO NUOVO",
      "-- station: the same fields",
      "stazione,    2450, 12,  300,  0, 0, 0,  1,1,0,  4,1,1,   10,  16, 3, 0, MOLINO",
      "-- station: the same fields (kind 6: the platform lies before the position)",
      "stazione,    5000,  6,  300,  1, 0, 0,  1,1,0,  2,1,1,    0,  16, 6,30, VALLE ALTA",
      "[rallentamenti]",
      "-- slowdown: start m; speed km/h; length m; f_tt; f_ta (1: approach cells); d_v",
      "rallentamento,    3800,    40,  350,  0,  0,  0",
      "[segnali]",
      "-- signal: position m; sx; s1; s2; s3; rapp; dx; d1; d2; d3; tempo",
      "segnale,    1800,   2, 3, 0,  0, 0,    0,  0,0,0, 0",
      "-- signal: the same fields",
      "segnale,    4400,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "[codici]",
      "[fine]",
      kEndMarker,
  };
}
