#!/usr/bin/env python3
"""Makes a delay-load import library from a toolchain's ordinary one.

    make-delay-lib.py <nm> <dlltool> <import library> <dll name> <output>

The program's sub-processes (the engine's watchdog) need only kernel32 and
the socket library; with every other system library imported the ordinary
way, each of them would load and initialise GDI+, the common controls, the
shell and WinInet just to wait on a handle. Functions of a library named
here are bound on their first call instead.

The exported names are read from the ordinary import library (its
`__imp_` symbols); on 32-bit x86 the stdcall decoration (`@n`) is kept in
the symbols the code links against and dropped from the names looked up in
the DLL, as in the ordinary library.
"""

import os
import subprocess
import sys


def exported_names(nm, import_library, x86):
    listing = subprocess.run([nm, "-g", "--defined-only", import_library], capture_output=True, text=True,
                             check=True).stdout
    names = set()
    for line in listing.splitlines():
        fields = line.split()
        if len(fields) != 3 or not fields[2].startswith("__imp_"):
            continue
        name = fields[2][len("__imp_"):]
        if x86:
            if not name.startswith("_"):
                continue  # not a C function (32-bit C names carry a leading underscore)
            name = name[1:]
        names.add(name)
    return sorted(names)


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    nm, dlltool, import_library, dll, output = sys.argv[1:]
    x86 = os.path.basename(dlltool).startswith("i686")
    names = exported_names(nm, import_library, x86)
    if not names:
        sys.exit("no exported functions found in %s" % import_library)
    definition = output + ".def"
    with open(definition, "w") as f:
        f.write("LIBRARY %s\nEXPORTS\n" % dll)
        for name in names:
            f.write("  %s\n" % name)
    command = [dlltool, "--input-def", definition, "--output-delaylib", output, "--dllname", dll]
    if x86:
        command.append("--kill-at")
    subprocess.run(command, check=True)


if __name__ == "__main__":
    main()
