#!/usr/bin/env python3
"""Builds the three things a Windows user can take, from the package folder:

  QuorelSetup-<version>.exe       the setup program (NSIS): a person double-clicks it
  Quorel-<version>.msi            the same install for administrators (wixl)
  Quorel-<version>-portable.zip   the programs in a folder, for a user without
                                  administrator rights (not for a keyboard built with
                                  uiAccess, which starts only from Program Files)

    release.py build --package dist/Quorel --version 1.2.3 --out dist
        [--cert cert.pem --key key.pem | --pfx file.pfx] [--timestamp URL]
        [--verify-ca cert.pem [--verify-tsa-ca tsa.pem]] [--download-url URL]

With a certificate every program, the library and both installers are signed with
osslsigncode (the uninstaller inside the setup program too). The password of a .pfx is
read from the environment variable SIGN_PASSWORD, never from the command line, and reaches
osslsigncode on its standard input: it shows in no command, output or log. --timestamp
names an RFC 3161 time-stamp authority whose time stamp every signature carries, so that
it stays valid after the certificate expires. --verify-ca checks each signature against
that certificate afterwards, and --verify-tsa-ca each time stamp against the authority's.

Beside the three files it writes SHA256SUMS (as sha256sum prints them) and a manifest
for the Windows package manager (winget/<id>/<version>/), whose installers are fetched from
--download-url followed by the file's name.

    release.py sign-file FILE (--cert ... --key ... | --pfx ...) [--timestamp URL]
        signs one file in place
"""

import argparse
import hashlib
import os
import re
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


# No step may run longer than this: a time-stamp server that never answers ends the build.
STEP_SECONDS = 600
PASSWORD_VARIABLE = "SIGN_PASSWORD"


def run(command, secret=None, **kwargs):
    """Runs a step, printed first; a secret goes to its standard input, never its words."""
    print("+", " ".join(shlex.quote(str(c)) for c in command), flush=True)
    return subprocess.run([str(c) for c in command], check=True, timeout=STEP_SECONDS,
                          input=secret.encode() if secret is not None else None, **kwargs)


# Signing -----------------------------------------------------------------------------------

class Signer:
    def __init__(self, args):
        self.words = None
        self.password = None
        self.timestamp = args.timestamp
        if args.pfx:
            self.words = ["-pkcs12", args.pfx]
            self.password = os.environ.get(PASSWORD_VARIABLE) or None
            if self.password is not None:
                self.words += ["-readpass", "-"]
        elif args.cert and args.key:
            self.words = ["-certs", args.cert, "-key", args.key]

    def __bool__(self):
        return self.words is not None


def sign_file(path, signer):
    """Signs the file in place: osslsigncode writes a new file, which then replaces it."""
    path = Path(path)
    signed = path.with_name(path.name + ".signed")
    signed.unlink(missing_ok=True)
    stamp = ["-ts", signer.timestamp] if signer.timestamp else []
    run(["osslsigncode", "sign", *signer.words, *stamp, "-n", PRODUCT, "-h", "sha256",
         "-in", path, "-out", signed], secret=signer.password, stdout=subprocess.DEVNULL)
    os.replace(signed, path)


def verify(path, ca, tsa_ca=None):
    """The signature against the certificate; with `tsa_ca`, its time stamp too, which must
    be there."""
    command = ["osslsigncode", "verify", "-CAfile", ca, "-in", path]
    if tsa_ca:
        command[2:2] = ["-TSA-CAfile", tsa_ca]
    done = run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    report = done.stdout.decode(errors="replace")
    if tsa_ca and not re.search(r"^Timestamp Server Signature verification: ok", report, re.M):
        sys.exit(f"{Path(path).name}: the signature carries no time stamp that verifies\n{report}")


# The setup program -------------------------------------------------------------------------

def windows_relative(relative):
    return str(relative).replace("/", "\\")


