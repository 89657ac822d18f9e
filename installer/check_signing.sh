#!/usr/bin/env bash
# A release signed with throw-away certificates, time-stamped by an authority on the loopback:
#   check_signing.sh PYTHON VERSION PACKAGE OUT
# Every signature and its time stamp are verified, the published sums checked, and a file
# signed with a password-protected .pfx leaves the password in no output.
set -euo pipefail
python=$1 version=$2 package=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out" && mkdir -p "$out"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quorel test signing" \
  -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null

"$python" "$here/timestamp_authority.py" --dir "$out/tsa" -- \
  "$python" "$here/release.py" build --package "$package" --version "$version" --out "$out" \
  --cert "$out/cert.pem" --key "$out/key.pem" --timestamp "{url}" \
  --verify-ca "$out/cert.pem" --verify-tsa-ca "$out/tsa/tsa-cert.pem"
(cd "$out" && sha256sum -c SHA256SUMS)
# The winget manifest names each file by the same sum.
manifest=$(find "$out/winget" -name '*.installer.yaml')
while read -r sum name; do
  grep -q "InstallerSha256: ${sum^^}" "$manifest" && grep -q "/$name'" "$manifest" ||
    { echo "the winget manifest does not name $name by its sum" >&2; exit 1; }
done <"$out/SHA256SUMS"

# The plug-ins the setup program unpacks and runs on the user's machine are signed too.
unpacked="$out/unpacked"
7z x -y -o"$unpacked" "$out/QuorelSetup-$version.exe" '$PLUGINSDIR' >/dev/null
plugins=("$unpacked"/\$PLUGINSDIR/*.dll)
[ -e "${plugins[0]}" ] || { echo "the setup program holds no plug-ins to check" >&2; exit 1; }
for plugin in "${plugins[@]}"; do
  report=$(osslsigncode verify -CAfile "$out/cert.pem" -TSA-CAfile "$out/tsa/tsa-cert.pem" \
    -in "$plugin" 2>&1) || true
  grep -q "^Timestamp Server Signature verification: ok" <<<"$report" ||
    { echo "the setup program's plug-in $(basename "$plugin") is not signed" >&2; exit 1; }
done
echo "the setup program's ${#plugins[@]} plug-ins are signed and time-stamped"

# The same with a .pfx whose password is in the environment only.
secret="quorel-$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')"
openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -out "$out/signer.pfx" \
  -passout "pass:$secret"
cp "$package/QuorelApi.dll" "$out/pfx-signed.dll"
SIGN_PASSWORD=$secret "$python" "$here/timestamp_authority.py" --dir "$out/tsa-pfx" -- \
  "$python" "$here/release.py" sign-file "$out/pfx-signed.dll" --pfx "$out/signer.pfx" \
  --timestamp "{url}" >"$out/pfx.log" 2>&1 || { cat "$out/pfx.log"; exit 1; }
if grep -qF "$secret" "$out/pfx.log"; then
  echo "the password of the .pfx shows in the output of signing" >&2
  exit 1
fi
report=$(osslsigncode verify -CAfile "$out/cert.pem" -TSA-CAfile "$out/tsa-pfx/tsa-cert.pem" \
  -in "$out/pfx-signed.dll" 2>&1) || true
grep -q "^Timestamp Server Signature verification: ok" <<<"$report" ||
  { echo "the file signed with the .pfx carries no time stamp that verifies" >&2; exit 1; }
echo "a .pfx with its password in the environment signs and time-stamps, the password unseen"

# A keyboard built with uiAccess starts only from Program Files: no portable zip of it.
rm -rf "$out/uiaccess-package" && cp -r "$package" "$out/uiaccess-package"
printf '<requestedExecutionLevel level="asInvoker" uiAccess="true"/>' \
  >>"$out/uiaccess-package/QuorelKeyboard.exe"
"$python" "$here/release.py" build --package "$out/uiaccess-package" --version "$version" \
  --out "$out/uiaccess" >"$out/uiaccess.log" 2>&1 || { cat "$out/uiaccess.log"; exit 1; }
if ls "$out/uiaccess"/*.zip >/dev/null 2>&1 || grep -q "zip" "$out/uiaccess/SHA256SUMS"; then
  echo "a uiAccess build was given a portable zip" >&2
  exit 1
fi
echo "a uiAccess build has the setup program and the MSI, and no portable zip"
