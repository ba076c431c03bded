// SPDX-License-Identifier: MIT
// Stand-ins for the C library's file calls. Defined in the executable, they
// come first in symbol lookup, so the program's own calls and those made for
// it by the C++ library all pass through here; each forwards to the next
// definition (the C library's, or a sanitizer's wrapper of it).
#define _GNU_SOURCE
#include "FaultInjector.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

enum Call {
  CALL_OPEN_READ,   // open for reading only
  CALL_OPEN_WRITE,  // open for writing, or creating
  CALL_READ,
  CALL_WRITE,
  CALL_SYNC,
  CALL_CLOSE,
  CALL_CHANGE,  // rename, unlink, mkdir, fchmod, ftruncate
};

enum { kMaxFd = 4096, kMaxSteps = 1024, kDescriptionSize = 96 };

static char watched[4096];
static size_t watchedLength;
static int watching;

static long steps;
static long applied;
static long armedStep;
static enum OmbrelFaultAction armedAction;
static int armedError;
static enum OmbrelFaultCondition condition;
static int tornWriteDone;

// Descriptors opened on watched paths, with the name they were opened by.
static char fdNames[kMaxFd][64];
static unsigned char fdWatched[kMaxFd];

static char descriptions[kMaxSteps][kDescriptionSize];
static unsigned char writeSteps[kMaxSteps];

// The next definition of `name` in lookup order, found once.
#define REAL(name)                      \
  static __typeof__(&name) real_##name; \
  if (!real_##name) real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name)

void ombrel_faults_watch(const char* directory) {
  snprintf(watched, sizeof watched, "%s", directory);
  watchedLength = strlen(watched);
  while (watchedLength > 1 && watched[watchedLength - 1] == '/') watched[--watchedLength] = '\0';
  watching = 1;
  steps = 0;
  applied = 0;
  armedStep = 0;
  armedAction = OMBREL_FAULT_NONE;
  condition = OMBREL_CONDITION_NONE;
  tornWriteDone = 0;
}

void ombrel_faults_stop(void) {
  watching = 0;
  armedStep = 0;
  armedAction = OMBREL_FAULT_NONE;
  condition = OMBREL_CONDITION_NONE;
}

void ombrel_faults_arm(long step, enum OmbrelFaultAction action, int error) {
  armedStep = step;
  armedAction = action;
  armedError = error;
}

void ombrel_faults_set_condition(enum OmbrelFaultCondition which) {
  condition = which;
  tornWriteDone = 0;
}

long ombrel_faults_steps(void) { return steps; }
long ombrel_faults_applied(void) { return applied; }

const char* ombrel_faults_describe(long step) {
  return step >= 1 && step <= steps && step <= kMaxSteps ? descriptions[step - 1] : "";
}

int ombrel_faults_is_write(long step) {
  return step >= 1 && step <= steps && step <= kMaxSteps && writeSteps[step - 1];
}

// True when `path` names the watched directory or something inside it.
static int isWatchedPath(int dirfd, const char* path) {
  if (!watching || !path) return 0;
  if (path[0] != '/') {
    if (dirfd >= 0 && dirfd < kMaxFd && fdWatched[dirfd]) return 1;
    char cwd[4096];
    if (dirfd != AT_FDCWD || !getcwd(cwd, sizeof cwd)) return 0;
    size_t length = strlen(cwd);
    return strncmp(cwd, watched, watchedLength) == 0 &&
           (length == watchedLength || cwd[watchedLength] == '/');
  }
  return strncmp(path, watched, watchedLength) == 0 &&
         (path[watchedLength] == '\0' || path[watchedLength] == '/');
}

static int isWatchedFd(int fd) { return watching && fd >= 0 && fd < kMaxFd && fdWatched[fd]; }

static const char* baseName(const char* path) {
  if (strncmp(path, watched, watchedLength) == 0 && path[watchedLength] == '\0')
    return "data directory";
  const char* slash = strrchr(path, '/');
  return slash && slash[1] ? slash + 1 : path;
}

static const char* fdName(int fd) { return fd >= 0 && fd < kMaxFd ? fdNames[fd] : "?"; }

// What happens to one step.
enum Outcome { PROCEED, FAIL, HALF };

static void killNow(void) {
  kill(getpid(), SIGKILL);
  for (;;) pause();
}

// Counts a step and decides its fate. On FAIL, errno is set.
static enum Outcome step(enum Call call, const char* verb, const char* name) {
  ++steps;
  if (steps <= kMaxSteps) {
    snprintf(descriptions[steps - 1], kDescriptionSize, "%s %s", verb, name);
    writeSteps[steps - 1] = call == CALL_WRITE;
  }

  if (armedStep == steps) {
    switch (armedAction) {
      case OMBREL_FAULT_KILL:
        killNow();
        break;
      case OMBREL_FAULT_KILL_TORN:
        ++applied;
        return call == CALL_WRITE ? HALF : PROCEED;  // the write wrapper kills
      case OMBREL_FAULT_FAIL:
        ++applied;
        errno = armedError;
        return FAIL;
      case OMBREL_FAULT_NONE:
        break;
    }
  }

  int error = 0;
  switch (condition) {
    case OMBREL_CONDITION_DISK_FULL:
      if (call == CALL_WRITE) error = ENOSPC;
      break;
    case OMBREL_CONDITION_READ_ONLY:
      if (call == CALL_OPEN_WRITE || call == CALL_CHANGE || call == CALL_WRITE) error = EROFS;
      break;
    case OMBREL_CONDITION_NO_PERMISSION:
      if (call == CALL_OPEN_READ || call == CALL_OPEN_WRITE || call == CALL_CHANGE) error = EACCES;
      break;
    case OMBREL_CONDITION_TORN_WRITE:
      if (call == CALL_WRITE) {
        if (!tornWriteDone) {
          tornWriteDone = 1;
          ++applied;
          return HALF;
        }
        error = ENOSPC;
      }
      break;
    case OMBREL_CONDITION_NONE:
      break;
  }
  if (error) {
    ++applied;
    errno = error;
    return FAIL;
  }
  return PROCEED;
}

static void track(int fd, const char* path) {
  if (fd < 0 || fd >= kMaxFd) return;
  fdWatched[fd] = 1;
  snprintf(fdNames[fd], sizeof fdNames[fd], "%s", baseName(path));
}

static enum Call openCall(int flags) {
  return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) ? CALL_OPEN_WRITE : CALL_OPEN_READ;
}

