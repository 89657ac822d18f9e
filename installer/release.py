#!/usr/bin/env python3
"""Builds the three things a Windows user can take, from the package folder:

  QuorelSetup-<version>.exe       the setup program (NSIS): a person double-clicks it
  Quorel-<version>.msi            the same install for administrators (wixl)
  Quorel-<version>-portable.zip   the programs in a folder, for a user without
                                  administrator rights

    release.py build --package dist/Quorel --version 1.2.3 --out dist
        [--cert cert.pem --key key.pem | --pfx file.pfx [--password ...]] [--verify-ca cert.pem]

With a certificate every program, the library and both installers are signed with
osslsigncode (the uninstaller inside the setup program too); --verify-ca checks each
signature against that certificate afterwards.

    release.py sign-file FILE (--cert ... --key ... | --pfx ...)   signs one file in place
"""

import argparse
import hashlib
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import uuid
import zipfile
from pathlib import Path
from xml.sax.saxutils import quoteattr

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
PRODUCT = "Quorel"
PUBLISHER = "Pelmarik Solutions"
# The MSI's family name: every version of Quorel shares it, so that one replaces another.
UPGRADE_CODE = "{6C1E3F7A-2B8D-4D59-9A41-3F0E7C5B2A90}"
# Component identities are derived from the file's place, so an upgrade sees the same file
# as the same component.
COMPONENT_NAMESPACE = uuid.UUID("0b6f2c51-7d3e-4e8a-b1f4-5a9c2d7e3f10")
PROGRAMS = ("QuorelKeyboard.exe", "QuorelEditor.exe", "QuorelOptions.exe", "QuorelApi.dll")
SHORTCUTS = (("Quorel Keyboard", "QuorelKeyboard.exe"), ("Quorel Editor", "QuorelEditor.exe"),
             ("Quorel Options", "QuorelOptions.exe"), ("Quorel Manual", "manual/quorelmanual.htm"))


def run(command, **kwargs):
    print("+", " ".join(shlex.quote(str(c)) for c in command), flush=True)
    subprocess.run([str(c) for c in command], check=True, **kwargs)


# Signing -----------------------------------------------------------------------------------

def signer_arguments(args):
    if args.pfx:
        found = ["-pkcs12", args.pfx]
        if args.password:
            found += ["-pass", args.password]
        return found
    if args.cert and args.key:
        return ["-certs", args.cert, "-key", args.key]
    return None


def sign_file(path, signer):
    """Signs the file in place: osslsigncode writes a new file, which then replaces it."""
    path = Path(path)
    signed = path.with_name(path.name + ".signed")
    signed.unlink(missing_ok=True)
    run(["osslsigncode", "sign", *signer, "-n", PRODUCT, "-h", "sha256",
         "-in", path, "-out", signed], stdout=subprocess.DEVNULL)
    os.replace(signed, path)


def verify(path, ca):
    run(["osslsigncode", "verify", "-CAfile", ca, "-in", path], stdout=subprocess.DEVNULL)


# The setup program -------------------------------------------------------------------------

def windows_relative(relative):
    return str(relative).replace("/", "\\")


def nsis_file_list(stage, out):
    """The include that installs every file of the stage and removes exactly those."""
    folders = sorted({p.parent.relative_to(stage) for p in stage.rglob("*") if p.is_file()})
    install = ["!macro QUOREL_INSTALL_FILES"]
    remove = ["!macro QUOREL_UNINSTALL_FILES"]
    for folder in folders:
        target = "$INSTDIR" if str(folder) == "." else f"$INSTDIR\\{windows_relative(folder)}"
        install.append(f'  SetOutPath "{target}"')
        for file in sorted(p for p in (stage / folder).iterdir() if p.is_file()):
            install.append(f'  File "{file}"')
            remove.append(f'  Delete "{target}\\{file.name}"')
    # Deepest first; a folder that holds something else stays.
    for folder in sorted(folders, key=lambda f: -len(f.parts)):
        if str(folder) != ".":
            remove.append(f'  RMDir "$INSTDIR\\{windows_relative(folder)}"')
    # The parents of the folders that hold files, when they hold only folders.
    parents = sorted({parent for f in folders for parent in f.parents if str(parent) != "."}
                     - set(folders), key=lambda f: -len(f.parts))
    remove += [f'  RMDir "$INSTDIR\\{windows_relative(p)}"' for p in parents]
    out.write_text("\n".join(install + ["!macroend", ""] + remove + ["!macroend", ""]),
                   encoding="utf-8")


