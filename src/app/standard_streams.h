#pragma once

/// The exit status of a run once its output has been flushed: a write to standard output or standard
/// error that failed (a full device) turns a success into kExitFileFailure, with a
/// message on standard error when that still works; a run that already failed keeps its status.
int status_after_output(int status);