static int watchedOpen(int dirfd, const char* path, int flags, mode_t mode,
                       __typeof__(&openat) real) {
  const int watchedHere = isWatchedPath(dirfd, path);
  if (watchedHere && step(openCall(flags), "open", baseName(path)) == FAIL) return -1;
  const int fd = real(dirfd, path, flags, mode);
  if (fd >= 0 && fd < kMaxFd) fdWatched[fd] = 0;
  if (watchedHere && fd >= 0) track(fd, path);
  return fd;
}

static mode_t modeArgument(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

int openat(int dirfd, const char* path, int flags, ...) {
  REAL(openat);
  va_list args;
  va_start(args, flags);
  mode_t mode = modeArgument(flags, args);
  va_end(args);
  return watchedOpen(dirfd, path, flags, mode, real_openat);
}

int openat64(int dirfd, const char* path, int flags, ...) {
  REAL(openat64);
  va_list args;
  va_start(args, flags);
  mode_t mode = modeArgument(flags, args);
  va_end(args);
  return watchedOpen(dirfd, path, flags, mode, real_openat64);
}

int open(const char* path, int flags, ...) {
  REAL(openat);
  va_list args;
  va_start(args, flags);
  mode_t mode = modeArgument(flags, args);
  va_end(args);
  return watchedOpen(AT_FDCWD, path, flags, mode, real_openat);
}

int open64(const char* path, int flags, ...) {
  REAL(openat64);
  va_list args;
  va_start(args, flags);
  mode_t mode = modeArgument(flags, args);
  va_end(args);
  return watchedOpen(AT_FDCWD, path, flags, mode, real_openat64);
}

int creat(const char* path, mode_t mode) { return open(path, O_CREAT | O_WRONLY | O_TRUNC, mode); }

int creat64(const char* path, mode_t mode) {
  return open64(path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}

ssize_t read(int fd, void* buffer, size_t count) {
  REAL(read);
  if (isWatchedFd(fd) && step(CALL_READ, "read", fdName(fd)) == FAIL) return -1;
  return real_read(fd, buffer, count);
}

ssize_t write(int fd, const void* buffer, size_t count) {
  REAL(write);
  if (!isWatchedFd(fd)) return real_write(fd, buffer, count);
  const int killAfter = armedStep == steps + 1 && armedAction == OMBREL_FAULT_KILL_TORN;
  switch (step(CALL_WRITE, "write", fdName(fd))) {
    case FAIL:
      return -1;
    case HALF: {
      const ssize_t written = real_write(fd, buffer, count / 2);
      if (killAfter) killNow();
      return written;
    }
    case PROCEED:
      break;
  }
  return real_write(fd, buffer, count);
}

int fsync(int fd) {
  REAL(fsync);
  if (isWatchedFd(fd) && step(CALL_SYNC, "fsync", fdName(fd)) == FAIL) return -1;
  return real_fsync(fd);
}

int fdatasync(int fd) {
  REAL(fdatasync);
  if (isWatchedFd(fd) && step(CALL_SYNC, "fdatasync", fdName(fd)) == FAIL) return -1;
  return real_fdatasync(fd);
}

int close(int fd) {
  REAL(close);
  if (!isWatchedFd(fd)) return real_close(fd);
  fdWatched[fd] = 0;
  const enum Outcome outcome = step(CALL_CLOSE, "close", fdName(fd));
  const int saved = errno;
  const int result = real_close(fd);  // the descriptor goes either way
  if (outcome == FAIL) {
    errno = saved;
    return -1;
  }
  return result;
}

int fchmod(int fd, mode_t mode) {
  REAL(fchmod);
  if (isWatchedFd(fd) && step(CALL_CHANGE, "fchmod", fdName(fd)) == FAIL) return -1;
  return real_fchmod(fd, mode);
}

int ftruncate(int fd, off_t length) {
  REAL(ftruncate);
  if (isWatchedFd(fd) && step(CALL_CHANGE, "ftruncate", fdName(fd)) == FAIL) return -1;
  return real_ftruncate(fd, length);
}

int ftruncate64(int fd, off64_t length) {
  REAL(ftruncate64);
  if (isWatchedFd(fd) && step(CALL_CHANGE, "ftruncate", fdName(fd)) == FAIL) return -1;
  return real_ftruncate64(fd, length);
}

int renameat2(int olddirfd, const char* from, int newdirfd, const char* to, unsigned flags) {
  REAL(renameat2);
  if ((isWatchedPath(olddirfd, from) || isWatchedPath(newdirfd, to)) &&
      step(CALL_CHANGE, "rename", baseName(from)) == FAIL)
    return -1;
  return real_renameat2(olddirfd, from, newdirfd, to, flags);
}

int renameat(int olddirfd, const char* from, int newdirfd, const char* to) {
  REAL(renameat);
  if ((isWatchedPath(olddirfd, from) || isWatchedPath(newdirfd, to)) &&
      step(CALL_CHANGE, "rename", baseName(from)) == FAIL)
    return -1;
  return real_renameat(olddirfd, from, newdirfd, to);
}

int rename(const char* from, const char* to) {
  REAL(rename);
  if ((isWatchedPath(AT_FDCWD, from) || isWatchedPath(AT_FDCWD, to)) &&
      step(CALL_CHANGE, "rename", baseName(from)) == FAIL)
    return -1;
  return real_rename(from, to);
}

int unlinkat(int dirfd, const char* path, int flags) {
  REAL(unlinkat);
  if (isWatchedPath(dirfd, path) && step(CALL_CHANGE, "unlink", baseName(path)) == FAIL) return -1;
  return real_unlinkat(dirfd, path, flags);
}

int unlink(const char* path) {
  REAL(unlink);
  if (isWatchedPath(AT_FDCWD, path) && step(CALL_CHANGE, "unlink", baseName(path)) == FAIL)
    return -1;
  return real_unlink(path);
}

int mkdir(const char* path, mode_t mode) {
  REAL(mkdir);
  if (isWatchedPath(AT_FDCWD, path) && step(CALL_CHANGE, "mkdir", baseName(path)) == FAIL)
    return -1;
  return real_mkdir(path, mode);
}