def nsis_file_list(stage, out):
    """The include that installs every file of the stage into a folder, removes exactly those,
    finds one of them held, and has them take the places of the installed ones when Windows
    next starts."""
    folders = sorted({p.parent.relative_to(stage) for p in stage.rglob("*") if p.is_file()})
    files = {folder: sorted(p.name for p in (stage / folder).iterdir() if p.is_file())
             for folder in folders}

    def within(base, folder):
        return base if str(folder) == "." else f"{base}\\{windows_relative(folder)}"

    install = ["!macro QUOREL_INSTALL_FILES base"]
    held = ["!macro QUOREL_HELD_FILES base"]
    replace = ["!macro QUOREL_REPLACE_AT_RESTART from to"]
    remove = ["!macro QUOREL_UNINSTALL_FILES"]
    for folder in folders:
        install.append(f'  SetOutPath "{within("${base}", folder)}"')
        replace.append(f'  CreateDirectory "{within("${to}", folder)}"')
        for name in files[folder]:
            install.append(f'  File "{stage / folder / name}"')
            held.append(f'  !insertmacro HELD_CHECK "{within("${base}", folder)}\\{name}"')
            replace.append(f'  !insertmacro REPLACE_AT_RESTART "{within("${from}", folder)}\\{name}" '
                           f'"{within("${to}", folder)}\\{name}"')
            # A file some program still holds goes when Windows next starts.
            remove.append(f'  Delete /REBOOTOK "{within("$INSTDIR", folder)}\\{name}"')
    # Every folder, and every parent that holds only folders, deepest first; a folder that
    # holds something else stays.
    parents = {parent for f in folders for parent in f.parents if str(parent) != "."}
    deepest_first = sorted(({f for f in folders if str(f) != "."} | parents),
                           key=lambda f: (-len(f.parts), str(f)))
    remove += [f'  RMDir "{within("$INSTDIR", f)}"' for f in deepest_first]
    replace += [f'  RMDir /REBOOTOK "{within("${from}", f)}"' for f in deepest_first]
    lines = []
    for macro in (install, held, replace, remove):
        lines += macro + ["!macroend", ""]
    out.write_text("\n".join(lines), encoding="utf-8")


NSIS_DIR = Path("/usr/share/nsis")
NSIS_PLUGINS = Path("Plugins") / "amd64-unicode"


def signed_nsis(work, signer, verify_ca, verify_tsa_ca):
    """A copy of NSIS whose plug-ins are signed: the setup program unpacks and runs them on
    the user's machine, so they are signed as its own code is."""
    copy = Path(work) / "nsis"
    shutil.copytree(NSIS_DIR, copy, symlinks=True)
    for plugin in sorted((copy / NSIS_PLUGINS).glob("*.dll")):
        sign_file(plugin, signer)
        if verify_ca:
            verify(plugin, verify_ca, verify_tsa_ca)
    return copy


def build_setup(stage, version, output, signer_command, nsis_dir=None, uiaccess=False):
    with tempfile.TemporaryDirectory() as work:
        files = Path(work) / "files.nsh"
        nsis_file_list(stage, files)
        command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={version}",
                   f"-DSTAGE={stage}", f"-DFILES={files}", f"-DOUTFILE={output}",
                   f"-DICON={ROOT / 'data' / 'QuorelKeyboard.ico'}"]
        if signer_command:
            command.append(f"-DSIGN={signer_command} \"%1\"")
        if uiaccess:
            command.append("-DUIACCESS")
        environment = dict(os.environ, NSISDIR=str(nsis_dir)) if nsis_dir else None
        run(command + [HERE / "quorel.nsi"], env=environment)


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
    <!-- The setup program and the MSI never install over each other. -->
    <Property Id="QUOREL_SETUP_INSTALLED">
      <RegistrySearch Id="QuorelSetupInstalled" Root="HKLM" Type="raw" Win64="yes"
                      Key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorel"
                      Name="InstallLocation"/>
    </Property>
    <Condition Message="Quorel for every user of this computer is installed under Program Files, where only administrators can change its programs: give INSTALLDIR a folder there.">Installed OR NOT INSTALLDIR OR INSTALLDIR ~&lt;&lt; ProgramFiles64Folder</Condition>
    <Condition Message="Quorel is installed on this computer by its setup program (QuorelSetup). Upgrade it with a newer setup program, or remove it in Apps and Features before you install this MSI package.">Installed OR NOT QUOREL_SETUP_INSTALLED</Condition>
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

