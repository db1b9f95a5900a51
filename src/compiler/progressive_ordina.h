#pragma once

struct RunState;

/// Orders the three kilometric references of records 81 ("tre"), 82 ("due") and 83 ("uno") so that
/// record 81 holds the one that starts last, then adds 100 to the value of each whose flag is 1.
/// Every triple moved is taken as the records held it before the ordering began.
void progressive_ordina(RunState& state);