def build_setup(stage, version, output, signer_command):
    with tempfile.TemporaryDirectory() as work:
        files = Path(work) / "files.nsh"
        nsis_file_list(stage, files)
        command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={version}",
                   f"-DSTAGE={stage}", f"-DFILES={files}", f"-DOUTFILE={output}",
                   f"-DICON={ROOT / 'data' / 'QuorelKeyboard.ico'}"]
        if signer_command:
            command.append(f"-DSIGN={signer_command} \"%1\"")
        run(command + [HERE / "quorel.nsi"])


# The MSI -----------------------------------------------------------------------------------

def short_id(prefix, relative):
    return prefix + hashlib.sha1(str(relative).encode()).hexdigest()[:20]


def component_guid(relative):
    return "{" + str(uuid.uuid5(COMPONENT_NAMESPACE, str(relative))).upper() + "}"


def wxs_text(stage, version):
    components = []

    def folder_xml(folder, indent):
        lines = []
        for entry in sorted(folder.iterdir()):
            relative = entry.relative_to(stage)
            if entry.is_dir():
                lines.append(f'{indent}<Directory Id="{short_id("d", relative)}" '
                             f'Name={quoteattr(entry.name)}>')
                lines += folder_xml(entry, indent + "  ")
                lines.append(f"{indent}</Directory>")
                continue
            component = short_id("c", relative)
            components.append(component)
            lines.append(f'{indent}<Component Id="{component}" Guid="{component_guid(relative)}" '
                         f'Win64="yes">')
            file_id = "KeyboardExe" if str(relative) == "QuorelKeyboard.exe" else short_id("f", relative)
            lines.append(f'{indent}  <File Id="{file_id}" Name={quoteattr(entry.name)} '
                         f'Source={quoteattr(str(Path(PRODUCT) / relative))} KeyPath="yes">')
            for name, target in SHORTCUTS:
                if str(relative) == target:
                    lines.append(f'{indent}    <Shortcut Id="{short_id("s", name)}" '
                                 f'Directory="QuorelMenu" Name={quoteattr(name)} '
                                 f'Target="[#{file_id}]" WorkingDirectory="INSTALLDIR" Advertise="no"/>')
            lines.append(f"{indent}  </File>")
            lines.append(f"{indent}</Component>")
        return lines

    tree = folder_xml(stage, "          ")
    refs = "\n".join(f'      <ComponentRef Id="{c}"/>' for c in components)
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="{PRODUCT}" Language="1033" Version="{version}"
           Manufacturer="{PUBLISHER}" UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description="{PRODUCT} {version}" Manufacturer="{PUBLISHER}"/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of Quorel is already installed."/>
    <Media Id="1" Cabinet="quorel.cab" EmbedCab="yes"/>
    <Icon Id="QuorelIcon.ico" SourceFile="QuorelKeyboard.ico"/>
    <Property Id="ARPPRODUCTICON" Value="QuorelIcon.ico"/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    <Property Id="ARPNOREPAIR" Value="1"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLDIR" Name="{PRODUCT}">
{chr(10).join(tree)}
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder">
        <Directory Id="QuorelMenu" Name="{PRODUCT}"/>
      </Directory>
    </Directory>
    <DirectoryRef Id="QuorelMenu">
      <Component Id="QuorelMenuFolder" Guid="{component_guid('start menu')}" Win64="yes">
        <CreateFolder/>
        <RemoveFolder Id="RemoveQuorelMenu" On="uninstall"/>
      </Component>
    </DirectoryRef>
    <DirectoryRef Id="INSTALLDIR">
      <Component Id="StartAtSignIn" Guid="{component_guid('run key')}" Win64="yes">
        <RegistryValue Root="HKLM" Key="Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                       Name="Quorel" Type="string" Value="&quot;[INSTALLDIR]QuorelKeyboard.exe&quot;"
                       KeyPath="yes"/>
      </Component>
    </DirectoryRef>
    <Feature Id="Quorel" Title="Quorel" Level="1" Absent="disallow">
      <ComponentRef Id="QuorelMenuFolder"/>
{refs}
    </Feature>
    <Feature Id="StartAtSignIn" Title="Start Quorel when I sign in" Level="1">
      <ComponentRef Id="StartAtSignIn"/>
    </Feature>
  </Product>