# Publishing --------------------------------------------------------------------------------

def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as file:
        for block in iter(lambda: file.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def write_sums(files, output):
    """As sha256sum prints them, so that `sha256sum -c` checks them."""
    output.write_text("".join(f"{sha256_of(f)}  {f.name}\n" for f in files), encoding="utf-8")


PACKAGE_ID = "PelmarikSolutions.Quorel"
# Where the published files are fetched from, unless the builder names another place.
DEFAULT_DOWNLOAD_URL = "https://downloads.pelmarik.example/quorel/"
MANIFEST_VERSION = "1.6.0"


def yaml_text(value):
    return "'" + str(value).replace("'", "''") + "'"


def winget_manifests(version, setup, msi, portable, download_url, out, only_for_me=True):
    """The three files of a winget manifest: the version, the installers with their sums
    and switches, and the description in English. The setup program is listed twice: for
    the machine, and (unless the keyboard has uiAccess) only for the user, with no
    administrator rights."""
    folder = out / "winget" / PACKAGE_ID / version
    folder.mkdir(parents=True, exist_ok=True)
    base = download_url.rstrip("/") + "/"
    header = f"PackageIdentifier: {PACKAGE_ID}\nPackageVersion: {version}\n"
    footer = f"ManifestVersion: {MANIFEST_VERSION}\n"
    (folder / f"{PACKAGE_ID}.yaml").write_text(
        header + "DefaultLocale: en-US\nManifestType: version\n" + footer, encoding="utf-8")
    zipped = "" if portable is None else f"""- Architecture: x64
  InstallerType: zip
  NestedInstallerType: portable
  NestedInstallerFiles:
  - RelativeFilePath: {PRODUCT}\\QuorelKeyboard.exe
    PortableCommandAlias: quorel
  Scope: user
  InstallerUrl: {yaml_text(base + portable.name)}
  InstallerSha256: {sha256_of(portable).upper()}
"""
    setup_for_user = "" if not only_for_me else f"""- Architecture: x64
  InstallerType: nullsoft
  Scope: user
  InstallerUrl: {yaml_text(base + setup.name)}
  InstallerSha256: {sha256_of(setup).upper()}
  InstallerSwitches:
    Silent: /S /CURRENTUSER
    SilentWithProgress: /S /CURRENTUSER
    InstallLocation: /D=<INSTALLPATH>
"""
    installers = f"""{header}MinimumOSVersion: 10.0.0.0
InstallModes:
- interactive
- silent
UpgradeBehavior: install
Installers:
- Architecture: x64
  InstallerType: nullsoft
  Scope: machine
  InstallerUrl: {yaml_text(base + setup.name)}
  InstallerSha256: {sha256_of(setup).upper()}
  InstallerSwitches:
    Silent: /S
    SilentWithProgress: /S
    InstallLocation: /D=<INSTALLPATH>
{setup_for_user}- Architecture: x64
  InstallerType: msi
  Scope: machine
  InstallerUrl: {yaml_text(base + msi.name)}
  InstallerSha256: {sha256_of(msi).upper()}
  InstallerSwitches:
    InstallLocation: INSTALLDIR="<INSTALLPATH>"
{zipped}ManifestType: installer
{footer}"""
    (folder / f"{PACKAGE_ID}.installer.yaml").write_text(installers, encoding="utf-8")
    locale = f"""{header}PackageLocale: en-US
Publisher: {yaml_text(PUBLISHER)}
PackageName: {PRODUCT}
License: MIT
ShortDescription: An on-screen keyboard for pen and touch that types slides and expands words.
Tags:
- keyboard
- on-screen-keyboard
- pen
- tablet
- touch
ManifestType: defaultLocale
{footer}"""
    (folder / f"{PACKAGE_ID}.locale.en-US.yaml").write_text(locale, encoding="utf-8")
    return folder


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
    signer = Signer(args)
    out.mkdir(parents=True, exist_ok=True)
    setup = out / f"QuorelSetup-{version}.exe"
    msi = out / f"{PRODUCT}-{version}.msi"
    portable = out / f"{PRODUCT}-{version}-portable.zip"
    # A keyboard that may type into administrators' windows starts only from Program Files:
    # there is no portable zip of it.
    uiaccess = b'uiAccess="true"' in (package / "QuorelKeyboard.exe").read_bytes()
    portable.unlink(missing_ok=True)
    with tempfile.TemporaryDirectory(dir=out) as work:
        # A copy: signing must not change the package the tests run.
        stage = Path(work) / PRODUCT
        shutil.copytree(package, stage)
        shutil.copy(ROOT / "LICENSE", stage / "LICENSE.txt")
        signer_command = None
        if signer:
            for program in PROGRAMS:
                sign_file(stage / program, signer)
            # Run by makensis for the uninstaller; the password, if any, it inherits in
            # the environment.
            signer_command = " ".join(shlex.quote(c) for c in
                                      [sys.executable, str(Path(__file__).resolve()), "sign-file",
                                       *signer_option_words(args)])
        nsis_dir = signed_nsis(work, signer, args.verify_ca, args.verify_tsa_ca) if signer else None
        build_setup(stage, version, setup, signer_command, nsis_dir, uiaccess)
        build_msi(stage, version, msi)
        if not uiaccess:
            build_zip(stage, portable)
        if signer:
            sign_file(setup, signer)
            sign_file(msi, signer)
        if args.verify_ca:
            for program in PROGRAMS:
                verify(stage / program, args.verify_ca, args.verify_tsa_ca)
            verify(setup, args.verify_ca, args.verify_tsa_ca)
            verify(msi, args.verify_ca, args.verify_tsa_ca)
            print("every signature verified" +
                  (", each with its time stamp" if args.verify_tsa_ca else ""))
    made_files = (setup, msi) if uiaccess else (setup, msi, portable)
    write_sums(made_files, out / "SHA256SUMS")
    manifests = winget_manifests(version, setup, msi, None if uiaccess else portable,
                                 args.download_url, out, only_for_me=not uiaccess)
    if uiaccess:
        print("a uiAccess keyboard starts only from Program Files: no portable zip")
    for made in made_files:
        print(f"{made.name}: {made.stat().st_size / 1e6:.1f} MB")
    print(f"SHA256SUMS and the winget manifest in {manifests.relative_to(out)}")


def signer_option_words(args):
    words = ["--pfx", args.pfx] if args.pfx else ["--cert", args.cert, "--key", args.key]
    return words + (["--timestamp", args.timestamp] if args.timestamp else ["--no-timestamp"])


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    for name in ("build", "sign-file"):
        command = commands.add_parser(name)
        command.add_argument("--cert")
        command.add_argument("--key")
        command.add_argument("--pfx")
        command.add_argument("--password", help=argparse.SUPPRESS)
        command.add_argument("--timestamp", metavar="URL")
        command.add_argument("--no-timestamp", action="store_true")
        if name == "build":
            command.add_argument("--package", required=True)
            command.add_argument("--version", required=True)
            command.add_argument("--out", required=True)
            command.add_argument("--verify-ca")
            command.add_argument("--verify-tsa-ca")
            command.add_argument("--download-url", default=DEFAULT_DOWNLOAD_URL)
        else:
            command.add_argument("file")
    args = parser.parse_args()
    if args.password is not None:
        sys.exit(f"a password on the command line shows in logs and process lists: give it "
                 f"in the environment variable {PASSWORD_VARIABLE}")
    for option in ("cert", "key", "pfx", "verify_ca", "verify_tsa_ca"):
        value = getattr(args, option, None)
        if value:
            setattr(args, option, str(Path(value).resolve()))
    if bool(args.cert) != bool(args.key):
        sys.exit("signing needs both --cert and --key, or --pfx")
    if (args.cert or args.pfx) and not args.timestamp and not args.no_timestamp:
        sys.exit("a signature without a time stamp turns invalid the day the certificate "
                 "expires: name a time-stamp authority with --timestamp URL (TIMESTAMP_URL=), "
                 "or sign without one with --no-timestamp (NO_TIMESTAMP=1)")
    if args.command == "sign-file":
        signer = Signer(args)
        if not signer:
            sys.exit("sign-file needs --cert and --key, or --pfx")
        sign_file(args.file, signer)
    else:
        build(args)


if __name__ == "__main__":
    main()
