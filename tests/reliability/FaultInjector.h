// SPDX-License-Identifier: MIT
#pragma once

// Control of the fault injector: replacements for the C library's file calls
// (open, read, write, fsync, close, fchmod, rename, unlink, ...) linked into
// the test executable, so that they stand in front of the C library's own for
// every caller in the process.
//
// Only calls on files inside the watched directory count as steps, so the C
// library, Qt and the test framework reading their own files do not disturb
// the numbering. A step is one call; steps are numbered from 1 in the order
// the program makes them, which is the same on every run of a command.

#ifdef __cplusplus
extern "C" {
#endif

enum OmbrelFaultAction {
  OMBREL_FAULT_NONE = 0,
  // SIGKILL the process just before the step runs.
  OMBREL_FAULT_KILL,
  // At a write: write the first half of the bytes, then SIGKILL the process,
  // as a crash in the middle of a long write leaves it.
  OMBREL_FAULT_KILL_TORN,
  // The step fails with the armed errno and does nothing (a close still
  // releases its descriptor, as the kernel does).
  OMBREL_FAULT_FAIL,
};

enum OmbrelFaultCondition {
  OMBREL_CONDITION_NONE = 0,
  OMBREL_CONDITION_DISK_FULL,      // every write fails with ENOSPC
  OMBREL_CONDITION_READ_ONLY,      // every change (open for writing, create,
                                   // rename, delete, chmod, ...) fails with EROFS
  OMBREL_CONDITION_NO_PERMISSION,  // every open, rename and delete fails with EACCES
  OMBREL_CONDITION_TORN_WRITE,     // the first write stores half its bytes, and every
                                   // write after it fails with ENOSPC
};

// Starts counting steps on paths inside `directory` (an absolute path) from
// zero, with nothing armed.
void ombrel_faults_watch(const char* directory);

// Stops counting and disarms everything.
void ombrel_faults_stop(void);

// Arms `action` at step `step` (1-based); `error` is the errno of a failure.
void ombrel_faults_arm(long step, enum OmbrelFaultAction action, int error);

// Makes a whole condition hold for every later step.
void ombrel_faults_set_condition(enum OmbrelFaultCondition condition);

// Steps counted since the last watch.
long ombrel_faults_steps(void);

// Faults the injector has actually applied since the last watch.
long ombrel_faults_applied(void);

// "write passwords2.dat" for step `step` (1-based), or "" when unknown.
const char* ombrel_faults_describe(long step);

// True when step `step` was a write.
int ombrel_faults_is_write(long step);

#ifdef __cplusplus
}
#endif