</Wix>
"""


def build_msi(stage, version, output):
    """wixl takes sources relative to the .wxs only: it is written beside the stage."""
    wxs = stage.parent / "quorel.wxs"
    wxs.write_text(wxs_text(stage, version), encoding="utf-8")
    shutil.copy(ROOT / "data" / "QuorelKeyboard.ico", stage.parent / "QuorelKeyboard.ico")
    run(["wixl", "-a", "x64", "-o", output, wxs])


# The portable zip --------------------------------------------------------------------------

def build_zip(stage, output):
    output.unlink(missing_ok=True)
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in sorted(stage.rglob("*")):
            if path.is_file():
                archive.write(path, Path(PRODUCT) / path.relative_to(stage))


# -------------------------------------------------------------------------------------------

def build(args):
    package = Path(args.package).resolve()
    out = Path(args.out).resolve()
    version = args.version
    parts = version.split(".")
    if len(parts) != 3 or not all(p.isdigit() and int(p) < 65536 for p in parts):
        sys.exit(f"the version must be three numbers, as 1.2.3: {version!r}")
    missing = [p for p in PROGRAMS if not (package / p).is_file()]
    if missing:
        sys.exit(f"the package {package} lacks {', '.join(missing)}: run make package first")
    signer = signer_arguments(args)
    out.mkdir(parents=True, exist_ok=True)
    setup = out / f"QuorelSetup-{version}.exe"
    msi = out / f"{PRODUCT}-{version}.msi"
    portable = out / f"{PRODUCT}-{version}-portable.zip"
    with tempfile.TemporaryDirectory(dir=out) as work:
        # A copy: signing must not change the package the tests run.
        stage = Path(work) / PRODUCT
        shutil.copytree(package, stage)
        shutil.copy(ROOT / "LICENSE", stage / "LICENSE.txt")
        signer_command = None
        if signer:
            for program in PROGRAMS:
                sign_file(stage / program, signer)
            signer_command = " ".join(shlex.quote(c) for c in
                                      [sys.executable, str(Path(__file__).resolve()), "sign-file",
                                       *signer_option_words(args)])
        build_setup(stage, version, setup, signer_command)
        build_msi(stage, version, msi)
        build_zip(stage, portable)
        if signer:
            sign_file(setup, signer)
            sign_file(msi, signer)
        if args.verify_ca:
            for program in PROGRAMS:
                verify(stage / program, args.verify_ca)
            verify(setup, args.verify_ca)
            verify(msi, args.verify_ca)
            print("every signature verified")
    for made in (setup, msi, portable):
        print(f"{made.name}: {made.stat().st_size / 1e6:.1f} MB")


def signer_option_words(args):
    if args.pfx:
        return ["--pfx", args.pfx] + (["--password", args.password] if args.password else [])
    return ["--cert", args.cert, "--key", args.key]


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    for name in ("build", "sign-file"):
        command = commands.add_parser(name)
        command.add_argument("--cert")
        command.add_argument("--key")
        command.add_argument("--pfx")
        command.add_argument("--password")
        if name == "build":
            command.add_argument("--package", required=True)
            command.add_argument("--version", required=True)
            command.add_argument("--out", required=True)
            command.add_argument("--verify-ca")
        else:
            command.add_argument("file")
    args = parser.parse_args()
    for option in ("cert", "key", "pfx"):
        value = getattr(args, option)
        if value:
            setattr(args, option, str(Path(value).resolve()))
    if bool(args.cert) != bool(args.key):
        sys.exit("signing needs both --cert and --key, or --pfx")
    if args.command == "sign-file":
        signer = signer_arguments(args)
        if not signer:
            sys.exit("sign-file needs --cert and --key, or --pfx")
        sign_file(args.file, signer)
    else:
        build(args)


if __name__ == "__main__":
    main()
