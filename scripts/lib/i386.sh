# Sourced by the scripts that run the deliverables. The one place that finds
# out whether this machine starts i386 programs, and so how each deliverable
# is run. Needs libc6:i386 (its loader is the i386 program tried, and the C
# library zebrin-linux runs against either way).

# Some kernels are built without 32-bit support or have it switched off; they
# refuse every i386 program, Wine's 32-bit loader included, with "Exec format
# error". So it is tried, never assumed. ZEBRIN_FORCE_NO_32BIT=1 takes the
# other path on a machine that could run them, so that both can be tried.
zebrin_runs_i386() {
  [ "${ZEBRIN_FORCE_NO_32BIT:-0}" != 1 ] && /lib/ld-linux.so.2 --version > /dev/null 2>&1
}

# One line on the path taken, for the log.
zebrin_i386_path_line() {
  if zebrin_runs_i386; then
    echo "this machine runs i386 programs: every shipped file runs itself"
  elif [ "${ZEBRIN_FORCE_NO_32BIT:-0}" = 1 ]; then
    echo "ZEBRIN_FORCE_NO_32BIT=1: taking the path for machines that can't run i386 programs"
  else
    echo "this machine can't run i386 programs ($(/lib/ld-linux.so.2 --version 2>&1 > /dev/null |
      sed -n '1s/.*: //p')): taking the path for such machines"
  fi
}

# The launcher words for zebrin-linux: none, or user-mode emulation.
zebrin_linux_launcher() {
  zebrin_runs_i386 || echo qemu-i386
}

# What starts the Win32 programs: Wine's usual loader, or where i386 programs
# can't run (the usual loader is one), the 64-bit loader, for the twins.
zebrin_wine() {
  if zebrin_runs_i386; then echo wine; else echo /usr/lib/wine/wine64; fi
}

# The build preset whose Win32 program the tests run, for con32 or posix32:
# the deliverable itself, or its 64-bit twin where it can't be started.
zebrin_win32_preset() {
  if zebrin_runs_i386; then echo "$1"; else echo "$1-twin64"; fi
}
