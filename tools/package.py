#!/usr/bin/env python3
"""Builds the release packages from build/windows-ARCH/dist, for x64 and x86: a zip, reproducible
(fixed order, times and permissions), and an MSI built by wixl from installer/tessaro.wxs.

    package.py [--version X.Y.Z] [--out DIR]       (default: the project's version, build/package)

--version packs the same files as another release, for the upgrade tests.
With TESSARO_SIGN_PFX (a PKCS#12 file) and TESSARO_SIGN_PASSWORD set, the programs are signed
before they are packed and the MSIs after (osslsigncode, SHA-256, time-stamped by the server in
TESSARO_SIGN_TIMESTAMP if that is set). Signing works on copies: dist/ is left as it was built.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIXED_TIME = (2026, 1, 1, 0, 0, 0)
PROGRAM_FILES = {"x64": ("ProgramFiles64Folder", "yes"), "x86": ("ProgramFilesFolder", "no")}
FILES = ["tessaro.exe", "tessaro.com", "pellumo.dll", "pellumo2.dll", "gpl.txt"]
PROGRAMS = ["tessaro.exe", "tessaro.com"]


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        return re.search(r"^project\(tessaro VERSION ([0-9.]+)", f.read(), re.M).group(1)


def write_zip(out, paths):
    with zipfile.ZipFile(out, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in sorted(paths, key=os.path.basename):
            info = zipfile.ZipInfo(os.path.basename(path), date_time=FIXED_TIME)
            info.external_attr = 0o644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)


def sign(path, pfx, password_file):
    command = ["osslsigncode", "sign", "-pkcs12", pfx, "-readpass", password_file,
               "-h", "sha256", "-n", "Tessaro", "-in", path, "-out", path + ".signed"]
    if os.environ.get("TESSARO_SIGN_TIMESTAMP"):
        command += ["-t", os.environ["TESSARO_SIGN_TIMESTAMP"]]
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    os.replace(path + ".signed", path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", default=project_version())
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "package"))
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)

    pfx, password = os.environ.get("TESSARO_SIGN_PFX"), os.environ.get("TESSARO_SIGN_PASSWORD")
    if bool(pfx) != bool(password):
        sys.exit("package: set both TESSARO_SIGN_PFX and TESSARO_SIGN_PASSWORD, or neither")
    if not pfx:
        print("package: unsigned (TESSARO_SIGN_PFX and TESSARO_SIGN_PASSWORD are not set)")

    with tempfile.TemporaryDirectory() as scratch:
        # The password goes to osslsigncode in a private file, never on a command line.
        password_file = os.path.join(scratch, "password")
        with open(os.open(password_file, os.O_WRONLY | os.O_CREAT, 0o600), "w") as f:
            f.write(password or "")
        for arch, (program_files, win64) in PROGRAM_FILES.items():
            stage = os.path.join(scratch, arch)
            os.mkdir(stage)
            for name in FILES:
                shutil.copy(os.path.join(ROOT, "build", f"windows-{arch}", "dist", name), stage)
            shutil.copy(os.path.join(ROOT, "resources", "tessaro.ico"), stage)  # for the ARP entry
            if pfx:
                for program in PROGRAMS:
                    sign(os.path.join(stage, program), pfx, password_file)
            base = os.path.join(out, f"tessaro-{args.version}-{arch}")
            write_zip(base + ".zip", [os.path.join(stage, n) for n in FILES] +
                      [os.path.join(ROOT, "README.md"), os.path.join(ROOT, "LICENSE")])
            # wixl looks source files up relative to where it runs (an absolute path fails).
            subprocess.run(["wixl", "-a", arch, "-D", f"Version={args.version}", "-D", "Dist=.",
                            "-D", f"ProgramFiles={program_files}", "-D", f"Win64={win64}",
                            "-o", base + ".msi", os.path.join(ROOT, "installer", "tessaro.wxs")],
                           check=True, cwd=stage)
            # wixl 0.101 writes Type="expandable" as a plain string; "#%" is how the Registry
            # table marks a REG_EXPAND_SZ, which Windows expects EventMessageFile to be.
            subprocess.run(["msibuild", base + ".msi", "-q",
                            "UPDATE `Registry` SET `Value` = '#%[#tessaro.exe]' "
                            "WHERE `Name` = 'EventMessageFile'"], check=True)
            if pfx:
                sign(base + ".msi", pfx, password_file)
    return 0


if __name__ == "__main__":
    sys.exit(main())
